// The channel splitter the application makes: each output carries one channel of the
// input as one-channel audio buffers of the input's width.
#pragma once

#include "components/audio/AUCommonSplitter.h"

namespace dcs {

class TAUChannelSplitter : public TAUCommonSplitter {
    DCS_CLASS(TAUChannelSplitter, TAUCommonSplitter)
    using TAUCommonSplitter::TAUCommonSplitter;

protected:
    TPNSourcePin* CreateOutputPin() override;
    // Every output starts with a one-channel copy of the header.
    void StartFormat(const TAUWaveFormatExtensible* AWaveFormat) override;
    void SplitChannel8(int AIndex, IAUAudioBuffer* ABuffer) override { SplitChannel(AIndex, ABuffer); }
    void SplitChannel16(int AIndex, IAUAudioBuffer* ABuffer) override { SplitChannel(AIndex, ABuffer); }
    void SplitChannel24(int AIndex, IAUAudioBuffer* ABuffer) override { SplitChannel(AIndex, ABuffer); }
    void SplitChannel32(int AIndex, IAUAudioBuffer* ABuffer) override { SplitChannel(AIndex, ABuffer); }

private:
    void SplitChannel(int AIndex, IAUAudioBuffer* ABuffer);
};

}  // namespace dcs
