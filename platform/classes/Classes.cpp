#include "platform/classes/Classes.h"

#include "platform/base/Strings.h"

#include <algorithm>
#include <unordered_map>

namespace dcs {

const char* TypeKindName(TTypeKind Kind)
{
    switch (Kind) {
    case TTypeKind::tkInteger: return "Integer";
    case TTypeKind::tkInt64: return "Int64";
    case TTypeKind::tkEnumeration: return "Enumeration";
    case TTypeKind::tkBoolean: return "Boolean";
    case TTypeKind::tkSet: return "Set";
    case TTypeKind::tkFloat: return "Float";
    case TTypeKind::tkString: return "String";
    case TTypeKind::tkClass: return "Class";
    case TTypeKind::tkComponent: return "Component";
    case TTypeKind::tkMethod: return "Method";
    }
    return "?";
}

int TEnumInfo::ValueOf(std::string_view Name) const
{
    for (size_t i = 0; i < Names.size(); ++i)
        if (SameText(Names[i], Name))
            return static_cast<int>(i);
    return -1;
}

std::string TEnumInfo::NameOf(int64_t Value) const
{
    if (Value < 0 || Value >= static_cast<int64_t>(Names.size()))
        return {};
    return Names[static_cast<size_t>(Value)];
}

bool TPropInfo::IsWritable() const
{
    switch (Kind) {
    case TTypeKind::tkFloat: return static_cast<bool>(SetFloat);
    case TTypeKind::tkString: return static_cast<bool>(SetStr);
    case TTypeKind::tkClass:
    case TTypeKind::tkComponent: return static_cast<bool>(SetObj);
    case TTypeKind::tkMethod: return static_cast<bool>(SetMethod);
    default: return static_cast<bool>(SetOrd);
    }
}

bool TPropInfo::IsStored(const TObject& Instance) const { return StoredFn ? StoredFn(Instance) : StoredFlag; }

// ---------------------------------------------------------------------------------

TClassInfo::TClassInfo(std::string_view Name, TClass Parent, TDeclareFn Declare, TComponentCreator ComponentCreator,
                       TItemCreator ItemCreator, TPlainCreator PlainCreator)
    : FName(Name), FParent(Parent), FDeclare(Declare), FComponentCreator(ComponentCreator), FItemCreator(ItemCreator),
      FPlainCreator(PlainCreator)
{
}

bool TClassInfo::InheritsFrom(TClass AClass) const
{
    for (TClass c = this; c; c = c->FParent)
        if (c == AClass)
            return true;
    return false;
}

void TClassInfo::Build() const
{
    std::call_once(FBuilt, [this] {
        if (FParent)
            FAllProps = FParent->Properties();
        if (FDeclare)
            FDeclare(FOwnProps, this);
        for (const TPropInfo& p : FOwnProps) {
            // A redeclared name replaces the inherited property in its place.
            auto same = std::find_if(FAllProps.begin(), FAllProps.end(),
                                     [&](const TPropInfo* q) { return SameText(q->Name, p.Name); });
            if (same != FAllProps.end())
                *same = &p;
            else
                FAllProps.push_back(&p);
        }
    });
}

const std::vector<const TPropInfo*>& TClassInfo::Properties() const
{
    Build();
    return FAllProps;
}

const TPropInfo* TClassInfo::FindProperty(std::string_view Name) const
{
    for (const TPropInfo* p : Properties())
        if (SameText(p->Name, Name))
            return p;
    return nullptr;
}

// ---------------------------------------------------------------------------------
// Registry

namespace {

struct TRegistry {
    std::mutex Lock;
    std::unordered_map<std::string, TClass> Classes;  // nullptr: ambiguous name
};

TRegistry& Registry()
{
    static TRegistry r;
    return r;
}

}  // namespace

void RegisterClass(TClass AClass)
{
    TRegistry& r = Registry();
    std::lock_guard<std::mutex> g(r.Lock);
    auto [it, inserted] = r.Classes.try_emplace(LowerCase(AClass->ClassName()), AClass);
    if (!inserted && it->second != AClass)
        it->second = nullptr;
}

TClass GetClass(std::string_view Name)
{
    TRegistry& r = Registry();
    std::lock_guard<std::mutex> g(r.Lock);
    auto it = r.Classes.find(LowerCase(Name));
    return it == r.Classes.end() ? nullptr : it->second;
}

TClass FindClass(std::string_view Name)
{
    TClass c = GetClass(Name);
    if (!c) {
        TRegistry& r = Registry();
        std::lock_guard<std::mutex> g(r.Lock);
        if (r.Classes.count(LowerCase(Name)))
            throw EClassNotFound("Class " + std::string(Name) + " is ambiguous: two classes use that name");
        throw EClassNotFound("Class " + std::string(Name) + " not found");
    }
    return c;
}

bool detail::AutoRegisterClass(TClass AClass)
{
    RegisterClass(AClass);
    return true;
}

// ---------------------------------------------------------------------------------

TClass TManagedObject::StaticClass()
{
    static const TClassInfo info("TManagedObject", nullptr, nullptr, nullptr, nullptr, nullptr);
    return &info;
}

void Free(TObject* Obj)
{
    if (!Obj)
        return;
    if (auto* m = dynamic_cast<TManagedObject*>(Obj))
        m->BeforeDestruction();
    delete Obj;
}

// ---------------------------------------------------------------------------------
// Property access

const TPropInfo* GetPropInfo(const TManagedObject& Instance, std::string_view Name)
{
    return Instance.ClassType()->FindProperty(Name);
}

const std::vector<const TPropInfo*>& GetPropList(const TManagedObject& Instance)
{
    return Instance.ClassType()->Properties();
}

std::vector<const TPropInfo*> GetSortedPropList(TClass AClass)
{
    std::vector<const TPropInfo*> r = AClass->Properties();
    std::stable_sort(r.begin(), r.end(),
                     [](const TPropInfo* a, const TPropInfo* b) { return LowerCase(a->Name) < LowerCase(b->Name); });
    return r;
}

namespace {

const TPropInfo& NeedProp(const TManagedObject& Instance, std::string_view Name)
{
    const TPropInfo* p = GetPropInfo(Instance, Name);
    if (!p)
        throw EPropertyError("Property " + std::string(Name) + " does not exist in " + Instance.ClassName());
    return *p;
}

bool IsOrdinal(TTypeKind K)
{
    return K == TTypeKind::tkInteger || K == TTypeKind::tkInt64 || K == TTypeKind::tkEnumeration ||
        K == TTypeKind::tkBoolean || K == TTypeKind::tkSet;
}

[[noreturn]] void WrongKind(const TPropInfo& P, const char* Wanted)
{
    throw EPropertyError("Property " + P.Name + " is of kind " + TypeKindName(P.Kind) + ", not " + Wanted);
}

[[noreturn]] void ReadOnly(const TPropInfo& P) { throw EPropertyError("Property " + P.Name + " is read-only"); }

}  // namespace

int64_t GetOrdProp(const TManagedObject& Instance, std::string_view Name)
{
    const TPropInfo& p = NeedProp(Instance, Name);
    if (!IsOrdinal(p.Kind))
        WrongKind(p, "ordinal");
    return p.GetOrd(Instance);
}

void SetOrdProp(TManagedObject& Instance, std::string_view Name, int64_t Value)
{
    const TPropInfo& p = NeedProp(Instance, Name);
    if (!IsOrdinal(p.Kind))
        WrongKind(p, "ordinal");
    if (!p.SetOrd)
        ReadOnly(p);
    p.SetOrd(Instance, Value);
}

long double GetFloatProp(const TManagedObject& Instance, std::string_view Name)
{
    const TPropInfo& p = NeedProp(Instance, Name);
    if (p.Kind != TTypeKind::tkFloat)
        WrongKind(p, "Float");
    return p.GetFloat(Instance);
}

void SetFloatProp(TManagedObject& Instance, std::string_view Name, long double Value)
{
    const TPropInfo& p = NeedProp(Instance, Name);
    if (p.Kind != TTypeKind::tkFloat)
        WrongKind(p, "Float");
    if (!p.SetFloat)
        ReadOnly(p);
    p.SetFloat(Instance, Value);
}

std::string GetStrProp(const TManagedObject& Instance, std::string_view Name)
{
    const TPropInfo& p = NeedProp(Instance, Name);
    if (p.Kind != TTypeKind::tkString)
        WrongKind(p, "String");
    return p.GetStr(Instance);
}

void SetStrProp(TManagedObject& Instance, std::string_view Name, const std::string& Value)
{
    const TPropInfo& p = NeedProp(Instance, Name);
    if (p.Kind != TTypeKind::tkString)
        WrongKind(p, "String");
    if (!p.SetStr)
        ReadOnly(p);
    p.SetStr(Instance, Value);
}

TObject* GetObjectProp(const TManagedObject& Instance, std::string_view Name)
{
    const TPropInfo& p = NeedProp(Instance, Name);
    if (p.Kind != TTypeKind::tkClass && p.Kind != TTypeKind::tkComponent)
        WrongKind(p, "Class");
    return p.GetObj(Instance);
}

void SetObjectProp(TManagedObject& Instance, std::string_view Name, TObject* Value)
{
    const TPropInfo& p = NeedProp(Instance, Name);
    if (p.Kind != TTypeKind::tkClass && p.Kind != TTypeKind::tkComponent)
        WrongKind(p, "Class");
    if (!p.SetObj)
        ReadOnly(p);
    p.SetObj(Instance, Value);
}

std::string GetEnumProp(const TManagedObject& Instance, std::string_view Name)
{
    const TPropInfo& p = NeedProp(Instance, Name);
    int64_t v = p.GetOrd ? p.GetOrd(Instance) : 0;
    if (p.Kind == TTypeKind::tkBoolean)
        return v ? "True" : "False";
    if (p.Kind != TTypeKind::tkEnumeration)
        WrongKind(p, "Enumeration");
    return p.Enum->NameOf(v);
}

void SetEnumProp(TManagedObject& Instance, std::string_view Name, std::string_view Value)
{
    const TPropInfo& p = NeedProp(Instance, Name);
    int64_t v;
    if (p.Kind == TTypeKind::tkBoolean) {
        if (SameText(Value, "True"))
            v = 1;
        else if (SameText(Value, "False"))
            v = 0;
        else
            throw EPropertyError("Invalid value " + std::string(Value) + " for Boolean property " + p.Name);
    } else {
        if (p.Kind != TTypeKind::tkEnumeration)
            WrongKind(p, "Enumeration");
        v = p.Enum->ValueOf(Value);
        if (v < 0)
            throw EPropertyError("Invalid value " + std::string(Value) + " for " + p.TypeName + " property " + p.Name);
    }
    if (!p.SetOrd)
        ReadOnly(p);
    p.SetOrd(Instance, v);
}

bool IsDefaultPropertyValue(const TManagedObject& Instance, const TPropInfo& Prop)
{
    switch (Prop.Kind) {
    case TTypeKind::tkFloat: return Prop.GetFloat(Instance) == 0;
    case TTypeKind::tkString: return Prop.GetStr(Instance).empty();
    case TTypeKind::tkClass:
    case TTypeKind::tkComponent: return Prop.GetObj(Instance) == nullptr;
    case TTypeKind::tkMethod: return !Prop.HasMethod(Instance);
    default: return Prop.HasDefault && Prop.GetOrd(Instance) == Prop.Default;
    }
}

// ---------------------------------------------------------------------------------
// TPersistent

void TPersistent::Assign(TPersistent* Source)
{
    if (Source)
        Source->AssignTo(this);
    else
        AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest) { Dest->AssignError(this); }

void TPersistent::AssignError(const TPersistent* Source) const
{
    std::string src = Source ? Source->ClassName() : "nil";
    throw EConvertError("Cannot assign a " + src + " to a " + ClassName());
}

void TPersistent::DefineProperties(TFiler&) {}

std::string TPersistent::GetNamePath() const
{
    TPersistent* owner = GetOwner();
    if (owner) {
        for (const TPropInfo* p : GetPropList(*owner))
            if (p->Kind == TTypeKind::tkClass && p->GetObj(*owner) == this) {
                std::string base = owner->GetNamePath();
                return base.empty() ? p->Name : base + "." + p->Name;
            }
    }
    return ClassName();
}

// ---------------------------------------------------------------------------------
// TComponent

bool IsValidIdent(std::string_view Ident, bool AllowDots)
{
    // ASCII letters, digits and underscores, whatever the process locale.
    auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (Ident.empty())
        return false;
    bool start = true;
    for (char c : Ident) {
        if (start) {
            if (!letter(c))
                return false;
            start = false;
        } else if (c == '.' && AllowDots) {
            start = true;
        } else if (!letter(c) && !digit(c)) {
            return false;
        }
    }
    return !start;
}

void TComponent::DeclareProperties(TClassBuilder<TComponent>& P)
{
    // The name travels in each object's header, not among its properties.
    P.String("Name", &TComponent::FName, &TComponent::SetName).Stored(false);
    P.Integer("Tag", &TComponent::FTag).Default(0);
}

TComponent::TComponent(TComponent* AOwner)
{
    if (AOwner)
        AOwner->InsertComponent(this);
}

void TComponent::BeforeDestruction()
{
    Destroying();
    RemoveFreeNotifications();
    if (FOwner)
        FOwner->RemoveComponent(this);
}

TComponent::~TComponent()
{
    // Normally BeforeDestruction did this already; a plain delete still leaves no
    // dangling links behind.
    Destroying();
    RemoveFreeNotifications();
    DestroyComponents();
    if (FOwner)
        FOwner->RemoveComponent(this);
}

void TComponent::Destroying()
{
    if (FState.Contains(csDestroying))
        return;
    FState.Bits |= csDestroying;
    for (TComponent* c : FComponents)
        c->Destroying();
}

void TComponent::DestroyComponents()
{
    while (!FComponents.empty()) {
        TComponent* c = FComponents.back();
        if (c->FState.Contains(csFreeNotification))
            RemoveComponent(c);
        else
            Remove(c);
        Free(c);
    }
}

TComponent* TComponent::Components(int Index) const
{
    if (Index < 0 || Index >= ComponentCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FComponents[static_cast<size_t>(Index)];
}

int TComponent::ComponentIndex() const
{
    if (!FOwner)
        return -1;
    auto& v = FOwner->FComponents;
    auto it = std::find(v.begin(), v.end(), this);
    return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

TComponent* TComponent::FindComponent(std::string_view AName) const
{
    if (AName.empty())
        return nullptr;
    for (TComponent* c : FComponents)
        if (SameText(c->FName, AName))
            return c;
    return nullptr;
}

void TComponent::SetName(const std::string& NewName)
{
    if (FName == NewName)
        return;
    if (!NewName.empty() && !IsValidIdent(NewName))
        throw EComponentError("'" + NewName + "' is not a valid component name");
    if (FOwner)
        FOwner->ValidateRename(this, FName, NewName);
    else
        ValidateRename(nullptr, FName, NewName);
    FName = NewName;
}

void TComponent::ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName)
{
    if (AComponent && !SameText(CurName, NewName) && AComponent->FOwner == this && FindComponent(NewName))
        throw EComponentError("A component named " + NewName + " already exists");
}

void TComponent::Insert(TComponent* AComponent)
{
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent)
{
    auto it = std::find(FComponents.begin(), FComponents.end(), AComponent);
    if (it != FComponents.end())
        FComponents.erase(it);
    AComponent->FOwner = nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent)
{
    ValidateRename(AComponent, "", AComponent->FName);
    Insert(AComponent);
    if (FState.Contains(csDesigning))
        AComponent->SetDesigning(true);
    Notification(AComponent, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent)
{
    Notification(AComponent, TOperation::opRemove);
    Remove(AComponent);
}

void TComponent::SetDesigning(bool Value, bool SetChildren)
{
    if (Value)
        FState.Bits |= csDesigning;
    else
        FState.Bits &= ~static_cast<uint32_t>(csDesigning);
    if (SetChildren)
        for (TComponent* c : FComponents)
            c->SetDesigning(Value, true);
}

void TComponent::SetLoadingState(uint32_t Flags, bool On)
{
    if (On)
        FState.Bits |= Flags;
    else
        FState.Bits &= ~Flags;
}

bool TComponent::IsLoadingInChain() const
{
    for (const TComponent* c = this; c; c = c->FOwner)
        if (c->FState.Contains(csLoading))
            return true;
    return false;
}

void TComponent::Loaded() { FState.Bits &= ~static_cast<uint32_t>(csLoading); }

void TComponent::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == TOperation::opRemove && AComponent)
        RemoveFreeNotification(AComponent);
    // Owned components may go away while they are told; index anew each round.
    for (size_t i = 0; i < FComponents.size(); ++i)
        FComponents[i]->Notification(AComponent, Operation);
}

void TComponent::FreeNotification(TComponent* AComponent)
{
    if (!AComponent || AComponent == this)
        return;
    if (!FOwner || AComponent->FOwner != FOwner) {
        if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
            FFreeNotifies.push_back(AComponent);
            AComponent->FreeNotification(this);
        }
    }
    FState.Bits |= csFreeNotification;
}

void TComponent::RemoveNotification(TComponent* AComponent)
{
    auto it = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent);
    if (it != FFreeNotifies.end())
        FFreeNotifies.erase(it);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent)
{
    RemoveNotification(AComponent);
    AComponent->RemoveNotification(this);
}

void TComponent::RemoveFreeNotifications()
{
    while (!FFreeNotifies.empty()) {
        TComponent* c = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        c->RemoveNotification(this);
        c->Notification(this, TOperation::opRemove);
    }
}

void TComponent::GetChildren(const TGetChildProc&, TComponent*) {}

void TComponent::SetParentComponent(TComponent*) {}

void TComponent::RegisterMethod(const std::string& AName, std::any Handler)
{
    if (!IsValidIdent(AName))
        throw EComponentError("'" + AName + "' is not a valid handler name");
    if (!FMethods)
        FMethods = std::make_unique<std::map<std::string, std::any, std::less<>>>();
    (*FMethods)[LowerCase(AName)] = std::move(Handler);
}

const std::any* TComponent::FindMethod(std::string_view AName) const
{
    if (!FMethods)
        return nullptr;
    auto it = FMethods->find(LowerCase(AName));
    return it == FMethods->end() ? nullptr : &it->second;
}

std::string TComponent::MethodName(std::string_view PropName) const
{
    auto it = FMethodNames.find(LowerCase(PropName));
    return it == FMethodNames.end() ? std::string() : it->second;
}

void TComponent::SetMethodByName(const TPropInfo& Prop, TComponent* Root, const std::string& Handler)
{
    if (Prop.Kind != TTypeKind::tkMethod)
        WrongKind(Prop, "Method");
    if (Handler.empty()) {
        ClearMethod(Prop);
        return;
    }
    const std::any* h = Root ? Root->FindMethod(Handler) : nullptr;
    if (!h)
        throw EPropertyError(
            "Handler " + Handler + " for " + FName + "." + Prop.Name + " not found in " +
            (Root ? (Root->FName.empty() ? Root->ClassName() : Root->FName) : std::string("(no root)")));
    Prop.SetMethod(*this, *h);
    FMethodNames[LowerCase(Prop.Name)] = Handler;
}

void TComponent::ClearMethod(const TPropInfo& Prop)
{
    Prop.SetMethod(*this, std::any());
    FMethodNames.erase(LowerCase(Prop.Name));
}

// ---------------------------------------------------------------------------------
// Collections

TCollectionItem::TCollectionItem(TCollection* ACollection) { SetCollection(ACollection); }

TCollectionItem::~TCollectionItem()
{
    if (FCollection)
        FCollection->RemoveItem(this, false);
}

void TCollectionItem::AfterConstruction()
{
    if (FCollection && !FAnnounced) {
        FAnnounced = true;
        FCollection->Notify(this, TCollectionNotification::cnAdded);
        FCollection->Changed();
    }
}

void TCollectionItem::BeforeDestruction()
{
    if (FCollection)
        FCollection->RemoveItem(this, true);
}

void TCollectionItem::SetCollection(TCollection* Value)
{
    if (FCollection == Value)
        return;
    if (FCollection)
        FCollection->RemoveItem(this, true);
    if (Value) {
        Value->InsertItem(this);
        // Moving an existing item announces it at once; a new one waits until it is whole.
        if (FAnnounced) {
            Value->Notify(this, TCollectionNotification::cnAdded);
            Value->Changed();
        }
    }
}

int TCollectionItem::Index() const
{
    if (!FCollection)
        return -1;
    auto& v = FCollection->FItems;
    auto it = std::find(v.begin(), v.end(), this);
    return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

void TCollectionItem::SetIndex(int Value)
{
    int cur = Index();
    if (cur < 0 || cur == Value)
        return;
    auto& v = FCollection->FItems;
    if (Value < 0 || Value >= static_cast<int>(v.size()))
        throw EListError("List index out of bounds (" + std::to_string(Value) + ")");
    FCollection->EditItems([&] {
        v.erase(v.begin() + cur);
        v.insert(v.begin() + Value, this);
    });
    Changed(true);
}

std::string TCollectionItem::DisplayName() const { return ClassName(); }

std::string TCollectionItem::GetNamePath() const
{
    if (!FCollection)
        return ClassName();
    return FCollection->GetNamePath() + "[" + std::to_string(Index()) + "]";
}

TPersistent* TCollectionItem::GetOwner() const { return FCollection; }

void TCollectionItem::Changed(bool AllItems)
{
    if (FCollection && FCollection->FUpdateCount == 0)
        FCollection->Update(AllItems ? nullptr : this);
}

TCollection::TCollection(TClass ItemClass) : FItemClass(ItemClass)
{
    if (!ItemClass || !ItemClass->InheritsFrom(TCollectionItem::StaticClass()))
        throw EComponentError("A collection needs a collection item class");
}

TCollection::~TCollection()
{
    FDestroying = true;
    FUpdateCount = 1;
    while (!FItems.empty())
        Free(FItems.back());
}

TCollectionItem* TCollection::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FItems[static_cast<size_t>(Index)];
}

TCollectionItem* TCollection::Add()
{
    auto create = FItemClass->ItemCreator();
    if (!create)
        throw EComponentError("Collection item class " + FItemClass->ClassName() + " cannot be created");
    return create(this);
}

TCollectionItem* TCollection::Insert(int Index)
{
    TCollectionItem* item = Add();
    item->SetIndex(Index);
    return item;
}

void TCollection::Delete(int Index)
{
    TCollectionItem* item = Items(Index);
    Notify(item, TCollectionNotification::cnDeleting);
    // The item leaves the list without a second (extracting) notice.
    RemoveItem(item, false);
    Free(item);
}

void TCollection::Clear()
{
    if (FItems.empty())
        return;
    BeginUpdate();
    try {
        while (!FItems.empty())
            Free(FItems.back());
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

TCollectionItem* TCollection::FindItemID(int ID) const
{
    for (TCollectionItem* i : FItems)
        if (i->FID == ID)
            return i;
    return nullptr;
}

void TCollection::BeginUpdate() { ++FUpdateCount; }

void TCollection::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        Changed();
}

void TCollection::Changed()
{
    if (FUpdateCount == 0)
        Update(nullptr);
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}

void TCollection::Assign(TPersistent* Source)
{
    auto* src = As<TCollection>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    if (src == this)
        return;
    BeginUpdate();
    try {
        Clear();
        for (TCollectionItem* i : src->FItems)
            Add()->Assign(i);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

std::string TCollection::GetNamePath() const
{
    TPersistent* owner = GetOwner();
    if (!owner)
        return ClassName();
    for (const TPropInfo* p : GetPropList(*owner))
        if (p->Kind == TTypeKind::tkClass && p->GetObj(*owner) == this) {
            std::string base = owner->GetNamePath();
            return base.empty() ? p->Name : base + "." + p->Name;
        }
    return ClassName();
}

void TCollection::InsertItem(TCollectionItem* Item)
{
    EditItems([&] { FItems.push_back(Item); });
    Item->FCollection = this;
    Item->FID = FNextID++;
}

void TCollection::RemoveItem(TCollectionItem* Item, bool Announce)
{
    if (Announce && Item->FAnnounced && !FDestroying)
        Notify(Item, TCollectionNotification::cnExtracting);
    EditItems([&] {
        auto it = std::find(FItems.begin(), FItems.end(), Item);
        if (it != FItems.end())
            FItems.erase(it);
    });
    Item->FCollection = nullptr;
    if (!FDestroying)
        Changed();
}

}  // namespace dcs
