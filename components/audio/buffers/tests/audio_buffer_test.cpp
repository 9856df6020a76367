#include "components/audio/buffers/AUSimpleAudioBuffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace dcs {
namespace {

using Buf = IntfPtr<TAUAudioBuffer>;

constexpr TAUSpeakers kStereo {spFrontLeft, spFrontRight};

// A buffer whose samples (frame-major, channel-minor) are the given values.
Buf Filled(uint32_t bits, uint32_t channels, std::vector<int32_t> values, TAUSpeakers mask = {})
{
    Buf b = TAUAudioBuffer::CreateSizeEx(44100, bits, channels, uint32_t(values.size() / channels), mask);
    for (size_t k = 0; k < values.size(); ++k)
        b->SetSample(uint32_t(k / channels), uint32_t(k % channels), values[k]);
    return b;
}

std::vector<int32_t> Samples(TAUAudioBuffer* b)
{
    std::vector<int32_t> out;
    for (uint32_t i = 0; i < b->GetSize(); ++i)
        for (uint32_t c = 0; c < b->GetChannels(); ++c)
            out.push_back(b->GetSample(i, c));
    return out;
}

Buf Holder(TAUAudioBuffer* b) { return TAUAudioBuffer::CreateEx(*b); }

TEST(AudioBuffer, CreateSizeWritesHeaderAndLayout)
{
    Buf b = TAUAudioBuffer::CreateSize(22050, 24, 2, 1024);
    EXPECT_EQ(b->GetSampleDataSize() + 40, 6184u);
    EXPECT_EQ(b->GetByteSize(), 6144u);
    EXPECT_EQ(b->GetSize(), 1024u);
    EXPECT_EQ(b->GetDataStep(), 6u);
    EXPECT_EQ(b->GetHeaderSize(), 40u);
    EXPECT_EQ(b->GetChannelMask(), kStereo);
    TAUWaveFormatExtensible h;
    b->CopyWaveFormat(h);
    EXPECT_EQ(h.Format.wFormatTag, 0xFFFE);
    EXPECT_EQ(h.Format.nAvgBytesPerSec, 132300u);
    EXPECT_EQ(h.Format.cbSize, 22);
    EXPECT_EQ(h.SubFormat, KSDATAFORMAT_SUBTYPE_PCM);
    EXPECT_EQ(b->Read(), reinterpret_cast<const uint8_t*>(b->WaveFormat()) + 40);

    Buf odd = TAUAudioBuffer::CreateSize(44100, 12, 1, 10);
    EXPECT_EQ(odd->GetBitsPerSample(), 12u);
    EXPECT_EQ(odd->GetSampleBitWidth(), 16u);
    EXPECT_EQ(odd->GetDataStep(), 2u);

    Buf empty = TAUAudioBuffer::Create();
    EXPECT_EQ(empty->GetSize(), 0u);
    EXPECT_EQ(empty->GetSampleRate(), 11025u);
    EXPECT_EQ(empty->GetSampleBitWidth(), 8u);
    EXPECT_EQ(empty->GetChannelMask(), TAUSpeakers {spFrontLeft});

    // Rebuilt from the header of another buffer.
    Buf again = TAUAudioBuffer::CreateWaveFormat(b->WaveFormat(), 5);
    EXPECT_EQ(again->GetSize(), 5u);
    EXPECT_EQ(again->GetSampleRate(), 22050u);
    EXPECT_EQ(again->GetChannelMask(), kStereo);
}

TEST(AudioBuffer, SpeakerMaskIsCutToTheChannelCount)
{
    struct Case {
        uint32_t channels;
        TAUSpeakers given;
        TAUSpeakers expected;
    } table[] = {
        {1, {spFrontLeft, spFrontRight, spFrontCenter}, {spFrontLeft}},
        {2, {}, kStereo},
        {2, {spFrontLeft, spBackLeft, spSideLeft}, {spFrontLeft, spBackLeft}},
        {3, kStereo, kStereo},  // fewer members than channels: kept whole
    };
    for (const Case& c : table) {
        Buf b = TAUAudioBuffer::CreateSizeEx(8000, 16, c.channels, 4, c.given);
        EXPECT_EQ(b->GetChannelMask().Mask(), c.expected.Mask()) << c.channels;
    }
    // The data constructor takes the mask as given.
    int16_t data[2] = {};
    Buf exact = TAUAudioBuffer::CreateDataEx(data, 8000, 16, 1, 2, {spFrontLeft, spFrontRight});
    EXPECT_EQ(exact->GetChannelMask(), kStereo);
}

TEST(AudioBuffer, SampleAccessChecksChannelFirstThenIndex)
{
    Buf b = TAUAudioBuffer::CreateSize(44100, 16, 2, 1024);
    auto message = [&](uint32_t index, uint32_t channel, bool set) {
        try {
            if (set)
                b->SetSample(index, channel, 1);
            else
                b->GetSample(index, channel);
        } catch (const ERangeError& e) {
            return e.Message();
        }
        return std::string("no error");
    };
    for (bool set : {false, true}) {
        EXPECT_EQ(message(0, 2, set), "Channel out of range = 2");
        EXPECT_EQ(message(5000, 7, set), "Channel out of range = 7");
        EXPECT_EQ(message(1024, 0, set), "Index out of range = 1024");
        EXPECT_EQ(message(1023, 1, set), "no error");
    }
}

TEST(AudioBuffer, SamplesOfEveryWidthReadBackAsStored)
{
    struct Case {
        uint32_t bits;
        int32_t written;
        int32_t read;
        std::vector<uint8_t> bytes;
    } table[] = {
        {8, 200, 200, {200}},
        {8, 0x1FF, 255, {255}},  // low byte only
        {16, -2, -2, {0xFE, 0xFF}},
        {16, 0x18000, -32768, {0x00, 0x80}},
        {24, -1, 16777215, {0xFF, 0xFF, 0xFF}},  // read back unsigned
        {24, 16777215, 16777215, {0xFF, 0xFF, 0xFF}},
        {24, 0x123456, 0x123456, {0x56, 0x34, 0x12}},
        {32, -123456789, -123456789, {0xEB, 0x32, 0xA4, 0xF8}},
    };
    for (const Case& c : table) {
        Buf b = TAUAudioBuffer::CreateSize(8000, c.bits, 2, 3);
        b->Zero();
        b->SetSample(2, 1, c.written);
        EXPECT_EQ(b->GetSample(2, 1), c.read) << c.bits << " " << c.written;
        const uint8_t* p = b->Read() + 2 * b->GetDataStep() + c.bits / 8;
        EXPECT_EQ(std::vector<uint8_t>(p, p + c.bytes.size()), c.bytes) << c.bits;
        EXPECT_EQ(b->GetSample(2, 0), c.bits == 8 ? 127 : 0) << "neighbour untouched";
    }
}

TEST(AudioBuffer, SilenceAndFills)
{
    Buf b8 = TAUAudioBuffer::CreateSize(8000, 8, 2, 4);
    b8->Zero();
    EXPECT_EQ(Samples(b8.Get()), std::vector<int32_t>(8, 127));
    b8->SetValue(-200);  // (-200 + 127) mod 256
    EXPECT_EQ(b8->GetSample(3, 1), 183);
    b8->SetValue(0);
    b8->SetChannelValue(0, 0);  // the channel fill takes the byte as it is
    EXPECT_EQ(Samples(b8.Get()), (std::vector<int32_t> {0, 127, 0, 127, 0, 127, 0, 127}));

    for (uint32_t bits : {16u, 24u, 32u}) {
        Buf b = Filled(bits, 2, {1, 2, 3, 4});
        b->Zero();
        EXPECT_EQ(Samples(b.Get()), std::vector<int32_t>(4, 0)) << bits;
        b->SetValue(-5);
        b->SetChannelValue(1, 9);
        const int32_t minus5 = bits == 24 ? 16777211 : -5;
        EXPECT_EQ(Samples(b.Get()), (std::vector<int32_t> {minus5, 9, minus5, 9})) << bits;
    }
}

TEST(AudioBuffer, SumsAndGainsBeyondFullScaleClampAtEveryWidth)
{
    // 24-bit samples read back as their three bytes: -8388608 is 8388608.
    struct Case {
        uint32_t bits;
        int32_t a, b, sum;
    } sums[] = {
        {8, 200, 200, 255},  // +73 and +73 around the zero level 127
        {8, 20, 30, 0},
        {16, 30000, 10000, 32767},
        {16, -30000, -10000, -32768},
        {24, 8000000, 1000000, 8388607},
        {24, -8000000, -1000000, 8388608},
        {32, 2000000000, 2000000000, INT32_MAX},
        {32, -2000000000, -2000000000, INT32_MIN},
        {32, 30000, 10000, 40000},
    };
    for (const Case& c : sums) {
        Buf x = Filled(c.bits, 1, {c.a});
        x->Add(Filled(c.bits, 1, {c.b}).Get());
        EXPECT_EQ(x->GetSample(0, 0), c.sum) << c.bits << ": " << c.a << " + " << c.b;
    }
    struct Gain {
        uint32_t bits;
        int32_t x;
        double gain;
        int32_t out;
    } gains[] = {
        {8, 200, 2.0, 255},  // the byte itself is scaled
        {16, 20000, 2.0, 32767},      {16, -32768, -1.0, 32767},        {24, 5000000, 2.0, 8388607},
        {24, -5000000, 2.0, 8388608}, {32, 2000000000, 1.5, INT32_MAX}, {32, -2000000000, 1.5, INT32_MIN},
    };
    for (const Gain& g : gains) {
        for (bool shared : {false, true}) {
            Buf x = Filled(g.bits, 1, {g.x});
            Buf other = shared ? Holder(x.Get()) : nullptr;
            x->ApplyGain(g.gain);
            EXPECT_EQ(x->GetSample(0, 0), g.out) << g.bits << ": " << g.x << " * " << g.gain << " shared " << shared;
        }
    }
    Buf d = Filled(16, 1, {100, -7});
    d->Divide(Filled(16, 1, {7, 2}).Get());
    d->Multiply(Filled(16, 1, {3, 3}).Get());
    d->Subtract(Filled(16, 1, {1, 1}).Get());
    EXPECT_EQ(Samples(d.Get()), (std::vector<int32_t> {41, -13}));
}

TEST(AudioBuffer, AddMatchesChannelsBySpeaker)
{
    // One channel goes into every channel, whatever its mask says.
    Buf stereo = Filled(16, 2, {1, 2, 3, 4});
    stereo->Add(Filled(16, 1, {10, 20}, {spBackCenter}).Get());
    EXPECT_EQ(Samples(stereo.Get()), (std::vector<int32_t> {11, 12, 23, 24}));

    Buf three = Filled(16, 3, {1, 2, 3, 4, 5, 6}, {spFrontLeft, spFrontRight, spFrontCenter});
    three->Add(Filled(16, 2, {10, 30, 10, 30}, {spFrontLeft, spFrontCenter}).Get());
    EXPECT_EQ(Samples(three.Get()), (std::vector<int32_t> {11, 2, 33, 14, 5, 36}));

    // A shorter right buffer covers only its own frames.
    Buf longer = Filled(32, 1, {1, 1, 1});
    longer->Add(Filled(32, 1, {5}).Get());
    EXPECT_EQ(Samples(longer.Get()), (std::vector<int32_t> {6, 1, 1}));
}

TEST(AudioBuffer, MaskMembersWithoutAChannelAreSkipped)
{
    // One channel claiming two speakers: the second speaker has no column in the frame,
    // and must not be written at the next frame's place (or past the last frame).
    int16_t mono[3] = {1, 2, 3};
    Buf odd = TAUAudioBuffer::CreateDataEx(mono, 8000, 16, 1, 3, kStereo);
    odd->Add(Filled(16, 2, {10, 100, 20, 200, 30, 300}).Get());
    EXPECT_EQ(Samples(odd.Get()), (std::vector<int32_t> {11, 22, 33}));

    Buf target = Filled(16, 2, {0, 0, 0, 0});
    odd->CopyTo(0, target.Get(), 0, 2);
    EXPECT_EQ(Samples(target.Get()), (std::vector<int32_t> {11, 0, 22, 0}));
}

TEST(AudioBuffer, ValueOperationsByWidth)
{
    struct Case {
        uint32_t bits;
        void (TAUAudioBuffer::*op)(int32_t);
        int32_t value;
        std::vector<int32_t> in, out;
    } table[] = {
        {8, &TAUAudioBuffer::AddValue, 100, {200, 10}, {255, 110}},  // plain unsigned, saturating
        {8, &TAUAudioBuffer::SubtractValue, 20, {10, 200}, {0, 180}},
        {8, &TAUAudioBuffer::DivideValue, 2, {201, 10}, {100, 5}},
        {16, &TAUAudioBuffer::AddValue, 100, {32700, -5}, {32767, 95}},
        {16, &TAUAudioBuffer::MultiplyValue, -3, {-20000, 7}, {32767, -21}},
        {24, &TAUAudioBuffer::SubtractValue, 5, {3, 100}, {16777214, 95}},  // wraps
        {24, &TAUAudioBuffer::DivideValue, -2, {6, 9}, {16777213, 16777212}},
        {32, &TAUAudioBuffer::AddValue, 1, {2147483647, 0}, {2147483647, 1}},
        {32, &TAUAudioBuffer::DivideValue, 4, {-9, 9}, {-2, 2}},
    };
    for (const Case& c : table) {
        for (bool shared : {false, true}) {
            Buf b = Filled(c.bits, 1, c.in);
            Buf other = shared ? Holder(b.Get()) : nullptr;
            (b.Get()->*c.op)(c.value);
            EXPECT_EQ(Samples(b.Get()), c.out) << c.bits << " " << c.value << " shared " << shared;
            if (shared) {
                EXPECT_EQ(Samples(other.Get()), Samples(Filled(c.bits, 1, c.in).Get())) << "other holder kept";
            }
        }
    }
}

TEST(AudioBuffer, DivisionByZeroValueKeepsSamplesAndSharing)
{
    for (uint32_t bits : {8u, 16u, 24u, 32u}) {
        Buf b = Filled(bits, 1, {10, 20});
        Buf other = Holder(b.Get());
        b->DivideValue(0);
        EXPECT_EQ(b->DataContainer(), other->DataContainer()) << bits;
        EXPECT_EQ(Samples(b.Get()), (std::vector<int32_t> {10, 20})) << bits;
    }
}

TEST(AudioBuffer, ChannelValueOperationsTouchOneChannel)
{
    for (uint32_t bits : {8u, 16u, 24u, 32u}) {
        Buf b = Filled(bits, 2, {10, 10, 20, 20});
        Buf other = Holder(b.Get());
        b->AddChannelValue(1, 5);
        b->MultiplyChannelValue(1, 2);
        b->SubtractChannelValue(1, 5);
        b->DivideChannelValue(1, 5);
        EXPECT_EQ(Samples(b.Get()), (std::vector<int32_t> {10, 5, 20, 9})) << bits;
        EXPECT_EQ(Samples(other.Get()), (std::vector<int32_t> {10, 10, 20, 20})) << bits;
        // A channel beyond the frame changes nothing.
        b->SetChannelValue(2, 99);
        b->AddChannelValue(7, 99);
        EXPECT_EQ(Samples(b.Get()), (std::vector<int32_t> {10, 5, 20, 9})) << bits;
    }
}

TEST(AudioBuffer, GainRoundsHalfToEvenAndRespectsSharing)
{
    Buf b = Filled(16, 2, {3, -3, 5, 7});
    Buf other = Holder(b.Get());
    b->ApplyGain(1.0);
    EXPECT_EQ(b->DataContainer(), other->DataContainer()) << "unity gain must not copy";
    b->ApplyGain(0.5);
    EXPECT_EQ(Samples(b.Get()), (std::vector<int32_t> {2, -2, 2, 4}));
    EXPECT_EQ(Samples(other.Get()), (std::vector<int32_t> {3, -3, 5, 7}));

    for (uint32_t bits : {8u, 24u, 32u}) {
        Buf g = Filled(bits, 1, {5, 6});
        g->ApplyGain(0.5);
        EXPECT_EQ(Samples(g.Get()), (std::vector<int32_t> {2, 3})) << bits;
    }
}

TEST(AudioBuffer, ResizeKeepsOrGrowsTheBlock)
{
    Buf b = Filled(16, 2, {1, 2, 3, 4, 5, 6});
    TSGSmartBuffer* block = b->DataContainer();
    b->Resize(0, true);
    EXPECT_EQ(b->GetSize(), 3u);
    b->Resize(2, true);
    EXPECT_EQ(b->GetSize(), 2u);
    EXPECT_EQ(b->DataContainer(), block);

    b->GetTimeStamp()->SetBeginTime(1234);
    b->GetTimeStamp()->SetAvailable(true);
    b->Resize(1000, true);
    EXPECT_NE(b->DataContainer(), block);
    EXPECT_EQ(b->GetSize(), 1000u);
    EXPECT_EQ(b->GetSample(1, 1), 4);
    EXPECT_EQ(b->GetSampleRate(), 44100u);
    EXPECT_TRUE(b->GetTimeStamp()->Available()) << "stamps move with the data";
    EXPECT_EQ(b->GetTimeStamp()->BeginTime(), 1234);

    // Shared data shrink in place too; growth gives the grower its own block.
    Buf other = Holder(b.Get());
    b->Resize(10, false);
    EXPECT_EQ(b->DataContainer(), other->DataContainer());
    b->Resize(2000, true);
    EXPECT_NE(b->DataContainer(), other->DataContainer());
    EXPECT_EQ(other->GetSize(), 1000u);
    EXPECT_EQ(b->GetSample(0, 0), 1);
}

TEST(AudioBuffer, CopyToMatchesSpeakersAndConvertsWidths)
{
    Buf src = Filled(16, 1, {16384, -32767});
    Buf dst = TAUAudioBuffer::CreateSize(44100, 24, 2, 2);
    dst->SetValue(77);
    src->CopyTo(0, dst.Get(), 0, 2);
    const int32_t converted = int32_t(int64_t(16384) * 8388607 / 32767);
    EXPECT_EQ(Samples(dst.Get()), (std::vector<int32_t> {converted, 0, 16777216 - 8388607, 0}));

    // Equal widths, with frame offsets; a count beyond either buffer stops at its end.
    Buf a = Filled(8, 2, {1, 2, 3, 4, 5, 6});
    Buf b = Filled(8, 2, {0, 0, 0, 0});
    a->CopyTo(1, b.Get(), 1, 100);
    EXPECT_EQ(Samples(b.Get()), (std::vector<int32_t> {0, 0, 3, 4}));
    a->CopyTo(7, b.Get(), 0, 1);
    EXPECT_EQ(Samples(b.Get()), (std::vector<int32_t> {0, 0, 3, 4}));

    // One channel into one channel whatever the masks: the stream is the same signal.
    Buf left = Filled(16, 1, {5, -6}, {spFrontLeft});
    for (uint32_t bits : {16u, 24u}) {
        Buf right = TAUAudioBuffer::CreateSizeEx(44100, bits, 1, 2, {spFrontRight});
        right->SetValue(77);
        left->CopyTo(0, right.Get(), 0, 2);
        EXPECT_EQ(right->GetChannelMask(), TAUSpeakers {spFrontRight});
        const std::vector<int32_t> expected = bits == 16
            ? std::vector<int32_t> {5, -6}
            : std::vector<int32_t> {5 * 8388607 / 32767, 16777216 - 6 * 8388607 / 32767};
        EXPECT_EQ(Samples(right.Get()), expected) << bits;
    }

    // Not an audio destination: the byte copy.
    IntfPtr<TSGBlockBuffer> bytes(new TSGBlockBuffer(4));
    a->CopyTo(0, bytes.Get(), 0, 4);
    EXPECT_EQ(bytes->GetItem(3), 4);
}

TEST(AudioBuffer, CopyOnWriteKeepsHeaderAndStamps)
{
    Buf a = Filled(24, 2, {1, 2, 3, 4});
    a->GetTimeStamp()->SetBeginTime(10);
    a->GetTimeStamp()->SetEndTime(20);
    Buf b = Holder(a.Get());
    EXPECT_EQ(b->Read(), a->Read());
    EXPECT_EQ(b->GetTimeStamp()->EndTime(), 20);

    b->Modify();
    EXPECT_NE(b->Read(), a->Read());
    EXPECT_EQ(Samples(b.Get()), Samples(a.Get()));
    EXPECT_EQ(b->GetTimeStamp()->BeginTime(), 10);

    Buf d = Holder(a.Get());
    d->SetSample(0, 0, 99);
    EXPECT_EQ(a->GetSample(0, 0), 1) << "a sample write detaches first";
    EXPECT_EQ(d->GetSample(0, 0), 99);

    Buf c = Holder(a.Get());
    c->Write();
    EXPECT_NE(c->DataContainer(), a->DataContainer());
    EXPECT_EQ(c->GetSampleBitWidth(), 24u);
    EXPECT_EQ(c->GetChannelMask(), kStereo);
    EXPECT_EQ(c->GetSize(), 2u);
}

TEST(AudioBuffer, UniversalViewNeedsAnAudioContainer)
{
    Buf a = Filled(16, 2, {1, 2});
    IntfPtr<TSGGenericBuffer> generic = TSGGenericBuffer::CreateUniversal(a.Get());
    Buf back = TAUAudioBuffer::CreateUniversal(generic.Get());
    EXPECT_EQ(back->GetSize(), 1u);
    EXPECT_EQ(back->GetSample(0, 1), 2);
    IntfPtr<IAUAudioBuffer> intf(a.Get());
    EXPECT_EQ(TAUAudioBuffer::CreateCopy(intf.Get())->Read(), a->Read());

    IntfPtr<TSGBlockBuffer> bytes(new TSGBlockBuffer(8));
    EXPECT_THROW(TAUAudioBuffer::CreateUniversal(bytes.Get()), EIntfCastError);
}

TEST(AudioBuffer, ChannelsAsNumbers)
{
    struct Case {
        uint32_t bits;
        int32_t stored;
        int32_t number;
    } table[] = {{8, 100, -27}, {16, -300, -300}, {24, -70000, -70000}, {32, -2000000000, -2000000000}};
    for (const Case& c : table) {
        Buf b = Filled(c.bits, 2, {0, c.stored, 0, 1});
        IntfPtr<ISGIntegerBuffer> ints;
        IntfPtr<ISGRealBuffer> reals;
        b->ChannelToIntegerBuffer(1, ints);
        b->ChannelToRealBuffer(1, reals);
        ASSERT_TRUE(ints && reals) << c.bits;
        ASSERT_EQ(ints->GetSize(), 2u);
        EXPECT_EQ(ints->GetItem(0), c.number) << c.bits;
        EXPECT_EQ(reals->GetItem(0), double(c.number)) << c.bits;
        EXPECT_EQ(reals->GetItem(1), c.bits == 8 ? -126.0 : 1.0) << c.bits;

        IntfPtr<ISGIntegerBuffer> untouched;
        b->ChannelToIntegerBuffer(2, untouched);
        EXPECT_FALSE(untouched) << "no channel 2";
    }
}

}  // namespace
}  // namespace dcs
