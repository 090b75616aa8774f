#include "render/TileIndices.h"

#include <bit>
#include <limits>
#include <utility>

namespace {
struct Point {
    std::int32_t Row = 0, Column = 0;
};

class ListBuilder {
public:
    ListBuilder(std::int32_t columnCells, std::vector<std::uint16_t>& out)
        : Stride(columnCells + 1), Out(out) {}

    // Turned like the strip's first triangle, (r, c), (r + 1, c), (r, c + 1): positive in (row, column).
    void Triangle(Point a, Point b, Point c) {
        const std::int64_t turn = static_cast<std::int64_t>(b.Row - a.Row) * (c.Column - a.Column) -
                                  static_cast<std::int64_t>(c.Row - a.Row) * (b.Column - a.Column);
        if (turn == 0)
            return;
        if (turn < 0)
            std::swap(b, c);
        for (const Point& p : {a, b, c})
            Out.push_back(static_cast<std::uint16_t>(p.Row * Stride + p.Column));
    }

    // The cells of the kept rows and columns, each cut along the diagonal the strip cuts.
    void Grid(const std::vector<std::int32_t>& rows, const std::vector<std::int32_t>& columns) {
        for (std::size_t i = 0; i + 1 < rows.size(); ++i)
            for (std::size_t j = 0; j + 1 < columns.size(); ++j) {
                const Point low{rows[i], columns[j]}, down{rows[i + 1], columns[j]};
                const Point right{rows[i], columns[j + 1]}, far{rows[i + 1], columns[j + 1]};
                Triangle(low, down, right);
                Triangle(right, down, far);
            }
    }

    // Fills the band between two lines of points running the same way (along: their position
    // along it), always stepping on the line whose next point comes first.
    template <typename Along>
    void Zip(const std::vector<Point>& outer, const std::vector<Point>& inner, Along along) {
        std::size_t i = 0, j = 0;
        while (i + 1 < outer.size() || j + 1 < inner.size()) {
            if (j + 1 == inner.size() ||
                (i + 1 < outer.size() && along(outer[i + 1]) <= along(inner[j + 1]))) {
                Triangle(outer[i], outer[i + 1], inner[j]);
                ++i;
            } else {
                Triangle(outer[i], inner[j], inner[j + 1]);
                ++j;
            }
        }
    }

private:
    std::int32_t Stride;
    std::vector<std::uint16_t>& Out;
};

std::vector<Point> Line(std::int32_t fixed, const std::vector<std::int32_t>& along, bool fixedIsRow,
                        std::int32_t from, std::int32_t to) {
    std::vector<Point> points;
    for (const std::int32_t at : along)
        if (at >= from && at <= to)
            points.push_back(fixedIsRow ? Point{fixed, at} : Point{at, fixed});
    return points;
}
} // namespace

int TileIndices::CoarsestKeeping(std::int32_t at, std::int32_t cells) {
    return at == 0 || at == cells ? std::numeric_limits<int>::max()
                                  : std::countr_zero(static_cast<std::uint32_t>(at));
}

std::vector<std::int32_t> TileIndices::Kept(std::int32_t cells, int level) {
    std::vector<std::int32_t> kept;
    for (std::int32_t at = 0; at <= cells; ++at)
        if (CoarsestKeeping(at, cells) >= level)
            kept.push_back(at);
    return kept;
}

std::vector<std::uint16_t> TileIndices::Build(std::int32_t rowCells, std::int32_t columnCells, int level,
                                              unsigned coarserSides) {
    std::vector<std::uint16_t> out;
    ListBuilder list(columnCells, out);
    const std::vector<std::int32_t> rows = Kept(rowCells, level), columns = Kept(columnCells, level);
    // A side's own points: the coarser level's where it meets a coarser tile.
    auto side = [&](unsigned bit, const std::vector<std::int32_t>& own, std::int32_t cells) {
        return (coarserSides & bit) != 0 ? Kept(cells, level + 1) : own;
    };
    const auto byColumn = [](const Point& p) { return p.Column; };
    const auto byRow = [](const Point& p) { return p.Row; };
    const std::vector<std::int32_t> firstRow = side(FirstRow, columns, columnCells);
    const std::vector<std::int32_t> lastRow = side(LastRow, columns, columnCells);
    if (rows.size() == 2) { // one band of cells: from the first row straight to the last
        list.Zip(Line(0, firstRow, true, 0, columnCells), Line(rowCells, lastRow, true, 0, columnCells),
                 byColumn);
        return out;
    }
    const std::vector<std::int32_t> firstColumn = side(FirstColumn, rows, rowCells);
    const std::vector<std::int32_t> lastColumn = side(LastColumn, rows, rowCells);
    if (columns.size() == 2) {
        list.Zip(Line(0, firstColumn, false, 0, rowCells), Line(columnCells, lastColumn, false, 0, rowCells),
                 byRow);
        return out;
    }
    // The inner rectangle keeps the level's cells; each coarser side is zipped onto its edge.
    const bool top = (coarserSides & FirstRow) != 0, bottom = (coarserSides & LastRow) != 0;
    const bool left = (coarserSides & FirstColumn) != 0, right = (coarserSides & LastColumn) != 0;
    const std::int32_t r0 = top ? rows[1] : 0, r1 = bottom ? rows[rows.size() - 2] : rowCells;
    const std::int32_t c0 = left ? columns[1] : 0, c1 = right ? columns[columns.size() - 2] : columnCells;
    list.Grid(std::vector<std::int32_t>(rows.begin() + (top ? 1 : 0), rows.end() - (bottom ? 1 : 0)),
              std::vector<std::int32_t>(columns.begin() + (left ? 1 : 0), columns.end() - (right ? 1 : 0)));
    if (top)
        list.Zip(Line(0, firstRow, true, 0, columnCells), Line(r0, columns, true, c0, c1), byColumn);
    if (bottom)
        list.Zip(Line(rowCells, lastRow, true, 0, columnCells), Line(r1, columns, true, c0, c1), byColumn);
    if (left)
        list.Zip(Line(0, firstColumn, false, 0, rowCells), Line(c0, rows, false, r0, r1), byRow);
    if (right)
        list.Zip(Line(columnCells, lastColumn, false, 0, rowCells), Line(c1, rows, false, r0, r1), byRow);
    return out;
}
