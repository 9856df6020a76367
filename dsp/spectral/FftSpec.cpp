#include "dsp/spectral/FftSpec.h"

#include "dsp/DspCore.h"
#include "dsp/MemoryEntries.h"
#include "dsp/spectral/FftEngine.h"

namespace dcs {

template <class T> void dspFFTFreeSpec(FftSpecT<T>* spec) noexcept
{
    spec->id = 0;
    if (spec->owned != 1)
        return;
    dspFree(spec->bitRev);
    dspFree(spec->leafTable);
    dspFree(spec->recombFwd);
    dspFree(spec->recombInv);
    dspFree(spec);
}

namespace {

// Everything but the record: the tables of the complex transform and, for a real spec,
// the two recombination tables, all from one quarter sine table of the spec's order.
template <class T> VpsStatus BuildTables(FftSpecT<T>* spec, bool real, const FftSplitTable& split)
{
    using C = FftComplex<T>;
    const int order = spec->order;
    const FftPlan plan = FftMakePlan<T>(order, real, split);
    if (!plan.valid)
        return StatusNoMemory;  // a split table this engine cannot run: no block for it
    T* sine = static_cast<T*>(dspMallocBytes(plan.sineBytes));
    if (!sine)
        return StatusNoMemory;
    dspFFTSineTable(order, sine);
    VpsStatus status = dspFFTTables(spec, plan, sine, order);
    if (status == StatusOk && real) {
        spec->recombFwd = static_cast<C*>(dspMallocBytes(plan.recombBytes));
        if (spec->recombFwd) {
            dspFFTRealTableFwd(order, sine, spec->recombFwd);
            spec->recombInv = static_cast<C*>(dspMallocBytes(plan.recombBytes));
            if (spec->recombInv)
                dspFFTRealTableInv(order, sine, spec->recombInv);
        }
        if (!spec->recombInv)
            status = StatusNoMemory;
    }
    dspFree(sine);
    return status;
}

}  // namespace

template <class T>
VpsStatus FftSpecCreate(FftSpecT<T>** out, std::uint32_t id, bool real, int order, int flag, int hint,
                        const FftSplitTable& split) noexcept
{
    if (!out)
        return StatusNullPointer;
    if (order < 0 || order > kFftMaxOrder)
        return StatusBadFftOrder;
    auto* spec = static_cast<FftSpecT<T>*>(dspMallocBytes(sizeof(FftSpecT<T>)));
    if (!spec)
        return StatusNoMemory;
    fallback::vpsZero_8u(reinterpret_cast<Vps8u*>(spec), static_cast<int>(sizeof(FftSpecT<T>)));
    spec->id = id;
    spec->order = order;
    spec->hint = hint;
    spec->owned = 1;
    const double n = static_cast<double>(std::int64_t {1} << order);
    switch (flag) {
    case 8: break;
    case 4:
        spec->forwardScaled = spec->inverseScaled = 1;
        spec->scale = static_cast<T>(1.0 / dspSqrt(n));
        break;
    case 1:
        spec->forwardScaled = 1;
        spec->scale = static_cast<T>(1.0 / n);
        break;
    case 2:
        spec->inverseScaled = 1;
        spec->scale = static_cast<T>(1.0 / n);
        break;
    default: dspFFTFreeSpec(spec); return StatusBadFftFlag;
    }
    if (order >= 4) {
        if (const VpsStatus status = BuildTables(spec, real, split)) {
            dspFFTFreeSpec(spec);
            return status;
        }
    }
    *out = spec;
    return StatusOk;
}

template VpsStatus FftSpecCreate<double>(FftSpecT<double>**, std::uint32_t, bool, int, int, int,
                                         const FftSplitTable&) noexcept;
template VpsStatus FftSpecCreate<float>(FftSpecT<float>**, std::uint32_t, bool, int, int, int,
                                        const FftSplitTable&) noexcept;
template void dspFFTFreeSpec<double>(FftSpecT<double>*) noexcept;
template void dspFFTFreeSpec<float>(FftSpecT<float>*) noexcept;

}  // namespace dcs
