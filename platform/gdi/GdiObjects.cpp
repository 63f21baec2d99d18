// GDI objects: the classic system colours, stock objects, brushes, pens and fonts, and the state
// of a device context (selected objects, colours, background mode).

#include "platform/gdi/GdiObjects.h"

#include <mutex>

#include "platform/gdi/Fonts.h"
#include "platform/messages.h"

namespace platform {
namespace {

COLORREF classicColour(int index) {
    switch (index) {
    case COLOR_WINDOW:
    case COLOR_BTNHIGHLIGHT:
    case COLOR_HIGHLIGHTTEXT:
        return RGB(255, 255, 255);
    case COLOR_WINDOWTEXT:
    case COLOR_BTNTEXT:
    case COLOR_3DDKSHADOW:
        return RGB(0, 0, 0);
    case COLOR_BTNSHADOW:
    case COLOR_GRAYTEXT:
        return RGB(128, 128, 128);
    case COLOR_3DLIGHT:
        return RGB(223, 223, 223);
    case COLOR_HIGHLIGHT:
        return RGB(0, 0, 128);
    case COLOR_BTNFACE:
    default:
        return RGB(192, 192, 192);
    }
}

constexpr int sysColourCount = 31;

GdiBrush *stockBrush(bool hollow, COLORREF colour) {
    auto *brush = new GdiBrush;
    brush->stock = true;
    brush->hollow = hollow;
    brush->colour = colour;
    return brush;
}

GdiPen *stockPen(int style, COLORREF colour) {
    auto *pen = new GdiPen;
    pen->stock = true;
    pen->style = style;
    pen->colour = colour;
    return pen;
}

struct StockObjects {
    GdiBrush *brushes[6];
    GdiPen *pens[3];
    GdiBrush *sysBrushes[sysColourCount];
    StockObjects() {
        brushes[WHITE_BRUSH] = stockBrush(false, RGB(255, 255, 255));
        brushes[LTGRAY_BRUSH] = stockBrush(false, RGB(192, 192, 192));
        brushes[GRAY_BRUSH] = stockBrush(false, RGB(128, 128, 128));
        brushes[DKGRAY_BRUSH] = stockBrush(false, RGB(64, 64, 64));
        brushes[BLACK_BRUSH] = stockBrush(false, RGB(0, 0, 0));
        brushes[NULL_BRUSH] = stockBrush(true, 0);
        pens[0] = stockPen(PS_SOLID, RGB(255, 255, 255));
        pens[1] = stockPen(PS_SOLID, RGB(0, 0, 0));
        pens[2] = stockPen(PS_NULL, 0);
        for (int i = 0; i < sysColourCount; ++i)
            sysBrushes[i] = stockBrush(false, classicColour(i));
    }
};

// Stock objects live as long as the process.
StockObjects &stock() {
    static StockObjects *objects = new StockObjects;
    return *objects;
}

} // namespace

GdiFont *defaultGuiFont() {
    static std::once_flag once;
    static GdiFont *font = nullptr;
    std::call_once(once, [] {
        LOGFONTW spec = {};
        spec.lfHeight = -12;
        spec.lfWeight = FW_NORMAL;
        font = openFont(spec);
        if (font)
            font->stock = true;
    });
    return font;
}

bool brushColour(HBRUSH brush, COLORREF &colour) {
    auto value = reinterpret_cast<std::uintptr_t>(brush);
    if (value == 0)
        return false;
    if (value <= static_cast<std::uintptr_t>(sysColourCount)) {
        colour = classicColour(static_cast<int>(value) - 1);
        return true;
    }
    auto *object = reinterpret_cast<GdiObject *>(brush);
    if (object->kind != GdiKind::Brush)
        return false;
    auto *solid = static_cast<GdiBrush *>(object);
    colour = solid->colour;
    return !solid->hollow;
}

Uint32 mapColour(const SDL_Surface *surface, COLORREF colour) {
    return SDL_MapRGB(surface->format, GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

COLORREF unmapColour(const SDL_Surface *surface, Uint32 pixel) {
    Uint8 r = 0, g = 0, b = 0;
    SDL_GetRGB(pixel, surface->format, &r, &g, &b);
    return RGB(r, g, b);
}

void fillSurfaceRect(DeviceContext &dc, RECT area, COLORREF colour) {
    if (!dc.surface)
        return;
    RECT cut = {std::max(area.left, dc.clip.left), std::max(area.top, dc.clip.top),
                std::min(area.right, dc.clip.right), std::min(area.bottom, dc.clip.bottom)};
    if (cut.right <= cut.left || cut.bottom <= cut.top)
        return;
    SDL_Rect r = {cut.left, cut.top, cut.right - cut.left, cut.bottom - cut.top};
    SDL_FillRect(dc.surface, &r, mapColour(dc.surface, colour));
}

void putSurfacePixel(DeviceContext &dc, int x, int y, COLORREF colour) {
    if (!dc.surface || x < dc.clip.left || x >= dc.clip.right || y < dc.clip.top ||
        y >= dc.clip.bottom)
        return;
    auto *row = static_cast<Uint8 *>(dc.surface->pixels) + y * dc.surface->pitch;
    reinterpret_cast<Uint32 *>(row)[x] = mapColour(dc.surface, colour);
}

DeviceContext *createDeviceContext(SDL_Surface *surface, POINT origin, RECT clip) {
    auto *dc = new DeviceContext;
    dc->surface = surface;
    dc->origin = origin;
    if (surface) {
        clip.left = std::max<LONG>(clip.left, 0);
        clip.top = std::max<LONG>(clip.top, 0);
        clip.right = std::min<LONG>(clip.right, surface->w);
        clip.bottom = std::min<LONG>(clip.bottom, surface->h);
    }
    if (clip.right < clip.left)
        clip.right = clip.left;
    if (clip.bottom < clip.top)
        clip.bottom = clip.top;
    dc->clip = clip;
    dc->font = defaultGuiFont();
    dc->pen = stock().pens[1];
    dc->brush = stock().brushes[WHITE_BRUSH];
    return dc;
}

void deleteDeviceContext(DeviceContext *dc) { delete dc; }

} // namespace platform

using namespace platform;

DWORD GetSysColor(int index) { return classicColour(index); }

HBRUSH GetSysColorBrush(int index) {
    if (index < 0 || index >= sysColourCount)
        return nullptr;
    return reinterpret_cast<HBRUSH>(stock().sysBrushes[index]);
}

HGDIOBJ GetStockObject(int object) {
    if (object >= WHITE_BRUSH && object <= NULL_BRUSH)
        return stock().brushes[object];
    if (object >= WHITE_PEN && object <= NULL_PEN)
        return stock().pens[object - WHITE_PEN];
    if (object == SYSTEM_FONT || object == DEFAULT_GUI_FONT)
        return defaultGuiFont();
    return nullptr;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object) {
    DeviceContext *dc = toDc(hdc);
    if (!dc || !object)
        return nullptr;
    auto *gdi = static_cast<GdiObject *>(object);
    switch (gdi->kind) {
    case GdiKind::Font: {
        GdiFont *previous = dc->font;
        dc->font = static_cast<GdiFont *>(gdi);
        return previous;
    }
    case GdiKind::Brush: {
        GdiBrush *previous = dc->brush;
        dc->brush = static_cast<GdiBrush *>(gdi);
        return previous;
    }
    case GdiKind::Pen: {
        GdiPen *previous = dc->pen;
        dc->pen = static_cast<GdiPen *>(gdi);
        return previous;
    }
    }
    return nullptr;
}

BOOL DeleteObject(HGDIOBJ object) {
    auto value = reinterpret_cast<std::uintptr_t>(object);
    if (value <= static_cast<std::uintptr_t>(sysColourCount))
        return value != 0;
    auto *gdi = static_cast<GdiObject *>(object);
    if (gdi->stock)
        return TRUE;
    switch (gdi->kind) {
    case GdiKind::Font:
        closeFont(static_cast<GdiFont *>(gdi));
        break;
    case GdiKind::Brush:
        delete static_cast<GdiBrush *>(gdi);
        break;
    case GdiKind::Pen:
        delete static_cast<GdiPen *>(gdi);
        break;
    }
    return TRUE;
}

HBRUSH CreateSolidBrush(COLORREF colour) {
    auto *brush = new GdiBrush;
    brush->colour = colour & 0xFFFFFF;
    return reinterpret_cast<HBRUSH>(static_cast<GdiObject *>(brush));
}

HPEN CreatePen(int style, int width, COLORREF colour) {
    if (style != PS_SOLID && style != PS_NULL)
        style = PS_SOLID;
    auto *pen = new GdiPen;
    pen->style = style;
    pen->width = width < 1 ? 1 : width;
    pen->colour = colour & 0xFFFFFF;
    return reinterpret_cast<HPEN>(static_cast<GdiObject *>(pen));
}

HFONT CreateFontIndirectW(const LOGFONTW *logFont) {
    if (!logFont)
        return nullptr;
    GdiFont *font = openFont(*logFont);
    return reinterpret_cast<HFONT>(static_cast<GdiObject *>(font));
}

int SetBkMode(HDC hdc, int mode) {
    DeviceContext *dc = toDc(hdc);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE))
        return 0;
    int previous = dc->bkMode;
    dc->bkMode = mode;
    return previous;
}

COLORREF SetBkColor(HDC hdc, COLORREF colour) {
    DeviceContext *dc = toDc(hdc);
    if (!dc)
        return CLR_INVALID;
    COLORREF previous = dc->bkColour;
    dc->bkColour = colour & 0xFFFFFF;
    return previous;
}

COLORREF SetTextColor(HDC hdc, COLORREF colour) {
    DeviceContext *dc = toDc(hdc);
    if (!dc)
        return CLR_INVALID;
    COLORREF previous = dc->textColour;
    dc->textColour = colour & 0xFFFFFF;
    return previous;
}
