// A non-visual component holding named pictures, so several controls can share one
// picture by name. GUI thread only.
#pragma once

#include "platform/classes/Classes.h"
#include "ui/controls/SmGDIPPicture.h"

#include <memory>
#include <string>

namespace dcs::smooth {

class TPictureItem : public TCollectionItem {
    DCS_CLASS(TPictureItem, TCollectionItem)

    explicit TPictureItem(TCollection* ACollection);
    ~TPictureItem() override;
    TSmGDIPPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TSmGDIPPicture* Value) { FPicture->Assign(Value); }
    std::string Name;
    int32_t Tag = 0;
    // From another picture item only; any other source is an invalid cast.
    void Assign(TPersistent* Source) override;

private:
    std::unique_ptr<TSmGDIPPicture> FPicture;
};

class TPictureCollection : public TOwnedCollection {
    DCS_CLASS(TPictureCollection, TOwnedCollection)

    explicit TPictureCollection(TPersistent* AOwner) : TOwnedCollection(AOwner, TPictureItem::StaticClass()) {}
    TPictureItem* Add() { return static_cast<TPictureItem*>(TCollection::Add()); }
    TPictureItem* Insert(int Index) { return static_cast<TPictureItem*>(TCollection::Insert(Index)); }
    TPictureItem* Items(int Index) const { return static_cast<TPictureItem*>(TCollection::Items(Index)); }
    void SetItems(int Index, TPictureItem* Value) { Items(Index)->Assign(Value); }
};

class TGDIPPictureContainer : public TComponent {
    DCS_CLASS(TGDIPPictureContainer, TComponent)

    explicit TGDIPPictureContainer(TComponent* AOwner);
    ~TGDIPPictureContainer() override;
    TPictureCollection* Items() const { return FItems.get(); }
    void SetItems(TPictureCollection* Value) { FItems->Assign(Value); }
    std::string Version() const { return "1.0.0.0"; }
    void SetVersion(const std::string&) {}

    // The picture of the first item whose name matches without regard to case; null
    // when none does. The item keeps the picture.
    TSmGDIPPicture* FindPicture(const std::string& Name) const;
    // Appends an item named PictureName with the picture of the named raw resource.
    void AddFromResource(const std::string& ResourceName, const std::string& PictureName);

private:
    std::unique_ptr<TPictureCollection> FItems;
};

}  // namespace dcs::smooth
