#include "ui/controls/GDIPPictureContainer.h"
#include "ui/controls/RawResources.h"

#include <gtest/gtest.h>

namespace dcs::smooth::test {
namespace {

TEST(GDIPPictureContainer, FindPictureByNameIgnoringCase)
{
    TGDIPPictureContainer c(nullptr);
    const char* names[] = {"", "PLAY", "Stop", "play"};
    for (const char* n : names)
        c.Items()->Add()->Name = n;
    EXPECT_EQ(c.FindPicture("play"), c.Items()->Items(1)->Picture()) << "the first of two equal names wins";
    EXPECT_EQ(c.FindPicture("STOP"), c.Items()->Items(2)->Picture());
    EXPECT_EQ(c.FindPicture(""), c.Items()->Items(0)->Picture());
    EXPECT_EQ(c.FindPicture("record"), nullptr);
    EXPECT_EQ(c.Version(), "1.0.0.0");
}

TEST(GDIPPictureContainer, AddFromResourceAndAssign)
{
    RegisterRawResource("CONTAINER_BLOB", {1, 2, 3});
    TGDIPPictureContainer c(nullptr);
    c.AddFromResource("container_blob", "Blob");
    ASSERT_EQ(c.Items()->Count(), 1);
    EXPECT_EQ(c.Items()->Items(0)->Name, "Blob");
    EXPECT_EQ(c.FindPicture("blob")->Data(), (std::vector<uint8_t> {1, 2, 3}));
    EXPECT_FALSE(c.FindPicture("blob")->Empty());

    TGDIPPictureContainer copy(nullptr);
    copy.SetItems(c.Items());
    ASSERT_EQ(copy.Items()->Count(), 1);
    EXPECT_EQ(copy.FindPicture("BLOB")->Data(), (std::vector<uint8_t> {1, 2, 3}));
    EXPECT_NE(copy.FindPicture("BLOB"), c.FindPicture("BLOB"));
    EXPECT_THROW(copy.Items()->Items(0)->Assign(&c), EInvalidCast);
}

}  // namespace
}  // namespace dcs::smooth::test
