#include "encode/OutputFile.h"

#include <cwchar>

#include "app/AppState.h"

namespace {

HANDLE openForWriting(LPCWSTR path) {
    return CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

BOOL createPathFolders(LPCWSTR path) {
    size_t length = wcslen(path);
    if (length >= static_cast<size_t>(kPathCapacity)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return FALSE;
    }
    wchar_t folder[kPathCapacity];
    // The first character is never a folder of its own (the root), and a separator right after a
    // drive colon ends the drive, not a folder.
    for (size_t i = 1; i < length; ++i) {
        if (path[i] != PATH_SEPARATOR || path[i - 1] == L':') {
            continue;
        }
        wmemcpy(folder, path, i);
        folder[i] = L'\0';
        if (!CreateDirectoryW(folder, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
            return FALSE;
        }
    }
    return TRUE;
}

HANDLE CreateOutputFile(LPCWSTR path) {
    HANDLE file = openForWriting(path);
    if (file != INVALID_HANDLE_VALUE) {
        return file;
    }
    if (GetLastError() != ERROR_PATH_NOT_FOUND) {
        return INVALID_HANDLE_VALUE;
    }
    if (!createPathFolders(path)) {
        return INVALID_HANDLE_VALUE;
    }
    return openForWriting(path);
}
