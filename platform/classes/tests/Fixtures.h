// Small component classes shared by the framework tests: a root that owns everything, a
// container that parents nested components, and a leaf that publishes one property of
// each kind.
#pragma once

#include "platform/classes/Classes.h"

#include <string>
#include <vector>

namespace dcs::testing {

inline const TEnumInfo kShapeInfo {"TShape", {"shCircle", "shSquare", "shTriangle"}};
enum TShape {
    shCircle,
    shSquare,
    shTriangle
};

// An owned sub-object published as a property.
class TFontLike : public TPersistent {
    DCS_CLASS(TFontLike, TPersistent)

    std::string FName;
    int32_t FHeight = -11;
    TPersistent* FOwner = nullptr;

    TPersistent* GetOwner() const override { return FOwner; }
    void Assign(TPersistent* Source) override
    {
        if (auto* f = As<TFontLike>(Source)) {
            FName = f->FName;
            FHeight = f->FHeight;
            return;
        }
        TPersistent::Assign(Source);
    }
    static void DeclareProperties(TClassBuilder<TFontLike>& P)
    {
        P.String("Name", &TFontLike::FName, &TFontLike::FName);
        P.Integer("Height", &TFontLike::FHeight, &TFontLike::FHeight).Default(-11);
    }
};

class TChannelItem : public TCollectionItem {
    DCS_CLASS(TChannelItem, TCollectionItem)
    using TCollectionItem::TCollectionItem;

    double FCoefficient = 1.0;
    void Assign(TPersistent* Source) override
    {
        if (auto* c = As<TChannelItem>(Source)) {
            FCoefficient = c->FCoefficient;
            return;
        }
        TCollectionItem::Assign(Source);
    }
    static void DeclareProperties(TClassBuilder<TChannelItem>& P)
    {
        P.Float("Coefficient", "Double", &TChannelItem::FCoefficient, &TChannelItem::FCoefficient);
    }
};

// Records the order of life-cycle calls of every TLeaf.
inline std::vector<std::string>& Journal()
{
    static std::vector<std::string> j;
    return j;
}

class TLeaf : public TComponent {
    DCS_CLASS(TLeaf, TComponent)

    explicit TLeaf(TComponent* AOwner) : TComponent(AOwner), FChannels(this, TChannelItem::StaticClass())
    {
        FFont.FOwner = this;
    }

    int32_t FCount = 0;
    int64_t FBig = 0;
    bool FEnabled = true;
    TShape FShape = shCircle;
    uint32_t FShapes = 0;
    double FFrequency = 500.0;
    long double FPrecise = 0;
    std::string FCaption;
    TFontLike FFont;
    TOwnedCollection FChannels;
    TComponent* FPartner = nullptr;
    TNotifyEvent FOnClick;
    int FLoadedCalls = 0;
    bool FPartnerSeenInLoaded = false;

    TFontLike* GetFont() const { return const_cast<TFontLike*>(&FFont); }
    void SetFont(TFontLike* F) { FFont.Assign(F); }
    TOwnedCollection* GetChannels() const { return const_cast<TOwnedCollection*>(&FChannels); }
    void SetChannels(TOwnedCollection* C) { FChannels.Assign(C); }
    void SetPartner(TComponent* C)
    {
        FPartner = C;
        if (C)
            C->FreeNotification(this);
    }
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TComponent::Notification(AComponent, Operation);
        if (Operation == TOperation::opRemove && AComponent == FPartner)
            FPartner = nullptr;
    }
    void Loaded() override
    {
        TComponent::Loaded();
        ++FLoadedCalls;
        FPartnerSeenInLoaded = FPartner != nullptr;
        Journal().push_back("Loaded " + Name());
    }
    void AfterConstruction() override { Journal().push_back("After " + ClassName()); }
    void BeforeDestruction() override
    {
        Journal().push_back("Before " + Name());
        TComponent::BeforeDestruction();
    }

    static void DeclareProperties(TClassBuilder<TLeaf>& P)
    {
        P.Integer("Count", &TLeaf::FCount, &TLeaf::FCount).Default(0);
        P.Int64("Big", &TLeaf::FBig, &TLeaf::FBig).Default(0);
        P.Boolean("Enabled", &TLeaf::FEnabled, &TLeaf::FEnabled).Default(true);
        P.Enum("Shape", kShapeInfo, &TLeaf::FShape, &TLeaf::FShape).Default(shCircle);
        P.Set("Shapes", "TShapes", kShapeInfo, &TLeaf::FShapes, &TLeaf::FShapes).Default(0);
        P.Float("Frequency", "Double", &TLeaf::FFrequency, &TLeaf::FFrequency);
        P.Float("Precise", "Extended", &TLeaf::FPrecise, &TLeaf::FPrecise);
        P.String("Caption", &TLeaf::FCaption, &TLeaf::FCaption);
        P.Object("Font", &TLeaf::GetFont, &TLeaf::SetFont);
        P.Object("Channels", &TLeaf::GetChannels, &TLeaf::SetChannels);
        P.Component("Partner", &TLeaf::FPartner, &TLeaf::SetPartner);
        P.Event("OnClick", &TLeaf::FOnClick);
    }
};

// A component that parents the components nested inside it in the stored form.
class TBox : public TLeaf {
    DCS_CLASS(TBox, TLeaf)
    using TLeaf::TLeaf;

    TComponent* FParent = nullptr;
    std::vector<TComponent*> FChildren;

    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override { return FParent; }
    void SetParentComponent(TComponent* Value) override;
    void GetChildren(const TGetChildProc& Proc, TComponent*) override
    {
        for (TComponent* c : FChildren)
            Proc(c);
    }
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TLeaf::Notification(AComponent, Operation);
        if (Operation == TOperation::opRemove) {
            std::erase(FChildren, AComponent);
            if (AComponent == FParent)
                FParent = nullptr;
        }
    }
};

inline void TBox::SetParentComponent(TComponent* Value)
{
    if (FParent)
        if (auto* b = As<TBox>(FParent))
            std::erase(b->FChildren, this);
    FParent = Value;
    if (auto* b = As<TBox>(Value))
        b->FChildren.push_back(this);
}

// The root: writes the owned components that have no parent box, in creation order.
class TRootForm : public TLeaf {
    DCS_CLASS(TRootForm, TLeaf)
    using TLeaf::TLeaf;

    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override
    {
        if (Root != this)
            return;
        for (int i = 0; i < ComponentCount(); ++i) {
            TComponent* c = Components(i);
            auto* b = As<TBox>(c);
            if (!b || !b->FParent || b->FParent == this)
                Proc(c);
        }
    }
};

}  // namespace dcs::testing
