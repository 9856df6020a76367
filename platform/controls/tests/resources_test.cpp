#include "Fixture.h"

#include "platform/classes/Resources.h"
#include "platform/classes/TextForm.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"

#include <fstream>
#include <sstream>

namespace dcs {

// Read from tests/forms/TSampleForm.form, embedded by the build.
class TSampleForm : public TForm {
    DCS_CLASS(TSampleForm, TForm)

    explicit TSampleForm(TComponent* AOwner) : TForm(AOwner)
    {
        RegisterMethod("ListDblClick", TNotifyEvent([this](TObject*) { ++DblClicks; }));
    }
    int DblClicks = 0;
};

namespace {

using FormResources = testing::HeadlessGui;

// The same window, made in code.
TForm* BuildInCode()
{
    TForm* f = Create<TForm>(nullptr);
    f->SetName("SampleForm");
    f->SetCaption("Devices");
    f->SetClientWidth(330);
    f->SetClientHeight(252);
    f->SetPosition(poScreenCenter);
    f->Constraints()->MinWidth = 200;
    f->Constraints()->MinHeight = 160;
    f->Font()->SetName("MS Sans Serif");
    f->Font()->SetHeight(-11);
    f->Font()->SetColor(clNavy);
    f->SetColor(clWindow);
    f->Icon()->LoadFromFile(std::string(DCS_IMAGING_FIXTURES) + "/ico_alpha.ico");
    auto* bottom = Create<TPanel>(f);
    bottom->SetName("Panel1");
    bottom->SetParent(f);
    bottom->SetHeight(41);
    bottom->SetAlign(alBottom);
    auto* right = Create<TPanel>(f);
    right->SetName("Panel2");
    right->SetParent(bottom);
    right->SetWidth(185);
    right->SetAlign(alRight);
    right->SetBevelOuter(bvNone);
    auto* ok = Create<TBitBtn>(f);
    ok->SetName("OKButton");
    ok->SetParent(right);
    ok->SetBounds(8, 8, 75, 25);
    ok->SetKind(bkOK);
    auto* list = Create<TListBox>(f);
    list->SetName("ListBox");
    list->SetParent(f);
    list->SetAlign(alClient);
    list->SetItemHeight(13);
    list->SetColor(TColor(0x00F0E0D0));  // no name: stored as a number
    list->Items().Add("None");
    list->Items().Add("Default");
    return f;
}

std::string ReadFile(const std::string& Name)
{
    std::ifstream f(Name, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

std::string PropText(TManagedObject& O, const TPropInfo& P)
{
    switch (P.Kind) {
    case TTypeKind::tkFloat: return FloatToFormText(P.GetFloat(O));
    case TTypeKind::tkString: return P.GetStr(O);
    case TTypeKind::tkClass: return "(object)";
    case TTypeKind::tkComponent: {
        auto* c = static_cast<TComponent*>(P.GetObj(O));
        return c ? c->Name() : "nil";
    }
    case TTypeKind::tkMethod: return P.HasMethod(O) ? "assigned" : "nil";
    default: return std::to_string(P.GetOrd(O));
    }
}

// Every published property of A and B, sub-objects included, as "path: a != b".
void Compare(TManagedObject& A, TManagedObject& B, const std::string& Path, std::vector<std::string>& Diffs)
{
    for (const TPropInfo* p : GetPropList(A)) {
        std::string path = Path + "." + p->Name;
        if (p->Kind == TTypeKind::tkClass) {
            auto* sa = dynamic_cast<TManagedObject*>(p->GetObj(A));
            auto* sb = dynamic_cast<TManagedObject*>(p->GetObj(B));
            if (sa && sb)
                Compare(*sa, *sb, path, Diffs);
            continue;
        }
        if (p->Kind == TTypeKind::tkMethod)
            continue;  // handlers are bound by name on one side only
        std::string a = PropText(A, *p), b = PropText(B, *p);
        if (a != b)
            Diffs.push_back(path + ": " + a + " != " + b);
    }
}

TEST_F(FormResources, AFormReadFromItsResourceEqualsTheSameFormBuiltInCode)
{
    TOwned<TSampleForm> stored(Create<TSampleForm>(nullptr));
    TOwned<TForm> built(BuildInCode());
    ASSERT_EQ(stored->ComponentCount(), built->ComponentCount());
    std::vector<std::string> diffs;
    Compare(*stored, *built, "SampleForm", diffs);
    for (int i = 0; i < built->ComponentCount(); ++i) {
        TComponent* b = built->Components(i);
        TComponent* s = stored->FindComponent(b->Name());
        ASSERT_NE(s, nullptr) << b->Name();
        EXPECT_EQ(s->ClassName(), b->ClassName());
        Compare(*s, *b, b->Name(), diffs);
        if (auto* sc = As<TControl>(s))
            EXPECT_EQ(sc->Parent()->Name(), As<TControl>(b)->Parent()->Name()) << b->Name();
    }
    EXPECT_TRUE(diffs.empty()) << ::testing::PrintToString(diffs);
    EXPECT_FALSE(stored->Icon()->Empty());
    EXPECT_EQ(stored->Icon()->SaveToBytes(), built->Icon()->SaveToBytes());
    auto* list = As<TListBox>(stored->FindComponent("ListBox"));
    EXPECT_EQ(list->Items().Count(), 2);
    ASSERT_TRUE(list->OnDblClick);  // bound by name to the form's handler
    list->OnDblClick(list);
    EXPECT_EQ(stored->DblClicks, 1);
    // The aligned layout came up as well.
    EXPECT_EQ(list->BoundsRect(), TRect::Bounds(0, 0, 330, 211));
}

TEST_F(FormResources, WritingTheFormBackGivesTheSameText)
{
    TOwned<TSampleForm> stored(Create<TSampleForm>(nullptr));
    EXPECT_EQ(ComponentToText(stored.get()), ReadFile(DCS_SAMPLE_FORM));
    // The embedded resource is the binary stream of that text.
    TMemoryStream bin;
    ObjectTextToBinary(ReadFile(DCS_SAMPLE_FORM), bin);
    EXPECT_EQ(ComponentResourceData("TSampleForm"),
              std::string(static_cast<const char*>(bin.Memory()), size_t(bin.Size())));
}

TEST_F(FormResources, ColoursAreStoredByNameWhenTheyHaveOne)
{
    struct {
        TColor Color;
        const char* Text;
    } cases[] = {{clRed, "clRed"},
                 {clBtnFace, "clBtnFace"},
                 {clNone, "clNone"},
                 {clInfoBk, "clInfoBk"},
                 {TColor(0x00F0E0D0), "$00F0E0D0"}};
    for (auto& c : cases) {
        EXPECT_EQ(ColorToString(c.Color), c.Text);
        EXPECT_EQ(StringToColor(c.Text), c.Color) << c.Text;
    }
    EXPECT_EQ(StringToColor("CLRED"), clRed);
    EXPECT_EQ(StringToColor("255"), clRed);
    EXPECT_THROW(StringToColor("clRedish"), EConvertError);

    TOwned<TPanel> p(Create<TPanel>(nullptr));
    ReadComponentFromText("object P: TPanel\n  Color = clyellow\n  Font.Color = 16711680\nend\n", p.get());
    EXPECT_EQ(p->Color(), clYellow);
    EXPECT_EQ(p->Font()->Color(), clBlue);
    EXPECT_NE(ComponentToText(p.get()).find("Font.Color = clBlue"), std::string::npos);
    EXPECT_THROW(ReadComponentFromText("object P: TPanel\n  Color = clNoSuch\nend\n", p.get()), EReadError);
}

}  // namespace
}  // namespace dcs
