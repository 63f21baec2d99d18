// Window classes and window records: registration, creation, destruction and lookup.
#include <algorithm>
#include <cwctype>
#include <mutex>
#include <unordered_set>

#include "platform/kernel.h"
#include "platform/windows/ScreenHooks.h"
#include "platform/windows/ThreadQueueInternal.h"
#include "platform/windows/WindowRecord.h"

namespace platform {

ScreenHooks screenHooks;

namespace {

struct Registry {
    std::recursive_mutex mutex;
    std::vector<WindowClass> classes;
    std::unordered_set<WindowRecord *> live;
    std::vector<WindowRecord *> ordered;
};

Registry &registry() {
    static Registry *instance = new Registry;
    return *instance;
}

bool sameName(const std::wstring &a, const wchar_t *b) {
    size_t length = wcslen(b);
    if (a.size() != length) {
        return false;
    }
    for (size_t i = 0; i < length; ++i) {
        if (towlower(static_cast<wint_t>(a[i])) != towlower(static_cast<wint_t>(b[i]))) {
            return false;
        }
    }
    return true;
}

const WindowClass *findClass(const wchar_t *name) {
    for (const WindowClass &cls : registry().classes) {
        if (sameName(cls.name, name)) {
            return &cls;
        }
    }
    return nullptr;
}

ATOM addClass(WindowClass cls) {
    WindowsLock lock;
    if (cls.name.empty() || cls.proc == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (findClass(cls.name.c_str()) != nullptr) {
        SetLastError(1410); // class already exists
        return 0;
    }
    registry().classes.push_back(std::move(cls));
    return static_cast<ATOM>(0xC000 + registry().classes.size());
}

// Removes a record from the registry and its parent's children, and frees it.
void eraseRecord(WindowRecord *record) {
    Registry &reg = registry();
    if (record->parent != nullptr) {
        std::erase(record->parent->children, record);
    }
    for (WindowRecord *child : record->children) {
        child->parent = nullptr;
    }
    reg.live.erase(record);
    std::erase(reg.ordered, record);
    delete record;
}

} // namespace

void lockWindows() { registry().mutex.lock(); }
void unlockWindows() { registry().mutex.unlock(); }

WindowRecord *lookupWindow(HWND window) {
    WindowsLock lock;
    auto *record = reinterpret_cast<WindowRecord *>(window);
    if (record == nullptr || registry().live.count(record) == 0) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return record;
}

DWORD ownerThreadOf(HWND window) {
    WindowsLock lock;
    WindowRecord *record = lookupWindow(window);
    return record != nullptr ? record->threadId : 0;
}

const std::vector<WindowRecord *> &allWindows() { return registry().ordered; }

bool isShownOnScreen(const WindowRecord *record) {
    for (; record != nullptr; record = record->parent) {
        if (record->messageOnly || (record->style & WS_VISIBLE) == 0) {
            return false;
        }
        if ((record->style & WS_CHILD) == 0) {
            return true;
        }
    }
    return false;
}

RECT clientAreaOf(const WindowRecord &record) {
    RECT client = {0, 0, record.rect.right - record.rect.left,
                   record.rect.bottom - record.rect.top};
    if (screenHooks.clientArea != nullptr) {
        screenHooks.clientArea(record, client);
    }
    return client;
}

bool findPaintMessage(DWORD threadId, HWND filter, MSG &msg) {
    WindowsLock lock;
    for (WindowRecord *record : registry().ordered) {
        if (record->threadId != threadId || !record->updatePending || record->destroying) {
            continue;
        }
        if (filter != nullptr && toHandle(record) != filter) {
            continue;
        }
        if (!isShownOnScreen(record)) {
            continue;
        }
        msg = MSG{toHandle(record), WM_PAINT, 0, 0, static_cast<DWORD>(nowMs()), {0, 0}};
        return true;
    }
    return false;
}

void forgetThreadWindows(DWORD threadId) {
    WindowsLock lock;
    std::vector<WindowRecord *> owned;
    for (WindowRecord *record : registry().ordered) {
        if (record->threadId == threadId) {
            owned.push_back(record);
        }
    }
    // Children first, so that every erase finds its parent still alive.
    std::reverse(owned.begin(), owned.end());
    for (WindowRecord *record : owned) {
        if (screenHooks.windowDestroyed != nullptr) {
            screenHooks.windowDestroyed(*record);
        }
        eraseRecord(record);
    }
}

} // namespace platform

using namespace platform;

ATOM RegisterClassW(const WNDCLASSW *wc) {
    if (wc == nullptr || wc->lpszClassName == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return addClass(WindowClass{wc->lpszClassName, wc->style, wc->lpfnWndProc, wc->hInstance,
                                wc->hIcon, wc->hCursor, wc->hbrBackground});
}

ATOM RegisterClassExW(const WNDCLASSEXW *wc) {
    if (wc == nullptr || wc->lpszClassName == nullptr || wc->cbSize != sizeof(WNDCLASSEXW)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return addClass(WindowClass{wc->lpszClassName, wc->style, wc->lpfnWndProc, wc->hInstance,
                                wc->hIcon, wc->hCursor, wc->hbrBackground});
}

BOOL UnregisterClassW(LPCWSTR className, HINSTANCE) {
    WindowsLock lock;
    auto &classes = registry().classes;
    for (auto it = classes.begin(); it != classes.end(); ++it) {
        if (sameName(it->name, className)) {
            classes.erase(it);
            return TRUE;
        }
    }
    SetLastError(1411); // class does not exist
    return FALSE;
}

HICON LoadIconW(HINSTANCE, LPCWSTR name) {
    return reinterpret_cast<HICON>(const_cast<LPWSTR>(name));
}

HCURSOR LoadCursorW(HINSTANCE, LPCWSTR name) {
    return reinterpret_cast<HCURSOR>(const_cast<LPWSTR>(name));
}

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
    auto *record = new WindowRecord;
    {
        WindowsLock lock;
        const WindowClass *cls = className != nullptr ? findClass(className) : nullptr;
        if (cls == nullptr) {
            delete record;
            SetLastError(1407); // cannot find window class
            return nullptr;
        }
        WindowRecord *parentRecord = nullptr;
        if (parent == HWND_MESSAGE) {
            record->messageOnly = true;
        } else if (parent != nullptr) {
            parentRecord = lookupWindow(parent);
            if (parentRecord == nullptr) {
                delete record;
                return nullptr;
            }
        }
        if ((style & WS_CHILD) != 0 && parentRecord == nullptr) {
            delete record;
            SetLastError(1406); // cannot create a top-level child window
            return nullptr;
        }
        record->cls = *cls;
        record->proc = cls->proc;
        record->threadId = GetCurrentThreadId();
        record->style = style;
        record->exStyle = exStyle;
        record->instance = instance;
        record->text = windowName != nullptr ? windowName : L"";
        if ((style & WS_CHILD) != 0) {
            record->parent = parentRecord;
            record->id = reinterpret_cast<UINT_PTR>(menu);
            parentRecord->children.push_back(record);
        } else {
            record->owner = parentRecord != nullptr ? toHandle(parentRecord) : nullptr;
        }
        if (x == CW_USEDEFAULT) {
            record->defaultPosition = true;
            x = 0;
            y = 0;
        }
        if (width == CW_USEDEFAULT) {
            width = 640;
            height = 480;
        }
        record->rect = RECT{x, y, x + width, y + height};
        registry().live.insert(record);
        registry().ordered.push_back(record);
    }
    currentQueue();
    HWND hwnd = toHandle(record);
    if (screenHooks.windowCreated != nullptr) {
        WindowsLock lock;
        screenHooks.windowCreated(*record);
    }
    CREATESTRUCTW create = {
        param,      instance,  menu,   parent, height, width, y, x, static_cast<LONG>(style),
        windowName, className, exStyle};
    if (SendMessageW(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create)) == 0 ||
        SendMessageW(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (IsWindow(hwnd) && (style & WS_VISIBLE) != 0) {
        InvalidateRect(hwnd, nullptr, TRUE);
    }
    return IsWindow(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND window) {
    std::vector<HWND> owned;
    std::vector<HWND> children;
    {
        WindowsLock lock;
        WindowRecord *record = lookupWindow(window);
        if (record == nullptr) {
            return FALSE;
        }
        if (record->threadId != GetCurrentThreadId()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        if (record->destroying) {
            return TRUE;
        }
        record->destroying = true;
        for (WindowRecord *other : registry().ordered) {
            if (other->owner == window) {
                owned.push_back(toHandle(other));
            }
        }
        for (WindowRecord *child : record->children) {
            children.push_back(toHandle(child));
        }
    }
    for (HWND other : owned) {
        DestroyWindow(other);
    }
    if (GetFocus() == window) {
        SetFocus(nullptr);
    }
    SendMessageW(window, WM_DESTROY, 0, 0);
    for (HWND child : children) {
        DestroyWindow(child);
    }
    SendMessageW(window, WM_NCDESTROY, 0, 0);
    removeTimersOf(window);
    WindowsLock lock;
    WindowRecord *record = lookupWindow(window);
    if (record != nullptr) {
        if (screenHooks.windowDestroyed != nullptr) {
            screenHooks.windowDestroyed(*record);
        }
        eraseRecord(record);
    }
    return TRUE;
}

BOOL IsWindow(HWND window) {
    WindowsLock lock;
    return registry().live.count(reinterpret_cast<WindowRecord *>(window)) != 0 ? TRUE : FALSE;
}

HWND GetParent(HWND window) {
    WindowsLock lock;
    WindowRecord *record = lookupWindow(window);
    if (record == nullptr) {
        return nullptr;
    }
    return record->parent != nullptr ? toHandle(record->parent) : record->owner;
}

DWORD GetWindowThreadProcessId(HWND window, LPDWORD processId) {
    WindowsLock lock;
    WindowRecord *record = lookupWindow(window);
    if (processId != nullptr) {
        *processId = record != nullptr ? 1 : 0;
    }
    return record != nullptr ? record->threadId : 0;
}

LONG_PTR GetWindowLongPtrW(HWND window, int index) {
    WindowsLock lock;
    WindowRecord *record = lookupWindow(window);
    if (record == nullptr) {
        return 0;
    }
    switch (index) {
    case GWL_STYLE:
        return static_cast<LONG_PTR>(record->style);
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(record->exStyle);
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(record->proc);
    case GWLP_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(record->instance);
    case GWLP_ID:
        return static_cast<LONG_PTR>(record->id);
    case GWLP_USERDATA:
        return record->userData;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
}

LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR value) {
    WindowsLock lock;
    WindowRecord *record = lookupWindow(window);
    if (record == nullptr) {
        return 0;
    }
    LONG_PTR previous = 0;
    switch (index) {
    case GWL_STYLE:
        previous = static_cast<LONG_PTR>(record->style);
        record->style = static_cast<DWORD>(value);
        break;
    case GWL_EXSTYLE:
        previous = static_cast<LONG_PTR>(record->exStyle);
        record->exStyle = static_cast<DWORD>(value);
        break;
    case GWLP_WNDPROC:
        previous = reinterpret_cast<LONG_PTR>(record->proc);
        record->proc = reinterpret_cast<WNDPROC>(value);
        return previous;
    case GWLP_ID:
        previous = static_cast<LONG_PTR>(record->id);
        record->id = static_cast<UINT_PTR>(value);
        return previous;
    case GWLP_USERDATA:
        previous = record->userData;
        record->userData = value;
        return previous;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (screenHooks.windowChanged != nullptr) {
        screenHooks.windowChanged(*record);
    }
    return previous;
}

int GetDlgCtrlID(HWND window) { return static_cast<int>(GetWindowLongPtrW(window, GWLP_ID)); }

HWND GetDlgItem(HWND parent, int id) {
    WindowsLock lock;
    WindowRecord *record = lookupWindow(parent);
    if (record == nullptr) {
        return nullptr;
    }
    for (WindowRecord *child : record->children) {
        if (child->id == static_cast<UINT_PTR>(id)) {
            return toHandle(child);
        }
    }
    return nullptr;
}

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName) {
    WindowsLock lock;
    for (WindowRecord *record : registry().ordered) {
        if ((record->style & WS_CHILD) != 0 || record->messageOnly || record->destroying) {
            continue;
        }
        if (className != nullptr && !sameName(record->cls.name, className)) {
            continue;
        }
        if (windowName != nullptr && record->text != windowName) {
            continue;
        }
        return toHandle(record);
    }
    return nullptr;
}
