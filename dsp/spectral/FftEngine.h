// The FFT engine for complex transforms of 8 to 2^30 points and the real-transform
// recombination, one template for double and float. Set-up builds every table of a spec
// from one quarter sine table; the transforms only read the spec. Nothing here checks its
// arguments: the entries do. Complex data are interleaved (real, imaginary) pairs.
//
// Calling order of a complex transform of order n >= 4: dspFFTPermute (or _I in place),
// then dspFFTRadix4Fwd + dspFFTScale for n up to the radix-4 limit, else dspFFTLargeFwd,
// which scales inside.
#pragma once

#include <cstdint>

#include "dsp/spectral/FftSpec.h"

namespace dcs {

template <class T> using FftComplex = typename FftTraits<T>::Complex;

// ---- set-up -------------------------------------------------------------------------

// Quarter sine table of order q (q >= 3): 2^q/4 + 1 entries sin(2πk/2^q).
template <class T> void dspFFTSineTable(int q, T* dst) noexcept;

// Bit-reversal table of order m >= 2: the pair list (4i, 4d for i < d = bitrev(i) over
// m-2 bits), 0, the self-reversed list read backwards from word 2^(m-2) - 1, and a final 0.
void dspFFTBitRevTable(int m, std::int32_t* dst) noexcept;

// Builds the bit-reversal table, the table area (and, with split levels, the temporary
// area) of the complex transform of `plan` into `spec`, twiddles from the quarter sine
// table of order q. StatusNoMemory when a block cannot be had; what was attached to the
// spec stays there for dspFFTFreeSpec.
template <class T> VpsStatus dspFFTTables(FftSpecT<T>* spec, const FftPlan& plan, const T* sine, int q) noexcept;

// Real recombination tables of a real order n, from the quarter sine table of order n.
template <class T> void dspFFTRealTableFwd(int n, const T* sine, FftComplex<T>* dst) noexcept;
template <class T> void dspFFTRealTableInv(int n, const T* sine, FftComplex<T>* dst) noexcept;

// ---- transforms ---------------------------------------------------------------------

// dst[bitrev(j)] = src[j] for the n points (n >= 8; the arrays do not overlap). From 2^10
// points on the permutation runs in cache-sized blocks and the list is not read.
template <class T>
void dspFFTPermute(const FftComplex<T>* src, FftComplex<T>* dst, std::int64_t n, const std::int32_t* bitRev) noexcept;
// The same in place (nothing for n < 4).
template <class T> void dspFFTPermute_I(FftComplex<T>* data, std::int64_t n, const std::int32_t* bitRev) noexcept;

// x[bitrev(j)] = x[j]·w[j] for the n points, in place: an element-wise product (rounded
// as a plain complex product) fused with dspFFTPermute_I where the arrays are short.
void dspFFTMulPermute_I(const Vps64fc* w, Vps64fc* x, std::int64_t n, const std::int32_t* bitRev) noexcept;

// Radix-4 kernel over n bit-reversed points (8 <= n <= the radix-4 limit), in place.
template <class T> void dspFFTRadix4Fwd(FftComplex<T>* data, std::int64_t n, const FftComplex<T>* table) noexcept;
template <class T> void dspFFTRadix4Inv(FftComplex<T>* data, std::int64_t n, const FftComplex<T>* table) noexcept;

// data[i] *= factor for n values.
template <class T> void dspFFTScale(T factor, T* data, std::int64_t n) noexcept;

// The whole transform of a permuted array of order n above the radix-4 limit, scaled as
// the spec asks; `work` is the aligned work area of the spec's work size.
template <class T>
void dspFFTLargeFwd(const FftSpecT<T>* spec, FftComplex<T>* data, int n, FftComplex<T>* work) noexcept;
template <class T>
void dspFFTLargeInv(const FftSpecT<T>* spec, FftComplex<T>* data, int n, FftComplex<T>* work) noexcept;

// Real transforms of m = N/2 complex points: the half-length spectrum in `data` (DC and
// Nyquist already in place) becomes the Perm layout; the inverse forms the half-length
// spectrum to inverse-transform from a spectrum whose DC/Nyquist pair is already in dst.
template <class T> void dspFFTRealPostFwd(FftComplex<T>* data, std::int64_t m, const FftComplex<T>* table) noexcept;
template <class T>
void dspFFTRealPreInv(const FftComplex<T>* src, FftComplex<T>* dst, std::int64_t m,
                      const FftComplex<T>* table) noexcept;

}  // namespace dcs
