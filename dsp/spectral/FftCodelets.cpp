#include "dsp/spectral/FftCodelets.h"

namespace dcs {

namespace {

template <class T> constexpr T kHalfSqrt2 = static_cast<T>(0.7071067811865476);
constexpr double kSqrt2 = 1.4142135623730951;

// Applied to every first-stage sum and difference as it is formed.
struct Plain {
    template <class T> T operator()(T v) const { return v; }
};
template <class F> struct ByFactor {
    F f;
    template <class T> T operator()(T v) const { return v * f; }
};

struct Cx {
    double re, im;
};
inline Cx operator+(Cx a, Cx b) { return {a.re + b.re, a.im + b.im}; }
inline Cx operator-(Cx a, Cx b) { return {a.re - b.re, a.im - b.im}; }
// r·a with r = -i forward, +i inverse
template <bool Inv> inline Cx Rot(Cx a) { return Inv ? Cx {-a.im, a.re} : Cx {a.im, -a.re}; }

template <class S> inline Cx Sum(const Vps64fc& a, const Vps64fc& b, S sc)
{
    return {sc(a.re + b.re), sc(a.im + b.im)};
}
template <class S> inline Cx Diff(const Vps64fc& a, const Vps64fc& b, S sc)
{
    return {sc(a.re - b.re), sc(a.im - b.im)};
}
inline void Store(Vps64fc& y, Cx v) { y = {v.re, v.im}; }

template <class S> void Cx1(const Vps64fc* x, Vps64fc* y, S sc) { y[0] = {sc(x[0].re), sc(x[0].im)}; }

template <class S> void Cx2(const Vps64fc* x, Vps64fc* y, S sc)
{
    const Cx s = Sum(x[0], x[1], sc);
    const Cx d = Diff(x[0], x[1], sc);
    Store(y[0], s);
    Store(y[1], d);
}

template <bool Inv, class S> void Cx4(const Vps64fc* x, Vps64fc* y, S sc)
{
    const Cx a = Sum(x[0], x[2], sc);
    const Cx b = Diff(x[0], x[2], sc);
    const Cx c = Sum(x[1], x[3], sc);
    const Cx rd = Rot<Inv>(Diff(x[1], x[3], sc));
    Store(y[0], a + c);
    Store(y[2], a - c);
    Store(y[1], b + rd);
    Store(y[3], b - rd);
}

template <bool Inv, class S> void Cx8(const Vps64fc* x, Vps64fc* y, S sc)
{
    constexpr double h = kHalfSqrt2<double>;
    const Cx s04 = Sum(x[0], x[4], sc), d04 = Diff(x[0], x[4], sc);
    const Cx s26 = Sum(x[2], x[6], sc), d26 = Diff(x[2], x[6], sc);
    const Cx s15 = Sum(x[1], x[5], sc), d15 = Diff(x[1], x[5], sc);
    const Cx s37 = Sum(x[3], x[7], sc), d37 = Diff(x[3], x[7], sc);
    const Cx e0 = s04 + s26, e2 = s04 - s26;
    const Cx e1 = d04 + Rot<Inv>(d26), e3 = d04 - Rot<Inv>(d26);
    const Cx o0 = s15 + s37;
    const Cx o2 = Rot<Inv>(s15 - s37);  // w^2 = r
    const Cx p1 = d15 + Rot<Inv>(d37), p3 = d15 - Rot<Inv>(d37);
    // w^1 and w^3: sum and difference of the parts, each times ±√½
    const Cx o1 = Inv ? Cx {h * (p1.re - p1.im), h * (p1.re + p1.im)} : Cx {h * (p1.re + p1.im), h * (p1.im - p1.re)};
    const Cx o3 = Inv ? Cx {-h * (p3.re + p3.im), h * (p3.re - p3.im)} : Cx {h * (p3.im - p3.re), -h * (p3.re + p3.im)};
    Store(y[0], e0 + o0);
    Store(y[4], e0 - o0);
    Store(y[1], e1 + o1);
    Store(y[5], e1 - o1);
    Store(y[2], e2 + o2);
    Store(y[6], e2 - o2);
    Store(y[3], e3 + o3);
    Store(y[7], e3 - o3);
}

template <class T, class S> void Re1(const T* x, T* y, S sc) { y[0] = sc(x[0]); }

template <class T, class S> void Re2(const T* x, T* y, S sc)
{
    const T s = sc(x[0] + x[1]);
    const T d = sc(x[0] - x[1]);
    y[0] = s;
    y[1] = d;
}

template <class T, class S> void ReFwd4(const T* x, T* y, S sc)
{
    const T a = sc(x[0] + x[2]);
    const T b = sc(x[0] - x[2]);
    const T c = sc(x[1] + x[3]);
    const T d = sc(x[3] - x[1]);
    y[0] = a + c;
    y[1] = a - c;
    y[2] = b;
    y[3] = d;
}

template <class S> void ReInv4(const double* x, double* y, S sc)
{
    const double a = sc(x[0] + x[1]);
    const double b = sc(x[0] - x[1]);
    const double c = sc(2.0 * x[2]);
    const double d = sc(2.0 * x[3]);
    y[0] = a + c;
    y[2] = a - c;
    y[1] = b - d;
    y[3] = b + d;
}

template <class T, class S> void ReFwd8(const T* x, T* y, S sc)
{
    constexpr T h = kHalfSqrt2<T>;
    const T p0 = sc(x[0] + x[4]), p1 = sc(x[0] - x[4]);
    const T q0 = sc(x[2] + x[6]), q1 = sc(x[2] - x[6]);
    const T s0 = sc(x[1] + x[5]), s1 = sc(x[1] - x[5]);
    const T t0 = sc(x[3] + x[7]), t1 = sc(x[3] - x[7]);
    const T u = h * (s1 - t1);
    const T v = -h * (s1 + t1);
    y[0] = (p0 + q0) + (s0 + t0);
    y[1] = (p0 + q0) - (s0 + t0);
    y[2] = p1 + u;
    y[3] = v - q1;
    y[4] = p0 - q0;
    y[5] = t0 - s0;
    y[6] = p1 - u;
    y[7] = v + q1;
}

template <class S> void ReInv8(const double* x, double* y, S sc)
{
    const double a = sc(x[0] + x[1]), b = sc(x[0] - x[1]);
    const double c = sc(2.0 * x[4]), d = sc(2.0 * x[5]);
    const double A = sc(x[2] + x[6]), B = sc(x[3] - x[7]);
    const double u = sc(x[2] - x[6]), v = sc(x[3] + x[7]);
    const double w = kSqrt2 * (u - v);
    const double z = -kSqrt2 * (u + v);
    y[0] = a + c + 2.0 * A;
    y[4] = a + c - 2.0 * A;
    y[2] = a - c - 2.0 * B;
    y[6] = a - c + 2.0 * B;
    y[1] = b - d + w;
    y[5] = b - d - w;
    y[3] = b + d + z;
    y[7] = b + d - z;
}

}  // namespace

// clang-format off
void dspFFT1_64fc(const Vps64fc* x, Vps64fc* y) { Cx1(x, y, Plain{}); }
void dspFFT1Scale_64fc(const Vps64fc* x, Vps64fc* y, double f) { Cx1(x, y, ByFactor<double>{f}); }
void dspFFT2_64fc(const Vps64fc* x, Vps64fc* y) { Cx2(x, y, Plain{}); }
void dspFFT2Scale_64fc(const Vps64fc* x, Vps64fc* y, double f) { Cx2(x, y, ByFactor<double>{f}); }
void dspFFTFwd4_64fc(const Vps64fc* x, Vps64fc* y) { Cx4<false>(x, y, Plain{}); }
void dspFFTFwd4Scale_64fc(const Vps64fc* x, Vps64fc* y, double f) { Cx4<false>(x, y, ByFactor<double>{f}); }
void dspFFTInv4_64fc(const Vps64fc* x, Vps64fc* y) { Cx4<true>(x, y, Plain{}); }
void dspFFTInv4Scale_64fc(const Vps64fc* x, Vps64fc* y, double f) { Cx4<true>(x, y, ByFactor<double>{f}); }
void dspFFTFwd8_64fc(const Vps64fc* x, Vps64fc* y) { Cx8<false>(x, y, Plain{}); }
void dspFFTFwd8Scale_64fc(const Vps64fc* x, Vps64fc* y, double f) { Cx8<false>(x, y, ByFactor<double>{f}); }
void dspFFTInv8_64fc(const Vps64fc* x, Vps64fc* y) { Cx8<true>(x, y, Plain{}); }
void dspFFTInv8Scale_64fc(const Vps64fc* x, Vps64fc* y, double f) { Cx8<true>(x, y, ByFactor<double>{f}); }

void dspFFT1_64f(const double* x, double* y) { Re1(x, y, Plain{}); }
void dspFFT1Scale_64f(const double* x, double* y, double f) { Re1(x, y, ByFactor<double>{f}); }
void dspFFT2_64f(const double* x, double* y) { Re2(x, y, Plain{}); }
void dspFFT2Scale_64f(const double* x, double* y, double f) { Re2(x, y, ByFactor<double>{f}); }
void dspFFTFwd4_64f(const double* x, double* y) { ReFwd4(x, y, Plain{}); }
void dspFFTFwd4Scale_64f(const double* x, double* y, double f) { ReFwd4(x, y, ByFactor<double>{f}); }
void dspFFTInv4_64f(const double* x, double* y) { ReInv4(x, y, Plain{}); }
void dspFFTInv4Scale_64f(const double* x, double* y, double f) { ReInv4(x, y, ByFactor<double>{f}); }
void dspFFTFwd8_64f(const double* x, double* y) { ReFwd8(x, y, Plain{}); }
void dspFFTFwd8Scale_64f(const double* x, double* y, double f) { ReFwd8(x, y, ByFactor<double>{f}); }
void dspFFTInv8_64f(const double* x, double* y) { ReInv8(x, y, Plain{}); }
void dspFFTInv8Scale_64f(const double* x, double* y, double f) { ReInv8(x, y, ByFactor<double>{f}); }

void dspFFT1_32f(const float* x, float* y) { Re1(x, y, Plain{}); }
void dspFFT1Scale_32f(const float* x, float* y, float f) { Re1(x, y, ByFactor<float>{f}); }
void dspFFT2_32f(const float* x, float* y) { Re2(x, y, Plain{}); }
void dspFFT2Scale_32f(const float* x, float* y, float f) { Re2(x, y, ByFactor<float>{f}); }
void dspFFTFwd4_32f(const float* x, float* y) { ReFwd4(x, y, Plain{}); }
void dspFFTFwd4Scale_32f(const float* x, float* y, float f) { ReFwd4(x, y, ByFactor<float>{f}); }
void dspFFTFwd8_32f(const float* x, float* y) { ReFwd8(x, y, Plain{}); }
void dspFFTFwd8Scale_32f(const float* x, float* y, float f) { ReFwd8(x, y, ByFactor<float>{f}); }
// clang-format on

const FftCodeletTable<Vps64fc, double> kFftFwdCodelets_64fc = {
    {dspFFT1_64fc, dspFFT2_64fc, dspFFTFwd4_64fc, dspFFTFwd8_64fc},
    {dspFFT1Scale_64fc, dspFFT2Scale_64fc, dspFFTFwd4Scale_64fc, dspFFTFwd8Scale_64fc}};
const FftCodeletTable<Vps64fc, double> kFftInvCodelets_64fc = {
    {dspFFT1_64fc, dspFFT2_64fc, dspFFTInv4_64fc, dspFFTInv8_64fc},
    {dspFFT1Scale_64fc, dspFFT2Scale_64fc, dspFFTInv4Scale_64fc, dspFFTInv8Scale_64fc}};
const FftCodeletTable<double, double> kFftFwdCodelets_64f = {
    {dspFFT1_64f, dspFFT2_64f, dspFFTFwd4_64f, dspFFTFwd8_64f},
    {dspFFT1Scale_64f, dspFFT2Scale_64f, dspFFTFwd4Scale_64f, dspFFTFwd8Scale_64f}};
const FftCodeletTable<double, double> kFftInvCodelets_64f = {
    {dspFFT1_64f, dspFFT2_64f, dspFFTInv4_64f, dspFFTInv8_64f},
    {dspFFT1Scale_64f, dspFFT2Scale_64f, dspFFTInv4Scale_64f, dspFFTInv8Scale_64f}};
const FftCodeletTable<float, float> kFftFwdCodelets_32f = {
    {dspFFT1_32f, dspFFT2_32f, dspFFTFwd4_32f, dspFFTFwd8_32f},
    {dspFFT1Scale_32f, dspFFT2Scale_32f, dspFFTFwd4Scale_32f, dspFFTFwd8Scale_32f}};

void dspScale_64f_I(double factor, double* data, int n)
{
    for (int i = 0; i < n; ++i)
        data[i] *= factor;
}

}  // namespace dcs
