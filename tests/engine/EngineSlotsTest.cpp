// The engine's virtual table as the built module lays it out, used the way a host built by another
// compiler would: by entry number, not by name. Under the Itanium C++ ABI (GCC, and MinGW-w64 GCC on
// Windows) the virtual destructor fills entries 0 and 1, so Init, Release and Frame are 2, 3 and 4.
// A change to the tables fails here, not in a host that indexes them.

#include "support/ModuleHarness.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

namespace {

// A pointer to the member in a table entry, as the Itanium ABI writes one: 1 + the entry's byte
// offset, no adjustment. Calling through it takes that entry, whatever the member's name.
template <typename Member>
Member Entry(int index) {
    const std::ptrdiff_t raw[2] = {1 + index * static_cast<std::ptrdiff_t>(sizeof(void*)), 0};
    Member member;
    static_assert(sizeof member == sizeof raw);
    std::memcpy(&member, raw, sizeof member);
    return member;
}
using InitEntry = bool (EngineInterface::*)(Renderer*);
using ReleaseEntry = void (EngineInterface::*)();
using FrameEntry = bool (EngineInterface::*)(std::uint32_t, Renderer*);

TEST(EngineSlotsTest, InitReleaseAndFrameAreEntriesTwoThreeAndFour) {
    ModuleHarness harness;
    ASSERT_TRUE(harness.Create());
    EngineInterface* engine = harness.Engine();
    EXPECT_FALSE((engine->*Entry<FrameEntry>(4))(0, &harness.Device)); // no scene yet
    ASSERT_TRUE((engine->*Entry<InitEntry>(2))(&harness.Device));
    EXPECT_TRUE((engine->*Entry<FrameEntry>(4))(0, &harness.Device));
    EXPECT_EQ(harness.Device.Log->Calls.back(), "EndScene");
    (engine->*Entry<ReleaseEntry>(3))();
    EXPECT_FALSE((engine->*Entry<FrameEntry>(4))(0, &harness.Device)); // the scene is gone
}

} // namespace
