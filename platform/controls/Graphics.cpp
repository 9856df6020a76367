#include "platform/controls/Graphics.h"

#include "platform/base/Streams.h"
#include "platform/classes/Streaming.h"
#include "platform/controls/GraphicFormats.h"
#include "platform/controls/GraphicsInternal.h"
#include "platform/gdi/FontSystem.h"
#include "platform/imaging/ImageCodecs.h"

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

void RegisterColorIdents();  // ColorNames.cpp

namespace {
// Stored forms write colours by name.
const bool kColorIdentsRegistered = (RegisterColorIdents(), true);
}  // namespace

// ---------------------------------------------------------------------------------
// TFont

namespace {
const TEnumInfo kFontStyles {"TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};
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

int TFont::Size() const { return -static_cast<int>(std::lround(FHeight * 72.0 / FPixelsPerInch)); }

void TFont::SetSize(int V) { SetHeight(-static_cast<int>(std::lround(V * FPixelsPerInch / 72.0))); }

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
    SurfaceReplacing();
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

cairo_status_t WriteBytes(void* Closure, const unsigned char* Data, unsigned int Len)
{
    static_cast<std::string*>(Closure)->append(reinterpret_cast<const char*>(Data), Len);
    return CAIRO_STATUS_SUCCESS;
}

uint32_t Premultiply(uint32_t Argb)
{
    uint32_t a = Argb >> 24;
    if (a == 255)
        return Argb;
    auto ch = [&](int shift) { return ((((Argb >> shift) & 0xFF) * a + 127) / 255) << shift; };
    return (a << 24) | ch(16) | ch(8) | ch(0);
}

}  // namespace

std::vector<uint8_t> ReadWholeFile(const std::string& FileName)
{
    std::ifstream f(FileName, std::ios::binary);
    if (!f)
        throw EFOpenError("Cannot open file \"" + FileName + "\"");
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

uint32_t StraightPixel(uint32_t Premultiplied)
{
    uint32_t a = Premultiplied >> 24;
    if (a == 255 || a == 0)
        return a ? Premultiplied : 0;
    auto ch = [&](int shift) {
        return std::min<uint32_t>(255, (((Premultiplied >> shift) & 0xFF) * 255 + a / 2) / a) << shift;
    };
    return (a << 24) | ch(16) | ch(8) | ch(0);
}

bool TGraphic::DecodeToSurface(const uint8_t* Data, size_t Size)
{
    imaging::TDecodedImage img;
    if (!Data || imaging::DecodeImage(Data, Size, img) != imaging::TCodecResult::Ok)
        return false;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, img.Width, img.Height);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return false;
    }
    cairo_surface_flush(s);
    uint8_t* px = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < img.Height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(px + size_t(y) * stride);
        for (int x = 0; x < img.Width; ++x)
            row[x] = Premultiply(img.Pixels[size_t(y) * img.Width + x]);
    }
    cairo_surface_mark_dirty(s);
    SetSurface(s);
    return true;
}

bool TGraphic::LoadFromBytes(const uint8_t* Data, size_t Size) { return DecodeToSurface(Data, Size); }

std::string TGraphic::SaveToPngBytes() const
{
    std::string out;
    if (FSurface)
        cairo_surface_write_to_png_stream(FSurface, WriteBytes, &out);
    return out;
}

std::vector<uint8_t> TGraphic::SaveToBytes() const
{
    std::string png = SaveToPngBytes();
    return {png.begin(), png.end()};
}

void TGraphic::LoadFromFile(const std::string& FileName)
{
    std::vector<uint8_t> bytes = ReadWholeFile(FileName);
    if (!LoadFromBytes(bytes.data(), bytes.size()))
        throw EInvalidGraphic("\"" + FileName + "\" is no picture of class " + ClassName());
}

void TGraphic::SaveToFile(const std::string& FileName) const
{
    std::vector<uint8_t> bytes = SaveToBytes();
    std::ofstream f(FileName, std::ios::binary);
    if (!f || !f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size())))
        throw EFCreateError("Cannot create file \"" + FileName + "\"");
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

namespace {

std::vector<uint8_t> ReadRest(TStream& S)
{
    std::vector<uint8_t> bytes(static_cast<size_t>(std::max<int64_t>(S.Size() - S.Position(), 0)));
    if (!bytes.empty())
        S.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    return bytes;
}

}  // namespace

void TGraphic::DefineProperties(TFiler& Filer)
{
    Filer.DefineBinaryProperty(
        "Data",
        [this](TStream& S) {
            std::vector<uint8_t> bytes = ReadRest(S);
            if (!LoadFromBytes(bytes.data(), bytes.size()))
                throw EReadError("The stored picture is no picture this program reads");
        },
        [this](TStream& S) {
            std::vector<uint8_t> bytes = SaveToBytes();
            S.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
        },
        !Empty());
}

// ---------------------------------------------------------------------------------
// TBitmap

TBitmap::~TBitmap()
{
    if (FCr)
        cairo_destroy(FCr);
}

void TBitmap::SurfaceReplacing()
{
    // The canvas drew on the surface going away: it starts again on the next one.
    if (FCanvas)
        FCanvas->SetHandle(nullptr);
    if (FCr)
        cairo_destroy(FCr);
    FCr = nullptr;
}

TCanvas* TBitmap::Canvas()
{
    if (!FCanvas)
        FCanvas = std::make_unique<TCanvas>();
    if (FSurface && !FCr) {
        FCr = cairo_create(FSurface);
        FCanvas->SetHandle(FCr);
    }
    return FCanvas.get();
}

std::vector<uint8_t> TBitmap::SaveToBytes() const
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
        for (int y = 0; y < h; ++y) {
            auto* row = reinterpret_cast<const uint32_t*>(px + size_t(y) * stride);
            for (int x = 0; x < w; ++x)
                put32(54 + (size_t(y) * w + x) * 4, StraightPixel(row[x]));
        }
    }
    return file;
}

// ---------------------------------------------------------------------------------
// TPicture

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

namespace {

// A new, empty graphic of the same class as G.
std::unique_ptr<TGraphic> SameClass(const TGraphic& G)
{
    TClass c = G.ClassType();
    TObject* o = c->PlainCreator() ? c->PlainCreator()() : nullptr;
    if (auto* g = dynamic_cast<TGraphic*>(o))
        return std::unique_ptr<TGraphic>(g);
    delete o;
    return std::make_unique<TGraphic>();
}

}  // namespace

void TPicture::SetGraphic(TGraphic* Value)
{
    if (!Value || Value->Empty()) {
        FGraphic.reset();
    } else {
        auto g = SameClass(*Value);
        g->Assign(Value);
        FGraphic = std::move(g);
    }
    if (OnChange)
        OnChange(this);
}

void TPicture::LoadFromFile(const std::string& FileName)
{
    std::vector<uint8_t> bytes = ReadWholeFile(FileName);
    std::unique_ptr<TGraphic> g = GraphicFromBytes(bytes.data(), bytes.size());
    if (!g)
        throw EInvalidGraphic("Unknown picture file extension or format: \"" + FileName + "\"");
    FGraphic = std::move(g);
    if (OnChange)
        OnChange(this);
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
            std::vector<uint8_t> bytes = ReadRest(S);
            size_t n = bytes.empty() ? 0 : bytes[0];
            if (bytes.empty() || 1 + n > bytes.size())
                throw EReadError("The stored picture has no graphic class");
            std::string cls(bytes.begin() + 1, bytes.begin() + 1 + long(n));
            TClass c = GetClass(cls);
            std::unique_ptr<TObject> o(
                c && c->InheritsFrom(TGraphic::StaticClass()) && c->PlainCreator() ? c->PlainCreator()() : nullptr);
            auto* g = dynamic_cast<TGraphic*>(o.get());
            if (!g)
                throw EReadError("Unknown graphic class \"" + cls + "\" in a stored picture");
            if (!g->LoadFromBytes(bytes.data() + 1 + n, bytes.size() - 1 - n))
                throw EReadError("The stored picture is no picture this program reads");
            o.release();
            FGraphic.reset(g);
            if (OnChange)
                OnChange(this);
        },
        [this](TStream& S) {
            std::string cls = FGraphic->ClassName();
            uint8_t n = uint8_t(cls.size());
            S.WriteBuffer(&n, 1);
            S.WriteBuffer(cls.data(), n);
            std::vector<uint8_t> bytes = FGraphic->SaveToBytes();
            S.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
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
