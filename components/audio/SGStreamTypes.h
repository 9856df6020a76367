// Signal streams: data buffers carried over pin links. The stream types and their
// interfaces, the output and input pins every signal and audio component uses, the
// operations that start, pause, resume and feed a stream, and the converters between
// the signal stream types.
//
// A signal source pin wraps each buffer in a supplied-buffer operation that holds its own
// copy-on-write view, so the sender may reuse its buffer at once and a receiver that
// writes to what it got never changes what another receiver sees. The pin remembers the
// last start it sent and replays it to every link made later, and sends a stop to a link
// that is removed. Both pins hand every operation that reaches them to their owner
// through one event.
#pragma once

#include "components/audio/buffers/SGSimpleDataBuffer.h"
#include "components/pins/PNStdPins.h"
#include "components/pins/PNSync.h"

#include <atomic>
#include <functional>
#include <vector>

namespace dcs {

// --------------------------------------------------------------- stream interfaces

// Every signal pin receives through this one; the typed interfaces below descend from it.
DCS_STREAM_INTERFACE(IPNSGGenericStream, IPNDataStream, "{20ACBC6D-DA0D-4359-8C78-CE0067D009A0}");
// "SG Generic buffer".
DCS_STREAM_INTERFACE(IPNSGChannelStream, IPNSGGenericStream, "{DB6DD866-611D-4DC4-B46F-459CF8F02ECD}");
DCS_STREAM_INTERFACE(IPNSGBinaryStream, IPNSGChannelStream, "{BD807B57-05AE-44E0-A99F-3D9BAD83395E}");
DCS_STREAM_INTERFACE(IPNSGRealStream, IPNSGChannelStream, "{58041272-EF20-4696-87E6-9EE46ABFBD89}");
DCS_STREAM_INTERFACE(IPNSGIntegerStream, IPNSGChannelStream, "{473B965F-AB43-4493-B9E3-BEE9CF0803D4}");
DCS_STREAM_INTERFACE(IPNSGComplexStream, IPNSGChannelStream, "{BD797143-D7C6-4033-B686-9ABA658346CF}");
DCS_STREAM_INTERFACE(IPNSGStringStream, IPNSGChannelStream, "{939000AB-3C12-4A1D-89B5-33DA284E4929}");
DCS_STREAM_INTERFACE(IPNSGRealMatrixStream, IPNSGChannelStream, "{3A3BA3E1-0184-41DA-AA08-5412DD5F2B83}");

// Types without a stream interface of their own: no sink implements them, so a link is
// never made of them; every signal pin lists the universal one besides its own type.
inline constexpr TGUID SGUniversalBufferTypeID = MakeGUID("{949B7FD0-421F-4F1B-B8D2-87969D3E66E0}");
inline constexpr TGUID SGPairedBuffersTypeID = MakeGUID("{F4D70F89-B478-4D08-990F-AD03759D0E31}");
inline constexpr TGUID SGUserControlTypeID = MakeGUID("{9E7972F6-919B-491D-A094-18722B974429}");

// ---------------------------------------------------------------------- operations

// One buffer of a stream. Holds a view of its own over the sender's data.
// One of these is made for every buffer a stream sends, so it comes from the block pool
// like the buffers themselves.
class TPNSuppliedBufferOperation : public TPNSuppliedOperation, public TSGPooledInstance {
public:
    // Stores ABuffer->MakeCopy(): a new buffer object over the same shared data. A null
    // buffer gives an operation without buffer.
    explicit TPNSuppliedBufferOperation(ISGData* ABuffer);
    const IntfPtr<ISGData> Buffer;
};

class TPNStartSampleRateOperation : public TPNStartRateOperation {
public:
    // Rate holds the same value as a single.
    explicit TPNStartSampleRateOperation(double ASampleRate);
    const double SampleRate;
};

class TPNSGPauseOperation : public TPNNotifyOperation {};
class TPNSGResumeOperation : public TPNNotifyOperation {};

// ----------------------------------------------------------------------- the pins

using TSGOperationEvent = std::function<TPNNotifyResult(TPNBasicPin* Sender, const TGUID* DataTypeID,
                                                        IPNNotifyOperation* Operation, TPNNotifyState State)>;

class TSGPNSourcePin : public TPNSourcePin, public virtual IPNSGGenericStream {
    DCS_CLASS(TSGPNSourcePin, TPNSourcePin)

    // AMaxConnections -1: any number of links.
    TSGPNSourcePin(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock, IntfPtr<IPNLock> AInputOwnerLock,
                   TSGOperationEvent AOperationEvent, int32_t AMaxConnections, TNotifyEvent AOnConnect);

    // Sends the buffer to every link. Whatever a receiver raises drops the buffer: the
    // answer is then the empty set, the pin stays usable, and the drop is counted and
    // written to stderr (the first, second, fourth, ... drop, so a failing receiver
    // cannot flood it). Safe on any thread.
    TPNNotifyResult SubmitBuffer(ISGData* ABuffer);
    // Buffers dropped by SubmitBuffer since the pin was made.
    uint64_t DroppedBuffers() const { return FDroppedBuffers.load(std::memory_order_relaxed); }
    virtual void Stop();
    void EndStop();
    void FileEndNoStop();

    // Sends to every link, then remembers a start (any kind), and a resume when the pin
    // replays resumes; a stop forgets both (a pause leaves them).
    TPNNotifyResult Notify(IPNNotifyOperation* AOperation) override;
    // The last start sent and not stopped since, or null.
    IntfPtr<IPNNotifyOperation> StartOperation() { return Remembered(roStart); }

    // A new link receives the remembered start first; until it has, no buffer sent on
    // another thread reaches it.
    void AddLink(TPNBasicPin* APin, TPNBasicPin* ANotifyAfterPin) override;
    // Sends a new link what it missed: the remembered start, then the remembered resume.
    virtual void ReplayTo(TPNBasicPin* APin);
    // A removed link receives a stop; the other links receive nothing.
    void RemoveLink(TPNBasicPin* APin, bool AKeepPlaceholder) override;
    bool InternalConnectAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin) override;

    // Submit functions.
    virtual TPNNotifyResult NotificationClock(IPNStream* Handler, const TGUID* DataTypeID,
                                              IPNNotifyOperation* Operation, TPNNotifyState State);
    TPNNotifyResult NotificationUniversal(IPNStream* Handler, const TGUID* DataTypeID, IPNNotifyOperation* Operation,
                                          TPNNotifyState State);
    virtual TPNNotifyResult NotificationOther(IPNStream* Handler, const TGUID* DataTypeID,
                                              IPNNotifyOperation* Operation, TPNNotifyState State);

    // Operations from downstream (master pumps, stream queries) go to the operation event.
    virtual TPNNotifyResult DispatchData(const TGUID* DataTypeID, IPNNotifyOperation* Operation, TPNNotifyState State);
    TPNNotifyResult NotifyStream(const TGUID* DataTypeID, IPNNotifyOperation* Operation, TPNNotifyState State) override
    {
        return DispatchData(DataTypeID, Operation, State);
    }

protected:
    bool GetInterface(const TGUID& iid, void** obj) override;

    // What a link made while the stream runs must hear first, in this order.
    enum TRemembered {
        roStart,
        roResume,
        roCount
    };
    IntfPtr<IPNNotifyOperation> Remembered(TRemembered AKind);

    // Guards FRemembered, FOnConnect and what derived pins remember; never held while an
    // operation is sent.
    TPNCriticalSection FCKDataSection;
    IntfPtr<IPNNotifyOperation> FRemembered[roCount];
    // Audio streams replay their resume too; other streams only their start.
    bool FRemembersResume = false;
    TNotifyEvent FOnConnect;
    TSGOperationEvent FOperationEvent;
    std::atomic<uint64_t> FDroppedBuffers {0};

    // Links made but not yet brought up to date: a buffer (or any supplied value) sent
    // meanwhile on another thread would reach the sink ahead of the start it needs, so
    // none is sent to them. Links through a converter are not covered: the converter's
    // input is what the submit functions see.
    bool IsLinkPending(IPNStream* AHandler);
    void SetLinkPending(TPNBasicPin* APin, bool APending);

private:
    std::vector<IPNStream*> FPendingLinks;
    std::atomic<int32_t> FPendingCount {0};
};

class TSGPNSinkPin : public TPNSinkPin, public virtual IPNSGGenericStream {
    DCS_CLASS(TSGPNSinkPin, TPNSinkPin)

    TSGPNSinkPin(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock, TSGOperationEvent AOperationEvent,
                 TNotifyEvent AOnConnect, TNotifyEvent AOnDisconnect);

    // Every operation from the source goes to the operation event.
    virtual TPNNotifyResult DispatchData(const TGUID* DataTypeID, IPNNotifyOperation* Operation, TPNNotifyState State);
    TPNNotifyResult NotifyStream(const TGUID* DataTypeID, IPNNotifyOperation* Operation, TPNNotifyState State) override
    {
        return DispatchData(DataTypeID, Operation, State);
    }

    void AddLink(TPNBasicPin* APin, TPNBasicPin* ANotifyAfterPin) override;
    void BeforeDisconnect() override;
    // Sends a master-pump operation upstream to the source.
    TPNNotifyResult MasterPump(TObject* ASender);

    // Upstream submit function.
    TPNNotifyResult NotificationUniversal(IPNStream* Handler, const TGUID* DataTypeID, IPNNotifyOperation* Operation,
                                          TPNNotifyState State);

protected:
    bool GetInterface(const TGUID& iid, void** obj) override;

    TSGOperationEvent FOperationEvent;
    TNotifyEvent FOnConnect;
    TNotifyEvent FOnDisconnect;
};

// Typed pins: any number of links, no connect or disconnect handlers; each implements
// the stream interface of its own type.
#define DCS_SG_TYPED_SOURCE(Name, Stream)                                                                              \
    class Name : public TSGPNSourcePin, public virtual Stream {                                                        \
        DCS_CLASS(Name, TSGPNSourcePin)                                                                                \
        Name(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock, IntfPtr<IPNLock> AInputOwnerLock,                        \
             TSGOperationEvent AOperationEvent);                                                                       \
                                                                                                                       \
    protected:                                                                                                         \
        bool GetInterface(const TGUID& iid, void** obj) override;                                                      \
    }

#define DCS_SG_TYPED_SINK(Name, Stream)                                                                                \
    class Name : public TSGPNSinkPin, public virtual Stream {                                                          \
        DCS_CLASS(Name, TSGPNSinkPin)                                                                                  \
        Name(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock, TSGOperationEvent AOperationEvent);                      \
                                                                                                                       \
    protected:                                                                                                         \
        bool GetInterface(const TGUID& iid, void** obj) override;                                                      \
    }

DCS_SG_TYPED_SOURCE(TSGPNBinarySourcePin, IPNSGBinaryStream);
DCS_SG_TYPED_SOURCE(TSGPNIntegerSourcePin, IPNSGIntegerStream);
DCS_SG_TYPED_SOURCE(TSGPNRealMatrixSourcePin, IPNSGRealMatrixStream);
DCS_SG_TYPED_SINK(TSGPNIntegerSinkPin, IPNSGIntegerStream);
DCS_SG_TYPED_SINK(TSGPNRealSinkPin, IPNSGRealStream);
DCS_SG_TYPED_SINK(TSGPNComplexSinkPin, IPNSGComplexStream);

#undef DCS_SG_TYPED_SOURCE
#undef DCS_SG_TYPED_SINK

// Real buffers; with AUseFloat also plain float sinks, which receive the last value of
// each buffer as a single.
class TSGPNRealSourcePin : public TSGPNSourcePin, public virtual IPNSGRealStream {
    DCS_CLASS(TSGPNRealSourcePin, TSGPNSourcePin)
    TSGPNRealSourcePin(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock, IntfPtr<IPNLock> AInputOwnerLock,
                       TSGOperationEvent AOperationEvent, bool AUseFloat);
    virtual TPNNotifyResult NotificationSingle(IPNStream* Handler, const TGUID* DataTypeID,
                                               IPNNotifyOperation* Operation, TPNNotifyState State);

protected:
    bool GetInterface(const TGUID& iid, void** obj) override;
};

// String buffers; also plain string sinks, which receive supplied strings unchanged.
class TSGPNStringSourcePin : public TSGPNSourcePin, public virtual IPNSGStringStream {
    DCS_CLASS(TSGPNStringSourcePin, TSGPNSourcePin)
    TSGPNStringSourcePin(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock, IntfPtr<IPNLock> AInputOwnerLock,
                         TSGOperationEvent AOperationEvent);
    virtual TPNNotifyResult NotificationString(IPNStream* Handler, const TGUID* DataTypeID,
                                               IPNNotifyOperation* Operation, TPNNotifyState State);

protected:
    bool GetInterface(const TGUID& iid, void** obj) override;
};

// ------------------------------------------------------------ send function, table

// The send function of the signal and audio buffer types. A sample-rate start reaches a
// real-buffer receiver with its rate divided by 8 and an integer-buffer receiver with it
// divided by 4 (their element sizes); the rest is delivered unchanged.
TPNNotifyResult SGStreamSendFunction(TPNPin* Sender, IPNStream* Handler, const TGUID* DataTypeID,
                                     IPNNotifyOperation* Operation, TPNNotifyState State);

using TSGPNCreateBufferFunction = std::function<IntfPtr<ISGData>(uint32_t ACount)>;
using TSGPNUpdateBufferFunction = std::function<void(ISGData* ABuffer, IPNNotifyOperation* AOperation)>;

struct TSGPNStreamTypeEntry {
    TGUID TypeID;
    int32_t SampleSize = 0;
    TSGPNCreateBufferFunction CreateFunction;
    TSGPNUpdateBufferFunction UpdateFunction;
};

// Adds or replaces by type id.
void RegisterSLStreamType(const TGUID& AID, int32_t ASampleSize, TSGPNCreateBufferFunction ACreate,
                          TSGPNUpdateBufferFunction AUpdate);
// The entry of a type, or false.
bool FindSLStreamType(const TGUID& AID, TSGPNStreamTypeEntry& AEntry);
void ClearSLStreamTypes();

// Registers the ten names, the send function of eight types, the table entries and the
// converters, in that order. Runs once at start-up; may run again after the registries
// were emptied.
void RegisterSGStreamTypes();

// ---------------------------------------------------------------------- converters

#define DCS_SG_CONVERTER(Name)                                                                                         \
    class Name : public TPNFormatConverter {                                                                           \
        DCS_CLASS(Name, TPNFormatConverter)                                                                            \
        Name();                                                                                                        \
    }

// A byte view of the same data, no copy.
DCS_SG_CONVERTER(TSGPNIntToBinaryFormatConverter);
DCS_SG_CONVERTER(TSGPNRealToBinaryFormatConverter);
DCS_SG_CONVERTER(TSGPNComplexToBinaryFormatConverter);
// A real buffer of the same size, each integer as a double.
DCS_SG_CONVERTER(TSGPNIntToRealFormatConverter);
// A 1 x n matrix over the same data.
DCS_SG_CONVERTER(TSGPNRealToRealMatrixFormatConverter);
// Supplied values of the plain sinks become their default text.
DCS_SG_CONVERTER(TSGPNTimeToStringFormatConverter);
DCS_SG_CONVERTER(TSGPNIntegerToStringFormatConverter);
DCS_SG_CONVERTER(TSGPNRealToStringFormatConverter);

#undef DCS_SG_CONVERTER

// Builds a converter's pins on its lock: the input's event converts each buffer with
// AConvert (null: the buffer passes unchanged; AConvert answering null: nothing is
// sent) and sends everything else on unchanged;
// the output forwards what comes from downstream to the input.
void MakeSGConverterPins(TPNFormatConverter* AConverter, TPNSinkPin*& AInput, TPNSourcePin*& AOutput,
                         const std::function<TSGPNSinkPin*(TSGOperationEvent)>& AMakeInput,
                         const std::function<TSGPNSourcePin*(TSGOperationEvent)>& AMakeOutput,
                         std::function<IntfPtr<ISGData>(ISGData*)> AConvert);

// The same with an input pin of class TIn and an output pin of class TOut (given
// AOutExtra after its event), both on the converter's lock.
template <class TIn, class TOut, class... AExtra>
void MakeSGConverterPinsOf(TPNFormatConverter* AConverter, TPNSinkPin*& AInput, TPNSourcePin*& AOutput,
                           std::function<IntfPtr<ISGData>(ISGData*)> AConvert, AExtra... AOutExtra)
{
    const IntfPtr<IPNLock>& lock = AConverter->Lock();
    MakeSGConverterPins(
        AConverter, AInput, AOutput,
        [&](TSGOperationEvent e) -> TSGPNSinkPin* { return Create<TIn>(AConverter, lock, std::move(e)); },
        [&](TSGOperationEvent e) -> TSGPNSourcePin* {
            return Create<TOut>(AConverter, lock, IntfPtr<IPNLock>(), std::move(e), AOutExtra...);
        },
        std::move(AConvert));
}

}  // namespace dcs
