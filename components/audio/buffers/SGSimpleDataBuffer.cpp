#include "components/audio/buffers/SGSimpleDataBuffer.h"

#include "dsp/IntegerEntries.h"
#include "dsp/MemoryEntries.h"
#include "platform/base/Streams.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace dcs {

// -------------------------------------------------------------------- TSGSequenceStamp

bool TSGSequenceStamp::Available() const { return FIntBuffer->DataContainer()->BufferNumberAvailable(); }
void TSGSequenceStamp::SetAvailable(bool value) { FIntBuffer->DataContainer()->SetBufferNumberAvailable(value); }
int64_t TSGSequenceStamp::BufferNumber() const { return FIntBuffer->DataContainer()->BufferNumber(); }
void TSGSequenceStamp::SetBufferNumber(int64_t value) { FIntBuffer->DataContainer()->SetBufferNumber(value); }

// ---------------------------------------------------------------------- TSGBasicBuffer

IntfPtr<ISGData> TSGBasicBuffer::MakeCopy() { return IntfPtr<ISGData>(NewCopy()); }

// -------------------------------------------------------------------- TSGGenericBuffer

TSGGenericBuffer::TSGGenericBuffer(TSGSmartBuffer* dataContainer, uint32_t size) : FCharSize(size)
{
    dataContainer->AddReff(true);
    SetDataContainer(dataContainer);
}

TSGGenericBuffer::TSGGenericBuffer(TShareTag, TSGGenericBuffer& other)
    : TSGGenericBuffer(other.pDataContainer, other.FCharSize)
{
    FDataPtr = other.FDataPtr;
}

IntfPtr<TSGGenericBuffer> TSGGenericBuffer::CreateUniversal(ISGData* other)
{
    auto* instance = BufferInstance<TSGGenericBuffer>(other);
    if (!instance)
        RaiseIntfCastError();
    return IntfPtr<TSGGenericBuffer>(new TSGGenericBuffer(Share, *instance));
}

TSGGenericBuffer::~TSGGenericBuffer()
{
    if (pDataContainer)
        pDataContainer->RemoveReff(FOwnsData);
    pDataContainer = nullptr;
}

bool TSGGenericBuffer::MakeUnique(bool preserveData)
{
    TSGSmartBuffer* old = pDataContainer;
    if (old->SingleOwner())
        return false;
    // The clone holds its reference (and, preserving, the bytes) before the old
    // container loses this owner.
    TSGSmartBuffer* clone = old->Clone(preserveData);
    pDataContainer = clone;
    clone->AddReff(FOwnsData);
    SetDataContainer(clone);
    old->RemoveReff(FOwnsData);
    UpdateDataPointer();
    return true;
}

const uint8_t* TSGGenericBuffer::ByteRead() { return static_cast<const uint8_t*>(FDataPtr); }

uint8_t* TSGGenericBuffer::ByteWrite()
{
    Unique(false);
    return static_cast<uint8_t*>(FDataPtr);
}

uint8_t* TSGGenericBuffer::ByteModify()
{
    Unique(true);
    return static_cast<uint8_t*>(FDataPtr);
}

void TSGGenericBuffer::Assign(ISGDataBuffer* otherBuffer)
{
    IntfPtr<ISGGenericBuffer> generic = IntfCast<ISGGenericBuffer>(otherBuffer);
    auto* other = BufferInstance<TSGGenericBuffer>(generic.Get());
    if (!other)
        RaiseIntfCastError();
    if (other != this && other->pDataContainer != pDataContainer) {
        if (pDataContainer)
            pDataContainer->RemoveReff(FOwnsData);
        pDataContainer = other->pDataContainer;
        pDataContainer->AddReff(FOwnsData);
        SetDataContainer(pDataContainer);
        UpdateDataPointer();
    }
    FCharSize = other->FCharSize;
    FDataPtr = other->FDataPtr;
}

bool TSGGenericBuffer::IsEqual(ISGDataBuffer* other)
{
    if (!other || GetByteSize() != other->GetByteSize())
        return false;
    return GetByteSize() == 0 || std::memcmp(ByteRead(), other->ByteRead(), GetByteSize()) == 0;
}

void TSGGenericBuffer::CopyTo(uint32_t srcIndex, ISGDataBuffer* dest, uint32_t destIndex, uint32_t count)
{
    if (count == 0)
        return;
    // Read first: when dest is this buffer, ByteModify may move it to a copy.
    const uint8_t* src = ByteRead() + srcIndex;
    uint8_t* dst = dest->ByteModify() + destIndex;
    if (dest == static_cast<ISGDataBuffer*>(this))
        src = ByteRead() + srcIndex;
    vpsCopy_8u(src, dst, int(std::min<uint32_t>(count, INT_MAX)));
}

void TSGGenericBuffer::RemoveOwnerShip()
{
    if (FOwnsData) {
        pDataContainer->RemoveOwnerShip();
        FOwnsData = false;
    }
}

void TSGGenericBuffer::SaveToFile(const std::string& fileName)
{
    TFileStream stream(fileName, fmCreate);
    stream.WriteBuffer(ByteRead(), GetByteSize());
}

void TSGGenericBuffer::LoadFromFile(const std::string& fileName)
{
    TFileStream stream(fileName, fmOpenRead);
    stream.ReadBuffer(ByteWrite(), GetByteSize());
}

// --------------------------------------------------------------------- TSGMemoryBuffer

TSGMemoryBuffer::TSGMemoryBuffer(uint32_t size) : TSGMemoryBuffer(new TSGSmartMemoryBuffer(size, false), size) {}

TSGMemoryBuffer::TSGMemoryBuffer(TSGSmartMemoryBuffer* dataContainer, uint32_t size)
    : TSGGenericBuffer(dataContainer, size)
{
    FDataPtr = dataContainer->RawData();
}

TSGMemoryBuffer::TSGMemoryBuffer(TShareTag, TSGGenericBuffer& other) : TSGGenericBuffer(Share, other) {}

TSGSmartMemoryBuffer* TSGMemoryBuffer::CreateDataContainer(uint32_t size)
{
    return new TSGSmartMemoryBuffer(size * GetElementSize(), false);
}

// ---------------------------------------------------------------- TSGLinearMemoryBuffer

void TSGLinearMemoryBuffer::Resize(uint32_t size, bool preserveData)
{
    const uint32_t e = GetElementSize();
    if (size == 0) {
        FCharSize = 0;
        UpdateDataPointer();
        return;
    }
    if (size == GetSize())
        return;
    if (preserveData && size < GetSize()) {
        FCharSize = e * size;
        UpdateDataPointer();
        return;
    }
    TSGSmartBuffer* old = pDataContainer;
    if (preserveData && old->SingleOwner() && old->GetAllocatedSize() / e >= size) {
        FCharSize = e * size;
        UpdateDataPointer();
        return;
    }
    TSGSmartMemoryBuffer* fresh = CreateDataContainer(size);  // raises before anything changes
    if (preserveData && old->GetRawData())
        std::memcpy(fresh->RawData(), old->GetRawData(), std::min(fresh->AllocatedSize(), old->GetAllocatedSize()));
    fresh->AddReff(FOwnsData);
    SetMemoryBuffer(fresh);
    old->RemoveReff(FOwnsData);
    FCharSize = e * size;
    UpdateDataPointer();
}

// ----------------------------------------------------------------------- TSGBlockBuffer

TSGBlockBuffer::TSGBlockBuffer() : TSGBlockBuffer(0u) {}

TSGBlockBuffer::TSGBlockBuffer(uint32_t size) : TSGLinearMemoryBuffer(size) {}

TSGBlockBuffer::TSGBlockBuffer(const void* data, uint32_t size)
    : TSGLinearMemoryBuffer(new TSGSmartMemoryBuffer(data, size, false), size)
{
}

TSGBlockBuffer::TSGBlockBuffer(TShareTag, TSGGenericBuffer& other) : TSGLinearMemoryBuffer(Share, other) {}

IntfPtr<TSGBlockBuffer> TSGBlockBuffer::CreateUniversal(ISGData* other)
{
    auto* instance = BufferInstance<TSGGenericBuffer>(other);
    if (!instance)
        RaiseIntfCastError();
    return IntfPtr<TSGBlockBuffer>(new TSGBlockBuffer(Share, *instance));
}

uint8_t* TSGBlockBuffer::Write()
{
    Unique(false);
    return static_cast<uint8_t*>(FDataPtr);
}

uint8_t* TSGBlockBuffer::Modify()
{
    Unique(true);
    return static_cast<uint8_t*>(FDataPtr);
}

namespace {
int CommonLength(ISGBlockBuffer* right, ISGBlockBuffer* self)
{
    return int(std::min<uint32_t>({right->GetSize(), self->GetSize(), uint32_t(INT_MAX)}));
}
}  // namespace

void TSGBlockBuffer::Add(ISGBlockBuffer* right)
{
    const int n = CommonLength(right, this);
    if (n > 0)
        vpsAdd_8u_ISfs(right->Read(), Modify(), n, 0);
}

void TSGBlockBuffer::Subtract(ISGBlockBuffer* right)
{
    const int n = CommonLength(right, this);
    if (n > 0)
        vpsSub_8u_ISfs(right->Read(), Modify(), n, 0);
}

void TSGBlockBuffer::Multiply(ISGBlockBuffer* right)
{
    const int n = CommonLength(right, this);
    if (n > 0)
        vpsMul_8u_ISfs(right->Read(), Modify(), n, 0);
}

void TSGBlockBuffer::Divide(ISGBlockBuffer* right)
{
    const int n = CommonLength(right, this);
    if (n <= 0)
        return;
    uint8_t* d = Modify();
    const uint8_t* r = right->Read();  // after Modify: right may be this buffer
    for (int i = 0; i < n; ++i) {
        if (r[i] == 0)
            throw EDivByZero("Division by zero");
        d[i] = uint8_t(d[i] / r[i]);
    }
}

void TSGBlockBuffer::SetValue(uint8_t value)
{
    if (GetSize() > 0)
        vpsSet_8u(value, Write(), int(std::min<uint32_t>(GetSize(), INT_MAX)));
}

void TSGBlockBuffer::Zero()
{
    if (GetSize() > 0)
        vpsZero_8u(Write(), int(std::min<uint32_t>(GetSize(), INT_MAX)));
}

void TSGBlockBuffer::CheckIndex(int index)
{
    if (index < 0 || uint32_t(index) >= GetSize())
        throw ERangeError("Index out of range = " + std::to_string(uint32_t(index)));
}

uint8_t TSGBlockBuffer::GetItem(int index)
{
    CheckIndex(index);
    return Read()[index];
}

void TSGBlockBuffer::SetItem(int index, uint8_t value)
{
    Unique(true);
    CheckIndex(index);
    static_cast<uint8_t*>(FDataPtr)[index] = value;
}

bool TSGBlockBuffer::IsEqual(ISGDataBuffer* other)
{
    if (!BufferInstance<TSGBlockBuffer>(other))
        return false;
    return TSGGenericBuffer::IsEqual(other);
}

}  // namespace dcs
