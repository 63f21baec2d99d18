// Message boxes: a captioned popup owned by the given window, with the text and an OK button,
// run in a modal loop of its own. The owner is disabled meanwhile, so it takes no input, while
// the thread's other messages (timers, paints, sent messages) are dispatched as usual.

#include <algorithm>

#include "platform/controls/ControlCommon.h"
#include "platform/controls/Controls.h"
#include "platform/dialogs.h"
#include "platform/kernel.h"

namespace platform {
namespace {

constexpr int margin = 12;
constexpr int buttonWidth = 75;
constexpr int buttonHeight = 23;
constexpr int widest = 420;

struct BoxState {
    bool done = false;
};

BoxState *boxState(HWND box) {
    return reinterpret_cast<BoxState *>(GetWindowLongPtrW(box, GWLP_USERDATA));
}

void finish(HWND box) {
    if (BoxState *state = boxState(box))
        state->done = true;
}

LRESULT CALLBACK boxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            finish(box);
        return 0;
    case WM_CLOSE:
        finish(box);
        return 0;
    default:
        return DefWindowProcW(box, message, wParam, lParam);
    }
}

bool belongsTo(HWND window, HWND box) {
    WindowsLock lock;
    WindowRecord *record = lookupWindow(window);
    return record && toHandle(topLevelOf(record)) == box;
}

} // namespace

WNDPROC messageBoxWindowProc() { return boxProc; }

} // namespace platform

using namespace platform;

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    if (screenThread() == 0 || screenThread() != GetCurrentThreadId())
        return 0;
    registerStandardControls();
    std::wstring body = text ? text : L"";
    HFONT font = reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    int textWidth = 0;
    for (const std::wstring &line : wrapLines(font, body, 0))
        textWidth = std::max<int>(textWidth, textExtent(font, line).cx);
    textWidth = std::min(textWidth, widest);
    int lines = static_cast<int>(wrapLines(font, body, textWidth).size());
    int textHeight = lines * fontHeight(font);
    int clientWidth = std::max(textWidth + 2 * margin, buttonWidth + 2 * margin + 60);
    int clientHeight = margin + textHeight + margin + buttonHeight + margin;

    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    DWORD exStyle = WS_EX_DLGMODALFRAME | ((type & MB_TOPMOST) ? WS_EX_TOPMOST : 0u);
    Insets in = frameInsets(style, exStyle, false);
    int width = clientWidth + in.left + in.right;
    int height = clientHeight + in.top + in.bottom;
    // The screen centres the box over its owner.
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
    HWND box = CreateWindowExW(exStyle, messageBoxClass, caption ? caption : L"", style, x, y,
                               width, height, owner, nullptr, nullptr, nullptr);
    if (!box)
        return 0;
    BoxState state;
    SetWindowLongPtrW(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
    HWND label =
        CreateWindowExW(0, L"static", body.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT, margin, margin,
                        textWidth, textHeight, box, nullptr, nullptr, nullptr);
    HWND ok = CreateWindowExW(
        0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
        (clientWidth - buttonWidth) / 2, clientHeight - margin - buttonHeight, buttonWidth,
        buttonHeight, box, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDOK)), nullptr, nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(ok, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

    HWND previousFocus = GetFocus();
    bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled)
        EnableWindow(owner, FALSE);
    ShowWindow(box, SW_SHOW);
    SetFocus(ok);

    bool quit = false;
    WPARAM quitCode = 0;
    MSG msg;
    while (!state.done) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            quit = true;
            quitCode = msg.wParam;
            break;
        }
        if ((msg.message == WM_KEYDOWN) && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE) &&
            belongsTo(msg.hwnd, box)) {
            state.done = true;
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }

    if (ownerWasEnabled)
        EnableWindow(owner, TRUE);
    DestroyWindow(box);
    if (previousFocus && IsWindow(previousFocus))
        SetFocus(previousFocus);
    if (quit)
        PostQuitMessage(static_cast<int>(quitCode));
    return IDOK;
}
