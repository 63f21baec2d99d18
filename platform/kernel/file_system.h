// Helpers shared by the file, folder and find calls.
#pragma once

#include <string>
#include <sys/stat.h>

#include "platform/kernel.h"

namespace platform::kernel {

// The error for a path the file system reported missing (ENOENT): ERROR_FILE_NOT_FOUND when the
// folder that should hold it exists, ERROR_PATH_NOT_FOUND when a folder on the way is missing.
DWORD missingPathError(const std::string &path);

// The error for a failed call on a path: ENOENT is told apart as above, the rest is mapped by
// ErrorFromErrno.
DWORD pathError(int err, const std::string &path);

// The attribute bits of a file system entry.
DWORD attributesFromStat(const struct stat &st);

// A file time (100 ns intervals since 1601-01-01 UTC) from a POSIX time.
FILETIME fileTimeFrom(const struct timespec &time);

} // namespace platform::kernel
