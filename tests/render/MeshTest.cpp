#include "render/BoxVertex.h"
#include "render/Renderable.h"
#include "render/TerrainVertex.h"
#include "render/TriangleListMesh.h"
#include "render/TriangleStripMesh.h"
#include "support/RecordingRenderer.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Calls = std::vector<std::string>;

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
    // Nothing appended yet: a join has no last index to repeat, asks Get for none, adds nothing.
    strip.AddStripJoin(1, 2);
    EXPECT_EQ(device.IndexBuffers.back()->Indices(), std::vector<std::uint16_t>{});
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
