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
    Frame frame{{}, std::vector<bool>(Tiles.size(), false), std::vector<int>(Tiles.size(), 0), {}};
    const std::vector<std::string>& calls = device.Log->Calls;
    const auto end = std::find(calls.rbegin(), calls.rend(), "EndScene");
    std::vector<unsigned> inside(Tiles.size(), 0); // rows and columns used inside the tile, or-ed
    int selected = 0, id = 0, type = 0, count = 0, primitives = 0;
    for (auto call = std::find(end, calls.rend(), "BeginScene").base(); call != end.base() - 1; ++call) {
        if (std::sscanf(call->c_str(), "IB%d.Select", &id) == 1)
            selected = id;
        if (std::sscanf(call->c_str(), "VB%d.DrawIndexed(%d,%d,%d)", &id, &type, &count, &primitives) != 4)
            continue;
        std::size_t t = 0;
        while (t < Tiles.size() &&
               Tiles[t].Buffer != device.VertexBuffers.at(static_cast<std::size_t>(id - 1)))
            ++t;
        const auto* indices = static_cast<const MemoryIndexBuffer*>(device.IndexBuffers.at(selected - 1ul));
        frame.Drawn.at(t) = true;
        for (int p = 0; p < primitives; ++p) {
            std::array<int, 3> v{};
            for (std::size_t k = 0; k < 3; ++k) { // odd strip positions turn the other way
                const std::size_t i = indices->Indices().at(type == 5 ? static_cast<std::size_t>(p) +
                                                                            (p % 2 == 1 && k < 2 ? 1 - k : k)
                                                                      : p * 3ul + k);
                v[k] = Tiles[t].GridVertex.at(i);
                frame.Colours.emplace_back(v[k], Tiles[t].Vertices[i].Diffuse);
            }
            if (v[0] == v[1] || v[1] == v[2] || v[0] == v[2])
                continue;
            frame.Triangles.push_back(v);
            for (const int n : v)
                if (n / Width > Tiles[t].FirstRow && n % Width > Tiles[t].FirstColumn &&
                    n / Width < Tiles[t].LastRow && n % Width < Tiles[t].LastColumn)
                    inside[t] |= static_cast<unsigned>((n / Width - Tiles[t].FirstRow) |
                                                       (n % Width - Tiles[t].FirstColumn));
        }
    }
    for (std::size_t t = 0; t < Tiles.size(); ++t)
        frame.Level[t] = std::min(7, std::countr_zero(inside[t] | 128u));
    return frame;
}

std::string TerrainReadBack::CoverProblems(const Frame& frame) const {
    std::vector<std::uint64_t> edges;
    long long cells = 0; // twice the area drawn, in cells: x grows with the row, z with the column
    for (const std::array<int, 3>& t : frame.Triangles) {
        const int r[3] = {t[0] / Width, t[1] / Width, t[2] / Width},
                  c[3] = {t[0] % Width, t[1] % Width, t[2] % Width};
        const long long turn = static_cast<long long>(r[1] - r[0]) * (c[2] - c[0]) -
                               static_cast<long long>(r[2] - r[0]) * (c[1] - c[0]);
        if (turn <= 0)
            return "a triangle turns the other way";
        cells += turn;
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
    for (std::size_t i = 0, same = 1; i < edges.size(); i = same++) {
        while (same < edges.size() && edges[same] >> 1 == edges[i] >> 1)
            ++same;
        const int a = static_cast<int>(edges[i] >> 25), b = static_cast<int>(edges[i] >> 1 & 0xFFFFFF);
        bool hidden = same - i == 2 || along(a, b, 0, Height - 1, 0, Width - 1);
        for (std::size_t t = 0; t < Tiles.size() && !hidden; ++t)
            hidden = !frame.Drawn[t] && along(a, b, Tiles[t].FirstRow, Tiles[t].LastRow, Tiles[t].FirstColumn,
                                              Tiles[t].LastColumn);
        if (same - i > 2 || (same - i == 2 && edges[i] == edges[i + 1]) || !hidden)
            return "edge " + std::to_string(a) + "-" + std::to_string(b) +
                   " is drawn twice one way or on one side only";
    }
    for (std::size_t t = 0; t < Tiles.size(); ++t)
        cells -= frame.Drawn[t] ? 2LL * (Tiles[t].LastRow - Tiles[t].FirstRow) *
                                      (Tiles[t].LastColumn - Tiles[t].FirstColumn)
                                : 0;
    return cells == 0 ? "" : "the triangles do not cover the tiles drawn";
}
