#include "render/TerrainLighting.h"

#include "render/Terrain.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr int SlotsPerCell = 3;
// Horizon slots are numbered around this centre slot, or around a higher one for big grids.
constexpr int LowestCentreSlot = 500;
constexpr float Ambient = 0.2f;
constexpr float DiffuseWeight = 0.8f;

// Squares of components outside this range leave the float range, so the light is rescaled first.
constexpr float LargeComponent = 0x1p40f;
constexpr float SmallComponent = 0x1p-40f;

// A horizon buffer keeps the height and the drop of slot j side by side, at 2j and 2j + 1.
constexpr int PerSlot = 2;

// Four floats as one value. Each lane goes through the same operations, in the same order, as it
// would on its own, so the results are those of the one-at-a-time arithmetic.
using Float4 = float __attribute__((vector_size(16)));
using Int4 = int __attribute__((vector_size(16)));

inline Float4 Load4(const float* from) {
    Float4 value;
    std::memcpy(&value, from, sizeof value);
    return value;
}

inline void Store4(float* to, Float4 value) {
    std::memcpy(to, &value, sizeof value);
}

// Lanes 0 .. 2 of four vectors, transposed: out0 holds the four lanes 0, out1 lanes 1, out2 lanes 2.
inline void Transpose3(Float4 a, Float4 b, Float4 c, Float4 d, Float4& out0, Float4& out1, Float4& out2) {
    const Float4 ab01 = __builtin_shufflevector(a, b, 0, 4, 1, 5);
    const Float4 cd01 = __builtin_shufflevector(c, d, 0, 4, 1, 5);
    const Float4 ab23 = __builtin_shufflevector(a, b, 2, 6, 3, 7);
    const Float4 cd23 = __builtin_shufflevector(c, d, 2, 6, 3, 7);
    out0 = __builtin_shufflevector(ab01, cd01, 0, 1, 4, 5);
    out1 = __builtin_shufflevector(ab01, cd01, 2, 3, 6, 7);
    out2 = __builtin_shufflevector(ab23, cd23, 0, 1, 4, 5);
}

// For the height and the drop alike: next[j] = (2 cur[j-1] + 2 cur[j+1] + cur[j-2] + cur[j+2] +
// 4 cur[j]) / 10, in this order, for slots j in [from, to). Two slots (four floats) at a time; the
// values read for one step serve the following ones too.
void SmoothSlots(const float* __restrict cur, float* __restrict next, int from, int to) {
    constexpr int a = PerSlot, b = 2 * PerSlot; // one and two slots away, in floats
    int i = from * PerSlot;
    const int end = to * PerSlot;
    if (end - i >= 8) {
        Float4 twoBack = Load4(cur + i - b);
        Float4 oneBackTwice = 2.0f * Load4(cur + i - a);
        Float4 here = Load4(cur + i);
        for (; i + 8 <= end; i += 8) {
            // Two groups per turn, so that the carried values need no copying.
            const Float4 oneOnTwice = 2.0f * Load4(cur + i + a);
            const Float4 twoOn = Load4(cur + i + b);
            Store4(next + i, (oneBackTwice + oneOnTwice + twoBack + twoOn + 4.0f * here) / 10.0f);
            const Float4 threeOnTwice = 2.0f * Load4(cur + i + a + 4);
            const Float4 fourOn = Load4(cur + i + b + 4);
            Store4(next + i + 4, (oneOnTwice + threeOnTwice + here + fourOn + 4.0f * twoOn) / 10.0f);
            twoBack = twoOn;
            oneBackTwice = threeOnTwice;
            here = fourOn;
        }
    }
    for (; i < end; ++i)
        next[i] = (2.0f * cur[i - a] + 2.0f * cur[i + a] + cur[i - b] + cur[i + b] + 4.0f * cur[i]) / 10.0f;
}

// Clamped to 0 .. 1; a value that is not a number (a degenerate horizon can give 0/0) becomes 0.
// Plain selects, so that the loop around it still runs several vertices at a time.
inline float ClampLevel(float level) {
    const float capped = level > 1.0f ? 1.0f : level;
    return capped >= 0.0f ? capped : 0.0f;
}

// The terrain's vertices as the lighting works on them: read from the mesh once per call, recoloured,
// then written back. Grows with the grid, never shrinks.
std::vector<TerrainVertex>& LitVertices() {
    static std::vector<TerrainVertex> vertices;
    return vertices;
}

} // namespace

void Terrain::UpdateLighting(const Heightmap* /*heightmap*/, float lightX, float lightY, float lightZ,
                             int smoothing) {
    // Every height comes from the mesh's own vertices; the heightmap is not read.
    if (Mesh == nullptr || GridWidth < 1 || GridHeight < 1)
        return;
    const long long count = static_cast<long long>(GridWidth) * GridHeight;
    if (count > Mesh->VertexCount() || count > TerrainLighting::MaxVertices)
        return;
    TerrainLighting& lighting = TerrainLighting::Module();

    // Where the buffer keeps its vertices as one array, they are lit where they lie (each read
    // once) and the device is told which ones changed: row 1, column 1 to row H - 2, column W - 2.
    if (TerrainVertex* stored = Mesh->VertexData()) {
        lighting.Update({stored, GridWidth, GridHeight, ExtentX, ExtentZ}, lightX, lightY, lightZ, smoothing);
        if (GridWidth > 2 && GridHeight > 2)
            Mesh->MarkVerticesChanged(GridWidth + 1, GridWidth * (GridHeight - 2) - 2);
        return;
    }

    // Otherwise through a copy: every vertex read once, every interior vertex written back once.
    std::vector<TerrainVertex>& vertices = LitVertices();
    if (vertices.size() < static_cast<std::size_t>(count))
        vertices.resize(static_cast<std::size_t>(count));
    for (int n = 0; n < count; ++n) {
        // A vertex that cannot be read leaves the whole terrain as it was, rather than colouring
        // it from another vertex's values.
        if (!Mesh->GetVertex(n, &vertices[static_cast<std::size_t>(n)]))
            return;
    }
    lighting.Update({vertices.data(), GridWidth, GridHeight, ExtentX, ExtentZ}, lightX, lightY, lightZ,
                    smoothing);
    for (int row = 1; row < GridHeight - 1; ++row)
        for (int n = row * GridWidth + 1, end = (row + 1) * GridWidth - 1; n < end; ++n)
            Mesh->SetVertex(n, &vertices[static_cast<std::size_t>(n)]);
}

TerrainLighting& TerrainLighting::Module() {
    static TerrainLighting lighting;
    return lighting;
}

void TerrainLighting::Reset() {
    *this = TerrainLighting{};
}

void TerrainLighting::Update(const Grid& grid, float lightX, float lightY, float lightZ, int smoothing) {
    if (grid.Vertices == nullptr || grid.Width < 1 || grid.Height < 1 ||
        static_cast<long long>(grid.Width) * grid.Height > MaxVertices)
        return;
    Fit(grid.Width, grid.Height);
    const Light light = Direction(lightX, lightY, lightZ);
    if (light.CastsShadows)
        Sweep(grid, light);
    else
        std::fill(ShadowLevel.begin(), ShadowLevel.end(), 1.0f);
    Shade(grid, light);
    Colour(grid, std::max(smoothing, 1));
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

void TerrainLighting::Fit(int width, int height) {
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

void TerrainLighting::ClearHorizon() {
    for (std::vector<float>& buffer : Horizon)
        std::fill(buffer.begin() + DirtyLo * PerSlot, buffer.begin() + DirtyHi * PerSlot, 0.0f);
    DirtyLo = DirtyHi = SlotLo;
    Current = 0;
}

void TerrainLighting::Sweep(const Grid& grid, const Light& light) {
    ClearHorizon();
    const int width = grid.Width;
    const int height = grid.Height;
    // Lines lie across the light's main horizontal direction and start where the light enters.
    const int firstColumn = light.ZNegative ? width - 1 : 0;
    const int columnStep = light.ZNegative ? -1 : 1;
    const int firstRow = light.XNegative ? height - 1 : 0;
    const int rowStep = light.XNegative ? -1 : 1;
    const int lineCount = light.RowLines ? height : width;
    const int lineLength = light.RowLines ? width : height;
    const int lineDelta = light.RowLines ? rowStep * width : columnStep;
    const int stepDelta = light.RowLines ? columnStep : rowStep * width;
    const LineGeometry geometry{
        light.XNegative ? grid.ExtentX / 2.0f : -grid.ExtentX / 2.0f,
        light.ZNegative ? grid.ExtentZ / 2.0f : -grid.ExtentZ / 2.0f,
        // The slot position is measured in thirds of a cell of ExtentZ / Width.
        grid.ExtentZ / static_cast<float>(width),
        light.HX,
        light.HZ,
        light.NY,
    };

    int lineStart = firstRow * width + firstColumn;
    for (int line = 0; line < lineCount; ++line, lineStart += lineDelta) {
        PlaceLine(grid.Vertices + lineStart, stepDelta, lineLength, geometry);
        SweepLine(ShadowLevel.data() + lineStart, stepDelta, lineLength);
    }
}

void TerrainLighting::PlaceLine(const TerrainVertex* first, int stepDelta, int length,
                                const LineGeometry& line) {
    const Float4 firstSlot = Float4{} + static_cast<float>(SlotLo);
    const Float4 lastSlot = Float4{} + static_cast<float>(SlotHi - 1); // k + 1 must stay below SlotHi
    const Float4 centre = Float4{} + CentreSlot;
    const Float4 x0 = Float4{} + line.X0, z0 = Float4{} + line.Z0, cell = Float4{} + line.Cell;
    const Float4 hx = Float4{} + line.HX, hz = Float4{} + line.HZ, ny = Float4{} + line.NY;
    const Int4 noSlot = Int4{} - 1;
    int* __restrict slotAt = LineSlot.data();
    float* __restrict weightsAt = LineWeights.data();
    float* __restrict rayAt = LineRay.data();
    float* __restrict groundAt = LineGround.data();

    // The slots that this line can raise: a vertex outside the extents widens the range to the
    // lowest slot, which costs only smoothing work.
    Float4 lowest = lastSlot, highest = firstSlot;

    auto place = [&](const TerrainVertex* a, const TerrainVertex* b, const TerrainVertex* c,
                     const TerrainVertex* d, int step) {
        // X, Y, Z of four vertices, loaded with the normal's X beside them, then transposed.
        Float4 x, y, z;
        Transpose3(Load4(&a->X), Load4(&b->X), Load4(&c->X), Load4(&d->X), x, y, z);
        const Float4 dx = x - x0;
        const Float4 dz = z - z0;
        const Float4 p = (hz * dx - hx * dz) / cell * static_cast<float>(SlotsPerCell) + centre;
        // A vertex outside the terrain's extents has no horizon slot (-1): it stays lit. Its
        // position is replaced before the conversion, which is only defined in range.
        const Int4 inRange = (p >= firstSlot) & (p < lastSlot);
        const Float4 position = inRange ? p : firstSlot;
        const Int4 k = __builtin_convertvector(position, Int4);
        const Float4 kf = __builtin_convertvector(k, Float4);
        const Float4 wk = 1.0f - (position - kf);
        const Float4 wk1 = 1.0f - ((kf + 1.0f) - position);
        lowest = position < lowest ? position : lowest;
        highest = position > highest ? position : highest;
        // Where the slot's pair of values starts in the horizon buffer.
        const Int4 slot = inRange ? k * PerSlot : noSlot;
        std::memcpy(slotAt + step, &slot, sizeof slot);
        // The two weights of a vertex side by side, as the sweep takes them.
        Store4(weightsAt + 2 * step, __builtin_shufflevector(wk, wk1, 0, 4, 1, 5));
        Store4(weightsAt + 2 * step + 4, __builtin_shufflevector(wk, wk1, 2, 6, 3, 7));
        Store4(rayAt + step, y - (hx * dx + hz * dz) * ny);
        Store4(groundAt + step, y);
    };

    const std::ptrdiff_t delta = stepDelta;
    const TerrainVertex* v = first;
    int step = 0;
    for (; step + 4 <= length; step += 4, v += 4 * delta)
        place(v, v + delta, v + 2 * delta, v + 3 * delta, step);
    if (step < length) {
        // A last, partial group: the line's last vertex stands in for the missing ones, and their
        // results land in padding that the sweep never reads.
        const int left = length - step;
        place(v, v + std::min(1, left - 1) * delta, v + std::min(2, left - 1) * delta, v + (left - 1) * delta,
              step);
    }
    // Positions lie in [SlotLo, SlotHi - 1), so these conversions are in range.
    const float low = std::min(std::min(lowest[0], lowest[1]), std::min(lowest[2], lowest[3]));
    const float high = std::max(std::max(highest[0], highest[1]), std::max(highest[2], highest[3]));
    LineSlotsLo = static_cast<int>(low);
    LineSlotsHi = static_cast<int>(high) + 2;
}

void TerrainLighting::SweepLine(float* shadowOut, int stepDelta, int length) {
    const int* __restrict slotAt = LineSlot.data();
    const float* __restrict weightsAt = LineWeights.data();
    const float* __restrict rayAt = LineRay.data();
    const float* __restrict groundAt = LineGround.data();
    float* __restrict horizon = Horizon[Current].data();
    const std::ptrdiff_t delta = stepDelta;
    for (std::ptrdiff_t step = 0; step < length; ++step, weightsAt += 2) {
        const int slot = slotAt[step];
        float shadow = 1.0f;
        if (slot >= 0) {
            const float h = rayAt[step];
            const Float4 weights = Load4(weightsAt);
            const Float4 weight = __builtin_shufflevector(weights, weights, 0, 0, 1, 1); // wk, wk, wk1, wk1
            float* values = horizon + slot;
            const Float4 stored = Load4(values); // height k, drop k, height k + 1, drop k + 1
            const Float4 weighted = weight * stored;
            const float horizonAtP = weighted[0] + weighted[2];
            if (h < horizonAtP) {
                const float dropAtP = weighted[1] + weighted[3];
                const float f = ((h - dropAtP) / (horizonAtP - dropAtP)) * (h / horizonAtP);
                const float g = (f + 2.0f) / 3.0f;
                shadow = g * g * g * g * g * g;
            } else {
                // Lit: both slots' heights move towards the ray, then both drops towards how far
                // the new height lies above the ground here.
                const Float4 raised = stored + weight * (h - stored); // heights in lanes 0, 2
                const Float4 heights = __builtin_shufflevector(raised, raised, 0, 0, 2, 2);
                const Float4 dropped = stored + weight * ((heights - groundAt[step]) - stored);
                Store4(values, __builtin_shufflevector(raised, dropped, 0, 5, 2, 7));
            }
        }
        shadowOut[step * delta] = shadow;
    }
    SmoothHorizon(LineSlotsLo, LineSlotsHi);
}

void TerrainLighting::SmoothHorizon(int touchedLo, int touchedHi) {
    int lo = DirtyLo;
    int hi = DirtyHi;
    if (touchedLo < touchedHi) {
        lo = lo < hi ? std::min(lo, touchedLo) : touchedLo;
        hi = std::max(hi, touchedHi);
    }
    const int next = 1 - Current;
    if (lo < hi) {
        // The kernel reaches two slots each way; the live range bounds it.
        const int from = std::max(SlotLo, lo - 2);
        const int to = std::min(SlotHi, hi + 2);
        SmoothSlots(Horizon[Current].data(), Horizon[next].data(), from, to);
        DirtyLo = from;
        DirtyHi = to;
    }
    Current = next;
}

void TerrainLighting::Shade(const Grid& grid, const Light& light) {
    const int width = grid.Width;
    const float nx = light.NX, ny = light.NY, nz = light.NZ;
    const TerrainVertex* __restrict vertices = grid.Vertices;
    const float* __restrict shadow = ShadowLevel.data();
    float* __restrict lightLevel = LightLevel.data();
    float* __restrict facingAt = LineRay.data(); // free between sweeps
    for (int row = 1; row < grid.Height - 1; ++row) {
        const int rowStart = row * width;
        // The normals of four vertices, each loaded with the colour beside it, then transposed.
        int column = 1;
        for (; column + 4 <= width - 1; column += 4) {
            const TerrainVertex* v = vertices + rowStart + column;
            Float4 normalX, normalY, normalZ;
            Transpose3(Load4(&v[0].NX), Load4(&v[1].NX), Load4(&v[2].NX), Load4(&v[3].NX), normalX, normalY,
                       normalZ);
            Store4(facingAt + column, normalX * nx + normalY * ny + normalZ * nz);
        }
        for (; column < width - 1; ++column) {
            const TerrainVertex& vertex = vertices[rowStart + column];
            facingAt[column] = vertex.NX * nx + vertex.NY * ny + vertex.NZ * nz;
        }
        for (int c = 1; c < width - 1; ++c) {
            const int n = rowStart + c;
            const float blurred =
                (shadow[n + width] + shadow[n - width] + shadow[n + 1] + shadow[n - 1] + shadow[n]) / 5.0f;
            const float d = facingAt[c];
            // Ambient only when the light meets the surface from behind: 0.8 * 0 adds nothing.
            const float facing = d > 0.0f ? 0.0f : -d;
            const float diffuse = Ambient + DiffuseWeight * facing;
            lightLevel[n] = ClampLevel(diffuse * blurred);
        }
    }
}

void TerrainLighting::Colour(const Grid& grid, int smoothing) {
    const int width = grid.Width;
    const float kept = static_cast<float>(smoothing - 1);
    const float divisor = static_cast<float>(smoothing);
    const float* __restrict lightLevel = LightLevel.data();
    float* __restrict display = DisplayLevel.data();
    for (int row = 1; row < grid.Height - 1; ++row) {
        for (int n = row * width + 1, end = row * width + width - 1; n < end; ++n) {
            const float blurred = (lightLevel[n + width] + lightLevel[n - width] + lightLevel[n + 1] +
                                   lightLevel[n - 1] + lightLevel[n]) /
                                  5.0f;
            const float shown = (kept * display[n] + blurred) / divisor;
            display[n] = shown;
            // shown stays within 0 .. 1; the bound only guards the conversion.
            const auto grey = static_cast<std::uint32_t>(static_cast<int>(std::min(shown * 255.0f, 255.0f)));
            grid.Vertices[n].Diffuse = grey * 0x01010101u;
        }
    }
}
