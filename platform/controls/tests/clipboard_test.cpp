#include "platform/controls/Clipbrd.h"

#include <gtest/gtest.h>

namespace dcs {
namespace {

TEST(Clipboard, RegisteredFormatsHoldTheirOwnDataAndAPlainSetReplacesAll)
{
    UINT fill = RegisterClipboardFormat("GDI+ Fill");
    EXPECT_EQ(RegisterClipboardFormat("gdi+ fill"), fill);
    EXPECT_GE(fill, 0xC000u);
    EXPECT_NE(RegisterClipboardFormat("Other"), fill);
    TClipboard& c = Clipboard();
    c.Open();
    c.SetAsText("fill");
    c.SetData(fill, std::string("\x01\x00\x02", 3));
    c.Close();
    EXPECT_EQ(c.GetData(fill), std::string("\x01\x00\x02", 3));
    EXPECT_EQ(c.AsText(), "fill");
    c.SetAsText("only text");  // not opened: the fill goes
    EXPECT_FALSE(c.HasFormat(fill));
    c.Clear();
    EXPECT_EQ(c.AsText(), "");
}

}  // namespace
}  // namespace dcs
