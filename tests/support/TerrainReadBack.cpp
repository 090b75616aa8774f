#include "support/TerrainReadBack.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

TerrainReadBack TerrainReadBack::From(const RecordingRenderer& device) {
    TerrainReadBack terrain;
    std::vector<float> rows, columns;
    for (const RecordingVertexBuffer* vertices : device.VertexBuffers)
        if (device.IsAlive(vertices) && vertices->FormatCode == TerrainVertex::FormatCode)
            terrain.Tiles.push_back({vertices, vertices->All<TerrainVertex>(), {}});
    for (const Tile& tile : terrain.Tiles)
        for (const TerrainVertex& v : tile.Vertices)
            rows.push_back(v.X), columns.push_back(v.Z);
    for (std::vector<float>* values : {&rows, &columns}) {
        std::sort(values->begin(), values->end());
        values->erase(std::unique(values->begin(), values->end()), values->end());
    }
    terrain.Height = static_cast<int>(rows.size());
    terrain.Width = static_cast<int>(columns.size());
    terrain.Grid.resize(rows.size() * columns.size());
    std::vector<bool> seen(terrain.Grid.size(), false);
    terrain.Whole = !terrain.Tiles.empty();
    auto position = [](const std::vector<float>& sorted, float value) {
        return static_cast<int>(std::lower_bound(sorted.begin(), sorted.end(), value) - sorted.begin());
    };
    for (Tile& tile : terrain.Tiles) {
        tile.FirstRow = tile.FirstColumn = 1 << 30;
        for (const TerrainVertex& v : tile.Vertices) {
            const int row = position(rows, v.X), column = position(columns, v.Z);
            const int n = row * terrain.Width + column;
            tile.GridVertex.push_back(n);
            tile.FirstRow = std::min(tile.FirstRow, row), tile.LastRow = std::max(tile.LastRow, row);
            tile.FirstColumn = std::min(tile.FirstColumn, column);
            tile.LastColumn = std::max(tile.LastColumn, column);
            terrain.Whole = terrain.Whole && (!seen[n] || std::memcmp(&terrain.Grid[n], &v, sizeof v) == 0);
            terrain.Grid[n] = v;
            seen[n] = true;
        }
    }
    terrain.Whole = terrain.Whole && std::find(seen.begin(), seen.end(), false) == seen.end();
    return terrain;
}

TerrainReadBack::Frame TerrainReadBack::Drawn(const RecordingRenderer& device) const {
    Frame frame{{}, std::vector<bool>(Tiles.size(), false), std::vector<int>(Tiles.size(), 0)};
    const std::vector<std::string>& calls = device.Log->Calls;
    const auto end = std::find(calls.rbegin(), calls.rend(), "EndScene");
    const auto begin = std::find(end, calls.rend(), "BeginScene");
    std::vector<unsigned> inside(Tiles.size(), 0); // rows and columns used inside, or-ed
    int selected = 0;
    for (auto call = begin.base(); call != end.base() - 1; ++call) {
        int id = 0, type = 0, count = 0, primitives = 0;
        if (std::sscanf(call->c_str(), "IB%d.Select", &id) == 1)
            selected = id;
        if (std::sscanf(call->c_str(), "VB%d.DrawIndexed(%d,%d,%d)", &id, &type, &count, &primitives) != 4 ||
            selected == 0)
            continue;
        const std::size_t t =
            std::find_if(Tiles.begin(), Tiles.end(),
                         [&](const Tile& tile) {
                             return tile.Buffer == device.VertexBuffers[static_cast<std::size_t>(id - 1)];
                         }) -
            Tiles.begin();
        const std::vector<std::uint16_t>& indices =
            static_cast<const MemoryIndexBuffer*>(device.IndexBuffers[static_cast<std::size_t>(selected - 1)])
                ->Indices();
        if (t == Tiles.size())
            continue;
        const Tile& tile = Tiles[t];
        frame.Drawn[t] = true;
        for (int p = 0; p < primitives; ++p) {
            const std::size_t first =
                type == 5 ? static_cast<std::size_t>(p) : static_cast<std::size_t>(p) * 3;
            std::array<int, 3> triangle{};
            for (std::size_t k = 0; k < 3; ++k)
                triangle[k] = tile.GridVertex.at(indices.at(first + k));
            if (type == 5 && p % 2 == 1)
                std::swap(triangle[0], triangle[1]);
            if (triangle[0] == triangle[1] || triangle[1] == triangle[2] || triangle[0] == triangle[2])
                continue;
            frame.Triangles.push_back(triangle);
            for (const int n : triangle) {
                const int row = n / Width - tile.FirstRow, column = n % Width - tile.FirstColumn;
                if (row > 0 && column > 0 && n / Width < tile.LastRow && n % Width < tile.LastColumn)
                    inside[t] |= static_cast<unsigned>(row | column);
            }
        }
    }
    for (std::size_t t = 0; t < Tiles.size(); ++t)
        frame.Level[t] = std::min(7, std::countr_zero(inside[t] | 128u));
    return frame;
}

std::string TerrainReadBack::CoverProblems(const Frame& frame) const {
    std::vector<std::uint64_t> edges;
    double area = 0.0, tiles = 0.0;
    for (const std::array<int, 3>& t : frame.Triangles) {
        const TerrainVertex &a = Grid[t[0]], &b = Grid[t[1]], &c = Grid[t[2]];
        const double turn = (static_cast<double>(b.X) - a.X) * (static_cast<double>(c.Z) - a.Z) -
                            (static_cast<double>(c.X) - a.X) * (static_cast<double>(b.Z) - a.Z);
        if (turn <= 0.0)
            return "a triangle turns the other way";
        area += turn / 2.0;
        for (int k = 0; k < 3; ++k) { // (lower vertex, higher vertex, which way), vertices below 2^24
            const int from = t[k], to = t[(k + 1) % 3];
            edges.push_back(static_cast<std::uint64_t>(std::min(from, to)) << 25 |
                            static_cast<std::uint64_t>(std::max(from, to)) << 1 | (from < to ? 0u : 1u));
        }
    }
    std::sort(edges.begin(), edges.end());
    // An edge drawn one way only must lie along the terrain's border or a tile not drawn.
    auto along = [&](int a, int b, int row0, int row1, int column0, int column1) {
        const int ra = a / Width, ca = a % Width, rb = b / Width, cb = b % Width;
        const bool inside = std::min(ra, rb) >= row0 && std::max(ra, rb) <= row1 &&
                            std::min(ca, cb) >= column0 && std::max(ca, cb) <= column1;
        return inside &&
               ((ra == rb && (ra == row0 || ra == row1)) || (ca == cb && (ca == column0 || ca == column1)));
    };
    for (std::size_t i = 0; i < edges.size();) {
        std::size_t same = i + 1;
        while (same < edges.size() && edges[same] >> 1 == edges[i] >> 1)
            ++same;
        const int a = static_cast<int>(edges[i] >> 25), b = static_cast<int>(edges[i] >> 1 & 0xFFFFFF);
        if (same - i > 2 || (same - i == 2 && edges[i] == edges[i + 1]))
            return "edge " + std::to_string(a) + "-" + std::to_string(b) + " is drawn twice the same way";
        bool hidden = same - i == 2 || along(a, b, 0, Height - 1, 0, Width - 1);
        for (std::size_t t = 0; t < Tiles.size() && !hidden; ++t)
            hidden = !frame.Drawn[t] && along(a, b, Tiles[t].FirstRow, Tiles[t].LastRow, Tiles[t].FirstColumn,
                                              Tiles[t].LastColumn);
        if (!hidden)
            return "edge " + std::to_string(a) + "-" + std::to_string(b) + " is drawn on one side only";
        i = same;
    }
    for (std::size_t t = 0; t < Tiles.size(); ++t)
        if (frame.Drawn[t]) {
            const TerrainVertex& low =
                Grid[static_cast<std::size_t>(Tiles[t].FirstRow * Width + Tiles[t].FirstColumn)];
            const TerrainVertex& high =
                Grid[static_cast<std::size_t>(Tiles[t].LastRow * Width + Tiles[t].LastColumn)];
            tiles += (static_cast<double>(high.X) - low.X) * (static_cast<double>(high.Z) - low.Z);
        }
    if (std::fabs(area - tiles) > 1e-6 * tiles)
        return "the triangles cover " + std::to_string(area) + " of the drawn tiles' " +
               std::to_string(tiles);
    return "";
}
