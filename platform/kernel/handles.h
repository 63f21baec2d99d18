// Kernel objects behind HANDLE values. Every handle the layer gives out is the address of a heap
// object with a kind tag, entered in a registry of live handles; a call looks its handle up there
// first, so a stale, closed or foreign pointer is refused without ever being dereferenced.
#pragma once

#include <memory>

#include "platform/kernel.h"

namespace platform::kernel {

enum class HandleKind { File, Find, Thread };

struct KernelObject {
    explicit KernelObject(HandleKind objectKind) : kind(objectKind) {}
    virtual ~KernelObject() = default;
    KernelObject(const KernelObject &) = delete;
    KernelObject &operator=(const KernelObject &) = delete;

    const HandleKind kind;
};

// Enters an object in the registry and returns its handle.
HANDLE registerHandle(std::shared_ptr<KernelObject> object);

// The live object behind a handle, or null when the handle is not a live one. The returned
// reference keeps the object alive even if another thread closes the handle meanwhile.
std::shared_ptr<KernelObject> lookupHandle(HANDLE handle);

// Removes a live handle from the registry and returns its object (null if it was not live).
std::shared_ptr<KernelObject> unregisterHandle(HANDLE handle);

// Looks up a handle of one kind; sets ERROR_INVALID_HANDLE and returns null otherwise.
template <typename T> std::shared_ptr<T> lookupHandleOf(HANDLE handle, HandleKind kind) {
    std::shared_ptr<KernelObject> object = lookupHandle(handle);
    if (!object || object->kind != kind) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return std::static_pointer_cast<T>(object);
}

} // namespace platform::kernel
