// The pin bases: the basic pin every pin and placeholder is, the pin of a component with
// its stream types and names, the stream pin that negotiates types, and the register of
// every live pin.
#pragma once

#include <atomic>

#include "components/pins/PNObject.h"
#include "components/pins/PNStreamTypes.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace dcs {

class TPNBasicPin;
class TPNSourcePin;
class TPNBasicSinkPin;
class TPNSinkPin;
class TPNFormatConverter;
class IPNFormatConverter;
class TPNPinList;          // named pin lists of components, with form-resource links
class TPNStateDispatcher;  // shared named connection points of state links

// Every live pin, placeholders included, under the pin register section.
int AllPinsCount();
// The property path of ATarget inside AObject ("InputPins", "Format.OutputPin"), or ""
// when AObject publishes it nowhere.
std::string ObjectPathIn(TObject* AObject, TObject* ATarget);
// The path of APin inside its owner through the pin list AList: the list's path, then
// "._Pin" and the index (ident form) or a dot and the entry's name; "" when absent.
std::string PinListEntryPath(TPNPinList* AList, TPNBasicPin* APin, bool AIdentForm);
// Runs AProc on every live pin from the last to the first, under the register section.
void ForEachPinBackwards(const std::function<void(TPNBasicPin*)>& AProc);

class TPNPinObject : public TPNObject {
    DCS_CLASS(TPNPinObject, TPNObject)

    // APin is being destroyed: forget every reference to it.
    virtual void PinDestroyed(TPNBasicPin* /*APin*/) {}
    // Links ordered after OldPin are ordered after NewPin from now on.
    virtual void ReplaceAfterPin(TPNBasicPin* /*AOldPin*/, TPNBasicPin* /*ANewPin*/) {}
    virtual void SetAfterPinByName(TPNBasicPin* /*APin*/, const std::string& /*AName*/) {}
    virtual std::string GetAfterPinDisplayName(TPNBasicPin* /*APin*/) { return ""; }
    // Whether one of this pin's links is ordered after APin.
    virtual bool NamesAfterPin(TPNBasicPin* /*APin*/) { return false; }
};

class TPNBasicPin : public TPNPinObject, public virtual IPNStream {
    DCS_CLASS(TPNBasicPin, TPNPinObject)
    // The state links of every pin are kept with the dispatchers.
    friend struct TPNStateLinks;

    TPNBasicPin();
    ~TPNBasicPin() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;

    // Pins are owned by their components: the interface is not counted.
    HRESULT QueryInterface(const TGUID& iid, void** obj) override;
    int32_t _AddRef() override { return 1; }
    int32_t _Release() override { return 1; }

    virtual TComponent* Owner() const { return nullptr; }
    virtual bool IsRootDestroying() { return false; }
    virtual void RemoveLink(TPNBasicPin* /*APin*/, bool /*AKeepPlaceholder*/) {}
    virtual void AddLink(TPNBasicPin* /*APin*/, TPNBasicPin* /*ANotifyAfterPin*/) {}
    virtual void AfterUnlink() {}
    virtual bool CanLinkTo(TPNBasicPin* AOtherPin, IntfPtr<IPNFormatConverter>& AConverter, bool AUseConverters,
                           TClass& AConverterClass) = 0;
    virtual void BeforeDisconnect() {}
    virtual TPNPinType GetPinType() = 0;
    virtual TPNBasicPin* GetNotifyAfterPin(TPNBasicPin* APin);
    virtual bool DirectDependsOn(TPNBasicPin* AOtherPin) { return DependsOn(AOtherPin); }
    virtual TGUID GetConnectionID(TPNBasicPin* /*AOtherPin*/) { return GUID_NULL; }
    virtual std::string GetRootName();
    virtual TComponent* GetRoot() { return GetRootComponent(Owner()); }
    virtual std::string GetName() = 0;
    virtual std::string GetSaveName() { return GetName(); }
    virtual std::string GetOwnerName();
    virtual std::string GetFullName(bool AIncludeRootForm) = 0;
    virtual std::string GetFullIdentName(bool AIncludeRootForm) = 0;
    virtual bool DependsOn(TPNBasicPin* AOtherPin) = 0;
    virtual bool IsCompatible(TPNBasicPin* AOtherPin, bool AUseConverters) = 0;

    virtual bool IsStateConnected();
    virtual bool IsConnected() { return IsStateConnected(); }
    virtual bool IsConnectedTo(TPNBasicPin* AOtherPin) { return IsConnectedByStateTo(AOtherPin); }
    virtual bool IsConnectedToAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin)
    {
        return IsConnectedByStateToAfter(AOtherPin, ANotifyAfterPin);
    }
    virtual bool IsConnectedByStateTo(TPNBasicPin* AOtherPin);
    virtual bool IsConnectedByStateToAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin);
    virtual bool IsConnectedByConverterTo(TPNBasicPin* /*AOtherPin*/) { return false; }

    bool Connect(TPNBasicPin* AOtherPin) { return ConnectAfter(AOtherPin, nullptr); }
    virtual bool ConnectAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin);
    virtual bool CanConnectAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin, bool AUseConverters);
    bool CanConnectTo(TPNBasicPin* AOtherPin, bool AUseConverters);
    virtual void Disconnect();
    virtual void DisconnectFrom(TPNBasicPin* AOtherPin);
    virtual TPNNotifyResult Notify(IPNNotifyOperation* /*AOperation*/) { return {}; }

    virtual int GetConnectedPinCount() { return 0; }
    virtual TPNBasicPin* GetConnectedPin(int /*AIndex*/) { return nullptr; }
    TPNBasicPin* GetConnectedAfterPin(int AIndex) { return GetNotifyAfterPin(GetConnectedPin(AIndex)); }
    int ConnectedDispatcherCount() { return FDispatcher ? 1 : 0; }
    TPNStateDispatcher* GetDispatcher(int /*AIndex*/) { return FDispatcher; }
    virtual void SetInEditor(bool /*AValue*/) {}
    // What a pin editor shows for the pin's links, and whether it is linked to the pin
    // of that name.
    virtual std::string GetLinkDisplayText();
    virtual bool IsLinkedTo(const std::string& /*APinName*/) { return false; }
    virtual bool IsDesigning() = 0;
    virtual TGUID ChooseConnectionType(TPNBasicPin* AOtherPin, IntfPtr<IPNFormatConverter>& AConverter,
                                       bool AUseConverters, TClass& AConverterClass) = 0;
    virtual TPNNotifyResult NotifyStatePins(IPNNotifyOperation* AOperation, TPNNotifyState AState,
                                            TPNBasicPin* APin) = 0;
    virtual void StateLinkChanged();
    // 0 when the pin implements the stream interface whose id is AID, else E_NOINTERFACE.
    virtual HRESULT SupportsType(const TGUID& AID);

    bool GetIsRealPin();
    TPNPinList* OwnerPinList() const { return FOwnerPinList; }
    TObject* CustomData() const { return FCustomData; }
    void SetCustomData(TObject* AValue) { FCustomData = AValue; }
    // Where an open pin editor keeps its reference to this pin; cleared on destruction.
    void SetCurrentEditorPtr(TPNBasicPin** APtr) { CurrentEditorPtr = APtr; }

    const IntfPtr<IPNDestroyLock>& DestroyLockIntf() const { return FDestroyLock; }

protected:
    friend class TPNPinList;  // sets and clears FOwnerPinList

    // Answers the stream interfaces the class implements; typed pins chain to it.
    virtual bool GetInterface(const TGUID& iid, void** obj);

    TPNBasicPin** CurrentEditorPtr = nullptr;
    TPNPinList* FOwnerPinList = nullptr;
    TObject* FCustomData = nullptr;
    std::string FLoadFormName;
    IntfPtr<IPNDestroyLock> FDestroyLock;
    // The state dispatcher the pin has joined. Joining, leaving and sending to its
    // members come with the dispatcher itself; until then no pin joins one.
    // Written under the pin's write section; atomic so that a send can see without the
    // pin's lock that there is no state to notify, the case of nearly every send.
    std::atomic<TPNStateDispatcher*> FDispatcher {nullptr};
};

// Kinds a pin is told apart by before the classes of those kinds exist here.
inline bool IsStatePin(TPNBasicPin* APin) { return APin && APin->GetPinType() == TPNPinType::ptState; }
// A placeholder for a pin of a form not loaded yet is a basic pin that is no TPNPin.
bool IsUnloadedPin(TPNBasicPin* APin);

// A reference to a placeholder that stays safe to hand over after the placeholder has
// gone: it only names one that is still registered. Null for any other pin.
struct TPNPlaceholderRef {
    TPNBasicPin* Pin = nullptr;
    uint64_t Serial = 0;
};
TPNPlaceholderRef PlaceholderRefOf(TPNBasicPin* APin);
// Frees each of the placeholders that nothing holds any more (no link, list entry or
// link ordered after it), and then those that only they held. Takes the register
// section and the placeholders' own locks.
void ReleaseUnusedPlaceholders(std::vector<TPNPlaceholderRef> ARefs);
// Inside a walk over the pin register on this thread: keeps ARefs for the end of the
// outermost walk and answers true.
bool DeferPlaceholderReleases(std::vector<TPNPlaceholderRef>& ARefs);

class TPNPin : public TPNBasicPin {
    DCS_CLASS(TPNPin, TPNBasicPin)

    explicit TPNPin(TComponent* AOwner) : TPNPin(AOwner, nullptr) {}
    TPNPin(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock);
    ~TPNPin() override;

    IPNLockSection ReadLock() override;
    IPNLockSection WriteLock() override;
    // The links stored in form resources ("Form", "SinkPins", "SourcePin", ...), defined
    // with the pin lists.
    void DefineProperties(TFiler& Filer) override;

    TComponent* Owner() const override { return FOwner; }
    bool IsRootDestroying() override;
    bool IsOwnerLoading();
    bool IsDesigning() override;

    void AddType(const TGUID& AID, TPNSubmit ASubmitFunction);
    TPNSubmit GetSubmitFunction(const TGUID& AID);
    TPNNotifyResult DefaultNotifyDispatcher(IPNStream* Handler, const TGUID* DataTypeID, IPNNotifyOperation* Operation,
                                            TPNNotifyState State);
    const TPNPinStreamType& StreamType() const { return FStreamType; }

    bool CanLinkTo(TPNBasicPin* AOtherPin, IntfPtr<IPNFormatConverter>& AConverter, bool AUseConverters,
                   TClass& AConverterClass) override;
    TGUID GetConnectionID(TPNBasicPin* AOtherPin) override { return GetStateConnectionID(AOtherPin); }
    virtual TGUID GetPrimaryConnectionID();
    virtual TGUID GetStateConnectionID(TPNBasicPin* AOtherPin);
    std::string GetConnectionName(TPNBasicPin* AOtherPin);
    TGUID ChooseConnectionType(TPNBasicPin* AOtherPin, IntfPtr<IPNFormatConverter>& AConverter, bool AUseConverters,
                               TClass& AConverterClass) override;
    bool IsCompatible(TPNBasicPin* AOtherPin, bool AUseConverters) override;

    std::string GetRootName() override;
    std::string GetName() override;
    std::string GetSaveName() override;
    std::string GetFullName(bool AIncludeRootForm) override;
    std::string GetFullIdentName(bool AIncludeRootForm) override;
    // The pin's path inside its owner when the owner does not publish it as a property.
    void SetPinPath(const std::string& APath) { FPinPath = APath; }

    TPNNotifyResult Notify(IPNNotifyOperation* AOperation) override { return NotifyStatePins(AOperation, {}, nullptr); }
    TPNNotifyResult NotifyStatePins(IPNNotifyOperation* AOperation, TPNNotifyState AState, TPNBasicPin* APin) override;

    const IntfPtr<IPNLock>& OwnerLock() const { return FOwnerLock; }

protected:
    // The pin's path inside its owner: a published property of the owner (or of one of
    // its persistent sub-objects) that holds it, else the path set with SetPinPath.
    std::string PinPath();
    std::string ComposeFullName(bool AIncludeRootForm, bool AIdentForm);
    // Design-mode parity: False when exactly one of the two pins is designing.
    bool DesignParity(TPNBasicPin* AOtherPin);

    TComponent* FOwner;
    std::string FLastRootName;
    std::string FPinPath;
    TPNPinStreamType FStreamType;
    IntfPtr<IPNLock> FOwnerLock;
};

// Pins that take part in stream-type negotiation.
class TPNStreamPin : public TPNPin {
    DCS_CLASS(TPNStreamPin, TPNPin)
    using TPNPin::TPNPin;

    virtual void CollectOfferedTypes(TPNPinStreamType& AList, TPNBasicPin* AForPin);
    virtual void CollectAcceptedTypes(TPNPinStreamType& AList, TPNBasicPin* AForPin);
    virtual HRESULT DependantsAcceptType(const TGUID& /*AID*/) { return S_OK; }
    virtual HRESULT SourcesAcceptType(const TGUID& /*AID*/) { return S_OK; }
    virtual void CollectFunctionPaths(std::vector<std::vector<TPNBasicPin*>>& APaths, std::vector<TPNBasicPin*>& APath);
};

}  // namespace dcs
