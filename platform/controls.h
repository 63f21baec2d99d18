// The standard controls: "BUTTON", "EDIT", "static", "scrollbar" and "COMBOBOX" window classes
// (names compared case-insensitively), created with CreateWindowExW as children, and the scroll
// bars of windows with WS_VSCROLL.
#pragma once

#include "platform/win32_types.h"

// ---- Buttons ----------------------------------------------------------------------------------
#define BS_PUSHBUTTON 0x00000000u
#define BS_DEFPUSHBUTTON 0x00000001u
#define BS_CHECKBOX 0x00000002u
#define BS_AUTOCHECKBOX 0x00000003u
#define BS_RADIOBUTTON 0x00000004u
#define BS_GROUPBOX 0x00000007u
#define BS_AUTORADIOBUTTON 0x00000009u
#define BS_TYPEMASK 0x0000000Fu

#define BM_GETCHECK 0x00F0
#define BM_SETCHECK 0x00F1
#define BM_GETSTATE 0x00F2
#define BM_SETSTATE 0x00F3
#define BM_CLICK 0x00F5
#define BST_UNCHECKED 0x0000
#define BST_CHECKED 0x0001
#define BST_PUSHED 0x0004
#define BST_FOCUS 0x0008

#define BN_CLICKED 0

// ---- Edit (single line) -----------------------------------------------------------------------
#define ES_LEFT 0x0000u
#define ES_AUTOHSCROLL 0x0080u
#define ES_READONLY 0x0800u

#define EM_GETSEL 0x00B0
#define EM_SETSEL 0x00B1
#define EM_REPLACESEL 0x00C2
#define EM_LIMITTEXT 0x00C5
#define EM_SETLIMITTEXT EM_LIMITTEXT
#define EM_GETLIMITTEXT 0x00D5

#define EN_SETFOCUS 0x0100
#define EN_KILLFOCUS 0x0200
#define EN_CHANGE 0x0300

// ---- Static -----------------------------------------------------------------------------------
#define SS_LEFT 0x00000000u
#define SS_CENTER 0x00000001u
#define SS_RIGHT 0x00000002u

// ---- Scroll bars ------------------------------------------------------------------------------
#define SBS_HORZ 0x0000u
#define SBS_VERT 0x0001u

#define SB_HORZ 0
#define SB_VERT 1
#define SB_CTL 2

#define SB_LINEUP 0
#define SB_LINELEFT 0
#define SB_LINEDOWN 1
#define SB_LINERIGHT 1
#define SB_PAGEUP 2
#define SB_PAGELEFT 2
#define SB_PAGEDOWN 3
#define SB_PAGERIGHT 3
#define SB_THUMBPOSITION 4
#define SB_THUMBTRACK 5
#define SB_TOP 6
#define SB_LEFT 6
#define SB_BOTTOM 7
#define SB_RIGHT 7
#define SB_ENDSCROLL 8

#define ESB_ENABLE_BOTH 0x0000u
#define ESB_DISABLE_LTUP 0x0001u
#define ESB_DISABLE_RTDN 0x0002u
#define ESB_DISABLE_BOTH 0x0003u

#define SBM_SETPOS 0x00E0
#define SBM_GETPOS 0x00E1
#define SBM_SETRANGE 0x00E2
#define SBM_GETRANGE 0x00E3
#define SBM_ENABLE_ARROWS 0x00E4

// bar is SB_CTL for a scroll bar control, SB_VERT for the scroll bar of a window with
// WS_VSCROLL. The position is kept inside the range. A scroll bar reports the user's actions
// with WM_HSCROLL or WM_VSCROLL: the request in the low word of the first parameter, the thumb
// position in its high word (SB_THUMBTRACK, SB_THUMBPOSITION), and the control's handle (or
// null for a window's own scroll bar) as the second parameter. A right click on an arrow asks
// for the start (SB_TOP) or the end (SB_BOTTOM); a focused scroll bar control also answers the
// arrow keys, Page Up, Page Down, Home and End.
int SetScrollPos(HWND window, int bar, int pos, BOOL redraw);
int GetScrollPos(HWND window, int bar);
BOOL SetScrollRange(HWND window, int bar, int min, int max, BOOL redraw);
BOOL GetScrollRange(HWND window, int bar, int *min, int *max);
BOOL EnableScrollBar(HWND window, UINT bar, UINT arrows);

// ---- Combo box (drop-down list) ---------------------------------------------------------------
#define CBS_DROPDOWN 0x0002u
#define CBS_DROPDOWNLIST 0x0003u

#define CB_ERR (-1)
#define CB_ADDSTRING 0x0143
#define CB_GETCOUNT 0x0146
#define CB_GETCURSEL 0x0147
#define CB_GETLBTEXT 0x0148
#define CB_GETLBTEXTLEN 0x0149
#define CB_RESETCONTENT 0x014B
#define CB_SETCURSEL 0x014E
#define CB_SHOWDROPDOWN 0x014F
#define CB_GETDROPPEDSTATE 0x0157

#define CBN_SELCHANGE 1
#define CBN_DROPDOWN 7
#define CBN_CLOSEUP 8

struct COMBOBOXINFO {
    DWORD cbSize;
    RECT rcItem;
    RECT rcButton;
    DWORD stateButton;
    HWND hwndCombo;
    HWND hwndItem;
    HWND hwndList;
};
// The parts of a combo box; hwndList is the drop-down list while it is down, null otherwise.
BOOL GetComboBoxInfo(HWND combo, COMBOBOXINFO *info);

// ---- Control colours --------------------------------------------------------------------------
#define WM_CTLCOLOREDIT 0x0133
#define WM_CTLCOLORBTN 0x0135
#define WM_CTLCOLORSCROLLBAR 0x0137
