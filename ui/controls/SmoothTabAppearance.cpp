#include "ui/controls/SmoothTabAppearance.h"

namespace dcs::smooth {

// ---------------------------------------------------------------------------------
// TSmoothTabStatus

TSmoothTabStatus::TSmoothTabStatus(TSmoothTabAppearance* AOwner)
    : FOwner(AOwner), FAppearance(std::make_unique<TGDIPStatus>())
{
    FAppearance->OnChange = [this](TObject*) { Changed(); };
}

TSmoothTabStatus::~TSmoothTabStatus() = default;

void TSmoothTabStatus::Changed()
{
    if (FOwner)
        FOwner->Changed();
}

void TSmoothTabStatus::SetOffsetTop(int V) { SetValue(FOffsetTop, V); }

void TSmoothTabStatus::SetOffsetLeft(int V) { SetValue(FOffsetLeft, V); }

void TSmoothTabStatus::SetVisible(bool V) { SetValue(FVisible, V); }

void TSmoothTabStatus::SetCaption(const std::string& V) { SetValue(FCaption, V); }

void TSmoothTabStatus::SetAppearance(TGDIPStatus* V)
{
    if (V && V != FAppearance.get()) {
        FAppearance->Assign(V);
        Changed();
    }
}

void TSmoothTabStatus::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TSmoothTabStatus*>(Source);
    if (!s || s == this)
        return;
    FAppearance->Assign(s->FAppearance.get());
    FCaption = s->FCaption;
    FOffsetTop = s->FOffsetTop;
    FOffsetLeft = s->FOffsetLeft;
    FVisible = s->FVisible;
}

// ---------------------------------------------------------------------------------
// TSmoothTabAppearance

TSmoothTabAppearance::TSmoothTabAppearance(TSmoothTabPage* AOwner, bool DesignTime)
    : FOwner(AOwner), FPicture(std::make_unique<TSmGDIPPicture>()), FAppearance(std::make_unique<TGDIPButton>()),
      FStatus(std::make_unique<TSmoothTabStatus>(this))
{
    FAppearance->OnChange = [this](TObject*) { Changed(); };
    FPicture->OnChange = [this](TObject*) { Changed(); };
    if (DesignTime) {
        TGDIPFill* f = FStatus->Appearance()->Fill();
        f->SetColor(clRed);
        f->SetGradientType(gtSolid);
        f->SetBorderColor(0x808080);
        FStatus->Appearance()->Font()->SetColor(clWhite);
    }
}

TSmoothTabAppearance::~TSmoothTabAppearance() = default;

void TSmoothTabAppearance::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TSmoothTabAppearance::SetAppearance(TGDIPButton* V)
{
    if (V && V != FAppearance.get()) {
        FAppearance->Assign(V);
        Changed();
    }
}

void TSmoothTabAppearance::SetStatus(TSmoothTabStatus* V)
{
    if (V && V != FStatus.get()) {
        FStatus->Assign(V);
        Changed();
    }
}

void TSmoothTabAppearance::SetPicture(TSmGDIPPicture* V)
{
    if (V != FPicture.get()) {
        FPicture->Assign(V);
        Changed();
    }
}

void TSmoothTabAppearance::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TSmoothTabAppearance*>(Source);
    if (!s || s == this)
        return;
    // One notification for the whole copy: the parts' own change events are held back.
    TNotifyEvent saved = std::move(OnChange);
    OnChange = nullptr;
    FAppearance->Assign(s->FAppearance.get());
    FStatus->Assign(s->FStatus.get());
    FBevel = s->FBevel;
    FBevelColor = s->FBevelColor;
    FColor = s->FColor;
    FPicture->Assign(s->FPicture.get());
    FShadow = s->FShadow;
    FHorizontalSpacing = s->FHorizontalSpacing;
    FVerticalSpacing = s->FVerticalSpacing;
    FColorSelected = s->FColorSelected;
    FColorDown = s->FColorDown;
    FColorDisabled = s->FColorDisabled;
    FColorHot = s->FColorHot;
    FBevelColorSelected = s->FBevelColorSelected;
    FBevelColorDown = s->FBevelColorDown;
    FBevelColorDisabled = s->FBevelColorDisabled;
    FBevelColorHot = s->FBevelColorHot;
    OnChange = std::move(saved);
    Changed();
}

}  // namespace dcs::smooth
