// The look of one tab: its colours in every state (normal, hot, pressed, selected,
// disabled), bevel and shadow switches, spacing, picture, the button face it is drawn
// with and its status badge. Owned by a tab page. GUI thread only.
#pragma once

#include "ui/controls/GDIPButton.h"
#include "ui/controls/StoreChanged.h"

#include <memory>
#include <string>

namespace dcs::smooth {

class TSmoothTabPage;
class TSmoothTabAppearance;

class TSmoothTabStatus : public TPersistent {
public:
    explicit TSmoothTabStatus(TSmoothTabAppearance* AOwner);
    ~TSmoothTabStatus() override;

    int OffsetTop() const { return FOffsetTop; }
    void SetOffsetTop(int V);
    int OffsetLeft() const { return FOffsetLeft; }
    void SetOffsetLeft(int V);
    bool Visible() const { return FVisible; }
    void SetVisible(bool V);
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& V);
    TGDIPStatus* Appearance() const { return FAppearance.get(); }
    // Copies into the owned badge appearance.
    void SetAppearance(TGDIPStatus* V);
    TNotifyEvent OnChange;

    // From another status: badge appearance, caption, offsets and visibility; no
    // notification of its own. Other sources are ignored.
    void Assign(TPersistent* Source) override;

private:
    void Changed();
    template <class T> void SetValue(T& Field, const T& Value)
    {
        if (StoreChanged(Field, Value))
            Changed();
    }
    TSmoothTabAppearance* FOwner;
    int FOffsetTop = 0;
    int FOffsetLeft = 0;
    bool FVisible = false;
    std::string FCaption = "0";
    std::unique_ptr<TGDIPStatus> FAppearance;
};

#define DCS_TAB_PROPERTY(Type, Name)                                                                                   \
    Type Name() const { return F##Name; }                                                                              \
    void Set##Name(Type V) { SetValue(F##Name, V); }

class TSmoothTabAppearance : public TPersistent {
public:
    // Owner may be null (an appearance of its own, e.g. for copying).
    explicit TSmoothTabAppearance(TSmoothTabPage* AOwner = nullptr, bool DesignTime = false);
    ~TSmoothTabAppearance() override;

    TGDIPButton* Appearance() const { return FAppearance.get(); }
    // Copies into the owned face; the owned object is never replaced.
    void SetAppearance(TGDIPButton* V);
    TSmoothTabStatus* Status() const { return FStatus.get(); }
    void SetStatus(TSmoothTabStatus* V);
    TSmGDIPPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TSmGDIPPicture* V);

    DCS_TAB_PROPERTY(bool, Bevel)
    DCS_TAB_PROPERTY(TColor, BevelColor)
    DCS_TAB_PROPERTY(TColor, BevelColorDown)
    DCS_TAB_PROPERTY(TColor, BevelColorSelected)
    DCS_TAB_PROPERTY(TColor, BevelColorHot)
    DCS_TAB_PROPERTY(TColor, BevelColorDisabled)
    DCS_TAB_PROPERTY(TColor, Color)
    DCS_TAB_PROPERTY(TColor, ColorDown)
    DCS_TAB_PROPERTY(TColor, ColorSelected)
    DCS_TAB_PROPERTY(TColor, ColorHot)
    DCS_TAB_PROPERTY(TColor, ColorDisabled)
    DCS_TAB_PROPERTY(TColor, ColorTextDisabled)
    DCS_TAB_PROPERTY(TColor, ColorTextSelected)
    DCS_TAB_PROPERTY(bool, Shadow)
    DCS_TAB_PROPERTY(int, HorizontalSpacing)
    DCS_TAB_PROPERTY(int, VerticalSpacing)
    TColor ColorTextHot() const { return FColorTextHot; }
    // A plain store: the hot caption colour is read at the next paint.
    void SetColorTextHot(TColor V) { FColorTextHot = V; }
    TNotifyEvent OnChange;

    // From another tab appearance: face, badge, picture and every colour but the three
    // caption colours, then one notification. Other sources are ignored.
    void Assign(TPersistent* Source) override;
    void Changed();

private:
    template <class T> void SetValue(T& Field, T V)
    {
        if (StoreChanged(Field, V))
            Changed();
    }

    TSmoothTabPage* FOwner;
    std::unique_ptr<TSmGDIPPicture> FPicture;
    bool FBevel = true;
    int FVerticalSpacing = 0;
    TColor FColor = 0xC0C0C0;
    std::unique_ptr<TGDIPButton> FAppearance;
    TColor FBevelColor = 0x808080;
    bool FShadow = false;
    std::unique_ptr<TSmoothTabStatus> FStatus;
    int FHorizontalSpacing = 0;
    TColor FColorSelected = 0xAAD9FF;
    TColor FColorDown = 0x808080;
    TColor FColorDisabled = 0x545454;
    TColor FColorHot = clWhite;
    TColor FBevelColorDisabled = 0x545454;
    TColor FBevelColorSelected = 0xAAD9FF;
    TColor FBevelColorDown = 0x808080;
    TColor FBevelColorHot = clWhite;
    TColor FColorTextHot = clBlack;
    TColor FColorTextDisabled = 0x808080;
    TColor FColorTextSelected = clBlack;
};

#undef DCS_TAB_PROPERTY

}  // namespace dcs::smooth
