// Colours, fonts, brushes, pens, pictures and the canvas that controls paint on.
//
// A canvas draws through a cairo context, text in the drawing layer's fonts; during a paint the forms' compositor hands
// each control a context that is already translated to the control's origin and clipped
// to what needs repainting, so controls paint in their own client coordinates.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/controls/ControlTypes.h"
#include "platform/gdi/Gdi.h"
#include "platform/base/Geometry.h"

#include <cstdint>
#include <memory>
#include <string>

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
constexpr TColor clBtnShadow = clSystemColor | 16;
constexpr TColor clBtnHighlight = clSystemColor | 20;
constexpr TColor clInfoText = clSystemColor | 23;
constexpr TColor clInfoBk = clSystemColor | 24;

// As 0xAARRGGBB for a surface (clNone and clDefault become black).
uint32_t ColorToARGB(TColor Color);

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
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

enum TBrushStyle { bsSolid, bsClear };

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
};

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
};

// A picture a canvas can draw: held as a cairo image surface.
class TGraphic : public TPersistent {
    DCS_CLASS(TGraphic, TPersistent)

    TGraphic() = default;
    ~TGraphic() override;
    int Width() const;
    int Height() const;
    bool Empty() const { return !FSurface; }
    // The pixels (ARGB32, premultiplied); null when empty. The graphic keeps ownership.
    cairo_surface_t* Surface() const { return FSurface; }
    // Loads PNG bytes (or the picture codecs' formats once they are there); false when
    // the bytes are no picture this layer reads.
    bool LoadFromBytes(const uint8_t* Data, size_t Size);
    void SetSize(int Width, int Height);
    void Assign(TPersistent* Source) override;
    void DefineProperties(TFiler& Filer) override;
    TNotifyEvent OnChange;

    // The stored form: PNG bytes.
    std::string SaveToPngBytes() const;

protected:
    void Changed();
    void SetSurface(cairo_surface_t* Surface);  // takes ownership
    cairo_surface_t* FSurface = nullptr;
};

class TCanvas;

class TBitmap : public TGraphic {
    DCS_CLASS(TBitmap, TGraphic)

    TBitmap() = default;
    ~TBitmap() override;
    TCanvas* Canvas();
    // A 32-bit top-down BMP file. Raises EFCreateError when the file cannot be written.
    void SaveToFile(const std::string& FileName);

private:
    std::unique_ptr<TCanvas> FCanvas;
    cairo_surface_t* FCanvasSurface = nullptr;  // what the canvas's context draws on
};

// The picture an image control shows (the graphic it owns).
class TPicture : public TPersistent {
    DCS_CLASS(TPicture, TPersistent)

    TPicture();
    ~TPicture() override;
    TGraphic* Graphic() const { return FGraphic.get(); }
    void SetGraphic(TGraphic* Value);  // copies it
    int Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int Height() const { return FGraphic ? FGraphic->Height() : 0; }
    void LoadFromFile(const std::string& FileName);
    void Assign(TPersistent* Source) override;
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
