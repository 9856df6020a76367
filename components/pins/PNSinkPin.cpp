#include "components/pins/PNHazardsInternal.h"
#include "components/pins/PNPinReferrers.h"
#include "components/pins/PNPins.h"

#include <algorithm>

namespace dcs {

// ------------------------------------------------------------ source-side choices

TGUID TPNSourcePin::ChooseLinkType(TPNSourcePin* ASource, TPNBasicPin* ASink, bool AUseConverters,
                                   TClass& AConverterClass, IntfPtr<IPNFormatConverter>& AConverter, bool AUseRegistry)
{
    AConverterClass = nullptr;
    AConverter = nullptr;
    if (!ASource || !ASink)
        return GUID_NULL;
    IPNLockSection r = ASource->ReadLock();
    TPNPinTypeRestricted offered;
    ASource->CollectOfferedTypes(offered, ASource);
    for (int i = offered.Count(); i-- > 0;)
        if (ASink->SupportsType(offered.GetID(i)) == S_OK)
            return offered.GetID(i);
    if (!AUseConverters)
        return GUID_NULL;
    std::vector<IntfPtr<IPNFormatConverter>> converters = ASource->FLinks.Converters();
    for (size_t c = converters.size(); c-- > 0;) {
        TPNFormatConverter* conv = converters[c]->Converter();
        TClass cc = nullptr;
        IntfPtr<IPNFormatConverter> ci;
        TGUID x = ChooseLinkType(conv->OutputPin(), ASink, false, cc, ci, false);
        if (!x.IsNull() && ASink->SupportsType(x) == S_OK) {
            AConverter = converters[c];
            return ChooseLinkType(ASource, conv->InputPin(), false, cc, ci, false);
        }
    }
    if (AUseRegistry)
        return FindRegisteredConverter(offered, ASink, AConverterClass);
    return GUID_NULL;
}

bool TPNSourcePin::CanNegotiate(TPNBasicPin* ASink, bool AUseConverters)
{
    TClass cc = nullptr;
    IntfPtr<IPNFormatConverter> c;
    return !ChooseLinkType(this, ASink, AUseConverters, cc, c, true).IsNull();
}

bool TPNSourcePin::CanLinkTo(TPNBasicPin* AOtherPin, IntfPtr<IPNFormatConverter>& AConverter, bool AUseConverters,
                             TClass& AConverterClass)
{
    IPNLockSection r = ReadLock();
    if (!AOtherPin)
        return false;
    if (!ConverterOfPin(this) && !DesignParity(AOtherPin))
        return false;
    if (TPNStreamPin::CanLinkTo(AOtherPin, AConverter, AUseConverters, AConverterClass))
        return true;
    if (AOtherPin != this && dynamic_cast<TPNBasicSinkPin*>(AOtherPin))
        return AOtherPin->CanConnectTo(this, AUseConverters);
    return false;
}

bool TPNSourcePin::IsCompatible(TPNBasicPin* AOtherPin, bool AUseConverters)
{
    IPNLockSection r = ReadLock();
    if (dynamic_cast<TPNBasicSinkPin*>(AOtherPin))
        return AOtherPin->IsCompatible(this, AUseConverters);
    if (IsStatePin(AOtherPin)) {
        IntfPtr<IPNFormatConverter> c;
        TClass cc = nullptr;
        return !ChooseConnectionType(AOtherPin, c, AUseConverters, cc).IsNull();
    }
    return false;
}

HRESULT TPNSourcePin::SupportsType(const TGUID& AID)
{
    IPNLockSection r = ReadLock();
    HRESULT h = TPNStreamPin::SupportsType(AID);
    return h == S_OK ? SourcesAcceptType(AID) : h;
}

bool TPNSourcePin::DirectDependsOn(TPNBasicPin* AOtherPin)
{
    IPNLockSection r = ReadLock();
    if (FInDependOn || !AOtherPin)
        return false;
    return FFunctionSources.Contains(AOtherPin);
}

bool TPNSourcePin::DependsOn(TPNBasicPin* AOtherPin)
{
    IPNLockSection r = ReadLock();
    if (FInDependOn || !AOtherPin)
        return false;
    FInDependOn = true;
    struct TClear {
        bool& Flag;
        ~TClear() { Flag = false; }
    } clear {FInDependOn};
    int n = FFunctionSources.Count();
    for (int i = 0; i < n; ++i)
        if (FFunctionSources.GetItem(i) == AOtherPin)
            return true;
    for (int i = 0; i < n; ++i)
        if (FFunctionSources.GetItem(i)->DependsOn(AOtherPin))
            return true;
    return false;
}

void TPNSourcePin::CollectFunctionPaths(std::vector<std::vector<TPNBasicPin*>>& APaths,
                                        std::vector<TPNBasicPin*>& APath)
{
    APath.push_back(this);
    int n = FFunctionSources.Count();
    for (int i = 0; i < n; ++i) {
        if (i == 0) {
            FFunctionSources.GetItem(i)->CollectFunctionPaths(APaths, APath);
        } else {
            APaths.emplace_back();
            std::vector<TPNBasicPin*> fresh;
            FFunctionSources.GetItem(i)->CollectFunctionPaths(APaths, fresh);
            APaths.back() = std::move(fresh);
        }
    }
}

void TPNSourcePin::RetypeLinks(const TGUID& AID, TPNBasicPin* ATarget)
{
    IPNLockSection w = WriteLock();
    for (size_t i = 0; i < FLinks.Size(); ++i) {
        RetypeLink(int(i), AID);
        if (i >= FLinks.Size())
            break;
        if (auto* sink = dynamic_cast<TPNBasicSinkPin*>(FLinks[i].ConnectionPin))
            sink->UpdateConnectedType(AID, ATarget);
    }
}

void TPNSourcePin::RetypeLink(int AIndex, const TGUID& AID)
{
    IPNLockSection w = WriteLock();
    if (AIndex < 0 || size_t(AIndex) >= FLinks.Size())
        return;
    TPNPinEntry& e = FLinks[size_t(AIndex)];
    if (e.ConnectedID == AID)
        return;
    TClass cc = nullptr;
    IntfPtr<IPNFormatConverter> c;
    e.ConnectedID = ChooseLinkType(this, e.RealPin, true, cc, c, false);
    e.SubmitFunction = GetSubmitFunction(e.ConnectedID);
    SendNewLink(e.ConnectionPin, e.SubmitFunction);
}

// ---------------------------------------------------------------- basic sink pin

TGUID TPNBasicSinkPin::ChooseSinkType(TPNBasicSinkPin* ASink, TPNSourcePin* ASource, const TGUID& AOfferedID)
{
    if (!ASource)
        return GUID_NULL;
    IPNLockSection r = ASink->ReadLock();
    TPNPinTypeRestricted accepted;
    ASource->CollectAcceptedTypes(accepted, ASink);
    TGUID id = GUID_NULL;
    for (int i = accepted.Count(); i-- > 0;)
        if (ASource->SupportsType(accepted.GetID(i)) == S_OK) {
            if (accepted.GetID(i) == AOfferedID)
                return accepted.GetID(i);
            if (id.IsNull())
                id = accepted.GetID(i);
        }
    return id;
}

bool TPNBasicSinkPin::IsCompatible(TPNBasicPin* AOtherPin, bool AUseConverters)
{
    if (!AOtherPin)
        return true;
    IPNLockSection r = ReadLock();
    if (auto* source = dynamic_cast<TPNSourcePin*>(AOtherPin)) {
        bool ok = source->CanNegotiate(this, AUseConverters);
        if (ok && !FIgnoreUpstream)
            ok = CanAcceptUpstream(source, AUseConverters);
        return ok;
    }
    if (IsStatePin(AOtherPin)) {
        IntfPtr<IPNFormatConverter> c;
        TClass cc = nullptr;
        return !AOtherPin->ChooseConnectionType(this, c, AUseConverters, cc).IsNull();
    }
    return false;
}

bool TPNBasicSinkPin::CanLinkTo(TPNBasicPin* AOtherPin, IntfPtr<IPNFormatConverter>& AConverter, bool AUseConverters,
                                TClass& AConverterClass)
{
    if (!AOtherPin)
        return false;
    if (!ConverterOfPin(this) && !ConverterOfPin(AOtherPin) && !DesignParity(AOtherPin))
        return false;
    IPNLockSection r = ReadLock();
    if (TPNStreamPin::CanLinkTo(AOtherPin, AConverter, AUseConverters, AConverterClass))
        return true;
    if (AOtherPin != this && IsCompatible(AOtherPin, AUseConverters))
        return !AOtherPin->DependsOn(this);  // a source may not feed a sink it depends on
    return false;
}

bool TPNBasicSinkPin::CanAcceptUpstream(TPNSourcePin* ASource, bool AUseConverters)
{
    IPNLockSection r = ReadLock();
    if (IgnoresUpstream())
        return true;
    TClass cc = nullptr;
    IntfPtr<IPNFormatConverter> c;
    TGUID x = TPNSourcePin::ChooseLinkType(ASource, this, AUseConverters, cc, c, false);
    return !ChooseSinkType(this, ASource, x).IsNull();
}

void TPNBasicSinkPin::AddFunctionDependant(TPNSourcePin* ASource)
{
    IPNLockSection w = WriteLock();
    if (std::find(FFunctionDependants.begin(), FFunctionDependants.end(), ASource) == FFunctionDependants.end())
        FFunctionDependants.push_back(ASource);
    NotePinReference(this, ASource);
}

void TPNBasicSinkPin::RemoveFunctionDependant(TPNSourcePin* ASource)
{
    IPNLockSection w = WriteLock();
    std::erase(FFunctionDependants, ASource);
}

void TPNBasicSinkPin::AddDataTypeDependant(TPNSourcePin* ASource)
{
    IPNLockSection w = WriteLock();
    if (std::find(FDataTypeDependants.begin(), FDataTypeDependants.end(), ASource) == FDataTypeDependants.end())
        FDataTypeDependants.push_back(ASource);
    NotePinReference(this, ASource);
}

void TPNBasicSinkPin::RemoveDataTypeDependant(TPNSourcePin* ASource)
{
    IPNLockSection w = WriteLock();
    std::erase(FDataTypeDependants, ASource);
}

int TPNBasicSinkPin::FunctionDependantCount()
{
    IPNLockSection r = ReadLock();
    return int(FFunctionDependants.size());
}

void TPNBasicSinkPin::PinDestroyed(TPNBasicPin* APin)
{
    IPNLockSection w = WriteLock();
    std::erase(FFunctionDependants, APin);
    std::erase(FDataTypeDependants, APin);
}

// ---------------------------------------------------------------------- sink pin

TPNSinkPin::~TPNSinkPin()
{
    IPNLockSection w = WriteLock();
    IPNDestroyLockSection d = FDestroyLock->DestroyLock();
    Connect(nullptr);
}

void TPNSinkPin::ClearSourceFields()
{
    FRealSourcePin = nullptr;
    FIntRealSourcePin = nullptr;
    FConnectionSourcePin = nullptr;
}

void TPNSinkPin::SetConnectionSource(TPNBasicPin* APin)
{
    IPNLockSection w = WriteLock();
    FConnectionSourcePin = APin;
    NotePinReference(this, APin);
}

void TPNSinkPin::RecordConverterSource(TPNSourcePin* ASource)
{
    IPNLockSection w = WriteLock();
    FConnectionSourcePin = ASource;
    FRealSourcePin = ASource;
    NotePinReference(this, ASource);
    FIntRealSourcePin = ASource;
    TClass cc = nullptr;
    IntfPtr<IPNFormatConverter> c;
    TGUID offer = TPNSourcePin::ChooseLinkType(ASource, this, false, cc, c, false);
    FConnectedID = ChooseSinkType(this, ASource, offer);
    FSubmitFunction = GetSubmitFunction(FConnectedID);
}

bool TPNSinkPin::ConnectAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin)
{
    if (AOtherPin == this)
        return false;
    IPNLockSection w = WriteLock();

    if (AOtherPin && AOtherPin == FRealSourcePin) {
        TPNBasicPin* source = FRealSourcePin;
        w.Release();
        bool same = source->GetNotifyAfterPin(this) == ANotifyAfterPin;
        w = WriteLock();
        if (same && FRealSourcePin == source)
            return true;
    }
    if (!AOtherPin && !FRealSourcePin && !FConnectionSourcePin) {
        FSubmitFunction = {};
        return true;
    }
    // The converter's output offering itself again. The real source asking with another
    // after-pin is relinked below, not answered True with its old order.
    if (AOtherPin && AOtherPin == FConnectionSourcePin && FConnectionSourcePin != FRealSourcePin)
        return true;

    if (!AOtherPin) {
        bool keep = IsDesigning() && IsRootDestroying();
        TPNBasicPin* source = FRealSourcePin;
        if (source) {
            w.Release();
            {
                IPNLockSection sw = source->WriteLock();
                source->RemoveLink(this, keep);
            }
            w = WriteLock();
        }
        ClearSourceFields();
        FSubmitFunction = {};
        w.Release();
        if (source)
            source->AfterUnlink();
        return true;
    }

    if (IsStatePin(AOtherPin)) {
        w.Release();
        return AOtherPin->Connect(this);
    }
    if (!CanConnectTo(AOtherPin, true))
        return false;
    if (FDispatcher)
        TPNBasicSinkPin::Disconnect();  // a direct link ends the state link

    if (TPNBasicPin* old = FRealSourcePin) {
        bool keep = IsDesigning() && IsRootDestroying();
        w.Release();
        {
            IPNLockSection sw = old->WriteLock();
            old->RemoveLink(this, keep);
        }
        old->AfterUnlink();
        w = WriteLock();
        ClearSourceFields();
        FSubmitFunction = {};
    }

    bool result = false;
    if (auto* source = dynamic_cast<TPNSourcePin*>(AOtherPin)) {
        FConnectionSourcePin = source;
        FIntRealSourcePin = source;
        NotePinReference(this, source);
        w.Release();
        try {
            IPNLockSection sw = source->WriteLock();
            source->AddLink(this, ANotifyAfterPin);
        } catch (...) {
            w = WriteLock();
            ClearSourceFields();
            throw;
        }
        w = WriteLock();
        FRealSourcePin = source;
        FIntRealSourcePin = source;
        result = true;
        TClass cc = nullptr;
        IntfPtr<IPNFormatConverter> c;
        TGUID offer = TPNSourcePin::ChooseLinkType(source, this, true, cc, c, false);
        FConnectedID = ChooseSinkType(this, source, offer);
        FSubmitFunction = GetSubmitFunction(FConnectedID);
        w.Release();
        TGUID offer2;
        {
            IPNLockSection sw = source->WriteLock();
            source->SendNewLinkTo(this);
            offer2 = TPNSourcePin::ChooseLinkType(source, this, true, cc, c, false);
        }
        w = WriteLock();
        PropagateType(offer2, this);
        AddLink(AOtherPin, ANotifyAfterPin);
    } else {
        w.Release();
        result = AOtherPin->ConnectAfter(this, ANotifyAfterPin);
    }
    return result;
}

bool TPNSinkPin::CanConnectAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin, bool AUseConverters)
{
    if (!AOtherPin)
        return true;
    return AOtherPin->CanConnectAfter(this, ANotifyAfterPin, AUseConverters);
}

void TPNSinkPin::RemoveLink(TPNBasicPin* APin, bool AKeepPlaceholder)
{
    IPNLockSection w = WriteLock();
    IPNDestroyLockSection d = FDestroyLock->DestroyLock();
    // Only the pin that feeds this sink may cut it: a converter left over from an earlier
    // link, or any other pin, must not clear the link the sink has now.
    if (!APin || (APin != FRealSourcePin && APin != FConnectionSourcePin))
        return;
    // Keeping a placeholder for a source of a form being unloaded in the designer comes
    // with the form-resource links; the link is cut either way.
    (void)AKeepPlaceholder;
    ClearSourceFields();
}

void TPNSinkPin::Disconnect()
{
    BeforeDisconnect();
    TPNBasicPin* source;
    {
        IPNLockSection r = ReadLock();
        source = FRealSourcePin;
    }
    IPNDestroyLockSection sourceDestroy;
    IPNLockSection sourceWrite;
    if (source) {
        source->BeforeDisconnect();
        if (!IsUnloadedPin(source) && !ConverterOfPin(source)) {
            PN_ASSERT_HAZARD(!pnhazard::InDeliveryOf(source),
                             "a sink is unlinked by a thread inside a delivery of its source");
            // Waits until every delivery the source is making on other threads has returned
            // and keeps it from starting new ones while the link is cut. Levels of this pin
            // that the caller holds (a destructor holds a write section) are given up while
            // it waits, so a delivery into this pin that asks for its section can finish.
            {
                IPNLockSection own = UnlockAll();
                sourceDestroy = source->DestroyLockIntf()->DestroyLock();
            }
            sourceWrite = source->WriteLock();
        }
    }
    IPNDestroyLockSection ownDestroy = FDestroyLock->DestroyLock();
    IPNLockSection stop = IntLock()->StopLock();
    TPNBasicSinkPin::Disconnect();  // the state-link part
    ConnectAfter(nullptr, nullptr);
    ownDestroy.Release();
    stop.Release();
    sourceDestroy.Release();
    sourceWrite.Release();
}

void TPNSinkPin::DisconnectFrom(TPNBasicPin* AOtherPin)
{
    if (IsConnectedTo(AOtherPin))
        Disconnect();
    else
        TPNBasicSinkPin::DisconnectFrom(AOtherPin);
}

TPNNotifyResult TPNSinkPin::Notify(IPNNotifyOperation* AOperation)
{
    IntfPtr<IPNNotifyOperation> hold(AOperation);
    IPNLockSection ownerRead;
    if (FOwnerLock) {
        ownerRead = FOwnerLock->ReadLock();
        if (!ownerRead)
            return {};  // the owner is stopping
    }
    IPNLockSection r = ReadLock();
    // A refused section means another thread is cutting this link right now: the link
    // fields are not to be read, and nothing is delivered.
    if (!r.Locked())
        return {};
    TPNBasicPin* source = FConnectionSourcePin;
    if (!source || !FRealSourcePin || !FSubmitFunction.Assigned())
        return {};
    TPNSubmit submit = FSubmitFunction;
    TGUID id = FConnectedID;
    IntfPtr<IPNFormatConverter> conv;
    if (TPNFormatConverter* c = ConverterOfPin(source))
        conv = IntfPtr<IPNFormatConverter>(c);
    r.Release();
    IPNDestroyLockSection d = FDestroyLock->Lock();
    if (!d)
        return {};
    IPNLockSection ownerUnlock;
    if (FOwnerLock)
        ownerUnlock = FOwnerLock->UnlockAll();
    return submit(static_cast<IPNStream*>(source), &id, AOperation, TPNNotifyState {nsLastIteration});
}

void TPNSinkPin::PinDestroyed(TPNBasicPin* APin)
{
    bool cut;
    {
        IPNLockSection w = WriteLock();
        TPNBasicSinkPin::PinDestroyed(APin);
        cut = APin == FRealSourcePin;
    }
    if (cut)
        Disconnect();
}

void TPNSinkPin::Assign(TPersistent* ASource)
{
    if (!ASource) {
        Connect(nullptr);
        return;
    }
    if (auto* other = dynamic_cast<TPNSinkPin*>(ASource)) {
        Connect(other->SourcePin());
        return;
    }
    TPNBasicSinkPin::Assign(ASource);
}

// ------------------------------------------------------------------- queries

TPNBasicPin* TPNSinkPin::SourcePin()
{
    IPNLockSection r = ReadLock();
    return FIntRealSourcePin;
}

IntfPtr<IPNFormatConverter> TPNSinkPin::FormatConverter()
{
    IPNLockSection r = ReadLock();
    if (FConnectionSourcePin && FConnectionSourcePin != FRealSourcePin)
        if (TPNFormatConverter* c = ConverterOfPin(FConnectionSourcePin))
            return IntfPtr<IPNFormatConverter>(c);
    return nullptr;
}

TGUID TPNSinkPin::UpStreamID()
{
    IPNLockSection r = ReadLock();
    return FIntRealSourcePin ? FConnectedID : GUID_NULL;
}

TGUID TPNSinkPin::DownStreamID()
{
    TPNBasicPin* source = SourcePin();
    if (source)
        return source->GetConnectionID(this);
    TPNBasicPin* cs;
    {
        IPNLockSection r = ReadLock();
        cs = FConnectionSourcePin;
    }
    if (!cs)
        return GUID_NULL;
    IntfPtr<IPNFormatConverter> c;
    TClass cc = nullptr;
    return cs->ChooseConnectionType(this, c, true, cc);
}

std::string TPNSinkPin::UpStreamLinkName()
{
    IPNLockSection r = ReadLock();
    return FIntRealSourcePin ? GetStreamTypeName(FConnectedID) : std::string();
}

std::string TPNSinkPin::DownStreamLinkName()
{
    TPNBasicPin* source = SourcePin();
    return source ? GetStreamTypeName(source->GetConnectionID(this)) : std::string();
}

std::string TPNSinkPin::GetLinkDisplayText()
{
    TPNBasicPin* source = SourcePin();
    if (!source)
        return TPNBasicSinkPin::GetLinkDisplayText();
    return source->GetFullIdentName(source->GetRootName() != GetRootName());
}

bool TPNSinkPin::IsLinkedTo(const std::string& APinName) { return GetLinkDisplayText() == APinName; }

int TPNSinkPin::GetConnectedPinCount()
{
    IPNLockSection r = ReadLock();
    return FIntRealSourcePin ? 1 : 0;
}

TPNBasicPin* TPNSinkPin::GetConnectedPin(int)
{
    IPNLockSection r = ReadLock();
    return FIntRealSourcePin;
}

TPNBasicPin* TPNSinkPin::GetNotifyAfterPin(TPNBasicPin* APin)
{
    TPNBasicPin* source = SourcePin();
    if (APin && APin == source)
        return source->GetNotifyAfterPin(this);
    return TPNBasicSinkPin::GetNotifyAfterPin(APin);
}

bool TPNSinkPin::IsConnected()
{
    if (SourcePin())
        return true;
    return IsStateConnected();
}

bool TPNSinkPin::IsConnectedTo(TPNBasicPin* AOtherPin)
{
    if (AOtherPin == SourcePin())
        return true;
    return IsConnectedByStateTo(AOtherPin);
}

bool TPNSinkPin::IsConnectedByConverterTo(TPNBasicPin* AOtherPin)
{
    {
        IPNLockSection r = ReadLock();
        if (AOtherPin && AOtherPin == FIntRealSourcePin)
            return FConnectionSourcePin != AOtherPin;
    }
    return TPNBasicSinkPin::IsConnectedByConverterTo(AOtherPin);
}

TGUID TPNSinkPin::GetConnectionID(TPNBasicPin*)
{
    IPNLockSection r = ReadLock();
    return FConnectedID;
}

TGUID TPNSinkPin::GetPrimaryConnectionID()
{
    TGUID id = GetConnectionID(nullptr);
    return id.IsNull() ? TPNBasicSinkPin::GetPrimaryConnectionID() : id;
}

HRESULT TPNSinkPin::SupportsType(const TGUID& AID)
{
    IPNLockSection r = ReadLock();
    HRESULT h = TPNBasicSinkPin::SupportsType(AID);
    return h == S_OK ? DependantsAcceptType(AID) : h;
}

bool TPNSinkPin::DirectDependsOn(TPNBasicPin* AOtherPin)
{
    TPNBasicPin* source = SourcePin();
    return source ? source->DirectDependsOn(AOtherPin) : false;
}

bool TPNSinkPin::DependsOn(TPNBasicPin* AOtherPin)
{
    TPNBasicPin* source = SourcePin();
    if (!source)
        return false;
    if (AOtherPin == source)
        return true;
    return source->DependsOn(AOtherPin);
}

void TPNSinkPin::CollectFunctionPaths(std::vector<std::vector<TPNBasicPin*>>& APaths, std::vector<TPNBasicPin*>& APath)
{
    APath.push_back(this);
    TPNBasicPin* cs;
    {
        IPNLockSection r = ReadLock();
        cs = FConnectionSourcePin;
    }
    if (auto* source = dynamic_cast<TPNSourcePin*>(cs))
        source->CollectFunctionPaths(APaths, APath);
}

void TPNSinkPin::PropagateType(const TGUID& AID, TPNBasicPin* ATarget)
{
    IPNLockSection w = WriteLock();
    if (auto* source = dynamic_cast<TPNSourcePin*>(FConnectionSourcePin)) {
        int n = source->DataTypeSources().Count();
        if (n == 0) {
            source->RetypeLinks(AID, ATarget);
        } else {
            for (int i = 0; i < n; ++i)
                source->DataTypeSources().GetItem(i)->PropagateType(AID, ATarget);
        }
    } else {
        UpdateConnectedType(AID, ATarget);
    }
}

void TPNSinkPin::UpdateConnectedType(const TGUID& AID, TPNBasicPin* ATarget)
{
    IPNLockSection w = WriteLock();
    if (auto* source = dynamic_cast<TPNSourcePin*>(FConnectionSourcePin)) {
        TGUID id = source->GetConnectionID(this);
        FConnectedID = ChooseSinkType(this, source, id);
        FSubmitFunction = GetSubmitFunction(FConnectedID);
    }
    std::vector<TPNSourcePin*> deps = FDataTypeDependants;
    for (TPNSourcePin* d : deps)
        d->RetypeLinks(AID, ATarget);
}

}  // namespace dcs
