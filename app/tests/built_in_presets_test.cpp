// The built-in pain presets loading the twenty generator pairs.
#include "app/BuiltInPresets.h"
#include "app/MainFormPresets.h"
#include "app/tests/HeadlessApp.h"
#include "app/tests/MainFormFixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace dcs {
namespace {

class BuiltInPresetsTest : public apptest::HeadlessApp {
protected:
    void SetUp() override
    {
        HeadlessApp::SetUp();
        for (int k = 0; k < PresetPairCount; ++k) {
            Owned.emplace_back(Create<TAUSignalGen>(nullptr));
            Pairs.Sg[size_t(k)] = Owned.back().get();
            Owned.emplace_back(Create<TAUSignalGen>(nullptr));
            Pairs.Sgr[size_t(k)] = Owned.back().get();
        }
        Pairs.Name = &Name;
        Pairs.Frequencies = &Frequencies;
    }
    void TearDown() override
    {
        Owned.clear();
        HeadlessApp::TearDown();
    }
    // Both generators of every pair against the expected frequencies (1: off).
    void ExpectPairs(const std::vector<double>& AWant)
    {
        ASSERT_EQ(AWant.size(), size_t(PresetPairCount));
        for (int k = 0; k < PresetPairCount; ++k)
            for (TAUSignalGen* gen : {Pairs.Sg[size_t(k)], Pairs.Sgr[size_t(k)]}) {
                const bool on = AWant[size_t(k)] != 1.0;
                EXPECT_EQ(gen->Enabled(), on) << "pair " << k + 1;
                if (on) {
                    EXPECT_EQ(gen->Frequency(), AWant[size_t(k)]) << "pair " << k + 1;
                }
            }
    }

    std::vector<TOwned<TAUSignalGen>> Owned;
    TPresetPairs Pairs;
    std::string Name;
    TPairFrequencies Frequencies {};
};

TEST_F(BuiltInPresetsTest, AllPainThenHeadAndLowerBodyPain)
{
    ApplyPreset(Pairs, 13);
    EXPECT_EQ(Name, "All Pain");
    ExpectPairs(
        {111, 111.5, 115, 113.5, 112.2, 2128, 728, 73, 666, 1, 80, 3000, 10000, 787, 5000, 95, 360, 1550, 802, 444});

    // Pair 10 comes back on; pairs 14 to 20 go off.
    ApplyPreset(Pairs, 11);
    EXPECT_EQ(Name, "Head and Lower Body Pain");
    const std::vector<double> headAndLowerBody {111,   111.5, 115, 113.5, 112.2, 787, 728, 360, 95, 3000,
                                                10000, 73,    528, 1,     1,     1,   1,   1,   1,  1};
    ExpectPairs(headAndLowerBody);

    // A number past the table re-applies what was applied last.
    Pairs.Sg[0]->SetFrequency(5);
    ApplyPreset(Pairs, 52);
    EXPECT_EQ(Name, "Head and Lower Body Pain");
    ExpectPairs(headAndLowerBody);
}

TEST_F(BuiltInPresetsTest, LowerBodyPainLeavesPairTwoOffWhateverCameBefore)
{
    ApplyPreset(Pairs, 7);
    ApplyPreset(Pairs, 9);
    EXPECT_EQ(Name, "Lower Body Pain");
    ExpectPairs({111, 1, 111.5, 115, 6000, 3000, 666, 1, 95, 728, 528, 802, 1550, 1, 1, 1, 1, 1, 1, 1});
}

TEST(BuiltInPresetTable, NamesAndUnplayedPresets)
{
    EXPECT_STREQ(BuiltInPresets[0].Name, "Dynamic Warmup");
    EXPECT_STREQ(BuiltInPresets[8].Name, "Back And Body Pain");
    EXPECT_STREQ(BuiltInPresets[41].Name, "Dynamic Warm Up");
    EXPECT_STREQ(BuiltInPresets[51].Name, "Muscle Pain and Injury");
    for (int p = 0; p < BuiltInPresetCount; ++p)
        for (double f : BuiltInPresets[size_t(p)].Frequencies)
            EXPECT_TRUE(p >= 7 && p <= 13 ? f == 1.0 || (f >= 4 && f <= 22000) : f == 1.0) << p;
}

}  // namespace
}  // namespace dcs
