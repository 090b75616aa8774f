// Values between the Lua stack and native variables: the type codes scripts' values get, and the
// conversions to int that every property write and method argument goes through.

#include "script/ScriptValue.h"
#include "script/ScriptVM.h"

#include <lua.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

constexpr std::int32_t IntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t IntMin = std::numeric_limits<std::int32_t>::min();

TEST(ScriptValueTest, ToIntTruncatesTowardZeroAndSaturatesOutsideTheIntRange) {
    const double infinity = std::numeric_limits<double>::infinity();
    const struct {
        double Number;
        std::int32_t Expected;
    } cases[] = {{7.9, 7},
                 {-2.5, -2},
                 {2.9, 2},
                 {-2.9, -2},
                 {-0.5, 0},
                 {2147483647.0, IntMax},
                 {2147483647.9, IntMax},
                 {2147483648.0, IntMax},
                 {1e300, IntMax},
                 {infinity, IntMax},
                 {-2147483648.0, IntMin},
                 {-2147483648.9, IntMin},
                 {-2147483649.0, IntMin},
                 {-infinity, IntMin},
                 {std::nan(""), 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(ScriptValue::ToInt(c.Number), c.Expected) << c.Number;
        EXPECT_EQ(ScriptValue(c.Number).GetInt(), c.Expected) << c.Number;
    }
}

class StackValueTest : public ::testing::Test {
protected:
    void SetUp() override { L = ScriptVM::Open(); }
    void TearDown() override { ScriptVM::Close(L); }
    lua_State* L = nullptr;
};

TEST_F(StackValueTest, ReadGivesTheOldRuntimeTypeCodes) {
    int object = 0;
    lua_pushlightuserdata(L, &object);
    lua_pushnil(L);
    lua_pushinteger(L, 42);
    lua_pushstring(L, "12");
    lua_newtable(L);
    lua_pushcfunction(L, [](lua_State*) { return 0; });
    lua_pushboolean(L, 1);
    // A table that carries a bound class's metatable is nothing a plain value can be.
    lua_newtable(L);
    lua_newtable(L);
    lua_pushboolean(L, 1);
    lua_rawsetp(L, -2, &ScriptValue::ClassMarker);
    lua_setmetatable(L, -2);

    const std::int32_t expected[] = {0, 1, 2, 3, 4, 5, -1, -1};
    for (int index = 1; index <= 8; ++index) {
        ScriptValue value;
        value.Read(L, index);
        EXPECT_EQ(value.Type, expected[index - 1]) << index;
        EXPECT_EQ(ScriptValue::TypeOf(L, index), expected[index - 1]) << index;
    }
    ScriptValue value;
    value.Read(L, 1);
    EXPECT_EQ(value.GetUserData(), &object);
    value.Read(L, 3);
    EXPECT_EQ(value.GetInt(), 42);
    value.Read(L, 4);
    EXPECT_STREQ(value.GetString(), "12");
    EXPECT_EQ(value.GetInt(), 0);
    EXPECT_EQ(ScriptValue::TypeOf(L, 20), -1); // no value there
    EXPECT_EQ(lua_gettop(L), 8);               // reading leaves the stack alone
}

TEST_F(StackValueTest, PushGivesIntegersForIntegralNumbers) {
    const std::int32_t fifty = 50;
    ScriptValue(&fifty).Push(L);
    ScriptValue(2.5).Push(L);
    ScriptValue(1e300).Push(L); // integral, but no Lua integer holds it
    ScriptValue().Push(L);      // no value: nothing
    ASSERT_EQ(lua_gettop(L), 3);
    EXPECT_TRUE(lua_isinteger(L, 1));
    EXPECT_EQ(lua_tointeger(L, 1), 50);
    EXPECT_FALSE(lua_isinteger(L, 2));
    EXPECT_EQ(lua_tonumber(L, 2), 2.5);
    EXPECT_FALSE(lua_isinteger(L, 3));
    EXPECT_EQ(lua_tonumber(L, 3), 1e300);
}

} // namespace
