// The small value types the typed buffers share: the complex pair and the kinds of
// threshold, correlation and norm.
#pragma once

#include "dsp/DspTypes.h"

namespace dcs {

// A complex value of the complex buffers: two doubles, the layout of Vps64fc.
struct TPNRealComplex {
    double Real;
    double Imaginary;
};
static_assert(sizeof(TPNRealComplex) == sizeof(Vps64fc));

enum TSGThresholdType {
    ttGreaterThan,
    ttLessThan
};
enum TSGAutoCorrType {
    actNormal,
    actBiased,
    actUnbiased
};
enum TSGNormType {
    ntL1Norm,
    ntL2Norm,
    ntCNorm
};

}  // namespace dcs
