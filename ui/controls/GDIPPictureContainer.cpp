#include "ui/controls/GDIPPictureContainer.h"

#include "platform/base/Strings.h"

namespace dcs::smooth {

TPictureItem::TPictureItem(TCollection* ACollection)
    : TCollectionItem(ACollection), FPicture(std::make_unique<TSmGDIPPicture>())
{
}

TPictureItem::~TPictureItem() = default;

void TPictureItem::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TPictureItem*>(Source);
    if (!s)
        throw EInvalidCast("Invalid class typecast");
    Name = s->Name;
    Tag = s->Tag;
    FPicture->AssignPicture(s->FPicture.get());
}

TGDIPPictureContainer::TGDIPPictureContainer(TComponent* AOwner)
    : TComponent(AOwner), FItems(std::make_unique<TPictureCollection>(this))
{
}

TGDIPPictureContainer::~TGDIPPictureContainer() = default;

TSmGDIPPicture* TGDIPPictureContainer::FindPicture(const std::string& Name) const
{
    const std::string want = UpperCase(Name);
    for (int i = 0; i < FItems->Count(); ++i)
        if (UpperCase(FItems->Items(i)->Name) == want)
            return FItems->Items(i)->Picture();
    return nullptr;
}

void TGDIPPictureContainer::AddFromResource(const std::string& ResourceName, const std::string& PictureName)
{
    TPictureItem* item = FItems->Add();
    item->Picture()->LoadFromResourceName(ResourceName);
    item->Name = PictureName;
}

}  // namespace dcs::smooth
