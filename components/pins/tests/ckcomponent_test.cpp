#include "components/pins/CKComponent.h"
#include "components/pins/CKTimer.h"
#include "platform/base/Format.h"
#include "platform/classes/Streaming.h"
#include "platform/classes/TextForm.h"
#include "testing/ScriptThread.h"
#include "testing/TestWindow.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace dcs {
namespace {

// A published sub-object of the test generator.
class TToneFormat : public TCKPersistentNotify {
    DCS_CLASS(TToneFormat, TCKPersistentNotify)
    using TCKPersistentNotify::TCKPersistentNotify;

    double FGain = 1.0;
    std::uint16_t FChannels = 2;
    int Changes = 0;

    void SetGain(double V) { FLock->Setter(FGain, V); }
    void SetChannels(std::uint16_t V) { FLock->SetterMinMax(FChannels, V, 1, 32); }
    void PropertyChanged() override
    {
        ++Changes;
        TCKPersistentNotify::PropertyChanged();
    }
    static void DeclareProperties(TClassBuilder<TToneFormat>& P)
    {
        P.Float("Gain", "Double", &TToneFormat::FGain, &TToneFormat::SetGain);
        P.Integer("Channels", &TToneFormat::FChannels, &TToneFormat::SetChannels, "Word").Default(2);
    }
};

class TToneGen : public TCKComponent {
    DCS_CLASS(TToneGen, TCKComponent)

    explicit TToneGen(TComponent* AOwner) : TCKComponent(AOwner), FFormat(this, *FLock) {}

    double FAsymmetry = 0.0;
    double FFrequency = 440.0;
    double FPhase = 0.25;  // a non-zero default that "_Floats" must be able to undo
    TDateTime FStarted = 0.0;
    std::int32_t FAmplitude = 100;
    TToneFormat FFormat;
    TNotifyEvent FOnTick;
    int Ready = 0;
    int Changes = 0;
    bool ReadyHadLoadedFloats = false;

    void SetAsymmetry(double V) { FLock->Setter(FAsymmetry, V); }
    void SetFrequency(double V) { FLock->SetterMin(FFrequency, V, 0.0); }
    void SetPhase(double V) { FLock->Setter(FPhase, V); }
    void SetAmplitude(std::int32_t V) { FLock->SetterMinMax(FAmplitude, V, 0, 32767); }
    TToneFormat* GetFormat() const { return const_cast<TToneFormat*>(&FFormat); }

    static void DeclareProperties(TClassBuilder<TToneGen>& P)
    {
        P.Float("Frequency", "Double", &TToneGen::FFrequency, &TToneGen::SetFrequency);
        P.Float("Phase", "Double", &TToneGen::FPhase, &TToneGen::SetPhase);
        P.Float("Asymmetry", "Double", &TToneGen::FAsymmetry, &TToneGen::SetAsymmetry);
        P.Float("Started", "TDateTime", &TToneGen::FStarted, &TToneGen::FStarted);
        P.Integer("Amplitude", &TToneGen::FAmplitude, &TToneGen::SetAmplitude).Default(100);
        P.Object("Format", &TToneGen::GetFormat);
        P.Event("OnTick", &TToneGen::FOnTick);
    }

protected:
    void ComponentReady() override
    {
        ++Ready;
        ReadyHadLoadedFloats = FPhase == 0.0;
    }
    void PropertyChanged() override { ++Changes; }
};

// A component that makes another one in its constructor.
class TToneBank : public TCKComponent {
    DCS_CLASS(TToneBank, TCKComponent)
    explicit TToneBank(TComponent* AOwner) : TCKComponent(AOwner), Inner(Create<TToneGen>(this)) {}
    TToneGen* Inner;
};

// A form: stores the components it owns.
std::vector<std::uint8_t> Bytes(TMemoryStream& S)
{
    const auto* p = static_cast<const std::uint8_t*>(S.Memory());
    return std::vector<std::uint8_t>(p, p + S.Size());
}

std::vector<std::uint8_t> Concat(std::initializer_list<std::vector<std::uint8_t>> AParts)
{
    std::vector<std::uint8_t> r;
    for (const auto& p : AParts)
        r.insert(r.end(), p.begin(), p.end());
    return r;
}
std::vector<std::uint8_t> Str(const char* S) { return std::vector<std::uint8_t>(S, S + std::strlen(S)); }

// Where the stored property ANAme starts (at its length byte), or -1.
long FindProp(const std::vector<std::uint8_t>& AData, const std::string& AName)
{
    std::vector<std::uint8_t> key {std::uint8_t(AName.size())};
    key.insert(key.end(), AName.begin(), AName.end());
    auto it = std::search(AData.begin(), AData.end(), key.begin(), key.end());
    return it == AData.end() ? -1 : long(it - AData.begin());
}

TEST(CKComponentFloats, StoresExactlyTheZeroFloatsByteForByte)
{
    TOwned<TToneGen> gen(Create<TToneGen>(nullptr));
    gen->SetName("sg1");
    gen->SetPhase(0.0);
    gen->FFormat.SetGain(0.0);
    TMemoryStream bin;
    WriteComponentToStream(bin, gen.get());
    const auto data = Bytes(bin);

    const std::vector<std::uint8_t> zero10(10, 0);
    const auto expected = Concat({{7},
                                  Str("_Floats"),  //
                                  {1, 1, 7, 9},
                                  Str("Asymmetry"),
                                  {5},
                                  zero10,
                                  {0},  //
                                  {1, 7, 5},
                                  Str("Phase"),
                                  {5},
                                  zero10,
                                  {0},    //
                                  {0},    //
                                  {0}});  // end of the component's properties
    const long at = FindProp(data, "_Floats");
    ASSERT_GE(at, 0);
    ASSERT_LE(at + expected.size(), data.size());
    EXPECT_EQ(std::vector<std::uint8_t>(data.begin() + at, data.begin() + at + long(expected.size())), expected);
    EXPECT_EQ(FindProp(data, "Started"), -1) << "a zero date is neither written nor listed";
    // The sub-object lists its own zero float.
    const long sub = FindProp(data, "Format._Floats");
    ASSERT_GE(sub, 0);
    EXPECT_EQ(data[sub + 15], 1);
    EXPECT_EQ(FindProp(data, "Gain"), sub + 18);
}

TEST(CKComponentFloats, AllNonZeroFloatsStoreNothing)
{
    TOwned<TToneGen> gen(Create<TToneGen>(nullptr));
    gen->SetAsymmetry(0.5);
    gen->FFormat.SetGain(-0.0);  // equal to zero: listed
    TMemoryStream bin;
    WriteComponentToStream(bin, gen.get());
    const auto data = Bytes(bin);
    EXPECT_EQ(FindProp(data, "_Floats"), -1);
    EXPECT_GE(FindProp(data, "Format._Floats"), 0);
}

TEST(CKComponentFloats, RoundTripRestoresZerosOverNonZeroDefaults)
{
    TOwned<TTestWindow> root(Create<TTestWindow>(nullptr));
    root->SetName("Form1");
    auto* gen = Create<TToneGen>(root.get());
    gen->SetName("sg1");
    gen->SetPhase(0.0);
    gen->SetFrequency(123.5);
    gen->FFormat.SetGain(0.0);
    TMemoryStream bin;
    WriteComponentToStream(bin, root.get());

    bin.SetPosition(0);
    TOwned<TTestWindow> copy(Create<TTestWindow>(nullptr));
    ReadComponentFromStream(bin, copy.get());
    auto* back = As<TToneGen>(copy->FindComponent("sg1"));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->FPhase, 0.0) << "the constructor's 0.25 is undone";
    EXPECT_EQ(back->FAsymmetry, 0.0);
    EXPECT_EQ(back->FFrequency, 123.5);
    EXPECT_EQ(back->FFormat.FGain, 0.0);
    // Ready once, from Loaded, after every stored value was read.
    EXPECT_EQ(back->Ready, 1);
    EXPECT_TRUE(back->ReadyHadLoadedFloats);
}

// Stored zeros naming a property the object lacks, or one that is no float, are skipped;
// the rest is read. Text form, as windows are authored.
TEST(CKComponentFloats, UnknownNamesAreSkippedAndTheTextFormShowsTheList)
{
    TOwned<TTestWindow> root(Create<TTestWindow>(nullptr));
    ReadComponentFromText("object Form1: TTestWindow\n"
                          "  object sg1: TToneGen\n"
                          "    Amplitude = 9\n"
                          "    _Floats = ((Nothing 0.0) (Amplitude 0.0) (Phase 0.0))\n"
                          "  end\n"
                          "end\n",
                          root.get());
    auto* gen = As<TToneGen>(root->FindComponent("sg1"));
    ASSERT_NE(gen, nullptr);
    EXPECT_EQ(gen->FAmplitude, 9);
    EXPECT_EQ(gen->FPhase, 0.0);
    EXPECT_NE(ComponentToText(root.get()).find("_Floats = ((Asymmetry 0.0) (Phase 0.0))"), std::string::npos)
        << ComponentToText(root.get());

    TOwned<TTestWindow> bad(Create<TTestWindow>(nullptr));
    EXPECT_THROW(ReadComponentFromText("object Form1: TTestWindow\n"
                                       "  object sg1: TToneGen\n"
                                       "    _Floats = ((Phase 0.0) 5)\n"
                                       "  end\n"
                                       "end\n",
                                       bad.get()),
                 EReadError);
}

TEST(CKComponentReady, RunsOnceWhenComplete)
{
    TOwned<TToneGen> inCode(Create<TToneGen>(nullptr));
    EXPECT_EQ(inCode->Ready, 1);

    // Made by another component's constructor while the form loads: ready only from
    // Loaded.
    TOwned<TComponent> form(Create<TComponent>(nullptr));
    form->SetLoadingState(csLoading, true);
    auto* bank = Create<TToneBank>(form.get());
    EXPECT_EQ(bank->Inner->Ready, 0);
    form->SetLoadingState(csLoading, false);

    TOwned<TComponent> designed(Create<TComponent>(nullptr));
    designed->SetDesigning(true);
    TToneGen* placed = Create<TToneGen>(designed.get());
    placed->SetDesigning(true);
    placed->Loaded();
    EXPECT_EQ(placed->Ready, 0) << "never in the designer";
}

TEST(CKComponentLock, SubObjectsShareTheLockButNotifyOnlyThemselves)
{
    TOwned<TToneGen> gen(Create<TToneGen>(nullptr));
    int onChange = 0;
    gen->FFormat.SetOnChange([&](TObject* S) {
        EXPECT_EQ(S, &gen->FFormat);
        ++onChange;
    });
    EXPECT_EQ(gen->FFormat.Lock()->Instance(), gen->Lock()->Instance());
    EXPECT_EQ(gen->FFormat.GetOwner(), gen.get());

    gen->FFormat.SetChannels(40);
    EXPECT_EQ(gen->FFormat.FChannels, 32);
    EXPECT_EQ(gen->FFormat.Changes, 1);
    EXPECT_EQ(onChange, 1);
    EXPECT_EQ(gen->Changes, 0);
    gen->SetAmplitude(-5);
    EXPECT_EQ(gen->FAmplitude, 0);
    EXPECT_EQ(gen->Changes, 1);
    EXPECT_EQ(gen->FFormat.Changes, 1);

    // Holding the component's lock on one thread keeps a sub-object's writer out.
    test::TScriptThread t;
    IPNLockSection held = gen->Lock()->WriteLock();
    t.Start([&] { gen->FFormat.SetGain(3.0); });
    EXPECT_FALSE(t.WaitDone(50));
    held.Release();
    ASSERT_TRUE(t.WaitDone(10000));
    EXPECT_EQ(gen->FFormat.FGain, 3.0);
}

TEST(CKComponentAssign, CopiesPublishedPropertiesButNotTheName)
{
    TOwned<TComponent> root(Create<TComponent>(nullptr));
    auto* a = Create<TToneGen>(root.get());
    auto* b = Create<TToneGen>(root.get());
    a->SetName("a");
    b->SetName("b");
    a->SetFrequency(50);
    a->SetAmplitude(7);
    a->FStarted = 2.5;
    a->FFormat.SetChannels(6);
    int ticks = 0;
    a->FOnTick = [&](TObject*) { ++ticks; };
    b->Assign(a);
    EXPECT_EQ(b->Name(), "b");
    EXPECT_EQ(b->FFrequency, 50);
    EXPECT_EQ(b->FAmplitude, 7);
    EXPECT_EQ(b->FStarted, 2.5);
    EXPECT_EQ(b->FFormat.FChannels, 6) << "sub-objects by their own Assign";
    ASSERT_TRUE(b->FOnTick);
    b->FOnTick(b);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(b->Lock()->Instance()->State(), TPNLockState {});

    TOwned<TComponent> plain(Create<TComponent>(nullptr));
    EXPECT_THROW(b->Assign(plain.get()), EConvertError);
}

TEST(CKPersistent, NeedsALock)
{
    try {
        TCKPersistent p;
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Calling TCKPersistent.Create without lock!");
    }
}

// ---- collections ----

class TChannel : public TCKCollectionItem {
    DCS_CLASS(TChannel, TCKCollectionItem)
    using TCKCollectionItem::TCKCollectionItem;
    double FLevel = 1.0;
    int Changes = 0;
    void SetLevel(double V) { FLock->Setter(FLevel, V); }
    void PropertyChanged() override { ++Changes; }
    static void DeclareProperties(TClassBuilder<TChannel>& P)
    {
        P.Float("Level", "Double", &TChannel::FLevel, &TChannel::SetLevel);
    }
};

class TListener : public TImplements<TInterfacedObject, IPNCollectionListener> {
public:
    std::vector<std::string> Heard;
    bool Raise = false;
    void CollectionItemAdded(TCollection*, TCollectionItem* I) override
    {
        Heard.push_back("added " + std::to_string(I->Index()));
        if (Raise)
            throw Exception("listener failed");
    }
    void CollectionItemRemoved(TCollection*, TCollectionItem*) override { Heard.push_back("removed"); }
};

TEST(CKCollection, ItemsShareTheLockAndListenersHearEveryChange)
{
    TOwned<TToneGen> gen(Create<TToneGen>(nullptr));
    TCKCollection channels(gen.get(), gen->Lock(), TChannel::StaticClass());
    EXPECT_EQ(channels.Lock()->Instance(), gen->Lock()->Instance());
    EXPECT_NE(channels.Lock().Get(), gen->Lock().Get()) << "a copy for a component owner";

    IntfPtr<TListener> first(new TListener), second(new TListener);
    first->Raise = true;
    channels.AddListener(first);
    channels.AddListener(second);
    auto* item = As<TChannel>(channels.Add());
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Lock()->Instance(), gen->Lock()->Instance());
    EXPECT_EQ(second->Heard, (std::vector<std::string> {"added 0"})) << "a raising listener stops nobody";
    EXPECT_EQ(channels.LastIndicatedCount, -1);

    item->SetLevel(0.0);
    EXPECT_EQ(item->Changes, 1);
    EXPECT_EQ(gen->Changes, 0);

    TChannel* editor = item;
    item->CurrentEditorPtr = reinterpret_cast<TPNExtCollectionItem**>(&editor);
    channels.Delete(0);
    EXPECT_EQ(editor, nullptr);
    EXPECT_EQ(second->Heard.back(), "removed");
}

TEST(CKCollection, StreamsItemFloatsAndAssignsItems)
{
    TPersistent* none = nullptr;
    TCKCollection a(none, TChannel::StaticClass()), b(none, TChannel::StaticClass());
    As<TChannel>(a.Add())->SetLevel(0.0);
    As<TChannel>(a.Add())->SetLevel(0.5);
    b.Assign(&a);
    ASSERT_EQ(b.Count(), 2);
    EXPECT_EQ(As<TChannel>(b.Items(0))->FLevel, 0.0);
    EXPECT_EQ(As<TChannel>(b.Items(1))->FLevel, 0.5);
}

TEST(CKTimer, ARaisingHandlerIsSwallowedAndTheTimerKeepsTicking)
{
    TManualClock clock;
    SetMessageClock(&clock);
    {
        TOwned<TCKTimer> timer(Create<TCKTimer>(nullptr));
        EXPECT_TRUE(timer->Enabled());
        EXPECT_EQ(timer->Interval(), 1000u);
        EXPECT_FALSE(timer->Armed()) << "no handler, no system timer";
        int ticks = 0;
        timer->SetOnTimer([&](TObject* S) {
            EXPECT_EQ(S, timer.get());
            ++ticks;
            throw Exception("handler failed");
        });
        EXPECT_TRUE(timer->Armed());
        auto pump = [] {
            TMsg m;
            while (PeekMessage(m, true))
                DispatchMessage(m);
        };
        for (int i = 0; i < 3; ++i) {
            clock.Advance(1000);
            EXPECT_NO_THROW(pump());
        }
        EXPECT_EQ(ticks, 3);
        timer->SetInterval(0);
        EXPECT_FALSE(timer->Armed());
    }
    SetMessageClock(nullptr);
}

}  // namespace
}  // namespace dcs
