// The UI thread of screen tests; see ScreenHarness.h.

#include "tests/platform/ScreenHarness.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdlib>
#include <future>
#include <mutex>

#include "platform/gdi/Fonts.h"
#include "platform/sdl/ScreenWindow.h"

namespace {

constexpr UINT runMessage = WM_APP + 0x3F0;  // sent: lParam is a std::function<void()>*
constexpr UINT syncMessage = WM_APP + 0x3F1; // input marker: lParam is a std::promise<void>*

LRESULT CALLBACK helperProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == runMessage) {
        (*reinterpret_cast<const std::function<void()> *>(lParam))();
        return 0;
    }
    if (message == syncMessage) {
        reinterpret_cast<std::promise<void> *>(lParam)->set_value();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

const wchar_t *helperClass = L"TindleScreenHarness";

} // namespace

ScreenHarness::ScreenHarness() {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "disk", 0);
    std::promise<void> started;
    std::future<void> startedFuture = started.get_future();
    ui = std::thread([this, &started] {
        threadId = GetCurrentThreadId();
        ready = platform::initScreen();
        if (!ready) {
            failure = platform::screenError();
            started.set_value();
            return;
        }
        WNDCLASSW cls = {};
        cls.lpfnWndProc = helperProc;
        cls.lpszClassName = helperClass;
        RegisterClassW(&cls);
        helper = CreateWindowExW(0, helperClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                 nullptr);
        started.set_value();
        uiMain();
    });
    startedFuture.wait();
}

void ScreenHarness::uiMain() {
    MSG msg;
    for (;;) {
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
            if (stopping)
                break;
            ++quits;
            quitCode = static_cast<int>(msg.wParam);
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    platform::shutdownScreen();
}

ScreenHarness::~ScreenHarness() {
    stopping = true;
    if (ready)
        PostThreadMessageW(threadId, WM_QUIT, 0, 0);
    ui.join();
}

void ScreenHarness::runOnUi(const std::function<void()> &fn) {
    SendMessageW(helper, runMessage, 0, reinterpret_cast<LPARAM>(&fn));
}

void ScreenHarness::sync() {
    std::promise<void> done;
    std::future<void> future = done.get_future();
    if (!platform::pushInputMarker(helper, syncMessage, 0, reinterpret_cast<LPARAM>(&done))) {
        ADD_FAILURE() << "cannot reach the UI thread";
        return;
    }
    if (future.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        ADD_FAILURE() << "the UI thread did not get to the injected input";
        std::abort(); // the promise is still referenced by the queue
    }
    runOnUi([] { platform::flushPaints(); });
}

Uint32 ScreenHarness::target(HWND window, int &x, int &y) {
    Uint32 id = 0;
    runOnUi([&] {
        platform::flushPaints(); // shows new windows, so that they have an SDL window
        POINT p = {x, y};
        platform::WindowsLock lock;
        platform::WindowRecord *record = platform::lookupWindow(window);
        if (!record)
            return;
        POINT origin = platform::clientOriginInTop(*record);
        x = p.x + origin.x;
        y = p.y + origin.y;
    });
    // SDL windows appear when the UI thread next waits for events.
    sync();
    id = platform::sdlWindowId(window);
    EXPECT_NE(id, 0u) << "the window is not on the screen";
    return id;
}

void ScreenHarness::push(SDL_Event event, bool wait) {
    event.common.timestamp = SDL_GetTicks();
    SDL_PushEvent(&event);
    if (wait)
        sync();
}

void ScreenHarness::mouseButton(HWND window, int x, int y, Uint8 button, bool down) {
    SDL_Event e = {};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.windowID = target(window, x, y);
    e.button.button = button;
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = 1;
    e.button.x = x;
    e.button.y = y;
    push(e);
}

void ScreenHarness::press(HWND window, int x, int y, Uint8 button) {
    mouseButton(window, x, y, button, true);
}

void ScreenHarness::release(HWND window, int x, int y, Uint8 button) {
    mouseButton(window, x, y, button, false);
}

void ScreenHarness::click(HWND window, int x, int y, Uint8 button) {
    press(window, x, y, button);
    release(window, x, y, button);
}

void ScreenHarness::move(HWND window, int x, int y) {
    SDL_Event e = {};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = target(window, x, y);
    e.motion.x = x;
    e.motion.y = y;
    push(e);
}

void ScreenHarness::wheel(HWND window, int x, int y, int steps) {
    SDL_Event e = {};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.windowID = target(window, x, y);
    e.wheel.y = steps;
    e.wheel.preciseY = static_cast<float>(steps);
    e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    e.wheel.mouseX = x;
    e.wheel.mouseY = y;
    push(e);
}

void ScreenHarness::key(SDL_Keycode keyCode, Uint16 modifiers) {
    HWND focus = call([] { return GetFocus(); });
    Uint32 id = focus ? platform::sdlWindowId(focus) : 0;
    SDL_Event e = {};
    e.type = SDL_KEYDOWN;
    e.key.windowID = id;
    e.key.state = SDL_PRESSED;
    e.key.keysym.sym = keyCode;
    e.key.keysym.scancode = SDL_GetScancodeFromKey(keyCode);
    e.key.keysym.mod = modifiers;
    push(e, false);
    e.type = SDL_KEYUP;
    e.key.state = SDL_RELEASED;
    push(e);
}

void ScreenHarness::typeText(const std::wstring &text) {
    HWND focus = call([] { return GetFocus(); });
    Uint32 id = focus ? platform::sdlWindowId(focus) : 0;
    // SDL carries committed text in pieces of at most 31 bytes.
    for (wchar_t c : text) {
        SDL_Event e = {};
        e.type = SDL_TEXTINPUT;
        e.text.windowID = id;
        std::string utf8 = platform::toUtf8(&c, 1);
        std::copy(utf8.begin(), utf8.end(), e.text.text);
        push(e, false);
    }
    sync();
}

void ScreenHarness::dropFiles(HWND window, const std::vector<std::string> &paths) {
    int x = 0, y = 0;
    Uint32 id = target(window, x, y);
    SDL_Event e = {};
    e.type = SDL_DROPBEGIN;
    e.drop.windowID = id;
    push(e, false);
    for (const std::string &path : paths) {
        SDL_Event file = {};
        file.type = SDL_DROPFILE;
        file.drop.windowID = id;
        file.drop.file = SDL_strdup(path.c_str());
        push(file, false);
    }
    e.type = SDL_DROPCOMPLETE;
    push(e);
}

void ScreenHarness::closeButton(HWND window) {
    int x = 0, y = 0;
    SDL_Event e = {};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = target(window, x, y);
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    push(e);
}

bool ScreenHarness::snapshot(HWND window, const std::string &pngPath) {
    return call([&] { return platform::saveWindowImage(window, pngPath.c_str()); });
}

int ScreenHarness::countOtherThan(HWND window, RECT area, COLORREF colour) {
    return call([&] {
        SDL_Surface *image = platform::composeImage(window);
        if (!image)
            return -1;
        POINT origin;
        {
            platform::WindowsLock lock;
            origin = platform::clientOriginInTop(*platform::lookupWindow(window));
        }
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) {
                int px = x + origin.x, py = y + origin.y;
                if (px < 0 || py < 0 || px >= image->w || py >= image->h)
                    continue;
                auto *row = static_cast<Uint8 *>(image->pixels) + py * image->pitch;
                count +=
                    platform::unmapColour(image, reinterpret_cast<Uint32 *>(row)[px]) != colour;
            }
        SDL_FreeSurface(image);
        return count;
    });
}

COLORREF ScreenHarness::pixel(HWND window, int x, int y) {
    return call([&] {
        SDL_Surface *image = platform::composeImage(window);
        COLORREF colour = CLR_INVALID;
        if (!image)
            return colour;
        POINT origin;
        {
            platform::WindowsLock lock;
            origin = platform::clientOriginInTop(*platform::lookupWindow(window));
        }
        int px = x + origin.x, py = y + origin.y;
        if (px >= 0 && py >= 0 && px < image->w && py < image->h) {
            auto *row = static_cast<Uint8 *>(image->pixels) + py * image->pitch;
            colour = platform::unmapColour(image, reinterpret_cast<Uint32 *>(row)[px]);
        }
        SDL_FreeSurface(image);
        return colour;
    });
}

HWND ScreenHarness::messageBox() {
    return call([] { return FindWindowW(L"#32770", nullptr); });
}
