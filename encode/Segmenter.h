// The consumer end of recording and conversion: drains PcmQueue, maps every sample through the
// volume curve, measures the peaks, accumulates the PCM and cuts it into numbered segment files
// with index.txt in the programme folder.
#pragma once

// Segment length in 16-bit sample values (a stereo frame counts 2), by quality level -2..9 and
// channel count; the same for 8000, 16000 and 32000 Hz.
extern const int SegmentSizeTable[12][2];

// The table entry for the settings; out-of-range levels and channel counts use the nearest row
// and column.
int segmentSize(int sampleRate, int channelCount, int qualityLevel);

// Numbering modes: plain for conversions and for recordings without loop recording, a ring of
// 100 files with the start file 15 behind the newest for recordings with it.
inline constexpr int kPlainStartLag = 0;
inline constexpr int kPlainModulus = 10000000;
inline constexpr int kLoopStartLag = 15;
inline constexpr int kLoopModulus = 100;

// The start lag and file-number modulus of the current numbering mode (converting and
// loopRecording of appState).
void currentNumberingMode(int *startLag, int *modulus);

// One step: takes the chunks waiting in PcmQueue, stores the largest absolute mapped value of
// each channel through the peaks, and writes every segment that is complete; with final set, also
// writes what is left as a last, shorter file and (in plain numbering) the final index.
void Segmenter(int *firstPeak, int *secondPeak, int final, int startLag, int modulus);
