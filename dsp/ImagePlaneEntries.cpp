#include "dsp/ImagePlaneEntries.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <utility>

namespace dcs {

namespace {

inline const Vps8u* Row(const Vps8u* p, int step, int y) { return p + static_cast<std::ptrdiff_t>(step) * y; }
inline Vps8u* Row(Vps8u* p, int step, int y) { return p + static_cast<std::ptrdiff_t>(step) * y; }

inline bool BadRegion(VpiSize s) { return s.width <= 0 || s.height <= 0; }

// v / 255 rounded down, exact for v up to 255 * 255.
inline int Div255(int v) { return (v + (v >> 8) + 1) >> 8; }
inline int Sat(int v) { return v > 255 ? 255 : v; }

// One channel of a composition: colour c of the two sources (the alpha channels for the
// fourth byte) with alphas aA and aB.
template <int Type> int ComposeColour(int A, int aA, int B, int aB)
{
    if constexpr (Type == vpiAlphaOver)
        return Div255(A * aA) + Div255(Div255(B * aB) * (255 - aA));
    if constexpr (Type == vpiAlphaIn)
        return Div255(Div255(A * aA) * aB);
    if constexpr (Type == vpiAlphaOut)
        return Div255(Div255(A * aA) * (255 - aB));
    if constexpr (Type == vpiAlphaATop)
        return Div255(Div255(A * aA) * aB) + Div255(Div255(B * aB) * (255 - aA));
    if constexpr (Type == vpiAlphaXor)
        return Div255(Div255(A * aA) * (255 - aB)) + Div255(Div255(B * aB) * (255 - aA));
    if constexpr (Type == vpiAlphaPlus)
        return Sat(Div255(A * aA) + Div255(B * aB));
    if constexpr (Type == vpiAlphaOverPremul)
        return Sat(A + Div255(B * (255 - aA)));
    if constexpr (Type == vpiAlphaInPremul)
        return Div255(A * aB);
    if constexpr (Type == vpiAlphaOutPremul)
        return Div255(A * (255 - aB));
    if constexpr (Type == vpiAlphaATopPremul)
        return Sat(Div255(A * aB) + Div255(B * (255 - aA)));
    if constexpr (Type == vpiAlphaXorPremul)
        return Sat(Div255(A * (255 - aB)) + Div255(B * (255 - aA)));
    return Sat(A + B);  // plus, premultiplied
}

template <int Type> int ComposeAlpha(int aA, int aB)
{
    switch (Type % 6) {
    case vpiAlphaOver: return aA + Div255(aB * (255 - aA));
    case vpiAlphaIn: return Div255(aA * aB);
    case vpiAlphaOut: return Div255(aA * (255 - aB));
    case vpiAlphaATop: return aB;
    case vpiAlphaXor: return Div255(aA * (255 - aB)) + Div255(aB * (255 - aA));
    default: return Sat(aA + aB);
    }
}

template <int Type> void ComposeRow(const Vps8u* s1, const Vps8u* s2, Vps8u* d, int width)
{
    for (int x = 0; x < width; ++x, s1 += 4, s2 += 4, d += 4) {
        const int aA = s1[3], aB = s2[3];
        for (int c = 0; c < 3; ++c)  // every result is bounded by 255 already; Sat guards it
            d[c] = static_cast<Vps8u>(Sat(ComposeColour<Type>(s1[c], aA, s2[c], aB)));
        d[3] = static_cast<Vps8u>(Sat(ComposeAlpha<Type>(aA, aB)));
    }
}

using ComposeRowFn = void (*)(const Vps8u*, const Vps8u*, Vps8u*, int);

template <int... Types> constexpr auto MakeComposeTable(std::integer_sequence<int, Types...>)
{
    return std::array<ComposeRowFn, sizeof...(Types)> {&ComposeRow<Types>...};
}

constexpr auto kComposeRows = MakeComposeTable(std::make_integer_sequence<int, 12> {});

// The 256-entry table of one channel of the piecewise-linear mapping. Levels outside
// 0..256 are clipped in every step, so no level can reach outside the table.
void BuildLinearTable(Vps8u (&t)[256], const Vps32s* levels, const Vps32s* values, int n)
{
    auto clip = [](double v, double lo, double hi) { return v < lo ? lo : v > hi ? hi : v; };
    for (int i = 0; i < 256; ++i)
        t[i] = static_cast<Vps8u>(i);  // below the first level and from the last one on
    for (int k = 0; k + 1 < n; ++k) {
        const double l0 = levels[k], l1 = levels[k + 1];
        if (!(l0 < l1))
            continue;
        const int from = static_cast<int>(clip(l0, 0, 255));
        const int to = static_cast<int>(clip(l1, 0, 256));
        if (to - from == 1) {
            t[from] = static_cast<Vps8u>(clip(values[k], 0, 255));
            continue;
        }
        const double v0 = values[k];
        const double slope = (static_cast<double>(values[k + 1]) - v0) / (l1 - l0);
        for (int j = from; j < to; ++j)
            t[j] = static_cast<Vps8u>(clip(std::trunc(0.5 + v0 - slope * l0 + slope * j), 0, 255));
    }
    // Past the last level the bytes are unchanged; levels beyond 0..256 clip to the table.
    const int last = static_cast<int>(clip(levels[n - 1], 0, 256));
    for (int i = last; i < 256; ++i)
        t[i] = static_cast<Vps8u>(i);
}

template <int Channels>
VpsStatus MirrorCopy(const Vps8u* pSrc, int srcStep, Vps8u* pDst, int dstStep, VpiSize size, int flip)
{
    if (pSrc == nullptr || pDst == nullptr)
        return StatusNullPointer;
    if (BadRegion(size))
        return StatusBadSize;
    if (flip < vpiAxsHorizontal || flip > vpiAxsBoth)
        return StatusBadMirrorAxis;
    const std::ptrdiff_t w = size.width;
    const int h = size.height;
    for (int y = 0; y < h; ++y) {
        const Vps8u* s = Row(pSrc, srcStep, y);
        Vps8u* d = Row(pDst, dstStep, flip == vpiAxsVertical ? y : h - 1 - y);
        if (flip == vpiAxsHorizontal) {
            std::memcpy(d, s, static_cast<std::size_t>(w) * Channels);
            continue;
        }
        for (std::ptrdiff_t x = 0; x < w; ++x)
            std::memcpy(d + (w - 1 - x) * Channels, s + x * Channels, Channels);
    }
    return StatusOk;
}

void SwapPixels(Vps8u* a, Vps8u* b) { std::swap_ranges(a, a + 3, b); }

void ReverseRow(Vps8u* row, std::ptrdiff_t w)
{
    for (std::ptrdiff_t x = 0; x < w / 2; ++x)
        SwapPixels(row + 3 * x, row + 3 * (w - 1 - x));
}

}  // namespace

namespace fallback {

VpsStatus vpiAlphaComp_8u_AC4R(const Vps8u* pSrc1, int src1Step, const Vps8u* pSrc2, int src2Step, Vps8u* pDst,
                               int dstStep, VpiSize roiSize, int alphaType)
{
    if (pSrc1 == nullptr || pSrc2 == nullptr || pDst == nullptr)
        return StatusNullPointer;
    if (roiSize.width < 1 || roiSize.height < 1)
        return StatusBadSize;
    if (static_cast<unsigned>(alphaType) > static_cast<unsigned>(vpiAlphaPlusPremul))
        return StatusBadAlphaType;
    const ComposeRowFn row = kComposeRows[static_cast<std::size_t>(alphaType)];
    for (int y = 0; y < roiSize.height; ++y)
        row(Row(pSrc1, src1Step, y), Row(pSrc2, src2Step, y), Row(pDst, dstStep, y), roiSize.width);
    return StatusOk;
}

VpsStatus vpiCopy_8u_C4R(const Vps8u* pSrc, int srcStep, Vps8u* pDst, int dstStep, VpiSize roiSize)
{
    if (pSrc == nullptr || pDst == nullptr)
        return StatusNullPointer;
    if (BadRegion(roiSize))
        return StatusBadSize;
    for (int y = 0; y < roiSize.height; ++y)
        std::memcpy(Row(pDst, dstStep, y), Row(pSrc, srcStep, y), static_cast<std::size_t>(roiSize.width) * 4);
    return StatusOk;
}

VpsStatus vpiSet_8u_C4R(const Vps8u value[4], Vps8u* pDst, int dstStep, VpiSize roiSize)
{
    if (pDst == nullptr || value == nullptr)
        return StatusNullPointer;
    if (BadRegion(roiSize))
        return StatusBadSize;
    if (dstStep <= 0)
        return StatusBadStep;
    for (int y = 0; y < roiSize.height; ++y) {
        Vps8u* d = Row(pDst, dstStep, y);
        for (std::ptrdiff_t x = 0; x < roiSize.width; ++x)
            std::memcpy(d + 4 * x, value, 4);
    }
    return StatusOk;
}

VpsStatus vpiLUT_Linear_8u_C4R(const Vps8u* pSrc, int srcStep, Vps8u* pDst, int dstStep, VpiSize roiSize,
                               const Vps32s* const* pValues, const Vps32s* const* pLevels, const int* nLevels)
{
    if (pSrc == nullptr || pDst == nullptr || pValues == nullptr || pLevels == nullptr || nLevels == nullptr)
        return StatusNullPointer;
    for (int c = 0; c < 4; ++c) {
        if (pValues[c] == nullptr || pLevels[c] == nullptr)
            return StatusNullPointer;
        if (nLevels[c] < 2)
            return StatusBadLutLevels;
    }
    if (roiSize.width < 1 || roiSize.height < 1)
        return StatusBadSize;
    if (srcStep < 1 || dstStep < 1)
        return StatusBadStep;
    Vps8u tables[4][256];
    for (int c = 0; c < 4; ++c)
        BuildLinearTable(tables[c], pLevels[c], pValues[c], nLevels[c]);
    for (int y = 0; y < roiSize.height; ++y) {
        const Vps8u* s = Row(pSrc, srcStep, y);
        Vps8u* d = Row(pDst, dstStep, y);
        for (std::ptrdiff_t i = 0; i < static_cast<std::ptrdiff_t>(roiSize.width) * 4; ++i)
            d[i] = tables[i & 3][s[i]];
    }
    return StatusOk;
}

VpsStatus vpiMirror_8u_C4R(const Vps8u* pSrc, int srcStep, Vps8u* pDst, int dstStep, VpiSize roiSize, int flip)
{
    return MirrorCopy<4>(pSrc, srcStep, pDst, dstStep, roiSize, flip);
}

VpsStatus vpiMirror_8u_C3R(const Vps8u* pSrc, int srcStep, Vps8u* pDst, int dstStep, VpiSize roiSize, int flip)
{
    return MirrorCopy<3>(pSrc, srcStep, pDst, dstStep, roiSize, flip);
}

VpsStatus vpiMirror_8u_C3IR(Vps8u* pSrcDst, int srcDstStep, VpiSize roiSize, int flip)
{
    if (pSrcDst == nullptr)
        return StatusNullPointer;
    if (BadRegion(roiSize))
        return StatusBadSize;
    if (flip < vpiAxsHorizontal || flip > vpiAxsBoth)
        return StatusBadMirrorAxis;
    const std::ptrdiff_t w = roiSize.width;
    const int h = roiSize.height;
    const std::size_t rowBytes = static_cast<std::size_t>(w) * 3;
    if (flip == vpiAxsVertical) {
        for (int y = 0; y < h; ++y)
            ReverseRow(Row(pSrcDst, srcDstStep, y), w);
        return StatusOk;
    }
    for (int y = 0; y < h / 2; ++y) {
        Vps8u* a = Row(pSrcDst, srcDstStep, y);
        Vps8u* b = Row(pSrcDst, srcDstStep, h - 1 - y);
        if (flip == vpiAxsHorizontal) {
            std::swap_ranges(a, a + rowBytes, b);
        } else {
            for (std::ptrdiff_t x = 0; x < w; ++x)
                SwapPixels(a + 3 * x, b + 3 * (w - 1 - x));
        }
    }
    if (flip == vpiAxsBoth && h % 2 != 0)
        ReverseRow(Row(pSrcDst, srcDstStep, h / 2), w);
    return StatusOk;
}

}  // namespace fallback

DCS_DSP_DEFINE(vpiAlphaComp_8u_AC4R)
DCS_DSP_DEFINE(vpiCopy_8u_C4R)
DCS_DSP_DEFINE(vpiSet_8u_C4R)
DCS_DSP_DEFINE(vpiLUT_Linear_8u_C4R)
DCS_DSP_DEFINE(vpiMirror_8u_C4R)
DCS_DSP_DEFINE(vpiMirror_8u_C3R)
DCS_DSP_DEFINE(vpiMirror_8u_C3IR)

constexpr DspEntryDef kPlaneEntries[] = {
    DCS_DSP_ENTRY(vpiMirror_8u_C3IR), DCS_DSP_ENTRY(vpiAlphaComp_8u_AC4R), DCS_DSP_ENTRY(vpiCopy_8u_C4R),
    DCS_DSP_ENTRY(vpiSet_8u_C4R),     DCS_DSP_ENTRY(vpiLUT_Linear_8u_C4R), DCS_DSP_ENTRY(vpiMirror_8u_C4R),
    DCS_DSP_ENTRY(vpiMirror_8u_C3R),
};

constexpr DspEntryDef kSupplementaryPlaneEntries[] = {
    DCS_DSP_ENTRY(vpiSet_8u_C4R),
};

void RegisterPlaneEntries(DspRegistrar& r) { r.Add(kPlaneEntries); }

void RegisterSupplementaryPlaneEntries(DspRegistrar& r) { r.Add(kSupplementaryPlaneEntries); }

}  // namespace dcs
