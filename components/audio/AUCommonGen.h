// The audio side of a generator: the stream format, the audio output pin, the start
// that carries the format's header, and per period one new audio buffer that the
// descendant fills with a 16-bit mono work signal, copied into every channel.
#pragma once

#include "components/audio/AUAudioFormat.h"
#include "components/audio/AUStreamTypes.h"
#include "components/audio/SGCommonGen.h"
#include "components/audio/buffers/AUSimpleAudioBuffer.h"

namespace dcs {

class TAUCommonGen : public TSGBasicCommonGen {
    DCS_CLASS(TAUCommonGen, TSGBasicCommonGen)

    explicit TAUCommonGen(TComponent* AOwner);
    ~TAUCommonGen() override;

    TAUPNAudioSourcePin* OutputPin() const { return FOutputPin; }
    TAUAudioFormat* AudioFormat() const { return FAudioFormat; }
    // Takes the values over; the generator keeps its own format object.
    void SetAudioFormat(TAUAudioFormat* AValue) { FAudioFormat->Assign(AValue); }

    TPNSourcePin* GetOutputPin() override { return FOutputPin; }

    static void DeclareProperties(TClassBuilder<TAUCommonGen>& P);

protected:
    // Operations arriving at the output pin from downstream.
    virtual TPNNotifyResult OutputPinOperation(TPNBasicPin* Sender, const TGUID* DataTypeID,
                                               IPNNotifyOperation* Operation, TPNNotifyState State);
    virtual void PrepareBufferSize(uint32_t /*ASize*/) {}
    virtual void SetInternalRate(double /*ARate*/) {}
    // Fills ABuffer; clearing ASubmit drops it, setting AStop stops the generator.
    virtual void FillSignal(IntfPtr<IAUAudioBuffer>& ABuffer, bool& ASubmit, bool& AStop) = 0;

    void SendStartFormat() override;
    void CreateClock() override;
    uint32_t GetBufferSize() override;
    double GetSampleRate() override;
    void GenerateBuffer() override;

    // The same 16-bit mono signal into every channel of ABuffer, at its sample width.
    void CopyToChannels(ISGBlockBuffer* AWork, IAUAudioBuffer* ABuffer);

    // The 16-bit mono work signal, two bytes per frame.
    IntfPtr<ISGBlockBuffer> FIntVarBuffer;

private:
    void AudioFormatChanged(TObject* Sender);

    TAUPNAudioSourcePin* FOutputPin = nullptr;
    TAUAudioFormat* FAudioFormat = nullptr;
};

}  // namespace dcs
