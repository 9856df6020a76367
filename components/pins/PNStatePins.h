// State links: any number of pins join one named connection point, a state dispatcher,
// and every operation that one member sends reaches the others. A dispatcher is known by
// its name in one of two registers (pins in the designer, running pins), so pins of
// windows loaded at different times join by name. The state pins link only this way;
// the Boolean and float/integer state pins keep one shared value among their members.
//
// Ownership: a dispatcher is held by shared references, one in its register for as long
// as it has members and one by every caller working on it. When its last member leaves
// it drops out of the register and is freed when the last caller lets go: never while a
// caller is still inside one of its operations.
#pragma once

#include "components/pins/PNStdPins.h"
#include "platform/classes/Streaming.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace dcs {

// One member of a dispatcher.
struct TPNDispatcherPinStorage {
    TPNBasicPin* ConnectionPin = nullptr;  // the member itself, or a converter input in front of it
    TPNBasicPin* RealPin = nullptr;        // the member
    TPNBasicPin* AfterPin = nullptr;       // the member after which this one is served
};

class TPNStateDispatcher;
using TPNDispatcherRef = std::shared_ptr<TPNStateDispatcher>;

class TPNStateDispatcher : public TPNPinObject, public std::enable_shared_from_this<TPNStateDispatcher> {
    DCS_CLASS(TPNStateDispatcher, TPNPinObject)

    // A new dispatcher in the register of ADesignTime.
    static TPNDispatcherRef CreateNamed(const std::string& AName, bool ADesignTime);
    // A new dispatcher with a unique name for the form (or for no form).
    static TPNDispatcherRef Create(TComponent* AOwnerForm);
    // The first dispatcher of that register bearing the name (case-sensitive), or null.
    static TPNDispatcherRef GetByName(const std::string& AName, bool ADesignTime);
    static TPNDispatcherRef GetByNameCreate(TPNBasicPin* APin, const std::string& AName, bool ADesignTime);
    // The form's name, "Link" and the first number from 1 up that no dispatcher of the
    // form's register bears.
    static std::string GetUniqueName(TComponent* AOwnerForm);
    static bool IsUniqueName(const std::string& AName, bool ADesignTime);
    // Dispatchers alive in a register (tests and diagnostics).
    static int RegisteredCount(bool ADesignTime);

    TPNStateDispatcher(std::string AName, bool ADesignTime) : FName(std::move(AName)), FDesignTime(ADesignTime) {}
    ~TPNStateDispatcher() override;

    std::string Name();
    bool DesignTime() const { return FDesignTime; }
    int PinCount();
    TPNBasicPin* GetPin(int AIndex);
    TPNBasicPin* GetConnectionPin(int AIndex);
    TPNBasicPin* GetAfterPin(int AIndex);
    std::vector<TPNDispatcherPinStorage> Members();

    void AddPin(TPNBasicPin* AConnectionPin, TPNBasicPin* ARealPin) { AddPinAfter(AConnectionPin, ARealPin, nullptr); }
    // Nothing when AConnectionPin is already a member.
    void AddPinAfter(TPNBasicPin* AConnectionPin, TPNBasicPin* ARealPin, TPNBasicPin* ANotifyAfterPin);
    // The member whose real (or connection) pin is APin leaves; a single member left
    // leaves too, since a state needs two pins; an empty dispatcher leaves its register.
    void RemovePin(TPNBasicPin* APin);
    bool IsConnectedTo(TPNBasicPin* APin);
    bool IsConnectedToAfter(TPNBasicPin* APin, TPNBasicPin* ANotifyAfterPin);
    void DisconnectAll();
    // False when the after-chain from ANotifyAfterPin comes back to AOtherPin, loops, or
    // names a pin that is no member.
    bool CanConnectAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin, bool AUseConverters);
    bool IsCrosForm();
    bool ConnectedToForm(TComponent* AOwnerComponent);
    TPNBasicPin* AfterPinOf(TPNBasicPin* ARealPin);

    std::string GetAfterPinDisplayName(TPNBasicPin* APin) override;
    void SetAfterPinByName(TPNBasicPin* APin, const std::string& AName) override;
    void PinDestroyed(TPNBasicPin* APin) override;

    void AddConverter(const IntfPtr<IPNFormatConverter>& AConverter);
    int ConverterCount();
    IntfPtr<IPNFormatConverter> GetConverter(int AIndex);

    // Lets the first source member (or, without one, every member that is no sink) send
    // the plain new-link notification to APin, or to all others when it is APin.
    void Announce(TPNBasicPin* APin);

    // The "State" value of one member within one save of a root: the name, or, for the
    // first member of a root written for a cross-form dispatcher, the name followed by
    // that root's members (ident name, or ident and display name when they differ).
    struct TStateValue {
        std::string Name;
        bool IsList = false;
        std::vector<std::pair<std::string, std::string>> Members;  // (ident, display or empty)
    };
    TStateValue StateValueFor(TPNBasicPin* APin);

    // A delivery to the member whose connection pin is AConnectionPin runs from now on:
    // false when it is no member any more. A member that leaves is let go only once the
    // deliveries other threads are making to it have ended.
    bool BeginDelivery(TPNBasicPin* AConnectionPin);
    void EndDelivery(TPNBasicPin* AConnectionPin);

private:
    int IndexOfReal(TPNBasicPin* APin);
    void WaitForDeliveriesTo(TPNBasicPin* APin);

    std::string FName;
    bool FDesignTime;
    std::vector<TPNDispatcherPinStorage> FPins;
    std::vector<IntfPtr<IPNFormatConverter>> FFormatConverters;
    std::vector<std::string> FSavedForms;
    int FCountSaved = 0;
    struct TFlight {
        TPNBasicPin* Pin;
        std::thread::id Thread;
    };
    std::mutex FFlightMutex;
    std::condition_variable FFlightDone;
    std::vector<TFlight> FFlights;
};

// The pin side of state links, for pins of every kind.
struct TPNStateLinks {
    // The pin's dispatcher, held for the caller; null without one.
    static TPNDispatcherRef DispatcherOf(TPNBasicPin* APin);
    static bool IsConnectedToState(TPNBasicPin* APin, TPNStateDispatcher* ADispatcher);
    // Joins ADispatcher (leaving an old one); a sink first loses its direct source and
    // offers itself to the members one by one.
    static bool ConnectToState(TPNBasicPin* APin, const TPNDispatcherRef& ADispatcher,
                               TPNBasicPin* ANotifyAfterPin = nullptr);
    // Joins APin and AOtherPin in APin's dispatcher, AOtherPin's, or a new one.
    static bool ConnectByState(TPNBasicPin* APin, TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin = nullptr);
    // Joins the dispatcher of that name, made when missing.
    static void ConnectToStateByName(TPNBasicPin* APin, const std::string& AName);
    // A sink read with a stored state converter: the converter of the two types links
    // the sink to the named dispatcher. False when no converter is registered.
    static bool ConnectToStateByConverter(TPNBasicPin* ASink, const std::string& AName, const TGUID& AInputID,
                                          const TGUID& AOutputID);
    static bool CanLinkToState(TPNBasicPin* APin, TPNStateDispatcher* ADispatcher);
    // A sink's direct link to its source ends (it is joining a dispatcher).
    static void DetachForState(TPNBasicPin* APin);
    // Sets the pin's dispatcher reference (the dispatcher keeps the membership).
    static void SetDispatcher(TPNBasicPin* APin, TPNStateDispatcher* ADispatcher);
    // Sends AOperation from APin to the other members, or to ATarget only.
    static TPNNotifyResult NotifyMembers(TPNPin* APin, IPNNotifyOperation* AOperation, TPNNotifyState AState,
                                         TPNBasicPin* ATarget);
};

// A pin whose only way of linking is a state shared with other pins.
class TPNStatePin : public TPNPin {
    DCS_CLASS(TPNStatePin, TPNPin)

    explicit TPNStatePin(TComponent* AOwner) : TPNPin(AOwner) {}
    TPNStatePin(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock) : TPNPin(AOwner, std::move(AOwnerLock)) {}

    TPNPinType GetPinType() override { return TPNPinType::ptState; }
    int PinCount();
    TPNBasicPin* GetPin(int AIndex);

    bool IsCompatible(TPNBasicPin* AOtherPin, bool AUseConverters) override;
    bool CanLinkTo(TPNBasicPin* AOtherPin, IntfPtr<IPNFormatConverter>& AConverter, bool AUseConverters,
                   TClass& AConverterClass) override;
    TGUID GetConnectionID(TPNBasicPin* AOtherPin) override;
    bool DependsOn(TPNBasicPin* AOtherPin) override { return IsConnectedTo(AOtherPin); }
    bool DirectDependsOn(TPNBasicPin* AOtherPin) override { return IsConnectedTo(AOtherPin); }
    // Empty or "(Disconnected)" disconnects; otherwise joins the design-time dispatcher
    // of that name when one exists.
    bool LinkByName(const std::string& AName);
    // Some other member's full name, with its root, is APinName.
    bool IsLinkedTo(const std::string& APinName) override;
};

class TPNBoolStatePin : public TPNValuePinT<TPNStatePin, bool, IPNBoolStream> {
    DCS_CLASS(TPNBoolStatePin, TPNStatePin)
    // (AOwner, [AOwnerLock,] AOnDataChange, ACustomData)
    using TPNValuePinT::TPNValuePinT;

    // Sends the value to the other members when it changes.
    void SetValue(bool AValue);
    virtual TPNNotifyResult NotificationBool(IPNStream* Handler, const TGUID* DataTypeID, IPNNotifyOperation* Operation,
                                             TPNNotifyState State);
    TPNNotifyResult DispatchData(const TGUID* DataTypeID, IPNNotifyOperation* Operation, TPNNotifyState State) override;
    TPNBoolPinNotificationEvent PinNotificationEvent;  // set by no constructor

private:
    const bool FTypesAdded = AddTypes();  // runs with every constructor
    bool AddTypes();
};

class TPNFloatIntStatePin : public TPNValuePinT<TPNStatePin, float, IPNIntegerStream, IPNFloatStream> {
    DCS_CLASS(TPNFloatIntStatePin, TPNStatePin)
    // (AOwner, [AOwnerLock,] AOnDataChange, ACustomData)
    using TPNValuePinT::TPNValuePinT;

    // Sends a multicast that each member's link turns into a float or a rounded integer.
    void SetValue(float AValue);
    virtual TPNNotifyResult NotificationFloatInt(IPNStream* Handler, const TGUID* DataTypeID,
                                                 IPNNotifyOperation* Operation, TPNNotifyState State);
    TPNNotifyResult DispatchData(const TGUID* DataTypeID, IPNNotifyOperation* Operation, TPNNotifyState State) override;
    TPNFloatPinNotificationEvent FloatPinNotificationEvent;      // set by no constructor
    TPNIntegerPinNotificationEvent IntegerPinNotificationEvent;  // set by no constructor

private:
    const bool FTypesAdded = AddTypes();  // runs with every constructor
    bool AddTypes();
};

// Stored state links of a pin in form resources: "State" (a pin joined to a dispatcher,
// unless it is a sink fed by a state converter) and "StateConverter" (such a sink).
bool IsStateStored(TPNBasicPin* APin);
void DefineStateProperties(TFiler& Filer, TPNPin* APin);
// The state value alone, as a pin-list entry holds it; reading joins the named dispatcher.
void WriteStateValue(TWriter& W, TPNBasicPin* APin);
void ReadStateValue(TReader& R, TPNBasicPin* APin);
// A state name read for a pin-list place whose pin does not exist yet: a placeholder
// that, when a real pin links to it, joins that pin to the named dispatcher.
TPNBasicPin* PendingStatePin(TComponent* ARoot, const std::string& AName, const std::string& ACreatedFrom);
bool IsPendingStatePin(TPNBasicPin* APin);

// The nearest 32-bit integer, ties to even; saturated at the range's ends, 0 for NaN.
int32_t RoundToInt32(double AValue);

}  // namespace dcs
