// The property declaration DSL behind DCS_CLASS. Included by Classes.h; not on its own.
//
//   static void DeclareProperties(dcs::TClassBuilder<TFoo>& P)
//   {
//       P.Integer("Interval", &TFoo::GetInterval, &TFoo::SetInterval).Default(1000);
//       P.Boolean("Enabled", &TFoo::FEnabled).Default(true);
//       P.Float("Frequency", "Double", &TFoo::GetFrequency, &TFoo::SetFrequency);
//       P.Enum("SignalType", kSignalTypes, &TFoo::FSignalType).Default(0);
//       P.Object("AudioFormat", &TFoo::GetAudioFormat);
//       P.Event("OnTimer", &TFoo::FOnTimer);
//   }
//
// A getter is a data member pointer, a const member function or a callable taking
// const Self&; a setter is a data member pointer, a member function taking the value, a
// callable taking (Self&, value), or nothing (read-only).
#pragma once

#include <concepts>

namespace dcs {

namespace detail {

template <class Self, class G> decltype(auto) InvokeGet(const G& Get, const Self& Obj)
{
    if constexpr (std::is_member_object_pointer_v<G>)
        return (Obj.*Get);
    else if constexpr (std::is_member_function_pointer_v<G>)
        return (Obj.*Get)();
    else
        return Get(Obj);
}

template <class Self, class S, class V> void InvokeSet(const S& Set, Self& Obj, V&& Value)
{
    if constexpr (std::is_member_object_pointer_v<S>)
        Obj.*Set = std::forward<V>(Value);
    else if constexpr (std::is_member_function_pointer_v<S>)
        (Obj.*Set)(std::forward<V>(Value));
    else
        Set(Obj, std::forward<V>(Value));
}

template <class Self, class G>
using GetType = std::remove_cvref_t<decltype(InvokeGet(std::declval<const G&>(), std::declval<const Self&>()))>;

template <class T> struct PointeeClass {
    using type = std::remove_cv_t<std::remove_pointer_t<T>>;
};

}  // namespace detail

// Refines the property just declared.
class TPropBuilder {
public:
    explicit TPropBuilder(TPropInfo& Prop) : FProp(Prop) {}
    TPropBuilder& Default(int64_t Value)
    {
        FProp.HasDefault = true;
        FProp.Default = Value;
        return *this;
    }
    TPropBuilder& NoDefault()
    {
        FProp.HasDefault = false;
        return *this;
    }
    TPropBuilder& Stored(bool Value)
    {
        FProp.StoredFlag = Value;
        FProp.StoredFn = nullptr;
        return *this;
    }
    template <class Self> TPropBuilder& Stored(bool (Self::*Fn)() const)
    {
        FProp.StoredFn = [Fn](const TObject& O) { return (static_cast<const Self&>(O).*Fn)(); };
        return *this;
    }
    TPropInfo& Info() { return FProp; }

private:
    TPropInfo& FProp;
};

template <class Self> class TClassBuilder {
public:
    TClassBuilder(std::deque<TPropInfo>& Props, TClass Owner) : FProps(Props), FOwner(Owner) {}

    template <class G, class S = std::nullptr_t>
    TPropBuilder Integer(std::string Name, G Get, S Set = nullptr, std::string TypeName = "Integer")
    {
        return Ordinal(std::move(Name), TTypeKind::tkInteger, std::move(TypeName), nullptr, Get, Set);
    }
    template <class G, class S = std::nullptr_t> TPropBuilder Int64(std::string Name, G Get, S Set = nullptr)
    {
        return Ordinal(std::move(Name), TTypeKind::tkInt64, "Int64", nullptr, Get, Set);
    }
    template <class G, class S = std::nullptr_t> TPropBuilder Boolean(std::string Name, G Get, S Set = nullptr)
    {
        return Ordinal(std::move(Name), TTypeKind::tkBoolean, "Boolean", nullptr, Get, Set);
    }
    template <class G, class S = std::nullptr_t>
    TPropBuilder Enum(std::string Name, const TEnumInfo& Info, G Get, S Set = nullptr)
    {
        return Ordinal(std::move(Name), TTypeKind::tkEnumeration, Info.TypeName, &Info, Get, Set);
    }
    // A set over the enumeration Elements, held as a bit mask (bit i = element i).
    template <class G, class S = std::nullptr_t>
    TPropBuilder Set(std::string Name, std::string TypeName, const TEnumInfo& Elements, G Get, S Set = nullptr)
    {
        return Ordinal(std::move(Name), TTypeKind::tkSet, std::move(TypeName), &Elements, Get, Set);
    }

    template <class G, class S = std::nullptr_t>
    TPropBuilder Float(std::string Name, std::string TypeName, G Get, S Set = nullptr)
    {
        using T = detail::GetType<Self, G>;
        static_assert(std::is_floating_point_v<T>, "float property needs a floating-point getter");
        TPropInfo& P = Add(std::move(Name), TTypeKind::tkFloat, std::move(TypeName));
        P.FloatMax = std::numeric_limits<T>::max();
        P.GetFloat = [Get](const TObject& O) {
            return static_cast<long double>(detail::InvokeGet(Get, static_cast<const Self&>(O)));
        };
        if constexpr (!std::is_null_pointer_v<S>)
            P.SetFloat = [Set](TObject& O, long double V) {
                detail::InvokeSet(Set, static_cast<Self&>(O), static_cast<T>(V));
            };
        return TPropBuilder(P);
    }

    template <class G, class S = std::nullptr_t> TPropBuilder String(std::string Name, G Get, S Set = nullptr)
    {
        TPropInfo& P = Add(std::move(Name), TTypeKind::tkString, "string");
        P.GetStr = [Get](const TObject& O) { return std::string(detail::InvokeGet(Get, static_cast<const Self&>(O))); };
        if constexpr (!std::is_null_pointer_v<S>)
            P.SetStr = [Set](TObject& O, const std::string& V) { detail::InvokeSet(Set, static_cast<Self&>(O), V); };
        return TPropBuilder(P);
    }

    // An owned persistent sub-object. Writing the property (when a setter is given) hands
    // the new value to the setter, which normally Assign-s it.
    template <class G, class S = std::nullptr_t> TPropBuilder Object(std::string Name, G Get, S Set = nullptr)
    {
        return ObjectLike(std::move(Name), TTypeKind::tkClass, Get, Set);
    }
    // A reference to a component that lives elsewhere.
    template <class G, class S = std::nullptr_t> TPropBuilder Component(std::string Name, G Get, S Set = nullptr)
    {
        return ObjectLike(std::move(Name), TTypeKind::tkComponent, Get, Set);
    }

    // An event: Field is a std::function member of the component; Set, when given, is
    // a member function that stores a new handler (and may act on it).
    template <class Fn, class S = std::nullptr_t>
    TPropBuilder Event(std::string Name, Fn Self::*Field, S Set = nullptr, std::string TypeName = "TNotifyEvent")
    {
        static_assert(std::is_base_of_v<TComponent, Self>, "events are published by components");
        TPropInfo& P = Add(std::move(Name), TTypeKind::tkMethod, std::move(TypeName));
        P.HasMethod = [Field](const TObject& O) { return static_cast<bool>(static_cast<const Self&>(O).*Field); };
        P.GetMethod = [Field](const TObject& O) -> std::any {
            const Fn& f = static_cast<const Self&>(O).*Field;
            return f ? std::any(f) : std::any();
        };
        P.SetMethod = [Field, Set, Name = P.Name](TObject& O, const std::any& H) {
            Fn value;
            if (H.has_value()) {
                const Fn* f = std::any_cast<Fn>(&H);
                if (!f)
                    throw EPropertyError("Handler for " + Name + " has the wrong type");
                value = *f;
            }
            if constexpr (std::is_null_pointer_v<S>)
                static_cast<Self&>(O).*Field = std::move(value);
            else
                detail::InvokeSet(Set, static_cast<Self&>(O), std::move(value));
        };
        return TPropBuilder(P);
    }

private:
    TPropInfo& Add(std::string Name, TTypeKind Kind, std::string TypeName)
    {
        TPropInfo& P = FProps.emplace_back();
        P.Name = std::move(Name);
        P.Kind = Kind;
        P.TypeName = std::move(TypeName);
        P.Owner = FOwner;
        return P;
    }

    template <class G, class S>
    TPropBuilder Ordinal(std::string Name, TTypeKind Kind, std::string TypeName, const TEnumInfo* Info, G Get, S Set)
    {
        using T = detail::GetType<Self, G>;
        static_assert(std::is_integral_v<T> || std::is_enum_v<T>, "ordinal property needs an integral or enum getter");
        TPropInfo& P = Add(std::move(Name), Kind, std::move(TypeName));
        P.Enum = Info;
        P.GetOrd = [Get](const TObject& O) {
            return static_cast<int64_t>(detail::InvokeGet(Get, static_cast<const Self&>(O)));
        };
        if constexpr (!std::is_null_pointer_v<S>)
            P.SetOrd = [Set](TObject& O, int64_t V) {
                if constexpr (std::is_same_v<T, bool>)
                    detail::InvokeSet(Set, static_cast<Self&>(O), V != 0);
                else
                    detail::InvokeSet(Set, static_cast<Self&>(O), static_cast<T>(V));
            };
        return TPropBuilder(P);
    }

    template <class G, class S> TPropBuilder ObjectLike(std::string Name, TTypeKind Kind, G Get, S Set)
    {
        using Ptr = detail::GetType<Self, G>;
        static_assert(std::is_pointer_v<Ptr>, "object property needs a pointer getter");
        using C = typename detail::PointeeClass<Ptr>::type;
        TPropInfo& P = Add(std::move(Name), Kind, "");
        P.ClassRef = C::StaticClass();
        P.TypeName = P.ClassRef->ClassName();
        P.GetObj = [Get](const TObject& O) -> TObject* {
            return const_cast<C*>(detail::InvokeGet(Get, static_cast<const Self&>(O)));
        };
        if constexpr (!std::is_null_pointer_v<S>)
            P.SetObj = [Set, Name = P.Name](TObject& O, TObject* V) {
                C* typed = dynamic_cast<C*>(V);
                if (V && !typed)
                    throw EPropertyError("Invalid value for " + Name + ": the object is not a " +
                                         C::StaticClass()->ClassName());
                detail::InvokeSet(Set, static_cast<Self&>(O), typed);
            };
        return TPropBuilder(P);
    }

    std::deque<TPropInfo>& FProps;
    TClass FOwner;
};

namespace detail {

template <class Self>
concept HasOwnDeclare = requires(TClassBuilder<Self>& B)
{
    {static_cast<void (*)(TClassBuilder<Self>&)>(&Self::DeclareProperties)};
};

template <class Self, class Base> TClassInfo MakeClassInfo(const char* Name, TClass Parent)
{
    TClassInfo::TDeclareFn declare = nullptr;
    if constexpr (HasOwnDeclare<Self>)
        declare = [](std::deque<TPropInfo>& Props, TClass Owner) {
            TClassBuilder<Self> B(Props, Owner);
            Self::DeclareProperties(B);
        };
    TClassInfo::TComponentCreator cc = nullptr;
    TClassInfo::TItemCreator ic = nullptr;
    TClassInfo::TPlainCreator pc = nullptr;
    if constexpr (!std::is_abstract_v<Self>) {
        if constexpr (std::is_base_of_v<TComponent, Self> && std::is_constructible_v<Self, TComponent*>)
            cc = [](TComponent* AOwner) -> TComponent* { return Create<Self>(AOwner); };
        if constexpr (std::is_base_of_v<TCollectionItem, Self> && std::is_constructible_v<Self, TCollection*>)
            ic = [](TCollection* C) -> TCollectionItem* { return Create<Self>(C); };
        if constexpr (std::is_default_constructible_v<Self>)
            pc = []() -> TObject* { return Create<Self>(); };
    }
    return TClassInfo(Name, Parent, declare, cc, ic, pc);
}

}  // namespace detail

}  // namespace dcs
