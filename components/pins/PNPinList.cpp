#include "components/pins/PNPinList.h"

#include <algorithm>

namespace dcs {

TPNPinList::TPNPinList(TComponent* AOwner, bool AIsPinsOwner) : TPNPinList(AOwner, nullptr, AIsPinsOwner) {}

TPNPinList::TPNPinList(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock, bool AIsPinsOwner)
    : FOwner(AOwner), FOwnerLock(std::move(AOwnerLock)), FPinsOwner(AIsPinsOwner)
{
}

TPNPinList::~TPNPinList() { Clear(); }

IPNLockSection TPNPinList::ReadLock() { return IntLock()->Instance()->LockSection(false, FOwnerLock.Get(), false); }

IPNLockSection TPNPinList::WriteLock() { return IntLock()->Instance()->LockSection(true, FOwnerLock.Get(), false); }

TPNPlaceholderRef TPNPinList::LetGo(TPNBasicPin* APlaceholder)
{
    static_cast<TPNUnloadedPin*>(APlaceholder)->LetGoByList();
    return PlaceholderRefOf(APlaceholder);
}

void TPNPinList::DropPlaceholderEntry(int AIndex, std::vector<TPNPlaceholderRef>& AReleased)
{
    TPNBasicPin* p = FPinsList[size_t(AIndex)].Pin;
    FPinsList.erase(FPinsList.begin() + AIndex);
    --FUnloadedCount;
    AReleased.push_back(LetGo(p));
}

void TPNPinList::Purge()
{
    if (FInUnload || FUnloadedCount <= 0 || !FOwner)
        return;
    TComponentState st = FOwner->ComponentState();
    if (st.ContainsAny(csDesigning | csLoading))
        return;
    std::vector<TPNPlaceholderRef> released;
    {
        IPNLockSection w = WriteLock();
        FInUnload = true;
        int count = int(FPinsList.size()) - FUnloadedCount;
        for (int i = std::min(count, int(FPinsList.size())); i-- > 0 && FUnloadedCount > 0;)
            if (IsUnloadedPin(FPinsList[size_t(i)].Pin))
                DropPlaceholderEntry(i, released);
        if (!released.empty())
            LastIndicatedCount = -1;
        FInUnload = false;
    }
    ReleaseUnusedPlaceholders(std::move(released));
}

int TPNPinList::Count()
{
    Purge();
    IPNLockSection r = ReadLock();
    return int(FPinsList.size()) - FUnloadedCount;
}

TPNBasicPin* TPNPinList::GetPin(int AItem)
{
    Purge();
    IPNLockSection r = ReadLock();
    if (AItem < 0 || AItem >= int(FPinsList.size()) - FUnloadedCount)
        RaiseIndexOutOfRange(AItem);
    return FPinsList[size_t(AItem)].Pin;
}

int TPNPinList::EntryCount()
{
    IPNLockSection r = ReadLock();
    return int(FPinsList.size());
}

TPNBasicPin* TPNPinList::EntryPin(int AIndex)
{
    IPNLockSection r = ReadLock();
    if (AIndex < 0 || size_t(AIndex) >= FPinsList.size())
        RaiseIndexOutOfRange(AIndex);
    return FPinsList[size_t(AIndex)].Pin;
}

int TPNPinList::UnloadedCount()
{
    IPNLockSection r = ReadLock();
    return FUnloadedCount;
}

void TPNPinList::TakeOwnerPinList(TPNBasicPin* AItem)
{
    if (AItem && !IsUnloadedPin(AItem) && AItem->Owner() == FOwner)
        AItem->FOwnerPinList = this;
}

void TPNPinList::SetPin(int AItem, TPNBasicPin* APin)
{
    std::vector<TPNPlaceholderRef> released;
    {
        IPNLockSection w = WriteLock();
        if (AItem < 0 || size_t(AItem) >= FPinsList.size())
            RaiseIndexOutOfRange(AItem);
        TPNBasicPin* old = FPinsList[size_t(AItem)].Pin;
        if (old == APin)
            return;
        if (IsUnloadedPin(old)) {
            --FUnloadedCount;
            released.push_back(LetGo(old));
        } else if (old && old->FOwnerPinList == this) {
            old->FOwnerPinList = nullptr;
        }
        FPinsList[size_t(AItem)].Pin = APin;
        if (IsUnloadedPin(APin)) {
            ++FUnloadedCount;
            static_cast<TPNUnloadedPin*>(APin)->HoldByList();
        } else {
            TakeOwnerPinList(APin);
        }
        LastIndicatedCount = -1;
    }
    ReleaseUnusedPlaceholders(std::move(released));
}

std::string TPNPinList::GetName(int AItem)
{
    std::string n = GetStoredName(AItem);
    return n.empty() ? "Pin [" + std::to_string(AItem) + "]" : n;
}

std::string TPNPinList::GetStoredName(int AItem)
{
    IPNLockSection r = ReadLock();
    if (AItem < 0 || size_t(AItem) >= FPinsList.size())
        RaiseIndexOutOfRange(AItem);
    return FPinsList[size_t(AItem)].Name;
}

void TPNPinList::SetName(int AItem, const std::string& AName)
{
    IPNLockSection w = WriteLock();
    if (AItem < 0 || size_t(AItem) >= FPinsList.size())
        return;
    std::string n = AName == "Pin [" + std::to_string(AItem) + "]" ? std::string() : AName;
    if (n != FPinsList[size_t(AItem)].Name) {
        FPinsList[size_t(AItem)].Name = n;
        LastIndicatedCount = -1;
    }
}

void TPNPinList::SetPinName(TPNBasicPin* APin, const std::string& AName)
{
    int i = IndexOf(APin);
    if (i >= 0)
        SetName(i, AName);
}

void TPNPinList::AddNamed(TPNBasicPin* AItem, const std::string& AName)
{
    TPNUnloadedPin* claimed = nullptr;
    {
        IPNLockSection w = WriteLock();
        if (IsUnloadedPin(AItem)) {
            static_cast<TPNUnloadedPin*>(AItem)->HoldByList();
            ++FUnloadedCount;
            FPinsList.push_back({AName, AItem});
        } else if (FUnloadedCount > 0) {
            // The first placeholder's place: the pin takes over its index and its links.
            for (auto& e : FPinsList)
                if (IsUnloadedPin(e.Pin)) {
                    claimed = static_cast<TPNUnloadedPin*>(e.Pin);
                    e.Name = AName;
                    e.Pin = AItem;
                    --FUnloadedCount;
                    claimed->LetGoByList();
                    break;
                }
        } else {
            FPinsList.push_back({AName, AItem});
        }
        TakeOwnerPinList(AItem);
        LastIndicatedCount = -1;
    }
    if (claimed)
        claimed->PopulatePinAndDestroy(AItem);
}

void TPNPinList::InsertNamed(int AIndex, TPNBasicPin* AItem, const std::string& AName)
{
    {
        IPNLockSection w = WriteLock();
        if (AIndex < int(FPinsList.size()) - FUnloadedCount && AIndex >= 0) {
            if (IsUnloadedPin(AItem)) {
                static_cast<TPNUnloadedPin*>(AItem)->HoldByList();
                ++FUnloadedCount;
            }
            FPinsList.insert(FPinsList.begin() + AIndex, TEntry {AName, AItem});
            TakeOwnerPinList(AItem);
            LastIndicatedCount = -1;
            return;
        }
    }
    AddNamed(AItem, AName);
}

void TPNPinList::Delete(int AIndex)
{
    TPNBasicPin* freeing = nullptr;
    std::vector<TPNPlaceholderRef> released;
    {
        IPNLockSection w = WriteLock();
        if (AIndex < 0 || size_t(AIndex) >= FPinsList.size())
            RaiseIndexOutOfRange(AIndex);
        TPNBasicPin* pin = FPinsList[size_t(AIndex)].Pin;
        if (IsUnloadedPin(pin)) {
            // UnloadedPins owns it: the list only lets go.
            DropPlaceholderEntry(AIndex, released);
        } else {
            FPinsList.erase(FPinsList.begin() + AIndex);
            if (pin && pin->FOwnerPinList == this)
                pin->FOwnerPinList = nullptr;
            if (FPinsOwner)
                freeing = pin;
        }
        LastIndicatedCount = -1;
    }
    ReleaseUnusedPlaceholders(std::move(released));
    Free(freeing);
}

void TPNPinList::Remove(TPNBasicPin* AItem)
{
    for (;;) {
        int i;
        {
            IPNLockSection r = ReadLock();
            i = -1;
            for (size_t k = FPinsList.size(); k-- > 0;)
                if (FPinsList[k].Pin == AItem) {
                    i = int(k);
                    break;
                }
        }
        if (i < 0)
            return;
        Delete(i);
    }
}

void TPNPinList::Clear()
{
    std::vector<TPNBasicPin*> freeing;
    std::vector<TPNPlaceholderRef> released;
    {
        IPNLockSection w = WriteLock();
        // Every real pin, wherever it sits among placeholders; placeholders are only let go.
        for (auto& e : FPinsList) {
            if (IsUnloadedPin(e.Pin)) {
                released.push_back(LetGo(e.Pin));
            } else if (e.Pin) {
                if (e.Pin->FOwnerPinList == this)
                    e.Pin->FOwnerPinList = nullptr;
                if (FPinsOwner)
                    freeing.push_back(e.Pin);
            }
        }
        FPinsList.clear();
        FUnloadedCount = 0;
        LastIndicatedCount = -1;
    }
    ReleaseUnusedPlaceholders(std::move(released));
    for (TPNBasicPin* p : freeing)
        Free(p);
}

void TPNPinList::Swap(int AIndex1, int AIndex2)
{
    IPNLockSection w = WriteLock();
    if (AIndex1 < 0 || AIndex2 < 0 || size_t(AIndex1) >= FPinsList.size() || size_t(AIndex2) >= FPinsList.size())
        RaiseIndexOutOfRange(std::max(AIndex1, AIndex2));
    std::swap(FPinsList[size_t(AIndex1)], FPinsList[size_t(AIndex2)]);
    LastIndicatedCount = -1;
}

int TPNPinList::IndexOf(TPNBasicPin* AItem)
{
    IPNLockSection r = ReadLock();
    for (size_t i = 0; i < FPinsList.size(); ++i)
        if (FPinsList[i].Pin == AItem)
            return int(i);
    return -1;
}

std::string TPNPinList::Name() { return FOwner ? ObjectPathIn(FOwner, this) : std::string(); }

std::string TPNPinList::EntryPath(TPNBasicPin* APin, bool AIdentForm)
{
    int i = IndexOf(APin);
    if (i < 0)
        return "";
    std::string path = Name();
    if (path.empty())
        return "";
    return path + (AIdentForm ? "._Pin" + std::to_string(i) : "." + GetName(i));
}

std::string PinListEntryPath(TPNPinList* AList, TPNBasicPin* APin, bool AIdentForm)
{
    return AList ? AList->EntryPath(APin, AIdentForm) : std::string();
}

}  // namespace dcs
