// The volume transfer curve: a table of 65536 output samples indexed by input sample + 32768.
#pragma once

// Fills curve (65536 entries) from the volume factor x (0.01 to 2.00): the identity at 1.00,
// under the diagonal below it, over the diagonal above it. The negative half mirrors the positive
// half and entry 0 (input -32768) is always -32768.
void buildVolumeCurve(double x, int *curve);

// Fills curve with the identity, entry i = i - 32768.
void fillIdentityCurve(int *curve);
