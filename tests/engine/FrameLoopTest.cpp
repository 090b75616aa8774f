// The frame loop through the built module: keys go in as window messages, through the window
// procedure and the listener lists, and show up in what the next frames hand the renderer.

#include "AllocationCounter.h"
#include "TerrainLightingOracle.h"
#include "hostkit/NullRenderer.h"
#include "render/TerrainVertex.h"
#include "support/ModuleHarness.h"
#include "support/TerrainReadBack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr UINT KeyT = 84;

class FrameLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Harness.Create()) << Harness.Module.Error();
        ASSERT_TRUE(Harness.Init());
    }
    void TearDown() override { Harness.Release(); }

    CameraCall FrameCamera() {
        Harness.Frame();
        return Harness.Device.Cameras.back();
    }
    void KeyDown(UINT key) { Harness.Send(WM_KEYDOWN, key); }
    void KeyUp(UINT key) { Harness.Send(WM_KEYUP, key); }
    std::string Printed(UINT key) {
        testing::internal::CaptureStdout();
        KeyDown(key);
        std::fflush(stdout);
        return testing::internal::GetCapturedStdout();
    }

    ModuleHarness Harness;
};

TEST_F(FrameLoopTest, FirstFrameLooksStraightDownInTheClearColourAndDrawsOnlyTheTerrain) {
    int before = static_cast<int>(Harness.Device.Log->Calls.size());
    CameraCall camera = FrameCamera();
    EXPECT_FLOAT_EQ(camera.Tx, 0.0f);
    EXPECT_FLOAT_EQ(camera.Ty, -700.0f);
    EXPECT_FLOAT_EQ(camera.Tz, 0.0f);
    EXPECT_FLOAT_EQ(camera.Yaw, 0.0f);
    EXPECT_FLOAT_EQ(camera.Pitch, -1.57f);
    EXPECT_FLOAT_EQ(camera.Roll, 0.0f);
    ASSERT_EQ(Harness.Device.ClearColorAtBegin.size(), 1u);
    EXPECT_EQ(Harness.Device.ClearColorAtBegin[0], 0xBBCCDDEEu);

    // Camera, then the scene; exactly one draw (the terrain's strip), inside it.
    const CallLog& log = *Harness.Device.Log;
    int camera_at = log.Find("SetCamera", before);
    int begin_at = log.Find("BeginScene(1)", before);
    int end_at = log.Find("EndScene(1)", before);
    ASSERT_GE(camera_at, 0);
    EXPECT_LT(camera_at, begin_at);
    EXPECT_LT(begin_at, end_at);
    int draws = 0;
    for (int i = before; i < static_cast<int>(log.Calls.size()); ++i) {
        if (log.Calls[i].find(".DrawIndexed(5,") != std::string::npos) {
            ++draws;
            EXPECT_GT(i, begin_at);
            EXPECT_LT(i, end_at);
        }
        EXPECT_EQ(log.Calls[i].find(".DrawIndexed(4,"), std::string::npos) << "the box is not drawn";
    }
    EXPECT_EQ(draws, 1);
}

TEST_F(FrameLoopTest, TogglesTheFlyViewOnTheReleaseOfTOnly) {
    KeyDown(KeyT);
    EXPECT_FLOAT_EQ(FrameCamera().Ty, -700.0f);
    KeyUp(KeyT);
    CameraCall fly = FrameCamera();
    EXPECT_FLOAT_EQ(fly.Pitch, 0.0f);
    EXPECT_FLOAT_EQ(fly.Tx, 0.0f);
    EXPECT_FLOAT_EQ(fly.Tz, 0.0f);

    KeyUp(KeyT);
    EXPECT_FLOAT_EQ(FrameCamera().Ty, -700.0f);
}

TEST_F(FrameLoopTest, ArrowsTurnAndMoveTheEyeAlongItsHeading) {
    KeyUp(KeyT);
    CameraCall start = FrameCamera();

    KeyDown(VK_UP);
    CameraCall moved = start;
    for (int frame = 0; frame < 4; ++frame)
        moved = FrameCamera();
    // The eye stands at (-Tx, -Tz) and goes 1.5 per frame along +z at heading 0.
    EXPECT_NEAR(-moved.Tz - -start.Tz, 6.0f, 1e-4f);
    EXPECT_NEAR(moved.Tx, start.Tx, 1e-6f);

    // Two turns left while moving: the heading is 0.3 and the eye goes along (-sin, cos).
    KeyDown(VK_LEFT);
    KeyDown(VK_LEFT);
    CameraCall turned = FrameCamera();
    EXPECT_FLOAT_EQ(turned.Yaw, 0.3f);
    EXPECT_NEAR(-turned.Tx - -moved.Tx, -1.5f * std::sin(0.3f), 1e-4f);
    EXPECT_NEAR(-turned.Tz - -moved.Tz, 1.5f * std::cos(0.3f), 1e-4f);

    KeyDown(VK_RIGHT);
    KeyUp(VK_UP);
    CameraCall stopped = FrameCamera();
    EXPECT_FLOAT_EQ(stopped.Yaw, 0.15f);
    EXPECT_FLOAT_EQ(stopped.Tx, turned.Tx);
    EXPECT_FLOAT_EQ(stopped.Tz, turned.Tz);

    // Backward, then a release of the other arrow still stops the camera.
    KeyDown(VK_DOWN);
    CameraCall back = FrameCamera();
    EXPECT_NEAR(-back.Tz - -stopped.Tz, -1.5f * std::cos(0.15f), 1e-4f);
    KeyUp(VK_UP);
    CameraCall still = FrameCamera();
    EXPECT_FLOAT_EQ(still.Tz, FrameCamera().Tz);
    EXPECT_FLOAT_EQ(still.Tz, back.Tz);
}

TEST_F(FrameLoopTest, OffTheTerrainTheEyeIsEightAboveZero) {
    KeyUp(KeyT);
    KeyDown(VK_UP);
    CameraCall camera{};
    for (int frame = 0; frame < 400; ++frame) // 600 along +z: past the edge at 500
        camera = FrameCamera();
    EXPECT_GT(-camera.Tz, 500.0f);
    EXPECT_FLOAT_EQ(camera.Ty, -8.0f);
}

TEST_F(FrameLoopTest, SmoothingAndLightSpeedKeysPrintTheirNewValues) {
    EXPECT_EQ(Printed(VK_NEXT), "2\n");
    EXPECT_EQ(Printed(VK_NEXT), "1\n");
    EXPECT_EQ(Printed(VK_NEXT), "1\n"); // never below 1, still printed
    EXPECT_EQ(Printed(VK_PRIOR), "2\n");
    EXPECT_EQ(Printed(VK_ADD), "0.003500\n");
    EXPECT_EQ(Printed(VK_SUBTRACT), "0.003000\n");
    // Six steps down do not land on zero: the speed ends just below it.
    std::string last;
    for (int press = 0; press < 6; ++press)
        last = Printed(VK_SUBTRACT);
    EXPECT_EQ(last, "-0.000000\n");
    EXPECT_EQ(Printed(KeyT), "");
    EXPECT_EQ(Printed(65), "");
}

// The colours the host holds after Init and after each of 30 frames are those of the plain lighting
// recomputed on the host's own vertices, with the engine's lights: (100, -35, 0) at Init, then
// (45 cos a, -15, 45 sin a) with a 0.003 further each frame, smoothing 3.
TEST_F(FrameLoopTest, TheHostHoldsThePlainLightingsColoursAfterInitAndEveryFrame) {
    const TerrainReadBack built = TerrainReadBack::From(Harness.Device);
    std::vector<TerrainVertex> reference = built.Grid;
    TerrainLightingOracle oracle;
    oracle.UpdateLighting(reference, built.Width, built.Height, 1000.0f, 1000.0f, 100.0f, -35.0f, 0.0f, 3);
    float angle = 0.0f;
    for (int frame = 0; frame <= 30; ++frame) {
        if (frame > 0) {
            Harness.Frame();
            angle += 0.003f;
            oracle.UpdateLighting(reference, built.Width, built.Height, 1000.0f, 1000.0f,
                                  45.0f * static_cast<float>(std::cos(static_cast<double>(angle))), -15.0f,
                                  45.0f * static_cast<float>(std::sin(static_cast<double>(angle))), 3);
        }
        const TerrainReadBack held = TerrainReadBack::From(Harness.Device);
        for (std::size_t n = 0; n < reference.size(); ++n)
            ASSERT_EQ(held.Grid[n].Diffuse, reference[n].Diffuse) << "frame " << frame << " vertex " << n;
    }
}

// Height of the drawn surface at (x, z): the strip's triangle over that point, or NaN off the grid.
float DrawnHeight(const TerrainReadBack& terrain, float x, float z) {
    for (const TerrainReadBack::Tile& tile : terrain.Tiles)
        for (std::size_t i = 2; i < tile.Indices.size(); ++i) {
            const TerrainVertex& a = tile.Vertices[tile.Indices[i - 2]];
            const TerrainVertex& b = tile.Vertices[tile.Indices[i - 1]];
            const TerrainVertex& c = tile.Vertices[tile.Indices[i]];
            const float area = (b.X - a.X) * (c.Z - a.Z) - (c.X - a.X) * (b.Z - a.Z);
            if (area == 0.0f)
                continue;
            const float wb = ((x - a.X) * (c.Z - a.Z) - (c.X - a.X) * (z - a.Z)) / area;
            const float wc = ((b.X - a.X) * (z - a.Z) - (x - a.X) * (b.Z - a.Z)) / area;
            constexpr float slack = -1e-4f;
            if (wb >= slack && wc >= slack && wb + wc <= 1.0f - slack)
                return a.Y + wb * (b.Y - a.Y) + wc * (c.Y - a.Y);
        }
    return NAN;
}

// A flight over the default terrain, straight on and then in circles: on every frame over the grid
// the eye is 8 units above the surface drawn under it.
TEST_F(FrameLoopTest, TheEyeStaysAboveTheDrawnSurfaceThroughoutAFlight) {
    const TerrainReadBack terrain = TerrainReadBack::From(Harness.Device);
    KeyUp(KeyT);
    KeyDown(VK_UP);
    int checked = 0;
    for (int frame = 0; frame < 600; ++frame) {
        if (frame >= 150 && frame % 10 == 0)
            KeyDown(VK_LEFT); // circles some 100 units across
        const CameraCall camera = FrameCamera();
        const float ground = DrawnHeight(terrain, -camera.Tx, -camera.Tz);
        if (std::isnan(ground))
            continue;
        ++checked;
        // 8 above the drawn surface, as the height query answers for it (a flight needs at least 4).
        ASSERT_NEAR(-camera.Ty - ground, 8.0f, 0.01f)
            << "frame " << frame << " at x " << -camera.Tx << ", z " << -camera.Tz;
    }
    EXPECT_GT(checked, 500);
}

// On a grid big enough for the lighting to share its work between threads.
TEST(FrameAllocationTest, SteadyFramesAllocateNothing) {
    ModuleHarness harness;
    ASSERT_TRUE(harness.Create());
    harness.WriteFile("HeightmapGeneration.lua",
                      "heightmap_generator.Width = 200 heightmap_generator.Height = 200");
    NullRenderer device;
    ASSERT_TRUE(harness.Engine()->Init(&device));
    for (int frame = 0; frame < 20; ++frame)
        harness.Engine()->Frame(0, &device);
    harness.Send(WM_KEYUP, KeyT); // fly view: the height query too
    harness.Send(WM_KEYDOWN, VK_UP);

    // The counter must see the module's allocations, or a zero below would prove nothing.
    allocation_counter::Start();
    harness.Engine()->Init(&device);
    ASSERT_GT(allocation_counter::Stop(), 0);

    allocation_counter::Start();
    for (int frame = 0; frame < 300; ++frame)
        harness.Engine()->Frame(0, &device);
    long allocations = allocation_counter::Stop();
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(device.FrameCount, 320u);
    harness.Engine()->Release();
}

} // namespace
