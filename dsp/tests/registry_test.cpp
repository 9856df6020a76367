#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "dsp/ElementaryEntries.h"
#include "dsp/FloatEntries.h"
#include "dsp/IntegerEntries.h"
#include "dsp/LogicEntries.h"
#include "dsp/MemoryEntries.h"
#include "dsp/double/DftEntries.h"
#include "dsp/double/ElementWise.h"
#include "dsp/double/Generators.h"
#include "dsp/double/Goertzel.h"
#include "dsp/double/HaarWavelet.h"
#include "dsp/double/IirFilters.h"
#include "dsp/double/MedianFilter.h"

namespace dcs {
namespace {

// Every name the library answers to, by registering module in registration order.
constexpr const char* kAllNames[] = {
    "vpGetCpuType",
    "vpsNorm_L2_64fc64f",
    "vpsSub_32f_I",
    "vpsMulC_32f_I",
    "vpsMul_32f_I",
    "vpsConjCcs_64fc_I",
    "vpsFFTFree_C_64fc",
    "vpsFFTFree_R_64f",
    "vpsFFTFwd_RToCCS_64f",
    "vpsFFTInitAlloc_C_64fc",
    "vpsFFTInitAlloc_R_64f",
    "vpsFFTInv_CCSToR_64f",
    "vpsFFTInv_CToC_64fc",
    "vpsFFTFwd_CToC_64fc",
    "vpsWinBartlett_64fc_I",
    "vpsWinBlackman_64fc_I",
    "vpsWinHamming_64fc_I",
    "vpsWinHann_64fc_I",
    "vpsWinKaiser_64fc_I",
    "vpsConv_64f",
    "vpsNormDiff_L1_64f",
    "vpsNormDiff_L2_64f",
    "vpsNormDiff_Inf_64f",
    "vpsMean_64f",
    "vpsMean_32f",
    "vpsStdDev_64f",
    "vpsMinIndx_64f",
    "vpsMaxIndx_64f",
    "vpsAutoCorr_NormA_64f",
    "vpsAutoCorr_NormB_64f",
    "vpsCrossCorr_64f",
    "vpsNormalize_32f",
    "vpsNormalize_64f",
    "vpsDotProd_64f",
    "vpsThreshold_32f_I",
    "vpsThreshold_64f_I",
    "vpsThreshold_64f",
    "vpsAbs_64f_I",
    "vpsAbs_64f",
    "vpsSqr_64f_I",
    "vpsSqr_64f",
    "vpsSqrt_64f_I",
    "vpsSqrt_64f",
    "vpsExp_64f_I",
    "vpsExp_64f",
    "vpsLn_64f_I",
    "vpsLn_64f",
    "vpsConvert_16s64f_Sfs",
    "vpsAndC_32u_I",
    "vpsOrC_32u_I",
    "vpsOr_32u_I",
    "vpsXorC_32u_I",
    "vpsXor_32u_I",
    "vpsAnd_32u_I",
    "vpsDotProd_32s_Sfs",
    "vpsPowerSpectr_64fc",
    "vpsPhase_64fc",
    "vpsMagnitude_64fc",
    "vpsSqr_64fc",
    "vpsSqrt_64fc_I",
    "vpsSqrt_64fc",
    "vpsSqr_64fc_I",
    "vpsAutoCorr_64fc",
    "vpsAutoCorr_NormA_64fc",
    "vpsAutoCorr_NormB_64fc",
    "vpsCrossCorr_64fc",
    "vpsThreshold_64fc",
    "vpsThreshold_64fc_I",
    "vpsDotProd_64fc",
    "vpsNormalize_64fc",
    "vpsDivC_64fc_I",
    "vpsMulC_64fc_I",
    "vpsSubC_64fc_I",
    "vpsAddC_64fc_I",
    "vpsRealToCplx_64f",
    "vpsRealToCplx_32f",
    "vpsSubC_32s_ISfs",
    "vpsAddC_32s_ISfs",
    "vpsAddC_32s_Sfs",
    "vpsAddC_64f",
    "vpsSubC_64f",
    "vpsSubC_64f_I",
    "vpsMulC_64f",
    "vpsDivC_64f",
    "vpsAddC_64f_I",
    "vpsAddC_64fc",
    "vpsAndC_32u",
    "vpsAdd_32s_ISfs",
    "vpsMulC_32s_ISfs",
    "vpsAdd_64f",
    "vpsAdd_64f_I",
    "vpsAdd_64fc",
    "vpsAdd_64fc_I",
    "vpsAdd_8u_ISfs",
    "vpsConvert_32f64f",
    "vpsCopy_32f",
    "vpsCopy_64f",
    "vpsMove_64f",
    "vpsCopy_8u",
    "vpsDiv_32s_ISfs",
    "vpsDiv_64f_I",
    "vpsDiv_64fc_I",
    "vpsDivC_64f_I",
    "vpsMax_64f",
    "vpsMin_64f",
    "vpsMul_32s_ISfs",
    "vpsMul_64f_I",
    "vpsMul_64f",
    "vpsMul_32f",
    "vpsMul_64fc_I",
    "vpsMul_8u_ISfs",
    "vpsMulC_64f_I",
    "vpsSet_32s",
    "vpsSet_64f",
    "vpsSet_32f",
    "vpsSet_64fc",
    "vpsSet_8u",
    "vpsSub_32s_ISfs",
    "vpsSub_64f_I",
    "vpsSub_64fc_I",
    "vpsSub_8u_ISfs",
    "vpsSum_64f",
    "vpsVectorJaehne_64f",
    "vpsWinBartlett_64f_I",
    "vpsWinBartlett_64f",
    "vpsWinBlackman_64f_I",
    "vpsWinBlackman_64f",
    "vpsWinHamming_64f_I",
    "vpsWinHamming_64f",
    "vpsWinHann_64f_I",
    "vpsWinHann_64f",
    "vpsWinKaiser_64f_I",
    "vpsWinKaiser_64f",
    "vpsZero_16s",
    "vpsZero_32s",
    "vpsZero_64f",
    "vpsZero_32f",
    "vpsZero_64fc",
    "vpsZero_8u",
    "vpsSubC_32s_Sfs",
    "vpsSubC_64fc",
    "vpsSubCRev_32s_Sfs",
    "vpsSubCRev_64f",
    "vpsSubCRev_64fc",
    "vpsDivC_64fc",
    "vpsMulC_64fc",
    "vpsMulC_32s_Sfs",
    "vpsOrC_32u",
    "vpsXorC_32u",
    "vpsLShiftC_32s",
    "vpsRShiftC_32s",
    "vpsLShiftC_32s_I",
    "vpsRShiftC_32s_I",
    "vpsConvert_64f32f",
    "vpsConvert_64f32s_Sfs",
    "vpsConvert_32s64f",
    "vpiMirror_8u_C3IR",
    "vpsReal_64fc",
    "vpsImag_64fc",
    "vpsConvert_32f32s_Sfs",
    "vpsConvert_32s32f",
    "vpsSwapBytes_16u",
    "vpsSwapBytes_24u",
    "vpsSwapBytes_32u",
    "vpsSwapBytes_32u_I",
    "vpsAutoCorr_64f",
    "vpiCopy_32s_C1R",
    "vpsFIR_64f",
    "vpsFIRFree_64f",
    "vpsFIRInitAlloc_64f",
    "vpiAlphaComp_8u_AC4R",
    "vpiCopy_8u_C4R",
    "vpiSet_8u_C4R",
    "vpiLUT_Linear_8u_C4R",
    "vpsRandUniform_Direct_64f",
    "vpsSVD_64f_D2L",
    "vpiMirror_8u_C4R",
    "vpiMirror_8u_C3R",
    "vpsMove_8u",
    "vpsSubCRev_32s_ISfs",
    "vpsSubCRev_64f_I",
    "vpsSubCRev_32f_I",
    "vpsThreshold_LT_32s_I",
    "vpsThreshold_GT_32s_I",
    "vpiResize_8u_C3R",
    "vpiResize_8u_C4R",
    "vpiResize_8u_C1R",
    "vpiResize_16u_C1R",
    "vpiResizeCenter_8u_C4R",
    "vpiAdd_8u_C1IRSfs",
    "vpiAdd_16s_C1IRSfs",
    "vpiSub_8u_C1IRSfs",
    "vpiSub_16s_C1IRSfs",
    "vpiMul_8u_C1IRSfs",
    "vpiMul_16s_C1IRSfs",
    "vpiDiv_8u_C1IRSfs",
    "vpiDiv_16s_C1IRSfs",
    "vpsDivC_16s_ISfs",
    "vpsDivC_16s_Sfs",
    "vpsSet_16s",
    "vpsConvert_8s16s",
    "vpiScale_16u8u_C1R",
    "vpiScale_8u16u_C1R",
    "vpiSet_8u_C1R",
    "vpiSet_16s_C1R",
    "vpiSet_32s_C1R",
    "vpsAddC_8u_ISfs",
    "vpsAddC_8u_Sfs",
    "vpsAddC_16s_ISfs",
    "vpsAddC_16s_Sfs",
    "vpiAddC_8u_C1IRSfs",
    "vpiAddC_8u_C1RSfs",
    "vpiAddC_16s_C1IRSfs",
    "vpiAddC_16s_C1RSfs",
    "vpsSubC_8u_ISfs",
    "vpsSubC_8u_Sfs",
    "vpsSubC_16s_ISfs",
    "vpsSubC_16s_Sfs",
    "vpiSubC_8u_C1IRSfs",
    "vpiSubC_8u_C1RSfs",
    "vpiSubC_16s_C1IRSfs",
    "vpiSubC_16s_C1RSfs",
    "vpsMulC_8u_ISfs",
    "vpsMulC_8u_Sfs",
    "vpsMulC_16s_ISfs",
    "vpsMulC_16s_Sfs",
    "vpiMulC_8u_C1IRSfs",
    "vpiMulC_8u_C1RSfs",
    "vpiMulC_16s_C1IRSfs",
    "vpiMulC_16s_C1RSfs",
    "vpsDivC_8u_Sfs",
    "vpiDivC_8u_C1IRSfs",
    "vpiDivC_8u_C1RSfs",
    "vpiDivC_16s_C1IRSfs",
    "vpiDivC_16s_C1RSfs",
    "vpiCopy_8u_C1R",
    "vpiCopy_16s_C1R",
    "vpiConvert_8u32f_C1R",
    "vpiConvert_32f8u_C1R",
    "vpiScale_8u16s_C1R",
    "vpiScale_8u32s_C1R",
    "vpiScale_16s8u_C1R",
    "vpiScale_32s8u_C1R",
    "vpsVectorRamp_16s",
    "vpsAdd_16s_I",
    "vpsFIROne_64f",
    "vpsRandUniform_Direct_16s",
    "vpsRandGauss_Direct_16s",
    "vpsThreshold_LTValGTVal_16s_I",
    "vpsTone_Direct_16s",
    "vpsTriangle_Direct_16s",
    "vpsSum_32f",
    "vpsSqr_32f_I",
    "vpiConvert_16s32f_C1R",
    "vpiConvert_8s32f_C1R",
    "vpiConvert_32f16s_C1R",
    "vpiConvert_32f8s_C1R",
    "vpsIIRFree_32f",
    "vpsIIRInitAlloc_32f",
    "vpsIIR_32f",
    "vpsIIR_32f_I",
    "vpsMulC_32f",
    "vpsDivC_32f_I",
    "vpsIIRInit_BiQuad_32f",
    "vpsIIRGetStateSize_BiQuad_32f",
    "vpsSampleDown_32f",
    "vpsPeriodicityLSPE_32f",
    "vpsCompensateOffset_32f_I",
    "vpsCartToPolar_64fc",
    "vpsIIR_64f",
    "vpsIIRFree_64f",
    "vpsIIRInitAlloc_64f",
    "vpsRandGauss_Direct_64f",
    "vpsCplxToReal_64fc",
    "vpsTone_Direct_64f",
    "vpsTriangle_Direct_64f",
    "vpsThreshold_LTValGTVal_64f_I",
    "vpsPolarToCart_64fc",
    "vpsConj_64fc",
    "vpsConjFlip_64fc",
    "vpsWTHaarFwd_64f",
    "vpsWTHaarInv_64f",
    "vpsFilterMedian_64f",
    "vpsCopy_64fc",
    "vpsMove_64fc",
    "vpsIIRInitAlloc_BiQuad_64f",
    "vpsDFTFwd_CToC_64fc",
    "vpsDFTFwd_RToCCS_64f",
    "vpsDFTInitAlloc_C_64fc",
    "vpsDFTInitAlloc_R_64f",
    "vpsDFTFree_C_64fc",
    "vpsDFTFree_R_64f",
    "vpsDFTInv_CCSToR_64f",
    "vpsDFTInv_CToC_64fc",
    "vpsDCTFwdFree_64f",
    "vpsDCTFwdInitAlloc_64f",
    "vpsDCTFwd_64f",
    "vpsDCTInvFree_64f",
    "vpsDCTInvInitAlloc_64f",
    "vpsDCTInv_64f",
    "vpsGoertz_64fc",
    "vpsVectorRamp_64f",
};

// The names this library's memory, integer and logic modules must register.
constexpr const char* kCoreFamilyNames[] = {
    "vpGetCpuType",
    "vpsCopy_8u",
    "vpsCopy_32f",
    "vpsCopy_64f",
    "vpsMove_64f",
    "vpsMove_8u",
    "vpsSet_8u",
    "vpsSet_32s",
    "vpsSet_32f",
    "vpsSet_64f",
    "vpsSet_64fc",
    "vpsZero_8u",
    "vpsZero_16s",
    "vpsZero_32s",
    "vpsZero_32f",
    "vpsZero_64f",
    "vpsZero_64fc",
    "vpiCopy_32s_C1R",
    "vpsAddC_32s_ISfs",
    "vpsAddC_32s_Sfs",
    "vpsSubC_32s_ISfs",
    "vpsSubC_32s_Sfs",
    "vpsSubCRev_32s_ISfs",
    "vpsSubCRev_32s_Sfs",
    "vpsMulC_32s_ISfs",
    "vpsMulC_32s_Sfs",
    "vpsAdd_32s_ISfs",
    "vpsSub_32s_ISfs",
    "vpsMul_32s_ISfs",
    "vpsDiv_32s_ISfs",
    "vpsAdd_8u_ISfs",
    "vpsSub_8u_ISfs",
    "vpsMul_8u_ISfs",
    "vpsAndC_32u_I",
    "vpsOrC_32u_I",
    "vpsXorC_32u_I",
    "vpsAnd_32u_I",
    "vpsOr_32u_I",
    "vpsXor_32u_I",
    "vpsAndC_32u",
    "vpsOrC_32u",
    "vpsXorC_32u",
    "vpsLShiftC_32s",
    "vpsRShiftC_32s",
    "vpsLShiftC_32s_I",
    "vpsRShiftC_32s_I",
    "vpsThreshold_LT_32s_I",
    "vpsThreshold_GT_32s_I",
    "vpsSwapBytes_16u",
    "vpsSwapBytes_24u",
    "vpsSwapBytes_32u",
    "vpsSwapBytes_32u_I",
};

// The resize module's names.
constexpr const char* kResizeNames[] = {
    "vpiResize_8u_C3R", "vpiResize_8u_C4R", "vpiResize_8u_C1R", "vpiResize_16u_C1R", "vpiResizeCenter_8u_C4R",
};

// The names the FFT module must register (the real ones also for the signal fallbacks).
constexpr const char* kFftNames[] = {
    "vpsFFTInitAlloc_C_64fc", "vpsFFTInitAlloc_R_64f", "vpsFFTFree_C_64fc",    "vpsFFTFree_R_64f",
    "vpsFFTFwd_CToC_64fc",    "vpsFFTInv_CToC_64fc",   "vpsFFTFwd_RToCCS_64f", "vpsFFTInv_CCSToR_64f",
};

// The convolution, correlation and FIR names.
constexpr const char* kSpectralOpsNames[] = {
    "vpsConv_64f",
    "vpsAutoCorr_64f",
    "vpsAutoCorr_NormA_64f",
    "vpsAutoCorr_NormB_64f",
    "vpsCrossCorr_64f",
    "vpsAutoCorr_64fc",
    "vpsAutoCorr_NormA_64fc",
    "vpsAutoCorr_NormB_64fc",
    "vpsCrossCorr_64fc",
    "vpsFIR_64f",
    "vpsFIRFree_64f",
    "vpsFIRInitAlloc_64f",
    "vpsFIROne_64f",
    "vpsIIRInitAlloc_32f",
    "vpsIIRFree_32f",
    "vpsIIRInit_BiQuad_32f",
    "vpsIIRGetStateSize_BiQuad_32f",
    "vpsIIR_32f",
    "vpsIIR_32f_I",
    "vpsMulC_32f",
    "vpsDivC_32f_I",
    "vpsSum_32f",
    "vpsSqr_32f_I",
    "vpiConvert_16s32f_C1R",
    "vpiConvert_8s32f_C1R",
    "vpiConvert_32f16s_C1R",
    "vpiConvert_32f8s_C1R",
    "vpsSampleDown_32f",
    "vpsPeriodicityLSPE_32f",
    "vpsCompensateOffset_32f_I",
};

// The double-precision module's names in their registration order, with the built-in
// function each entry holds without the external library.
#define DCS_FALLBACK_OF(Name)                                                                                          \
    std::pair<const char*, DspProc> { #Name, reinterpret_cast < DspProc>(&fallback::Name) }
const std::pair<const char*, DspProc> kDoubleModule[] = {
    DCS_FALLBACK_OF(vpsCartToPolar_64fc),
    DCS_FALLBACK_OF(vpsIIR_64f),
    DCS_FALLBACK_OF(vpsIIRFree_64f),
    DCS_FALLBACK_OF(vpsIIRInitAlloc_64f),
    DCS_FALLBACK_OF(vpsRandGauss_Direct_64f),
    DCS_FALLBACK_OF(vpsCplxToReal_64fc),
    DCS_FALLBACK_OF(vpsConvert_64f32s_Sfs),
    DCS_FALLBACK_OF(vpsTone_Direct_64f),
    DCS_FALLBACK_OF(vpsTriangle_Direct_64f),
    DCS_FALLBACK_OF(vpsThreshold_LTValGTVal_64f_I),
    DCS_FALLBACK_OF(vpsPolarToCart_64fc),
    DCS_FALLBACK_OF(vpsConj_64fc),
    DCS_FALLBACK_OF(vpsConjFlip_64fc),
    DCS_FALLBACK_OF(vpsWTHaarFwd_64f),
    DCS_FALLBACK_OF(vpsWTHaarInv_64f),
    DCS_FALLBACK_OF(vpsFilterMedian_64f),
    DCS_FALLBACK_OF(vpsCopy_64fc),
    DCS_FALLBACK_OF(vpsMove_64fc),
    DCS_FALLBACK_OF(vpsIIRInitAlloc_BiQuad_64f),
    DCS_FALLBACK_OF(vpsDFTFwd_CToC_64fc),
    DCS_FALLBACK_OF(vpsDFTFwd_RToCCS_64f),
    DCS_FALLBACK_OF(vpsDFTInitAlloc_C_64fc),
    DCS_FALLBACK_OF(vpsDFTInitAlloc_R_64f),
    DCS_FALLBACK_OF(vpsDFTFree_C_64fc),
    DCS_FALLBACK_OF(vpsDFTFree_R_64f),
    DCS_FALLBACK_OF(vpsDFTInv_CCSToR_64f),
    DCS_FALLBACK_OF(vpsDFTInv_CToC_64fc),
    DCS_FALLBACK_OF(vpsDCTFwdFree_64f),
    DCS_FALLBACK_OF(vpsDCTFwdInitAlloc_64f),
    DCS_FALLBACK_OF(vpsDCTFwd_64f),
    DCS_FALLBACK_OF(vpsDCTInvFree_64f),
    DCS_FALLBACK_OF(vpsDCTInvInitAlloc_64f),
    DCS_FALLBACK_OF(vpsDCTInv_64f),
    DCS_FALLBACK_OF(vpsGoertz_64fc),
    DCS_FALLBACK_OF(vpsImag_64fc),
    DCS_FALLBACK_OF(vpsAbs_64f),
    DCS_FALLBACK_OF(vpsVectorRamp_64f),
};
#undef DCS_FALLBACK_OF

TEST(DspRegistry, EveryKnownNameResolves)
{
    for (const char* name : kAllNames) {
        SCOPED_TRACE(name);
        if (std::string(name) == "vpsSVD_64f_D2L")
            EXPECT_EQ(DspLookup(name), nullptr);  // no built-in function
        else
            EXPECT_NE(DspLookup(name), nullptr);
    }
    EXPECT_EQ(std::size(kAllNames), 302u);
}

TEST(DspRegistry, DoubleModuleHoldsItsFallbacksInOrderAndSharedNamesOnce)
{
    ASSERT_EQ(std::size(kDoubleModule), 37u);
    const auto entries = DspRegisteredEntries();
    for (const auto& [name, fallbackFn] : kDoubleModule) {
        SCOPED_TRACE(name);
        EXPECT_EQ(DspLookup(name), fallbackFn);
        EXPECT_EQ(std::count_if(entries.begin(), entries.end(), [&](const DspEntryInfo& e) { return e.name == name; }),
                  1);
    }
    // The names only this table registers keep its order among the registered entries.
    auto shared = [](const std::string& n) {
        return n == "vpsConvert_64f32s_Sfs" || n == "vpsImag_64fc" || n == "vpsAbs_64f";
    };
    std::vector<std::string> order, expected;
    for (const DspEntryInfo& e : entries)
        for (const auto& [name, fn] : kDoubleModule)
            if (e.name == name && !shared(name))
                order.push_back(name);
    for (const auto& [name, fn] : kDoubleModule)
        if (!shared(name))
            expected.push_back(name);
    EXPECT_EQ(order, expected);
}

TEST(DspRegistry, SecondStartupChangesNothing)
{
    const auto before = DspRegisteredEntries();
    DspStartup();
    const auto after = DspRegisteredEntries();
    ASSERT_EQ(before.size(), after.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(before[i].name, after[i].name);
        EXPECT_EQ(before[i].function, after[i].function);
        EXPECT_EQ(before[i].external, after[i].external);
    }
}

TEST(DspRegistry, EveryRegisteredNameIsKnownAndResolvesToItsFallback)
{
    const std::set<std::string> known(std::begin(kAllNames), std::end(kAllNames));
    std::set<std::string> seen;
    for (const DspEntryInfo& e : DspRegisteredEntries()) {
        SCOPED_TRACE(e.name);
        EXPECT_TRUE(known.count(e.name)) << "not a name of the library";
        EXPECT_TRUE(seen.insert(e.name).second) << "listed twice";
        EXPECT_FALSE(e.external);  // no external library on the test machine
        if (e.name != "vpsSVD_64f_D2L") {
            EXPECT_NE(e.function, nullptr);
        }
        EXPECT_EQ(DspLookup(e.name.c_str()), e.function);
    }
    for (const char* name : kCoreFamilyNames)
        EXPECT_TRUE(seen.count(name)) << name << " is not registered";
    for (const char* name : kResizeNames)
        EXPECT_TRUE(seen.count(name)) << name << " is not registered";
    for (const char* name : kFftNames)
        EXPECT_TRUE(seen.count(name)) << name << " is not registered";
    for (const char* name : kSpectralOpsNames)
        EXPECT_TRUE(seen.count(name)) << name << " is not registered";
    EXPECT_EQ(DspLookup("vpsNoSuchName"), nullptr);
    EXPECT_EQ(DspLookup(nullptr), nullptr);
}

TEST(DspRegistry, TypedGlobalAndNameLookupAreTheSameEntry)
{
    EXPECT_EQ(DspLookupAs<vpsCopy_8u_fn>("vpsCopy_8u"), vpsCopy_8u);
    EXPECT_EQ(vpsCopy_8u, &fallback::vpsCopy_8u);
    EXPECT_EQ(DspLookupAs<vpsDiv_32s_ISfs_fn>("vpsDiv_32s_ISfs"), vpsDiv_32s_ISfs);
    EXPECT_EQ(vpGetCpuType(), 0);
}

TEST(DspRegistry, ANameRegisteredBySecondModuleStaysOneEntry)
{
    static constexpr DspEntryDef kAgain[] = {DCS_DSP_ENTRY(vpsCopy_8u)};
    const std::size_t before = DspRegisteredEntries().size();
    DspRegistrar registrar;
    registrar.Add(kAgain);
    EXPECT_EQ(DspRegisteredEntries().size(), before);
    EXPECT_EQ(DspLookupAs<vpsCopy_8u_fn>("vpsCopy_8u"), &fallback::vpsCopy_8u);
    DspRestartForTesting();
}

// Points the library search at one directory and starts the registry again; puts the
// normal search back afterwards.
class DspLoader : public ::testing::Test {
protected:
    void StartWith(const std::string& dir)
    {
        ::setenv(kLibraryPathVariable, dir.c_str(), 1);
        DspRestartForTesting();
    }
    void TearDown() override
    {
        ::unsetenv(kLibraryPathVariable);
        DspRestartForTesting();
    }
    static std::set<std::string> ExternalNames()
    {
        std::set<std::string> names;
        for (const DspEntryInfo& e : DspRegisteredEntries())
            if (e.external)
                names.insert(e.name);
        return names;
    }
};

constexpr VpsStatus kSignalMarker = 4242;
constexpr VpsStatus kColorMarker = 4343;

TEST_F(DspLoader, SignalLibraryExportsReplaceTheirFallbacksOnly)
{
    StartWith(std::string(DCS_FAKE_LIB_DIR) + "/signal");
    EXPECT_EQ(vpsCopy_8u(nullptr, nullptr, 0), kSignalMarker);
    EXPECT_EQ(DspLookupAs<vpsCopy_8u_fn>("vpsCopy_8u")(nullptr, nullptr, 0), kSignalMarker);
    // The image name it also exports is not taken from it; everything else falls back.
    EXPECT_EQ(vpiCopy_32s_C1R(nullptr, 4, nullptr, 4, {1, 1}), StatusNullPointer);
    EXPECT_EQ(vpsZero_8u(nullptr, 1), StatusNullPointer);
    // A double-precision name it exports is taken from it; a name both the vector library
    // and the double module register is one entry that both registrations fill alike.
    EXPECT_EQ(DspLookup("vpsConjFlip_64fc"), LookupSignalFunction("vpsConjFlip_64fc"));
    EXPECT_EQ(vpsConjFlip_64fc(nullptr, nullptr, 0), kSignalMarker);
    EXPECT_EQ(vpsAbs_64f(nullptr, nullptr, 0), kSignalMarker);
    EXPECT_EQ(DspLookup("vpsAbs_64f"), LookupSignalFunction("vpsAbs_64f"));
    EXPECT_EQ(vpsConj_64fc, &fallback::vpsConj_64fc);
    EXPECT_EQ(ExternalNames(), (std::set<std::string> {"vpsCopy_8u", "vpsConjFlip_64fc", "vpsAbs_64f"}));
}

TEST_F(DspLoader, ShutdownPutsEveryEntryBackOnItsFallbackBeforeReleasing)
{
    StartWith(std::string(DCS_FAKE_LIB_DIR) + "/signal");
    ASSERT_EQ(vpsCopy_8u(nullptr, nullptr, 0), kSignalMarker);
    DspShutdown();
    EXPECT_EQ(vpsCopy_8u(nullptr, nullptr, 0), StatusNullPointer);
    EXPECT_EQ(DspLookup("vpsCopy_8u"), reinterpret_cast<DspProc>(&fallback::vpsCopy_8u));
    EXPECT_TRUE(ExternalNames().empty());
    DspShutdown();  // a second call changes nothing
    EXPECT_EQ(vpsCopy_8u, &fallback::vpsCopy_8u);
}

TEST_F(DspLoader, ColourLibraryAloneServesImageNames)
{
    StartWith(std::string(DCS_FAKE_LIB_DIR) + "/color");
    EXPECT_EQ(vpiCopy_32s_C1R(nullptr, 4, nullptr, 4, {1, 1}), kColorMarker);
    EXPECT_EQ(vpsCopy_8u(nullptr, nullptr, 0), StatusNullPointer);
    EXPECT_EQ(ExternalNames(), std::set<std::string> {"vpiCopy_32s_C1R"});
}

TEST_F(DspLoader, CorruptFilesOrAnEmptyDirectoryLeaveEveryFallbackSilently)
{
    const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / "dcs_corrupt_libs";
    std::filesystem::create_directories(dir);
    for (const char* file : {"libvps-5.1.so", "libvpi-5.1.so", "libvpcc-5.1.so", "libvpcore-5.1.so"})
        std::ofstream(dir / file) << "not a shared object";
    const std::filesystem::path empty = std::filesystem::path(::testing::TempDir()) / "dcs_empty_libs";
    std::filesystem::create_directories(empty);

    for (const auto& d : {dir, empty}) {
        SCOPED_TRACE(d.string());
        ::testing::internal::CaptureStderr();
        ::testing::internal::CaptureStdout();
        StartWith(d.string());
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
        EXPECT_TRUE(ExternalNames().empty());
        EXPECT_EQ(vpsCopy_8u, &fallback::vpsCopy_8u);
        EXPECT_EQ(vpsCopy_8u(nullptr, nullptr, 0), StatusNullPointer);
    }
    std::filesystem::remove_all(dir);
    std::filesystem::remove_all(empty);
}

}  // namespace
}  // namespace dcs
