#include "components/audio/buffers/MDInternalStore.h"

namespace dcs {

TMDSmartMediaBuffer::TMDSmartMediaBuffer(TMDSmartMediaBuffer& other) { SetTimeData(other); }

TSGSmartBuffer* TMDSmartMediaBuffer::Clone(bool) { return new TMDSmartMediaBuffer(*this); }

void TMDSmartMediaBuffer::SetTimeData(TMDSmartMediaBuffer& other)
{
    const bool available = other.TimeStampAvailable();
    const int64_t begin = other.TimeStampBegin();
    const int64_t end = other.TimeStampEnd();
    EnterWrite();
    FTimeStampAvailable.store(available, std::memory_order_relaxed);
    FTimeStampBegin = begin;
    FTimeStampEnd = end;
    LeaveWrite();
}

int64_t TMDSmartMediaBuffer::TimeStampBegin()
{
    EnterRead();
    const int64_t v = FTimeStampBegin;
    LeaveRead();
    return v;
}

int64_t TMDSmartMediaBuffer::TimeStampEnd()
{
    EnterRead();
    const int64_t v = FTimeStampEnd;
    LeaveRead();
    return v;
}

void TMDSmartMediaBuffer::SetTimeStampBegin(int64_t value)
{
    EnterWrite();
    FTimeStampBegin = value;
    LeaveWrite();
}

void TMDSmartMediaBuffer::SetTimeStampEnd(int64_t value)
{
    EnterWrite();
    FTimeStampEnd = value;
    LeaveWrite();
}

}  // namespace dcs
