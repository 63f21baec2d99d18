// Reading one dropped WAV file into PcmQueue.
#pragma once

#include "platform/win32.h"

// Checks the RIFF/WAVE header of the file at path, sets sampleRate and channelCount of appState
// from it and pushes its sound data onto PcmQueue in chunks of at most 8000 bytes, making the main
// window paint (and so drain the queue) every 100 chunks. Returns 1 when the file was read (also
// when its data ends early), 0 when it was refused or cannot be opened; a refusal prints one line
// on standard output.
int WavReader(LPCWSTR path);
