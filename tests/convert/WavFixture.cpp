#include "tests/convert/WavFixture.h"

namespace {

void put16(std::vector<unsigned char> *out, uint32_t value) {
    out->push_back(static_cast<unsigned char>(value & 0xFF));
    out->push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
}

void put32(std::vector<unsigned char> *out, uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

void putId(std::vector<unsigned char> *out, const std::string &id) {
    out->insert(out->end(), id.begin(), id.begin() + 4);
}

void putChunks(std::vector<unsigned char> *out,
               const std::vector<std::pair<std::string, std::vector<unsigned char>>> &chunks) {
    for (const auto &[id, body] : chunks) {
        putId(out, id);
        put32(out, static_cast<uint32_t>(body.size()));
        out->insert(out->end(), body.begin(), body.end());
    }
}

} // namespace

std::vector<unsigned char> buildWav(const WavSpec &spec) {
    std::vector<unsigned char> out;
    putId(&out, "RIFF");
    put32(&out, 0); // patched below
    putId(&out, "WAVE");
    putChunks(&out, spec.before);

    putId(&out, "fmt ");
    put32(&out, spec.fmtSize);
    size_t fmtStart = out.size();
    int blockAlign = spec.channels * spec.bits / 8;
    put16(&out, static_cast<uint32_t>(spec.formatTag));
    put16(&out, static_cast<uint32_t>(spec.channels));
    put32(&out, spec.rate);
    put32(&out, spec.rate * static_cast<uint32_t>(blockAlign));
    put16(&out, static_cast<uint32_t>(blockAlign));
    put16(&out, static_cast<uint32_t>(spec.bits));
    out.resize(fmtStart + spec.fmtSize, 0);

    putChunks(&out, spec.between);
    putId(&out, "data");
    put32(&out, spec.declaredDataLength < 0 ? static_cast<uint32_t>(spec.data.size())
                                            : static_cast<uint32_t>(spec.declaredDataLength));
    out.insert(out.end(), spec.data.begin(), spec.data.end());
    out.insert(out.end(), spec.trailer.begin(), spec.trailer.end());

    uint32_t riffSize = static_cast<uint32_t>(out.size() - 8);
    for (int i = 0; i < 4; ++i) {
        out[4 + i] = static_cast<unsigned char>((riffSize >> (8 * i)) & 0xFF);
    }
    return out;
}

std::vector<unsigned char> countingBytes(size_t count) {
    std::vector<unsigned char> bytes(count);
    for (size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<unsigned char>(i % 251);
    }
    return bytes;
}
