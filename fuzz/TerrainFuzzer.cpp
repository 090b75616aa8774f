// Arbitrary generator settings, grid sizes, light directions, smoothing values and height queries
// through generation (bounded as Init bounds it), the terrain's build, its lighting and GetHeight,
// on the tests' strict host double making its buffers in one of several ways. A few terrains
// are built one after another on the same Terrain and the same lighting storage, as rebuilding
// with another grid does.

#include "FuzzRenderer.h"
#include "FuzzValues.h"
#include "heightmap/GenerationBounds.h"
#include "heightmap/GridLimits.h"
#include "heightmap/Heightmap.h"
#include "heightmap/HeightmapGenerator.h"
#include "heightmap/HillFootprint.h"
#include "platform/RuntimeRandom.h"
#include "render/Terrain.h"
#include "render/TerrainLighting.h"
#include "support/TerrainReadBack.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

// Cells the hills of one input may visit: far below what Init allows, so that an input takes
// milliseconds; the bounds themselves are still checked in full.
constexpr double FuzzCellVisits = 1 << 18;
constexpr std::int32_t RawSideMax = 300; // past one strip's 65,536 vertices: tiles

void Require(bool condition) {
    if (!condition)
        std::abort();
}

// A grid as Init makes it: the generator's fields (any ints) bounded, hills raised, heights squared,
// normalised and scaled to 0..250.
std::unique_ptr<Heightmap> Generated(FuzzedDataProvider& in) {
    HeightmapGenerator generator;
    generator.Width = AnyInt(in);
    generator.Height = AnyInt(in);
    generator.NbHills = AnyInt(in);
    generator.MinHillRadius = AnyInt(in);
    generator.MaxHillRadius = AnyInt(in);
    const GenerationBounds bounds = GenerationBounds::For(generator);
    Require(GridLimits::Fits(bounds.Width, bounds.Height));
    Require(std::abs(bounds.MinHillRadius) <= GenerationBounds::RadiusLimit);
    Require(std::abs(bounds.MaxHillRadius) <= GenerationBounds::RadiusLimit);
    Require(bounds.NbHills <= GenerationBounds::HillLimit);
    Require(bounds.NbHills <= generator.NbHills);

    const double widest = std::max(std::abs(static_cast<double>(bounds.MinHillRadius)),
                                   std::abs(static_cast<double>(bounds.MaxHillRadius)));
    const double cellsPerHill = HillFootprint::MostCells(bounds.Width, bounds.Height, widest);
    Require(static_cast<double>(bounds.NbHills) * cellsPerHill <= GenerationBounds::CellVisitLimit);
    const auto hills = static_cast<std::int32_t>(std::min(
        static_cast<double>(bounds.NbHills), std::floor(FuzzCellVisits / std::max(cellsPerHill, 1.0))));

    // Grids past RawSideMax a side would take an input seconds; their bounds are checked above.
    const std::int32_t width = std::min(bounds.Width, RawSideMax),
                       height = std::min(bounds.Height, RawSideMax);
    std::unique_ptr<Heightmap> grid(generator.Generate(width, height, hills,
                                                       static_cast<float>(bounds.MinHillRadius),
                                                       static_cast<float>(bounds.MaxHillRadius)));
    Require(grid->Width == width && grid->Height == height);
    grid->Square();
    grid->Normalize();
    grid->Scale(250.0f);
    for (std::int64_t i = 0; i < static_cast<std::int64_t>(grid->Width) * grid->Height; ++i)
        Require(grid->Data[i] >= 0.0f && grid->Data[i] <= 250.0f);
    return grid;
}

// A grid of any size up to RawSideMax a side (under 1 counts as 1), its heights any floats, tiled.
std::unique_ptr<Heightmap> Raw(FuzzedDataProvider& in) {
    const auto width = in.ConsumeIntegralInRange<std::int32_t>(-2, RawSideMax);
    const auto height = in.ConsumeIntegralInRange<std::int32_t>(-2, RawSideMax);
    auto grid = std::make_unique<Heightmap>(width, height);
    float tile[16] = {};
    const int tileSize = in.ConsumeIntegralInRange<int>(1, 16);
    for (int i = 0; i < tileSize; ++i)
        tile[i] = AnyFloat(in);
    for (std::int64_t i = 0; i < static_cast<std::int64_t>(grid->Width) * grid->Height; ++i)
        grid->Data[i] = tile[i % tileSize];
    return grid;
}

// Heights whose sums and products stay well inside the float range.
bool Modest(const Heightmap& grid) {
    for (std::int64_t i = 0; i < static_cast<std::int64_t>(grid.Width) * grid.Height; ++i)
        if (!(std::fabs(grid.Data[i]) <= 1e6f))
            return false;
    return true;
}

// The tiles hold the whole grid, each vertex the same in every tile, their strips cover each cell
// once with one winding; the grid's heights, vertex n = row * width + column, and unit normals inside.
void CheckBuild(const FuzzRenderer& device, const Heightmap& grid) {
    const TerrainReadBack held = TerrainReadBack::From(device);
    Require(held.Whole && held.Width == grid.Width && held.Height == grid.Height);
    Require(held.StripProblems().empty());
    const bool modest = Modest(grid);
    for (int n = 0; n < grid.Width * grid.Height; ++n) {
        const TerrainVertex& vertex = held.Grid[static_cast<std::size_t>(n)];
        Require(vertex.Y == grid.Data[n] || (std::isnan(vertex.Y) && std::isnan(grid.Data[n])));
        const int row = n / grid.Width, column = n % grid.Width;
        const bool inside = row > 0 && row < grid.Height - 1 && column > 0 && column < grid.Width - 1;
        if (modest && inside) {
            const float length =
                std::sqrt(vertex.NX * vertex.NX + vertex.NY * vertex.NY + vertex.NZ * vertex.NZ);
            Require(std::fabs(length - 1.0f) < 1e-3f && vertex.NY > 0.0f);
        }
    }
}

// Interior vertices are grey, the same in every tile; the outer ring keeps the colour the build gave it.
void CheckColours(const FuzzRenderer& device) {
    const TerrainReadBack held = TerrainReadBack::From(device);
    Require(held.Whole);
    const int width = held.Width, height = held.Height;
    for (int n = 0; n < width * height; ++n) {
        const TerrainVertex& vertex = held.Grid[static_cast<std::size_t>(n)];
        const int row = n / width, column = n % width;
        const bool inside = row > 0 && row < height - 1 && column > 0 && column < width - 1;
        if (inside)
            Require(vertex.Diffuse == (vertex.Diffuse & 0xFFu) * 0x01010101u);
        else
            Require(vertex.Diffuse == 0xFFFFFFFFu);
    }
}

// Off the grid 0.0; over modest heights a finite height, within them where the query interpolates.
void CheckHeight(const Terrain& terrain, const Heightmap& grid, float z, float x) {
    const float found = terrain.GetHeight(z, x);
    if (!Modest(grid) || !std::isfinite(z) || !std::isfinite(x))
        return;
    Require(std::isfinite(found));
    const float gc = (z + terrain.ExtentZ / 2.0f) / terrain.ExtentZ * static_cast<float>(grid.Width - 1);
    const float gr = (x + terrain.ExtentX / 2.0f) / terrain.ExtentX * static_cast<float>(grid.Height - 1);
    const bool onGrid = gc >= 0.0f && gc <= static_cast<float>(grid.Width - 1) && gr >= 0.0f &&
                        gr <= static_cast<float>(grid.Height - 1);
    if (!onGrid) {
        Require(found == 0.0f);
    } else {
        const auto [low, high] = std::minmax_element(grid.Data, grid.Data + grid.Width * grid.Height);
        const float slack = 1e-3f * std::max({1.0f, std::fabs(*low), std::fabs(*high)});
        Require(found >= *low - slack && found <= *high + slack);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    TerrainLighting::Module().Reset();
    veltra::platform::RuntimeSrand(in.ConsumeIntegral<std::uint32_t>());
    FuzzRenderer device(static_cast<BufferKind>(in.ConsumeIntegralInRange<int>(0, BufferKindCount - 1)));

    Terrain terrain;
    std::unique_ptr<Heightmap> shown; // the grid the terrain was last built from
    const int builds = in.ConsumeIntegralInRange<int>(1, 3);
    for (int b = 0; b < builds; ++b) {
        std::unique_ptr<Heightmap> grid = in.ConsumeBool() ? Raw(in) : Generated(in);
        terrain.Build(&device, grid.get());
        if (GridLimits::Fits(grid->Width, grid->Height))
            shown = std::move(grid);
        const bool built = shown != nullptr && device.Kind == BufferKind::Kept;
        if (built)
            CheckBuild(device, *shown);

        const int passes = in.ConsumeIntegralInRange<int>(0, 4);
        for (int pass = 0; pass < passes; ++pass) {
            const float lightX = AnyFloat(in), lightY = AnyFloat(in), lightZ = AnyFloat(in);
            terrain.UpdateLighting(shown.get(), lightX, lightY, lightZ, AnyInt(in));
            if (built)
                CheckColours(device);
        }
        const int queries = in.ConsumeIntegralInRange<int>(0, 16);
        for (int query = 0; query < queries; ++query) {
            const float z = AnyFloat(in), x = AnyFloat(in);
            if (shown != nullptr)
                CheckHeight(terrain, *shown, z, x);
            else
                Require(terrain.GetHeight(z, x) == 0.0f);
        }
    }
    return 0;
}
