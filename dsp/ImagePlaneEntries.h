// Built-in image-plane entries on byte images of three or four channels: alpha
// composition, copy, fill, per-channel piecewise-linear tone mapping and mirroring. Each
// image is a (pointer, row step in bytes) pair; the region is {width, height} in pixels.
#pragma once

#include "dsp/Registry.h"

namespace dcs {

// Alpha composition types of vpiAlphaComp_8u_AC4R; the premultiplied forms are +6.
enum VpiAlphaType : int {
    vpiAlphaOver = 0,
    vpiAlphaIn,
    vpiAlphaOut,
    vpiAlphaATop,
    vpiAlphaXor,
    vpiAlphaPlus,
    vpiAlphaOverPremul,
    vpiAlphaInPremul,
    vpiAlphaOutPremul,
    vpiAlphaATopPremul,
    vpiAlphaXorPremul,
    vpiAlphaPlusPremul,
};

// Mirror axes: 0 horizontal (rows flip), 1 vertical (columns flip), 2 both.
enum VpiAxis : int {
    vpiAxsHorizontal = 0,
    vpiAxsVertical = 1,
    vpiAxsBoth = 2
};

DCS_DSP_DECLARE(VpsStatus, vpiAlphaComp_8u_AC4R,
                (const Vps8u* pSrc1, int src1Step, const Vps8u* pSrc2, int src2Step, Vps8u* pDst, int dstStep,
                 VpiSize roiSize, int alphaType))
DCS_DSP_DECLARE(VpsStatus, vpiCopy_8u_C4R, (const Vps8u* pSrc, int srcStep, Vps8u* pDst, int dstStep, VpiSize roiSize))
DCS_DSP_DECLARE(VpsStatus, vpiSet_8u_C4R, (const Vps8u value[4], Vps8u* pDst, int dstStep, VpiSize roiSize))
// pValues, pLevels: four pointers to int arrays; nLevels: four counts.
DCS_DSP_DECLARE(VpsStatus, vpiLUT_Linear_8u_C4R,
                (const Vps8u* pSrc, int srcStep, Vps8u* pDst, int dstStep, VpiSize roiSize,
                 const Vps32s* const* pValues, const Vps32s* const* pLevels, const int* nLevels))
DCS_DSP_DECLARE(VpsStatus, vpiMirror_8u_C4R,
                (const Vps8u* pSrc, int srcStep, Vps8u* pDst, int dstStep, VpiSize roiSize, int flip))
DCS_DSP_DECLARE(VpsStatus, vpiMirror_8u_C3R,
                (const Vps8u* pSrc, int srcStep, Vps8u* pDst, int dstStep, VpiSize roiSize, int flip))
DCS_DSP_DECLARE(VpsStatus, vpiMirror_8u_C3IR, (Vps8u * pSrcDst, int srcDstStep, VpiSize roiSize, int flip))

}  // namespace dcs
