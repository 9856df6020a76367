// Bases of every processing component and of the sub-objects it publishes. A component
// owns one lock; its sub-objects and collections hold copies of it that share the same
// pin lock but raise their own change notification. A component starts working in
// ComponentReady, once it is complete. Float properties equal to zero, which the stream
// leaves out, are kept in the stored property "_Floats".
#pragma once

#include "components/pins/CKLock.h"
#include "components/pins/PNObject.h"
#include "platform/classes/Classes.h"

#include <string>
#include <vector>

namespace dcs {

class TCKCollectionItem;

// Copies the published properties of ASource into ADest by name (ASource must publish
// every property of ADest): values with writers, sub-objects by their own Assign; never
// components, pins or pin lists.
void AssignPublishedProperties(TPersistent& ADest, TPersistent& ASource, bool ASkipName);

// Defines "_Floats" on AFiler for AInstance's published float properties.
void DefineFloatsProperty(TFiler& AFiler, TPersistent& AInstance);

class TCKComponent : public TComponent {
    DCS_CLASS(TCKComponent, TComponent)

    explicit TCKComponent(TComponent* AOwner);

    void DefineProperties(TFiler& Filer) override;
    void Assign(TPersistent* Source) override;
    void Loaded() override;
    void AfterConstruction() override;

    // The component's lock; sub-objects are made with it.
    const IntfPtr<ICKLock>& Lock() const { return FLock; }

protected:
    // Runs once the component is complete: at the end of construction when no owner is
    // loading, or after Loaded when read from a stream; never while designing.
    virtual void ComponentReady() {}
    // Raised by the lock's setters after a change, under the write lock.
    virtual void PropertyChanged() {}

    IntfPtr<ICKLock> FLock;
};

class TCKPersistent : public TPersistent {
    DCS_CLASS(TCKPersistent, TPersistent)

    // There is no sub-object without a lock: raises Exception.
    TCKPersistent();
    // Publishes itself through AOwnerProperty (a component or any persistent) and guards
    // itself with a copy of ALock.
    TCKPersistent(TPersistent* AOwnerProperty, ICKLock& ALock);
    explicit TCKPersistent(TCKPersistent* AOwner);
    explicit TCKPersistent(TCKCollectionItem* AOwner);

    void DefineProperties(TFiler& Filer) override;
    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() const override { return FOwnerProperty; }

    const IntfPtr<ICKLock>& Lock() const { return FLock; }

    virtual void PropertyChanged() {}
    virtual void OwnerNameChanged(const std::string& /*AOldName*/, const std::string& /*ANewName*/) {}

protected:
    IntfPtr<ICKLock> FLock;
    TPersistent* FOwnerProperty = nullptr;
};

class TCKPersistentNotify : public TCKPersistent {
    DCS_CLASS(TCKPersistentNotify, TCKPersistent)

    TCKPersistentNotify(TPersistent* AOwnerProperty, ICKLock& ALock, TNotifyEvent AOnChange = {})
        : TCKPersistent(AOwnerProperty, ALock), FOnChange(std::move(AOnChange))
    {
    }
    explicit TCKPersistentNotify(TCKPersistent* AOwner, TNotifyEvent AOnChange = {})
        : TCKPersistent(AOwner), FOnChange(std::move(AOnChange))
    {
    }
    explicit TCKPersistentNotify(TCKCollectionItem* AOwner, TNotifyEvent AOnChange = {})
        : TCKPersistent(AOwner), FOnChange(std::move(AOnChange))
    {
    }

    void PropertyChanged() override
    {
        if (FOnChange)
            FOnChange(this);
    }
    void SetOnChange(TNotifyEvent AValue) { FOnChange = std::move(AValue); }

protected:
    TNotifyEvent FOnChange;
};

class TCKMasterPumping : public TCKPersistent {
    DCS_CLASS(TCKMasterPumping, TCKPersistent)
    using TCKPersistent::TCKPersistent;

    bool Enabled = false;
    std::int32_t Priority = 0;

    static void DeclareProperties(TClassBuilder<TCKMasterPumping>& P);
};

// ---- collections ----

class TPNExtCollectionItem : public TCollectionItem {
    DCS_CLASS(TPNExtCollectionItem, TCollectionItem)
    using TCollectionItem::TCollectionItem;
    ~TPNExtCollectionItem() override;

    // Where a property editor keeps a reference to this item; cleared when it goes.
    TPNExtCollectionItem** CurrentEditorPtr = nullptr;
};

class TCKCollectionItem : public TPNExtCollectionItem {
    DCS_CLASS(TCKCollectionItem, TPNExtCollectionItem)

    // Guarded by a copy of the collection's lock (a TCKCollection's).
    explicit TCKCollectionItem(TCollection* Collection);

    void DefineProperties(TFiler& Filer) override;
    void Assign(TPersistent* Source) override;
    const IntfPtr<ICKLock>& Lock() const { return FLock; }

    virtual void PropertyChanged() {}

protected:
    // An item whose lock is chosen by its class keeps ALock.
    TCKCollectionItem(TCollection* Collection, IntfPtr<ICKLock> ALock);

    IntfPtr<ICKLock> FLock;
};

// Told of every item added to or removed from a collection it listens to.
class IPNCollectionListener : public virtual IInterface {
public:
    static constexpr TGUID IID = MakeGUID("{8E1F3A0C-54B2-4C1D-9A47-2F6D0B8C3E51}");
    virtual void CollectionItemAdded(TCollection* ACollection, TCollectionItem* AItem) = 0;
    virtual void CollectionItemRemoved(TCollection* ACollection, TCollectionItem* AItem) = 0;

protected:
    ~IPNCollectionListener() = default;
};

class TPNExtCollection : public TCollection {
    DCS_CLASS(TPNExtCollection, TCollection)

    TPNExtCollection(TPersistent* AOwner, TClass ItemClass) : TCollection(ItemClass), FOwner(AOwner) {}

    TPersistent* GetOwner() const override { return FOwner; }
    void AddListener(const IntfPtr<IPNCollectionListener>& AListener);
    void RemoveListener(const IntfPtr<IPNCollectionListener>& AListener);

    // -1 after every change of the item set.
    int LastIndicatedCount = -1;

protected:
    void Notify(TCollectionItem* Item, TCollectionNotification Action) override;
    virtual void BroadcastItemAdded(TCollectionItem* Item);
    virtual void BroadcastItemRemoved(TCollectionItem* Item);
    virtual void ItemAdded(TCollectionItem* /*Item*/) {}

    TPersistent* FOwner;
    std::vector<IntfPtr<IPNCollectionListener>> FNotifyList;
};

class TCKCollection : public TPNExtCollection {
    DCS_CLASS(TCKCollection, TPNExtCollection)

    // With a lock of its own.
    TCKCollection(TPersistent* AOwner, TClass ItemClass);
    // With ALock itself (the same lock, and its notification).
    TCKCollection(TPersistent* AOwner, const IntfPtr<ICKLock>& ALock, TClass ItemClass);
    // With a copy of the owner's lock that notifies this collection.
    TCKCollection(TComponent* AOwner, const IntfPtr<ICKLock>& ALock, TClass ItemClass);
    TCKCollection(TCKPersistent* AOwner, TClass ItemClass);
    TCKCollection(TCKCollectionItem* AOwner, TClass ItemClass);

    void Assign(TPersistent* Source) override;
    const IntfPtr<ICKLock>& Lock() const { return FLock; }

    virtual void PropertyChanged() {}

protected:
    IntfPtr<ICKLock> FLock;
};

}  // namespace dcs
