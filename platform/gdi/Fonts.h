// Internal to the layer: fonts resolved through fontconfig and drawn with SDL_ttf.
#pragma once

#include <string>

#include "platform/gdi/GdiObjects.h"

namespace platform {

// Opens the face that the font configuration picks for the description (Japanese preferred) at
// the pixel size the description asks for. Null when no face can be opened.
GdiFont *openFont(const LOGFONTW &spec);
void closeFont(GdiFont *font);

// The file the font configuration resolves a face name to (for tests and diagnostics).
std::string resolveFontFile(const std::wstring &faceName, bool bold, bool italic);

// Measures count characters of text. Height is the font's cell height even for empty text.
SIZE measureText(GdiFont *font, const wchar_t *text, int count);
// Ascent and descent of the font.
void fontMetrics(GdiFont *font, int &ascent, int &descent);

// Draws the text with its cell's top left at (x, y) in surface coordinates, clipped to the device
// context; draws the opaque background first when the device context asks for it.
void drawText(DeviceContext &dc, int x, int y, const wchar_t *text, int count, COLORREF colour);

// UTF-8 of wide text.
std::string toUtf8(const wchar_t *text, int count);
std::wstring fromUtf8(const char *text);

} // namespace platform
