// Input: SDL events turned into messages on the UI thread's queue. Mouse messages go to the
// deepest visible window under the pointer (or to the window holding the capture), keys and
// characters to the focus window, drops to the top-level window that accepts files. Input for a
// disabled window, or one inside a disabled window, is dropped. Also the drop handles that
// WM_DROPFILES carries.

#include <cwchar>
#include <string>
#include <vector>

#include "platform/gdi/Fonts.h"
#include "platform/kernel.h"
#include "platform/sdl/ScreenWindow.h"
#include "platform/windows/ThreadQueue.h"

namespace platform {
namespace {

// Screen-thread state, guarded by the windows lock.
HWND capture = nullptr;
bool captureNonClient = false;
WPARAM heldButtons = 0;
Uint16 keyMods = 0; // modifiers of the last key event
struct PendingDrop {
    bool active = false;
    std::vector<std::wstring> files;
} pendingDrop;

thread_local SHORT shiftState = 0, controlState = 0, altState = 0;

WindowRecord *recordForSdlWindow(Uint32 id) {
    for (WindowRecord *record : allWindows()) {
        auto *data = static_cast<ScreenWindow *>(record->screen);
        if (data && data->sdl && data->sdlId == id && !record->destroying)
            return record;
    }
    return nullptr;
}

POINT screenPointOf(WindowRecord &top, POINT clientPoint) {
    POINT p = clientPoint;
    HWND handle = toHandle(&top);
    ClientToScreen(handle, &p);
    return p;
}

void post(HWND window, UINT message, WPARAM wParam, LPARAM lParam, POINT screen) {
    MSG msg = {window, message, wParam, lParam, SDL_GetTicks(), screen};
    postInputMessage(msg);
}

WPARAM modifierFlags() {
    WPARAM flags = heldButtons;
    if (keyMods & KMOD_SHIFT)
        flags |= MK_SHIFT;
    if (keyMods & KMOD_CTRL)
        flags |= MK_CONTROL;
    return flags;
}

WPARAM buttonFlag(Uint8 button) {
    return button == SDL_BUTTON_LEFT ? MK_LBUTTON : button == SDL_BUTTON_RIGHT ? MK_RBUTTON : 0;
}

// message: the client message; the non-client one follows from it.
void routeMouse(Uint32 windowId, POINT point, UINT message) {
    WindowRecord *top = recordForSdlWindow(windowId);
    if (!top)
        return;
    POINT screen = screenPointOf(*top, point);
    WindowRecord *captured = capture ? lookupWindow(capture) : nullptr;
    if (captured) {
        if (!acceptsInput(*captured))
            return;
        if (captureNonClient) {
            UINT nc = message == WM_MOUSEMOVE     ? WM_NCMOUSEMOVE
                      : message == WM_LBUTTONUP   ? WM_NCLBUTTONUP
                      : message == WM_LBUTTONDOWN ? WM_NCLBUTTONDOWN
                                                  : 0;
            if (nc)
                post(capture, nc, HTVSCROLL, MAKELPARAM(screen.x, screen.y), screen);
            return;
        }
        POINT local = screen;
        ScreenToClient(capture, &local);
        post(capture, message, modifierFlags(), MAKELPARAM(local.x, local.y), screen);
        return;
    }
    HitResult hit = hitTest(*top, point);
    if (!hit.window || !acceptsInput(*hit.window))
        return;
    HWND target = toHandle(hit.window);
    if (hit.hit == HTCLIENT) {
        post(target, message, modifierFlags(), MAKELPARAM(hit.point.x, hit.point.y), screen);
        return;
    }
    UINT nc = message == WM_MOUSEMOVE     ? WM_NCMOUSEMOVE
              : message == WM_LBUTTONDOWN ? WM_NCLBUTTONDOWN
              : message == WM_LBUTTONUP   ? WM_NCLBUTTONUP
              : message == WM_RBUTTONDOWN ? WM_NCRBUTTONDOWN
              : message == WM_RBUTTONUP   ? WM_NCRBUTTONUP
                                          : 0;
    if (nc)
        post(target, nc, static_cast<WPARAM>(hit.hit), MAKELPARAM(screen.x, screen.y), screen);
}

void routeWheel(const SDL_MouseWheelEvent &wheel) {
    WindowRecord *top = recordForSdlWindow(wheel.windowID);
    if (!top || wheel.y == 0)
        return;
    POINT point = {wheel.mouseX, wheel.mouseY};
    POINT screen = screenPointOf(*top, point);
    HitResult hit = hitTest(*top, point);
    if (!hit.window || !acceptsInput(*hit.window))
        return;
    int delta = wheel.y * WHEEL_DELTA;
    if (wheel.direction == SDL_MOUSEWHEEL_FLIPPED)
        delta = -delta;
    post(toHandle(hit.window), WM_MOUSEWHEEL,
         MAKEWPARAM(modifierFlags(), static_cast<WORD>(static_cast<SHORT>(delta))),
         MAKELPARAM(screen.x, screen.y), screen);
}

int virtualKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z)
        return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9)
        return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return VK_F1 + (key - SDLK_F1);
    switch (key) {
    case SDLK_BACKSPACE:
        return VK_BACK;
    case SDLK_TAB:
        return VK_TAB;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return VK_RETURN;
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_SPACE:
        return VK_SPACE;
    case SDLK_PAGEUP:
        return VK_PRIOR;
    case SDLK_PAGEDOWN:
        return VK_NEXT;
    case SDLK_END:
        return VK_END;
    case SDLK_HOME:
        return VK_HOME;
    case SDLK_LEFT:
        return VK_LEFT;
    case SDLK_UP:
        return VK_UP;
    case SDLK_RIGHT:
        return VK_RIGHT;
    case SDLK_DOWN:
        return VK_DOWN;
    case SDLK_INSERT:
        return VK_INSERT;
    case SDLK_DELETE:
        return VK_DELETE;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT:
        return VK_MENU;
    default:
        return 0;
    }
}

LPARAM modifierBits(Uint16 mod) {
    LPARAM bits = 0;
    if (mod & KMOD_SHIFT)
        bits |= keyShiftBit;
    if (mod & KMOD_CTRL)
        bits |= keyControlBit;
    if (mod & KMOD_ALT)
        bits |= keyAltBit;
    return bits;
}

// The window that keys of an SDL window go to: the focus when it lies in that window.
WindowRecord *keyTarget(Uint32 windowId) {
    WindowRecord *top = recordForSdlWindow(windowId);
    WindowRecord *focus = lookupWindow(GetFocus());
    if (focus && (!top || topLevelOf(focus) == top))
        return focus;
    return top;
}

void routeKey(const SDL_KeyboardEvent &key) {
    keyMods = key.keysym.mod;
    WindowRecord *target = keyTarget(key.windowID);
    int vk = virtualKey(key.keysym.sym);
    if (!target || !vk || !acceptsInput(*target))
        return;
    bool up = key.type == SDL_KEYUP;
    LPARAM lParam = 1 | modifierBits(key.keysym.mod);
    if (up)
        lParam |= static_cast<LPARAM>(3u) << 30;
    else if (key.repeat)
        lParam |= static_cast<LPARAM>(1u) << 30;
    bool alt = (key.keysym.mod & KMOD_ALT) != 0;
    UINT message = up ? (alt ? WM_SYSKEYUP : WM_KEYUP) : (alt ? WM_SYSKEYDOWN : WM_KEYDOWN);
    post(toHandle(target), message, static_cast<WPARAM>(vk), lParam, POINT{0, 0});
}

void routeText(const SDL_TextInputEvent &text) {
    WindowRecord *target = keyTarget(text.windowID);
    if (!target || !acceptsInput(*target))
        return;
    for (wchar_t c : fromUtf8(text.text))
        post(toHandle(target), WM_CHAR, static_cast<WPARAM>(c), 1, POINT{0, 0});
}

void finishDrop(Uint32 windowId) {
    std::vector<std::wstring> files = std::move(pendingDrop.files);
    pendingDrop = PendingDrop{};
    WindowRecord *top = recordForSdlWindow(windowId);
    if (files.empty() || !top || !(top->exStyle & WS_EX_ACCEPTFILES) || !acceptsInput(*top))
        return;
    int x = 0, y = 0;
    SDL_GetMouseState(&x, &y);
    HDROP drop = createDrop(std::move(files), POINT{x, y});
    MSG msg = {toHandle(top),  WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0,
               SDL_GetTicks(), POINT{x, y}};
    if (!postInputMessage(msg))
        DragFinish(drop);
}

} // namespace

void translateEvent(const SDL_Event &event) {
    if (event.type == wakeEventType()) {
        acknowledgeWake();
        return;
    }
    if (event.type == inputMarkerEventType()) {
        MSG *msg = static_cast<MSG *>(event.user.data1);
        postInputMessage(*msg);
        delete msg;
        return;
    }
    WindowsLock lock;
    switch (event.type) {
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
            WindowRecord *top = recordForSdlWindow(event.window.windowID);
            if (top && acceptsInput(*top))
                post(toHandle(top), WM_CLOSE, 0, 0, POINT{0, 0});
        } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                   event.window.event == SDL_WINDOWEVENT_SHOWN) {
            screenChanged();
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        bool down = event.type == SDL_MOUSEBUTTONDOWN;
        WPARAM flag = buttonFlag(event.button.button);
        if (!flag)
            break;
        if (down)
            heldButtons |= flag;
        else
            heldButtons &= ~flag;
        UINT message = flag == MK_LBUTTON ? (down ? WM_LBUTTONDOWN : WM_LBUTTONUP)
                                          : (down ? WM_RBUTTONDOWN : WM_RBUTTONUP);
        routeMouse(event.button.windowID, POINT{event.button.x, event.button.y}, message);
        break;
    }
    case SDL_MOUSEMOTION:
        routeMouse(event.motion.windowID, POINT{event.motion.x, event.motion.y}, WM_MOUSEMOVE);
        break;
    case SDL_MOUSEWHEEL:
        routeWheel(event.wheel);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        routeKey(event.key);
        break;
    case SDL_TEXTINPUT:
        routeText(event.text);
        break;
    case SDL_DROPBEGIN:
        pendingDrop = PendingDrop{};
        pendingDrop.active = true;
        break;
    case SDL_DROPFILE:
        if (event.drop.file) {
            pendingDrop.active = true;
            pendingDrop.files.push_back(fromUtf8(event.drop.file));
            SDL_free(event.drop.file);
        }
        break;
    case SDL_DROPTEXT:
        SDL_free(event.drop.file);
        break;
    case SDL_DROPCOMPLETE:
        finishDrop(event.drop.windowID);
        break;
    default:
        break;
    }
}

void setTextInputArea(HWND window, RECT area) {
    if (screenThread() == 0 || screenThread() != GetCurrentThreadId())
        return;
    WindowsLock lock;
    WindowRecord *record = lookupWindow(window);
    if (!record)
        return;
    POINT origin = clientOriginInTop(*record);
    SDL_Rect rect = {area.left + origin.x, area.top + origin.y, area.right - area.left,
                     area.bottom - area.top};
    SDL_SetTextInputRect(&rect);
}

void releaseScreenInput() {
    WindowsLock lock;
    capture = nullptr;
    captureNonClient = false;
    heldButtons = 0;
    keyMods = 0;
    pendingDrop = PendingDrop{};
}

void setNonClientCapture(HWND window) {
    WindowsLock lock;
    capture = window;
    captureNonClient = window != nullptr;
}

bool captureIsNonClient() {
    WindowsLock lock;
    return captureNonClient;
}

void setDispatchKeyState(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_KEYDOWN && message <= WM_SYSKEYUP) {
        shiftState = (lParam & keyShiftBit) ? static_cast<SHORT>(0x8000) : 0;
        controlState = (lParam & keyControlBit) ? static_cast<SHORT>(0x8000) : 0;
        altState = (lParam & keyAltBit) ? static_cast<SHORT>(0x8000) : 0;
    } else if (message >= WM_MOUSEMOVE && message <= WM_MOUSEWHEEL) {
        shiftState = (wParam & MK_SHIFT) ? static_cast<SHORT>(0x8000) : 0;
        controlState = (wParam & MK_CONTROL) ? static_cast<SHORT>(0x8000) : 0;
    }
}

} // namespace platform

using namespace platform;

SHORT GetKeyState(int virtualKey) {
    switch (virtualKey) {
    case VK_SHIFT:
        return shiftState;
    case VK_CONTROL:
        return controlState;
    case VK_MENU:
        return altState;
    default:
        return 0;
    }
}

HWND SetCapture(HWND window) {
    WindowsLock lock;
    HWND previous = capture;
    WindowRecord *record = lookupWindow(window);
    if (!record || record->threadId != screenThread())
        return previous;
    capture = window;
    captureNonClient = false;
    return previous;
}

BOOL ReleaseCapture() {
    WindowsLock lock;
    capture = nullptr;
    captureNonClient = false;
    return TRUE;
}

HWND GetCapture() {
    WindowsLock lock;
    if (capture && !lookupWindow(capture))
        capture = nullptr;
    return capture;
}

// ---- Dropped files: one handle per drop with every path of it ----------------------------------

namespace platform {
namespace {

struct DropData {
    std::vector<std::wstring> files;
    POINT point;
};

} // namespace

HDROP createDrop(std::vector<std::wstring> files, POINT point) {
    return reinterpret_cast<HDROP>(new DropData{std::move(files), point});
}

} // namespace platform

using platform::DropData;

UINT DragQueryFileW(HDROP drop, UINT index, LPWSTR file, UINT size) {
    auto *data = reinterpret_cast<DropData *>(drop);
    if (!data)
        return 0;
    if (index == 0xFFFFFFFFu)
        return static_cast<UINT>(data->files.size());
    if (index >= data->files.size())
        return 0;
    const std::wstring &path = data->files[index];
    if (!file || size == 0)
        return static_cast<UINT>(path.size());
    size_t copied = std::min<size_t>(path.size(), size - 1);
    std::wmemcpy(file, path.data(), copied);
    file[copied] = L'\0';
    return static_cast<UINT>(copied);
}

BOOL DragQueryPoint(HDROP drop, LPPOINT point) {
    auto *data = reinterpret_cast<DropData *>(drop);
    if (!data || !point)
        return FALSE;
    *point = data->point;
    return TRUE;
}

void DragFinish(HDROP drop) { delete reinterpret_cast<DropData *>(drop); }
