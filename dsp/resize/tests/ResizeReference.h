// A per-pixel resize in long double, written from the coordinate rules rather than from
// the kernels: every destination sample is the 2-D weighted sum of its source taps (not
// separable, no row buffers, no float intermediates). Shared by the tests and the
// benchmark.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

#include "dsp/resize/LanczosWeights.h"
#include "dsp/resize/ResizeTypes.h"

namespace dcs::resize_ref {

struct Tap {
    int index;  // absolute column or row of the image
    long double weight;
};

// One axis of a request: the image's length, the (unclipped) ROI, room and factor.
struct AxisSpec {
    int srcLen;
    int origin;
    int roiLen;
    int room;
    double factor;
    double shift;
};

struct Axis {
    int count = 0;  // effective destination length; 0 when the result would be empty
    std::vector<std::vector<Tap>> taps;
    std::vector<int> q14Low;  // linear 8u/16u: absolute lower tap and its Q14 weight pair
    std::vector<int> q14W1;
};

inline long double Lagrange(int i, long double t)
{
    switch (i) {
    case 0: return -t * (t - 1) * (t - 2) / 6;
    case 1: return (t + 1) * (t - 1) * (t - 2) / 2;
    case 2: return -(t + 1) * t * (t - 2) / 2;
    default: return (t + 1) * t * (t - 1) / 6;
    }
}

inline long double LanczosTable(long double d)
{
    if (d <= -3 || d >= 3)
        return 0;
    const long double x = std::fabs(d) * 100;
    const int j = static_cast<int>(x);
    return LanczosWeightTable[j] +
        (LanczosWeightTable[j + 1] - static_cast<long double>(LanczosWeightTable[j])) * (x - j);
}

// interpolation after lowering; super boxes use a = 1/factor rounded to double.
inline Axis BuildAxis(int interpolation, bool q14, const AxisSpec& s)
{
    Axis ax;
    const int roiLen = std::min(s.roiLen, s.srcLen - s.origin);
    const long double scaled = static_cast<long double>(roiLen) * s.factor + 1e-7;
    long long n = static_cast<long long>(scaled);
    if (n >= s.room)
        n = s.room;
    else if (n <= 0)
        n = scaled < 0.5 ? 0 : 1;
    ax.count = static_cast<int>(n);
    ax.taps.resize(ax.count);
    const int last = s.srcLen - s.origin - 1;
    if (interpolation == InterpSuper) {
        const long double a = static_cast<double>(1.0L / s.factor);
        for (int j = 0; j < ax.count; ++j) {
            const long double lo = j * a, hi = (j + 1) * a;
            for (long long u = static_cast<long long>(std::floor(lo)); u < hi; ++u) {
                const long double w = std::min<long double>(u + 1, hi) - std::max<long double>(u, lo);
                if (w > 0)
                    ax.taps[j].push_back({s.origin + static_cast<int>(std::min<long long>(u, roiLen - 1)), w});
            }
        }
        return ax;
    }
    double step;
    if (interpolation == InterpNearest)
        step = 1.0 / s.factor;
    else
        step = roiLen * static_cast<long double>(s.factor) > 1
            ? static_cast<double>((roiLen - 1) / (roiLen * static_cast<long double>(s.factor) - 1))
            : 0.0;
    long double pos = s.shift + (interpolation == InterpNearest ? 0.5L * step : 0.0L);
    ax.q14Low.resize(ax.count);
    ax.q14W1.resize(ax.count);
    for (int j = 0; j < ax.count; ++j, pos += step) {
        int k = static_cast<int>(pos + 1e-7L);
        if (interpolation == InterpNearest) {
            ax.taps[j].push_back({s.origin + std::min(k, roiLen - 1), 1});
            continue;
        }
        const bool beyond = k > last;
        k = std::min(k, last);
        if (interpolation == InterpLinear) {
            long double t = pos - k;
            if (k == last) {
                k = last - 1;
                t = 1;
            }
            if (q14) {
                ax.q14Low[j] = s.origin + k;
                ax.q14W1[j] = static_cast<int>(t * 16384 + 1e-7L);
            }
            const long double tf = static_cast<float>(t);
            ax.taps[j] = {{s.origin + k, 1 - tf}, {s.origin + k + 1, tf}};
        } else if (interpolation == InterpCubic) {
            const int r = s.origin + k;
            long double t;
            if (r == s.srcLen - 1) {
                k -= 2;
                t = 2;
            } else {
                k += r == 0 ? 1 : (r == s.srcLen - 2 ? -1 : 0);
                t = static_cast<float>(pos - k);
            }
            for (int i = 0; i < 4; ++i)
                ax.taps[j].push_back({s.origin + k - 1 + i, Lagrange(i, t)});
        } else {
            const long double t = beyond ? 0.0f : static_cast<float>(pos - k);
            long double sum = 0;
            long double w[6];
            for (int i = 0; i < 6; ++i)
                sum += (w[i] = LanczosTable(i - 2 - t));
            for (int i = 0; i < 6; ++i)
                ax.taps[j].push_back({std::clamp(s.origin + k - 2 + i, 0, s.srcLen - 1), w[i] / sum});
        }
    }
    return ax;
}

// A source image as the test stores it: row r of the image starts at row0 + r * step.
template <class T> struct View {
    const T* row0;
    std::ptrdiff_t step;  // elements, either sign
    int stride;
    T At(int r, int c, int ch) const { return row0[r * step + static_cast<std::ptrdiff_t>(c) * stride + ch]; }
};

// Result of one reference resize: dstW x dstH pixels of `channels` long doubles (the value
// before output rounding; the exact integer for nearest and 8u/16u linear).
struct Result {
    int dstW = 0;
    int dstH = 0;
    int channels = 0;
    std::vector<long double> v;
    long double At(int i, int j, int ch) const { return v[(static_cast<std::size_t>(i) * dstW + j) * channels + ch]; }
};

inline int Lowered(int interpolation, int w, int h)
{
    const int least = std::min(w, h);
    if (least < 8 && interpolation == InterpLanczos)
        interpolation = InterpCubic;
    if (least < 4 && interpolation == InterpCubic)
        interpolation = InterpLinear;
    if (least < 2 && interpolation != InterpSuper)
        interpolation = InterpNearest;
    return interpolation;
}

// Calls sink(i, j, ch, value) for every destination sample, value being the sample
// before output rounding (the exact integer for nearest and 8u/16u linear). Returns the
// destination size.
template <class T, class Sink>
VpiSize ResizeEach(const View<T>& src, int srcW, int srcH, VpiRect roi, VpiSize room, double xF, double yF,
                   int channels, int interpolation, Sink&& sink, double xShift = 0, double yShift = 0)
{
    interpolation = Lowered(interpolation, srcW, srcH);
    const bool q14 = interpolation == InterpLinear && !std::is_floating_point_v<T>;
    const Axis cols = BuildAxis(interpolation, q14, {srcW, roi.x, roi.width, room.width, xF, xShift});
    const Axis rows = BuildAxis(interpolation, q14, {srcH, roi.y, roi.height, room.height, yF, yShift});
    const long double scale = interpolation == InterpSuper ? static_cast<long double>(xF) * yF : 1.0L;
    for (int i = 0; i < rows.count; ++i) {
        for (int j = 0; j < cols.count; ++j) {
            for (int ch = 0; ch < channels; ++ch) {
                if constexpr (!std::is_floating_point_v<T>) {
                    if (q14) {
                        // Row pass rounding (8u: to 1/64, 16u: to 1), then column pass rounding.
                        const int shift = sizeof(T) == 1 ? 8 : 14;
                        const std::uint32_t w1 = cols.q14W1[j], w0 = 16384 - w1;
                        const auto rowValue = [&](int r) {
                            const int c = cols.q14Low[j];
                            return (src.At(r, c, ch) * w0 + src.At(r, c + 1, ch) * w1 + (1u << (shift - 1))) >> shift;
                        };
                        const std::uint32_t v1 = rows.q14W1[i], v0 = 16384 - v1;
                        const int cshift = sizeof(T) == 1 ? 20 : 14;
                        const int r = rows.q14Low[i];
                        sink(i, j, ch,
                             static_cast<long double>(
                                 (v0 * rowValue(r) + v1 * rowValue(r + 1) + (1u << (cshift - 1))) >> cshift));
                        continue;
                    }
                }
                long double sum = 0;
                for (const Tap& tr : rows.taps[i])
                    for (const Tap& tc : cols.taps[j])
                        sum += tr.weight * tc.weight * static_cast<long double>(src.At(tr.index, tc.index, ch));
                sink(i, j, ch, sum * scale);
            }
        }
    }
    return {cols.count, rows.count};
}

template <class T>
Result Resize(const View<T>& src, int srcW, int srcH, VpiRect roi, VpiSize room, double xF, double yF, int channels,
              int interpolation, double xShift = 0, double yShift = 0)
{
    Result res;
    res.channels = channels;
    std::vector<long double>& v = res.v;
    const VpiSize size = ResizeEach(
        src, srcW, srcH, roi, room, xF, yF, channels, interpolation,
        [&v](int, int, int, long double x) { v.push_back(x); }, xShift, yShift);
    res.dstW = size.width;
    res.dstH = size.height;
    return res;
}

}  // namespace dcs::resize_ref
