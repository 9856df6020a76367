// The double FIR filter state: taps, delay line, and for 32 taps or more the spectrum of
// the taps with an FFT spec, so long calls run as overlap-save blocks. Made by
// dspFIRInitAlloc_64f, read and advanced by vpsFIR_64f and vpsFIROne_64f.
#pragma once

#include <cstdint>

#include "dsp/spectral/FftSpec.h"

namespace dcs {

// Ids: kIdFirState; kIdFirState2 (multi-rate) is accepted by the release only.
struct FirState {
    std::uint32_t id;
    double* taps;   // T taps in reverse order: taps[t] = h[T - 1 - t]
    double* delay;  // work area of 3T + 4 doubles; from delayPos on: x[-T] .. x[-1]
    std::int32_t tapCount;
    std::int32_t multiRate0;
    std::int32_t directBlock;  // tap count rounded up to a multiple of 4, plus 1
    std::int32_t multiRate1[2];
    FftSpec* spec;          // null below 32 taps
    double* tapsSpectrum;   // G doubles, Perm layout; null without FFT
    std::int32_t fftSize;   // G, or -1 without FFT
    std::int32_t delayPos;  // 0 after init and after every vpsFIR_64f call
    std::int32_t multiRate2[4];
    std::int32_t tapCount2;
    double* block;   // G doubles for one overlap-save block
    Vps8u* fftWork;  // null when the FftSpec needs none
    std::int32_t fftWorkSize;
    void* scratch;  // 32768 bytes, unused by the single-rate filter
    void* delayEnd;
    std::int32_t owned;  // 1: vpsFIRFree_64f releases the block
};

// Builds a state of id `id` in one aligned block and stores it in *ppState, only on
// success (ownership passes to the caller, released by vpsFIRFree_64f). The delay line
// is most recent first, null for zeros. No argument checks: the entries check first.
// Statuses: 0, -9, or that of the FFT set-up (-15 above order 30).
VpsStatus dspFIRInitAlloc_64f(FirState** ppState, const double* pTaps, int tapsLen, const double* pDlyLine,
                              std::uint32_t id) noexcept;

}  // namespace dcs
