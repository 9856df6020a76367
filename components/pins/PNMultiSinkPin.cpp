#include "components/pins/PNMultiSinkPin.h"

#include "components/pins/PNHazardsInternal.h"
#include "components/pins/PNPinList.h"
#include "components/pins/PNPinReferrers.h"

#include <algorithm>

namespace dcs {

TPNMultiSinkPin::TPNMultiSinkPin(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock)
    : TPNBasicSinkPin(AOwner, std::move(AOwnerLock))
{
}

TPNMultiSinkPin::~TPNMultiSinkPin()
{
    {
        IPNDestroyLockSection d = FDestroyLock->DestroyLock();
        Disconnect();
    }
    std::vector<IntfPtr<IPNFormatConverter>> converters;
    {
        IPNLockSection w = WriteLock();
        converters.swap(FLinks.Converters());
        FLinks.Clear();
    }
}

// ------------------------------------------------------------------------ queries

int TPNMultiSinkPin::SourceCount() { return FLinks.Count(); }

TPNBasicPin* TPNMultiSinkPin::GetSource(int AIndex) { return FLinks.Get(AIndex); }

int TPNMultiSinkPin::ConverterCount() { return FLinks.ConverterCount(); }

IntfPtr<IPNFormatConverter> TPNMultiSinkPin::GetConverter(int AIndex) { return FLinks.GetConverter(AIndex); }

int32_t TPNMultiSinkPin::GetModificationLevel(TPNBasicPin* ASource) { return FLinks.Weight(ASource); }

TPNBasicPin* TPNMultiSinkPin::GetNotifyAfterPin(TPNBasicPin* ASource)
{
    TPNBasicPin* after = nullptr;
    if (FLinks.FindLink(ASource, &after, nullptr))
        return after;
    return TPNBasicSinkPin::GetNotifyAfterPin(ASource);
}

bool TPNMultiSinkPin::IsConnected()
{
    if (SourceCount() > 0)
        return true;
    return TPNBasicSinkPin::IsConnected();
}

bool TPNMultiSinkPin::IsConnectedTo(TPNBasicPin* AOtherPin)
{
    if (AOtherPin && FLinks.Contains(AOtherPin))
        return true;
    return TPNBasicSinkPin::IsConnectedTo(AOtherPin);
}

bool TPNMultiSinkPin::IsConnectedByConverterTo(TPNBasicPin* AOtherPin)
{
    if (TPNBasicSinkPin::IsConnectedByConverterTo(AOtherPin))
        return true;
    IPNLockSection r = ReadLock();
    int i = FLinks.IndexOfRealPin(AOtherPin);
    return i >= 0 && FLinks[size_t(i)].ConnectionPin != AOtherPin;
}

bool TPNMultiSinkPin::IsLinkedTo(const std::string& APinName) { return FLinks.IsLinkedTo(APinName); }

TGUID TPNMultiSinkPin::GetConnectionID(TPNBasicPin* AOtherPin)
{
    TGUID id;
    if (FLinks.FindLink(AOtherPin, nullptr, &id))
        return id;
    return TPNBasicSinkPin::GetConnectionID(AOtherPin);
}

bool TPNMultiSinkPin::DependsOn(TPNBasicPin* AOtherPin)
{
    std::vector<TPNBasicPin*> sources = FLinks.RealPins();
    for (TPNBasicPin* s : sources)
        if (s == AOtherPin || s->DependsOn(AOtherPin))
            return true;
    return false;
}

bool TPNMultiSinkPin::DirectDependsOn(TPNBasicPin* AOtherPin)
{
    std::vector<TPNBasicPin*> sources = FLinks.RealPins();
    for (TPNBasicPin* s : sources)
        if (s->DirectDependsOn(AOtherPin))
            return true;
    return false;
}

std::string TPNMultiSinkPin::UpStreamLinkName()
{
    IPNLockSection r = ReadLock();
    std::string name;
    for (auto& e : FLinks) {
        std::string n = GetStreamTypeName(e->ConnectedID);
        if (name.empty())
            name = n;
        else if (n != name)
            return "Multiple...";
    }
    return name;
}

std::string TPNMultiSinkPin::DownStreamLinkName()
{
    std::vector<TPNBasicPin*> sources = FLinks.RealPins();
    std::string name;
    for (TPNBasicPin* s : sources) {
        std::string n = GetStreamTypeName(s->GetConnectionID(this));
        if (name.empty())
            name = n;
        else if (n != name)
            return "Multiple...";
    }
    return name;
}

std::string TPNMultiSinkPin::GetLinkDisplayText()
{
    std::vector<TPNBasicPin*> sources = FLinks.RealPins();
    if (sources.empty())
        return "(Disconnected)";
    if (sources.size() == 1)
        return sources[0]->GetFullName(sources[0]->GetRootName() != GetRootName());
    return "( " + std::to_string(sources.size()) + " Links )";
}

// --------------------------------------------------------------------- linking

bool TPNMultiSinkPin::CanConnectAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin, bool AUseConverters)
{
    if (!AOtherPin)
        return true;
    return AOtherPin->CanConnectAfter(this, ANotifyAfterPin, AUseConverters);
}

bool TPNMultiSinkPin::ConnectAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin)
{
    if (AOtherPin == this)
        return false;
    if (AOtherPin && !CanConnectAfter(AOtherPin, ANotifyAfterPin, true))
        return false;
    return InternalConnect(AOtherPin, ANotifyAfterPin);
}

void TPNMultiSinkPin::ChooseEntryType(TPNPinEntry& AEntry)
{
    auto* source = dynamic_cast<TPNSourcePin*>(AEntry.ConnectionPin);
    if (!source)
        return;
    TClass cc = nullptr;
    IntfPtr<IPNFormatConverter> c;
    TGUID offer = TPNSourcePin::ChooseLinkType(source, this, true, cc, c, false);
    AEntry.ConnectedID = ChooseSinkType(this, source, offer);
    AEntry.SubmitFunction = GetSubmitFunction(AEntry.ConnectedID);
}

bool TPNMultiSinkPin::InternalConnect(TPNBasicPin* APin, TPNBasicPin* ANotifyAfterPin)
{
    if (!APin)
        return false;
    bool linked = false;
    {
        IPNLockSection r = ReadLock();
        for (auto& e : FLinks)
            if (e->ConnectionPin == APin)
                return true;
        linked = FLinks.IndexOfRealPin(APin) >= 0;
    }
    if (linked && APin->GetNotifyAfterPin(this) == ANotifyAfterPin)
        return true;
    if (!CanConnectTo(APin, true))
        return false;

    auto* source = dynamic_cast<TPNSourcePin*>(APin);
    if (!source)
        return APin->ConnectAfter(this, ANotifyAfterPin);  // a placeholder links itself

    // The output of a converter that a source has just put in front of this pin: it
    // becomes the connection pin of that source's entry.
    TPNPinEntry* entry = nullptr;
    if (TPNFormatConverter* conv = ConverterOfPin(source); conv && conv->OutputPin() == source) {
        TPNBasicPin* feeder = conv->InputPin()->SourcePin();
        IPNLockSection w = WriteLock();
        std::vector<IntfPtr<IPNFormatConverter>>& converters = FLinks.Converters();
        for (auto& e : FLinks)
            if (feeder && e->RealPin == feeder && e->ConnectionPin == feeder) {
                e->ConnectionPin = source;
                NotePinReference(this, source);
                e->Converter = IntfPtr<IPNFormatConverter>(conv);
                FLinks.Changed();
                if (std::find(converters.begin(), converters.end(), e->Converter) == converters.end())
                    converters.push_back(e->Converter);
                entry = e.get();
                break;
            }
    }
    if (!entry) {
        if (linked)
            DisconnectFrom(source);  // relinked with another after-pin
        IPNLockSection w = WriteLock();
        entry = &FLinks.Add(source, source, ANotifyAfterPin);
    }
    try {
        IPNLockSection sw = source->WriteLock();
        source->AddLink(this, ANotifyAfterPin);
    } catch (...) {
        IPNLockSection w = WriteLock();
        if (FLinks.Holds(entry) && entry->RealPin == source)
            FLinks.Remove(entry);
        throw;
    }
    auto chooseLive = [this, entry]() {
        IPNLockSection w = WriteLock();
        if (FLinks.Holds(entry))
            ChooseEntryType(*entry);
    };
    chooseLive();
    {
        IPNLockSection sw = source->WriteLock();
        source->SendNewLinkTo(this);
    }
    chooseLive();
    return true;
}

void TPNMultiSinkPin::AddLink(TPNBasicPin* APin, TPNBasicPin* ANotifyAfterPin)
{
    // A pin that links itself to this one (a placeholder for a source not loaded yet);
    // sources are recorded by InternalConnect, whichever end the caller started from.
    if (!APin || APin == this)
        return;
    IPNLockSection w = WriteLock();
    if (FLinks.IndexOfRealPin(APin) >= 0)
        return;
    TPNPinEntry& e = FLinks.Add(APin, APin, ANotifyAfterPin);
    try {
        ChooseEntryType(e);
    } catch (...) {
        FLinks.Remove(&e);
        throw;
    }
}

bool TPNMultiSinkPin::NamesAfterPin(TPNBasicPin* APin) { return FLinks.NamesAfterPin(APin); }

bool TPNMultiSinkPin::DeleteEntriesOf(TPNBasicPin* APin, std::vector<IntfPtr<IPNFormatConverter>>& AReleased,
                                      std::vector<TPNPlaceholderRef>* AOrderings)
{
    bool any = false;
    for (size_t i = FLinks.Size(); i-- > 0;)
        if (FLinks[i].RealPin == APin || FLinks[i].ConnectionPin == APin) {
            if (AOrderings)
                AOrderings->push_back(PlaceholderRefOf(FLinks[i].NotifyAfterPin));
            FLinks.Erase(i);
            any = true;
        }
    // A converter stays while some entry still goes through it.
    std::vector<IntfPtr<IPNFormatConverter>>& converters = FLinks.Converters();
    for (size_t c = converters.size(); c-- > 0;) {
        bool used = false;
        for (auto& e : FLinks)
            used = used || e->Converter == converters[c];
        if (!used) {
            AReleased.push_back(converters[c]);
            converters.erase(converters.begin() + long(c));
        }
    }
    return any;
}

void TPNMultiSinkPin::RemoveLink(TPNBasicPin* APin, bool AKeepPlaceholder)
{
    std::vector<IntfPtr<IPNFormatConverter>> released;
    std::vector<TPNPlaceholderRef> orderings;
    bool removed;
    {
        IPNDestroyLockSection d = FDestroyLock->DestroyLock();
        IPNLockSection w = WriteLock();
        if (FLinks.InDisconnect)
            return;
        FLinks.InDisconnect = true;
        removed = DeleteEntriesOf(APin, released, &orderings);
        FLinks.InDisconnect = false;
    }
    IPNLockSection u = UnlockAll();
    released.clear();
    ReleaseUnusedPlaceholders(std::move(orderings));
    // A source of a window closed in the designer: the link waits on a placeholder named
    // after it and comes back when that window is opened again.
    if (removed && AKeepPlaceholder && !IsUnloadedPin(APin) && !IsRootDestroying()) {
        // The closing window may have let go of the source's component already: its
        // root is the name the pin remembers.
        std::string root = APin->GetRootName();
        auto withRoot = [&root](std::string AName) {
            return root.empty() || AName.rfind(root + ".", 0) == 0 ? AName : root + "." + AName;
        };
        TPNBasicPin* ph =
            Create<TPNUnloadedPin>(GetRoot(), TPNPinType::ptSource, withRoot(APin->GetFullIdentName(true)),
                                   withRoot(APin->GetFullName(true)), GetFullName(true));
        ph->ConnectAfter(this, nullptr);
    }
}

void TPNMultiSinkPin::DisconnectFrom(TPNBasicPin* AOtherPin)
{
    bool linked;
    {
        IPNLockSection r = ReadLock();
        linked = AOtherPin && FLinks.IndexOfRealPin(AOtherPin) >= 0;
    }
    if (!linked) {
        TPNBasicSinkPin::DisconnectFrom(AOtherPin);
        return;
    }
    PN_ASSERT_HAZARD(!pnhazard::InDeliveryOf(AOtherPin),
                     "a multi-source sink is unlinked by a thread inside a delivery of the source");
    bool keep = IsDesigning() && IsRootDestroying();
    std::vector<IntfPtr<IPNFormatConverter>> released;
    std::vector<TPNPlaceholderRef> orderings;
    {
        // Upstream sends of this pin that run now finish first; then the entry goes.
        IPNDestroyLockSection d = FDestroyLock->DestroyLock();
        IPNLockSection w = WriteLock();
        DeleteEntriesOf(AOtherPin, released, &orderings);
    }
    // The source forgets the link under its own destroy lock, which waits for the
    // deliveries it is making to this pin on other threads. No section of this pin is
    // held meanwhile: a receiver may take it during such a delivery.
    {
        // Levels of this pin that the caller holds (a destructor holds a write section)
        // are given up meanwhile, so a delivery that asks for them can finish.
        IPNLockSection own = UnlockAll();
        IPNLockSection sw = AOtherPin->WriteLock();
        AOtherPin->RemoveLink(this, keep);
    }
    released.clear();
    if (IsUnloadedPin(AOtherPin))
        static_cast<TPNUnloadedPin*>(AOtherPin)->ReleaseIfUnused();  // may free it
    else
        AOtherPin->AfterUnlink();
    ReleaseUnusedPlaceholders(std::move(orderings));
}

void TPNMultiSinkPin::Disconnect()
{
    BeforeDisconnect();
    TPNBasicSinkPin::Disconnect();  // the state-link part
    for (;;) {
        TPNBasicPin* source = nullptr;
        {
            IPNLockSection r = ReadLock();
            if (FLinks.Empty())
                break;
            source = FLinks.Back().RealPin;
        }
        source->BeforeDisconnect();
        DisconnectFrom(source);
    }
}

void TPNMultiSinkPin::PinDestroyed(TPNBasicPin* APin)
{
    TPNBasicSinkPin::PinDestroyed(APin);
    std::vector<IntfPtr<IPNFormatConverter>> released;
    {
        IPNLockSection w = WriteLock();
        DeleteEntriesOf(APin, released);
        FLinks.ForgetAfterPin(APin);
    }
    IPNLockSection u = UnlockAll();
    released.clear();
}

void TPNMultiSinkPin::Assign(TPersistent* ASource)
{
    if (!ASource) {
        Disconnect();
        return;
    }
    if (auto* other = dynamic_cast<TPNMultiSinkPin*>(ASource)) {
        int n = other->SourceCount();
        for (int i = 0; i < n; ++i)
            Connect(other->GetSource(i));
        return;
    }
    TPNBasicSinkPin::Assign(ASource);
}

void TPNMultiSinkPin::UpdateConnectedType(const TGUID&, TPNBasicPin*)
{
    IPNLockSection w = WriteLock();
    for (auto& e : FLinks)
        ChooseEntryType(*e);
}

// ------------------------------------------------------------------- upstream send

TPNNotifyResult TPNMultiSinkPin::Notify(IPNNotifyOperation* AOperation)
{
    // The owner's levels are given up around each delivery only.
    return FLinks.Send(AOperation, nullptr, FOwnerLock.Get());
}

}  // namespace dcs
