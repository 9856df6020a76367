// Lists of equally sized pictures that controls draw by index (a button's image, a
// tab's image).
#pragma once

#include "platform/controls/Graphics.h"

#include <memory>
#include <vector>

namespace dcs {

class TCustomImageList : public TComponent {
    DCS_CLASS(TCustomImageList, TComponent)

    explicit TCustomImageList(TComponent* AOwner);
    ~TCustomImageList() override;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // A new size empties the list (the pictures were cut for the old one).
    void SetWidth(int Value);
    void SetHeight(int Value);
    int Count() const { return int(FImages.size()); }

    // Cuts Image from the left into pictures of Width x Height (one when it is
    // narrower); where Mask (if any) is not black, the picture is transparent. Answers
    // the index of the first new picture, -1 when Image is empty.
    int Add(TBitmap* Image, TBitmap* Mask);
    void Delete(int Index);
    void Clear();
    // Draws picture Index with its top left at (X, Y), at half opacity when not
    // Enabled; nothing for an index outside the list.
    void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true) const;
    // Copies picture Index into Image (which takes the list's size); false, with Image
    // unchanged, for an index outside the list.
    bool GetBitmap(int Index, TBitmap* Image) const;

    void Assign(TPersistent* Source) override;
    // The pictures are stored side by side as one PNG strip.
    void DefineProperties(TFiler& Filer) override;
    TNotifyEvent OnChange;

    static void DeclareProperties(TClassBuilder<TCustomImageList>& P);

private:
    void Changed();
    int FWidth = 16;
    int FHeight = 16;
    std::vector<std::unique_ptr<TBitmap>> FImages;
};

class TImageList : public TCustomImageList {
    DCS_CLASS(TImageList, TCustomImageList)

    explicit TImageList(TComponent* AOwner) : TCustomImageList(AOwner) {}
};

}  // namespace dcs
