#include "components/pins/PNHazardsInternal.h"
#include "components/pins/PNPins.h"

#include <algorithm>

namespace dcs {

// ------------------------------------------------------------------ sink pin lists

TPNSinkPinList::~TPNSinkPinList()
{
    for (TPNBasicSinkPin* p : FList) {
        if (FKind == TKind::Function)
            p->RemoveFunctionDependant(FOwner);
        else
            p->RemoveDataTypeDependant(FOwner);
    }
}

int TPNSinkPinList::Count()
{
    IPNLockSection r = FOwner->ReadLock();
    return int(FList.size());
}

TPNBasicSinkPin* TPNSinkPinList::GetItem(int AIndex)
{
    IPNLockSection r = FOwner->ReadLock();
    return FList.at(size_t(AIndex));
}

bool TPNSinkPinList::Contains(TPNBasicPin* APin)
{
    IPNLockSection r = FOwner->ReadLock();
    return std::find(FList.begin(), FList.end(), APin) != FList.end();
}

void TPNSinkPinList::Add(TPNBasicSinkPin* APin)
{
    if (!APin)
        return;
    {
        IPNLockSection w = FOwner->WriteLock();
        if (std::find(FList.begin(), FList.end(), APin) != FList.end())
            return;
        FList.push_back(APin);
    }
    if (FKind == TKind::Function)
        APin->AddFunctionDependant(FOwner);
    else
        APin->AddDataTypeDependant(FOwner);
}

void TPNSinkPinList::Remove(TPNBasicSinkPin* APin)
{
    {
        IPNLockSection w = FOwner->WriteLock();
        auto it = std::find(FList.begin(), FList.end(), APin);
        if (it == FList.end())
            return;
        FList.erase(it);
    }
    if (FKind == TKind::Function)
        APin->RemoveFunctionDependant(FOwner);
    else
        APin->RemoveDataTypeDependant(FOwner);
}

// ---------------------------------------------------------------------- source pin

TPNSourcePin::TPNSourcePin(TComponent* AOwner, int32_t AMaxConnections)
    : TPNSourcePin(AOwner, nullptr, nullptr, AMaxConnections)
{
}

TPNSourcePin::TPNSourcePin(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock,
                           IntfPtr<IPNLock> AInputOwnerLock, int32_t AMaxConnections)
    : TPNStreamPin(AOwner, std::move(AOwnerLock)),
      FInputOwnerLock(std::move(AInputOwnerLock)),
      FMaxConnections(AMaxConnections)
{
}

TPNSourcePin::~TPNSourcePin()
{
    std::vector<IntfPtr<IPNFormatConverter>> converters;
    {
        IPNLockSection w = WriteLock();
        IPNDestroyLockSection d = FDestroyLock->DestroyLock();
        Disconnect();
        converters.swap(FFormatConverters);
    }
    // The converters go last, with no section of this pin held: freeing one unlinks its
    // input pin, which asks this pin for its sections.
    converters.clear();
}

int TPNSourcePin::IndexOfRealPin(TPNBasicPin* APin)
{
    for (size_t i = FSinkPins.size(); i-- > 0;)
        if (FSinkPins[i]->RealPin == APin)
            return int(i);
    return -1;
}

int TPNSourcePin::SinkCount()
{
    IPNLockSection r = ReadLock();
    return int(FSinkPins.size());
}

TPNBasicPin* TPNSourcePin::GetSink(int AIndex)
{
    IPNLockSection r = ReadLock();
    if (AIndex < 0 || size_t(AIndex) >= FSinkPins.size())
        RaiseIndexOutOfRange(AIndex);
    return FSinkPins[size_t(AIndex)]->RealPin;
}

int TPNSourcePin::ConverterCount()
{
    IPNLockSection r = ReadLock();
    return int(FFormatConverters.size());
}

IntfPtr<IPNFormatConverter> TPNSourcePin::GetConverter(int AIndex)
{
    IPNLockSection r = ReadLock();
    if (AIndex < 0 || size_t(AIndex) >= FFormatConverters.size())
        RaiseIndexOutOfRange(AIndex);
    return FFormatConverters[size_t(AIndex)];
}

int32_t TPNSourcePin::GetModificationLevel(TPNBasicPin* APin)
{
    IPNLockSection r = ReadLock();
    int i = IndexOfRealPin(APin);
    return i < 0 ? 0 : FSinkPins[size_t(i)]->ModificationLevel;
}

TPNBasicPin* TPNSourcePin::GetNotifyAfterPin(TPNBasicPin* APin)
{
    IPNLockSection r = ReadLock();
    for (auto& e : FSinkPins)
        if (e->RealPin == APin)
            return e->NotifyAfterPin;
    return nullptr;
}

bool TPNSourcePin::IsConnected()
{
    {
        IPNLockSection r = ReadLock();
        if (!FSinkPins.empty())
            return true;
    }
    return IsStateConnected();
}

bool TPNSourcePin::IsConnectedTo(TPNBasicPin* AOtherPin)
{
    {
        IPNLockSection r = ReadLock();
        if (IndexOfRealPin(AOtherPin) >= 0)
            return true;
    }
    return IsConnectedByStateTo(AOtherPin);
}

bool TPNSourcePin::IsConnectedToAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin)
{
    {
        IPNLockSection r = ReadLock();
        for (auto& e : FSinkPins)
            if (e->RealPin == AOtherPin && e->NotifyAfterPin == ANotifyAfterPin)
                return true;
    }
    return IsConnectedByStateToAfter(AOtherPin, ANotifyAfterPin);
}

bool TPNSourcePin::IsConnectedByConverterTo(TPNBasicPin* AOtherPin)
{
    std::vector<IntfPtr<IPNFormatConverter>> converters;
    {
        IPNLockSection r = ReadLock();
        if (IndexOfRealPin(AOtherPin) < 0)
            return false;
        converters = FFormatConverters;
    }
    for (size_t i = converters.size(); i-- > 0;)
        if (converters[i]->Converter()->OutputPin()->IsConnectedTo(AOtherPin))
            return true;
    return false;
}

TGUID TPNSourcePin::GetConnectionID(TPNBasicPin* AOtherPin)
{
    {
        IPNLockSection r = ReadLock();
        int i = IndexOfRealPin(AOtherPin);
        if (i >= 0)
            return FSinkPins[size_t(i)]->ConnectedID;
    }
    return TPNStreamPin::GetConnectionID(AOtherPin);
}

TGUID TPNSourcePin::GetPrimaryConnectionID()
{
    {
        IPNLockSection r = ReadLock();
        if (!FSinkPins.empty())
            return FSinkPins.front()->ConnectedID;
    }
    return TPNStreamPin::GetPrimaryConnectionID();
}

// --------------------------------------------------------------- making links

bool TPNSourcePin::ConnectAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin)
{
    if (AOtherPin == this)
        return false;
    if (AOtherPin && !CanConnectAfter(AOtherPin, ANotifyAfterPin, true))
        return false;
    return InternalConnectAfter(AOtherPin, ANotifyAfterPin);
}

bool TPNSourcePin::CanConnectAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin,
                                   bool AUseConverters)
{
    std::vector<TPNBasicPin*> visited;
    return CanConnectAfterVisited(AOtherPin, ANotifyAfterPin, AUseConverters, visited);
}

bool TPNSourcePin::CanConnectAfterVisited(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin,
                                          bool AUseConverters, std::vector<TPNBasicPin*>& AVisited)
{
    bool a = TPNStreamPin::CanConnectAfter(AOtherPin, ANotifyAfterPin, AUseConverters);
    if (a || AOtherPin == ANotifyAfterPin)
        return a;
    if (IsOwnerLoading() || FInEditor)
        return true;
    TPNBasicPin* next = nullptr;
    {
        IPNLockSection r = ReadLock();
        int i = IndexOfRealPin(ANotifyAfterPin);
        if (i < 0)
            return a;
        next = FSinkPins[size_t(i)]->NotifyAfterPin;
    }
    if (!next)
        return true;
    // An after-pin chain that comes back to a pin already seen would recurse without end.
    if (std::find(AVisited.begin(), AVisited.end(), next) != AVisited.end() || next == ANotifyAfterPin)
        return false;
    AVisited.push_back(ANotifyAfterPin);
    return CanConnectAfterVisited(AOtherPin, next, AUseConverters, AVisited);
}

bool TPNSourcePin::InternalConnectAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin)
{
    IPNLockSection w = WriteLock();
    if (!AOtherPin)
        return false;
    if (!dynamic_cast<TPNBasicSinkPin*>(AOtherPin) && !IsStatePin(AOtherPin) && !IsUnloadedPin(AOtherPin))
        return false;
    EnforceLimit(AOtherPin);
    return AOtherPin->ConnectAfter(this, ANotifyAfterPin);
}

void TPNSourcePin::EnforceLimit(TPNBasicPin* AOtherPin)
{
    if (FMaxConnections <= 0)
        return;
    TPNBasicPin* first = nullptr;
    {
        IPNLockSection r = ReadLock();
        if (int(FSinkPins.size()) < FMaxConnections || IndexOfRealPin(AOtherPin) >= 0)
            return;
        first = FSinkPins.front()->RealPin;
    }
    DisconnectFrom(first);
}

void TPNSourcePin::AddLink(TPNBasicPin* APin, TPNBasicPin* ANotifyAfterPin)
{
    IPNLockSection w = WriteLock();
    EnforceLimit(APin);
    auto owned = std::make_unique<TPNPinEntry>();
    TPNPinEntry* e = owned.get();
    e->RealPin = APin;
    e->NotifyAfterPin = ANotifyAfterPin;
    FSinkPins.push_back(std::move(owned));
    try {
        TClass cls = nullptr;
        IntfPtr<IPNFormatConverter> conv;
        e->ConnectedID = ChooseLinkType(this, APin, true, cls, conv, true);
        if (cls) {
            conv = TPNFormatConverter::CreateOfClass(cls);
            FFormatConverters.push_back(conv);
        }
        if (conv) {
            TPNFormatConverter* c = conv->Converter();
            e->ConnectionPin = c->InputPin();
            c->InputPin()->RecordConverterSource(this);
            c->OutputPin()->ConnectAfter(APin, ANotifyAfterPin);
            if (auto* sink = dynamic_cast<TPNSinkPin*>(APin))
                sink->SetConnectionSource(c->OutputPin());
        } else {
            e->ConnectionPin = APin;
        }
        e->SubmitFunction = GetSubmitFunction(e->ConnectedID);
    } catch (...) {
        auto it = std::find_if(FSinkPins.begin(), FSinkPins.end(),
                               [e](const auto& p) { return p.get() == e; });
        if (it != FSinkPins.end())
            FSinkPins.erase(it);
        LinksChanged();
        throw;
    }
}

void TPNSourcePin::DropConvertersOf(TPNBasicPin* APin)
{
    // Called with this pin's write section held. The converters' own links to APin go,
    // and so does every converter whose output pin then has no link left; the references
    // are dropped by the caller once it holds no section of this pin.
    for (size_t i = FFormatConverters.size(); i-- > 0;) {
        if (i >= FFormatConverters.size())
            continue;
        IntfPtr<IPNFormatConverter> c = FFormatConverters[i];
        TPNSourcePin* out = c->Converter()->OutputPin();
        out->RemoveLink(APin, false);
        if (out->SinkCount() == 0)
            FFormatConverters.erase(FFormatConverters.begin() + long(i));
    }
}

void TPNSourcePin::RemoveLink(TPNBasicPin* APin, bool AKeepPlaceholder)
{
    PN_ASSERT_HAZARD(!pnhazard::InDeliveryOf(this),
                     "a pin is unlinked by a thread inside one of its deliveries");
    if (FInDisconnect)
        return;
    std::vector<IntfPtr<IPNFormatConverter>> before;
    bool removed = false;
    TPNPlaceholderRef after;
    {
        IPNDestroyLockSection d = FDestroyLock->DestroyLock();
        IPNLockSection w = WriteLock();
        // A link to a pin of a form being unloaded in the designer would wait here on a
        // placeholder; placeholders come with the form-resource links.
        (void)AKeepPlaceholder;
        int i = IndexOfRealPin(APin);
        if (i >= 0) {
            bool converted = FSinkPins[size_t(i)]->ConnectionPin != FSinkPins[size_t(i)]->RealPin;
            before = FFormatConverters;
            if (converted)
                DropConvertersOf(APin);
            i = IndexOfRealPin(APin);
            if (i >= 0) {
                after = PlaceholderRefOf(FSinkPins[size_t(i)]->NotifyAfterPin);
                FSinkPins.erase(FSinkPins.begin() + i);
            }
            LinksChanged();
            removed = true;
        }
    }
    before.clear();  // converters no longer listed are freed here, outside the sections
    if (removed)
        APin->AfterUnlink();
    ReleaseUnusedPlaceholders({after});  // a stored ordering whose pin never came
}

void TPNSourcePin::UnlinkSink(TPNBasicPin* APin)
{
    bool keep = IsDesigning() && IsRootDestroying();
    {
        bool old = FInDisconnect;
        FInDisconnect = true;
        try {
            RemoveLink(APin, keep);  // derived pins run their part (a stop to that sink)
        } catch (...) {
            FInDisconnect = old;
            throw;
        }
        FInDisconnect = old;
    }
    APin->RemoveLink(this, keep);
    TPNPlaceholderRef after;
    int i = IndexOfRealPin(APin);
    if (i >= 0) {
        bool converted = FSinkPins[size_t(i)]->ConnectionPin != FSinkPins[size_t(i)]->RealPin;
        if (converted) {
            // The converter's link to the sink goes too; otherwise freeing the converter
            // later would send the sink a stray stop and cut whatever link it has then.
            std::vector<IntfPtr<IPNFormatConverter>> before = FFormatConverters;
            DropConvertersOf(APin);
            IPNLockSection u = UnlockAll();
            before.clear();
        }
        i = IndexOfRealPin(APin);
        if (i >= 0) {
            after = PlaceholderRefOf(FSinkPins[size_t(i)]->NotifyAfterPin);
            FSinkPins.erase(FSinkPins.begin() + i);
        }
        LinksChanged();
    }
    APin->AfterUnlink();
    ReleaseUnusedPlaceholders({after});
}

void TPNSourcePin::Disconnect()
{
    PN_ASSERT_HAZARD(!pnhazard::InDeliveryOf(this),
                     "a pin is unlinked by a thread inside one of its deliveries");
    IPNLockSection w = WriteLock();
    IPNDestroyLockSection d = FDestroyLock->DestroyLock();
    BeforeDisconnect();
    TPNStreamPin::Disconnect();  // the state-link part
    while (!FSinkPins.empty()) {
        size_t n = FSinkPins.size();
        TPNBasicPin* sink = FSinkPins.back()->RealPin;
        sink->BeforeDisconnect();
        UnlinkSink(sink);
        if (FSinkPins.size() == n)  // the entry is still there: drop it
            FSinkPins.pop_back();
    }
    LinksChanged();
}

void TPNSourcePin::DisconnectFrom(TPNBasicPin* AOtherPin)
{
    PN_ASSERT_HAZARD(!pnhazard::InDeliveryOf(this),
                     "a pin is unlinked by a thread inside one of its deliveries");
    BeforeDisconnect();
    if (IsConnectedTo(AOtherPin)) {
        IPNLockSection w = WriteLock();
        IPNDestroyLockSection d = FDestroyLock->DestroyLock();
        UnlinkSink(AOtherPin);
    } else {
        TPNStreamPin::DisconnectFrom(AOtherPin);
    }
}

// ---------------------------------------------------------------------- sending

namespace {

struct TSendCopy {
    TPNBasicPin* ConnectionPin;
    TPNBasicPin* RealPin;
    TGUID ID;
    TPNSubmit Submit;
    TPNFormatConverter* Converter;  // counted while the send runs
};

constexpr size_t KInlineCopies = 32;

}  // namespace

TPNNotifyResult TPNSourcePin::NotifyPin(TPNBasicPin* APin, IPNNotifyOperation* AOperation)
{
    IntfPtr<IPNNotifyOperation> hold(AOperation);

    IPNLockSection inputUnlock;
    IPNLockSection ownerUnlock;
    if (FOwnerLock) {
        if (FInputOwnerLock) {
            inputUnlock = FInputOwnerLock->UnlockAll();
            ownerUnlock = FOwnerLock->UnlockAllLockInOrder(FInputOwnerLock);
        } else {
            ownerUnlock = FOwnerLock->UnlockAll();
        }
    }

    // The links are copied once; no heap is touched for up to KInlineCopies links.
    TSendCopy inlineCopies[KInlineCopies];
    std::unique_ptr<TSendCopy[]> heapCopies;
    TSendCopy* copies = inlineCopies;
    size_t n = 0;
    uint32_t generation = 0;

    IPNLockSection r = ReadLock();
    n = FSinkPins.size();
    if (n > KInlineCopies) {
        heapCopies.reset(new TSendCopy[n]);
        copies = heapCopies.get();
    }
    generation = FLinkGeneration.load(std::memory_order_acquire);
    for (size_t i = 0; i < n; ++i) {
        const TPNPinEntry& e = *FSinkPins[i];
        TPNFormatConverter* conv = ConverterOfPin(e.ConnectionPin);
        if (conv)
            conv->_AddRef();
        copies[i] = {e.ConnectionPin, e.RealPin, e.ConnectedID, e.SubmitFunction, conv};
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

    auto releaseCopies = [&]() {
        bool any = false;
        for (size_t i = 0; i < n; ++i)
            any = any || copies[i].Converter;
        if (!any)
            return;
        IPNLockSection u = UnlockAll();
        for (size_t i = 0; i < n; ++i)
            if (copies[i].Converter)
                copies[i].Converter->_Release();
    };

    if (FInSending > 200) {
        r.Release();
        inputUnlock.Release();
        ownerUnlock.Release();
        releaseCopies();
        throw EPNException(SPNDependsOnItself);
    }
    ++FInSending;

    TPNNotifyResult result;
    IPNDestroyLockSection guard;
    try {
        result = TPNStreamPin::Notify(AOperation);
        // No section of this pin is held while a delivery runs: the copies are local, and
        // the read section comes back only to raise a link's weight.
        r.Release();
        for (size_t i = 0; i < n; ++i) {
            TSendCopy& c = copies[i];
            if (APin && c.RealPin != APin)
                continue;
            TPNNotifyState state;
            if (i == n - 1)
                state.Include(nsLastIteration);
            if (!c.Submit.Assigned())
                continue;
            guard = FDestroyLock->Lock();
            if (!guard)
                continue;  // another thread is cutting a link of this pin
            // Links removed since the copy was made (by unlinks that waited for the
            // previous delivery) are not served: their sinks may be gone already.
            bool live = FLinkGeneration.load(std::memory_order_acquire) == generation;
            if (!live) {
                IPNLockSection check = ReadLock();
                for (auto& e : FSinkPins)
                    if (e->RealPin == c.RealPin && e->ConnectionPin == c.ConnectionPin &&
                        e->ConnectedID == c.ID) {
                        live = true;
                        break;
                    }
            }
            if (!live)
                continue;
            TPNNotifyResult answer;
            {
                pnhazard::TDelivery inDelivery(this);
                answer = c.Submit(static_cast<IPNStream*>(c.ConnectionPin), &c.ID, AOperation, state);
            }
            if (answer.Contains(nrDataChanged)) {
                IPNLockSection w = ReadLock();
                int k = IndexOfRealPin(c.RealPin);
                if (k >= 0 && FSinkPins[size_t(k)]->ModificationLevel < 10000)
                    FSinkPins[size_t(k)]->ModificationLevel += 4;
            }
        }
    } catch (...) {
        r.Release();
        guard.Release();
        inputUnlock.Release();
        ownerUnlock.Release();
        {
            IPNLockSection w = WriteLock();
            --FInSending;
        }
        releaseCopies();
        throw;
    }
    r.Release();
    guard.Release();
    inputUnlock.Release();
    ownerUnlock.Release();
    {
        IPNLockSection w = WriteLock();
        if (!FInDisconnect)
            SortSinkPins();
        --FInSending;
    }
    releaseCopies();
    return result;
}

void TPNSourcePin::SortSinkPins()
{
    IPNLockSection w = WriteLock();
    for (auto& e : FSinkPins)
        if (e->ModificationLevel > 0)
            --e->ModificationLevel;
    // Stable, in place and without allocation: links of equal weight keep their order.
    for (size_t i = 1; i < FSinkPins.size(); ++i) {
        size_t j = i;
        while (j > 0 && FSinkPins[j - 1]->ModificationLevel > FSinkPins[j]->ModificationLevel) {
            std::swap(FSinkPins[j - 1], FSinkPins[j]);
            --j;
        }
    }
    // One pass: a link ordered after a pin whose link lies later moves to just behind it.
    // Each link is visited once, in the order of the list before the pass, so after-pins
    // that loop cannot make the pass go round.
    size_t n = FSinkPins.size();
    bool anyAfter = false;
    for (auto& e : FSinkPins)
        anyAfter = anyAfter || e->NotifyAfterPin;
    if (!anyAfter)
        return;
    std::vector<TPNPinEntry*> order;
    order.reserve(n);
    for (auto& e : FSinkPins)
        order.push_back(e.get());
    for (TPNPinEntry* e : order) {
        if (!e->NotifyAfterPin)
            continue;
        size_t i = 0;
        while (i < n && FSinkPins[i].get() != e)
            ++i;
        int j = IndexOfRealPin(e->NotifyAfterPin);
        if (j < 0 || size_t(j) <= i)
            continue;
        auto moved = std::move(FSinkPins[i]);
        FSinkPins.erase(FSinkPins.begin() + long(i));
        FSinkPins.insert(FSinkPins.begin() + j, std::move(moved));
    }
}

void TPNSourcePin::SendNewLink(TPNBasicPin* ASink, TPNSubmit ASubmitFunction)
{
    if (!ASubmitFunction.Assigned())
        return;
    {
        IPNLockSection w = WriteLock();
        if (FInSending > 10)
            throw EPNException(SPNDependsOnItself);
        ++FInSending;
    }
    // The nesting count comes back on every exit, also when a receiver raises; otherwise
    // each failure would leave it one higher until the pin refused every new link.
    struct TRestore {
        TPNSourcePin* Pin;
        ~TRestore()
        {
            IPNLockSection w = Pin->WriteLock();
            --Pin->FInSending;
        }
    } restore{this};

    TClass cls = nullptr;
    IntfPtr<IPNFormatConverter> conv;
    TGUID id = ChooseLinkType(this, ASink, true, cls, conv, false);
    IPNLockSection u = UnlockAll();
    IPNDestroyLockSection d = FDestroyLock->Lock();
    if (d) {
        IPNLockSection ou;
        if (FOwnerLock)
            ou = FOwnerLock->UnlockAllLockInOrder(FInputOwnerLock);
        IntfPtr<IPNNotifyOperation> op = MakeOperation<TPNNotifyOperation>();
        pnhazard::TDelivery inDelivery(this);
        ASubmitFunction(static_cast<IPNStream*>(ASink), &id, op.Get(),
                        TPNNotifyState{nsNewLink, nsLastIteration});
    }
}

void TPNSourcePin::SendNewLinkTo(TPNBasicPin* ASink)
{
    IPNLockSection w = WriteLock();
    int i = IndexOfRealPin(ASink);
    if (i < 0)
        return;
    // Over a converted link the notification goes to the converter's input, in the type
    // the link carries: the sink itself does not take the source's type.
    const TPNPinEntry& e = *FSinkPins[size_t(i)];
    SendNewLink(e.ConnectionPin, e.SubmitFunction);
}

// ------------------------------------------------------------------ after-pins

void TPNSourcePin::PinDestroyed(TPNBasicPin* APin)
{
    IPNLockSection w = WriteLock();
    if (auto* sink = dynamic_cast<TPNBasicSinkPin*>(APin)) {
        FFunctionSources.Remove(sink);
        FDataTypeSources.Remove(sink);
    }
    for (size_t i = FSinkPins.size(); i-- > 0;)
        if (i < FSinkPins.size() && FSinkPins[i]->RealPin == APin)
            RemoveLink(APin, false);
    for (auto& e : FSinkPins)
        if (e->NotifyAfterPin == APin)
            e->NotifyAfterPin = nullptr;
}

bool TPNSourcePin::NamesAfterPin(TPNBasicPin* APin)
{
    IPNLockSection r = ReadLock();
    for (auto& e : FSinkPins)
        if (e->NotifyAfterPin == APin)
            return true;
    return false;
}

void TPNSourcePin::ReplaceAfterPin(TPNBasicPin* AOldPin, TPNBasicPin* ANewPin)
{
    IPNLockSection w = WriteLock();
    for (auto& e : FSinkPins)
        if (e->NotifyAfterPin == AOldPin)
            e->NotifyAfterPin = ANewPin;
}

void TPNSourcePin::SetAfterPinByName(TPNBasicPin* APin, const std::string& AName)
{
    IPNLockSection w = WriteLock();
    TPNBasicPin* after = nullptr;
    for (auto& e : FSinkPins)
        if (e->RealPin->GetFullName(false) == AName || e->RealPin->GetFullName(true) == AName) {
            after = e->RealPin;
            break;
        }
    if (!after)
        return;
    int i = IndexOfRealPin(APin);
    if (i >= 0)
        FSinkPins[size_t(i)]->NotifyAfterPin = after;
}

std::string TPNSourcePin::GetLinkDisplayText()
{
    int n;
    TPNBasicPin* only = nullptr;
    {
        IPNLockSection r = ReadLock();
        n = int(FSinkPins.size());
        if (n == 1)
            only = FSinkPins.front()->RealPin;
    }
    if (n == 0)
        return TPNStreamPin::GetLinkDisplayText();
    if (only && !FDispatcher)
        return only->GetFullName(only->GetRootName() != GetRootName());
    return "( " + std::to_string(n) + " Links )";
}

bool TPNSourcePin::IsLinkedTo(const std::string& APinName)
{
    std::vector<TPNBasicPin*> sinks;
    {
        IPNLockSection r = ReadLock();
        for (auto& e : FSinkPins)
            sinks.push_back(e->RealPin);
    }
    const std::string root = GetRootName();
    for (TPNBasicPin* p : sinks)
        if (p->GetFullName(true) == APinName || (p->GetRootName() == root && p->GetFullName(false) == APinName))
            return true;
    return false;
}

std::string TPNSourcePin::GetAfterPinDisplayName(TPNBasicPin* APin)
{
    TPNBasicPin* after = GetNotifyAfterPin(APin);
    if (!after)
        return "";
    bool otherRoot = GetRootName() != APin->GetRootName();
    return after->GetFullName(otherRoot);
}

}  // namespace dcs
