// Sink pins: the basic sink that takes part in type negotiation and upstream checks, and
// the sink pin with its one source.
#pragma once

#include "components/pins/PNBasicPin.h"

#include <string>
#include <vector>

namespace dcs {

class TPNBasicSinkPin : public TPNStreamPin {
    DCS_CLASS(TPNBasicSinkPin, TPNStreamPin)
    using TPNStreamPin::TPNStreamPin;

    bool IgnoreUpstream() const { return FIgnoreUpstream; }
    void SetIgnoreUpstream(bool AValue) { FIgnoreUpstream = AValue; }
    // Sinks take no part in upstream checks when told so or when they list no type.
    bool IgnoresUpstream() { return FIgnoreUpstream || FStreamType.Count() == 0; }

    bool IsCompatible(TPNBasicPin* AOtherPin, bool AUseConverters) override;
    bool CanLinkTo(TPNBasicPin* AOtherPin, IntfPtr<IPNFormatConverter>& AConverter, bool AUseConverters,
                   TClass& AConverterClass) override;
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
    bool CanConnectAfter(TPNBasicPin* AOtherPin, TPNBasicPin* ANotifyAfterPin, bool AUseConverters) override;
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
    bool TryLinkTo(TComponent* ARoot, const std::string& ASource, const std::string& ASourceName, bool ASaveForm);

private:
    void ClearSourceFields();

    TPNBasicPin* FConnectionSourcePin = nullptr;
    TPNBasicPin* FRealSourcePin = nullptr;
    TPNBasicPin* FIntRealSourcePin = nullptr;
    TPNSubmit FSubmitFunction;
    TGUID FConnectedID;
    bool FInConnect = false;
};

}  // namespace dcs
