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
enum class TPNPumpType : uint8_t { ptNone, ptSlave, ptMaster, ptHardware };

class TPNClockOperation : public TPNNotifyOperation {};

class TPNSuppliedOperation : public TPNClockOperation {};

class TPNSuppliedSingleOperation : public TPNSuppliedOperation {
public:
    explicit TPNSuppliedSingleOperation(float AValue) : Value(AValue) {}
    const float Value;
};

class TPNSuppliedBoolOperation : public TPNSuppliedOperation {
public:
    explicit TPNSuppliedBoolOperation(bool AValue) : Value(AValue) {}
    const bool Value;
};

class TPNSuppliedStringOperation : public TPNSuppliedOperation {
public:
    explicit TPNSuppliedStringOperation(std::string AValue) : Value(std::move(AValue)) {}
    const std::string Value;
};

class TPNSuppliedRealOperation : public TPNSuppliedOperation {
public:
    explicit TPNSuppliedRealOperation(double AValue) : Value(AValue) {}
    const double Value;
};

class TPNSuppliedRealValueRangeOperation : public TPNSuppliedRealOperation {
public:
    TPNSuppliedRealValueRangeOperation(double AValue, double AMin, double AMax)
        : TPNSuppliedRealOperation(AValue), Min(AMin), Max(AMax)
    {
    }
    const double Min;
    const double Max;
};

class TPNSuppliedRealRangeOperation : public TPNSuppliedOperation {
public:
    TPNSuppliedRealRangeOperation(double AMin, double AMax) : Min(AMin), Max(AMax) {}
    const double Min;
    const double Max;
};

class TPNSuppliedIntegerOperation : public TPNSuppliedOperation {
public:
    explicit TPNSuppliedIntegerOperation(int32_t AValue) : Value(AValue) {}
    const int32_t Value;
};

class TPNSuppliedIntValueRangeOperation : public TPNSuppliedIntegerOperation {
public:
    TPNSuppliedIntValueRangeOperation(int32_t AValue, int32_t AMinValue, int32_t AMaxValue)
        : TPNSuppliedIntegerOperation(AValue), Min(AMinValue), Max(AMaxValue)
    {
    }
    const int32_t Min;
    const int32_t Max;
};

class TPNSuppliedIntRangeOperation : public TPNSuppliedOperation {
public:
    TPNSuppliedIntRangeOperation(int32_t AMinValue, int32_t AMaxValue) : Min(AMinValue), Max(AMaxValue) {}
    const int32_t Min;
    const int32_t Max;
};

class TPNSuppliedInt64Operation : public TPNSuppliedOperation {
public:
    explicit TPNSuppliedInt64Operation(int64_t AValue) : Value(AValue) {}
    const int64_t Value;
};

class TPNSuppliedInt64ValueRangeOperation : public TPNSuppliedInt64Operation {
public:
    TPNSuppliedInt64ValueRangeOperation(int64_t AValue, int64_t AMinValue, int64_t AMaxValue)
        : TPNSuppliedInt64Operation(AValue), Min(AMinValue), Max(AMaxValue)
    {
    }
    const int64_t Min;
    const int64_t Max;
};

class TPNSuppliedInt64RangeOperation : public TPNSuppliedOperation {
public:
    TPNSuppliedInt64RangeOperation(int64_t AMinValue, int64_t AMaxValue) : Min(AMinValue), Max(AMaxValue) {}
    const int64_t Min;
    const int64_t Max;
};

class TPNSuppliedDateTimeOperation : public TPNSuppliedOperation {
public:
    explicit TPNSuppliedDateTimeOperation(TDateTime AValue) : Value(AValue) {}
    const TDateTime Value;
};

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
    TPNPumpRequestOperation(TObject* APump, TPNPumpType APumpType, int32_t APumpPriority,
                            float ADesiredRate)
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
