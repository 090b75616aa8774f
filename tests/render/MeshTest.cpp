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

TEST(MeshTest, AStripDrawsTwoFewerTrianglesThanIndicesAndNothingUncreated) {
    RecordingRenderer device;
    TriangleStripMesh<TerrainVertex> strip;
    EXPECT_FALSE(strip.Create(&device, 8)); // an indexed mesh needs both counts
    EXPECT_FALSE(strip.Create(nullptr, 8, 8));
    EXPECT_TRUE(!strip.Draw() && device.Log->LiveBuffers.empty());
    strip.Create(&device, 4, 4);
    strip.Create(&device, 50, 100); // replaces the first pair
    EXPECT_EQ(device.Log->Calls, (Calls{"IB1.Free", "IB1.~", "VB1.Free", "VB1.~"})); // indices first
    EXPECT_EQ(device.Log->LiveBuffers.size(), 2u);
    EXPECT_TRUE(strip.Draw());
    EXPECT_EQ(device.Log->Calls.back(), "VB2.DrawIndexed(5,50,98)");
    TerrainVertex vertex{0, 3}, out{};
    EXPECT_TRUE(strip.SetVertex(2, &vertex) && strip.GetVertex(2, &out) && out.Y == 3.0f);
    EXPECT_FALSE(strip.GetVertex(50, &out) || strip.GetVertex(2, nullptr) ||
                 TriangleStripMesh<TerrainVertex>().GetVertex(0, &out) ||
                 TriangleStripMesh<TerrainVertex>().SetVertex(0, &vertex));
    // Nothing appended yet: a join has no last index to repeat, asks Get for none, adds nothing;
    // one index is enough to join to.
    strip.AddStripJoin(1, 2);
    strip.AddIndex(7);
    strip.AddStripJoin(1, 2);
    EXPECT_EQ(device.IndexBuffers.back()->Indices(), (std::vector<std::uint16_t>{7, 7, 1, 1, 2}));
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
    EXPECT_TRUE(object.Render() && deviceless.Render());
    EXPECT_EQ(device.Log->Calls, (Calls{"SetTexture(9,0)", "IB1.Select", "VB1.DrawIndexed(4,3,1)",
                                        "IB2.Select", "VB2.DrawIndexed(4,3,1)"}));
}

// The box's corners are the eight of x and z in {0, 1}, y in {-1, 1}; its twelve triangles close its
// surface: each of the 18 edges (cube edges and face diagonals) lies between two of them.
TEST(MeshTest, TheBoxIsAClosedSurfaceOverItsEightCorners) {
    RecordingRenderer device;
    const BoxMesh box(&device, 1.0f, 0, 0, 0);
    std::set<std::array<float, 3>> corners, expected;
    for (const BoxVertex& v : device.VertexBuffers[0]->All<BoxVertex>()) {
        corners.insert({v.X, v.Y, v.Z});
        expected.insert({v.X > 0.5f ? 1.0f : 0.0f, v.Y > 0.0f ? 1.0f : -1.0f, v.Z > 0.5f ? 1.0f : 0.0f});
    }
    EXPECT_EQ(std::pair(corners.size(), corners), std::pair(std::size_t{8}, expected));
    const std::vector<std::uint16_t> indices = device.IndexBuffers[0]->Indices();
    std::map<std::pair<int, int>, int> edges;
    for (std::size_t i = 0; i < indices.size(); ++i)
        ++edges[std::minmax<int>(indices[i], indices[i - i % 3 + (i + 1) % 3])];
    EXPECT_EQ(std::pair(indices.size(), edges.size()), std::pair(std::size_t{36}, std::size_t{18}));
    for (const auto& [edge, triangles] : edges)
        EXPECT_TRUE(triangles == 2 && edge.first != edge.second && edge.second < 8)
            << edge.first << edge.second;
}

} // namespace
