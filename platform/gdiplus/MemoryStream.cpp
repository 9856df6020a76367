#include "platform/gdiplus/MemoryStream.h"

#include <algorithm>
#include <cstring>

namespace dcs::gdiplus {

HRESULT TMemoryIStream::Read(void* pv, uint32_t cb, uint32_t* read)
{
    uint64_t n = FPos < FBytes.size() ? std::min<uint64_t>(cb, FBytes.size() - FPos) : 0;
    if (n)
        std::memcpy(pv, FBytes.data() + FPos, size_t(n));
    FPos += n;
    if (read)
        *read = uint32_t(n);
    return S_OK;
}

HRESULT TMemoryIStream::Write(const void* pv, uint32_t cb, uint32_t* written)
{
    if (FPos + cb > FBytes.size())
        FBytes.resize(size_t(FPos + cb));
    if (cb)
        std::memcpy(FBytes.data() + FPos, pv, cb);
    FPos += cb;
    if (written)
        *written = cb;
    return S_OK;
}

HRESULT TMemoryIStream::Seek(int64_t move, uint32_t origin, uint64_t* newPosition)
{
    int64_t base = origin == 0 ? 0 : origin == 1 ? int64_t(FPos) : int64_t(FBytes.size());
    if (origin > 2 || base + move < 0)
        return STG_E_INVALIDFUNCTION;
    FPos = uint64_t(base + move);
    if (newPosition)
        *newPosition = FPos;
    return S_OK;
}

HRESULT TMemoryIStream::Stat(STATSTG* stat, uint32_t)
{
    if (!stat)
        return STG_E_INVALIDFUNCTION;
    *stat = STATSTG {};
    stat->cbSize = FBytes.size();
    return S_OK;
}

}  // namespace dcs::gdiplus
