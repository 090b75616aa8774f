// The generator binding the engine makes: its constructor under the empty name, and each of its
// six properties reaching its own field.

#include "ScriptFixture.h"

#include "heightmap/HeightmapGenerator.h"
#include "script/ScriptBindings.h"

namespace {

TEST_F(ScriptFixture, EachGeneratorPropertyReachesItsOwnFieldAndTheEmptyNameMakesAnother) {
    HeightmapGenerator generator;
    ASSERT_TRUE(BindHeightmapGeneratorClass(L, generator));
    EXPECT_EQ(
        Output("local g = heightmap_generator\n"
               "print(g.NbHills, g.Width, g.Height, g.MinHillRadius, g.MaxHillRadius, g.Seed)\n"
               "g.NbHills = 1 g.Width = 2 g.Height = 3 g.MinHillRadius = 4.5 g.MaxHillRadius = 5 g.Seed = 6"),
        "150\t50\t50\t4\t8\t-1\n");
    EXPECT_EQ(generator.NbHills, 1);
    EXPECT_EQ(generator.Width, 2);
    EXPECT_EQ(generator.Height, 3);
    EXPECT_EQ(generator.MinHillRadius, 4);
    EXPECT_EQ(generator.MaxHillRadius, 5);
    EXPECT_EQ(generator.Seed, 6);
    EXPECT_EQ(Output("local made = _G['']() made.Width = 9 print(made.NbHills, made.Width, "
                     "heightmap_generator.Width) made = nil collectgarbage()"),
              "150\t9\t2\ngc\n");
    EXPECT_EQ(generator.Width, 2);
}

} // namespace
