// A stream over bytes held in memory, for handing pictures to the image calls.
#pragma once

#include "platform/gdiplus/GdiPlus.h"

#include <vector>

namespace dcs::gdiplus {

// Counted: the last release frees it. Starts at position 0.
class TMemoryIStream : public TImplements<TInterfacedObject, IStream> {
public:
    TMemoryIStream() = default;
    explicit TMemoryIStream(std::vector<uint8_t> bytes) : FBytes(std::move(bytes)) {}

    HRESULT Read(void* pv, uint32_t cb, uint32_t* read) override;
    HRESULT Write(const void* pv, uint32_t cb, uint32_t* written) override;
    HRESULT Seek(int64_t move, uint32_t origin, uint64_t* newPosition) override;
    HRESULT Stat(STATSTG* stat, uint32_t flag) override;

    const std::vector<uint8_t>& Bytes() const { return FBytes; }

private:
    std::vector<uint8_t> FBytes;
    uint64_t FPos = 0;
};

}  // namespace dcs::gdiplus
