#include "tests/encode/PipelineTestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <vorbis/vorbisfile.h>

#include "app/AppState.h"
#include "capture/ChunkQueues.h"
#include "encode/VolumeCurve.h"

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "tindle-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const char *made = mkdtemp(buffer.data());
    EXPECT_NE(made, nullptr);
    root_ = made != nullptr ? made : "";
}

ScratchFolder::~ScratchFolder() {
    std::error_code error;
    if (!root_.empty()) {
        fs::remove_all(root_, error);
    }
}

std::string ScratchFolder::path(const std::string &below) const {
    return below.empty() ? root_ : (fs::path(root_) / below).string();
}

std::wstring ScratchFolder::widePath(const std::string &below) const {
    std::string narrow = path(below);
    return std::wstring(narrow.begin(), narrow.end());
}

void resetPipelineState() {
    PcmQueue.discardAll();
    DropQueue.discardAll();
    appState.sampleRate = 16000;
    appState.channelCount = 2;
    appState.qualityLevel = 1;
    appState.volumeFactor = 1.0;
    appState.loopRecording = 0;
    appState.converting = 0;
    appState.fileCounter = 0;
    appState.programmeFolder[0] = L'\0';
    appState.lastWriteFailure[0] = L'\0';
    appState.accumWritePos = appState.accumBuffer;
    appState.mainWindow = nullptr;
    appState.conversionThreadHandle = nullptr;
    fillIdentityCurve(appState.volumeCurve);
}

bool fileExists(const std::string &path) {
    std::error_code error;
    return fs::exists(path, error);
}

std::string readWholeFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeWholeFile(const std::string &path, const std::vector<unsigned char> &bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> folderEntries(const std::string &path) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto &entry : fs::directory_iterator(path, error)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

namespace {

uint32_t readLe32(const unsigned char *p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

struct MemoryReader {
    const std::string *bytes;
    size_t position;
};

size_t memoryRead(void *out, size_t size, size_t count, void *source) {
    auto *reader = static_cast<MemoryReader *>(source);
    size_t wanted = size * count;
    size_t left = reader->bytes->size() - reader->position;
    size_t n = wanted < left ? wanted : left;
    memcpy(out, reader->bytes->data() + reader->position, n);
    reader->position += n;
    return size == 0 ? 0 : n / size;
}

} // namespace

bool parseOggPages(const std::string &bytes, std::vector<OggPageHeader> *pages) {
    pages->clear();
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.data());
    size_t at = 0;
    while (at < bytes.size()) {
        if (bytes.size() - at < 27 || memcmp(data + at, "OggS", 4) != 0) {
            return false;
        }
        const unsigned char *header = data + at;
        size_t segments = header[26];
        if (bytes.size() - at < 27 + segments) {
            return false;
        }
        size_t body = 0;
        for (size_t i = 0; i < segments; ++i) {
            body += header[27 + i];
        }
        OggPageHeader page;
        page.flags = header[5];
        page.granule = static_cast<int64_t>(readLe32(header + 6)) |
                       (static_cast<int64_t>(readLe32(header + 10)) << 32);
        page.serial = readLe32(header + 14);
        page.sequence = readLe32(header + 18);
        pages->push_back(page);
        at += 27 + segments + body;
    }
    return at == bytes.size();
}

DecodedStream decodeOgg(const std::string &bytes) {
    DecodedStream decoded;
    MemoryReader reader = {&bytes, 0};
    ov_callbacks callbacks = {memoryRead, nullptr, nullptr, nullptr};
    OggVorbis_File file;
    if (ov_open_callbacks(&reader, &file, nullptr, 0, callbacks) != 0) {
        return decoded;
    }
    vorbis_info *info = ov_info(&file, -1);
    decoded.channels = info->channels;
    decoded.rate = info->rate;
    decoded.nominalBitrate = info->bitrate_nominal;
    char buffer[8192];
    int section = 0;
    decoded.ok = true;
    for (;;) {
        long got = ov_read(&file, buffer, sizeof buffer, 0, 2, 1, &section);
        if (got == 0) {
            break;
        }
        if (got < 0) {
            decoded.ok = false;
            break;
        }
        std::vector<int16_t> values =
            pcmValues(reinterpret_cast<unsigned char *>(buffer), static_cast<size_t>(got));
        decoded.samples.insert(decoded.samples.end(), values.begin(), values.end());
    }
    ov_clear(&file);
    return decoded;
}

std::vector<unsigned char> pcmBytes(const std::vector<int16_t> &samples) {
    std::vector<unsigned char> bytes(samples.size() * 2);
    for (size_t i = 0; i < samples.size(); ++i) {
        auto value = static_cast<uint16_t>(samples[i]);
        bytes[2 * i] = static_cast<unsigned char>(value & 0xFF);
        bytes[2 * i + 1] = static_cast<unsigned char>(value >> 8);
    }
    return bytes;
}

std::vector<int16_t> pcmValues(const unsigned char *bytes, size_t byteCount) {
    std::vector<int16_t> values(byteCount / 2);
    for (size_t i = 0; i < values.size(); ++i) {
        values[i] = static_cast<int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    }
    return values;
}

std::vector<int16_t> makeTone(int frames, int channels, int rate, double frequency) {
    std::vector<int16_t> samples(static_cast<size_t>(frames) * channels);
    const double twoPi = 6.283185307179586;
    for (int f = 0; f < frames; ++f) {
        for (int c = 0; c < channels; ++c) {
            double phase = twoPi * frequency * (c + 1) * f / rate;
            samples[static_cast<size_t>(f) * channels + c] =
                static_cast<int16_t>(std::lround(8000.0 * std::sin(phase)));
        }
    }
    return samples;
}

void pushChunk(const unsigned char *bytes, int length) {
    auto *data = new unsigned char[length];
    if (length > 0) {
        memcpy(data, bytes, static_cast<size_t>(length));
    }
    PcmQueue.push(PcmChunk{length, data});
}
