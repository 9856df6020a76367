#include "components/audio/AUCommonGen.h"

#include "components/audio/SGSharedClock.h"
#include "components/audio/buffers/AUSampleRoutines.h"
#include "dsp/IntegerVectorEntries.h"

namespace dcs {

void TAUCommonGen::DeclareProperties(TClassBuilder<TAUCommonGen>& P)
{
    P.Object("OutputPin", &TAUCommonGen::OutputPin);
    P.Object("AudioFormat", &TAUCommonGen::AudioFormat, &TAUCommonGen::SetAudioFormat);
}

TAUCommonGen::TAUCommonGen(TComponent* AOwner) : TSGBasicCommonGen(AOwner)
{
    FAudioFormat = Create<TAUAudioFormat>(this, *FLock, [this](TObject* Sender) { AudioFormatChanged(Sender); });
    FOutputPin =
        Create<TAUPNAudioSourcePin>(this, FLock, nullptr,
                                    [this](TPNBasicPin* Sender, const TGUID* ID, IPNNotifyOperation* Op,
                                           TPNNotifyState State) { return OutputPinOperation(Sender, ID, Op, State); });
    FOutputPin->FunctionSources().Add(ClockPin());
    FIntVarBuffer = IntfPtr<ISGBlockBuffer>(new TSGBlockBuffer(2 * FAudioFormat->BufferSize()));
}

TAUCommonGen::~TAUCommonGen()
{
    IPNLockSection stop = FLock->StopLock();
    FreeAndNil(FOutputPin);
    FreeAndNil(FAudioFormat);
}

void TAUCommonGen::AudioFormatChanged(TObject* /*Sender*/)
{
    IPNLockSection section = FLock->WriteLock();
    FIntVarBuffer = IntfPtr<ISGBlockBuffer>(new TSGBlockBuffer(2 * FAudioFormat->BufferSize()));
}

uint32_t TAUCommonGen::GetBufferSize() { return FAudioFormat->BufferSize(); }

double TAUCommonGen::GetSampleRate() { return double(FAudioFormat->SampleRate()); }

void TAUCommonGen::SendStartFormat()
{
    PrepareBufferSize(FAudioFormat->BufferSize());
    SetInternalRate(double(FAudioFormat->SampleRate()));
    const TAUWaveFormatExtensible header = *FAudioFormat->GetWaveFormat();
    NotifyOutput(MakeOperation<TPNStartWaveOperation>(header, false));
}

void TAUCommonGen::CreateClock()
{
    if (!IsPump() || ClockSource() != TSGClockSource::csInternal || FClockGen)
        return;
    // Generators of one period share one clock thread: a thread per generator would wake
    // a thousand threads per period in a large graph.
    FClockGen = TSGSharedClockMember::Create(
        this, GeneratorClockInterval(FAudioFormat->SampleRate(), FAudioFormat->BufferSize()),
        [this] { GenerateBuffer(); });
}

void TAUCommonGen::GenerateBuffer()
{
    IPNLockSection section = FLock->WriteLock();
    if (!section || FInStopping || !FIsRunning)
        return;
    IntfPtr<IAUAudioBuffer> buffer(TAUAudioBuffer::CreateSizeEx(FAudioFormat->SampleRate(), FAudioFormat->Bits(),
                                                                FAudioFormat->Channels(), FAudioFormat->BufferSize(),
                                                                FAudioFormat->ChannelMask()));
    bool submit = true;
    bool stop = false;
    FillSignal(buffer, submit, stop);
    buffer->GetTimeStamp()->SetAvailable(false);
    if (submit)
        FOutputPin->SubmitBuffer(buffer.Get());
    if (stop) {
        FInStopping = true;
        StopGenerating();
    }
}

TPNNotifyResult TAUCommonGen::OutputPinOperation(TPNBasicPin* /*Sender*/, const TGUID* /*DataTypeID*/,
                                                 IPNNotifyOperation* Operation, TPNNotifyState /*State*/)
{
    IPNLockSection section = FLock->WriteLock();
    if (!section)
        return {};
    if (auto* start = OperationAs<TPNStartSampleRateOperation>(Operation)) {
        NegotiatePump();
        SetInternalRate(double(start->Rate));
        CreateClock();
    } else if (OperationAs<TPNStopOperation>(Operation)) {
        StopGenerating();
    } else if (auto* master = OperationAs<TPNMasterPumpOperation>(Operation)) {
        MasterPumpArrived(master->Pump, master->OperationID());
    } else if (OperationAs<TPNQueryStreamOperation>(Operation)) {
        if (!Enabled())
            NotifyOutput(MakeOperation<TPNIgnoreStreamOperation>());
    }
    return {};
}

void TAUCommonGen::CopyToChannels(ISGBlockBuffer* AWork, IAUAudioBuffer* ABuffer)
{
    const uint32_t width = ABuffer->GetSampleBitWidth();
    const int frames = int(ABuffer->GetSize());
    const int step = int(ABuffer->GetDataStep());
    const uint32_t channels = ABuffer->GetChannels();
    if (frames <= 0)
        return;
    uint8_t* data = ABuffer->Modify();
    const uint8_t* work = AWork->Read();
    if (width == 24 && uint32_t(step) == 3 * channels) {
        // Packed frames: each sample is widened once and written to every channel.
        ConvertSamples16To24Channels(reinterpret_cast<const int16_t*>(work), 2, data, frames, int(channels));
        return;
    }
    for (uint32_t c = 0; c < channels; ++c) {
        uint8_t* column = data + width * c / 8;
        if (width == 16)
            vpiCopy_16s_C1R(reinterpret_cast<const Vps16s*>(work), 2, reinterpret_cast<Vps16s*>(column), step,
                            VpiSize {1, frames});
        else
            ConvertSampleColumn(work, 16, 2, column, int(width), step, frames);
    }
}

}  // namespace dcs
