// Test support: long-double reference transforms (FFTW's long-double plans, an
// independent implementation) and the comparison the FFT tests use.
#pragma once

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "dsp/DspTypes.h"
#include "dsp/KernelsInternal.h"

namespace dcs::ffttest {

using vpsloops::Ext;

// Uniform in [-1, 1], reproducible per seed.
inline std::vector<double> RandomReals(std::size_t n, unsigned seed)
{
    std::mt19937_64 gen(seed);
    std::uniform_real_distribution<double> dist(-1.0, 1.0);
    std::vector<double> v(n);
    for (double& x : v)
        x = dist(gen);
    return v;
}

// Complex reference transform of n = x.size() / 2 interleaved points; sign -1 forward,
// +1 inverse, unnormalised. Result interleaved, long double.
inline std::vector<Ext> RefComplex(const std::vector<double>& x, int sign)
{
    const std::size_t n = x.size() / 2;
    auto* in = static_cast<fftwl_complex*>(fftwl_malloc(sizeof(fftwl_complex) * n));
    auto* out = static_cast<fftwl_complex*>(fftwl_malloc(sizeof(fftwl_complex) * n));
    fftwl_plan plan =
        fftwl_plan_dft_1d(static_cast<int>(n), in, out, sign < 0 ? FFTW_FORWARD : FFTW_BACKWARD, FFTW_ESTIMATE);
    for (std::size_t i = 0; i < n; ++i) {
        in[i][0] = x[2 * i];
        in[i][1] = x[2 * i + 1];
    }
    fftwl_execute(plan);
    std::vector<Ext> y(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        y[2 * i] = out[i][0];
        y[2 * i + 1] = out[i][1];
    }
    fftwl_destroy_plan(plan);
    fftwl_free(in);
    fftwl_free(out);
    return y;
}

// Forward spectrum of n reals in the CCS order: re, im of X(0)..X(n/2), n + 2 values.
inline std::vector<Ext> RefRealForward(const std::vector<double>& x)
{
    const std::size_t n = x.size();
    auto* in = static_cast<long double*>(fftwl_malloc(sizeof(long double) * n));
    auto* out = static_cast<fftwl_complex*>(fftwl_malloc(sizeof(fftwl_complex) * (n / 2 + 1)));
    fftwl_plan plan = fftwl_plan_dft_r2c_1d(static_cast<int>(n), in, out, FFTW_ESTIMATE);
    std::copy(x.begin(), x.end(), in);
    fftwl_execute(plan);
    std::vector<Ext> y(n + 2, 0.0L);
    for (std::size_t k = 0; k <= n / 2; ++k) {
        y[2 * k] = out[k][0];
        y[2 * k + 1] = out[k][1];
    }
    if (n == 1)
        y.resize(2);
    fftwl_destroy_plan(plan);
    fftwl_free(in);
    fftwl_free(out);
    return y;
}

// Unnormalised inverse of a CCS spectrum (n + 2 values; imaginary parts of X(0) and
// X(n/2) are taken as 0) to n reals.
inline std::vector<Ext> RefRealInverse(const std::vector<double>& ccs, std::size_t n)
{
    auto* in = static_cast<fftwl_complex*>(fftwl_malloc(sizeof(fftwl_complex) * (n / 2 + 1)));
    auto* out = static_cast<long double*>(fftwl_malloc(sizeof(long double) * n));
    fftwl_plan plan = fftwl_plan_dft_c2r_1d(static_cast<int>(n), in, out, FFTW_ESTIMATE);
    for (std::size_t k = 0; k <= n / 2; ++k) {
        in[k][0] = ccs[2 * k];
        in[k][1] = (k == 0 || 2 * k == n) ? 0.0L : ccs[2 * k + 1];
    }
    fftwl_execute(plan);
    std::vector<Ext> y(out, out + n);
    fftwl_destroy_plan(plan);
    fftwl_free(in);
    fftwl_free(out);
    return y;
}

// A CCS spectrum (n + 2 values) moved into the Pack or Perm layout (n values).
template <class V> V CcsToPack(const V& ccs, std::size_t n)
{
    V out(n);
    out[0] = ccs[0];
    for (std::size_t i = 1; i + 1 < n; ++i)
        out[i] = ccs[i + 1];
    if (n > 1)
        out[n - 1] = ccs[n];
    return out;
}
template <class V> V CcsToPerm(const V& ccs, std::size_t n)
{
    V out(n);
    out[0] = ccs[0];
    if (n > 1)
        out[1] = ccs[n];
    for (std::size_t i = 2; i < n; ++i)
        out[i] = ccs[i];
    return out;
}

// ||y - s·ref||inf / ||s·ref||inf (the absolute error when the reference is all zero).
template <class Y> Ext RelativeError(const Y* y, const std::vector<Ext>& ref, Ext s = 1.0L)
{
    Ext err = 0, mag = 0;
    for (std::size_t i = 0; i < ref.size(); ++i) {
        err = std::max(err, std::fabs(static_cast<Ext>(y[i]) - s * ref[i]));
        mag = std::max(mag, std::fabs(s * ref[i]));
    }
    return mag > 0 ? err / mag : err;
}

inline double Tolerance(double perLevel, int order) { return perLevel * std::max(1, order); }

}  // namespace dcs::ffttest
