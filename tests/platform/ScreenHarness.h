// A UI thread on SDL's offscreen display for tests: windows are created and read on it, input is
// injected from the test thread as SDL events, exactly as a user's input would arrive.
//
//   ScreenHarness ui;                      // starts the UI thread and the screen
//   HWND w = ui.call([] { return CreateWindowExW(...); });
//   ui.click(button, 5, 5);                // press and release inside a (child) window
//   ui.typeText(L"日本語");                 // text as an input method commits it
//   ui.key(SDLK_a, KMOD_CTRL);             // a key with modifiers, to the focus window
//   ui.sync();                             // every injected event has been handled
//   COLORREF c = ui.pixel(w, 10, 10);      // a pixel of the composed image (client coords)
//   ui.snapshot(w, "out.png");
//
// Every injection waits until the UI thread has dispatched it (and anything it posted), so tests
// never sleep.
#pragma once

#include <SDL2/SDL.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "platform/win32.h"

class ScreenHarness {
public:
    ScreenHarness();
    ~ScreenHarness();
    ScreenHarness(const ScreenHarness &) = delete;
    ScreenHarness &operator=(const ScreenHarness &) = delete;

    // False when the screen could not be opened (error() says why).
    bool ok() const { return ready; }
    const std::string &error() const { return failure; }
    DWORD uiThreadId() const { return threadId; }

    // Runs fn on the UI thread and waits for it.
    void runOnUi(const std::function<void()> &fn);
    template <class F> auto call(F fn) -> decltype(fn()) {
        if constexpr (std::is_void_v<decltype(fn())>) {
            runOnUi(fn);
        } else {
            decltype(fn()) result{};
            runOnUi([&] { result = fn(); });
            return result;
        }
    }

    // Mouse input at client coordinates of a window (a child or a top-level window).
    void click(HWND window, int x, int y, Uint8 button = SDL_BUTTON_LEFT);
    void press(HWND window, int x, int y, Uint8 button = SDL_BUTTON_LEFT);
    void release(HWND window, int x, int y, Uint8 button = SDL_BUTTON_LEFT);
    void move(HWND window, int x, int y);
    // One wheel step is one notch; positive is away from the user.
    void wheel(HWND window, int x, int y, int steps);
    // A key pressed and released, to the window that has the focus.
    void key(SDL_Keycode key, Uint16 modifiers = KMOD_NONE);
    // Text committed by the keyboard or an input method.
    void typeText(const std::wstring &text);
    // One drop of the files on a top-level window (begin, one event per file, complete).
    void dropFiles(HWND window, const std::vector<std::string> &paths);
    // The close button of a top-level window's frame.
    void closeButton(HWND window);

    // Waits until every event injected so far has been dispatched, then runs pending paints.
    void sync();
    // The composed image of the window's top-level window, after pending paints.
    bool snapshot(HWND window, const std::string &pngPath);
    COLORREF pixel(HWND window, int x, int y);
    // Counts pixels of a client rectangle of the window whose colour is not `colour`.
    int countOtherThan(HWND window, RECT area, COLORREF colour);
    // The message box currently shown (class "#32770"), or null.
    HWND messageBox();

    // Quit messages that reached the UI thread's loop (a window under test posted them); the
    // loop keeps running until the harness ends. -1 when none came.
    int quitMessages() const { return quits.load(); }
    int lastQuitCode() const { return quitCode.load(); }

private:
    void push(SDL_Event event, bool wait = true);
    void mouseButton(HWND window, int x, int y, Uint8 button, bool down);
    // SDL window id and the point in its client area for a client point of window.
    Uint32 target(HWND window, int &x, int &y);
    void uiMain();

    std::thread ui;
    DWORD threadId = 0;
    HWND helper = nullptr;
    bool ready = false;
    std::string failure;
    std::atomic<bool> stopping{false};
    std::atomic<int> quits{0};
    std::atomic<int> quitCode{-1};
};
