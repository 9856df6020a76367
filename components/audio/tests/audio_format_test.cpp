#include "components/audio/AUAudioFormat.h"

#include <gtest/gtest.h>

#include <cstring>

namespace dcs {
namespace {

// The owner's lock that a component would give its format.
struct OwnerLock {
    IntfPtr<ICKLock> lock = TCKLock::Create();
};

TEST(AudioFormat, DefaultHeaderByteForByte)
{
    OwnerLock owner;
    TAUOptionalAudioFormat f(nullptr, *owner.lock);
    EXPECT_EQ(f.Channels(), 2u);
    EXPECT_EQ(f.Bits(), 16u);
    EXPECT_EQ(f.SampleRate(), 11025u);
    EXPECT_EQ(f.ChannelMask(), (TAUSpeakers {spFrontLeft, spFrontRight}));
    EXPECT_EQ(f.BufferSize(), 1024u);
    EXPECT_FALSE(f.Enabled());

    const unsigned char expected[40] = {
        0xFE, 0xFF,              // extensible tag
        0x02, 0x00,              // channels
        0x11, 0x2B, 0x00, 0x00,  // 11025 Hz
        0x44, 0xAC, 0x00, 0x00,  // 44100 bytes per second
        0x04, 0x00,              // block align
        0x10, 0x00,              // container bits
        0x16, 0x00,              // cbSize 22
        0x10, 0x00,              // valid bits
        0x03, 0x00, 0x00, 0x00,  // front left + right
        0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71,  // integer PCM
    };
    EXPECT_EQ(std::memcmp(f.GetWaveFormat(), expected, 40), 0);
}

TEST(AudioFormat, DerivedFieldsFollowBitsChannelsAndRate)
{
    OwnerLock owner;
    TAUAudioFormat f(nullptr, *owner.lock);
    f.SetSampleRate(22050);
    f.SetBits(24);
    const TAUWaveFormatExtensible* h = f.GetWaveFormat();
    EXPECT_EQ(h->Format.wBitsPerSample, 24);
    EXPECT_EQ(h->Format.nBlockAlign, 6);
    EXPECT_EQ(h->Format.nAvgBytesPerSec, 132300u);

    struct {
        uint32_t valid, container;
    } rounding[] = {{1, 8}, {8, 8}, {9, 16}, {12, 16}, {17, 24}, {25, 32}, {32, 32}};
    for (auto c : rounding) {
        f.SetBits(c.valid);
        EXPECT_EQ(h->Format.wBitsPerSample, c.container) << c.valid;
        EXPECT_EQ(h->wValidBitsPerSample, c.valid);
        EXPECT_EQ(h->Format.nBlockAlign, 2 * c.container / 8);
    }
}

TEST(AudioFormat, WritesAreClamped)
{
    OwnerLock owner;
    TAUAudioFormat f(nullptr, *owner.lock);
    struct {
        void (TAUAudioFormat::*set)(uint32_t);
        uint32_t (TAUAudioFormat::*get)() const;
        uint32_t written, stored;
    } cases[] = {
        {&TAUAudioFormat::SetChannels, &TAUAudioFormat::Channels, 65537, 32},
        {&TAUAudioFormat::SetBits, &TAUAudioFormat::Bits, 0, 1},
        {&TAUAudioFormat::SetBits, &TAUAudioFormat::Bits, 40, 32},
        {&TAUAudioFormat::SetChannels, &TAUAudioFormat::Channels, 0, 1},
        {&TAUAudioFormat::SetChannels, &TAUAudioFormat::Channels, 100, 32},
        {&TAUAudioFormat::SetBufferSize, &TAUAudioFormat::BufferSize, 0, 1},
    };
    for (auto c : cases) {
        (f.*c.set)(c.written);
        EXPECT_EQ((f.*c.get)(), c.stored) << c.written;
    }
    f.SetBits(0);
    EXPECT_EQ(f.GetWaveFormat()->Format.wBitsPerSample, 8);
}

TEST(AudioFormat, ChangeNoticeOnlyOnChangeAndMaskIsNeverDerived)
{
    int changes = 0;
    OwnerLock owner;
    TAUAudioFormat f(nullptr, *owner.lock, [&](TObject*) { ++changes; });
    f.SetBits(16);
    f.SetChannels(2);
    EXPECT_EQ(changes, 0);

    TAUWaveFormatExtensible before = *f.GetWaveFormat();
    f.SetBufferSize(4096);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(std::memcmp(&before, f.GetWaveFormat(), 40), 0);

    f.SetChannels(1);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(f.ChannelMask().Mask(), 3u);
    EXPECT_EQ(f.GetWaveFormat()->Format.nBlockAlign, 2);

    TAUSpeakers five {spFrontLeft, spFrontRight, spFrontCenter, spBackLeft, spBackRight};
    f.SetChannelMask(five);
    EXPECT_EQ(f.GetWaveFormat()->dwChannelMask, 0x37u);
    EXPECT_TRUE(f.ChannelMask().Contains(spBackRight));
    EXPECT_FALSE(f.ChannelMask().Contains(spSubwoofer));
    EXPECT_EQ(TAUSpeakers {spTopBackRight}.Mask(), 1u << 17);
}

TEST(AudioFormat, AssignCopiesPublishedProperties)
{
    OwnerLock owner;
    TAUOptionalAudioFormat src(nullptr, *owner.lock), dst(nullptr, *owner.lock);
    src.SetSampleRate(22050);
    src.SetBits(24);
    src.SetBufferSize(512);
    src.SetEnabled(true);
    dst.Assign(&src);
    EXPECT_EQ(std::memcmp(src.GetWaveFormat(), dst.GetWaveFormat(), 40), 0);
    EXPECT_EQ(dst.BufferSize(), 512u);
    EXPECT_TRUE(dst.Enabled());
}

TEST(AudioFormat, PublishesItsPropertiesByName)
{
    OwnerLock owner;
    TAUOptionalAudioFormat f(nullptr, *owner.lock);
    SetOrdProp(f, "Bits", 24);
    SetOrdProp(f, "ChannelMask", 0x3F);
    SetOrdProp(f, "Enabled", 1);
    EXPECT_EQ(f.GetWaveFormat()->Format.wBitsPerSample, 24);
    EXPECT_EQ(f.ChannelMask().Mask(), 0x3Fu);
    EXPECT_TRUE(f.Enabled());
    EXPECT_EQ(GetOrdProp(f, "BufferSize"), 1024);
}

}  // namespace
}  // namespace dcs
