// Internal to the layer: the window procedures of the standard controls and their registration.
#pragma once

#include <string>
#include <vector>

#include "platform/gdi.h"
#include "platform/messages.h"

namespace platform {

WNDPROC buttonWindowProc();
WNDPROC editWindowProc();
WNDPROC staticWindowProc();
WNDPROC scrollBarWindowProc();
WNDPROC comboBoxWindowProc();
WNDPROC comboListWindowProc();

// The lines a static control of the given width shows for the text.
std::vector<std::wstring> wrapLines(HFONT font, const std::wstring &text, int width);

// Registers "BUTTON", "EDIT", "static", "scrollbar", "COMBOBOX" and the drop-down list's class.
// Safe to call more than once.
bool registerStandardControls();

// The class of a combo box's drop-down list.
inline constexpr const wchar_t *comboListClass = L"ComboLBox";
// The class of message boxes.
inline constexpr const wchar_t *messageBoxClass = L"#32770";
WNDPROC messageBoxWindowProc();

} // namespace platform
