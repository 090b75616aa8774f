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
// Floats between the end of one row's shadow and the start of the next.
constexpr int ShadowPadding = 16;
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

bool TerrainLighting::Update(const Grid& grid, float lightX, float lightY, float lightZ, int smoothing,
                             Lit lit, void* context) {
    if (grid.Points == nullptr || grid.RowX == nullptr || grid.ColumnZ == nullptr ||
        !GridLimits::Fits(grid.Width, grid.Height))
        return false;
    const bool big = static_cast<long long>(grid.Width) * grid.Height >= ThreadedVertices;
    const int workers = WantedThreads > 0 ? WantedThreads
                        : big             ? std::max(1, static_cast<int>(std::thread::hardware_concurrency()))
                                          : 1;
    if (workers > 1 && (Pool == nullptr || Pool->Workers() != workers))
        Pool = std::make_unique<LightingPool>(workers);
    Fit(grid.Width, grid.Height, workers);
    const Light light = Direction(lightX, lightY, lightZ);
    // Lines lie across the light's main horizontal direction and start where the light enters.
    const LineOrder lines =
        light.RowLines
            ? LineOrder{true, light.XNegative ? grid.Height - 1 : 0, light.XNegative ? -1 : 1, grid.Height}
            : LineOrder{false, light.ZNegative ? grid.Width - 1 : 0, light.ZNegative ? -1 : 1, grid.Width};
    Call call{this, &grid, light, lines, std::max(smoothing, 1), workers, lit, context};
    if (light.CastsShadows) {
        ClearHorizon();
    } else {
        std::fill(ShadowLevel.begin(), ShadowLevel.end(), 1.0f);
        call.Swept.store(lines.Count, std::memory_order_relaxed);
    }
    if (workers > 1)
        Pool->Run(&Work, &call);
    else
        Work(&call, 0);
    return true;
}

void TerrainLighting::SyncSweepers(int sweepers) {
    if (sweepers > 1)
        Pool->Sync(sweepers);
}

// One thread alone does everything, line by line. Otherwise the others sweep while the calling
// thread (worker 0) turns what they have swept into grey levels and hands them out; the first
// sweeper works out light levels too, so that the two keep pace.
void TerrainLighting::Work(void* context, int worker) {
    Call& call = *static_cast<Call*>(context);
    TerrainLighting& self = *call.Lighting;
    const bool sweeping = call.Swept.load(std::memory_order_relaxed) < call.Lines.Count;
    if (call.Workers == 1) {
        if (sweeping)
            self.Sweep(*call.Surface, call.Direction, 0, 1, call);
        else
            self.LineSwept(call, call.Lines.Count, 0);
    } else if (worker > 0) {
        if (sweeping)
            self.Sweep(*call.Surface, call.Direction, worker - 1, call.Workers - 1, call);
    } else {
        for (int idle = 0; call.Coloured < call.Lines.Count;) {
            if (self.ColourShaded(call) || self.ShadeSwept(call))
                idle = 0;
            else if (++idle > LightingPool::SpinRounds)
                std::this_thread::yield();
        }
    }
}

// Called by the sweep after each line: the first sweeper publishes it and shades what it allows.
void TerrainLighting::LineSwept(Call& call, int swept, int sweeper) {
    if (sweeper != 0)
        return;
    call.Swept.store(swept, std::memory_order_release);
    ShadeSwept(call);
    if (call.Workers == 1)
        ColourShaded(call);
}

// Blocks of lines of some 65,536 vertices along rows. Along columns the passes and the writes
// cross the rows, so there blocks are wider, for longer runs of memory in each row.
int TerrainLighting::BlockLines(const Call& call) {
    const int length = std::max(call.Lines.Rows ? call.Surface->Width : call.Surface->Height, 1);
    return call.Lines.Rows ? std::clamp(65536 / length, 2, 64) : std::clamp(262144 / length, 2, 256);
}

// A line's light level needs the final shadow of the lines on either side: the next block is
// shaded once the line after it is swept, or the sweep is over. The first sweeper and the calling
// thread both do it, whichever is free; one at a time. False when there was nothing to do.
bool TerrainLighting::ShadeSwept(Call& call) {
    if (call.Shading.exchange(true, std::memory_order_acquire))
        return false;
    const int count = call.Lines.Count;
    const int block = BlockLines(call);
    const int swept = call.Swept.load(std::memory_order_acquire);
    const int before = call.Shaded.load(std::memory_order_relaxed);
    int shaded = before;
    for (int shadeTo = std::min(count, (shaded / block + 1) * block);
         shaded < count && (swept == count || swept > shadeTo);
         shaded = shadeTo, shadeTo = std::min(count, shadeTo + block)) {
        Shade(*call.Surface, call.Direction, SpanOf(call, shaded, shadeTo));
        call.Shaded.store(shadeTo, std::memory_order_release);
    }
    call.Shading.store(false, std::memory_order_release);
    return shaded > before;
}

// A line's grey level needs the light level of the lines on either side. On the calling thread:
// the lines coloured are handed out at once. False when there was nothing to do.
bool TerrainLighting::ColourShaded(Call& call) {
    const int count = call.Lines.Count;
    const int shaded = call.Shaded.load(std::memory_order_acquire);
    const int colourTo = shaded == count ? count : shaded - 1;
    if (colourTo <= call.Coloured)
        return false;
    const Span done = SpanOf(call, call.Coloured, colourTo);
    Colour(*call.Surface, call.Smoothing, done);
    call.Coloured = colourTo;
    if (call.OnLit != nullptr && done.FirstRow < done.EndRow && done.FirstColumn < done.EndColumn)
        call.OnLit(call.Context, done);
    return true;
}

// The interior vertices of lines [fromLine, toLine) of the sweep order.
TerrainLighting::Span TerrainLighting::SpanOf(const Call& call, int fromLine, int toLine) const {
    const LineOrder& lines = call.Lines;
    const int first = lines.Step > 0 ? lines.First + fromLine : lines.First - toLine + 1;
    const int end = lines.Step > 0 ? lines.First + toLine : lines.First - fromLine + 1;
    const int across = lines.Rows ? call.Surface->Height : call.Surface->Width;
    const int along = lines.Rows ? call.Surface->Width : call.Surface->Height;
    const int lo = std::max(first, 1), hi = std::max(lo, std::min(end, across - 1));
    const int alongEnd = std::max(1, along - 1);
    return lines.Rows ? Span{lo, hi, 1, alongEnd} : Span{1, alongEnd, lo, hi};
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
    if (Facing.size() < static_cast<std::size_t>(width + 4))
        Facing.resize(static_cast<std::size_t>(width + 4));
    if (ShareLowest.size() < static_cast<std::size_t>(workers)) {
        ShareLowest.resize(static_cast<std::size_t>(workers));
        ShareHighest.resize(static_cast<std::size_t>(workers));
    }
    if (width == FittedWidth && height == FittedHeight)
        return;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    ShadowStride = width + ShadowPadding;
    ShadowLevel.resize(static_cast<std::size_t>(ShadowStride) * static_cast<std::size_t>(height));
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
