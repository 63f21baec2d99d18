// Throughput of the conversion road against a plain libvorbis loop over the same sound.
//
// Generates a 10-minute 16 kHz stereo WAV file, converts it at quality 1 the way a batch of
// dropped files is converted (the headless converter: reader thread, queue, volume curve,
// segmenter, segment files and index), then encodes the same PCM as one stream with a plain
// libvorbis loop, and prints both throughputs in seconds of sound per second and their ratio.
//
//   tindle-bench [--runs N] [--keep]
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <vorbis/vorbisenc.h>

#include "app/AppState.h"
#include "convert/HeadlessConverter.h"

namespace {

constexpr int kRate = 16000;
constexpr int kChannels = 2;
constexpr int kSeconds = 600;
constexpr int kFrames = kRate * kSeconds;

// Something like music: a few drifting partials with a slow envelope and a little noise, so that
// the encoder has real work to do.
std::vector<int16_t> makeSound() {
    std::vector<int16_t> samples(static_cast<size_t>(kFrames) * kChannels);
    const double twoPi = 6.283185307179586;
    const double partials[] = {110.0, 220.5, 331.0, 440.0, 661.5, 1210.0, 2750.0};
    uint32_t seed = 12345;
    double phase[kChannels][7] = {};
    for (int f = 0; f < kFrames; ++f) {
        double t = static_cast<double>(f) / kRate;
        double envelope = 0.55 + 0.45 * std::sin(twoPi * 0.21 * t);
        for (int c = 0; c < kChannels; ++c) {
            double value = 0;
            for (int p = 0; p < 7; ++p) {
                double drift = 1.0 + 0.01 * std::sin(twoPi * (0.05 + 0.02 * p) * t + c);
                phase[c][p] += twoPi * partials[p] * drift / kRate;
                value += std::sin(phase[c][p]) / (p + 1.5);
            }
            seed = seed * 1664525u + 1013904223u;
            double noise = (static_cast<double>(seed >> 8) / 16777216.0 - 0.5) * 0.05;
            double sample = 9000.0 * envelope * value + 32767.0 * noise;
            samples[static_cast<size_t>(f) * kChannels + c] =
                static_cast<int16_t>(std::lround(std::fmax(-32768.0, std::fmin(32767.0, sample))));
        }
    }
    return samples;
}

void put32(std::vector<unsigned char> *out, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out->push_back(static_cast<unsigned char>((v >> (8 * i)) & 0xFF));
    }
}

void put16(std::vector<unsigned char> *out, uint32_t v) {
    out->push_back(static_cast<unsigned char>(v & 0xFF));
    out->push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
}

bool writeWav(const std::string &path, const std::vector<int16_t> &samples) {
    uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::vector<unsigned char> header;
    header.insert(header.end(), {'R', 'I', 'F', 'F'});
    put32(&header, 36 + dataBytes);
    header.insert(header.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(&header, 16);
    put16(&header, 1);
    put16(&header, kChannels);
    put32(&header, kRate);
    put32(&header, kRate * kChannels * 2);
    put16(&header, kChannels * 2);
    put16(&header, 16);
    header.insert(header.end(), {'d', 'a', 't', 'a'});
    put32(&header, dataBytes);

    FILE *file = fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    bool ok = fwrite(header.data(), 1, header.size(), file) == header.size();
    ok = ok && fwrite(samples.data(), 2, samples.size(), file) == samples.size();
    return fclose(file) == 0 && ok;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The conversion road, in process: returns the seconds it took, or a negative value on failure.
double runRoad(const std::string &wav, const std::string &folder) {
    std::string program = "tindle-convert";
    std::string quality = "--quality";
    std::string level = "1";
    std::string out = folder;
    std::string in = wav;
    char *argv[] = {program.data(), quality.data(), level.data(), out.data(), in.data()};
    auto start = std::chrono::steady_clock::now();
    int code = runHeadlessConverter(5, argv);
    double seconds = secondsSince(start);
    return code == 0 ? seconds : -1.0;
}

// One stream over all the sound with libvorbis alone, quality 0.1, fed 1024 frames at a time.
double runPlainLoop(const std::vector<int16_t> &samples, size_t *streamBytes) {
    auto start = std::chrono::steady_clock::now();
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, kChannels, kRate, 0.1f) != 0) {
        return -1.0;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);
    ogg_packet headers[3];
    vorbis_analysis_headerout(&dsp, &comment, &headers[0], &headers[1], &headers[2]);
    for (ogg_packet &header : headers) {
        ogg_stream_packetin(&stream, &header);
    }
    size_t bytes = 0;
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0) {
        bytes += static_cast<size_t>(page.header_len + page.body_len);
    }

    bool endOfStream = false;
    size_t frame = 0;
    while (!endOfStream) {
        size_t frames = std::min<size_t>(1024, kFrames - frame);
        if (frames > 0) {
            float **buffer = vorbis_analysis_buffer(&dsp, 1024);
            for (size_t f = 0; f < frames; ++f) {
                for (int c = 0; c < kChannels; ++c) {
                    buffer[c][f] = samples[(frame + f) * kChannels + c] / 32768.0f;
                }
            }
            frame += frames;
        }
        vorbis_analysis_wrote(&dsp, static_cast<int>(frames));
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (!endOfStream && ogg_stream_pageout(&stream, &page)) {
                    bytes += static_cast<size_t>(page.header_len + page.body_len);
                    endOfStream = ogg_page_eos(&page) != 0;
                }
            }
        }
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    *streamBytes = bytes;
    return secondsSince(start);
}

size_t folderBytes(const std::string &folder, int *files) {
    size_t total = 0;
    *files = 0;
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator(folder, error)) {
        total += static_cast<size_t>(entry.file_size(error));
        ++*files;
    }
    return total;
}

} // namespace

int main(int argc, char **argv) {
    int runs = 1;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
            runs = std::max(1, atoi(argv[++i]));
        } else if (strcmp(argv[i], "--keep") == 0) {
            keep = true;
        } else {
            fprintf(stderr, "usage: tindle-bench [--runs N] [--keep]\n");
            return 2;
        }
    }

    std::error_code error;
    std::string root = (std::filesystem::temp_directory_path(error) / "tindle-bench").string();
    std::filesystem::remove_all(root, error);
    std::filesystem::create_directories(root, error);
    std::string wav = root + "/ten-minutes.wav";

    printf("generating %d s of %d Hz stereo sound...\n", kSeconds, kRate);
    std::vector<int16_t> samples = makeSound();
    if (!writeWav(wav, samples)) {
        fprintf(stderr, "tindle-bench: cannot write %s\n", wav.c_str());
        return 1;
    }

    double bestRoad = -1.0;
    double bestPlain = -1.0;
    size_t plainBytes = 0;
    int files = 0;
    size_t roadBytes = 0;
    for (int run = 0; run < runs; ++run) {
        std::string folder = root + "/programme" + std::to_string(run);
        double road = runRoad(wav, folder);
        if (road < 0) {
            fprintf(stderr, "tindle-bench: the conversion failed\n");
            return 1;
        }
        roadBytes = folderBytes(folder, &files);
        double plain = runPlainLoop(samples, &plainBytes);
        if (plain < 0) {
            fprintf(stderr, "tindle-bench: libvorbis refused quality 0.1\n");
            return 1;
        }
        printf("run %d: conversion road %.2f s, plain libvorbis loop %.2f s\n", run + 1, road,
               plain);
        bestRoad = bestRoad < 0 ? road : std::min(bestRoad, road);
        bestPlain = bestPlain < 0 ? plain : std::min(bestPlain, plain);
    }

    double roadRate = kSeconds / bestRoad;
    double plainRate = kSeconds / bestPlain;
    printf("sound: %d s, %d Hz, %d channels, quality 1 (best of %d)\n", kSeconds, kRate, kChannels,
           runs);
    printf("conversion road:      %8.1f s of sound per second (%d files, %zu bytes)\n", roadRate,
           files, roadBytes);
    printf("plain libvorbis loop: %8.1f s of sound per second (one stream, %zu bytes)\n", plainRate,
           plainBytes);
    printf("ratio road / plain:   %8.3f\n", roadRate / plainRate);

    if (!keep) {
        std::filesystem::remove_all(root, error);
    }
    return 0;
}
