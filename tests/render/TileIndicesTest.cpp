// Every level and every set of coarser sides of the tile shapes a terrain makes: whole tiles of 64
// and 128 cells, leftovers cut short at the grid's far edge, and tiles one cell thin. The triangles
// cover the tile once, all turned one way, and the edges along each side run exactly between the
// points that side keeps, so that a neighbour at that level meets them edge for edge. Levels run
// past a 64-cell tile's side: there a level keeps only the tile's corners.

#include "render/TileIndices.h"
#include "render/TerrainDetail.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

TEST(TileIndicesTest, EveryVariantCoversItsTileAndMeetsItsNeighboursEdgeForEdge) {
    for (const auto& [rows, columns] :
         {std::pair{64, 64}, {128, 128}, {43, 64}, {64, 5}, {1, 64}, {64, 1}, {3, 2}})
        for (int level = 0; level < TerrainDetail::Levels; ++level)
            // The coarsest level meets no coarser neighbour; the finest levels of big tiles are
            // left out to keep this quick (the whole-grid runs draw them).
            for (unsigned sides = 0; sides < (level + 1 < TerrainDetail::Levels ? 16u : 1u) &&
                                     (rows * columns >> 2 * level) <= 1024;
                 ++sides) {
                SCOPED_TRACE(testing::Message()
                             << rows << " x " << columns << " level " << level << " sides " << sides);
                const std::vector<std::uint16_t> list = TileIndices::Build(rows, columns, level, sides);
                const int stride = columns + 1;
                ASSERT_EQ(list.size() % 3, 0u);
                std::map<std::pair<int, int>, int> edges; // directed
                long long twiceArea = 0;
                for (std::size_t i = 0; i < list.size(); i += 3) {
                    const int r[3] = {list[i] / stride, list[i + 1] / stride, list[i + 2] / stride};
                    const int c[3] = {list[i] % stride, list[i + 1] % stride, list[i + 2] % stride};
                    const int turn = (r[1] - r[0]) * (c[2] - c[0]) - (r[2] - r[0]) * (c[1] - c[0]);
                    ASSERT_GT(turn, 0);
                    twiceArea += turn;
                    for (int k = 0; k < 3; ++k)
                        ++edges[{list[i + k], list[i + (k + 1) % 3]}];
                }
                EXPECT_EQ(twiceArea, 2LL * rows * columns);
                // An edge drawn one way only lies on the border, between two points its side keeps.
                std::set<std::pair<int, int>> border, expected;
                for (const auto& [edge, count] : edges) {
                    ASSERT_EQ(count, 1);
                    if (!edges.contains({edge.second, edge.first}))
                        border.insert(std::minmax(edge.first, edge.second));
                }
                auto side = [&](unsigned bit, int cells, auto vertex) {
                    const std::vector<std::int32_t> kept =
                        TileIndices::Kept(cells, level + ((sides & bit) != 0 ? 1 : 0));
                    for (std::size_t k = 0; k + 1 < kept.size(); ++k)
                        expected.insert(std::minmax(vertex(kept[k]), vertex(kept[k + 1])));
                };
                side(TileIndices::FirstRow, columns, [&](int c) { return c; });
                side(TileIndices::LastRow, columns, [&](int c) { return rows * stride + c; });
                side(TileIndices::FirstColumn, rows, [&](int r) { return r * stride; });
                side(TileIndices::LastColumn, rows, [&](int r) { return r * stride + columns; });
                ASSERT_EQ(border, expected);
            }
}

} // namespace
