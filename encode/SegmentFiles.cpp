#include "encode/SegmentFiles.h"

#include <cstdio>
#include <cwchar>

#include "app/AppState.h"
#include "encode/OutputFile.h"

namespace {

// Builds "<folder>/<name>"; FALSE when it would not fit, rather than a cut-off path that would
// name some other file.
BOOL buildPath(LPWSTR path, LPCWSTR folder, LPCWSTR name) {
    if (wcslen(folder) + 1 + wcslen(name) >= static_cast<size_t>(kPathCapacity)) {
        return FALSE;
    }
    wsprintfW(path, L"%s%c%s", folder, PATH_SEPARATOR, name);
    return TRUE;
}

// Writes the file whole under tempPath and renames it over finalPath. A short write (disk full)
// or a failed close loses the file: the partial file is removed.
BOOL writeWholeFile(LPCWSTR finalPath, LPCWSTR tempPath, const void *bytes, DWORD length) {
    HANDLE file = CreateOutputFile(tempPath);
    if (file == INVALID_HANDLE_VALUE) {
        recordWriteFailure(finalPath, L"cannot be created", GetLastError());
        return FALSE;
    }
    DWORD written = 0;
    BOOL wrote = WriteFile(file, bytes, length, &written, nullptr);
    // A write that comes up short without an error has met a full disk.
    DWORD error = wrote ? ERROR_DISK_FULL : GetLastError();
    BOOL complete = wrote && written == length;
    if (!CloseHandle(file) && complete) {
        complete = FALSE;
        error = GetLastError();
    }
    if (!complete) {
        DeleteFileW(tempPath);
        recordWriteFailure(finalPath, L"could not be written whole", error);
        return FALSE;
    }
    if (!MoveFileExW(tempPath, finalPath, MOVEFILE_REPLACE_EXISTING)) {
        error = GetLastError();
        DeleteFileW(tempPath);
        recordWriteFailure(finalPath, L"could not replace the previous file", error);
        return FALSE;
    }
    return TRUE;
}

// Writes "<folder>/<name>" under the name with ".tmp" added, then renames it.
BOOL writeInFolder(LPCWSTR folder, LPCWSTR name, const void *bytes, DWORD length) {
    wchar_t tempName[32];
    wsprintfW(tempName, L"%s.tmp", name);
    wchar_t finalPath[kPathCapacity];
    wchar_t tempPath[kPathCapacity];
    if (!buildPath(finalPath, folder, name) || !buildPath(tempPath, folder, tempName)) {
        recordWriteFailure(folder, L"folder path too long", ERROR_FILENAME_EXCED_RANGE);
        return FALSE;
    }
    return writeWholeFile(finalPath, tempPath, bytes, length);
}

} // namespace

void recordWriteFailure(LPCWSTR path, LPCWSTR what, DWORD error) {
    wsprintfW(appState.lastWriteFailure, L"%s: %s (error %u)", path, what, error);
}

void recordSegmentFailure(LPCWSTR folder, int number, LPCWSTR what, DWORD error) {
    wchar_t name[32];
    wsprintfW(name, L"%d.ogg", number);
    wchar_t path[kPathCapacity];
    recordWriteFailure(buildPath(path, folder, name) ? path : folder, what, error);
}

BOOL writeSegmentFile(LPCWSTR folder, int number, const void *bytes, DWORD length) {
    wchar_t name[32];
    wsprintfW(name, L"%d.ogg", number);
    return writeInFolder(folder, name, bytes, length);
}

BOOL writeIndexFile(LPCWSTR folder, int samples, int files, int init) {
    char text[128];
    int length = snprintf(text, sizeof text, "SAMPLES\t%d\r\nFILES\t%d\r\nINIT\t%d\r\n", samples,
                          files, init);
    return writeInFolder(folder, L"index.txt", text, static_cast<DWORD>(length));
}
