// The frame loop through the built module: keys go in as window messages, through the window
// procedure and the listener lists, and show up in what the next frames hand the renderer.

#include "AllocationCounter.h"
#include "hostkit/NullRenderer.h"
#include "support/ModuleHarness.h"

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
    for (UINT key :
         std::initializer_list<UINT>{VK_NEXT, VK_NEXT, VK_NEXT, VK_PRIOR, VK_ADD, VK_SUBTRACT, VK_SUBTRACT,
                                     VK_SUBTRACT, VK_SUBTRACT, VK_SUBTRACT, VK_SUBTRACT, VK_SUBTRACT, KeyT})
        Harness.Send(WM_KEYDOWN, key);
    std::fflush(stdout);
    EXPECT_EQ(
        testing::internal::GetCapturedStdout(),
        "2\n1\n1\n2\n0.003500\n0.003000\n0.002500\n0.002000\n0.001500\n0.001000\n0.000500\n-0.000000\n");
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
