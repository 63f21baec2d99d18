// Builds small WAV files for the conversion tests.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct WavSpec {
    int formatTag = 1;
    int channels = 2;
    uint32_t rate = 16000;
    int bits = 16;
    uint32_t fmtSize = 16; // bytes after 16 are zeros
    // Chunks (id, body) before the fmt chunk and between the fmt and data chunks.
    std::vector<std::pair<std::string, std::vector<unsigned char>>> before;
    std::vector<std::pair<std::string, std::vector<unsigned char>>> between;
    std::vector<unsigned char> data;
    int64_t declaredDataLength = -1;    // -1: the size of data
    std::vector<unsigned char> trailer; // bytes after the data chunk
};

std::vector<unsigned char> buildWav(const WavSpec &spec);

// The bytes 0, 1, 2, ... 250, 0, 1, ... so that any shift or loss shows.
std::vector<unsigned char> countingBytes(size_t count);
