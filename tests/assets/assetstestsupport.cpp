#include "assetstestsupport.h"

#include "androidjnimain.h"
#include "velandroiddriver.h"
#include "velenvironment.h"

#include <android/asset_manager_jni.h>

#include <atomic>
#include <cstdlib>
#include <fstream>

namespace
{

std::atomic<AAssetManager *> bridgeAssetManager{nullptr};

JNIEnv *sharedVmEnv()
{
    static VelAndroidDriver driver;
    static const bool started = driver.startJavaVm(VelAndroidDriver::VmOptions());
    if (!started) {
        ADD_FAILURE() << "Java VM: " << driver.lastError();
        return nullptr;
    }
    return driver.env();
}

} // namespace

namespace VelAndroid
{
AAssetManager *assetManager()
{
    return bridgeAssetManager.load();
}
} // namespace VelAndroid

void setBridgeAssetManager(AAssetManager *manager)
{
    bridgeAssetManager.store(manager);
}

ScratchDir::ScratchDir()
{
    char pattern[] = "/tmp/velassetsXXXXXX";
    const char *made = ::mkdtemp(pattern);
    m_path = made ? made : "";
}

ScratchDir::~ScratchDir()
{
    if (!m_path.empty())
        std::system(("rm -rf '" + m_path + "'").c_str());
}

void ScratchDir::write(const std::string &name, const std::string &content) const
{
    const std::string full = file(name);
    std::system(("mkdir -p '" + full.substr(0, full.rfind('/')) + "'").c_str());
    std::ofstream(full, std::ios::binary) << content;
}

void ScratchDir::mkdir(const std::string &name) const
{
    std::system(("mkdir -p '" + file(name) + "'").c_str());
}

AAssetManager *assetManagerFor(const std::string &root)
{
    JNIEnv *env = sharedVmEnv();
    if (!env)
        return nullptr;
    jclass cls = env->FindClass("android/content/res/AssetManager");
    if (!cls) {
        env->ExceptionClear();
        ADD_FAILURE() << "android.content.res.AssetManager not found";
        return nullptr;
    }
    jmethodID ctor = env->GetMethodID(cls, "<init>", "(Ljava/lang/String;)V");
    jstring jroot = env->NewStringUTF(root.c_str());
    jobject manager = env->NewObject(cls, ctor, jroot);
    AAssetManager *result = AAssetManager_fromJava(env, manager);
    env->DeleteLocalRef(manager);
    env->DeleteLocalRef(jroot);
    env->DeleteLocalRef(cls);
    return result;
}

void AssetsTest::SetUp()
{
    ASSERT_FALSE(m_dir.path().empty());
    m_dir.mkdir("assets");
    AAssetManager *manager = assetManagerFor(m_dir.file("assets"));
    ASSERT_NE(manager, nullptr);
    setBridgeAssetManager(manager);
    velunsetenv("VEL_ANDROID_MAX_ASSETS_CACHE_SIZE");
    recreateHandler();
}

void AssetsTest::TearDown()
{
    m_handler.reset();
    setBridgeAssetManager(nullptr);
    velunsetenv("VEL_ANDROID_MAX_ASSETS_CACHE_SIZE");
}

void AssetsTest::recreateHandler()
{
    m_handler.reset();
    m_handler.reset(new AndroidAssetsFileEngineHandler);
}

std::unique_ptr<AndroidAbstractFileEngine> AssetsTest::engineFor(const std::string &name) const
{
    VelAbstractFileEngine *engine = m_handler->create(VelString::fromStdString(name));
    return std::unique_ptr<AndroidAbstractFileEngine>(
        dynamic_cast<AndroidAbstractFileEngine *>(engine));
}

std::string binaryContent(int size)
{
    std::string bytes;
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<char>((i * 7 + 3) & 0xff));
    return bytes;
}

std::vector<std::string> toStd(const VelStringList &list)
{
    std::vector<std::string> out;
    for (const VelString &s : list)
        out.push_back(s.toStdString());
    return out;
}
