// Small stored components with pins and pin lists, shaped like the audio components a
// window holds: generators with one output, players with one input, a mixer whose input
// pins are made by its channel items, a splitter with a list of outputs, and state and
// multi-source pins. The fuzz target of stored pin links reads forms of them too.
#pragma once

#include "components/pins/CKComponent.h"
#include "components/pins/PNMultiSinkPin.h"
#include "components/pins/PNPinList.h"
#include "components/pins/PNStatePins.h"
#include "components/pins/PNStdPins.h"
#include "platform/classes/TextForm.h"
#include "testing/PinFixtures.h"
#include "testing/TestWindow.h"

#include <algorithm>
#include <map>
#include <set>

namespace dcs::pintest {

inline std::atomic<int> PinsAlive {0};

// Counts the test pins the fixtures make, so a test sees every one freed.
template <class T> class TCounted : public T {
public:
    template <class... A> TCounted(A&&... Args) : T(std::forward<A>(Args)...) { ++PinsAlive; }
    ~TCounted() override { --PinsAlive; }
};
using TSrc = TCounted<TTestSource>;
using TSnk = TCounted<TTestSink>;

inline TSrc* NewSource(TComponent* AOwner)
{
    return Create<TSrc>("out", std::initializer_list<TGUID> {TypeA}, -1, AOwner);
}
inline TSnk* NewSink(TComponent* AOwner) { return Create<TSnk>("in", std::initializer_list<TGUID> {TypeA}, AOwner); }

// The windows of these tests (and of the stored forms the fuzz corpus holds).
class TPLForm : public TTestWindow {
    DCS_CLASS(TPLForm, TTestWindow)
    using TTestWindow::TTestWindow;
};

class TPLGen : public TCKComponent {
    DCS_CLASS(TPLGen, TCKComponent)

    explicit TPLGen(TComponent* AOwner) : TCKComponent(AOwner), FOutputPin(NewSource(this)) {}
    ~TPLGen() override { Free(FOutputPin); }
    TPNSourcePin* OutputPin() const { return FOutputPin; }
    static void DeclareProperties(TClassBuilder<TPLGen>& P) { P.Object("OutputPin", &TPLGen::FOutputPin); }

    TPNSourcePin* FOutputPin;
};

class TPLOut : public TCKComponent {
    DCS_CLASS(TPLOut, TCKComponent)

    explicit TPLOut(TComponent* AOwner) : TCKComponent(AOwner), FInputPin(NewSink(this)) {}
    ~TPLOut() override { Free(FInputPin); }
    TPNSinkPin* InputPin() const { return FInputPin; }
    static void DeclareProperties(TClassBuilder<TPLOut>& P) { P.Object("InputPin", &TPLOut::FInputPin); }

    TPNSinkPin* FInputPin;
};

class TPLMixer;

// One input of the mixer: its pin is made with the item and sits in the mixer's list.
class TPLChannel : public TCollectionItem {
    DCS_CLASS(TPLChannel, TCollectionItem)

    explicit TPLChannel(TCollection* ACollection);
    ~TPLChannel() override;
    static void DeclareProperties(TClassBuilder<TPLChannel>& P) { P.Object("InputPin", &TPLChannel::FInputPin); }

    TPNSinkPin* FInputPin = nullptr;
    TPLMixer* FMixer;
};

class TPLMixer : public TCKComponent {
    DCS_CLASS(TPLMixer, TCKComponent)

    explicit TPLMixer(TComponent* AOwner)
        : TCKComponent(AOwner), FOutputPin(NewSource(this)), FInputPins(Create<TPNPinList>(this, true)),
          FChannels(Create<TOwnedCollection>(this, TPLChannel::StaticClass()))
    {
    }
    ~TPLMixer() override
    {
        Free(FChannels);
        Free(FInputPins);
        Free(FOutputPin);
    }
    TPNSourcePin* OutputPin() const { return FOutputPin; }
    TPNPinList* InputPins() const { return FInputPins; }
    TCollection* Channels() const { return FChannels; }
    static void DeclareProperties(TClassBuilder<TPLMixer>& P)
    {
        P.Object("OutputPin", &TPLMixer::FOutputPin);
        P.Object("InputPins", &TPLMixer::FInputPins);
        P.Object("Channels", &TPLMixer::GetChannels);
    }
    TOwnedCollection* GetChannels() const { return FChannels; }

    TPNSourcePin* FOutputPin;
    TPNPinList* FInputPins;
    TOwnedCollection* FChannels;
};

inline TPLChannel::TPLChannel(TCollection* ACollection) : TCollectionItem(ACollection)
{
    FMixer = static_cast<TPLMixer*>(static_cast<TOwnedCollection*>(ACollection)->GetOwner());
    FInputPin = NewSink(FMixer);
    FMixer->InputPins()->Add(FInputPin);
}

inline TPLChannel::~TPLChannel()
{
    // The mixer's list owns the pin: removing it frees it.
    FMixer->InputPins()->Remove(FInputPin);
}

class TPLSplit : public TCKComponent {
    DCS_CLASS(TPLSplit, TCKComponent)

    explicit TPLSplit(TComponent* AOwner)
        : TCKComponent(AOwner), FInputPin(NewSink(this)), FOutputPins(Create<TPNPinList>(this, true))
    {
        FOutputPins->Add(NewSource(this));
        FOutputPins->Add(NewSource(this));
    }
    ~TPLSplit() override
    {
        Free(FOutputPins);
        Free(FInputPin);
    }
    static void DeclareProperties(TClassBuilder<TPLSplit>& P)
    {
        P.Object("InputPin", &TPLSplit::FInputPin);
        P.Object("OutputPins", &TPLSplit::FOutputPins);
    }

    TPNSinkPin* FInputPin;
    TPNPinList* FOutputPins;
};

// A Boolean state, a real-valued input and a multi-source input, for state links and
// stored sources.
class TSTSwitch : public TComponent {
    DCS_CLASS(TSTSwitch, TComponent)

    explicit TSTSwitch(TComponent* AOwner)
        : TComponent(AOwner), FStatePin(Create<TPNBoolStatePin>(this, TPNBoolChangeEvent(), nullptr))
    {
    }
    ~TSTSwitch() override { Free(FStatePin); }
    static void DeclareProperties(TClassBuilder<TSTSwitch>& P) { P.Object("StatePin", &TSTSwitch::FStatePin); }

    TPNBoolStatePin* FStatePin;
};

class TSTMeter : public TComponent {
    DCS_CLASS(TSTMeter, TComponent)

    explicit TSTMeter(TComponent* AOwner)
        : TComponent(AOwner), FInputPin(Create<TPNRealSinkPin>(this, TPNRealChangeEvent(), nullptr))
    {
    }
    ~TSTMeter() override { Free(FInputPin); }
    static void DeclareProperties(TClassBuilder<TSTMeter>& P) { P.Object("InputPin", &TSTMeter::FInputPin); }

    TPNRealSinkPin* FInputPin;
};

// Takes the toy type A from any number of generators.
class TSTMix : public TComponent {
    DCS_CLASS(TSTMix, TComponent)

    explicit TSTMix(TComponent* AOwner) : TComponent(AOwner), FInputPin(Create<TTestPin<TPNMultiSinkPin>>("mix", this))
    {
        FInputPin->SetTypes({TypeA});
    }
    ~TSTMix() override { Free(FInputPin); }
    static void DeclareProperties(TClassBuilder<TSTMix>& P) { P.Object("InputPin", &TSTMix::FInputPin); }

    TTestPin<TPNMultiSinkPin>* FInputPin;
};

// Every link among the real pins of ARoots, as "source -> sink" by full display names.
inline std::set<std::string> Wiring()
{
    std::set<std::string> links;
    ForEachPinBackwards([&](TPNBasicPin* p) {
        auto* s = dynamic_cast<TPNSourcePin*>(p);
        if (!s || ConverterOfPin(s))
            return;
        for (int i = 0; i < s->SinkCount(); ++i)
            links.insert(s->GetFullName(true) + " -> " + s->GetSink(i)->GetFullName(true));
    });
    return links;
}

class PinListTest : public PinTest {
protected:
    void TearDown() override
    {
        for (TComponent* c : Roots)
            Free(c);
        Roots.clear();
        EXPECT_EQ(UnloadedPins::Count(), 0) << "a placeholder outlived its forms";
        UnloadedPins::Clear();
        EXPECT_EQ(PinsAlive.load(), 0) << "a pin outlived its component";
        PinTest::TearDown();
    }
    template <class T = TPLForm> T* NewRoot(const std::string& AName)
    {
        T* r = Create<T>(nullptr);
        r->SetName(AName);
        Roots.push_back(r);
        return r;
    }
    TComponent* Load(std::string_view AText, TComponent* ARoot = nullptr)
    {
        TComponent* r = ReadComponentFromText(AText, ARoot);
        if (!ARoot)
            Roots.push_back(r);
        return r;
    }
    void FreeRoot(TComponent* ARoot)
    {
        std::erase(Roots, ARoot);
        Free(ARoot);
    }
    std::vector<TComponent*> Roots;
};

// A component of class T made in AOwner and named.
template <class T> T* NewNamed(TComponent* AOwner, const std::string& AName)
{
    T* c = Create<T>(AOwner);
    c->SetName(AName);
    return c;
}

template <class T> T* Find(TComponent* ARoot, const std::string& AName)
{
    return dynamic_cast<T*>(ARoot->FindComponent(AName));
}

}  // namespace dcs::pintest
