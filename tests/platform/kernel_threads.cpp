// Threads, waits and the critical section. These suites also run under ThreadSanitizer.
#include <atomic>
#include <set>

#include "tests/platform/kernel_test_support.h"

namespace {

struct Gate {
    std::atomic<bool> open{false};
    std::atomic<bool> started{false};
    std::atomic<DWORD> idSeen{0};
};

DWORD WINAPI waitAtGate(LPVOID parameter) {
    auto *gate = static_cast<Gate *>(parameter);
    gate->idSeen = GetCurrentThreadId();
    gate->started = true;
    while (!gate->open) {
        Sleep(1);
    }
    return 42;
}

unsigned __stdcall doubleIt(void *parameter) { return *static_cast<unsigned *>(parameter) * 2; }

TEST(KernelThreadsThreaded, WaitTimesOutUntilTheThreadEnds) {
    Gate gate;
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, waitAtGate, &gate, 0, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(id, 0u);
    EXPECT_NE(id, GetCurrentThreadId());
    EXPECT_EQ(WaitForSingleObject(thread, 20), WAIT_TIMEOUT);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, STILL_ACTIVE);

    gate.open = true;
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 42u);
    EXPECT_EQ(gate.idSeen.load(), id);
    EXPECT_TRUE(CloseHandle(thread));

    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
}

TEST(KernelThreadsThreaded, RuntimeStartAndSuspendedStart) {
    unsigned value = 21;
    unsigned id = 0;
    uintptr_t started = _beginthreadex(nullptr, 0, doubleIt, &value, 0, &id);
    ASSERT_NE(started, 0u);
    EXPECT_NE(id, 0u);
    HANDLE thread = reinterpret_cast<HANDLE>(started);
    EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 42u);
    EXPECT_TRUE(CloseHandle(thread));

    Gate gate;
    gate.open = true;
    thread = CreateThread(nullptr, 64 * 1024, waitAtGate, &gate, CREATE_SUSPENDED, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 20), WAIT_TIMEOUT);
    EXPECT_FALSE(gate.started);
    EXPECT_EQ(ResumeThread(thread), 1u);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(gate.started);
    EXPECT_TRUE(CloseHandle(thread));
}

// Closing the handle of a running thread detaches it: the thread runs on to its end.
struct DetachFlags {
    std::atomic<bool> go{false};
    std::atomic<bool> done{false};
};

DWORD WINAPI finishWhenTold(LPVOID parameter) {
    auto *flags = static_cast<DetachFlags *>(parameter);
    while (!flags->go) {
        Sleep(1);
    }
    flags->done = true; // the last touch of the flags
    return 0;
}

TEST(KernelThreadsThreaded, ClosingTheHandleDetaches) {
    static DetachFlags flags; // outlives the test, whatever the thread does
    flags.go = false;
    flags.done = false;
    HANDLE thread = CreateThread(nullptr, 0, finishWhenTold, &flags, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(CloseHandle(thread));
    EXPECT_FALSE(flags.done);
    flags.go = true;
    while (!flags.done) {
        Sleep(1);
    }
}

TEST(KernelThreadsThreaded, ThreadIdsAreSmallAndDistinct) {
    constexpr int count = 8;
    Gate gates[count];
    HANDLE threads[count];
    std::set<DWORD> ids = {GetCurrentThreadId()};
    for (int i = 0; i < count; ++i) {
        gates[i].open = true;
        threads[i] = CreateThread(nullptr, 0, waitAtGate, &gates[i], 0, nullptr);
        ASSERT_NE(threads[i], nullptr);
    }
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(WaitForSingleObject(threads[i], INFINITE), WAIT_OBJECT_0);
        EXPECT_TRUE(CloseHandle(threads[i]));
        ids.insert(gates[i].idSeen.load());
    }
    EXPECT_EQ(ids.size(), static_cast<size_t>(count + 1));
    EXPECT_EQ(ids.count(0), 0u);
    EXPECT_EQ(GetCurrentThreadId(), GetCurrentThreadId());
}

TEST(KernelThreadsThreaded, SleepAndTickCount) {
    DWORD before = GetTickCount();
    Sleep(30);
    DWORD elapsed = GetTickCount() - before;
    EXPECT_GE(elapsed, 29u);
}

struct Shared {
    CRITICAL_SECTION section;
    long counter = 0; // guarded by section only
};

constexpr int kRounds = 20000;

DWORD WINAPI hammer(LPVOID parameter) {
    auto *shared = static_cast<Shared *>(parameter);
    for (int i = 0; i < kRounds; ++i) {
        EnterCriticalSection(&shared->section);
        EnterCriticalSection(&shared->section); // the section is recursive
        long seen = shared->counter;
        shared->counter = seen + 1;
        LeaveCriticalSection(&shared->section);
        LeaveCriticalSection(&shared->section);
    }
    return 0;
}

TEST(KernelCriticalSectionThreaded, TwoThreadsHammerOneSection) {
    Shared shared;
    InitializeCriticalSection(&shared.section);
    HANDLE first = CreateThread(nullptr, 0, hammer, &shared, 0, nullptr);
    HANDLE second = CreateThread(nullptr, 0, hammer, &shared, 0, nullptr);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    hammer(&shared);
    EXPECT_EQ(WaitForSingleObject(first, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(second, INFINITE), WAIT_OBJECT_0);
    CloseHandle(first);
    CloseHandle(second);
    EnterCriticalSection(&shared.section);
    EXPECT_EQ(shared.counter, 3L * kRounds);
    LeaveCriticalSection(&shared.section);
    DeleteCriticalSection(&shared.section);
}

} // namespace
