#include "platform/base/Strings.h"
#include "platform/classes/TextForm.h"
#include "platform/classes/tests/Fixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

namespace dcs::testing {
namespace {

// Every kind of value, a forward reference (sg1 -> box1), a nested component with a
// backward reference, a collection, a sub-object and event handlers.
const char* const kForm = R"(object Form1: TRootForm
  Frequency = 500.0
  Caption = 'Main'
  OnClick = FormClick
  object sg1: TLeaf
    Count = 3
    Big = 5000000000
    Enabled = False
    Shape = shTriangle
    Shapes = [shCircle, shTriangle]
    Frequency = 10.4
    Precise = 1.0000000000000000001L
    Caption = 'It''s'#13#10'Größe'
    Font.Name = 'Arial'
    Font.Height = -13
    Channels = <
      item
        Coefficient = 0.5
      end
      item
        Coefficient = 1.0
      end>
    Partner = box1
    OnClick = sg1Click
  end
  object box1: TBox
    Frequency = 500.0
    object inner: TBox
      Count = -70000
      Frequency = -2.5e-10
      Partner = sg1
    end
  end
end
)";

TOwned<TRootForm> NewRoot(std::vector<std::string>* Clicks = nullptr)
{
    TOwned<TRootForm> root(Create<TRootForm>(nullptr));
    for (const char* h : {"FormClick", "sg1Click"})
        root->RegisterMethod<void(TObject*)>(h, [Clicks, h](TObject*) {
            if (Clicks)
                Clicks->push_back(h);
        });
    return root;
}

TEST(Streaming, TextFormReadsIntoTheTreeAndWritesBackIdentically)
{
    Journal().clear();
    std::vector<std::string> clicks;
    auto root = NewRoot(&clicks);
    ReadComponentFromText(kForm, root.get());

    ASSERT_EQ(root->Name(), "Form1");
    auto* sg1 = As<TLeaf>(root->FindComponent("sg1"));
    auto* box1 = As<TBox>(root->FindComponent("box1"));
    auto* inner = As<TBox>(root->FindComponent("inner"));
    ASSERT_TRUE(sg1 && box1 && inner);
    EXPECT_EQ(sg1->FCount, 3);
    EXPECT_EQ(sg1->FBig, 5000000000);
    EXPECT_FALSE(sg1->FEnabled);
    EXPECT_EQ(sg1->FShape, shTriangle);
    EXPECT_EQ(sg1->FShapes, 0b101u);
    EXPECT_EQ(sg1->FFrequency, 10.4);
    EXPECT_EQ(sg1->FPrecise, 1.0L + std::ldexp(1.0L, -63));
    EXPECT_EQ(sg1->FCaption, "It's\r\nGröße");
    EXPECT_EQ(sg1->FFont.FName, "Arial");
    EXPECT_EQ(sg1->FFont.FHeight, -13);
    ASSERT_EQ(sg1->FChannels.Count(), 2);
    EXPECT_EQ(static_cast<TChannelItem*>(sg1->FChannels.Items(0))->FCoefficient, 0.5);
    EXPECT_EQ(inner->FCount, -70000);
    EXPECT_EQ(inner->FParent, box1);
    EXPECT_EQ(box1->FParent, root.get());

    // References both ways are bound, before any Loaded runs.
    EXPECT_EQ(sg1->FPartner, box1);
    EXPECT_EQ(inner->FPartner, sg1);
    EXPECT_TRUE(sg1->FPartnerSeenInLoaded);
    std::vector<std::string> loaded;
    for (const std::string& j : Journal())
        if (j.rfind("Loaded", 0) == 0)
            loaded.push_back(j);
    EXPECT_EQ(loaded, (std::vector<std::string> {"Loaded Form1", "Loaded sg1", "Loaded box1", "Loaded inner"}));
    for (TComponent* c : {static_cast<TComponent*>(root.get()), static_cast<TComponent*>(inner)})
        EXPECT_FALSE(c->ComponentState().ContainsAny(csLoading | csReading));

    sg1->FOnClick(sg1);
    root->FOnClick(root.get());
    EXPECT_EQ(clicks, (std::vector<std::string> {"sg1Click", "FormClick"}));

    EXPECT_EQ(ComponentToText(root.get()), kForm);
}

TEST(Streaming, BinaryRoundTripKeepsEveryBit)
{
    auto root = NewRoot();
    ReadComponentFromText(kForm, root.get());
    auto* sg1 = As<TLeaf>(root->FindComponent("sg1"));
    const long double oddValues[] = {std::nextafter(0.1L, 1.0L), -std::ldexp(1.0L, -16400), 0.1L * 3, 1e4000L};
    for (long double v : oddValues) {
        sg1->FPrecise = v;
        TMemoryStream bin;
        WriteComponentToStream(bin, root.get());
        bin.SetPosition(0);
        auto copy = NewRoot();
        ReadComponentFromStream(bin, copy.get());
        auto* sg1b = As<TLeaf>(copy->FindComponent("sg1"));
        ASSERT_NE(sg1b, nullptr);
        EXPECT_EQ(std::memcmp(&sg1b->FPrecise, &v, 10), 0) << FloatToFormText(v);
        std::string text = ComponentToText(copy.get());
        EXPECT_EQ(text, ComponentToText(root.get()));
        // ... and through the text form too.
        auto viaText = NewRoot();
        ReadComponentFromText(text, viaText.get());
        long double back = As<TLeaf>(viaText->FindComponent("sg1"))->FPrecise;
        EXPECT_EQ(std::memcmp(&back, &v, 10), 0) << text;
    }
}

TEST(Streaming, TextLiteralsReadAsWritten)
{
    struct TCase {
        const char* Prop;
        const char* Literal;
        std::function<void(const TLeaf&)> Check;
    };
    const TCase cases[] = {
        {"Count", "$1F", [](const TLeaf& l) { EXPECT_EQ(l.FCount, 31); }},
        {"Count", "-$10", [](const TLeaf& l) { EXPECT_EQ(l.FCount, -16); }},
        {"Count", "+5", [](const TLeaf& l) { EXPECT_EQ(l.FCount, 5); }},
        {"Count", "-2147483648", [](const TLeaf& l) { EXPECT_EQ(l.FCount, INT32_MIN); }},
        {"Count", "4294967295", [](const TLeaf& l) { EXPECT_EQ(l.FCount, -1); }},  // unsigned 32-bit
        {"Big", "-9223372036854775808", [](const TLeaf& l) { EXPECT_EQ(l.FBig, INT64_MIN); }},
        {"Frequency", "1e3", [](const TLeaf& l) { EXPECT_EQ(l.FFrequency, 1000.0); }},
        {"Frequency", "-0.0", [](const TLeaf& l) { EXPECT_TRUE(std::signbit(l.FFrequency)); }},
        {"Frequency", "7", [](const TLeaf& l) { EXPECT_EQ(l.FFrequency, 7.0); }},
        {"Precise", "0.1", [](const TLeaf& l) { EXPECT_EQ(l.FPrecise, static_cast<long double>(0.1)); }},
        {"Precise", "0.1L", [](const TLeaf& l) { EXPECT_EQ(l.FPrecise, 0.1L); }},
        {"Caption", "'a' + 'b'#$41#66", [](const TLeaf& l) { EXPECT_EQ(l.FCaption, "abAB"); }},
        {"Caption", "#8364", [](const TLeaf& l) { EXPECT_EQ(l.FCaption, "\u20ac"); }},
        {"Enabled", "false", [](const TLeaf& l) { EXPECT_FALSE(l.FEnabled); }},
        {"Shapes", "[]", [](const TLeaf& l) { EXPECT_EQ(l.FShapes, 0u); }},
    };
    for (const TCase& c : cases) {
        std::string text = std::string("object a: TLeaf\n  ") + c.Prop + " = " + c.Literal + "\nend\n";
        TOwned<TComponent> r(ReadComponentFromText(text, nullptr));
        SCOPED_TRACE(text);
        c.Check(static_cast<const TLeaf&>(*r));
    }
    for (const char* bad : {"9223372036854775808", "1e99999", "$", "12abc", "1.5.5"}) {
        std::string text = std::string("object a: TLeaf\n  Big = ") + bad + "\nend\n";
        EXPECT_THROW(TOwned<TComponent>(ReadComponentFromText(text, nullptr)), EReadError) << bad;
    }
}

TEST(Streaming, DefaultsAndZeroFloatsAreOmitted)
{
    auto root = NewRoot();
    root->SetName("Form1");
    auto* leaf = Create<TLeaf>(root.get());
    leaf->SetName("a");
    leaf->FFrequency = 0;  // a zero float is not stored, so reading keeps the constructor's value
    leaf->FFont.FHeight = -11;
    EXPECT_EQ(ComponentToText(root.get()),
              "object Form1: TRootForm\n  Frequency = 500.0\n"
              "  object a: TLeaf\n  end\nend\n");
    auto copy = NewRoot();
    ReadComponentFromText(ComponentToText(root.get()), copy.get());
    EXPECT_EQ(As<TLeaf>(copy->FindComponent("a"))->FFrequency, 500.0);
}

// Names in the stream are length-prefixed; lengths above the highest value code must not
// be mistaken for one when the reader looks for the end of a list.
class TComponentWithALongClassName : public TComponent {
    DCS_CLASS(TComponentWithALongClassName, TComponent)
    using TComponent::TComponent;
    int32_t FValue = 0;
    static void DeclareProperties(TClassBuilder<TComponentWithALongClassName>& P)
    {
        P.Integer("APropertyWithAVeryLongName", &TComponentWithALongClassName::FValue,
                  &TComponentWithALongClassName::FValue)
            .Default(0);
    }
};

TEST(Streaming, LongClassPropertyAndComponentNamesRoundTrip)
{
    const char* const form = "object Form1: TRootForm\n"
                             "  Frequency = 500.0\n"
                             "  object aComponentWithAVeryLongName: TComponentWithALongClassName\n"
                             "    APropertyWithAVeryLongName = 42\n"
                             "  end\n"
                             "end\n";
    auto root = NewRoot();
    ReadComponentFromText(form, root.get());
    auto* c = As<TComponentWithALongClassName>(root->FindComponent("aComponentWithAVeryLongName"));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->FValue, 42);
    EXPECT_EQ(ComponentToText(root.get()), form);
}

// Stores its zero-valued floats itself, as a list of (name value) lists, and a blob.
class TFloaty : public TComponent {
    DCS_CLASS(TFloaty, TComponent)
    using TComponent::TComponent;
    double FAsymmetry = 0, FPhase = 0, FAmplitude = 1;
    std::vector<uint8_t> FBlob;

    void DefineProperties(TFiler& Filer) override
    {
        TComponent::DefineProperties(Filer);
        Filer.DefineProperty(
            "_Floats",
            [this](TReader& R) {
                R.ReadListBegin();
                while (R.NextValue() == vaList) {
                    R.ReadListBegin();
                    std::string name = R.ReadIdent();
                    long double v = R.ReadFloat();
                    if (GetPropInfo(*this, name))
                        SetFloatProp(*this, name, v);
                    R.ReadListEnd();
                }
                R.ReadListEnd();
            },
            [this](TWriter& W) {
                W.WriteListBegin();
                for (const char* n : {"Amplitude", "Asymmetry", "Phase"})
                    if (GetFloatProp(*this, n) == 0) {
                        W.WriteListBegin();
                        W.WriteIdent(n);
                        W.WriteFloat(0);
                        W.WriteListEnd();
                    }
                W.WriteListEnd();
            },
            FAsymmetry == 0 || FPhase == 0 || FAmplitude == 0);
        Filer.DefineBinaryProperty(
            "Blob",
            [this](TStream& S) {
                FBlob.resize(S.Size());
                S.ReadBuffer(FBlob.data(), S.Size());
            },
            [this](TStream& S) { S.WriteBuffer(FBlob.data(), FBlob.size()); }, !FBlob.empty());
    }
    static void DeclareProperties(TClassBuilder<TFloaty>& P)
    {
        P.Float("Amplitude", "Double", &TFloaty::FAmplitude, &TFloaty::FAmplitude);
        P.Float("Asymmetry", "Double", &TFloaty::FAsymmetry, &TFloaty::FAsymmetry);
        P.Float("Phase", "Double", &TFloaty::FPhase, &TFloaty::FPhase);
    }
};

TEST(Streaming, DefinedPropertiesStoreExactBytes)
{
    TOwned<TFloaty> f(Create<TFloaty>(nullptr));
    f->SetName("sg1");
    TMemoryStream bin;
    WriteComponentToStream(bin, f.get());
    std::string bytes(static_cast<const char*>(bin.Memory()), bin.Size());
    std::string zero10(10, '\0');
    std::string want = std::string("\x07_Floats") +
        "\x01\x01\x07\x09"
        "Asymmetry"
        "\x05" +
        zero10 + '\0' +
        "\x01\x07\x05"
        "Phase"
        "\x05" +
        zero10 + '\0' + '\0';
    EXPECT_NE(bytes.find(want), std::string::npos);

    bin.SetPosition(0);
    EXPECT_EQ(ObjectBinaryToText(bin),
              "object sg1: TFloaty\n  Amplitude = 1.0\n"
              "  _Floats = ((Asymmetry 0.0) (Phase 0.0))\nend\n");

    // Reading sets zero back over non-zero constructor values; unknown names are skipped.
    const char* text = "object sg1: TFloaty\n  Asymmetry = 0.25\n"
                       "  _Floats = ((Amplitude 0.0) (Missing 0.0))\n"
                       "  Blob = {00FF7E}\nend\n";
    TOwned<TFloaty> g(Create<TFloaty>(nullptr));
    ReadComponentFromText(text, g.get());
    EXPECT_EQ(g->FAmplitude, 0.0);
    EXPECT_EQ(g->FAsymmetry, 0.25);
    EXPECT_EQ(g->FBlob, (std::vector<uint8_t> {0x00, 0xFF, 0x7E}));
    EXPECT_EQ(ComponentToText(g.get()),
              "object sg1: TFloaty\n  Asymmetry = 0.25\n"
              "  _Floats = ((Amplitude 0.0) (Phase 0.0))\n  Blob = {00FF7E}\nend\n");
}

TEST(Streaming, ReferencesAcrossRootsAndNil)
{
    auto other = NewRoot();
    other->SetName("Form2");
    auto* target = Create<TLeaf>(other.get());
    target->SetName("btn");
    SetFindGlobalComponent(
        [&](std::string_view n) -> TComponent* { return SameText(n, "Form2") ? other.get() : nullptr; });
    auto root = NewRoot();
    ReadComponentFromText("object Form1: TRootForm\n  object a: TLeaf\n    Partner = Form2.btn\n  end\n"
                          "  object b: TLeaf\n    Partner = Form3.gone\n  end\nend\n",
                          root.get());
    SetFindGlobalComponent(nullptr);
    EXPECT_EQ(As<TLeaf>(root->FindComponent("a"))->FPartner, target);
    EXPECT_EQ(As<TLeaf>(root->FindComponent("b"))->FPartner, nullptr);  // a window never created
    EXPECT_NE(ComponentToText(root.get()).find("Partner = Form2.btn"), std::string::npos);
    Free(target);  // free notification across roots
    EXPECT_EQ(As<TLeaf>(root->FindComponent("a"))->FPartner, nullptr);
}

std::string FormBytes(const char* Text)
{
    TMemoryStream bin;
    ObjectTextToBinary(Text, bin);
    return std::string(static_cast<const char*>(bin.Memory()), bin.Size());
}

void ReadBytes(const std::string& Bytes, TComponent* Root)
{
    TMemoryStream bin;
    bin.WriteBuffer(Bytes.data(), Bytes.size());
    bin.SetPosition(0);
    TComponent* r = ReadComponentFromStream(bin, Root);
    if (!Root)
        Free(r);
}

TEST(Streaming, MalformedInputRaisesUsefulErrors)
{
    struct TCase {
        const char* Text;
        const char* Message;
    };
    const TCase cases[] = {
        {"object a: TLeaf\n  Count = 'x'\nend",
         "Error reading a.Count: Invalid property value: expected integer, found string"},
        {"object a: TLeaf\n  Colour = 1\nend", "Error reading a.Colour: Property Colour does not exist in TLeaf"},
        {"object a: TLeaf\n  Shape = shOval\nend",
         "Error reading a.Shape: Invalid property value: shOval is not a value of TShape"},
        {"object a: TLeaf\n  Shapes = [shOval]\nend",
         "Error reading a.Shapes: Invalid property value: shOval is not an element of TShape"},
        {"object a: TLeaf\n  Font.Size = 3\nend",
         "Error reading a.Font.Size: Property Size does not exist in TFontLike"},
        {"object a: TLeaf\n  Channels = <\n    item\n      Gain = 1\n    end>\nend",
         "Error reading a.Channels: Property Gain does not exist in TChannelItem"},
        {"object a: TLeaf\n  Count = 9999999999\nend",
         "Error reading a.Count: Invalid property value: 9999999999 is out of the 32-bit range"},
        {"object a: TLeaf\n  OnClick = nothere\nend",
         "Error reading a.OnClick: Handler nothere for a.OnClick not found in a"},
        {"object a: TLeaf\n  object x: TNoSuch\n  end\nend", "Class TNoSuch not found (reading x)"},
        {"object a: TRootForm\n  object x: TLeaf\n  end\n  object X: TLeaf\n  end\nend",
         "Error reading X: A component named X already exists"},
        {"object a: TLeaf\n  Count 3\nend", "Line 2: expected '=' but found '3'"},
        {"object a: TLeaf\n  Caption = 'abc\nend", "Line 2: unterminated string"},
        {"object a: TLeaf\n  Count = 3\n", "Line 3: expected 'end' but found end of text"},
        {"object a: TLeaf\nend\nend", "Line 3: unexpected text after the end of the object: 'end'"},
        {"object a: TLeaf\n  Data = {0F0}\nend", "Line 2: binary data has an odd number of hex digits"},
        // A literal beyond the property's type would be stored as an infinity.
        {"object a: TLeaf\n  Frequency = 1e4000\nend", "Line 2: Float '1e4000' is out of range"},
        {"object a: TLeaf\n  Frequency = 1e4000L\nend",
         "Error reading a.Frequency: Invalid property value: 1E4000 is out of the range of Double"},
        {"object a: TLeaf\n  Frequency = -1.8e308L\nend",
         "Error reading a.Frequency: Invalid property value: -1.8E308 is out of the range of Double"},
    };
    for (const TCase& c : cases) {
        try {
            TOwned<TComponent> r(ReadComponentFromText(c.Text, nullptr));
            ADD_FAILURE() << "no error for: " << c.Text;
        } catch (const EStreamError& e) {
            EXPECT_EQ(e.Message(), c.Message) << c.Text;
        }
    }

    std::string good = FormBytes("object a: TLeaf\n  Count = 3\nend");
    std::string badCode = good;
    badCode[good.find("Count") + 5] = '\xEE';
    std::string badSig = "XXXX" + good.substr(4);
    for (auto [bytes, msg] : {std::pair {badCode, "Error reading a.Count: Invalid value code 238 at offset"},
                              std::pair {badSig, "Invalid stream format: no component stream signature"}}) {
        try {
            ReadBytes(bytes, nullptr);
            ADD_FAILURE() << msg;
        } catch (const EStreamError& e) {
            EXPECT_EQ(e.Message().rfind(msg, 0), 0u) << e.Message();
        }
    }
}

// Streams no writer of the framework makes, but a damaged or hostile file holds: names
// the text form cannot carry, and floats it has no notation for. Nothing reads them, so
// whatever is read can always be written again.
TEST(Streaming, StreamsTheTextFormCannotCarryAreRefused)
{
    auto stream = [](std::string_view Class, std::string_view Name, std::string_view Prop,
                     const std::function<void(TWriter&)>& Value) {
        TMemoryStream bin;
        TWriter w(bin);
        w.WriteSignature();
        w.WriteStr(Class);
        w.WriteStr(Name);
        w.WriteStr(Prop);
        Value(w);
        w.WriteListEnd();
        w.WriteListEnd();
        return std::string(static_cast<const char*>(bin.Memory()), bin.Size());
    };
    auto ident = [](std::string_view Id) {
        return [Id](TWriter& W) {
            W.WriteValue(vaIdent);
            W.WriteStr(Id);
        };
    };
    auto number = [](long double V) { return [V](TWriter& W) { W.WriteFloat(V); }; };
    auto set = [](std::string_view E) {
        return [E](TWriter& W) {
            W.WriteValue(vaSet);
            W.WriteStr(E);
            W.WriteStr("");
        };
    };
    const auto plain = ident("shOval");
    struct TCase {
        std::string Bytes;
        const char* Message;
    };
    const TCase cases[] = {
        {stream("TLeaf", "a b", "Count", plain), "Invalid component name 'a b'"},
        {stream("TLeaf", "1a", "Count", plain), "Invalid component name '1a'"},
        {stream("TLe\naf", "a", "Count", plain), "Invalid class name 'TLe'#10'af'"},
        {stream("TLeaf", "a", "Co#unt", plain), "Invalid property name 'Co#unt'"},
        {stream("TLeaf", "a", "end", plain), "Invalid property name 'end'"},
        {stream("TLeaf", "a", "Font..Size", plain), "Invalid property name 'Font..Size'"},
        {stream("TLeaf", "a", "Shape", ident("sh Oval")), "Invalid identifier 'sh Oval'"},
        {stream("TLeaf", "a", "Shape", ident("nil")), "Invalid identifier 'nil'"},
        {stream("TLeaf", "a", "Shapes", set("9x")), "Invalid set element '9x'"},
        {stream("TLeaf", "a", "Frequency", number(std::numeric_limits<long double>::quiet_NaN())),
         "Invalid property value: a float that is infinite or not a number"},
        {stream("TLeaf", "a", "Frequency", number(-std::numeric_limits<long double>::infinity())),
         "Invalid property value: a float that is infinite or not a number"},
    };
    for (const TCase& c : cases) {
        TMemoryStream bin;
        bin.WriteBuffer(c.Bytes.data(), c.Bytes.size());
        bin.SetPosition(0);
        try {
            std::string text = ObjectBinaryToText(bin);
            ADD_FAILURE() << "converted to: " << text;
        } catch (const EReadError& e) {
            EXPECT_NE(e.Message().find(c.Message), std::string::npos) << e.Message();
        }
    }
    // Read as components, the floats are refused too (the names fail on their own).
    for (const TCase& c : {cases[9], cases[10]}) {
        try {
            ReadBytes(c.Bytes, nullptr);
            ADD_FAILURE() << c.Message;
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), std::string("Error reading a.Frequency: ") + c.Message);
        }
    }
}

// Cut and corrupt a full form at every byte: each attempt either reads or raises a
// stream error, and nothing leaks (the sanitizer build checks).
TEST(Streaming, TruncatedOrCorruptStreamsNeverCrash)
{
    std::string full = FormBytes(kForm);
    for (size_t n = 0; n < full.size(); ++n) {
        auto root = NewRoot();
        EXPECT_THROW(ReadBytes(full.substr(0, n), root.get()), EStreamError) << n;
        EXPECT_FALSE(root->ComponentState().ContainsAny(csLoading | csReading));
        EXPECT_THROW(ReadBytes(full.substr(0, n), nullptr), EStreamError) << n;
    }
    int raised = 0;
    for (size_t i = 0; i < full.size(); ++i)
        for (int delta : {1, 0x80}) {
            std::string bad = full;
            bad[i] = static_cast<char>(bad[i] + delta);
            auto root = NewRoot();
            try {
                ReadBytes(bad, root.get());
            } catch (const Exception&) {
                ++raised;
            }
        }
    EXPECT_GT(raised, 0);
}

// Frees the components it parents when it goes, as a window frees its controls.
class TOwningBox : public TBox {
    DCS_CLASS(TOwningBox, TBox)
    using TBox::TBox;
    ~TOwningBox() override
    {
        while (!FChildren.empty()) {
            TComponent* c = FChildren.back();
            FChildren.pop_back();
            Free(c);
        }
    }
};

TEST(Streaming, AFailedContainerTakingItsChildrenLeavesNothingDangling)
{
    auto root = NewRoot();
    EXPECT_THROW(ReadComponentFromText("object Form1: TRootForm\n  object box: TOwningBox\n"
                                       "    object ok: TBox\n    end\n    object bad: TNoSuch\n    end\n"
                                       "  end\nend\n",
                                       root.get()),
                 EClassNotFound);
    EXPECT_EQ(root->ComponentCount(), 0);
    EXPECT_FALSE(root->ComponentState().ContainsAny(csLoading | csReading));
}

TEST(Streaming, LongStringsWrapWithoutSplittingCharacters)
{
    auto root = NewRoot();
    root->SetName("Form1");
    std::string caption;
    for (int i = 0; i < 60; ++i)
        caption += "ö'x";
    root->FCaption = caption;
    std::string text = ComponentToText(root.get());
    EXPECT_NE(text.find("' +\n    '"), std::string::npos) << text;
    auto copy = NewRoot();
    ReadComponentFromText(text, copy.get());
    EXPECT_EQ(copy->FCaption, caption);
}

TEST(Streaming, DamagedTextAndDeepNestingRaiseStreamErrors)
{
    // Any single character removed: the text either still reads or raises a stream
    // error; nothing else escapes and nothing leaks.
    const std::string text = kForm;
    for (size_t i = 0; i < text.size(); ++i) {
        std::string bad = text;
        bad.erase(i, 1);
        auto root = NewRoot();
        try {
            ReadComponentFromText(bad, root.get());
        } catch (const EStreamError&) {
        }
    }

    std::string deepText = "object a: TLeaf\n  Count = " + std::string(100000, '(') + "\nend\n";
    EXPECT_THROW(ReadComponentFromText(deepText, nullptr), EReadError);
    std::string deepObjects;
    for (int i = 0; i < 5000; ++i)
        deepObjects += "object b" + std::to_string(i) + ": TBox\n";
    EXPECT_THROW(ReadComponentFromText(deepObjects, nullptr), EReadError);

    std::string bytes = FormBytes("object a: TLeaf\n  Count = 1\nend");
    size_t at = bytes.find("Count") + 5;
    std::string deepBinary = bytes.substr(0, at) + std::string(100000, char(vaList));
    TMemoryStream bin;
    bin.WriteBuffer(deepBinary.data(), deepBinary.size());
    bin.SetPosition(0);
    EXPECT_THROW(ObjectBinaryToText(bin), EReadError);
}

}  // namespace
}  // namespace dcs::testing

#include "platform/classes/Resources.h"

namespace dcs::testing {
namespace {

class TMainWindow : public TRootForm {
    DCS_CLASS(TMainWindow, TRootForm)
    explicit TMainWindow(TComponent* AOwner) : TRootForm(AOwner)
    {
        RegisterMethod<void(TObject*)>("sg1Click", [](TObject*) {});
        RegisterMethod<void(TObject*)>("FormClick", [](TObject*) {});
    }
    void AfterConstruction() override
    {
        TRootForm::AfterConstruction();
        FFromResource = InitComponentFromResource(this);
    }
    bool FFromResource = false;
};

TEST(Streaming, WindowsReadTheirTreeByClassName)
{
    std::string text = kForm;
    text.replace(text.find("TRootForm"), 9, "TMainWindow");
    RegisterComponentResource("TMainWindow", text);
    EXPECT_TRUE(HasComponentResource("tmainwindow"));
    TOwned<TMainWindow> w(Create<TMainWindow>(nullptr));
    EXPECT_TRUE(w->FFromResource);
    EXPECT_EQ(ComponentToText(w.get()), text);

    // A class without a tree of its own has none to read; a tree of another class is
    // refused.
    TOwned<TFloaty> plain(Create<TFloaty>(nullptr));
    EXPECT_FALSE(InitComponentFromResource(plain.get()));
    try {
        ReadComponentFromText(text, plain.get());
        ADD_FAILURE();
    } catch (const EReadError& e) {
        EXPECT_STREQ(e.what(), "The stored object is a TMainWindow, which TFloaty is not");
    }
}

}  // namespace
}  // namespace dcs::testing
