// Arbitrary generator settings, grid sizes, light directions, smoothing values and height queries
// through generation (bounded as Init bounds it), the terrain's build, its lighting and GetHeight,
// on the strict host double. A few terrains are built one after another on the same Terrain and
// the same lighting storage, as rebuilding with another grid does. Grids are small, so that an
// input takes milliseconds; one input in 32 makes its first grid big enough to tile, and relights it
// at most once.

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
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

namespace {

// Stops the run, as a contract breach does (FuzzContractBreach.cpp).
void Require(bool condition) {
    if (!condition)
        std::abort();
}

// Often one that breaks arithmetic: zeros of both signs, infinities, NaN, extremes, the smallest.
float AnyFloat(FuzzedDataProvider& in) {
    using L = std::numeric_limits<float>;
    constexpr float special[] = {
        0.0f,     -0.0f,     1.0f,     -1.0f,           L::quiet_NaN(),   L::infinity(), -L::infinity(),
        L::max(), -L::max(), L::min(), L::denorm_min(), -L::denorm_min(), 1e-20f,        1e20f};
    const int kind = in.ConsumeIntegralInRange<int>(0, 2);
    return kind == 0   ? in.PickValueInArray(special)
           : kind == 1 ? std::bit_cast<float>(in.ConsumeIntegral<std::uint32_t>())
                       : in.ConsumeFloatingPointInRange<float>(-1000.0f, 1000.0f);
}

// Any int, but often a small one or an extreme.
std::int32_t AnyInt(FuzzedDataProvider& in) {
    using L = std::numeric_limits<std::int32_t>;
    constexpr std::int32_t special[] = {L::min(), L::min() + 1, L::max(), L::max() - 1, 255,
                                        256,      257,          65535,    65536,        65537};
    const int kind = in.ConsumeIntegralInRange<int>(0, 2);
    return kind == 0   ? in.ConsumeIntegralInRange<std::int32_t>(-300, 300)
           : kind == 1 ? in.PickValueInArray(special)
                       : in.ConsumeIntegral<std::int32_t>();
}

// Buffers as a host may make them, or none, or ones that refuse to allocate; no call record.
void MakeBuffersSomehow(FuzzedDataProvider& in, RecordingRenderer& device) {
    device.Log->Enabled = false;
    const int kind = in.ConsumeIntegralInRange<int>(0, 2);
    device.MakeNoBuffers = kind == 1;
    device.RefuseAllocate = kind == 2;
}

// Cells the hills of one input may visit: far below what Init allows; the bounds themselves are
// still checked in full. Larger sides are only bounded.
constexpr double FuzzCellVisits = 1 << 18;
constexpr std::int32_t SmallSideMax = 40, TiledSideMin = 230, TiledSideMax = 300; // 65,536 vertices a strip

// A grid as Init makes it: any generator fields, bounded, hills raised, squared, normalised, scaled.
std::unique_ptr<Heightmap> Generated(FuzzedDataProvider& in, std::int32_t sideMax) {
    HeightmapGenerator g;
    std::tie(g.Width, g.Height, g.NbHills, g.MinHillRadius, g.MaxHillRadius) =
        std::tuple(AnyInt(in), AnyInt(in), AnyInt(in), AnyInt(in), AnyInt(in));
    const GenerationBounds b = GenerationBounds::For(g);
    const double widest = std::max(std::abs(double(b.MinHillRadius)), std::abs(double(b.MaxHillRadius)));
    const double cellsPerHill = HillFootprint::MostCells(b.Width, b.Height, widest);
    Require(GridLimits::Fits(b.Width, b.Height) && widest <= GenerationBounds::RadiusLimit &&
            b.NbHills <= std::min(GenerationBounds::HillLimit, g.NbHills) &&
            b.NbHills * cellsPerHill <= GenerationBounds::CellVisitLimit);
    const auto hills =
        static_cast<std::int32_t>(std::min(double(b.NbHills), std::floor(FuzzCellVisits / cellsPerHill)));
    const std::int32_t width = std::min(b.Width, sideMax), height = std::min(b.Height, sideMax);
    std::unique_ptr<Heightmap> grid(
        g.Generate(width, height, hills, float(b.MinHillRadius), float(b.MaxHillRadius)));
    Require(grid->Width == width && grid->Height == height);
    grid->Square();
    grid->Normalize();
    grid->Scale(250.0f);
    Require(std::all_of(grid->Data, grid->Data + width * height,
                        [](float h) { return h >= 0.0f && h <= 250.0f; }));
    return grid;
}

// A grid of any size from sideMin to sideMax a side (under 1 counts as 1), its heights any floats
// repeating in a pattern.
std::unique_ptr<Heightmap> Raw(FuzzedDataProvider& in, std::int32_t sideMin, std::int32_t sideMax) {
    auto grid = std::make_unique<Heightmap>(in.ConsumeIntegralInRange<std::int32_t>(sideMin, sideMax),
                                            in.ConsumeIntegralInRange<std::int32_t>(sideMin, sideMax));
    float tile[16] = {};
    const int tileSize = in.ConsumeIntegralInRange<int>(1, 16);
    std::generate_n(tile, tileSize, [&] { return AnyFloat(in); });
    for (int i = 0; i < grid->Width * grid->Height; ++i)
        grid->Data[i] = tile[i % tileSize];
    return grid;
}

// Heights whose sums and products stay well inside the float range.
bool Modest(const Heightmap& grid) {
    return std::all_of(grid.Data, grid.Data + grid.Width * grid.Height,
                       [](float h) { return std::fabs(h) <= 1e6f; });
}

// The tiles hold the whole grid; after a build their strips cover each cell once with one winding
// (relighting changes colours only). Vertex n = row * width + column has the grid's height; inside
// the outer ring a unit normal (modest heights) and a grey colour, the same in every tile; the
// ring keeps the build's white.
void Check(const RecordingRenderer& device, const Heightmap& grid, bool justBuilt) {
    const TerrainReadBack held = TerrainReadBack::From(device);
    Require(held.Whole && held.Width == grid.Width && held.Height == grid.Height &&
            (!justBuilt || held.StripProblems().empty()));
    const bool modest = Modest(grid);
    for (int n = 0; n < grid.Width * grid.Height; ++n) {
        const TerrainVertex& v = held.Grid[static_cast<std::size_t>(n)];
        const int row = n / grid.Width, column = n % grid.Width;
        const bool inside = row > 0 && row < grid.Height - 1 && column > 0 && column < grid.Width - 1;
        Require(v.Y == grid.Data[n] || (std::isnan(v.Y) && std::isnan(grid.Data[n])));
        Require(inside ? v.Diffuse == (v.Diffuse & 0xFFu) * 0x01010101u : v.Diffuse == 0xFFFFFFFFu);
        Require(!modest || !inside ||
                (std::fabs(std::hypot(v.NX, v.NY, v.NZ) - 1.0f) < 1e-3f && v.NY > 0.0f));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    TerrainLighting::Module().Reset();
    veltra::platform::RuntimeSrand(in.ConsumeIntegral<std::uint32_t>());
    RecordingRenderer device;
    MakeBuffersSomehow(in, device);
    Terrain terrain;
    std::unique_ptr<Heightmap> shown;                         // the grid the terrain was last built from
    bool tiled = in.ConsumeIntegralInRange<int>(0, 31) == 31; // not when the bytes run out
    for (int build = in.ConsumeIntegralInRange<int>(1, 3); build > 0; --build, tiled = false) {
        std::unique_ptr<Heightmap> grid = tiled              ? Raw(in, TiledSideMin, TiledSideMax)
                                          : in.ConsumeBool() ? Raw(in, -2, SmallSideMax)
                                                             : Generated(in, SmallSideMax);
        terrain.Build(&device, grid.get());
        if (GridLimits::Fits(grid->Width, grid->Height))
            shown = std::move(grid);
        const bool built = shown != nullptr && !device.MakeNoBuffers && !device.RefuseAllocate;
        for (int pass = in.ConsumeIntegralInRange<int>(0, tiled ? 1 : 2), first = pass; pass >= 0; --pass) {
            if (built)
                Check(device, *shown, pass == first);
            if (pass > 0) {
                const float x = AnyFloat(in), y = AnyFloat(in), z = AnyFloat(in);
                terrain.UpdateLighting(shown.get(), x, y, z, AnyInt(in));
            }
        }
        for (int query = in.ConsumeIntegralInRange<int>(0, 16); query > 0; --query) {
            // Off a grid 0.0; over modest heights a height of their size (the tests check its value).
            const float z = AnyFloat(in), x = AnyFloat(in), found = terrain.GetHeight(z, x);
            Require(shown == nullptr ? found == 0.0f
                                     : !Modest(*shown) || !std::isfinite(z + x) || std::fabs(found) <= 2e6f);
        }
    }
    return 0;
}
