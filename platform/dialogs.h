// Dialogs and the shell: message boxes, dropped files and the folder browser.
#pragma once

#include "platform/win32_types.h"

// ---- Message boxes ----------------------------------------------------------------------------
#define MB_OK 0x00000000u
#define MB_OKCANCEL 0x00000001u
#define MB_ICONERROR 0x00000010u
#define MB_ICONWARNING 0x00000030u
#define MB_ICONINFORMATION 0x00000040u
#define MB_SYSTEMMODAL 0x00001000u
#define MB_TASKMODAL 0x00002000u
#define MB_TOPMOST 0x00040000u

#define IDOK 1
#define IDCANCEL 2

// Shows a modal window owned by owner with the caption, the text (CR LF breaks lines) and an OK
// button, and returns when the user presses OK, Enter, Escape or the close button (IDOK). While
// it is up, the owner takes no input and the calling thread's messages (timers, paints, sent
// messages) are handled as usual; a quit message ends it and is posted again for the caller's
// loop. Returns 0 when the box cannot be shown.
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

// ---- Dropped files ----------------------------------------------------------------------------
// With index 0xFFFFFFFF the number of files; with a null buffer the length of the path at index
// (without terminator); otherwise copies at most size - 1 characters and a terminator and
// returns the number of characters copied.
UINT DragQueryFileW(HDROP drop, UINT index, LPWSTR file, UINT size);
// Where the drop happened, in the client area of the window that received it.
BOOL DragQueryPoint(HDROP drop, LPPOINT point);
// Frees the drop handle.
void DragFinish(HDROP drop);

// ---- Folder browser ---------------------------------------------------------------------------
// Declared with the folder chooser, which builds on this layer: SHBrowseForFolderW,
// SHGetPathFromIDListW, CoInitialize, CoUninitialize, CoTaskMemFree and BROWSEINFOW.
