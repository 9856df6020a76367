#include "dsp/spectral/FftTransforms.h"

#include "dsp/DspCore.h"
#include "dsp/spectral/FftCodelets.h"
#include "dsp/spectral/FftEngine.h"

namespace dcs {

namespace {

template <class T> const FftCodeletTable<T, T>& RealFwdCodelets()
{
    if constexpr (sizeof(T) == 8)
        return kFftFwdCodelets_64f;
    else
        return kFftFwdCodelets_32f;
}

// The work area of one call: the caller's buffer from its next 16-byte boundary, or a
// block of the spec's work size owned by this object.
template <class C> class WorkArea {
public:
    WorkArea(std::int32_t bytes, Vps8u* buffer) noexcept
    {
        if (bytes <= 0)
            return;
        if (buffer) {
            const auto v = reinterpret_cast<std::uintptr_t>(buffer);
            area_ = reinterpret_cast<C*>((v + 15) & ~std::uintptr_t {15});
        } else {
            owned_ = dspMallocBytes(bytes);
            area_ = static_cast<C*>(owned_);
            failed_ = owned_ == nullptr;
        }
    }
    ~WorkArea() { dspFree(owned_); }
    WorkArea(const WorkArea&) = delete;
    WorkArea& operator=(const WorkArea&) = delete;
    bool Failed() const noexcept { return failed_; }
    C* Get() const noexcept { return area_; }

private:
    C* area_ = nullptr;
    void* owned_ = nullptr;
    bool failed_ = false;
};

// The butterflies of a complex transform of order m >= 3 on bit-reversed data, in place.
template <class T, bool Inv>
void ComplexButterflies(FftComplex<T>* dst, int m, const FftSpecT<T>* spec, FftComplex<T>* work)
{
    const std::int64_t n = std::int64_t {1} << m;
    if (m <= FftTraits<T>::kLeafMaxOrder) {
        if constexpr (Inv)
            dspFFTRadix4Inv<T>(dst, n, spec->leafTable);
        else
            dspFFTRadix4Fwd<T>(dst, n, spec->leafTable);
        if ((Inv ? spec->inverseScaled : spec->forwardScaled) != 0)
            dspFFTScale<T>(spec->scale, &dst->re, 2 * n);
    } else if constexpr (Inv) {
        dspFFTLargeInv<T>(spec, dst, m, work);
    } else {
        dspFFTLargeFwd<T>(spec, dst, m, work);
    }
}

// Complex transform of order m >= 3 with the FftSpec's tables, in dst, permuted from src.
template <class T, bool Inv>
void ComplexCore(const FftComplex<T>* src, FftComplex<T>* dst, int m, const FftSpecT<T>* spec, FftComplex<T>* work)
{
    const std::int64_t n = std::int64_t {1} << m;
    if (src == dst)
        dspFFTPermute_I<T>(dst, n, spec->bitRev);
    else
        dspFFTPermute<T>(src, dst, n, spec->bitRev);
    ComplexButterflies<T, Inv>(dst, m, spec, work);
}

}  // namespace

template <class T> VpsStatus FftBufSize(const FftSpecT<T>* spec, std::uint32_t id, int* size) noexcept
{
    if (!size || !spec)
        return StatusNullPointer;
    if (FftSpecId(spec) != id)
        return StatusWrongContext;
    const std::int32_t work = spec->workSize;
    *size = work > 0 ? work + 16 : 0;
    return StatusOk;
}

template <class T> VpsStatus FftFree(FftSpecT<T>* spec, std::uint32_t id) noexcept
{
    if (!spec)
        return StatusNullPointer;
    if (FftSpecId(spec) != id)
        return StatusWrongContext;
    dspFFTFreeSpec(spec);
    return StatusOk;
}

template <bool Inv>
VpsStatus FftComplexRun(const Vps64fc* src, Vps64fc* dst, const FftSpec* spec, Vps8u* buffer) noexcept
{
    if (const VpsStatus s = FftCheck(spec, kIdFftSpecComplex, src, dst))
        return s;
    const int order = spec->order;
    const bool scaled = (Inv ? spec->inverseScaled : spec->forwardScaled) != 0;
    if (order <= 3) {
        const auto& codelets = Inv ? kFftInvCodelets_64fc : kFftFwdCodelets_64fc;
        if (scaled)
            codelets.scaled[order](src, dst, spec->scale);
        else
            codelets.plain[order](src, dst);
        return StatusOk;
    }
    const WorkArea<Vps64fc> work(spec->workSize, buffer);
    if (work.Failed())
        return StatusNoMemory;
    ComplexCore<double, Inv>(src, dst, order, spec, work.Get());
    return StatusOk;
}

template <class T>
VpsStatus FftRealFwdRun(const T* src, T* dst, const FftSpecT<T>* spec, Vps8u* buffer, FftLayout layout,
                        std::uint32_t id) noexcept
{
    if (const VpsStatus s = FftCheck(spec, id, src, dst))
        return s;
    using C = FftComplex<T>;
    const int order = spec->order;
    const std::int64_t n = std::int64_t {1} << order;
    if (order <= 3) {
        const auto& codelets = RealFwdCodelets<T>();
        if (spec->forwardScaled)
            codelets.scaled[order](src, dst, spec->scale);
        else
            codelets.plain[order](src, dst);
    } else {
        const WorkArea<C> work(spec->workSize, buffer);
        if (work.Failed())
            return StatusNoMemory;
        C* z = reinterpret_cast<C*>(dst);
        ComplexCore<T, false>(reinterpret_cast<const C*>(src), z, order - 1, spec, work.Get());
        const T a = dst[0];
        const T b = dst[1];
        dst[0] = a + b;
        dst[1] = a - b;
        dspFFTRealPostFwd<T>(z, n / 2, spec->recombFwd);
    }
    if (layout == FftLayout::Pack && n > 2) {
        const T nyquist = dst[1];
        for (std::int64_t k = 1; k < n - 1; ++k)
            dst[k] = dst[k + 1];
        dst[n - 1] = nyquist;
    } else if (layout == FftLayout::Ccs) {
        if (n > 1) {
            dst[n] = dst[1];
            dst[n + 1] = 0;
        }
        dst[1] = 0;
    }
    return StatusOk;
}

VpsStatus FftRealInvRun(const double* src, double* dst, const FftSpec* spec, Vps8u* buffer, FftLayout layout) noexcept
{
    if (const VpsStatus s = FftCheck(spec, kIdFftSpecReal, src, dst))
        return s;
    const int order = spec->order;
    const std::int64_t n = std::int64_t {1} << order;
    const WorkArea<Vps64fc> work(order <= 3 ? 0 : spec->workSize, buffer);
    if (work.Failed())
        return StatusNoMemory;
    // The codelets and the recombination read the Perm order. CCS pairs already sit where
    // Perm has them; a Pack spectrum is moved into dst first (descending, so in place works).
    const double* perm = src;
    double nyquist = n > 1 ? src[1] : 0.0;
    if (layout == FftLayout::Ccs) {
        nyquist = n > 1 ? src[n] : 0.0;
        if (order <= 3) {
            dst[0] = src[0];
            if (n > 1)
                dst[1] = nyquist;
            for (std::int64_t k = 2; k < n; ++k)
                dst[k] = src[k];
            perm = dst;
        }
    } else if (layout == FftLayout::Pack) {
        nyquist = src[n - 1];
        dst[0] = src[0];
        for (std::int64_t k = n - 1; k >= 2; --k)
            dst[k] = src[k - 1];
        if (n > 1)
            dst[1] = nyquist;
        perm = dst;
    }
    if (order <= 3) {
        if (spec->inverseScaled)
            kFftInvCodelets_64f.scaled[order](perm, dst, spec->scale);
        else
            kFftInvCodelets_64f.plain[order](perm, dst);
        return StatusOk;
    }
    const double x0 = perm[0];
    auto* z = reinterpret_cast<Vps64fc*>(dst);
    dspFFTRealPreInv<double>(reinterpret_cast<const Vps64fc*>(perm), z, n / 2, spec->recombInv);
    z[0] = {x0 + nyquist, x0 - nyquist};
    ComplexCore<double, true>(z, z, order - 1, spec, work.Get());
    return StatusOk;
}

template VpsStatus FftBufSize<double>(const FftSpecT<double>*, std::uint32_t, int*) noexcept;
template VpsStatus FftBufSize<float>(const FftSpecT<float>*, std::uint32_t, int*) noexcept;
template VpsStatus FftFree<double>(FftSpecT<double>*, std::uint32_t) noexcept;
template VpsStatus FftFree<float>(FftSpecT<float>*, std::uint32_t) noexcept;
template <bool Inv> void FftComplexPermuted(const FftSpec* spec, Vps64fc* data, Vps8u* work) noexcept
{
    auto* w = reinterpret_cast<Vps64fc*>((reinterpret_cast<std::uintptr_t>(work) + 15) & ~std::uintptr_t {15});
    ComplexButterflies<double, Inv>(data, spec->order, spec, w);
}

template void FftComplexPermuted<false>(const FftSpec*, Vps64fc*, Vps8u*) noexcept;
template void FftComplexPermuted<true>(const FftSpec*, Vps64fc*, Vps8u*) noexcept;
template VpsStatus FftComplexRun<false>(const Vps64fc*, Vps64fc*, const FftSpec*, Vps8u*) noexcept;
template VpsStatus FftComplexRun<true>(const Vps64fc*, Vps64fc*, const FftSpec*, Vps8u*) noexcept;
template VpsStatus FftRealFwdRun<double>(const double*, double*, const FftSpec*, Vps8u*, FftLayout,
                                         std::uint32_t) noexcept;
template VpsStatus FftRealFwdRun<float>(const float*, float*, const FftSpec32f*, Vps8u*, FftLayout,
                                        std::uint32_t) noexcept;

}  // namespace dcs
