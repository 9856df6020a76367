// The SDL2 presenter on a real X server (CI runs it under xvfb-run). Skipped with a
// message where no display can be opened, and under the sanitizers (the X libraries'
// own allocations are not ours to answer for).
#include "platform/controls/SdlPresenter.h"
#include "platform/controls/StdCtrls.h"
#include "platform/win/Application.h"
#include "testing/SdlTestPresenter.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace dcs {
namespace {

TEST(SdlPresenter, AWindowOpensAtItsClientSizeTakesAClickAndShowsTheBackbuffer)
{
    std::string skip;
    std::unique_ptr<TSdlPresenter> presenter = testing::OpenSdlPresenter(skip);
    if (!presenter)
        GTEST_SKIP() << skip;
    TOwned<TApplication> app(Create<TApplication>(nullptr));
    Application = app.get();
    SetPresenter(presenter.get());
    int clicks = 0;
    {
        TOwned<TForm> form(Create<TForm>(nullptr));
        form->SetCaption("Presenter test");
        form->SetBounds(40, 40, 240, 150);
        form->SetColor(clWhite);
        auto* button = Create<TButton>(form.get());
        button->SetCaption("Go");
        button->SetBounds(20, 20, 100, 40);
        button->SetParent(form.get());
        button->OnClick = [&](TObject*) { ++clicks; };
        form->Show();
        app->ProcessMessages();
        SDL_Window* w = presenter->WindowOf(form->Handle());
        ASSERT_NE(w, nullptr);
        int cw = 0, ch = 0;
        SDL_GetWindowSize(w, &cw, &ch);
        EXPECT_EQ(cw, 240);
        EXPECT_EQ(ch, 150);

        // A click through SDL's own event queue.
        for (Uint32 type : {Uint32(SDL_MOUSEBUTTONDOWN), Uint32(SDL_MOUSEBUTTONUP)}) {
            SDL_Event e {};
            e.type = type;
            e.button.windowID = SDL_GetWindowID(w);
            e.button.button = SDL_BUTTON_LEFT;
            e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
            e.button.clicks = 1;
            e.button.x = 60;
            e.button.y = 35;
            ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
        }
        presenter->PumpEvents();
        app->ProcessMessages();
        EXPECT_EQ(clicks, 1);

        std::vector<uint32_t> shown;
        int w2 = 0, h2 = 0;
        ASSERT_TRUE(presenter->ReadPixels(form->Handle(), shown, w2, h2));
        ASSERT_EQ(w2, 240);
        ASSERT_EQ(h2, 150);
        int differ = 0;
        for (int y = 0; y < h2; ++y)
            for (int x = 0; x < w2; ++x)
                differ += (shown[size_t(y) * w2 + x] & 0xFFFFFF) != (form->Backbuffer().Pixel(x, y) & 0xFFFFFF);
        EXPECT_EQ(differ, 0);
        EXPECT_EQ(shown[size_t(5) * w2 + 5] & 0xFFFFFF, 0xFFFFFFu);
    }
    SetPresenter(nullptr);
    presenter.reset();
    Application = nullptr;
}

}  // namespace
}  // namespace dcs
