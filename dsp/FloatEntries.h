// Built-in element-wise arithmetic on doubles, complex doubles and floats, the complex
// build/split entries and the floating-point conversions. Each function has the argument
// order and status results of the registry entry of the same name.
#pragma once

#include "dsp/Registry.h"

namespace dcs {

// Complex float: real part first, 8 bytes (only the complex build entry uses it).
struct Vps32fc {
    float re;
    float im;
};

}  // namespace dcs

namespace dcs {

// Real vectors.
DCS_DSP_DECLARE(VpsStatus, vpsAdd_64f, (const double* pSrc1, const double* pSrc2, double* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsAdd_64f_I, (const double* pSrc, double* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsSub_64f_I, (const double* pSrc, double* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsSub_32f_I, (const float* pSrc, float* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsMul_64f, (const double* pSrc1, const double* pSrc2, double* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsMul_32f, (const float* pSrc1, const float* pSrc2, float* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsMul_64f_I, (const double* pSrc, double* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsMul_32f_I, (const float* pSrc, float* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsDiv_64f_I, (const double* pSrc, double* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsAddC_64f, (const double* pSrc, double val, double* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsAddC_64f_I, (double val, double* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsSubC_64f, (const double* pSrc, double val, double* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsSubC_64f_I, (double val, double* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsSubCRev_64f, (const double* pSrc, double val, double* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsSubCRev_64f_I, (double val, double* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsSubCRev_32f_I, (float val, float* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsMulC_64f, (const double* pSrc, double val, double* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsMulC_64f_I, (double val, double* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsMulC_32f_I, (float val, float* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsDivC_64f, (const double* pSrc, double val, double* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsDivC_64f_I, (double val, double* pSrcDst, int len))

// Complex vectors.
DCS_DSP_DECLARE(VpsStatus, vpsAdd_64fc, (const Vps64fc* pSrc1, const Vps64fc* pSrc2, Vps64fc* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsAdd_64fc_I, (const Vps64fc* pSrc, Vps64fc* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsSub_64fc_I, (const Vps64fc* pSrc, Vps64fc* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsMul_64fc_I, (const Vps64fc* pSrc, Vps64fc* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsDiv_64fc_I, (const Vps64fc* pSrc, Vps64fc* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsAddC_64fc, (const Vps64fc* pSrc, Vps64fc val, Vps64fc* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsAddC_64fc_I, (Vps64fc val, Vps64fc* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsSubC_64fc, (const Vps64fc* pSrc, Vps64fc val, Vps64fc* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsSubC_64fc_I, (Vps64fc val, Vps64fc* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsSubCRev_64fc, (const Vps64fc* pSrc, Vps64fc val, Vps64fc* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsMulC_64fc, (const Vps64fc* pSrc, Vps64fc val, Vps64fc* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsMulC_64fc_I, (Vps64fc val, Vps64fc* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsDivC_64fc, (const Vps64fc* pSrc, Vps64fc val, Vps64fc* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsDivC_64fc_I, (Vps64fc val, Vps64fc* pSrcDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsRealToCplx_64f, (const double* pSrcRe, const double* pSrcIm, Vps64fc* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsRealToCplx_32f, (const float* pSrcRe, const float* pSrcIm, Vps32fc* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsReal_64fc, (const Vps64fc* pSrc, double* pDstRe, int len))
DCS_DSP_DECLARE(VpsStatus, vpsImag_64fc, (const Vps64fc* pSrc, double* pDstIm, int len))
DCS_DSP_DECLARE(VpsStatus, vpsConjCcs_64fc_I, (Vps64fc * pSrcDst, int lenDst))

// Conversions.
DCS_DSP_DECLARE(VpsStatus, vpsConvert_32f64f, (const float* pSrc, double* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsConvert_64f32f, (const double* pSrc, float* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsConvert_32s64f, (const int32_t* pSrc, double* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsConvert_32s32f, (const int32_t* pSrc, float* pDst, int len))
DCS_DSP_DECLARE(VpsStatus, vpsConvert_16s64f_Sfs, (const int16_t* pSrc, double* pDst, int len, int scaleFactor))
DCS_DSP_DECLARE(VpsStatus, vpsConvert_64f32s_Sfs,
                (const double* pSrc, int32_t* pDst, int len, int rndMode, int scaleFactor))
DCS_DSP_DECLARE(VpsStatus, vpsConvert_32f32s_Sfs,
                (const float* pSrc, int32_t* pDst, int len, int rndMode, int scaleFactor))

}  // namespace dcs
