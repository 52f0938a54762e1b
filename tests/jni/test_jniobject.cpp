#include "veljnienvironment.h"
#include "veljniobject.h"
#include "vellogging.h"

#include <gtest/gtest.h>

#include <jni.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace
{

JavaVM *theVM = nullptr;
JNIEnv *mainEnv = nullptr;

std::mutex capturedMutex; // guards captured; taken alone
std::vector<std::string> captured;

void captureMessages(VelMsgType type, const VelMessageLogContext &, const VelString &message)
{
    if (type != VelWarningMsg)
        return;
    std::lock_guard<std::mutex> lock(capturedMutex);
    captured.push_back(message.toStdString());
}

std::vector<std::string> takeWarnings()
{
    std::lock_guard<std::mutex> lock(capturedMutex);
    std::vector<std::string> result;
    result.swap(captured);
    return result;
}

class JavaVMEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        std::string classPath = std::string("-Djava.class.path=") + VEL_JNI_TEST_CLASSES;
        // The VM checks every reference the wrapper hands it: a local
        // reference used after its thread was detached ends the process.
        JavaVMOption options[3];
        options[0].optionString = const_cast<char *>(classPath.c_str());
        options[1].optionString = const_cast<char *>("-Xrs");
        options[2].optionString = const_cast<char *>("-Xcheck:jni");
        JavaVMInitArgs args;
        args.version = JNI_VERSION_1_8;
        args.nOptions = 3;
        args.options = options;
        args.ignoreUnrecognized = JNI_FALSE;
        ASSERT_EQ(JNI_CreateJavaVM(&theVM, reinterpret_cast<void **>(&mainEnv), &args), JNI_OK);
        velInstallMessageHandler(captureMessages);
    }
};

const ::testing::Environment *const jvmEnvironment =
    ::testing::AddGlobalTestEnvironment(new JavaVMEnvironment);

VelString unitsOf(std::initializer_list<char16_t> units)
{
    return VelString(std::u16string(units));
}

TEST(JniEnvironment, FindsTheVMOfTheProcessWithoutBeingTold)
{
    velJniSetJavaVM(nullptr);
    EXPECT_EQ(velJniJavaVM(), theVM);
    velJniSetJavaVM(theVM);
    EXPECT_EQ(velJniJavaVM(), theVM);
}

TEST(JniEnvironment, AttachesAndDetachesForeignThreadsOnlyOnce)
{
    std::thread worker([] {
        void *env = nullptr;
        EXPECT_EQ(theVM->GetEnv(&env, JNI_VERSION_1_6), JNI_EDETACHED);
        {
            VelJNIEnvironmentPrivate outer;
            ASSERT_TRUE(outer.jniEnv());
            EXPECT_TRUE(outer.attachedThread());
            {
                VelJNIEnvironmentPrivate inner;
                EXPECT_EQ(inner.jniEnv(), outer.jniEnv());
                EXPECT_FALSE(inner.attachedThread());
            }
            EXPECT_EQ(theVM->GetEnv(&env, JNI_VERSION_1_6), JNI_OK)
                << "the inner helper must not detach what the outer one attached";
            // Calls made through the wrapper on this thread work too.
            const VelJNIObjectPrivate text = VelJNIObjectPrivate::fromString(VelString("abc"));
            EXPECT_EQ(text.callMethod<jint>("length", "()I"), 3);
        }
        EXPECT_EQ(theVM->GetEnv(&env, JNI_VERSION_1_6), JNI_EDETACHED);

        // A one-off call from a foreign thread leaves it detached afterwards.
        const VelJNIObjectPrivate locale = VelJNIObjectPrivate::callStaticObjectMethod(
            "java/util/Locale", "getDefault", "()Ljava/util/Locale;");
        EXPECT_TRUE(locale.isValid());
        EXPECT_EQ(theVM->GetEnv(&env, JNI_VERSION_1_6), JNI_EDETACHED);
    });
    worker.join();

    VelJNIEnvironmentPrivate onJavaThread;
    EXPECT_EQ(onJavaThread.jniEnv(), mainEnv);
    EXPECT_FALSE(onJavaThread.attachedThread());
}

TEST(JniObject, ConstructsCallsAndReadsFields)
{
    VelJNIObjectPrivate helper("VelJniTestHelper", "(Ljava/lang/String;I)V",
                               VelJNIObjectPrivate::fromString(VelString("first")).object(), 7);
    ASSERT_TRUE(helper.isValid());
    EXPECT_EQ(mainEnv->GetObjectRefType(helper.object()), JNIGlobalRefType);
    EXPECT_EQ(helper.callMethod<jint>("getCount", "()I"), 7);
    EXPECT_EQ(helper.getObjectField("label", "Ljava/lang/String;").toString(), VelString("first"));

    helper.callMethod<void>("setCount", "(I)V", 42);
    const VelJNIObjectPrivate second = VelJNIObjectPrivate::fromString(VelString("second"));
    helper.callMethod<void>("setLabel", "(Ljava/lang/String;)V", second.object());
    const VelJNIObjectPrivate third = VelJNIObjectPrivate::fromString(VelString("third"));
    helper.callMethod<void>("setBoth", "(ILjava/lang/String;)V", -3, third.object());
    const jlong stamp = 0x123456789ABCLL;
    helper.callMethod<void>("setStamp", "(J)V", stamp);
    helper.callMethod<void>("touch", "()V");
    EXPECT_EQ(helper.getField<jint>("count", "I"), -3);
    EXPECT_EQ(helper.callMethod<jlong>("getStamp", "()J"), stamp);
    EXPECT_EQ(helper.callObjectMethod("getLabel", "()Ljava/lang/String;").toString(),
              VelString("third"));
    EXPECT_EQ(helper.getObjectField("log", "Ljava/lang/String;").toString(), VelString("ISISJV"));
    EXPECT_FALSE(helper.callMethod<jboolean>("isEmpty", "()Z"));
    EXPECT_DOUBLE_EQ(helper.callMethod<jdouble>("half", "()D"), -1.5);

    const VelJNIObjectPrivate locale = helper.getObjectField("locale", "Ljava/util/Locale;");
    ASSERT_TRUE(locale.isValid());
    EXPECT_EQ(locale.callObjectMethod("getLanguage", "()Ljava/lang/String;").toString(),
              VelString("de"));
    EXPECT_EQ(locale.callObjectMethod("getCountry", "()Ljava/lang/String;").toString(),
              VelString("DE"));

    VelJNIObjectPrivate byDefault("VelJniTestHelper");
    EXPECT_EQ(byDefault.callObjectMethod("getLabel", "()Ljava/lang/String;").toString(),
              VelString("default"));
}

TEST(JniObject, ObjectResultsSurviveOnAThreadTheCallAttaches)
{
    // The call attaches this native thread; its result is a local reference
    // that must be taken before the thread is detached again.
    VelJNIObjectPrivate builder("java/lang/StringBuilder");
    ASSERT_TRUE(builder.isValid());
    builder.callObjectMethod("append", "(I)Ljava/lang/StringBuilder;", 12);
    VelString text;
    VelString language;
    std::thread native([&] {
        text = builder.callObjectMethod("toString", "()Ljava/lang/String;").toString();
        language = VelJNIObjectPrivate::callStaticObjectMethod("java/util/Locale", "getDefault",
                                                               "()Ljava/util/Locale;")
                       .callObjectMethod("getClass", "()Ljava/lang/Class;")
                       .callObjectMethod("getName", "()Ljava/lang/String;")
                       .toString();
    });
    native.join();
    EXPECT_EQ(text, VelString("12"));
    EXPECT_EQ(language, VelString("java.util.Locale"));
}

TEST(JniObject, WrapsExistingObjectsAndOutlivesTheLocalReference)
{
    jclass cls = mainEnv->FindClass("java/lang/StringBuilder");
    jmethodID ctor = mainEnv->GetMethodID(cls, "<init>", "()V");
    jobject local = mainEnv->NewObject(cls, ctor);
    VelJNIObjectPrivate wrapper(local);
    mainEnv->DeleteLocalRef(local);
    mainEnv->DeleteLocalRef(cls);
    ASSERT_TRUE(wrapper.isValid());
    wrapper.callObjectMethod("append", "(I)Ljava/lang/StringBuilder;", 12);
    const VelJNIObjectPrivate copy = wrapper;
    EXPECT_EQ(copy.object(), wrapper.object());
    EXPECT_EQ(copy.toString(), VelString("12"));
    EXPECT_FALSE(VelJNIObjectPrivate(static_cast<jobject>(nullptr)).isValid());

    VelJNIObjectPrivate fromClass(mainEnv->FindClass("VelJniTestHelper"));
    EXPECT_TRUE(fromClass.isValid());
}

TEST(JniObject, StaticCalls)
{
    const VelJNIObjectPrivate locale = VelJNIObjectPrivate::callStaticObjectMethod(
        "java/util/Locale", "getDefault", "()Ljava/util/Locale;");
    EXPECT_TRUE(locale.isValid());
    const VelJNIObjectPrivate made = VelJNIObjectPrivate::callStaticObjectMethod(
        "VelJniTestHelper", "make", "(Ljava/lang/String;)LVelJniTestHelper;",
        VelJNIObjectPrivate::fromString(VelString("four")).object());
    EXPECT_EQ(made.callMethod<jint>("getCount", "()I"), 4);
    EXPECT_EQ(VelJNIObjectPrivate::callStaticMethod<jint>(
                  "java/lang/Integer", "parseInt", "(Ljava/lang/String;)I",
                  VelJNIObjectPrivate::fromString(VelString("-815")).object()),
              -815);
    EXPECT_TRUE(VelJNIObjectPrivate::getStaticObjectField("java/util/Locale", "FRANCE",
                                                          "Ljava/util/Locale;")
                    .isValid());
}

// Strings cross unit for unit: surrogate pairs, lone surrogates and NULs
// survive both ways (no UTF-8 round trip that would mangle them).
TEST(JniObject, StringsCrossUnitForUnit)
{
    const VelString tricky = unitsOf({u'a', 0xD83D, 0xDE00, 0xD800, u'\0', 0xDFFF, u'z'});
    const VelJNIObjectPrivate javaString = VelJNIObjectPrivate::fromString(tricky);
    EXPECT_EQ(VelJNIObjectPrivate::callStaticMethod<jint>(
                  "VelJniTestHelper", "units", "(Ljava/lang/String;)I", javaString.object()),
              7);
    EXPECT_EQ(VelJNIObjectPrivate::callStaticMethod<jint>(
                  "VelJniTestHelper", "unitAt", "(Ljava/lang/String;I)I", javaString.object(), 3),
              0xD800);
    const VelJNIObjectPrivate echoed = VelJNIObjectPrivate::callStaticObjectMethod(
        "VelJniTestHelper", "echo", "(Ljava/lang/String;)Ljava/lang/String;", javaString.object());
    EXPECT_EQ(echoed.toString(), tricky);
    EXPECT_EQ(VelJNIObjectPrivate::fromString(VelString()).toString(), VelString());
    EXPECT_TRUE(VelJNIObjectPrivate::fromString(VelString()).isValid());
}

TEST(JniObject, JavaExceptionsAreClearedAndLogged)
{
    takeWarnings();
    VelJNIObjectPrivate helper("VelJniTestHelper");
    helper.callMethod<void>("fail", "()V");
    EXPECT_FALSE(mainEnv->ExceptionCheck());
    EXPECT_EQ(helper.callMethod<jint>("failInt", "()I"), 0);
    EXPECT_FALSE(mainEnv->ExceptionCheck());
    EXPECT_EQ(helper.callMethod<jint>("noSuchMethod", "()I"), 0);
    EXPECT_FALSE(helper.getObjectField("noSuchField", "Ljava/lang/String;").isValid());
    EXPECT_FALSE(VelJNIObjectPrivate("no/such/Clazz").isValid());
    EXPECT_FALSE(VelJNIObjectPrivate("VelJniTestHelper", "(Z)V", JNI_TRUE).isValid());
    EXPECT_FALSE(mainEnv->ExceptionCheck());

    const std::vector<std::string> warnings = takeWarnings();
    ASSERT_EQ(warnings.size(), 6u);
    EXPECT_NE(warnings[0].find("java.lang.IllegalStateException: boom"), std::string::npos)
        << warnings[0];
    EXPECT_NE(warnings[1].find("bad int"), std::string::npos) << warnings[1];
    EXPECT_NE(warnings[2].find("NoSuchMethodError"), std::string::npos) << warnings[2];
    EXPECT_NE(warnings[4].find("no/such/Clazz"), std::string::npos) << warnings[4];

    // The wrapper still works after all that.
    EXPECT_EQ(helper.callObjectMethod("getLabel", "()Ljava/lang/String;").toString(),
              VelString("default"));
}

TEST(JniEnvironment, ClassNamesGoThroughTheClassLoaderWhenSet)
{
    EXPECT_FALSE(VelJNIObjectPrivate::callStaticObjectMethod("VelJniHiddenHelper", "whoAmI",
                                                             "()Ljava/lang/String;")
                     .isValid());
    const VelJNIObjectPrivate url(
        "java/net/URL", "(Ljava/lang/String;)V",
        VelJNIObjectPrivate::fromString(VelString("file:" VEL_JNI_TEST_HIDDEN "/")).object());
    ASSERT_TRUE(url.isValid());
    jclass urlClass = mainEnv->FindClass("java/net/URL");
    jobjectArray urls = mainEnv->NewObjectArray(1, urlClass, url.object());
    const VelJNIObjectPrivate loader("java/net/URLClassLoader", "([Ljava/net/URL;)V", urls);
    ASSERT_TRUE(loader.isValid());
    mainEnv->DeleteLocalRef(urls);
    mainEnv->DeleteLocalRef(urlClass);

    velJniSetClassLoader(mainEnv, loader.object());
    EXPECT_EQ(VelJNIObjectPrivate::callStaticObjectMethod("VelJniHiddenHelper", "whoAmI",
                                                          "()Ljava/lang/String;")
                  .toString(),
              VelString("hidden"));
    // Both separators are accepted for names that go through the loader.
    EXPECT_TRUE(VelJNIObjectPrivate("java.lang.StringBuilder").isValid());
    velJniSetClassLoader(mainEnv, nullptr);
    EXPECT_FALSE(VelJNIObjectPrivate::callStaticObjectMethod("VelJniHiddenHelper", "whoAmI",
                                                             "()Ljava/lang/String;")
                     .isValid());
    takeWarnings();
}

} // namespace
