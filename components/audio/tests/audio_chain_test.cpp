// The first whole chain: a tone generator linked through a mixer and a channel splitter
// to a wave-out player, every component on its own threads, played on the virtual
// wave-out device.
#include "components/audio/AUAudioMixer.h"
#include "components/audio/AUAudioOut.h"
#include "components/audio/AUChannelSplitter.h"
#include "components/audio/AUSignalGen.h"
#include "components/audio/tests/WaitUntil.h"
#include "platform/waveout/WaveOutVirtual.h"
#include "platform/waveout/tests/WaveTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

namespace dcs {
namespace {

using audiotest::WaitUntil;
using wavetest::Amplitude;

TEST(AudioChain, ASteadyToneReachesTheLeftSpeakerOnly)
{
    ASSERT_TRUE(WaveOutSelectBackend("virtual"));
    // Mixed at the stream's rate, the device plays each block in exactly 1024 frames.
    ASSERT_TRUE(waveout_virtual::Configure({"Speakers"}, 11025));
    TOwned<TAUAudioOut> out(Create<TAUAudioOut>(nullptr));
    TOwned<TAUChannelSplitter> splitter(Create<TAUChannelSplitter>(nullptr));
    TOwned<TAUAudioMixer> mixer(Create<TAUAudioMixer>(nullptr));
    ASSERT_TRUE(out->InputPin()->Connect(splitter->OutputPin(0)));
    ASSERT_TRUE(splitter->InputPin()->Connect(mixer->OutputPin()));
    // Made in code, the generator runs at once on its own clock: 500 Hz, peak 20000,
    // 11025 Hz stereo in buffers of 1024 frames.
    TOwned<TAUSignalGen> generator(Create<TAUSignalGen>(nullptr));
    ASSERT_TRUE(mixer->Channels()->Add()->InputPin()->Connect(generator->OutputPin()));

    // Real time paces the chain; the device plays a block whenever it holds two, so it
    // never runs dry.
    std::vector<float> played;
    for (uint64_t k = 1; k <= 12; ++k) {
        ASSERT_TRUE(WaitUntil([&] { return !out->IsPaused() && out->QueuedBlocks() >= 2; })) << k;
        const auto part = waveout_virtual::Advance(1024);
        played.insert(played.end(), part.begin(), part.end());
        ASSERT_TRUE(WaitUntil([&] { return out->CompletedBlocks() == k; })) << k;
    }
    const auto opens = waveout_virtual::Opens();
    ASSERT_EQ(opens.size(), 1u);
    EXPECT_EQ(opens[0].Format.Format.nChannels, 1u);
    EXPECT_EQ(opens[0].Format.Format.nSamplesPerSec, 11025u);
    EXPECT_EQ(opens[0].Format.dwChannelMask, 1u);

    // Past the first block: the tone at its level on the left, silence on the right, and
    // no gap (all of the left's energy is the tone's).
    const float* steady = played.data() + 2 * 1024;
    const size_t n = 11 * 1024;
    const double level = 20000.0 / 32768.0;
    EXPECT_NEAR(Amplitude(steady, n, 2, 500, 11025), level, 0.01 * level);
    double energy = 0, right = 0;
    for (size_t i = 0; i < n; ++i) {
        energy += double(steady[2 * i]) * steady[2 * i];
        right = std::max(right, std::fabs(double(steady[2 * i + 1])));
    }
    EXPECT_NEAR(std::sqrt(2 * energy / double(n)), level, 0.01 * level);
    EXPECT_EQ(right, 0.0);
}

}  // namespace
}  // namespace dcs
