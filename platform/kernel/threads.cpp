// Threads as waitable handles, thread identifiers, Sleep, GetTickCount and the critical section.
//
// A thread's shared state lives in a ThreadObject held both by the running thread and by the
// handle registry; whichever lets go last frees it, so closing the handle of a running thread
// detaches it and a thread that has ended leaves nothing behind once its handle is closed.
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <limits.h>
#include <mutex>
#include <new>
#include <pthread.h>
#include <thread>
#include <time.h>
#include <unistd.h>

#include "platform/kernel/handles.h"

namespace {

using platform::kernel::HandleKind;

struct ThreadObject : platform::kernel::KernelObject {
    ThreadObject() : KernelObject(HandleKind::Thread) {}

    std::mutex lock;
    std::condition_variable changed;
    bool suspended = false;
    bool ended = false;
    DWORD exitCode = STILL_ACTIVE;
    DWORD id = 0;
    std::function<DWORD()> body;
};

std::atomic<DWORD> nextThreadId{1};
thread_local DWORD currentThreadId = 0;

DWORD allocateThreadId() {
    DWORD id;
    do {
        id = nextThreadId.fetch_add(1, std::memory_order_relaxed);
    } while (id == 0);
    return id;
}

void *threadEntry(void *argument) {
    // The thread's own reference to its state, handed over by the creator.
    std::shared_ptr<ThreadObject> self(
        std::move(*static_cast<std::shared_ptr<ThreadObject> *>(argument)));
    delete static_cast<std::shared_ptr<ThreadObject> *>(argument);
    currentThreadId = self->id;
    std::function<DWORD()> body;
    {
        std::unique_lock<std::mutex> guard(self->lock);
        self->changed.wait(guard, [&] { return !self->suspended; });
        body = std::move(self->body);
    }
    DWORD code = body();
    {
        std::lock_guard<std::mutex> guard(self->lock);
        self->exitCode = code;
        self->ended = true;
    }
    self->changed.notify_all();
    return nullptr;
}

HANDLE startThread(size_t stackSize, std::function<DWORD()> body, DWORD creationFlags,
                   DWORD *threadId) {
    auto object = std::make_shared<ThreadObject>();
    object->suspended = (creationFlags & CREATE_SUSPENDED) != 0;
    object->id = allocateThreadId();
    object->body = std::move(body);

    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    if (stackSize > 0) {
        long page = ::sysconf(_SC_PAGESIZE);
        size_t rounded = (std::max<size_t>(stackSize, PTHREAD_STACK_MIN) + page - 1) / page * page;
        pthread_attr_setstacksize(&attributes, rounded);
    }
    auto *threadReference = new std::shared_ptr<ThreadObject>(object);
    pthread_t thread;
    int err = pthread_create(&thread, &attributes, threadEntry, threadReference);
    pthread_attr_destroy(&attributes);
    if (err != 0) {
        delete threadReference;
        SetLastError(err == EAGAIN ? ERROR_NOT_ENOUGH_MEMORY : ErrorFromErrno(err));
        return nullptr;
    }
    if (threadId != nullptr) {
        *threadId = object->id;
    }
    return platform::kernel::registerHandle(std::move(object));
}

} // namespace

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, size_t stackSize, LPTHREAD_START_ROUTINE startAddress,
                    LPVOID parameter, DWORD creationFlags, LPDWORD threadId) {
    if (startAddress == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return startThread(
        stackSize, [startAddress, parameter] { return startAddress(parameter); }, creationFlags,
        threadId);
}

uintptr_t _beginthreadex(void *, unsigned stackSize, unsigned(__stdcall *startAddress)(void *),
                         void *argList, unsigned initFlag, unsigned *threadAddr) {
    if (startAddress == nullptr) {
        errno = EINVAL;
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    DWORD id = 0;
    HANDLE handle = startThread(
        stackSize, [startAddress, argList] { return static_cast<DWORD>(startAddress(argList)); },
        initFlag, &id);
    if (handle == nullptr) {
        errno = EAGAIN;
        return 0;
    }
    if (threadAddr != nullptr) {
        *threadAddr = id;
    }
    return reinterpret_cast<uintptr_t>(handle);
}

DWORD ResumeThread(HANDLE thread) {
    auto object = platform::kernel::lookupHandleOf<ThreadObject>(thread, HandleKind::Thread);
    if (!object) {
        return static_cast<DWORD>(-1);
    }
    DWORD previous;
    {
        std::lock_guard<std::mutex> guard(object->lock);
        previous = object->suspended ? 1 : 0;
        object->suspended = false;
    }
    object->changed.notify_all();
    return previous;
}

// A thread handle is signalled once its thread has ended; a file handle is always signalled.
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    std::shared_ptr<platform::kernel::KernelObject> object = platform::kernel::lookupHandle(handle);
    if (!object || object->kind == HandleKind::Find) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    if (object->kind != HandleKind::Thread) {
        return WAIT_OBJECT_0;
    }
    auto *thread = static_cast<ThreadObject *>(object.get());
    std::unique_lock<std::mutex> guard(thread->lock);
    if (milliseconds == INFINITE) {
        thread->changed.wait(guard, [thread] { return thread->ended; });
        return WAIT_OBJECT_0;
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    bool ended = thread->changed.wait_until(guard, deadline, [thread] { return thread->ended; });
    return ended ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode) {
    auto object = platform::kernel::lookupHandleOf<ThreadObject>(thread, HandleKind::Thread);
    if (!object) {
        return FALSE;
    }
    if (exitCode == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard<std::mutex> guard(object->lock);
    *exitCode = object->ended ? object->exitCode : STILL_ACTIVE;
    return TRUE;
}

DWORD GetCurrentThreadId() {
    if (currentThreadId == 0) {
        currentThreadId = allocateThreadId();
    }
    return currentThreadId;
}

void Sleep(DWORD milliseconds) {
    if (milliseconds == 0) {
        std::this_thread::yield();
        return;
    }
    if (milliseconds == INFINITE) {
        for (;;) {
            ::pause();
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// Milliseconds of a monotonic clock, wrapping as a DWORD does.
DWORD GetTickCount() {
    struct timespec now;
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    uint64_t ms =
        static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<DWORD>(ms);
}

// ---- Critical section: a recursive mutex constructed in the section's own storage ----------

namespace {

static_assert(sizeof(std::recursive_mutex) <= sizeof(CRITICAL_SECTION::storage),
              "the mutex must fit in the section's storage");
static_assert(alignof(std::recursive_mutex) <= alignof(CRITICAL_SECTION),
              "the section's storage must be aligned for the mutex");

std::recursive_mutex *mutexOf(LPCRITICAL_SECTION section) {
    return std::launder(reinterpret_cast<std::recursive_mutex *>(section->storage));
}

} // namespace

void InitializeCriticalSection(LPCRITICAL_SECTION section) {
    new (section->storage) std::recursive_mutex();
}

void EnterCriticalSection(LPCRITICAL_SECTION section) { mutexOf(section)->lock(); }

void LeaveCriticalSection(LPCRITICAL_SECTION section) { mutexOf(section)->unlock(); }

void DeleteCriticalSection(LPCRITICAL_SECTION section) { mutexOf(section)->~recursive_mutex(); }
