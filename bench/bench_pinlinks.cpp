// Reading a window whose pins are linked by stored names: N generators read before the
// mixer whose N inputs they feed (every link waits on placeholders until the mixer's
// channels make the pins), then freeing the window. The main window holds two mixers of
// 52 inputs and some 60 generators.
#include "components/pins/PNPinList.h"
#include "platform/classes/TextForm.h"
#include "testing/TestWindow.h"

#include <benchmark/benchmark.h>

namespace dcs {
namespace {

constexpr TGUID KBenchType = MakeGUID("{BE0C0000-0000-4000-8000-0000000000B1}");

class IBenchStream : public virtual IPNStream {
public:
    static constexpr TGUID IID = KBenchType;

protected:
    ~IBenchStream() = default;
};

template <class Base> class TBenchPin : public Base, public IBenchStream {
public:
    template <class... A> explicit TBenchPin(A&&... Args) : Base(std::forward<A>(Args)...)
    {
        this->AddType(KBenchType, {});
    }

protected:
    bool GetInterface(const TGUID& iid, void** obj) override
    {
        if (iid == KBenchType) {
            *obj = static_cast<IBenchStream*>(this);
            return true;
        }
        return Base::GetInterface(iid, obj);
    }
};

class TBenchGen : public TComponent {
    DCS_CLASS(TBenchGen, TComponent)
    explicit TBenchGen(TComponent* AOwner) : TComponent(AOwner), FOutputPin(Create<TBenchPin<TPNSourcePin>>(this, -1))
    {
    }
    ~TBenchGen() override { Free(FOutputPin); }
    static void DeclareProperties(TClassBuilder<TBenchGen>& P) { P.Object("OutputPin", &TBenchGen::FOutputPin); }
    TPNSourcePin* FOutputPin;
};

class TBenchMixer;

class TBenchChannel : public TCollectionItem {
    DCS_CLASS(TBenchChannel, TCollectionItem)
    explicit TBenchChannel(TCollection* ACollection);
    ~TBenchChannel() override;
    static void DeclareProperties(TClassBuilder<TBenchChannel>& P) { P.Object("InputPin", &TBenchChannel::FInputPin); }
    TPNSinkPin* FInputPin;
    TBenchMixer* FMixer;
};

class TBenchMixer : public TComponent {
    DCS_CLASS(TBenchMixer, TComponent)
    explicit TBenchMixer(TComponent* AOwner)
        : TComponent(AOwner), FInputPins(Create<TPNPinList>(this, true)),
          FChannels(Create<TOwnedCollection>(this, TBenchChannel::StaticClass()))
    {
    }
    ~TBenchMixer() override
    {
        Free(FChannels);
        Free(FInputPins);
    }
    static void DeclareProperties(TClassBuilder<TBenchMixer>& P)
    {
        P.Object("InputPins", &TBenchMixer::FInputPins);
        P.Object("Channels", &TBenchMixer::FChannels);
    }
    TPNPinList* FInputPins;
    TOwnedCollection* FChannels;
};

TBenchChannel::TBenchChannel(TCollection* ACollection)
    : TCollectionItem(ACollection),
      FMixer(static_cast<TBenchMixer*>(static_cast<TOwnedCollection*>(ACollection)->GetOwner()))
{
    FInputPin = Create<TBenchPin<TPNSinkPin>>(FMixer);
    FMixer->FInputPins->Add(FInputPin);
}

TBenchChannel::~TBenchChannel() { FMixer->FInputPins->Remove(FInputPin); }

std::string WindowText(int N)
{
    std::string t = "object Form1: TTestWindow\n";
    for (int i = 0; i < N; ++i) {
        std::string n = std::to_string(i);
        t += "  object sg" + n +
            ": TBenchGen\n    OutputPin.Form = Form1\n    OutputPin.SinkPins = ((Form1.mixer.InputPins._Pin" + n +
            " 'Form1.mixer.InputPins.Pin [" + n + "]'))\n  end\n";
    }
    t += "  object mixer: TBenchMixer\n    InputPins.Form = Form1\n    InputPins.Pins = (";
    for (int i = 0; i < N; ++i)
        t += (i ? " Form1.sg" : "Form1.sg") + std::to_string(i) + ".OutputPin";
    t += ")\n    Channels = <";
    for (int i = 0; i < N; ++i)
        t += "\n      item\n        InputPin.Form = Form1\n        InputPin.SourcePin = Form1.sg" + std::to_string(i) +
            ".OutputPin\n      end";
    t += ">\n  end\nend\n";
    return t;
}

void BM_ReadLinkedWindow(benchmark::State& state)
{
    int n = int(state.range(0));
    TMemoryStream bin;
    ObjectTextToBinary(WindowText(n), bin);
    for (auto _ : state) {
        bin.SetPosition(0);
        TComponent* form = ReadComponentFromStream(bin, nullptr);
        if (UnloadedPins::Count() != 0) {
            state.SkipWithError("a link was left waiting");
            Free(form);
            break;
        }
        Free(form);
    }
    state.SetItemsProcessed(state.iterations() * n);  // links
}
BENCHMARK(BM_ReadLinkedWindow)->Arg(10)->Arg(52)->Arg(104)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace dcs
