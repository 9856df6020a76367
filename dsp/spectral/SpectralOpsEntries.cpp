// Registration of the convolution, correlation and FIR names.
#include "dsp/spectral/Convolution.h"
#include "dsp/spectral/Correlation.h"
#include "dsp/spectral/Fir.h"

namespace dcs {

constexpr DspEntryDef kSpectralOpsEntries[] = {
    DCS_DSP_ENTRY(vpsConv_64f),
    DCS_DSP_ENTRY(vpsAutoCorr_64f),
    DCS_DSP_ENTRY(vpsAutoCorr_NormA_64f),
    DCS_DSP_ENTRY(vpsAutoCorr_NormB_64f),
    DCS_DSP_ENTRY(vpsCrossCorr_64f),
    DCS_DSP_ENTRY(vpsAutoCorr_64fc),
    DCS_DSP_ENTRY(vpsAutoCorr_NormA_64fc),
    DCS_DSP_ENTRY(vpsAutoCorr_NormB_64fc),
    DCS_DSP_ENTRY(vpsCrossCorr_64fc),
    DCS_DSP_ENTRY(vpsFIR_64f),
    DCS_DSP_ENTRY(vpsFIRFree_64f),
    DCS_DSP_ENTRY(vpsFIRInitAlloc_64f),
};

// The signal vector fallbacks list the FIR names again: the same entries.
constexpr DspEntryDef kSignalFirEntries[] = {
    DCS_DSP_ENTRY(vpsFIRInitAlloc_64f),
    DCS_DSP_ENTRY(vpsFIRFree_64f),
    DCS_DSP_ENTRY(vpsFIROne_64f),
};

void RegisterSpectralOpsEntries(DspRegistrar& r) { r.Add(kSpectralOpsEntries); }

void RegisterSignalFirEntries(DspRegistrar& r) { r.Add(kSignalFirEntries); }

}  // namespace dcs
