// Element types and status codes shared by every vector primitive. The types mirror the
// external vector-primitive libraries' binary layout (an entry may hold either their
// function or ours), so they must stay plain C layouts.
#pragma once

#include <cstdint>
#include <type_traits>

namespace dcs {

using VpsStatus = std::int32_t;

using Vps8u = std::uint8_t;
using Vps8s = std::int8_t;
using Vps16s = std::int16_t;
using Vps16u = std::uint16_t;
using Vps32s = std::int32_t;
using Vps32u = std::uint32_t;
using Vps32f = float;
using Vps64f = double;

// Complex double: real part first, 16 bytes, no padding.
struct Vps64fc {
    double re;
    double im;
};
static_assert(sizeof(Vps64fc) == 16 && std::is_standard_layout_v<Vps64fc>);

// Region of an image-plane entry, passed by value: width first, then height.
struct VpiSize {
    int width;
    int height;
};
static_assert(sizeof(VpiSize) == 8);

// Negative values are errors (nothing written), positive values are warnings (the work
// was done in full).
inline constexpr VpsStatus StatusOk = 0;
inline constexpr VpsStatus StatusBadSize = -6;
inline constexpr VpsStatus StatusOutOfRange = -7;
inline constexpr VpsStatus StatusNullPointer = -8;
inline constexpr VpsStatus StatusNoMemory = -9;
inline constexpr VpsStatus StatusDivideByZero = -10;
inline constexpr VpsStatus StatusBadStep = -14;
inline constexpr VpsStatus StatusBadFftOrder = -15;
inline constexpr VpsStatus StatusBadFftFlag = -16;
inline constexpr VpsStatus StatusWrongContext = -17;
inline constexpr VpsStatus StatusThresholdLevels = -18;
inline constexpr VpsStatus StatusNegativeThreshold = -19;
inline constexpr VpsStatus StatusBadMirrorAxis = -21;
inline constexpr VpsStatus StatusBadInterpolation = -22;
inline constexpr VpsStatus StatusBadResizeFactor = -23;
inline constexpr VpsStatus StatusBadIirOrder = -25;
inline constexpr VpsStatus StatusBadFirLength = -26;
inline constexpr VpsStatus StatusBadRelFreq = -27;
inline constexpr VpsStatus StatusBadSamplePhase = -30;
inline constexpr VpsStatus StatusBadSampleFactor = -31;
inline constexpr VpsStatus StatusBadShift = -32;
inline constexpr VpsStatus StatusBadJaehneMagnitude = -38;
inline constexpr VpsStatus StatusHugeWindow = -39;
inline constexpr VpsStatus StatusTriangleAsymmetry = -40;
inline constexpr VpsStatus StatusTrianglePhase = -41;
inline constexpr VpsStatus StatusTriangleFrequency = -42;
inline constexpr VpsStatus StatusTriangleMagnitude = -43;
inline constexpr VpsStatus StatusTonePhase = -44;
inline constexpr VpsStatus StatusToneFrequency = -45;
inline constexpr VpsStatus StatusToneMagnitude = -46;
inline constexpr VpsStatus StatusBadAlphaType = -50;
inline constexpr VpsStatus StatusBadLutLevels = -106;
inline constexpr VpsStatus StatusBadPeriod = -119;
inline constexpr VpsStatus StatusResizeEmpty = -201;

inline constexpr VpsStatus StatusSqrtNegative = 3;
inline constexpr VpsStatus StatusEvenMedianMask = 5;  // filtered with the next smaller odd mask
inline constexpr VpsStatus StatusElementDivideByZero = 6;
inline constexpr VpsStatus StatusLnZero = 7;
inline constexpr VpsStatus StatusLnNegative = 8;
inline constexpr VpsStatus StatusRoiOutside = 29;  // region origin outside the source

// State objects start with one of these 32-bit kind words.
inline constexpr std::uint32_t kIdFftSpecComplex = 7;
inline constexpr std::uint32_t kIdFftSpecReal = 9;
inline constexpr std::uint32_t kIdFftSpecReal32f = 6;  // single-precision real FFT
inline constexpr std::uint32_t kIdDftSpecComplex = 16;
inline constexpr std::uint32_t kIdDftSpecReal = 18;
inline constexpr std::uint32_t kIdDctSpecFwd = 23;
inline constexpr std::uint32_t kIdDctSpecInv = 24;
inline constexpr std::uint32_t kIdIirState = 0x49493031;
inline constexpr std::uint32_t kIdIirStateBiQuad = 0x49493032;
inline constexpr std::uint32_t kIdIirState64f = 0x49493133;  // double precision
inline constexpr std::uint32_t kIdIirStateBiQuad64f = 0x49493134;
inline constexpr std::uint32_t kIdFirState = 0x46493133;
inline constexpr std::uint32_t kIdFirState2 = 0x46493135;

}  // namespace dcs
