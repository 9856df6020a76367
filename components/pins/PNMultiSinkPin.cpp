#include "components/pins/PNMultiSinkPin.h"

#include "components/pins/PNHazardsInternal.h"
#include "components/pins/PNPinList.h"

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
        converters.swap(FFormatConverters);
        FSourcePins.clear();
    }
}

int TPNMultiSinkPin::IndexOfRealPin(TPNBasicPin* APin)
{
    for (size_t i = 0; i < FSourcePins.size(); ++i)
        if (FSourcePins[i]->RealPin == APin)
            return int(i);
    return -1;
}

// ------------------------------------------------------------------------ queries

int TPNMultiSinkPin::SourceCount()
{
    IPNLockSection r = ReadLock();
    return int(FSourcePins.size());
}

TPNBasicPin* TPNMultiSinkPin::GetSource(int AIndex)
{
    IPNLockSection r = ReadLock();
    if (AIndex < 0 || size_t(AIndex) >= FSourcePins.size())
        RaiseIndexOutOfRange(AIndex);
    return FSourcePins[size_t(AIndex)]->RealPin;
}

int TPNMultiSinkPin::ConverterCount()
{
    IPNLockSection r = ReadLock();
    return int(FFormatConverters.size());
}

IntfPtr<IPNFormatConverter> TPNMultiSinkPin::GetConverter(int AIndex)
{
    IPNLockSection r = ReadLock();
    if (AIndex < 0 || size_t(AIndex) >= FFormatConverters.size())
        RaiseIndexOutOfRange(AIndex);
    return FFormatConverters[size_t(AIndex)];
}

int32_t TPNMultiSinkPin::GetModificationLevel(TPNBasicPin* ASource)
{
    IPNLockSection r = ReadLock();
    int i = IndexOfRealPin(ASource);
    return i < 0 ? 0 : FSourcePins[size_t(i)]->ModificationLevel;
}

TPNBasicPin* TPNMultiSinkPin::GetNotifyAfterPin(TPNBasicPin* ASource)
{
    {
        IPNLockSection r = ReadLock();
        int i = IndexOfRealPin(ASource);
        if (i >= 0)
            return FSourcePins[size_t(i)]->NotifyAfterPin;
    }
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
    {
        IPNLockSection r = ReadLock();
        if (AOtherPin && IndexOfRealPin(AOtherPin) >= 0)
            return true;
    }
    return TPNBasicSinkPin::IsConnectedTo(AOtherPin);
}

bool TPNMultiSinkPin::IsConnectedByConverterTo(TPNBasicPin* AOtherPin)
{
    if (TPNBasicSinkPin::IsConnectedByConverterTo(AOtherPin))
        return true;
    IPNLockSection r = ReadLock();
    int i = IndexOfRealPin(AOtherPin);
    return i >= 0 && FSourcePins[size_t(i)]->ConnectionPin != AOtherPin;
}

bool TPNMultiSinkPin::IsLinkedTo(const std::string& APinName)
{
    std::vector<TPNBasicPin*> sources;
    {
        IPNLockSection r = ReadLock();
        for (auto& e : FSourcePins)
            sources.push_back(e->RealPin);
    }
    std::string root = GetRootName();
    for (TPNBasicPin* s : sources)
        if (s->GetFullName(true) == APinName || (s->GetRootName() == root && s->GetFullName(false) == APinName))
            return true;
    return false;
}

TGUID TPNMultiSinkPin::GetConnectionID(TPNBasicPin* AOtherPin)
{
    {
        IPNLockSection r = ReadLock();
        int i = IndexOfRealPin(AOtherPin);
        if (i >= 0)
            return FSourcePins[size_t(i)]->ConnectedID;
    }
    return TPNBasicSinkPin::GetConnectionID(AOtherPin);
}

bool TPNMultiSinkPin::DependsOn(TPNBasicPin* AOtherPin)
{
    std::vector<TPNBasicPin*> sources;
    {
        IPNLockSection r = ReadLock();
        for (auto& e : FSourcePins)
            sources.push_back(e->RealPin);
    }
    for (TPNBasicPin* s : sources)
        if (s == AOtherPin || s->DependsOn(AOtherPin))
            return true;
    return false;
}

bool TPNMultiSinkPin::DirectDependsOn(TPNBasicPin* AOtherPin)
{
    std::vector<TPNBasicPin*> sources;
    {
        IPNLockSection r = ReadLock();
        for (auto& e : FSourcePins)
            sources.push_back(e->RealPin);
    }
    for (TPNBasicPin* s : sources)
        if (s->DirectDependsOn(AOtherPin))
            return true;
    return false;
}

std::string TPNMultiSinkPin::UpStreamLinkName()
{
    IPNLockSection r = ReadLock();
    std::string name;
    for (auto& e : FSourcePins) {
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
    std::vector<TPNBasicPin*> sources;
    {
        IPNLockSection r = ReadLock();
        for (auto& e : FSourcePins)
            sources.push_back(e->RealPin);
    }
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
    std::vector<TPNBasicPin*> sources;
    {
        IPNLockSection r = ReadLock();
        for (auto& e : FSourcePins)
            sources.push_back(e->RealPin);
    }
    if (sources.empty())
        return "(Disconnected)";
    if (sources.size() == 1)
        return sources[0]->GetFullName(sources[0]->GetRootName() != GetRootName());
    return "( " + std::to_string(sources.size()) + " Links )";
}

// --------------------------------------------------------------------- linking

bool TPNMultiSinkPin::CanConnectAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin,
                                      bool AUseConverters)
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

void TPNMultiSinkPin::ChooseEntryType(TEntry& AEntry)
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
        for (auto& e : FSourcePins)
            if (e->ConnectionPin == APin)
                return true;
        linked = IndexOfRealPin(APin) >= 0;
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
    TEntry* entry = nullptr;
    if (TPNFormatConverter* conv = ConverterOfPin(source); conv && conv->OutputPin() == source) {
        TPNBasicPin* feeder = conv->InputPin()->SourcePin();
        IPNLockSection w = WriteLock();
        for (auto& e : FSourcePins)
            if (feeder && e->RealPin == feeder && e->ConnectionPin == feeder) {
                e->ConnectionPin = source;
                e->Converter = IntfPtr<IPNFormatConverter>(conv);
                if (std::find(FFormatConverters.begin(), FFormatConverters.end(), e->Converter) ==
                    FFormatConverters.end())
                    FFormatConverters.push_back(e->Converter);
                entry = e.get();
                break;
            }
    }
    if (!entry) {
        if (linked)
            DisconnectFrom(source);  // relinked with another after-pin
        auto owned = std::make_unique<TEntry>();
        owned->RealPin = source;
        owned->ConnectionPin = source;
        owned->NotifyAfterPin = ANotifyAfterPin;
        entry = owned.get();
        IPNLockSection w = WriteLock();
        FSourcePins.push_back(std::move(owned));
    }
    try {
        IPNLockSection sw = source->WriteLock();
        source->AddLink(this, ANotifyAfterPin);
    } catch (...) {
        std::vector<IntfPtr<IPNFormatConverter>> released;
        {
            IPNLockSection w = WriteLock();
            auto it = std::find_if(FSourcePins.begin(), FSourcePins.end(),
                                   [entry](const auto& p) { return p.get() == entry; });
            if (it != FSourcePins.end() && (*it)->RealPin == source)
                FSourcePins.erase(it);
        }
        throw;
    }
    auto chooseLive = [this, entry]() {
        IPNLockSection w = WriteLock();
        for (auto& e : FSourcePins)
            if (e.get() == entry)
                ChooseEntryType(*e);
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
    if (IndexOfRealPin(APin) >= 0)
        return;
    auto e = std::make_unique<TEntry>();
    e->RealPin = APin;
    e->ConnectionPin = APin;
    e->NotifyAfterPin = ANotifyAfterPin;
    ChooseEntryType(*e);
    FSourcePins.push_back(std::move(e));
}

bool TPNMultiSinkPin::NamesAfterPin(TPNBasicPin* APin)
{
    IPNLockSection r = ReadLock();
    for (auto& e : FSourcePins)
        if (e->NotifyAfterPin == APin)
            return true;
    return false;
}

bool TPNMultiSinkPin::DeleteEntriesOf(TPNBasicPin* APin, std::vector<IntfPtr<IPNFormatConverter>>& AReleased,
                                      std::vector<TPNPlaceholderRef>* AOrderings)
{
    bool any = false;
    for (size_t i = FSourcePins.size(); i-- > 0;)
        if (FSourcePins[i]->RealPin == APin || FSourcePins[i]->ConnectionPin == APin) {
            if (AOrderings)
                AOrderings->push_back(PlaceholderRefOf(FSourcePins[i]->NotifyAfterPin));
            FSourcePins.erase(FSourcePins.begin() + long(i));
            any = true;
        }
    // A converter stays while some entry still goes through it.
    for (size_t c = FFormatConverters.size(); c-- > 0;) {
        bool used = false;
        for (auto& e : FSourcePins)
            used = used || e->Converter == FFormatConverters[c];
        if (!used) {
            AReleased.push_back(FFormatConverters[c]);
            FFormatConverters.erase(FFormatConverters.begin() + long(c));
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
        if (FInDisconnect)
            return;
        FInDisconnect = true;
        removed = DeleteEntriesOf(APin, released, &orderings);
        FInDisconnect = false;
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
        TPNBasicPin* ph = Create<TPNUnloadedPin>(GetRoot(), TPNPinType::ptSource, withRoot(APin->GetFullIdentName(true)),
                                                 withRoot(APin->GetFullName(true)), GetFullName(true));
        ph->ConnectAfter(this, nullptr);
    }
}

void TPNMultiSinkPin::DisconnectFrom(TPNBasicPin* AOtherPin)
{
    bool linked;
    {
        IPNLockSection r = ReadLock();
        linked = AOtherPin && IndexOfRealPin(AOtherPin) >= 0;
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
            if (FSourcePins.empty())
                break;
            source = FSourcePins.back()->RealPin;
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
        for (auto& e : FSourcePins)
            if (e->NotifyAfterPin == APin)
                e->NotifyAfterPin = nullptr;
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
    for (auto& e : FSourcePins)
        ChooseEntryType(*e);
}

// ------------------------------------------------------------------- upstream send

TPNNotifyResult TPNMultiSinkPin::Notify(IPNNotifyOperation* AOperation)
{
    IntfPtr<IPNNotifyOperation> hold(AOperation);
    struct TCopy {
        TPNBasicPin* ConnectionPin;
        TPNBasicPin* RealPin;
        TGUID ID;
        TPNSubmit Submit;
        IntfPtr<IPNFormatConverter> Converter;  // kept alive for the pass
    };
    std::vector<TCopy> copies;
    IPNLockSection r = ReadLock();
    copies.reserve(FSourcePins.size());
    for (auto& e : FSourcePins)
        copies.push_back({e->ConnectionPin, e->RealPin, e->ConnectedID, e->SubmitFunction, e->Converter});
    // A converter shared by several links is sent the operation once.
    for (size_t i = copies.size(); i-- > 0;) {
        if (!copies[i].Submit.Assigned() || copies[i].ConnectionPin == copies[i].RealPin)
            continue;
        for (size_t j = 0; j < i; ++j)
            if (copies[j].ConnectionPin == copies[i].ConnectionPin) {
                copies[i].Submit = {};
                break;
            }
    }
    if (FInSending > 200) {
        r.Release();
        throw EPNException(SPNDependsOnItself);
    }
    r.Release();
    {
        IPNLockSection w = WriteLock();
        ++FInSending;
    }
    struct TDone {
        TPNMultiSinkPin* Pin;
        ~TDone()
        {
            IPNLockSection w = Pin->WriteLock();
            if (!Pin->FInDisconnect)
                Pin->Reorder();
            --Pin->FInSending;
        }
    } done{this};

    TPNNotifyResult result = TPNBasicSinkPin::Notify(AOperation);  // the state dispatcher's pins
    for (size_t i = 0; i < copies.size(); ++i) {
        TCopy& c = copies[i];
        if (!c.Submit.Assigned())
            continue;
        TPNNotifyState state;
        if (i + 1 == copies.size())
            state.Include(nsLastIteration);
        IPNDestroyLockSection d = FDestroyLock->Lock();
        if (!d)
            continue;
        // Entries are deleted only under this pin's destroy lock: one that is still
        // listed now stays until this delivery returns.
        bool live = false;
        {
            IPNLockSection check = ReadLock();
            for (auto& e : FSourcePins)
                live = live || (e->RealPin == c.RealPin && e->ConnectionPin == c.ConnectionPin);
        }
        if (!live)
            continue;
        TPNNotifyResult answer;
        {
            IPNLockSection ownerUnlock;
            if (FOwnerLock)
                ownerUnlock = FOwnerLock->UnlockAll();
            pnhazard::TDelivery inDelivery(this);
            answer = c.Submit(static_cast<IPNStream*>(c.ConnectionPin), &c.ID, AOperation, state);
        }
        if (answer.Contains(nrDataChanged)) {
            IPNLockSection w = WriteLock();
            int k = IndexOfRealPin(c.RealPin);
            if (k >= 0 && FSourcePins[size_t(k)]->ModificationLevel < 10000)
                FSourcePins[size_t(k)]->ModificationLevel += 4;
        }
    }
    IPNLockSection u = UnlockAll();
    copies.clear();  // converter references go with no section of this pin held
    return result;
}

void TPNMultiSinkPin::Reorder()
{
    for (auto& e : FSourcePins)
        if (e->ModificationLevel > 0)
            --e->ModificationLevel;
    std::stable_sort(FSourcePins.begin(), FSourcePins.end(),
                     [](const auto& a, const auto& b) { return a->ModificationLevel < b->ModificationLevel; });
    // One pass in the order before it: an entry ordered after a pin whose entry lies
    // further on moves to that position. Each entry moves at most once, so after-pins
    // that loop cannot make the pass go round.
    std::vector<TEntry*> order;
    for (auto& e : FSourcePins)
        if (e->NotifyAfterPin)
            order.push_back(e.get());
    for (TEntry* e : order) {
        size_t i = 0;
        while (i < FSourcePins.size() && FSourcePins[i].get() != e)
            ++i;
        int j = IndexOfRealPin(e->NotifyAfterPin);
        if (j < 0 || size_t(j) <= i)
            continue;
        auto moved = std::move(FSourcePins[i]);
        FSourcePins.erase(FSourcePins.begin() + long(i));
        FSourcePins.insert(FSourcePins.begin() + j, std::move(moved));
    }
}

}  // namespace dcs
