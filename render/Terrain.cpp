#include "render/Terrain.h"

#include "heightmap/GridLimits.h"
#include "heightmap/Heightmap.h"
#include "host/Renderer.h"
#include "lighting/TerrainLighting.h"
#include "render/TileIndices.h"
#include "render/VertexMesh.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {
static_assert(offsetof(TerrainVertex, NZ) == offsetof(TerrainVertex, NX) + offsetof(SurfacePoint, NZ) &&
                  offsetof(SurfacePoint, NX) == 0,
              "WriteRow copies a point's normal over a vertex's normal in one move");

struct Vector {
    float X = 0.0f, Y = 0.0f, Z = 0.0f;
};

Vector Cross(const Vector& a, const Vector& b) {
    return {a.Y * b.Z - b.Y * a.Z, a.Z * b.X - b.Z * a.X, a.X * b.Y - b.X * a.Y};
}

Vector operator+(const Vector& a, const Vector& b) {
    return {a.X + b.X, a.Y + b.Y, a.Z + b.Z};
}

std::uint16_t Index(int vertex) {
    return static_cast<std::uint16_t>(vertex);
}

// Whether the host gave the mesh room for its vertices (and the strip for its indices): a buffer is
// written only within what it allocated.
bool Holds(const Terrain::TileMesh& mesh, int vertices) {
    return mesh.GetVertexBuffer() != nullptr && mesh.GetVertexBuffer()->AllocatedCount >= vertices;
}

bool Holds(const Terrain::StripMesh& mesh, int vertices, int indices) {
    return Holds(static_cast<const Terrain::TileMesh&>(mesh), vertices) && mesh.GetIndexBuffer() != nullptr &&
           mesh.GetIndexBuffer()->AllocatedCount >= indices;
}
} // namespace

Terrain::~Terrain() = default;

void Terrain::Render(Renderer* renderer, const TerrainEye& eye) {
    if (Texture != 0 && renderer != nullptr)
        renderer->SetTexture(Texture, 0);
    if (Tiles.size() == 1) {
        Tiles.front().Mesh->Draw();
        return;
    }
    Detail.Choose(eye);
    // The last lighting's levels are at hand unless another grid has been lit since.
    const bool lit = LitBy != 0 && LitBy == TerrainLighting::Module().UpdateCount();
    const TerrainLighting::Span inside{1, GridHeight - 1, 1, GridWidth - 1}; // the outer ring is never lit
    for (const std::uint32_t t : Detail.NearestFirst()) {
        Tile& tile = Tiles[t];
        VertexBuffer* vertices = tile.Mesh->GetVertexBuffer();
        if (vertices == nullptr || !Detail.Drawn(t)) {
            tile.DrawnAt = TerrainDetail::Levels;
            continue;
        }
        tile.DrawnAt = Detail.Level(t);
        if (tile.DrawnAt < tile.LitFrom && lit) { // finer than the lighting kept: the rest catch up
            WriteTile(tile, inside, tile.DrawnAt, TerrainLighting::Module().Greys());
            tile.LitFrom = tile.DrawnAt;
        }
        Detail.DrawTile(t, *vertices);
    }
}

void Terrain::Build(Renderer* renderer, const Heightmap* heightmap) {
    if (renderer == nullptr || heightmap == nullptr || !GridLimits::Fits(heightmap->Width, heightmap->Height))
        return;
    Tiles.clear();
    LayOut(*heightmap);
    ComputeNormals();
    const std::vector<TileRect> plan = TerrainTiling::Plan(GridWidth, GridHeight);
    LitBy = 0;
    if (plan.size() == 1) {
        Tiles.push_back({plan.front(), std::make_unique<StripMesh>(), nullptr, {}});
        BuildStrip(renderer, Tiles.back());
        return;
    }
    Detail.Build(renderer, plan, TerrainTiling::Across(GridWidth, GridHeight),
                 {RowHeights.data(), GridWidth, RowX.data(), ColumnZ.data()});
    for (std::size_t t = 0; t < plan.size(); ++t) {
        Tiles.push_back({plan[t], std::make_unique<VertexMesh<TerrainVertex>>(), &Detail.VertexOrder(t), {}});
        BuildTile(renderer, Tiles.back());
    }
}

void Terrain::LayOut(const Heightmap& heightmap) {
    GridWidth = heightmap.Width;
    GridHeight = heightmap.Height;
    ColumnZ.resize(static_cast<std::size_t>(GridWidth));
    ColumnU.resize(ColumnZ.size());
    for (int c = 0; c < GridWidth; ++c) {
        const float across = static_cast<float>(c) / static_cast<float>(GridWidth - 1);
        ColumnZ[static_cast<std::size_t>(c)] = across * ExtentZ - ExtentZ / 2.0f;
        ColumnU[static_cast<std::size_t>(c)] = across;
    }
    RowX.resize(static_cast<std::size_t>(GridHeight));
    RowV.resize(RowX.size());
    for (int r = 0; r < GridHeight; ++r) {
        const float along = static_cast<float>(r) / static_cast<float>(GridHeight - 1);
        RowX[static_cast<std::size_t>(r)] = along * ExtentX - ExtentX / 2.0f;
        RowV[static_cast<std::size_t>(r)] = along;
    }
    const std::size_t count = static_cast<std::size_t>(GridWidth) * static_cast<std::size_t>(GridHeight);
    Surface.assign(count, SurfacePoint{});
    RowHeights.assign(heightmap.Data, heightmap.Data + count);
    ColumnHeights.resize(count);
    // Column by column: the heights of column c are rows 0 .. H - 1 of it.
    for (std::size_t row = 0, n = 0; row < static_cast<std::size_t>(GridHeight); ++row)
        for (std::size_t column = 0; column < static_cast<std::size_t>(GridWidth); ++column, ++n)
            ColumnHeights[column * static_cast<std::size_t>(GridHeight) + row] = heightmap.Data[n];
}

void Terrain::ComputeNormals() {
    const int width = GridWidth;
    auto position = [&](int r, int c) {
        return Vector{RowX[static_cast<std::size_t>(r)], RowHeights[static_cast<std::size_t>(r * width + c)],
                      ColumnZ[static_cast<std::size_t>(c)]};
    };
    for (int j = 1; j < GridHeight - 1; ++j)
        for (int i = 1; i < width - 1; ++i) {
            const Vector l = position(j, i - 1), d = position(j - 1, i), r = position(j, i + 1),
                         u = position(j + 1, i);
            // Twice the quadrilateral's vector area, (R - L) x (U - D): it points up (+y).
            const Vector sum = Cross(l, d) + Cross(d, r) + Cross(r, u) + Cross(u, l);
            const float length = std::sqrt(sum.X * sum.X + sum.Y * sum.Y + sum.Z * sum.Z);
            SurfacePoint& point = Surface[static_cast<std::size_t>(j * width + i)];
            point.NX = sum.X / length;
            point.NY = sum.Y / length;
            point.NZ = sum.Z / length;
        }
}

TerrainVertex Terrain::VertexAt(int row, int column, std::uint32_t diffuse) const {
    const SurfacePoint& point = Surface[static_cast<std::size_t>(row) * static_cast<std::size_t>(GridWidth) +
                                        static_cast<std::size_t>(column)];
    TerrainVertex vertex;
    vertex.X = RowX[static_cast<std::size_t>(row)];
    vertex.Y = RowHeights[static_cast<std::size_t>(row) * static_cast<std::size_t>(GridWidth) +
                          static_cast<std::size_t>(column)];
    vertex.Z = ColumnZ[static_cast<std::size_t>(column)];
    vertex.NX = point.NX;
    vertex.NY = point.NY;
    vertex.NZ = point.NZ;
    vertex.Diffuse = diffuse;
    vertex.U = ColumnU[static_cast<std::size_t>(column)];
    vertex.V = RowV[static_cast<std::size_t>(row)];
    return vertex;
}

// A tile of a tiled grid: its vertices only; its indices are its shape's, shared.
void Terrain::BuildTile(Renderer* renderer, Tile& tile) const {
    const TileRect& rect = tile.Rect;
    const int count = rect.Rows * rect.Columns;
    tile.Held.assign(static_cast<std::size_t>(count), 0xFF);
    tile.Mesh->Create(renderer, count);
    if (!Holds(*tile.Mesh, count))
        return; // the device made no room: nothing may be written
    for (int slot = 0; slot < count; ++slot) {
        const int n = tile.Order->VertexIn(slot);
        const TerrainVertex vertex =
            VertexAt(rect.FirstRow + n / rect.Columns, rect.FirstColumn + n % rect.Columns, 0xFFFFFFFF);
        tile.Mesh->AddVertex(&vertex);
    }
}

void Terrain::BuildStrip(Renderer* renderer, Tile& tile) const {
    const int width = tile.Rect.Columns, height = tile.Rect.Rows;
    tile.Held.assign(static_cast<std::size_t>(width * height), 0xFF);
    auto& mesh = static_cast<StripMesh&>(*tile.Mesh);
    const int indexCount = (height - 1) * (2 * width + 4) - 4;
    mesh.Create(renderer, width * height, indexCount);
    if (!Holds(mesh, width * height, indexCount))
        return; // the device made no room: nothing may be written
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c) {
            const TerrainVertex vertex = VertexAt(r, c, 0xFFFFFFFF);
            mesh.AddVertex(&vertex);
        }
    // One strip for the tile: a pair of rows after the other, joined by degenerate triangles.
    for (int r = 0; r + 1 < height; ++r) {
        if (r > 0)
            mesh.AddStripJoin(Index(r * width), Index((r + 1) * width));
        mesh.AddIndex(Index(r * width));
        mesh.AddIndex(Index((r + 1) * width));
        for (int c = 1; c < width; ++c) {
            mesh.AddIndex(Index(r * width + c));
            mesh.AddIndex(Index((r + 1) * width + c));
        }
    }
}

float Terrain::GetHeight(float z, float x) const {
    if (Surface.empty())
        return 0.0f;
    // Grid coordinates: the vertex of column c stands at z = c / (W - 1) * ExtentZ - ExtentZ / 2.
    const auto lastColumn = static_cast<float>(GridWidth - 1);
    const auto lastRow = static_cast<float>(GridHeight - 1);
    const float gc = (z + ExtentZ / 2.0f) / ExtentZ * lastColumn;
    const float gr = (x + ExtentX / 2.0f) / ExtentX * lastRow;
    // Testing before truncating also keeps NaN and huge positions from being converted.
    if (!(gc >= 0.0f && gc <= lastColumn) || !(gr >= 0.0f && gr <= lastRow))
        return 0.0f;
    // On the high edges the last cell answers.
    const int c0 = std::min(static_cast<int>(gc), GridWidth - 2);
    const int r0 = std::min(static_cast<int>(gr), GridHeight - 2);
    auto height = [&](int r, int c) { return RowHeights[static_cast<std::size_t>(r * GridWidth + c)]; };
    // The strip draws each cell as two triangles split along the diagonal from (r0 + 1, c0) to
    // (r0, c0 + 1): the answer lies on the triangle drawn over the point.
    const float alongRow = gr - static_cast<float>(r0), alongColumn = gc - static_cast<float>(c0);
    const float lowRow = height(r0, c0 + 1), highRow = height(r0 + 1, c0);
    if (alongRow + alongColumn <= 1.0f) {
        const float corner = height(r0, c0);
        return corner + alongRow * (highRow - corner) + alongColumn * (lowRow - corner);
    }
    const float corner = height(r0 + 1, c0 + 1);
    return corner + (1.0f - alongRow) * (lowRow - corner) + (1.0f - alongColumn) * (highRow - corner);
}

void Terrain::UpdateLighting(const Heightmap* /*heightmap*/, float lightX, float lightY, float lightZ,
                             int smoothing) {
    if (Tiles.empty())
        return;
    // Each span is written as soon as it is lit, while the rest of the grid is still being swept.
    struct Writer final : LitSpans {
        explicit Writer(Terrain& ground) : Ground(ground) {}
        void Lit(const LitSpan& span) override { Ground.WriteColours(span); }
        Terrain& Ground;
    } writer(*this);
    TerrainLighting& lighting = TerrainLighting::Module();
    if (!lighting.Update(LightingGrid(), lightX, lightY, lightZ, smoothing, &writer))
        return;
    LitBy = lighting.UpdateCount();
    for (Tile& tile : Tiles)
        tile.LitFrom = tile.DrawnAt;
}

TerrainLighting::Grid Terrain::LightingGrid() const {
    return {Surface.data(), RowHeights.data(), RowX.data(), ColumnZ.data(),      GridWidth,
            GridHeight,     ExtentX,           ExtentZ,     ColumnHeights.data()};
}

void Terrain::WriteColours(const TerrainLighting::Span& span) {
    const std::uint8_t* grey = TerrainLighting::Module().Greys();
    if (Tiles.size() == 1) {
        WriteTile(Tiles.front(), span, 0, grey);
        return;
    }
    // Tiles start every `cells` rows and columns; a line on the border of two is in both.
    const int cells = TerrainTiling::Cells(GridWidth, GridHeight);
    const int across = Detail.TilesAcross(), down = Detail.TilesDown();
    const int firstBand = std::max(span.FirstRow - 1, 0) / cells, endBand = (span.EndRow - 1) / cells + 1;
    const int firstStack = std::max(span.FirstColumn - 1, 0) / cells;
    const int endStack = (span.EndColumn - 1) / cells + 1;
    for (int band = firstBand; band < std::min(endBand, down); ++band)
        for (int stack = firstStack; stack < std::min(endStack, across); ++stack) {
            Tile& tile = Tiles[static_cast<std::size_t>(band * across + stack)];
            WriteTile(tile, span, tile.DrawnAt, grey);
        }
}

void Terrain::WriteTile(Tile& tile, const TerrainLighting::Span& span, int level, const std::uint8_t* grey) {
    const TileRect& rect = tile.Rect;
    const int firstRow = std::max(rect.FirstRow, span.FirstRow);
    const int endRow = std::min(rect.FirstRow + rect.Rows, span.EndRow);
    const int firstColumn = std::max(rect.FirstColumn, span.FirstColumn);
    const int endColumn = std::min(rect.FirstColumn + rect.Columns, span.EndColumn);
    if (level >= TerrainDetail::Levels || firstRow >= endRow || firstColumn >= endColumn ||
        !Holds(*tile.Mesh, rect.Rows * rect.Columns))
        return; // a hidden tile waits until it is drawn
    for (int r = firstRow; r < endRow; ++r)
        if (TileIndices::CoarsestKeeping(r - rect.FirstRow, rect.Rows - 1) >= level)
            WriteRow(tile, *tile.Mesh->GetVertexBuffer(), r, firstColumn, endColumn, level, grey);
}

// Straight to the host's buffer, each vertex of the row in columns [firstColumn, endColumn) that the
// level keeps and whose grey level changed. A frame sets a million vertices at 1024 x 1024, so
// nothing is looked up twice.
void Terrain::WriteRow(Tile& tile, VertexBuffer& vertices, int row, int firstColumn, int endColumn, int level,
                       const std::uint8_t* grey) {
    const TileRect& rect = tile.Rect;
    const std::ptrdiff_t rowStart = static_cast<std::ptrdiff_t>(row) * GridWidth;
    const int local = (row - rect.FirstRow) * rect.Columns - rect.FirstColumn;
    const SurfacePoint* __restrict point = Surface.data() + rowStart;
    const float* __restrict height = RowHeights.data() + rowStart;
    std::uint8_t* __restrict held = tile.Held.data(); // vertex c of the grid row is local + c there
    const std::uint8_t* __restrict now = grey + rowStart;
    const float* __restrict columnZ = ColumnZ.data();
    const float* __restrict columnU = ColumnU.data();
    const TileVertexOrder* order = tile.Order;
    // Row, x and V stay along the row; the rest is the column's and the point's.
    TerrainVertex vertex = VertexAt(row, firstColumn, 0);
    auto write = [&](int c) {
        if (now[c] == held[local + c])
            return;
        held[local + c] = now[c];
        std::memcpy(&vertex.NX, &point[c], sizeof(SurfacePoint));
        vertex.Diffuse = now[c] * 0x01010101u;
        vertex.Y = height[c];
        vertex.Z = columnZ[c];
        vertex.U = columnU[c];
        vertices.Set(order != nullptr ? order->Slot(local + c) : local + c, &vertex);
    };
    // The columns TileIndices::CoarsestKeeping gives the level, as for rows: the multiples of its step
    // and the tile's last, which it shares with the next tile and which a step wider than the tile
    // would pass over. The terrain's own last column is its border, never lit, so outside the span.
    const int step = 1 << level, first = rect.FirstColumn, last = first + rect.Columns - 1;
    for (int c = first + ((firstColumn - first + step - 1) & -step); c < std::min(endColumn, last); c += step)
        write(c);
    if (last >= firstColumn && last < endColumn)
        write(last);
}
