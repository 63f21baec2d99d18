// Keyboard and mouse: virtual keys, the key state of the message being handled, mouse capture,
// non-client mouse messages and the conversion between client and screen coordinates.
#pragma once

#include "platform/win32_types.h"

// ---- Virtual keys -----------------------------------------------------------------------------
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_INSERT 0x2D
#define VK_DELETE 0x2E
#define VK_F1 0x70
#define VK_F4 0x73

// The state of a key when the message being handled was generated: the high bit is set while it
// is held. Only Shift, Control and Alt (VK_MENU) are tracked.
SHORT GetKeyState(int virtualKey);

// ---- Mouse capture ----------------------------------------------------------------------------
// While a window of the screen thread has the capture, every mouse message goes to it, in its
// client coordinates, wherever the pointer is.
HWND SetCapture(HWND window);
BOOL ReleaseCapture();
HWND GetCapture();

// ---- Non-client mouse messages ----------------------------------------------------------------
// Clicks on the parts of a window that the layer draws (its scroll bar) arrive as these, with the
// hit code in the first parameter and screen coordinates in the second; the default window
// procedure handles them.
#define WM_NCMOUSEMOVE 0x00A0
#define WM_NCLBUTTONDOWN 0x00A1
#define WM_NCLBUTTONUP 0x00A2
#define WM_NCRBUTTONDOWN 0x00A4
#define WM_NCRBUTTONUP 0x00A5
#define WM_CAPTURECHANGED 0x0215

#define HTNOWHERE 0
#define HTCLIENT 1
#define HTBORDER 18
#define HTVSCROLL 7

// ---- Coordinates ------------------------------------------------------------------------------
BOOL ClientToScreen(HWND window, LPPOINT point);
BOOL ScreenToClient(HWND window, LPPOINT point);
