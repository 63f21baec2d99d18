// Writing the files of a programme folder: the numbered segment files and index.txt. Each file is
// written whole under a temporary name in the same folder and then renamed over its final name,
// so that a player fetching files while they are written sees the old file or the new one.
#pragma once

#include "platform/win32.h"

// Writes bytes as "<folder>/<number>.ogg". Returns FALSE, leaving no partial file behind and the
// reason in appState.lastWriteFailure, when the file cannot be created or written whole.
BOOL writeSegmentFile(LPCWSTR folder, int number, const void *bytes, DWORD length);

// Rewrites "<folder>/index.txt" with the three keys. Returns FALSE, keeping the previous index and
// recording the reason in appState.lastWriteFailure, when it cannot be written.
BOOL writeIndexFile(LPCWSTR folder, int samples, int files, int init);

// Records why the file at path was lost, for the main window to show.
void recordWriteFailure(LPCWSTR path, LPCWSTR what, DWORD error);

// The same for the segment file with the given number in folder.
void recordSegmentFailure(LPCWSTR folder, int number, LPCWSTR what, DWORD error);
