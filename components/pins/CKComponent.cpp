#include "components/pins/CKComponent.h"

#include "components/pins/PNPinList.h"

#include "platform/base/Strings.h"
#include "platform/classes/Streaming.h"

#include <algorithm>

namespace dcs {

namespace {

bool IsStoredFloat(const TPropInfo& P)
{
    return P.Kind == TTypeKind::tkFloat && !SameText(P.TypeName, "TDateTime") && !SameText(P.TypeName, "TDate") &&
        !SameText(P.TypeName, "TTime");
}

IntfPtr<ICKLock> CopyOf(ICKLock* ALock, TCKPropUpdateFunc ANotify)
{
    return ALock ? TCKLock::CreateCopy(*ALock, std::move(ANotify)) : TCKLock::Create(std::move(ANotify));
}

}  // namespace

void AssignPublishedProperties(TPersistent& ADest, TPersistent& ASource, bool ASkipName)
{
    for (const TPropInfo* p : GetSortedPropList(ADest.ClassType())) {
        if ((ASkipName && SameText(p->Name, "Name")) || !p->StoredFlag)
            continue;
        const TPropInfo& from = *GetPropInfo(ASource, p->Name);
        switch (p->Kind) {
        case TTypeKind::tkFloat:
            if (p->IsWritable())
                p->SetFloat(ADest, from.GetFloat(ASource));
            break;
        case TTypeKind::tkString:
            if (p->IsWritable())
                p->SetStr(ADest, from.GetStr(ASource));
            break;
        case TTypeKind::tkMethod:
            if (p->IsWritable())
                p->SetMethod(ADest, from.GetMethod(ASource));
            break;
        case TTypeKind::tkClass:
        case TTypeKind::tkComponent: {
            // Components are referenced, not owned, and pins belong to their own owner.
            auto* dest = dynamic_cast<TPersistent*>(p->GetObj(ADest));
            auto* src = dynamic_cast<TPersistent*>(from.GetObj(ASource));
            if (dest && src && !dynamic_cast<TComponent*>(dest) && !dynamic_cast<TPNObject*>(dest))
                dest->Assign(src);
            break;
        }
        default:
            if (p->IsWritable())
                p->SetOrd(ADest, from.GetOrd(ASource));
            break;
        }
    }
}

void DefineFloatsProperty(TFiler& AFiler, TPersistent& AInstance)
{
    std::vector<const TPropInfo*> zeros;
    for (const TPropInfo* p : GetSortedPropList(AInstance.ClassType()))
        if (IsStoredFloat(*p) && p->GetFloat(AInstance) == 0)  // -0.0 counts too
            zeros.push_back(p);

    auto read = [&AInstance](TReader& R) {
        R.ReadListBegin();
        while (R.NextValue() == vaList) {
            R.ReadListBegin();
            const std::string name = R.ReadIdent();
            const long double value = R.ReadFloat();
            try {
                const TPropInfo* p = AInstance.ClassType()->FindProperty(name);
                if (p && p->Kind == TTypeKind::tkFloat && p->SetFloat)
                    p->SetFloat(AInstance, static_cast<double>(value));
            } catch (const std::exception&) {
                // A value the property refuses is skipped like an unknown name.
            }
            R.ReadListEnd();
        }
        R.ReadListEnd();
    };
    auto write = [&AInstance, zeros](TWriter& W) {
        W.WriteListBegin();
        for (const TPropInfo* p : zeros) {
            W.WriteListBegin();
            W.WriteIdent(p->Name);
            W.WriteFloat(p->GetFloat(AInstance));
            W.WriteListEnd();
        }
        W.WriteListEnd();
    };
    AFiler.DefineProperty("_Floats", read, write, !zeros.empty());
}

// ------------------------------------------------------------------ TCKComponent

TCKComponent::TCKComponent(TComponent* AOwner)
    : TComponent(AOwner), FLock(TCKLock::Create([this] { PropertyChanged(); }))
{
}

void TCKComponent::DefineProperties(TFiler& Filer)
{
    TComponent::DefineProperties(Filer);
    DefineFloatsProperty(Filer, *this);
}

void TCKComponent::Assign(TPersistent* Source)
{
    IPNLockSection section = FLock->WriteLock();
    if (auto* src = As<TCKComponent>(Source))
        AssignPublishedProperties(*this, *src, true);
    else
        TComponent::Assign(Source);
}

void TCKComponent::AfterConstruction()
{
    TComponent::AfterConstruction();
    if (ComponentState().ContainsAny(csDesigning | csLoading) || IsLoadingInChain())
        return;
    ComponentReady();
}

void TCKComponent::Loaded()
{
    TComponent::Loaded();
    // Links stored at one end only are made once the whole window exists.
    ClaimPlaceholdersOf(this);
    if (!ComponentState().Contains(csDesigning))
        ComponentReady();
}

// ----------------------------------------------------------------- TCKPersistent

TCKPersistent::TCKPersistent() { throw Exception("Calling TCKPersistent.Create without lock!"); }

TCKPersistent::TCKPersistent(TPersistent* AOwnerProperty, ICKLock& ALock) : FOwnerProperty(AOwnerProperty)
{
    FLock = TCKLock::CreateCopy(ALock, [this] { PropertyChanged(); });
}

TCKPersistent::TCKPersistent(TCKPersistent* AOwner) : FOwnerProperty(AOwner)
{
    FLock = CopyOf(AOwner ? AOwner->FLock.Get() : nullptr, [this] { PropertyChanged(); });
}

TCKPersistent::TCKPersistent(TCKCollectionItem* AOwner) : FOwnerProperty(AOwner)
{
    FLock = CopyOf(AOwner ? AOwner->Lock().Get() : nullptr, [this] { PropertyChanged(); });
}

void TCKPersistent::DefineProperties(TFiler& Filer)
{
    TPersistent::DefineProperties(Filer);
    DefineFloatsProperty(Filer, *this);
}

void TCKPersistent::Assign(TPersistent* Source)
{
    IPNLockSection section = FLock->WriteLock();
    if (auto* src = As<TCKPersistent>(Source))
        AssignPublishedProperties(*this, *src, false);
    else
        TPersistent::Assign(Source);
}

void TCKMasterPumping::DeclareProperties(TClassBuilder<TCKMasterPumping>& P)
{
    P.Boolean("Enabled", &TCKMasterPumping::Enabled, &TCKMasterPumping::Enabled).Default(0);
    P.Integer("Priority", &TCKMasterPumping::Priority, &TCKMasterPumping::Priority).Default(0);
}

// ------------------------------------------------------------------- collections

TPNExtCollectionItem::~TPNExtCollectionItem()
{
    if (CurrentEditorPtr && *CurrentEditorPtr == this)
        *CurrentEditorPtr = nullptr;
}

TCKCollectionItem::TCKCollectionItem(TCollection* Collection) : TCKCollectionItem(Collection, nullptr) {}

TCKCollectionItem::TCKCollectionItem(TCollection* Collection, IntfPtr<ICKLock> ALock)
    : TPNExtCollectionItem(Collection), FLock(std::move(ALock))
{
    if (!FLock) {
        auto* owner = dynamic_cast<TCKCollection*>(Collection);
        FLock = CopyOf(owner ? owner->Lock().Get() : nullptr, [this] { PropertyChanged(); });
    }
}

void TCKCollectionItem::DefineProperties(TFiler& Filer)
{
    TPNExtCollectionItem::DefineProperties(Filer);
    DefineFloatsProperty(Filer, *this);
}

void TCKCollectionItem::Assign(TPersistent* Source)
{
    IPNLockSection section = FLock->WriteLock();
    if (auto* src = As<TCKCollectionItem>(Source))
        AssignPublishedProperties(*this, *src, true);
    else
        TPNExtCollectionItem::Assign(Source);
}

void TPNExtCollection::AddListener(const IntfPtr<IPNCollectionListener>& AListener)
{
    FNotifyList.push_back(AListener);
}

void TPNExtCollection::RemoveListener(const IntfPtr<IPNCollectionListener>& AListener)
{
    FNotifyList.erase(std::remove(FNotifyList.begin(), FNotifyList.end(), AListener), FNotifyList.end());
}

void TPNExtCollection::Notify(TCollectionItem* Item, TCollectionNotification Action)
{
    TCollection::Notify(Item, Action);
    if (Action == TCollectionNotification::cnAdded) {
        ItemAdded(Item);
        BroadcastItemAdded(Item);
    } else {
        BroadcastItemRemoved(Item);
    }
    LastIndicatedCount = -1;
}

void TPNExtCollection::BroadcastItemAdded(TCollectionItem* Item)
{
    const auto listeners = FNotifyList;
    for (const auto& l : listeners) {
        try {
            l->CollectionItemAdded(this, Item);
        } catch (...) {
            // One failing listener must not keep the others from hearing of the item.
        }
    }
}

void TPNExtCollection::BroadcastItemRemoved(TCollectionItem* Item)
{
    const auto listeners = FNotifyList;
    for (const auto& l : listeners) {
        try {
            l->CollectionItemRemoved(this, Item);
        } catch (...) {
        }
    }
}

TCKCollection::TCKCollection(TPersistent* AOwner, TClass ItemClass)
    : TPNExtCollection(AOwner, ItemClass), FLock(TCKLock::Create())
{
}

TCKCollection::TCKCollection(TPersistent* AOwner, const IntfPtr<ICKLock>& ALock, TClass ItemClass)
    : TPNExtCollection(AOwner, ItemClass), FLock(ALock)
{
}

TCKCollection::TCKCollection(TComponent* AOwner, const IntfPtr<ICKLock>& ALock, TClass ItemClass)
    : TPNExtCollection(AOwner, ItemClass)
{
    FLock = CopyOf(ALock.Get(), [this] { PropertyChanged(); });
}

TCKCollection::TCKCollection(TCKPersistent* AOwner, TClass ItemClass) : TPNExtCollection(AOwner, ItemClass)
{
    FLock = CopyOf(AOwner ? AOwner->Lock().Get() : nullptr, [this] { PropertyChanged(); });
}

TCKCollection::TCKCollection(TCKCollectionItem* AOwner, TClass ItemClass) : TPNExtCollection(AOwner, ItemClass)
{
    FLock = CopyOf(AOwner ? AOwner->Lock().Get() : nullptr, [this] { PropertyChanged(); });
}

void TCKCollection::Assign(TPersistent* Source)
{
    IPNLockSection section;
    if (FLock)
        section = FLock->WriteLock();
    if (auto* src = As<TCKCollection>(Source))
        AssignPublishedProperties(*this, *src, true);
    TPNExtCollection::Assign(Source);
}

}  // namespace dcs
