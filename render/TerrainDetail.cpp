#include "render/TerrainDetail.h"

#include "host/IndexBuffer.h"
#include "host/Renderer.h"
#include "host/VertexBuffer.h"
#include "render/TileIndices.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {
constexpr int Sides = 16; // every set of sides that may meet a coarser tile
constexpr int TriangleList = 4;

// Pixels a radian spans at the middle of the screen.
const float PixelsPerRadian =
    TerrainDetail::ScreenLines / (2.0f * std::tan(TerrainDetail::FieldOfView / 2.0f));

// How far the drawn surface of one level lies from the vertices it leaves out, at most.
float LevelError(const TileRect& rect, int level, const TerrainDetail::Heights& heights) {
    const std::vector<std::int32_t> rows = TileIndices::Kept(rect.Rows - 1, level);
    const std::vector<std::int32_t> columns = TileIndices::Kept(rect.Columns - 1, level);
    auto height = [&](std::int32_t r, std::int32_t c) {
        return heights
            .Y[static_cast<std::size_t>(rect.FirstRow + r) * static_cast<std::size_t>(heights.Width) +
               static_cast<std::size_t>(rect.FirstColumn + c)];
    };
    float worst = 0.0f;
    for (std::size_t i = 0; i + 1 < rows.size(); ++i)
        for (std::size_t j = 0; j + 1 < columns.size(); ++j) {
            const std::int32_t r0 = rows[i], r1 = rows[i + 1], c0 = columns[j], c1 = columns[j + 1];
            const float low = height(r0, c0), down = height(r1, c0), right = height(r0, c1),
                        far = height(r1, c1);
            for (std::int32_t r = r0; r <= r1; ++r)
                for (std::int32_t c = c0; c <= c1; ++c) {
                    // On the cell's two triangles, cut from (r1, c0) to (r0, c1) as the strip cuts.
                    const float u = static_cast<float>(r - r0) / static_cast<float>(r1 - r0);
                    const float v = static_cast<float>(c - c0) / static_cast<float>(c1 - c0);
                    const float drawn = u + v <= 1.0f
                                            ? low + u * (down - low) + v * (right - low)
                                            : far + (1.0f - u) * (right - far) + (1.0f - v) * (down - far);
                    worst = std::max(worst, std::fabs(drawn - height(r, c)));
                }
        }
    return worst;
}
} // namespace

// The index buffers of one tile shape: [level][coarser sides]; null where the device made no room.
struct TerrainDetail::Shape {
    std::int32_t RowCells = 0, ColumnCells = 0;
    TileVertexOrder VertexOrder;
    std::array<std::array<IndexBuffer*, Sides>, Levels> Buffers{};
    std::array<std::array<std::int32_t, Sides>, Levels> Counts{};

    Shape(std::int32_t rowCells, std::int32_t columnCells)
        : RowCells(rowCells), ColumnCells(columnCells), VertexOrder(rowCells, columnCells, Levels) {}
    Shape(const Shape&) = delete;
    Shape& operator=(const Shape&) = delete;
    ~Shape() {
        for (auto& level : Buffers)
            for (IndexBuffer*& buffer : level)
                if (buffer != nullptr) {
                    buffer->Free();
                    delete buffer;
                }
    }
};

TerrainDetail::TerrainDetail() = default;
TerrainDetail::~TerrainDetail() = default;

void TerrainDetail::Build(Renderer* renderer, const std::vector<TileRect>& tiles, std::int32_t across,
                          const Heights& heights) {
    Shapes.clear();
    States.assign(tiles.size(), TileState{});
    Chosen.assign(tiles.size(), 0);
    Visible.assign(tiles.size(), 0);
    Distance.assign(tiles.size(), 0.0f);
    Order.resize(tiles.size());
    for (std::size_t t = 0; t < tiles.size(); ++t)
        Order[t] = static_cast<std::uint32_t>(t);
    Across = across;
    Down = across > 0 ? static_cast<std::int32_t>(tiles.size()) / across : 0;
    for (std::size_t t = 0; t < tiles.size(); ++t) {
        Measure(tiles[t], heights, States[t]);
        States[t].Of = ShapeFor(renderer, tiles[t].Rows - 1, tiles[t].Columns - 1);
    }
}

void TerrainDetail::Measure(const TileRect& rect, const Heights& heights, TileState& state) const {
    const float firstX = heights.RowX[rect.FirstRow], lastX = heights.RowX[rect.FirstRow + rect.Rows - 1];
    const float firstZ = heights.ColumnZ[rect.FirstColumn];
    const float lastZ = heights.ColumnZ[rect.FirstColumn + rect.Columns - 1];
    float lowY = heights.Y[static_cast<std::size_t>(rect.FirstRow) * static_cast<std::size_t>(heights.Width) +
                           static_cast<std::size_t>(rect.FirstColumn)];
    float highY = lowY;
    for (std::int32_t r = 0; r < rect.Rows; ++r)
        for (std::int32_t c = 0; c < rect.Columns; ++c) {
            const float y =
                heights
                    .Y[static_cast<std::size_t>(rect.FirstRow + r) * static_cast<std::size_t>(heights.Width) +
                       static_cast<std::size_t>(rect.FirstColumn + c)];
            lowY = std::min(lowY, y), highY = std::max(highY, y);
        }
    state.Box = {std::min(firstX, lastX), lowY,  std::min(firstZ, lastZ),
                 std::max(firstX, lastX), highY, std::max(firstZ, lastZ)};
    state.Vertices = rect.Rows * rect.Columns;
    // The widest cell of the tile: the spacing of level 0.
    state.Spacing = std::max((state.Box[3] - state.Box[0]) / static_cast<float>(rect.Rows - 1),
                             (state.Box[5] - state.Box[2]) / static_cast<float>(rect.Columns - 1));
    for (std::size_t level = 1; level < Levels; ++level)
        // Kept non-decreasing, so that the coarsest level within bounds is found by stepping up.
        state.Height[level] =
            std::max(state.Height[level - 1], LevelError(rect, static_cast<int>(level), heights));
}

const TerrainDetail::Shape* TerrainDetail::ShapeFor(Renderer* renderer, std::int32_t rowCells,
                                                    std::int32_t columnCells) {
    for (const auto& shape : Shapes)
        if (shape->RowCells == rowCells && shape->ColumnCells == columnCells)
            return shape.get();
    auto shape = std::make_unique<Shape>(rowCells, columnCells);
    for (int level = 0; level < Levels; ++level)
        // The coarsest level never meets a coarser tile.
        for (unsigned sides = 0; sides < (level + 1 < Levels ? unsigned{Sides} : 1u); ++sides) {
            const std::vector<std::uint16_t> indices =
                TileIndices::Build(rowCells, columnCells, level, sides);
            IndexBuffer* buffer = nullptr;
            renderer->CreateIndexBuffer(&buffer);
            if (buffer == nullptr)
                continue;
            const auto count = static_cast<std::int32_t>(indices.size());
            buffer->Allocate(count, 2, 0);
            shape->Buffers[static_cast<std::size_t>(level)][sides] = buffer;
            if (buffer->AllocatedCount < count)
                continue; // no room: the buffer is freed with the shape, never written or drawn
            for (const std::uint16_t vertex : indices) {
                const std::uint16_t slot = shape->VertexOrder.Slot(vertex);
                buffer->Append(&slot);
            }
            shape->Counts[static_cast<std::size_t>(level)][sides] = count;
        }
    Shapes.push_back(std::move(shape));
    return Shapes.back().get();
}

// The inward normals of the view's left and right sides: planes through the eye, each turned from the
// line of sight by half the picture's width. None when the aspect is unknown or the eye looks
// straight up or down.
std::optional<std::array<std::array<float, 3>, 2>> TerrainDetail::ViewSides(const TerrainEye& eye) {
    const float level = std::hypot(eye.ForwardX, eye.ForwardZ);
    if (!(eye.Aspect > 0.0f) || !(level > 0.0f))
        return std::nullopt;
    const float half = std::atan(std::tan(FieldOfView / 2.0f) * eye.Aspect);
    const float ahead = std::sin(half), aside = std::cos(half);
    const std::array<float, 3> forward{eye.ForwardX, eye.ForwardY, eye.ForwardZ};
    const std::array<float, 3> right{eye.ForwardZ / level, 0.0f, -eye.ForwardX / level};
    std::array<std::array<float, 3>, 2> sides{};
    for (std::size_t axis = 0; axis < 3; ++axis) {
        sides[0][axis] = forward[axis] * ahead - right[axis] * aside;
        sides[1][axis] = forward[axis] * ahead + right[axis] * aside;
    }
    return sides;
}

void TerrainDetail::Choose(const TerrainEye& eye) {
    const float at[3] = {eye.X, eye.Y, eye.Z}, forward[3] = {eye.ForwardX, eye.ForwardY, eye.ForwardZ};
    const auto sides = ViewSides(eye);
    for (std::size_t t = 0; t < States.size(); ++t) {
        const TileState& state = States[t];
        float nearest = 0.0f, across = 0.0f, ahead = 0.0f, left = 0.0f, right = 0.0f;
        for (std::size_t axis = 0; axis < 3; ++axis) {
            const float low = state.Box[axis] - at[axis], high = state.Box[axis + 3] - at[axis];
            const float outside = std::max({low, -high, 0.0f}), farthest = std::max(-low, high);
            nearest += outside * outside;
            across += axis == 1 ? 0.0f : farthest * farthest;
            // The box's farthest reach along the line of sight.
            ahead += std::max(low * forward[axis], high * forward[axis]);
            if (sides) { // and into the view past each side
                left += std::max(low * (*sides)[0][axis], high * (*sides)[0][axis]);
                right += std::max(low * (*sides)[1][axis], high * (*sides)[1][axis]);
            }
        }
        const float distance = std::sqrt(nearest);
        Distance[t] = distance;
        // A height error is seen foreshortened by the sine of the angle between the line of sight
        // and the vertical: the horizontal distance over the distance, at most.
        const float slant = std::min(1.0f, std::sqrt(across) / distance);
        const float error = ErrorPixels * distance / PixelsPerRadian;
        const float spacing = SpacingPixels * distance / PixelsPerRadian;
        std::uint8_t level = 0;
        while (level + 1 < Levels && state.Height[level + 1u] * slant <= error &&
               state.Spacing * static_cast<float>(2 << level) <= spacing)
            ++level;
        Chosen[t] = level;
        Visible[t] = ahead > 0.0f && left >= 0.0f && right >= 0.0f ? 1 : 0;
    }
    KeepNeighboursClose();
    std::sort(Order.begin(), Order.end(),
              [&](std::uint32_t a, std::uint32_t b) { return Distance[a] < Distance[b]; });
}

// Lowers levels until no two neighbours differ by more than one: each tile takes the least of every
// tile's level plus its distance there in steps between neighbours, which a pass forward and a pass
// back over the rows of tiles find.
void TerrainDetail::KeepNeighboursClose() {
    auto at = [&](std::int32_t row, std::int32_t column) -> std::uint8_t& {
        return Chosen[static_cast<std::size_t>(row) * static_cast<std::size_t>(Across) +
                      static_cast<std::size_t>(column)];
    };
    auto lower = [](std::uint8_t& level, std::uint8_t neighbour) {
        level = std::min<std::uint8_t>(level, static_cast<std::uint8_t>(neighbour + 1));
    };
    for (std::int32_t r = 0; r < Down; ++r)
        for (std::int32_t c = 0; c < Across; ++c) {
            if (r > 0)
                lower(at(r, c), at(r - 1, c));
            if (c > 0)
                lower(at(r, c), at(r, c - 1));
        }
    for (std::int32_t r = Down - 1; r >= 0; --r)
        for (std::int32_t c = Across - 1; c >= 0; --c) {
            if (r + 1 < Down)
                lower(at(r, c), at(r + 1, c));
            if (c + 1 < Across)
                lower(at(r, c), at(r, c + 1));
        }
}

unsigned TerrainDetail::CoarserSides(std::size_t tile) const {
    const auto row = static_cast<std::int32_t>(tile) / Across,
               column = static_cast<std::int32_t>(tile) % Across;
    const std::uint8_t level = Chosen[tile];
    auto coarser = [&](std::int32_t r, std::int32_t c) {
        return r >= 0 && r < Down && c >= 0 && c < Across &&
               Chosen[static_cast<std::size_t>(r) * static_cast<std::size_t>(Across) +
                      static_cast<std::size_t>(c)] > level;
    };
    return (coarser(row - 1, column) ? TileIndices::FirstRow : 0u) |
           (coarser(row + 1, column) ? TileIndices::LastRow : 0u) |
           (coarser(row, column - 1) ? TileIndices::FirstColumn : 0u) |
           (coarser(row, column + 1) ? TileIndices::LastColumn : 0u);
}

const TileVertexOrder& TerrainDetail::VertexOrder(std::size_t tile) const {
    return States[tile].Of->VertexOrder;
}

void TerrainDetail::DrawTile(std::size_t tile, VertexBuffer& vertices) const {
    const TileState& state = States[tile];
    const unsigned sides = CoarserSides(tile);
    const auto level = static_cast<std::size_t>(Chosen[tile]);
    IndexBuffer* indices = state.Of->Buffers[level][sides];
    const std::int32_t count = state.Of->Counts[level][sides];
    if (indices == nullptr || count == 0)
        return;
    indices->Select();
    vertices.DrawIndexed(TriangleList, state.Vertices, count / 3);
}
