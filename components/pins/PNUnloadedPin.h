// Placeholders for pins that do not exist yet, and the lookups that resolve the full pin
// names stored in form resources.
//
// A stored link names the pin at its far end ("Form1.mixer.InputPins._Pin0"). While a
// window loads, that pin may belong to a component read later, to another window, or to
// a window never created: the name then yields a TPNUnloadedPin that records the links
// made to it and hands them over when the real pin appears. Placeholders are owned by
// the UnloadedPins register alone; a pin list that holds one only refers to it.
#pragma once

#include "components/pins/PNPins.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace dcs {

class TPNUnloadedPin;

// Lookups over the register of every live pin, placeholders included. Both names are
// matched with and without the root form's name; a pin of another window matches only
// by its full name with root.
namespace AllPins {
// Index order, first match wins; nil when nothing matches.
TPNBasicPin* GetByIdentName(TComponent* ARoot, const std::string& APinName);
TPNBasicPin* GetByDisplayName(TComponent* ARoot, const std::string& APinName);
// Nil for an empty ident name; else the pin of that ident name, else of that display
// name, else a new placeholder standing for a pin of kind AType.
TPNBasicPin* GetByNameCreate(TComponent* ARoot, TPNPinType AType, const std::string& APinIdentName,
                             const std::string& APinDisplayName, const std::string& ACreatedFrom);
}  // namespace AllPins

// The placeholders waiting for their pins; the register owns them.
namespace UnloadedPins {
int Count();
TPNUnloadedPin* Get(int AIndex);
TPNUnloadedPin* GetByIdentName(TComponent* ARoot, const std::string& APinName);
// Frees every placeholder left (shutdown; tests).
void Clear();
}  // namespace UnloadedPins

// Placeholders standing for any pin of AComponent hand their links to it. Run when a
// component has been read, so that a link stored at one end only is made too.
void ClaimPlaceholdersOf(TComponent* AComponent);

// The form-name rewrite of stored names: "<saved>.rest" becomes "<current>.rest"; any
// other name, "Form10.x" for a saved "Form1" among them, stays as it is.
std::string AdjustStoredName(const std::string& AName, const std::string& ASavedForm, const std::string& ACurrentForm);

// Keeps the placeholders among APins from being freed while the caller links them (a
// link removed meanwhile may leave one without any other holder); when it ends, those
// that nothing else holds go.
class TPNPlaceholderHold {
public:
    explicit TPNPlaceholderHold(std::initializer_list<TPNBasicPin*> APins);
    ~TPNPlaceholderHold();
    TPNPlaceholderHold(const TPNPlaceholderHold&) = delete;
    TPNPlaceholderHold& operator=(const TPNPlaceholderHold&) = delete;

private:
    std::vector<TPNPlaceholderRef> FRefs;
};

// Stands for a named pin that does not exist yet and records the links made to it.
class TPNUnloadedPin : public TPNBasicPin {
    DCS_CLASS(TPNUnloadedPin, TPNBasicPin)

    // Made with Create<TPNUnloadedPin>(...): it enters UnloadedPins once constructed.
    TPNUnloadedPin(TComponent* ARoot, TPNPinType AType, std::string APinIdentName, std::string APinDisplayName,
                   std::string ACreatedFrom);
    void AfterConstruction() override;
    void BeforeDestruction() override;

    const std::string& IdentName() const { return FIdentName; }
    const std::string& DisplayName() const { return FDisplayName; }
    const std::string& CreatedFrom() const { return FCreatedFrom; }
    // The window whose stored links made it, while that window lives; nil for a pin of
    // another window. Only that window's pins claim it.
    TComponent* StoredRoot() const { return FRoot; }
    uint64_t Serial() const { return FSerial; }
    // Pin-list entries holding it: each holds it until it lets go.
    bool OwnedByList() const { return FListHolds > 0; }
    void HoldByList() { ++FListHolds; }
    void LetGoByList() { --FListHolds; }
    // A caller in the middle of linking it (TPNPlaceholderHold).
    void HoldInUse() { ++FUseHolds; }
    void LetGoInUse() { --FUseHolds; }
    void SetInEditor(bool AValue) override { FInEditor = AValue; }

    // The real pin takes over every recorded link, then the placeholder is freed unless a
    // pin list still holds it.
    void PopulatePinAndDestroy(TPNBasicPin* APin);
    // Frees the placeholder unless it still has links, sits in a pin list, orders a
    // link, is being edited or is handing its links over.
    void ReleaseIfUnused();
    // Nothing holds it but links to placeholders that nothing else holds either
    // (APartners, to be let go together).
    bool Unused(std::vector<TPNUnloadedPin*>& APartners);

    TPNPinType GetPinType() override { return FType; }
    std::string GetName() override;
    std::string GetFullName(bool AIncludeRootForm) override;
    std::string GetFullIdentName(bool AIncludeRootForm) override;
    TComponent* GetRoot() override { return nullptr; }
    bool IsDesigning() override { return FDesignTime; }
    bool DependsOn(TPNBasicPin*) override { return false; }
    bool IsCompatible(TPNBasicPin*, bool) override { return true; }
    bool CanLinkTo(TPNBasicPin* AOtherPin, IntfPtr<IPNFormatConverter>& AConverter, bool AUseConverters,
                   TClass& AConverterClass) override;
    TGUID ChooseConnectionType(TPNBasicPin* AOtherPin, IntfPtr<IPNFormatConverter>& AConverter, bool AUseConverters,
                               TClass& AConverterClass) override;
    TPNNotifyResult NotifyStatePins(IPNNotifyOperation*, TPNNotifyState, TPNBasicPin*) override { return {}; }

    bool ConnectAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin) override;
    bool CanConnectAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin, bool AUseConverters) override;
    void AddLink(TPNBasicPin* APin, TPNBasicPin* ANotifyAfterPin) override;
    void RemoveLink(TPNBasicPin* APin, bool AKeepPlaceholder) override;
    void AfterUnlink() override { ReleaseIfUnused(); }
    void Disconnect() override;
    void DisconnectFrom(TPNBasicPin* AOtherPin) override;
    bool IsConnected() override;
    bool IsConnectedTo(TPNBasicPin* AOtherPin) override;
    int GetConnectedPinCount() override;
    TPNBasicPin* GetConnectedPin(int AIndex) override;
    TPNBasicPin* GetNotifyAfterPin(TPNBasicPin* APin) override;
    void PinDestroyed(TPNBasicPin* APin) override;
    void ReplaceAfterPin(TPNBasicPin* AOldPin, TPNBasicPin* ANewPin) override;
    bool NamesAfterPin(TPNBasicPin* APin) override;

private:
    class TRootWatch;
    friend void ReleaseUnusedPlaceholders(std::vector<TPNPlaceholderRef> ARefs);
    struct TRecord {
        TPNBasicPin* Pin;
        TPNBasicPin* NotifyAfterPin;
    };
    int IndexOfRecord(TPNBasicPin* APin);
    // Under the write section; answers the placeholder the link was ordered after.
    TPNPlaceholderRef EraseRecord(int AIndex);

    std::string FDisplayName;
    std::string FIdentName;
    TComponent* FRoot = nullptr;
    TRootWatch* FRootWatch = nullptr;
    uint64_t FSerial;
    TPNPinType FType;
    bool FDesignTime = false;
    std::vector<TRecord> FConnectedPins;
    std::string FCreatedFrom;
    int FListHolds = 0;
    int FUseHolds = 0;
    bool FInRemove = false;
    bool FInEditor = false;
    bool FDestroying = false;
};

}  // namespace dcs
