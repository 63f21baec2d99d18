// File handles: CreateFileW, ReadFile and WriteFile over file descriptors.
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/kernel/file_system.h"
#include "platform/kernel/handles.h"

namespace {

using platform::kernel::HandleKind;

struct FileObject : platform::kernel::KernelObject {
    FileObject(int descriptor, DWORD accessRights)
        : KernelObject(HandleKind::File), fd(descriptor), access(accessRights) {}
    ~FileObject() override { ::close(fd); }

    const int fd;
    const DWORD access;
};

// Opens path for one disposition. Returns the descriptor, or -1 with errno set; existed tells
// whether the file was there before.
int openForDisposition(const std::string &path, int flags, mode_t mode, DWORD disposition,
                       bool &existed) {
    existed = false;
    switch (disposition) {
    case CREATE_NEW:
        return ::open(path.c_str(), flags | O_CREAT | O_EXCL, mode);
    case OPEN_EXISTING:
        existed = true;
        return ::open(path.c_str(), flags);
    case TRUNCATE_EXISTING:
        existed = true;
        return ::open(path.c_str(), flags | O_TRUNC);
    case CREATE_ALWAYS:
    case OPEN_ALWAYS: {
        // Create exclusively first so that the caller learns whether the file existed; if it
        // vanishes between the two opens, start again.
        int existing = disposition == CREATE_ALWAYS ? flags | O_TRUNC : flags;
        for (int attempt = 0; attempt < 16; ++attempt) {
            int fd = ::open(path.c_str(), flags | O_CREAT | O_EXCL, mode);
            if (fd >= 0 || errno != EEXIST) {
                return fd;
            }
            fd = ::open(path.c_str(), existing);
            if (fd >= 0 || errno != ENOENT) {
                existed = true;
                return fd;
            }
        }
        errno = EEXIST;
        return -1;
    }
    default:
        errno = EINVAL;
        return -1;
    }
}

DWORD createFileError(int err, DWORD disposition, const std::string &path) {
    switch (err) {
    case EEXIST:
        return ERROR_FILE_EXISTS;
    case ENOENT:
        // A creating open only fails this way when a folder on the path is missing.
        if (disposition == OPEN_EXISTING || disposition == TRUNCATE_EXISTING) {
            return platform::kernel::missingPathError(path);
        }
        return ERROR_PATH_NOT_FOUND;
    default:
        return ErrorFromErrno(err);
    }
}

} // namespace

HANDLE CreateFileW(LPCWSTR fileName, DWORD desiredAccess, DWORD, LPSECURITY_ATTRIBUTES,
                   DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE) {
    if (fileName == nullptr || creationDisposition < CREATE_NEW ||
        creationDisposition > TRUNCATE_EXISTING) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    if (fileName[0] == L'\0') {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    bool reading = (desiredAccess & GENERIC_READ) != 0;
    bool writing = (desiredAccess & GENERIC_WRITE) != 0;
    if (creationDisposition == TRUNCATE_EXISTING && !writing) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    int flags = O_CLOEXEC | (reading && writing ? O_RDWR : writing ? O_WRONLY : O_RDONLY);
    mode_t mode = (flagsAndAttributes & FILE_ATTRIBUTE_READONLY) != 0 ? 0444 : 0666;
    std::string path = platform::nativePath(fileName);

    bool existed = false;
    int fd = openForDisposition(path, flags, mode, creationDisposition, existed);
    if (fd < 0) {
        SetLastError(createFileError(errno, creationDisposition, path));
        return INVALID_HANDLE_VALUE;
    }
    // A folder opens for reading in POSIX; as a file it is refused.
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = platform::kernel::registerHandle(
        std::make_shared<FileObject>(fd, desiredAccess & (GENERIC_READ | GENERIC_WRITE)));
    bool reportExisting =
        existed && (creationDisposition == CREATE_ALWAYS || creationDisposition == OPEN_ALWAYS);
    SetLastError(reportExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

// Writes everything unless the file system refuses; on a failure part-way the bytes that did
// reach the file are reported.
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
               LPOVERLAPPED overlapped) {
    if (bytesWritten != nullptr) {
        *bytesWritten = 0;
    }
    auto object = platform::kernel::lookupHandleOf<FileObject>(file, HandleKind::File);
    if (!object) {
        return FALSE;
    }
    if (overlapped != nullptr || (buffer == nullptr && bytesToWrite > 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if ((object->access & GENERIC_WRITE) == 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    const auto *bytes = static_cast<const unsigned char *>(buffer);
    DWORD done = 0;
    while (done < bytesToWrite) {
        ssize_t n = ::write(object->fd, bytes + done, bytesToWrite - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            // EFBIG: the file may grow no further, which to the caller is a full disk.
            int err = n == 0 ? ENOSPC : errno;
            SetLastError(err == EFBIG ? ERROR_DISK_FULL : ErrorFromErrno(err));
            if (bytesWritten != nullptr) {
                *bytesWritten = done;
            }
            return FALSE;
        }
        done += static_cast<DWORD>(n);
    }
    if (bytesWritten != nullptr) {
        *bytesWritten = done;
    }
    return TRUE;
}

// Reads until the request is filled or the file ends; at the end of the file it succeeds with
// fewer bytes, possibly none.
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead,
              LPOVERLAPPED overlapped) {
    if (bytesRead != nullptr) {
        *bytesRead = 0;
    }
    auto object = platform::kernel::lookupHandleOf<FileObject>(file, HandleKind::File);
    if (!object) {
        return FALSE;
    }
    if (overlapped != nullptr || (buffer == nullptr && bytesToRead > 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if ((object->access & GENERIC_READ) == 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    auto *bytes = static_cast<unsigned char *>(buffer);
    DWORD done = 0;
    while (done < bytesToRead) {
        ssize_t n = ::read(object->fd, bytes + done, bytesToRead - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            SetLastError(ErrorFromErrno(errno));
            if (bytesRead != nullptr) {
                *bytesRead = done;
            }
            return FALSE;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<DWORD>(n);
    }
    if (bytesRead != nullptr) {
        *bytesRead = done;
    }
    return TRUE;
}
