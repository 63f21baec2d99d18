// Creation of output files, with the missing folders on their path.
#pragma once

#include "platform/win32.h"

// Creates (or empties) the file at path for writing, creating any missing folders on the way.
// Returns the handle, or INVALID_HANDLE_VALUE when the file cannot be created.
HANDLE CreateOutputFile(LPCWSTR path);

// Creates every folder of path that ends before a separator, outermost first; the part after the
// last separator is not touched. A folder that already exists counts as created. Returns FALSE,
// with the last error of the failing call, at the first folder that cannot be created.
BOOL createPathFolders(LPCWSTR path);
