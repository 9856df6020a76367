// The program on a real X server (CI runs it under xvfb-run): the main window opens
// through the SDL2 presenter on the Auto page, a screenshot of it is kept in the build
// folder, and closing the window ends the message loop. Skipped without a display and
// under the sanitizers (the X libraries' own allocations are not ours to answer for).
#include "app/MainForm.h"
#include "platform/controls/SdlPresenter.h"
#include "platform/imaging/ImageCodecs.h"
#include "platform/waveout/WaveOut.h"
#include "platform/win/Application.h"
#include "testing/SdlTestPresenter.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace dcs {
namespace {

TEST(Program, StartsOnTheAutoPageThroughSdlAndEndsWhenTheWindowCloses)
{
    std::string skip;
    std::unique_ptr<TSdlPresenter> presenter = testing::OpenSdlPresenter(skip);
    if (!presenter)
        GTEST_SKIP() << skip;
    // In a folder with the demo table, sound written to files instead of a sound card.
    const auto dir = std::filesystem::temp_directory_path() / ("dcs-program-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::filesystem::copy_file(DCS_DEMO_PRE_DATA, dir / "pre.data", std::filesystem::copy_options::overwrite_existing);
    const auto home = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    setenv("DCS_AUDIO_DIR", dir.c_str(), 1);
    ASSERT_TRUE(WaveOutSelectBackend("recorded"));

    TOwned<TApplication> app(Create<TApplication>(nullptr));
    Application = app.get();
    SetPresenter(presenter.get());
    CreateForm(Form1);
    Form1->Show();
    for (int i = 0; i < 5; ++i) {
        app->ProcessMessages();
        presenter->PumpEvents();
    }
    EXPECT_EQ(Form1->Pages.Pager->ActivePage()->Name(), "SXPage");
    std::vector<uint32_t> pixels;
    int w = 0, h = 0;
    ASSERT_TRUE(presenter->ReadPixels(Form1->Handle(), pixels, w, h));
    EXPECT_EQ(w, 1210);
    EXPECT_EQ(h, 736);
    imaging::TDecodedImage shot;
    shot.Width = w;
    shot.Height = h;
    shot.Pixels = pixels;
    std::vector<uint8_t> png;
    const imaging::TEncoderInfo* encoder = nullptr;
    for (const auto& e : imaging::Encoders())
        if (e.FilenameExtension.find("PNG") != std::string::npos)
            encoder = &e;
    ASSERT_NE(encoder, nullptr);
    ASSERT_EQ(imaging::EncodeImage(shot, encoder->Clsid, png), imaging::TCodecResult::Ok);
    std::ofstream(DCS_SCREENSHOT, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), long(png.size()));
    size_t differing = 0;
    for (uint32_t p : pixels)
        differing += p != pixels[0];
    EXPECT_GT(differing, pixels.size() / 100) << "the window shows its tabs and page";

    // The window's close box: the main form closes and the loop ends.
    SDL_Event e {};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = SDL_GetWindowID(presenter->WindowOf(Form1->Handle()));
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_PushEvent(&e);
    presenter->PumpEvents();
    app->Run();
    EXPECT_TRUE(app->Terminated());

    for (int i = Screen()->FormCount() - 1; i >= 0; --i)
        Free(Screen()->Forms(i));
    Form1 = nullptr;
    SetPresenter(nullptr);
    Application = nullptr;
    app.reset();
    presenter.reset();
    std::filesystem::current_path(home);
    unsetenv("DCS_AUDIO_DIR");
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace dcs
