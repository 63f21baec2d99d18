// Internal to the layer: what the GDI handles point to, and the device context.
#pragma once

#include <SDL2/SDL.h>

#include <string>

#include "platform/gdi.h"

struct _TTF_Font;

namespace platform {

enum class GdiKind { Font, Brush, Pen };

struct GdiObject {
    GdiKind kind;
    bool stock = false;
    explicit GdiObject(GdiKind k) : kind(k) {}
};

struct GdiFont : GdiObject {
    GdiFont() : GdiObject(GdiKind::Font) {}
    _TTF_Font *ttf = nullptr; // guarded by the text lock (see Fonts.h)
    LOGFONTW spec = {};
    std::string file; // the face's file, as the font configuration resolved it
    int pixelSize = 0;
};

struct GdiBrush : GdiObject {
    GdiBrush() : GdiObject(GdiKind::Brush) {}
    bool hollow = false;
    COLORREF colour = 0;
};

struct GdiPen : GdiObject {
    GdiPen() : GdiObject(GdiKind::Pen) {}
    int style = PS_SOLID;
    int width = 1;
    COLORREF colour = 0;
};

// A device context draws into an RGB surface (or nowhere, when surface is null). Logical point
// (0, 0) lies at origin in the surface; clip is in surface coordinates.
struct DeviceContext {
    SDL_Surface *surface = nullptr;
    POINT origin = {};
    RECT clip = {};
    GdiFont *font = nullptr;
    GdiPen *pen = nullptr;
    GdiBrush *brush = nullptr;
    COLORREF textColour = 0;
    COLORREF bkColour = 0xFFFFFF;
    int bkMode = OPAQUE;
    POINT position = {};
    HWND window = nullptr;
};

inline DeviceContext *toDc(HDC dc) { return reinterpret_cast<DeviceContext *>(dc); }
inline HDC toHdc(DeviceContext *dc) { return reinterpret_cast<HDC>(dc); }

// A new device context with the default objects. clip is in surface coordinates and is cut to the
// surface; the caller deletes it with deleteDeviceContext.
DeviceContext *createDeviceContext(SDL_Surface *surface, POINT origin, RECT clip);
void deleteDeviceContext(DeviceContext *dc);

// The colour a brush handle paints with: false for a hollow brush. Small integers are a system
// colour index plus 1, as class backgrounds use them.
bool brushColour(HBRUSH brush, COLORREF &colour);

// Pixel helpers in surface coordinates, clipped to the device context.
void fillSurfaceRect(DeviceContext &dc, RECT area, COLORREF colour);
void putSurfacePixel(DeviceContext &dc, int x, int y, COLORREF colour);

// Maps a colour to the surface's pixel value and back.
Uint32 mapColour(const SDL_Surface *surface, COLORREF colour);
COLORREF unmapColour(const SDL_Surface *surface, Uint32 pixel);

// The stock system font that controls draw with until they are given one.
GdiFont *defaultGuiFont();

} // namespace platform
