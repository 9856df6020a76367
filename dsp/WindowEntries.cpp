#include "dsp/WindowEntries.h"

#include <cmath>

#include "dsp/ElementaryEntries.h"
#include "dsp/KernelsInternal.h"

namespace dcs {

using vpsloops::Ext;

long double KaiserBesselI0(long double x)
{
    const Ext a = std::fabs(x);
    if (a < 4.0L) {
        const Ext t = (a * 0.25L) * (a * 0.25L);
        return 0.9999999985L +
            t *
            (4.0000001935L +
             t *
                 (3.9999959541L +
                  t *
                      (1.777809969L +
                       t * (0.4443189384L + t * (0.0713758187L + t * (0.0075942968L + t * 0.0008267816L))))));
    }
    const Ext u = 4.0L / a;
    const Ext p = 0.3989422809L +
        u *
            (0.0124667783L +
             u *
                 (0.0017623668L +
                  u *
                      (0.00026L +
                       u *
                           (0.0022585672L +
                            u *
                                (-0.0128314822L +
                                 u *
                                     (0.0495811118L +
                                      u *
                                          (-0.1209940805L +
                                           u *
                                               (0.1895476618L +
                                                u *
                                                    (-0.1867783276L +
                                                     u *
                                                         (0.1113315511L +
                                                          u * (-0.0366694767L + u * 0.0051246015L)))))))))));
    double ea = static_cast<double>(a);
    fallback::vpsExp_64f_I(&ea, 1);
    return p * ea / std::sqrt(a);
}

namespace {

// Where the weights go: element n and its mirror N-1-n take the same weight; the ends of
// some windows are set to zero; the middle element of an odd length keeps its value.
struct RealInPlace {
    double* p;
    void Scale(int i, Ext w) const { p[i] = static_cast<double>(p[i] * w); }
    void Zero(int i) const { p[i] = 0.0; }
    void Keep(int) const {}
};

struct RealCopy {
    const double* s;
    double* d;
    void Scale(int i, Ext w) const { d[i] = static_cast<double>(s[i] * w); }
    void Zero(int i) const { d[i] = 0.0; }
    void Keep(int i) const { d[i] = s[i]; }
};

struct ComplexInPlace {
    Vps64fc* p;
    void Scale(int i, Ext w) const
    {
        p[i].re = static_cast<double>(p[i].re * w);
        p[i].im = static_cast<double>(p[i].im * w);
    }
    void Zero(int i) const { p[i] = {0.0, 0.0}; }
    void Keep(int) const {}
};

template <class T> void ScalePair(const T& t, int n, int len, Ext w)
{
    t.Scale(n, w);
    t.Scale(len - 1 - n, w);
}

template <class T> void Bartlett(const T& t, int len)
{
    t.Zero(0);
    t.Zero(len - 1);
    // The weight grows by a running sum of 2/(N-1) from the ends toward the middle.
    const Ext step = 2.0L / (len - 1);
    Ext w = 0.0L;
    for (int n = 1; n <= (len - 1) / 2 - 1; ++n) {
        w += step;
        ScalePair(t, n, len, w);
    }
    if (len % 2 == 0)
        ScalePair(t, len / 2 - 1, len, w + step);
    else
        t.Keep(len / 2);
}

// Raised-cosine windows: weight(cos(n*theta)) for the pairs from the ends inward. The
// cosines come from a rotation by theta (one cosine and one square root per call).
template <class T, class Weight> void Cosine(const T& t, int len, Weight weight)
{
    const Ext theta = 2.0L * 3.14159265358979323846264338327950288L / (len - 1);
    const Ext c = std::cos(theta);
    const Ext s = std::sqrt((1.0L - c) * (1.0L + c));
    Ext cn = 1.0L, sn = 0.0L;
    const int pairs = len % 2 == 0 ? len / 2 : (len - 1) / 2;
    for (int n = 0; n < pairs; ++n) {
        ScalePair(t, n, len, weight(cn));
        const Ext next = c * cn - s * sn;
        sn = c * sn + s * cn;
        cn = next;
    }
    if (len % 2 != 0)
        t.Keep(len / 2);
}

template <class T> void Hamming(const T& t, int len)
{
    Cosine(t, len, [](Ext cn) { return 0.54L - 0.46L * cn; });
}

template <class T> void Hann(const T& t, int len)
{
    Cosine(t, len, [](Ext cn) { return 0.5L - 0.5L * cn; });
}

template <class T> void Blackman(const T& t, int len, double alpha)
{
    if (len == 3) {
        t.Zero(0);
        t.Zero(2);
        t.Keep(1);
        return;
    }
    const Ext a = alpha;
    Cosine(t, len, [a](Ext cn) { return (a + 1.0L) / 2.0L - 0.5L * cn - (a / 2.0L) * (2.0L * cn * cn - 1.0L); });
}

template <class T> void Kaiser(const T& t, int len, float alpha)
{
    if (len == 1) {
        t.Keep(0);
        return;
    }
    const Ext a = static_cast<double>(alpha);
    const Ext r = 1.0L / KaiserBesselI0(0.5L * a * (len - 1));
    for (int n = 0; n < len / 2; ++n) {
        double root = static_cast<double>(static_cast<long long>(n) * (len - 1) - static_cast<long long>(n) * n);
        fallback::vpsSqrt_64f_I(&root, 1);
        ScalePair(t, n, len, KaiserBesselI0(a * root) * r);
    }
    if (len % 2 != 0)
        t.Keep(len / 2);
}

// I0 of the window's largest argument overflows beyond 308; NaN is refused as well.
VpsStatus CheckKaiser(int len, float alpha)
{
    if (len <= 0)
        return StatusBadSize;
    const double arg = 0.5 * std::fabs(static_cast<double>(alpha)) * (len - 1.0);
    return arg <= 308.0 ? StatusOk : StatusHugeWindow;
}

template <class Apply> VpsStatus InPlace(double* p, int len, int minLen, Apply apply)
{
    if (p == nullptr)
        return StatusNullPointer;
    if (len < minLen)
        return StatusBadSize;
    apply(RealInPlace {p});
    return StatusOk;
}

template <class Apply> VpsStatus Copy(const double* s, double* d, int len, int minLen, Apply apply)
{
    if (s == nullptr || d == nullptr)
        return StatusNullPointer;
    if (len < minLen)
        return StatusBadSize;
    apply(RealCopy {s, d});
    return StatusOk;
}

template <class Apply> VpsStatus Complex(Vps64fc* p, int len, int minLen, Apply apply)
{
    if (p == nullptr)
        return StatusNullPointer;
    if (len < minLen)
        return StatusBadSize;
    apply(ComplexInPlace {p});
    return StatusOk;
}

#define DCS_WINDOW_FORMS(Name, Call)                                                                                   \
    VpsStatus vpsWin##Name##_64f_I(double* p, int len)                                                                 \
    {                                                                                                                  \
        return InPlace(p, len, 3, [&](const auto& t) { Call(t, len); });                                               \
    }                                                                                                                  \
    VpsStatus vpsWin##Name##_64f(const double* s, double* d, int len)                                                  \
    {                                                                                                                  \
        return Copy(s, d, len, 3, [&](const auto& t) { Call(t, len); });                                               \
    }                                                                                                                  \
    VpsStatus vpsWin##Name##_64fc_I(Vps64fc* p, int len)                                                               \
    {                                                                                                                  \
        return Complex(p, len, 3, [&](const auto& t) { Call(t, len); });                                               \
    }

}  // namespace

namespace fallback {

DCS_WINDOW_FORMS(Bartlett, Bartlett)
DCS_WINDOW_FORMS(Hamming, Hamming)
DCS_WINDOW_FORMS(Hann, Hann)
#undef DCS_WINDOW_FORMS

VpsStatus vpsWinBlackman_64f_I(double* p, int len, double alpha)
{
    return InPlace(p, len, 3, [&](const auto& t) { Blackman(t, len, alpha); });
}

VpsStatus vpsWinBlackman_64f(const double* s, double* d, int len, double alpha)
{
    return Copy(s, d, len, 3, [&](const auto& t) { Blackman(t, len, alpha); });
}

VpsStatus vpsWinBlackman_64fc_I(Vps64fc* p, int len, double alpha)
{
    return Complex(p, len, 3, [&](const auto& t) { Blackman(t, len, alpha); });
}

VpsStatus vpsWinKaiser_64f_I(double* p, int len, float alpha)
{
    if (p == nullptr)
        return StatusNullPointer;
    if (VpsStatus st = CheckKaiser(len, alpha))
        return st;
    Kaiser(RealInPlace {p}, len, alpha);
    return StatusOk;
}

VpsStatus vpsWinKaiser_64f(const double* s, double* d, int len, float alpha)
{
    if (s == nullptr || d == nullptr)
        return StatusNullPointer;
    if (VpsStatus st = CheckKaiser(len, alpha))
        return st;
    Kaiser(RealCopy {s, d}, len, alpha);
    return StatusOk;
}

VpsStatus vpsWinKaiser_64fc_I(Vps64fc* p, int len, float alpha)
{
    if (p == nullptr)
        return StatusNullPointer;
    if (VpsStatus st = CheckKaiser(len, alpha))
        return st;
    Kaiser(ComplexInPlace {p}, len, alpha);
    return StatusOk;
}

}  // namespace fallback

DCS_DSP_DEFINE(vpsWinBartlett_64f_I)
DCS_DSP_DEFINE(vpsWinBartlett_64f)
DCS_DSP_DEFINE(vpsWinBartlett_64fc_I)
DCS_DSP_DEFINE(vpsWinHamming_64f_I)
DCS_DSP_DEFINE(vpsWinHamming_64f)
DCS_DSP_DEFINE(vpsWinHamming_64fc_I)
DCS_DSP_DEFINE(vpsWinHann_64f_I)
DCS_DSP_DEFINE(vpsWinHann_64f)
DCS_DSP_DEFINE(vpsWinHann_64fc_I)
DCS_DSP_DEFINE(vpsWinBlackman_64f_I)
DCS_DSP_DEFINE(vpsWinBlackman_64f)
DCS_DSP_DEFINE(vpsWinBlackman_64fc_I)
DCS_DSP_DEFINE(vpsWinKaiser_64f_I)
DCS_DSP_DEFINE(vpsWinKaiser_64f)
DCS_DSP_DEFINE(vpsWinKaiser_64fc_I)

constexpr DspEntryDef kWindowEntries[] = {
    DCS_DSP_ENTRY(vpsWinBartlett_64fc_I), DCS_DSP_ENTRY(vpsWinBlackman_64fc_I), DCS_DSP_ENTRY(vpsWinHamming_64fc_I),
    DCS_DSP_ENTRY(vpsWinHann_64fc_I),     DCS_DSP_ENTRY(vpsWinKaiser_64fc_I),   DCS_DSP_ENTRY(vpsWinBartlett_64f_I),
    DCS_DSP_ENTRY(vpsWinBartlett_64f),    DCS_DSP_ENTRY(vpsWinBlackman_64f_I),  DCS_DSP_ENTRY(vpsWinBlackman_64f),
    DCS_DSP_ENTRY(vpsWinHamming_64f_I),   DCS_DSP_ENTRY(vpsWinHamming_64f),     DCS_DSP_ENTRY(vpsWinHann_64f_I),
    DCS_DSP_ENTRY(vpsWinHann_64f),        DCS_DSP_ENTRY(vpsWinKaiser_64f_I),    DCS_DSP_ENTRY(vpsWinKaiser_64f),
};

void RegisterWindowEntries(DspRegistrar& r) { r.Add(kWindowEntries); }

}  // namespace dcs
