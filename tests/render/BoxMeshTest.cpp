#include "render/BoxMesh.h"
#include "render/BoxVertex.h"
#include "support/RecordingRenderer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::string>;

TEST(BoxMeshTest, ConstructionMakesExactlyTheBoxBuffersAndFillsThem) {
    RecordingRenderer device;
    BoxMesh box(&device, 1.0f, 0, 0, 0);

    Calls expected{"CreateVertexBuffer->VB1", "VB1.Allocate(8,20,0,0x102)", "CreateIndexBuffer->IB1",
                   "IB1.Allocate(36,2,0)"};
    expected.insert(expected.end(), 8, "VB1.Append");
    for (int index : {0, 1, 2, 0, 2, 3, 0, 1, 5, 0, 5, 4, 1, 2, 6, 1, 6, 5,
                      4, 5, 6, 4, 6, 7, 2, 6, 7, 2, 7, 3, 3, 7, 4, 3, 4, 0})
        expected.push_back("IB1.Append(" + std::to_string(index) + ")");
    EXPECT_EQ(device.Log->Calls, expected);

    // Top face at y = +1, bottom at y = -1, both through (0,0), (1,0), (1,1), (0,1) in x, z.
    const float corners[8][5] = {{0, 1, 0, 0, 0},  {1, 1, 0, 0, 1},  {1, 1, 1, 1, 0},  {0, 1, 1, 1, 1},
                                 {0, -1, 0, 0, 0}, {1, -1, 0, 0, 1}, {1, -1, 1, 1, 0}, {0, -1, 1, 1, 1}};
    const std::uint8_t* stored = device.VertexBuffers[0]->Data();
    for (int i = 0; i < 8; ++i) {
        BoxVertex vertex;
        std::memcpy(&vertex, stored + i * sizeof(BoxVertex), sizeof(BoxVertex));
        EXPECT_EQ((std::vector<float>{vertex.X, vertex.Y, vertex.Z, vertex.U, vertex.V}),
                  (std::vector<float>(corners[i], corners[i] + 5)))
            << "vertex " << i;
    }
    EXPECT_EQ(box.Scale, 1.0f);
    EXPECT_EQ(box.GetMaterial().Texture, 0u);
}

TEST(BoxMeshTest, RenderDrawsTwelveTrianglesUntextured) {
    RecordingRenderer device;
    BoxMesh box(&device, 2.0f, 1, 2, 3);
    device.Log->Calls.clear();
    EXPECT_TRUE(box.Render());
    EXPECT_EQ(device.Log->Calls, (Calls{"SetTexture(0,0)", "IB1.Select", "VB1.DrawIndexed(4,8,12)"}));
}

TEST(BoxMeshTest, DeletingFreesIndexThenVertexBufferAndNothingElse) {
    RecordingRenderer device;
    auto box = std::make_unique<BoxMesh>(&device, 1.0f, 0, 0, 0);
    device.Log->Calls.clear();
    box.reset();
    EXPECT_EQ(device.Log->Calls, (Calls{"IB1.Free", "IB1.~", "VB1.Free", "VB1.~"}));
    EXPECT_TRUE(device.Log->LiveBuffers.empty());
}

TEST(BoxMeshTest, WithoutADeviceItHoldsNoBuffers) {
    BoxMesh box(nullptr, 1.0f, 0, 0, 0);
    ASSERT_NE(box.Mesh, nullptr);
    EXPECT_FALSE(box.Mesh->Draw());
}

} // namespace
