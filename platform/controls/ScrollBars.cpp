// Scroll bars: two arrow buttons, a track with page areas on either side of a square thumb.

#include "platform/controls/ScrollBars.h"

#include <algorithm>

namespace platform {
namespace {

bool inside(const RECT &r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

bool active(const ScrollState &state) { return !state.disabled; }

// A small solid triangle pointing along the bar, centred in the arrow button.
void arrowGlyph(HDC dc, RECT r, bool vertical, bool towardsLow, COLORREF colour, int shift) {
    int cx = (r.left + r.right) / 2 + shift, cy = (r.top + r.bottom) / 2 + shift;
    for (int i = 0; i < 4; ++i) {
        int half = i; // row i of the triangle is 2i+1 pixels long
        int offset = towardsLow ? i - 2 : 1 - i;
        RECT line = vertical ? RECT{cx - half, cy + offset, cx + half + 1, cy + offset + 1}
                             : RECT{cx + offset, cy - half, cx + offset + 1, cy + half + 1};
        fillSolid(dc, line, colour);
    }
}

} // namespace

ScrollGeometry scrollGeometry(RECT bar, bool vertical, const ScrollState &state, int thumbPos) {
    ScrollGeometry g;
    g.vertical = vertical;
    g.bar = bar;
    int length = vertical ? bar.bottom - bar.top : bar.right - bar.left;
    int thickness = vertical ? bar.right - bar.left : bar.bottom - bar.top;
    int arrow = std::min(thickness, length / 2);
    auto span = [&](int from, int to) {
        return vertical ? RECT{bar.left, bar.top + from, bar.right, bar.top + to}
                        : RECT{bar.left + from, bar.top, bar.left + to, bar.bottom};
    };
    g.lowArrow = span(0, arrow);
    g.highArrow = span(length - arrow, length);
    g.track = span(arrow, length - arrow);
    int trackLength = length - 2 * arrow;
    int thumb = std::min(thickness, trackLength);
    g.hasThumb = active(state) && state.max > state.min && trackLength >= thumb && thumb >= 6;
    if (g.hasThumb) {
        int pos = std::clamp(thumbPos, state.min, state.max);
        long long travel = trackLength - thumb;
        int offset = static_cast<int>(travel * (pos - state.min) / (state.max - state.min));
        g.thumb = span(arrow + offset, arrow + offset + thumb);
    }
    return g;
}

int scrollHit(const ScrollGeometry &g, POINT p) {
    if (inside(g.lowArrow, p))
        return partLowArrow;
    if (inside(g.highArrow, p))
        return partHighArrow;
    if (!inside(g.track, p))
        return partNone;
    if (!g.hasThumb)
        return partNone;
    if (inside(g.thumb, p))
        return partThumb;
    int along = g.vertical ? p.y : p.x;
    int thumbStart = g.vertical ? g.thumb.top : g.thumb.left;
    return along < thumbStart ? partLowPage : partHighPage;
}

int positionForThumb(const ScrollGeometry &g, const ScrollState &state, int edge) {
    int trackStart = g.vertical ? g.track.top : g.track.left;
    int trackLength = g.vertical ? g.track.bottom - g.track.top : g.track.right - g.track.left;
    int thumb = g.vertical ? g.thumb.bottom - g.thumb.top : g.thumb.right - g.thumb.left;
    int travel = trackLength - thumb;
    if (travel <= 0 || state.max <= state.min)
        return state.min;
    int offset = std::clamp(edge - trackStart, 0, travel);
    long long range = state.max - state.min;
    return state.min + static_cast<int>((offset * range + travel / 2) / travel);
}

void drawScrollBar(HDC dc, const ScrollGeometry &g, const ScrollState &state, int pressed,
                   bool enabled) {
    bool live = enabled && active(state);
    // The track: the classic checker of face and highlight, darker where a page area is held.
    for (int y = g.track.top; y < g.track.bottom; ++y)
        for (int x = g.track.left; x < g.track.right; ++x)
            SetPixel(dc, x, y,
                     ((x + y) & 1) ? GetSysColor(COLOR_BTNHIGHLIGHT) : GetSysColor(COLOR_BTNFACE));
    if (g.hasThumb && (pressed == partLowPage || pressed == partHighPage)) {
        RECT held = g.track;
        if (g.vertical)
            (pressed == partLowPage ? held.bottom : held.top) =
                pressed == partLowPage ? g.thumb.top : g.thumb.bottom;
        else
            (pressed == partLowPage ? held.right : held.left) =
                pressed == partLowPage ? g.thumb.left : g.thumb.right;
        fillSolid(dc, held, GetSysColor(COLOR_3DDKSHADOW));
    }
    const RECT *arrows[2] = {&g.lowArrow, &g.highArrow};
    for (int i = 0; i < 2; ++i) {
        RECT r = *arrows[i];
        bool down = pressed == (i == 0 ? partLowArrow : partHighArrow);
        fillSolid(dc, r, GetSysColor(COLOR_BTNFACE));
        if (down)
            FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
        else
            raisedEdge(dc, r);
        COLORREF glyph = live ? GetSysColor(COLOR_BTNTEXT) : GetSysColor(COLOR_GRAYTEXT);
        if (!live)
            arrowGlyph(dc, r, g.vertical, i == 0, GetSysColor(COLOR_BTNHIGHLIGHT), 1);
        arrowGlyph(dc, r, g.vertical, i == 0, glyph, down ? 1 : 0);
    }
    if (g.hasThumb) {
        fillSolid(dc, g.thumb, GetSysColor(COLOR_BTNFACE));
        raisedEdge(dc, g.thumb);
    }
}

void sendScroll(HWND target, HWND source, bool vertical, int request, int pos) {
    SendMessageW(target, vertical ? WM_VSCROLL : WM_HSCROLL,
                 MAKEWPARAM(request, static_cast<WORD>(pos)), reinterpret_cast<LPARAM>(source));
}

bool scrollPress(ScrollTrack &t, const ScrollGeometry &g, const ScrollState &state, POINT p,
                 HWND target, HWND source, ScrollSink sink) {
    if (!active(state))
        return false;
    int part = scrollHit(g, p);
    if (part == partNone)
        return false;
    t = ScrollTrack{};
    t.pressed = part;
    switch (part) {
    case partLowArrow:
        sink(target, source, g.vertical, SB_LINEUP, 0);
        break;
    case partHighArrow:
        sink(target, source, g.vertical, SB_LINEDOWN, 0);
        break;
    case partLowPage:
        sink(target, source, g.vertical, SB_PAGEUP, 0);
        break;
    case partHighPage:
        sink(target, source, g.vertical, SB_PAGEDOWN, 0);
        break;
    case partThumb:
        t.dragging = true;
        t.grab = g.vertical ? p.y - g.thumb.top : p.x - g.thumb.left;
        t.thumbPos = state.pos;
        break;
    default:
        break;
    }
    return true;
}

void scrollDrag(ScrollTrack &t, const ScrollGeometry &g, const ScrollState &state, POINT p,
                HWND target, HWND source, ScrollSink sink) {
    if (!t.dragging)
        return;
    int edge = (g.vertical ? p.y : p.x) - t.grab;
    int pos = positionForThumb(g, state, edge);
    if (pos == t.thumbPos)
        return;
    t.thumbPos = pos;
    sink(target, source, g.vertical, SB_THUMBTRACK, pos);
}

void scrollRelease(ScrollTrack &t, HWND target, HWND source, bool vertical, ScrollSink sink) {
    if (t.pressed == partNone)
        return;
    bool dragged = t.dragging;
    int pos = t.thumbPos;
    t = ScrollTrack{};
    if (dragged)
        sink(target, source, vertical, SB_THUMBPOSITION, pos);
    sink(target, source, vertical, SB_ENDSCROLL, 0);
}

void scrollRightPress(const ScrollGeometry &g, const ScrollState &state, POINT p, HWND target,
                      HWND source, ScrollSink sink) {
    if (!active(state))
        return;
    int part = scrollHit(g, p);
    if (part == partLowArrow)
        sink(target, source, g.vertical, SB_TOP, 0);
    else if (part == partHighArrow)
        sink(target, source, g.vertical, SB_BOTTOM, 0);
    else
        return;
    sink(target, source, g.vertical, SB_ENDSCROLL, 0);
}

} // namespace platform
