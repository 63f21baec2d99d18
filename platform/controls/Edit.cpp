// "EDIT", single line: a caret and a selection moved by the mouse, the arrows, Home and End
// (Shift extends), Backspace and Delete, Ctrl+A/C/X/V through the clipboard, a text limit, and
// without ES_AUTOHSCROLL no more text than fits the width.

#include <algorithm>

#include "platform/controls/ControlCommon.h"
#include "platform/controls/Controls.h"
#include "platform/gdi/Fonts.h"

namespace platform {
namespace {

constexpr int margin = 2;
constexpr size_t defaultLimit = 30000;
constexpr size_t largestLimit = 0x7FFFFFFE;

struct EditState : ControlState {
    std::wstring text;
    size_t caret = 0;
    size_t anchor = 0; // the other end of the selection
    int scroll = 0;    // pixels of text left of the visible area
    size_t limit = defaultLimit;
    bool tracking = false;
};

size_t selStart(const EditState &s) { return std::min(s.caret, s.anchor); }
size_t selEnd(const EditState &s) { return std::max(s.caret, s.anchor); }

int prefixWidth(const EditState &s, size_t count) {
    return textExtent(effectiveFont(s), s.text.substr(0, count)).cx;
}

int visibleWidth(HWND window) { return std::max<int>(0, clientSizeOf(window).cx - 2 * margin); }

bool autoScrolls(HWND window) { return (windowStyle(window) & ES_AUTOHSCROLL) != 0; }

// The record keeps the text too, so that GetWindowTextW from any thread sees it.
void storeText(HWND window, const std::wstring &text) {
    WindowsLock lock;
    if (WindowRecord *record = lookupWindow(window))
        record->text = text;
}

void keepCaretVisible(HWND window, EditState &s) {
    if (!autoScrolls(window)) {
        s.scroll = 0;
        return;
    }
    int x = prefixWidth(s, s.caret);
    int width = visibleWidth(window);
    if (x - s.scroll > width)
        s.scroll = x - width;
    else if (x < s.scroll)
        s.scroll = std::max(0, x - width / 3);
    int total = prefixWidth(s, s.text.size());
    if (total - s.scroll < width)
        s.scroll = std::max(0, total - width);
}

void changed(HWND window, EditState &s, bool notify) {
    storeText(window, s.text);
    keepCaretVisible(window, s);
    InvalidateRect(window, nullptr, TRUE);
    if (notify)
        notifyParent(window, EN_CHANGE);
}

void moveCaret(HWND window, EditState &s, size_t to, bool extend) {
    s.caret = std::min(to, s.text.size());
    if (!extend)
        s.anchor = s.caret;
    keepCaretVisible(window, s);
    InvalidateRect(window, nullptr, FALSE);
}

// Replaces the selection with as much of insert as the limit and, without automatic scrolling,
// the width allow. False when something was to be inserted and nothing fitted.
bool replaceSelection(HWND window, EditState &s, std::wstring insert) {
    size_t start = selStart(s), end = selEnd(s);
    size_t kept = s.text.size() - (end - start);
    if (kept + insert.size() > s.limit)
        insert.resize(s.limit > kept ? s.limit - kept : 0);
    bool hadInsert = !insert.empty();
    std::wstring next = s.text.substr(0, start) + insert + s.text.substr(end);
    if (!autoScrolls(window)) {
        int width = visibleWidth(window);
        HFONT font = effectiveFont(s);
        while (!insert.empty() && textExtent(font, next).cx > width) {
            insert.pop_back();
            next = s.text.substr(0, start) + insert + s.text.substr(end);
        }
    }
    if ((hadInsert && insert.empty()) || (!hadInsert && start == end))
        return false;
    s.text = std::move(next);
    s.caret = s.anchor = start + insert.size();
    changed(window, s, true);
    return true;
}

void copySelection(const EditState &s) {
    if (selEnd(s) == selStart(s))
        return;
    std::wstring part = s.text.substr(selStart(s), selEnd(s) - selStart(s));
    std::string utf8 = toUtf8(part.c_str(), static_cast<int>(part.size()));
    SDL_SetClipboardText(utf8.c_str());
}

void paste(HWND window, EditState &s) {
    char *clip = SDL_GetClipboardText();
    if (!clip)
        return;
    std::wstring text = fromUtf8(clip);
    SDL_free(clip);
    // One line: the text stops at the first line break.
    size_t lineEnd = text.find_first_of(L"\r\n");
    if (lineEnd != std::wstring::npos)
        text.erase(lineEnd);
    if (!text.empty())
        replaceSelection(window, s, text);
}

void deleteAround(HWND window, EditState &s, bool forward) {
    if (selStart(s) != selEnd(s)) {
        replaceSelection(window, s, L"");
        return;
    }
    if (forward ? s.caret >= s.text.size() : s.caret == 0)
        return;
    size_t at = forward ? s.caret : s.caret - 1;
    s.text.erase(at, 1);
    s.caret = s.anchor = at;
    changed(window, s, true);
}

bool readOnly(HWND window) { return (windowStyle(window) & ES_READONLY) != 0; }

void onKey(HWND window, EditState &s, WPARAM key) {
    bool shift = GetKeyState(VK_SHIFT) < 0;
    bool control = GetKeyState(VK_CONTROL) < 0;
    bool editable = !readOnly(window);
    switch (key) {
    case VK_LEFT:
        if (!shift && selStart(s) != selEnd(s))
            moveCaret(window, s, selStart(s), false);
        else
            moveCaret(window, s, s.caret > 0 ? s.caret - 1 : 0, shift);
        break;
    case VK_RIGHT:
        if (!shift && selStart(s) != selEnd(s))
            moveCaret(window, s, selEnd(s), false);
        else
            moveCaret(window, s, s.caret + 1, shift);
        break;
    case VK_HOME:
        moveCaret(window, s, 0, shift);
        break;
    case VK_END:
        moveCaret(window, s, s.text.size(), shift);
        break;
    case VK_BACK:
        if (editable)
            deleteAround(window, s, false);
        break;
    case VK_DELETE:
        if (editable)
            deleteAround(window, s, true);
        break;
    case 'A':
        if (control) {
            s.anchor = 0;
            moveCaret(window, s, s.text.size(), true);
        }
        break;
    case 'C':
        if (control)
            copySelection(s);
        break;
    case 'X':
        if (control && editable) {
            copySelection(s);
            if (selStart(s) != selEnd(s))
                replaceSelection(window, s, L"");
        }
        break;
    case 'V':
        if (control && editable)
            paste(window, s);
        break;
    default:
        break;
    }
}

// The character boundary nearest to client x.
size_t indexAt(const EditState &s, int x) {
    int target = x - margin + s.scroll;
    size_t best = 0;
    int bestDistance = std::abs(target);
    for (size_t i = 1; i <= s.text.size(); ++i) {
        int distance = std::abs(prefixWidth(s, i) - target);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

void paintEdit(HWND window, EditState &s) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    SIZE size = clientSizeOf(window);
    bool enabled = IsWindowEnabled(window);
    bool focused = GetFocus() == window && enabled;
    fillSolid(dc, RECT{0, 0, size.cx, size.cy},
              enabled && !readOnly(window) ? GetSysColor(COLOR_WINDOW)
                                           : GetSysColor(COLOR_BTNFACE));
    HFONT font = effectiveFont(s);
    int height = fontHeight(font);
    int y = std::max(0, (size.cy - height) / 2);
    // Text stays inside the margins.
    DeviceContext *context = toDc(dc);
    RECT &clip = context->clip;
    clip.left = std::max<LONG>(clip.left, context->origin.x + margin);
    clip.right = std::min<LONG>(clip.right, context->origin.x + size.cx - margin);
    if (clip.right < clip.left)
        clip.right = clip.left;
    int x0 = margin - s.scroll;
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, enabled ? GetSysColor(COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT));
    TextOutW(dc, x0, y, s.text.c_str(), static_cast<int>(s.text.size()));
    if (focused && selStart(s) != selEnd(s)) {
        int left = x0 + prefixWidth(s, selStart(s)), right = x0 + prefixWidth(s, selEnd(s));
        fillSolid(dc, RECT{left, y, right, y + height}, GetSysColor(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        TextOutW(dc, left, y, s.text.c_str() + selStart(s),
                 static_cast<int>(selEnd(s) - selStart(s)));
    }
    if (focused) {
        int cx = x0 + prefixWidth(s, s.caret);
        fillSolid(dc, RECT{cx, y, cx + 1, y + height}, GetSysColor(COLOR_WINDOWTEXT));
        setTextInputArea(window, RECT{cx, y, cx + 1, y + height});
    }
    SelectObject(dc, old);
    EndPaint(window, &ps);
}

LRESULT textMessage(HWND window, EditState &s, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETTEXT: {
        auto *text = reinterpret_cast<const wchar_t *>(lParam);
        s.text = text ? text : L"";
        s.caret = s.anchor = 0;
        s.scroll = 0;
        changed(window, s, true);
        return TRUE;
    }
    case WM_GETTEXT: {
        auto *buffer = reinterpret_cast<wchar_t *>(lParam);
        if (!buffer || wParam == 0)
            return 0;
        size_t count = std::min<size_t>(s.text.size(), wParam - 1);
        std::copy_n(s.text.begin(), count, buffer);
        buffer[count] = L'\0';
        return static_cast<LRESULT>(count);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(s.text.size());
    case EM_LIMITTEXT:
        s.limit = wParam == 0 ? largestLimit : static_cast<size_t>(wParam);
        return 0;
    case EM_GETLIMITTEXT:
        return static_cast<LRESULT>(s.limit);
    case EM_GETSEL:
        if (wParam)
            *reinterpret_cast<DWORD *>(wParam) = static_cast<DWORD>(selStart(s));
        if (lParam)
            *reinterpret_cast<DWORD *>(lParam) = static_cast<DWORD>(selEnd(s));
        return MAKELONG(selStart(s), selEnd(s));
    case EM_SETSEL: {
        auto start = static_cast<INT_PTR>(static_cast<int>(wParam));
        auto end = static_cast<INT_PTR>(static_cast<int>(lParam));
        size_t length = s.text.size();
        if (start < 0) {
            s.anchor = s.caret;
        } else {
            s.anchor = std::min<size_t>(static_cast<size_t>(start), length);
            s.caret = end < 0 ? length : std::min<size_t>(static_cast<size_t>(end), length);
        }
        keepCaretVisible(window, s);
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    }
    case EM_REPLACESEL: {
        auto *text = reinterpret_cast<const wchar_t *>(lParam);
        replaceSelection(window, s, text ? text : L"");
        return 0;
    }
    default:
        return 0;
    }
}

LRESULT CALLBACK editProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto *state = new EditState;
        auto *create = reinterpret_cast<const CREATESTRUCTW *>(lParam);
        if (create && create->lpszName)
            state->text = create->lpszName;
        attachControlState(window, state);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    auto *s = controlState<EditState>(window);
    if (!s)
        return DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = 0;
    if (handleFontMessage(window, *s, message, wParam, lParam, result))
        return result;
    switch (message) {
    case WM_NCDESTROY:
        releaseControlState(window);
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_SETTEXT:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case EM_LIMITTEXT:
    case EM_GETLIMITTEXT:
    case EM_GETSEL:
    case EM_SETSEL:
    case EM_REPLACESEL:
        return textMessage(window, *s, message, wParam, lParam);
    case WM_PAINT:
        paintEdit(window, *s);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_ENABLE:
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(window, nullptr, FALSE);
        notifyParent(window, message == WM_SETFOCUS ? EN_SETFOCUS : EN_KILLFOCUS);
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus(window);
        SetCapture(window);
        s->tracking = true;
        moveCaret(window, *s, indexAt(*s, GET_X_LPARAM(lParam)), (wParam & MK_SHIFT) != 0);
        return 0;
    case WM_MOUSEMOVE:
        if (s->tracking)
            moveCaret(window, *s, indexAt(*s, GET_X_LPARAM(lParam)), true);
        return 0;
    case WM_LBUTTONUP:
        if (s->tracking) {
            s->tracking = false;
            ReleaseCapture();
        }
        return 0;
    case WM_KEYDOWN:
        onKey(window, *s, wParam);
        return 0;
    case WM_CHAR: {
        auto c = static_cast<wchar_t>(wParam);
        if (c >= 0x20 && c != 0x7F && !readOnly(window))
            replaceSelection(window, *s, std::wstring(1, c));
        return 0;
    }
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

WNDPROC editWindowProc() { return editProc; }

} // namespace platform
