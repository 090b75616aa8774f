// The frame loop through the built module: keys go in as window messages, through the window
// procedure and the listener lists, and show up in what the next frames hand the renderer.

#include "AllocationCounter.h"
#include "hostkit/NullRenderer.h"
#include "support/ModuleHarness.h"
#include "support/TerrainReadBack.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

namespace {

constexpr UINT KeyT = 84;

class FrameLoopTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Harness.Create() && Harness.Init()) << Harness.Module.Error(); }
    void TearDown() override { Harness.Release(); }

    CameraCall FrameCamera() { return Harness.Frame(), Harness.Device.Cameras.back(); }

    ModuleHarness Harness;
};

// The first view looks straight down from 700 above; T switches to the fly view on its release only,
// where Up moves the eye (at (-Tx, -Tz)) 1.5 a frame along its heading and Left turns it 0.15, Right back.
TEST_F(FrameLoopTest, TheFirstViewAndTheKeys) {
    const CameraCall first = FrameCamera();
    EXPECT_EQ((std::vector<float>{first.Tx, first.Ty, first.Tz, first.Yaw, first.Pitch, first.Roll}),
              (std::vector<float>{0.0f, -700.0f, 0.0f, 0.0f, -1.57f, 0.0f}));
    EXPECT_EQ(Harness.Device.Log->Calls.back(), "EndScene");
    Harness.Send(WM_KEYDOWN, KeyT);
    EXPECT_EQ(FrameCamera().Ty, -700.0f);
    Harness.Send(WM_KEYUP, KeyT);
    const CameraCall start = FrameCamera();
    EXPECT_EQ(std::tuple(start.Tx, start.Tz, start.Pitch), std::tuple(0.0f, 0.0f, 0.0f)); // over the centre
    Harness.Send(WM_KEYDOWN, VK_UP);
    CameraCall moved = start;
    for (int frame = 0; frame < 4; ++frame)
        moved = FrameCamera();
    EXPECT_NEAR(start.Tz - moved.Tz, 6.0f, 1e-4f);
    EXPECT_EQ(moved.Tx, start.Tx);
    for (UINT key : {VK_LEFT, VK_LEFT, VK_RIGHT, VK_LEFT})
        Harness.Send(WM_KEYDOWN, key);
    const CameraCall turned = FrameCamera();
    EXPECT_FLOAT_EQ(turned.Yaw, 0.3f);
    EXPECT_NEAR(moved.Tx - turned.Tx, -1.5f * std::sin(0.3f), 1e-4f);
    Harness.Send(WM_KEYUP, VK_UP);
    const CameraCall stopped = FrameCamera();
    EXPECT_EQ(stopped.Tz, turned.Tz);
    Harness.Send(WM_KEYDOWN, VK_DOWN);
    EXPECT_NEAR(FrameCamera().Tz - stopped.Tz, 1.5f * std::cos(0.3f), 1e-4f);
    Harness.Send(WM_KEYUP, VK_UP); // the release of either arrow stops the eye
    const CameraCall still = FrameCamera();
    EXPECT_EQ(FrameCamera().Tz, still.Tz);
    Harness.Send(WM_KEYUP, KeyT);
    EXPECT_EQ(FrameCamera().Ty, -700.0f);
    // Page keys change the smoothing (never below 1, still printed) and keypad keys the light's
    // speed, and print the new value; six steps down from 0.003 end just below zero.
    testing::internal::CaptureStdout();
    for (UINT key : {VK_NEXT, VK_NEXT, VK_NEXT, VK_PRIOR, VK_ADD, VK_SUBTRACT, VK_SUBTRACT, VK_SUBTRACT,
                     VK_SUBTRACT, VK_SUBTRACT, VK_SUBTRACT, VK_SUBTRACT, KeyT})
        Harness.Send(WM_KEYDOWN, key);
    std::fflush(stdout);
    EXPECT_EQ(
        testing::internal::GetCapturedStdout(),
        "2\n1\n1\n2\n0.003500\n0.003000\n0.002500\n0.002000\n0.001500\n0.001000\n0.000500\n-0.000000\n");
}

// Height of the drawn surface at (x, z): the drawn triangle over that point, or NaN off the grid.
float DrawnHeight(const TerrainReadBack& terrain, const TerrainReadBack::Frame& drawn, float x, float z) {
    for (const std::array<int, 3>& triangle : drawn.Triangles) {
        const TerrainVertex& a = terrain.Grid[triangle[0]];
        const TerrainVertex& b = terrain.Grid[triangle[1]];
        const TerrainVertex& c = terrain.Grid[triangle[2]];
        const float area = (b.X - a.X) * (c.Z - a.Z) - (c.X - a.X) * (b.Z - a.Z);
        const float wb = ((x - a.X) * (c.Z - a.Z) - (c.X - a.X) * (z - a.Z)) / area;
        const float wc = ((b.X - a.X) * (z - a.Z) - (x - a.X) * (b.Z - a.Z)) / area;
        if (wb >= -1e-4f && wc >= -1e-4f && wb + wc <= 1.0001f)
            return a.Y + wb * (b.Y - a.Y) + wc * (c.Y - a.Y);
    }
    return NAN;
}

// A flight over the default terrain, straight on, in circles and past the edge: over the grid the
// eye is 8 above the surface drawn under it (a flight needs at least 4), off it 8 above zero.
TEST_F(FrameLoopTest, TheEyeStaysAboveTheDrawnSurfaceThroughoutAFlight) {
    Harness.Frame();
    const TerrainReadBack terrain = TerrainReadBack::From(Harness.Device);
    const TerrainReadBack::Frame drawn = terrain.Drawn(Harness.Device);
    Harness.Send(WM_KEYUP, KeyT);
    Harness.Send(WM_KEYDOWN, VK_UP);
    int checked = 0;
    for (int frame = 0; frame < 600; ++frame) {
        if (frame < 210 && frame % 5 == 0)
            Harness.Send(WM_KEYDOWN, VK_LEFT); // a circle some 100 units across, then off the grid
        const CameraCall camera = FrameCamera();
        const float ground = DrawnHeight(terrain, drawn, -camera.Tx, -camera.Tz);
        checked += !std::isnan(ground);
        ASSERT_NEAR(-camera.Ty - (std::isnan(ground) ? 0.0f : ground), 8.0f, 0.01f)
            << "frame " << frame << " at x " << -camera.Tx << ", z " << -camera.Tz;
    }
    EXPECT_TRUE(checked > 500 && checked < 600) << checked;
}

// On a grid big enough for the lighting to share its work between threads (131,072 vertices).
TEST(FrameAllocationTest, SteadyFramesAllocateNothing) {
    ModuleHarness harness;
    harness.WriteFile("HeightmapGeneration.lua",
                      "heightmap_generator.Width = 400 heightmap_generator.Height = 400");
    NullRenderer device;
    ASSERT_TRUE(harness.Create() && harness.Engine()->Init(&device));
    for (int frame = 0; frame < 20; ++frame)
        harness.Engine()->Frame(0, &device);
    harness.Send(WM_KEYUP, KeyT); // fly view: the height query too
    harness.Send(WM_KEYDOWN, VK_UP);

    // The counter must see the module's allocations, or a zero below would prove nothing.
    allocation_counter::Start();
    harness.Engine()->Init(&device);
    ASSERT_GT(allocation_counter::Stop(), 0);
    allocation_counter::Start();
    for (int frame = 0; frame < 100; ++frame)
        harness.Engine()->Frame(0, &device);
    EXPECT_EQ(std::pair(allocation_counter::Stop(), device.FrameCount), std::pair(0L, 120u));
    harness.Engine()->Release();
}

} // namespace
