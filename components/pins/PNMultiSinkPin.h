// An input pin that takes any number of sources at once. It keeps one link entry per
// source, as a source pin keeps one per sink, agrees on a type for each, and sends
// operations upstream to all its sources in the order their weights give.
#pragma once

#include "components/pins/PNLinkTable.h"
#include "components/pins/PNPins.h"
#include "platform/classes/ClassBuilder.h"

#include <memory>
#include <vector>

namespace dcs {

class TPNMultiSinkPin : public TPNBasicSinkPin {
    DCS_CLASS(TPNMultiSinkPin, TPNBasicSinkPin)

    explicit TPNMultiSinkPin(TComponent* AOwner) : TPNMultiSinkPin(AOwner, nullptr) {}
    TPNMultiSinkPin(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock);
    ~TPNMultiSinkPin() override;

    int SourceCount();
    TPNBasicPin* GetSource(int AIndex);
    int ConverterCount();
    IntfPtr<IPNFormatConverter> GetConverter(int AIndex);
    int GetConnectedPinCount() override { return SourceCount(); }
    TPNBasicPin* GetConnectedPin(int AIndex) override { return GetSource(AIndex); }
    TPNPinType GetPinType() override { return TPNPinType::ptMultiSink; }
    // The source whose link is served before the link to ASource, or the state's.
    TPNBasicPin* GetNotifyAfterPin(TPNBasicPin* ASource) override;
    // The link's serving weight (tests and diagnostics).
    int32_t GetModificationLevel(TPNBasicPin* ASource);

    bool ConnectAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin) override;
    bool CanConnectAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin, bool AUseConverters) override;
    void AddLink(TPNBasicPin* APin, TPNBasicPin* ANotifyAfterPin) override;
    void RemoveLink(TPNBasicPin* APin, bool AKeepPlaceholder) override;
    void Disconnect() override;
    void DisconnectFrom(TPNBasicPin* AOtherPin) override;
    void PinDestroyed(TPNBasicPin* APin) override;
    bool NamesAfterPin(TPNBasicPin* APin) override;
    void Assign(TPersistent* ASource) override;

    // Sends upstream to every source, each converter shared by several links once.
    TPNNotifyResult Notify(IPNNotifyOperation* AOperation) override;

    bool DependsOn(TPNBasicPin* AOtherPin) override;
    bool DirectDependsOn(TPNBasicPin* AOtherPin) override;
    bool IsConnected() override;
    bool IsConnectedTo(TPNBasicPin* AOtherPin) override;
    bool IsConnectedByConverterTo(TPNBasicPin* AOtherPin) override;
    bool IsLinkedTo(const std::string& APinName) override;
    TGUID GetConnectionID(TPNBasicPin* AOtherPin) override;
    void UpdateConnectedType(const TGUID& AID, TPNBasicPin* ATarget) override;

    std::string UpStreamLinkName();
    std::string DownStreamLinkName();
    // "( n Links )" for several links; the source's name for one.
    std::string GetLinkDisplayText() override;

private:
    bool InternalConnect(TPNBasicPin* APin, TPNBasicPin* ANotifyAfterPin);
    // Chooses the entry's id towards its connection pin and this pin's handler for it.
    void ChooseEntryType(TPNPinEntry& AEntry);
    // Deletes the entries of APin (as real or connection pin); the converters no entry
    // uses any longer move to AReleased, to be dropped outside every section.
    // Also collects the placeholders the deleted links were ordered after, when asked.
    bool DeleteEntriesOf(TPNBasicPin* APin, std::vector<IntfPtr<IPNFormatConverter>>& AReleased,
                         std::vector<TPNPlaceholderRef>* AOrderings = nullptr);

    TPNLinkTable FLinks {this};
};

}  // namespace dcs
