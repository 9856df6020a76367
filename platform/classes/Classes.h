// The object model every component library stands on: class references with virtual
// construction by class name, published properties read and written by name, and the
// persistent / component / collection bases with their ownership and notification rules.
//
// A class joins the model with DCS_CLASS(Self, Base) at the top of its body (every class
// that is created by name or streamed needs it: without it the object reports its
// parent's class) and, when it publishes properties, a static
// DeclareProperties(TClassBuilder<Self>&) listing them in declaration order.
//
// Objects are made with Create<T>(...) and released with Free(obj): those helpers run
// AfterConstruction once the most-derived constructor has finished and
// BeforeDestruction while the whole object still exists, which C++ constructors and
// destructors cannot do themselves. A component's owner frees it the same way.
#pragma once

#include "platform/base/Interfaces.h"
#include "platform/base/SysUtils.h"

#include <any>
#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace dcs {

DCS_DECLARE_EXCEPTION(EComponentError, Exception);
DCS_DECLARE_EXCEPTION(EPropertyError, Exception);

class TPersistent;
class TComponent;
class TCollection;
class TCollectionItem;
class TFiler;
class TReader;
class TWriter;
class TClassInfo;
struct TPropInfo;
template <class Self> class TClassBuilder;

// A class reference: the run-time description of one class.
using TClass = const TClassInfo*;

// ---------------------------------------------------------------------------------
// Published property descriptions (accessors take the instance as a TObject of the
// declaring class)

enum class TTypeKind {
    tkInteger,  // 32-bit or smaller integers and characters
    tkInt64,
    tkEnumeration,  // value names in TEnumInfo
    tkBoolean,
    tkSet,        // bit mask over the ordinals of an enumeration
    tkFloat,      // TypeName tells Single, Double, Extended, TDateTime ...
    tkString,     // UTF-8
    tkClass,      // an owned persistent sub-object (streamed by its own properties)
    tkComponent,  // a reference to a component elsewhere (streamed by name)
    tkMethod,     // an event handler (streamed by handler name)
};

const char* TypeKindName(TTypeKind Kind);

struct TEnumInfo {
    std::string TypeName;
    std::vector<std::string> Names;  // Names[i] is the name of ordinal i

    // Ordinal of a value name (case-insensitive), or -1.
    int ValueOf(std::string_view Name) const;
    std::string NameOf(int64_t Value) const;  // "" when out of range
};

struct TPropInfo {
    std::string Name;
    TTypeKind Kind = TTypeKind::tkInteger;
    std::string TypeName;
    const TEnumInfo* Enum = nullptr;  // enumeration values, or the elements of a set
    TClass ClassRef = nullptr;        // class of tkClass / tkComponent properties
    TClass Owner = nullptr;           // the class that declared the property

    // Floats: the largest magnitude the property's type holds.
    long double FloatMax = std::numeric_limits<long double>::max();
    bool HasDefault = false;  // ordinals only; floats default to 0, strings to ""
    int64_t Default = 0;
    bool StoredFlag = true;
    std::function<bool(const TObject&)> StoredFn;

    std::function<int64_t(const TObject&)> GetOrd;
    std::function<void(TObject&, int64_t)> SetOrd;
    std::function<long double(const TObject&)> GetFloat;
    std::function<void(TObject&, long double)> SetFloat;
    std::function<std::string(const TObject&)> GetStr;
    std::function<void(TObject&, const std::string&)> SetStr;
    std::function<TObject*(const TObject&)> GetObj;
    std::function<void(TObject&, TObject*)> SetObj;
    // Events: whether a handler is assigned, the handler type-erased (a std::any holding
    // exactly the event's std::function type, empty when unassigned), and assignment
    // from such a value (empty clears it).
    std::function<bool(const TObject&)> HasMethod;
    std::function<std::any(const TObject&)> GetMethod;
    std::function<void(TObject&, const std::any&)> SetMethod;

    bool IsWritable() const;
    bool IsStored(const TObject& Instance) const;
};

// ---------------------------------------------------------------------------------
// Class references

class TClassInfo {
public:
    using TComponentCreator = TComponent* (*)(TComponent* AOwner);
    using TItemCreator = TCollectionItem* (*)(TCollection* ACollection);
    using TPlainCreator = TObject* (*)();
    using TDeclareFn = void (*)(std::deque<TPropInfo>& Props, TClass Self);

    TClassInfo(std::string_view Name, TClass Parent, TDeclareFn Declare, TComponentCreator ComponentCreator,
               TItemCreator ItemCreator, TPlainCreator PlainCreator);
    TClassInfo(const TClassInfo&) = delete;
    TClassInfo& operator=(const TClassInfo&) = delete;

    const std::string& ClassName() const { return FName; }
    TClass ClassParent() const { return FParent; }
    bool InheritsFrom(TClass AClass) const;

    // Published properties, inherited ones first, each class's in declaration order.
    const std::vector<const TPropInfo*>& Properties() const;
    // Case-insensitive lookup, nullptr when absent.
    const TPropInfo* FindProperty(std::string_view Name) const;

    // Virtual construction; each is null when the class cannot be made that way.
    TComponentCreator ComponentCreator() const { return FComponentCreator; }
    TItemCreator ItemCreator() const { return FItemCreator; }
    TPlainCreator PlainCreator() const { return FPlainCreator; }

private:
    void Build() const;

    std::string FName;
    TClass FParent;
    TDeclareFn FDeclare;
    TComponentCreator FComponentCreator;
    TItemCreator FItemCreator;
    TPlainCreator FPlainCreator;
    mutable std::once_flag FBuilt;
    mutable std::deque<TPropInfo> FOwnProps;
    mutable std::vector<const TPropInfo*> FAllProps;
};

// The class registry used by the component reader. Classes declared with DCS_CLASS
// register themselves when their header's definitions are linked; RegisterClass does it
// explicitly. Two different classes of one name make the name ambiguous.
void RegisterClass(TClass AClass);
TClass GetClass(std::string_view Name);   // nullptr when unknown or ambiguous
TClass FindClass(std::string_view Name);  // raises EClassNotFound
template <class T> void RegisterClass() { RegisterClass(T::StaticClass()); }

namespace detail {
bool AutoRegisterClass(TClass AClass);

template <class Self, class Base> TClassInfo MakeClassInfo(const char* Name, TClass Parent);
}  // namespace detail

#define DCS_CLASS(Self, Base)                                                                                          \
public:                                                                                                                \
    using inherited = Base;                                                                                            \
    static ::dcs::TClass StaticClass()                                                                                 \
    {                                                                                                                  \
        static const ::dcs::TClassInfo info = ::dcs::detail::MakeClassInfo<Self, Base>(#Self, Base::StaticClass());    \
        return &info;                                                                                                  \
    }                                                                                                                  \
    ::dcs::TClass ClassType() const override { return StaticClass(); }                                                 \
    static inline const bool dcs_class_registered_ = ::dcs::detail::AutoRegisterClass(StaticClass());                  \
                                                                                                                       \
public:

// ---------------------------------------------------------------------------------
// TManagedObject: the root of the class model, below the platform's plain TObject

class TManagedObject : public TObject {
public:
    static TClass StaticClass();
    virtual TClass ClassType() const { return StaticClass(); }
    const std::string& ClassName() const { return ClassType()->ClassName(); }
    bool InheritsFrom(TClass AClass) const { return ClassType()->InheritsFrom(AClass); }
    template <class T> bool Is() const { return InheritsFrom(T::StaticClass()); }

    // Run by Create<T> after the most-derived constructor, and by Free before any
    // destructor.
    virtual void AfterConstruction() {}
    virtual void BeforeDestruction() {}
};

// Two-phase construction: an exception from AfterConstruction frees the object again.
template <class T, class... A> T* Create(A&&... Args)
{
    T* obj = new T(std::forward<A>(Args)...);
    if constexpr (std::is_base_of_v<TManagedObject, T>) {
        try {
            obj->AfterConstruction();
        } catch (...) {
            delete obj;
            throw;
        }
    }
    return obj;
}

// Two-phase destruction for managed objects, a plain delete for others; null is allowed.
void Free(TObject* Obj);

template <class T> void FreeAndNil(T*& Obj)
{
    T* o = Obj;
    Obj = nullptr;
    Free(o);
}

struct TFreeDeleter {
    void operator()(TObject* Obj) const { Free(Obj); }
};
template <class T> using TOwned = std::unique_ptr<T, TFreeDeleter>;

// Checked down-cast (nullptr when the object is not a T).
template <class T> T* As(TObject* Obj) { return dynamic_cast<T*>(Obj); }

// ---------------------------------------------------------------------------------
// Property access by name (raise EPropertyError when the property is absent or of
// another kind)

const TPropInfo* GetPropInfo(const TManagedObject& Instance, std::string_view Name);
const std::vector<const TPropInfo*>& GetPropList(const TManagedObject& Instance);
// The same properties ordered by name (case-insensitive), as some copy rules want them.
std::vector<const TPropInfo*> GetSortedPropList(TClass AClass);

int64_t GetOrdProp(const TManagedObject& Instance, std::string_view Name);
void SetOrdProp(TManagedObject& Instance, std::string_view Name, int64_t Value);
long double GetFloatProp(const TManagedObject& Instance, std::string_view Name);
void SetFloatProp(TManagedObject& Instance, std::string_view Name, long double Value);
std::string GetStrProp(const TManagedObject& Instance, std::string_view Name);
void SetStrProp(TManagedObject& Instance, std::string_view Name, const std::string& Value);
TObject* GetObjectProp(const TManagedObject& Instance, std::string_view Name);
void SetObjectProp(TManagedObject& Instance, std::string_view Name, TObject* Value);
std::string GetEnumProp(const TManagedObject& Instance, std::string_view Name);
void SetEnumProp(TManagedObject& Instance, std::string_view Name, std::string_view Value);
// Whether the property is at the value the writer would leave out.
bool IsDefaultPropertyValue(const TManagedObject& Instance, const TPropInfo& Prop);

// ---------------------------------------------------------------------------------
// TPersistent

class TPersistent : public TManagedObject {
    DCS_CLASS(TPersistent, TManagedObject)

    // Copies Source into this object; falls back to Source->AssignTo(this), and raises
    // EConvertError "Cannot assign a X to a Y" when neither side knows the other.
    virtual void Assign(TPersistent* Source);
    // The dotted path a designer would show ("Form1.sg1.AudioFormat").
    virtual std::string GetNamePath() const;

    // Public so the filer can reach it; descendants override it.
    virtual void DefineProperties(TFiler& Filer);
    virtual TPersistent* GetOwner() const { return nullptr; }

protected:
    virtual void AssignTo(TPersistent* Dest);
    [[noreturn]] void AssignError(const TPersistent* Source) const;
};

// ---------------------------------------------------------------------------------
// TComponent

enum TComponentStateFlag : uint32_t {
    csLoading = 1u << 0,
    csReading = 1u << 1,
    csWriting = 1u << 2,
    csDestroying = 1u << 3,
    csDesigning = 1u << 4,
    csFreeNotification = 1u << 5,
    csUpdating = 1u << 6,
};

struct TComponentState {
    uint32_t Bits = 0;
    bool Contains(TComponentStateFlag Flag) const { return (Bits & Flag) != 0; }
    bool ContainsAny(uint32_t Flags) const { return (Bits & Flags) != 0; }
};

enum class TOperation {
    opInsert,
    opRemove
};

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TGetChildProc = std::function<void(TComponent* Child)>;

class TComponent : public TPersistent {
    DCS_CLASS(TComponent, TPersistent)

    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;

    void BeforeDestruction() override;

    TComponent* Owner() const { return FOwner; }
    const std::string& Name() const { return FName; }
    // Raises EComponentError for a name that is no identifier or is already used by a
    // component of the same owner.
    void SetName(const std::string& NewName);
    int32_t Tag() const { return FTag; }
    void SetTag(int32_t Value) { FTag = Value; }

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int Index) const;
    int ComponentIndex() const;
    // Case-insensitive search among the owned components.
    TComponent* FindComponent(std::string_view AName) const;
    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    void DestroyComponents();

    TComponentState ComponentState() const { return FState; }
    // Designer state is never entered by the program; tests set it to see the design-time
    // paths. It spreads to owned components, as a designer would.
    void SetDesigning(bool Value, bool SetChildren = true);
    // Loading state flags, set by the reader.
    void SetLoadingState(uint32_t Flags, bool On);
    // True when this component or any owner up the chain is loading.
    bool IsLoadingInChain() const;

    // Runs once the whole root has been read; clears csLoading.
    virtual void Loaded();
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    // AComponent is told (Notification opRemove) when this component goes away, and the
    // other way round.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    // Streaming hooks.
    virtual void GetChildren(const TGetChildProc& Proc, TComponent* Root);
    virtual TComponent* GetChildOwner() { return nullptr; }
    virtual TComponent* GetChildParent() { return this; }
    virtual bool HasParent() const { return false; }
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual void SetParentComponent(TComponent* Value);
    virtual void ReadState(TReader& Reader);
    virtual void WriteState(TWriter& Writer);

    std::string GetNamePath() const override { return FName; }

    // Event handlers by name: a root registers the handlers its stored components refer
    // to; the reader binds them after loading and the writer writes their names.
    void RegisterMethod(const std::string& AName, std::any Handler);
    template <class Sig> void RegisterMethod(const std::string& AName, std::function<Sig> Handler)
    {
        RegisterMethod(AName, std::any(std::move(Handler)));
    }
    const std::any* FindMethod(std::string_view AName) const;
    // The handler name recorded for an event property of this component ("" if none).
    std::string MethodName(std::string_view PropName) const;
    // Binds an event property to a handler of Root's table by name and records the name.
    // Raises EPropertyError when Root has no handler of that name or of that type.
    void SetMethodByName(const TPropInfo& Prop, TComponent* Root, const std::string& Handler);
    void ClearMethod(const TPropInfo& Prop);

    static void DeclareProperties(TClassBuilder<TComponent>& P);

protected:
    virtual void ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName);
    void Destroying();

private:
    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    void RemoveNotification(TComponent* AComponent);
    void RemoveFreeNotifications();

    TComponent* FOwner = nullptr;
    std::string FName;
    int32_t FTag = 0;
    TComponentState FState;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    std::unique_ptr<std::map<std::string, std::any, std::less<>>> FMethods;
    std::map<std::string, std::string, std::less<>> FMethodNames;
};

bool IsValidIdent(std::string_view Ident, bool AllowDots = false);

// ---------------------------------------------------------------------------------
// Collections

enum class TCollectionNotification {
    cnAdded,
    cnExtracting,
    cnDeleting
};

class TCollectionItem : public TPersistent {
    DCS_CLASS(TCollectionItem, TPersistent)

    explicit TCollectionItem(TCollection* ACollection);
    ~TCollectionItem() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;

    TCollection* Collection() const { return FCollection; }
    void SetCollection(TCollection* Value);
    int ID() const { return FID; }
    int Index() const;
    void SetIndex(int Value);
    virtual std::string DisplayName() const;
    std::string GetNamePath() const override;
    TPersistent* GetOwner() const override;

protected:
    void Changed(bool AllItems);

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FID = 0;
    bool FAnnounced = false;
};

class TCollection : public TPersistent {
    DCS_CLASS(TCollection, TPersistent)

    // ItemClass must be a TCollectionItem class with a (TCollection*) constructor.
    explicit TCollection(TClass ItemClass);
    ~TCollection() override;

    TClass ItemClass() const { return FItemClass; }
    int Count() const { return static_cast<int>(FItems.size()); }
    TCollectionItem* Items(int Index) const;
    TCollectionItem* Add();
    TCollectionItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    TCollectionItem* FindItemID(int ID) const;
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // Replaces the items by copies of Source's items (each new item Assign-ed).
    void Assign(TPersistent* Source) override;
    std::string GetNamePath() const override;

protected:
    virtual void Notify(TCollectionItem* Item, TCollectionNotification Action);
    virtual void Update(TCollectionItem* Item);
    void Changed();
    // Every change to the item list (insert, remove, move) runs inside AEdit; a collection
    // that other threads read wraps it in the section those readers take.
    virtual void EditItems(const std::function<void()>& AEdit) { AEdit(); }

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* Item);
    void RemoveItem(TCollectionItem* Item, bool Announce);

    TClass FItemClass;
    std::vector<TCollectionItem*> FItems;
    int FUpdateCount = 0;
    int FNextID = 0;
    bool FDestroying = false;
};

// A collection that names its owner (most published collections are).
class TOwnedCollection : public TCollection {
    DCS_CLASS(TOwnedCollection, TCollection)

    TOwnedCollection(TPersistent* AOwner, TClass ItemClass) : TCollection(ItemClass), FOwner(AOwner) {}
    TPersistent* GetOwner() const override { return FOwner; }

private:
    TPersistent* FOwner;
};

}  // namespace dcs

#include "platform/classes/ClassBuilder.h"
