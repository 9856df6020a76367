#include "components/audio/SGStreamTypes.h"

#include "components/audio/buffers/SGMatrixBuffer.h"
#include "components/audio/buffers/SGNumericBuffers.h"

#include "platform/base/Format.h"
#include "platform/base/Strings.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <mutex>
#include <string>
#include <typeinfo>
#include <vector>

namespace dcs {

// ---------------------------------------------------------------------- operations

namespace {

IntfPtr<ISGData> OwnView(ISGData* ABuffer) { return ABuffer ? ABuffer->MakeCopy() : IntfPtr<ISGData>(); }

// One send hands the same operation to every link. A receiver that writes to the buffer
// it got moves that view to a private copy; had the next receiver the same view, it would
// see that copy. So every link but the last gets a buffer operation with a view of its
// own; the last takes the operation itself, and a single link costs nothing extra.
IntfPtr<IPNNotifyOperation> ViewForLink(IPNNotifyOperation* AOperation, TPNNotifyState AState)
{
    if (!AState.Contains(nsLastIteration) && AOperation &&
        typeid(*AOperation->Instance()) == typeid(TPNSuppliedBufferOperation)) {
        auto* b = static_cast<TPNSuppliedBufferOperation*>(AOperation->Instance());
        if (b->Buffer)
            return MakeOperation<TPNSuppliedBufferOperation>(b->Buffer.Get());
    }
    return IntfPtr<IPNNotifyOperation>(AOperation);
}

// Called inside the handler of the failed send; only powers of two are written.
void ReportDroppedBuffer(uint64_t ACount)
{
    if ((ACount & (ACount - 1)) != 0)
        return;
    std::string why = "unknown exception";
    try {
        throw;
    } catch (const std::exception& e) {
        why = e.what();
    } catch (...) {
    }
    std::fprintf(stderr, "stream source pin: a receiver failed, buffer dropped (%llu so far): %s\n",
                 static_cast<unsigned long long>(ACount), why.c_str());
}

}  // namespace

TPNSuppliedBufferOperation::TPNSuppliedBufferOperation(ISGData* ABuffer) : Buffer(OwnView(ABuffer)) {}

TPNStartSampleRateOperation::TPNStartSampleRateOperation(double ASampleRate)
    : TPNStartRateOperation(float(ASampleRate)), SampleRate(ASampleRate)
{
}

// ---------------------------------------------------------------------- source pin

TSGPNSourcePin::TSGPNSourcePin(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock, IntfPtr<IPNLock> AInputOwnerLock,
                               TSGOperationEvent AOperationEvent, int32_t AMaxConnections, TNotifyEvent AOnConnect)
    : TPNSourcePin(AOwner, std::move(AOwnerLock), std::move(AInputOwnerLock), AMaxConnections),
      FOnConnect(std::move(AOnConnect)), FOperationEvent(std::move(AOperationEvent))
{
    AddType(IPNClockStream::IID, TPNSubmit::Of<&TSGPNSourcePin::NotificationClock>(this));
    AddType(SGUniversalBufferTypeID, TPNSubmit::Of<&TSGPNSourcePin::NotificationUniversal>(this));
}

bool TSGPNSourcePin::GetInterface(const TGUID& iid, void** obj)
{
    return GetInterfaceOf<IPNSGGenericStream>(this, iid, obj) || TPNSourcePin::GetInterface(iid, obj);
}

TPNNotifyResult TSGPNSourcePin::SubmitBuffer(ISGData* ABuffer)
{
    try {
        return Notify(MakeOperation<TPNSuppliedBufferOperation>(ABuffer).Get());
    } catch (...) {
        ReportDroppedBuffer(FDroppedBuffers.fetch_add(1, std::memory_order_relaxed) + 1);
        return {};
    }
}

void TSGPNSourcePin::Stop() { Notify(MakeOperation<TPNStopOperation>().Get()); }
void TSGPNSourcePin::EndStop() { Notify(MakeOperation<TPNEndStopOperation>().Get()); }
void TSGPNSourcePin::FileEndNoStop() { Notify(MakeOperation<TPNFileEndNoStopOperation>().Get()); }

TPNNotifyResult TSGPNSourcePin::Notify(IPNNotifyOperation* AOperation)
{
    IntfPtr<IPNNotifyOperation> hold(AOperation);
    TPNNotifyResult result = TPNSourcePin::Notify(AOperation);
    // Buffers are nearly every send and never remembered: one exact type compare spares
    // them the three class searches below.
    if (AOperation && typeid(*AOperation->Instance()) == typeid(TPNSuppliedBufferOperation))
        return result;
    TPNCriticalSectionLock s(FCKDataSection);
    if (OperationAs<TPNStartOperation>(AOperation))
        FRemembered[roStart] = hold;
    else if (FRemembersResume && OperationAs<TPNSGResumeOperation>(AOperation))
        FRemembered[roResume] = hold;
    else if (OperationAs<TPNStopOperation>(AOperation))
        for (IntfPtr<IPNNotifyOperation>& remembered : FRemembered)
            remembered = nullptr;
    return result;
}

IntfPtr<IPNNotifyOperation> TSGPNSourcePin::Remembered(TRemembered AKind)
{
    TPNCriticalSectionLock s(FCKDataSection);
    return FRemembered[AKind];
}

bool TSGPNSourcePin::IsLinkPending(IPNStream* AHandler)
{
    if (FPendingCount.load(std::memory_order_acquire) == 0)
        return false;
    TPNCriticalSectionLock s(FCKDataSection);
    return std::find(FPendingLinks.begin(), FPendingLinks.end(), AHandler) != FPendingLinks.end();
}

void TSGPNSourcePin::SetLinkPending(TPNBasicPin* APin, bool APending)
{
    TPNCriticalSectionLock s(FCKDataSection);
    auto* h = static_cast<IPNStream*>(APin);
    if (APending) {
        FPendingLinks.push_back(h);
        FPendingCount.fetch_add(1, std::memory_order_release);
    } else {
        auto it = std::find(FPendingLinks.begin(), FPendingLinks.end(), h);
        if (it != FPendingLinks.end()) {
            FPendingLinks.erase(it);
            FPendingCount.fetch_sub(1, std::memory_order_release);
        }
    }
}

void TSGPNSourcePin::AddLink(TPNBasicPin* APin, TPNBasicPin* ANotifyAfterPin)
{
    SetLinkPending(APin, true);
    struct TEnd {
        TSGPNSourcePin* Pin;
        TPNBasicPin* Sink;
        ~TEnd() { Pin->SetLinkPending(Sink, false); }
    } end {this, APin};
    TPNSourcePin::AddLink(APin, ANotifyAfterPin);
    TNotifyEvent onConnect;
    {
        TPNCriticalSectionLock s(FCKDataSection);
        onConnect = FOnConnect;
    }
    {
        // The caller links under this pin's write section: no section of it is held
        // while the new link hears what it missed.
        IPNLockSection u = UnlockAll();
        ReplayTo(APin);
    }
    if (onConnect)
        onConnect(this);
}

void TSGPNSourcePin::ReplayTo(TPNBasicPin* APin)
{
    // Each is read as it is sent, as a stop may come between them.
    for (int kind = 0; kind < roCount; ++kind)
        if (IntfPtr<IPNNotifyOperation> remembered = Remembered(TRemembered(kind)))
            NotifyPin(APin, remembered.Get());
}

bool TSGPNSourcePin::InternalConnectAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin)
{
    bool result = TPNSourcePin::InternalConnectAfter(AOtherPin, ANotifyAfterPin);
    IntfPtr<IPNNotifyOperation> start;
    TNotifyEvent onConnect;
    {
        TPNCriticalSectionLock s(FCKDataSection);
        start = FRemembered[roStart];
        onConnect = FOnConnect;
    }
    if (onConnect)
        onConnect(this);
    if (start && AOtherPin)
        NotifyPin(AOtherPin, start.Get());
    return result;
}

void TSGPNSourcePin::RemoveLink(TPNBasicPin* APin, bool AKeepPlaceholder)
{
    bool linked;
    {
        IPNLockSection r = ReadLock();
        linked = APin && FLinks.IndexOfRealPin(APin) >= 0;
    }
    // A converter's output is cut from the sink when the source that feeds the converter
    // drops that converted link; that source's stop has just passed through, and a
    // second one would reach the sink.
    if (linked)
        if (TPNFormatConverter* c = ConverterOfPin(this))
            if (auto* feed = dynamic_cast<TPNSourcePin*>(c->InputPin()->SourcePin()))
                if (feed->IsConnectedByConverterTo(APin))
                    linked = false;
    if (linked) {
        // The link is still listed, so the stop reaches the sink (through its converter,
        // when it has one); no section of this pin is held while it does.
        IPNLockSection u = UnlockAll();
        NotifyPin(APin, MakeOperation<TPNStopOperation>().Get());
    }
    TPNSourcePin::RemoveLink(APin, AKeepPlaceholder);
}

TPNNotifyResult TSGPNSourcePin::NotificationClock(IPNStream* Handler, const TGUID* DataTypeID,
                                                  IPNNotifyOperation* Operation, TPNNotifyState State)
{
    DeliverThrough<IPNClockStream>(Handler, DataTypeID, Operation, State);
    return {};
}

TPNNotifyResult TSGPNSourcePin::NotificationUniversal(IPNStream* Handler, const TGUID* DataTypeID,
                                                      IPNNotifyOperation* Operation, TPNNotifyState State)
{
    // The new link has had the remembered start from AddLink.
    if (State.Contains(nsNewLink))
        return {};
    if (IsLinkPending(Handler) && OperationAs<TPNSuppliedOperation>(Operation))
        return {};
    if (auto* s = StreamAs<IPNSGGenericStream>(Handler))
        return s->NotifyStream(DataTypeID, ViewForLink(Operation, State).Get(), State);
    if (auto* s = StreamAs<IPNDataStream>(Handler))
        return s->NotifyStream(DataTypeID, ViewForLink(Operation, State).Get(), State);
    return NotificationOther(Handler, DataTypeID, Operation, State);
}

TPNNotifyResult TSGPNSourcePin::NotificationOther(IPNStream*, const TGUID*, IPNNotifyOperation*, TPNNotifyState)
{
    return {};
}

TPNNotifyResult TSGPNSourcePin::DispatchData(const TGUID* DataTypeID, IPNNotifyOperation* Operation,
                                             TPNNotifyState State)
{
    return FOperationEvent ? FOperationEvent(this, DataTypeID, Operation, State) : TPNNotifyResult {};
}

// ------------------------------------------------------------------------ sink pin

TSGPNSinkPin::TSGPNSinkPin(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock, TSGOperationEvent AOperationEvent,
                           TNotifyEvent AOnConnect, TNotifyEvent AOnDisconnect)
    : TPNSinkPin(AOwner, std::move(AOwnerLock)), FOperationEvent(std::move(AOperationEvent)),
      FOnConnect(std::move(AOnConnect)), FOnDisconnect(std::move(AOnDisconnect))
{
    FIgnoreUpstream = true;
    AddType(SGUniversalBufferTypeID, TPNSubmit::Of<&TSGPNSinkPin::NotificationUniversal>(this));
}

bool TSGPNSinkPin::GetInterface(const TGUID& iid, void** obj)
{
    return GetInterfaceOf<IPNSGGenericStream>(this, iid, obj) || TPNSinkPin::GetInterface(iid, obj);
}

TPNNotifyResult TSGPNSinkPin::DispatchData(const TGUID* DataTypeID, IPNNotifyOperation* Operation, TPNNotifyState State)
{
    return FOperationEvent ? FOperationEvent(this, DataTypeID, Operation, State) : TPNNotifyResult {};
}

void TSGPNSinkPin::AddLink(TPNBasicPin* APin, TPNBasicPin* ANotifyAfterPin)
{
    TPNSinkPin::AddLink(APin, ANotifyAfterPin);
    if (FOnConnect)
        FOnConnect(this);
}

void TSGPNSinkPin::BeforeDisconnect()
{
    TPNSinkPin::BeforeDisconnect();
    if (FOnDisconnect)
        FOnDisconnect(this);
}

TPNNotifyResult TSGPNSinkPin::MasterPump(TObject* ASender)
{
    return Notify(MakeOperation<TPNMasterPumpOperation>(ASender).Get());
}

TPNNotifyResult TSGPNSinkPin::NotificationUniversal(IPNStream* Handler, const TGUID* DataTypeID,
                                                    IPNNotifyOperation* Operation, TPNNotifyState State)
{
    if (State.Contains(nsNewLink))
        return {};
    return DeliverThrough<IPNSGGenericStream>(Handler, DataTypeID, Operation, State);
}

// ---------------------------------------------------------------------- typed pins

#define DCS_SG_TYPED_SOURCE_IMPL(Name, Stream)                                                                         \
    Name::Name(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock, IntfPtr<IPNLock> AInputOwnerLock,                      \
               TSGOperationEvent AOperationEvent)                                                                      \
        : TSGPNSourcePin(AOwner, std::move(AOwnerLock), std::move(AInputOwnerLock), std::move(AOperationEvent), -1,    \
                         nullptr)                                                                                      \
    {                                                                                                                  \
        AddType(Stream::IID,                                                                                           \
                TPNSubmit::Of<&TSGPNSourcePin::NotificationUniversal>(static_cast<TSGPNSourcePin*>(this)));            \
    }                                                                                                                  \
    bool Name::GetInterface(const TGUID& iid, void** obj)                                                              \
    {                                                                                                                  \
        return GetInterfaceOf<Stream>(this, iid, obj) || TSGPNSourcePin::GetInterface(iid, obj);                       \
    }

#define DCS_SG_TYPED_SINK_IMPL(Name, Stream)                                                                           \
    Name::Name(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock, TSGOperationEvent AOperationEvent)                     \
        : TSGPNSinkPin(AOwner, std::move(AOwnerLock), std::move(AOperationEvent), nullptr, nullptr)                    \
    {                                                                                                                  \
        AddType(Stream::IID, TPNSubmit::Of<&TSGPNSinkPin::NotificationUniversal>(static_cast<TSGPNSinkPin*>(this)));   \
    }                                                                                                                  \
    bool Name::GetInterface(const TGUID& iid, void** obj)                                                              \
    {                                                                                                                  \
        return GetInterfaceOf<Stream>(this, iid, obj) || TSGPNSinkPin::GetInterface(iid, obj);                         \
    }

DCS_SG_TYPED_SOURCE_IMPL(TSGPNBinarySourcePin, IPNSGBinaryStream)
DCS_SG_TYPED_SOURCE_IMPL(TSGPNIntegerSourcePin, IPNSGIntegerStream)
DCS_SG_TYPED_SOURCE_IMPL(TSGPNRealMatrixSourcePin, IPNSGRealMatrixStream)
DCS_SG_TYPED_SINK_IMPL(TSGPNIntegerSinkPin, IPNSGIntegerStream)
DCS_SG_TYPED_SINK_IMPL(TSGPNRealSinkPin, IPNSGRealStream)
DCS_SG_TYPED_SINK_IMPL(TSGPNComplexSinkPin, IPNSGComplexStream)

#undef DCS_SG_TYPED_SOURCE_IMPL
#undef DCS_SG_TYPED_SINK_IMPL

TSGPNRealSourcePin::TSGPNRealSourcePin(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock,
                                       IntfPtr<IPNLock> AInputOwnerLock, TSGOperationEvent AOperationEvent,
                                       bool AUseFloat)
    : TSGPNSourcePin(AOwner, std::move(AOwnerLock), std::move(AInputOwnerLock), std::move(AOperationEvent), -1, nullptr)
{
    if (AUseFloat)
        AddType(IPNFloatStream::IID, TPNSubmit::Of<&TSGPNRealSourcePin::NotificationSingle>(this));
    AddType(IPNSGRealStream::IID,
            TPNSubmit::Of<&TSGPNSourcePin::NotificationUniversal>(static_cast<TSGPNSourcePin*>(this)));
}

bool TSGPNRealSourcePin::GetInterface(const TGUID& iid, void** obj)
{
    return GetInterfaceOf<IPNSGRealStream>(this, iid, obj) || TSGPNSourcePin::GetInterface(iid, obj);
}

TPNNotifyResult TSGPNRealSourcePin::NotificationSingle(IPNStream* Handler, const TGUID* DataTypeID,
                                                       IPNNotifyOperation* Operation, TPNNotifyState State)
{
    if (State.Contains(nsNewLink))
        return {};
    auto* op = OperationAs<TPNSuppliedBufferOperation>(Operation);
    if (!op || !op->Buffer)
        return {};
    // An empty buffer has no last value to pass on, and a buffer of another kind none
    // that could be read as a real.
    IntfPtr<ISGRealBuffer> real;
    if (!Supports(op->Buffer, real) || real->GetSize() == 0)
        return {};
    double last = real->GetItem(int(real->GetSize() - 1));
    if (auto* s = StreamAs<IPNRealStream>(Handler))
        s->NotifyStream(DataTypeID, MakeOperation<TPNSuppliedRealOperation>(last).Get(), State);
    else if (auto* f = StreamAs<IPNFloatStream>(Handler))
        f->NotifyStream(DataTypeID, MakeOperation<TPNSuppliedSingleOperation>(float(last)).Get(), State);
    return {};
}

TSGPNStringSourcePin::TSGPNStringSourcePin(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock,
                                           IntfPtr<IPNLock> AInputOwnerLock, TSGOperationEvent AOperationEvent)
    : TSGPNSourcePin(AOwner, std::move(AOwnerLock), std::move(AInputOwnerLock), std::move(AOperationEvent), -1, nullptr)
{
    AddType(PNStringTypeID, TPNSubmit::Of<&TSGPNStringSourcePin::NotificationString>(this));
    AddType(IPNSGStringStream::IID,
            TPNSubmit::Of<&TSGPNSourcePin::NotificationUniversal>(static_cast<TSGPNSourcePin*>(this)));
}

bool TSGPNStringSourcePin::GetInterface(const TGUID& iid, void** obj)
{
    return GetInterfaceOf<IPNSGStringStream>(this, iid, obj) || TSGPNSourcePin::GetInterface(iid, obj);
}

TPNNotifyResult TSGPNStringSourcePin::NotificationString(IPNStream* Handler, const TGUID* DataTypeID,
                                                         IPNNotifyOperation* Operation, TPNNotifyState State)
{
    if (State.Contains(nsNewLink) || !OperationAs<TPNSuppliedOperation>(Operation) || !Handler)
        return {};
    // The plain string stream has no interface of its own: a receiver that takes the type
    // receives through its basic stream.
    void* p = nullptr;
    if (Handler->QueryInterface(PNStringTypeID, &p) != S_OK)
        return {};
    DeliverThrough<IPNBasicStream>(Handler, DataTypeID, Operation, State);
    return {};
}

// ------------------------------------------------------------ send function, table

TPNNotifyResult SGStreamSendFunction(TPNPin*, IPNStream* Handler, const TGUID* DataTypeID,
                                     IPNNotifyOperation* Operation, TPNNotifyState State)
{
    if (State.Contains(nsNewLink))
        return {};
    if (auto* start = OperationAs<TPNStartSampleRateOperation>(Operation)) {
        if (auto* s = StreamAs<IPNSGRealStream>(Handler))
            return s->NotifyStream(DataTypeID, MakeOperation<TPNStartSampleRateOperation>(start->SampleRate / 8).Get(),
                                   State);
        if (auto* s = StreamAs<IPNSGIntegerStream>(Handler))
            return s->NotifyStream(DataTypeID, MakeOperation<TPNStartSampleRateOperation>(start->SampleRate / 4).Get(),
                                   State);
    }
    return DeliverThrough<IPNSGGenericStream>(Handler, DataTypeID, ViewForLink(Operation, State).Get(), State);
}

namespace {

std::mutex& TableSection()
{
    static std::mutex m;
    return m;
}

std::vector<TSGPNStreamTypeEntry>& Table()
{
    static std::vector<TSGPNStreamTypeEntry> t;
    return t;
}

}  // namespace

void RegisterSLStreamType(const TGUID& AID, int32_t ASampleSize, TSGPNCreateBufferFunction ACreate,
                          TSGPNUpdateBufferFunction AUpdate)
{
    std::lock_guard g(TableSection());
    TSGPNStreamTypeEntry e {AID, ASampleSize, std::move(ACreate), std::move(AUpdate)};
    for (auto& x : Table())
        if (x.TypeID == AID) {
            x = std::move(e);
            return;
        }
    Table().push_back(std::move(e));
}

bool FindSLStreamType(const TGUID& AID, TSGPNStreamTypeEntry& AEntry)
{
    std::lock_guard g(TableSection());
    for (auto& x : Table())
        if (x.TypeID == AID) {
            AEntry = x;
            return true;
        }
    return false;
}

void ClearSLStreamTypes()
{
    std::lock_guard g(TableSection());
    Table().clear();
}

namespace {

IntfPtr<ISGData> CreateByteBuffer(uint32_t ACount) { return IntfPtr<ISGData>(new TSGBlockBuffer(ACount)); }
IntfPtr<ISGData> CreateRealBuffer(uint32_t ACount) { return IntfPtr<ISGData>(TSGRealBuffer::CreateSize(ACount).Get()); }
IntfPtr<ISGData> CreateIntegerBuffer(uint32_t ACount)
{
    return IntfPtr<ISGData>(TSGIntegerBuffer::CreateSize(ACount).Get());
}
IntfPtr<ISGData> CreateComplexBuffer(uint32_t ACount)
{
    return IntfPtr<ISGData>(TSGComplexBuffer::CreateSize(ACount).Get());
}

void UpdateNothing(ISGData*, IPNNotifyOperation*) {}

}  // namespace

void RegisterSGStreamTypes()
{
    RegisterStreamTypeName(IPNSGBinaryStream::IID, "SG binary buffer");
    RegisterStreamTypeName(IPNSGRealStream::IID, "SG real buffer");
    RegisterStreamTypeName(IPNSGIntegerStream::IID, "SG integer buffer");
    RegisterStreamTypeName(IPNSGComplexStream::IID, "SG complex buffer");
    RegisterStreamTypeName(SGUniversalBufferTypeID, "SG Universal buffer");
    RegisterStreamTypeName(IPNSGChannelStream::IID, "SG Generic buffer");
    RegisterStreamTypeName(SGPairedBuffersTypeID, "SG Paired Buffers");
    RegisterStreamTypeName(IPNSGStringStream::IID, "SG String");
    RegisterStreamTypeName(IPNSGRealMatrixStream::IID, "SG Real Matrix");
    RegisterStreamTypeName(SGUserControlTypeID, "User control");

    for (const TGUID& id :
         {IPNSGBinaryStream::IID, IPNSGRealStream::IID, IPNSGIntegerStream::IID, IPNSGComplexStream::IID,
          IPNSGStringStream::IID, IPNSGChannelStream::IID, SGPairedBuffersTypeID, IPNSGRealMatrixStream::IID})
        RegisterStreamTypeSendFunction(id, &SGStreamSendFunction);

    RegisterSLStreamType(IPNSGChannelStream::IID, 1, &CreateByteBuffer, &UpdateNothing);
    RegisterSLStreamType(IPNSGBinaryStream::IID, 1, &CreateByteBuffer, &UpdateNothing);
    RegisterSLStreamType(IPNSGRealStream::IID, 8, &CreateRealBuffer, &UpdateNothing);
    RegisterSLStreamType(IPNSGIntegerStream::IID, 4, &CreateIntegerBuffer, &UpdateNothing);
    RegisterSLStreamType(IPNSGComplexStream::IID, 16, &CreateComplexBuffer, &UpdateNothing);

    RegisterTypeConverter(IPNSGIntegerStream::IID, IPNSGBinaryStream::IID,
                          TSGPNIntToBinaryFormatConverter::StaticClass());
    RegisterTypeConverter(IPNSGRealStream::IID, IPNSGBinaryStream::IID,
                          TSGPNRealToBinaryFormatConverter::StaticClass());
    RegisterTypeConverter(IPNSGComplexStream::IID, IPNSGBinaryStream::IID,
                          TSGPNComplexToBinaryFormatConverter::StaticClass());
    RegisterTypeConverter(IPNSGIntegerStream::IID, IPNSGRealStream::IID, TSGPNIntToRealFormatConverter::StaticClass());
    RegisterTypeConverter(IPNDateTimeStream::IID, IPNSGStringStream::IID,
                          TSGPNTimeToStringFormatConverter::StaticClass());
    RegisterTypeConverter(IPNIntegerStream::IID, IPNSGStringStream::IID,
                          TSGPNIntegerToStringFormatConverter::StaticClass());
    RegisterTypeConverter(IPNRealStream::IID, IPNSGStringStream::IID, TSGPNRealToStringFormatConverter::StaticClass());
    RegisterTypeConverter(IPNSGRealStream::IID, IPNSGRealMatrixStream::IID,
                          TSGPNRealToRealMatrixFormatConverter::StaticClass());
}

namespace {
// The module's start-up; the table empties itself at shutdown.
const bool GSGTypesRegistered = (RegisterSGStreamTypes(), true);
}  // namespace

// ---------------------------------------------------------------------- converters

void MakeSGConverterPins(TPNFormatConverter* AConverter, TPNSinkPin*& AInput, TPNSourcePin*& AOutput,
                         const std::function<TSGPNSinkPin*(TSGOperationEvent)>& AMakeInput,
                         const std::function<TSGPNSourcePin*(TSGOperationEvent)>& AMakeOutput,
                         std::function<IntfPtr<ISGData>(ISGData*)> AConvert)
{
    TSGPNSourcePin* out = AMakeOutput([AConverter](TPNBasicPin*, const TGUID*, IPNNotifyOperation* Operation,
                                                   TPNNotifyState) { return AConverter->OutputPinNotify(Operation); });
    AOutput = out;
    AInput = AMakeInput([out, AConvert = std::move(AConvert)](TPNBasicPin*, const TGUID*, IPNNotifyOperation* Operation,
                                                              TPNNotifyState) {
        auto* b = OperationAs<TPNSuppliedBufferOperation>(Operation);
        if (b && AConvert && b->Buffer) {
            // A buffer the conversion cannot take (another kind than the link's type)
            // is dropped rather than sent on as something it is not.
            IntfPtr<ISGData> converted = AConvert(b->Buffer.Get());
            if (!converted)
                return TPNNotifyResult {};
            return out->Notify(MakeOperation<TPNSuppliedBufferOperation>(converted.Get()).Get());
        }
        return out->Notify(Operation);
    });
}

namespace {

IntfPtr<ISGData> ByteView(ISGData* ABuffer) { return IntfPtr<ISGData>(TSGBlockBuffer::CreateUniversal(ABuffer).Get()); }

IntfPtr<ISGData> IntegersAsReals(ISGData* ABuffer)
{
    IntfPtr<ISGIntegerBuffer> ints;
    if (!Supports(ABuffer, ints))
        return {};
    return IntfPtr<ISGData>(TSGRealBuffer::CreateIntegerData(ints->Read(), ints->GetSize()).Get());
}

IntfPtr<ISGData> RealsAsMatrix(ISGData* ABuffer)
{
    IntfPtr<ISGRealBuffer> real;
    if (!Supports(ABuffer, real))
        return {};
    return IntfPtr<ISGData>(TSGRealMatrixBuffer::CreateUniversal(ABuffer).Get());
}

// The plain value sinks pass on supplied values only; each becomes a supplied string.
template <class TIn, class TValue>
void MakeStringConverter(TPNFormatConverter* AConverter, const IntfPtr<IPNLock>& ALock, TPNSinkPin*& AIn,
                         TPNSourcePin*& AOut, std::string (*AText)(TValue))
{
    auto* out =
        Create<TSGPNStringSourcePin>(AConverter, ALock, IntfPtr<IPNLock>(),
                                     [AConverter](TPNBasicPin*, const TGUID*, IPNNotifyOperation* Operation,
                                                  TPNNotifyState) { return AConverter->OutputPinNotify(Operation); });
    AOut = out;
    AIn = Create<TIn>(
        AConverter, ALock,
        [out, AText](TPNPin*, TValue v) { out->Notify(MakeOperation<TPNSuppliedStringOperation>(AText(v)).Get()); },
        nullptr);
}

std::string TimeText(TDateTime v) { return DateTimeToStr(v); }
std::string IntegerText(int32_t v) { return IntToStr(v); }
std::string RealText(double v) { return FloatToStr(v); }

}  // namespace

TSGPNIntToBinaryFormatConverter::TSGPNIntToBinaryFormatConverter()
{
    TPNSinkPin* in;
    TPNSourcePin* out;
    MakeSGConverterPinsOf<TSGPNIntegerSinkPin, TSGPNBinarySourcePin>(this, in, out, &ByteView);
    SetPins(in, out);
}

TSGPNRealToBinaryFormatConverter::TSGPNRealToBinaryFormatConverter()
{
    TPNSinkPin* in;
    TPNSourcePin* out;
    MakeSGConverterPinsOf<TSGPNRealSinkPin, TSGPNBinarySourcePin>(this, in, out, &ByteView);
    SetPins(in, out);
}

TSGPNComplexToBinaryFormatConverter::TSGPNComplexToBinaryFormatConverter()
{
    TPNSinkPin* in;
    TPNSourcePin* out;
    MakeSGConverterPinsOf<TSGPNComplexSinkPin, TSGPNBinarySourcePin>(this, in, out, &ByteView);
    SetPins(in, out);
}

TSGPNIntToRealFormatConverter::TSGPNIntToRealFormatConverter()
{
    TPNSinkPin* in;
    TPNSourcePin* out;
    MakeSGConverterPinsOf<TSGPNIntegerSinkPin, TSGPNRealSourcePin>(this, in, out, &IntegersAsReals, true);
    SetPins(in, out);
}

TSGPNRealToRealMatrixFormatConverter::TSGPNRealToRealMatrixFormatConverter()
{
    TPNSinkPin* in;
    TPNSourcePin* out;
    MakeSGConverterPinsOf<TSGPNRealSinkPin, TSGPNRealMatrixSourcePin>(this, in, out, &RealsAsMatrix);
    SetPins(in, out);
}

TSGPNTimeToStringFormatConverter::TSGPNTimeToStringFormatConverter()
{
    TPNSinkPin* in;
    TPNSourcePin* out;
    MakeStringConverter<TPNDateTimeSinkPin, TDateTime>(this, Lock(), in, out, &TimeText);
    SetPins(in, out);
}

TSGPNIntegerToStringFormatConverter::TSGPNIntegerToStringFormatConverter()
{
    TPNSinkPin* in;
    TPNSourcePin* out;
    MakeStringConverter<TPNIntegerSinkPin, int32_t>(this, Lock(), in, out, &IntegerText);
    SetPins(in, out);
}

TSGPNRealToStringFormatConverter::TSGPNRealToStringFormatConverter()
{
    TPNSinkPin* in;
    TPNSourcePin* out;
    MakeStringConverter<TPNRealSinkPin, double>(this, Lock(), in, out, &RealText);
    SetPins(in, out);
}

}  // namespace dcs
