#include "components/pins/PNFormatConverter.h"

#include "components/pins/PNSinkPin.h"
#include "components/pins/PNSourcePin.h"

namespace dcs {

TPNFormatConverter* ConverterOfPin(TPNBasicPin* APin)
{
    // Asked for every link of every send: the class chain is a few pointer compares where
    // a cross-cast searches the type tree. It answers as the cast would while the owner
    // is being built or torn down (the class in force then is the one running).
    TComponent* owner = APin ? APin->Owner() : nullptr;
    return owner && owner->InheritsFrom(TPNFormatConverter::StaticClass()) ? static_cast<TPNFormatConverter*>(owner)
                                                                           : nullptr;
}

TPNFormatConverter::TPNFormatConverter() : TComponent(nullptr), FLock(TPNLock::Create()) {}

void TPNFormatConverter::SetPins(TPNSinkPin* AInputPin, TPNSourcePin* AOutputPin)
{
    FInputPin = AInputPin;
    FOutputPin = AOutputPin;
    if (FOutputPin && FInputPin)
        FOutputPin->FunctionSources().Add(FInputPin);
}

HRESULT TPNFormatConverter::QueryInterface(const TGUID& iid, void** obj)
{
    if (iid == IPNFormatConverter::IID || iid == IInterface::IID) {
        *obj = static_cast<IPNFormatConverter*>(this);
        _AddRef();
        return S_OK;
    }
    *obj = nullptr;
    return E_NOINTERFACE;
}

int32_t TPNFormatConverter::_AddRef() { return FRefCount.fetch_add(1, std::memory_order_relaxed) + 1; }

int32_t TPNFormatConverter::_Release()
{
    int32_t n = FRefCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (n == 0)
        Free(this);
    return n;
}

void TPNFormatConverter::BeforeDestruction()
{
    {
        IPNLockSection u = FLock->UnlockAll();
        if (FInputPin)
            FInputPin->Disconnect();
    }
    inherited::BeforeDestruction();
}

TPNFormatConverter::~TPNFormatConverter()
{
    IPNLockSection s = FLock->StopLock();
    if (FInputPin)
        FInputPin->Disconnect();
    if (FOutputPin)
        FOutputPin->Disconnect();
    Free(FInputPin);
    Free(FOutputPin);
    FInputPin = nullptr;
    FOutputPin = nullptr;
}

TPNNotifyResult TPNFormatConverter::OutputPinNotify(IPNNotifyOperation* AOperation)
{
    return FInputPin ? FInputPin->Notify(AOperation) : TPNNotifyResult {};
}

IntfPtr<IPNFormatConverter> TPNFormatConverter::CreateOfClass(TClass AClass)
{
    if (!AClass || !AClass->PlainCreator())
        throw EPNException("The converter class cannot be created");
    TObject* o = AClass->PlainCreator()();
    auto* c = dynamic_cast<TPNFormatConverter*>(o);
    if (!c) {
        Free(o);
        throw EPNException("The converter class is no format converter");
    }
    return IntfPtr<IPNFormatConverter>(c);
}

}  // namespace dcs
