// A data buffer with time stamps; the stamps live in its media container.
#pragma once

#include "components/audio/buffers/MDInternalStore.h"
#include "components/audio/buffers/SGSimpleDataBuffer.h"

namespace dcs {

class TMDMediaBuffer;

// The stamps of the buffer's current container.
class TMDTimeStamp : public TObject {
public:
    explicit TMDTimeStamp(TMDMediaBuffer* buffer) : FIntBuffer(buffer) {}
    bool Available() const;
    void SetAvailable(bool value);
    int64_t BeginTime() const;
    void SetBeginTime(int64_t value);
    int64_t EndTime() const;
    void SetEndTime(int64_t value);

private:
    TMDMediaBuffer* FIntBuffer;
};

class IMDMediaBuffer : public virtual ISGDataBuffer {
public:
    static constexpr TGUID IID = MakeGUID("{D4894B42-BC18-4BDD-9AA0-320612A44E5F}");
    using Parent = ISGDataBuffer;
    virtual TMDTimeStamp* GetTimeStamp() = 0;
};

class TMDMediaBuffer : public TSGGenericBuffer, public virtual IMDMediaBuffer {
    DCS_BUFFER_INTERFACES(TSGGenericBuffer, IMDMediaBuffer)

    // The container must be a media container.
    TMDMediaBuffer(TMDSmartMediaBuffer* dataContainer, uint32_t size) : TSGGenericBuffer(dataContainer, size) {}
    TMDMediaBuffer(TShareTag, TMDMediaBuffer& other) : TSGGenericBuffer(Share, other) {}

    TMDTimeStamp* GetTimeStamp() override { return &FTimeStamp; }
    TMDSmartMediaBuffer* MediaContainer() const { return static_cast<TMDSmartMediaBuffer*>(pDataContainer); }

protected:
    TSGBasicBuffer* NewCopy() override { return new TMDMediaBuffer(Share, *this); }

private:
    TMDTimeStamp FTimeStamp {this};
};

}  // namespace dcs
