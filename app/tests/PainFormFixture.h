// The main window and the pain-relief window made headless, the way the program makes
// them, with a data folder of zone pictures of distinct sizes (or none).
#pragma once

#include "app/PainForm.h"
#include "app/tests/MainFormFixture.h"
#include "platform/imaging/ImageCodecs.h"

#include <cstdlib>
#include <fstream>

namespace dcs::apptest {

class PainFormTest : public MainFormTest {
protected:
    void TearDown() override
    {
        Free(Pain);
        Pain = nullptr;
        Form2 = nullptr;
        MainFormTest::TearDown();
        Form1 = nullptr;
        unsetenv("APPDATA");
    }
    // APPDATA points into the test's folder; the pictures are written when asked for.
    void MakeBoth(bool AWithPictures)
    {
        setenv("APPDATA", Dir.c_str(), 1);
        if (AWithPictures)
            WritePictures();
        Make();
        Form1 = Form;
        Form2 = Create<TForm2>(App);
        Pain = Form2;
    }
    // Each picture is a JPEG whose width tells it apart.
    void WritePictures()
    {
        std::filesystem::create_directories(Dir / "Dorvaquent");
        for (const auto& [name, width] : PictureWidths) {
            imaging::TDecodedImage image;
            image.Width = width;
            image.Height = 8;
            image.Pixels.assign(size_t(width) * 8, 0xff808080u);
            std::vector<uint8_t> bytes;
            ASSERT_EQ(imaging::EncodeImage(image, imaging::EncoderClsidJPEG, bytes), imaging::TCodecResult::Ok);
            std::ofstream(Dir / "Dorvaquent" / name, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        }
    }
    void Seconds(int ASeconds)
    {
        for (int i = 0; i < ASeconds; ++i) {
            Clock.Advance(1000);
            App->ProcessMessages();
        }
    }
    static void Click(TControl* AControl) { AControl->OnClick(AControl); }

    static constexpr std::pair<const char*, int> PictureWidths[] = {
        {"HeadOff.jpg", 10}, {"HeadOn.jpg", 11},  {"BodyOff.jpg", 20},
        {"BodyOn.jpg", 21},  {"LegsOff.jpg", 30}, {"LegsOn.jpg", 31},
    };
    TForm2* Pain = nullptr;
};

}  // namespace dcs::apptest
