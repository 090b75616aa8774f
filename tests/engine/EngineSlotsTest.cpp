// The engine's virtual table as the built module lays it out, used the way a host built by another
// compiler would: by entry number, not by name. Under the Itanium C++ ABI (GCC, and MinGW-w64 GCC on
// Windows) the virtual destructor fills entries 0 and 1, so Init, Release and Frame are 2, 3 and 4.
// A change to the tables fails here, not in a host that indexes them.

#include "support/ModuleHarness.h"

#include <gtest/gtest.h>

namespace {

// Member functions take `this` in a register on 32-bit x86 (thiscall), on the stack's first slot
// otherwise; a table entry is called as such a function.
#if defined(__i386__)
#define VELTRA_MEMBER_CALL __attribute__((thiscall))
#else
#define VELTRA_MEMBER_CALL
#endif
using InitEntry = bool(VELTRA_MEMBER_CALL*)(DllInterface*, Renderer*);
using ReleaseEntry = void(VELTRA_MEMBER_CALL*)(DllInterface*);
using FrameEntry = bool(VELTRA_MEMBER_CALL*)(DllInterface*, std::uint32_t, Renderer*);

template <typename Entry>
Entry TableEntry(DllInterface* object, int index) {
    void* const* table = *reinterpret_cast<void* const* const*>(object);
    return reinterpret_cast<Entry>(table[index]);
}

TEST(EngineSlotsTest, InitReleaseAndFrameAreEntriesTwoThreeAndFour) {
    ModuleHarness harness;
    ASSERT_TRUE(harness.Create());
    DllInterface* engine = harness.Dll;
    EXPECT_FALSE(TableEntry<FrameEntry>(engine, 4)(engine, 0, &harness.Device)); // no scene yet
    ASSERT_TRUE(TableEntry<InitEntry>(engine, 2)(engine, &harness.Device));
    EXPECT_TRUE(TableEntry<FrameEntry>(engine, 4)(engine, 0, &harness.Device));
    EXPECT_EQ(harness.Device.Log->Calls.back(), "EndScene");
    TableEntry<ReleaseEntry>(engine, 3)(engine);
    EXPECT_FALSE(TableEntry<FrameEntry>(engine, 4)(engine, 0, &harness.Device)); // the scene is gone
}

} // namespace
