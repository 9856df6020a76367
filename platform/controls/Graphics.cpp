#include "platform/controls/Graphics.h"

#include "platform/base/Streams.h"
#include "platform/classes/Streaming.h"
#include "platform/gdi/FontSystem.h"

#include <cairo.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <vector>

namespace dcs {

namespace {

// $00BBGGRR of any colour; clNone and clDefault are black.
uint32_t PlainRGB(TColor Color)
{
    if (Color == clNone || Color == clDefault)
        return 0;
    return static_cast<uint32_t>(ColorToRGB(Color)) & 0xFFFFFF;
}

}  // namespace

uint32_t ColorToARGB(TColor Color)
{
    uint32_t c = PlainRGB(Color);
    return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// ---------------------------------------------------------------------------------
// TFont

namespace {
const TEnumInfo kFontStyles{"TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};
}

void TFont::DeclareProperties(TClassBuilder<TFont>& P)
{
    P.Integer("Color", &TFont::FColor, &TFont::SetColor, "TColor").Default(clWindowText);
    P.Integer("Height", &TFont::FHeight, &TFont::SetHeight);
    P.String("Name", &TFont::FName, &TFont::SetName);
    P.Set("Style", "TFontStyles", kFontStyles, &TFont::FStyle, &TFont::SetStyle).Default(0);
}

void TFont::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TFont::SetName(const std::string& V)
{
    if (V != FName) {
        FName = V;
        Changed();
    }
}

void TFont::SetHeight(int V)
{
    if (V != FHeight) {
        FHeight = V;
        Changed();
    }
}

int TFont::Size() const
{
    return -static_cast<int>(std::lround(FHeight * 72.0 / FPixelsPerInch));
}

void TFont::SetSize(int V)
{
    SetHeight(-static_cast<int>(std::lround(V * FPixelsPerInch / 72.0)));
}

void TFont::SetColor(TColor V)
{
    if (V != FColor) {
        FColor = V;
        Changed();
    }
}

void TFont::SetStyle(TFontStyles V)
{
    if (V != FStyle) {
        FStyle = V;
        Changed();
    }
}

void TFont::Assign(TPersistent* Source)
{
    if (auto* f = As<TFont>(Source)) {
        bool diff = f->FName != FName || f->FHeight != FHeight || f->FColor != FColor || f->FStyle != FStyle;
        FName = f->FName;
        FHeight = f->FHeight;
        FColor = f->FColor;
        FStyle = f->FStyle;
        if (diff)
            Changed();
        return;
    }
    TPersistent::Assign(Source);
}

// ---------------------------------------------------------------------------------
// TGraphic

TGraphic::~TGraphic()
{
    if (FSurface)
        cairo_surface_destroy(FSurface);
}

int TGraphic::Width() const { return FSurface ? cairo_image_surface_get_width(FSurface) : 0; }
int TGraphic::Height() const { return FSurface ? cairo_image_surface_get_height(FSurface) : 0; }

void TGraphic::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TGraphic::SetSurface(cairo_surface_t* S)
{
    if (FSurface)
        cairo_surface_destroy(FSurface);
    FSurface = S;
    Changed();
}

void TGraphic::SetSize(int W, int H)
{
    if (W <= 0 || H <= 0) {
        SetSurface(nullptr);
        return;
    }
    SetSurface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, W, H));
}

namespace {

struct TByteReader {
    const uint8_t* Data;
    size_t Size;
    size_t Pos = 0;
};

cairo_status_t ReadBytes(void* Closure, unsigned char* Out, unsigned int Len)
{
    auto* r = static_cast<TByteReader*>(Closure);
    if (r->Size - r->Pos < Len)
        return CAIRO_STATUS_READ_ERROR;
    std::memcpy(Out, r->Data + r->Pos, Len);
    r->Pos += Len;
    return CAIRO_STATUS_SUCCESS;
}

cairo_status_t WriteBytes(void* Closure, const unsigned char* Data, unsigned int Len)
{
    static_cast<std::string*>(Closure)->append(reinterpret_cast<const char*>(Data), Len);
    return CAIRO_STATUS_SUCCESS;
}

}  // namespace

bool TGraphic::LoadFromBytes(const uint8_t* Data, size_t Size)
{
    static const uint8_t kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (Size < 8 || std::memcmp(Data, kPng, 8) != 0)
        return false;
    TByteReader r{Data, Size};
    cairo_surface_t* s = cairo_image_surface_create_from_png_stream(ReadBytes, &r);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return false;
    }
    SetSurface(s);
    return true;
}

std::string TGraphic::SaveToPngBytes() const
{
    std::string out;
    if (FSurface)
        cairo_surface_write_to_png_stream(FSurface, WriteBytes, &out);
    return out;
}

void TGraphic::Assign(TPersistent* Source)
{
    if (auto* g = As<TGraphic>(Source)) {
        cairo_surface_t* copy = nullptr;
        if (g->FSurface) {
            copy = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, g->Width(), g->Height());
            cairo_t* cr = cairo_create(copy);
            cairo_set_source_surface(cr, g->FSurface, 0, 0);
            cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
            cairo_paint(cr);
            cairo_destroy(cr);
        }
        SetSurface(copy);
        return;
    }
    TPersistent::Assign(Source);
}

void TGraphic::DefineProperties(TFiler& Filer)
{
    Filer.DefineBinaryProperty(
        "Data",
        [this](TStream& S) {
            std::vector<uint8_t> bytes(static_cast<size_t>(S.Size() - S.Position()));
            if (!bytes.empty())
                S.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
            if (!LoadFromBytes(bytes.data(), bytes.size()))
                throw EReadError("The stored picture is no picture this program reads");
        },
        [this](TStream& S) {
            std::string png = SaveToPngBytes();
            S.WriteBuffer(png.data(), static_cast<int64_t>(png.size()));
        },
        !Empty());
}

// ---------------------------------------------------------------------------------
// TBitmap

TBitmap::~TBitmap()
{
    if (FCanvas && FCanvas->Handle())
        cairo_destroy(FCanvas->Handle());
}

TCanvas* TBitmap::Canvas()
{
    if (!FCanvas)
        FCanvas = std::make_unique<TCanvas>();
    // A new size means a new surface: the canvas follows it instead of drawing on the old.
    if (FCanvas->Handle() && FCanvasSurface != FSurface) {
        cairo_destroy(FCanvas->Handle());
        FCanvas->SetHandle(nullptr);
    }
    if (FSurface && !FCanvas->Handle()) {
        FCanvas->SetHandle(cairo_create(FSurface));
        FCanvasSurface = FSurface;
    }
    return FCanvas.get();
}

void TBitmap::SaveToFile(const std::string& FileName)
{
    int w = Width(), h = Height();
    std::vector<uint8_t> file(54 + size_t(w) * h * 4);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = uint8_t(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, uint32_t(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(w));
    put32(22, uint32_t(-h));  // top-down rows
    file[26] = 1;
    file[28] = 32;
    put32(34, uint32_t(size_t(w) * h * 4));
    put32(38, 3780);
    put32(42, 3780);
    if (FSurface) {
        cairo_surface_flush(FSurface);
        const uint8_t* px = cairo_image_surface_get_data(FSurface);
        int stride = cairo_image_surface_get_stride(FSurface);
        for (int y = 0; y < h; ++y)
            std::memcpy(&file[54 + size_t(y) * w * 4], px + size_t(y) * stride, size_t(w) * 4);
    }
    std::ofstream f(FileName, std::ios::binary);
    if (!f.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size())))
        throw EFCreateError("Cannot create file \"" + FileName + "\"");
}

// ---------------------------------------------------------------------------------
// TPicture

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::SetGraphic(TGraphic* Value)
{
    if (!Value || Value->Empty()) {
        FGraphic.reset();
    } else {
        FGraphic = std::make_unique<TGraphic>();
        FGraphic->Assign(Value);
    }
    if (OnChange)
        OnChange(this);
}

void TPicture::LoadFromFile(const std::string& FileName)
{
    std::ifstream f(FileName, std::ios::binary);
    if (!f)
        throw EFOpenError("Cannot open file \"" + FileName + "\"");
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    TGraphic g;
    if (!g.LoadFromBytes(bytes.data(), bytes.size()))
        throw EInvalidGraphic("Unknown picture file extension or format: \"" + FileName + "\"");
    SetGraphic(&g);
}

void TPicture::Assign(TPersistent* Source)
{
    if (auto* p = As<TPicture>(Source)) {
        SetGraphic(p->Graphic());
        return;
    }
    if (auto* g = As<TGraphic>(Source)) {
        SetGraphic(g);
        return;
    }
    TPersistent::Assign(Source);
}

void TPicture::DefineProperties(TFiler& Filer)
{
    Filer.DefineBinaryProperty(
        "Data",
        [this](TStream& S) {
            std::vector<uint8_t> bytes(static_cast<size_t>(S.Size() - S.Position()));
            if (!bytes.empty())
                S.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
            TGraphic g;
            if (!g.LoadFromBytes(bytes.data(), bytes.size()))
                throw EReadError("The stored picture is no picture this program reads");
            SetGraphic(&g);
        },
        [this](TStream& S) {
            std::string png = FGraphic->SaveToPngBytes();
            S.WriteBuffer(png.data(), static_cast<int64_t>(png.size()));
        },
        FGraphic != nullptr);
}

// ---------------------------------------------------------------------------------
// TCanvas

TCanvas::TCanvas(cairo_t* Cr) : FCr(Cr) {}

TCanvas::~TCanvas() = default;

void TCanvas::SetColor(TColor C)
{
    uint32_t rgb = PlainRGB(C);
    cairo_set_source_rgb(FCr, (rgb & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, ((rgb >> 16) & 0xFF) / 255.0);
}

void TCanvas::FillRect(const TRect& R)
{
    if (!FCr || Brush.Style == bsClear || Brush.Color == clNone)
        return;
    SetColor(Brush.Color);
    cairo_rectangle(FCr, R.Left, R.Top, R.Width(), R.Height());
    cairo_fill(FCr);
}

void TCanvas::FrameRect(const TRect& R)
{
    if (!FCr || R.IsEmpty())
        return;
    SetColor(Brush.Color);
    cairo_set_line_width(FCr, 1);
    cairo_rectangle(FCr, R.Left + 0.5, R.Top + 0.5, R.Width() - 1, R.Height() - 1);
    cairo_stroke(FCr);
}

void TCanvas::Rectangle(const TRect& R)
{
    if (!FCr || R.IsEmpty())
        return;
    FillRect(R);
    SetColor(Pen.Color);
    cairo_set_line_width(FCr, Pen.Width);
    double inset = Pen.Width / 2.0;
    cairo_rectangle(FCr, R.Left + inset, R.Top + inset, R.Width() - Pen.Width, R.Height() - Pen.Width);
    cairo_stroke(FCr);
}

void TCanvas::Ellipse(const TRect& R)
{
    if (!FCr || R.IsEmpty())
        return;
    cairo_save(FCr);
    cairo_translate(FCr, R.Left + R.Width() / 2.0, R.Top + R.Height() / 2.0);
    cairo_scale(FCr, R.Width() / 2.0, R.Height() / 2.0);
    cairo_arc(FCr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(FCr);
    if (Brush.Style != bsClear) {
        SetColor(Brush.Color);
        cairo_fill_preserve(FCr);
    }
    SetColor(Pen.Color);
    cairo_set_line_width(FCr, Pen.Width);
    cairo_stroke(FCr);
}

void TCanvas::MoveTo(int X, int Y) { FPen = {X, Y}; }

void TCanvas::LineTo(int X, int Y)
{
    if (FCr) {
        SetColor(Pen.Color);
        cairo_set_line_width(FCr, Pen.Width);
        cairo_move_to(FCr, FPen.X + 0.5, FPen.Y + 0.5);
        cairo_line_to(FCr, X + 0.5, Y + 0.5);
        cairo_stroke(FCr);
    }
    FPen = {X, Y};
}

gdi::TFontSpec TCanvas::FontSpec() const
{
    gdi::TFontSpec spec;
    std::string family = gdi::ResolveFontFamily(FFont.Name());
    if (!family.empty())
        spec.Family = family;
    int h = FFont.Height();
    // A positive height is the cell height: the em is what is left after the leading.
    spec.PixelSize = h < 0 ? -h : h * 0.8;
    spec.Bold = FFont.Style() & (1u << fsBold);
    spec.Italic = FFont.Style() & (1u << fsItalic);
    spec.Underline = FFont.Style() & (1u << fsUnderline);
    spec.StrikeOut = FFont.Style() & (1u << fsStrikeOut);
    return spec;
}

void TCanvas::TextOut(int X, int Y, const std::string& Text)
{
    if (!FCr || Text.empty())
        return;
    PangoLayout* layout = gdi::CreateTextLayout(FontSpec(), Text);
    if (Brush.Style != bsClear) {
        SetColor(Brush.Color);
        cairo_rectangle(FCr, X, Y, TextWidth(Text), TextHeight(Text));
        cairo_fill(FCr);
    }
    SetColor(FFont.Color());
    cairo_move_to(FCr, X, Y);
    pango_cairo_show_layout(FCr, layout);
    cairo_new_path(FCr);
    g_object_unref(layout);
}

void TCanvas::TextRect(const TRect& R, int X, int Y, const std::string& Text)
{
    if (!FCr)
        return;
    cairo_save(FCr);
    cairo_rectangle(FCr, R.Left, R.Top, R.Width(), R.Height());
    cairo_clip(FCr);
    TextOut(X, Y, Text);
    cairo_restore(FCr);
}

int TCanvas::TextWidth(const std::string& Text)
{
    PangoLayout* layout = gdi::CreateTextLayout(FontSpec(), Text);
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    g_object_unref(layout);
    return static_cast<int>(std::ceil(gdi::FromPango(logical.width)));
}

int TCanvas::TextHeight(const std::string&)
{
    double ascent = 0, descent = 0;
    gdi::FontMetrics(FontSpec(), &ascent, &descent);
    return static_cast<int>(std::ceil(ascent + descent));
}

void TCanvas::Draw(int X, int Y, const TGraphic* G)
{
    if (!FCr || !G || G->Empty())
        return;
    cairo_set_source_surface(FCr, G->Surface(), X, Y);
    cairo_paint(FCr);
}

void TCanvas::StretchDraw(const TRect& R, const TGraphic* G)
{
    if (!FCr || !G || G->Empty() || R.IsEmpty())
        return;
    cairo_save(FCr);
    cairo_rectangle(FCr, R.Left, R.Top, R.Width(), R.Height());
    cairo_clip(FCr);
    cairo_translate(FCr, R.Left, R.Top);
    cairo_scale(FCr, double(R.Width()) / G->Width(), double(R.Height()) / G->Height());
    cairo_set_source_surface(FCr, G->Surface(), 0, 0);
    cairo_paint(FCr);
    cairo_restore(FCr);
}

}  // namespace dcs
