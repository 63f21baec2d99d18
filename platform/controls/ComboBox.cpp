// "COMBOBOX" with CBS_DROPDOWNLIST: a field showing the selected item and a button; a click drops
// down the list of items below it (above it when the window has no room below), within the
// height the control was created with. The list closes on a choice, on Escape, on Enter and on
// a click elsewhere. The arrow keys change the selection (or the highlighted item while the list
// is down). The list is a child of the top-level window, above every other child.

#include <algorithm>
#include <vector>

#include "platform/controls/ComboBox.h"
#include "platform/controls/Controls.h"

namespace platform {

constexpr int buttonWidth = 16;

namespace {

int closedHeightFor(HFONT font) { return fontHeight(font) + 8; }

void notify(HWND combo, WORD code) { notifyParent(combo, code); }

void paintCombo(HWND window, ComboState &s) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    SIZE size = clientSizeOf(window);
    bool enabled = IsWindowEnabled(window);
    bool focused = enabled && GetFocus() == window;
    RECT all = {0, 0, size.cx, size.cy};
    fillSolid(dc, all, GetSysColor(COLOR_BTNFACE));
    sunkenEdge(dc, all);
    RECT field = {2, 2, size.cx - 2 - buttonWidth, size.cy - 2};
    fillSolid(dc, field, enabled ? GetSysColor(COLOR_WINDOW) : GetSysColor(COLOR_BTNFACE));
    HFONT font = effectiveFont(s);
    if (s.selected >= 0 && s.selected < static_cast<int>(s.items.size())) {
        const std::wstring &text = s.items[static_cast<size_t>(s.selected)];
        int y = (size.cy - fontHeight(font)) / 2;
        COLORREF colour = GetSysColor(COLOR_WINDOWTEXT);
        if (focused && !s.dropped) {
            fillSolid(dc, RECT{field.left + 1, field.top + 1, field.right - 1, field.bottom - 1},
                      GetSysColor(COLOR_HIGHLIGHT));
            colour = GetSysColor(COLOR_HIGHLIGHTTEXT);
        }
        drawLabel(dc, font, field.left + 2, y, text, enabled, colour);
    }
    RECT button = {size.cx - 2 - buttonWidth, 2, size.cx - 2, size.cy - 2};
    fillSolid(dc, button, GetSysColor(COLOR_BTNFACE));
    if (s.dropped)
        FrameRect(dc, &button, GetSysColorBrush(COLOR_BTNSHADOW));
    else
        raisedEdge(dc, button);
    COLORREF glyph = enabled ? GetSysColor(COLOR_BTNTEXT) : GetSysColor(COLOR_GRAYTEXT);
    int cx = (button.left + button.right) / 2 + (s.dropped ? 1 : 0);
    int cy = (button.top + button.bottom) / 2 - 1 + (s.dropped ? 1 : 0);
    for (int i = 0; i < 4; ++i)
        fillSolid(dc, RECT{cx - 3 + i, cy + i, cx + 4 - i, cy + i + 1}, glyph);
    EndPaint(window, &ps);
}

void select(HWND window, ComboState &s, int index, bool notifyChange) {
    if (index < 0 || index >= static_cast<int>(s.items.size()) || index == s.selected)
        return;
    s.selected = index;
    InvalidateRect(window, nullptr, FALSE);
    if (notifyChange)
        notify(window, CBN_SELCHANGE);
}

void onKey(HWND window, ComboState &s, WPARAM key) {
    int count = static_cast<int>(s.items.size());
    if (s.dropped) {
        switch (key) {
        case VK_UP:
        case VK_DOWN:
            setHotItem(s, std::clamp((s.hot < 0 ? s.selected : s.hot) + (key == VK_UP ? -1 : 1), 0,
                                     count - 1));
            break;
        case VK_RETURN:
            chooseItem(window, s.hot);
            break;
        case VK_ESCAPE:
        case VK_F4:
            closeDropDown(window);
            break;
        default:
            break;
        }
        return;
    }
    switch (key) {
    case VK_UP:
    case VK_LEFT:
        select(window, s, s.selected < 0 ? 0 : s.selected - 1, true);
        break;
    case VK_DOWN:
    case VK_RIGHT:
        if (GetKeyState(VK_MENU) < 0)
            openDropDown(window);
        else
            select(window, s, s.selected < 0 ? 0 : s.selected + 1, true);
        break;
    case VK_HOME:
        select(window, s, 0, true);
        break;
    case VK_END:
        select(window, s, count - 1, true);
        break;
    case VK_F4:
        openDropDown(window);
        break;
    default:
        break;
    }
}

LRESULT itemMessage(HWND window, ComboState &s, UINT message, WPARAM wParam, LPARAM lParam) {
    int count = static_cast<int>(s.items.size());
    switch (message) {
    case CB_ADDSTRING: {
        auto *text = reinterpret_cast<const wchar_t *>(lParam);
        s.items.push_back(text ? text : L"");
        return count;
    }
    case CB_GETCOUNT:
        return count;
    case CB_GETCURSEL:
        return s.selected;
    case CB_SETCURSEL: {
        int index = static_cast<int>(wParam);
        bool valid = index >= 0 && index < count;
        s.selected = valid ? index : -1;
        InvalidateRect(window, nullptr, FALSE);
        return valid ? index : CB_ERR;
    }
    case CB_GETLBTEXTLEN:
    case CB_GETLBTEXT: {
        int index = static_cast<int>(wParam);
        if (index < 0 || index >= count)
            return CB_ERR;
        const std::wstring &text = s.items[static_cast<size_t>(index)];
        if (message == CB_GETLBTEXT && lParam) {
            auto *buffer = reinterpret_cast<wchar_t *>(lParam);
            std::copy(text.begin(), text.end(), buffer);
            buffer[text.size()] = L'\0';
        }
        return static_cast<LRESULT>(text.size());
    }
    case CB_RESETCONTENT:
        closeDropDown(window);
        s.items.clear();
        s.selected = -1;
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case CB_SHOWDROPDOWN:
        if (wParam)
            openDropDown(window);
        else
            closeDropDown(window);
        return TRUE;
    case CB_GETDROPPEDSTATE:
        return s.dropped ? TRUE : FALSE;
    default:
        return 0;
    }
}

void fitHeight(HWND window, ComboState &s) {
    RECT r = {};
    GetWindowRect(window, &r);
    POINT origin = {r.left, r.top};
    HWND parent = GetParent(window);
    if (parent)
        ScreenToClient(parent, &origin);
    MoveWindow(window, origin.x, origin.y, r.right - r.left, closedHeightFor(effectiveFont(s)),
               TRUE);
}

LRESULT CALLBACK comboProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto *state = new ComboState;
        auto *create = reinterpret_cast<const CREATESTRUCTW *>(lParam);
        state->droppedHeight = create ? create->cy : 0;
        attachControlState(window, state);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    auto *s = controlState<ComboState>(window);
    if (!s)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_CREATE:
        fitHeight(window, *s);
        return 0;
    case WM_SETFONT:
        s->font = reinterpret_cast<HFONT>(wParam);
        fitHeight(window, *s);
        if (LOWORD(lParam))
            InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(s->font);
    case WM_DESTROY:
        closeDropDown(window);
        return 0;
    case WM_NCDESTROY:
        releaseControlState(window);
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_PAINT:
        paintCombo(window, *s);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_ENABLE:
        if (!wParam)
            closeDropDown(window);
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_SETFOCUS:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_KILLFOCUS:
        closeDropDown(window);
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus(window);
        if (s->dropped)
            closeDropDown(window);
        else
            openDropDown(window);
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        onKey(window, *s, wParam);
        return 0;
    default:
        if (message >= CB_ADDSTRING && message <= CB_GETDROPPEDSTATE)
            return itemMessage(window, *s, message, wParam, lParam);
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

WNDPROC comboBoxWindowProc() { return comboProc; }

int comboItemHeight(const ComboState &s) { return fontHeight(effectiveFont(s)) + 2; }

} // namespace platform

BOOL GetComboBoxInfo(HWND combo, COMBOBOXINFO *info) {
    auto *s = platform::controlState<platform::ComboState>(combo);
    if (!s || !info || info->cbSize != sizeof(COMBOBOXINFO))
        return FALSE;
    SIZE size = platform::clientSizeOf(combo);
    info->rcItem = RECT{2, 2, size.cx - 2 - platform::buttonWidth, size.cy - 2};
    info->rcButton = RECT{size.cx - 2 - platform::buttonWidth, 2, size.cx - 2, size.cy - 2};
    info->stateButton = s->dropped ? 0x00000008u : 0; // pressed
    info->hwndCombo = combo;
    info->hwndItem = nullptr;
    info->hwndList = s->list;
    return TRUE;
}
