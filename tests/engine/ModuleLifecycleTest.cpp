// The built module through a host that does only what the contract says.

#include "support/ModuleHarness.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace {

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
    EXPECT_TRUE(never.Dll == nullptr && never.Device.Log->Calls.empty());
}

// A second Init replaces the scene; an engine destroyed without Release frees it and stops listening.
TEST(ModuleLifecycleTest, ReleaseAndDestroyFreeTheSceneAndStopTheInput) {
    ModuleHarness harness;
    ASSERT_TRUE(harness.Create());
    Window& window = harness.TheKernel.GetWindow();
    harness.Init();
    EXPECT_EQ(window.MouseListeners->Listeners.size(), 1u); // the keys' listener is seen at work elsewhere
    KeyboardListener* keys = window.KeyboardListeners->Listeners.at(0); // every event counts as handled
    EXPECT_TRUE(keys->OnKeyDown(0) && keys->OnKeyUp(0) &&
                window.MouseListeners->Listeners[0]->OnMouseMove(0, 0));
    harness.Release();
    EXPECT_TRUE(window.KeyboardListeners->Listeners.empty() && window.MouseListeners->Listeners.empty());
    harness.Send(WM_KEYDOWN, VK_NEXT); // under the sanitizers a call into a gone engine stops the run
    harness.Init();
    harness.Init();
    EXPECT_EQ(harness.Device.TexturesRequested, std::vector<std::string>(3, "grid.bmp"));
    EXPECT_EQ(harness.Device.Log->LiveBuffers.size(), 4u); // one terrain tile and the box
    harness.Destroy();
    EXPECT_TRUE(harness.Device.Log->LiveBuffers.empty());
    EXPECT_TRUE(window.KeyboardListeners->Listeners.empty() && window.MouseListeners->Listeners.empty());
}

// Only the two entry points are exported, in every build type: any other name could collide with a
// host's or another module's (that the closed module is gone is seen in the hostile catalogue).
TEST(ModuleLifecycleTest, ExportsItsTwoEntryPointsOnly) {
    std::vector<std::string> exported;
    FILE* symbols = popen("nm -D --defined-only '" VELTRA_MODULE_PATH "'", "r");
    ASSERT_NE(symbols, nullptr);
    for (char line[4096]; std::fgets(line, sizeof(line), symbols) != nullptr;)
        exported.emplace_back(std::strrchr(line, ' ') + 1);
    pclose(symbols);
    EXPECT_EQ(exported, (std::vector<std::string>{"CreateDllInterface\n", "DestroyDllInterface\n"}));
}

} // namespace
