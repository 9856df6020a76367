#include "Canvas.h"

#include "platform/gdiplus/MemoryStream.h"
#include "ui/controls/HtmlText.h"
#include "ui/controls/ImageEncoders.h"

#include <gtest/gtest.h>

#include <string>

namespace dcs::smooth::test {
namespace {

class HtmlTest : public ::testing::Test {
protected:
    HtmlTest() : C(400, 300) { P.Font = TFontDesc {"Tahoma", 8, 0, clBlack}; }
    THtmlResult Measure(const std::string& Text, int W = 400)
    {
        THtmlParams p = P;
        p.MeasureOnly = true;
        return DrawHtmlText(&C.G, Text, TRect {0, 0, W, 300}, p);
    }
    THtmlResult HitAt(const std::string& Text, int X, int Y, int W = 400)
    {
        THtmlParams p = P;
        p.HitTestOnly = true;
        p.X = X;
        p.Y = Y;
        return DrawHtmlText(&C.G, Text, TRect {0, 0, W, 300}, p);
    }
    // A piece's width as the engine measures it.
    int W(const std::string& s, TFontDesc f = {"Tahoma", 8, 0, clBlack})
    {
        TRect r {0, 0, 10000, 10000};
        C.G.DrawText(s, -1, r, f, DT_CALCRECT_BIT, clNone);
        return r.Width();
    }
    int Gh(int size = 8) { return C.G.TextHeight("gh", TFontDesc {"Tahoma", size, 0, clBlack}); }
    // A container with one 32 x 16 picture named "pic".
    void AddPicture()
    {
        TGPBitmap b(32, 16);
        TGUID clsid;
        ASSERT_TRUE(EncoderClsidForType(itPNG, clsid));
        IntfPtr<gdiplus::TMemoryIStream> s(new gdiplus::TMemoryIStream);
        ASSERT_EQ(b.Save(s.Get(), clsid), Ok);
        TPictureItem* item = Container.Items()->Add();
        item->Name = "pic";
        item->Picture()->LoadFromBytes(s->Bytes());
        ASSERT_EQ(item->Picture()->Width(), 32);
        P.Container = &Container;
    }
    Canvas C;
    THtmlParams P;
    TGDIPPictureContainer Container {nullptr};
};

TEST_F(HtmlTest, EmptyTextAndReferences)
{
    EXPECT_EQ(Measure("").XSize, 0);
    EXPECT_EQ(Measure("").YSize, Gh() + 2);
    EXPECT_EQ(Measure("a&amp;b").XSize, W("a&b") + 2) << "one ampersand";
    EXPECT_EQ(Measure("a&AMP;amp;b").XSize, W("a&b") + 2) << "replaced until none is left";
    EXPECT_EQ(Measure("&copy;").XSize, W("\u00A9") + 2);
    EXPECT_EQ(Measure("&lt;B&gt;x").XSize, W("<B>x") + 2) << "stays literal, not bold";
    EXPECT_EQ(Measure("<B>x").XSize, W("x", {"Tahoma", 8, fsBoldBit, clBlack}) + 2);
    EXPECT_EQ(Measure("<#name>").XSize, W("#name") + 2);
}

TEST_F(HtmlTest, WrapRules)
{
    const int line = Gh() + 2;  // a line followed by another carries the spacing
    const TFontDesc bold {"Tahoma", 8, fsBoldBit, clBlack};
    // Room for the bold word and a blank, not for the plain word after it.
    const int narrow = 1 + W("Bold", bold) + W("plain") / 2;
    EXPECT_EQ(Measure("<B>Bold</B> plain", narrow).YSize, line + Gh() + 2);
    EXPECT_EQ(Measure("<B>Bold</B> plain").YSize, Gh() + 2);
    // A word wider than the whole line stays after what precedes it.
    EXPECT_EQ(Measure("a verylongword", 1 + W("very")).YSize, Gh() + 2);
    // A word split by tags is never moved alone.
    const int room = 1 + W("aaaa ") + W("bb") + 2;
    EXPECT_EQ(Measure("aaaa bb<B>cc</B>", room).YSize, Gh() + 2);
    EXPECT_EQ(Measure("aaaa bb cc", room).YSize, line + Gh() + 2);
    // Carriage returns break, line feeds alone do not.
    EXPECT_EQ(Measure("a\rb").YSize, line + Gh() + 2);
    EXPECT_EQ(Measure("a\r\nb").YSize, line + Gh() + 2);
    EXPECT_EQ(Measure("a\nb").YSize, Gh() + 2);
    EXPECT_EQ(Measure("a\nb").XSize, W("ab") + 2);
}

TEST_F(HtmlTest, FontSizesAndTheirEnd)
{
    EXPECT_EQ(Measure("<FONT size=\"3\">gh</FONT>").YSize, Gh(12) + 2);
    EXPECT_EQ(Measure("<FONT size=\"20\">gh</FONT>").YSize, Gh(20) + 2);
    // After the end of the inner FONT the base font is back, the outer FONT still open.
    EXPECT_EQ(Measure("<FONT size=\"20\">A<FONT size=\"3\">B</FONT><BR>gh").YSize, Gh(20) + 2 + Gh() + 2);
    EXPECT_EQ(Measure("<FONT face=\"Tahoma\" size=\"20\">x").XSize, W("x", {"Tahoma", 20, 0, clBlack}) + 2);
}

TEST_F(HtmlTest, ParagraphAlignmentPersists)
{
    const std::string text = "<P align=\"center\">x<BR><A href=\"h\">link</A>";
    const int y = Gh() + 2 + Gh() / 2;
    const THtmlResult centre = HitAt(text, 200, y);
    EXPECT_TRUE(centre.Hit);
    EXPECT_EQ(centre.Anchor, "h");
    EXPECT_FALSE(HitAt(text, 3, y).Hit) << "the second line is centred too";
}

TEST_F(HtmlTest, ImagesTakeTheirRoomAndWrap)
{
    AddPicture();
    ASSERT_LT(Gh(), 16);
    EXPECT_EQ(Measure("<IMG src=\"pic\">x").XSize, 32 + W("x") + 2);
    EXPECT_EQ(Measure("<IMG src=\"pic\">x").YSize, 16 + 2);
    EXPECT_EQ(Measure("<IMG src=\"PIC\" width=\"10\" height=\"40\">").YSize, 40 + 2);
    EXPECT_EQ(Measure("<IMG src=\"missing\">x").XSize, W("x") + 2) << "takes no room";
    EXPECT_EQ(Measure("<IMG src=\"idx:0\">x").XSize, W("x") + 2);
    // Narrower than the line but not than the room left: the next line.
    const int w = 1 + W("aaaa") + 20;
    EXPECT_EQ(Measure("aaaa<IMG src=\"pic\">", w).YSize, Gh() + 2 + 16 + 2);
    // Wider than the whole line: stays.
    EXPECT_EQ(Measure("<IMG src=\"pic\">", 20).YSize, 16 + 2);
}

// "IDX:n" takes picture n of the image list, at the list's size; any source that names no
// picture of the list takes no room.
TEST_F(HtmlTest, ImagesFromTheImageList)
{
    TOwned<TImageList> list(Create<TImageList>(nullptr));
    list->SetWidth(32);
    list->SetHeight(16);
    TBitmap red;
    red.SetSize(32, 16);
    red.Canvas()->Brush.Color = clRed;
    red.Canvas()->FillRect(TRect {0, 0, 32, 16});
    ASSERT_EQ(list->Add(&red, nullptr), 0);
    ASSERT_LT(Gh(), 16);

    for (const char* none : {"nothing", "idx:1", "idx:-1", "idx:", "idx:x", "ssys:1", "lsys:folder"}) {
        P.Images = list.get();
        EXPECT_EQ(Measure(std::string("<IMG src=\"") + none + "\">x").XSize, W("x") + 2) << none;
    }
    P.Images = nullptr;
    EXPECT_EQ(Measure("<IMG src=\"idx:0\">x").XSize, W("x") + 2) << "no list";

    P.Images = list.get();
    EXPECT_EQ(Measure("<IMG src=\"idx:0\">x").XSize, 32 + W("x") + 2);
    EXPECT_EQ(Measure("<IMG src=\"idx:0\">x").YSize, 16 + 2);

    // Drawn at the line's left, the text after it 32 further on.
    DrawHtmlText(&C.G, "<IMG src=\"idx:0\">x", TRect {0, 0, 400, 300}, P);
    EXPECT_EQ(C.At(1, 0), 0xFFFF0000u);
    EXPECT_EQ(C.At(32, 15), 0xFFFF0000u);
    EXPECT_EQ(C.At(33, 0), 0xFFFFFFFFu);
    const TGPRect ink = C.Bounds(0xFFFFFFFF);
    EXPECT_EQ(ink.X, 1);
    EXPECT_GT(ink.Width, 32) << "the x follows the image";
    C.Dump("html_image_list");

    const THtmlResult r = HitAt("<A href=\"list\" title=\"T\"><IMG src=\"idx:0\"></A>", 17, 8);
    EXPECT_TRUE(r.Hit);
    EXPECT_EQ(r.Anchor, "list");
    EXPECT_EQ(r.Title, "T");
    EXPECT_FALSE(HitAt("<A href=\"list\"><IMG src=\"idx:0\"></A>", 40, 8).Hit) << "right of the image";
}

TEST_F(HtmlTest, HitTestsOnLinksAndImages)
{
    const std::string text = "<A href=\"one\" title=\"T1\">first</A> gap <A href=\"two\">second</A>";
    const int y = Gh() / 2;
    const int wf = W("first"), wg = W("gap ");
    THtmlResult r = HitAt(text, 1 + wf / 2, y);
    EXPECT_TRUE(r.Hit);
    EXPECT_EQ(r.Anchor, "one");
    EXPECT_EQ(r.Title, "T1");
    r = HitAt(text, 1 + wf + wg / 2, y);
    EXPECT_FALSE(r.Hit) << "between the links";
    EXPECT_EQ(r.Anchor, "");
    r = HitAt(text, 1 + wf + wg + W("second") / 2, y);
    EXPECT_TRUE(r.Hit);
    EXPECT_EQ(r.Anchor, "two");
    EXPECT_FALSE(HitAt(text, 1 + wf / 2, Gh() + 5).Hit) << "below the line";

    AddPicture();
    r = HitAt("<A href=\"img\"><IMG src=\"pic\"></A>", 17, 8);
    EXPECT_TRUE(r.Hit);
    EXPECT_EQ(r.Anchor, "img");
    EXPECT_FALSE(HitAt("<IMG src=\"pic\">", 17, 8).Hit) << "an image outside a link";
}

TEST_F(HtmlTest, ZeroAndNegativeWidthsTerminate)
{
    const std::string text = "some words <B>bold</B> and <IMG src=\"pic\"> more<LI>item<LI>two";
    AddPicture();
    for (int w : {0, -50, 1}) {
        THtmlParams p = P;
        for (int mode = 0; mode < 3; ++mode) {
            p.MeasureOnly = mode == 0;
            p.HitTestOnly = mode == 2;
            const THtmlResult r = DrawHtmlText(&C.G, text, TRect {0, 0, w, 10000}, p);
            EXPECT_GT(r.YSize, Gh()) << w << " " << mode;
        }
    }
}

TEST_F(HtmlTest, ColourValues)
{
    EXPECT_EQ(HtmlColor("#FF0000"), 0x0000FF);
    EXPECT_EQ(HtmlColor("#00ff80"), 0x80FF00);
    EXPECT_EQ(HtmlColor("#F"), 0);
    EXPECT_EQ(HtmlColor("clRed"), 0x0000FF);
    EXPECT_EQ(HtmlColor("CLNAVY"), 0x800000);
    EXPECT_EQ(HtmlColor("clBtnFace"), TColor(0xFF00000F));
    EXPECT_EQ(HtmlColor("nonsense"), 0);
}

TEST_F(HtmlTest, DrawsTextErrorLineAndRule)
{
    DrawHtmlText(&C.G, "<E>wrong</E> fine<HR>next", TRect {0, 0, 400, 300}, P);
    const TGPRect ink = C.Bounds(0xFFFFFFFF);
    EXPECT_GT(ink.Width, W("wrong fine") - 4);
    int red = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 100; ++x)
            red += C.Red(x, y) > 200 && C.Green(x, y) < 80;
    EXPECT_GT(red, 10) << "the zigzag under the wrong word";
    C.Dump("html_draw");
}

}  // namespace
}  // namespace dcs::smooth::test
