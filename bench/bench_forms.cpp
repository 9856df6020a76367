// Start-up cost of the stored windows: writing and reading a form of 200 components
// (the main window's size) in the binary and the text form, and the message core's
// post-and-dispatch round trip.
#include "platform/classes/TextForm.h"
#include "platform/win/Messages.h"

#include <benchmark/benchmark.h>

namespace dcs {
namespace {

inline const TEnumInfo kKinds {"TBenchKind", {"bkTone", "bkNoise", "bkRamp"}};

class TBenchPart : public TComponent {
    DCS_CLASS(TBenchPart, TComponent)
    using TComponent::TComponent;
    int32_t FAmplitude = 500;
    double FFrequency = 500.0;
    bool FEnabled = true;
    int FKind = 0;
    std::string FCaption = "Preset toggle";
    TComponent* FPartner = nullptr;
    static void DeclareProperties(TClassBuilder<TBenchPart>& P)
    {
        P.Integer("Amplitude", &TBenchPart::FAmplitude, &TBenchPart::FAmplitude);
        P.Float("Frequency", "Double", &TBenchPart::FFrequency, &TBenchPart::FFrequency);
        P.Boolean("Enabled", &TBenchPart::FEnabled, &TBenchPart::FEnabled).Default(false);
        P.Enum("Kind", kKinds, &TBenchPart::FKind, &TBenchPart::FKind).Default(1);
        P.String("Caption", &TBenchPart::FCaption, &TBenchPart::FCaption);
        P.Component("Partner", &TBenchPart::FPartner, &TBenchPart::FPartner);
    }
};

class TBenchForm : public TComponent {
    DCS_CLASS(TBenchForm, TComponent)
    using TComponent::TComponent;
    void GetChildren(const TGetChildProc& Proc, TComponent*) override
    {
        for (int i = 0; i < ComponentCount(); ++i)
            Proc(Components(i));
    }
};

std::string FormText()
{
    TOwned<TBenchForm> form(Create<TBenchForm>(nullptr));
    form->SetName("Form1");
    TBenchPart* prev = nullptr;
    for (int i = 0; i < 200; ++i) {
        auto* p = Create<TBenchPart>(form.get());
        p->SetName("part" + std::to_string(i));
        p->FFrequency = 10.4 * i;
        p->FPartner = prev;
        prev = p;
    }
    return ComponentToText(form.get());
}

void BM_ReadBinaryForm(benchmark::State& State)
{
    TMemoryStream bin;
    ObjectTextToBinary(FormText(), bin);
    for (auto _ : State) {
        bin.SetPosition(0);
        TOwned<TComponent> form(ReadComponentFromStream(bin, nullptr));
        benchmark::DoNotOptimize(form.get());
    }
}
BENCHMARK(BM_ReadBinaryForm)->Unit(benchmark::kMicrosecond);

void BM_ReadTextForm(benchmark::State& State)
{
    std::string text = FormText();
    for (auto _ : State) {
        TOwned<TComponent> form(ReadComponentFromText(text, nullptr));
        benchmark::DoNotOptimize(form.get());
    }
}
BENCHMARK(BM_ReadTextForm)->Unit(benchmark::kMicrosecond);

void BM_WriteTextForm(benchmark::State& State)
{
    std::string text = FormText();
    TOwned<TComponent> form(ReadComponentFromText(text, nullptr));
    for (auto _ : State)
        benchmark::DoNotOptimize(ComponentToText(form.get()));
}
BENCHMARK(BM_WriteTextForm)->Unit(benchmark::kMicrosecond);

void BM_PostAndDispatch(benchmark::State& State)
{
    int handled = 0;
    HWND wnd = AllocateHWnd([&](TMessage&) { ++handled; });
    TMsg msg;
    for (auto _ : State) {
        PostMessage(wnd, WM_APP, 0, 0);
        PeekMessage(msg, true);
        DispatchMessage(msg);
    }
    DeallocateHWnd(wnd);
    benchmark::DoNotOptimize(handled);
}
BENCHMARK(BM_PostAndDispatch);

}  // namespace
}  // namespace dcs
