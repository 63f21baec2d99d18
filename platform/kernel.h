// Kernel half of the layer: last error, files and folders, threads, the critical section, code
// pages and the runtime library's wide-path streams. Implemented over POSIX and the C++ library.
#pragma once

#include <cstdio>
#include <string>

#include "platform/win32_types.h"

// ---- Last error -------------------------------------------------------------------------------
#define ERROR_SUCCESS 0L
#define NO_ERROR 0L
#define ERROR_INVALID_FUNCTION 1L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_TOO_MANY_OPEN_FILES 4L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_OUTOFMEMORY 14L
#define ERROR_NOT_SAME_DEVICE 17L
#define ERROR_NO_MORE_FILES 18L
#define ERROR_WRITE_PROTECT 19L
#define ERROR_SHARING_VIOLATION 32L
#define ERROR_HANDLE_DISK_FULL 39L
#define ERROR_NOT_SUPPORTED 50L
#define ERROR_FILE_EXISTS 80L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_DISK_FULL 112L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_INVALID_NAME 123L
#define ERROR_DIR_NOT_EMPTY 145L
#define ERROR_BUSY 170L
#define ERROR_ALREADY_EXISTS 183L
#define ERROR_FILENAME_EXCED_RANGE 206L
#define ERROR_INVALID_FLAGS 1004L
#define ERROR_NO_UNICODE_TRANSLATION 1113L
#define ERROR_INVALID_WINDOW_HANDLE 1400L
#define ERROR_INVALID_THREAD_ID 1444L
#define ERROR_TIMEOUT 1460L
#define ERROR_CANT_RESOLVE_FILENAME 1921L
#define ERROR_DIRECTORY 267L
#define ERROR_GEN_FAILURE 31L

DWORD GetLastError();
void SetLastError(DWORD code);
// Maps an errno value to the platform's error code (used by every call that fails in POSIX).
DWORD ErrorFromErrno(int err);

// ---- Handles ----------------------------------------------------------------------------------
#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)
BOOL CloseHandle(HANDLE handle);

// ---- Files and folders ------------------------------------------------------------------------
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define FILE_SHARE_DELETE 0x00000004u
#define CREATE_NEW 1u
#define CREATE_ALWAYS 2u
#define OPEN_EXISTING 3u
#define OPEN_ALWAYS 4u
#define TRUNCATE_EXISTING 5u
#define FILE_ATTRIBUTE_READONLY 0x00000001u
#define FILE_ATTRIBUTE_HIDDEN 0x00000002u
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
#define MAX_PATH 260
#define MOVEFILE_REPLACE_EXISTING 0x00000001u
#define MOVEFILE_WRITE_THROUGH 0x00000008u

struct OVERLAPPED;
using LPOVERLAPPED = OVERLAPPED *;

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

struct WIN32_FIND_DATAW {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    WCHAR cFileName[MAX_PATH];
    WCHAR cAlternateFileName[14];
};
using LPWIN32_FIND_DATAW = WIN32_FIND_DATAW *;

HANDLE CreateFileW(LPCWSTR fileName, DWORD desiredAccess, DWORD shareMode,
                   LPSECURITY_ATTRIBUTES security, DWORD creationDisposition,
                   DWORD flagsAndAttributes, HANDLE templateFile);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
               LPOVERLAPPED overlapped);
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead,
              LPOVERLAPPED overlapped);
BOOL CreateDirectoryW(LPCWSTR pathName, LPSECURITY_ATTRIBUTES security);
BOOL RemoveDirectoryW(LPCWSTR pathName);
BOOL DeleteFileW(LPCWSTR fileName);
// Renames within one file system; with MOVEFILE_REPLACE_EXISTING an existing target is replaced
// atomically, so a reader sees either the old file or the new one.
BOOL MoveFileExW(LPCWSTR existingFileName, LPCWSTR newFileName, DWORD flags);
DWORD GetFileAttributesW(LPCWSTR fileName);
HANDLE FindFirstFileW(LPCWSTR fileName, LPWIN32_FIND_DATAW findData);
BOOL FindNextFileW(HANDLE findFile, LPWIN32_FIND_DATAW findData);
BOOL FindClose(HANDLE findFile);
DWORD GetCurrentDirectoryW(DWORD bufferLength, LPWSTR buffer);
BOOL SetCurrentDirectoryW(LPCWSTR pathName);

// ---- Runtime library: wide-path streams and standard output mode ------------------------------
#define _SH_DENYRW 0x10
#define _SH_DENYWR 0x20
#define _SH_DENYRD 0x30
#define _SH_DENYNO 0x40
#define _O_TEXT 0x4000
#define _O_BINARY 0x8000
FILE *_wfopen(const wchar_t *fileName, const wchar_t *mode);
FILE *_wfsopen(const wchar_t *fileName, const wchar_t *mode, int shareFlag);
// Streams here never translate line ends; the call reports the previous mode as the runtime does.
int _setmode(int fd, int mode);
#define _fileno fileno

// ---- Threads ----------------------------------------------------------------------------------
#define INFINITE 0xFFFFFFFFu
#define WAIT_OBJECT_0 0x00000000u
#define WAIT_ABANDONED 0x00000080u
#define WAIT_TIMEOUT 0x00000102u
#define WAIT_FAILED 0xFFFFFFFFu
#define STILL_ACTIVE 259u
#define CREATE_SUSPENDED 0x00000004u

using LPTHREAD_START_ROUTINE = DWORD(WINAPI *)(LPVOID parameter);
HANDLE CreateThread(LPSECURITY_ATTRIBUTES security, size_t stackSize,
                    LPTHREAD_START_ROUTINE startAddress, LPVOID parameter, DWORD creationFlags,
                    LPDWORD threadId);
// The runtime library's thread start; the result is the thread handle as an integer, 0 on failure.
uintptr_t _beginthreadex(void *security, unsigned stackSize,
                         unsigned(__stdcall *startAddress)(void *), void *argList,
                         unsigned initFlag, unsigned *threadAddr);
// Starts a thread created with CREATE_SUSPENDED; returns the previous suspend count, or
// (DWORD)-1 on failure.
DWORD ResumeThread(HANDLE thread);
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode);
DWORD GetCurrentThreadId();
void Sleep(DWORD milliseconds);
DWORD GetTickCount();

// ---- Critical section -------------------------------------------------------------------------
// Recursive mutual exclusion within the process, as the platform's critical section is.
struct CRITICAL_SECTION {
    alignas(16) unsigned char storage[64];
};
using LPCRITICAL_SECTION = CRITICAL_SECTION *;
void InitializeCriticalSection(LPCRITICAL_SECTION section);
void EnterCriticalSection(LPCRITICAL_SECTION section);
void LeaveCriticalSection(LPCRITICAL_SECTION section);
void DeleteCriticalSection(LPCRITICAL_SECTION section);

// ---- Code pages -------------------------------------------------------------------------------
#define CP_ACP 0u
#define CP_OEMCP 1u
#define CP_UTF8 65001u
#define CP_SHIFT_JIS 932u
#define MB_PRECOMPOSED 0x00000001u
#define MB_ERR_INVALID_CHARS 0x00000008u
#define WC_COMPOSITECHECK 0x00000200u
#define WC_DEFAULTCHAR 0x00000040u
#define WC_NO_BEST_FIT_CHARS 0x00000400u
#define WC_ERR_INVALID_CHARS 0x00000080u

// Both return the number of characters (bytes) written, or with a zero output size the number
// needed; a length of -1 means the input is NUL-terminated and the terminator is converted too.
// A short output buffer gives 0 with ERROR_INSUFFICIENT_BUFFER.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByteStr, int multiByteLength,
                        LPWSTR wideCharStr, int wideCharLength);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wideCharStr, int wideCharLength,
                        LPSTR multiByteStr, int multiByteLength, LPCSTR defaultChar,
                        LPBOOL usedDefaultChar);

// ---- Formatting -------------------------------------------------------------------------------
// The window manager's formatter: %s takes a wide string, %c a wide character, %d %u %x %ld %lu
// with flags and widths as in printf; the output is at most 1024 characters with its terminator.
int wsprintfW(LPWSTR buffer, LPCWSTR format, ...);

// ---- Helpers of the layer (not part of the desktop interface) ---------------------------------
namespace platform {
// Converts a wide path to the file system's UTF-8 bytes and back.
std::string nativePath(const wchar_t *path);
std::wstring widePath(const char *nativePath);
} // namespace platform
