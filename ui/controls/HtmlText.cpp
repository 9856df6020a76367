#include "ui/controls/HtmlText.h"

#include "platform/base/Strings.h"
#include "platform/controls/DCCanvas.h"

#include <algorithm>
#include <cctype>
#include <memory>

namespace dcs::smooth {

namespace {

// ------------------------------------------------------------------ small text helpers

std::string Upper(std::string_view s)
{
    std::string r(s);
    for (char& c : r)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return r;
}

// Replaces the first occurrence of Ref (any case); true when there was one.
bool ReplaceFirstNoCase(std::string& Text, const std::string& Ref, const std::string& By)
{
    const size_t i = Upper(Text).find(Upper(Ref));
    if (i == std::string::npos)
        return false;
    Text.replace(i, Ref.size(), By);
    return true;
}

void ReplaceAllNoCase(std::string& Text, const std::string& Ref, const std::string& By)
{
    size_t from = 0;
    const std::string ref = Upper(Ref);
    for (;;) {
        const size_t i = Upper(Text).find(ref, from);
        if (i == std::string::npos)
            return;
        Text.replace(i, Ref.size(), By);
        from = i + By.size();
    }
}

// Leading integer: sign and digits up to the first other character; false without digits.
bool ReadNumber(const std::string& s, int& Value)
{
    size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        neg = s[i++] == '-';
    long long v = 0;
    bool any = false;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && v < 100000000) {
        v = v * 10 + (s[i++] - '0');
        any = true;
    }
    Value = int(neg ? -v : v);
    return any;
}

// The value of an attribute: between the first double quote after the first occurrence
// of Name (any case) and the next double quote. Found tells whether the name occurs.
std::string Attr(const std::string& Tag, const std::string& Name, bool* Found = nullptr)
{
    const size_t at = Upper(Tag).find(Name);
    if (Found)
        *Found = at != std::string::npos;
    if (at == std::string::npos)
        return {};
    const size_t q1 = Tag.find('"', at + Name.size());
    if (q1 == std::string::npos)
        return {};
    const size_t q2 = Tag.find('"', q1 + 1);
    if (q2 == std::string::npos)
        return {};
    return Tag.substr(q1 + 1, q2 - q1 - 1);
}

// The number in the quoted value after the first letter x of the tag.
bool XNumber(const std::string& Tag, int& N)
{
    const size_t x = Upper(Tag).find('X');
    if (x == std::string::npos)
        return false;
    const std::string v = Attr(Tag.substr(x), "X");
    return ReadNumber(v, N);
}

struct TNamedColor {
    const char* Name;
    uint32_t Value;
};
constexpr TNamedColor kColors[] = {
    {"clred", 0x0000FF},
    {"clblack", 0x000000},
    {"clblue", 0xFF0000},
    {"clgreen", 0x008000},
    {"claqua", 0xFFFF00},
    {"clyellow", 0x00FFFF},
    {"clfuchsia", 0xFF00FF},
    {"clwhite", 0xFFFFFF},
    {"cllime", 0x00FF00},
    {"clsilver", 0xC0C0C0},
    {"clgray", 0x808080},
    {"clolive", 0x008080},
    {"clnavy", 0x800000},
    {"clpurple", 0x800080},
    {"clteal", 0x808000},
    {"clmaroon", 0x000080},
    {"clbackground", 0xFF000001},
    {"clactivecaption", 0xFF000002},
    {"clinactivecaption", 0xFF000003},
    {"clmenu", 0xFF000004},
    {"clwindow", 0xFF000005},
    {"clwindowframe", 0xFF000006},
    {"clmenutext", 0xFF000007},
    {"clwindowtext", 0xFF000008},
    {"clcaptiontext", 0xFF000009},
    {"clactiveborder", 0xFF00000A},
    {"clinactiveborder", 0xFF00000B},
    {"clappworkspace", 0xFF00000C},
    {"clhighlight", 0xFF00000D},
    {"clhighlighttext", 0xFF00000E},
    {"clbtnface", 0xFF00000F},
    {"clbtnshadow", 0xFF000010},
    {"clgraytext", 0xFF000011},
    {"clbtntext", 0xFF000012},
    {"clinactivecaptiontext", 0xFF000013},
    {"clbtnhighlight", 0xFF000014},
    {"cl3ddkshadow", 0xFF000015},
    {"cl3dlight", 0xFF000016},
    {"clinfotext", 0xFF000017},
    {"clinfobk", 0xFF000018},
};

int HexPair(const std::string& s, size_t at)
{
    if (s.size() < at + 2)
        return 0;
    int v = 0;
    for (size_t i = at; i < at + 2; ++i) {
        const char c = s[i];
        v *= 16;
        if (c >= '0' && c <= '9')
            v += c - '0';
        else if (c >= 'A' && c <= 'F')
            v += c - 'A' + 10;
        else
            return 0;
    }
    return v;
}

// ------------------------------------------------------------------ the engine

enum class TPass {
    Measure,
    Draw,
    HitTest
};
enum class TAlign {
    Left,
    Right,
    Center
};

struct TFontPair {
    TFontDesc Font, Reset;
};

class THtmlEngine {
public:
    THtmlEngine(TGPGraphics* g, const THtmlParams& p) : G(g), P(p) {}
    THtmlResult Run(std::string Text, const TRect& R);

private:
    struct TLine {
        int Width = 0;
        int Height = 0;
        int SubH = 0, SupH = 0;
        int ImgAdj = 0;
        bool TextHit = false, ImageHit = false;
    };
    std::string Line(TPass Pass, std::string& Text, const TRect& LR, TLine& L);
    // True when the tag ended the line; Keep is set when the tag stays for the next line.
    bool Tag(TPass Pass, const std::string& TagText, const TRect& LR, TLine& L, int& Pos, int& LiCount, bool& Keep);
    void Image(TPass Pass, const std::string& TagText, const TRect& LR, TLine& L, int& Pos, bool& Keep);
    void Bullet(const std::string& TagText, const TRect& LR, int Pos);
    void DrawListImage(int Index, int X, int Y);
    void Zigzag(int Left, int Right, int Bottom);
    int Width(const std::string& s)
    {
        TRect r {0, 0, 10000, 10000};
        G->DrawText(s, -1, r, Cur, DT_CALCRECT_BIT, clNone);
        return r.Right - r.Left;
    }
    int Gh() { return G->TextHeight("gh", Cur); }

    TGPGraphics* G;
    const THtmlParams& P;
    THtmlResult Res;
    TFontDesc Cur, Reset;
    TColor Background = clNone, SavedBackground = clNone, HiColor = clNone, HiBackground = clNone;
    bool Hidden = false, Shadow = false, Sub = false, Sup = false, Error = false;
    int ListLevel = 0;
    TAlign Align = TAlign::Left;
    int Indent = 0;
    int HOffset = 0;
    bool InLink = false;
    std::string Target, Title;
    int LinkCount = 0, ImageCount = 0, HitImage = -1;
};

THtmlResult THtmlEngine::Run(std::string Text, const TRect& R)
{
    Cur = Reset = P.Font;
    TFontPair measure {P.Font, P.Font}, draw {P.Font, P.Font};
    // References that may build others are replaced until none is left.
    if (Text.find('&') != std::string::npos) {
        static const std::pair<const char*, const char*> refs[] = {
            {"&amp;", "&"},         {"&quot;", "\""},      {"&sect;", "\u00A7"},
            {"&permil;", "\u2030"}, {"&reg;", "\u00AE"},   {"&copy;", "\u00A9"},
            {"&para;", "\u00B6"},   {"&trade;", "\u2122"}, {"&euro;", "\u20AC"}};
        for (bool any = true; any;) {
            any = false;
            for (const auto& [ref, by] : refs)
                any |= ReplaceFirstNoCase(Text, ref, by);
        }
    }
    if (const size_t i = Text.find("<#"); i != std::string::npos) {
        std::string rest = Text.substr(i + 1);
        if (const size_t gt = rest.find('>'); gt != std::string::npos)
            rest.erase(gt, 1);
        Text = Text.substr(0, i) + rest;
    }
    {
        std::string t;
        t.reserve(Text.size());
        for (char c : Text) {
            if (c == '\r')
                t += "<BR>";
            else if (c != '\n')
                t += c;
        }
        Text.swap(t);
    }
    int top = R.Top;
    while (!Text.empty()) {
        Cur = measure.Font;
        Reset = measure.Reset;
        Sub = Sup = false;
        TLine L;
        L.Height = Gh();
        const int base = L.Height;
        // What the drawing pass starts the line with.
        const int listLevel = ListLevel, links = LinkCount, images = ImageCount;
        const bool inLink = InLink;
        const std::string target = Target;
        const TRect lineRect {R.Left + 1, top, R.Right, R.Bottom};
        const size_t before = Text.size();
        std::string source = Line(TPass::Measure, Text, lineRect, L);
        if (Text.size() >= before && !Text.empty()) {
            // Whatever the widths, a line takes at least one character.
            source += Text.substr(0, 1);
            Text.erase(0, 1);
        }
        measure = {Cur, Reset};
        InLink = inLink;
        Target = target;
        if (!Text.empty())
            L.Height += P.LineSpacing;
        int left = lineRect.Left;
        if (Align == TAlign::Right && R.Right - L.Width > left)
            left = R.Right - L.Width;
        else if (Align == TAlign::Center && R.Right - left - L.Width > 0)
            left += (R.Right - left - L.Width) / 2;
        left += Indent;
        const int bottom = top + L.Height + L.SubH + L.SupH;
        if (!P.MeasureOnly) {
            Cur = draw.Font;
            Reset = draw.Reset;
            ListLevel = listLevel;
            LinkCount = links;
            ImageCount = images;
            Sub = Sup = false;
            TLine D = L;
            D.Width = 0;
            D.TextHit = D.ImageHit = false;
            const TRect placed {left, top, R.Right, bottom};
            Line(P.HitTestOnly ? TPass::HitTest : TPass::Draw, source, placed, D);
            draw = {Cur, Reset};
            const int gh = G->TextHeight("gh", P.Font);
            if ((D.TextHit && bottom - D.ImgAdj - gh < P.Y && P.Y < bottom - D.ImgAdj) || D.ImageHit)
                Res.Hit = true;
        }
        top += L.Height + L.SubH + L.SupH;
        Res.YSize += L.Height + L.SubH + L.SupH;
        if (!P.MeasureOnly && top + base > R.Bottom)
            break;
    }
    if (Res.YSize == 0)
        Res.YSize = G->TextHeight("gh", P.Font);
    Res.YSize += 2;
    if (!Res.Hit)
        Res.Anchor.clear(), Res.Title.clear();
    return Res;
}

std::string THtmlEngine::Line(TPass Pass, std::string& Text, const TRect& LR, TLine& L)
{
    std::string source;
    const bool measuring = Pass != TPass::Draw;
    int pos = LR.Left + HOffset;
    int liCount = 0;
    bool ended = false;
    bool placedEndsWithBlank = false;
    Title.clear();
    while (!Text.empty() && !ended) {
        // 1. The next piece: up to a tag, or up to and including a blank.
        const size_t t = Text.find('<'), b = Text.find(' ');
        size_t len;
        if (t != std::string::npos && (b == std::string::npos || t < b))
            len = t;
        else if (b != std::string::npos)
            len = b + 1;
        else
            len = Text.size();
        if (len > 0) {
            std::string piece = Text.substr(0, len);
            ReplaceAllNoCase(piece, "&nbsp;", " ");
            ReplaceAllNoCase(piece, "&lt;", "<");
            ReplaceAllNoCase(piece, "&gt;", ">");
            const int h = G->TextHeight(piece, Cur);
            if (Sub && L.SubH < h / 4)
                L.SubH = h / 2;
            if (Sup && L.SupH < h / 4)
                L.SupH = h / 2;
            L.Height = std::max(L.Height, h);
            if (Hidden) {
                source += Text.substr(0, len);
                Text.erase(0, len);
                continue;
            }
            const int before = L.Width;
            int w = 0;
            if (measuring) {
                w = piece == " " ? 0 : Width(piece);
                L.Width += w;
                if (InLink && P.X - LR.Left >= before && P.X - LR.Left <= L.Width) {
                    L.TextHit = true;
                    if (LR.Top < P.Y && P.Y < LR.Top + Gh()) {
                        Res.Anchor = Target;
                        Res.Title = Title;
                    }
                }
            } else {
                TRect pr {pos, LR.Top, LR.Right, LR.Bottom};
                if (Sup) {
                    pr.Bottom -= L.SupH;
                    pr.Top -= L.SupH / 2;
                }
                if (Sub) {
                    pr.Bottom += L.SubH;
                    pr.Top += L.SubH / 2;
                }
                pr.Bottom -= L.ImgAdj;
                w = piece == " " ? Width(piece) : 0;
                if (piece != " ") {
                    if (Shadow) {
                        TRect sr = pr.Offset(P.ShadowOffset, P.ShadowOffset);
                        TFontDesc sf = Cur;
                        sf.Color = P.ShadowColor;
                        G->DrawText(piece, -1, sr, sf, 0, Background);
                    }
                    TRect dr = pr;
                    G->DrawText(piece, -1, dr, Cur, 0, Background);
                    w = Width(piece);
                    if (Error)
                        Zigzag(pos, pos + w, LR.Bottom);
                }
                pos += w;
            }
            // Fitting: a piece right after text without a blank is never moved alone.
            const int available = LR.Right - LR.Left - HOffset;
            const bool fits = available >= L.Width || w >= available || !placedEndsWithBlank;
            if (!fits) {
                L.Width -= w;
                ended = true;
                break;
            }
            source += Text.substr(0, len);
            Text.erase(0, len);
            placedEndsWithBlank = piece.back() == ' ';
        }
        // 3. A lone "<" at the end is dropped.
        if (!Text.empty() && Text[0] == '<' && Text.size() <= 2) {
            Text.clear();
            break;
        }
        if (ended || Text.empty() || Text[0] != '<' || Text.size() < 3)
            continue;
        // 4. The tag, up to its ">" (or the rest of the text).
        const size_t gt = Text.find('>');
        const size_t tagLen = gt == std::string::npos ? Text.size() : gt + 1;
        const std::string tag = Text.substr(0, tagLen);
        bool keep = false;
        ended = Tag(Pass, tag, LR, L, pos, liCount, keep);
        if (keep)
            break;
        source += tag;
        Text.erase(0, tagLen);
    }
    Res.XSize = std::max(Res.XSize, L.Width + 2);
    return source;
}

bool THtmlEngine::Tag(TPass Pass, const std::string& T, const TRect& LR, TLine& L, int& Pos, int& LiCount, bool& Keep)
{
    const bool draw = Pass == TPass::Draw;
    const std::string U = Upper(T);
    auto starts = [&](const char* s) { return U.compare(0, std::char_traits<char>::length(s), s) == 0; };
    if (U.size() > 1 && U[1] == '/') {
        if (starts("</A")) {
            if (draw)
                Cur.Style &= ~fsUnderlineBit;
            Cur.Color = Reset.Color;
            InLink = false;
        } else if (starts("</B>")) {
            Cur.Style &= ~fsBoldBit;
        } else if (starts("</B")) {
            Cur.Color = Reset.Color;
        } else if (starts("</E")) {
            if (draw)
                Error = false;
        } else if (starts("</F")) {
            Cur.Name = Reset.Name;
            Cur.Size = Reset.Size;
            if (draw) {
                Cur.Color = Reset.Color;
                Background = SavedBackground;
            }
        } else if (starts("</H")) {
            if (draw) {
                Cur.Color = HiColor;
                Background = HiBackground;
            }
        } else if (starts("</I")) {
            Cur.Style &= ~fsItalicBit;
        } else if (starts("</L")) {
            return true;
        } else if (starts("</O")) {
            HOffset = 0;
        } else if (starts("</P")) {
            if (draw)
                Background = clNone;
            return true;
        } else if (starts("</SU")) {
            Sub = Sup = false;
        } else if (starts("</SH")) {
            Shadow = false;
        } else if (starts("</S")) {
            Cur.Style &= ~fsStrikeOutBit;
        } else if (starts("</U>")) {
            Cur.Style &= ~fsUnderlineBit;
        } else if (starts("</U")) {
            if (ListLevel > 0)
                --ListLevel;
            else
                Cur.Style &= ~fsUnderlineBit;
        } else if (starts("</Z")) {
            Hidden = false;
        }
        return false;
    }
    if (starts("<B>")) {
        Cur.Style |= fsBoldBit;
    } else if (starts("<BL")) {
        Cur.Color = clWhite;
    } else if (starts("<BO")) {
        if (draw) {
            bool from = false, to = false;
            const std::string c = Attr(T, "BGCOLOR", &from);
            Attr(T, "BGCOLORTO", &to);
            if (to) {
                Background = clNone;
            } else if (from) {
                SavedBackground = Background;
                Background = HtmlColor(c);
            }
        }
    } else if (starts("<BR")) {
        return true;
    } else if (starts("<E")) {
        if (draw)
            Error = true;
    } else if (starts("<F")) {
        bool has = false;
        std::string v = Attr(T, "FACE", &has);
        if (has)
            Cur.Name = v;
        v = Attr(T, " COLOR", &has);
        if (has)
            Cur.Color = HtmlColor(v);
        v = Attr(T, "SIZE", &has);
        int n = 0;
        if (has && ReadNumber(v, n)) {
            static const int sizes[] = {8, 10, 12, 14, 16};
            Cur.Size = n >= 1 && n <= 5 ? sizes[n - 1] : n;
        }
        v = Attr(T, "BGCOLOR", &has);
        if (draw && has) {
            SavedBackground = Background;
            Background = HtmlColor(v);
        }
    } else if (starts("<HI")) {
        if (draw) {
            HiColor = Cur.Color;
            HiBackground = Background;
            Background = clHighlight;
            Cur.Color = clHighlightText;
        }
    } else if (starts("<HR")) {
        if (draw) {
            TGPPen pen(ColorToARGB(clBlack), 1);
            G->DrawLine(&pen, REAL(LR.Left), REAL(LR.Bottom + 1), REAL(LR.Right), REAL(LR.Bottom + 1));
        }
        return true;
    } else if (starts("<I>")) {
        Cur.Style |= fsItalicBit;
    } else if (starts("<IN")) {
        int n = 0;
        if (XNumber(T, n) && n > L.Width) {
            L.Width = n;
            Pos = LR.Left + n;
        }
    } else if (starts("<IM")) {
        Image(Pass, T, LR, L, Pos, Keep);
        return Keep;
    } else if (starts("<L")) {
        if (++LiCount > 1) {
            Keep = true;
            return true;
        }
        L.Width += ListLevel * 12;
        Pos += ListLevel * 12 - 12;
        if (draw && !Hidden)
            Bullet(T, LR, Pos);
        Pos += 12;
    } else if (starts("<OF")) {
        int n = 0;
        if (XNumber(T, n)) {
            HOffset = n;
            Pos = LR.Left + n;
            L.Width = n;
        }
    } else if (starts("<P")) {
        bool has = false;
        const std::string a = Upper(Attr(T, "ALIGN", &has));
        if (has) {
            if (a.find("RIGHT") != std::string::npos)
                Align = TAlign::Right;
            if (a.find("LEFT") != std::string::npos)
                Align = TAlign::Left;
            if (a.find("CENTER") != std::string::npos)
                Align = TAlign::Center;
        }
        int n = 0;
        if (ReadNumber(Attr(T, "INDENT", &has), n) && has)
            Indent = n;
        bool to = false;
        Attr(T, "BGCOLORTO", &to);
        if (draw && to)
            Background = clNone;
    } else if (starts("<SUB>")) {
        Sub = true;
    } else if (starts("<SUP>")) {
        Sup = true;
    } else if (starts("<SH")) {
        Shadow = true;
    } else if (starts("<S>")) {
        Cur.Style |= fsStrikeOutBit;
    } else if (starts("<U>")) {
        Cur.Style |= fsUnderlineBit;
    } else if (starts("<U")) {
        ++ListLevel;
        return true;
    } else if (starts("<Z")) {
        Hidden = true;
    } else if (starts("<A")) {
        ++LinkCount;
        if (draw)
            Cur.Style |= fsUnderlineBit;
        Cur.Color = P.URLColor;
        Target = Attr(T, "HREF");
        InLink = true;
        bool has = false;
        const std::string title = Attr(T, "TITLE", &has);
        if (has)
            Title = title;
    }
    return false;
}

void THtmlEngine::Image(TPass Pass, const std::string& T, const TRect& LR, TLine& L, int& Pos, bool& Keep)
{
    const int number = ++ImageCount;
    std::string src = Upper(Attr(T, "SRC"));
    bool hasAlt = false;
    const std::string alt = Attr(T, "ALT", &hasAlt);
    if (hasAlt && number == HitImage)
        src = Upper(alt);
    int w = 0, h = 0, aw = 0, ah = 0;
    ReadNumber(Attr(T, "WIDTH"), aw);
    ReadNumber(Attr(T, "HEIGHT"), ah);
    TSmGDIPPicture* pic = nullptr;
    int listIndex = -1;
    if (src.find("IDX:") != std::string::npos) {
        // What follows the prefix must be an index of the list; a value that is no
        // number, or a negative one, names no picture and takes no room.
        int i = -1;
        if (P.Images && TryStrToInt(src.substr(4), i) && i >= 0 && i < P.Images->Count()) {
            listIndex = i;
            w = P.Images->Width();
            h = P.Images->Height();
        }
    } else if (src.find("SSYS:") != std::string::npos || src.find("LSYS:") != std::string::npos) {
        // The shell's icon lists have no counterpart here: such images take no room.
    } else if (src.find(':') == std::string::npos && P.Container) {
        pic = P.Container->FindPicture(src);
        if (pic && pic->Empty())
            pic = nullptr;
        if (pic) {
            if (aw >= 1 && ah >= 1) {
                w = aw;
                h = ah;
            } else {
                w = pic->Width();
                h = pic->Height();
            }
        }
    }
    if (P.X - LR.Left > L.Width && P.X - LR.Left < L.Width + w && LR.Top < P.Y && P.Y < LR.Top + h && InLink) {
        L.ImageHit = true;
        Res.Anchor = Target;
        if (!Title.empty())
            Res.Title = Title;
        HitImage = number;
    }
    const int available = LR.Right - LR.Left;
    if (available < L.Width + w && w < available) {
        Keep = true;
        return;
    }
    if (Pass == TPass::Draw && pic)
        pic->GDIPDraw(G, TRect {Pos, LR.Top, Pos + w, LR.Top + h});
    if (Pass == TPass::Draw && listIndex >= 0)
        DrawListImage(listIndex, Pos, LR.Top);
    L.Width += w;
    Pos += w;
    L.Height = std::max(L.Height, h);
    const std::string align = Upper(Attr(T, "ALIGN"));
    if (align.rfind("TOP", 0) == 0)
        L.ImgAdj = L.Height - Gh();
    else if (align.rfind("MIDDLE", 0) == 0)
        L.ImgAdj = (L.Height - Gh()) / 2;
    if (Upper(T).find("WRAP") != std::string::npos) {
        L.Height = Gh();
        L.ImgAdj = 0;
    }
}

void THtmlEngine::DrawListImage(int Index, int X, int Y)
{
    // The list draws on a framework canvas: one bound to the graphics' own pixels.
    HDC dc = G->GetHDC();
    if (!dc)
        return;
    {
        TDCCanvas canvas(dc);
        P.Images->Draw(canvas.Get(), X, Y, Index);
    }
    G->ReleaseHDC(dc);
}

void THtmlEngine::Bullet(const std::string& T, const TRect& LR, int Pos)
{
    bool hasType = false, hasColor = false;
    const std::string type = Upper(Attr(T, "TYPE", &hasType));
    const std::string colorText = Attr(T, "COLOR", &hasColor);
    const TColor color = hasColor ? HtmlColor(colorText) : clWhite;
    if (!hasType) {
        TFontDesc f = Cur;
        f.Name = "Symbol";
        if (hasColor)
            f.Color = color;
        TRect r {Pos, LR.Top, Pos + 12, LR.Bottom};
        G->DrawText(ListLevel % 2 ? "\u00B7" : "o", -1, r, f, 0, clNone);
    } else if (type == "SQUARE" || type == "CIRCLE") {
        TGPSolidBrush brush(ColorToARGB(color));
        if (type == "SQUARE")
            G->FillRectangle(&brush, REAL(Pos), REAL(LR.Top + 2), 8, 8);
        else
            G->FillEllipse(&brush, REAL(Pos), REAL(LR.Top + 2), 8, 8);
    } else if (type == "IMAGE" && P.Container) {
        if (TSmGDIPPicture* pic = P.Container->FindPicture(Attr(T, "NAME")); pic && !pic->Empty())
            pic->GDIPDraw(G, TRect {Pos, LR.Top + 2, Pos + pic->Width(), LR.Top + 2 + pic->Height()});
    }
}

void THtmlEngine::Zigzag(int Left, int Right, int Bottom)
{
    TGPPen pen(ColorToARGB(clRed), 1);
    int x = Left - (((Left % 2) + 2) % 2);
    int p = x % 4 == 0 ? 0 : 2;
    for (; x <= Right; x += 2, p = 2 - p)
        G->DrawLine(&pen, REAL(x), REAL(Bottom - 4 + p), REAL(x + 2), REAL(Bottom - 2 - p));
}

}  // namespace

TColor HtmlColor(const std::string& Value)
{
    if (!Value.empty() && Value[0] == '#') {
        const std::string u = Upper(Value.substr(1));
        const int r = HexPair(u, 0), g = HexPair(u, 2), b = HexPair(u, 4);
        return TColor(r | (g << 8) | (b << 16));
    }
    const std::string name = LowerCase(Value);
    for (const TNamedColor& c : kColors)
        if (name == c.Name)
            return TColor(c.Value);
    return clBlack;
}

THtmlResult DrawHtmlText(TGPGraphics* g, const std::string& Text, const TRect& R, const THtmlParams& P)
{
    THtmlEngine e(g, P);
    return e.Run(Text, R);
}

}  // namespace dcs::smooth
