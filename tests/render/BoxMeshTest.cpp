#include "render/BoxMesh.h"
#include "render/BoxVertex.h"
#include "support/RecordingRenderer.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::string>;

// The 12 triangles close the 1 x 2 x 1 box: two on each of its six faces, each face's pair using all
// four of that face's corners.
TEST(BoxMeshTest, TrianglesCloseTheBox) {
    RecordingRenderer device;
    BoxMesh box(&device, 1.0f, 0, 0, 0);
    const RecordingVertexBuffer& vertices = *device.VertexBuffers.at(0);
    const std::vector<std::uint16_t>& indices = device.IndexBuffers.at(0)->Indices();
    ASSERT_EQ(vertices.AppendCalls, 8);
    ASSERT_EQ(indices.size(), 36u);
    std::map<std::pair<int, float>, std::set<int>> faces; // (axis, value) -> corners used
    std::map<std::pair<int, float>, int> triangles;
    for (std::size_t t = 0; t < 36; t += 3) {
        int onFaces = 0;
        for (int axis = 0; axis < 3; ++axis) {
            float values[3];
            for (int k = 0; k < 3; ++k) {
                ASSERT_LT(indices[t + k], 8);
                const BoxVertex v = vertices.At<BoxVertex>(indices[t + k]);
                values[k] = axis == 0 ? v.X : axis == 1 ? v.Y : v.Z;
            }
            if (values[0] == values[1] && values[1] == values[2]) {
                ++onFaces;
                ++triangles[{axis, values[0]}];
                faces[{axis, values[0]}].insert(indices.begin() + static_cast<long>(t),
                                                indices.begin() + static_cast<long>(t) + 3);
            }
        }
        EXPECT_EQ(onFaces, 1) << "triangle " << t / 3;
    }
    ASSERT_EQ(faces.size(), 6u);
    for (const auto& [face, corners] : faces) {
        EXPECT_EQ(corners.size(), 4u);
        EXPECT_EQ(triangles[face], 2);
    }
    EXPECT_EQ(faces.count({1, 1.0f}) + faces.count({1, -1.0f}), 2u);
}

TEST(BoxMeshTest, RenderDrawsTwelveTrianglesUntextured) {
    RecordingRenderer device;
    BoxMesh box(&device, 2.0f, 1, 2, 3);
    device.Log->Calls.clear();
    EXPECT_TRUE(box.Render());
    EXPECT_EQ(device.Log->Calls, (Calls{"SetTexture(0,0)", "IB1.Select", "VB1.DrawIndexed(4,8,12)"}));
}

TEST(BoxMeshTest, WithoutADeviceItHoldsNoBuffers) {
    BoxMesh box(nullptr, 1.0f, 0, 0, 0);
    ASSERT_NE(box.Mesh, nullptr);
    EXPECT_FALSE(box.Mesh->Draw());
}

} // namespace
