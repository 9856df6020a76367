// GUIDs, the root object class and reference-counted interfaces.
//
// Interfaces derive *virtually* from IInterface, so an object that implements several
// of them has exactly one reference count and one QueryInterface. QueryInterface hands
// out the address of the requested interface's sub-object; IntfPtr<I> is the counted
// reference that callers hold (copy = _AddRef, destruction = _Release).
#pragma once

#include "platform/base/SysUtils.h"

#include <atomic>
#include <compare>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace dcs {

// Root of the framework's class tree: anything an owning list may delete.
class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;
};

// ---------------------------------------------------------------------------- TGUID

struct TGUID {
    uint32_t D1 = 0;
    uint16_t D2 = 0;
    uint16_t D3 = 0;
    uint8_t D4[8] = {};

    constexpr bool IsNull() const
    {
        if (D1 != 0 || D2 != 0 || D3 != 0)
            return false;
        for (uint8_t b : D4)
            if (b != 0)
                return false;
        return true;
    }

    // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper-case hex.
    std::string ToString() const;
    // Accepts either case; anything else raises EConvertError.
    static TGUID FromString(std::string_view text);
    // Parses without raising; false leaves `out` untouched.
    static constexpr bool TryParse(std::string_view s, TGUID& out);

    friend constexpr bool operator==(const TGUID&, const TGUID&) = default;
    friend constexpr std::strong_ordering operator<=>(const TGUID&, const TGUID&) = default;
};

static_assert(sizeof(TGUID) == 16, "TGUID is the 16-byte binary record");

constexpr TGUID GUID_NULL {};

constexpr bool TGUID::TryParse(std::string_view s, TGUID& out)
{
    if (s.size() != 38 || s[0] != '{' || s[37] != '}' || s[9] != '-' || s[14] != '-' || s[19] != '-' || s[24] != '-')
        return false;
    auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    };
    bool ok = true;
    auto hex = [&](size_t pos, int digits) -> uint64_t {
        uint64_t v = 0;
        for (int i = 0; i < digits; ++i) {
            int n = nibble(s[pos + i]);
            if (n < 0)
                ok = false;
            v = (v << 4) | uint64_t(n < 0 ? 0 : n);
        }
        return v;
    };
    TGUID g;
    g.D1 = uint32_t(hex(1, 8));
    g.D2 = uint16_t(hex(10, 4));
    g.D3 = uint16_t(hex(15, 4));
    g.D4[0] = uint8_t(hex(20, 2));
    g.D4[1] = uint8_t(hex(22, 2));
    for (int i = 0; i < 6; ++i)
        g.D4[2 + i] = uint8_t(hex(25 + 2 * size_t(i), 2));
    if (!ok)
        return false;
    out = g;
    return true;
}

// For interface ids in headers: `static constexpr TGUID IID = MakeGUID("{...}")`.
// A malformed literal fails to compile.
consteval TGUID MakeGUID(std::string_view text)
{
    TGUID g;
    if (!TGUID::TryParse(text, g))
        throw "malformed GUID literal";
    return g;
}

// ------------------------------------------------------------------------ IInterface

using HRESULT = int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT E_NOINTERFACE = HRESULT(0x80004002u);

// Every interface declares `static constexpr TGUID IID` and, when it extends another
// interface than IInterface, `using Parent = <that interface>;` so that implementing
// the child also answers QueryInterface for the parent.
class IInterface {
public:
    static constexpr TGUID IID = MakeGUID("{00000000-0000-0000-C000-000000000046}");

    virtual HRESULT QueryInterface(const TGUID& iid, void** obj) = 0;
    virtual int32_t _AddRef() = 0;
    virtual int32_t _Release() = 0;

protected:
    // Lifetime goes through _Release, never through a pointer to the interface.
    ~IInterface() = default;
};

namespace detail {
template <class I>
concept HasParent = requires
{
    typename I::Parent;
};

// Walks I, I::Parent, ... looking for iid; the pointer handed out is always the
// sub-object of the interface that was asked for.
template <class I, class Self> bool MatchInterface(Self* self, const TGUID& iid, void** obj)
{
    if (iid == I::IID) {
        *obj = static_cast<I*>(self);
        return true;
    }
    if constexpr (HasParent<I>)
        return MatchInterface<typename I::Parent>(self, iid, obj);
    else
        return false;
}
}  // namespace detail

// True when `self` implements one of Is (or one of their parents) with the id iid.
template <class... Is, class Self> bool GetInterfaceOf(Self* self, const TGUID& iid, void** obj)
{
    return (detail::MatchInterface<Is>(self, iid, obj) || ...);
}

// Reference-counted base. The count starts at 0: the first IntfPtr that takes the
// object owns it, and the last _Release deletes it. Derived classes answer their own
// interfaces by overriding GetInterface (chaining to the base), or through TImplements.
class TInterfacedObject : public TObject, public virtual IInterface {
public:
    HRESULT QueryInterface(const TGUID& iid, void** obj) override;
    int32_t _AddRef() override;
    int32_t _Release() override;

    int32_t RefCount() const { return FRefCount.load(std::memory_order_relaxed); }

protected:
    // Answers the interfaces this class implements; the base knows only IInterface.
    virtual bool GetInterface(const TGUID& iid, void** obj);

private:
    std::atomic<int32_t> FRefCount {0};
};

// `class TFoo : public TImplements<TInterfacedObject, IFoo, IBar>` gives QueryInterface
// answers for IFoo, IBar and their parents on top of what Base answers.
template <class Base, class... Is> class TImplements : public Base, public Is... {
public:
    using Base::Base;

protected:
    bool GetInterface(const TGUID& iid, void** obj) override
    {
        return GetInterfaceOf<Is...>(this, iid, obj) || Base::GetInterface(iid, obj);
    }
};

// ---------------------------------------------------------------------------- IntfPtr

// A counted reference to I (an interface, or a class with _AddRef/_Release).
template <class I> class IntfPtr {
public:
    IntfPtr() noexcept = default;
    IntfPtr(std::nullptr_t) noexcept {}
    IntfPtr(I* p) noexcept : FPtr(p)
    {
        if (FPtr)
            FPtr->_AddRef();
    }
    IntfPtr(const IntfPtr& other) noexcept : IntfPtr(other.FPtr) {}
    IntfPtr(IntfPtr&& other) noexcept : FPtr(std::exchange(other.FPtr, nullptr)) {}
    template <class J>
    requires std::is_convertible_v<J*, I*> IntfPtr(const IntfPtr<J>& other)
    noexcept : IntfPtr(static_cast<I*>(other.Get())) {}
    template <class J>
    requires std::is_convertible_v<J*, I*> IntfPtr(IntfPtr<J>&& other)
    noexcept : FPtr(other.Detach()) {}
    ~IntfPtr()
    {
        if (FPtr)
            FPtr->_Release();
    }

    IntfPtr& operator=(const IntfPtr& other) noexcept
    {
        Reset(other.FPtr);
        return *this;
    }
    IntfPtr& operator=(IntfPtr&& other) noexcept
    {
        if (this != &other) {
            I* old = std::exchange(FPtr, std::exchange(other.FPtr, nullptr));
            if (old)
                old->_Release();
        }
        return *this;
    }
    IntfPtr& operator=(std::nullptr_t) noexcept
    {
        Reset();
        return *this;
    }

    // AddRef the new target before releasing the old one: assigning a reference to
    // itself (or to something only the old target keeps alive) stays valid.
    void Reset(I* p = nullptr) noexcept
    {
        if (p)
            p->_AddRef();
        I* old = std::exchange(FPtr, p);
        if (old)
            old->_Release();
    }
    // Takes over a reference that was already counted for us.
    static IntfPtr Adopt(I* p) noexcept
    {
        IntfPtr r;
        r.FPtr = p;
        return r;
    }
    // Gives up the reference without releasing it.
    I* Detach() noexcept { return std::exchange(FPtr, nullptr); }

    I* Get() const noexcept { return FPtr; }
    I* operator->() const noexcept { return FPtr; }
    I& operator*() const noexcept { return *FPtr; }
    explicit operator bool() const noexcept { return FPtr != nullptr; }

    template <class J> friend bool operator==(const IntfPtr& a, const IntfPtr<J>& b) noexcept
    {
        return a.Get() == b.Get();
    }
    friend bool operator==(const IntfPtr& a, std::nullptr_t) noexcept { return !a.FPtr; }

private:
    I* FPtr = nullptr;
};

// Asks src for J. False (and out cleared) when src is nil or does not implement J.
template <class J, class I> bool Supports(I* src, IntfPtr<J>& out)
{
    void* p = nullptr;
    if (src && src->QueryInterface(J::IID, &p) == S_OK && p) {
        // QueryInterface counted the reference it handed out.
        out = IntfPtr<J>::Adopt(static_cast<J*>(p));
        return true;
    }
    out = nullptr;
    return false;
}
template <class J, class I> bool Supports(const IntfPtr<I>& src, IntfPtr<J>& out)
{
    return Supports<J>(src.Get(), out);
}
template <class J, class I> bool Supports(const IntfPtr<I>& src)
{
    IntfPtr<J> tmp;
    return Supports<J>(src.Get(), tmp);
}

[[noreturn]] void RaiseIntfCastError();

// The framework's `as` cast: nil stays nil, anything else must implement J.
template <class J, class I> IntfPtr<J> IntfCast(I* src)
{
    IntfPtr<J> out;
    if (src && !Supports<J>(src, out))
        RaiseIntfCastError();
    return out;
}
template <class J, class I> IntfPtr<J> IntfCast(const IntfPtr<I>& src) { return IntfCast<J>(src.Get()); }

}  // namespace dcs

template <> struct std::hash<dcs::TGUID> {
    size_t operator()(const dcs::TGUID& g) const noexcept
    {
        uint64_t a, b;
        std::memcpy(&a, &g, 8);
        std::memcpy(&b, reinterpret_cast<const char*>(&g) + 8, 8);
        return std::hash<uint64_t> {}(a ^ (b * 0x9E3779B97F4A7C15ull));
    }
};
