#include "components/pins/PNPins.h"

#include "components/pins/PNHazardsInternal.h"
#include "components/pins/PNPinReferrers.h"
#include "platform/threads/Sync.h"

#include <algorithm>
#include <mutex>
#include <shared_mutex>

namespace dcs {

const char* const SPNDependsOnItself = "The pin depends on itself. Please protect with functional dependency.";

// ---------------------------------------------------------------------- operations

namespace {
std::atomic<uint32_t> GOperationCounter {0};
}

TPNNotifyOperation::TPNNotifyOperation() : FOperationID(GOperationCounter.fetch_add(1, std::memory_order_relaxed) + 1)
{
}

// -------------------------------------------------------------- pin register

namespace {

using TPinRegister = TPNPinRegister<TPNBasicPin>;

TPinRegister& PinRegister() { return TPinRegister::Instance(); }

}  // namespace

namespace {

// Placeholders let go of during a walk over the register are released once the
// outermost walk of this thread has ended: freeing one would change the register under
// the walk.
thread_local int GRegisterWalks = 0;
thread_local std::vector<TPNPlaceholderRef> GDeferredReleases;

struct TRegisterWalk {
    TRegisterWalk() { ++GRegisterWalks; }
    ~TRegisterWalk()
    {
        if (--GRegisterWalks > 0 || GDeferredReleases.empty())
            return;
        std::vector<TPNPlaceholderRef> refs;
        refs.swap(GDeferredReleases);
        try {
            ReleaseUnusedPlaceholders(std::move(refs));
        } catch (...) {
            // A placeholder that fails to go stays registered until the registers are cleared.
        }
    }
};

}  // namespace

bool DeferPlaceholderReleases(std::vector<TPNPlaceholderRef>& ARefs)
{
    if (GRegisterWalks == 0)
        return false;
    GDeferredReleases.insert(GDeferredReleases.end(), ARefs.begin(), ARefs.end());
    return true;
}

int AllPinsCount()
{
    auto& r = PinRegister();
    TPNCriticalSectionLock g(r.Section);
    return int(r.Pins.size());
}

void ForEachPinBackwards(const std::function<void(TPNBasicPin*)>& AProc)
{
    PN_ASSERT_HAZARD(!pnhazard::HoldsPinSectionOffMainThread(),
                     "pins are looked up on a worker thread that holds a pin's section");
    TRegisterWalk walk;
    auto& r = PinRegister();
    TPNCriticalSectionLock g(r.Section);
    for (size_t i = r.Pins.size(); i-- > 0;)
        if (i < r.Pins.size())
            AProc(r.Pins[i]);
}

namespace pnhazard {

namespace {
const uint32_t GMainThread = GetCurrentThreadId();

#ifndef NDEBUG
constexpr int KMaxDeliveries = 64;
thread_local TPNBasicPin* TDeliveries[KMaxDeliveries];
thread_local int TDeliveryDepth = 0;
#endif
}  // namespace

bool IsMainThread() { return GetCurrentThreadId() == GMainThread; }

#ifndef NDEBUG
TDelivery::TDelivery(TPNBasicPin* APin)
{
    if (TDeliveryDepth < KMaxDeliveries)
        TDeliveries[TDeliveryDepth] = APin;
    ++TDeliveryDepth;
}

TDelivery::~TDelivery() { --TDeliveryDepth; }

bool InDeliveryOf(TPNBasicPin* APin)
{
    for (int i = 0; i < std::min(TDeliveryDepth, KMaxDeliveries); ++i)
        if (TDeliveries[i] == APin)
            return true;
    return false;
}

bool HoldsPinSectionOffMainThread()
{
    if (IsMainThread())
        return false;
    const uint32_t self = GetCurrentThreadId();
    auto& r = PinRegister();
    TPNCriticalSectionLock g(r.Section);
    for (TPNBasicPin* p : r.Pins)
        if (p->IntLock()->Instance()->State().OwningThread == self)
            return true;
    return false;
}
#endif

}  // namespace pnhazard

// ---------------------------------------------------------------------- basic pin

TPNBasicPin::TPNBasicPin()
{
    PN_ASSERT_HAZARD(!pnhazard::HoldsPinSectionOffMainThread(),
                     "a pin is created on a worker thread that holds a pin's section");
    FDestroyLock = TPNDestroyLock::Create(this);
    auto& r = PinRegister();
    TPNCriticalSectionLock g(r.Section);
    r.Pins.push_back(this);
    pnreferrers::Add(this);
}

TPNBasicPin::~TPNBasicPin()
{
    {
        IPNDestroyLockSection d = FDestroyLock->DestroyLock();
        if (CurrentEditorPtr)
            *CurrentEditorPtr = nullptr;
    }
    // A pin freed without Free never ran BeforeDestruction: it must still leave the register.
    auto& r = PinRegister();
    TPNCriticalSectionLock g(r.Section);
    auto it = std::find(r.Pins.begin(), r.Pins.end(), this);
    if (it != r.Pins.end())
        r.Pins.erase(it);
    pnreferrers::Remove(this);
}

void TPNBasicPin::AfterConstruction()
{
    inherited::AfterConstruction();
    // The pin-created event goes to the pin-event listeners; none registers in this system.
}

void TPNBasicPin::BeforeDestruction()
{
    PN_ASSERT_HAZARD(!pnhazard::InDeliveryOf(this), "a pin is destroyed by a thread inside one of its deliveries");
    {
        IPNLockSection w = WriteLock();
        IPNDestroyLockSection d = FDestroyLock->DestroyLock();
        Disconnect();
    }
    IPNLockSection u = UnlockAll();
    TRegisterWalk walk;
    auto& r = PinRegister();
    TPNCriticalSectionLock g(r.Section);
    auto it = std::find(r.Pins.begin(), r.Pins.end(), this);
    if (it != r.Pins.end())
        r.Pins.erase(it);
    // Only the pins that may hold a pointer to this one, in the order of a walk over the
    // register from its end; one freed by an earlier call is skipped.
    for (TPNBasicPin* p : pnreferrers::Remove(this))
        if (pnreferrers::Contains(p))
            p->PinDestroyed(this);
    inherited::BeforeDestruction();
}

HRESULT TPNBasicPin::QueryInterface(const TGUID& iid, void** obj)
{
    if (GetInterface(iid, obj))
        return S_OK;
    *obj = nullptr;
    return E_NOINTERFACE;
}

bool TPNBasicPin::GetInterface(const TGUID& iid, void** obj)
{
    if (iid == IInterface::IID) {
        *obj = static_cast<IInterface*>(static_cast<IPNStream*>(this));
        return true;
    }
    return GetInterfaceOf<IPNStream>(this, iid, obj);
}

HRESULT TPNBasicPin::SupportsType(const TGUID& AID)
{
    void* p = nullptr;
    return GetInterface(AID, &p) ? S_OK : E_NOINTERFACE;
}

bool TPNBasicPin::GetIsRealPin() { return dynamic_cast<TPNPin*>(this) != nullptr; }

bool IsUnloadedPin(TPNBasicPin* APin) { return APin && !APin->GetIsRealPin(); }

std::string TPNBasicPin::GetRootName()
{
    std::string n = GetFullIdentName(true);
    size_t p = n.find('.');
    return p == std::string::npos ? std::string() : n.substr(0, p);
}

std::string TPNBasicPin::GetOwnerName()
{
    std::string n = GetFullIdentName(true);
    size_t p = n.find('.');
    if (p == std::string::npos)
        return "";
    n = n.substr(p + 1);
    size_t q = n.rfind('.');
    if (q != std::string::npos)
        n = n.substr(0, q);
    return n;
}

bool TPNBasicPin::IsStateConnected()
{
    IPNLockSection r = ReadLock();
    return FDispatcher != nullptr;
}

bool TPNBasicPin::CanConnectTo(TPNBasicPin* AOtherPin, bool AUseConverters)
{
    IntfPtr<IPNFormatConverter> c;
    TClass cc = nullptr;
    return CanLinkTo(AOtherPin, c, AUseConverters, cc);
}

// ---------------------------------------------------------------------------- pin

TPNPin::TPNPin(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock) : FOwner(AOwner), FOwnerLock(std::move(AOwnerLock))
{
    FLastRootName = GetRootName();
}

TPNPin::~TPNPin()
{
    IPNLockSection w = WriteLock();
    IPNDestroyLockSection d = FDestroyLock->DestroyLock();
    FStreamType.ClearTypes();
}

IPNLockSection TPNPin::ReadLock() { return IntLock()->Instance()->LockSection(false, FOwnerLock.Get(), false); }

IPNLockSection TPNPin::WriteLock() { return IntLock()->Instance()->LockSection(true, FOwnerLock.Get(), false); }

bool TPNPin::IsRootDestroying()
{
    IPNLockSection w = WriteLock();
    if (!FOwner)
        return false;
    TComponent* root = GetRootComponent(FOwner);
    return root && root->ComponentState().Contains(csDestroying);
}

bool TPNPin::IsOwnerLoading()
{
    IPNLockSection r = ReadLock();
    return FOwner && FOwner->ComponentState().Contains(csLoading);
}

bool TPNPin::IsDesigning()
{
    IPNLockSection r = ReadLock();
    return FOwner && FOwner->ComponentState().Contains(csDesigning);
}

void TPNPin::AddType(const TGUID& AID, TPNSubmit ASubmitFunction)
{
    IPNLockSection w = WriteLock();
    FStreamType.AddType(AID, ASubmitFunction);
}

TPNSubmit TPNPin::GetSubmitFunction(const TGUID& AID)
{
    if (AID.IsNull())
        return {};
    IPNLockSection r = ReadLock();
    int i = FStreamType.IndexOf(AID);
    if (i < 0)
        return {};
    TPNSubmit s = FStreamType.GetSubmitFunc(i);
    if (s.Assigned())
        return s;
    return TPNSubmit::Of<&TPNPin::DefaultNotifyDispatcher>(this);
}

TPNNotifyResult TPNPin::DefaultNotifyDispatcher(IPNStream* Handler, const TGUID* DataTypeID,
                                                IPNNotifyOperation* Operation, TPNNotifyState State)
{
    TPNGlobalSubmit send = DataTypeID ? GetStreamTypeSendFunction(*DataTypeID) : nullptr;
    if (!send)
        return {};
    return send(this, Handler, DataTypeID, Operation, State);
}

TGUID TPNPin::GetStateConnectionID(TPNBasicPin* AOtherPin)
{
    IntfPtr<IPNFormatConverter> c;
    TClass cc = nullptr;
    return ChooseConnectionType(AOtherPin, c, true, cc);
}

std::string TPNPin::GetConnectionName(TPNBasicPin* AOtherPin) { return GetStreamTypeName(GetConnectionID(AOtherPin)); }

bool TPNPin::DesignParity(TPNBasicPin* AOtherPin) { return AOtherPin->IsDesigning() == IsDesigning(); }

bool TPNPin::IsCompatible(TPNBasicPin* AOtherPin, bool AUseConverters)
{
    IPNLockSection r = ReadLock();
    if (!IsStatePin(AOtherPin))
        return false;
    IntfPtr<IPNFormatConverter> c;
    TClass cc = nullptr;
    if (!ChooseConnectionType(AOtherPin, c, AUseConverters, cc).IsNull())
        return true;
    return !AOtherPin->ChooseConnectionType(this, c, AUseConverters, cc).IsNull();
}

bool TPNPin::CanLinkTo(TPNBasicPin* AOtherPin, IntfPtr<IPNFormatConverter>& AConverter, bool AUseConverters,
                       TClass& AConverterClass)
{
    IPNLockSection r = ReadLock();
    if (!AOtherPin)
        return false;
    if (!ConverterOfPin(this) && !ConverterOfPin(AOtherPin) && !DesignParity(AOtherPin))
        return false;
    if (IsStatePin(AOtherPin))
        return !ChooseConnectionType(AOtherPin, AConverter, AUseConverters, AConverterClass).IsNull();
    if (IsUnloadedPin(AOtherPin))
        return AOtherPin->CanConnectTo(this, AUseConverters);
    return false;
}

namespace {

// The property path of ATarget inside AObject: published class properties, through
// persistent sub-objects (not components, not pins), at most 20 deep.
bool FindPropertyPath(TObject* AObject, TObject* ATarget, const std::string& APrefix, int ADepth, std::string& APath)
{
    auto* mo = dynamic_cast<TManagedObject*>(AObject);
    if (!mo || ADepth > 20)
        return false;
    for (const TPropInfo* p : GetPropList(*mo)) {
        if (p->Kind != TTypeKind::tkClass || !p->GetObj)
            continue;
        TObject* v = p->GetObj(*AObject);
        if (!v)
            continue;
        std::string name = APrefix.empty() ? p->Name : APrefix + "." + p->Name;
        if (v == ATarget) {
            APath = name;
            return true;
        }
        if (dynamic_cast<TComponent*>(v) || dynamic_cast<TPNBasicPin*>(v))
            continue;
        if (FindPropertyPath(v, ATarget, name, ADepth + 1, APath))
            return true;
    }
    return false;
}

}  // namespace

std::string TPNPin::PinPath()
{
    if (!FPinPath.empty() || !FOwner)
        return FPinPath;
    std::string path;
    try {
        FindPropertyPath(FOwner, this, "", 0, path);
    } catch (...) {
        path.clear();  // the pin is then named by its owner alone
    }
    return path;
}

std::string ObjectPathIn(TObject* AObject, TObject* ATarget)
{
    std::string path;
    try {
        FindPropertyPath(AObject, ATarget, "", 0, path);
    } catch (...) {
        path.clear();
    }
    return path;
}

std::string TPNPin::GetFullName(bool AIncludeRootForm) { return ComposeFullName(AIncludeRootForm, false); }

std::string TPNPin::ComposeFullName(bool AIncludeRootForm, bool AIdentForm)
{
    if (!FOwner)
        return "(No owner)";
    std::string path;
    if (FOwnerPinList)
        path = PinListEntryPath(FOwnerPinList, this, AIdentForm);
    if (path.empty())
        path = PinPath();
    std::string n = FOwner->Name();
    if (!path.empty())
        n += "." + path;
    if (AIncludeRootForm) {
        TComponent* root = GetRootComponent(FOwner);
        if (root && root != FOwner)
            n = root->Name() + "." + n;
    }
    return n;
}

std::string TPNPin::GetFullIdentName(bool AIncludeRootForm)
{
    // Pins of a pin list end in "._Pin" and their index instead of the entry's name.
    return ComposeFullName(AIncludeRootForm, true);
}

std::string TPNPin::GetRootName()
{
    if (FOwner) {
        if (FOwner->Owner())
            if (TComponent* root = GetRootComponent(FOwner))
                FLastRootName = root->Name();
        return FLastRootName;
    }
    return TPNBasicPin::GetRootName();
}

namespace {
std::string WithoutFirstPart(const std::string& n)
{
    size_t p = n.find('.');
    return p == std::string::npos ? n : n.substr(p + 1);
}
}  // namespace

std::string TPNPin::GetName()
{
    IPNLockSection r = ReadLock();
    return WithoutFirstPart(GetFullName(false));
}

std::string TPNPin::GetSaveName()
{
    IPNLockSection r = ReadLock();
    return WithoutFirstPart(GetFullIdentName(false));
}

// ---------------------------------------------------------------------- stream pin

void TPNStreamPin::CollectOfferedTypes(TPNPinStreamType& AList, TPNBasicPin*)
{
    IPNLockSection r = ReadLock();
    for (int i = 0; i < FStreamType.Count(); ++i)
        AList.AddType(FStreamType.GetID(i), FStreamType.GetSubmitFunc(i));
}

void TPNStreamPin::CollectAcceptedTypes(TPNPinStreamType& AList, TPNBasicPin*)
{
    IPNLockSection r = ReadLock();
    for (int i = 0; i < FStreamType.Count(); ++i)
        AList.AddType(FStreamType.GetID(i), FStreamType.GetSubmitFunc(i));
}

void TPNStreamPin::CollectFunctionPaths(std::vector<std::vector<TPNBasicPin*>>&, std::vector<TPNBasicPin*>& APath)
{
    APath.push_back(this);
}

}  // namespace dcs
