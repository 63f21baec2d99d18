// The runtime library's wide-path streams and the translation mode of descriptors. Streams here
// never translate line ends: a text mode is accepted and behaves as binary.
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unordered_map>
#include <unistd.h>

#include "platform/kernel/file_system.h"

namespace {

// Turns a runtime mode such as L"rb", L"w+t" or L"a, ccs=UTF-8" into a stdio mode; false when the
// mode is not one the runtime accepts.
bool streamMode(const wchar_t *mode, std::string &out) {
    if (mode == nullptr || (mode[0] != L'r' && mode[0] != L'w' && mode[0] != L'a')) {
        return false;
    }
    bool update = false, exclusive = false, translation = false;
    const wchar_t *p = mode + 1;
    for (; *p != L'\0' && *p != L','; ++p) {
        switch (*p) {
        case L'+':
            if (update) {
                return false;
            }
            update = true;
            break;
        case L'b':
        case L't':
            if (translation) {
                return false;
            }
            translation = true;
            break;
        case L'x':
            exclusive = mode[0] == L'w';
            if (!exclusive) {
                return false;
            }
            break;
        case L'c': // commit, no-commit, no-inherit, caching hints, temporary: no effect here
        case L'n':
        case L'N':
        case L'S':
        case L'R':
        case L'T':
        case L'D':
        case L' ':
            break;
        default:
            return false;
        }
    }
    out.assign(1, static_cast<char>(mode[0]));
    if (update) {
        out += '+';
    }
    if (exclusive) {
        out += 'x';
    }
    out += 'e'; // not inherited by programs started later
    return true;
}

FILE *openStream(const wchar_t *fileName, const wchar_t *mode) {
    std::string narrowMode;
    if (fileName == nullptr || !streamMode(mode, narrowMode)) {
        errno = EINVAL;
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::string path = platform::nativePath(fileName);
    FILE *stream = std::fopen(path.c_str(), narrowMode.c_str());
    if (stream == nullptr) {
        int err = errno;
        SetLastError(platform::kernel::pathError(err, path));
        errno = err;
        return nullptr;
    }
    // A folder opens for reading in POSIX, never as a stream of the runtime.
    struct stat st;
    if (::fstat(::fileno(stream), &st) == 0 && S_ISDIR(st.st_mode)) {
        std::fclose(stream);
        SetLastError(ERROR_ACCESS_DENIED);
        errno = EACCES;
        return nullptr;
    }
    return stream;
}

struct ModeTable {
    std::mutex lock;
    std::unordered_map<int, int> modes;
};

ModeTable &modeTable() {
    static ModeTable *table = new ModeTable;
    return *table;
}

} // namespace

FILE *_wfopen(const wchar_t *fileName, const wchar_t *mode) { return openStream(fileName, mode); }

// Sharing is not enforced on this system; the flag is checked and otherwise accepted.
FILE *_wfsopen(const wchar_t *fileName, const wchar_t *mode, int shareFlag) {
    if (shareFlag != _SH_DENYRW && shareFlag != _SH_DENYWR && shareFlag != _SH_DENYRD &&
        shareFlag != _SH_DENYNO) {
        errno = EINVAL;
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return openStream(fileName, mode);
}

// Records the mode asked for and reports the one recorded before (binary until set, since that is
// how every stream here behaves); -1 with errno for a bad descriptor or mode.
int _setmode(int fd, int mode) {
    if (::fcntl(fd, F_GETFD) == -1) {
        errno = EBADF;
        return -1;
    }
    if (mode != _O_TEXT && mode != _O_BINARY) {
        errno = EINVAL;
        return -1;
    }
    ModeTable &table = modeTable();
    std::lock_guard<std::mutex> guard(table.lock);
    auto inserted = table.modes.emplace(fd, _O_BINARY);
    int previous = inserted.first->second;
    inserted.first->second = mode;
    return previous;
}
