#include "app/gl/VertexFormat.h"

#include <gtest/gtest.h>

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
