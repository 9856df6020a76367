// What every typed buffer shares whatever its element: whole elements of type T viewed
// over a pooled, shared, copy-on-write block, the three access steps (Read: no copy;
// Write: a fresh container when the data are shared; Modify: a private copy when shared)
// and the few shapes in which the typed buffers call their vector entries. Self is the
// concrete class (copies and factories make one); Base is the memory buffer underneath,
// linear for the vectors.
#pragma once

#include "components/audio/buffers/SGSimpleDataBuffer.h"
#include "dsp/Registry.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <type_traits>

namespace dcs {

// Element sizes above 2^30 bytes are refused with EOutOfMemory "Out of memory".
uint32_t NumericByteSize(uint64_t count, uint32_t elementSize);

// ERangeError "Index out of range = %u".
[[noreturn]] void SGRaiseIndex(int index);

// A number of elements that may pass 32 bits (a matrix's rows x columns).
struct TSGElementCount {
    uint64_t Value;
};

template <class Self, class T, class Interface, class Base = TSGLinearMemoryBuffer>
class TSGTypedBuffer : public Base, public virtual Interface {
    DCS_BUFFER_INTERFACES(Base, Interface)
    TSGTypedBuffer() : TSGTypedBuffer(0u) {}
    explicit TSGTypedBuffer(uint32_t size) : TSGTypedBuffer(nullptr, TSGElementCount {size}) {}
    TSGTypedBuffer(const T* data, uint32_t size) : TSGTypedBuffer(data, TSGElementCount {size}) {}
    TSGTypedBuffer(TShareTag, TSGGenericBuffer& other) : Base(Share, other) {}

    static IntfPtr<Self> Create() { return IntfPtr<Self>(new Self()); }
    static IntfPtr<Self> CreateSize(uint32_t size) { return IntfPtr<Self>(new Self(size)); }
    static IntfPtr<Self> CreateData(const T* data, uint32_t size) { return IntfPtr<Self>(new Self(data, size)); }
    static IntfPtr<Self> CreateValue(T value, uint32_t size)
    {
        IntfPtr<Self> b = CreateSize(size);
        b->SetValue(value);
        return b;
    }
    // Shares other's container and byte size; other may be any buffer of the family.
    static IntfPtr<Self> CreateUniversal(ISGData* other)
    {
        auto* instance = BufferInstance<TSGGenericBuffer>(other);
        if (!instance)
            RaiseIntfCastError();
        return IntfPtr<Self>(new Self(Share, *instance));
    }

    uint32_t GetElementSize() override { return sizeof(T); }
    TSGSmartMemoryBuffer* CreateDataContainer(uint32_t size) override
    {
        return new TSGSmartMemoryBuffer(NumericByteSize(size, sizeof(T)));
    }
    bool IsEqual(ISGDataBuffer* other) override
    {
        return BufferInstance<Self>(other) && this->TSGGenericBuffer::IsEqual(other);
    }

    const T* Read() override { return static_cast<const T*>(this->FDataPtr); }
    T* Write() override
    {
        this->Unique(false);
        return static_cast<T*>(this->FDataPtr);
    }
    T* Modify() override
    {
        this->Unique(true);
        return static_cast<T*>(this->FDataPtr);
    }

protected:
    // count elements, copied from data unless it is nil.
    TSGTypedBuffer(const T* data, TSGElementCount count)
        : Base(new TSGSmartMemoryBuffer(data, NumericByteSize(count.Value, sizeof(T))),
               NumericByteSize(count.Value, sizeof(T)))
    {
    }

    TSGBasicBuffer* NewCopy() override { return new Self(Share, static_cast<Self&>(*this)); }

    // A second holder of this buffer's data: it keeps the old values alive while Write
    // gives this buffer a fresh container, so a result can go from the old values
    // straight into the new ones without copying them first.
    IntfPtr<Self> Sharer() { return IntfPtr<Self>(new Self(Share, static_cast<Self&>(*this))); }

    static int Clamp(uint64_t n) { return int(std::min<uint64_t>(n, INT_MAX)); }
    static int Common(uint64_t a, uint64_t b) { return Clamp(std::min(a, b)); }
    int Count() { return Clamp(this->GetSize()); }

    // Unchecked in the contract; an index outside the buffer raises rather than reads or
    // writes past the block. Storing detaches first.
    T ItemAt(int index)
    {
        if (index < 0 || uint32_t(index) >= this->GetSize())
            SGRaiseIndex(index);
        return Read()[index];
    }
    void StoreItem(int index, T value)
    {
        T* d = Modify();
        if (index < 0 || uint32_t(index) >= this->GetSize())
            SGRaiseIndex(index);
        d[index] = value;
    }

    // The entries take T under their own name of the same layout (the complex pair,
    // unsigned integers for the logic entries).
    template <class P> static P* As(T* p)
    {
        static_assert(sizeof(P) == sizeof(T));
        return reinterpret_cast<P*>(p);
    }
    template <class P> static const P* As(const T* p)
    {
        static_assert(sizeof(P) == sizeof(T));
        return reinterpret_cast<const P*>(p);
    }

    // this := this op right over the common length.
    template <class R, class S, class D, class... A>
    void Combine(Interface* right, R (*fn)(const S*, D*, int, A...), std::type_identity_t<A>... extra)
    {
        const int m = Common(right->GetSize(), this->GetSize());
        T* d = Modify();
        fn(As<S>(right->Read()), As<D>(d), m, extra...);  // Read after Modify: right may be this buffer
    }

    // this := f(src) over the common length; the old values are not kept.
    template <class R, class S, class D, class... A>
    void FromSource(Interface* src, R (*fn)(const S*, D*, int, A...), std::type_identity_t<A>... extra)
    {
        const int m = Common(src->GetSize(), this->GetSize());
        T* d = Write();
        fn(As<S>(src->Read()), As<D>(d), m, extra...);
    }

    template <class R, class D, class... A> void InPlace(R (*fn)(D*, int, A...), std::type_identity_t<A>... extra)
    {
        fn(As<D>(Modify()), Count(), extra...);
    }

    template <class R, class V, class D, class... A>
    void InPlaceValue(R (*fn)(V, D*, int, A...), std::type_identity_t<V> value, std::type_identity_t<A>... extra)
    {
        fn(value, As<D>(Modify()), Count(), extra...);
    }

    template <class R, class S, class P, class... A>
    P DotWith(Interface* right, R (*fn)(const S*, const S*, int, P*, A...), std::type_identity_t<A>... extra)
    {
        P result {};
        fn(As<S>(right->Read()), As<S>(Read()), Common(right->GetSize(), this->GetSize()), &result, extra...);
        return result;
    }

    // The correlation entries belong to the spectral module; they are looked up by name
    // at the call, so a buffer works (writing nothing) before that module exists.
    template <class Raw> void AutoCorrFrom(Interface* src, const char* name)
    {
        auto fn = DspLookupAs<VpsStatus (*)(const Raw*, int, Raw*, int)>(name);
        if (!fn)
            return;
        const int m = Common(src->GetSize(), this->GetSize());
        T* d = Write();
        fn(As<Raw>(src->Read()), m, As<Raw>(d), m);
    }

    template <class Raw> void CrossCorrFrom(Interface* src1, Interface* src2, int loLag, const char* name)
    {
        auto fn = DspLookupAs<VpsStatus (*)(const Raw*, int, const Raw*, int, Raw*, int, int)>(name);
        if (!fn)
            return;
        T* d = Write();
        fn(As<Raw>(src1->Read()), Clamp(src1->GetSize()), As<Raw>(src2->Read()), Clamp(src2->GetSize()), As<Raw>(d),
           Count(), loLag);
    }

    // Between buffers of this class CopyTo counts elements; any other destination gets
    // the generic buffer's copy.
    template <class Copy>
    void CopyElementsTo(uint32_t srcIndex, ISGDataBuffer* dest, uint32_t destIndex, uint32_t count, Copy copy)
    {
        auto* d = BufferInstance<Self>(dest);
        if (!d) {
            this->TSGGenericBuffer::CopyTo(srcIndex, dest, destIndex, count);
            return;
        }
        T* to = d->Modify() + destIndex;  // may move this buffer when d is this buffer
        copy(Read() + srcIndex, to, count);
    }
};

}  // namespace dcs
