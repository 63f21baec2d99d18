// What the default window procedure does for the screen: erasing with the class background,
// the window scroll bar's non-client clicks, and passing an unhandled wheel to the parent.

#include "platform/gdi/GdiObjects.h"
#include "platform/sdl/ScreenWindow.h"

namespace platform {

bool screenDefaultMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                          LRESULT &result) {
    switch (message) {
    case WM_ERASEBKGND: {
        HBRUSH background = nullptr;
        {
            WindowsLock lock;
            WindowRecord *record = lookupWindow(window);
            if (!record)
                return false;
            background = record->cls.background;
        }
        COLORREF colour = 0;
        if (!brushColour(background, colour)) {
            result = 0;
            return true;
        }
        RECT client = {};
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, background);
        result = 1;
        return true;
    }
    case WM_MOUSEWHEEL: {
        HWND parent = GetParent(window);
        result = parent ? SendMessageW(parent, message, wParam, lParam) : 0;
        return true;
    }
    case WM_NCMOUSEMOVE:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
        defaultNonClientMessage(window, message, wParam, lParam);
        result = 0;
        return true;
    default:
        return false;
    }
}

} // namespace platform
