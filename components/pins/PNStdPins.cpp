#include "components/pins/PNStdPins.h"

namespace dcs {

// ----------------------------------------------------------------- registration

void RegisterStdStreamTypes()
{
    RegisterStreamTypeName(IPNClockStream::IID, "Clock");
    RegisterStreamTypeName(IPNIntegerStream::IID, "32 bit Integer");
    RegisterStreamTypeName(IPNInt64Stream::IID, "64 bit Integer");
    RegisterStreamTypeName(IPNFloatStream::IID, "Float");
    RegisterStreamTypeName(IPNRealStream::IID, "Real");
    RegisterStreamTypeName(PNRealComplexTypeID, "Real Complex");
    RegisterStreamTypeName(IPNBoolStream::IID, "Boolean");
    RegisterStreamTypeName(PNCharacterTypeID, "Character");
    RegisterStreamTypeName(PNStringTypeID, "Sting");
    RegisterStreamTypeName(IPNIntRangedStream::IID, "Ranged 32 bit Integer");
    RegisterStreamTypeName(IPNInt64RangedStream::IID, "Ranged 64 bit Integer");
    RegisterStreamTypeName(PNRealRangedTypeID, "Ranged Real");
    RegisterStreamTypeName(IPNDateTimeStream::IID, "Date/Time");

    RegisterStreamTypeSendFunction(IPNDataStream::IID, &DataStreamSendFunction);

    RegisterTypeConverter(IPNIntegerStream::IID, IPNFloatStream::IID, TPNIntToFloatFormatConverter::StaticClass());
    RegisterTypeConverter(IPNIntegerStream::IID, IPNRealStream::IID, TPNIntToRealFormatConverter::StaticClass());
    RegisterTypeConverter(IPNInt64Stream::IID, IPNFloatStream::IID, TPNInt64ToFloatFormatConverter::StaticClass());
    RegisterTypeConverter(IPNInt64Stream::IID, IPNRealStream::IID, TPNInt64ToRealFormatConverter::StaticClass());
    RegisterTypeConverter(IPNFloatStream::IID, IPNRealStream::IID, TPNFloatToRealFormatConverter::StaticClass());
    RegisterTypeConverter(IPNIntRangedStream::IID, PNRealRangedTypeID,
                          TPNIntToRealRangedFormatConverter::StaticClass());
    RegisterTypeConverter(IPNInt64RangedStream::IID, PNRealRangedTypeID,
                          TPNInt64ToRealRangedFormatConverter::StaticClass());
}

namespace {
// The module's start-up.
const bool GStdTypesRegistered = (RegisterStdStreamTypes(), true);
}  // namespace

TPNNotifyResult DataStreamSendFunction(TPNPin*, IPNStream* Handler, const TGUID* DataTypeID,
                                       IPNNotifyOperation* Operation, TPNNotifyState State)
{
    return DeliverThrough<IPNDataStream>(Handler, DataTypeID, Operation, State);
}

// ------------------------------------------------------------------- clock source

TPNClockSourcePin::TPNClockSourcePin(TComponent* AOwner, TPNClockPinNotificationEvent APinNotificationEvent)
    : TPNClockSourcePin(AOwner, nullptr, nullptr, std::move(APinNotificationEvent))
{
}

TPNClockSourcePin::TPNClockSourcePin(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock, IntfPtr<IPNLock> AInputOwnerLock,
                                     TPNClockPinNotificationEvent APinNotificationEvent)
    : TPNClockPinT(AOwner, std::move(AOwnerLock), std::move(AInputOwnerLock), -1),
      FPinNotificationEvent(std::move(APinNotificationEvent))
{
    AddType(IPNClockStream::IID, TPNSubmit::Of<&TPNClockSourcePin::NotificationClock>(this));
}

void TPNClockSourcePin::Clock() { Notify(MakeOperation<TPNClockOperation>().Get()); }

TPNNotifyResult TPNClockSourcePin::NotifyStream(const TGUID* DataTypeID, IPNNotifyOperation* Operation,
                                                TPNNotifyState State)
{
    return FPinNotificationEvent ? FPinNotificationEvent(this, DataTypeID, Operation, State) : TPNNotifyResult {};
}

// ------------------------------------------------------------------- float source

bool TPNFloatSourcePin::AddTypes()
{
    AddType(IPNFloatStream::IID, TPNSubmit::Of<&TPNFloatSourcePin::NotificationFloat>(this));
    return true;
}

float TPNFloatSourcePin::Value() { return ReadLocked(this, FValue); }

void TPNFloatSourcePin::SetValue(float AValue)
{
    if (WriteLockedIfChanged(this, FValue, AValue))
        Notify(MakeOperation<TPNSuppliedSingleOperation>(AValue).Get());
}

TPNNotifyResult TPNFloatSourcePin::NotificationFloat(IPNStream* Handler, const TGUID* DataTypeID,
                                                     IPNNotifyOperation* Operation, TPNNotifyState State)
{
    IPNFloatStream* s = StreamAs<IPNFloatStream>(Handler);
    if (!s)
        return {};
    if (FPinNotificationEvent)
        return FPinNotificationEvent(s, DataTypeID, Operation, State);
    if (State.Contains(nsNewLink))
        s->NotifyStream(DataTypeID, MakeOperation<TPNSuppliedSingleOperation>(Value()).Get(), State);
    else
        s->NotifyStream(DataTypeID, Operation, State);
    return {};
}

// -------------------------------------------------------------------- real source

namespace {

// The real and ranged-real sources share their first two steps: a real receiver gets
// the value as a real, a float receiver as a single.
template <class TEvent>
bool SendRealOrFloat(const TEvent& AEvent, double AValue, IPNStream* Handler, const TGUID* DataTypeID,
                     IPNNotifyOperation* Operation, TPNNotifyState State, TPNNotifyResult& AResult)
{
    if (IPNRealStream* s = StreamAs<IPNRealStream>(Handler)) {
        if (AEvent)
            AResult = AEvent(StreamAs<IPNDataStream>(Handler), DataTypeID, Operation, State);
        else if (State.Contains(nsNewLink))
            s->NotifyStream(DataTypeID, MakeOperation<TPNSuppliedRealOperation>(AValue).Get(), State);
        else
            s->NotifyStream(DataTypeID, Operation, State);
        return true;
    }
    if (IPNFloatStream* s = StreamAs<IPNFloatStream>(Handler)) {
        if (AEvent)
            AResult = AEvent(StreamAs<IPNDataStream>(Handler), DataTypeID, Operation, State);
        else if (State.Contains(nsNewLink))
            s->NotifyStream(DataTypeID, MakeOperation<TPNSuppliedSingleOperation>(float(AValue)).Get(), State);
        else if (auto* real = OperationAs<TPNSuppliedRealOperation>(Operation))
            s->NotifyStream(DataTypeID, MakeOperation<TPNSuppliedSingleOperation>(float(real->Value)).Get(), State);
        else
            s->NotifyStream(DataTypeID, Operation, State);
        return true;
    }
    return false;
}

}  // namespace

bool TPNRealSourcePin::AddTypes()
{
    auto submit = TPNSubmit::Of<&TPNRealSourcePin::NotificationReal>(this);
    AddType(IPNFloatStream::IID, submit);
    AddType(IPNRealStream::IID, submit);
    return true;
}

double TPNRealSourcePin::Value() { return ReadLocked(this, FValue); }

void TPNRealSourcePin::SetValue(double AValue)
{
    if (WriteLockedIfChanged(this, FValue, AValue))
        Notify(MakeOperation<TPNSuppliedRealOperation>(AValue).Get());
}

void TPNRealSourcePin::SubmitReal(double AValue)
{
    {
        IPNLockSection w = WriteLock();
        FValue = AValue;
    }
    Notify(MakeOperation<TPNSuppliedRealOperation>(AValue).Get());
}

TPNNotifyResult TPNRealSourcePin::NotificationReal(IPNStream* Handler, const TGUID* DataTypeID,
                                                   IPNNotifyOperation* Operation, TPNNotifyState State)
{
    TPNNotifyResult result;
    SendRealOrFloat(FPinNotificationEvent, Value(), Handler, DataTypeID, Operation, State, result);
    return result;
}

// ------------------------------------------------------------- ranged real source

bool TPNRealRangedSourcePin::AddTypes()
{
    auto submit = TPNSubmit::Of<&TPNRealRangedSourcePin::NotificationRealRanged>(this);
    AddType(IPNFloatStream::IID, submit);
    AddType(IPNRealStream::IID, submit);
    AddType(PNRealRangedTypeID, submit);
    return true;
}

double TPNRealRangedSourcePin::Value() { return ReadLocked(this, FValue); }

double TPNRealRangedSourcePin::Min() { return ReadLocked(this, FMin); }

double TPNRealRangedSourcePin::Max() { return ReadLocked(this, FMax); }

bool TPNRealRangedSourcePin::RangeIfChanged(const double& AField, double AValue, double& AMin, double& AMax)
{
    IPNLockSection r = ReadLock();
    if (AField == AValue)
        return false;
    AMin = FMin;
    AMax = FMax;
    return true;
}

void TPNRealRangedSourcePin::SetValue(double AValue)
{
    double lo, hi;
    if (RangeIfChanged(FValue, AValue, lo, hi))
        SubmitValueRange(AValue, lo, hi);
}

void TPNRealRangedSourcePin::SetMin(double AValue)
{
    double lo, hi;
    if (RangeIfChanged(FMin, AValue, lo, hi))
        SubmitRange(AValue, hi);
}

void TPNRealRangedSourcePin::SetMax(double AValue)
{
    double lo, hi;
    if (RangeIfChanged(FMax, AValue, lo, hi))
        SubmitRange(lo, AValue);
}

void TPNRealRangedSourcePin::SubmitValueRange(double AValue, double AMin, double AMax)
{
    {
        IPNLockSection w = WriteLock();
        FValue = AValue;
        FMin = AMin;
        FMax = AMax;
    }
    Notify(MakeOperation<TPNSuppliedRealValueRangeOperation>(AValue, AMin, AMax).Get());
}

void TPNRealRangedSourcePin::SubmitRange(double AMin, double AMax)
{
    {
        IPNLockSection w = WriteLock();
        FMin = AMin;
        FMax = AMax;
    }
    Notify(MakeOperation<TPNSuppliedRealRangeOperation>(AMin, AMax).Get());
}

TPNNotifyResult TPNRealRangedSourcePin::NotificationRealRanged(IPNStream* Handler, const TGUID* DataTypeID,
                                                               IPNNotifyOperation* Operation, TPNNotifyState State)
{
    double v, lo, hi;
    {
        IPNLockSection r = ReadLock();
        v = FValue;
        lo = FMin;
        hi = FMax;
    }
    TPNNotifyResult result;
    if (SendRealOrFloat(FPinNotificationEvent, v, Handler, DataTypeID, Operation, State, result))
        return result;
    // A receiver of the ranged real stream alone: no pin implements that stream.
    void* p = nullptr;
    if (Handler && Handler->QueryInterface(PNRealRangedTypeID, &p) == S_OK && p) {
        auto* s = static_cast<IPNBasicStream*>(p);
        if (State.Contains(nsNewLink))
            s->NotifyStream(DataTypeID, MakeOperation<TPNSuppliedRealValueRangeOperation>(v, lo, hi).Get(), State);
        else
            s->NotifyStream(DataTypeID, Operation, State);
    }
    return result;
}

// ---------------------------------------------------------------------- clock sink

TPNClockSinkPin::TPNClockSinkPin(TComponent* AOwner, TPNClockEvent AOnClock,
                                 TPNClockPinNotificationEvent AOnPinNotificationEvent, TObject* ACustomData)
    : TPNClockSinkPin(AOwner, nullptr, std::move(AOnClock), std::move(AOnPinNotificationEvent), ACustomData)
{
}

TPNClockSinkPin::TPNClockSinkPin(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock, TPNClockEvent AOnClock,
                                 TPNClockPinNotificationEvent AOnPinNotificationEvent, TObject* ACustomData)
    : TPNClockPinT(AOwner, std::move(AOwnerLock)), FOnPinNotificationEvent(std::move(AOnPinNotificationEvent)),
      FOnClock(std::move(AOnClock))
{
    SetCustomData(ACustomData);
    AddType(IPNClockStream::IID, TPNSubmit::Of<&TPNClockSinkPin::NotificationClock>(this));
}

TPNNotifyResult TPNClockSinkPin::NotifyStream(const TGUID* DataTypeID, IPNNotifyOperation* Operation,
                                              TPNNotifyState State)
{
    TPNNotifyResult result;
    if (FOnPinNotificationEvent)
        result = FOnPinNotificationEvent(this, DataTypeID, Operation, State);
    if (FOnClock && OperationAs<TPNClockOperation>(Operation))
        FOnClock(this);
    return result;
}

bool TPNRealSinkPin::Accept(IPNNotifyOperation* AOperation, double& AValue)
{
    if (auto* r = OperationAs<TPNSuppliedRealOperation>(AOperation)) {
        AValue = r->Value;
        return true;
    }
    if (auto* s = OperationAs<TPNSuppliedSingleOperation>(AOperation)) {
        AValue = double(s->Value);
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------- converters

namespace {

// Both pins on the converter's lock; the input's change event sends the converted value
// with the output's Notify.
template <class TIn, class TOut, class TConvert>
void MakeConverterPins(TPNFormatConverter* AConverter, const IntfPtr<IPNLock>& ALock, TPNSinkPin*& AIn,
                       TPNSourcePin*& AOut, TConvert AConvert)
{
    auto* out = Create<TOut>(AConverter, ALock, IntfPtr<IPNLock>());
    AOut = out;
    AIn = Create<TIn>(
        AConverter, ALock, [out, AConvert](TPNPin*, auto v) { out->Notify(AConvert(v).Get()); }, nullptr);
}

// The ranged converters: a value with its range becomes a real with that range, a plain
// value a single, and a range alone nothing.
template <class TIn, class TValue>
void MakeRangedConverterPins(TPNFormatConverter* AConverter, const IntfPtr<IPNLock>& ALock, TPNSinkPin*& AIn,
                             TPNSourcePin*& AOut)
{
    auto* out = Create<TPNRealRangedSourcePin>(AConverter, ALock, IntfPtr<IPNLock>());
    AOut = out;
    AIn = Create<TIn>(
        AConverter, ALock,
        [out](TPNPin*, TValue v, TValue lo, TValue hi, bool ranges) {
            if (ranges)
                out->Notify(MakeOperation<TPNSuppliedRealValueRangeOperation>(double(v), double(lo), double(hi)).Get());
            else
                out->Notify(MakeOperation<TPNSuppliedSingleOperation>(float(v)).Get());
        },
        nullptr, nullptr);
}

}  // namespace

TPNIntToFloatFormatConverter::TPNIntToFloatFormatConverter()
{
    TPNSinkPin* in;
    TPNSourcePin* out;
    MakeConverterPins<TPNIntegerSinkPin, TPNFloatSourcePin>(
        this, Lock(), in, out, [](int32_t v) { return MakeOperation<TPNSuppliedSingleOperation>(float(v)); });
    SetPins(in, out);
}

TPNIntToRealFormatConverter::TPNIntToRealFormatConverter()
{
    TPNSinkPin* in;
    TPNSourcePin* out;
    MakeConverterPins<TPNIntegerSinkPin, TPNRealSourcePin>(
        this, Lock(), in, out, [](int32_t v) { return MakeOperation<TPNSuppliedRealOperation>(double(v)); });
    SetPins(in, out);
}

TPNInt64ToFloatFormatConverter::TPNInt64ToFloatFormatConverter()
{
    TPNSinkPin* in;
    TPNSourcePin* out;
    MakeConverterPins<TPNInt64SinkPin, TPNFloatSourcePin>(
        this, Lock(), in, out, [](int64_t v) { return MakeOperation<TPNSuppliedSingleOperation>(float(v)); });
    SetPins(in, out);
}

TPNInt64ToRealFormatConverter::TPNInt64ToRealFormatConverter()
{
    TPNSinkPin* in;
    TPNSourcePin* out;
    MakeConverterPins<TPNInt64SinkPin, TPNRealSourcePin>(
        this, Lock(), in, out, [](int64_t v) { return MakeOperation<TPNSuppliedRealOperation>(double(v)); });
    SetPins(in, out);
}

TPNFloatToRealFormatConverter::TPNFloatToRealFormatConverter()
{
    TPNSinkPin* in;
    TPNSourcePin* out;
    MakeConverterPins<TPNFloatSinkPin, TPNRealSourcePin>(
        this, Lock(), in, out, [](float v) { return MakeOperation<TPNSuppliedRealOperation>(double(v)); });
    SetPins(in, out);
}

TPNIntToRealRangedFormatConverter::TPNIntToRealRangedFormatConverter()
{
    TPNSinkPin* in;
    TPNSourcePin* out;
    MakeRangedConverterPins<TPNIntAndRangedSinkPin, int32_t>(this, Lock(), in, out);
    SetPins(in, out);
}

TPNInt64ToRealRangedFormatConverter::TPNInt64ToRealRangedFormatConverter()
{
    TPNSinkPin* in;
    TPNSourcePin* out;
    MakeRangedConverterPins<TPNInt64AndRangedSinkPin, int64_t>(this, Lock(), in, out);
    SetPins(in, out);
}

}  // namespace dcs
