// The built module through a host that does only what the contract says.

#include "TerrainLightingOracle.h"
#include "support/ModuleHarness.h"
#include "support/TerrainReadBack.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The colours the host holds after Init and after each of 30 frames are those of the plain lighting
// recomputed on the host's own vertices, with the engine's lights: (100, -35, 0) at Init, then
// (45 cos a, -15, 45 sin a) with a = 0.003 per frame, smoothing 3.
TEST(ModuleLifecycleTest, TheHostHoldsThePlainLightingsColoursAfterInitAndEveryFrame) {
    ModuleHarness harness;
    ASSERT_TRUE(harness.Create()) << harness.Module.Error();
    ASSERT_TRUE(harness.Init());
    const TerrainReadBack built = TerrainReadBack::From(harness.Device);
    ASSERT_EQ(built.Width * built.Height, 2500);
    EXPECT_EQ(built.StripProblems(), "");
    EXPECT_EQ(harness.Device.TexturesRequested, std::vector<std::string>{"grid.bmp"});
    std::vector<TerrainVertex> reference = built.Grid;
    TerrainLightingOracle oracle;
    oracle.UpdateLighting(reference, 50, 50, 1000.0f, 1000.0f, 100.0f, -35.0f, 0.0f, 3);
    float angle = 0.0f;
    for (int frame = 0; frame <= 30; ++frame) {
        if (frame > 0) {
            ASSERT_TRUE(harness.Frame());
            angle += 0.003f;
            oracle.UpdateLighting(reference, 50, 50, 1000.0f, 1000.0f,
                                  45.0f * static_cast<float>(std::cos(static_cast<double>(angle))), -15.0f,
                                  45.0f * static_cast<float>(std::sin(static_cast<double>(angle))), 3);
        }
        const TerrainReadBack held = TerrainReadBack::From(harness.Device);
        for (std::size_t n = 0; n < reference.size(); ++n)
            ASSERT_EQ(held.Grid[n].Diffuse, reference[n].Diffuse) << "frame " << frame << " vertex " << n;
    }
    harness.Release();
    EXPECT_TRUE(harness.Device.Log->LiveBuffers.empty());
}

// The kernel need only outlive Release: a host may free it before DestroyDllInterface, and one that
// never called Init may free it at once (under the sanitizers any touch of it stops the run).
TEST(ModuleLifecycleTest, DestroyTouchesNoKernelAfterReleaseOrWithoutInit) {
    ModuleHarness harness;
    ASSERT_TRUE(harness.Create());
    EXPECT_FALSE(harness.Frame()); // before Init
    ASSERT_TRUE(harness.Init());
    ASSERT_TRUE(harness.Frame());
    harness.Release();
    EXPECT_FALSE(harness.Frame());
    harness.DeleteKernel();
    harness.Destroy();

    ModuleHarness never;
    ASSERT_TRUE(never.Create());
    never.DeleteKernel();
    never.Destroy();
    EXPECT_EQ(never.Dll, nullptr);
    EXPECT_TRUE(never.Device.Log->Calls.empty());
}

// A second Init replaces the scene; an engine destroyed without Release frees it and stops listening.
TEST(ModuleLifecycleTest, ReleaseAndDestroyFreeTheSceneAndStopTheInput) {
    ModuleHarness harness;
    ASSERT_TRUE(harness.Create());
    Window& window = harness.TheKernel.GetWindow();
    harness.Init();
    harness.Release();
    EXPECT_TRUE(window.KeyboardListeners->Listeners.empty());
    EXPECT_TRUE(window.MouseListeners->Listeners.empty());
    harness.Send(WM_KEYDOWN, VK_NEXT); // under the sanitizers a call into a gone engine stops the run
    harness.Init();
    harness.Init();
    EXPECT_EQ(harness.Device.Log->LiveBuffers.size(), 4u); // one terrain tile and the box
    harness.Destroy();
    EXPECT_TRUE(harness.Device.Log->LiveBuffers.empty());
    EXPECT_TRUE(window.KeyboardListeners->Listeners.empty());
    EXPECT_TRUE(window.MouseListeners->Listeners.empty());
}

} // namespace
