// Internal to the layer: the parts of a scroll bar, how it is drawn, and how a press on it turns
// into scroll requests. Shared by the scroll bar control and the scroll bars of windows.
#pragma once

#include "platform/controls/ControlCommon.h"

namespace platform {

enum ScrollPart { partNone = 0, partLowArrow, partLowPage, partThumb, partHighPage, partHighArrow };

struct ScrollGeometry {
    bool vertical = false;
    RECT bar = {};
    RECT lowArrow = {}, highArrow = {}, track = {}, thumb = {};
    bool hasThumb = false;
};

// The parts of a bar occupying `bar` for the state; thumbPos replaces the position while the
// thumb is dragged (pass state.pos otherwise).
ScrollGeometry scrollGeometry(RECT bar, bool vertical, const ScrollState &state, int thumbPos);
int scrollHit(const ScrollGeometry &g, POINT p);
// The position for a thumb whose leading edge lies at `edge` along the track.
int positionForThumb(const ScrollGeometry &g, const ScrollState &state, int edge);
void drawScrollBar(HDC dc, const ScrollGeometry &g, const ScrollState &state, int pressed,
                   bool enabled);

// A press and its drag. sink receives (request, position) for each scroll request.
struct ScrollTrack {
    int pressed = partNone;
    bool dragging = false;
    int grab = 0;     // pointer offset inside the thumb along the track
    int thumbPos = 0; // position the dragged thumb stands for
};
using ScrollSink = void (*)(HWND target, HWND source, bool vertical, int request, int pos);
// Left press at p (bar coordinates); returns true when tracking started.
bool scrollPress(ScrollTrack &t, const ScrollGeometry &g, const ScrollState &state, POINT p,
                 HWND target, HWND source, ScrollSink sink);
void scrollDrag(ScrollTrack &t, const ScrollGeometry &g, const ScrollState &state, POINT p,
                HWND target, HWND source, ScrollSink sink);
void scrollRelease(ScrollTrack &t, HWND target, HWND source, bool vertical, ScrollSink sink);
// Right press: an arrow asks for the start or the end.
void scrollRightPress(const ScrollGeometry &g, const ScrollState &state, POINT p, HWND target,
                      HWND source, ScrollSink sink);

// Sends WM_HSCROLL or WM_VSCROLL to target with source as the second parameter.
void sendScroll(HWND target, HWND source, bool vertical, int request, int pos);

} // namespace platform
