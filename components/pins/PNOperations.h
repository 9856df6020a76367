// What travels along links: operations, the small sets that qualify a delivery and its
// answer, the root stream interface, and the bound function that delivers over one link.
#pragma once

#include "platform/base/Interfaces.h"
#include "platform/base/SysUtils.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

namespace dcs {

DCS_DECLARE_EXCEPTION(EPNException, Exception);

// Raised when sends through one pin nest without end (an operation looping back to its
// source through a chain of links).
extern const char* const SPNDependsOnItself;

// ------------------------------------------------------------------------ small sets

template <class E> class TPNSet {
public:
    constexpr TPNSet() = default;
    constexpr TPNSet(std::initializer_list<E> AItems)
    {
        for (E e : AItems)
            FBits |= Bit(e);
    }
    constexpr bool Contains(E AItem) const { return (FBits & Bit(AItem)) != 0; }
    constexpr TPNSet& Include(E AItem)
    {
        FBits |= Bit(AItem);
        return *this;
    }
    constexpr TPNSet& Exclude(E AItem)
    {
        FBits &= uint8_t(~Bit(AItem));
        return *this;
    }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr uint8_t Bits() const { return FBits; }
    friend constexpr bool operator==(TPNSet, TPNSet) = default;

private:
    static constexpr uint8_t Bit(E AItem) { return uint8_t(1u << unsigned(AItem)); }
    uint8_t FBits = 0;
};

enum TPNNotifyStateItem : uint8_t {
    nsNewLink,
    nsLastIteration
};
using TPNNotifyState = TPNSet<TPNNotifyStateItem>;

enum TPNNotifyResultItem : uint8_t {
    nrDataChanged
};
using TPNNotifyResult = TPNSet<TPNNotifyResultItem>;

// Scoped: its value names would clash with those of TPNPumpType.
enum class TPNPinType : uint8_t {
    ptSource,
    ptSink,
    ptState,
    ptMultiSink,
    ptDispatcher
};

// ------------------------------------------------------------------- stream interfaces

// Root of every stream interface. A stream type id is also the interface id of the
// stream interface that pins of that type implement; asking a pin for that interface
// asks whether it supports the type. Typed stream interfaces derive from it virtually,
// as pins do.
class IPNStream : public virtual IInterface {
public:
    static constexpr TGUID IID = MakeGUID("{2BFF1BE1-1698-4CFA-A427-9E0801C5B357}");

protected:
    ~IPNStream() = default;
};

class TPNNotifyOperation;

class IPNNotifyOperation : public virtual IInterface {
public:
    static constexpr TGUID IID = MakeGUID("{AC2714E1-1E70-4C60-ABBB-EA27737CEE74}");
    virtual TPNNotifyOperation* Instance() = 0;

protected:
    ~IPNNotifyOperation() = default;
};

// One operation travelling along links. Ids are unique and rising from 1 across the
// process. An object of this class itself is the plain notification that a link was made.
class TPNNotifyOperation : public TImplements<TInterfacedObject, IPNNotifyOperation> {
public:
    TPNNotifyOperation();
    uint32_t OperationID() const { return FOperationID; }
    TPNNotifyOperation* Instance() override { return this; }

private:
    uint32_t FOperationID;
};

// The range error of every indexed pin and pin-list access.
[[noreturn]] inline void RaiseIndexOutOfRange(int AIndex)
{
    throw ERangeError("Index out of range = " + std::to_string(AIndex));
}

// A new operation of class T, held by the returned reference.
template <class T, class... A> IntfPtr<IPNNotifyOperation> MakeOperation(A&&... Args)
{
    return IntfPtr<IPNNotifyOperation>(new T(std::forward<A>(Args)...));
}

// The class test receivers use: the operation as a T (or a descendant), else null.
template <class T> T* OperationAs(IPNNotifyOperation* AOperation)
{
    return AOperation ? dynamic_cast<T*>(AOperation->Instance()) : nullptr;
}

// ------------------------------------------------------------------ submit functions

class TPNPin;

// The delivery of one operation over one link: a function and the object it is bound
// to. Copying it costs two words; it counts as assigned when its code part is set.
struct TPNSubmit {
    using TCode = TPNNotifyResult (*)(void* AData, IPNStream* Handler, const TGUID* DataTypeID,
                                      IPNNotifyOperation* Operation, TPNNotifyState State);
    TCode Code = nullptr;
    void* Data = nullptr;

    bool Assigned() const { return Code != nullptr; }
    TPNNotifyResult operator()(IPNStream* Handler, const TGUID* DataTypeID, IPNNotifyOperation* Operation,
                               TPNNotifyState State) const
    {
        return Code(Data, Handler, DataTypeID, Operation, State);
    }
    // Binds a method TPNNotifyResult (T::*)(IPNStream*, const TGUID*, IPNNotifyOperation*,
    // TPNNotifyState) to an object.
    template <auto Method, class T> static TPNSubmit Of(T* AObject)
    {
        return TPNSubmit {[](void* d, IPNStream* h, const TGUID* id, IPNNotifyOperation* op, TPNNotifyState st) {
                              return (static_cast<T*>(d)->*Method)(h, id, op, st);
                          },
                          AObject};
    }
    friend bool operator==(const TPNSubmit&, const TPNSubmit&) = default;
};

// The send function of one stream type: turns the handler into that type's interface and
// calls it.
using TPNGlobalSubmit = TPNNotifyResult (*)(TPNPin* Sender, IPNStream* Handler, const TGUID* DataTypeID,
                                            IPNNotifyOperation* Operation, TPNNotifyState State);

}  // namespace dcs
