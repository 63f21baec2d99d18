// Window images: each window on the screen thread paints into its own surface; BeginPaint hands
// out a device context clipped to the update region, and the default window procedure erases
// with the class background. A top-level window's image is its surface with its children's
// surfaces on top, each cut to its parent's client area, later siblings above earlier ones.
// Windows that never reach the screen get a device context that draws nothing.

#include <SDL2/SDL_image.h>

#include "platform/gdi.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/screen.h"
#include "platform/sdl/ScreenWindow.h"

namespace platform {

SDL_Surface *ensureSurface(WindowRecord &record) {
    if (!onScreenThread(record) || record.destroying)
        return nullptr;
    ScreenWindow &data = screenData(record);
    int w, h;
    if (isChild(record)) {
        w = record.rect.right - record.rect.left;
        h = record.rect.bottom - record.rect.top;
    } else {
        SIZE size = clientSize(record);
        w = size.cx;
        h = size.cy;
    }
    w = std::max(1, w);
    h = std::max(1, h);
    if (data.surface && data.surface->w == w && data.surface->h == h)
        return data.surface;
    if (data.surface)
        SDL_FreeSurface(data.surface);
    data.surface = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGB888);
    if (!data.surface)
        return nullptr;
    SDL_SetSurfaceBlendMode(data.surface, SDL_BLENDMODE_NONE);
    COLORREF background = GetSysColor(COLOR_BTNFACE);
    brushColour(record.cls.background, background);
    SDL_FillRect(data.surface, nullptr, mapColour(data.surface, background));
    // A new image has to be painted whole.
    SIZE client = clientSize(record);
    record.updatePending = client.cx > 0 && client.cy > 0;
    record.updateRect = RECT{0, 0, client.cx, client.cy};
    record.updateErase = true;
    screenChanged();
    return data.surface;
}

namespace {

RECT intersect(const RECT &a, const RECT &b) {
    RECT r = {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
    if (r.right < r.left)
        r.right = r.left;
    if (r.bottom < r.top)
        r.bottom = r.top;
    return r;
}

void blitClipped(SDL_Surface *source, SDL_Surface *dest, POINT at, const RECT &clip) {
    SDL_Rect clipRect = {clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top};
    if (clipRect.w <= 0 || clipRect.h <= 0)
        return;
    SDL_SetClipRect(dest, &clipRect);
    SDL_Rect to = {at.x, at.y, source->w, source->h};
    SDL_BlitSurface(source, nullptr, dest, &to);
    SDL_SetClipRect(dest, nullptr);
}

void composeChildren(WindowRecord &parent, SDL_Surface *dest, POINT clientOrigin,
                     const RECT &clip) {
    for (WindowRecord *child : parent.children) {
        if (!(child->style & WS_VISIBLE) || child->destroying)
            continue;
        SDL_Surface *image = ensureSurface(*child);
        if (!image)
            continue;
        drawNonClient(*child);
        POINT at = {clientOrigin.x + child->rect.left, clientOrigin.y + child->rect.top};
        blitClipped(image, dest, at, clip);
        POINT inner = clientOriginInSurface(*child);
        SIZE size = clientSize(*child);
        POINT childOrigin = {at.x + inner.x, at.y + inner.y};
        RECT childClient = {childOrigin.x, childOrigin.y, childOrigin.x + size.cx,
                            childOrigin.y + size.cy};
        composeChildren(*child, dest, childOrigin, intersect(clip, childClient));
    }
}

} // namespace

void composeWindow(WindowRecord &top, SDL_Surface *dest) {
    SDL_Surface *image = ensureSurface(top);
    SDL_FillRect(dest, nullptr, SDL_MapRGB(dest->format, 192, 192, 192));
    if (!image)
        return;
    RECT all = {0, 0, dest->w, dest->h};
    blitClipped(image, dest, POINT{0, 0}, all);
    composeChildren(top, dest, POINT{0, 0}, all);
}

void flushPaints() {
    DWORD self = screenThread();
    for (int round = 0; round < 16; ++round) {
        std::vector<HWND> pending;
        {
            WindowsLock lock;
            for (WindowRecord *record : allWindows()) {
                if (record->threadId != self || !isShownOnScreen(record) || record->destroying)
                    continue;
                ensureSurface(*record);
                if (record->updatePending)
                    pending.push_back(toHandle(record));
            }
        }
        if (pending.empty())
            return;
        for (HWND window : pending)
            UpdateWindow(window);
    }
}

SDL_Surface *composeImage(HWND window) {
    flushPaints();
    WindowsLock lock;
    WindowRecord *record = lookupWindow(window);
    if (!record)
        return nullptr;
    WindowRecord *top = topLevelOf(record);
    SIZE size = clientSize(*top);
    SDL_Surface *image = SDL_CreateRGBSurfaceWithFormat(
        0, std::max<int>(1, size.cx), std::max<int>(1, size.cy), 32, SDL_PIXELFORMAT_RGB888);
    if (image)
        composeWindow(*top, image);
    return image;
}

bool saveWindowImage(HWND window, const char *pngPath) {
    SDL_Surface *image = composeImage(window);
    if (!image)
        return false;
    bool saved = IMG_SavePNG(image, pngPath) == 0;
    SDL_FreeSurface(image);
    return saved;
}

bool screenDefaultMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                          LRESULT &result) {
    switch (message) {
    case WM_ERASEBKGND: {
        HBRUSH background = nullptr;
        {
            WindowsLock lock;
            WindowRecord *record = lookupWindow(window);
            if (!record)
                return false;
            background = record->cls.background;
        }
        COLORREF colour = 0;
        if (!brushColour(background, colour)) {
            result = 0;
            return true;
        }
        RECT client = {};
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, background);
        result = 1;
        return true;
    }
    case WM_MOUSEWHEEL: {
        HWND parent = GetParent(window);
        result = parent ? SendMessageW(parent, message, wParam, lParam) : 0;
        return true;
    }
    case WM_NCMOUSEMOVE:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
        defaultNonClientMessage(window, message, wParam, lParam);
        result = 0;
        return true;
    default:
        return false;
    }
}

} // namespace platform

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
