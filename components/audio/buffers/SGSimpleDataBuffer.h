// Data buffers: small reference-counted objects that view the bytes of a shared
// container (SGInternalStore.h). Handing a buffer on never copies its bytes; a holder
// that writes while another owner still sees the container first moves to a private
// copy (copy-on-write). Read access never copies; write access copies only when it must
// keep the old bytes (Modify), and otherwise takes a fresh block (Write).
//
// One buffer object is used by one thread at a time; buffers over one container may
// live on different threads.
#pragma once

#include "components/audio/buffers/SGInternalStore.h"
#include "platform/base/Interfaces.h"

#include <cstdint>
#include <string>

namespace dcs {

class TSGSequenceStamp;

class ISGData : public virtual IInterface {
public:
    static constexpr TGUID IID = MakeGUID("{B9246BCA-4961-415C-945F-257B3EA0ECFC}");
    // The implementing object.
    virtual TObject* GetInstance() = 0;
    // A new buffer object of the same class over the same container.
    virtual IntfPtr<ISGData> MakeCopy() = 0;
};

class ISGDataBuffer : public virtual ISGData {
public:
    static constexpr TGUID IID = MakeGUID("{CA519E69-AECD-43D8-89CF-3B55E15541ED}");
    using Parent = ISGData;
    virtual void Assign(ISGDataBuffer* otherBuffer) = 0;
    virtual bool IsEqual(ISGDataBuffer* other) = 0;
    virtual const uint8_t* ByteRead() = 0;
    virtual uint8_t* ByteWrite() = 0;
    virtual uint8_t* ByteModify() = 0;
    virtual uint32_t GetByteSize() = 0;
    virtual uint32_t GetSize() = 0;
    virtual TSGSequenceStamp* GetSequenceStamp() = 0;
    // Copies count bytes (elements for buffers of one element class) to dest.
    virtual void CopyTo(uint32_t srcIndex, ISGDataBuffer* dest, uint32_t destIndex, uint32_t count) = 0;
    virtual void Unique(bool preserveData) = 0;
    virtual void SaveToFile(const std::string& fileName) = 0;
    virtual void LoadFromFile(const std::string& fileName) = 0;
};

class ISGGenericBuffer : public virtual ISGDataBuffer {
public:
    static constexpr TGUID IID = MakeGUID("{D4612012-7681-404F-ACCB-1086DA16207B}");
    using Parent = ISGDataBuffer;
};

class ISGLinearDataBuffer : public virtual ISGDataBuffer {
public:
    static constexpr TGUID IID = MakeGUID("{4C550C77-77FF-4AF4-A959-C1085B1DE2F4}");
    using Parent = ISGDataBuffer;
    // Size in elements.
    virtual void Resize(uint32_t size, bool preserveData) = 0;
};

class ISGBlockBuffer : public virtual ISGLinearDataBuffer {
public:
    static constexpr TGUID IID = MakeGUID("{1D7F6725-9466-43E9-9B6C-164FAB691FEA}");
    using Parent = ISGLinearDataBuffer;
    virtual const uint8_t* Read() = 0;
    virtual uint8_t* Write() = 0;
    virtual uint8_t* Modify() = 0;
    // Over the common length; saturating to 0..255.
    virtual void Add(ISGBlockBuffer* right) = 0;
    virtual void Subtract(ISGBlockBuffer* right) = 0;
    virtual void Multiply(ISGBlockBuffer* right) = 0;
    // Unsigned, truncating. A zero byte in right raises EDivByZero there; the bytes
    // before it are already divided.
    virtual void Divide(ISGBlockBuffer* right) = 0;
    virtual void SetValue(uint8_t value) = 0;
    virtual void Zero() = 0;
    // ERangeError "Index out of range = %u" outside 0 .. GetSize - 1.
    virtual uint8_t GetItem(int index) = 0;
    virtual void SetItem(int index, uint8_t value) = 0;
};

class TSGGenericBuffer;

// Selects the constructors that share another buffer's container.
struct TShareTag {};
inline constexpr TShareTag Share {};

// The data's stamp, kept in the container: every buffer over one container sees it.
class TSGSequenceStamp : public TObject {
public:
    explicit TSGSequenceStamp(TSGGenericBuffer* buffer) : FIntBuffer(buffer) {}
    bool Available() const;
    void SetAvailable(bool value);
    int64_t BufferNumber() const;
    void SetBufferNumber(int64_t value);

private:
    TSGGenericBuffer* FIntBuffer;
};

// Buffer classes take their interfaces as virtual bases: a class answers for an interface
// that its base class already implements through another path (block buffer: linear
// buffer) without a second sub-object of it.
#define DCS_BUFFER_INTERFACES(Base, ...)                                                                               \
protected:                                                                                                             \
    bool GetInterface(const TGUID& iid, void** obj) override                                                           \
    {                                                                                                                  \
        return GetInterfaceOf<__VA_ARGS__>(this, iid, obj) || Base::GetInterface(iid, obj);                            \
    }                                                                                                                  \
                                                                                                                       \
public:

// Buffer objects come from the block pool like their containers: the streaming threads
// create and release one per period and must not wait on the heap.
class TSGBasicBuffer : public TInterfacedObject, public virtual ISGData, public TSGPooledInstance {
    DCS_BUFFER_INTERFACES(TInterfacedObject, ISGData)
    TObject* GetInstance() override { return this; }
    IntfPtr<ISGData> MakeCopy() override;
    IntfPtr<ISGData> MakeIntfCopy() { return MakeCopy(); }
    IntfPtr<ISGData> GetDataIntf() { return IntfPtr<ISGData>(this); }

protected:
    // A new object of the concrete class over the same container (the count starts 0).
    virtual TSGBasicBuffer* NewCopy() = 0;
};

class TSGGenericBuffer : public TSGBasicBuffer, public virtual ISGGenericBuffer {
    DCS_BUFFER_INTERFACES(TSGBasicBuffer, ISGGenericBuffer)
    // Takes one owner and one transport reference on the container.
    TSGGenericBuffer(TSGSmartBuffer* dataContainer, uint32_t size);
    // Shares other's container, size and data pointer.
    TSGGenericBuffer(TShareTag, TSGGenericBuffer& other);
    // Any buffer of the family, whatever its element type: the new one views its bytes.
    static IntfPtr<TSGGenericBuffer> CreateUniversal(ISGData* other);
    ~TSGGenericBuffer() override;

    void Assign(ISGDataBuffer* otherBuffer) override;
    bool IsEqual(ISGDataBuffer* other) override;
    const uint8_t* ByteRead() override;
    uint8_t* ByteWrite() override;
    uint8_t* ByteModify() override;
    uint32_t GetByteSize() override { return FCharSize; }
    uint32_t GetSize() override { return FCharSize; }
    TSGSequenceStamp* GetSequenceStamp() override { return &FSequenceStamp; }
    void CopyTo(uint32_t srcIndex, ISGDataBuffer* dest, uint32_t destIndex, uint32_t count) override;
    void Unique(bool preserveData) override { MakeUnique(preserveData); }
    // True when it moved to a new container.
    virtual bool MakeUnique(bool preserveData);
    virtual void UpdateDataPointer() {}
    // Stores the reference only (no counting).
    virtual void SetDataContainer(TSGSmartBuffer* container) { pDataContainer = container; }
    // Stops counting as an owner, for good.
    virtual void RemoveOwnerShip();
    void SaveToFile(const std::string& fileName) override;
    void LoadFromFile(const std::string& fileName) override;

    bool OwnsData() const { return FOwnsData; }
    TSGSmartBuffer* DataContainer() const { return pDataContainer; }
    IntfPtr<ISGDataBuffer> GetDataBufferIntf() { return IntfPtr<ISGDataBuffer>(this); }

protected:
    TSGBasicBuffer* NewCopy() override { return new TSGGenericBuffer(Share, *this); }

    void* FDataPtr = nullptr;
    uint32_t FCharSize = 0;
    TSGSmartBuffer* pDataContainer = nullptr;
    bool FOwnsData = true;

private:
    TSGSequenceStamp FSequenceStamp {this};
};

// A buffer whose container is always a pooled memory block; the data start at the
// block's first byte. Elements are bytes here.
class TSGMemoryBuffer : public TSGGenericBuffer {
public:
    explicit TSGMemoryBuffer(uint32_t size);
    TSGMemoryBuffer(TSGSmartMemoryBuffer* dataContainer, uint32_t size);
    TSGMemoryBuffer(TShareTag, TSGGenericBuffer& other);

    // The pooled memory container; nil while the buffer views another kind (a byte view
    // of a media buffer).
    TSGSmartMemoryBuffer* MemoryBuffer() const { return dynamic_cast<TSGSmartMemoryBuffer*>(pDataContainer); }
    // Replaces the reference only: the resizing code counts and updates itself.
    void SetMemoryBuffer(TSGSmartMemoryBuffer* value) { SetDataContainer(value); }

    void UpdateDataPointer() override { FDataPtr = pDataContainer->GetRawData(); }
    virtual TSGSmartMemoryBuffer* CreateDataContainer(uint32_t size);
    virtual uint32_t GetElementSize() { return 1; }
    uint32_t GetCharSize() const { return FCharSize; }

protected:
    TSGBasicBuffer* NewCopy() override { return new TSGMemoryBuffer(Share, *this); }
};

class TSGLinearMemoryBuffer : public TSGMemoryBuffer, public virtual ISGLinearDataBuffer {
    DCS_BUFFER_INTERFACES(TSGMemoryBuffer, ISGLinearDataBuffer)
    explicit TSGLinearMemoryBuffer(uint32_t size) : TSGMemoryBuffer(size) {}
    TSGLinearMemoryBuffer(TSGSmartMemoryBuffer* dataContainer, uint32_t size) : TSGMemoryBuffer(dataContainer, size) {}
    TSGLinearMemoryBuffer(TShareTag, TSGGenericBuffer& other) : TSGMemoryBuffer(Share, other) {}

    void Resize(uint32_t size, bool preserveData) override;
    uint32_t GetSize() override { return FCharSize / GetElementSize(); }

protected:
    TSGBasicBuffer* NewCopy() override { return new TSGLinearMemoryBuffer(Share, *this); }
};

class TSGBlockBuffer : public TSGLinearMemoryBuffer, public virtual ISGBlockBuffer {
    DCS_BUFFER_INTERFACES(TSGLinearMemoryBuffer, ISGBlockBuffer)
    // Empty, over the smallest block.
    TSGBlockBuffer();
    // `size` bytes, contents undefined.
    explicit TSGBlockBuffer(uint32_t size);
    // `size` bytes copied from data.
    TSGBlockBuffer(const void* data, uint32_t size);
    // Shares other's container and size.
    TSGBlockBuffer(TShareTag, TSGGenericBuffer& other);
    // A byte view of any buffer of the family.
    static IntfPtr<TSGBlockBuffer> CreateUniversal(ISGData* other);

    const uint8_t* Read() override { return static_cast<const uint8_t*>(FDataPtr); }
    uint8_t* Write() override;
    uint8_t* Modify() override;
    void Add(ISGBlockBuffer* right) override;
    void Subtract(ISGBlockBuffer* right) override;
    void Multiply(ISGBlockBuffer* right) override;
    void Divide(ISGBlockBuffer* right) override;
    void SetValue(uint8_t value) override;
    void Zero() override;
    uint8_t GetItem(int index) override;
    void SetItem(int index, uint8_t value) override;
    bool IsEqual(ISGDataBuffer* other) override;

protected:
    TSGBasicBuffer* NewCopy() override { return new TSGBlockBuffer(Share, *this); }

private:
    void CheckIndex(int index);
};

// The implementing object behind a buffer interface (nil for nil).
template <class T> T* BufferInstance(ISGData* data) { return data ? dynamic_cast<T*>(data->GetInstance()) : nullptr; }

}  // namespace dcs
