// Internal to the layer: what the screen keeps for each window, the frame geometry the layer
// draws around client areas, and the calls the screen's parts share.
#pragma once

#include <SDL2/SDL.h>

#include <string>
#include <vector>

#include "platform/dialogs.h"

#include "platform/input.h"
#include "platform/windows/WindowRecord.h"

namespace platform {

// The scroll bar of a window with WS_VSCROLL (or the state of a scroll bar control).
struct ScrollState {
    int min = 0;
    int max = 100;
    int pos = 0;
    bool disabled = false; // both arrows disabled
};

struct ScreenWindow {
    // The window's image: the whole window rectangle for a child, the client area for a
    // top-level window (its frame and caption belong to the window manager).
    SDL_Surface *surface = nullptr;
    SDL_Window *sdl = nullptr; // top-level windows of the screen thread only
    Uint32 sdlId = 0;
    bool titleDirty = true;
    void *control = nullptr; // a standard control's state, owned by its window procedure
    ScrollState vscroll;     // WS_VSCROLL
    int vscrollPressed = 0;  // the part of the scroll bar held down (0: none)
};

// The screen data of a window, made on first use. Call with the windows lock held.
ScreenWindow &screenData(WindowRecord &record);

// Frame metrics: how far the client area lies inside the window rectangle on each side.
struct Insets {
    int left = 0, top = 0, right = 0, bottom = 0;
};
Insets frameInsets(DWORD style, DWORD exStyle, bool child);
inline bool isChild(const WindowRecord &record) { return record.parent != nullptr; }
Insets frameInsets(const WindowRecord &record);
constexpr int scrollBarWidth = 16;
constexpr int captionHeight = 19;

// Where a window's client origin lies in its own surface.
POINT clientOriginInSurface(const WindowRecord &record);
// The client size of a window.
SIZE clientSize(const WindowRecord &record);
// The top-level window a window belongs to.
WindowRecord *topLevelOf(WindowRecord *record);
// Where a window's client origin lies in its top-level window's client area.
POINT clientOriginInTop(const WindowRecord &record);
// The vertical scroll bar's rectangle in the window's surface (empty without WS_VSCROLL).
RECT vscrollRectInSurface(const WindowRecord &record);

// True when the window belongs to the screen thread and may have an image.
bool onScreenThread(const WindowRecord &record);
DWORD screenThread();

// Makes the window's surface exist at its current size (with the windows lock held).
SDL_Surface *ensureSurface(WindowRecord &record);
// Marks the screen as needing to show new images and wakes the screen thread.
void screenChanged();
// Composes a top-level window's image with its children into dest (the client size).
void composeWindow(WindowRecord &top, SDL_Surface *dest);
// The composed image of the top-level window a window belongs to, after running pending paints;
// the caller frees it. UI thread only.
SDL_Surface *composeImage(HWND window);
// Runs pending paints of every shown window of the calling thread.
void flushPaints();

// The window under a point of a top-level client area: the deepest visible child, with the point
// turned into its client coordinates and the hit code (HTCLIENT, HTVSCROLL, HTBORDER).
struct HitResult {
    WindowRecord *window = nullptr;
    POINT point = {};
    int hit = HTNOWHERE;
};
HitResult hitTest(WindowRecord &top, POINT point);
// True when the window and its ancestors are all enabled.
bool acceptsInput(const WindowRecord &record);

// Mouse capture of the screen thread; nonClient marks a capture that a scroll bar of a window
// holds, which receives WM_NCMOUSEMOVE and WM_NCLBUTTONUP.
void setNonClientCapture(HWND window);
bool captureIsNonClient();

// Turns one SDL event into input messages (Input.cpp).
void translateEvent(const SDL_Event &event);
// Tells the input method where text is being typed (client coordinates of the window), so
// that its candidate window opens beside the caret. UI thread only.
void setTextInputArea(HWND window, RECT area);
// Forgets the capture and any drop in progress (the screen closes).
void releaseScreenInput();
// A wake-up event was read: the next wake pushes a new one.
void acknowledgeWake();
// The key state recorded with the message being dispatched.
void setDispatchKeyState(UINT message, WPARAM wParam, LPARAM lParam);

// Draws the layer's non-client parts (edge, border, scroll bar) into the window's surface.
void drawNonClient(WindowRecord &record);
// Non-client mouse handling of the default window procedure (the window scroll bar). True when
// the message was handled.
bool defaultNonClientMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The default window procedure's handling of screen messages (erase, non-client mouse, wheel).
// True when the message was handled, with its result.
bool screenDefaultMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result);

// Modifier bits that input messages carry in bits 16..18 of their second parameter (keys) or in
// the MK_ flags (mouse).
constexpr LPARAM keyShiftBit = 1 << 16;
constexpr LPARAM keyControlBit = 1 << 17;
constexpr LPARAM keyAltBit = 1 << 18;

// A drop handle holding the paths of one drop; DragFinish frees it.
HDROP createDrop(std::vector<std::wstring> files, POINT point);

// SDL event types of the layer: a wake-up, and a message to post as input in event order.
Uint32 wakeEventType();
Uint32 inputMarkerEventType();
// Pushes an SDL event that turns into the given input message when the screen thread reads it,
// after every event pushed before it. Any thread.
bool pushInputMarker(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The SDL window id of a top-level window (0 when it has none).
Uint32 sdlWindowId(HWND window);

} // namespace platform
