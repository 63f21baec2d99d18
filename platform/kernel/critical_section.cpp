// The critical section: a recursive mutex constructed in the section's own storage.
#include <mutex>
#include <new>

#include "platform/kernel.h"

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
