// Per-sample arithmetic, gain, fills and width conversions for the sample widths the
// registry's integer entries do not cover: 8-bit samples centred on 127, packed 24-bit
// samples and 32-bit samples.
//
// A region (width, height) is walked as width × height samples, each `Step` bytes after
// the previous one; callers pass width 1, i.e. one column (one channel of interleaved
// data). A region or length of zero or less does nothing. Scale factors and algorithm
// hints stand where the matching registry entries have them and are ignored. Nothing is
// checked: the caller keeps addresses and counts inside its memory. Addresses need no
// alignment.
//
// Sums, differences and gains saturate at the ends of the sample range (0..255 for
// 8-bit bytes); products keep their low bits. Division by zero is never a fault here:
// the 8-bit forms give the zero level, the 24- and 32-bit forms leave the sample as it
// was, and INT_MIN / -1 wraps to INT_MIN.
#pragma once

#include "dsp/DspTypes.h"

#include <cstdint>

namespace dcs {

// --- two sample columns: Dst := Dst op Src -------------------------------------------
// 8-bit: zero level 127; products and quotients modulo 256.
void AddSamples8(const uint8_t* Src, int SrcStep, uint8_t* Dst, int DstStep, VpiSize Region, int ScaleFactor);
void SubSamples8(const uint8_t* Src, int SrcStep, uint8_t* Dst, int DstStep, VpiSize Region, int ScaleFactor);
void MulSamples8(const uint8_t* Src, int SrcStep, uint8_t* Dst, int DstStep, VpiSize Region, int ScaleFactor);
void DivSamples8(const uint8_t* Src, int SrcStep, uint8_t* Dst, int DstStep, VpiSize Region, int ScaleFactor);
// 24-bit: 32-bit products and truncating division, stored with WriteSample24.
void AddSamples24(const void* Src, int SrcStep, void* Dst, int DstStep, VpiSize Region, int ScaleFactor);
// AddSamples24 over Count packed samples one after the other (whole frames of equal layout).
void AddSamplesContiguous24(const void* Src, void* Dst, int64_t Count);
void SubSamples24(const void* Src, int SrcStep, void* Dst, int DstStep, VpiSize Region, int ScaleFactor);
void MulSamples24(const void* Src, int SrcStep, void* Dst, int DstStep, VpiSize Region, int ScaleFactor);
void DivSamples24(const void* Src, int SrcStep, void* Dst, int DstStep, VpiSize Region, int ScaleFactor);
// 32-bit: low 32 bits of products, division truncating.
void AddSamples32(const int32_t* Src, int SrcStep, int32_t* Dst, int DstStep, VpiSize Region, int ScaleFactor);
void SubSamples32(const int32_t* Src, int SrcStep, int32_t* Dst, int DstStep, VpiSize Region, int ScaleFactor);
void MulSamples32(const int32_t* Src, int SrcStep, int32_t* Dst, int DstStep, VpiSize Region, int ScaleFactor);
void DivSamples32(const int32_t* Src, int SrcStep, int32_t* Dst, int DstStep, VpiSize Region, int ScaleFactor);

// --- with a constant: Dst := Dst op Value ----------------------------------------------
// Len contiguous 24-bit samples.
void AddConst24(int32_t Value, void* Dst, int Len, int ScaleFactor);
void SubConst24(int32_t Value, void* Dst, int Len, int ScaleFactor);
void MulConst24(int32_t Value, void* Dst, int Len, int ScaleFactor);
void DivConst24(int32_t Value, void* Dst, int Len, int ScaleFactor);
void AddConstStrided24(int32_t Value, void* Dst, int Step, VpiSize Region, int ScaleFactor);
void SubConstStrided24(int32_t Value, void* Dst, int Step, VpiSize Region, int ScaleFactor);
void MulConstStrided24(int32_t Value, void* Dst, int Step, VpiSize Region, int ScaleFactor);
void DivConstStrided24(int32_t Value, void* Dst, int Step, VpiSize Region, int ScaleFactor);
void AddConstStrided32(int32_t Value, int32_t* Dst, int Step, VpiSize Region, int ScaleFactor);
void SubConstStrided32(int32_t Value, int32_t* Dst, int Step, VpiSize Region, int ScaleFactor);
void MulConstStrided32(int32_t Value, int32_t* Dst, int Step, VpiSize Region, int ScaleFactor);
void DivConstStrided32(int32_t Value, int32_t* Dst, int Step, VpiSize Region, int ScaleFactor);

// --- with a constant into another column: Dst := Src op Value ---------------------------
void AddConstTo24(const void* Src, int32_t Value, void* Dst, int Len, int ScaleFactor);
void SubConstTo24(const void* Src, int32_t Value, void* Dst, int Len, int ScaleFactor);
void MulConstTo24(const void* Src, int32_t Value, void* Dst, int Len, int ScaleFactor);
void DivConstTo24(const void* Src, int32_t Value, void* Dst, int Len, int ScaleFactor);
// Src and Dst advance by the same Step.
void AddConstStridedTo24(const void* Src, int32_t Value, void* Dst, int Step, VpiSize Region, int ScaleFactor);
void SubConstStridedTo24(const void* Src, int32_t Value, void* Dst, int Step, VpiSize Region, int ScaleFactor);
void MulConstStridedTo24(const void* Src, int32_t Value, void* Dst, int Step, VpiSize Region, int ScaleFactor);
void DivConstStridedTo24(const void* Src, int32_t Value, void* Dst, int Step, VpiSize Region, int ScaleFactor);
void AddConstStridedTo32(const int32_t* Src, int32_t Value, int32_t* Dst, int Step, VpiSize Region, int ScaleFactor);
void SubConstStridedTo32(const int32_t* Src, int32_t Value, int32_t* Dst, int Step, VpiSize Region, int ScaleFactor);
void MulConstStridedTo32(const int32_t* Src, int32_t Value, int32_t* Dst, int Step, VpiSize Region, int ScaleFactor);
void DivConstStridedTo32(const int32_t* Src, int32_t Value, int32_t* Dst, int Step, VpiSize Region, int ScaleFactor);

// --- gain: Dst := round(x × Coefficient), ties to even, saturated ---------------------
// A coefficient of 1.0 (or NaN) writes nothing, the copying forms included. The 8-bit
// forms scale the byte as it is, not around 127. A product that is no number (0 ×
// infinity) leaves that sample as it was.
void ScaleSamples8(uint8_t* Dst, int Step, VpiSize Region, double Coefficient);
void ScaleSamples16(int16_t* Dst, int Step, VpiSize Region, double Coefficient);
void ScaleSamples24(void* Dst, int Step, VpiSize Region, double Coefficient);
void ScaleSamples32(int32_t* Dst, int Step, VpiSize Region, double Coefficient);
void ScaleSamplesTo8(const uint8_t* Src, uint8_t* Dst, int Step, VpiSize Region, double Coefficient);
void ScaleSamplesTo16(const int16_t* Src, int16_t* Dst, int Step, VpiSize Region, double Coefficient);
void ScaleSamplesTo24(const void* Src, void* Dst, int Step, VpiSize Region, double Coefficient);
void ScaleSamplesTo32(const int32_t* Src, int32_t* Dst, int Step, VpiSize Region, double Coefficient);

// --- width conversions between full-scale values (divisions truncate) -------------------
void ConvertSamples8To24(const uint8_t* Src, int SrcStep, void* Dst, int DstStep, VpiSize Region);
void ConvertSamples16To24(const int16_t* Src, int SrcStep, void* Dst, int DstStep, VpiSize Region);
// ConvertSamples16To24 of one column into every channel of Frames packed 24-bit frames.
void ConvertSamples16To24Channels(const int16_t* Src, int SrcStep, void* Dst, int Frames, int Channels);
void ConvertSamples16To32(const int16_t* Src, int SrcStep, int32_t* Dst, int DstStep, VpiSize Region);
void ConvertSamples24To32(const void* Src, int SrcStep, int32_t* Dst, int DstStep, VpiSize Region);
void ConvertSamples24To8(const void* Src, int SrcStep, uint8_t* Dst, int DstStep, VpiSize Region, int Hint);
void ConvertSamples24To16(const void* Src, int SrcStep, int16_t* Dst, int DstStep, VpiSize Region, int Hint);
void ConvertSamples32To16(const int32_t* Src, int SrcStep, int16_t* Dst, int DstStep, VpiSize Region, int Hint);
void ConvertSamples32To24(const int32_t* Src, int SrcStep, void* Dst, int DstStep, VpiSize Region, int Hint);

// --- packed 24-bit samples ------------------------------------------------------------
// Little-endian two's complement, sign-extended to 32 bits. Inline: every 24-bit loop
// reads and writes through these, a call per sample would cost more than the sample.
inline int32_t ReadSample24(const void* Src)
{
    const auto* b = static_cast<const uint8_t*>(Src);
    const int32_t v = int32_t(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16);
    return (v ^ 0x800000) - 0x800000;
}
// The low three bytes of Value; a negative Value also sets the sign bit of the sample.
inline void WriteSample24(int32_t Value, void* Dst)
{
    auto* b = static_cast<uint8_t*>(Dst);
    const auto u = static_cast<uint32_t>(Value);
    b[0] = uint8_t(u);
    b[1] = uint8_t(u >> 8);
    b[2] = uint8_t((u >> 16) | (Value < 0 ? 0x80u : 0u));
}
void ZeroSamples24(void* Dst, int Len);
// Writes exactly 3 × Len bytes.
void FillSamples24(int32_t Value, void* Dst, int Len);
void SetSamplesStrided24(int32_t Value, void* Dst, int Step, VpiSize Region);
void SetSamplesStrided32(int32_t Value, int32_t* Dst, int Step, VpiSize Region);
void CopySamplesStrided24(const void* Src, int SrcStep, void* Dst, int DstStep, VpiSize Region);

// Converts Count samples of one column between the widths 8, 16, 24 and 32. Equal or
// other widths do nothing.
void ConvertSampleColumn(const void* Src, int SrcBits, int SrcStep, void* Dst, int DstBits, int DstStep, int Count);

}  // namespace dcs
