// Painting: BeginPaint takes the window's update region and hands out a device context that
// draws into the window's image, clipped to that region; EndPaint lets the screen show the
// result. Windows that never reach the screen get a device context that draws nothing.

#include "platform/gdi/GdiObjects.h"
#include "platform/sdl/ScreenWindow.h"

using namespace platform;

namespace {

// A device context for the window's client area cut to area (client coordinates).
DeviceContext *windowContext(HWND window, RECT area) {
    SDL_Surface *surface = nullptr;
    POINT origin = {0, 0};
    {
        WindowsLock lock;
        WindowRecord *record = lookupWindow(window);
        if (!record)
            return nullptr;
        SIZE size = clientSize(*record);
        area.left = std::max<LONG>(area.left, 0);
        area.top = std::max<LONG>(area.top, 0);
        area.right = std::min<LONG>(area.right, size.cx);
        area.bottom = std::min<LONG>(area.bottom, size.cy);
        surface = ensureSurface(*record);
        origin = clientOriginInSurface(*record);
    }
    RECT clip = {area.left + origin.x, area.top + origin.y, area.right + origin.x,
                 area.bottom + origin.y};
    DeviceContext *dc = createDeviceContext(surface, origin, clip);
    dc->window = window;
    return dc;
}

} // namespace

HDC BeginPaint(HWND window, LPPAINTSTRUCT paint) {
    if (!paint)
        return nullptr;
    *paint = PAINTSTRUCT{};
    RECT area = {0, 0, 0, 0};
    bool erase = false;
    {
        WindowsLock lock;
        WindowRecord *record = lookupWindow(window);
        if (!record)
            return nullptr;
        ensureSurface(*record); // a new image asks to be painted whole
        if (record->updatePending) {
            area = record->updateRect;
            erase = record->updateErase;
        }
        record->updatePending = false;
        record->updateErase = false;
        record->updateRect = RECT{0, 0, 0, 0};
    }
    DeviceContext *dc = windowContext(window, area);
    if (!dc)
        return nullptr;
    // The paint rectangle is what the device context can reach.
    paint->rcPaint = RECT{dc->clip.left - dc->origin.x, dc->clip.top - dc->origin.y,
                          dc->clip.right - dc->origin.x, dc->clip.bottom - dc->origin.y};
    paint->hdc = toHdc(dc);
    paint->fErase = FALSE;
    if (erase)
        paint->fErase =
            SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(paint->hdc), 0) == 0;
    return paint->hdc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT *paint) {
    if (!paint || !paint->hdc)
        return FALSE;
    deleteDeviceContext(toDc(paint->hdc));
    screenChanged();
    return TRUE;
}

HDC GetDC(HWND window) {
    RECT all = {0, 0, 0x7FFFFFFF, 0x7FFFFFFF};
    DeviceContext *dc = windowContext(window, all);
    return dc ? toHdc(dc) : nullptr;
}

int ReleaseDC(HWND, HDC hdc) {
    if (!hdc)
        return 0;
    deleteDeviceContext(toDc(hdc));
    screenChanged();
    return 1;
}
