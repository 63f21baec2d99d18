// The registry of live handles and CloseHandle.
#include "platform/kernel/handles.h"

#include <mutex>
#include <unordered_map>

namespace platform::kernel {
namespace {

struct Registry {
    std::mutex lock;
    std::unordered_map<HANDLE, std::shared_ptr<KernelObject>> live;
};

// Never destroyed: threads that outlive main may still close their handles.
Registry &registry() {
    static Registry *instance = new Registry;
    return *instance;
}

} // namespace

HANDLE registerHandle(std::shared_ptr<KernelObject> object) {
    HANDLE handle = object.get();
    Registry &r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.live.emplace(handle, std::move(object));
    return handle;
}

std::shared_ptr<KernelObject> lookupHandle(HANDLE handle) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    Registry &r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    auto found = r.live.find(handle);
    return found == r.live.end() ? nullptr : found->second;
}

std::shared_ptr<KernelObject> unregisterHandle(HANDLE handle) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    std::shared_ptr<KernelObject> object;
    Registry &r = registry();
    {
        std::lock_guard<std::mutex> guard(r.lock);
        auto found = r.live.find(handle);
        if (found == r.live.end()) {
            return nullptr;
        }
        object = std::move(found->second);
        r.live.erase(found);
    }
    return object;
}

} // namespace platform::kernel

// Closes a file, find or thread handle. The object itself goes when its last user lets go: a file
// being written by another thread is closed after that write, and a thread runs on after its
// handle is closed.
BOOL CloseHandle(HANDLE handle) {
    std::shared_ptr<platform::kernel::KernelObject> object =
        platform::kernel::unregisterHandle(handle);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
