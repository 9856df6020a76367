// The standard operations every component shares: start and stop of a stream, clock
// ticks, the pump negotiation that decides which component paces a chain, and supplied
// values. Receivers recognise an operation by a class test that accepts descendants
// (OperationAs<T>), so the class tree is part of the protocol: every supplied value is
// also a clock tick, every ranged value also its plain value.
#pragma once

#include "components/pins/PNPins.h"

#include <string>

namespace dcs {

using TDateTime = double;

// Ordered: the pump protocol compares claims by this order. Scoped because its value
// names would clash with those of TPNPinType.
enum class TPNPumpType : uint8_t {
    ptNone,
    ptSlave,
    ptMaster,
    ptHardware
};

class TPNClockOperation : public TPNNotifyOperation {};

class TPNSuppliedOperation : public TPNClockOperation {};

// The shapes of the supplied values: a value, a value with its range (a descendant of
// the plain value's class, so it is also that value), and a range alone. Each named
// operation below is its own class, since receivers test for the class.
template <class T> class TPNSuppliedValueOperationT : public TPNSuppliedOperation {
public:
    explicit TPNSuppliedValueOperationT(T AValue) : Value(std::move(AValue)) {}
    const T Value;
};

template <class TValueOperation, class T> class TPNSuppliedValueRangeOperationT : public TValueOperation {
public:
    TPNSuppliedValueRangeOperationT(T AValue, T AMin, T AMax) : TValueOperation(AValue), Min(AMin), Max(AMax) {}
    const T Min;
    const T Max;
};

template <class T> class TPNSuppliedRangeOperationT : public TPNSuppliedOperation {
public:
    TPNSuppliedRangeOperationT(T AMin, T AMax) : Min(AMin), Max(AMax) {}
    const T Min;
    const T Max;
};

#define DCS_PN_SUPPLIED_OPERATION(Name, ...)                                                                           \
    class Name : public __VA_ARGS__ {                                                                                  \
        using TBase = __VA_ARGS__;                                                                                     \
                                                                                                                       \
    public:                                                                                                            \
        using TBase::TBase;                                                                                            \
    }

DCS_PN_SUPPLIED_OPERATION(TPNSuppliedSingleOperation, TPNSuppliedValueOperationT<float>);
DCS_PN_SUPPLIED_OPERATION(TPNSuppliedBoolOperation, TPNSuppliedValueOperationT<bool>);
DCS_PN_SUPPLIED_OPERATION(TPNSuppliedStringOperation, TPNSuppliedValueOperationT<std::string>);
DCS_PN_SUPPLIED_OPERATION(TPNSuppliedRealOperation, TPNSuppliedValueOperationT<double>);
DCS_PN_SUPPLIED_OPERATION(TPNSuppliedRealValueRangeOperation,
                          TPNSuppliedValueRangeOperationT<TPNSuppliedRealOperation, double>);
DCS_PN_SUPPLIED_OPERATION(TPNSuppliedRealRangeOperation, TPNSuppliedRangeOperationT<double>);
DCS_PN_SUPPLIED_OPERATION(TPNSuppliedIntegerOperation, TPNSuppliedValueOperationT<int32_t>);
DCS_PN_SUPPLIED_OPERATION(TPNSuppliedIntValueRangeOperation,
                          TPNSuppliedValueRangeOperationT<TPNSuppliedIntegerOperation, int32_t>);
DCS_PN_SUPPLIED_OPERATION(TPNSuppliedIntRangeOperation, TPNSuppliedRangeOperationT<int32_t>);
DCS_PN_SUPPLIED_OPERATION(TPNSuppliedInt64Operation, TPNSuppliedValueOperationT<int64_t>);
DCS_PN_SUPPLIED_OPERATION(TPNSuppliedInt64ValueRangeOperation,
                          TPNSuppliedValueRangeOperationT<TPNSuppliedInt64Operation, int64_t>);
DCS_PN_SUPPLIED_OPERATION(TPNSuppliedInt64RangeOperation, TPNSuppliedRangeOperationT<int64_t>);
// A distinct class from the real value, though both hold a double.
DCS_PN_SUPPLIED_OPERATION(TPNSuppliedDateTimeOperation, TPNSuppliedValueOperationT<TDateTime>);

#undef DCS_PN_SUPPLIED_OPERATION

// The sender's value changed; each link's send handler turns it into a typed value.
class TPNSuppliedMulticastOperation : public TPNSuppliedOperation {};

class TPNClockNeededOperation : public TPNNotifyOperation {
public:
    explicit TPNClockNeededOperation(bool AEnabled) : Enabled(AEnabled) {}
    const bool Enabled;
};

class TPNMasterPumpOperation : public TPNNotifyOperation {
public:
    explicit TPNMasterPumpOperation(TObject* APump) : Pump(APump) {}
    TObject* const Pump;  // not owned
};

// The one operation receivers write to: during the synchronous negotiation, on the
// thread that sent it.
class TPNPumpRequestOperation : public TPNNotifyOperation {
public:
    TPNPumpRequestOperation() = default;
    TPNPumpRequestOperation(TObject* APump, TPNPumpType APumpType, int32_t APumpPriority, float ADesiredRate)
        : Pump(APump), PumpType(APumpType), PumpPriority(APumpPriority), DesiredRate(ADesiredRate)
    {
    }
    TObject* Pump = nullptr;  // not owned
    TPNPumpType PumpType = TPNPumpType::ptNone;
    int32_t PumpPriority = 0;
    float DesiredRate = 0.0f;

    // A claim (type, priority) wins over the one held when its type is higher, or its
    // type is the same and its priority strictly higher; ties keep the earlier claim.
    bool Claims(TPNPumpType AType, int32_t APriority) const
    {
        return AType > PumpType || (AType == PumpType && APriority > PumpPriority);
    }
};

class TPNStartPumpOperation : public TPNNotifyOperation {
public:
    explicit TPNStartPumpOperation(TObject* APump) : Pump(APump) {}
    TObject* const Pump;  // not owned
};

class TPNStartOperation : public TPNNotifyOperation {};

class TPNStartRateOperation : public TPNStartOperation {
public:
    explicit TPNStartRateOperation(float ARate) : Rate(ARate) {}
    const float Rate;
};

class TPNStopOperation : public TPNNotifyOperation {};
class TPNEndStopOperation : public TPNStopOperation {};
class TPNFileEndNoStopOperation : public TPNNotifyOperation {};
class TPNQueryStreamOperation : public TPNNotifyOperation {};
class TPNIgnoreStreamOperation : public TPNNotifyOperation {};
class TPNActivateStreamOperation : public TPNNotifyOperation {};
class TPNFlushStreamOperation : public TPNNotifyOperation {};

}  // namespace dcs
