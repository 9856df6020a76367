#include "platform/base/Interfaces.h"

#include <climits>
#include <cstdio>

namespace dcs {

std::string TGUID::ToString() const
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", unsigned(D1), unsigned(D2),
                  unsigned(D3), D4[0], D4[1], D4[2], D4[3], D4[4], D4[5], D4[6], D4[7]);
    return buf;
}

TGUID TGUID::FromString(std::string_view text)
{
    TGUID g;
    if (!TryParse(text, g))
        throw EConvertError("'" + std::string(text) + "' is not a valid GUID value");
    return g;
}

HRESULT TInterfacedObject::QueryInterface(const TGUID& iid, void** obj)
{
    if (!obj)
        return E_NOINTERFACE;
    if (GetInterface(iid, obj)) {
        _AddRef();
        return S_OK;
    }
    *obj = nullptr;
    return E_NOINTERFACE;
}

bool TInterfacedObject::GetInterface(const TGUID& iid, void** obj)
{
    return GetInterfaceOf<IInterface>(this, iid, obj);
}

int32_t TInterfacedObject::_AddRef() { return FRefCount.fetch_add(1, std::memory_order_relaxed) + 1; }

int32_t TInterfacedObject::_Release()
{
    int32_t n = FRefCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (n == 0) {
        // A destructor that briefly takes and drops a reference to itself must not
        // start a second destruction.
        FRefCount.store(INT32_MAX / 2, std::memory_order_relaxed);
        delete this;
    }
    return n;
}

void RaiseIntfCastError() { throw EIntfCastError("Interface not supported"); }

}  // namespace dcs
