// Colours, fonts, brushes, pens, pictures and the canvas that controls paint on.
//
// A canvas draws through a cairo context, text in the drawing layer's fonts; during a paint the forms' compositor hands
// each control a context that is already translated to the control's origin and clipped
// to what needs repainting, so controls paint in their own client coordinates.
#pragma once

#include "platform/base/Geometry.h"
#include "platform/classes/Classes.h"
#include "platform/controls/ControlTypes.h"
#include "platform/gdi/Gdi.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace dcs {

namespace gdi {
struct TFontSpec;
}

DCS_DECLARE_EXCEPTION(EInvalidGraphic, Exception);

// Colours are the drawing layer's TColor ($00BBGGRR or a system colour); these are the
// named ones it does not define itself.
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clNavy = 0x800000;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;
constexpr TColor clScrollBar = clSystemColor | 0;
constexpr TColor clBackground = clSystemColor | 1;
constexpr TColor clActiveCaption = clSystemColor | 2;
constexpr TColor clInactiveCaption = clSystemColor | 3;
constexpr TColor clMenu = clSystemColor | 4;
constexpr TColor clWindowFrame = clSystemColor | 6;
constexpr TColor clMenuText = clSystemColor | 7;
constexpr TColor clCaptionText = clSystemColor | 9;
constexpr TColor clActiveBorder = clSystemColor | 10;
constexpr TColor clInactiveBorder = clSystemColor | 11;
constexpr TColor clAppWorkSpace = clSystemColor | 12;
constexpr TColor clBtnShadow = clSystemColor | 16;
constexpr TColor clInactiveCaptionText = clSystemColor | 19;
constexpr TColor clBtnHighlight = clSystemColor | 20;
constexpr TColor cl3DDkShadow = clSystemColor | 21;
constexpr TColor cl3DLight = clSystemColor | 22;
constexpr TColor clInfoText = clSystemColor | 23;
constexpr TColor clInfoBk = clSystemColor | 24;
constexpr TColor clHotLight = clSystemColor | 26;
constexpr TColor clGradientActiveCaption = clSystemColor | 27;
constexpr TColor clGradientInactiveCaption = clSystemColor | 28;
constexpr TColor clMenuHighlight = clSystemColor | 29;
constexpr TColor clMenuBar = clSystemColor | 30;

// Colour names ("clRed", "clBtnFace") as stored forms and INI files write them: a named
// colour by its name, any other as "$00BBGGRR"; reading takes a name (any case), a
// "$" hex number or a decimal one, and raises EConvertError on anything else.
std::string ColorToString(TColor Color);
TColor StringToColor(const std::string& Text);
bool ColorToIdent(TColor Color, std::string& Ident);
bool IdentToColor(const std::string& Ident, TColor& Color);

// As 0xAARRGGBB for a surface (clNone and clDefault become black).
uint32_t ColorToARGB(TColor Color);

enum TFontStyle {
    fsBold,
    fsItalic,
    fsUnderline,
    fsStrikeOut
};
using TFontStyles = uint32_t;  // bit i = TFontStyle i

class TFont : public TPersistent {
    DCS_CLASS(TFont, TPersistent)

    TFont() = default;
    std::string Name() const { return FName; }
    void SetName(const std::string& Value);
    // Negative: character height in pixels; positive: cell height.
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    // Points at the screen's pixels per inch.
    int Size() const;
    void SetSize(int Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    int PixelsPerInch() const { return FPixelsPerInch; }

    void Assign(TPersistent* Source) override;
    // Fired after every change.
    TNotifyEvent OnChange;

    static void DeclareProperties(TClassBuilder<TFont>& P);

private:
    void Changed();
    std::string FName = "Tahoma";
    int FHeight = -11;
    TColor FColor = clWindowText;
    TFontStyles FStyle = 0;
    int FPixelsPerInch = 96;
};

enum TBrushStyle {
    bsSolid,
    bsClear
};

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
};

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
};

// A picture a canvas can draw, held decoded as a cairo image surface. Each class keeps
// the picture in a file format of its own (what SaveToBytes writes and a stored
// picture holds): PNG here, BMP for a bitmap, the loaded file for JPEG images and icons.
class TGraphic : public TPersistent {
    DCS_CLASS(TGraphic, TPersistent)

    TGraphic() = default;
    ~TGraphic() override;
    int Width() const;
    int Height() const;
    bool Empty() const { return !FSurface; }
    // The pixels (ARGB32, premultiplied); null when empty. The graphic keeps ownership.
    cairo_surface_t* Surface() const { return FSurface; }
    // Decodes a picture file held in memory (JPEG, PNG, BMP, GIF or icon); false, with
    // the graphic unchanged, when the bytes are no picture this class keeps.
    virtual bool LoadFromBytes(const uint8_t* Data, size_t Size);
    // The graphic in its own file format; empty when the graphic is.
    virtual std::vector<uint8_t> SaveToBytes() const;
    // Raises EFOpenError, or EInvalidGraphic when the file is no picture of this class.
    void LoadFromFile(const std::string& FileName);
    // Raises EFCreateError when the file cannot be written.
    void SaveToFile(const std::string& FileName) const;
    void SetSize(int Width, int Height);
    void Assign(TPersistent* Source) override;
    void DefineProperties(TFiler& Filer) override;
    TNotifyEvent OnChange;

    std::string SaveToPngBytes() const;

protected:
    void Changed();
    void SetSurface(cairo_surface_t* Surface);  // takes ownership
    // Run before the surface is replaced or dropped.
    virtual void SurfaceReplacing() {}
    // Decodes any picture the codecs read into the surface; false when they cannot.
    bool DecodeToSurface(const uint8_t* Data, size_t Size);
    cairo_surface_t* FSurface = nullptr;
};

class TCanvas;

class TBitmap : public TGraphic {
    DCS_CLASS(TBitmap, TGraphic)

    TBitmap() = default;
    ~TBitmap() override;
    // Draws on the bitmap's pixels; valid until the bitmap is resized or freed.
    TCanvas* Canvas();
    // A 32-bit top-down BMP file.
    std::vector<uint8_t> SaveToBytes() const override;

protected:
    void SurfaceReplacing() override;

private:
    std::unique_ptr<TCanvas> FCanvas;
    cairo_t* FCr = nullptr;  // the canvas's context on the current surface, owned
};

// The picture an image control shows (the graphic it owns, of its own class).
class TPicture : public TPersistent {
    DCS_CLASS(TPicture, TPersistent)

    TPicture();
    ~TPicture() override;
    TGraphic* Graphic() const { return FGraphic.get(); }
    void SetGraphic(TGraphic* Value);  // copies it
    int Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int Height() const { return FGraphic ? FGraphic->Height() : 0; }
    // Any picture file the codecs read, whatever its extension. Raises EFOpenError or
    // EInvalidGraphic.
    void LoadFromFile(const std::string& FileName);
    void Assign(TPersistent* Source) override;
    // Stored as the graphic's class name (a length byte and the name) and its bytes.
    void DefineProperties(TFiler& Filer) override;
    TNotifyEvent OnChange;

private:
    std::unique_ptr<TGraphic> FGraphic;
};

class TCanvas : public TObject {
public:
    // Cr is borrowed; null gives a canvas that draws nothing.
    explicit TCanvas(cairo_t* Cr = nullptr);
    ~TCanvas() override;
    cairo_t* Handle() const { return FCr; }
    void SetHandle(cairo_t* Cr) { FCr = Cr; }

    TBrush Brush;
    TPen Pen;
    TFont* Font() { return &FFont; }

    void FillRect(const TRect& R);
    void FrameRect(const TRect& R);
    void Rectangle(const TRect& R);  // pen outline, brush inside
    void Ellipse(const TRect& R);
    void MoveTo(int X, int Y);
    void LineTo(int X, int Y);
    void TextOut(int X, int Y, const std::string& Text);
    // Text clipped to R.
    void TextRect(const TRect& R, int X, int Y, const std::string& Text);
    int TextWidth(const std::string& Text);
    int TextHeight(const std::string& Text);
    void Draw(int X, int Y, const TGraphic* Graphic);
    void StretchDraw(const TRect& R, const TGraphic* Graphic);

private:
    void SetColor(TColor C);
    gdi::TFontSpec FontSpec() const;
    cairo_t* FCr;
    TFont FFont;
    TPoint FPen;
};

}  // namespace dcs
