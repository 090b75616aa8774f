// The terrain's UpdateLighting over a mesh in a host buffer: the colours of the reference version,
// each vertex read once and each interior vertex written once per call, the device told what
// changed, and nothing written when the mesh cannot be read.

#include "render/Terrain.h"
#include "TerrainLightingGrids.h"
#include "TerrainLightingOracle.h"
#include "heightmap/Heightmap.h"
#include "render/TerrainLighting.h"
#include "support/RecordingRenderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// A host buffer that notes MarkChanged, and that can keep each vertex in a cell of its own, so
// that its vertices do not form one array and the mesh offers no direct access.
class HostVertexBuffer : public RecordingVertexBuffer {
public:
    HostVertexBuffer(std::shared_ptr<CallLog> log, int id, bool separateCells)
        : RecordingVertexBuffer(std::move(log), id), SeparateCells(separateCells) {}

    bool Allocate(int count, int elementSize, int flags, std::uint32_t formatCode) override {
        Cells.assign(static_cast<std::size_t>(std::max(count, 0)), Cell{});
        return RecordingVertexBuffer::Allocate(count, elementSize, flags, formatCode);
    }
    bool Set(int index, const void* element) override {
        if (SeparateCells && index >= 0 && index < AllocatedCount && element != nullptr)
            std::memcpy(&Cells[static_cast<std::size_t>(index)].Vertex, element, sizeof(TerrainVertex));
        return RecordingVertexBuffer::Set(index, element);
    }
    void* Get(int index) override {
        void* stored = RecordingVertexBuffer::Get(index);
        return SeparateCells && stored != nullptr ? &Cells[static_cast<std::size_t>(index)].Vertex : stored;
    }
    bool MarkChanged(int first, int count) override {
        Marks.emplace_back(first, count);
        return RecordingVertexBuffer::MarkChanged(first, count);
    }

    std::vector<std::pair<int, int>> Marks;

private:
    struct Cell {
        TerrainVertex Vertex;
        float Padding = 0.0f;
    };
    bool SeparateCells;
    std::vector<Cell> Cells;
};

class HostRenderer : public RecordingRenderer {
public:
    bool SeparateCells = false;
    bool CreateVertexBuffer(VertexBuffer** out) override {
        auto* buffer = new HostVertexBuffer(Log, static_cast<int>(VertexBuffers.size()) + 1, SeparateCells);
        VertexBuffers.push_back(buffer);
        *out = buffer;
        return true;
    }
};

class TerrainLightingTerrainTest : public ::testing::TestWithParam<bool> {
protected:
    HostRenderer Device;
    Terrain Ground;

    // The module's storage is shared by every terrain: each test starts from the state at load.
    void SetUp() override {
        TerrainLighting::Module().Reset();
        Device.SeparateCells = GetParam();
    }
    void TearDown() override { TerrainLighting::Module().Reset(); }

    void BuildFrom(int width, int height, const std::vector<float>& heights) {
        Heightmap grid(width, height);
        std::copy(heights.begin(), heights.end(), grid.Data);
        Ground.Build(&Device, &grid);
        Device.Log->Enabled = false;
        Buffer().ResetChanged(); // only what the lighting changes counts from here
    }

    std::vector<TerrainVertex> Vertices() {
        std::vector<TerrainVertex> vertices(static_cast<std::size_t>(Ground.GridWidth) * Ground.GridHeight);
        for (std::size_t n = 0; n < vertices.size(); ++n)
            EXPECT_TRUE(Ground.Mesh->GetVertex(static_cast<int>(n), &vertices[n]));
        return vertices;
    }

    HostVertexBuffer& Buffer() {
        return static_cast<HostVertexBuffer&>(*Device.LastVertexBuffer(TerrainVertex::FormatCode));
    }
};

TEST_P(TerrainLightingTerrainTest, MatchesTheReferenceOverConsecutiveCalls) {
    const int width = 46, height = 53;
    BuildFrom(width, height, lighting_grids::Hills(width, height, 77));
    EXPECT_EQ(Ground.Mesh->VertexData() == nullptr, GetParam());
    std::vector<TerrainVertex> reference = Vertices();
    TerrainLightingOracle oracle;

    struct Call {
        float X, Y, Z;
        int Smoothing;
    };
    const Call calls[] = {{100.0f, -35.0f, 0.0f, 3},
                          {45.0f, -15.0f, 4.0f, 3},
                          {-12.0f, -15.0f, 43.0f, 3},
                          {-44.0f, -15.0f, -8.0f, 5},
                          {30.0f, -15.0f, -33.0f, 1}};
    const int interiorFirst = width + 1, interiorLast = width * (height - 1) - 2;
    for (const Call& call : calls) {
        const int setsBefore = Buffer().SetCalls, getsBefore = Buffer().GetCalls;
        Buffer().ResetChanged();
        Buffer().Marks.clear();
        Ground.UpdateLighting(nullptr, call.X, call.Y, call.Z, call.Smoothing);
        const int sets = Buffer().SetCalls - setsBefore, gets = Buffer().GetCalls - getsBefore;
        // No vertex is read more than once; two more reads find out whether the vertices form one array.
        EXPECT_LE(gets, width * height + 2);
        // The device learns that the interior changed, and only that.
        EXPECT_EQ(Buffer().FirstChanged, interiorFirst);
        EXPECT_EQ(Buffer().LastChanged, interiorLast);
        if (GetParam()) {
            EXPECT_EQ(sets, (width - 2) * (height - 2)) << "every interior vertex written once";
        } else {
            // Recoloured where they lie, and the device told so in one call.
            EXPECT_EQ(sets, 0);
            EXPECT_EQ(Buffer().Marks,
                      (std::vector<std::pair<int, int>>{{interiorFirst, interiorLast - interiorFirst + 1}}));
        }

        oracle.UpdateLighting(reference, width, height, Ground.ExtentX, Ground.ExtentZ, call.X, call.Y,
                              call.Z, call.Smoothing);
        const std::vector<TerrainVertex> lit = Vertices();
        for (std::size_t n = 0; n < lit.size(); ++n) {
            ASSERT_EQ(lit[n].Diffuse, reference[n].Diffuse) << "vertex " << n;
            // Positions, normals and texture coordinates are left as they were.
            ASSERT_EQ(std::memcmp(&lit[n], &reference[n], sizeof(TerrainVertex)), 0) << "vertex " << n;
        }
    }
}

TEST_P(TerrainLightingTerrainTest, FlatTerrainFirstCallShowsGrey209InsideAWhiteRing) {
    const int size = 50;
    BuildFrom(size, size, lighting_grids::Flat(size, size));
    Ground.UpdateLighting(nullptr, 100.0f, -35.0f, 0.0f, 3);
    const std::vector<TerrainVertex> lit = Vertices();
    for (int r = 0; r < size; ++r) {
        for (int c = 0; c < size; ++c) {
            const std::uint32_t diffuse = lit[r * size + c].Diffuse;
            const bool ring = r == 0 || c == 0 || r == size - 1 || c == size - 1;
            const bool deepInside = r > 1 && c > 1 && r < size - 2 && c < size - 2;
            if (ring || deepInside) {
                EXPECT_EQ(diffuse, ring ? 0xFFFFFFFFu : 0xD1D1D1D1u) << "row " << r << " column " << c;
            }
        }
    }
}

TEST_P(TerrainLightingTerrainTest, UnreadableOrMissingMeshIsLeftAlone) {
    const int size = 12;
    BuildFrom(size, size, lighting_grids::Hills(size, size, 4));
    Buffer().RefuseGet = true;
    const int setsBefore = Buffer().SetCalls;
    Ground.UpdateLighting(nullptr, 100.0f, -35.0f, 0.0f, 3);
    EXPECT_EQ(Buffer().SetCalls, setsBefore);
    EXPECT_TRUE(Buffer().Marks.empty());
    Buffer().RefuseGet = false;
    for (const TerrainVertex& v : Vertices())
        EXPECT_EQ(v.Diffuse, 0xFFFFFFFFu);

    // A terrain that was never built has nothing to light.
    Terrain empty;
    empty.UpdateLighting(nullptr, 100.0f, -35.0f, 0.0f, 3);
    EXPECT_EQ(empty.Mesh, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Buffers, TerrainLightingTerrainTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& param) {
                             return param.param ? "VerticesInSeparateCells" : "VerticesInOneArray";
                         });

} // namespace
