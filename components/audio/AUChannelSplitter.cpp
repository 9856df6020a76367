#include "components/audio/AUChannelSplitter.h"

#include <cstring>
#include <type_traits>

namespace dcs {

TPNSourcePin* TAUChannelSplitter::CreateOutputPin()
{
    return Create<TAUPNAudioSourcePin>(this, FLock, nullptr,
                                       [this](TPNBasicPin* Sender, const TGUID* ID, IPNNotifyOperation* Op,
                                              TPNNotifyState State) { return OutputOperation(Sender, ID, Op, State); });
}

void TAUChannelSplitter::StartFormat(const TAUWaveFormatExtensible* AWaveFormat)
{
    IPNLockSection section = FLock->WriteLock();
    if (!AWaveFormat || !section)
        return;
    FWaveFormat = *AWaveFormat;
    TAUWaveFormatExtensible mono = *AWaveFormat;
    mono.Format.nChannels = 1;
    mono.Format.nBlockAlign = uint16_t(mono.Format.wBitsPerSample / 8);
    mono.Format.nAvgBytesPerSec = uint32_t(mono.Format.nBlockAlign) * mono.Format.nSamplesPerSec;
    mono.dwChannelMask = TAUSpeakers {spFrontLeft}.Mask();
    NotifyOutputs(MakeOperation<TPNStartWaveOperation>(mono, false));
}

void TAUChannelSplitter::SplitChannel(int AIndex, IAUAudioBuffer* ABuffer, int /*ABits*/)
{
    uint32_t frames = 0;
    const uint8_t* src = nullptr;
    if (!ChannelColumn(AIndex, ABuffer, frames, src))
        return;
    IntfPtr<TAUAudioBuffer> out =
        TAUAudioBuffer::CreateSizeEx(FWaveFormat.Format.nSamplesPerSec, FWaveFormat.wValidBitsPerSample, 1, frames,
                                     TAUSpeakers::FromMask(FWaveFormat.dwChannelMask));
    const uint32_t bytes = FWaveFormat.Format.wBitsPerSample / 8u;
    // Valid bits that round up to another container than the stream's would make the
    // samples overrun the new buffer: such a channel is not sent.
    if (out->GetSampleBitWidth() != FWaveFormat.Format.wBitsPerSample)
        return;
    const uint32_t align = FWaveFormat.Format.nBlockAlign;
    uint8_t* dst = out->Write();
    // A copy of constant size per sample: a call to copy three bytes would cost more
    // than the bytes.
    auto column = [&](auto width) {
        for (uint32_t i = 0; i < frames; ++i, src += align, dst += width)
            std::memcpy(dst, src, width);
    };
    switch (bytes) {
    case 1: column(std::integral_constant<size_t, 1>()); break;
    case 2: column(std::integral_constant<size_t, 2>()); break;
    case 3: column(std::integral_constant<size_t, 3>()); break;
    case 4: column(std::integral_constant<size_t, 4>()); break;
    default: column(size_t(bytes)); break;
    }
    if (auto* pin = dynamic_cast<TSGPNSourcePin*>(OutputPins()->GetPin(AIndex)))
        pin->SubmitBuffer(out.Get());
}

}  // namespace dcs
