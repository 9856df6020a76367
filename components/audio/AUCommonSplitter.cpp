#include "components/audio/AUCommonSplitter.h"

#include "components/audio/buffers/AUSampleRoutines.h"

#include <algorithm>

namespace dcs {

void TAUCommonSplitter::DeclareProperties(TClassBuilder<TAUCommonSplitter>& P)
{
    P.Object("InputPin", &TAUCommonSplitter::InputPin);
    P.Object("OutputPins", &TAUCommonSplitter::OutputPins);
    P.Integer("CountChannels", &TAUCommonSplitter::CountChannels, &TAUCommonSplitter::SetCountChannels).Default(2);
}

TAUCommonSplitter::TAUCommonSplitter(TComponent* AOwner) : TCKComponent(AOwner)
{
    FInputPin = Create<TAUPNAudioSinkPin>(
        this, FLock, [this](TPNBasicPin* Sender, const TGUID* ID, IPNNotifyOperation* Op, TPNNotifyState State) {
            return InputOperation(Sender, ID, Op, State);
        });
    FOutputPins = Create<TPNPinList>(this, FLock, true);
}

TAUCommonSplitter::~TAUCommonSplitter()
{
    IPNLockSection stop = FLock->StopLock();
    FreeAndNil(FInputPin);
    FreeAndNil(FOutputPins);
}

void TAUCommonSplitter::AfterConstruction()
{
    TCKComponent::AfterConstruction();
    SetChannelCount(2);
}

void TAUCommonSplitter::BeforeDestruction()
{
    {
        IPNLockSection stop = FLock->StopLock();
        FInputPin->Disconnect();
        StopOutputs();
    }
    TCKComponent::BeforeDestruction();
}

int32_t TAUCommonSplitter::CountChannels() const
{
    IPNLockSection section = FLock->ReadLock();
    return FOutputPins->Count();
}

TPNSourcePin* TAUCommonSplitter::OutputPin(int AIndex)
{
    IPNLockSection section = FLock->ReadLock();
    if (AIndex < 0 || AIndex >= FOutputPins->Count())
        return nullptr;
    return dynamic_cast<TPNSourcePin*>(FOutputPins->GetPin(AIndex));
}

void TAUCommonSplitter::SetChannelCount(int32_t ACount)
{
    ACount = std::clamp(ACount, 1, 32);
    IPNLockSection section = FLock->WriteLock();
    while (FOutputPins->Count() > ACount)
        FOutputPins->Delete(FOutputPins->Count() - 1);
    while (FOutputPins->Count() < ACount) {
        TPNSourcePin* pin = CreateOutputPin();
        FOutputPins->Add(pin);
        pin->FunctionSources().Add(FInputPin);
    }
}

void TAUCommonSplitter::NotifyOutputs(const IntfPtr<IPNNotifyOperation>& AOperation)
{
    for (int i = 0; i < FOutputPins->Count(); ++i)
        FOutputPins->GetPin(i)->Notify(AOperation.Get());
}

void TAUCommonSplitter::StopOutputs() { NotifyOutputs(MakeOperation<TPNStopOperation>()); }

void TAUCommonSplitter::ResumeOutputs() { NotifyOutputs(MakeOperation<TPNSGResumeOperation>()); }

TPNNotifyResult TAUCommonSplitter::InputOperation(TPNBasicPin* /*Sender*/, const TGUID* /*DataTypeID*/,
                                                  IPNNotifyOperation* Operation, TPNNotifyState /*State*/)
{
    IPNLockSection section = FLock->WriteLock();
    if (!section)
        return {};
    if (auto* start = OperationAs<TPNStartWaveOperation>(Operation)) {
        StartFormat(&start->WaveFormat);
    } else if (OperationAs<TPNStopOperation>(Operation)) {
        StopOutputs();
    } else if (OperationAs<TPNSGResumeOperation>(Operation)) {
        ResumeOutputs();
    } else if (auto* supplied = OperationAs<TPNSuppliedBufferOperation>(Operation)) {
        if (!supplied->Buffer)
            return {};
        IntfPtr<TAUAudioBuffer> buffer;
        try {
            buffer = TAUAudioBuffer::CreateUniversal(supplied->Buffer.Get());
        } catch (const Exception&) {
            return {};  // not audio data: nothing to split
        }
        ProcessBuffer(buffer.Get());
    }
    return {};
}

TPNNotifyResult TAUCommonSplitter::OutputOperation(TPNBasicPin* Sender, const TGUID* DataTypeID,
                                                   IPNNotifyOperation* Operation, TPNNotifyState State)
{
    IPNLockSection section = FLock->WriteLock();
    if (!section)
        return {};
    if (OperationAs<TPNQueryStreamOperation>(Operation)) {
        const int index = FOutputPins->IndexOf(Sender);
        if (index >= 0 && uint32_t(index) >= FWaveFormat.Format.nChannels)
            Sender->Notify(MakeOperation<TPNIgnoreStreamOperation>().Get());
        return {};
    }
    if (FInputPin->IsConnected())
        return FInputPin->Notify(Operation);
    return InputOperation(FInputPin, DataTypeID, Operation, State);
}

void TAUCommonSplitter::ProcessBuffer(IAUAudioBuffer* ABuffer)
{
    IPNLockSection section = FLock->WriteLock();
    if (!section)
        return;
    void (TAUCommonSplitter::*split)(int, IAUAudioBuffer*);
    switch (FWaveFormat.Format.wBitsPerSample) {
    case 8: split = &TAUCommonSplitter::SplitChannel8; break;
    case 16: split = &TAUCommonSplitter::SplitChannel16; break;
    case 24: split = &TAUCommonSplitter::SplitChannel24; break;
    case 32: split = &TAUCommonSplitter::SplitChannel32; break;
    default: return;
    }
    const int count = std::min(int(FWaveFormat.Format.nChannels), FOutputPins->Count());
    for (int i = 0; i < count; ++i)
        if (OutputAlwaysWanted(i) || FOutputPins->GetPin(i)->IsConnected())
            (this->*split)(i, ABuffer);
}

bool TAUCommonSplitter::ChannelColumn(int AIndex, IAUAudioBuffer* ABuffer, uint32_t& AFrames, const uint8_t*& AColumn)
{
    const uint32_t align = FWaveFormat.Format.nBlockAlign;
    const uint32_t bytes = FWaveFormat.Format.wBitsPerSample / 8u;
    // A header whose frames are too short for this channel would read past each frame.
    if (align == 0 || (uint32_t(AIndex) + 1) * bytes > align)
        return false;
    AFrames = ABuffer->GetByteSize() / align;
    AColumn = ABuffer->Read() + uint32_t(AIndex) * bytes;
    return true;
}

void TAUCommonSplitter::SplitChannel(int AIndex, IAUAudioBuffer* ABuffer, int ABits)
{
    uint32_t frames = 0;
    const uint8_t* src = nullptr;
    if (!ChannelColumn(AIndex, ABuffer, frames, src))
        return;
    const uint32_t align = FWaveFormat.Format.nBlockAlign;
    IntfPtr<TSGRealBuffer> data = TSGRealBuffer::CreateSize(frames);
    double* dst = data->Write();
    const bool normalize = NormalizeOutput();
    for (uint32_t i = 0; i < frames; ++i, src += align) {
        double v = 0.0;
        switch (ABits) {
        case 8: v = double(int(*src) - 127); break;
        case 16: v = double(int16_t(uint16_t(src[0] | (src[1] << 8)))); break;
        case 24: v = double(ReadSample24(src)); break;
        default:
            v = double(
                int32_t(uint32_t(src[0]) | uint32_t(src[1]) << 8 | uint32_t(src[2]) << 16 | uint32_t(src[3]) << 24));
        }
        if (normalize)
            v /= ABits == 8 ? 128.0 : ABits == 16 ? 32768.0 : ABits == 24 ? 8388608.0 : 2147483648.0;
        dst[i] = v;
    }
    SubmitChannel(AIndex, data.Get());
}

}  // namespace dcs
