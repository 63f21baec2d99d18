// Window images: each window on the screen thread paints into its own surface; a top-level
// window's image is its surface with its children's surfaces on top, each cut to its parent's
// client area, later siblings above earlier ones. Also saving an image as PNG.

#include <SDL2/SDL_image.h>

#include "platform/gdi/GdiObjects.h"
#include "platform/gdi.h"
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

} // namespace platform
