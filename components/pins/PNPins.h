// Pins: the connection points of processing components, the links between them with the
// stream type both ends agree on, the operations that travel along links, and the two
// process-wide registries of stream types and format converters.
//
// A source pin keeps an ordered list of links; a sink pin has one source. Whichever end
// the caller starts from, the sink's ConnectAfter makes the link. No component lock and
// no pin lock is held while an operation is delivered to another component: the sending
// pin gives up its owner's levels and guards each delivery with its own destroy lock.
#pragma once

#include "components/pins/PNObject.h"
#include "platform/base/Interfaces.h"
#include "platform/classes/Classes.h"

#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace dcs {

DCS_DECLARE_EXCEPTION(EPNException, Exception);

// Raised when sends through one pin nest without end (an operation looping back to its
// source through a chain of links).
extern const char* const SPNDependsOnItself;

// ------------------------------------------------------------------------ small sets

template <class E>
class TPNSet {
public:
    constexpr TPNSet() = default;
    constexpr TPNSet(std::initializer_list<E> AItems)
    {
        for (E e : AItems)
            FBits |= Bit(e);
    }
    constexpr bool Contains(E AItem) const { return (FBits & Bit(AItem)) != 0; }
    constexpr TPNSet& Include(E AItem)
    {
        FBits |= Bit(AItem);
        return *this;
    }
    constexpr TPNSet& Exclude(E AItem)
    {
        FBits &= uint8_t(~Bit(AItem));
        return *this;
    }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr uint8_t Bits() const { return FBits; }
    friend constexpr bool operator==(TPNSet, TPNSet) = default;

private:
    static constexpr uint8_t Bit(E AItem) { return uint8_t(1u << unsigned(AItem)); }
    uint8_t FBits = 0;
};

enum TPNNotifyStateItem : uint8_t { nsNewLink, nsLastIteration };
using TPNNotifyState = TPNSet<TPNNotifyStateItem>;

enum TPNNotifyResultItem : uint8_t { nrDataChanged };
using TPNNotifyResult = TPNSet<TPNNotifyResultItem>;

// Scoped: its value names would clash with those of TPNPumpType.
enum class TPNPinType : uint8_t { ptSource, ptSink, ptState, ptMultiSink, ptDispatcher };

// ------------------------------------------------------------------- stream interfaces

// Root of every stream interface. A stream type id is also the interface id of the
// stream interface that pins of that type implement; asking a pin for that interface
// asks whether it supports the type. Typed stream interfaces derive from it virtually,
// as pins do.
class IPNStream : public virtual IInterface {
public:
    static constexpr TGUID IID = MakeGUID("{2BFF1BE1-1698-4CFA-A427-9E0801C5B357}");

protected:
    ~IPNStream() = default;
};

class TPNNotifyOperation;

class IPNNotifyOperation : public virtual IInterface {
public:
    static constexpr TGUID IID = MakeGUID("{AC2714E1-1E70-4C60-ABBB-EA27737CEE74}");
    virtual TPNNotifyOperation* Instance() = 0;

protected:
    ~IPNNotifyOperation() = default;
};

// One operation travelling along links. Ids are unique and rising from 1 across the
// process. An object of this class itself is the plain notification that a link was made.
class TPNNotifyOperation : public TImplements<TInterfacedObject, IPNNotifyOperation> {
public:
    TPNNotifyOperation();
    uint32_t OperationID() const { return FOperationID; }
    TPNNotifyOperation* Instance() override { return this; }

private:
    uint32_t FOperationID;
};

// The range error of every indexed pin and pin-list access.
[[noreturn]] inline void RaiseIndexOutOfRange(int AIndex)
{
    throw ERangeError("Index out of range = " + std::to_string(AIndex));
}

// A new operation of class T, held by the returned reference.
template <class T, class... A>
IntfPtr<IPNNotifyOperation> MakeOperation(A&&... Args)
{
    return IntfPtr<IPNNotifyOperation>(new T(std::forward<A>(Args)...));
}

// The class test receivers use: the operation as a T (or a descendant), else null.
template <class T>
T* OperationAs(IPNNotifyOperation* AOperation)
{
    return AOperation ? dynamic_cast<T*>(AOperation->Instance()) : nullptr;
}

// ------------------------------------------------------------------ submit functions

class TPNPin;

// The delivery of one operation over one link: a function and the object it is bound
// to. Copying it costs two words; it counts as assigned when its code part is set.
struct TPNSubmit {
    using TCode = TPNNotifyResult (*)(void* AData, IPNStream* Handler, const TGUID* DataTypeID,
                                      IPNNotifyOperation* Operation, TPNNotifyState State);
    TCode Code = nullptr;
    void* Data = nullptr;

    bool Assigned() const { return Code != nullptr; }
    TPNNotifyResult operator()(IPNStream* Handler, const TGUID* DataTypeID,
                               IPNNotifyOperation* Operation, TPNNotifyState State) const
    {
        return Code(Data, Handler, DataTypeID, Operation, State);
    }
    // Binds a method TPNNotifyResult (T::*)(IPNStream*, const TGUID*, IPNNotifyOperation*,
    // TPNNotifyState) to an object.
    template <auto Method, class T>
    static TPNSubmit Of(T* AObject)
    {
        return TPNSubmit{[](void* d, IPNStream* h, const TGUID* id, IPNNotifyOperation* op,
                            TPNNotifyState st) { return (static_cast<T*>(d)->*Method)(h, id, op, st); },
                         AObject};
    }
    friend bool operator==(const TPNSubmit&, const TPNSubmit&) = default;
};

// The send function of one stream type: turns the handler into that type's interface and
// calls it.
using TPNGlobalSubmit = TPNNotifyResult (*)(TPNPin* Sender, IPNStream* Handler,
                                            const TGUID* DataTypeID, IPNNotifyOperation* Operation,
                                            TPNNotifyState State);

// ------------------------------------------------------------- a pin's list of types

struct TPNPinTypeEntry {
    TGUID ID;
    TPNSubmit SubmitFunction;
};

// The types a pin offers or handles, in its order of preference: the later an entry,
// the more it is preferred.
class TPNPinStreamType {
public:
    // Replaces the submit function of an existing entry in place, else appends.
    void AddType(const TGUID& AID, TPNSubmit ASubmitFunction);
    void RemoveType(const TGUID& AID);
    void ClearTypes() { FTypes.clear(); }
    void SwapPosition(int AIndex1, int AIndex2);
    const TGUID& GetID(int AIndex) const { return FTypes.at(size_t(AIndex)).ID; }
    TPNSubmit GetSubmitFunc(int AIndex) const { return FTypes.at(size_t(AIndex)).SubmitFunction; }
    int Count() const { return int(FTypes.size()); }
    int IndexOf(const TGUID& AID) const;
    bool Contains(const TGUID& AID) const { return IndexOf(AID) >= 0; }

private:
    std::vector<TPNPinTypeEntry> FTypes;
};

// Scratch copy of a type list, made for one choice.
class TPNPinTypeRestricted : public TPNPinStreamType {
public:
    bool Ordered = false;
};

// --------------------------------------------------------------------- registries

// Stream-type registry. Filled by the start-up of the modules that define types.
int FindOrAddStreamType(const TGUID& AID);
void RegisterStreamTypeName(const TGUID& AID, const std::string& AName);
void RegisterStreamTypeSendFunction(const TGUID& AID, TPNGlobalSubmit ASendFunction);
// "NIL ID" for the nil id, the registered name (even an empty one), else the braced text.
std::string StreamTypeIDToText(const TGUID& AID);
// Empty for the nil id, else StreamTypeIDToText.
std::string GetStreamTypeName(const TGUID& AID);
TPNGlobalSubmit GetStreamTypeSendFunction(const TGUID& AID);

// Converter registry: converter classes (descendants of TPNFormatConverter) by pair.
int FindTypeConverter(const TGUID& AInputID, const TGUID& AOutputID);
void RegisterTypeConverter(const TGUID& AInputID, const TGUID& AOutputID, TClass AConverterClass);
TClass GetTypeConverterClass(const TGUID& AInputID, const TGUID& AOutputID);
struct TPNTypeConverterEntry {
    TGUID InputID;
    TGUID OutputID;
    TClass ConverterClass;
};
// A copy of the registry in registration order (lookups walk it from the last entry).
std::vector<TPNTypeConverterEntry> TypeConverters();
class TPNBasicPin;
// Walks the converter registry from its last entry and AOffered from its last type for
// a converter from an offered type to a type ASink supports: answers that offered type
// and the class, or the nil id.
TGUID FindRegisteredConverter(const TPNPinStreamType& AOffered, TPNBasicPin* ASink, TClass& AClass);
// Empties both registries (the framework's shutdown; tests).
void ClearStreamTypeRegistries();

// True when the class or one of its ancestors has that class name.
bool InheritsFromClassName(TClass AClass, std::string_view AName);
// Climbs owners to the root: a component without owner, whose owner is the application,
// that is a data module, or that is a form or frame.
TComponent* GetRootComponent(TComponent* C);

// ----------------------------------------------------------------------- pin classes

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
    virtual bool CanLinkTo(TPNBasicPin* AOtherPin, IntfPtr<IPNFormatConverter>& AConverter,
                           bool AUseConverters, TClass& AConverterClass) = 0;
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
    virtual bool CanConnectAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin,
                                 bool AUseConverters);
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
    TPNStateDispatcher* FDispatcher = nullptr;
};

// Kinds a pin is told apart by before the classes of those kinds exist here.
inline bool IsStatePin(TPNBasicPin* APin)
{
    return APin && APin->GetPinType() == TPNPinType::ptState;
}
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
    TPNNotifyResult DefaultNotifyDispatcher(IPNStream* Handler, const TGUID* DataTypeID,
                                            IPNNotifyOperation* Operation, TPNNotifyState State);
    const TPNPinStreamType& StreamType() const { return FStreamType; }

    bool CanLinkTo(TPNBasicPin* AOtherPin, IntfPtr<IPNFormatConverter>& AConverter,
                   bool AUseConverters, TClass& AConverterClass) override;
    TGUID GetConnectionID(TPNBasicPin* AOtherPin) override { return GetStateConnectionID(AOtherPin); }
    virtual TGUID GetPrimaryConnectionID();
    virtual TGUID GetStateConnectionID(TPNBasicPin* AOtherPin);
    std::string GetConnectionName(TPNBasicPin* AOtherPin);
    TGUID ChooseConnectionType(TPNBasicPin* AOtherPin, IntfPtr<IPNFormatConverter>& AConverter,
                               bool AUseConverters, TClass& AConverterClass) override;
    bool IsCompatible(TPNBasicPin* AOtherPin, bool AUseConverters) override;

    std::string GetRootName() override;
    std::string GetName() override;
    std::string GetSaveName() override;
    std::string GetFullName(bool AIncludeRootForm) override;
    std::string GetFullIdentName(bool AIncludeRootForm) override;
    // The pin's path inside its owner when the owner does not publish it as a property.
    void SetPinPath(const std::string& APath) { FPinPath = APath; }

    TPNNotifyResult Notify(IPNNotifyOperation* AOperation) override
    {
        return NotifyStatePins(AOperation, {}, nullptr);
    }
    TPNNotifyResult NotifyStatePins(IPNNotifyOperation* AOperation, TPNNotifyState AState,
                                    TPNBasicPin* APin) override;

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
    int32_t FInSending = 0;
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
    virtual void CollectFunctionPaths(std::vector<std::vector<TPNBasicPin*>>& APaths,
                                      std::vector<TPNBasicPin*>& APath);
};

// ------------------------------------------------------------------------ source pin

// One link of a source pin.
struct TPNPinEntry {
    TPNBasicPin* ConnectionPin = nullptr;  // the sink, or the input of the converter between
    TPNBasicPin* RealPin = nullptr;        // the linked sink
    TPNBasicPin* NotifyAfterPin = nullptr;
    TGUID ConnectedID;
    TPNSubmit SubmitFunction;
    int32_t ModificationLevel = 0;
};

// Lists of sink pins a source's output depends on; each entry also enters the source
// into the sink's matching dependant list.
class TPNSinkPinList {
public:
    enum class TKind { Function, DataType };
    TPNSinkPinList(TPNSourcePin* AOwner, TKind AKind) : FOwner(AOwner), FKind(AKind) {}
    ~TPNSinkPinList();
    int Count();
    TPNBasicSinkPin* GetItem(int AIndex);
    bool Contains(TPNBasicPin* APin);
    void Add(TPNBasicSinkPin* APin);
    void Remove(TPNBasicSinkPin* APin);

private:
    TPNSourcePin* FOwner;
    TKind FKind;
    std::vector<TPNBasicSinkPin*> FList;
};

class TPNSourcePin : public TPNStreamPin {
    DCS_CLASS(TPNSourcePin, TPNStreamPin)

    TPNSourcePin(TComponent* AOwner, int32_t AMaxConnections);
    TPNSourcePin(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock, IntfPtr<IPNLock> AInputOwnerLock,
                 int32_t AMaxConnections);
    ~TPNSourcePin() override;

    bool ConnectAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin) override;
    bool CanConnectAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin,
                         bool AUseConverters) override;
    virtual bool InternalConnectAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin);
    void AddLink(TPNBasicPin* APin, TPNBasicPin* ANotifyAfterPin) override;
    void RemoveLink(TPNBasicPin* APin, bool AKeepPlaceholder) override;
    void Disconnect() override;
    void DisconnectFrom(TPNBasicPin* AOtherPin) override;

    TPNNotifyResult Notify(IPNNotifyOperation* AOperation) override { return NotifyPin(nullptr, AOperation); }
    // Sends over every link, or only over the links to APin when it is set.
    TPNNotifyResult NotifyPin(TPNBasicPin* APin, IPNNotifyOperation* AOperation);
    virtual void SendNewLink(TPNBasicPin* ASink, TPNSubmit ASubmitFunction);
    virtual void SendNewLinkTo(TPNBasicPin* ASink);

    virtual int SinkCount();
    virtual TPNBasicPin* GetSink(int AIndex);
    int ConverterCount();
    IntfPtr<IPNFormatConverter> GetConverter(int AIndex);
    int GetConnectedPinCount() override { return SinkCount(); }
    TPNBasicPin* GetConnectedPin(int AIndex) override { return GetSink(AIndex); }
    TPNPinType GetPinType() override { return TPNPinType::ptSource; }
    TPNBasicPin* GetNotifyAfterPin(TPNBasicPin* APin) override;
    bool IsConnected() override;
    bool IsConnectedTo(TPNBasicPin* AOtherPin) override;
    bool IsConnectedToAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin) override;
    bool IsConnectedByConverterTo(TPNBasicPin* AOtherPin) override;
    TGUID GetConnectionID(TPNBasicPin* AOtherPin) override;
    TGUID GetPrimaryConnectionID() override;
    // The link's serving weight (tests and diagnostics).
    int32_t GetModificationLevel(TPNBasicPin* APin);

    void PinDestroyed(TPNBasicPin* APin) override;
    void ReplaceAfterPin(TPNBasicPin* AOldPin, TPNBasicPin* ANewPin) override;
    bool NamesAfterPin(TPNBasicPin* APin) override;
    void SetAfterPinByName(TPNBasicPin* APin, const std::string& AName) override;
    std::string GetAfterPinDisplayName(TPNBasicPin* APin) override;
    void SetInEditor(bool AValue) override { FInEditor = AValue; }
    std::string GetLinkDisplayText() override;
    bool IsLinkedTo(const std::string& APinName) override;

    // Negotiation.
    virtual bool CanNegotiate(TPNBasicPin* ASink, bool AUseConverters);
    bool CanLinkTo(TPNBasicPin* AOtherPin, IntfPtr<IPNFormatConverter>& AConverter,
                   bool AUseConverters, TClass& AConverterClass) override;
    bool IsCompatible(TPNBasicPin* AOtherPin, bool AUseConverters) override;
    HRESULT SupportsType(const TGUID& AID) override;
    bool DirectDependsOn(TPNBasicPin* AOtherPin) override;
    bool DependsOn(TPNBasicPin* AOtherPin) override;
    void CollectFunctionPaths(std::vector<std::vector<TPNBasicPin*>>& APaths,
                              std::vector<TPNBasicPin*>& APath) override;
    // The source side's choice of a link's type towards ASink: its own types first, then a
    // converter it already has, then (with AUseRegistry) the converter registry.
    static TGUID ChooseLinkType(TPNSourcePin* ASource, TPNBasicPin* ASink, bool AUseConverters,
                                TClass& AConverterClass, IntfPtr<IPNFormatConverter>& AConverter,
                                bool AUseRegistry);
    // Re-chooses the type of every link whose type is not AID yet.
    void RetypeLinks(const TGUID& AID, TPNBasicPin* ATarget);
    void RetypeLink(int AIndex, const TGUID& AID);

    const IntfPtr<IPNLock>& InputOwnerLock() const { return FInputOwnerLock; }
    TPNSinkPinList& FunctionSources() { return FFunctionSources; }
    TPNSinkPinList& DataTypeSources() { return FDataTypeSources; }

protected:
    // Removes the links beyond the limit: the link served first gives way.
    void EnforceLimit(TPNBasicPin* AOtherPin);
    void UnlinkSink(TPNBasicPin* APin);
    void SortSinkPins();
    // Drops the converter part of a removed converted link to APin: the converters'
    // links to APin, and every converter whose output pin is then unlinked.
    void DropConvertersOf(TPNBasicPin* APin);
    int IndexOfRealPin(TPNBasicPin* APin);
    void LinksChanged() { FLinkGeneration.fetch_add(1, std::memory_order_release); }

private:
    bool CanConnectAfterVisited(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin,
                                bool AUseConverters, std::vector<TPNBasicPin*>& AVisited);

    IntfPtr<IPNLock> FInputOwnerLock;
    std::vector<std::unique_ptr<TPNPinEntry>> FSinkPins;
    std::vector<IntfPtr<IPNFormatConverter>> FFormatConverters;
    TPNSinkPinList FFunctionSources{this, TPNSinkPinList::TKind::Function};
    TPNSinkPinList FDataTypeSources{this, TPNSinkPinList::TKind::DataType};
    bool FInDependOn = false;
    bool FInDisconnect = false;
    bool FInEditor = false;
    int32_t FMaxConnections;
    // Changes whenever a link is removed, so a send can tell cheaply whether the links
    // it copied are all still there.
    std::atomic<uint32_t> FLinkGeneration{0};
};

// -------------------------------------------------------------------------- sink pins

class TPNBasicSinkPin : public TPNStreamPin {
    DCS_CLASS(TPNBasicSinkPin, TPNStreamPin)
    using TPNStreamPin::TPNStreamPin;

    bool IgnoreUpstream() const { return FIgnoreUpstream; }
    void SetIgnoreUpstream(bool AValue) { FIgnoreUpstream = AValue; }
    // Sinks take no part in upstream checks when told so or when they list no type.
    bool IgnoresUpstream() { return FIgnoreUpstream || FStreamType.Count() == 0; }

    bool IsCompatible(TPNBasicPin* AOtherPin, bool AUseConverters) override;
    bool CanLinkTo(TPNBasicPin* AOtherPin, IntfPtr<IPNFormatConverter>& AConverter,
                   bool AUseConverters, TClass& AConverterClass) override;
    virtual bool CanAcceptUpstream(TPNSourcePin* ASource, bool AUseConverters);
    // The sink side's choice of the type it expects from ASource.
    static TGUID ChooseSinkType(TPNBasicSinkPin* ASink, TPNSourcePin* ASource, const TGUID& AOfferedID);
    virtual void PropagateType(const TGUID& /*AID*/, TPNBasicPin* /*ATarget*/) {}
    virtual void UpdateConnectedType(const TGUID& /*AID*/, TPNBasicPin* /*ATarget*/) {}

    void AddFunctionDependant(TPNSourcePin* ASource);
    void RemoveFunctionDependant(TPNSourcePin* ASource);
    void AddDataTypeDependant(TPNSourcePin* ASource);
    void RemoveDataTypeDependant(TPNSourcePin* ASource);
    int FunctionDependantCount();
    void PinDestroyed(TPNBasicPin* APin) override;

protected:
    std::vector<TPNSourcePin*> FFunctionDependants;
    std::vector<TPNSourcePin*> FDataTypeDependants;
    bool FIgnoreUpstream = false;
};

class TPNSinkPin : public TPNBasicSinkPin {
    DCS_CLASS(TPNSinkPin, TPNBasicSinkPin)
    using TPNBasicSinkPin::TPNBasicSinkPin;
    ~TPNSinkPin() override;

    bool ConnectAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin) override;
    bool CanConnectAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin,
                         bool AUseConverters) override;
    void Disconnect() override;
    void DisconnectFrom(TPNBasicPin* AOtherPin) override;
    void RemoveLink(TPNBasicPin* APin, bool AKeepPlaceholder) override;
    // The upstream send to the source.
    TPNNotifyResult Notify(IPNNotifyOperation* AOperation) override;
    void PinDestroyed(TPNBasicPin* APin) override;
    void Assign(TPersistent* ASource) override;

    TPNBasicPin* SourcePin();
    void SetSourcePin(TPNBasicPin* AValue) { Connect(AValue); }
    IntfPtr<IPNFormatConverter> FormatConverter();
    TGUID UpStreamID();
    TGUID DownStreamID();
    std::string UpStreamLinkName();
    std::string DownStreamLinkName();

    int GetConnectedPinCount() override;
    TPNBasicPin* GetConnectedPin(int AIndex) override;
    TPNPinType GetPinType() override { return TPNPinType::ptSink; }
    TPNBasicPin* GetNotifyAfterPin(TPNBasicPin* APin) override;
    bool IsConnected() override;
    bool IsConnectedTo(TPNBasicPin* AOtherPin) override;
    bool IsConnectedByConverterTo(TPNBasicPin* AOtherPin) override;
    TGUID GetConnectionID(TPNBasicPin* AOtherPin) override;
    TGUID GetPrimaryConnectionID() override;
    std::string GetLinkDisplayText() override;
    bool IsLinkedTo(const std::string& APinName) override;

    HRESULT SupportsType(const TGUID& AID) override;
    bool DirectDependsOn(TPNBasicPin* AOtherPin) override;
    bool DependsOn(TPNBasicPin* AOtherPin) override;
    void CollectFunctionPaths(std::vector<std::vector<TPNBasicPin*>>& APaths,
                              std::vector<TPNBasicPin*>& APath) override;
    void PropagateType(const TGUID& AID, TPNBasicPin* ATarget) override;
    void UpdateConnectedType(const TGUID& AID, TPNBasicPin* ATarget) override;

    // The source records the converter's output pin as the pin that sends here.
    void SetConnectionSource(TPNBasicPin* APin);
    // A converter's input pin records the source that feeds it, so that operations sent
    // upstream through the converter reach that source. The source holds no link entry
    // for it: its link entry is the one to the far sink.
    void RecordConverterSource(TPNSourcePin* ASource);
    // A placeholder for a source not loaded yet becomes this sink's source; nothing is
    // delivered over that link.
    void RecordPlaceholderSource(TPNBasicPin* APlaceholder);
    // Links to the source named ASource (ident) and ASourceName (display) under ARoot,
    // found or made as a placeholder; "nil" disconnects. With ASaveForm the names are
    // taken as stored ones and their saved form name is replaced by the current root's.
    bool TryLinkTo(TComponent* ARoot, const std::string& ASource, const std::string& ASourceName,
                   bool ASaveForm);

private:
    void ClearSourceFields();

    TPNBasicPin* FConnectionSourcePin = nullptr;
    TPNBasicPin* FRealSourcePin = nullptr;
    TPNBasicPin* FIntRealSourcePin = nullptr;
    TPNSubmit FSubmitFunction;
    TGUID FConnectedID;
    bool FInConnect = false;
};

// --------------------------------------------------------------------- converters

class IPNFormatConverter : public virtual IInterface {
public:
    static constexpr TGUID IID = MakeGUID("{F8E1AE7F-ABD3-4BC0-984D-2CC34D2D83CB}");
    virtual TPNFormatConverter* Converter() = 0;

protected:
    ~IPNFormatConverter() = default;
};

// A small component between two pins of unequal stream types: a sink pin (input) and a
// source pin (output). It lives as long as some holder keeps a reference to it.
class TPNFormatConverter : public TComponent, public IPNFormatConverter {
    DCS_CLASS(TPNFormatConverter, TComponent)

    // Concrete converters make their pins in their own constructor, with the converter as
    // owner, and hand them over with SetPins.
    TPNFormatConverter();
    ~TPNFormatConverter() override;
    void BeforeDestruction() override;

    HRESULT QueryInterface(const TGUID& iid, void** obj) override;
    int32_t _AddRef() override;
    int32_t _Release() override;
    TPNFormatConverter* Converter() override { return this; }

    TPNSinkPin* InputPin() const { return FInputPin; }
    TPNSourcePin* OutputPin() const { return FOutputPin; }
    const IntfPtr<IPNLock>& Lock() const { return FLock; }

    // Operations arriving at the output pin from downstream go on through the input pin.
    TPNNotifyResult OutputPinNotify(IPNNotifyOperation* AOperation);

    // A new converter of a registered class, held by the returned reference.
    static IntfPtr<IPNFormatConverter> CreateOfClass(TClass AClass);

protected:
    // Takes both pins over (owned) and declares that the output depends on the input.
    void SetPins(TPNSinkPin* AInputPin, TPNSourcePin* AOutputPin);

private:
    IntfPtr<IPNLock> FLock;
    std::atomic<int32_t> FRefCount{0};
    TPNSinkPin* FInputPin = nullptr;
    TPNSourcePin* FOutputPin = nullptr;
};

// The converter a pin belongs to, or null.
TPNFormatConverter* ConverterOfPin(TPNBasicPin* APin);

}  // namespace dcs
