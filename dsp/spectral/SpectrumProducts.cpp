#include "dsp/spectral/SpectrumProducts.h"

#include "dsp/DspCore.h"

namespace dcs {

VpsStatus dspMulPackConj_64f_I(const double* s, double* d, int n) noexcept
{
    if (const VpsStatus st = DspCheck(n, s, d))
        return st;
    d[0] = s[0] * d[0];
    int end = n;
    if (n % 2 == 0) {
        d[n - 1] = s[n - 1] * d[n - 1];
        end = n - 1;
    }
    for (int i = 1; i + 1 < end; i += 2) {
        const double sr = s[i], si = s[i + 1], dr = d[i], di = d[i + 1];
        d[i] = sr * dr + si * di;
        d[i + 1] = si * dr - sr * di;
    }
    return StatusOk;
}

VpsStatus dspMulPerm_64f_I(const double* s, double* d, int n) noexcept
{
    if (const VpsStatus st = DspCheck(n, s, d))
        return st;
    d[0] = s[0] * d[0];
    int first = 1;
    if (n % 2 == 0) {
        d[1] = s[1] * d[1];
        first = 2;
    }
    for (int i = first; i + 1 < n; i += 2) {
        const double sr = s[i], si = s[i + 1], dr = d[i], di = d[i + 1];
        d[i] = sr * dr - si * di;
        d[i + 1] = sr * di + si * dr;
    }
    return StatusOk;
}

}  // namespace dcs
