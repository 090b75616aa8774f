// The engine's lighting against the plain reference version: identical colour bytes on many
// terrains, grid shapes, light directions and smoothing values, over consecutive calls.

#include "TerrainLightingOracle.h"
#include "TerrainLightingGrids.h"
#include "render/TerrainLighting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace lighting_grids;

struct LightDirection {
    float X, Y, Z;
};

// Both line orientations, all four quadrants, the axes, and ties between |x| and |z|.
const std::vector<LightDirection> Lights = {
    {100.0f, -35.0f, 0.0f}, {-100.0f, -35.0f, 0.0f}, {0.0f, -35.0f, 100.0f},  {0.0f, -35.0f, -100.0f},
    {30.0f, -20.0f, 30.0f}, {-30.0f, -20.0f, 30.0f}, {30.0f, -20.0f, -30.0f}, {-30.0f, -20.0f, -30.0f},
    {45.0f, -15.0f, 12.0f}, {-45.0f, -15.0f, 12.0f}, {12.0f, -15.0f, -45.0f}, {-12.0f, -15.0f, -45.0f},
    {7.0f, -90.0f, -3.0f},  {-0.5f, -1.0f, 0.25f},
};

// Runs both versions side by side on copies of one grid and compares every colour after every call.
class SideBySide {
public:
    SideBySide(int width, int height, const std::vector<float>& heights, int threads = 0)
        : Width(width), Height(height), Engine(Build(width, height, heights)), Reference(Engine) {
        Lighting.SetThreads(threads);
    }

    void Call(const LightDirection& light, int smoothing) {
        Light(Lighting, Engine, Width, Height, light.X, light.Y, light.Z, smoothing);
        Oracle.UpdateLighting(Reference, Width, Height, Extent, Extent, light.X, light.Y, light.Z, smoothing);
        ++Calls;
        for (std::size_t n = 0; n < Engine.size(); ++n) {
            if (Engine[n].Diffuse != Reference[n].Diffuse) {
                ADD_FAILURE() << "call " << Calls << ", light (" << light.X << ", " << light.Y << ", "
                              << light.Z << "), smoothing " << smoothing << ": vertex " << n << " (row "
                              << n / Width << ", column " << n % Width << ") engine " << std::hex
                              << Engine[n].Diffuse << " reference " << Reference[n].Diffuse;
                return;
            }
        }
    }

    const std::vector<TerrainVertex>& Vertices() const { return Engine; }

private:
    int Width, Height;
    std::vector<TerrainVertex> Engine, Reference;
    TerrainLighting Lighting;
    TerrainLightingOracle Oracle;
    int Calls = 0;
};

struct Shape {
    int Width, Height;
};

std::string Describe(Shape shape, const char* terrain) {
    return std::to_string(shape.Width) + " x " + std::to_string(shape.Height) + " " + terrain;
}

TEST(TerrainLightingOracleTest, EveryLightAndSmoothingOnManyGridShapes) {
    // Square and oblong, both ways round, up to the old fixed capacity (W + H = 166) and beyond it.
    const Shape shapes[] = {{3, 3},   {4, 7},   {7, 4},   {12, 12}, {50, 50},
                            {23, 61}, {61, 23}, {83, 83}, {110, 97}};
    unsigned seed = 1;
    for (const Shape shape : shapes) {
        for (const char* terrain : {"hills", "rough"}) {
            SCOPED_TRACE(Describe(shape, terrain));
            ++seed;
            const std::vector<float> heights = terrain[0] == 'h' ? Hills(shape.Width, shape.Height, seed)
                                                                 : Rough(shape.Width, shape.Height, seed);
            SideBySide both(shape.Width, shape.Height, heights);
            int smoothing = 0;
            for (const LightDirection& light : Lights)
                both.Call(light, smoothing++ % 8 + 1);
        }
    }
}

TEST(TerrainLightingOracleTest, CirclingLightOverConsecutiveCalls) {
    // The frame loop's light, (45 cos a, -15, 45 sin a), a step further round on every call.
    for (const Shape shape : {Shape{50, 50}, Shape{37, 64}}) {
        SCOPED_TRACE(Describe(shape, "hills"));
        SideBySide both(shape.Width, shape.Height, Hills(shape.Width, shape.Height, 99));
        both.Call({100.0f, -35.0f, 0.0f}, 3);
        for (int frame = 0; frame < 48; ++frame) {
            const float angle = 0.1375f * static_cast<float>(frame);
            both.Call({45.0f * std::cos(angle), -15.0f, 45.0f * std::sin(angle)}, frame % 8 + 1);
        }
    }
}

// Big grids are shared out between threads: the same colours whatever their number, on square
// grids (a line's shares meet different horizon slots) and oblong ones (they may meet the same).
TEST(TerrainLightingOracleTest, AnyNumberOfThreadsGivesTheSameColours) {
    for (const Shape shape : {Shape{256, 256}, Shape{90, 700}, Shape{700, 90}}) {
        for (const int threads : {1, 2, 3, 5}) {
            SCOPED_TRACE(Describe(shape, "hills") + ", " + std::to_string(threads) + " threads");
            SideBySide both(shape.Width, shape.Height, Hills(shape.Width, shape.Height, 7, 150), threads);
            both.Call({100.0f, -35.0f, 0.0f}, 3);
            both.Call({-31.0f, -15.0f, 32.0f}, 3);
            both.Call({20.0f, -15.0f, -41.0f}, 5);
            // Straight down (which the reference cannot take) casts no shadows: the passes alone.
            std::vector<TerrainVertex> shared =
                Build(shape.Width, shape.Height, Hills(shape.Width, shape.Height, 8));
            std::vector<TerrainVertex> alone = shared;
            TerrainLighting sharedLighting, aloneLighting;
            sharedLighting.SetThreads(threads);
            aloneLighting.SetThreads(1);
            Light(sharedLighting, shared, shape.Width, shape.Height, 0.0f, -1.0f, 0.0f, 2);
            Light(aloneLighting, alone, shape.Width, shape.Height, 0.0f, -1.0f, 0.0f, 2);
            for (std::size_t n = 0; n < alone.size(); ++n)
                ASSERT_EQ(shared[n].Diffuse, alone[n].Diffuse) << "vertex " << n;
        }
    }
}

} // namespace
