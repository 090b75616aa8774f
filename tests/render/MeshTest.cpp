#include "render/BoxVertex.h"
#include "render/MeshBase.h"
#include "render/Renderable.h"
#include "render/TerrainVertex.h"
#include "render/TriangleListMesh.h"
#include "render/TriangleStripMesh.h"
#include "support/RecordingRenderer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::string>;

// The vertex level alone, as a mesh without indices would use it.
class VertexOnlyMesh : public MeshBase<BoxVertex> {
public:
    bool Draw() override { return true; }
};

TEST(MeshTest, TriangleListDrawsTwelveTrianglesAfterSelectingItsIndices) {
    RecordingRenderer device;
    TriangleListMesh<BoxVertex> mesh;
    EXPECT_TRUE(mesh.Create(&device, 8, 36));
    EXPECT_TRUE(mesh.Draw());
    EXPECT_EQ(device.Log->Calls,
              (Calls{"CreateVertexBuffer->VB1", "VB1.Allocate(8,20,0,0x102)", "CreateIndexBuffer->IB1",
                     "IB1.Allocate(36,2,0)", "IB1.Select", "VB1.DrawIndexed(4,8,12)"}));
}

TEST(MeshTest, StripDrawsTwoFewerTrianglesThanIndices) {
    RecordingRenderer device;
    TriangleStripMesh<TerrainVertex> mesh;
    mesh.Create(&device, 50, 100);
    mesh.Draw();
    EXPECT_EQ(device.Log->Calls.front(), "CreateVertexBuffer->VB1");
    EXPECT_EQ(device.Log->Calls[1], "VB1.Allocate(50,36,0,0x152)");
    EXPECT_EQ(device.Log->Calls.back(), "VB1.DrawIndexed(5,50,98)");
}

TEST(MeshTest, IndexedMeshesRefuseVertexOnlyCreateAndDrawNothingUncreated) {
    RecordingRenderer device;
    TriangleListMesh<BoxVertex> list;
    TriangleStripMesh<TerrainVertex> strip;
    IndexedMesh<BoxVertex> plain;
    EXPECT_FALSE(list.Create(&device, 8));
    EXPECT_FALSE(strip.Create(&device, 8));
    EXPECT_FALSE(plain.Create(&device, 8));
    EXPECT_FALSE(list.Draw());
    EXPECT_FALSE(strip.Draw());
    EXPECT_FALSE(plain.Draw());
    EXPECT_FALSE(list.Create(nullptr, 8, 36));
    EXPECT_TRUE(device.Log->Calls.empty());

    // With both buffers the plain indexed mesh says so, but issues no call.
    EXPECT_TRUE(plain.Create(&device, 3, 3));
    device.Log->Calls.clear();
    EXPECT_TRUE(plain.Draw());
    EXPECT_TRUE(device.Log->Calls.empty());
}

TEST(MeshTest, VerticesAndIndicesGoToTheBuffersInOrder) {
    RecordingRenderer device;
    TriangleListMesh<BoxVertex> mesh;
    // Nothing to write into yet: these must do nothing.
    BoxVertex vertex(1.0f, 2.0f, 3.0f, 4.0f, 5.0f);
    mesh.AddVertex(&vertex);
    mesh.AddIndex(1);
    EXPECT_FALSE(mesh.SetVertex(0, &vertex));
    EXPECT_FALSE(mesh.GetVertex(0, &vertex));

    mesh.Create(&device, 2, 3);
    mesh.AddVertex(&vertex);
    mesh.AddVertex(&vertex);
    mesh.AddIndex(1);
    mesh.AddIndex(0);
    BoxVertex changed(6.0f, 7.0f, 8.0f, 9.0f, 10.0f);
    EXPECT_TRUE(mesh.SetVertex(1, &changed));
    BoxVertex out;
    ASSERT_TRUE(mesh.GetVertex(1, &out));
    EXPECT_EQ(out.X, 6.0f);
    EXPECT_EQ(out.V, 10.0f);
    ASSERT_TRUE(mesh.GetVertex(0, &out));
    EXPECT_EQ(out.Z, 3.0f);
    EXPECT_EQ(device.VertexBuffers[0]->AppendCalls, 2);
    EXPECT_EQ(device.IndexBuffers[0]->Indices()[0], 1);
    EXPECT_EQ(device.IndexBuffers[0]->AppendedCount, 2);

    // A buffer that gives nothing back leaves out as it was.
    device.VertexBuffers[0]->RefuseGet = true;
    BoxVertex untouched(-1.0f, -1.0f, -1.0f, -1.0f, -1.0f);
    EXPECT_FALSE(mesh.GetVertex(0, &untouched));
    EXPECT_EQ(untouched.X, -1.0f);
}

TEST(MeshTest, DeletingFreesTheIndexBufferBeforeTheVertexBuffer) {
    RecordingRenderer device;
    auto mesh = std::make_unique<TriangleListMesh<BoxVertex>>();
    mesh->Create(&device, 8, 36);
    device.Log->Calls.clear();
    mesh.reset();
    EXPECT_EQ(device.Log->Calls, (Calls{"IB1.Free", "IB1.~", "VB1.Free", "VB1.~"}));
    EXPECT_TRUE(device.Log->LiveBuffers.empty());

    auto vertexOnly = std::make_unique<VertexOnlyMesh>();
    EXPECT_TRUE(vertexOnly->Create(&device, 5));
    vertexOnly.reset();
    EXPECT_EQ(device.Log->Calls.back(), "VB2.~");
    EXPECT_TRUE(device.Log->LiveBuffers.empty());
}

TEST(MeshTest, ASecondCreateReplacesTheBuffersWithoutLeakingThem) {
    RecordingRenderer device;
    TriangleStripMesh<TerrainVertex> mesh;
    mesh.Create(&device, 4, 4);
    mesh.Create(&device, 9, 16);
    EXPECT_EQ(device.Log->Count("IB1.~"), 1);
    EXPECT_EQ(device.Log->Count("VB1.~"), 1);
    EXPECT_EQ(device.Log->LiveBuffers.size(), 2u);
    EXPECT_EQ(mesh.GetVertexBuffer()->AllocatedCount, 9);
}

TEST(MeshTest, StripJoinRepeatsTheLastIndexThenTheNewStart) {
    RecordingRenderer device;
    TriangleStripMesh<TerrainVertex> mesh;
    EXPECT_TRUE(mesh.AddStripJoin(1, 2)); // no buffer yet: nothing to join
    mesh.Create(&device, 8, 8);
    EXPECT_TRUE(mesh.AddStripJoin(1, 2)); // nothing appended: nothing to repeat, nothing asked of Get
    mesh.AddIndex(0);
    mesh.AddIndex(5);
    EXPECT_TRUE(mesh.AddStripJoin(3, 6));
    EXPECT_EQ(device.IndexBuffers[0]->Indices(), (std::vector<std::uint16_t>{0, 5, 5, 3, 3, 6}));
}

class RenderableTest : public ::testing::Test {
protected:
    RecordingRenderer Device;
    std::unique_ptr<Renderable> WithMesh(Renderer* device) {
        auto object = std::make_unique<Renderable>(device);
        auto mesh = std::make_unique<TriangleListMesh<BoxVertex>>();
        mesh->Create(&Device, 3, 3);
        object->Mesh = std::move(mesh);
        Device.Log->Calls.clear();
        return object;
    }
};

TEST_F(RenderableTest, RenderBindsTheTextureThenDraws) {
    auto object = WithMesh(&Device);
    object->GetMaterial().Texture = 9;
    EXPECT_TRUE(object->Render());
    EXPECT_EQ(Device.Log->Calls, (Calls{"SetTexture(9,0)", "IB1.Select", "VB1.DrawIndexed(4,3,1)"}));
}

TEST_F(RenderableTest, WithoutADeviceItStillDrawsAndWithoutAMeshItDoesNothing) {
    auto object = WithMesh(nullptr);
    EXPECT_TRUE(object->Render());
    EXPECT_EQ(Device.Log->Calls, (Calls{"IB1.Select", "VB1.DrawIndexed(4,3,1)"}));

    Device.Log->Calls.clear();
    Renderable empty(&Device);
    EXPECT_FALSE(empty.Render());
    EXPECT_TRUE(Device.Log->Calls.empty());
}

} // namespace
