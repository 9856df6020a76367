// The kit's properties, their checks and messages, the name lists, and the naming of
// controls registered after load.
#include "platform/classes/Streaming.h"
#include "ui/resize/tests/ResizeFakes.h"

#include <gtest/gtest.h>

#include <functional>

namespace dcs {
namespace {

using Setter = void (TFormResizer::*)(int);

struct SizeCase {
    const char* Setup;  // properties set first, in this order
    std::vector<std::pair<Setter, int>> Before;
    Setter Set;
    int Value;
    const char* English;  // nullptr: accepted
    const char* Japanese;
};

const std::vector<SizeCase> kSizeCases = {
    {"width -1",
     {},
     &TFormResizer::SetFormWidth,
     -1,
     "Set this value equal to or greater than 0",
     "0 以上の値を入れてください"},
    {"max height -5",
     {},
     &TFormResizer::SetFormMaxHeight,
     -5,
     "Set this value equal to or greater than 0",
     "0 以上の値を入れてください"},
    {"width 0 under a minimum",
     {{&TFormResizer::SetFormMinWidth, 800}},
     &TFormResizer::SetFormWidth,
     0,
     nullptr,
     nullptr},
    {"min width 800, width 700",
     {{&TFormResizer::SetFormMinWidth, 800}},
     &TFormResizer::SetFormWidth,
     700,
     "Set this value equal to or greater than the FormMinWidth",
     "FormMinWidth 以上の値を入れてください"},
    {"min height 600, height 500",
     {{&TFormResizer::SetFormMinHeight, 600}},
     &TFormResizer::SetFormHeight,
     500,
     "Set this value equal to or greater than the FormMinHeight",
     "FormMinHeight 以上の値を入れてください"},
    {"max width 1000, width 1200",
     {{&TFormResizer::SetFormMaxWidth, 1000}},
     &TFormResizer::SetFormWidth,
     1200,
     "Set this value equal to or less than the FormMaxWidth",
     "FormMaxWidth 以下の値を入れてください"},
    {"max height 700, min height 800",
     {{&TFormResizer::SetFormMaxHeight, 700}},
     &TFormResizer::SetFormMinHeight,
     800,
     "Set this value equal to or less than the FormMaxHeight",
     "FormMaxHeight 以下の値を入れてください"},
    {"width 900, max width 850",
     {{&TFormResizer::SetFormWidth, 900}},
     &TFormResizer::SetFormMaxWidth,
     850,
     "Set this value equal to or greater than the FormWidth",
     "FormWidth 以上の値を入れてください"},
    {"height 700, max height 650",
     {{&TFormResizer::SetFormHeight, 700}},
     &TFormResizer::SetFormMaxHeight,
     650,
     "Set this value equal to or greater than the FormHeight",
     "FormHeight 以上の値を入れてください"},
    {"width 900, min width 950",
     {{&TFormResizer::SetFormWidth, 900}},
     &TFormResizer::SetFormMinWidth,
     950,
     "Set this value equal to or less than the FormWidth",
     "FormWidth 以下の値を入れてください"},
    {"height 700, min height 750",
     {{&TFormResizer::SetFormHeight, 700}},
     &TFormResizer::SetFormMinHeight,
     750,
     "Set this value equal to or less than the FormHeight",
     "FormHeight 以下の値を入れてください"},
    // The minimum is checked before the maximum, and an unset maximum is no limit.
    {"min 800 max 1000, max width 700",
     {{&TFormResizer::SetFormWidth, 900}, {&TFormResizer::SetFormMinWidth, 800}},
     &TFormResizer::SetFormMaxWidth,
     700,
     "Set this value equal to or greater than the FormMinWidth",
     "FormMinWidth 以上の値を入れてください"},
    {"no maximum, width 5000", {}, &TFormResizer::SetFormWidth, 5000, nullptr, nullptr},
};

TEST(FormResizerProperties, SizeWritersCheckInOrderAndSpeakTheUsersLanguage)
{
    for (bool ja : {false, true}) {
        for (const SizeCase& c : kSizeCases) {
            SCOPED_TRACE(std::string(c.Setup) + (ja ? " (ja)" : ""));
            fake::Rig rig;
            rig.Sys->Ja = ja;
            TFormResizer& kit = rig.Make();
            for (auto [set, v] : c.Before)
                (kit.*set)(v);
            auto read = [&] {
                return std::vector<int> {kit.FormWidth(),     kit.FormHeight(),   kit.FormMaxWidth(),
                                         kit.FormMaxHeight(), kit.FormMinWidth(), kit.FormMinHeight()};
            };
            std::vector<int> before = read();
            if (!c.English) {
                EXPECT_NO_THROW((kit.*c.Set)(c.Value));
                continue;
            }
            try {
                (kit.*c.Set)(c.Value);
                ADD_FAILURE() << "accepted";
            } catch (const EInvalidOperation& e) {
                EXPECT_STREQ(e.what(), ja ? c.Japanese : c.English);
            }
            EXPECT_EQ(read(), before) << "a refused value is not stored";
        }
    }
}

TEST(FormResizerProperties, DefaultsAfterCreate)
{
    fake::Rig rig;
    TFormResizer& kit = rig.Make();
    EXPECT_EQ(kit.FormPos(), rpDefault);
    EXPECT_TRUE(kit.ResizeFont());
    EXPECT_TRUE(kit.Enabled());
    EXPECT_TRUE(kit.ValidTaskbar());
    EXPECT_EQ(kit.PrevScaleX(), 1.0);
    EXPECT_EQ(kit.DesignFrmW(), 0);
    EXPECT_TRUE(kit.NoResizeCtls().empty());
}

TEST(FormResizerProperties, NameListsSplitAtSemicolons)
{
    struct Case {
        const char* Text;
        std::vector<std::string> Names;
    };
    const Case cases[] = {
        {"a;;b", {"a", "", "b"}}, {"a;", {"a"}}, {";", {""}}, {"", {}}, {" a ;b", {" a ", "b"}},
    };
    fake::Rig rig;
    TFormResizer& kit = rig.Make();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        kit.SetNoResizeCtl(c.Text);
        kit.SetNoResizeFntCtl(c.Text);
        EXPECT_EQ(kit.NoResizeCtls(), c.Names);
        EXPECT_EQ(kit.NoResizeFntCtls(), c.Names);
    }
}

TEST(FormResizerProperties, DesignLayoutIsStreamedAsDefinedProperties)
{
    fake::Rig rig;
    rig.F->ClientW = 1017;
    rig.F->ClientH = 602;
    rig.Sys->Dpi = 120;
    TFormResizer& kit = rig.Make();
    kit.SetFormPos(rpMiddleCenter);
    TMemoryStream s;
    {
        TWriter w(s);
        w.WriteRootComponent(&kit);
    }
    s.SetPosition(0);
    fake::Rig other;
    TFormResizer& copy = other.Make();
    TReader r(s);
    r.ReadRootComponent(&copy);
    EXPECT_EQ(copy.DesignFrmW(), 1017);
    EXPECT_EQ(copy.DesignFrmH(), 602);
    EXPECT_EQ(copy.DesignDpiW(), 120);
    EXPECT_EQ(copy.DesignDpiH(), 120);
    EXPECT_EQ(copy.FormPos(), rpMiddleCenter);
}

TEST(FormResizerRegistration, UnnamedControlsAddedAfterLoadGetKitNames)
{
    fake::Rig rig;
    rig.F->Add("Panel1").Bounds(10, 10, 100, 50);
    TFormResizer& kit = rig.Load();
    rig.Wnd->Size(1815, 1104);  // scales 1.5
    for (int i = 0; i < 3; ++i) {
        fake::Comp& c = rig.F->Add("");
        c.Bounds(30, 60, 90, 15);
        c.Txt = "RKitAdd9";  // a caption left over from an earlier generated name
    }
    kit.DynamicAdd();
    ASSERT_EQ(kit.Ctrls().size(), 4u);
    EXPECT_EQ(kit.Ctrls()[3].Name, "RKitAdd0003");
    EXPECT_EQ(rig.F->Items.back()->N, "RKitAdd0003");
    EXPECT_EQ(rig.F->Items.back()->Txt, "");
    // The reference geometry divides the last scale back out.
    const TCtrlInfo& r = kit.Ctrls()[3];
    EXPECT_EQ((std::vector<int> {r.Left, r.Top, r.Width, r.Height}), (std::vector<int> {20, 40, 60, 10}));
    EXPECT_EQ((std::vector<int> {r.OldLeft, r.OldTop, r.OldWidth, r.OldHeight}), (std::vector<int> {30, 60, 90, 15}));
}

TEST(FormResizerRegistration, RefreshActsOnlyWhenBothCountsChange)
{
    fake::Rig rig;
    fake::Comp& frame = rig.F->Add("Frame1");
    frame.Frame = true;
    frame.Bounds(0, 0, 200, 100);
    frame.Add("Inner").Bounds(10, 10, 20, 20);
    TFormResizer& kit = rig.Load();
    ASSERT_EQ(kit.Ctrls().size(), 1u);
    ASSERT_EQ(kit.ChildCtrls().size(), 1u);

    // One more control on the form but no more frame children: not registered.
    rig.F->Add("Late").Bounds(100, 100, 10, 10);
    rig.Wnd->Size(1210, 736);
    EXPECT_EQ(kit.Ctrls().size(), 1u);
    EXPECT_EQ(rig.F->Get("Late").L, 100);

    // A second frame with a child: both counts change, both are registered.
    fake::Comp& f2 = rig.F->Add("Frame2");
    f2.Frame = true;
    f2.Add("Inner2");
    rig.Wnd->Size(1210, 736);
    EXPECT_EQ(kit.Ctrls().size(), 3u);
    EXPECT_EQ(kit.ChildCtrls().size(), 2u);

    // Both frames gone: their records and their children's go too.
    std::erase_if(rig.F->Items, [](auto& c) { return c->Frame; });
    rig.Wnd->Size(1210, 736);
    ASSERT_EQ(kit.Ctrls().size(), 1u);
    EXPECT_EQ(kit.Ctrls()[0].Name, "Late");
    EXPECT_TRUE(kit.ChildCtrls().empty());
}

}  // namespace
}  // namespace dcs
