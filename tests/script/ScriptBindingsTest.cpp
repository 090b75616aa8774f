// The two bindings the engine makes: the generator class under the empty name with its five
// properties, and the window class with its five methods, in binding order.

#include "ScriptFixture.h"

#include "heightmap/HeightmapGenerator.h"
#include "script/ScriptBindings.h"
#include "script/ScriptClass.h"

namespace {

class ScriptBindingsTest : public ScriptFixture {
protected:
    void SetUp() override {
        ScriptFixture::SetUp();
        ASSERT_TRUE(BindHeightmapGeneratorClass(L, Generator));
    }
    HeightmapGenerator Generator;
};

TEST_F(ScriptBindingsTest, EachGeneratorPropertyReachesItsOwnField) {
    EXPECT_EQ(
        Output("local g = heightmap_generator\n"
               "print(g.NbHills, g.Width, g.Height, g.MinHillRadius, g.MaxHillRadius, g.Seed)\n"
               "g.NbHills = 1 g.Width = 2 g.Height = 3 g.MinHillRadius = 4.5 g.MaxHillRadius = 5 g.Seed = 6"),
        "150\t50\t50\t4\t8\t-1\n");
    EXPECT_EQ(Generator.NbHills, 1);
    EXPECT_EQ(Generator.Width, 2);
    EXPECT_EQ(Generator.Height, 3);
    EXPECT_EQ(Generator.MinHillRadius, 4);
    EXPECT_EQ(Generator.MaxHillRadius, 5);
    EXPECT_EQ(Generator.Seed, 6);
    const char* order[] = {"NbHills", "Width", "Height", "MinHillRadius", "MaxHillRadius", "Seed"};
    const auto& properties = ScriptClass<HeightmapGenerator>::Properties();
    ASSERT_EQ(properties.size(), 6u);
    for (std::size_t slot = 0; slot < properties.size(); ++slot) {
        EXPECT_EQ(properties[slot].Name, order[slot]);
        EXPECT_EQ(properties[slot].Slot, static_cast<std::int32_t>(slot));
    }
}

TEST_F(ScriptBindingsTest, TheEmptyNameHoldsTheGeneratorConstructor) {
    EXPECT_EQ(Output("local made = _G['']() made.Width = 9 print(made.NbHills, made.Width, "
                     "heightmap_generator.Width)"),
              "150\t9\t50\n");
    EXPECT_EQ(Generator.Width, 50);
    EXPECT_EQ(Output("collectgarbage()"), "gc\n"); // the leak check sees that it was freed
    EXPECT_EQ(Output("heightmap_generator = nil collectgarbage()"), "gc\n");
    EXPECT_EQ(Generator.NbHills, 150); // the bound generator lives on
}

TEST_F(ScriptBindingsTest, WindowMethodsKeepTheirOrderAndPerSignatureSlots) {
    const struct {
        const char* Name;
        std::int32_t Slot;
    } expected[] = {
        {"MoveWindow", 0}, {"PlaceWindow", 1}, {"ResizeWindow", 2}, {"ShowWindow", 0}, {"HideWindow", 0}};
    const auto& methods = ScriptClass<Window>::Methods();
    ASSERT_EQ(methods.size(), 5u);
    for (std::size_t position = 0; position < methods.size(); ++position) {
        EXPECT_EQ(methods[position].Name, expected[position].Name);
        EXPECT_EQ(methods[position].Slot, expected[position].Slot);
    }
}

} // namespace
