// The double vector fallbacks module: its 37 entries in their start-up order.
#include "dsp/ElementaryEntries.h"
#include "dsp/FloatEntries.h"
#include "dsp/double/DftEntries.h"
#include "dsp/double/ElementWise.h"
#include "dsp/double/Generators.h"
#include "dsp/double/Goertzel.h"
#include "dsp/double/HaarWavelet.h"
#include "dsp/double/IirFilters.h"
#include "dsp/double/MedianFilter.h"

namespace dcs {

DCS_DSP_DEFINE(vpsDFTFwd_CToC_64fc)
DCS_DSP_DEFINE(vpsDFTFwd_RToCCS_64f)
DCS_DSP_DEFINE(vpsDFTInitAlloc_C_64fc)
DCS_DSP_DEFINE(vpsDFTInitAlloc_R_64f)
DCS_DSP_DEFINE(vpsDFTFree_C_64fc)
DCS_DSP_DEFINE(vpsDFTFree_R_64f)
DCS_DSP_DEFINE(vpsDFTInv_CCSToR_64f)
DCS_DSP_DEFINE(vpsDFTInv_CToC_64fc)
DCS_DSP_DEFINE(vpsDCTFwdFree_64f)
DCS_DSP_DEFINE(vpsDCTFwdInitAlloc_64f)
DCS_DSP_DEFINE(vpsDCTFwd_64f)
DCS_DSP_DEFINE(vpsDCTInvFree_64f)
DCS_DSP_DEFINE(vpsDCTInvInitAlloc_64f)
DCS_DSP_DEFINE(vpsDCTInv_64f)

namespace {

// The conversion, imaginary-part and absolute-value names are the vector library's own
// entries: listing them here stores the same function into the same entry.
constexpr DspEntryDef kDoubleVectorFallbacks[] = {
    DCS_DSP_ENTRY(vpsCartToPolar_64fc),
    DCS_DSP_ENTRY(vpsIIR_64f),
    DCS_DSP_ENTRY(vpsIIRFree_64f),
    DCS_DSP_ENTRY(vpsIIRInitAlloc_64f),
    DCS_DSP_ENTRY(vpsRandGauss_Direct_64f),
    DCS_DSP_ENTRY(vpsCplxToReal_64fc),
    DCS_DSP_ENTRY(vpsConvert_64f32s_Sfs),
    DCS_DSP_ENTRY(vpsTone_Direct_64f),
    DCS_DSP_ENTRY(vpsTriangle_Direct_64f),
    DCS_DSP_ENTRY(vpsThreshold_LTValGTVal_64f_I),
    DCS_DSP_ENTRY(vpsPolarToCart_64fc),
    DCS_DSP_ENTRY(vpsConj_64fc),
    DCS_DSP_ENTRY(vpsConjFlip_64fc),
    DCS_DSP_ENTRY(vpsWTHaarFwd_64f),
    DCS_DSP_ENTRY(vpsWTHaarInv_64f),
    DCS_DSP_ENTRY(vpsFilterMedian_64f),
    DCS_DSP_ENTRY(vpsCopy_64fc),
    DCS_DSP_ENTRY(vpsMove_64fc),
    DCS_DSP_ENTRY(vpsIIRInitAlloc_BiQuad_64f),
    DCS_DSP_ENTRY(vpsDFTFwd_CToC_64fc),
    DCS_DSP_ENTRY(vpsDFTFwd_RToCCS_64f),
    DCS_DSP_ENTRY(vpsDFTInitAlloc_C_64fc),
    DCS_DSP_ENTRY(vpsDFTInitAlloc_R_64f),
    DCS_DSP_ENTRY(vpsDFTFree_C_64fc),
    DCS_DSP_ENTRY(vpsDFTFree_R_64f),
    DCS_DSP_ENTRY(vpsDFTInv_CCSToR_64f),
    DCS_DSP_ENTRY(vpsDFTInv_CToC_64fc),
    DCS_DSP_ENTRY(vpsDCTFwdFree_64f),
    DCS_DSP_ENTRY(vpsDCTFwdInitAlloc_64f),
    DCS_DSP_ENTRY(vpsDCTFwd_64f),
    DCS_DSP_ENTRY(vpsDCTInvFree_64f),
    DCS_DSP_ENTRY(vpsDCTInvInitAlloc_64f),
    DCS_DSP_ENTRY(vpsDCTInv_64f),
    DCS_DSP_ENTRY(vpsGoertz_64fc),
    DCS_DSP_ENTRY(vpsImag_64fc),
    DCS_DSP_ENTRY(vpsAbs_64f),
    DCS_DSP_ENTRY(vpsVectorRamp_64f),
};

}  // namespace

void RegisterDoubleVectorFallbacks(DspRegistrar& r) { r.Add(kDoubleVectorFallbacks); }

}  // namespace dcs
