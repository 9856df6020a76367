#include "components/pins/PNLinkTable.h"

#include "components/pins/PNBasicPin.h"
#include "components/pins/PNFormatConverter.h"
#include "components/pins/PNHazardsInternal.h"
#include "components/pins/PNPinReferrers.h"

#include <algorithm>

namespace dcs {

TPNLinkTable::TPNLinkTable(TPNPin* AOwner) : FOwner(AOwner) {}

TPNLinkTable::~TPNLinkTable() = default;

int TPNLinkTable::IndexOfRealPin(TPNBasicPin* APin) const
{
    for (size_t i = FEntries.size(); i-- > 0;)
        if (FEntries[i]->RealPin == APin)
            return int(i);
    return -1;
}

TPNPinEntry& TPNLinkTable::Add(TPNBasicPin* ARealPin, TPNBasicPin* AConnectionPin, TPNBasicPin* ANotifyAfterPin)
{
    auto e = std::make_unique<TPNPinEntry>();
    e->RealPin = ARealPin;
    e->ConnectionPin = AConnectionPin;
    e->NotifyAfterPin = ANotifyAfterPin;
    NotePinReference(FOwner, ARealPin);
    NotePinReference(FOwner, AConnectionPin);
    NotePinReference(FOwner, ANotifyAfterPin);
    FEntries.push_back(std::move(e));
    return *FEntries.back();
}

void TPNLinkTable::Erase(size_t AIndex)
{
    FEntries.erase(FEntries.begin() + long(AIndex));
    Changed();
}

bool TPNLinkTable::Remove(const TPNPinEntry* AEntry)
{
    auto it = std::find_if(FEntries.begin(), FEntries.end(), [AEntry](const auto& p) { return p.get() == AEntry; });
    if (it == FEntries.end())
        return false;
    FEntries.erase(it);
    Changed();
    return true;
}

void TPNLinkTable::PopBack()
{
    FEntries.pop_back();
    Changed();
}

void TPNLinkTable::Clear()
{
    FEntries.clear();
    Changed();
}

bool TPNLinkTable::Holds(const TPNPinEntry* AEntry) const
{
    for (auto& e : FEntries)
        if (e.get() == AEntry)
            return true;
    return false;
}

void TPNLinkTable::ForgetAfterPin(TPNBasicPin* APin) { ReplaceAfterPin(APin, nullptr); }

void TPNLinkTable::ReplaceAfterPin(TPNBasicPin* AOldPin, TPNBasicPin* ANewPin)
{
    if (ANewPin && NamesAfterPin(AOldPin))
        NotePinReference(FOwner, ANewPin);
    for (auto& e : FEntries)
        if (e->NotifyAfterPin == AOldPin)
            e->NotifyAfterPin = ANewPin;
}

void TPNLinkTable::Reorder()
{
    bool anyAfter = false;
    for (auto& e : FEntries) {
        if (e->ModificationLevel > 0)
            --e->ModificationLevel;
        e->FReordered = false;
        anyAfter = anyAfter || e->NotifyAfterPin;
    }
    // Insertion sort: stable, in place, and nearly free on the already sorted list.
    for (size_t i = 1; i < FEntries.size(); ++i)
        for (size_t j = i; j > 0 && FEntries[j - 1]->ModificationLevel > FEntries[j]->ModificationLevel; --j)
            std::swap(FEntries[j - 1], FEntries[j]);
    if (!anyAfter)
        return;
    // Only visited links ever move, and only further on: the first link not visited yet
    // is always the next one in the order before the pass.
    size_t i = 0;
    while (i < FEntries.size()) {
        TPNPinEntry* e = FEntries[i].get();
        if (e->FReordered) {
            ++i;
            continue;
        }
        e->FReordered = true;
        int j = e->NotifyAfterPin ? IndexOfRealPin(e->NotifyAfterPin) : -1;
        if (j < 0 || size_t(j) <= i) {
            ++i;
            continue;
        }
        std::rotate(FEntries.begin() + long(i), FEntries.begin() + long(i) + 1, FEntries.begin() + j + 1);
    }
}

// ------------------------------------------------------------------------ queries

int TPNLinkTable::Count()
{
    IPNLockSection r = FOwner->ReadLock();
    return int(FEntries.size());
}

TPNBasicPin* TPNLinkTable::Get(int AIndex)
{
    IPNLockSection r = FOwner->ReadLock();
    if (AIndex < 0 || size_t(AIndex) >= FEntries.size())
        RaiseIndexOutOfRange(AIndex);
    return FEntries[size_t(AIndex)]->RealPin;
}

int TPNLinkTable::ConverterCount()
{
    IPNLockSection r = FOwner->ReadLock();
    return int(FConverters.size());
}

IntfPtr<IPNFormatConverter> TPNLinkTable::GetConverter(int AIndex)
{
    IPNLockSection r = FOwner->ReadLock();
    if (AIndex < 0 || size_t(AIndex) >= FConverters.size())
        RaiseIndexOutOfRange(AIndex);
    return FConverters[size_t(AIndex)];
}

bool TPNLinkTable::Contains(TPNBasicPin* APin)
{
    IPNLockSection r = FOwner->ReadLock();
    return IndexOfRealPin(APin) >= 0;
}

int32_t TPNLinkTable::Weight(TPNBasicPin* APin)
{
    IPNLockSection r = FOwner->ReadLock();
    int i = IndexOfRealPin(APin);
    return i < 0 ? 0 : FEntries[size_t(i)]->ModificationLevel;
}

bool TPNLinkTable::FindLink(TPNBasicPin* APin, TPNBasicPin** AAfterPin, TGUID* AID)
{
    IPNLockSection r = FOwner->ReadLock();
    int i = IndexOfRealPin(APin);
    if (i < 0)
        return false;
    if (AAfterPin)
        *AAfterPin = FEntries[size_t(i)]->NotifyAfterPin;
    if (AID)
        *AID = FEntries[size_t(i)]->ConnectedID;
    return true;
}

bool TPNLinkTable::NamesAfterPin(TPNBasicPin* APin)
{
    IPNLockSection r = FOwner->ReadLock();
    for (auto& e : FEntries)
        if (e->NotifyAfterPin == APin)
            return true;
    return false;
}

std::vector<TPNBasicPin*> TPNLinkTable::RealPins()
{
    IPNLockSection r = FOwner->ReadLock();
    std::vector<TPNBasicPin*> pins;
    pins.reserve(FEntries.size());
    for (auto& e : FEntries)
        pins.push_back(e->RealPin);
    return pins;
}

bool TPNLinkTable::IsLinkedTo(const std::string& APinName)
{
    std::vector<TPNBasicPin*> pins = RealPins();
    const std::string root = FOwner->GetRootName();
    for (TPNBasicPin* p : pins)
        if (p->GetFullName(true) == APinName || (p->GetRootName() == root && p->GetFullName(false) == APinName))
            return true;
    return false;
}

// -------------------------------------------------------------------------- sends

namespace {

struct TSendCopy {
    TPNBasicPin* ConnectionPin;
    TPNBasicPin* RealPin;
    TGUID ID;
    TPNSubmit Submit;
    TPNFormatConverter* Converter;  // counted while the send runs
};

}  // namespace

TPNNotifyResult TPNLinkTable::Send(IPNNotifyOperation* AOperation, TPNBasicPin* AOnlyTo, IPNLock* AUnlockAround)
{
    IntfPtr<IPNNotifyOperation> hold(AOperation);

    // The links are copied once; no heap is touched for up to KInlineLinks links.
    TSendCopy inlineCopies[KInlineLinks];
    std::unique_ptr<TSendCopy[]> heapCopies;
    TSendCopy* copies = inlineCopies;
    size_t n = 0;
    uint32_t generation = 0;
    {
        IPNLockSection r = FOwner->ReadLock();
        if (InSending > 200)
            throw EPNException(SPNDependsOnItself);
        n = FEntries.size();
        if (n > KInlineLinks) {
            heapCopies.reset(new TSendCopy[n]);
            copies = heapCopies.get();
        }
        generation = FGeneration.load(std::memory_order_acquire);
        for (size_t i = 0; i < n; ++i) {
            const TPNPinEntry& e = *FEntries[i];
            TPNFormatConverter* conv = ConverterOfPin(e.ConnectionPin);
            if (conv)
                conv->_AddRef();
            copies[i] = {e.ConnectionPin, e.RealPin, e.ConnectedID, e.SubmitFunction, conv};
        }
        ++InSending;
    }
    // A converter shared by several links gets each operation once.
    for (size_t i = n; i-- > 0;) {
        if (!copies[i].Submit.Assigned() || copies[i].ConnectionPin == copies[i].RealPin)
            continue;
        for (size_t j = 0; j < i; ++j)
            if (copies[j].ConnectionPin == copies[i].ConnectionPin) {
                copies[i].Submit = {};
                break;
            }
    }

    // Whichever way the send ends: the order is brought up to date, and the converter
    // references go with no section of the owner held (the last one frees its converter).
    struct TDone {
        TPNLinkTable* Table;
        TSendCopy* Copies;
        size_t N;
        ~TDone()
        {
            {
                IPNLockSection w = Table->FOwner->WriteLock();
                if (!Table->InDisconnect)
                    Table->Reorder();
                --Table->InSending;
            }
            bool any = false;
            for (size_t i = 0; i < N; ++i)
                any = any || Copies[i].Converter;
            if (!any)
                return;
            IPNLockSection u = Table->FOwner->UnlockAll();
            for (size_t i = 0; i < N; ++i)
                if (Copies[i].Converter)
                    Copies[i].Converter->_Release();
        }
    } done {this, copies, n};

    TPNNotifyResult result = FOwner->NotifyStatePins(AOperation, {}, nullptr);
    const IntfPtr<IPNDestroyLock>& destroyLock = FOwner->DestroyLockIntf();
    for (size_t i = 0; i < n; ++i) {
        TSendCopy& c = copies[i];
        if (AOnlyTo && c.RealPin != AOnlyTo)
            continue;
        if (!c.Submit.Assigned())
            continue;
        TPNNotifyState state;
        if (i + 1 == n)
            state.Include(nsLastIteration);
        IPNDestroyLockSection guard = destroyLock->Lock();
        if (!guard)
            continue;  // another thread is cutting a link of the owner
        // Links are removed only under the destroy lock: one found here stays until this
        // delivery returns, and one removed since the copy was made is not served (its
        // pin may be gone already).
        bool live = FGeneration.load(std::memory_order_acquire) == generation;
        if (!live) {
            IPNLockSection check = FOwner->ReadLock();
            for (auto& e : FEntries)
                if (e->RealPin == c.RealPin && e->ConnectionPin == c.ConnectionPin && e->ConnectedID == c.ID) {
                    live = true;
                    break;
                }
        }
        if (!live)
            continue;
        TPNNotifyResult answer;
        {
            IPNLockSection unlocked;
            if (AUnlockAround)
                unlocked = AUnlockAround->UnlockAll();
            pnhazard::TDelivery inDelivery(FOwner);
            answer = c.Submit(static_cast<IPNStream*>(c.ConnectionPin), &c.ID, AOperation, state);
        }
        if (answer.Contains(nrDataChanged)) {
            IPNLockSection w = FOwner->WriteLock();
            int k = IndexOfRealPin(c.RealPin);
            if (k >= 0 && FEntries[size_t(k)]->ModificationLevel < 10000)
                FEntries[size_t(k)]->ModificationLevel += 4;
        }
    }
    return result;
}

}  // namespace dcs
