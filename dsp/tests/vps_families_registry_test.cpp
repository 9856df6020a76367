// The floating-point, statistics, elementary, window and image-plane families are
// reachable by name through the registry, each on its built-in fallback here.
#include <gtest/gtest.h>

#include "dsp/ElementaryEntries.h"
#include "dsp/FloatEntries.h"
#include "dsp/Registry.h"

namespace dcs {
namespace {

const char* const kFamilyNames[] = {
    "vpsAdd_64f", "vpsAdd_64f_I", "vpsSub_64f_I", "vpsSub_32f_I", "vpsMul_64f", "vpsMul_32f",
    "vpsMul_64f_I", "vpsMul_32f_I", "vpsDiv_64f_I", "vpsAddC_64f", "vpsAddC_64f_I",
    "vpsSubC_64f", "vpsSubC_64f_I", "vpsSubCRev_64f", "vpsSubCRev_64f_I", "vpsSubCRev_32f_I",
    "vpsMulC_64f", "vpsMulC_64f_I", "vpsMulC_32f_I", "vpsDivC_64f", "vpsDivC_64f_I",
    "vpsAdd_64fc", "vpsAdd_64fc_I", "vpsSub_64fc_I", "vpsMul_64fc_I", "vpsDiv_64fc_I",
    "vpsAddC_64fc", "vpsAddC_64fc_I", "vpsSubC_64fc", "vpsSubC_64fc_I", "vpsSubCRev_64fc",
    "vpsMulC_64fc", "vpsMulC_64fc_I", "vpsDivC_64fc", "vpsDivC_64fc_I", "vpsRealToCplx_64f",
    "vpsRealToCplx_32f", "vpsReal_64fc", "vpsImag_64fc", "vpsConjCcs_64fc_I",
    "vpsConvert_32f64f", "vpsConvert_64f32f", "vpsConvert_32s64f", "vpsConvert_32s32f",
    "vpsConvert_16s64f_Sfs", "vpsConvert_64f32s_Sfs", "vpsConvert_32f32s_Sfs",
    "vpsNormDiff_L1_64f", "vpsNormDiff_L2_64f", "vpsNormDiff_Inf_64f", "vpsMean_64f",
    "vpsMean_32f", "vpsSum_64f", "vpsStdDev_64f", "vpsMin_64f", "vpsMax_64f", "vpsMinIndx_64f",
    "vpsMaxIndx_64f", "vpsNormalize_64f", "vpsNormalize_32f", "vpsNormalize_64fc",
    "vpsDotProd_64f", "vpsDotProd_64fc", "vpsDotProd_32s_Sfs", "vpsThreshold_32f_I",
    "vpsThreshold_64f_I", "vpsThreshold_64f", "vpsThreshold_64fc", "vpsThreshold_64fc_I",
    "vpsAbs_64f", "vpsAbs_64f_I", "vpsSqr_64f", "vpsSqr_64f_I", "vpsSqrt_64f", "vpsSqrt_64f_I",
    "vpsExp_64f", "vpsExp_64f_I", "vpsLn_64f", "vpsLn_64f_I", "vpsSqr_64fc", "vpsSqr_64fc_I",
    "vpsSqrt_64fc", "vpsSqrt_64fc_I", "vpsPowerSpectr_64fc", "vpsPhase_64fc",
    "vpsMagnitude_64fc", "vpsNorm_L2_64fc64f", "vpsWinBartlett_64f_I", "vpsWinBartlett_64f",
    "vpsWinBartlett_64fc_I", "vpsWinHamming_64f_I", "vpsWinHamming_64f", "vpsWinHamming_64fc_I",
    "vpsWinHann_64f_I", "vpsWinHann_64f", "vpsWinHann_64fc_I", "vpsWinBlackman_64f_I",
    "vpsWinBlackman_64f", "vpsWinBlackman_64fc_I", "vpsWinKaiser_64f_I", "vpsWinKaiser_64f",
    "vpsWinKaiser_64fc_I", "vpiAlphaComp_8u_AC4R", "vpiCopy_8u_C4R", "vpiSet_8u_C4R",
    "vpiLUT_Linear_8u_C4R", "vpiMirror_8u_C4R", "vpiMirror_8u_C3R", "vpiMirror_8u_C3IR",
};

TEST(VpsFamilies, EveryEntryIsRegistered)
{
    for (const char* name : kFamilyNames)
        EXPECT_NE(DspLookup(name), nullptr) << name;
    // Shared names resolve to the one fallback whichever module registered them.
    EXPECT_EQ(DspLookupAs<vpsConvert_64f32s_Sfs_fn>("vpsConvert_64f32s_Sfs"), vpsConvert_64f32s_Sfs);
    EXPECT_EQ(DspLookupAs<vpsExp_64f_fn>("vpsExp_64f"), &fallback::vpsExp_64f);
}

}  // namespace
}  // namespace dcs
