#include "velatomic.h"
#include "velmutex.h"
#include "velreadwritelock.h"
#include "velsemaphore.h"
#include "velthreadstorage.h"
#include "velwaitcondition.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

constexpr int DeadlockGuardMs = 60000;

// Constructed during static initialisation, as a library's global lock is.
static VelReadWriteLock staticLock;
static const bool staticLockUsable = [] {
    staticLock.lockForWrite();
    staticLock.unlock();
    return staticLock.tryLockForRead() && (staticLock.unlock(), true);
}();

TEST(KernelSync, MutexLockAndUnlockFromSeparateCallsAndThreads)
{
    VelMutex mutex;
    mutex.lock();
    EXPECT_FALSE(mutex.tryLock());
    // Unlocked by another thread, as a surface lock taken on one side and
    // released on the other.
    std::thread other([&]() { mutex.unlock(); });
    other.join();
    EXPECT_TRUE(mutex.tryLock());
    mutex.unlock();
}

TEST(KernelSync, NonRecursiveMutexExcludesAndRecursiveMutexNests)
{
    VelMutex plain;
    plain.lock();
    EXPECT_FALSE(plain.tryLock()) << "a non-recursive mutex is not re-entered, even by its owner";
    plain.unlock();

    VelMutex recursive(VelMutex::Recursive);
    recursive.lock();
    EXPECT_TRUE(recursive.tryLock());
    recursive.unlock();
    std::atomic<bool> otherGotIt{false};
    std::thread other([&]() { otherGotIt = recursive.tryLock(); });
    other.join();
    EXPECT_FALSE(otherGotIt.load()) << "still held once";
    recursive.unlock();
    std::thread again([&]() {
        otherGotIt = recursive.tryLock();
        if (otherGotIt)
            recursive.unlock();
    });
    again.join();
    EXPECT_TRUE(otherGotIt.load());
}

TEST(KernelSync, MutexProtectsACounter)
{
    VelMutex mutex;
    int counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&]() {
            for (int i = 0; i < 10000; ++i) {
                VelMutexLocker locker(&mutex);
                ++counter;
            }
        });
    }
    for (std::thread &t : threads)
        t.join();
    EXPECT_EQ(counter, 40000);
}

TEST(KernelSync, SemaphoreKeepsReleasesMadeBeforeTheAcquire)
{
    VelSemaphore semaphore;
    EXPECT_FALSE(semaphore.tryAcquire());
    semaphore.release();
    semaphore.release(2);
    EXPECT_EQ(semaphore.available(), 3);
    semaphore.acquire();
    EXPECT_TRUE(semaphore.tryAcquire(2));
    EXPECT_FALSE(semaphore.tryAcquire());

    // A waiting acquire is woken by a release from another thread.
    std::thread releaser([&]() { semaphore.release(); });
    EXPECT_TRUE(semaphore.tryAcquire(1, DeadlockGuardMs));
    releaser.join();
}

TEST(KernelSync, ReadWriteLockSharesReadsAndExcludesWrites)
{
    EXPECT_TRUE(staticLockUsable);
    VelReadWriteLock lock;
    lock.lockForRead();
    EXPECT_TRUE(lock.tryLockForRead()) << "readers share";
    EXPECT_FALSE(lock.tryLockForWrite());
    lock.unlock();
    lock.unlock();
    {
        VelWriteLocker writer(&lock);
        EXPECT_FALSE(lock.tryLockForRead());
        std::atomic<bool> otherRead{false};
        std::thread other([&]() {
            otherRead = lock.tryLockForRead();
            if (otherRead)
                lock.unlock();
        });
        other.join();
        EXPECT_FALSE(otherRead.load());
    }
    VelReadLocker reader(&lock);
    EXPECT_FALSE(lock.tryLockForWrite());
}

TEST(KernelSync, WaitConditionHandsOverWork)
{
    VelMutex mutex;
    VelWaitCondition condition;
    std::vector<int> queue;
    std::vector<int> consumed;
    std::thread consumer([&]() {
        VelMutexLocker locker(&mutex);
        while (consumed.size() < 3) {
            while (queue.empty())
                ASSERT_TRUE(condition.wait(&mutex, DeadlockGuardMs));
            consumed.push_back(queue.front());
            queue.erase(queue.begin());
        }
    });
    for (int i = 1; i <= 3; ++i) {
        VelMutexLocker locker(&mutex);
        queue.push_back(i);
        condition.wakeAll();
    }
    consumer.join();
    EXPECT_EQ(consumed, (std::vector<int>{1, 2, 3}));
}

TEST(KernelSync, AtomicIntReferenceCounting)
{
    VelAtomicInt count(1);
    EXPECT_TRUE(count.ref());
    EXPECT_EQ(count.load(), 2);
    EXPECT_TRUE(count.deref());
    EXPECT_FALSE(count.deref()) << "dropping the last reference reports zero";
    EXPECT_EQ(count.fetchAndAdd(5), 0);
    EXPECT_EQ(count.load(), 5);
    EXPECT_TRUE(count.testAndSetOrdered(5, 9));
    EXPECT_FALSE(count.testAndSetOrdered(5, 1));
    EXPECT_EQ(int(count), 9);

    VelAtomicInt shared(0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&]() {
            for (int i = 0; i < 10000; ++i)
                shared.ref();
        });
    for (std::thread &t : threads)
        t.join();
    EXPECT_EQ(shared.load(), 40000);
}

namespace
{
std::atomic<int> liveValues{0};
struct Counted {
    Counted() { ++liveValues; }
    Counted(const Counted &) { ++liveValues; }
    ~Counted() { --liveValues; }
    std::string text;
};
} // namespace

TEST(KernelSync, ThreadStorageGivesEachThreadItsOwnValueAndDiscardsItAtExit)
{
    static VelThreadStorage<Counted> storage;
    static VelThreadStorage<Counted *> pointers;
    storage.localData().text = "main";
    const int before = liveValues.load();
    std::string seenInThread;
    bool hadDataAtStart = true;
    std::thread worker([&]() {
        hadDataAtStart = storage.hasLocalData();
        seenInThread = storage.localData().text;
        storage.localData().text = "worker";
        pointers.setLocalData(new Counted);
        EXPECT_EQ(liveValues.load(), before + 2);
    });
    worker.join();
    EXPECT_FALSE(hadDataAtStart);
    EXPECT_EQ(seenInThread, "") << "made fresh on first use in the thread";
    EXPECT_EQ(storage.localData().text, "main");
    EXPECT_EQ(liveValues.load(), before) << "the thread's values went with it";
}
