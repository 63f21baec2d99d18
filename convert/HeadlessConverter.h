// The converter without a screen: turns WAV files into a programme folder along the same road as
// a batch of files dropped onto the main window.
#pragma once

// tindle-convert [--quality N] [--volume X] PROGRAMME_FOLDER FILE.wav...
// Returns 0 when at least one file was read, 1 when none was, 2 on bad usage.
int runHeadlessConverter(int argc, char **argv);
