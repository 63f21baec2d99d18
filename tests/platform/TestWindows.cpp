// Windows for screen tests; see TestWindows.h.

#include "tests/platform/TestWindows.h"

#include <map>

namespace {

// UI-thread state of the test windows.
std::vector<Recorded> recorded;
std::vector<std::vector<std::wstring>> dropped;
std::map<HWND, std::function<void(HWND, HDC, const PAINTSTRUCT &)>> painters;
std::function<bool(HWND, UINT, WPARAM, LPARAM)> hook;

bool recordable(UINT message) {
    switch (message) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_MOUSEWHEEL:
    case WM_DROPFILES:
    case WM_CLOSE:
    case WM_LBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_TIMER:
    case WM_PAINT:
        return true;
    default:
        return false;
    }
}

LRESULT CALLBACK testProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (recordable(message))
        recorded.push_back(Recorded{window, message, wParam, lParam});
    if (hook && hook(window, message, wParam, lParam))
        return 0;
    switch (message) {
    case WM_PAINT: {
        auto found = painters.find(window);
        if (found == painters.end())
            break;
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        found->second(window, dc, ps);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_DROPFILES: {
        auto drop = reinterpret_cast<HDROP>(wParam);
        std::vector<std::wstring> paths;
        UINT count = DragQueryFileW(drop, 0xFFFFFFFFu, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            UINT length = DragQueryFileW(drop, i, nullptr, 0);
            std::wstring path(length + 1, L'\0');
            UINT copied = DragQueryFileW(drop, i, path.data(), length + 1);
            path.resize(copied);
            paths.push_back(path);
        }
        dropped.push_back(paths);
        DragFinish(drop);
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

const wchar_t *testClass = L"TindleTestWindow";

} // namespace

TestWindows::TestWindows(ScreenHarness &harness) : ui(harness) {
    ui.runOnUi([] {
        recorded.clear();
        dropped.clear();
        painters.clear();
        hook = nullptr;
        WNDCLASSW cls = {};
        cls.lpfnWndProc = testProc;
        cls.lpszClassName = testClass;
        cls.hbrBackground =
            reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNFACE + 1));
        RegisterClassW(&cls);
    });
}

TestWindows::~TestWindows() {
    ui.runOnUi([] {
        recorded.clear();
        dropped.clear();
        painters.clear();
        hook = nullptr;
    });
}

HWND TestWindows::createTop(const wchar_t *title, int width, int height, DWORD style,
                            DWORD exStyle) {
    return ui.call([&] {
        HWND window =
            CreateWindowExW(exStyle, testClass, title, style, CW_USEDEFAULT, CW_USEDEFAULT, width,
                            height, nullptr, nullptr, nullptr, nullptr);
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
        return window;
    });
}

HWND TestWindows::createChild(HWND parent, const wchar_t *cls, const wchar_t *text, DWORD style,
                              int x, int y, int width, int height, int id, DWORD exStyle) {
    return ui.call([&] {
        return CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, width,
                               height, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                               nullptr, nullptr);
    });
}

void TestWindows::onPaint(HWND window, std::function<void(HWND, HDC, const PAINTSTRUCT &)> paint) {
    ui.runOnUi([&] { painters[window] = paint; });
}

void TestWindows::onMessage(std::function<bool(HWND, UINT, WPARAM, LPARAM)> handler) {
    ui.runOnUi([&] { hook = handler; });
}

std::vector<Recorded> TestWindows::taken(UINT message) {
    return ui.call([&] {
        std::vector<Recorded> found;
        for (const Recorded &r : recorded)
            if (r.message == message)
                found.push_back(r);
        return found;
    });
}

void TestWindows::clear() {
    ui.runOnUi([] {
        recorded.clear();
        dropped.clear();
    });
}

std::vector<std::vector<std::wstring>> TestWindows::drops() {
    return ui.call([] { return dropped; });
}
