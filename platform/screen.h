// Start and end of the screen: the display that the thread calling initScreen owns. Windows that
// this thread creates and shows appear on the screen, and its message loop receives their input.
#pragma once

#include "platform/win32_types.h"

namespace platform {

// Opens the display for the calling thread, which becomes the UI thread. False when there is no
// display to draw on; screenError then says why in one line.
bool initScreen();
const char *screenError();
// Closes every screen window and the display. Call it on the UI thread after its last message.
void shutdownScreen();
// Saves the current image of a top-level window's client area as a PNG file; call it on the UI
// thread. Pending paints of the window and its children run first.
bool saveWindowImage(HWND window, const char *pngPath);

} // namespace platform
