// The base of channel splitters: one interleaved audio stream in, one output pin per
// channel. Starts, stops and resumes go to every output; buffers are split for the
// outputs that are linked, by the widths and counts of the last start.
#pragma once

#include "components/audio/AUStreamTypes.h"
#include "components/audio/buffers/AUSimpleAudioBuffer.h"
#include "components/pins/CKComponent.h"
#include "components/pins/PNPinList.h"

namespace dcs {

class TAUCommonSplitter : public TCKComponent {
    DCS_CLASS(TAUCommonSplitter, TCKComponent)

    explicit TAUCommonSplitter(TComponent* AOwner);
    ~TAUCommonSplitter() override;
    // A splitter made in code has outputs 0 and 1 before its caller links them.
    void AfterConstruction() override;
    // Unlinks the input and stops every output.
    void BeforeDestruction() override;

    TAUPNAudioSinkPin* InputPin() const { return FInputPin; }
    TPNPinList* OutputPins() const { return FOutputPins; }
    // Output AIndex as a source pin (nil outside the list).
    TPNSourcePin* OutputPin(int AIndex);
    // The number of outputs, 1..32.
    int32_t CountChannels() const;
    void SetCountChannels(int32_t AValue) { SetChannelCount(AValue); }
    // The header of the input's last start (all zero before the first).
    TAUWaveFormatExtensible WaveFormat() const { return FLock->Getter(FWaveFormat); }

    static void DeclareProperties(TClassBuilder<TAUCommonSplitter>& P);

protected:
    virtual void SetChannelCount(int32_t ACount);
    virtual TPNSourcePin* CreateOutputPin() = 0;
    virtual void StartFormat(const TAUWaveFormatExtensible* AWaveFormat) = 0;
    virtual void StopOutputs();
    virtual void ResumeOutputs();
    virtual void ProcessBuffer(IAUAudioBuffer* ABuffer);
    virtual void NotifyOutputs(const IntfPtr<IPNNotifyOperation>& AOperation);
    virtual bool OutputAlwaysWanted(int /*AIndex*/) { return false; }
    virtual bool NormalizeOutput() { return false; }
    // Channel AIndex of ABuffer to output AIndex, by the sample width of the start.
    virtual void SplitChannel8(int AIndex, IAUAudioBuffer* ABuffer) { SplitChannel(AIndex, ABuffer, 8); }
    virtual void SplitChannel16(int AIndex, IAUAudioBuffer* ABuffer) { SplitChannel(AIndex, ABuffer, 16); }
    virtual void SplitChannel24(int AIndex, IAUAudioBuffer* ABuffer) { SplitChannel(AIndex, ABuffer, 24); }
    virtual void SplitChannel32(int AIndex, IAUAudioBuffer* ABuffer) { SplitChannel(AIndex, ABuffer, 32); }
    // What the four widths share: here channel AIndex as real numbers for SubmitChannel.
    virtual void SplitChannel(int AIndex, IAUAudioBuffer* ABuffer, int ABits);
    virtual void SubmitChannel(int /*AIndex*/, ISGRealBuffer* /*AData*/) {}

    TPNNotifyResult InputOperation(TPNBasicPin* Sender, const TGUID* DataTypeID, IPNNotifyOperation* Operation,
                                   TPNNotifyState State);
    TPNNotifyResult OutputOperation(TPNBasicPin* Sender, const TGUID* DataTypeID, IPNNotifyOperation* Operation,
                                    TPNNotifyState State);
    // Frames of ABuffer by the start header, and where channel AIndex starts in it; false
    // when the header cannot describe that channel.
    bool ChannelColumn(int AIndex, IAUAudioBuffer* ABuffer, uint32_t& AFrames, const uint8_t*& AColumn);

    TAUWaveFormatExtensible FWaveFormat {};

private:
    TAUPNAudioSinkPin* FInputPin = nullptr;
    TPNPinList* FOutputPins = nullptr;
};

}  // namespace dcs
