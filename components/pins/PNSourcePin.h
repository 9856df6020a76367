// The source pin: an ordered list of links to sinks, each with the type both ends agreed
// on and, between unequal types, the format converter put in.
#pragma once

#include "components/pins/PNBasicPin.h"
#include "components/pins/PNLinkTable.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace dcs {

// Lists of sink pins a source's output depends on; each entry also enters the source
// into the sink's matching dependant list.
class TPNSinkPinList {
public:
    enum class TKind {
        Function,
        DataType
    };
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
    bool CanConnectAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin, bool AUseConverters) override;
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
    bool CanLinkTo(TPNBasicPin* AOtherPin, IntfPtr<IPNFormatConverter>& AConverter, bool AUseConverters,
                   TClass& AConverterClass) override;
    bool IsCompatible(TPNBasicPin* AOtherPin, bool AUseConverters) override;
    HRESULT SupportsType(const TGUID& AID) override;
    bool DirectDependsOn(TPNBasicPin* AOtherPin) override;
    bool DependsOn(TPNBasicPin* AOtherPin) override;
    void CollectFunctionPaths(std::vector<std::vector<TPNBasicPin*>>& APaths,
                              std::vector<TPNBasicPin*>& APath) override;
    // The source side's choice of a link's type towards ASink: its own types first, then a
    // converter it already has, then (with AUseRegistry) the converter registry.
    static TGUID ChooseLinkType(TPNSourcePin* ASource, TPNBasicPin* ASink, bool AUseConverters, TClass& AConverterClass,
                                IntfPtr<IPNFormatConverter>& AConverter, bool AUseRegistry);
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
    // Drops the converter part of a removed converted link to APin: the converters'
    // links to APin, and every converter whose output pin is then unlinked.
    void DropConvertersOf(TPNBasicPin* APin);

    TPNLinkTable FLinks {this};

private:
    bool CanConnectAfterVisited(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin, bool AUseConverters,
                                std::vector<TPNBasicPin*>& AVisited);

    IntfPtr<IPNLock> FInputOwnerLock;
    TPNSinkPinList FFunctionSources {this, TPNSinkPinList::TKind::Function};
    TPNSinkPinList FDataTypeSources {this, TPNSinkPinList::TKind::DataType};
    bool FInDependOn = false;
    bool FInEditor = false;
    int32_t FMaxConnections;
};

}  // namespace dcs
