// The drawing half of the layer: device contexts for painting, system colours, fonts, pens,
// brushes, text, rectangles and lines. Everything drawn through a device context is clipped to
// the area it was handed out for (the paint region of BeginPaint, the client area of GetDC).
#pragma once

#include "platform/win32_types.h"

// ---- Colours ----------------------------------------------------------------------------------
#define RGB(r, g, b)                                                                               \
    ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(c) ((BYTE)((c)&0xff))
#define GetGValue(c) ((BYTE)(((c) >> 8) & 0xff))
#define GetBValue(c) ((BYTE)(((c) >> 16) & 0xff))

// The classic colour scheme (indices are the COLOR_ constants of messages.h).
DWORD GetSysColor(int index);
// A stock brush of a system colour; never deleted.
HBRUSH GetSysColorBrush(int index);

// ---- Fonts ------------------------------------------------------------------------------------
#define LF_FACESIZE 32

struct LOGFONTW {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    WCHAR lfFaceName[LF_FACESIZE];
};

#define FW_DONTCARE 0
#define FW_NORMAL 400
#define FW_BOLD 700

struct TEXTMETRICW {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
};

// A negative height is the character (em) height in pixels, a positive one the cell height, 0 a
// default size. The face name is resolved through the system's font configuration, preferring
// faces with Japanese glyphs, so an unknown face still draws Japanese text.
HFONT CreateFontIndirectW(const LOGFONTW *logFont);

// ---- Objects ----------------------------------------------------------------------------------
#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define HOLLOW_BRUSH NULL_BRUSH
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8
#define SYSTEM_FONT 13
#define DEFAULT_GUI_FONT 17

#define PS_SOLID 0
#define PS_NULL 5

HGDIOBJ GetStockObject(int object);
// Selecting a font, pen or brush returns the one of the same kind it replaces.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// Stock objects are never deleted; deleting one is harmless.
BOOL DeleteObject(HGDIOBJ object);
HBRUSH CreateSolidBrush(COLORREF colour);
// A width of 0 or 1 draws one pixel wide.
HPEN CreatePen(int style, int width, COLORREF colour);

// ---- Device context state ---------------------------------------------------------------------
#define TRANSPARENT 1
#define OPAQUE 2
#define CLR_INVALID 0xFFFFFFFFu

// Each returns the previous value. A new device context draws black text on an opaque white
// background with a black pen, a white brush and the system font.
int SetBkMode(HDC dc, int mode);
COLORREF SetBkColor(HDC dc, COLORREF colour);
COLORREF SetTextColor(HDC dc, COLORREF colour);

// ---- Text -------------------------------------------------------------------------------------
// Draws count characters with the top left of the first character cell at (x, y).
BOOL TextOutW(HDC dc, int x, int y, LPCWSTR text, int count);
BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, SIZE *size);
BOOL GetTextMetricsW(HDC dc, TEXTMETRICW *metrics);

// ---- Shapes -----------------------------------------------------------------------------------
// Outlines with the current pen and fills the inside with the current brush; the right and bottom
// edges are excluded. With the null pen the filled area is one pixel smaller in width and height.
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
// Fills left..right-1, top..bottom-1 with the brush (a brush handle, or a COLOR_ index plus 1).
int FillRect(HDC dc, const RECT *rect, HBRUSH brush);
// Draws a one-pixel frame with the brush just inside the rectangle.
int FrameRect(HDC dc, const RECT *rect, HBRUSH brush);
BOOL MoveToEx(HDC dc, int x, int y, LPPOINT previous);
// Draws from the current position to (x, y) with the current pen, leaving out the last point,
// and makes (x, y) the current position.
BOOL LineTo(HDC dc, int x, int y);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour);
COLORREF GetPixel(HDC dc, int x, int y);

// ---- Painting ---------------------------------------------------------------------------------
struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};
using LPPAINTSTRUCT = PAINTSTRUCT *;

// Takes the update region of the window (sending WM_ERASEBKGND first when an erase is pending),
// validates it and hands out a device context clipped to it. With an empty update region the
// device context draws nothing.
HDC BeginPaint(HWND window, LPPAINTSTRUCT paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT *paint);
// A device context for the whole client area, outside painting. Release it with ReleaseDC.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
