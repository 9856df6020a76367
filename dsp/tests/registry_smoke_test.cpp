#include <gtest/gtest.h>

#include "dsp/MemoryEntries.h"

namespace dcs {
namespace {

TEST(DspRegistry, EntryCallableThroughGlobalAndName)
{
    Vps8u src[3] = {1, 2, 3}, dst[3] = {};
    EXPECT_EQ(vpsCopy_8u(src, dst, 3), StatusOk);
    EXPECT_EQ(dst[2], 3);
    auto byName = DspLookupAs<vpsCopy_8u_fn>("vpsCopy_8u");
    ASSERT_NE(byName, nullptr);
    EXPECT_EQ(byName, vpsCopy_8u);
    EXPECT_EQ(DspLookup("vpsNoSuchName"), nullptr);
    EXPECT_EQ(vpGetCpuType(), 0);
}

}  // namespace
}  // namespace dcs
