// The standard stream types and the pins that carry single values over them: a clock,
// 32- and 64-bit integers, single and double reals, Booleans, date-times and ranged
// forms of the integers and reals, with the format converters between them.
//
// A value source pin holds a current value, sends it whenever it changes and sends it
// again, in place of the plain new-link notification, to every link made later. A value
// sink pin stores the last value it received and reports it through its change event.
// Each stream type is also a stream interface; a receiving pin implements the interfaces
// of the types it takes, and every stream interface has the one receive operation of
// IPNBasicStream.
#pragma once

#include "components/pins/PNPins.h"
#include "components/pins/PNStdTypes.h"
#include "platform/classes/ClassBuilder.h"

#include <functional>

namespace dcs {

// --------------------------------------------------------------- stream interfaces

class IPNBasicStream : public virtual IPNStream {
public:
    using Parent = IPNStream;
    static constexpr TGUID IID = MakeGUID("{561B072C-4191-49C6-9F22-21791EF977D9}");
    // The one receive operation of every stream.
    virtual TPNNotifyResult NotifyStream(const TGUID* DataTypeID, IPNNotifyOperation* Operation,
                                         TPNNotifyState State) = 0;

protected:
    ~IPNBasicStream() = default;
};

// Declares a stream interface: its parent (for QueryInterface through parents) and its
// id, which is also the stream type id of the pins that implement it.
#define DCS_STREAM_INTERFACE(Name, Base, Guid)                                                                         \
    class Name : public virtual Base {                                                                                 \
    public:                                                                                                            \
        using Parent = Base;                                                                                           \
        static constexpr TGUID IID = MakeGUID(Guid);                                                                   \
                                                                                                                       \
    protected:                                                                                                         \
        ~Name() = default;                                                                                             \
    }

DCS_STREAM_INTERFACE(IPNClockStream, IPNBasicStream, "{48CDAF9F-00C7-4B45-999D-4EE25353A952}");
DCS_STREAM_INTERFACE(IPNDataStream, IPNBasicStream, "{CFDF94D7-5134-49D9-AC65-902BBC1CD140}");
DCS_STREAM_INTERFACE(IPNIntegerStream, IPNDataStream, "{92F6B47E-B46E-49BB-9A8E-676D3C2F2E66}");
DCS_STREAM_INTERFACE(IPNInt64Stream, IPNDataStream, "{6D054E38-F733-4212-8D5A-0E866802F866}");
DCS_STREAM_INTERFACE(IPNFloatStream, IPNDataStream, "{67F6997B-7EB4-4E2F-8320-4A512B5F2BC7}");
DCS_STREAM_INTERFACE(IPNRealStream, IPNDataStream, "{208F9564-3C20-4C97-BB77-2FC5AE6E4194}");
DCS_STREAM_INTERFACE(IPNBoolStream, IPNDataStream, "{7AA677AE-F983-4714-8E64-EC6F3D17695B}");
DCS_STREAM_INTERFACE(IPNIntRangedStream, IPNDataStream, "{836EE1EA-B8BD-4E04-8225-6AB547D1A3C4}");
DCS_STREAM_INTERFACE(IPNInt64RangedStream, IPNDataStream, "{B201C2F8-CA4D-4CF3-8E6D-E620D2B9D7EF}");
DCS_STREAM_INTERFACE(IPNDateTimeStream, IPNDataStream, "{475D7D8B-4796-42A5-8F8E-B512B8FD2704}");

// Types registered without a stream interface of their own.
inline constexpr TGUID PNRealComplexTypeID = MakeGUID("{4CC4ADE6-E5AE-4E27-A9E7-42C14E062F41}");
inline constexpr TGUID PNCharacterTypeID = MakeGUID("{3241B885-95E1-495F-ACEC-4A1C98872B63}");
inline constexpr TGUID PNStringTypeID = MakeGUID("{25C048B4-89D4-4277-AA98-A835EB29F5C1}");
inline constexpr TGUID PNRealRangedTypeID = MakeGUID("{648AC95D-2772-427C-AD9D-2B7F1EDDE1A7}");

// Registers the thirteen display names, the send function of IPNDataStream and the seven
// standard converters, in that order. Runs once at start-up; may run again (after the
// registries were emptied) and then registers everything anew.
void RegisterStdStreamTypes();

// The send function of IPNDataStream: delivers through the receiver's IPNDataStream.
TPNNotifyResult DataStreamSendFunction(TPNPin* Sender, IPNStream* Handler, const TGUID* DataTypeID,
                                       IPNNotifyOperation* Operation, TPNNotifyState State);

// The receiver as I, or null when it does not offer I.
template <class I> I* StreamAs(IPNStream* AHandler)
{
    void* p = nullptr;
    if (!AHandler || AHandler->QueryInterface(I::IID, &p) != S_OK)
        return nullptr;
    return static_cast<I*>(p);
}

// Delivers AOperation through the receiver's I; the empty set when it does not offer I.
template <class I>
TPNNotifyResult DeliverThrough(IPNStream* AHandler, const TGUID* DataTypeID, IPNNotifyOperation* AOperation,
                               TPNNotifyState AState)
{
    I* s = StreamAs<I>(AHandler);
    return s ? s->NotifyStream(DataTypeID, AOperation, AState) : TPNNotifyResult {};
}

// A field of the pin, read under its read lock.
template <class T> T ReadLocked(TPNBasicPin* APin, const T& AField)
{
    IPNLockSection r = APin->ReadLock();
    return AField;
}

// Stores AValue under the pin's write lock; false, storing nothing, when the field holds
// it already.
template <class T> bool WriteLockedIfChanged(TPNBasicPin* APin, T& AField, const T& AValue)
{
    IPNLockSection w = APin->WriteLock();
    if (AField == AValue)
        return false;
    AField = AValue;
    return true;
}

// -------------------------------------------------------------------------- events

using TPNClockEvent = std::function<void(TPNPin* Sender)>;
using TPNClockPinNotificationEvent = std::function<TPNNotifyResult(
    TPNBasicPin* Sender, const TGUID* DataTypeID, IPNNotifyOperation* Operation, TPNNotifyState State)>;
template <class I>
using TPNTypedPinNotificationEvent = std::function<TPNNotifyResult(
    I* Handler, const TGUID* DataTypeID, IPNNotifyOperation* Operation, TPNNotifyState State)>;
using TPNPinNotificationEvent = TPNTypedPinNotificationEvent<IPNDataStream>;
using TPNFloatPinNotificationEvent = TPNTypedPinNotificationEvent<IPNFloatStream>;
using TPNIntegerPinNotificationEvent = TPNTypedPinNotificationEvent<IPNIntegerStream>;
using TPNBoolPinNotificationEvent = TPNTypedPinNotificationEvent<IPNBoolStream>;

using TPNFloatChangeEvent = std::function<void(TPNPin* Sender, float AValue)>;
using TPNRealChangeEvent = std::function<void(TPNPin* Sender, double AValue)>;
using TPNIntegerChangeEvent = std::function<void(TPNPin* Sender, int32_t AValue)>;
using TPNInt64ChangeEvent = std::function<void(TPNPin* Sender, int64_t AValue)>;
using TPNBoolChangeEvent = std::function<void(TPNPin* Sender, bool AValue)>;
using TPNDateTimeChangeEvent = std::function<void(TPNPin* Sender, TDateTime AValue)>;
using TPNIntValueRangeChangeEvent =
    std::function<void(TPNPin* Sender, int32_t AValue, int32_t AMin, int32_t AMax, bool RangesFilled)>;
using TPNInt64ValueRangeChangeEvent =
    std::function<void(TPNPin* Sender, int64_t AValue, int64_t AMin, int64_t AMax, bool RangesFilled)>;
using TPNIntRangeChangeEvent = std::function<void(TPNPin* Sender, int32_t AMin, int32_t AMax)>;
using TPNInt64RangeChangeEvent = std::function<void(TPNPin* Sender, int64_t AMin, int64_t AMax)>;

// --------------------------------------------------------------------- source pins

// A source or sink pin of the clock stream: it delivers over its links through the
// receiver's clock stream, and offers that stream itself.
template <class TBasePin> class TPNClockPinT : public TBasePin, public IPNClockStream {
public:
    using TBasePin::TBasePin;

    virtual TPNNotifyResult NotificationClock(IPNStream* Handler, const TGUID* DataTypeID,
                                              IPNNotifyOperation* Operation, TPNNotifyState State)
    {
        DeliverThrough<IPNClockStream>(Handler, DataTypeID, Operation, State);
        return {};
    }

protected:
    bool GetInterface(const TGUID& iid, void** obj) override
    {
        return GetInterfaceOf<IPNClockStream>(this, iid, obj) || TBasePin::GetInterface(iid, obj);
    }
};

// Sends clock ticks; hears its sinks through the clock stream.
class TPNClockSourcePin : public TPNClockPinT<TPNSourcePin> {
    DCS_CLASS(TPNClockSourcePin, TPNSourcePin)

    TPNClockSourcePin(TComponent* AOwner, TPNClockPinNotificationEvent APinNotificationEvent);
    TPNClockSourcePin(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock, IntfPtr<IPNLock> AInputOwnerLock,
                      TPNClockPinNotificationEvent APinNotificationEvent);

    // Sends a new clock tick to every link.
    void Clock();
    // What arrives from downstream goes to the pin-notification event.
    TPNNotifyResult NotifyStream(const TGUID* DataTypeID, IPNNotifyOperation* Operation, TPNNotifyState State) override;

private:
    TPNClockPinNotificationEvent FPinNotificationEvent;
};

// A source of one value: the constructors of every value source pin and its
// pin-notification event, which, when set, replaces the default sending entirely. The
// clock source of a value source pin gets no event.
template <class TEvent> class TPNValueSourcePinT : public TPNClockSourcePin {
public:
    explicit TPNValueSourcePinT(TComponent* AOwner) : TPNClockSourcePin(AOwner, nullptr) {}
    TPNValueSourcePinT(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock, IntfPtr<IPNLock> AInputOwnerLock)
        : TPNClockSourcePin(AOwner, std::move(AOwnerLock), std::move(AInputOwnerLock), nullptr)
    {
    }
    TPNValueSourcePinT(TComponent* AOwner, TEvent APinNotificationEvent)
        : TPNClockSourcePin(AOwner, nullptr), FPinNotificationEvent(std::move(APinNotificationEvent))
    {
    }
    TPNValueSourcePinT(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock, IntfPtr<IPNLock> AInputOwnerLock,
                       TEvent APinNotificationEvent)
        : TPNClockSourcePin(AOwner, std::move(AOwnerLock), std::move(AInputOwnerLock), nullptr),
          FPinNotificationEvent(std::move(APinNotificationEvent))
    {
    }

protected:
    TEvent FPinNotificationEvent;
};

class TPNFloatSourcePin : public TPNValueSourcePinT<TPNFloatPinNotificationEvent> {
    DCS_CLASS(TPNFloatSourcePin, TPNClockSourcePin)
    using TPNValueSourcePinT::TPNValueSourcePinT;

    float Value();
    // Sends the value when it differs from the stored one.
    void SetValue(float AValue);
    virtual TPNNotifyResult NotificationFloat(IPNStream* Handler, const TGUID* DataTypeID,
                                              IPNNotifyOperation* Operation, TPNNotifyState State);

private:
    float FValue = 0.0f;
    const bool FTypesAdded = AddTypes();  // runs with every constructor
    bool AddTypes();
};

class TPNRealSourcePin : public TPNValueSourcePinT<TPNPinNotificationEvent> {
    DCS_CLASS(TPNRealSourcePin, TPNClockSourcePin)
    using TPNValueSourcePinT::TPNValueSourcePinT;

    double Value();
    void SetValue(double AValue);
    // Stores and sends, also an unchanged value.
    void SubmitReal(double AValue);
    virtual TPNNotifyResult NotificationReal(IPNStream* Handler, const TGUID* DataTypeID, IPNNotifyOperation* Operation,
                                             TPNNotifyState State);

private:
    double FValue = 0.0;
    const bool FTypesAdded = AddTypes();
    bool AddTypes();
};

class TPNRealRangedSourcePin : public TPNValueSourcePinT<TPNPinNotificationEvent> {
    DCS_CLASS(TPNRealRangedSourcePin, TPNClockSourcePin)
    using TPNValueSourcePinT::TPNValueSourcePinT;

    double Value();
    double Min();
    double Max();
    void SetValue(double AValue);
    void SetMin(double AValue);
    void SetMax(double AValue);
    void SubmitValueRange(double AValue, double AMin, double AMax);
    void SubmitRange(double AMin, double AMax);
    virtual TPNNotifyResult NotificationRealRanged(IPNStream* Handler, const TGUID* DataTypeID,
                                                   IPNNotifyOperation* Operation, TPNNotifyState State);

private:
    // Under the read lock: false when AField holds AValue already, else the range now.
    bool RangeIfChanged(const double& AField, double AValue, double& AMin, double& AMax);
    double FMin = 0.0;
    double FMax = 0.0;
    double FValue = 0.0;
    const bool FTypesAdded = AddTypes();
    bool AddTypes();
};

// ----------------------------------------------------------------------- sink pins

// Runs its clock event for every clock tick (supplied values included); sends upstream
// through the clock stream.
class TPNClockSinkPin : public TPNClockPinT<TPNSinkPin> {
    DCS_CLASS(TPNClockSinkPin, TPNSinkPin)

    TPNClockSinkPin(TComponent* AOwner, TPNClockEvent AOnClock, TPNClockPinNotificationEvent AOnPinNotificationEvent,
                    TObject* ACustomData);
    TPNClockSinkPin(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock, TPNClockEvent AOnClock,
                    TPNClockPinNotificationEvent AOnPinNotificationEvent, TObject* ACustomData);

    TPNNotifyResult NotifyStream(const TGUID* DataTypeID, IPNNotifyOperation* Operation, TPNNotifyState State) override;

private:
    TPNClockPinNotificationEvent FOnPinNotificationEvent;
    TPNClockEvent FOnClock;
};

// A pin that keeps one value and reports each value it takes through its change event,
// over a sink or a state pin: the constructors, the value, and the receive operation,
// which hands everything to DispatchData.
template <class TBasePin, class TValue, class... IStreams> class TPNValuePinT : public TBasePin, public IStreams... {
public:
    using TChangeEvent = std::function<void(TPNPin*, TValue)>;

    TPNValuePinT(TComponent* AOwner, TChangeEvent AOnDataChange, TObject* ACustomData)
        : TBasePin(AOwner), FOnDataChange(std::move(AOnDataChange))
    {
        this->SetCustomData(ACustomData);
    }
    TPNValuePinT(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock, TChangeEvent AOnDataChange, TObject* ACustomData)
        : TBasePin(AOwner, std::move(AOwnerLock)), FOnDataChange(std::move(AOnDataChange))
    {
        this->SetCustomData(ACustomData);
    }

    TValue Value() { return ReadLocked(this, FValue); }
    virtual TPNNotifyResult DispatchData(const TGUID* DataTypeID, IPNNotifyOperation* Operation,
                                         TPNNotifyState State) = 0;
    TPNNotifyResult NotifyStream(const TGUID* DataTypeID, IPNNotifyOperation* Operation, TPNNotifyState State) override
    {
        return DispatchData(DataTypeID, Operation, State);
    }

protected:
    // Stores a value taken and reports it.
    TPNNotifyResult Take(TValue AValue)
    {
        {
            IPNLockSection w = this->WriteLock();
            FValue = AValue;
        }
        if (FOnDataChange)
            FOnDataChange(this, AValue);
        return {};
    }
    bool GetInterface(const TGUID& iid, void** obj) override
    {
        return GetInterfaceOf<IStreams...>(this, iid, obj) || TBasePin::GetInterface(iid, obj);
    }

    TChangeEvent FOnDataChange;
    TValue FValue {};
};

// A sink that keeps the last value of one supplied class (and its descendants).
template <class TValue, class TOperation, class... IStreams>
class TPNValueSinkPinT : public TPNValuePinT<TPNSinkPin, TValue, IStreams...> {
public:
    using TPNValuePinT<TPNSinkPin, TValue, IStreams...>::TPNValuePinT;

    // Stores a supplied value and reports it; everything else is ignored.
    TPNNotifyResult DispatchData(const TGUID* /*DataTypeID*/, IPNNotifyOperation* Operation,
                                 TPNNotifyState /*State*/) override
    {
        TValue v {};
        if (!Accept(Operation, v))
            return {};
        return this->Take(v);
    }

protected:
    virtual bool Accept(IPNNotifyOperation* AOperation, TValue& AValue)
    {
        if (auto* o = OperationAs<TOperation>(AOperation)) {
            AValue = TValue(o->Value);
            return true;
        }
        return false;
    }
};

class TPNFloatSinkPin : public TPNValueSinkPinT<float, TPNSuppliedSingleOperation, IPNFloatStream> {
    DCS_CLASS(TPNFloatSinkPin, TPNSinkPin)
    using TPNValueSinkPinT::TPNValueSinkPinT;
};

// Takes reals, and singles widened to doubles.
class TPNRealSinkPin : public TPNValueSinkPinT<double, TPNSuppliedRealOperation, IPNRealStream, IPNFloatStream> {
    DCS_CLASS(TPNRealSinkPin, TPNSinkPin)
    using TPNValueSinkPinT::TPNValueSinkPinT;

protected:
    bool Accept(IPNNotifyOperation* AOperation, double& AValue) override;
};

class TPNIntegerSinkPin : public TPNValueSinkPinT<int32_t, TPNSuppliedIntegerOperation, IPNIntegerStream> {
    DCS_CLASS(TPNIntegerSinkPin, TPNSinkPin)
    using TPNValueSinkPinT::TPNValueSinkPinT;
};

class TPNInt64SinkPin : public TPNValueSinkPinT<int64_t, TPNSuppliedInt64Operation, IPNInt64Stream> {
    DCS_CLASS(TPNInt64SinkPin, TPNSinkPin)
    using TPNValueSinkPinT::TPNValueSinkPinT;
};

class TPNBoolSinkPin : public TPNValueSinkPinT<bool, TPNSuppliedBoolOperation, IPNBoolStream> {
    DCS_CLASS(TPNBoolSinkPin, TPNSinkPin)
    using TPNValueSinkPinT::TPNValueSinkPinT;
};

class TPNDateTimeSinkPin : public TPNValueSinkPinT<TDateTime, TPNSuppliedDateTimeOperation, IPNDateTimeStream> {
    DCS_CLASS(TPNDateTimeSinkPin, TPNSinkPin)
    using TPNValueSinkPinT::TPNValueSinkPinT;
};

// A sink of a value with its range: keeps the last range when a plain value arrives.
template <class TValue, class TValueOp, class TValueRangeOp, class TRangeOp, class IRanged, class IPlain>
class TPNRangedSinkPinT : public TPNSinkPin, public IRanged, public IPlain {
public:
    using TDataEvent = std::function<void(TPNPin*, TValue, TValue, TValue, bool)>;
    using TRangeEvent = std::function<void(TPNPin*, TValue, TValue)>;

    TPNRangedSinkPinT(TComponent* AOwner, TDataEvent AOnDataChange, TRangeEvent AOnRangeChange, TObject* ACustomData)
        : TPNSinkPin(AOwner), FOnDataChange(std::move(AOnDataChange)), FOnRangeChange(std::move(AOnRangeChange))
    {
        SetCustomData(ACustomData);
    }
    TPNRangedSinkPinT(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock, TDataEvent AOnDataChange,
                      TRangeEvent AOnRangeChange, TObject* ACustomData)
        : TPNSinkPin(AOwner, std::move(AOwnerLock)), FOnDataChange(std::move(AOnDataChange)),
          FOnRangeChange(std::move(AOnRangeChange))
    {
        SetCustomData(ACustomData);
    }

    TValue Value() { return ReadLocked(this, FValue); }
    TValue Min() { return ReadLocked(this, FMin); }
    TValue Max() { return ReadLocked(this, FMax); }

    virtual TPNNotifyResult DispatchData(const TGUID* /*DataTypeID*/, IPNNotifyOperation* Operation,
                                         TPNNotifyState /*State*/)
    {
        TValue v, lo, hi;
        if (auto* o = OperationAs<TValueRangeOp>(Operation)) {
            {
                IPNLockSection w = WriteLock();
                v = FValue = o->Value;
                lo = FMin = o->Min;
                hi = FMax = o->Max;
            }
            if (FOnDataChange)
                FOnDataChange(this, v, lo, hi, true);
        } else if (auto* o = OperationAs<TRangeOp>(Operation)) {
            {
                IPNLockSection w = WriteLock();
                lo = FMin = o->Min;
                hi = FMax = o->Max;
            }
            if (FOnRangeChange)
                FOnRangeChange(this, lo, hi);
        } else if (auto* o = OperationAs<TValueOp>(Operation)) {
            {
                IPNLockSection w = WriteLock();
                v = FValue = o->Value;
                lo = FMin;
                hi = FMax;
            }
            if (FOnDataChange)
                FOnDataChange(this, v, lo, hi, false);
        }
        return {};
    }
    TPNNotifyResult NotifyStream(const TGUID* DataTypeID, IPNNotifyOperation* Operation, TPNNotifyState State) override
    {
        return DispatchData(DataTypeID, Operation, State);
    }

protected:
    bool GetInterface(const TGUID& iid, void** obj) override
    {
        return GetInterfaceOf<IRanged, IPlain>(this, iid, obj) || TPNSinkPin::GetInterface(iid, obj);
    }

private:
    TDataEvent FOnDataChange;
    TRangeEvent FOnRangeChange;
    TValue FMin {};
    TValue FMax {};
    TValue FValue {};
};

class TPNIntAndRangedSinkPin
    : public TPNRangedSinkPinT<int32_t, TPNSuppliedIntegerOperation, TPNSuppliedIntValueRangeOperation,
                               TPNSuppliedIntRangeOperation, IPNIntRangedStream, IPNIntegerStream> {
    DCS_CLASS(TPNIntAndRangedSinkPin, TPNSinkPin)
    using TPNRangedSinkPinT::TPNRangedSinkPinT;
};

class TPNInt64AndRangedSinkPin
    : public TPNRangedSinkPinT<int64_t, TPNSuppliedInt64Operation, TPNSuppliedInt64ValueRangeOperation,
                               TPNSuppliedInt64RangeOperation, IPNInt64RangedStream, IPNInt64Stream> {
    DCS_CLASS(TPNInt64AndRangedSinkPin, TPNSinkPin)
    using TPNRangedSinkPinT::TPNRangedSinkPinT;
};

// ---------------------------------------------------------------------- converters

// Each converter's pins share the converter's lock; the input pin's change event converts
// and sends the result with the output pin's Notify, so the output's own value stays.
#define DCS_PN_STD_CONVERTER(Name)                                                                                     \
    class Name : public TPNFormatConverter {                                                                           \
        DCS_CLASS(Name, TPNFormatConverter)                                                                            \
        Name();                                                                                                        \
    }

DCS_PN_STD_CONVERTER(TPNIntToFloatFormatConverter);
DCS_PN_STD_CONVERTER(TPNIntToRealFormatConverter);
DCS_PN_STD_CONVERTER(TPNInt64ToFloatFormatConverter);
DCS_PN_STD_CONVERTER(TPNInt64ToRealFormatConverter);
DCS_PN_STD_CONVERTER(TPNFloatToRealFormatConverter);
// "Ranged Real" has no stream interface, so the two ranged converters are never chosen
// for a link; they are registered and work when made directly.
DCS_PN_STD_CONVERTER(TPNIntToRealRangedFormatConverter);
DCS_PN_STD_CONVERTER(TPNInt64ToRealRangedFormatConverter);

#undef DCS_PN_STD_CONVERTER

}  // namespace dcs
