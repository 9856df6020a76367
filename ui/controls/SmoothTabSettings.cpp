#include "ui/controls/SmoothTabSettings.h"

#include "ui/controls/SmoothTabPager.h"

namespace dcs::smooth {

void TSmoothTabSettings::DeclareProperties(TClassBuilder<TSmoothTabSettings>& P)
{
    P.Integer("LeftMargin", &TSmoothTabSettings::FLeftMargin, &TSmoothTabSettings::SetLeftMargin).Default(4);
    P.Integer("RightMargin", &TSmoothTabSettings::FRightMargin, &TSmoothTabSettings::SetRightMargin).Default(4);
    // Made with 4, stored unless 60: a stored 4 reads back as 4.
    P.Integer("StartMargin", &TSmoothTabSettings::FStartMargin, &TSmoothTabSettings::SetStartMargin).Default(60);
    P.Integer("Height", &TSmoothTabSettings::FHeight, &TSmoothTabSettings::SetHeight).Default(26);
    P.Integer("Spacing", &TSmoothTabSettings::FSpacing, &TSmoothTabSettings::SetSpacing).Default(4);
    P.Integer("Width", &TSmoothTabSettings::FWidth, &TSmoothTabSettings::SetWidth).Default(0);
}

int TSmoothTabSettings::AutoWidth(int Index) const
{
    if (FWidth != 0)
        return FWidth;
    if (!FOwner || Index < 0 || Index >= FOwner->SmoothTabPageCount())
        return 0;
    return FOwner->MeasureCaption(Index) + FLeftMargin + FRightMargin + 10;
}

bool TSmoothTabSettings::Swapped() const
{
    if (!FOwner)
        return false;
    const bool sides = FOwner->TabsOnLeft() || FOwner->TabsOnRight();
    return (FOwner->TabTextOrientation() == toHorizontal && sides) ||
        (FOwner->TabTextOrientation() == toVertical && !sides);
}

int TSmoothTabSettings::GetTabHeight(int Index) const { return Swapped() ? AutoWidth(Index) : FHeight; }

int TSmoothTabSettings::GetTabWidth(int Index) const { return Swapped() ? FHeight : AutoWidth(Index); }

void TSmoothTabSettings::Assign(TPersistent* Source)
{
    if (auto* s = dynamic_cast<TSmoothTabSettings*>(Source)) {
        SetLeftMargin(s->FLeftMargin);
        SetRightMargin(s->FRightMargin);
        SetHeight(s->FHeight);
        SetStartMargin(s->FStartMargin);
        SetEndMargin(s->FEndMargin);
        SetWidth(s->FWidth);
        return;
    }
    TPersistent::Assign(Source);
}

}  // namespace dcs::smooth
