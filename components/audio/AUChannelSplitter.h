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
    // A one-channel audio buffer of the start's width, whatever width was asked.
    void SplitChannel(int AIndex, IAUAudioBuffer* ABuffer, int ABits) override;
};

}  // namespace dcs
