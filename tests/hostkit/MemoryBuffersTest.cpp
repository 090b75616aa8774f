// The host kit's plain-memory buffers: writes only within what was allocated, the range of
// elements changed since the host last uploaded them, and indices read back where they were put.

#include "hostkit/MemoryBuffers.h"

#include <gtest/gtest.h>

TEST(MemoryBuffersTest, WritesStayInsideTheAllocationAndTheChangedRangeCoversThem) {
    MemoryVertexBuffer vertices;
    ASSERT_TRUE(vertices.Allocate(10, 4, 0, 0x2));
    const std::uint32_t value = 7;
    EXPECT_FALSE(vertices.Set(10, &value) || vertices.Set(-1, &value) || vertices.Set(0, nullptr) ||
                 vertices.MarkChanged(10, 1) || vertices.MarkChanged(3, 0) || vertices.Get(10) != nullptr ||
                 vertices.Allocate(1, 0, 0, 0x2));
    EXPECT_EQ(std::pair(vertices.FirstChanged, vertices.LastChanged), std::pair(0, -1));
    EXPECT_TRUE(vertices.Set(6, &value) && vertices.Set(2, &value) && vertices.MarkChanged(-1, 20));
    EXPECT_EQ(std::tuple(vertices.FirstChanged, vertices.LastChanged,
                         *static_cast<std::uint32_t*>(vertices.Get(6))),
              std::tuple(0, 9, 7u)); // the marked range starts at 0 and ends with the allocation
    EXPECT_TRUE(vertices.Append(&value) && !vertices.Append(nullptr) && vertices.GetAppendedCount() == 1 &&
                vertices.Clear() && vertices.GetAppendedCount() == 0 && vertices.Free() &&
                vertices.Get(0) == nullptr);

    MemoryIndexBuffer indices; // 16-bit indices only; an index is the value's low two bytes, 7
    EXPECT_TRUE(!indices.Allocate(2, 4, 0) && indices.Allocate(2, 2, 0) && indices.Append(&value) &&
                indices.Append(&value) && !indices.Append(&value) && indices.Get(1) == 7 &&
                indices.Get(2) + indices.Get(-1) == 0 && indices.Clear() && indices.AppendedCount == 0 &&
                indices.Append(&value) && indices.Free() &&
                indices.AppendedCount + indices.AllocatedCount == 0 && indices.Indices().empty());
}
