#include "app/gl/VertexFormat.h"

#include <gtest/gtest.h>

TEST(VertexFormatTest, TerrainAndBoxFormatsMatchTheirVertexLayouts) {
    const VertexFormat terrain = VertexFormat::FromCode(0x152);
    ASSERT_TRUE(terrain.Valid);
    EXPECT_EQ(terrain.Stride, 36);
    EXPECT_EQ(terrain.Position.Offset, 0);
    EXPECT_EQ(terrain.Normal.Offset, 12);
    EXPECT_EQ(terrain.Diffuse.Offset, 24);
    EXPECT_EQ(terrain.TexCoord.Offset, 28);

    const VertexFormat box = VertexFormat::FromCode(0x102);
    ASSERT_TRUE(box.Valid);
    EXPECT_EQ(box.Stride, 20);
    EXPECT_FALSE(box.Normal.Present);
    EXPECT_FALSE(box.Diffuse.Present);
    EXPECT_EQ(box.TexCoord.Offset, 12);
}

TEST(VertexFormatTest, SkippedComponentsMoveLaterOnesAndOddCodesAreRefused) {
    // Point size and specular take room but are not drawn; two texture sets, the first used.
    const VertexFormat wide = VertexFormat::FromCode(0x2E2);
    ASSERT_TRUE(wide.Valid);
    EXPECT_EQ(wide.Diffuse.Offset, 16);
    EXPECT_EQ(wide.TexCoord.Offset, 24);
    EXPECT_EQ(wide.Stride, 40);
    // No position, pre-transformed positions, unknown bits, more than eight texture sets.
    for (std::uint32_t code : {0x040u, 0x004u, 0x1152u, 0x10152u, 0x902u})
        EXPECT_FALSE(VertexFormat::FromCode(code).Valid) << std::hex << code;
}
