// The status badge of a smooth button's top right corner: offsets, visibility, caption
// and its look. GUI thread only.
#pragma once

#include "ui/controls/GDIPButton.h"
#include "ui/controls/StoreChanged.h"

#include <functional>
#include <memory>
#include <string>

namespace dcs::smooth {

class TSmoothBadge : public TPersistent {
public:
    // OwnerChanged runs after every change (after OnChange).
    explicit TSmoothBadge(std::function<void()> OwnerChanged);
    ~TSmoothBadge() override;

    int OffsetTop() const { return FOffsetTop; }
    void SetOffsetTop(int V) { SetValue(FOffsetTop, V); }
    int OffsetLeft() const { return FOffsetLeft; }
    void SetOffsetLeft(int V) { SetValue(FOffsetLeft, V); }
    bool Visible() const { return FVisible; }
    void SetVisible(bool V) { SetValue(FVisible, V); }
    std::string Caption() const { return FCaption; }
    void SetCaption(const std::string& V) { SetValue(FCaption, V); }
    TGDIPStatus* Appearance() const { return FAppearance.get(); }
    void SetAppearance(TGDIPStatus* V);
    TNotifyEvent OnChange;

    // Shown when visible and it has a caption or a fill picture.
    bool Showing() const;
    // What a badge placed in the designer starts with: "0" in white on solid red.
    void ApplyDesignDefaults();
    // Copies the look, offsets, visibility and caption from another badge.
    void Assign(TPersistent* Source) override;

private:
    template <class T> void SetValue(T& Field, const T& V)
    {
        if (StoreChanged(Field, V))
            Changed();
    }
    void Changed();

    std::function<void()> FOwnerChanged;
    int FOffsetTop = 0;
    int FOffsetLeft = 0;
    bool FVisible = false;
    std::string FCaption;
    std::unique_ptr<TGDIPStatus> FAppearance;
};

// A parent's font copied into a face's font without counting as the face's own change.
void TakeParentFont(TGDIPButton& Appearance, TFont* ParentFont);

}  // namespace dcs::smooth
