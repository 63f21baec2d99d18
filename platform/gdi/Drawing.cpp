// Drawing through a device context: rectangles, lines, pixels and text. Coordinates are logical
// (client) coordinates; everything is moved by the context's origin and cut to its clip.

#include <cstdlib>

#include "platform/gdi/Fonts.h"
#include "platform/gdi/GdiObjects.h"

using namespace platform;

namespace {

RECT toSurface(const DeviceContext &dc, int left, int top, int right, int bottom) {
    return RECT{left + dc.origin.x, top + dc.origin.y, right + dc.origin.x, bottom + dc.origin.y};
}

bool penDraws(const DeviceContext &dc) { return dc.pen && dc.pen->style != PS_NULL; }

// A dot of the current pen: one pixel, or a square of the pen's width centred on the point.
void penDot(DeviceContext &dc, int x, int y) {
    int width = dc.pen->width;
    if (width <= 1) {
        putSurfacePixel(dc, x, y, dc.pen->colour);
        return;
    }
    int half = width / 2;
    fillSurfaceRect(dc, RECT{x - half, y - half, x - half + width, y - half + width},
                    dc.pen->colour);
}

} // namespace

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    DeviceContext *dc = toDc(hdc);
    if (!dc)
        return FALSE;
    if (right <= left || bottom <= top)
        return TRUE;
    RECT r = toSurface(*dc, left, top, right, bottom);
    if (penDraws(*dc)) {
        int w = dc->pen->width;
        COLORREF c = dc->pen->colour;
        fillSurfaceRect(*dc, RECT{r.left, r.top, r.right, std::min(r.top + w, r.bottom)}, c);
        fillSurfaceRect(*dc, RECT{r.left, std::max(r.bottom - w, r.top), r.right, r.bottom}, c);
        fillSurfaceRect(*dc, RECT{r.left, r.top, std::min(r.left + w, r.right), r.bottom}, c);
        fillSurfaceRect(*dc, RECT{std::max(r.right - w, r.left), r.top, r.right, r.bottom}, c);
        r = RECT{r.left + w, r.top + w, r.right - w, r.bottom - w};
    } else {
        r.right -= 1;
        r.bottom -= 1;
    }
    if (dc->brush && !dc->brush->hollow && r.right > r.left && r.bottom > r.top)
        fillSurfaceRect(*dc, r, dc->brush->colour);
    return TRUE;
}

int FillRect(HDC hdc, const RECT *rect, HBRUSH brush) {
    DeviceContext *dc = toDc(hdc);
    COLORREF colour = 0;
    if (!dc || !rect)
        return 0;
    if (brushColour(brush, colour))
        fillSurfaceRect(*dc, toSurface(*dc, rect->left, rect->top, rect->right, rect->bottom),
                        colour);
    return 1;
}

int FrameRect(HDC hdc, const RECT *rect, HBRUSH brush) {
    DeviceContext *dc = toDc(hdc);
    COLORREF c = 0;
    if (!dc || !rect)
        return 0;
    if (!brushColour(brush, c) || rect->right <= rect->left || rect->bottom <= rect->top)
        return 1;
    RECT r = toSurface(*dc, rect->left, rect->top, rect->right, rect->bottom);
    fillSurfaceRect(*dc, RECT{r.left, r.top, r.right, r.top + 1}, c);
    fillSurfaceRect(*dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, c);
    fillSurfaceRect(*dc, RECT{r.left, r.top, r.left + 1, r.bottom}, c);
    fillSurfaceRect(*dc, RECT{r.right - 1, r.top, r.right, r.bottom}, c);
    return 1;
}

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT previous) {
    DeviceContext *dc = toDc(hdc);
    if (!dc)
        return FALSE;
    if (previous)
        *previous = dc->position;
    dc->position = POINT{x, y};
    return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
    DeviceContext *dc = toDc(hdc);
    if (!dc)
        return FALSE;
    if (penDraws(*dc)) {
        // Bresenham from the current position, leaving out the end point.
        int x0 = dc->position.x + dc->origin.x, y0 = dc->position.y + dc->origin.y;
        int x1 = x + dc->origin.x, y1 = y + dc->origin.y;
        int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
        int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        while (x0 != x1 || y0 != y1) {
            penDot(*dc, x0, y0);
            int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x0 += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y0 += sy;
            }
        }
    }
    dc->position = POINT{x, y};
    return TRUE;
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF colour) {
    DeviceContext *dc = toDc(hdc);
    if (!dc || !dc->surface)
        return CLR_INVALID;
    putSurfacePixel(*dc, x + dc->origin.x, y + dc->origin.y, colour & 0xFFFFFF);
    return colour & 0xFFFFFF;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
    DeviceContext *dc = toDc(hdc);
    if (!dc || !dc->surface)
        return CLR_INVALID;
    int sx = x + dc->origin.x, sy = y + dc->origin.y;
    if (sx < dc->clip.left || sx >= dc->clip.right || sy < dc->clip.top || sy >= dc->clip.bottom)
        return CLR_INVALID;
    auto *row = static_cast<Uint8 *>(dc->surface->pixels) + sy * dc->surface->pitch;
    return unmapColour(dc->surface, reinterpret_cast<Uint32 *>(row)[sx]);
}

BOOL TextOutW(HDC hdc, int x, int y, LPCWSTR text, int count) {
    DeviceContext *dc = toDc(hdc);
    if (!dc || (!text && count > 0) || count < 0)
        return FALSE;
    drawText(*dc, x + dc->origin.x, y + dc->origin.y, text, count, dc->textColour);
    return TRUE;
}

BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR text, int count, SIZE *size) {
    DeviceContext *dc = toDc(hdc);
    if (!dc || !size || count < 0 || (!text && count > 0))
        return FALSE;
    *size = measureText(dc->font, text, count);
    return TRUE;
}

BOOL GetTextMetricsW(HDC hdc, TEXTMETRICW *metrics) {
    DeviceContext *dc = toDc(hdc);
    if (!dc || !metrics || !dc->font)
        return FALSE;
    int ascent = 0, descent = 0;
    fontMetrics(dc->font, ascent, descent);
    *metrics = TEXTMETRICW{};
    metrics->tmAscent = ascent;
    metrics->tmDescent = descent;
    metrics->tmHeight = measureText(dc->font, L"", 0).cy;
    metrics->tmAveCharWidth = measureText(dc->font, L"x", 1).cx;
    metrics->tmMaxCharWidth = measureText(dc->font, L"W", 1).cx;
    metrics->tmWeight = dc->font->spec.lfWeight ? dc->font->spec.lfWeight : FW_NORMAL;
    return TRUE;
}
