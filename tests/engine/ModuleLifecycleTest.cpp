// Drives the built module through its exported functions, as a host does.

#include "support/ModuleHarness.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>

namespace {

// The message part of each time-stamped line, banners as they are.
std::vector<std::string> Messages(const std::vector<std::string>& lines) {
    std::vector<std::string> messages;
    std::regex stamped("[0-2][0-9]:[0-5][0-9]:[0-5][0-9]:[0-9]{3} \t(.*)");
    for (const std::string& line : lines) {
        std::smatch match;
        messages.push_back(std::regex_match(line, match, stamped) ? match[1].str() : "banner: " + line);
    }
    return messages;
}

// The kernel need only outlive Release: a host may free it before DestroyDllInterface, and one
// that never called Init may free it at once (under the sanitizers any touch of it stops the run).
TEST(ModuleLifecycleTest, DestroyTouchesNoKernelAfterReleaseOrWithoutInit) {
    ModuleHarness harness;
    ASSERT_TRUE(harness.Create());
    ASSERT_TRUE(harness.Init());
    ASSERT_TRUE(harness.Frame());
    harness.Release();
    harness.DeleteKernel();
    harness.Destroy();
    EXPECT_TRUE(harness.Device.Log->LiveBuffers.empty());

    ModuleHarness never;
    ASSERT_TRUE(never.Create());
    never.DeleteKernel();
    never.Destroy();
    EXPECT_TRUE(never.Device.Log->Calls.empty());
}

TEST(ModuleLifecycleTest, CreateAndDestroyWithoutInitLeavesTheSlotNull) {
    ModuleHarness harness;
    ASSERT_TRUE(harness.Create()) << harness.Module.Error();
    ASSERT_NE(harness.Dll, nullptr);
    EXPECT_EQ(harness.Dll->kernel, &harness.TheKernel);
    harness.Destroy();
    EXPECT_EQ(harness.Dll, nullptr);
    harness.Module.DestroyInterface(&harness.Dll); // a null slot stays null
    EXPECT_EQ(harness.Dll, nullptr);
    EXPECT_TRUE(harness.Device.Log->Calls.empty());
}

TEST(ModuleLifecycleTest, FullRunLogsStartAndReleaseInOrder) {
    ModuleHarness harness;
    ASSERT_TRUE(harness.Create());
    EXPECT_TRUE(harness.Init());
    EXPECT_TRUE(harness.Frame());
    harness.Release();
    harness.Destroy();

    std::vector<std::string> messages = Messages(harness.LogLines());
    ASSERT_GE(messages.size(), 5u);
    EXPECT_EQ(messages[0], "banner: =============== Log Start ===============");
    EXPECT_TRUE(messages[1].starts_with("banner: MODULE : /"));
    EXPECT_EQ(messages[2], "Initialising VeltraEngine...");
    EXPECT_EQ(messages[messages.size() - 2], "Releasing VeltraEngine...");
    EXPECT_EQ(messages.back(), "-> Close VM");
}

TEST(ModuleLifecycleTest, FrameBeforeInitAndAfterReleaseAndASecondReleaseDoNoHarm) {
    ModuleHarness harness;
    ASSERT_TRUE(harness.Create());
    EXPECT_FALSE(harness.Frame());
    harness.Init();
    harness.Release();
    harness.Release();
    EXPECT_FALSE(harness.Frame());
    int releases = 0;
    for (const std::string& message : Messages(harness.LogLines()))
        releases += message == "Releasing VeltraEngine...";
    EXPECT_EQ(releases, 1);
}

TEST(ModuleLifecycleTest, InputAfterReleaseOrDestroyReachesNoEngine) {
    ModuleHarness harness;
    ASSERT_TRUE(harness.Create());
    harness.Init();
    harness.Release();
    harness.Send(WM_KEYDOWN, 33);
    harness.Init();
    harness.Destroy(); // without Release
    harness.Send(WM_KEYDOWN, 33);
    harness.Send(WM_MOUSEMOVE, 0, 0x00050005);
    // Under the sanitizers a call into a deleted engine would also have stopped the run.
    Window& window = harness.TheKernel.GetWindow();
    EXPECT_TRUE(window.KeyboardListeners->Listeners.empty());
    EXPECT_TRUE(window.MouseListeners->Listeners.empty());
}

} // namespace
