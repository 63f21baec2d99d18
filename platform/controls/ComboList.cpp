// The drop-down list of a combo box: a bordered child of the top-level window that holds the
// mouse capture while it is down, so that a click anywhere else closes it.

#include <algorithm>

#include "platform/controls/ComboBox.h"
#include "platform/controls/Controls.h"

namespace platform {
namespace {

struct ListState : ControlState {
    HWND combo = nullptr;
};

int visibleRows(HWND list, const ComboState &s) {
    return std::max(1, (clientSizeOf(list).cy) / comboItemHeight(s));
}

HWND topLevelWindow(HWND window) {
    WindowsLock lock;
    WindowRecord *record = lookupWindow(window);
    return record ? toHandle(topLevelOf(record)) : nullptr;
}

int rowAt(HWND list, const ComboState &s, POINT p) {
    SIZE size = clientSizeOf(list);
    if (p.x < 0 || p.y < 0 || p.x >= size.cx || p.y >= size.cy)
        return -1;
    int index = s.top + p.y / comboItemHeight(s);
    return index < static_cast<int>(s.items.size()) ? index : -1;
}

void paintList(HWND list, ListState &ls) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(list, &ps);
    SIZE size = clientSizeOf(list);
    fillSolid(dc, RECT{0, 0, size.cx, size.cy}, GetSysColor(COLOR_WINDOW));
    if (auto *s = controlState<ComboState>(ls.combo)) {
        HFONT font = effectiveFont(*s);
        int height = comboItemHeight(*s);
        for (int row = 0; s->top + row < static_cast<int>(s->items.size()); ++row) {
            int index = s->top + row;
            int y = row * height;
            if (y >= size.cy)
                break;
            COLORREF colour = GetSysColor(COLOR_WINDOWTEXT);
            if (index == s->hot) {
                fillSolid(dc, RECT{0, y, size.cx, y + height}, GetSysColor(COLOR_HIGHLIGHT));
                colour = GetSysColor(COLOR_HIGHLIGHTTEXT);
            }
            drawLabel(dc, font, 2, y + 1, s->items[static_cast<size_t>(index)], true, colour);
        }
    }
    EndPaint(list, &ps);
}

LRESULT CALLBACK listProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto *state = new ListState;
        auto *create = reinterpret_cast<const CREATESTRUCTW *>(lParam);
        state->combo = create ? static_cast<HWND>(create->lpCreateParams) : nullptr;
        attachControlState(list, state);
        return DefWindowProcW(list, message, wParam, lParam);
    }
    auto *ls = controlState<ListState>(list);
    if (!ls)
        return DefWindowProcW(list, message, wParam, lParam);
    HWND combo = ls->combo;
    auto *s = controlState<ComboState>(combo);
    POINT p = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
    case WM_NCDESTROY:
        releaseControlState(list);
        return DefWindowProcW(list, message, wParam, lParam);
    case WM_PAINT:
        paintList(list, *ls);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE:
        if (s && rowAt(list, *s, p) >= 0 && rowAt(list, *s, p) != s->hot) {
            setHotItem(*s, rowAt(list, *s, p));
            InvalidateRect(list, nullptr, FALSE);
        }
        return 0;
    case WM_LBUTTONDOWN:
        if (!s)
            return 0;
        if (rowAt(list, *s, p) >= 0) {
            setHotItem(*s, rowAt(list, *s, p));
            InvalidateRect(list, nullptr, FALSE);
        } else {
            closeDropDown(combo); // a click elsewhere closes the list and does nothing else
        }
        return 0;
    case WM_LBUTTONUP:
        if (s && rowAt(list, *s, p) >= 0)
            chooseItem(combo, rowAt(list, *s, p));
        return 0;
    case WM_RBUTTONDOWN:
        if (s && rowAt(list, *s, p) < 0)
            closeDropDown(combo);
        return 0;
    case WM_MOUSEWHEEL:
        if (s) {
            int step = GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? -1 : 1;
            int rows = visibleRows(list, *s);
            s->top =
                std::clamp(s->top + step, 0, std::max(0, static_cast<int>(s->items.size()) - rows));
            InvalidateRect(list, nullptr, FALSE);
        }
        return 0;
    default:
        return DefWindowProcW(list, message, wParam, lParam);
    }
}

} // namespace

WNDPROC comboListWindowProc() { return listProc; }

void setHotItem(ComboState &s, int index) {
    s.hot = index;
    if (!s.list || index < 0)
        return;
    int rows = visibleRows(s.list, s);
    if (index < s.top)
        s.top = index;
    else if (index >= s.top + rows)
        s.top = index - rows + 1;
    InvalidateRect(s.list, nullptr, FALSE);
}

void openDropDown(HWND combo) {
    auto *s = controlState<ComboState>(combo);
    if (!s || s->dropped || s->items.empty())
        return;
    HWND top = topLevelWindow(combo);
    SIZE comboSize = clientSizeOf(combo);
    RECT comboRect = {};
    GetWindowRect(combo, &comboRect);
    int itemHeight = comboItemHeight(*s);
    int count = static_cast<int>(s->items.size());
    int wanted =
        std::min(count * itemHeight + 2, std::max(itemHeight + 2, s->droppedHeight - comboSize.cy));
    // Below the field when it fits in the window, else where there is more room.
    POINT below = {comboRect.left, comboRect.bottom};
    POINT above = {comboRect.left, comboRect.top};
    ScreenToClient(top, &below);
    ScreenToClient(top, &above);
    int roomBelow = clientSizeOf(top).cy - below.y;
    int roomAbove = above.y;
    bool placeAbove = wanted > roomBelow && roomAbove > roomBelow;
    int room = std::max(placeAbove ? roomAbove : roomBelow, itemHeight + 2);
    int rows = std::max(1, (std::min(wanted, room) - 2) / itemHeight);
    int height = rows * itemHeight + 2;
    int y = placeAbove ? above.y - height : below.y;
    s->dropped = true;
    s->hot = s->selected;
    s->top = 0;
    s->list =
        CreateWindowExW(0, comboListClass, L"", WS_CHILD | WS_VISIBLE | WS_BORDER, below.x, y,
                        comboRect.right - comboRect.left, height, top, nullptr, nullptr, combo);
    if (!s->list) {
        s->dropped = false;
        return;
    }
    setHotItem(*s, s->selected);
    SetCapture(s->list);
    InvalidateRect(combo, nullptr, FALSE);
    notifyParent(combo, CBN_DROPDOWN);
}

void closeDropDown(HWND combo) {
    auto *s = controlState<ComboState>(combo);
    if (!s || !s->dropped)
        return;
    HWND list = s->list;
    s->dropped = false;
    s->list = nullptr;
    s->hot = -1;
    if (GetCapture() == list)
        ReleaseCapture();
    DestroyWindow(list);
    InvalidateRect(combo, nullptr, FALSE);
    notifyParent(combo, CBN_CLOSEUP);
}

void chooseItem(HWND combo, int index) {
    auto *s = controlState<ComboState>(combo);
    if (!s)
        return;
    bool changed = index >= 0 && index < static_cast<int>(s->items.size()) && index != s->selected;
    if (changed) {
        s->selected = index;
        InvalidateRect(combo, nullptr, FALSE);
    }
    closeDropDown(combo);
    if (changed)
        notifyParent(combo, CBN_SELCHANGE);
}

} // namespace platform
