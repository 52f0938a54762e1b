// Input costs on the real stack (Java VM, plugin, the application's GUI
// thread): the round trip of an input-connection query from a Java thread to
// the GUI thread and back, against a raw two-thread condition-variable
// hand-over; and a touch sequence from touchBegin to its delivery to the
// window on the GUI thread.

#include "inputtestkit.h"

#include "velandroiddriver.h"
#include "velx11window.h"
#include "velxvfbserver.h"

#include <benchmark/benchmark.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace
{

constexpr int Width = 480;
constexpr int Height = 800;

struct Stack {
    VelXvfbServer server;
    VelAndroidDriver driver;
    VelX11Window surfaceWindow;
    jclass connection = nullptr;
    jmethodID textBeforeCursor = nullptr;
    jclass velNative = nullptr;
    jmethodID touchBegin = nullptr;
    jmethodID touchAdd = nullptr;
    jmethodID touchEnd = nullptr;
};

Stack *stack = nullptr;

bool fail(const std::string &what)
{
    std::fprintf(stderr, "bench_input: %s\n", what.c_str());
    return false;
}

bool startStack()
{
    stack = new Stack;
    std::string error;
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) {
        if (!stack->server.start(1280, 1024, &error))
            return fail(error);
        ::setenv("DISPLAY", stack->server.displayName().c_str(), 1);
    }
    VelAndroidDriver &driver = stack->driver;
    char pattern[] = "/tmp/velbenchinputXXXXXX";
    bool started = false;
    if (!driver.startJavaVm(VelAndroidDriver::VmOptions()) || !::mkdtemp(pattern) ||
        !driver.createActivity(pattern) ||
        !driver.loadLibrary(VelAndroidDriver::defaultPluginPath()) ||
        !driver.startVelAndroidPlugin(&started) || !started ||
        !driver.setDisplayMetrics(Width, Height, Width, Height, 160, 160, 1))
        return fail(driver.lastError());
    // The surface first, as a resumed activity has it, then the application.
    if (!stack->surfaceWindow.create(std::getenv("DISPLAY"), Width, Height, "bench", &error))
        return fail(error);
    jobject surface = driver.newSurface(stack->surfaceWindow.windowId(), Width, Height);
    if (!surface || !driver.setSurface(surface))
        return fail(driver.lastError());
    driver.deleteGlobalRef(surface);
    if (!driver.startVelApplication({VEL_BENCH_INPUT_APP}, {}))
        return fail(driver.lastError());
    if (!InputTestApp::waitForPublished(30000))
        return fail("the application did not start");
    InputTestApp::onGuiThread([] { InputTestApp::editor()->setState(VelString("hello"), 5); });

    JNIEnv *env = driver.env();
    stack->connection = static_cast<jclass>(
        env->NewGlobalRef(env->FindClass("org/vel/android/VelNativeInputConnection")));
    stack->textBeforeCursor =
        env->GetStaticMethodID(stack->connection, "getTextBeforeCursor", "(II)Ljava/lang/String;");
    stack->velNative =
        static_cast<jclass>(env->NewGlobalRef(env->FindClass("org/vel/android/VelNative")));
    stack->touchBegin = env->GetStaticMethodID(stack->velNative, "touchBegin", "(I)V");
    stack->touchAdd = env->GetStaticMethodID(stack->velNative, "touchAdd", "(IIIZIIFF)V");
    stack->touchEnd = env->GetStaticMethodID(stack->velNative, "touchEnd", "(II)V");
    if (!stack->textBeforeCursor || !stack->touchBegin || !stack->touchAdd || !stack->touchEnd)
        return fail("a Java method is missing");
    return true;
}

// The Java UI thread asks, the GUI thread answers from the focus object.
void BM_QueryRoundTrip(benchmark::State &state)
{
    JNIEnv *env = stack->driver.env();
    for (auto _ : state) {
        jobject text =
            env->CallStaticObjectMethod(stack->connection, stack->textBeforeCursor, 3, 0);
        if (!text) {
            state.SkipWithError("no answer");
            break;
        }
        env->DeleteLocalRef(text);
    }
}
BENCHMARK(BM_QueryRoundTrip)->UseRealTime();

// The floor: one thread hands a request to another and waits for its answer.
void BM_RawConditionVariableHandOver(benchmark::State &state)
{
    std::mutex mutex;
    std::condition_variable changed;
    long requests = 0;
    long answers = 0;
    bool stop = false;
    std::thread answerer([&] {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return stop || requests > answers; });
            if (stop)
                return;
            ++answers;
            changed.notify_all();
        }
    });
    for (auto _ : state) {
        std::unique_lock<std::mutex> lock(mutex);
        ++requests;
        changed.notify_all();
        changed.wait(lock, [&] { return answers == requests; });
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        stop = true;
    }
    changed.notify_all();
    answerer.join();
}
BENCHMARK(BM_RawConditionVariableHandOver)->UseRealTime();

// touchBegin, touchAdd, touchEnd on the Java thread until the window on the
// GUI thread has the event.
void BM_TouchToDelivery(benchmark::State &state)
{
    JNIEnv *env = stack->driver.env();
    InputTestLog::clear();
    size_t delivered = 0;
    int action = 0; // pressed, then moved: one sequence for the whole run
    for (auto _ : state) {
        env->CallStaticVoidMethod(stack->velNative, stack->touchBegin, 0);
        env->CallStaticVoidMethod(stack->velNative, stack->touchAdd, 0, 1, action, JNI_TRUE, 120,
                                  70, 0.1f, 0.5f);
        env->CallStaticVoidMethod(stack->velNative, stack->touchEnd, 0, 0);
        action = 1;
        if (!InputTestLog::waitForCount(++delivered, 10000)) {
            state.SkipWithError("touch not delivered");
            break;
        }
        if (delivered == 10000) {
            state.PauseTiming();
            InputTestLog::clear();
            delivered = 0;
            state.ResumeTiming();
        }
    }
    env->CallStaticVoidMethod(stack->velNative, stack->touchBegin, 0);
    env->CallStaticVoidMethod(stack->velNative, stack->touchAdd, 0, 1, 3, JNI_TRUE, 120, 70, 0.1f,
                              0.5f);
    env->CallStaticVoidMethod(stack->velNative, stack->touchEnd, 0, 0);
}
BENCHMARK(BM_TouchToDelivery)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (!startStack())
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    // The application's main still runs; like Android, the process just ends.
    std::fflush(nullptr);
    std::_Exit(0);
}
