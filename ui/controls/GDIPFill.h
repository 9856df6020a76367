// The fill description every smooth control paints its areas with (gradient in one or
// two halves, hatch or texture, rounded outline, shadow, glass glow, foreground and
// background pictures), and the path and placement routines the controls share.
// GUI thread only.
#pragma once

#include "platform/base/IniFiles.h"
#include "platform/classes/Classes.h"
#include "platform/win/WinDefs.h"
#include "ui/controls/GradientFill.h"
#include "ui/controls/SmGDIPPicture.h"

#include <memory>
#include <string>

namespace dcs::smooth {

enum TFillPicturePosition : int32_t {
    ppTopLeft,
    ppTopCenter,
    ppTopRight,
    ppBottomLeft,
    ppBottomCenter,
    ppBottomRight,
    ppTiled,
    ppStretched,
    ppCenterLeft,
    ppCenterCenter,
    ppCenterRight,
    ppCustom
};
enum TFillPictureSize : int32_t {
    psOriginal,
    psCustom
};
enum TFillPictureMode : int32_t {
    pmInsideFill,
    pmOutsideFill
};
enum TPictureMode : int32_t {
    pmStretch,
    pmNormal
};
enum TFillRoundingType : int32_t {
    rtNone,
    rtTop,
    rtBottom,
    rtBoth,
    rtLeft,
    rtRight
};
enum TShadowType : int32_t {
    stRightBottom,
    stBottom,
    stSurround
};
enum TGlowMode : int32_t {
    gmNone,
    gmGradient,
    gmRadial,
    gmRadialGradient
};

// A new closed path of R with corners of the given radius on the sides the rounding
// type names; the caller owns it. The fourth argument is accepted and ignored.
TGPGraphicsPath* BuildRoundRectPath(const TGPRectF& R, int Radius, TFillRoundingType RoundingType, int = 0);
// The same outline appended to a path, the figure left open.
void AddRoundRectFigure(TGPGraphicsPath* Path, const TGPRectF& R, int Radius, TFillRoundingType RoundingType);
void FillRadialGradient(TGPGraphics* Graphics, const TGPRectF& R, TColor Color, TColor ColorTo, uint8_t Opacity,
                        uint8_t OpacityTo, bool Top, int Rounding, TFillRoundingType RoundingType);
struct TPictureSize {
    int Width = 0;
    int Height = 0;
    bool operator==(const TPictureSize&) const = default;
};
TPictureSize FitPictureSize(int PW, int PH, int BW, int BH, TPictureMode Mode);
// Dotted one-pixel black outline along the rounded path, drawn without smoothing.
void DrawFocusOutline(TGPGraphics* Graphics, const TGPRectF& R, int Rounding, TFillRoundingType RoundingType);

// Hex text of bytes: two upper-case digits per byte. Decoding takes pairs (an odd last
// character is ignored) and raises EConvertError "No Hex-Number" on anything else.
std::string BytesToHex(const std::vector<uint8_t>& Bytes);
std::vector<uint8_t> HexToBytes(const std::string& Text);

// The keys of an INI section as the fill reads and writes them (the fill's overloads on
// TIniFile go through this too).
class TFillIniFile {
public:
    virtual ~TFillIniFile() = default;
    virtual int ReadInteger(const std::string& Section, const std::string& Key, int Default) = 0;
    virtual void WriteInteger(const std::string& Section, const std::string& Key, int Value) = 0;
    // The whole value, however long.
    virtual std::string ReadString(const std::string& Section, const std::string& Key, const std::string& Default) = 0;
    virtual void WriteString(const std::string& Section, const std::string& Key, const std::string& Value) = 0;
};

#define DCS_FILL_PROPERTY(Type, Name)                                                                                  \
    Type Name() const { return F##Name; }                                                                              \
    void Set##Name(Type Value) { SetValue(F##Name, Value); }

class TGDIPFill : public TPersistent {
    DCS_CLASS(TGDIPFill, TPersistent)

    TGDIPFill();
    ~TGDIPFill() override;

    DCS_FILL_PROPERTY(TColor, Color)
    DCS_FILL_PROPERTY(TColor, ColorTo)
    DCS_FILL_PROPERTY(TColor, ColorMirror)
    DCS_FILL_PROPERTY(TColor, ColorMirrorTo)
    DCS_FILL_PROPERTY(TSmGradientType, GradientType)
    DCS_FILL_PROPERTY(TSmGradientType, GradientMirrorType)
    DCS_FILL_PROPERTY(gdiplus::HatchStyle, HatchStyle)
    DCS_FILL_PROPERTY(gdiplus::HatchStyle, HatchStyleMirror)
    DCS_FILL_PROPERTY(bool, BackGroundPictureAspectRatio)
    DCS_FILL_PROPERTY(TFillPictureMode, BackGroundPictureMode)
    TSmGDIPPicture* BackGroundPicture() const { return FBackGroundPicture.get(); }
    void SetBackGroundPicture(TSmGDIPPicture* Value) { FBackGroundPicture->Assign(Value); }
    DCS_FILL_PROPERTY(TFillPicturePosition, BackGroundPicturePosition)
    DCS_FILL_PROPERTY(int, BackGroundPictureLeft)
    DCS_FILL_PROPERTY(int, BackGroundPictureTop)
    DCS_FILL_PROPERTY(TPictureMode, BackGroundPictureAspectMode)
    TSmGDIPPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TSmGDIPPicture* Value) { FPicture->Assign(Value); }
    DCS_FILL_PROPERTY(TFillPicturePosition, PicturePosition)
    DCS_FILL_PROPERTY(int, PictureLeft)
    DCS_FILL_PROPERTY(int, PictureTop)
    DCS_FILL_PROPERTY(TFillPictureSize, PictureSize)
    DCS_FILL_PROPERTY(int, PictureWidth)
    DCS_FILL_PROPERTY(int, PictureHeight)
    DCS_FILL_PROPERTY(bool, PictureAspectRatio)
    DCS_FILL_PROPERTY(TPictureMode, PictureAspectMode)
    DCS_FILL_PROPERTY(uint8_t, Opacity)
    DCS_FILL_PROPERTY(uint8_t, OpacityTo)
    DCS_FILL_PROPERTY(uint8_t, OpacityMirror)
    DCS_FILL_PROPERTY(uint8_t, OpacityMirrorTo)
    DCS_FILL_PROPERTY(TColor, BorderColor)
    DCS_FILL_PROPERTY(uint8_t, BorderOpacity)
    DCS_FILL_PROPERTY(int, BorderWidth)
    DCS_FILL_PROPERTY(int, Rounding)
    DCS_FILL_PROPERTY(TFillRoundingType, RoundingType)
    DCS_FILL_PROPERTY(TColor, ShadowColor)
    DCS_FILL_PROPERTY(int, ShadowOffset)
    DCS_FILL_PROPERTY(TShadowType, ShadowType)
    DCS_FILL_PROPERTY(int, Angle)
    TNotifyEvent OnChange;
    DCS_FILL_PROPERTY(TGlowMode, Glow)
    DCS_FILL_PROPERTY(TColor, GlowGradientColor)
    DCS_FILL_PROPERTY(TColor, GlowRadialColor)

    bool Focus = false;
    TColor FocusColor = clBlack;
    const TGPRectF& FocusRect() const { return FFocusRect; }

    // Copies every published property (pictures by Assign) from another fill, then
    // notifies once; Focus, FocusColor and OnChange stay.
    void Assign(TPersistent* Source) override;
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate()
    {
        if (FUpdateCount > 0)
            --FUpdateCount;
    }

    // Paints into R and returns what is left inside the shadow. An alpha of 255 stands
    // for the fill's own opacity property.
    TGPRectF Fill(TGPGraphics* Graphics, const TGPRectF& R, uint8_t ABorderOpacity = 255, uint8_t AOpacity = 255,
                  uint8_t AOpacityTo = 255, uint8_t AOpacityMirror = 255, uint8_t AOpacityMirrorTo = 255);
    void DrawGradientBackGround(TGPGraphics* Graphics, const TGPRectF& R, bool Mirror, uint8_t oc, uint8_t octo,
                                uint8_t ocmr, uint8_t ocmrto);
    void DrawGlow(TGPGraphics* Graphics, const TGPRectF& R);

    // The settings as integer keys, the pictures as hex text. Loading keeps a key's
    // current value when the key is missing, reads a picture whole (its size key only
    // says that one is there), raises EConvertError "No Hex-Number" on bad hex with the
    // keys before it already applied, and notifies once at the end.
    void SaveToFile(TFillIniFile& Ini, const std::string& Section);
    void LoadFromFile(TFillIniFile& Ini, const std::string& Section);
    void SaveToFile(TIniFile& Ini, const std::string& Section);
    void LoadFromFile(TIniFile& Ini, const std::string& Section);

    // The fill on the process clipboard in the format "GDI+ Fill" (its published
    // properties streamed through a TSaver); loading does nothing when the clipboard holds
    // no fill, and raises EReadError on data that is no fill stream, leaving the fill as
    // it was.
    void SaveToClipBoard();
    void LoadFromClipBoard();

    static void DeclareProperties(TClassBuilder<TGDIPFill>& P);

private:
    template <class T> void SetValue(T& Field, T Value)
    {
        if (Field == Value)
            return;
        Field = Value;
        Changed();
    }
    void Changed();
    void PlacePicture(TGPGraphics* g, const TGPRectF& R, TSmGDIPPicture* pic, TFillPicturePosition pos, int left,
                      int top, int pw, int ph, bool aspect, TPictureMode mode);

    TColor FColor = 0xC0C0C0, FColorTo = 0x808080, FColorMirror = clNone, FColorMirrorTo = clNone;
    TSmGradientType FGradientType = gtVertical, FGradientMirrorType = gtSolid;
    gdiplus::HatchStyle FHatchStyle = HatchStyleHorizontal, FHatchStyleMirror = HatchStyleHorizontal;
    bool FBackGroundPictureAspectRatio = false;
    TFillPictureMode FBackGroundPictureMode = pmOutsideFill;
    std::unique_ptr<TSmGDIPPicture> FBackGroundPicture;
    TFillPicturePosition FBackGroundPicturePosition = ppTopLeft;
    int FBackGroundPictureLeft = 0, FBackGroundPictureTop = 0;
    TPictureMode FBackGroundPictureAspectMode = pmStretch;
    std::unique_ptr<TSmGDIPPicture> FPicture;
    TFillPicturePosition FPicturePosition = ppTopLeft;
    int FPictureLeft = 0, FPictureTop = 0;
    TFillPictureSize FPictureSize = psOriginal;
    int FPictureWidth = 50, FPictureHeight = 50;
    bool FPictureAspectRatio = false;
    TPictureMode FPictureAspectMode = pmStretch;
    uint8_t FOpacity = 255, FOpacityTo = 255, FOpacityMirror = 255, FOpacityMirrorTo = 255;
    TColor FBorderColor = clNone;
    uint8_t FBorderOpacity = 255;
    int FBorderWidth = 1;
    int FRounding = 0;
    TFillRoundingType FRoundingType = rtBoth;
    TColor FShadowColor = 0x808080;
    int FShadowOffset = 0;
    TShadowType FShadowType = stRightBottom;
    int FAngle = 0;
    TGlowMode FGlow = gmNone;
    TColor FGlowGradientColor = clWhite, FGlowRadialColor = clWhite;
    TGPRectF FFocusRect {};
    int FUpdateCount = 0;
};

#undef DCS_FILL_PROPERTY

// Carries a persistent object (not owned) through component streaming as its one
// published property.
class TSaver : public TComponent {
    DCS_CLASS(TSaver, TComponent)

    explicit TSaver(TComponent* AOwner) : TComponent(AOwner) {}
    TPersistent* SaveObject = nullptr;

    static void DeclareProperties(TClassBuilder<TSaver>& P);
};

// The clipboard format of fills.
UINT FillClipboardFormat();

}  // namespace dcs::smooth
