// A container that carries the data's time stamps, so every buffer over it sees one set.
#pragma once

#include "components/audio/buffers/SGInternalStore.h"

#include <atomic>
#include <cstdint>

namespace dcs {

class TMDSmartMediaBuffer : public TSGSmartBuffer {
public:
    TMDSmartMediaBuffer() = default;
    // A container with other's stamps.
    explicit TMDSmartMediaBuffer(TMDSmartMediaBuffer& other);

    // A media container (stamps copied); a plain one would lose them.
    TSGSmartBuffer* Clone(bool preserve) override;
    // Copies the three stamp fields from other.
    virtual void SetTimeData(TMDSmartMediaBuffer& other);

    bool TimeStampAvailable() const { return FTimeStampAvailable.load(std::memory_order_relaxed); }
    void SetTimeStampAvailable(bool value) { FTimeStampAvailable.store(value, std::memory_order_relaxed); }
    // The 64-bit times are read and written under the container's section, so no reader
    // sees half of a value.
    int64_t TimeStampBegin();
    int64_t TimeStampEnd();
    void SetTimeStampBegin(int64_t value);
    void SetTimeStampEnd(int64_t value);

protected:
    ~TMDSmartMediaBuffer() override = default;

private:
    std::atomic<bool> FTimeStampAvailable {false};
    int64_t FTimeStampBegin = 0;
    int64_t FTimeStampEnd = 0;
};

}  // namespace dcs
