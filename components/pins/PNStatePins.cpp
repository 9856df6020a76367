#include "components/pins/PNStatePins.h"

#include "components/pins/PNSync.h"

#include <algorithm>
#include <cmath>

namespace dcs {

// ------------------------------------------------------------------- registers

namespace {

struct TDispatcherRegisters {
    TPNCriticalSection Section;
    std::vector<TPNDispatcherRef> Design;
    std::vector<TPNDispatcherRef> Run;
    std::vector<TPNDispatcherRef>& Of(bool ADesignTime) { return ADesignTime ? Design : Run; }
};

TDispatcherRegisters& Registers()
{
    static TDispatcherRegisters* r = new TDispatcherRegisters;  // outlives static pin owners
    return *r;
}

void Unregister(TPNStateDispatcher* ADispatcher)
{
    auto& r = Registers();
    TPNDispatcherRef last;  // dropped after the register section
    TPNCriticalSectionLock g(r.Section);
    for (auto* list : {&r.Design, &r.Run})
        for (auto it = list->begin(); it != list->end(); ++it)
            if (it->get() == ADispatcher) {
                last = std::move(*it);
                list->erase(it);
                return;
            }
}

// Sends nested through state links on one thread; a loop of members that answer each
// other is stopped like a loop of links.
thread_local int TStateSendDepth = 0;
// Sinks offering themselves to a dispatcher's members on this thread.
thread_local std::vector<TPNBasicPin*> TSinksInConnect;

}  // namespace

TPNDispatcherRef TPNStateDispatcher::CreateNamed(const std::string& AName, bool ADesignTime)
{
    TPNDispatcherRef d(dcs::Create<TPNStateDispatcher>(AName, ADesignTime), TFreeDeleter());
    auto& r = Registers();
    TPNCriticalSectionLock g(r.Section);
    r.Of(ADesignTime).push_back(d);
    return d;
}

TPNDispatcherRef TPNStateDispatcher::Create(TComponent* AOwnerForm)
{
    bool design = AOwnerForm && AOwnerForm->ComponentState().Contains(csDesigning);
    auto& r = Registers();
    TPNCriticalSectionLock g(r.Section);  // the name stays unique until the dispatcher is listed
    std::string name = GetUniqueName(AOwnerForm);
    TPNDispatcherRef d(dcs::Create<TPNStateDispatcher>(name, design), TFreeDeleter());
    r.Of(design).push_back(d);
    return d;
}

TPNDispatcherRef TPNStateDispatcher::GetByName(const std::string& AName, bool ADesignTime)
{
    auto& r = Registers();
    TPNCriticalSectionLock g(r.Section);
    for (auto& d : r.Of(ADesignTime))
        if (d->FName == AName)
            return d;
    return nullptr;
}

TPNDispatcherRef TPNStateDispatcher::GetByNameCreate(TPNBasicPin*, const std::string& AName, bool ADesignTime)
{
    auto& r = Registers();
    TPNCriticalSectionLock g(r.Section);  // two pins joining one new name get one dispatcher
    if (TPNDispatcherRef d = GetByName(AName, ADesignTime))
        return d;
    return CreateNamed(AName, ADesignTime);
}

bool TPNStateDispatcher::IsUniqueName(const std::string& AName, bool ADesignTime)
{
    return !GetByName(AName, ADesignTime);
}

std::string TPNStateDispatcher::GetUniqueName(TComponent* AOwnerForm)
{
    bool design = AOwnerForm && AOwnerForm->ComponentState().Contains(csDesigning);
    std::string base = (AOwnerForm ? AOwnerForm->Name() : std::string()) + "Link";
    auto& r = Registers();
    TPNCriticalSectionLock g(r.Section);
    for (int n = 1;; ++n)
        if (IsUniqueName(base + std::to_string(n), design))
            return base + std::to_string(n);
}

int TPNStateDispatcher::RegisteredCount(bool ADesignTime)
{
    auto& r = Registers();
    TPNCriticalSectionLock g(r.Section);
    return int(r.Of(ADesignTime).size());
}

TPNStateDispatcher::~TPNStateDispatcher()
{
    std::vector<IntfPtr<IPNFormatConverter>> converters;
    {
        IPNLockSection w = WriteLock();
        converters.swap(FFormatConverters);
        FPins.clear();
    }
}

// ---------------------------------------------------------------------- members

int TPNStateDispatcher::IndexOfReal(TPNBasicPin* APin)
{
    for (size_t i = 0; i < FPins.size(); ++i)
        if (FPins[i].RealPin == APin)
            return int(i);
    return -1;
}

std::string TPNStateDispatcher::Name()
{
    IPNLockSection r = ReadLock();
    return FName;
}

int TPNStateDispatcher::PinCount()
{
    IPNLockSection r = ReadLock();
    return int(FPins.size());
}

TPNBasicPin* TPNStateDispatcher::GetPin(int AIndex)
{
    IPNLockSection r = ReadLock();
    return (AIndex >= 0 && size_t(AIndex) < FPins.size()) ? FPins[size_t(AIndex)].RealPin : nullptr;
}

TPNBasicPin* TPNStateDispatcher::GetConnectionPin(int AIndex)
{
    IPNLockSection r = ReadLock();
    return (AIndex >= 0 && size_t(AIndex) < FPins.size()) ? FPins[size_t(AIndex)].ConnectionPin : nullptr;
}

TPNBasicPin* TPNStateDispatcher::GetAfterPin(int AIndex)
{
    IPNLockSection r = ReadLock();
    return (AIndex >= 0 && size_t(AIndex) < FPins.size()) ? FPins[size_t(AIndex)].AfterPin : nullptr;
}

std::vector<TPNDispatcherPinStorage> TPNStateDispatcher::Members()
{
    IPNLockSection r = ReadLock();
    return FPins;
}

void TPNStateDispatcher::AddPinAfter(TPNBasicPin* AConnectionPin, TPNBasicPin* ARealPin, TPNBasicPin* ANotifyAfterPin)
{
    IPNLockSection w = WriteLock();
    for (auto& m : FPins)
        if (m.RealPin == AConnectionPin || m.ConnectionPin == AConnectionPin)
            return;
    FPins.push_back({AConnectionPin, ARealPin, ANotifyAfterPin});
}

void TPNStateDispatcher::RemovePin(TPNBasicPin* APin)
{
    TPNDispatcherRef self = shared_from_this();  // alive until this call returns
    std::vector<TPNBasicPin*> leaving;
    std::vector<IntfPtr<IPNFormatConverter>> released;
    bool empty;
    {
        IPNLockSection w = WriteLock();
        std::lock_guard flights(FFlightMutex);  // no delivery starts to a member being removed
        auto it = std::find_if(FPins.begin(), FPins.end(),
                               [APin](const auto& m) { return m.RealPin == APin || m.ConnectionPin == APin; });
        if (it == FPins.end())
            return;
        TPNDispatcherPinStorage gone = *it;
        FPins.erase(it);
        leaving.push_back(gone.RealPin);
        if (gone.ConnectionPin != gone.RealPin)
            leaving.push_back(gone.ConnectionPin);
        // No member keeps naming a pin that is no member.
        for (auto& m : FPins)
            if (m.AfterPin == gone.RealPin || m.AfterPin == gone.ConnectionPin)
                m.AfterPin = nullptr;
        if (FPins.size() == 1) {
            leaving.push_back(FPins[0].RealPin);
            if (FPins[0].ConnectionPin != FPins[0].RealPin)
                leaving.push_back(FPins[0].ConnectionPin);
            FPins.clear();
        }
        // Converters that no member goes through any longer.
        for (size_t c = FFormatConverters.size(); c-- > 0;) {
            TPNBasicPin* in = FFormatConverters[c]->Converter()->InputPin();
            bool used = std::any_of(FPins.begin(), FPins.end(), [in](const auto& m) { return m.ConnectionPin == in; });
            if (!used) {
                released.push_back(FFormatConverters[c]);
                FFormatConverters.erase(FFormatConverters.begin() + long(c));
            }
        }
        empty = FPins.empty();
    }
    for (TPNBasicPin* p : leaving) {
        WaitForDeliveriesTo(p);
        TPNStateLinks::SetDispatcher(p, nullptr);
    }
    released.clear();
    if (empty)
        Unregister(this);
}

bool TPNStateDispatcher::BeginDelivery(TPNBasicPin* AConnectionPin)
{
    IPNLockSection r = ReadLock();
    std::lock_guard flights(FFlightMutex);
    if (std::none_of(FPins.begin(), FPins.end(),
                     [AConnectionPin](const auto& m) { return m.ConnectionPin == AConnectionPin; }))
        return false;
    FFlights.push_back({AConnectionPin, std::this_thread::get_id()});
    return true;
}

void TPNStateDispatcher::EndDelivery(TPNBasicPin* AConnectionPin)
{
    {
        std::lock_guard flights(FFlightMutex);
        auto self = std::this_thread::get_id();
        for (auto it = FFlights.end(); it != FFlights.begin();) {
            --it;
            if (it->Pin == AConnectionPin && it->Thread == self) {
                FFlights.erase(it);
                break;
            }
        }
    }
    FFlightDone.notify_all();
}

void TPNStateDispatcher::WaitForDeliveriesTo(TPNBasicPin* APin)
{
    // Levels of the leaving pin held by this thread are given up meanwhile: a delivery
    // into it may ask for its section. Deliveries this thread itself is making (a
    // receiver that leaves from inside one) are not waited for.
    IPNLockSection own = APin->UnlockAll();
    auto self = std::this_thread::get_id();
    std::unique_lock flights(FFlightMutex);
    FFlightDone.wait(flights, [&] {
        return std::none_of(FFlights.begin(), FFlights.end(),
                            [&](const TFlight& f) { return f.Pin == APin && f.Thread != self; });
    });
}

bool TPNStateDispatcher::IsConnectedTo(TPNBasicPin* APin)
{
    IPNLockSection r = ReadLock();
    return APin && IndexOfReal(APin) >= 0;
}

bool TPNStateDispatcher::IsConnectedToAfter(TPNBasicPin* APin, TPNBasicPin* ANotifyAfterPin)
{
    IPNLockSection r = ReadLock();
    int i = IndexOfReal(APin);
    return i >= 0 && FPins[size_t(i)].AfterPin == ANotifyAfterPin;
}

void TPNStateDispatcher::DisconnectAll()
{
    TPNDispatcherRef self = shared_from_this();
    for (;;) {
        TPNBasicPin* first;
        {
            IPNLockSection r = ReadLock();
            if (FPins.empty())
                return;
            first = FPins[0].RealPin;
        }
        first->Disconnect();
        IPNLockSection r = ReadLock();
        if (!FPins.empty() && FPins[0].RealPin == first)
            return;  // the member did not leave: stop rather than go round
    }
}

bool TPNStateDispatcher::CanConnectAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin, bool)
{
    if (!ANotifyAfterPin)
        return true;
    IPNLockSection r = ReadLock();
    std::vector<TPNBasicPin*> visited;
    for (TPNBasicPin* p = ANotifyAfterPin; p;) {
        if (p == AOtherPin || std::find(visited.begin(), visited.end(), p) != visited.end())
            return false;  // the chain comes back: it would never be served
        visited.push_back(p);
        int i = IndexOfReal(p);
        if (i < 0)
            return false;
        p = FPins[size_t(i)].AfterPin;
    }
    return true;
}

bool TPNStateDispatcher::IsCrosForm()
{
    auto members = Members();
    for (auto& m : members)
        if (m.RealPin->GetRootName() != members[0].RealPin->GetRootName())
            return true;
    return false;
}

bool TPNStateDispatcher::ConnectedToForm(TComponent* AOwnerComponent)
{
    if (!AOwnerComponent)
        return false;
    for (auto& m : Members())
        if (m.RealPin->GetRootName() == AOwnerComponent->Name())
            return true;
    return false;
}

TPNBasicPin* TPNStateDispatcher::AfterPinOf(TPNBasicPin* ARealPin)
{
    IPNLockSection r = ReadLock();
    int i = IndexOfReal(ARealPin);
    return i < 0 ? nullptr : FPins[size_t(i)].AfterPin;
}

std::string TPNStateDispatcher::GetAfterPinDisplayName(TPNBasicPin* APin)
{
    TPNBasicPin* after = AfterPinOf(APin);
    return after ? after->GetFullName(true) : std::string();
}

void TPNStateDispatcher::SetAfterPinByName(TPNBasicPin* APin, const std::string& AName)
{
    auto members = Members();
    TPNBasicPin* after = nullptr;
    for (auto& m : members)
        if (m.RealPin->GetFullName(false) == AName || m.RealPin->GetFullName(true) == AName) {
            after = m.RealPin;
            break;
        }
    if (!after || !CanConnectAfter(APin, after, true))
        return;
    IPNLockSection w = WriteLock();
    int i = IndexOfReal(APin);
    if (i >= 0)
        FPins[size_t(i)].AfterPin = after;
}

void TPNStateDispatcher::PinDestroyed(TPNBasicPin* APin)
{
    IPNLockSection w = WriteLock();
    for (auto& m : FPins)
        if (m.AfterPin == APin)
            m.AfterPin = nullptr;
}

void TPNStateDispatcher::AddConverter(const IntfPtr<IPNFormatConverter>& AConverter)
{
    IPNLockSection w = WriteLock();
    if (std::find(FFormatConverters.begin(), FFormatConverters.end(), AConverter) == FFormatConverters.end())
        FFormatConverters.push_back(AConverter);
}

int TPNStateDispatcher::ConverterCount()
{
    IPNLockSection r = ReadLock();
    return int(FFormatConverters.size());
}

IntfPtr<IPNFormatConverter> TPNStateDispatcher::GetConverter(int AIndex)
{
    IPNLockSection r = ReadLock();
    return (AIndex >= 0 && size_t(AIndex) < FFormatConverters.size()) ? FFormatConverters[size_t(AIndex)] : nullptr;
}

void TPNStateDispatcher::Announce(TPNBasicPin* APin)
{
    TPNDispatcherRef self = shared_from_this();
    auto members = Members();
    auto send = [APin](TPNBasicPin* from) {
        IntfPtr<IPNNotifyOperation> op = MakeOperation<TPNNotifyOperation>();
        from->NotifyStatePins(op.Get(), TPNNotifyState {nsNewLink}, from == APin ? nullptr : APin);
    };
    for (auto& m : members)
        if (m.RealPin->GetPinType() == TPNPinType::ptSource) {
            send(m.RealPin);
            return;
        }
    for (auto& m : members)
        if (m.RealPin->GetPinType() != TPNPinType::ptSink && m.RealPin->GetPinType() != TPNPinType::ptMultiSink)
            send(m.RealPin);
}

TPNStateDispatcher::TStateValue TPNStateDispatcher::StateValueFor(TPNBasicPin* APin)
{
    TStateValue v;
    auto members = Members();
    bool cross = IsCrosForm();
    std::string root = APin->GetRootName();
    IPNLockSection w = WriteLock();
    v.Name = FName;
    if (FCountSaved == 0)
        FSavedForms.clear();
    bool seen = std::find(FSavedForms.begin(), FSavedForms.end(), root) != FSavedForms.end();
    if (cross && !seen) {
        v.IsList = true;
        for (auto& m : members) {
            std::string r = m.RealPin->GetRootName();
            if (!r.empty() && r != root)
                continue;
            std::string ident = m.RealPin->GetFullIdentName(true);
            std::string display = m.RealPin->GetFullName(true);
            v.Members.emplace_back(ident, display == ident ? std::string() : display);
        }
    }
    ++FCountSaved;
    if (FCountSaved >= int(FPins.size())) {
        FCountSaved = 0;
        FSavedForms.clear();
    } else if (!seen) {
        FSavedForms.push_back(root);
    }
    return v;
}

// ---------------------------------------------------------------- pin side

void TPNStateLinks::SetDispatcher(TPNBasicPin* APin, TPNStateDispatcher* ADispatcher)
{
    IPNLockSection w = APin->WriteLock();
    APin->FDispatcher = ADispatcher;
}

TPNDispatcherRef TPNStateLinks::DispatcherOf(TPNBasicPin* APin)
{
    if (!APin || !APin->FDispatcher.load(std::memory_order_acquire))
        return nullptr;
    // A pin's reference is cleared under its write section before the dispatcher can go,
    // so one read under its read section is still alive.
    IPNLockSection r = APin->ReadLock();
    TPNStateDispatcher* d = APin->FDispatcher.load(std::memory_order_relaxed);
    return d ? d->shared_from_this() : nullptr;
}

bool TPNStateLinks::IsConnectedToState(TPNBasicPin* APin, TPNStateDispatcher* ADispatcher)
{
    IPNLockSection r = APin->ReadLock();
    return ADispatcher && APin->FDispatcher == ADispatcher;
}

bool TPNStateLinks::CanLinkToState(TPNBasicPin* APin, TPNStateDispatcher* ADispatcher)
{
    if (!ADispatcher)
        return false;
    if (IsConnectedToState(APin, ADispatcher))
        return true;
    bool sink = APin->GetPinType() == TPNPinType::ptSink || APin->GetPinType() == TPNPinType::ptMultiSink;
    for (auto& m : ADispatcher->Members()) {
        if (m.RealPin == APin)
            continue;
        if (sink &&
            (m.RealPin->GetPinType() == TPNPinType::ptSink || m.RealPin->GetPinType() == TPNPinType::ptMultiSink))
            continue;
        if (!APin->CanConnectTo(m.RealPin, true))
            return false;
    }
    return true;
}

void TPNStateLinks::DetachForState(TPNBasicPin* APin)
{
    auto* sink = dynamic_cast<TPNSinkPin*>(APin);
    if (!sink)
        return;
    TPNBasicPin* source = sink->SourcePin();
    if (!source)
        return;
    {
        IPNLockSection sw = source->WriteLock();
        source->RemoveLink(sink, false);
    }
    sink->RemoveLink(source, false);
    source->AfterUnlink();
}

bool TPNStateLinks::ConnectToState(TPNBasicPin* APin, const TPNDispatcherRef& ADispatcher, TPNBasicPin* ANotifyAfterPin)
{
    if (ADispatcher && IsConnectedToState(APin, ADispatcher.get()))
        return false;
    if (TPNDispatcherRef old = DispatcherOf(APin))
        old->RemovePin(APin);
    if (!ADispatcher)
        return false;
    bool sink = APin->GetPinType() == TPNPinType::ptSink || APin->GetPinType() == TPNPinType::ptMultiSink;
    bool offering = std::find(TSinksInConnect.begin(), TSinksInConnect.end(), APin) != TSinksInConnect.end();
    if (sink && !offering) {
        DetachForState(APin);
        // Offered to the members one by one; the first that takes it makes the link.
        TSinksInConnect.push_back(APin);
        bool joined = false;
        try {
            for (auto& m : ADispatcher->Members())
                if (m.RealPin != APin && ConnectByState(m.RealPin, APin, ANotifyAfterPin)) {
                    joined = true;
                    break;
                }
        } catch (...) {
            std::erase(TSinksInConnect, APin);
            throw;
        }
        std::erase(TSinksInConnect, APin);
        return joined;
    }
    if (!CanLinkToState(APin, ADispatcher.get()))
        return false;
    ADispatcher->AddPinAfter(APin, APin, ANotifyAfterPin);
    SetDispatcher(APin, ADispatcher.get());
    APin->StateLinkChanged();
    return true;
}

namespace {

// Puts a converter between AFrom and the sink ASink inside ADispatcher: its input joins
// the dispatcher in the sink's place, its output feeds the sink.
void JoinThroughConverter(TPNBasicPin* AFrom, TPNBasicPin* ASink, const TPNDispatcherRef& ADispatcher,
                          IntfPtr<IPNFormatConverter> AConverter, TClass AClass, TPNBasicPin* ANotifyAfterPin)
{
    if (!AConverter)
        AConverter = TPNFormatConverter::CreateOfClass(AClass);
    ADispatcher->AddConverter(AConverter);
    TPNFormatConverter* c = AConverter->Converter();
    c->OutputPin()->ConnectAfter(ASink, ANotifyAfterPin);
    TPNStateLinks::SetDispatcher(c->InputPin(), ADispatcher.get());
    ADispatcher->AddPin(c->InputPin(), ASink);
    if (auto* source = dynamic_cast<TPNSourcePin*>(AFrom))
        c->InputPin()->RecordConverterSource(source);
    TPNStateLinks::SetDispatcher(ASink, ADispatcher.get());
}

}  // namespace

bool TPNStateLinks::ConnectByState(TPNBasicPin* APin, TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin)
{
    if (!AOtherPin || AOtherPin == APin)
        return false;
    if (IsUnloadedPin(AOtherPin))
        return AOtherPin->ConnectAfter(APin, ANotifyAfterPin);  // a placeholder records the link
    IntfPtr<IPNFormatConverter> conv;
    TClass cls = nullptr;
    if (!APin->CanLinkTo(AOtherPin, conv, true, cls))
        return false;
    bool converted = conv || cls;
    if (TPNDispatcherRef d = DispatcherOf(APin)) {
        bool result;
        if (converted) {
            JoinThroughConverter(APin, AOtherPin, d, conv, cls, ANotifyAfterPin);
            result = true;
        } else {
            result = ConnectToState(AOtherPin, d, ANotifyAfterPin);
        }
        APin->StateLinkChanged();
        return result;
    }
    if (TPNDispatcherRef d = DispatcherOf(AOtherPin)) {
        bool result = ConnectToState(APin, d, ANotifyAfterPin);
        APin->StateLinkChanged();
        return result;
    }
    TPNDispatcherRef d = TPNStateDispatcher::Create(GetRootComponent(APin->Owner()));
    SetDispatcher(APin, d.get());
    d->AddPin(APin, APin);
    if (converted) {
        JoinThroughConverter(APin, AOtherPin, d, conv, cls, ANotifyAfterPin);
    } else {
        if (AOtherPin->GetPinType() == TPNPinType::ptSink)
            DetachForState(AOtherPin);
        SetDispatcher(AOtherPin, d.get());
        d->AddPinAfter(AOtherPin, AOtherPin, ANotifyAfterPin);
    }
    APin->StateLinkChanged();
    return true;
}

void TPNStateLinks::ConnectToStateByName(TPNBasicPin* APin, const std::string& AName)
{
    TPNDispatcherRef d = TPNStateDispatcher::GetByNameCreate(APin, AName, APin->IsDesigning());
    TPNDispatcherRef old = DispatcherOf(APin);
    if (old == d)
        return;
    if (old)
        old->RemovePin(APin);
    if (APin->GetPinType() == TPNPinType::ptSink)
        DetachForState(APin);
    d->AddPin(APin, APin);
    SetDispatcher(APin, d.get());
    APin->StateLinkChanged();
}

bool TPNStateLinks::ConnectToStateByConverter(TPNBasicPin* ASink, const std::string& AName, const TGUID& AInputID,
                                              const TGUID& AOutputID)
{
    TClass cls = GetTypeConverterClass(AInputID, AOutputID);
    if (!cls)
        return false;
    IntfPtr<IPNFormatConverter> conv = TPNFormatConverter::CreateOfClass(cls);
    TPNFormatConverter* c = conv->Converter();
    c->OutputPin()->ConnectAfter(ASink, nullptr);
    TPNDispatcherRef d = TPNStateDispatcher::GetByNameCreate(ASink, AName, ASink->IsDesigning());
    SetDispatcher(c->InputPin(), d.get());
    d->AddPin(c->InputPin(), ASink);
    d->AddConverter(conv);
    SetDispatcher(ASink, d.get());
    ASink->StateLinkChanged();
    return true;
}

TPNNotifyResult TPNStateLinks::NotifyMembers(TPNPin* APin, IPNNotifyOperation* AOperation, TPNNotifyState AState,
                                             TPNBasicPin* ATarget)
{
    TPNDispatcherRef d = DispatcherOf(APin);
    if (!d)
        return {};
    IntfPtr<IPNNotifyOperation> hold(AOperation);
    if (TStateSendDepth > 200)
        throw EPNException(SPNDependsOnItself);
    ++TStateSendDepth;
    struct TDepth {
        ~TDepth() { --TStateSendDepth; }
    } depth;
    auto members = d->Members();
    size_t n = members.size();
    TPNNotifyState state = AState;
    for (size_t i = 0; i < n; ++i) {
        const auto& m = members[i];
        if (ATarget) {
            if (m.RealPin != ATarget)
                continue;
            state.Include(nsLastIteration);
        } else if (i + 1 == n) {
            state.Include(nsLastIteration);
        }
        if (i + 2 == n && members[n - 1].RealPin == APin)
            state.Include(nsLastIteration);
        if (m.RealPin == APin)
            continue;
        TPNBasicPin* c = m.ConnectionPin;
        IPNDestroyLockSection g = APin->DestroyLockIntf()->Lock();
        // A member that left since the copy was made may be gone already: it is not
        // touched, and one that is still there stays until this delivery has ended.
        if (!g || !d->BeginDelivery(c))
            continue;
        struct TEnd {
            TPNStateDispatcher* D;
            TPNBasicPin* C;
            ~TEnd() { D->EndDelivery(C); }
        } end {d.get(), c};
        TGUID id = APin->GetStateConnectionID(c);
        TPNSubmit submit = APin->GetSubmitFunction(id);
        IntfPtr<IPNFormatConverter> conv;
        if (TPNFormatConverter* cv = ConverterOfPin(c))
            conv = IntfPtr<IPNFormatConverter>(cv);
        if (!submit.Assigned())
            continue;
        submit(static_cast<IPNStream*>(c), &id, AOperation, state);
    }
    return {};
}

// The state-link forms of every pin.

TPNBasicPin* TPNBasicPin::GetNotifyAfterPin(TPNBasicPin* APin)
{
    TPNDispatcherRef d = TPNStateLinks::DispatcherOf(this);
    return d ? d->AfterPinOf(APin) : nullptr;
}

bool TPNBasicPin::IsConnectedByStateTo(TPNBasicPin* AOtherPin)
{
    TPNDispatcherRef d = TPNStateLinks::DispatcherOf(this);
    return d && d->IsConnectedTo(AOtherPin);
}

bool TPNBasicPin::IsConnectedByStateToAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin)
{
    TPNDispatcherRef d = TPNStateLinks::DispatcherOf(this);
    return d && d->IsConnectedToAfter(AOtherPin, ANotifyAfterPin);
}

bool TPNBasicPin::ConnectAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin)
{
    if (AOtherPin == this)
        return false;
    return TPNStateLinks::ConnectByState(this, AOtherPin, ANotifyAfterPin);
}

bool TPNBasicPin::CanConnectAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin, bool AUseConverters)
{
    if (!ANotifyAfterPin) {
        IntfPtr<IPNFormatConverter> c;
        TClass cc = nullptr;
        return CanLinkTo(AOtherPin, c, AUseConverters, cc);
    }
    TPNDispatcherRef d = TPNStateLinks::DispatcherOf(this);
    return d && d->CanConnectAfter(AOtherPin, ANotifyAfterPin, AUseConverters);
}

void TPNBasicPin::Disconnect()
{
    if (TPNDispatcherRef d = TPNStateLinks::DispatcherOf(this))
        d->RemovePin(this);
}

void TPNBasicPin::DisconnectFrom(TPNBasicPin* AOtherPin)
{
    // Only the other pin leaves; this pin stays a member while others remain (the
    // dispatcher releases it when it would be alone).
    if (TPNDispatcherRef d = TPNStateLinks::DispatcherOf(this))
        if (d->IsConnectedTo(AOtherPin))
            d->RemovePin(AOtherPin);
}

void TPNBasicPin::StateLinkChanged()
{
    TPNDispatcherRef d = TPNStateLinks::DispatcherOf(this);
    if (!d)
        return;
    if (GetPinType() == TPNPinType::ptSource) {
        IntfPtr<IPNNotifyOperation> op = MakeOperation<TPNNotifyOperation>();
        NotifyStatePins(op.Get(), TPNNotifyState {nsNewLink}, nullptr);
    } else {
        d->Announce(this);
    }
}

std::string TPNBasicPin::GetLinkDisplayText()
{
    TPNDispatcherRef d = TPNStateLinks::DispatcherOf(this);
    if (!d)
        return "(Disconnected)";
    auto members = d->Members();
    if (members.size() == 2) {
        TPNBasicPin* other = members[0].RealPin == this ? members[1].RealPin : members[0].RealPin;
        return other->GetFullName(true);
    }
    return d->Name();
}

TGUID TPNPin::GetPrimaryConnectionID()
{
    TPNDispatcherRef d = TPNStateLinks::DispatcherOf(this);
    if (!d || d->PinCount() == 0)
        return GUID_NULL;
    return GetConnectionID(d->GetPin(0));
}

TGUID TPNPin::ChooseConnectionType(TPNBasicPin* AOtherPin, IntfPtr<IPNFormatConverter>& AConverter, bool AUseConverters,
                                   TClass& AConverterClass)
{
    AConverter = nullptr;
    AConverterClass = nullptr;
    if (!AOtherPin)
        return GUID_NULL;
    TPNPinStreamType types;
    {
        IPNLockSection r = ReadLock();
        types = FStreamType;
    }
    for (int i = types.Count(); i-- > 0;)
        if (AOtherPin->SupportsType(types.GetID(i)) == S_OK)
            return types.GetID(i);
    TPNPinType ot = AOtherPin->GetPinType();
    if (!AUseConverters || (ot != TPNPinType::ptSink && ot != TPNPinType::ptMultiSink))
        return GUID_NULL;
    if (TPNDispatcherRef d = TPNStateLinks::DispatcherOf(this))
        for (int c = d->ConverterCount(); c-- > 0;) {
            IntfPtr<IPNFormatConverter> conv = d->GetConverter(c);
            if (!conv)
                continue;
            TClass cc = nullptr;
            IntfPtr<IPNFormatConverter> ci;
            TGUID x = TPNSourcePin::ChooseLinkType(conv->Converter()->OutputPin(), AOtherPin, false, cc, ci, false);
            if (!x.IsNull() && AOtherPin->SupportsType(x) == S_OK) {
                AConverter = conv;
                return x;
            }
        }
    return FindRegisteredConverter(types, AOtherPin, AConverterClass);
}

TPNNotifyResult TPNPin::NotifyStatePins(IPNNotifyOperation* AOperation, TPNNotifyState AState, TPNBasicPin* APin)
{
    return TPNStateLinks::NotifyMembers(this, AOperation, AState, APin);
}

// ------------------------------------------------------------------ state pins

int TPNStatePin::PinCount()
{
    TPNDispatcherRef d = TPNStateLinks::DispatcherOf(this);
    return d ? d->PinCount() : 0;
}

TPNBasicPin* TPNStatePin::GetPin(int AIndex)
{
    TPNDispatcherRef d = TPNStateLinks::DispatcherOf(this);
    return d ? d->GetPin(AIndex) : nullptr;
}

bool TPNStatePin::IsCompatible(TPNBasicPin* AOtherPin, bool AUseConverters)
{
    if (!AOtherPin)
        return true;
    IntfPtr<IPNFormatConverter> c;
    TClass cc = nullptr;
    switch (AOtherPin->GetPinType()) {
    case TPNPinType::ptState:
        return !ChooseConnectionType(AOtherPin, c, AUseConverters, cc).IsNull() &&
            !AOtherPin->ChooseConnectionType(this, c, AUseConverters, cc).IsNull();
    case TPNPinType::ptSink:
    case TPNPinType::ptMultiSink: return !ChooseConnectionType(AOtherPin, c, AUseConverters, cc).IsNull();
    case TPNPinType::ptSource: return !AOtherPin->ChooseConnectionType(this, c, AUseConverters, cc).IsNull();
    default: return false;
    }
}

bool TPNStatePin::CanLinkTo(TPNBasicPin* AOtherPin, IntfPtr<IPNFormatConverter>& AConverter, bool AUseConverters,
                            TClass& AConverterClass)
{
    if (TPNPin::CanLinkTo(AOtherPin, AConverter, AUseConverters, AConverterClass))
        return true;
    // Sources and sinks join a state too: a state pin may link to whatever it is
    // compatible with, in the same design state.
    if (!AOtherPin || AOtherPin == this || IsUnloadedPin(AOtherPin))
        return false;
    if (!ConverterOfPin(AOtherPin) && !DesignParity(AOtherPin))
        return false;
    if (!IsCompatible(AOtherPin, AUseConverters))
        return false;
    AConverter = nullptr;
    AConverterClass = nullptr;
    if (AOtherPin->GetPinType() == TPNPinType::ptSink || AOtherPin->GetPinType() == TPNPinType::ptMultiSink)
        ChooseConnectionType(AOtherPin, AConverter, AUseConverters, AConverterClass);
    return true;
}

TGUID TPNStatePin::GetConnectionID(TPNBasicPin* AOtherPin)
{
    if (!IsConnectedTo(AOtherPin))
        return GUID_NULL;
    return TPNPin::GetConnectionID(AOtherPin);
}

bool TPNStatePin::LinkByName(const std::string& AName)
{
    if (AName.empty() || AName == "(Disconnected)") {
        Disconnect();
        return true;
    }
    TPNDispatcherRef d = TPNStateDispatcher::GetByName(AName, true);
    return d && TPNStateLinks::ConnectToState(this, d);
}

bool TPNStatePin::IsLinkedTo(const std::string& APinName)
{
    TPNDispatcherRef d = TPNStateLinks::DispatcherOf(this);
    if (!d)
        return false;
    for (auto& m : d->Members())
        if (m.RealPin != this && m.RealPin->GetFullName(true) == APinName)
            return true;
    return false;
}

int32_t RoundToInt32(double AValue)
{
    if (std::isnan(AValue))
        return 0;
    double r = std::nearbyint(AValue);  // the default rounding: to nearest, ties to even
    if (r <= double(INT32_MIN))
        return INT32_MIN;
    if (r >= double(INT32_MAX))
        return INT32_MAX;
    return int32_t(r);
}

// Boolean state pin.

bool TPNBoolStatePin::AddTypes()
{
    AddType(IPNBoolStream::IID, TPNSubmit::Of<&TPNBoolStatePin::NotificationBool>(this));
    return true;
}

void TPNBoolStatePin::SetValue(bool AValue)
{
    if (WriteLockedIfChanged(this, FValue, AValue))
        Notify(MakeOperation<TPNSuppliedBoolOperation>(AValue).Get());
}

TPNNotifyResult TPNBoolStatePin::NotificationBool(IPNStream* Handler, const TGUID* DataTypeID,
                                                  IPNNotifyOperation* Operation, TPNNotifyState State)
{
    if (auto* b = OperationAs<TPNSuppliedBoolOperation>(Operation)) {
        IPNLockSection w = WriteLock();
        FValue = b->Value;
    }
    IPNBoolStream* s = StreamAs<IPNBoolStream>(Handler);
    if (!s)
        return {};
    if (PinNotificationEvent)
        return PinNotificationEvent(s, DataTypeID, Operation, State);
    if (State.Contains(nsNewLink))
        return s->NotifyStream(DataTypeID, MakeOperation<TPNSuppliedBoolOperation>(Value()).Get(), State);
    return s->NotifyStream(DataTypeID, Operation, State);
}

TPNNotifyResult TPNBoolStatePin::DispatchData(const TGUID*, IPNNotifyOperation* Operation, TPNNotifyState)
{
    auto* b = OperationAs<TPNSuppliedBoolOperation>(Operation);
    return b ? Take(b->Value) : TPNNotifyResult {};
}

// Float/integer state pin.

bool TPNFloatIntStatePin::AddTypes()
{
    auto submit = TPNSubmit::Of<&TPNFloatIntStatePin::NotificationFloatInt>(this);
    AddType(IPNFloatStream::IID, submit);
    AddType(IPNIntegerStream::IID, submit);
    return true;
}

void TPNFloatIntStatePin::SetValue(float AValue)
{
    if (WriteLockedIfChanged(this, FValue, AValue))
        Notify(MakeOperation<TPNSuppliedMulticastOperation>().Get());
}

TPNNotifyResult TPNFloatIntStatePin::NotificationFloatInt(IPNStream* Handler, const TGUID* DataTypeID,
                                                          IPNNotifyOperation* Operation, TPNNotifyState State)
{
    bool fresh = State.Contains(nsNewLink) || OperationAs<TPNSuppliedMulticastOperation>(Operation);
    if (IPNFloatStream* s = StreamAs<IPNFloatStream>(Handler)) {
        if (FloatPinNotificationEvent)
            return FloatPinNotificationEvent(s, DataTypeID, Operation, State);
        if (fresh)
            return s->NotifyStream(DataTypeID, MakeOperation<TPNSuppliedSingleOperation>(Value()).Get(), State);
        return s->NotifyStream(DataTypeID, Operation, State);
    }
    if (IPNIntegerStream* s = StreamAs<IPNIntegerStream>(Handler)) {
        if (IntegerPinNotificationEvent)
            return IntegerPinNotificationEvent(s, DataTypeID, Operation, State);
        if (fresh)
            return s->NotifyStream(DataTypeID, MakeOperation<TPNSuppliedIntegerOperation>(RoundToInt32(Value())).Get(),
                                   State);
        return s->NotifyStream(DataTypeID, Operation, State);
    }
    return {};
}

TPNNotifyResult TPNFloatIntStatePin::DispatchData(const TGUID*, IPNNotifyOperation* Operation, TPNNotifyState)
{
    if (auto* i = OperationAs<TPNSuppliedIntegerOperation>(Operation))
        return Take(float(i->Value));
    if (auto* s = OperationAs<TPNSuppliedSingleOperation>(Operation))
        return Take(s->Value);
    return {};
}

}  // namespace dcs
