#include "render/BoxMesh.h"
#include "render/BoxVertex.h"
#include "render/Renderable.h"
#include "render/TerrainVertex.h"
#include "render/TriangleListMesh.h"
#include "render/TriangleStripMesh.h"
#include "support/RecordingRenderer.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>

namespace {

using Calls = std::vector<std::string>;

// The 12 triangles close the box: each lies in one face, and each face has two using its four corners.
TEST(MeshTest, TheBoxsTrianglesCloseItAndDrawAsAList) {
    RecordingRenderer device;
    BoxMesh box(&device, 1.0f, 0, 0, 0);
    const std::vector<BoxVertex> corners = device.VertexBuffers.at(0)->All<BoxVertex>();
    const std::vector<std::uint16_t>& indices = device.IndexBuffers.at(0)->Indices();
    ASSERT_EQ(corners.size(), 8u);
    ASSERT_EQ(indices.size(), 36u);
    std::map<std::pair<int, float>, std::multiset<int>> faces; // (axis, value) -> corners used
    for (std::size_t t = 0; t < 36; t += 3)
        for (int axis = 0; axis < 3; ++axis) {
            auto along = [&](std::size_t k) {
                const BoxVertex& v = corners.at(indices[t + k]);
                return axis == 0 ? v.X : axis == 1 ? v.Y : v.Z;
            };
            if (along(0) == along(1) && along(1) == along(2))
                faces[{axis, along(0)}].insert(indices.begin() + t, indices.begin() + t + 3);
        }
    ASSERT_EQ(faces.size(), 6u);
    for (const auto& [face, used] : faces) {
        EXPECT_EQ(used.size(), 6u); // two triangles
        EXPECT_EQ(std::set<int>(used.begin(), used.end()).size(), 4u);
    }
    EXPECT_EQ(faces.count({1, 1.0f}) + faces.count({1, -1.0f}), 2u); // 2 high

    device.Log->Calls.clear();
    EXPECT_TRUE(box.Render());
    EXPECT_EQ(device.Log->Calls, (Calls{"SetTexture(0,0)", "IB1.Select", "VB1.DrawIndexed(4,8,12)"}));
}

TEST(MeshTest, AStripDrawsTwoFewerTrianglesThanIndicesAndNothingUncreated) {
    RecordingRenderer device;
    TriangleStripMesh<TerrainVertex> strip;
    EXPECT_FALSE(strip.Create(&device, 8)); // an indexed mesh needs both counts
    EXPECT_FALSE(strip.Create(nullptr, 8, 8));
    EXPECT_FALSE(strip.Draw());
    EXPECT_TRUE(device.Log->LiveBuffers.empty());
    strip.Create(&device, 4, 4);
    strip.Create(&device, 50, 100); // replaces the first pair
    EXPECT_EQ(device.Log->Calls, (Calls{"IB1.Free", "IB1.~", "VB1.Free", "VB1.~"})); // indices first
    EXPECT_EQ(device.Log->LiveBuffers.size(), 2u);
    EXPECT_TRUE(strip.Draw());
    EXPECT_EQ(device.Log->Calls.back(), "VB2.DrawIndexed(5,50,98)");
}

TEST(MeshTest, ARenderableBindsItsTextureThenDrawsItsMesh) {
    RecordingRenderer device;
    Renderable empty(&device), object(&device), deviceless(nullptr);
    EXPECT_FALSE(empty.Render());
    for (Renderable* each : {&object, &deviceless}) {
        auto mesh = std::make_unique<TriangleListMesh<BoxVertex>>();
        mesh->Create(&device, 3, 3);
        each->Mesh = std::move(mesh);
    }
    object.GetMaterial().Texture = 9;
    device.Log->Calls.clear();
    EXPECT_TRUE(object.Render());
    EXPECT_TRUE(deviceless.Render());
    EXPECT_EQ(device.Log->Calls, (Calls{"SetTexture(9,0)", "IB1.Select", "VB1.DrawIndexed(4,3,1)",
                                        "IB2.Select", "VB2.DrawIndexed(4,3,1)"}));
}

} // namespace
