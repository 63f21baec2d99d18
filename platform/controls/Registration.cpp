// Registration of the standard controls as window classes of the window core.

#include "platform/controls/Controls.h"

#include "platform/gdi.h"

namespace platform {

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
