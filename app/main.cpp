// Process entry.
#include <cstdio>

int main(int, char **) {
    std::fprintf(
        stderr,
        "tindle: this build has no main window yet; the converter is build/tindle-convert\n");
    return 1;
}
