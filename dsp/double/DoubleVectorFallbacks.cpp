// The double vector fallbacks module: its entries in their start-up order.
#include "dsp/double/DftEntries.h"

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

constexpr DspEntryDef kDoubleVectorFallbacks[] = {
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
};

}  // namespace

void RegisterDoubleVectorFallbacks(DspRegistrar& r)
{
    r.Add(kDoubleVectorFallbacks);
}

}  // namespace dcs
