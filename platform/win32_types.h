// Basic types and constants of the desktop interface the program is written against.
// Every declaration here is our own, written from the documented behaviour of the calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cwchar>

#define WINAPI
#define CALLBACK
#define APIENTRY
#define __stdcall

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using UINT = unsigned int;
using INT = int;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using CHAR = char;
using WCHAR = wchar_t;
using LPSTR = char *;
using LPCSTR = const char *;
using LPWSTR = wchar_t *;
using LPCWSTR = const wchar_t *;
using LPVOID = void *;
using LPCVOID = const void *;
using LPDWORD = DWORD *;
using LPBOOL = BOOL *;
using UINT_PTR = std::uintptr_t;
using INT_PTR = std::intptr_t;
using LONG_PTR = std::intptr_t;
using ULONG_PTR = std::uintptr_t;
using DWORD_PTR = std::uintptr_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;
using ATOM = WORD;
using COLORREF = DWORD;

using HANDLE = void *;
using PHANDLE = HANDLE *;

// Opaque handle kinds. Each is a pointer to a distinct incomplete type so that the compiler keeps
// them apart as the real interface does.
#define TINDLE_DECLARE_HANDLE(name)                                                                \
    struct name##__;                                                                               \
    using name = name##__ *
TINDLE_DECLARE_HANDLE(HWND);
TINDLE_DECLARE_HANDLE(HINSTANCE);
TINDLE_DECLARE_HANDLE(HMENU);
TINDLE_DECLARE_HANDLE(HICON);
TINDLE_DECLARE_HANDLE(HDC);
TINDLE_DECLARE_HANDLE(HGDIOBJ_);
TINDLE_DECLARE_HANDLE(HFONT);
TINDLE_DECLARE_HANDLE(HBRUSH);
TINDLE_DECLARE_HANDLE(HPEN);
TINDLE_DECLARE_HANDLE(HDROP);
TINDLE_DECLARE_HANDLE(HWAVEIN);
#undef TINDLE_DECLARE_HANDLE
using HMODULE = HINSTANCE;
using HCURSOR = HICON;
using HGDIOBJ = void *;

#define TRUE 1
#define FALSE 0

#define MAKEWORD(a, b)                                                                             \
    ((WORD)(((BYTE)((DWORD_PTR)(a)&0xff)) | ((WORD)((BYTE)((DWORD_PTR)(b)&0xff))) << 8))
#define MAKELONG(a, b)                                                                             \
    ((LONG)(((WORD)((DWORD_PTR)(a)&0xffff)) | ((DWORD)((WORD)((DWORD_PTR)(b)&0xffff))) << 16))
#define LOWORD(l) ((WORD)((DWORD_PTR)(l)&0xffff))
#define HIWORD(l) ((WORD)((((DWORD_PTR)(l)) >> 16) & 0xffff))
#define LOBYTE(w) ((BYTE)((DWORD_PTR)(w)&0xff))
#define HIBYTE(w) ((BYTE)((((DWORD_PTR)(w)) >> 8) & 0xff))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)MAKELONG(l, h))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)MAKELONG(l, h))
#define GET_X_LPARAM(lp) ((int)(short)LOWORD(lp))
#define GET_Y_LPARAM(lp) ((int)(short)HIWORD(lp))
#define MAKEINTRESOURCEW(i) ((LPWSTR)((ULONG_PTR)((WORD)(i))))

struct POINT {
    LONG x;
    LONG y;
};
using LPPOINT = POINT *;

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
using LPRECT = RECT *;

struct SIZE {
    LONG cx;
    LONG cy;
};

struct SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
};
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES *;

// The path separator of this platform. Everything that builds a path uses it, never a literal.
inline constexpr wchar_t PATH_SEPARATOR = L'/';
