// The tab geometry of a tab pager: margins, height, spacing and a fixed or automatic tab
// width, and the extents of each tab they give. GUI thread only.
#pragma once

#include "platform/classes/Classes.h"

namespace dcs::smooth {

class TSmoothTabPager;

class TSmoothTabSettings : public TPersistent {
    DCS_CLASS(TSmoothTabSettings, TPersistent)

    explicit TSmoothTabSettings(TSmoothTabPager* AOwner = nullptr) : FOwner(AOwner) {}

    int LeftMargin() const { return FLeftMargin; }
    void SetLeftMargin(int V) { SetValue(FLeftMargin, V); }
    int RightMargin() const { return FRightMargin; }
    void SetRightMargin(int V) { SetValue(FRightMargin, V); }
    int StartMargin() const { return FStartMargin; }
    void SetStartMargin(int V) { SetValue(FStartMargin, V); }
    int EndMargin() const { return FEndMargin; }
    void SetEndMargin(int V) { SetValue(FEndMargin, V); }
    int Height() const { return FHeight; }
    void SetHeight(int V) { SetValue(FHeight, V); }
    int Spacing() const { return FSpacing; }
    void SetSpacing(int V) { SetValue(FSpacing, V); }
    // 0: each tab as long as its caption needs.
    int Width() const { return FWidth; }
    void SetWidth(int V) { SetValue(FWidth, V); }

    // The text-based length of tab Index: Width, or the caption's single-line width in the
    // page's tab font plus the margins and 10 (0 for an index outside the pages).
    int AutoWidth(int Index) const;
    // Across the strip (TabHeight) and along it (TabWidth): Height and the automatic
    // width, swapped for horizontal captions on the left or right and vertical captions
    // on the top or bottom.
    int GetTabHeight(int Index) const;
    int GetTabWidth(int Index) const;

    // Copies the margins, height and width (not the spacing) from other settings.
    void Assign(TPersistent* Source) override;
    TNotifyEvent OnChange;

    static void DeclareProperties(TClassBuilder<TSmoothTabSettings>& P);

private:
    void SetValue(int& Field, int V)
    {
        if (Field == V)
            return;
        Field = V;
        if (OnChange)
            OnChange(this);
    }
    bool Swapped() const;

    TSmoothTabPager* FOwner;
    int FLeftMargin = 4;
    int FRightMargin = 4;
    int FStartMargin = 4;
    int FEndMargin = 0;
    int FHeight = 26;
    int FSpacing = 4;
    int FWidth = 0;
};

}  // namespace dcs::smooth
