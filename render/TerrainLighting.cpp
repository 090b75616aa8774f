#include "render/TerrainLighting.h"

#include "heightmap/GridLimits.h"
#include "render/LightingConstants.h"

#include <algorithm>
#include <cmath>
#include <thread>

using namespace lighting;

namespace {
// Squares of components outside this range leave the float range, so the light is rescaled first.
constexpr float LargeComponent = 0x1p40f;
constexpr float SmallComponent = 0x1p-40f;
} // namespace

TerrainLighting& TerrainLighting::Module() {
    static TerrainLighting lighting;
    return lighting;
}

void TerrainLighting::Reset() {
    // The threads stay: only what the lighting shows starts afresh.
    std::unique_ptr<LightingPool> pool = std::move(Pool);
    const int threads = WantedThreads;
    *this = TerrainLighting{};
    Pool = std::move(pool);
    WantedThreads = threads;
}

void TerrainLighting::SetThreads(int threads) {
    WantedThreads = std::max(threads, 0);
}

bool TerrainLighting::Update(const Grid& grid, float lightX, float lightY, float lightZ, int smoothing) {
    if (grid.Points == nullptr || grid.RowX == nullptr || grid.ColumnZ == nullptr ||
        !GridLimits::Fits(grid.Width, grid.Height))
        return false;
    int workers = 1;
    if (static_cast<long long>(grid.Width) * grid.Height >= ThreadedVertices) {
        const int wanted = WantedThreads > 0
                               ? WantedThreads
                               : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
        if (wanted > 1 && (Pool == nullptr || Pool->Workers() != wanted))
            Pool = std::make_unique<LightingPool>(wanted);
        workers = wanted > 1 ? wanted : 1;
    }
    Fit(grid.Width, grid.Height, workers);
    Call call{this, &grid, Direction(lightX, lightY, lightZ), std::max(smoothing, 1), workers};
    if (call.Direction.CastsShadows)
        ClearHorizon();
    if (workers > 1)
        Pool->Run(&Work, &call);
    else
        Work(&call, 0);
    return true;
}

void TerrainLighting::Sync(int workers) {
    if (workers > 1)
        Pool->Sync();
}

// One worker's share of a call: the sweep, then the two passes, each over its own rows.
void TerrainLighting::Work(void* context, int worker) {
    const Call& call = *static_cast<const Call*>(context);
    TerrainLighting& self = *call.Lighting;
    const Grid& grid = *call.Surface;
    const int workers = call.Workers;
    if (call.Direction.CastsShadows) {
        self.Sweep(grid, call.Direction, worker, workers);
    } else {
        const std::size_t count = self.ShadowLevel.size();
        std::fill(self.ShadowLevel.begin() + static_cast<std::ptrdiff_t>(count * worker / workers),
                  self.ShadowLevel.begin() + static_cast<std::ptrdiff_t>(count * (worker + 1) / workers),
                  1.0f);
    }
    self.Sync(workers);
    // Rows 1 .. H - 2 in one block per worker.
    const int inner = std::max(grid.Height - 2, 0);
    const int firstRow = 1 + inner * worker / workers, endRow = 1 + inner * (worker + 1) / workers;
    self.Shade(grid, call.Direction, firstRow, endRow, worker);
    self.Sync(workers);
    self.Colour(grid, call.Smoothing, firstRow, endRow);
}

TerrainLighting::Light TerrainLighting::Direction(float x, float y, float z) {
    Light light;
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z))
        return light;
    const float largest = std::max({std::fabs(x), std::fabs(y), std::fabs(z)});
    if (largest == 0.0f)
        return light;
    if (largest > LargeComponent || largest < SmallComponent) {
        // A power-of-two scale changes no bit of the direction, only keeps the squares in range.
        int exponent = 0;
        std::frexp(largest, &exponent);
        x = std::ldexp(x, -exponent);
        y = std::ldexp(y, -exponent);
        z = std::ldexp(z, -exponent);
    }
    const float length = std::sqrt(x * x + y * y + z * z);
    light.NX = x / length;
    light.NY = y / length;
    light.NZ = z / length;
    const float horizontal = std::sqrt(x * x + z * z);
    // A light straight down, or one that does not travel downwards, casts no shadows.
    light.CastsShadows = horizontal > 0.0f && y < 0.0f;
    if (light.CastsShadows) {
        light.HX = x / horizontal;
        light.HZ = z / horizontal;
    }
    light.RowLines = z * z < x * x;
    light.XNegative = x < 0.0f;
    light.ZNegative = z < 0.0f;
    return light;
}

void TerrainLighting::Fit(int width, int height, int workers) {
    const std::size_t facingRoom = static_cast<std::size_t>(workers) * static_cast<std::size_t>(width + 4);
    if (Facing.size() < facingRoom)
        Facing.resize(facingRoom);
    if (ShareLowest.size() < static_cast<std::size_t>(workers)) {
        ShareLowest.resize(static_cast<std::size_t>(workers));
        ShareHighest.resize(static_cast<std::size_t>(workers));
    }
    if (width == FittedWidth && height == FittedHeight)
        return;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    ShadowLevel.resize(count);
    // The border of the light level is never written and must read 0.0, whatever an earlier
    // grid shape left there.
    LightLevel.assign(count, 0.0f);
    // Entries start at 1.0 the first time a grid reaches them and then carry over between calls.
    if (DisplayLevel.size() < count)
        DisplayLevel.resize(count, 1.0f);
    Grey.resize(count);

    const int span = SlotsPerCell * (width + height);
    const int centre = std::max(LowestCentreSlot, span + 2);
    const std::size_t slots = static_cast<std::size_t>(centre + span + 2);
    for (std::vector<float>& buffer : Horizon)
        buffer.assign(slots * PerSlot, 0.0f);
    SlotLo = centre - span;
    SlotHi = centre + span;
    CentreSlot = static_cast<float>(centre);
    DirtyLo = DirtyHi = SlotLo;

    // Lines are placed four vertices at a time: room for a last, partly filled group.
    const std::size_t lineRoom = static_cast<std::size_t>(std::max(width, height) + 4);
    LineSlot.resize(lineRoom);
    LineWeights.resize(2 * lineRoom);
    LineRay.resize(lineRoom);
    LineGround.resize(lineRoom);
    FittedWidth = width;
    FittedHeight = height;
}
