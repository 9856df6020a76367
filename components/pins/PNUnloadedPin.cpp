#include "components/pins/PNUnloadedPin.h"

#include "components/pins/PNPinReferrers.h"
#include "components/pins/PNStatePins.h"

#include "platform/base/Strings.h"

#include <algorithm>
#include <atomic>
#include <exception>

namespace dcs {

// ------------------------------------------------------------------ name lookups

namespace {

std::string WithoutFirstPart(const std::string& AName)
{
    size_t p = AName.find('.');
    return p == std::string::npos ? std::string() : AName.substr(p + 1);
}

std::string FirstPart(const std::string& AName)
{
    size_t p = AName.find('.');
    return p == std::string::npos ? AName : AName.substr(0, p);
}

// Every full name of a pin with an owner begins with the owner's name, or with the
// root's name and then the owner's: a cheap test before the names are composed.
bool OwnerMayMatch(TPNBasicPin* APin, std::string_view AName)
{
    TComponent* owner = APin->Owner();
    if (!owner || IsUnloadedPin(APin))
        return true;
    size_t dot = AName.find('.');
    std::string_view first = AName.substr(0, dot);
    if (SameText(first, owner->Name()))
        return true;
    if (dot == std::string_view::npos)
        return false;
    std::string_view rest = AName.substr(dot + 1);
    return SameText(rest.substr(0, rest.find('.')), owner->Name());
}

// A placeholder belongs to the window whose stored links made it, so that a window of
// the same name never takes it for its own.
TComponent* RootOf(TPNBasicPin* APin)
{
    return IsUnloadedPin(APin) ? static_cast<TPNUnloadedPin*>(APin)->StoredRoot() : APin->GetRoot();
}

bool MatchesIdentName(TPNBasicPin* APin, TComponent* ARoot, const std::string& AName, const std::string& AShort)
{
    if (!OwnerMayMatch(APin, AName))
        return false;
    TComponent* root = RootOf(APin);
    if (root && ARoot && root != ARoot)
        // A pin of another window: only by its full name, and never when the two windows
        // carry one name (the window read under a new name must find its own pins).
        return !SameText(root->Name(), ARoot->Name()) && SameText(APin->GetFullIdentName(true), AName);
    if (!ARoot || SameText(APin->GetRootName(), ARoot->Name()))
        if (SameText(APin->GetFullIdentName(false), AName))
            return true;
    std::string full = APin->GetFullIdentName(true);
    return SameText(full, AName) || (!AShort.empty() && SameText(full, AShort));
}

bool MatchesDisplayName(TPNBasicPin* APin, TComponent* ARoot, const std::string& AName)
{
    if (!OwnerMayMatch(APin, AName))
        return false;
    TComponent* root = RootOf(APin);
    if (root && ARoot && root != ARoot)
        return false;
    return SameText(APin->GetFullName(false), AName) || SameText(APin->GetFullName(true), AName);
}

// Placeholders waiting for their pins. The register owns them: only Free through it (or
// a placeholder freeing itself, which leaves it first) ends one.
using TUnloadedRegister = TPNPinRegister<TPNUnloadedPin>;

TUnloadedRegister& Unloaded() { return TUnloadedRegister::Instance(); }

void LeaveUnloaded(TPNUnloadedPin* APin)
{
    auto& r = Unloaded();
    TPNCriticalSectionLock g(r.Section);
    std::erase(r.Pins, APin);
}

// The placeholder ARef names, while it is registered; nil once it has gone.
TPNUnloadedPin* Registered(const TPNPlaceholderRef& ARef)
{
    if (!ARef.Pin)
        return nullptr;
    auto& r = Unloaded();
    TPNCriticalSectionLock g(r.Section);
    for (TPNUnloadedPin* p : r.Pins)
        if (p == ARef.Pin)
            return p->Serial() == ARef.Serial ? p : nullptr;
    return nullptr;
}

std::atomic<uint64_t> GNextSerial {1};

}  // namespace

std::string AdjustStoredName(const std::string& AName, const std::string& ASavedForm, const std::string& ACurrentForm)
{
    if (ASavedForm.empty() || ACurrentForm.empty() || AName.size() <= ASavedForm.size() ||
        AName[ASavedForm.size()] != '.' || !SameText(std::string_view(AName).substr(0, ASavedForm.size()), ASavedForm))
        return AName;
    return ACurrentForm + AName.substr(ASavedForm.size());
}

TPNBasicPin* AllPins::GetByIdentName(TComponent* ARoot, const std::string& APinName)
{
    if (APinName.empty())
        return nullptr;
    std::string shortName = WithoutFirstPart(APinName);
    TPNBasicPin* found = nullptr;
    // The walk runs from the last pin to the first; the last match seen is the first in
    // index order.
    ForEachPinBackwards([&](TPNBasicPin* p) {
        if (MatchesIdentName(p, ARoot, APinName, shortName))
            found = p;
    });
    return found;
}

TPNBasicPin* AllPins::GetByDisplayName(TComponent* ARoot, const std::string& APinName)
{
    if (APinName.empty())
        return nullptr;
    TPNBasicPin* found = nullptr;
    ForEachPinBackwards([&](TPNBasicPin* p) {
        if (MatchesDisplayName(p, ARoot, APinName))
            found = p;
    });
    return found;
}

TPNBasicPin* AllPins::GetByNameCreate(TComponent* ARoot, TPNPinType AType, const std::string& APinIdentName,
                                      const std::string& APinDisplayName, const std::string& ACreatedFrom)
{
    if (APinIdentName.empty())
        return nullptr;
    if (TPNBasicPin* p = GetByIdentName(ARoot, APinIdentName))
        return p;
    if (TPNBasicPin* p = GetByDisplayName(ARoot, APinDisplayName))
        return p;
    return Create<TPNUnloadedPin>(ARoot, AType, APinIdentName,
                                  APinDisplayName.empty() ? APinIdentName : APinDisplayName, ACreatedFrom);
}

int UnloadedPins::Count()
{
    auto& r = Unloaded();
    TPNCriticalSectionLock g(r.Section);
    return int(r.Pins.size());
}

TPNUnloadedPin* UnloadedPins::Get(int AIndex)
{
    auto& r = Unloaded();
    TPNCriticalSectionLock g(r.Section);
    if (AIndex < 0 || size_t(AIndex) >= r.Pins.size())
        RaiseIndexOutOfRange(AIndex);
    return r.Pins[size_t(AIndex)];
}

TPNUnloadedPin* UnloadedPins::GetByIdentName(TComponent* ARoot, const std::string& APinName)
{
    if (APinName.empty())
        return nullptr;
    std::string shortName = WithoutFirstPart(APinName);
    auto& r = Unloaded();
    TPNCriticalSectionLock g(r.Section);
    for (TPNUnloadedPin* p : r.Pins)
        if (!p->OwnedByList() && MatchesIdentName(p, ARoot, APinName, shortName))
            return p;
    return nullptr;
}

void UnloadedPins::Clear()
{
    for (;;) {
        TPNUnloadedPin* p;
        {
            auto& r = Unloaded();
            TPNCriticalSectionLock g(r.Section);
            if (r.Pins.empty())
                return;
            p = r.Pins.back();
            r.Pins.pop_back();
        }
        Free(p);
    }
}

// ------------------------------------------------------------------- placeholder

// Forgets the placeholder's window when the window goes: a later window of that name
// may then claim it (links from other windows wait for the window to come back).
class TPNUnloadedPin::TRootWatch : public TComponent {
    DCS_CLASS(TRootWatch, TComponent)

    TRootWatch(TComponent* AOwner, TPNUnloadedPin* APin) : TComponent(AOwner), FPin(APin) {}
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        inherited::Notification(AComponent, Operation);
        if (Operation == TOperation::opRemove && AComponent == FPin->FRoot)
            FPin->FRoot = nullptr;
    }

private:
    TPNUnloadedPin* FPin;
};

TPNUnloadedPin::TPNUnloadedPin(TComponent* ARoot, TPNPinType AType, std::string APinIdentName,
                               std::string APinDisplayName, std::string ACreatedFrom)
    : FDisplayName(std::move(APinDisplayName)), FIdentName(std::move(APinIdentName)), FSerial(GNextSerial.fetch_add(1)),
      FType(AType), FCreatedFrom(std::move(ACreatedFrom))
{
    if (ARoot) {
        FDesignTime = ARoot->ComponentState().Contains(csDesigning);
        if (SameText(ARoot->Name(), FirstPart(FIdentName)) && !ARoot->ComponentState().Contains(csDestroying)) {
            FRoot = ARoot;
            FRootWatch = Create<TRootWatch>(nullptr, this);
            FRootWatch->FreeNotification(ARoot);
        }
    }
}

void TPNUnloadedPin::AfterConstruction()
{
    inherited::AfterConstruction();
    auto& r = Unloaded();
    TPNCriticalSectionLock g(r.Section);
    r.Pins.push_back(this);
}

void TPNUnloadedPin::BeforeDestruction()
{
    FDestroying = true;
    LeaveUnloaded(this);
    inherited::BeforeDestruction();
    FRoot = nullptr;
    Free(FRootWatch);  // leaves the root's notification list
    FRootWatch = nullptr;
}

TPNPlaceholderHold::TPNPlaceholderHold(std::initializer_list<TPNBasicPin*> APins)
{
    for (TPNBasicPin* p : APins)
        if (IsUnloadedPin(p)) {
            static_cast<TPNUnloadedPin*>(p)->HoldInUse();
            FRefs.push_back(PlaceholderRefOf(p));
        }
}

TPNPlaceholderHold::~TPNPlaceholderHold()
{
    for (const TPNPlaceholderRef& r : FRefs)
        if (TPNUnloadedPin* p = Registered(r))
            p->LetGoInUse();
    try {
        ReleaseUnusedPlaceholders(std::move(FRefs));
    } catch (...) {
        // One that fails to go stays registered until the registers are cleared.
    }
}

TPNPlaceholderRef PlaceholderRefOf(TPNBasicPin* APin)
{
    if (!IsUnloadedPin(APin))
        return {};
    return {APin, static_cast<TPNUnloadedPin*>(APin)->Serial()};
}

std::string TPNUnloadedPin::GetName()
{
    size_t p = FDisplayName.rfind('.');
    return p == std::string::npos ? FDisplayName : FDisplayName.substr(p + 1);
}

std::string TPNUnloadedPin::GetFullName(bool AIncludeRootForm)
{
    return AIncludeRootForm ? FDisplayName : WithoutFirstPart(FIdentName);
}

std::string TPNUnloadedPin::GetFullIdentName(bool AIncludeRootForm)
{
    return AIncludeRootForm ? FIdentName : WithoutFirstPart(FIdentName);
}

bool TPNUnloadedPin::CanLinkTo(TPNBasicPin* AOtherPin, IntfPtr<IPNFormatConverter>& AConverter, bool,
                               TClass& AConverterClass)
{
    AConverter = nullptr;
    AConverterClass = nullptr;
    return AOtherPin && AOtherPin != this;
}

TGUID TPNUnloadedPin::ChooseConnectionType(TPNBasicPin*, IntfPtr<IPNFormatConverter>& AConverter, bool,
                                           TClass& AConverterClass)
{
    AConverter = nullptr;
    AConverterClass = nullptr;
    return GUID_NULL;
}

bool TPNUnloadedPin::CanConnectAfter(TPNBasicPin* AOtherPin, TPNBasicPin*, bool)
{
    return AOtherPin && AOtherPin != this;
}

int TPNUnloadedPin::IndexOfRecord(TPNBasicPin* APin)
{
    for (size_t i = 0; i < FConnectedPins.size(); ++i)
        if (FConnectedPins[i].Pin == APin)
            return int(i);
    return -1;
}

bool TPNUnloadedPin::ConnectAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin)
{
    if (!AOtherPin || AOtherPin == this)
        return false;
    if (IsPendingStatePin(this) && !IsUnloadedPin(AOtherPin)) {
        // A state name read for a pin not made yet: the pin now joins that state.
        TPNStateLinks::ConnectToStateByName(AOtherPin, FDisplayName);
        return true;
    }
    {
        IPNLockSection w = WriteLock();
        if (IndexOfRecord(AOtherPin) >= 0)
            return true;
        FConnectedPins.push_back({AOtherPin, ANotifyAfterPin});
        NotePinReference(this, AOtherPin);
        NotePinReference(this, ANotifyAfterPin);
    }
    if (auto* source = dynamic_cast<TPNSourcePin*>(AOtherPin)) {
        IPNLockSection sw = source->WriteLock();
        source->AddLink(this, ANotifyAfterPin);
    } else if (auto* sink = dynamic_cast<TPNSinkPin*>(AOtherPin)) {
        if (sink->SourcePin())
            sink->Disconnect();
        sink->RecordPlaceholderSource(this);
    } else {
        // Another placeholder, or a kind of pin that records its links itself.
        AOtherPin->AddLink(this, ANotifyAfterPin);
    }
    return true;
}

void TPNUnloadedPin::AddLink(TPNBasicPin* APin, TPNBasicPin* ANotifyAfterPin)
{
    if (!APin || APin == this)
        return;
    IPNLockSection w = WriteLock();
    if (IndexOfRecord(APin) < 0) {
        FConnectedPins.push_back({APin, ANotifyAfterPin});
        NotePinReference(this, APin);
        NotePinReference(this, ANotifyAfterPin);
    }
}

TPNPlaceholderRef TPNUnloadedPin::EraseRecord(int AIndex)
{
    TPNPlaceholderRef after = PlaceholderRefOf(FConnectedPins[size_t(AIndex)].NotifyAfterPin);
    FConnectedPins.erase(FConnectedPins.begin() + AIndex);
    return after;
}

void TPNUnloadedPin::RemoveLink(TPNBasicPin* APin, bool)
{
    TPNPlaceholderRef after;
    {
        IPNLockSection w = WriteLock();
        int i = IndexOfRecord(APin);
        if (i >= 0)
            after = EraseRecord(i);
    }
    if (!after.Pin)
        return;
    // The link was ordered after a placeholder that may now go; this one stays for the
    // caller, who lets it go after (AfterUnlink).
    bool old = FInRemove;
    FInRemove = true;
    try {
        ReleaseUnusedPlaceholders({after});
    } catch (...) {
        FInRemove = old;
        throw;
    }
    FInRemove = old;
}

void TPNUnloadedPin::DisconnectFrom(TPNBasicPin* AOtherPin)
{
    TPNPlaceholderRef after;
    {
        IPNLockSection w = WriteLock();
        int i = IndexOfRecord(AOtherPin);
        if (i < 0)
            return;
        after = EraseRecord(i);
    }
    // The far end forgets the link too; meanwhile this placeholder must not free itself.
    bool old = FInRemove;
    FInRemove = true;
    try {
        if (dynamic_cast<TPNSinkPin*>(AOtherPin)) {
            if (AOtherPin->IsConnectedTo(this))
                AOtherPin->Disconnect();
        } else if (IsUnloadedPin(AOtherPin)) {
            AOtherPin->RemoveLink(this, false);
            static_cast<TPNUnloadedPin*>(AOtherPin)->ReleaseIfUnused();
        } else {
            AOtherPin->DisconnectFrom(this);
        }
    } catch (...) {
        FInRemove = old;
        throw;
    }
    FInRemove = old;
    ReleaseUnusedPlaceholders({PlaceholderRefOf(this), after});  // the last statement: it may free this placeholder
}

void TPNUnloadedPin::Disconnect()
{
    std::vector<TPNPlaceholderRef> orderings;
    bool old = FInRemove;
    FInRemove = true;
    for (;;) {
        TPNBasicPin* other;
        {
            IPNLockSection w = WriteLock();
            if (FConnectedPins.empty())
                break;
            other = FConnectedPins.back().Pin;
        }
        DisconnectFrom(other);
        IPNLockSection w = WriteLock();
        int i = IndexOfRecord(other);
        if (i >= 0)
            orderings.push_back(EraseRecord(i));
    }
    FInRemove = old;
    orderings.push_back(PlaceholderRefOf(this));
    ReleaseUnusedPlaceholders(std::move(orderings));
}

bool TPNUnloadedPin::IsConnected()
{
    IPNLockSection r = ReadLock();
    return !FConnectedPins.empty();
}

bool TPNUnloadedPin::IsConnectedTo(TPNBasicPin* AOtherPin)
{
    IPNLockSection r = ReadLock();
    return IndexOfRecord(AOtherPin) >= 0;
}

int TPNUnloadedPin::GetConnectedPinCount()
{
    IPNLockSection r = ReadLock();
    return int(FConnectedPins.size());
}

TPNBasicPin* TPNUnloadedPin::GetConnectedPin(int AIndex)
{
    IPNLockSection r = ReadLock();
    if (AIndex < 0 || size_t(AIndex) >= FConnectedPins.size())
        return nullptr;
    return FConnectedPins[size_t(AIndex)].Pin;
}

TPNBasicPin* TPNUnloadedPin::GetNotifyAfterPin(TPNBasicPin* APin)
{
    IPNLockSection r = ReadLock();
    int i = IndexOfRecord(APin);
    return i < 0 ? nullptr : FConnectedPins[size_t(i)].NotifyAfterPin;
}

void TPNUnloadedPin::PinDestroyed(TPNBasicPin* APin)
{
    std::vector<TPNPlaceholderRef> orderings;
    {
        IPNLockSection w = WriteLock();
        for (int i = int(FConnectedPins.size()); i-- > 0;)
            if (FConnectedPins[size_t(i)].Pin == APin)
                orderings.push_back(EraseRecord(i));
        for (auto& r : FConnectedPins)
            if (r.NotifyAfterPin == APin)
                r.NotifyAfterPin = nullptr;
    }
    // Runs once the register walk that tells of APin has ended.
    ReleaseUnusedPlaceholders(std::move(orderings));
}

void TPNUnloadedPin::ReplaceAfterPin(TPNBasicPin* AOldPin, TPNBasicPin* ANewPin)
{
    IPNLockSection w = WriteLock();
    for (auto& r : FConnectedPins)
        if (r.NotifyAfterPin == AOldPin) {
            r.NotifyAfterPin = ANewPin;
            NotePinReference(this, ANewPin);
        }
}

bool TPNUnloadedPin::NamesAfterPin(TPNBasicPin* APin)
{
    IPNLockSection r = ReadLock();
    for (const TRecord& rec : FConnectedPins)
        if (rec.NotifyAfterPin == APin)
            return true;
    return false;
}

void TPNUnloadedPin::ReleaseIfUnused() { ReleaseUnusedPlaceholders({PlaceholderRefOf(this)}); }

bool TPNUnloadedPin::Unused(std::vector<TPNUnloadedPin*>& APartners)
{
    if (FInRemove || FDestroying || FListHolds > 0 || FUseHolds > 0 || FInEditor)
        return false;
    // A link that no real pin takes part in is never seen by anyone: placeholders that
    // only wait for each other go together, unless a pin list still keeps one's place.
    {
        IPNLockSection r = ReadLock();
        for (const TRecord& rec : FConnectedPins) {
            auto* p = IsUnloadedPin(rec.Pin) ? static_cast<TPNUnloadedPin*>(rec.Pin) : nullptr;
            if (!p || p->FListHolds > 0 || p->FUseHolds > 0 || p->FInRemove)
                return false;
            APartners.push_back(p);
        }
    }
    // A stored link still ordered after it.
    bool named = false;
    ForEachPinBackwards([&](TPNBasicPin* p) { named = named || (p != this && p->NamesAfterPin(this)); });
    return !named;
}

void ReleaseUnusedPlaceholders(std::vector<TPNPlaceholderRef> ARefs)
{
    std::erase_if(ARefs, [](const TPNPlaceholderRef& r) { return !r.Pin; });
    if (ARefs.empty() || DeferPlaceholderReleases(ARefs))
        return;
    // A work list, each entry looked up again before use: freeing one placeholder may
    // free others that are still listed.
    while (!ARefs.empty()) {
        TPNPlaceholderRef ref = ARefs.back();
        ARefs.pop_back();
        TPNUnloadedPin* p = Registered(ref);
        std::vector<TPNUnloadedPin*> partners;
        if (!p || !p->Unused(partners))
            continue;
        std::vector<TPNPlaceholderRef> next;
        p->FInRemove = true;
        for (TPNUnloadedPin* q : partners) {
            p->RemoveLink(q, false);
            q->RemoveLink(p, false);
            next.push_back(PlaceholderRefOf(q));
        }
        {
            IPNLockSection r = p->ReadLock();
            for (const TPNUnloadedPin::TRecord& rec : p->FConnectedPins)
                next.push_back(PlaceholderRefOf(rec.NotifyAfterPin));
        }
        p->FInRemove = false;
        Free(p);
        ARefs.insert(ARefs.end(), next.begin(), next.end());
    }
}

void TPNUnloadedPin::PopulatePinAndDestroy(TPNBasicPin* APin)
{
    if (!APin || APin == this || FDestroying)
        return;
    FInRemove = true;
    // Links ordered after the placeholder are ordered after the real pin from now on.
    ForEachPinBackwards([&](TPNBasicPin* p) {
        if (p != this)
            p->ReplaceAfterPin(this, APin);
    });
    std::vector<TRecord> records;
    {
        IPNLockSection r = ReadLock();
        records = FConnectedPins;
    }
    std::exception_ptr error;
    for (size_t i = records.size(); i-- > 0;) {
        if (!IsConnectedTo(records[i].Pin))
            continue;  // that pin went away meanwhile
        try {
            TPNPlaceholderHold hold {records[i].Pin, records[i].NotifyAfterPin};
            APin->ConnectAfter(records[i].Pin, records[i].NotifyAfterPin);
            if (IsConnectedTo(records[i].Pin))
                records[i].Pin->DisconnectFrom(this);
        } catch (...) {
            if (!error)
                error = std::current_exception();
        }
    }
    FInRemove = false;
    // Whatever did not move goes; then the placeholder, unless a pin list still holds it
    // (the list hands it over itself).
    std::vector<TPNPlaceholderRef> orderings;
    for (const TRecord& rec : records)
        orderings.push_back(PlaceholderRefOf(rec.NotifyAfterPin));
    try {
        Disconnect();  // ends by releasing the placeholder, which may free it
    } catch (...) {
        if (!error)
            error = std::current_exception();
    }
    ReleaseUnusedPlaceholders(std::move(orderings));
    if (error)
        std::rethrow_exception(error);
}

}  // namespace dcs
