// Folders and names: CreateDirectoryW, RemoveDirectoryW, DeleteFileW, MoveFileExW,
// GetFileAttributesW and the current directory, with the helpers the find calls share.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/kernel/file_system.h"

namespace platform::kernel {

DWORD missingPathError(const std::string &path) {
    const char separator = static_cast<char>(PATH_SEPARATOR);
    size_t end = path.size();
    while (end > 1 && path[end - 1] == separator) {
        --end;
    }
    size_t cut = end == 0 ? std::string::npos : path.rfind(separator, end - 1);
    std::string parent(cut == std::string::npos ? std::string(".")
                                                : path.substr(0, cut == 0 ? 1 : cut));
    struct stat st;
    if (::stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        return ERROR_FILE_NOT_FOUND;
    }
    return ERROR_PATH_NOT_FOUND;
}

DWORD pathError(int err, const std::string &path) {
    return err == ENOENT ? missingPathError(path) : ErrorFromErrno(err);
}

DWORD attributesFromStat(const struct stat &st) {
    DWORD attributes = 0;
    if (S_ISDIR(st.st_mode)) {
        attributes |= FILE_ATTRIBUTE_DIRECTORY;
    }
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        attributes |= FILE_ATTRIBUTE_READONLY;
    }
    return attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
}

FILETIME fileTimeFrom(const struct timespec &time) {
    // Seconds from 1601-01-01 to 1970-01-01.
    constexpr int64_t epochDifference = 11644473600LL;
    int64_t ticks = (static_cast<int64_t>(time.tv_sec) + epochDifference) * 10000000LL +
                    static_cast<int64_t>(time.tv_nsec) / 100;
    if (ticks < 0) {
        ticks = 0;
    }
    FILETIME result;
    result.dwLowDateTime = static_cast<DWORD>(static_cast<uint64_t>(ticks) & 0xFFFFFFFFu);
    result.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(ticks) >> 32);
    return result;
}

} // namespace platform::kernel

namespace {

using platform::kernel::pathError;

// Whether path names an existing entry that is not a folder.
bool isNonFolder(const std::string &path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

// Null and empty paths fail the way the real calls fail them. Returns false with the error set.
bool checkPathArgument(LPCWSTR path) {
    if (path == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    if (path[0] == L'\0') {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    return true;
}

} // namespace

BOOL CreateDirectoryW(LPCWSTR pathName, LPSECURITY_ATTRIBUTES) {
    if (!checkPathArgument(pathName)) {
        return FALSE;
    }
    std::string path = platform::nativePath(pathName);
    if (::mkdir(path.c_str(), 0777) == 0) {
        return TRUE;
    }
    int err = errno;
    // A missing parent, or a file where a folder of the path should be.
    SetLastError(err == ENOENT || err == ENOTDIR ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(err));
    return FALSE;
}

BOOL RemoveDirectoryW(LPCWSTR pathName) {
    if (!checkPathArgument(pathName)) {
        return FALSE;
    }
    std::string path = platform::nativePath(pathName);
    if (::rmdir(path.c_str()) == 0) {
        return TRUE;
    }
    int err = errno;
    if (err == ENOTDIR && isNonFolder(path)) {
        SetLastError(ERROR_DIRECTORY);
    } else if (err == EEXIST) {
        SetLastError(ERROR_DIR_NOT_EMPTY);
    } else {
        SetLastError(pathError(err, path));
    }
    return FALSE;
}

BOOL DeleteFileW(LPCWSTR fileName) {
    if (!checkPathArgument(fileName)) {
        return FALSE;
    }
    std::string path = platform::nativePath(fileName);
    if (::unlink(path.c_str()) == 0) {
        return TRUE;
    }
    SetLastError(pathError(errno, path));
    return FALSE;
}

BOOL MoveFileExW(LPCWSTR existingFileName, LPCWSTR newFileName, DWORD flags) {
    if (!checkPathArgument(existingFileName) || !checkPathArgument(newFileName)) {
        return FALSE;
    }
    std::string from = platform::nativePath(existingFileName);
    std::string to = platform::nativePath(newFileName);
    struct stat source;
    if (::lstat(from.c_str(), &source) != 0) {
        SetLastError(pathError(errno, from));
        return FALSE;
    }
    int result;
    if ((flags & MOVEFILE_REPLACE_EXISTING) != 0) {
        // A folder is never replaced, only files.
        struct stat target;
        if (::stat(to.c_str(), &target) == 0 && S_ISDIR(target.st_mode)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        result = ::rename(from.c_str(), to.c_str());
    } else {
        result = ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
        if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
            // A file system without the no-replace rename: check, then rename.
            struct stat target;
            if (::lstat(to.c_str(), &target) == 0) {
                errno = EEXIST;
            } else {
                result = ::rename(from.c_str(), to.c_str());
            }
        }
    }
    if (result != 0) {
        int err = errno;
        // The source exists, so a missing entry is a folder of the new name.
        SetLastError(err == ENOENT || err == ENOTDIR ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(err));
        return FALSE;
    }
    if ((flags & MOVEFILE_WRITE_THROUGH) != 0) {
        std::string folder = to;
        size_t cut = folder.rfind(static_cast<char>(PATH_SEPARATOR));
        folder = cut == std::string::npos ? "."
                 : cut == 0               ? folder.substr(0, 1)
                                          : folder.substr(0, cut);
        int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    }
    return TRUE;
}

DWORD GetFileAttributesW(LPCWSTR fileName) {
    if (!checkPathArgument(fileName)) {
        return INVALID_FILE_ATTRIBUTES;
    }
    std::string path = platform::nativePath(fileName);
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        SetLastError(pathError(errno, path));
        return INVALID_FILE_ATTRIBUTES;
    }
    return platform::kernel::attributesFromStat(st);
}

// With a buffer too small (or none) returns the size needed including the terminator; otherwise
// the length copied without it.
DWORD GetCurrentDirectoryW(DWORD bufferLength, LPWSTR buffer) {
    std::vector<char> native(PATH_MAX);
    while (::getcwd(native.data(), native.size()) == nullptr) {
        if (errno != ERANGE) {
            SetLastError(ErrorFromErrno(errno));
            return 0;
        }
        native.resize(native.size() * 2);
    }
    std::wstring wide = platform::widePath(native.data());
    if (buffer == nullptr || bufferLength <= wide.size()) {
        return static_cast<DWORD>(wide.size() + 1);
    }
    wide.copy(buffer, wide.size());
    buffer[wide.size()] = L'\0';
    return static_cast<DWORD>(wide.size());
}

BOOL SetCurrentDirectoryW(LPCWSTR pathName) {
    if (!checkPathArgument(pathName)) {
        return FALSE;
    }
    std::string path = platform::nativePath(pathName);
    if (::chdir(path.c_str()) == 0) {
        return TRUE;
    }
    int err = errno;
    SetLastError(err == ENOTDIR && isNonFolder(path) ? ERROR_DIRECTORY : pathError(err, path));
    return FALSE;
}
