// The JNI reference count the soak program prints, taken from a real Java VM:
// every global reference made is counted until it is deleted, local ones
// likewise, and weak globals (which do not keep objects alive) are not.

#include "velandroiddriver.h"
#include "veljavavm.h"
#include "veljnireferencecounter.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

class JniReferenceCounterTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        if (VelJavaVm::exists())
            return;
        VelAndroidDriver driver;
        ASSERT_TRUE(driver.startJavaVm(VelAndroidDriver::VmOptions())) << driver.lastError();
    }

    void SetUp() override
    {
        const char *error = nullptr;
        ASSERT_TRUE(m_counter.attach(VelJavaVm::vm(), &error)) << error;
        m_env = VelJavaVm::env();
        ASSERT_NE(m_env, nullptr);
        m_object = m_env->NewStringUTF("counted");
        ASSERT_NE(m_object, nullptr);
    }
    void TearDown() override
    {
        if (m_object)
            m_env->DeleteLocalRef(m_object);
    }

    VelJniReferenceCounter m_counter;
    JNIEnv *m_env = nullptr;
    jobject m_object = nullptr;
};

} // namespace

TEST_F(JniReferenceCounterTest, GlobalReferencesCountUntilDeleted)
{
    const VelJniReferenceCounter::Counts before = m_counter.count();
    ASSERT_GE(before.globals, 0);
    std::vector<jobject> globals;
    for (int i = 0; i < 3; ++i)
        globals.push_back(m_env->NewGlobalRef(m_object)); // one object, three references
    EXPECT_EQ(m_counter.count().globals, before.globals + 3);
    for (jobject global : globals)
        m_env->DeleteGlobalRef(global);
    EXPECT_EQ(m_counter.count().globals, before.globals);
}

TEST_F(JniReferenceCounterTest, LocalReferencesOfAThreadOutsideJavaAreCounted)
{
    const VelJniReferenceCounter::Counts before = m_counter.count();
    ASSERT_GE(before.locals, 1); // m_object
    jobject local = m_env->NewLocalRef(m_object);
    ASSERT_NE(local, nullptr);
    EXPECT_EQ(m_counter.count().locals, before.locals + 1);
    m_env->DeleteLocalRef(local);
    EXPECT_EQ(m_counter.count().locals, before.locals);
}

TEST_F(JniReferenceCounterTest, WeakGlobalReferencesAreNotCounted)
{
    const VelJniReferenceCounter::Counts before = m_counter.count();
    jweak weak = m_env->NewWeakGlobalRef(m_object);
    ASSERT_NE(weak, nullptr);
    EXPECT_EQ(m_counter.count().globals, before.globals);
    m_env->DeleteWeakGlobalRef(weak);
}

TEST(JniReferenceCounter, WithoutAVmThereIsNoCount)
{
    VelJniReferenceCounter counter;
    const char *error = nullptr;
    EXPECT_FALSE(counter.attach(nullptr, &error));
    ASSERT_NE(error, nullptr);
    EXPECT_FALSE(counter.attached());
    EXPECT_EQ(counter.count().globals, -1);
    EXPECT_EQ(counter.count().locals, -1);
}
