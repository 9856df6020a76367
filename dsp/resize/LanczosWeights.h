// What every Lanczos kernel shares: the sampled three-lobe window, the weight blocks
// built from it, and the vertical passes that combine six filtered rows.
#pragma once

#include <type_traits>

#include "dsp/resize/ResizeTypes.h"

namespace dcs {

// L(i / 100) for i = 0 .. 300, L(x) = sinc(x) * sinc(x / 3).
extern const float LanczosWeightTable[301];

// Six weights per fraction t, for the taps base - 2 .. base + 3, normalised to sum 1;
// nothing for count < 1.
void dspLanczosWeights(const float* fractions, int count, float* blocks) noexcept;

// One destination row from the window rows[0 .. 5] (rows y - 2 .. y + 3) and the row's
// six weights: `n` consecutive elements (Pitch 1) or elements 0 .. 2 of `n` four-element
// pixels (Pitch 4, three buffer values per pixel). Integers are rounded with the
// 0.5000001 bias and saturate; floats are stored unclamped.
template <class T, int Pitch = 1>
void dspLanczosColumn(T* dst, int n, const float* w, const float* const rows[6]) noexcept
{
    constexpr int per = Pitch == 1 ? 1 : 3;
    const float *b0 = rows[0], *b1 = rows[1], *b2 = rows[2], *b3 = rows[3], *b4 = rows[4], *b5 = rows[5];
    const double w0 = w[0], w1 = w[1], w2 = w[2], w3 = w[3], w4 = w[4], w5 = w[5];
    for (int i = 0; i < n; ++i, dst += Pitch) {
        for (int c = 0; c < per; ++c) {
            const int e = i * per + c;
            const double v = b0[e] * w0 + b1[e] * w1 + b2[e] * w2 + b3[e] * w3 + b4[e] * w4 + b5[e] * w5;
            dst[c] = ResizeRoundOut<T>(v);
        }
    }
}

}  // namespace dcs
