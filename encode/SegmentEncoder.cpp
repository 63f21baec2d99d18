#include "encode/SegmentEncoder.h"

#include <cstdlib>
#include <cstring>
#include <ctime>

#include <vorbis/vorbisenc.h>

namespace {

constexpr int kScratchBytes = 4140;
constexpr int kFramesPerPass = 1024;
constexpr int kHighestQualityLevel = 10;

// The write cursor into the caller's buffer. A page that would not fit is not copied and marks
// the whole stream as failed.
struct OutputCursor {
    unsigned char *start;
    unsigned char *position;
    size_t capacity;
    bool overflow;
};

void copyPage(OutputCursor *cursor, const ogg_page *page) {
    size_t used = static_cast<size_t>(cursor->position - cursor->start);
    size_t pageBytes = static_cast<size_t>(page->header_len) + static_cast<size_t>(page->body_len);
    if (pageBytes > cursor->capacity - used) {
        cursor->overflow = true;
        return;
    }
    memcpy(cursor->position, page->header, static_cast<size_t>(page->header_len));
    cursor->position += page->header_len;
    memcpy(cursor->position, page->body, static_cast<size_t>(page->body_len));
    cursor->position += page->body_len;
}

// Sets up info for VBR at the asked level. The library refuses some levels for some rates and
// channel counts (-0.2 everywhere); then the lowest level above it that it accepts is used, so
// that every level the user can choose yields a playable file. Returns false, with info
// released, when no level is accepted.
bool initQuality(vorbis_info *info, long channels, long rate, int qualityLevel) {
    for (int level = qualityLevel; level <= kHighestQualityLevel; ++level) {
        vorbis_info_init(info);
        float baseQuality = static_cast<float>(level) * 0.1f;
        if (vorbis_encode_init_vbr(info, channels, rate, baseQuality) == 0) {
            return true;
        }
        vorbis_info_clear(info);
    }
    return false;
}

// Converts whole frames of the scratch block into the analysis buffer; a trailing partial frame
// is ignored.
int feedFrames(vorbis_dsp_state *dsp, const unsigned char *scratch, int byteCount, int channels) {
    int frameBytes = 2 * channels;
    int frames = byteCount / frameBytes;
    float **buffer = vorbis_analysis_buffer(dsp, kFramesPerPass);
    const float scale = 1.0f / 32768.0f;
    for (int f = 0; f < frames; ++f) {
        const unsigned char *frame = scratch + f * frameBytes;
        buffer[0][f] = static_cast<float>(static_cast<short>(frame[0] | (frame[1] << 8))) * scale;
        if (channels == 2) {
            buffer[1][f] =
                static_cast<float>(static_cast<short>(frame[2] | (frame[3] << 8))) * scale;
        }
    }
    return frames;
}

} // namespace

int SegmentEncoder(unsigned char *output, const unsigned char *pcm, int byteCount, int qualityLevel,
                   size_t outputCapacity) {
    return encodeSegmentAs(output, pcm, byteCount, qualityLevel, appState.sampleRate,
                           appState.channelCount, outputCapacity);
}

int encodeSegmentAs(unsigned char *output, const unsigned char *pcm, int byteCount,
                    int qualityLevel, int rate, int channels, size_t outputCapacity) {
    if (channels != 1 && channels != 2) {
        return 0;
    }
    if (byteCount < 0) {
        byteCount = 0;
    }

    vorbis_info info;
    if (!initQuality(&info, channels, rate, qualityLevel)) {
        return 0;
    }

    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);

    // The serial number changes once a second; every file is a stream of its own, so two files
    // sharing one is harmless.
    srand(static_cast<unsigned>(time(nullptr)));
    ogg_stream_state stream;
    ogg_stream_init(&stream, rand() & 0x7FFF);

    ogg_packet identification;
    ogg_packet commentHeader;
    ogg_packet setup;
    vorbis_analysis_headerout(&dsp, &comment, &identification, &commentHeader, &setup);
    ogg_stream_packetin(&stream, &identification);
    ogg_stream_packetin(&stream, &commentHeader);
    ogg_stream_packetin(&stream, &setup);

    OutputCursor cursor = {output, output, outputCapacity, false};
    ogg_page page;
    while (!cursor.overflow && ogg_stream_flush(&stream, &page) != 0) {
        copyPage(&cursor, &page);
    }

    unsigned char *scratch = new unsigned char[kScratchBytes];
    int frameBytes = 2 * channels;
    int passBytes = kFramesPerPass * frameBytes;
    int consumed = 0;
    bool endOfStream = false;
    bool endOfInput = false;
    ogg_packet packet;

    while (!endOfStream && !cursor.overflow) {
        if (endOfInput) {
            // The library ends every stream on the pass that reports the end of input; a stream
            // without its end-of-stream page is never handed out.
            cursor.overflow = true;
            break;
        }
        int n = byteCount - consumed;
        if (n > passBytes) {
            n = passBytes;
        }
        memcpy(scratch, pcm + consumed, static_cast<size_t>(n));
        consumed += n;

        int frames = n > 0 ? feedFrames(&dsp, scratch, n, channels) : 0;
        vorbis_analysis_wrote(&dsp, frames);
        endOfInput = frames == 0;

        while (!cursor.overflow && vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            while (!cursor.overflow && vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (!endOfStream && !cursor.overflow && ogg_stream_pageout(&stream, &page)) {
                    copyPage(&cursor, &page);
                    if (ogg_page_eos(&page)) {
                        endOfStream = true;
                    }
                }
            }
        }
    }

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    delete[] scratch;

    if (cursor.overflow || !endOfStream) {
        return 0;
    }
    return static_cast<int>(cursor.position - output);
}
