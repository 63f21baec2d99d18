// tindle-convert: turns WAV files into a programme folder without a screen.
#include "convert/HeadlessConverter.h"
#include "platform/win32.h"

int main(int argc, char **argv) {
    // Refusal lines are written as they stand, line feed only.
    _setmode(_fileno(stdout), _O_BINARY);
    return runHeadlessConverter(argc, argv);
}
