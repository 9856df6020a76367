#include "platform/controls/ImgList.h"

#include "platform/base/Streams.h"
#include "platform/classes/Streaming.h"
#include "platform/controls/GraphicFormats.h"

#include <cairo.h>

#include <algorithm>

namespace dcs {

void TCustomImageList::DeclareProperties(TClassBuilder<TCustomImageList>& P)
{
    P.Integer("Height", &TCustomImageList::FHeight, &TCustomImageList::SetHeight).Default(16);
    P.Integer("Width", &TCustomImageList::FWidth, &TCustomImageList::SetWidth).Default(16);
}

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}
TCustomImageList::~TCustomImageList() = default;

void TCustomImageList::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TCustomImageList::SetWidth(int V)
{
    V = std::max(V, 1);
    if (V == FWidth)
        return;
    FWidth = V;
    Clear();
}

void TCustomImageList::SetHeight(int V)
{
    V = std::max(V, 1);
    if (V == FHeight)
        return;
    FHeight = V;
    Clear();
}

void TCustomImageList::Clear()
{
    FImages.clear();
    Changed();
}

void TCustomImageList::Delete(int Index)
{
    if (Index < 0 || Index >= Count())
        return;
    FImages.erase(FImages.begin() + Index);
    Changed();
}

int TCustomImageList::Add(TBitmap* Image, TBitmap* Mask)
{
    if (!Image || Image->Empty())
        return -1;
    int first = Count();
    int pieces = std::max(1, Image->Width() / FWidth);
    for (int i = 0; i < pieces; ++i) {
        auto piece = std::make_unique<TBitmap>();
        piece->SetSize(FWidth, FHeight);
        cairo_t* cr = cairo_create(piece->Surface());
        cairo_set_source_surface(cr, Image->Surface(), -i * FWidth, 0);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_paint(cr);
        if (Mask && !Mask->Empty()) {
            // Clear where the mask is not black.
            cairo_surface_flush(Mask->Surface());
            const uint8_t* mp = cairo_image_surface_get_data(Mask->Surface());
            int ms = cairo_image_surface_get_stride(Mask->Surface());
            cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
            for (int y = 0; y < std::min(FHeight, Mask->Height()); ++y)
                for (int x = 0; x < FWidth && i * FWidth + x < Mask->Width(); ++x) {
                    uint32_t m = reinterpret_cast<const uint32_t*>(mp + size_t(y) * ms)[i * FWidth + x];
                    if (m & 0xFFFFFF)
                        cairo_rectangle(cr, x, y, 1, 1);
                }
            cairo_fill(cr);
        }
        cairo_destroy(cr);
        cairo_surface_mark_dirty(piece->Surface());
        FImages.push_back(std::move(piece));
    }
    Changed();
    return first;
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) const
{
    if (!Canvas || !Canvas->Handle() || Index < 0 || Index >= Count())
        return;
    cairo_t* cr = Canvas->Handle();
    cairo_save(cr);
    cairo_set_source_surface(cr, FImages[size_t(Index)]->Surface(), X, Y);
    cairo_paint_with_alpha(cr, Enabled ? 1.0 : 0.5);
    cairo_restore(cr);
}

bool TCustomImageList::GetBitmap(int Index, TBitmap* Image) const
{
    if (!Image || Index < 0 || Index >= Count())
        return false;
    Image->Assign(FImages[size_t(Index)].get());
    return true;
}

void TCustomImageList::Assign(TPersistent* Source)
{
    auto* src = As<TCustomImageList>(Source);
    if (!src) {
        TComponent::Assign(Source);
        return;
    }
    FWidth = src->FWidth;
    FHeight = src->FHeight;
    FImages.clear();
    for (const auto& img : src->FImages) {
        auto copy = std::make_unique<TBitmap>();
        copy->Assign(img.get());
        FImages.push_back(std::move(copy));
    }
    Changed();
}

void TCustomImageList::DefineProperties(TFiler& Filer)
{
    TComponent::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        "Bitmap",
        [this](TStream& S) {
            std::vector<uint8_t> bytes(size_t(std::max<int64_t>(S.Size() - S.Position(), 0)));
            if (!bytes.empty())
                S.ReadBuffer(bytes.data(), int64_t(bytes.size()));
            TPngImage strip;
            if (!strip.LoadFromBytes(bytes.data(), bytes.size()) || strip.Height() != FHeight ||
                strip.Width() % FWidth != 0)
                throw EReadError("The stored image list does not match its size");
            TBitmap b;
            b.Assign(&strip);
            FImages.clear();
            Add(&b, nullptr);
        },
        [this](TStream& S) {
            TBitmap strip;
            strip.SetSize(FWidth * Count(), FHeight);
            cairo_t* cr = cairo_create(strip.Surface());
            for (int i = 0; i < Count(); ++i) {
                cairo_set_source_surface(cr, FImages[size_t(i)]->Surface(), i * FWidth, 0);
                cairo_paint(cr);
            }
            cairo_destroy(cr);
            std::string png = strip.SaveToPngBytes();
            S.WriteBuffer(png.data(), int64_t(png.size()));
        },
        Count() > 0);
}

}  // namespace dcs
