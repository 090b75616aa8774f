// Method calls from real scripts on the host's window class: which arguments reach the member
// function, what comes back, and calls that have no object of the class to run on.

#include "ScriptFixture.h"

namespace {

using ScriptCallAdaptorTest = ScriptFixture;

TEST_F(ScriptCallAdaptorTest, TwoIntMethodsTakeTheLastTwoArgumentsTruncated) {
    EXPECT_EQ(Output("print(window:MoveWindow(10, 20))"), "1\n");
    EXPECT_EQ(HostWindow.X, 10);
    EXPECT_EQ(HostWindow.Y, 20);

    const struct {
        const char* Arguments;
        std::int32_t First, Second;
    } cases[] = {{"1, 2, 3", 2, 3},
                 {"7", 0, 7},
                 {"", 0, 0},
                 {"2.9, -2.9", 2, -2},
                 {"'12', '5'", 0, 0},
                 {"nil, true", 0, 0},
                 {"3e10, -3e10", 2147483647, -2147483647 - 1}};
    for (const auto& c : cases) {
        HostWindow.X = HostWindow.Y = 99;
        EXPECT_EQ(Output(std::string("print(window:PlaceWindow(") + c.Arguments + "))"), "1\n")
            << c.Arguments;
        EXPECT_EQ(HostWindow.X, c.First) << c.Arguments;
        EXPECT_EQ(HostWindow.Y, c.Second) << c.Arguments;
    }
    EXPECT_EQ(Output("window:ResizeWindow(640, 480)"), "");
    EXPECT_EQ(HostWindow.Width, 640);
    EXPECT_EQ(HostWindow.Height, 480);
}

TEST_F(ScriptCallAdaptorTest, ShowAlwaysShowsAndHideHides) {
    EXPECT_EQ(Output("print(window:ShowWindow(0))"), "1\n");
    EXPECT_TRUE(HostWindow.Visible);
    EXPECT_EQ(Output("print(window:HideWindow())"), "1\n");
    EXPECT_FALSE(HostWindow.Visible);
    EXPECT_EQ(Output("window:ShowWindow(false)"), "");
    EXPECT_TRUE(HostWindow.Visible);
}

TEST_F(ScriptCallAdaptorTest, AFalseResultComesBackAsZero) {
    EXPECT_EQ(Output("print(gadget:Poke(-1, 4), gadget:Poke(1, 4), gadget:Ping())"), "0\t1\t1\n");
    EXPECT_EQ(TheGadget.Calls, 3);
}

TEST_F(ScriptCallAdaptorTest, AssigningToAMethodIsRefusedAndTheMethodStillWorks) {
    EXPECT_EQ(Output("window.MoveWindow = 5 print(type(window.MoveWindow))"),
              "  ERROR : trying to assign a function\nfunction\n");
    EXPECT_EQ(Output("print(window:MoveWindow(10, 20))"), "1\n");
    EXPECT_EQ(HostWindow.X, 10);
}

TEST_F(ScriptCallAdaptorTest, ACallWithoutAnObjectOfTheClassIsRefused) {
    const char* refusal = "ERROR : trying to call a method without its object\n";
    const char* calls[] = {"print((window.MoveWindow(1, 2)))", "print((window.MoveWindow()))",
                           "print((window.MoveWindow(gadget, 1, 2)))",
                           "print((window.MoveWindow({[0] = window}, 1, 2)))",
                           "print((gadget.Poke(window, 1, 2)))"};
    for (const char* call : calls)
        EXPECT_EQ(Output(call), std::string(refusal) + "nil\n") << call;
    EXPECT_EQ(HostWindow.X, 0);
    EXPECT_EQ(HostWindow.Y, 0);
    EXPECT_EQ(TheGadget.Calls, 0);
    // The dot form with the object in front is the colon form.
    EXPECT_EQ(Output("print(window.MoveWindow(window, 1, 2))"), "1\n");
    EXPECT_EQ(HostWindow.X, 1);
}

TEST_F(ScriptCallAdaptorTest, AWindowMadeByAScriptIsSeparateAndCollected) {
    EXPECT_EQ(Output("local made = Window() print(made:PlaceWindow(5, 6), made:HideWindow()) "
                     "made.MoveWindow(window, 1, 1)"),
              "1\t1\n");
    EXPECT_EQ(HostWindow.X, 1); // only the call on window's own object reached it
    EXPECT_EQ(HostWindow.Y, 1);
    // The sanitizers' leak check tells whether the made window was really deleted.
    EXPECT_EQ(Output("collectgarbage()"), "gc\n");
}

} // namespace
