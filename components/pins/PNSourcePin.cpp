#include "components/pins/PNHazardsInternal.h"
#include "components/pins/PNPinReferrers.h"
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
        NotePinReference(FOwner, APin);
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

TPNSourcePin::TPNSourcePin(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock, IntfPtr<IPNLock> AInputOwnerLock,
                           int32_t AMaxConnections)
    : TPNStreamPin(AOwner, std::move(AOwnerLock)), FInputOwnerLock(std::move(AInputOwnerLock)),
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
        converters.swap(FLinks.Converters());
    }
    // The converters go last, with no section of this pin held: freeing one unlinks its
    // input pin, which asks this pin for its sections.
    converters.clear();
}

int TPNSourcePin::SinkCount() { return FLinks.Count(); }

TPNBasicPin* TPNSourcePin::GetSink(int AIndex) { return FLinks.Get(AIndex); }

int TPNSourcePin::ConverterCount() { return FLinks.ConverterCount(); }

IntfPtr<IPNFormatConverter> TPNSourcePin::GetConverter(int AIndex) { return FLinks.GetConverter(AIndex); }

int32_t TPNSourcePin::GetModificationLevel(TPNBasicPin* APin) { return FLinks.Weight(APin); }

TPNBasicPin* TPNSourcePin::GetNotifyAfterPin(TPNBasicPin* APin)
{
    TPNBasicPin* after = nullptr;
    FLinks.FindLink(APin, &after, nullptr);
    return after;
}

bool TPNSourcePin::IsConnected()
{
    if (FLinks.Count() > 0)
        return true;
    return IsStateConnected();
}

bool TPNSourcePin::IsConnectedTo(TPNBasicPin* AOtherPin)
{
    if (FLinks.Contains(AOtherPin))
        return true;
    return IsConnectedByStateTo(AOtherPin);
}

bool TPNSourcePin::IsConnectedToAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin)
{
    {
        IPNLockSection r = ReadLock();
        for (auto& e : FLinks)
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
        if (FLinks.IndexOfRealPin(AOtherPin) < 0)
            return false;
        converters = FLinks.Converters();
    }
    for (size_t i = converters.size(); i-- > 0;)
        if (converters[i]->Converter()->OutputPin()->IsConnectedTo(AOtherPin))
            return true;
    return false;
}

TGUID TPNSourcePin::GetConnectionID(TPNBasicPin* AOtherPin)
{
    TGUID id;
    if (FLinks.FindLink(AOtherPin, nullptr, &id))
        return id;
    return TPNStreamPin::GetConnectionID(AOtherPin);
}

TGUID TPNSourcePin::GetPrimaryConnectionID()
{
    {
        IPNLockSection r = ReadLock();
        if (!FLinks.Empty())
            return FLinks.Front().ConnectedID;
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

bool TPNSourcePin::CanConnectAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin, bool AUseConverters)
{
    std::vector<TPNBasicPin*> visited;
    return CanConnectAfterVisited(AOtherPin, ANotifyAfterPin, AUseConverters, visited);
}

bool TPNSourcePin::CanConnectAfterVisited(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin, bool AUseConverters,
                                          std::vector<TPNBasicPin*>& AVisited)
{
    bool a = TPNStreamPin::CanConnectAfter(AOtherPin, ANotifyAfterPin, AUseConverters);
    if (a || AOtherPin == ANotifyAfterPin)
        return a;
    if (IsOwnerLoading() || FInEditor)
        return true;
    TPNBasicPin* next = nullptr;
    {
        IPNLockSection r = ReadLock();
        int i = FLinks.IndexOfRealPin(ANotifyAfterPin);
        if (i < 0)
            return a;
        next = FLinks[size_t(i)].NotifyAfterPin;
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
        if (int(FLinks.Size()) < FMaxConnections || FLinks.IndexOfRealPin(AOtherPin) >= 0)
            return;
        first = FLinks.Front().RealPin;
    }
    DisconnectFrom(first);
}

void TPNSourcePin::AddLink(TPNBasicPin* APin, TPNBasicPin* ANotifyAfterPin)
{
    IPNLockSection w = WriteLock();
    EnforceLimit(APin);
    TPNPinEntry* e = &FLinks.Add(APin, nullptr, ANotifyAfterPin);
    try {
        TClass cls = nullptr;
        IntfPtr<IPNFormatConverter> conv;
        e->ConnectedID = ChooseLinkType(this, APin, true, cls, conv, true);
        if (cls) {
            conv = TPNFormatConverter::CreateOfClass(cls);
            FLinks.Converters().push_back(conv);
        }
        if (conv) {
            TPNFormatConverter* c = conv->Converter();
            e->ConnectionPin = c->InputPin();
            NotePinReference(this, e->ConnectionPin);
            c->InputPin()->RecordConverterSource(this);
            c->OutputPin()->ConnectAfter(APin, ANotifyAfterPin);
            if (auto* sink = dynamic_cast<TPNSinkPin*>(APin))
                sink->SetConnectionSource(c->OutputPin());
        } else {
            e->ConnectionPin = APin;
        }
        e->SubmitFunction = GetSubmitFunction(e->ConnectedID);
    } catch (...) {
        FLinks.Remove(e);
        throw;
    }
}

void TPNSourcePin::DropConvertersOf(TPNBasicPin* APin)
{
    // Called with this pin's write section held. The converters' own links to APin go,
    // and so does every converter whose output pin then has no link left; the references
    // are dropped by the caller once it holds no section of this pin.
    for (size_t i = FLinks.Converters().size(); i-- > 0;) {
        if (i >= FLinks.Converters().size())
            continue;
        IntfPtr<IPNFormatConverter> c = FLinks.Converters()[i];
        TPNSourcePin* out = c->Converter()->OutputPin();
        out->RemoveLink(APin, false);
        if (out->SinkCount() == 0)
            FLinks.Converters().erase(FLinks.Converters().begin() + long(i));
    }
}

void TPNSourcePin::RemoveLink(TPNBasicPin* APin, bool AKeepPlaceholder)
{
    PN_ASSERT_HAZARD(!pnhazard::InDeliveryOf(this), "a pin is unlinked by a thread inside one of its deliveries");
    if (FLinks.InDisconnect)
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
        int i = FLinks.IndexOfRealPin(APin);
        if (i >= 0) {
            bool converted = FLinks[size_t(i)].ConnectionPin != FLinks[size_t(i)].RealPin;
            before = FLinks.Converters();
            if (converted)
                DropConvertersOf(APin);
            i = FLinks.IndexOfRealPin(APin);
            if (i >= 0) {
                after = PlaceholderRefOf(FLinks[size_t(i)].NotifyAfterPin);
                FLinks.Erase(size_t(i));
            }
            FLinks.Changed();
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
        bool old = FLinks.InDisconnect;
        FLinks.InDisconnect = true;
        try {
            RemoveLink(APin, keep);  // derived pins run their part (a stop to that sink)
        } catch (...) {
            FLinks.InDisconnect = old;
            throw;
        }
        FLinks.InDisconnect = old;
    }
    APin->RemoveLink(this, keep);
    TPNPlaceholderRef after;
    int i = FLinks.IndexOfRealPin(APin);
    if (i >= 0) {
        bool converted = FLinks[size_t(i)].ConnectionPin != FLinks[size_t(i)].RealPin;
        if (converted) {
            // The converter's link to the sink goes too; otherwise freeing the converter
            // later would send the sink a stray stop and cut whatever link it has then.
            std::vector<IntfPtr<IPNFormatConverter>> before = FLinks.Converters();
            DropConvertersOf(APin);
            IPNLockSection u = UnlockAll();
            before.clear();
        }
        i = FLinks.IndexOfRealPin(APin);
        if (i >= 0) {
            after = PlaceholderRefOf(FLinks[size_t(i)].NotifyAfterPin);
            FLinks.Erase(size_t(i));
        }
        FLinks.Changed();
    }
    APin->AfterUnlink();
    ReleaseUnusedPlaceholders({after});
}

void TPNSourcePin::Disconnect()
{
    PN_ASSERT_HAZARD(!pnhazard::InDeliveryOf(this), "a pin is unlinked by a thread inside one of its deliveries");
    IPNLockSection w = WriteLock();
    IPNDestroyLockSection d = FDestroyLock->DestroyLock();
    BeforeDisconnect();
    TPNStreamPin::Disconnect();  // the state-link part
    while (!FLinks.Empty()) {
        size_t n = FLinks.Size();
        TPNBasicPin* sink = FLinks.Back().RealPin;
        sink->BeforeDisconnect();
        UnlinkSink(sink);
        if (FLinks.Size() == n)  // the entry is still there: drop it
            FLinks.PopBack();
    }
    FLinks.Changed();
}

void TPNSourcePin::DisconnectFrom(TPNBasicPin* AOtherPin)
{
    PN_ASSERT_HAZARD(!pnhazard::InDeliveryOf(this), "a pin is unlinked by a thread inside one of its deliveries");
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

TPNNotifyResult TPNSourcePin::NotifyPin(TPNBasicPin* APin, IPNNotifyOperation* AOperation)
{
    // The owner's levels are given up for the whole send (the input owner's first), and
    // taken back in the owner's own order, input first: declared in reverse, so that the
    // destructors restore them that way on every exit. Taking the output back first would
    // hold it while waiting for the input, against a thread that takes input then output.
    IPNLockSection ownerUnlock;
    IPNLockSection inputUnlock;
    if (FOwnerLock) {
        if (FInputOwnerLock) {
            inputUnlock = FInputOwnerLock->UnlockAll();
            ownerUnlock = FOwnerLock->UnlockAllLockInOrder(FInputOwnerLock);
        } else {
            ownerUnlock = FOwnerLock->UnlockAll();
        }
    }
    return FLinks.Send(AOperation, APin, nullptr);
}

void TPNSourcePin::SendNewLink(TPNBasicPin* ASink, TPNSubmit ASubmitFunction)
{
    if (!ASubmitFunction.Assigned())
        return;
    {
        IPNLockSection w = WriteLock();
        if (FLinks.InSending > 10)
            throw EPNException(SPNDependsOnItself);
        ++FLinks.InSending;
    }
    // The nesting count comes back on every exit, also when a receiver raises; otherwise
    // each failure would leave it one higher until the pin refused every new link.
    struct TRestore {
        TPNSourcePin* Pin;
        ~TRestore()
        {
            IPNLockSection w = Pin->WriteLock();
            --Pin->FLinks.InSending;
        }
    } restore {this};

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
        ASubmitFunction(static_cast<IPNStream*>(ASink), &id, op.Get(), TPNNotifyState {nsNewLink, nsLastIteration});
    }
}

void TPNSourcePin::SendNewLinkTo(TPNBasicPin* ASink)
{
    IPNLockSection w = WriteLock();
    int i = FLinks.IndexOfRealPin(ASink);
    if (i < 0)
        return;
    // Over a converted link the notification goes to the converter's input, in the type
    // the link carries: the sink itself does not take the source's type.
    const TPNPinEntry& e = FLinks[size_t(i)];
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
    for (size_t i = FLinks.Size(); i-- > 0;)
        if (i < FLinks.Size() && FLinks[i].RealPin == APin)
            RemoveLink(APin, false);
    FLinks.ForgetAfterPin(APin);
}

bool TPNSourcePin::NamesAfterPin(TPNBasicPin* APin) { return FLinks.NamesAfterPin(APin); }

void TPNSourcePin::ReplaceAfterPin(TPNBasicPin* AOldPin, TPNBasicPin* ANewPin)
{
    IPNLockSection w = WriteLock();
    FLinks.ReplaceAfterPin(AOldPin, ANewPin);
}

void TPNSourcePin::SetAfterPinByName(TPNBasicPin* APin, const std::string& AName)
{
    IPNLockSection w = WriteLock();
    TPNBasicPin* after = nullptr;
    for (auto& e : FLinks)
        if (e->RealPin->GetFullName(false) == AName || e->RealPin->GetFullName(true) == AName) {
            after = e->RealPin;
            break;
        }
    if (!after)
        return;
    int i = FLinks.IndexOfRealPin(APin);
    if (i >= 0) {
        NotePinReference(this, after);
        FLinks[size_t(i)].NotifyAfterPin = after;
    }
}

std::string TPNSourcePin::GetLinkDisplayText()
{
    int n;
    TPNBasicPin* only = nullptr;
    {
        IPNLockSection r = ReadLock();
        n = int(FLinks.Size());
        if (n == 1)
            only = FLinks.Front().RealPin;
    }
    if (n == 0)
        return TPNStreamPin::GetLinkDisplayText();
    if (only && !FDispatcher)
        return only->GetFullName(only->GetRootName() != GetRootName());
    return "( " + std::to_string(n) + " Links )";
}

bool TPNSourcePin::IsLinkedTo(const std::string& APinName) { return FLinks.IsLinkedTo(APinName); }

std::string TPNSourcePin::GetAfterPinDisplayName(TPNBasicPin* APin)
{
    TPNBasicPin* after = GetNotifyAfterPin(APin);
    if (!after)
        return "";
    bool otherRoot = GetRootName() != APin->GetRootName();
    return after->GetFullName(otherRoot);
}

}  // namespace dcs
