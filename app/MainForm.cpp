#include "app/MainForm.h"

#include "app/Artwork.h"
#include "app/PainForm.h"

#include "platform/base/Environment.h"
#include "platform/controls/GraphicFormats.h"
#include "ui/controls/RawResources.h"

namespace dcs {

namespace forms {
bool Link_TForm1();  // the embedded form resource
}

TForm1* Form1 = nullptr;

namespace {

constexpr int kWholeBody = 3;

}  // namespace

TForm1::TForm1(TComponent* AOwner) : TForm(AOwner)
{
    forms::Link_TForm1();
    RegisterMethod("FormCreate", TNotifyEvent([this](TObject* S) { FormCreate(S); }));
    RegisterMethod("FormClose", TCloseEvent([this](TObject* S, TCloseAction& A) { FormClose(S, A); }));
    RegisterMethod("pgExitShow", TNotifyEvent([this](TObject* S) { pgExitShow(S); }));
    RegisterMethod("tm1Timer", TNotifyEvent([this](TObject* S) { tm1Timer(S); }));
    RegisterMethod("tmEssTimer", TNotifyEvent([this](TObject* S) { tmEssTimer(S); }));
    RegisterMethod("tmSpTimer", TNotifyEvent([this](TObject* S) { tmSpTimer(S); }));
    RegisterMethod("tmMedTimer", TNotifyEvent([this](TObject* S) { tmMedTimer(S); }));
    RegisterMethod("Action1Execute", TNotifyEvent([this](TObject* S) { Action1Execute(S); }));
}

TForm1::~TForm1() = default;

template <class T> T* TForm1::Find(const char* AName)
{
    T* c = As<T>(FindComponent(AName));
    if (c == nullptr)
        throw EComponentError(std::string("The main window's resource has no ") + AName);
    return c;
}

void TForm1::BeforeDestruction()
{
    SessionPages.Auto.reset();
    SessionPages.Manual.reset();
    Sessions.reset();
    // The audio graph goes from its sources down, so no mixer is unlinked from an input
    // that still streams into it while its own clock mixes.
    FreeComponentsOf<TAUSignalGen>();
    FreeComponentsOf<TAUAudioMixer>();
    TForm::BeforeDestruction();
}

template <class T> void TForm1::FreeComponentsOf()
{
    std::vector<TComponent*> doomed;
    for (int i = 0; i < ComponentCount(); ++i)
        if (As<T>(Components(i)))
            doomed.push_back(Components(i));
    for (TComponent* c : doomed)
        Free(c);
}

void TForm1::FormCreate(TObject*)
{
    tm1 = Find<TTimer>("tm1");
    tmEss = Find<TTimer>("tmEss");
    tmSp = Find<TTimer>("tmSp");
    tmMed = Find<TTimer>("tmMed");
    tmMan = Find<TTimer>("tmMan");
    tmWB = Find<TTimer>("tmWB");
    tmUB = Find<TTimer>("tmUB");
    tmCore = Find<TTimer>("tmCore");
    tmLB = Find<TTimer>("tmLB");
    FormResizer1 = Find<TFormResizer>("FormResizer1");
    Action1 = Find<TAction>("Action1");
    GestureManager1 = Find<TGestureManager>("GestureManager1");
    sg338 = Find<TAUSignalGen>("sg338");
    sgSX = Find<TAUSignalGen>("sgSX");
    mixer = Find<TAUAudioMixer>("mixer");
    mixerRD = Find<TAUAudioMixer>("mixerRD");
    mixSX = Find<TAUAudioMixer>("mixSX");
    mixMan = Find<TAUAudioMixer>("mixMan");
    mixLeft = Find<TAUAudioMixer>("mixLeft");
    mixRight = Find<TAUAudioMixer>("mixRight");
    out1 = Find<TAUAudioOut>("out1");
    outDR = Find<TAUAudioOut>("outDR");
    outSX = Find<TAUAudioOut>("outSX");
    outMan = Find<TAUAudioOut>("outMan");
    outLeft = Find<TAUAudioOut>("outLeft");
    outRight = Find<TAUAudioOut>("outRight");
    Sessions = std::make_unique<TPresetSessions>(TSessionAudio {mixLeft, mixRight, out1, outDR, sg338}, FrequencyTable);
    Sessions->BindTimer(stPain, tm1);
    Sessions->BindTimer(stEssentials, tmEss);
    Sessions->BindTimer(stSports, tmSp);
    Sessions->BindTimer(stMedical, tmMed);
    BuildMainPages(this, *Sessions, Pages);
    if (const std::vector<uint8_t>* icon = smooth::FindRawResource(resources::IconPicture))
        Icon()->LoadFromBytes(icon->data(), icon->size());
    Pages.Pages[6]->OnShow = [this](TObject* S) { pgExitShow(S); };
    for (TPresetPageControls& c : Pages.Preset)
        c.PainManagement->OnClick = [this](TObject* S) { btnPainOpenClick(S); };

    DataFolder = GetEnvironmentVariable("APPDATA") + "\\Dorvaquent";
    ProgramFilesFolder = GetEnvironmentVariable("PROGRAMFILES");
    LoadPresetTable("pre.data", FrequencyTable);
    for (int i = 0; i < PresetCount; ++i) {
        mixLeft->Channels()->Add();
        mixRight->Channels()->Add();
        Sessions->Selected[size_t(i)] = false;
        mixLeft->Channels()->GetItem(i)->SetCoefficient(0.5);
        mixRight->Channels()->GetItem(i)->SetCoefficient(0.5);
    }
    BaseAmplitude = 3000.0;
    for (SessionCountdown& c : Sessions->Countdowns)
        c.Reset(20);
    ManualCountdown.Reset(20);
    AutoZone[kWholeBody] = true;
    // The "Medium" intensity, which the stored intensity toggles start on.
    mixSX->Channels()->GetItem(0)->SetCoefficient(0.6);
    // The body figure first: the Auto page shows its zone pictures in it.
    BuildZonePanel(this, Pages.Pages[0], GestureManager1, Action1,
                   {[this](TAutoZone Z) { SessionPages.Auto->ZoneTap(Z); },
                    [this](TObject* S, const TGestureEventInfo& I, bool& H) { imSXBodyGesture(S, I, H); }},
                   Zones);
    BuildSessionPages(*this, SessionPages);
    // The pages' controls are made here, after the stored form was read: the resizer
    // records them too, so they scale with the window like the stored ones.
    FormResizer1->DynamicAdd();
    // The figure opens on the whole body, which start-up chose. A data folder without its
    // pictures is no reason to refuse to start: the figure stays blank until they come.
    try {
        SessionPages.Auto->WholeBody();
    } catch (const Exception&) {
    }
}

void TForm1::btnPainOpenClick(TObject*)
{
    if (Form2)
        Form2->Show();
}

void TForm1::ShutDown()
{
    if (Sessions)
        Sessions->DeleteAllPlayers();
    if (Application)
        Application->Terminate();
}

void TForm1::FormClose(TObject*, TCloseAction&) { ShutDown(); }

void TForm1::pgExitShow(TObject*) { ShutDown(); }

}  // namespace dcs
