#include "Canvas.h"

#include "platform/controls/Graphics.h"
#include "platform/gdiplus/MemoryStream.h"
#include "ui/controls/GDIPicture.h"
#include "ui/controls/ImageEncoders.h"
#include "ui/controls/SmGDIPPicture.h"

namespace dcs::smooth::test {
namespace {

TEST(GDIPicture, SourcesKeptOrRefused)
{
    TGraphic graphic;
    graphic.SetSize(3, 2);
    TBitmap bitmap;
    bitmap.SetSize(5, 4);

    // The smooth picture keeps any framework graphic; the hint picture only bitmaps.
    TSmGDIPPicture smooth;
    smooth.Assign(&graphic);
    EXPECT_FALSE(smooth.Empty());
    EXPECT_EQ(smooth.Width(), 3);

    TGDIPPicture hint;
    int events = 0;
    hint.OnChange = [&](TObject*) { ++events; };
    hint.Assign(&graphic);
    EXPECT_TRUE(hint.Empty());
    hint.Assign(&smooth);
    EXPECT_TRUE(hint.Empty());
    EXPECT_EQ(events, 0) << "refused sources raise no events";
    hint.Assign(&bitmap);
    EXPECT_FALSE(hint.Empty());
    EXPECT_EQ(hint.Width(), 5);
    EXPECT_EQ(hint.Height(), 4);
    EXPECT_EQ(events, 1);

    std::string order;
    hint.OnChange = [&](TObject*) { order += "change "; };
    hint.OnClear = [&](TObject*) { order += "clear"; };
    hint.Assign(nullptr);
    EXPECT_EQ(order, "change clear");
    EXPECT_TRUE(hint.Empty());
}

TEST(GDIPicture, EmptyStreamAndDrawing)
{
    TGDIPPicture p;
    TMemoryStream empty;
    p.LoadFromStream(&empty);
    EXPECT_FALSE(p.Empty());
    EXPECT_TRUE(p.Data().empty());
    Canvas c(20, 20);
    p.DrawImage(&c.G, 0, 0);
    EXPECT_EQ(c.CountNot(0xFFFFFFFF), 0);

    TGPBitmap red(4, 3);
    {
        TGPGraphics g(&red);
        g.Clear(0xFFFF0000);
    }
    TGUID clsid;
    ASSERT_TRUE(EncoderClsidForType(itPNG, clsid));
    IntfPtr<gdiplus::TMemoryIStream> s(new gdiplus::TMemoryIStream);
    ASSERT_EQ(red.Save(s.Get(), clsid), Ok);
    TMemoryStream bytes;
    bytes.Write(s->Bytes().data(), int64_t(s->Bytes().size()));
    TGDIPPicture q;
    q.LoadFromStream(&bytes);
    EXPECT_EQ(q.Width(), 4);
    q.DrawImage(&c.G, 2, 5);
    EXPECT_EQ(c.Bounds(0xFFFFFFFF).X, 2);
    EXPECT_EQ(c.Bounds(0xFFFFFFFF).Width, 4) << "natural size";
    q.DrawImageRect(&c.G, 10, 10, 8, 6);
    EXPECT_EQ(c.At(17, 15), 0xFFFF0000u) << "stretched";
}

}  // namespace
}  // namespace dcs::smooth::test
