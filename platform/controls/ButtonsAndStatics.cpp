// "BUTTON": push buttons (default or not), automatic radio buttons and check boxes, group boxes.
// A click (press and release inside, the space bar, or BM_CLICK) checks or toggles and sends
// BN_CLICKED to the parent.
//
// "static": text on the button face, left-aligned (SS_LEFT), centred (SS_CENTER) or
// right-aligned (SS_RIGHT). CR LF and LF break lines; a line too wide for the control wraps at
// its last space, or between characters where it has none (as Japanese text needs).

#include <vector>

#include "platform/controls/ControlCommon.h"
#include "platform/controls/Controls.h"

namespace platform {
namespace {

struct ButtonState : ControlState {
    int check = BST_UNCHECKED;
    bool pressed = false;  // drawn pushed
    bool tracking = false; // the mouse button went down on it
};

UINT buttonType(HWND window) { return windowStyle(window) & BS_TYPEMASK; }

bool isRadio(UINT type) { return type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON; }

// The automatic radio buttons of the window's group: the siblings from the last one with
// WS_GROUP at or before it up to the next one with WS_GROUP.
std::vector<HWND> radioGroup(HWND window) {
    std::vector<HWND> group;
    WindowsLock lock;
    WindowRecord *record = lookupWindow(window);
    if (!record || !record->parent)
        return group;
    const std::vector<WindowRecord *> &siblings = record->parent->children;
    size_t self = 0;
    while (self < siblings.size() && siblings[self] != record)
        ++self;
    size_t first = self;
    while (first > 0 && !(siblings[first]->style & WS_GROUP))
        --first;
    for (size_t i = first; i < siblings.size(); ++i) {
        if (i > first && (siblings[i]->style & WS_GROUP))
            break;
        if ((siblings[i]->style & BS_TYPEMASK) == BS_AUTORADIOBUTTON &&
            siblings[i]->cls.proc == buttonWindowProc() && !siblings[i]->destroying)
            group.push_back(toHandle(siblings[i]));
    }
    return group;
}

void click(HWND window, ButtonState &state) {
    UINT type = buttonType(window);
    if (type == BS_GROUPBOX)
        return;
    if (type == BS_AUTOCHECKBOX) {
        state.check = state.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
        InvalidateRect(window, nullptr, TRUE);
    } else if (type == BS_AUTORADIOBUTTON) {
        for (HWND other : radioGroup(window))
            if (other != window)
                SendMessageW(other, BM_SETCHECK, BST_UNCHECKED, 0);
        state.check = BST_CHECKED;
        InvalidateRect(window, nullptr, TRUE);
    }
    notifyParent(window, BN_CLICKED);
}

void paintPush(HWND window, HDC dc, ButtonState &state, SIZE size, bool enabled) {
    RECT all = {0, 0, size.cx, size.cy};
    fillSolid(dc, all, GetSysColor(COLOR_BTNFACE));
    bool isDefault = buttonType(window) == BS_DEFPUSHBUTTON;
    RECT face = all;
    if (isDefault || state.pressed) {
        FrameRect(dc, &all, reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        face = RECT{1, 1, size.cx - 1, size.cy - 1};
    }
    if (state.pressed) {
        FrameRect(dc, &face, GetSysColorBrush(COLOR_BTNSHADOW));
    } else {
        raisedEdge(dc, face);
    }
    HFONT font = effectiveFont(state);
    std::wstring text = windowText(window);
    SIZE extent = textExtent(font, text);
    int shift = state.pressed ? 1 : 0;
    drawLabel(dc, font, (size.cx - extent.cx) / 2 + shift, (size.cy - extent.cy) / 2 + shift, text,
              enabled);
    if (GetFocus() == window && enabled)
        dottedFrame(dc, RECT{4, 4, size.cx - 4, size.cy - 4});
}

// The 13-pixel box of a check box.
void paintCheckBox(HDC dc, int y, bool checked, bool enabled, bool pressed) {
    RECT box = {0, y, 13, y + 13};
    sunkenEdge(dc, box);
    fillSolid(dc, RECT{2, y + 2, 11, y + 11},
              enabled && !pressed ? GetSysColor(COLOR_WINDOW) : GetSysColor(COLOR_BTNFACE));
    if (!checked)
        return;
    COLORREF mark = enabled ? GetSysColor(COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT);
    // A tick: down from (3,5) to (5,7), then up to (9,3), three pixels thick.
    for (int i = 0; i < 7; ++i) {
        int x = 3 + i;
        int top = i < 3 ? y + 5 + i : y + 7 - (i - 2);
        fillSolid(dc, RECT{x, top, x + 1, top + 3}, mark);
    }
}

// The 12-pixel circle of a radio button.
void paintRadio(HDC dc, int y, bool checked, bool enabled, bool pressed) {
    COLORREF inside = enabled && !pressed ? GetSysColor(COLOR_WINDOW) : GetSysColor(COLOR_BTNFACE);
    for (int py = 0; py < 12; ++py)
        for (int px = 0; px < 12; ++px) {
            double dx = px - 5.5, dy = py - 5.5;
            double r2 = dx * dx + dy * dy;
            bool upperLeft = px + py < 11;
            COLORREF c;
            if (r2 > 36.0)
                continue;
            if (r2 > 25.0)
                c = GetSysColor(upperLeft ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT);
            else if (r2 > 16.0)
                c = GetSysColor(upperLeft ? COLOR_3DDKSHADOW : COLOR_3DLIGHT);
            else if (checked && r2 <= 3.3)
                c = enabled ? GetSysColor(COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT);
            else
                c = inside;
            SetPixel(dc, px, y + py, c);
        }
}

void paintButton(HWND window, ButtonState &state) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    SIZE size = clientSizeOf(window);
    bool enabled = IsWindowEnabled(window);
    UINT type = buttonType(window);
    HFONT font = effectiveFont(state);
    std::wstring text = windowText(window);
    SIZE extent = textExtent(font, text);
    if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
        paintPush(window, dc, state, size, enabled);
    } else if (type == BS_GROUPBOX) {
        fillSolid(dc, RECT{0, 0, size.cx, size.cy}, GetSysColor(COLOR_BTNFACE));
        int top = extent.cy / 2;
        etchedFrame(dc, RECT{0, top, size.cx, size.cy});
        if (!text.empty()) {
            fillSolid(dc, RECT{6, 0, 10 + extent.cx, extent.cy}, GetSysColor(COLOR_BTNFACE));
            drawLabel(dc, font, 8, 0, text, enabled);
        }
    } else {
        fillSolid(dc, RECT{0, 0, size.cx, size.cy}, GetSysColor(COLOR_BTNFACE));
        int markY = (size.cy - 13) / 2;
        if (isRadio(type))
            paintRadio(dc, markY, state.check == BST_CHECKED, enabled, state.pressed);
        else
            paintCheckBox(dc, markY, state.check == BST_CHECKED, enabled, state.pressed);
        int textX = 17;
        int textY = (size.cy - extent.cy) / 2;
        drawLabel(dc, font, textX, textY, text, enabled);
        if (GetFocus() == window && enabled && !text.empty())
            dottedFrame(dc, RECT{textX - 1, textY, textX + extent.cx + 1, textY + extent.cy});
    }
    EndPaint(window, &ps);
}

void setPressed(HWND window, ButtonState &state, bool pressed) {
    if (state.pressed == pressed)
        return;
    state.pressed = pressed;
    InvalidateRect(window, nullptr, FALSE);
}

LRESULT CALLBACK buttonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        attachControlState(window, new ButtonState);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    auto *state = controlState<ButtonState>(window);
    if (!state)
        return DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = 0;
    if (handleFontMessage(window, *state, message, wParam, lParam, result))
        return result;
    bool groupBox = buttonType(window) == BS_GROUPBOX;
    switch (message) {
    case WM_NCDESTROY:
        releaseControlState(window);
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_PAINT:
        paintButton(window, *state);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETTEXT:
    case WM_ENABLE:
        result = DefWindowProcW(window, message, wParam, lParam);
        InvalidateRect(window, nullptr, TRUE);
        return result;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (message == WM_KILLFOCUS)
            setPressed(window, *state, false);
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_LBUTTONDOWN:
        if (groupBox)
            return 0;
        SetFocus(window);
        SetCapture(window);
        state->tracking = true;
        setPressed(window, *state, true);
        return 0;
    case WM_MOUSEMOVE:
        if (state->tracking) {
            SIZE size = clientSizeOf(window);
            int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
            setPressed(window, *state, x >= 0 && y >= 0 && x < size.cx && y < size.cy);
        }
        return 0;
    case WM_LBUTTONUP:
        if (state->tracking) {
            state->tracking = false;
            ReleaseCapture();
            bool inside = state->pressed;
            setPressed(window, *state, false);
            if (inside)
                click(window, *state);
        }
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE && !groupBox)
            setPressed(window, *state, true);
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE && state->pressed) {
            setPressed(window, *state, false);
            click(window, *state);
        }
        return 0;
    case BM_GETCHECK:
        return state->check;
    case BM_SETCHECK:
        if (state->check != static_cast<int>(wParam)) {
            state->check = static_cast<int>(wParam);
            InvalidateRect(window, nullptr, TRUE);
        }
        return 0;
    case BM_GETSTATE:
        return state->check | (state->pressed ? BST_PUSHED : 0) |
               (GetFocus() == window ? BST_FOCUS : 0);
    case BM_SETSTATE:
        setPressed(window, *state, wParam != 0);
        return 0;
    case BM_CLICK:
        if (IsWindowEnabled(window) && !groupBox)
            click(window, *state);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

WNDPROC buttonWindowProc() { return buttonProc; }

// Splits text into the lines a static control of the given width shows.
std::vector<std::wstring> wrapLines(HFONT font, const std::wstring &text, int width) {
    std::vector<std::wstring> lines;
    std::wstring current;
    auto flush = [&] {
        lines.push_back(current);
        current.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c == L'\r')
            continue;
        if (c == L'\n') {
            flush();
            continue;
        }
        current.push_back(c);
        if (width > 0 && current.size() > 1 && textExtent(font, current).cx > width) {
            size_t space = current.find_last_of(L' ', current.size() - 2);
            std::wstring rest;
            if (space != std::wstring::npos && space > 0) {
                rest = current.substr(space + 1);
                current.erase(space);
            } else {
                rest = current.substr(current.size() - 1);
                current.pop_back();
            }
            flush();
            current = rest;
        }
    }
    flush();
    return lines;
}

namespace {

struct StaticState : ControlState {};

void paintStatic(HWND window, StaticState &state) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    SIZE size = clientSizeOf(window);
    fillSolid(dc, RECT{0, 0, size.cx, size.cy}, GetSysColor(COLOR_BTNFACE));
    HFONT font = effectiveFont(state);
    DWORD align = windowStyle(window) & 0x3u;
    bool enabled = IsWindowEnabled(window);
    int lineHeight = fontHeight(font);
    int y = 0;
    for (const std::wstring &line : wrapLines(font, windowText(window), size.cx)) {
        int width = textExtent(font, line).cx;
        int x = align == SS_CENTER  ? (size.cx - width) / 2
                : align == SS_RIGHT ? size.cx - width
                                    : 0;
        drawLabel(dc, font, x, y, line, enabled);
        y += lineHeight;
    }
    EndPaint(window, &ps);
}

LRESULT CALLBACK staticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        attachControlState(window, new StaticState);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    auto *state = controlState<StaticState>(window);
    if (!state)
        return DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = 0;
    if (handleFontMessage(window, *state, message, wParam, lParam, result))
        return result;
    switch (message) {
    case WM_NCDESTROY:
        releaseControlState(window);
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_PAINT:
        paintStatic(window, *state);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETTEXT:
    case WM_ENABLE:
        result = DefWindowProcW(window, message, wParam, lParam);
        InvalidateRect(window, nullptr, TRUE);
        return result;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

WNDPROC staticWindowProc() { return staticProc; }

} // namespace platform
