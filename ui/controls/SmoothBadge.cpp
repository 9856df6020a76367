#include "ui/controls/SmoothBadge.h"

namespace dcs::smooth {

TSmoothBadge::TSmoothBadge(std::function<void()> OwnerChanged)
    : FOwnerChanged(std::move(OwnerChanged)), FAppearance(std::make_unique<TGDIPStatus>())
{
    FAppearance->OnChange = [this](TObject*) { Changed(); };
}

TSmoothBadge::~TSmoothBadge() = default;

void TSmoothBadge::Changed()
{
    if (OnChange)
        OnChange(this);
    if (FOwnerChanged)
        FOwnerChanged();
}

void TSmoothBadge::SetAppearance(TGDIPStatus* V)
{
    if (V != FAppearance.get())
        FAppearance->Assign(V);
}

bool TSmoothBadge::Showing() const
{
    return FVisible && (!FCaption.empty() || !FAppearance->Fill()->Picture()->Empty());
}

void TSmoothBadge::ApplyDesignDefaults()
{
    SetCaption("0");
    TGDIPFill* fill = FAppearance->Fill();
    fill->SetColor(clRed);
    fill->SetGradientType(gtSolid);
    fill->SetBorderColor(0x808080);
    FAppearance->Font()->SetColor(clWhite);
}

void TSmoothBadge::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TSmoothBadge*>(Source);
    if (!s || s == this)
        return;
    FAppearance->Assign(s->FAppearance.get());
    SetOffsetTop(s->FOffsetTop);
    SetOffsetLeft(s->FOffsetLeft);
    SetVisible(s->FVisible);
    SetCaption(s->FCaption);
}

void TakeParentFont(TGDIPButton& Appearance, TFont* ParentFont)
{
    TNotifyEvent hook = std::move(Appearance.OnFontChange);
    Appearance.OnFontChange = nullptr;
    Appearance.Font()->Assign(ParentFont);
    Appearance.OnFontChange = std::move(hook);
}

}  // namespace dcs::smooth
