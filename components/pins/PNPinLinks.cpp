// The links of pins and pin lists as stored in form resources, and linking by name.
//
// Stored forms (names with the root form's name):
//   link entry (a source's sinks):  Form1.out1.InputPin
//                                   (ident [after-ident] ['display'])   when they differ
//   sink form (a sink's source):    Form1.mixer.OutputPin | (ident 'display')
//                                   ((<either of those> after-ident))   with an after-pin
//   pin entry (a pin list's "Pins"): Sinks (<link entries>) | <sink form> | nil
#include "components/pins/PNMultiSinkPin.h"
#include "components/pins/PNPinList.h"
#include "components/pins/PNPinReferrers.h"
#include "components/pins/PNStatePins.h"

#include "platform/base/Strings.h"
#include "platform/classes/Streaming.h"

#include <algorithm>

namespace dcs {

namespace {

struct TStoredLink {
    std::string Ident;
    std::string Display;
    std::string After;
};

TStoredLink ReadLinkEntry(TReader& R)
{
    TStoredLink n;
    if (R.NextValue() == vaList) {
        R.ReadListBegin();
        n.Ident = R.ReadIdent();
        while (!R.EndOfList()) {
            if (R.NextValue() == vaIdent)
                n.After = R.ReadIdent();
            else
                n.Display = R.ReadString();
        }
        R.ReadListEnd();
    } else {
        n.Ident = R.ReadIdent();
    }
    if (n.Display.empty())
        n.Display = n.Ident;
    return n;
}

// A name alone, or a list of the ident name and the display name.
void ReadSourceName(TReader& R, TStoredLink& n)
{
    if (R.NextValue() == vaList) {
        R.ReadListBegin();
        n.Ident = R.ReadIdent();
        if (!R.EndOfList())
            n.Display = R.ReadString();
        R.ReadListEnd();
    } else {
        n.Ident = R.ReadIdent();
    }
}

TStoredLink ReadSinkForm(TReader& R)
{
    TStoredLink n;
    if (R.NextValue() != vaList) {
        n.Ident = R.ReadIdent();
    } else {
        R.ReadListBegin();
        if (R.NextValue() == vaList) {
            // The source with the pin this link is served after.
            R.ReadListBegin();
            ReadSourceName(R, n);
            if (!R.EndOfList())
                n.After = R.ReadIdent();
            R.ReadListEnd();
        } else {
            n.Ident = R.ReadIdent();
            if (!R.EndOfList())
                n.Display = R.ReadString();
        }
        R.ReadListEnd();
    }
    if (n.Display.empty())
        n.Display = n.Ident;
    return n;
}

// A pin's name as stored: the ident alone, or the ident and the display name as a list
// when the display name says something more.
void WriteIdentAndDisplay(TWriter& W, const std::string& AIdent, const std::string& ADisplay)
{
    if (ADisplay.empty() || ADisplay == AIdent) {
        W.WriteIdent(AIdent);
        return;
    }
    W.WriteListBegin();
    W.WriteIdent(AIdent);
    W.WriteString(ADisplay);
    W.WriteListEnd();
}

// Only pins that carry a name can be found again when the form is read.
bool Nameable(TPNBasicPin* APin)
{
    if (!APin)
        return false;
    if (IsUnloadedPin(APin))
        return true;
    return APin->Owner() && !APin->Owner()->Name().empty();
}

void WriteLinkEntry(TWriter& W, TPNBasicPin* APin, TPNBasicPin* AAfter)
{
    std::string ident = APin->GetFullIdentName(true);
    std::string display = APin->GetFullName(true);
    if (AAfter && !Nameable(AAfter))
        AAfter = nullptr;
    if (ident == display && !AAfter) {
        W.WriteIdent(ident);
        return;
    }
    W.WriteListBegin();
    W.WriteIdent(ident);
    if (AAfter)
        W.WriteIdent(AAfter->GetFullIdentName(true));
    if (ident != display)
        W.WriteString(display);
    W.WriteListEnd();
}

void WriteSinkForm(TWriter& W, TPNBasicPin* ASource, TPNBasicPin* AAfter)
{
    std::string ident = ASource->GetFullIdentName(true);
    std::string display = ASource->GetFullName(true);
    if (AAfter && !Nameable(AAfter))
        AAfter = nullptr;
    if (AAfter) {
        W.WriteListBegin();
        W.WriteListBegin();
    }
    WriteIdentAndDisplay(W, ident, display);
    if (AAfter) {
        W.WriteIdent(AAfter->GetFullIdentName(true));
        W.WriteListEnd();
        W.WriteListEnd();
    }
}

// A source's sinks, or a multi-source sink's sources (not while it is state-linked).
bool HasStoredSinks(TPNBasicPin* ASource)
{
    if (ASource->GetPinType() == TPNPinType::ptMultiSink && ASource->ConnectedDispatcherCount() > 0)
        return false;
    int n = ASource->GetConnectedPinCount();
    for (int i = 0; i < n; ++i)
        if (Nameable(ASource->GetConnectedPin(i)))
            return true;
    return false;
}

void WriteSinkList(TWriter& W, TPNBasicPin* ASource)
{
    W.WriteListBegin();
    int n = ASource->GetConnectedPinCount();
    for (int i = 0; i < n; ++i) {
        TPNBasicPin* sink = ASource->GetConnectedPin(i);
        if (Nameable(sink))
            WriteLinkEntry(W, sink, ASource->GetNotifyAfterPin(sink));
    }
    W.WriteListEnd();
}

bool HasStoredSource(TPNSinkPin* ASink)
{
    return ASink->ConnectedDispatcherCount() == 0 && Nameable(ASink->SourcePin());
}

std::string RootName(TComponent* ARoot) { return ARoot ? ARoot->Name() : std::string(); }

// Placeholders standing for APin (by either of its names, with and without the root)
// hand their links to it. An error ends the search.
void ClaimPlaceholders(TPNBasicPin* APin)
{
    TComponent* root = APin->GetRoot();
    std::vector<TPNBasicPin*> tried;  // one that stays (being edited) is not tried again
    for (;;) {
        TPNUnloadedPin* ph = nullptr;
        try {
            for (const std::string& n : {APin->GetFullName(true), APin->GetFullName(false),
                                         APin->GetFullIdentName(true), APin->GetFullIdentName(false)})
                if ((ph = UnloadedPins::GetByIdentName(root, n)) != nullptr)
                    break;
            if (!ph || std::find(tried.begin(), tried.end(), ph) != tried.end())
                return;
            tried.push_back(ph);
            ph->PopulatePinAndDestroy(APin);
        } catch (...) {
            return;
        }
    }
}

// Links read from a stored form: far pin and ordering pin may be placeholders made for
// this link alone; when the link was not made, or an ordering was not kept, they go.
void LinkStored(TPNBasicPin* APin, TPNBasicPin* AFar, TPNBasicPin* AAfter)
{
    TPNPlaceholderHold hold {AFar, AAfter};
    if (AFar)
        APin->ConnectAfter(AFar, AAfter);
}

}  // namespace

void ClaimPlaceholdersOf(TComponent* AComponent)
{
    if (!AComponent || UnloadedPins::Count() == 0)
        return;
    std::vector<TPNBasicPin*> pins;
    ForEachPinBackwards([&](TPNBasicPin* p) {
        if (p->Owner() == AComponent && !IsUnloadedPin(p))
            pins.push_back(p);
    });
    for (TPNBasicPin* p : pins)
        ClaimPlaceholders(p);
}

// ------------------------------------------------------------------ pins

void TPNPin::DefineProperties(TFiler& Filer)
{
    inherited::DefineProperties(Filer);
    auto* source = dynamic_cast<TPNSourcePin*>(this);
    auto* sink = dynamic_cast<TPNSinkPin*>(this);
    auto* multi = dynamic_cast<TPNMultiSinkPin*>(this);
    bool storesLinks = (source && HasStoredSinks(source)) || (sink && HasStoredSource(sink)) ||
        (multi && HasStoredSinks(multi)) || IsStateStored(this);
    std::string rootName = RootName(GetRoot());

    auto adjust = [this](const std::string& AName) {
        return AdjustStoredName(AName, FLoadFormName, RootName(GetRoot()));
    };

    Filer.DefineProperty(
        "Form", [this](TReader& R) { FLoadFormName = R.ReadIdent(); },
        [rootName](TWriter& W) { W.WriteIdent(rootName); }, storesLinks && !rootName.empty());

    // A list of link entries: a source's sinks, or a multi-source sink's sources.
    auto readLinks = [this, adjust](TReader& R, TPNPinType AFarType) {
        ClaimPlaceholders(this);
        std::string from = GetFullName(true);
        R.ReadListBegin();
        while (!R.EndOfList()) {
            TStoredLink n = ReadLinkEntry(R);
            TPNBasicPin* far = AllPins::GetByNameCreate(GetRoot(), AFarType, adjust(n.Ident), adjust(n.Display), from);
            TPNBasicPin* after = nullptr;
            if (!n.After.empty())
                after = AllPins::GetByNameCreate(GetRoot(), AFarType, adjust(n.After), adjust(n.After), from);
            LinkStored(this, far, after);
        }
        R.ReadListEnd();
    };
    if (source) {
        Filer.DefineProperty(
            "SinkPins", [readLinks](TReader& R) { readLinks(R, TPNPinType::ptSink); },
            [source](TWriter& W) { WriteSinkList(W, source); }, HasStoredSinks(source));
    }
    if (multi) {
        Filer.DefineProperty(
            "SourcePin", [readLinks](TReader& R) { readLinks(R, TPNPinType::ptSource); },
            [multi](TWriter& W) { WriteSinkList(W, multi); }, HasStoredSinks(multi));
    }
    if (sink) {
        Filer.DefineProperty(
            "SourcePin",
            [this, sink, adjust](TReader& R) {
                ClaimPlaceholders(this);
                std::string from = GetFullName(true);
                TStoredLink n = ReadSinkForm(R);
                TPNBasicPin* far =
                    AllPins::GetByNameCreate(GetRoot(), TPNPinType::ptSource, adjust(n.Ident), adjust(n.Display), from);
                TPNBasicPin* after = nullptr;
                if (!n.After.empty())
                    after =
                        AllPins::GetByNameCreate(GetRoot(), TPNPinType::ptSink, adjust(n.After), adjust(n.After), from);
                LinkStored(sink, far, after);
            },
            [sink](TWriter& W) {
                TPNBasicPin* s = sink->SourcePin();
                WriteSinkForm(W, s, s->GetNotifyAfterPin(sink));
            },
            HasStoredSource(sink));
    }
    // "State" and, for a sink, "StateConverter".
    DefineStateProperties(Filer, this);
}

void TPNSinkPin::RecordPlaceholderSource(TPNBasicPin* APlaceholder)
{
    IPNLockSection w = WriteLock();
    FConnectionSourcePin = APlaceholder;
    FRealSourcePin = APlaceholder;
    NotePinReference(this, APlaceholder);
    FIntRealSourcePin = APlaceholder;
    FSubmitFunction = {};
    FConnectedID = GUID_NULL;
}

bool TPNSinkPin::TryLinkTo(TComponent* ARoot, const std::string& ASource, const std::string& ASourceName,
                           bool ASaveForm)
{
    if (SameText(ASource, "nil"))
        return Connect(nullptr);
    if (!ARoot)
        ARoot = GetRoot();
    std::string ident = ASource;
    std::string display = ASourceName.empty() ? ASource : ASourceName;
    if (ASaveForm) {
        ident = AdjustStoredName(ident, FLoadFormName, RootName(ARoot));
        display = AdjustStoredName(display, FLoadFormName, RootName(ARoot));
    }
    TPNBasicPin* far = AllPins::GetByNameCreate(ARoot, TPNPinType::ptSource, ident, display, GetFullName(true));
    if (!far)
        return false;
    TPNPlaceholderHold hold {far};
    return Connect(far);
}

// ------------------------------------------------------------------ pin lists

std::string TPNPinList::Adjust(const std::string& AName)
{
    return AdjustStoredName(AName, FLoadFormName, RootName(FOwner ? GetRootComponent(FOwner) : nullptr));
}

bool TPNPinList::HasLinkedPins()
{
    int n = EntryCount();
    for (int i = 0; i < n; ++i) {
        TPNBasicPin* p = EntryPin(i);
        if (p && !IsUnloadedPin(p) && p->IsConnected())
            return true;
    }
    return false;
}

void TPNPinList::DefineProperties(TFiler& Filer)
{
    inherited::DefineProperties(Filer);
    std::string rootName = RootName(FOwner ? GetRootComponent(FOwner) : nullptr);
    Filer.DefineProperty(
        "Form", [this](TReader& R) { FLoadFormName = R.ReadIdent(); },
        [rootName](TWriter& W) { W.WriteIdent(rootName); }, !rootName.empty());
    Filer.DefineProperty(
        "Pins", [this](TReader& R) { ReadPins(R); }, [this](TWriter& W) { WritePins(W); }, HasLinkedPins());
    // Older resources say whether the list owns its pins; the owner decides that now.
    Filer.DefineProperty(
        "PinsOwner", [](TReader& R) { R.ReadBoolean(); }, nullptr, false);
}

void TPNPinList::WritePins(TWriter& W)
{
    W.WriteListBegin();
    int n = EntryCount();
    for (int i = 0; i < n; ++i) {
        TPNBasicPin* p = EntryPin(i);
        if (p && !IsUnloadedPin(p) && IsStateStored(p)) {
            // The state value, then the link part.
            W.WriteIdent("State");
            W.WriteListBegin();
            WriteStateValue(W, p);
            if (auto* source = dynamic_cast<TPNSourcePin*>(p); source && HasStoredSinks(source)) {
                W.WriteIdent("Sinks");
                WriteSinkList(W, source);
            }
            W.WriteListEnd();
        } else if (auto* source = dynamic_cast<TPNSourcePin*>(p); source && HasStoredSinks(source)) {
            W.WriteIdent("Sinks");
            WriteSinkList(W, source);
        } else if (auto* multi = dynamic_cast<TPNMultiSinkPin*>(p); multi && HasStoredSinks(multi)) {
            W.WriteIdent("Sources");
            WriteSinkList(W, multi);
        } else if (auto* sink = dynamic_cast<TPNSinkPin*>(p); sink && HasStoredSource(sink)) {
            TPNBasicPin* s = sink->SourcePin();
            WriteSinkForm(W, s, s->GetNotifyAfterPin(sink));
        } else {
            W.WriteIdent("nil");
        }
    }
    W.WriteListEnd();
}

void TPNPinList::ReadPins(TReader& R)
{
    R.ReadListBegin();
    for (int item = 0; !R.EndOfList(); ++item) {
        TValueType v = R.NextValue();
        if (v == vaList) {
            TStoredLink n = ReadSinkForm(R);
            ResolveAt(item, TPNPinType::ptSource, n.Ident, n.Display, n.After);
            continue;
        }
        if (v == vaNil) {
            R.ReadValue();
            continue;
        }
        std::string id = R.ReadIdent();
        if (SameText(id, "nil"))
            continue;
        auto readLinkPart = [&](const std::string& AId) {
            if (SameText(AId, "Sinks") || SameText(AId, "Sources")) {
                TPNPinType far = SameText(AId, "Sinks") ? TPNPinType::ptSink : TPNPinType::ptSource;
                R.ReadListBegin();
                while (!R.EndOfList()) {
                    TStoredLink n = ReadLinkEntry(R);
                    ResolveAt(item, far, n.Ident, n.Display, n.After);
                }
                R.ReadListEnd();
            } else {
                ResolveAt(item, TPNPinType::ptSource, AId, AId, "");
            }
        };
        if (SameText(id, "State")) {
            // The state value, then the pin's link part. A place whose pin does not exist
            // yet keeps each state name on a placeholder that joins the pin when it comes.
            R.ReadListBegin();
            TPNBasicPin* pin = EntryForReading(item, TPNPinType::ptSink);
            if (pin && !IsUnloadedPin(pin)) {
                ReadStateValue(R, pin);
            } else {
                TComponent* root = FOwner ? GetRootComponent(FOwner) : nullptr;
                while (!R.EndOfList() && R.NextValue() != vaIdent) {
                    std::string name = R.ReadString();
                    if (pin)
                        LinkStored(pin, PendingStatePin(root, name, pin->GetFullName(true)), nullptr);
                }
            }
            while (!R.EndOfList())
                readLinkPart(R.ReadIdent());
            R.ReadListEnd();
        } else {
            readLinkPart(id);
        }
    }
    R.ReadListEnd();
}

TPNBasicPin* TPNPinList::EntryForReading(int AItem, TPNPinType AFarType)
{
    TComponent* root = FOwner ? GetRootComponent(FOwner) : nullptr;
    if (AItem < EntryCount()) {
        TPNBasicPin* pin = EntryPin(AItem);
        if (pin && !IsUnloadedPin(pin)) {
            TPNUnloadedPin* ph = UnloadedPins::GetByIdentName(root, pin->GetFullIdentName(false));
            if (!ph)
                ph = UnloadedPins::GetByIdentName(root, pin->GetFullName(false));
            if (ph && ph != pin)
                ph->PopulatePinAndDestroy(pin);
        }
        return pin;
    }
    if (!FOwner)
        return nullptr;
    // Placeholders keep the places up to AItem, so that indexes keep their meaning; an
    // earlier reference to one of those list pins is found by its name and reused.
    std::string prefix = FOwner->Name() + "." + Name() + "._Pin";
    if (root && root != FOwner)
        prefix = root->Name() + "." + prefix;
    TPNPinType ownType = AFarType == TPNPinType::ptSink ? TPNPinType::ptSource : TPNPinType::ptSink;
    while (EntryCount() <= AItem) {
        std::string name = Adjust(prefix + std::to_string(EntryCount()));
        TPNBasicPin* p = AllPins::GetByNameCreate(root, ownType, name, name, name);
        if (!IsUnloadedPin(p) || static_cast<TPNUnloadedPin*>(p)->OwnedByList())
            p = Create<TPNUnloadedPin>(root, ownType, name, name, name);
        AddNamed(p, "");
    }
    return EntryPin(AItem);
}

void TPNPinList::ResolveAt(int AItem, TPNPinType AFarType, const std::string& AIdent, const std::string& ADisplay,
                           const std::string& AAfter)
{
    TPNBasicPin* pin = EntryForReading(AItem, AFarType);
    if (!pin)
        return;
    TComponent* root = FOwner ? GetRootComponent(FOwner) : nullptr;
    std::string from = pin->GetFullName(true);
    TPNBasicPin* far = AllPins::GetByNameCreate(root, AFarType, Adjust(AIdent), Adjust(ADisplay), from);
    TPNBasicPin* after = nullptr;
    if (!AAfter.empty())
        after = AllPins::GetByNameCreate(root, TPNPinType::ptSink, Adjust(AAfter), Adjust(AAfter), from);
    LinkStored(pin, far, after);
}

// ------------------------------------------------------------ stored state links

namespace {

// The converter a sink is joined through, when it is: its member's connection pin is
// another pin than the sink.
TPNFormatConverter* StateConverterOf(TPNBasicPin* APin, const TPNDispatcherRef& ADispatcher)
{
    if (!ADispatcher)
        return nullptr;
    for (auto& m : ADispatcher->Members())
        if (m.RealPin == APin && m.ConnectionPin != APin)
            return ConverterOfPin(m.ConnectionPin);
    return nullptr;
}

void WriteStateValueOf(TWriter& W, TPNBasicPin* APin, const TPNDispatcherRef& ADispatcher)
{
    TPNStateDispatcher::TStateValue v = ADispatcher->StateValueFor(APin);
    if (!v.IsList) {
        W.WriteString(v.Name);
        return;
    }
    W.WriteListBegin();
    W.WriteString(v.Name);
    for (auto& [ident, display] : v.Members)
        WriteIdentAndDisplay(W, ident, display);
    W.WriteListEnd();
}

// The dispatcher's name; the member entries of the list form name pins that join by
// name themselves when they are read, so they are passed over.
std::string ReadStateName(TReader& R)
{
    if (R.NextValue() != vaList)
        return R.ReadString();
    R.ReadListBegin();
    std::string name = R.ReadString();
    while (!R.EndOfList())
        R.SkipValue();
    R.ReadListEnd();
    return name;
}

TGUID ReadTypeID(TReader& R)
{
    std::string text = R.ReadString();
    TGUID id;
    if (!TGUID::TryParse(text, id))
        throw EPNException("The stored stream type \"" + text + "\" is no type id");
    return id;
}

}  // namespace

bool IsStateStored(TPNBasicPin* APin)
{
    TPNDispatcherRef d = TPNStateLinks::DispatcherOf(APin);
    return d && !StateConverterOf(APin, d);
}

void DefineStateProperties(TFiler& Filer, TPNPin* APin)
{
    TPNDispatcherRef d = TPNStateLinks::DispatcherOf(APin);
    TPNFormatConverter* conv = StateConverterOf(APin, d);
    Filer.DefineProperty(
        "State", [APin](TReader& R) { TPNStateLinks::ConnectToStateByName(APin, ReadStateName(R)); },
        [APin, d](TWriter& W) { WriteStateValueOf(W, APin, d); }, d && !conv);
    if (APin->GetPinType() != TPNPinType::ptSink)
        return;
    TGUID in, out;
    if (conv)
        for (auto& e : TypeConverters())
            if (e.ConverterClass == conv->ClassType()) {
                in = e.InputID;
                out = e.OutputID;
                break;
            }
    Filer.DefineProperty(
        "StateConverter",
        [APin](TReader& R) {
            R.ReadListBegin();
            std::string name = ReadStateName(R);
            TGUID from = ReadTypeID(R);
            TGUID to = ReadTypeID(R);
            R.ReadListEnd();
            TPNStateLinks::ConnectToStateByConverter(APin, name, from, to);
        },
        [APin, d, in, out](TWriter& W) {
            W.WriteListBegin();
            WriteStateValueOf(W, APin, d);
            W.WriteString(in.ToString());
            W.WriteString(out.ToString());
            W.WriteListEnd();
        },
        conv && !in.IsNull());
}

void WriteStateValue(TWriter& W, TPNBasicPin* APin)
{
    if (TPNDispatcherRef d = TPNStateLinks::DispatcherOf(APin))
        WriteStateValueOf(W, APin, d);
}

void ReadStateValue(TReader& R, TPNBasicPin* APin) { TPNStateLinks::ConnectToStateByName(APin, ReadStateName(R)); }

namespace {
// The ident name every pending state placeholder bears; its display name is the state's.
const char* const KPendingStateIdent = "State";
}  // namespace

TPNBasicPin* PendingStatePin(TComponent* ARoot, const std::string& AName, const std::string& ACreatedFrom)
{
    // One placeholder per name read: looked up by ident name, all would be one.
    return Create<TPNUnloadedPin>(ARoot, TPNPinType::ptState, KPendingStateIdent, AName, ACreatedFrom);
}

bool IsPendingStatePin(TPNBasicPin* APin)
{
    auto* p = IsUnloadedPin(APin) ? static_cast<TPNUnloadedPin*>(APin) : nullptr;
    return p && p->GetPinType() == TPNPinType::ptState && p->IdentName() == KPendingStateIdent;
}

}  // namespace dcs
