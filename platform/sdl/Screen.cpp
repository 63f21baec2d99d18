// The screen: SDL video on the UI thread, one SDL window per shown top-level window of that
// thread, the hooks through which the window core reports changes, and the pump through which the
// UI thread's message loop waits for SDL events.

#include <cstring>
#include <SDL2/SDL_image.h>

#include <atomic>
#include <string>

#include "platform/controls/ControlCommon.h"
#include "platform/controls/Controls.h"
#include "platform/gdi/Fonts.h"
#include "platform/kernel.h"
#include "platform/screen.h"
#include "platform/sdl/ScreenWindow.h"
#include "platform/windows/ScreenHooks.h"
#include "platform/windows/ThreadQueue.h"

namespace platform {
namespace {

std::atomic<DWORD> uiThread{0};
std::string lastError;
std::atomic<bool> imagesChanged{false};
std::atomic<bool> wakePending{false};
Uint32 wakeType = 0; // registered once per process: SDL keeps its counter across restarts
Uint32 markerType = 0;
std::vector<SDL_Window *> closedWindows; // SDL windows to destroy on the UI thread (windows lock)

bool isTopLevelOnScreen(const WindowRecord &record) {
    return !record.parent && !record.messageOnly && !record.destroying &&
           record.threadId == uiThread.load();
}

void pushWake() {
    if (wakePending.exchange(true))
        return;
    SDL_Event event = {};
    event.type = wakeType;
    if (SDL_PushEvent(&event) != 1)
        wakePending = false;
}

void onCreated(WindowRecord &record) {
    WindowsLock lock;
    screenData(record);
}

void onDestroyed(WindowRecord &record) {
    WindowsLock lock;
    auto *data = static_cast<ScreenWindow *>(record.screen);
    if (!data)
        return;
    if (data->surface)
        SDL_FreeSurface(data->surface);
    if (data->sdl)
        closedWindows.push_back(data->sdl);
    delete static_cast<ControlState *>(data->control); // a thread that ended without WM_NCDESTROY
    delete data;
    record.screen = nullptr;
    screenChanged();
}

void onChanged(WindowRecord &record) {
    WindowsLock lock;
    if (!record.parent)
        screenData(record).titleDirty = true;
    screenChanged();
}

void onClientArea(const WindowRecord &record, RECT &client) {
    Insets in = frameInsets(record);
    SIZE size = clientSize(record);
    client = RECT{in.left, in.top, in.left + size.cx, in.top + size.cy};
}

void onDispatching(const MSG &msg) { setDispatchKeyState(msg.message, msg.wParam, msg.lParam); }

// Creates, shows, hides, retitles and resizes the SDL windows after the records.
void syncWindows() {
    WindowsLock lock;
    for (SDL_Window *window : closedWindows)
        SDL_DestroyWindow(window);
    closedWindows.clear();
    for (WindowRecord *record : allWindows()) {
        if (!isTopLevelOnScreen(*record))
            continue;
        ScreenWindow &data = screenData(*record);
        bool visible = (record->style & WS_VISIBLE) != 0;
        SIZE size = clientSize(*record);
        int w = std::max<int>(1, size.cx), h = std::max<int>(1, size.cy);
        if (visible && !data.sdl) {
            Insets in = frameInsets(*record);
            int x = record->defaultPosition ? SDL_WINDOWPOS_UNDEFINED : record->rect.left + in.left;
            int y = record->defaultPosition ? SDL_WINDOWPOS_UNDEFINED : record->rect.top + in.top;
            Uint32 flags = SDL_WINDOW_HIDDEN;
            if (record->exStyle & WS_EX_TOPMOST)
                flags |= SDL_WINDOW_ALWAYS_ON_TOP;
            if (record->owner)
                flags |= SDL_WINDOW_SKIP_TASKBAR;
            ScreenWindow *ownerData = nullptr;
            if (WindowRecord *owner = record->owner ? lookupWindow(record->owner) : nullptr)
                ownerData = static_cast<ScreenWindow *>(owner->screen);
            if (record->defaultPosition && ownerData && ownerData->sdl) {
                // An owned window the window manager would place: centred over its owner.
                int ox = 0, oy = 0, ow = 0, oh = 0;
                SDL_GetWindowPosition(ownerData->sdl, &ox, &oy);
                SDL_GetWindowSize(ownerData->sdl, &ow, &oh);
                x = ox + (ow - w) / 2;
                y = oy + (oh - h) / 2;
            }
            data.sdl = SDL_CreateWindow("", x, y, w, h, flags);
            data.sdlId = data.sdl ? SDL_GetWindowID(data.sdl) : 0;
            data.titleDirty = true;
            if (data.sdl && ownerData && ownerData->sdl)
                SDL_SetWindowModalFor(data.sdl, ownerData->sdl);
        }
        if (!data.sdl)
            continue;
        if (data.titleDirty) {
            std::string title = toUtf8(record->text.c_str(), static_cast<int>(record->text.size()));
            SDL_SetWindowTitle(data.sdl, title.c_str());
            data.titleDirty = false;
        }
        int cw = 0, ch = 0;
        SDL_GetWindowSize(data.sdl, &cw, &ch);
        if (cw != w || ch != h)
            SDL_SetWindowSize(data.sdl, w, h);
        bool shown = (SDL_GetWindowFlags(data.sdl) & SDL_WINDOW_SHOWN) != 0;
        if (visible && !shown) {
            SDL_ShowWindow(data.sdl);
            imagesChanged = true;
        } else if (!visible && shown) {
            SDL_HideWindow(data.sdl);
        }
    }
}

// Shows the current images of all visible screen windows.
void present() {
    if (!imagesChanged.exchange(false))
        return;
    WindowsLock lock;
    for (WindowRecord *record : allWindows()) {
        if (!isTopLevelOnScreen(*record) || !(record->style & WS_VISIBLE))
            continue;
        ScreenWindow &data = screenData(*record);
        if (!data.sdl)
            continue;
        SDL_Surface *target = SDL_GetWindowSurface(data.sdl);
        if (!target)
            continue;
        composeWindow(*record, target);
        SDL_UpdateWindowSurface(data.sdl);
    }
}

void waitForEvents(int timeoutMs) {
    syncWindows();
    present();
    SDL_Event event;
    int got = timeoutMs < 0 ? SDL_WaitEvent(&event) : SDL_WaitEventTimeout(&event, timeoutMs);
    if (!got)
        return;
    translateEvent(event);
    while (SDL_PollEvent(&event))
        translateEvent(event);
}

void dropQueuedEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == markerType)
            delete static_cast<MSG *>(event.user.data1);
        else if (event.type == SDL_DROPFILE || event.type == SDL_DROPTEXT)
            SDL_free(event.drop.file);
    }
}

} // namespace

ScreenWindow &screenData(WindowRecord &record) {
    if (!record.screen) {
        record.screen = new ScreenWindow;
        record.releaseScreen = [](void *data) {
            auto *screen = static_cast<ScreenWindow *>(data);
            if (screen->surface)
                SDL_FreeSurface(screen->surface);
            delete static_cast<ControlState *>(screen->control);
            delete screen;
        };
    }
    return *static_cast<ScreenWindow *>(record.screen);
}

DWORD screenThread() { return uiThread.load(); }

bool onScreenThread(const WindowRecord &record) {
    return uiThread.load() != 0 && record.threadId == uiThread.load() && !record.messageOnly;
}

void screenChanged() {
    imagesChanged = true;
    if (uiThread.load() != 0)
        pushWake();
}

Uint32 wakeEventType() { return wakeType; }
Uint32 inputMarkerEventType() { return markerType; }

void acknowledgeWake() { wakePending = false; }

bool pushInputMarker(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (uiThread.load() == 0)
        return false;
    SDL_Event event = {};
    event.type = markerType;
    event.user.data1 = new MSG{window, message, wParam, lParam, 0, {0, 0}};
    if (SDL_PushEvent(&event) == 1)
        return true;
    delete static_cast<MSG *>(event.user.data1);
    return false;
}

Uint32 sdlWindowId(HWND window) {
    WindowsLock lock;
    WindowRecord *record = lookupWindow(window);
    if (!record)
        return 0;
    ScreenWindow *data = static_cast<ScreenWindow *>(topLevelOf(record)->screen);
    return data ? data->sdlId : 0;
}

// When no real display answers, SDL falls back to drivers that draw nowhere. Those serve only
// when they were asked for by name (tests and headless runs); otherwise the user would get a
// program that runs with no window to see.
static bool headlessDriverAllowed() {
    const char *driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr) {
        return false;
    }
    if (std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0) {
        return true;
    }
    const char *asked = SDL_getenv("SDL_VIDEODRIVER");
    return asked != nullptr && std::strstr(asked, driver) != nullptr;
}

bool initScreen() {
    DWORD self = GetCurrentThreadId();
    if (uiThread.load() != 0) {
        if (uiThread.load() == self)
            return true;
        lastError = "the screen is already open on another thread";
        return false;
    }
    if (SDL_getenv("SDL_VIDEODRIVER") == nullptr && SDL_getenv("DISPLAY") == nullptr &&
        SDL_getenv("WAYLAND_DISPLAY") == nullptr) {
        lastError = "no display found (neither DISPLAY nor WAYLAND_DISPLAY is set)";
        return false;
    }
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // Window images are plain surfaces: no renderer (and no GL driver) behind them.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        lastError = SDL_GetError();
        if (lastError.empty())
            lastError = "no video device";
        SDL_Quit();
        return false;
    }
    if (!headlessDriverAllowed()) {
        lastError = "no display found (DISPLAY and WAYLAND_DISPLAY reach no screen)";
        SDL_Quit();
        return false;
    }
    if (wakeType == 0) {
        Uint32 first = SDL_RegisterEvents(2);
        if (first == static_cast<Uint32>(-1)) {
            lastError = "no SDL event types left";
            SDL_Quit();
            return false;
        }
        wakeType = first;
        markerType = first + 1;
    }
    IMG_Init(IMG_INIT_PNG);
    SDL_EventState(SDL_DROPBEGIN, SDL_ENABLE);
    SDL_EventState(SDL_DROPFILE, SDL_ENABLE);
    SDL_EventState(SDL_DROPCOMPLETE, SDL_ENABLE);
    SDL_StartTextInput();
    uiThread = self;
    wakePending = false;
    screenHooks = ScreenHooks{onCreated,    onDestroyed,          onChanged,
                              onClientArea, screenDefaultMessage, onDispatching};
    setThreadPump(self, ThreadPump{waitForEvents, pushWake});
    registerStandardControls();
    return true;
}

const char *screenError() { return lastError.c_str(); }

void shutdownScreen() {
    DWORD self = uiThread.load();
    if (self == 0 || self != GetCurrentThreadId())
        return;
    // Every window of the UI thread goes with the screen, children with their top-level window.
    std::vector<HWND> tops;
    {
        WindowsLock lock;
        for (WindowRecord *record : allWindows())
            if (record->threadId == self && !record->parent && !record->destroying)
                tops.push_back(toHandle(record));
    }
    for (HWND window : tops)
        DestroyWindow(window);
    clearThreadPump(self);
    {
        WindowsLock lock;
        syncWindows();
        screenHooks = ScreenHooks{};
        uiThread = 0;
    }
    releaseScreenInput();
    dropQueuedEvents();
    SDL_StopTextInput();
    IMG_Quit();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    SDL_Quit();
}

} // namespace platform
