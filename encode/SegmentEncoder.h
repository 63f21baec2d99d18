// Encodes one segment of 16-bit PCM into one complete, self-contained Ogg Vorbis stream.
#pragma once

#include <cstddef>

#include "app/AppState.h"

// Encodes byteCount bytes of interleaved signed 16-bit little-endian PCM (with the sampleRate and
// channelCount of appState) at the Vorbis quality qualityLevel x 0.1 into output, which holds
// outputCapacity bytes. Returns the number of bytes of the stream, whose last page carries the
// end-of-stream mark, or 0 when the library accepts no quality for the rate and channel count or
// when the stream would not fit; output then holds nothing usable.
int SegmentEncoder(unsigned char *output, const unsigned char *pcm, int byteCount, int qualityLevel,
                   size_t outputCapacity = kEncodedBufferSize);

// The same for PCM of the given rate and channel count, whatever appState holds.
int encodeSegmentAs(unsigned char *output, const unsigned char *pcm, int byteCount,
                    int qualityLevel, int sampleRate, int channelCount, size_t outputCapacity);
