// Internal to the layer: what the standard controls share: their state behind the window
// handle, fonts, notifications to the parent, and the classic three-dimensional drawing.
#pragma once

#include <string>

#include "platform/controls.h"
#include "platform/gdi.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/input.h"
#include "platform/messages.h"
#include "platform/sdl/ScreenWindow.h"

namespace platform {

// Every control's state starts with this.
struct ControlState {
    virtual ~ControlState() = default;
    HFONT font = nullptr; // WM_SETFONT; null: the system font
};

// The state of a control window, made by its WM_NCCREATE or WM_CREATE handling.
template <class State> State *controlState(HWND window) {
    WindowsLock lock;
    WindowRecord *record = lookupWindow(window);
    if (!record)
        return nullptr;
    return dynamic_cast<State *>(static_cast<ControlState *>(screenData(*record).control));
}
void attachControlState(HWND window, ControlState *state);
// Frees the state (WM_NCDESTROY).
void releaseControlState(HWND window);

// Handles WM_SETFONT and WM_GETFONT for any control; true when the message was one of them.
bool handleFontMessage(HWND window, ControlState &state, UINT message, WPARAM wParam, LPARAM lParam,
                       LRESULT &result);

// Style, identifier, parent and text of a window.
DWORD windowStyle(HWND window);
HWND parentOf(HWND window);
std::wstring windowText(HWND window);
SIZE clientSizeOf(HWND window);
// Sends WM_COMMAND with the control's identifier and the notification to its parent.
void notifyParent(HWND window, WORD code);

// The font a control draws with.
HFONT effectiveFont(const ControlState &state);
SIZE textExtent(HFONT font, const std::wstring &text);
int fontHeight(HFONT font);

// Classic drawing.
void fillSolid(HDC dc, RECT area, COLORREF colour);
void raisedEdge(HDC dc, RECT area);
void sunkenEdge(HDC dc, RECT area);
// The one-pixel black frame and shadow of a pressed push button.
void pressedEdge(HDC dc, RECT area);
void etchedFrame(HDC dc, RECT area);
void dottedFrame(HDC dc, RECT area);
// Text in the control's font with a transparent background; greyed (embossed) when disabled.
void drawLabel(HDC dc, HFONT font, int x, int y, const std::wstring &text, bool enabled,
               COLORREF colour = 0);

} // namespace platform
