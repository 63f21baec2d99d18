// Process entry.
#include <cstdio>

#include "platform/win32.h"

int main(int, char **) {
    if (!platform::initScreen()) {
        std::fprintf(stderr, "tindle: no display to show the window on: %s\n",
                     platform::screenError());
        return 1;
    }
    platform::shutdownScreen();
    std::fprintf(
        stderr,
        "tindle: this build has no main window yet; the converter is build/tindle-convert\n");
    return 1;
}
