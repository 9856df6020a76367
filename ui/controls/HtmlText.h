// The mini-HTML text engine: draws, measures or hit-tests a short text in a small tag
// language (bold, italic, underline, strike-out, FONT face/size/colour, backgrounds,
// shadow, sub- and superscript, error zigzag, hidden text, breaks, rules, paragraphs with
// alignment and indent, offsets, bulleted lists, images from an image list or a picture
// container, and hyperlinks) onto a drawing surface inside a rectangle. Text wraps at blanks.
// GUI thread only.
#pragma once

#include "platform/controls/ImgList.h"
#include "ui/controls/GDIPPictureContainer.h"
#include "ui/controls/GPGraphics.h"

#include <string>

namespace dcs::smooth {

// What one call found: whether (X, Y) lies on a hyperlink, its target and title, and the
// room the text needs (widest line + 2, sum of line heights + 2).
struct THtmlResult {
    bool Hit = false;
    std::string Anchor;
    std::string Title;
    int XSize = 0;
    int YSize = 0;
};

struct THtmlParams {
    TFontDesc Font;
    TCustomImageList* Images = nullptr;          // may be null; SRC "IDX:n"
    TGDIPPictureContainer* Container = nullptr;  // may be null
    int X = 0, Y = 0;                            // hit point
    TColor ShadowColor = 0x808080;
    int ShadowOffset = 5;
    TColor URLColor = 0xFF0000;
    int LineSpacing = 2;
    bool MeasureOnly = false;
    bool HitTestOnly = false;
};

// Lays out Text in R and, unless measuring or hit-testing only, draws it on g.
THtmlResult DrawHtmlText(TGPGraphics* g, const std::string& Text, const TRect& R, const THtmlParams& P);

// A colour value of the tag language: "#RRGGBB" or a colour name ("clRed", ...);
// unknown names give black.
TColor HtmlColor(const std::string& Value);

}  // namespace dcs::smooth
