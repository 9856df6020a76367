// Reading the preset table: whole, short, long, missing and unreadable files.
#include "app/DemoPresets.h"
#include "app/PresetTable.h"
#include "platform/controls/Dialogs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace dcs {
namespace {

namespace fs = std::filesystem;

struct PresetFile : ::testing::Test {
    fs::path Dir = fs::temp_directory_path() / ("dcs-pre-" + std::to_string(::getpid()));
    fs::path File = Dir / "pre.data";
    std::vector<std::string> Boxes;

    void SetUp() override
    {
        fs::create_directories(Dir);
        SetMessageBoxHook([this](HWND, const std::string& Text, const std::string& Caption, UINT Type) {
            Boxes.push_back(Text + "|" + Caption + "|" + std::to_string(Type));
            return IDOK;
        });
    }
    void TearDown() override
    {
        SetMessageBoxHook(nullptr);
        fs::remove_all(Dir);
    }
    // ABytes bytes counting up from 1, so every byte shows where it landed.
    void Write(size_t ABytes)
    {
        std::ofstream out(File, std::ios::binary);
        for (size_t i = 0; i < ABytes; ++i)
            out.put(char(1 + i % 251));
    }
};

TEST_F(PresetFile, BytesLandUnchangedAndTheRestStaysAsItWas)
{
    struct Case {
        size_t Bytes;
        size_t Read;
    };
    for (const Case c : {Case {0, 0}, Case {100, 100}, Case {9984, 9984}, Case {20000, 9984}}) {
        SCOPED_TRACE(c.Bytes);
        Write(c.Bytes);
        TFrequencyTable t;
        std::memset(t.data(), 0, sizeof t);
        LoadPresetTable(File.string(), t);
        EXPECT_EQ(ReadPresetTable(File.string(), t), c.Read);
        const auto* b = reinterpret_cast<const unsigned char*>(t.data());
        size_t wrong = 0;
        for (size_t i = 0; i < PresetTableBytes; ++i)
            wrong += b[i] != (i < c.Read ? 1 + i % 251 : 0);
        EXPECT_EQ(wrong, 0u);
    }
    // 100 bytes: twelve doubles and the low half of the thirteenth.
    Write(100);
    TFrequencyTable t {};
    ReadPresetTable(File.string(), t);
    EXPECT_NE(t[0][12], 0.0);
    uint64_t bits;
    std::memcpy(&bits, &t[0][12], 8);
    EXPECT_EQ(bits >> 32, 0u);
    EXPECT_EQ(t[0][13], 0.0);
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(PresetFile, OnlyAnUnreadableFileIsReported)
{
    TFrequencyTable t {};
    LoadPresetTable(File.string(), t);  // missing: silent
    EXPECT_TRUE(Boxes.empty());
    fs::create_directory(File);
    EXPECT_THROW(ReadPresetTable(File.string(), t), EInOutError);
    LoadPresetTable(File.string(), t);
    EXPECT_EQ(Boxes, std::vector<std::string> {"Cannot Open File!|ERROR|0"});
    for (const auto& record : t)
        for (double v : record)
            EXPECT_EQ(v, 0.0);
}

TEST(PresetToneFrequency, EntriesNotAboveOneGiveTheUnplayableTone)
{
    TFrequencyTable t {};
    const double values[] = {440.0, 1.0000001, 1.0, 0.0, -3.0, 0.5, NAN, 25.0};
    for (int i = 0; i < 8; ++i)
        t[3][size_t(PresetFirstTone + i)] = values[i];
    const double expected[] = {440.0, 1.0000001, 20000, 20000, 20000, 20000, 20000, 25.0};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(PresetToneFrequency(t, 3, i), expected[i]) << i;
    EXPECT_EQ(PresetToneFrequency(t, 3, 18), 20000.0);
}

TEST(DemoPresets, EveryPlayedRecordIsAudibleWithOneSilentEntry)
{
    const TFrequencyTable t = DemoPresetTable();
    for (int p = 0; p < PresetCount; ++p) {
        int silent = 0;
        for (int i = 0; i < PresetTones; ++i) {
            const double f = t[size_t(p)][size_t(PresetFirstTone + i)];
            if (f <= 1.0)
                ++silent;
            else
                EXPECT_TRUE(f >= 20.0 && f <= 5000.0) << p << " " << i << " " << f;
        }
        EXPECT_EQ(silent, DemoRecordPlayed(p) ? 1 : PresetTones) << p;
    }
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(t[0].data())), "SYNTHETIC DEMO PRESETS, NOT REAL DATA!!");
}

}  // namespace
}  // namespace dcs
