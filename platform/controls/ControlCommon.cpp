// What the standard controls share: their registration as window classes, state behind the
// handle, fonts, notifications and the classic drawing.

#include "platform/controls/ControlCommon.h"

#include "platform/controls/Controls.h"
#include "platform/gdi/Fonts.h"

namespace platform {

void attachControlState(HWND window, ControlState *state) {
    WindowsLock lock;
    WindowRecord *record = lookupWindow(window);
    if (!record) {
        delete state;
        return;
    }
    ScreenWindow &data = screenData(*record);
    delete static_cast<ControlState *>(data.control);
    data.control = state;
}

void releaseControlState(HWND window) {
    WindowsLock lock;
    WindowRecord *record = lookupWindow(window);
    if (!record || !record->screen)
        return;
    ScreenWindow &data = screenData(*record);
    delete static_cast<ControlState *>(data.control);
    data.control = nullptr;
}

bool handleFontMessage(HWND window, ControlState &state, UINT message, WPARAM wParam, LPARAM lParam,
                       LRESULT &result) {
    if (message == WM_SETFONT) {
        state.font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam))
            InvalidateRect(window, nullptr, TRUE);
        result = 0;
        return true;
    }
    if (message == WM_GETFONT) {
        result = reinterpret_cast<LRESULT>(state.font);
        return true;
    }
    return false;
}

DWORD windowStyle(HWND window) { return static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)); }

HWND parentOf(HWND window) { return GetParent(window); }

std::wstring windowText(HWND window) {
    WindowsLock lock;
    WindowRecord *record = lookupWindow(window);
    return record ? record->text : std::wstring();
}

SIZE clientSizeOf(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    return SIZE{client.right - client.left, client.bottom - client.top};
}

void notifyParent(HWND window, WORD code) {
    HWND parent = parentOf(window);
    if (!parent)
        return;
    WORD id = static_cast<WORD>(GetDlgCtrlID(window));
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(window));
}

HFONT effectiveFont(const ControlState &state) {
    if (state.font)
        return state.font;
    return reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

SIZE textExtent(HFONT font, const std::wstring &text) {
    return measureText(reinterpret_cast<GdiFont *>(font), text.c_str(),
                       static_cast<int>(text.size()));
}

int fontHeight(HFONT font) { return textExtent(font, L"").cy; }

void fillSolid(HDC dc, RECT area, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
}

namespace {

// Top and left lines in one colour, bottom and right lines in another, just inside area.
void bevel(HDC dc, RECT a, COLORREF topLeft, COLORREF bottomRight) {
    fillSolid(dc, RECT{a.left, a.top, a.right - 1, a.top + 1}, topLeft);
    fillSolid(dc, RECT{a.left, a.top, a.left + 1, a.bottom - 1}, topLeft);
    fillSolid(dc, RECT{a.left, a.bottom - 1, a.right, a.bottom}, bottomRight);
    fillSolid(dc, RECT{a.right - 1, a.top, a.right, a.bottom}, bottomRight);
}

RECT shrink(RECT a, int by) { return RECT{a.left + by, a.top + by, a.right - by, a.bottom - by}; }

} // namespace

void raisedEdge(HDC dc, RECT area) {
    bevel(dc, area, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_3DDKSHADOW));
    bevel(dc, shrink(area, 1), GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_BTNSHADOW));
}

void sunkenEdge(HDC dc, RECT area) {
    bevel(dc, area, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    bevel(dc, shrink(area, 1), GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT));
}

void pressedEdge(HDC dc, RECT area) {
    FrameRect(dc, &area, reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    RECT inner = shrink(area, 1);
    FrameRect(dc, &inner, GetSysColorBrush(COLOR_BTNSHADOW));
}

void etchedFrame(HDC dc, RECT area) {
    RECT dark = {area.left, area.top, area.right - 1, area.bottom - 1};
    RECT light = {area.left + 1, area.top + 1, area.right, area.bottom};
    FrameRect(dc, &light, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    FrameRect(dc, &dark, GetSysColorBrush(COLOR_BTNSHADOW));
}

void dottedFrame(HDC dc, RECT a) {
    COLORREF black = 0;
    for (int x = a.left; x < a.right; x += 2) {
        SetPixel(dc, x, a.top, black);
        SetPixel(dc, x, a.bottom - 1, black);
    }
    for (int y = a.top; y < a.bottom; y += 2) {
        SetPixel(dc, a.left, y, black);
        SetPixel(dc, a.right - 1, y, black);
    }
}

void drawLabel(HDC dc, HFONT font, int x, int y, const std::wstring &text, bool enabled,
               COLORREF colour) {
    if (text.empty())
        return;
    HGDIOBJ old = SelectObject(dc, font);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    int count = static_cast<int>(text.size());
    if (enabled) {
        SetTextColor(dc, colour);
        TextOutW(dc, x, y, text.c_str(), count);
    } else {
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        TextOutW(dc, x + 1, y + 1, text.c_str(), count);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        TextOutW(dc, x, y, text.c_str(), count);
    }
    SetBkMode(dc, oldMode);
    SelectObject(dc, old);
}

bool registerStandardControls() {
    struct Entry {
        const wchar_t *name;
        WNDPROC proc;
    };
    const Entry entries[] = {
        {L"BUTTON", buttonWindowProc()},           {L"EDIT", editWindowProc()},
        {L"static", staticWindowProc()},           {L"scrollbar", scrollBarWindowProc()},
        {L"COMBOBOX", comboBoxWindowProc()},       {comboListClass, comboListWindowProc()},
        {messageBoxClass, messageBoxWindowProc()},
    };
    for (const Entry &entry : entries) {
        WNDCLASSW cls = {};
        cls.lpfnWndProc = entry.proc;
        cls.lpszClassName = entry.name;
        cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        cls.hbrBackground =
            reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1));
        // A second registration (an earlier start of the screen) fails harmlessly.
        RegisterClassW(&cls);
    }
    return true;
}

} // namespace platform
