// The kit on a real form of the control layer, shown headless: the controls end where
// the fakes say they should, and each resize repaints the form once.
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/tests/Fixture.h"
#include "ui/resize/FormResizerAdapter.h"
#include "ui/resize/tests/ResizeFakes.h"

#include <cstdlib>

namespace dcs {
namespace {

class CountingPresenter : public TPresenter {
public:
    int Presents = 0;
    void Present(TCustomForm*, const TRect&) override { ++Presents; }
    void WindowShown(HWND, bool) override {}
    void WindowMoved(HWND, const TRect&) override {}
    void WindowTextChanged(HWND, const std::string&) override {}
    void WindowDestroyed(HWND) override {}
};

class ResizerOnForms : public testing::HeadlessGui {
protected:
    void SetUp() override
    {
        HeadlessGui::SetUp();
        SetPresenter(&Presenter);
    }
    void TearDown() override
    {
        HeadlessGui::TearDown();
        SetPresenter(nullptr);
    }
    // Set DCS_PNG_DIR to look at the form before and after.
    void Snapshot(TCustomForm* F, const char* Name)
    {
        if (const char* dir = std::getenv("DCS_PNG_DIR"))
            F->Backbuffer().SavePng(std::string(dir) + "/" + Name + ".png");
    }
    CountingPresenter Presenter;
};

struct Placed {
    const char* Name;
    TRect Bounds;
    int Font;
};
const Placed kControls[] = {
    {"Label1", TRect::Bounds(100, 50, 300, 30), 12},
    {"Panel1", TRect::Bounds(500, 200, 400, 250), 10},
    {"Button1", TRect::Bounds(40, 60, 160, 40), 9},  // inside Panel1
};

TEST_F(ResizerOnForms, MaximizedFormScalesItsControlsAsTheFakePredicts)
{
    TForm* form = Create<TForm>(nullptr);
    form->SetName("Form1");
    form->SetColor(clWhite);
    form->SetBounds(0, 0, 1210, 736);
    form->Font()->SetSize(8);
    auto* label = Create<TLabel>(form);
    auto* panel = Create<TPanel>(form);
    auto* button = Create<TButton>(form);
    label->SetAutoSize(false);
    TControl* controls[] = {label, panel, button};
    for (size_t i = 0; i < 3; ++i) {
        TControl* c = controls[i];
        c->SetName(kControls[i].Name);
        c->SetParent(i == 2 ? static_cast<TWinControl*>(panel) : form);
        c->SetBounds(kControls[i].Bounds.Left, kControls[i].Bounds.Top, kControls[i].Bounds.Width(),
                     kControls[i].Bounds.Height());
        c->Font()->SetSize(kControls[i].Font);
    }
    label->SetCaption("Pain Management");
    panel->SetCaption("Panel");
    button->SetCaption("Start");
    auto* kit = Create<TFormResizer>(form);
    kit->SetName("FormResizer1");
    kit->SetDesignLayout(1210, 736, 96, 96);
    kit->Loaded();
    ASSERT_EQ(TFormResizer::FormResizerList().size(), 1u);

    // The same layout on the fakes.
    fake::Rig rig;
    for (const Placed& p : kControls) {
        fake::Comp& c = rig.F->Add(p.Name);
        c.Bounds(p.Bounds.Left, p.Bounds.Top, p.Bounds.Width(), p.Bounds.Height());
        c.Font = p.Font;
    }
    rig.Load();

    form->Show();
    Pump();
    Snapshot(form, "resizer-before");
    int presents = Presenter.Presents;
    ShowWindow(form->Handle(), SW_MAXIMIZE);
    Pump();
    Snapshot(form, "resizer-after");
    EXPECT_EQ(form->ClientWidth(), 1920);
    EXPECT_EQ(form->ClientHeight(), 1040);
    EXPECT_EQ(Presenter.Presents, presents + 1) << "one repaint for the resize";

    rig.Wnd->Size(1920, 1040);
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(kControls[i].Name);
        const fake::Comp& f = rig.F->Get(kControls[i].Name);
        EXPECT_EQ(controls[i]->BoundsRect(), TRect::Bounds(f.L, f.T, f.W, f.H));
        EXPECT_EQ(controls[i]->Font()->Size(), f.Font);
    }
    EXPECT_EQ(label->BoundsRect(), TRect::Bounds(159, 71, 476, 42));
    EXPECT_EQ(form->Font()->Size(), rig.F->Font);

    // The form's own handling still sees the size; the label's text is now drawn at the
    // scaled font, so some of its pixels are no longer the form's white.
    bool inked = false;
    for (int y = 71; y < 113 && !inked; ++y)
        for (int x = 159; x < 400 && !inked; ++x)
            inked = (form->Backbuffer().Pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
    EXPECT_TRUE(inked);
    Free(form);
    EXPECT_EQ(TFormResizer::FormResizerList().size(), 1u) << "only the fakes' kit is left";
}

TEST_F(ResizerOnForms, FreedKitLeavesTheFormsOwnProcedure)
{
    TForm* form = MakeForm(400, 300);
    form->SetName("Form1");
    auto* label = Create<TLabel>(form);
    label->SetParent(form);
    label->SetName("Label1");
    label->SetBounds(100, 50, 40, 20);
    auto* kit = Create<TFormResizer>(form);
    kit->SetName("FormResizer1");
    kit->SetDesignLayout(400, 300, 96, 96);
    kit->Loaded();
    MoveWindow(form->Handle(), 0, 0, 800, 600, true);
    EXPECT_EQ(label->Left(), 200);
    Free(kit);
    MoveWindow(form->Handle(), 0, 0, 400, 300, true);
    EXPECT_EQ(label->Left(), 200);
    EXPECT_EQ(form->ClientWidth(), 400) << "the form itself still follows its window";
}

TEST_F(ResizerOnForms, ReportedVersionFourWorksThroughTheThreadHook)
{
    TPlatformFacts facts;
    facts.OsMajor = 4;
    facts.OsMinor = 10;
    SetPlatformFacts(facts);
    TForm* form = MakeForm(400, 300);
    form->SetName("Form1");
    auto* label = Create<TLabel>(form);
    label->SetParent(form);
    label->SetName("Label1");
    label->SetBounds(100, 50, 40, 20);
    LONG_PTR ownProc = GetWindowLongPtr(form->Handle(), GWLP_WNDPROC);
    auto* kit = Create<TFormResizer>(form);
    kit->SetName("FormResizer1");
    kit->SetDesignLayout(400, 300, 96, 96);
    kit->Loaded();
    EXPECT_EQ(GetWindowLongPtr(form->Handle(), GWLP_WNDPROC), ownProc) << "no subclassing on version 4";
    MoveWindow(form->Handle(), 0, 0, 800, 600, true);
    EXPECT_EQ(label->Left(), 200);
    kit->SetEnabled(false);
    MoveWindow(form->Handle(), 0, 0, 400, 300, true);
    EXPECT_EQ(label->Left(), 200);
    kit->SetEnabled(true);
    MoveWindow(form->Handle(), 0, 0, 600, 450, true);
    EXPECT_EQ(label->Left(), 150);
    Free(kit);
    MoveWindow(form->Handle(), 0, 0, 400, 300, true);
    EXPECT_EQ(label->Left(), 150) << "the hook went with the kit";
}

TEST_F(ResizerOnForms, PlatformFactsMakeTheDesktop)
{
    auto sys = PlatformResizeSystem();
    EXPECT_EQ(sys->TaskbarRect(), (TRect {0, 1040, 1920, 1080}));
    EXPECT_EQ(sys->OsMajor(), 6);
    EXPECT_EQ(sys->OsMinor(), 2);
    EXPECT_FALSE(sys->JapaneseLocale());
    TPlatformFacts f;
    f.WorkArea = {0, 0, 1920, 1080};
    f.LocaleId = 0x0411;
    SetPlatformFacts(f);
    EXPECT_EQ(sys->TaskbarRect(), TRect {});
    EXPECT_TRUE(sys->JapaneseLocale());
    f.WorkArea = {60, 0, 1920, 1080};
    SetPlatformFacts(f);
    EXPECT_EQ(sys->TaskbarRect(), (TRect {0, 0, 60, 1080}));
}

}  // namespace
}  // namespace dcs
