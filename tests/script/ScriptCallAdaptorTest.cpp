// Method calls from real scripts: which arguments reach the member function, what comes back,
// and calls that have no object of the class to run on.

#include "ScriptFixture.h"

namespace {

using ScriptCallAdaptorTest = ScriptFixture;

TEST_F(ScriptCallAdaptorTest, IntParametersTakeTheLastArgumentsTruncatedAndBoolsAreAlwaysTrue) {
    const struct {
        const char* Arguments;
        std::int32_t First, Second;
    } cases[] = {{"10, 20", 10, 20},
                 {"1, 2, 3", 2, 3},
                 {"7", 0, 7},
                 {"", 0, 0},
                 {"2.9, -2.9", 2, -2},
                 {"'12', nil", 0, 0},
                 {"3e10, -3e10", 2147483647, -2147483647 - 1}};
    for (const auto& c : cases) {
        HostWindow.X = HostWindow.Y = 99;
        EXPECT_EQ(Output(std::string("print(window:PlaceWindow(") + c.Arguments + "))"), "1\n")
            << c.Arguments;
        EXPECT_EQ(HostWindow.X, c.First) << c.Arguments;
        EXPECT_EQ(HostWindow.Y, c.Second) << c.Arguments;
    }
    HostWindow.X = HostWindow.Y = 0;
    EXPECT_EQ(Output("window:MoveWindow(1, 2) window:ResizeWindow(640, 480) window:HideWindow()"), "");
    EXPECT_EQ(HostWindow.X, 1);
    EXPECT_EQ(HostWindow.Y, 2);
    EXPECT_EQ(HostWindow.Width, 640);
    EXPECT_EQ(HostWindow.Height, 480);
    EXPECT_FALSE(HostWindow.Visible);
    EXPECT_EQ(Output("window:ShowWindow(false)"), "");
    EXPECT_TRUE(HostWindow.Visible);
    EXPECT_EQ(Output("print(gadget:Poke(-1, 4), gadget:Poke(1, 4))"), "0\t1\n");
}

TEST_F(ScriptCallAdaptorTest, AssigningToAMethodOrCallingItWithoutItsObjectIsRefused) {
    EXPECT_EQ(Output("window.MoveWindow = 5 print(type(window.MoveWindow))"),
              "  ERROR : trying to assign a function\nfunction\n");
    const char* refusal = "ERROR : trying to call a method without its object\nnil\n";
    for (const char* call :
         {"print((window.MoveWindow(1, 2)))", "print((window.MoveWindow()))",
          "print((window.MoveWindow(gadget, 1, 2)))", "print((window.MoveWindow({[0] = window}, 1, 2)))",
          "print((gadget.Poke(window, 1, 2)))"})
        EXPECT_EQ(Output(call), refusal) << call;
    EXPECT_EQ(HostWindow.X, 0);
    EXPECT_EQ(TheGadget.Calls, 0);
    // The dot form with the object in front is the colon form; a made window is another object.
    EXPECT_EQ(Output("print(window.MoveWindow(window, 1, 2)) Window():MoveWindow(5, 5)"), "1\n");
    EXPECT_EQ(HostWindow.X, 1);
}

} // namespace
