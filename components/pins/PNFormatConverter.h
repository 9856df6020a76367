// Format converters: small components between two pins of unequal stream types.
#pragma once

#include "components/pins/PNBasicPin.h"

#include <atomic>
#include <cstdint>

namespace dcs {

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
    std::atomic<int32_t> FRefCount {0};
    TPNSinkPin* FInputPin = nullptr;
    TPNSourcePin* FOutputPin = nullptr;
};

// The converter a pin belongs to, or null.
TPNFormatConverter* ConverterOfPin(TPNBasicPin* APin);

}  // namespace dcs
