// Folder enumeration: FindFirstFileW, FindNextFileW and FindClose.
//
// The folder is read whole when the search starts; the matches are handed out in order, "." and
// ".." first (as the real call reports them for any folder but a root), then by name. Wildcards
// are matched on wide characters, so "?" stands for one character whatever its UTF-8 length, and
// only "*" and "?" are special: a name may hold "[" or a backslash like any other character.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <vector>

#include "platform/kernel/file_system.h"
#include "platform/kernel/handles.h"

namespace {

using platform::kernel::HandleKind;

struct FindObject : platform::kernel::KernelObject {
    FindObject() : KernelObject(HandleKind::Find) {}

    std::mutex lock;
    std::vector<WIN32_FIND_DATAW> entries;
    size_t next = 0;
};

// Matches name against a pattern of literal characters, "*" (any run) and "?" (one character).
bool wildcardMatch(const std::wstring &pattern, const std::wstring &name) {
    size_t p = 0, n = 0;
    size_t starP = std::wstring::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == L'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == L'*') {
            starP = p++;
            starN = n;
        } else if (starP != std::wstring::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') {
        ++p;
    }
    return p == pattern.size();
}

WIN32_FIND_DATAW findDataFor(int folderFd, const char *name, const std::wstring &wideName) {
    WIN32_FIND_DATAW data = {};
    struct stat st;
    if (::fstatat(folderFd, name, &st, 0) != 0 &&
        ::fstatat(folderFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
        st = {};
        st.st_mode = S_IFREG | 0644;
    }
    data.dwFileAttributes = platform::kernel::attributesFromStat(st);
    data.ftCreationTime = platform::kernel::fileTimeFrom(st.st_mtim);
    data.ftLastAccessTime = platform::kernel::fileTimeFrom(st.st_atim);
    data.ftLastWriteTime = platform::kernel::fileTimeFrom(st.st_mtim);
    if (!S_ISDIR(st.st_mode)) {
        auto size = static_cast<uint64_t>(st.st_size);
        data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
        data.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
    }
    size_t length = std::min<size_t>(wideName.size(), MAX_PATH - 1);
    wideName.copy(data.cFileName, length);
    data.cFileName[length] = L'\0';
    return data;
}

// Sort key: "." first, ".." second, then by name.
bool entryBefore(const WIN32_FIND_DATAW &a, const WIN32_FIND_DATAW &b) {
    auto rank = [](const WIN32_FIND_DATAW &e) {
        if (std::wcscmp(e.cFileName, L".") == 0) {
            return 0;
        }
        return std::wcscmp(e.cFileName, L"..") == 0 ? 1 : 2;
    };
    int ra = rank(a), rb = rank(b);
    return ra != rb ? ra < rb : std::wcscmp(a.cFileName, b.cFileName) < 0;
}

bool isRootFolder(const std::string &folder) {
    char *resolved = ::realpath(folder.c_str(), nullptr);
    bool root = resolved != nullptr && resolved[0] == '/' && resolved[1] == '\0';
    std::free(resolved);
    return root;
}

} // namespace

HANDLE FindFirstFileW(LPCWSTR fileName, LPWIN32_FIND_DATAW findData) {
    if (fileName == nullptr || findData == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::wstring whole(fileName);
    size_t cut = whole.rfind(PATH_SEPARATOR);
    std::wstring folderPart = cut == std::wstring::npos ? L"." : whole.substr(0, cut);
    if (cut == 0) {
        folderPart = std::wstring(1, PATH_SEPARATOR);
    }
    std::wstring pattern = cut == std::wstring::npos ? whole : whole.substr(cut + 1);
    if (pattern == L"*.*") {
        pattern = L"*"; // names without a dot match too
    }
    if (pattern.empty()) {
        SetLastError(whole.empty() ? ERROR_PATH_NOT_FOUND : ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }

    std::string folder = platform::nativePath(folderPart.c_str());
    DIR *dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        int err = errno;
        SetLastError(err == ENOENT || err == ENOTDIR ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(err));
        return INVALID_HANDLE_VALUE;
    }
    bool root = isRootFolder(folder);
    auto search = std::make_shared<FindObject>();
    while (struct dirent *entry = ::readdir(dir)) {
        bool dots = std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0;
        if (dots && root) {
            continue;
        }
        std::wstring name = platform::widePath(entry->d_name);
        if (wildcardMatch(pattern, name)) {
            search->entries.push_back(findDataFor(::dirfd(dir), entry->d_name, name));
        }
    }
    ::closedir(dir);
    if (search->entries.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::sort(search->entries.begin(), search->entries.end(), entryBefore);
    *findData = search->entries[0];
    search->next = 1;
    return platform::kernel::registerHandle(std::move(search));
}

BOOL FindNextFileW(HANDLE findFile, LPWIN32_FIND_DATAW findData) {
    auto search = platform::kernel::lookupHandleOf<FindObject>(findFile, HandleKind::Find);
    if (!search) {
        return FALSE;
    }
    if (findData == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard<std::mutex> guard(search->lock);
    if (search->next >= search->entries.size()) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    *findData = search->entries[search->next++];
    return TRUE;
}

BOOL FindClose(HANDLE findFile) {
    if (!platform::kernel::lookupHandleOf<FindObject>(findFile, HandleKind::Find)) {
        return FALSE;
    }
    if (!platform::kernel::unregisterHandle(findFile)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
