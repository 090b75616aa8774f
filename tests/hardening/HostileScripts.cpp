#include "HostileScripts.h"

namespace {

// Assigns value to every property of heightmap_generator.
std::string EveryProperty(const std::string& value) {
    std::string source;
    for (const char* name : {"NbHills", "Width", "Height", "MinHillRadius", "MaxHillRadius"})
        source += std::string("heightmap_generator.") + name + " = " + value + "\n";
    return source;
}

const char* WithoutObject = "ERROR : trying to call a method without its object";
// By the instruction limit, or by the time limit first on a slow machine.
const char* Stopped = "script stopped: ";

} // namespace

// One row per way to break the engine; rows that would fail for the same fault are left out.
const std::vector<HostileScript>& HostileScriptCatalogue() {
    using enum Relief;
    static const std::vector<HostileScript> catalogue = {
        // Sizes and counts: out of range either way, fractional.
        {"NegativeSizes", "heightmap_generator.Width = -5 heightmap_generator.Height = -1", 2, 2, Any,
         nullptr, nullptr, "-> Grid size -5 x -1 requested, 2 x 2 used"},
        {"HugeSizes", "heightmap_generator.Width = 2^53 heightmap_generator.Height = 3", 4096, 3, Hilly,
         nullptr, nullptr, "-> Grid size 2147483647 x 3 requested, 4096 x 3 used"},
        {"FractionalSizes", "heightmap_generator.Width = 3.99 heightmap_generator.Height = 2.5", 3, 2},
        {"NegativeHillCount", "heightmap_generator.NbHills = -100", 50, 50, Flat},
        {"HugeHillCount", "heightmap_generator.NbHills = 1e12", 50, 50, Hilly, nullptr, nullptr,
         "-> Hills 2147483647 requested,"},
        {"HugeRadii", "heightmap_generator.MinHillRadius = 1e9 heightmap_generator.MaxHillRadius = -1e9", 50,
         50, Any, nullptr, nullptr, "-> Hill radii 1000000000 to -1000000000 requested, 4096 to -4096 used"},
        // Values that are no numbers, or no finite ones.
        {"NaNEverywhere", EveryProperty("0/0"), 2, 2, Flat},
        {"InfinitiesEverywhere",
         "heightmap_generator.NbHills = 1/0 heightmap_generator.Width = 1/0 heightmap_generator.Height = "
         "-1/0\n"
         "heightmap_generator.MinHillRadius = -1/0 heightmap_generator.MaxHillRadius = 1/0",
         4096, 2},
        {"StringsEverywhere", EveryProperty("'100'"), 2, 2, Flat},
        {"OtherValuesEverywhere",
         "local g = heightmap_generator g.NbHills = {100} g.Width = print g.Height = nil g.MinHillRadius = "
         "true\n"
         "g.MaxHillRadius = window",
         2, 2, Flat},
        // The globals and the handles.
        {"GlobalsDeletedAndCollected",
         "window = nil heightmap_generator = nil Window = nil _G[''] = nil collectgarbage() collectgarbage()",
         50, 50, Hilly, nullptr, "gc\ngc\n"},
        {"GlobalsReplaced",
         "heightmap_generator = {Width = 3, Height = 3}\n"
         "window = {PlaceWindow = function(self, text) error(text) end}\n"
         "heightmap_generator.Width = 4 window:PlaceWindow('replaced')",
         50, 50, Hilly, "replaced"},
        {"HandlesOutliveTheirGlobals",
         "local g, w = heightmap_generator, window heightmap_generator, window = nil, nil collectgarbage()\n"
         "g.Width = 20 w:PlaceWindow(1, 2)",
         20, 50},
        {"MethodsOnTheWrongObject",
         "window.MoveWindow(heightmap_generator, 1, 2) window.PlaceWindow({}, 3, 4)\n"
         "window.ResizeWindow(Window(), 5, 6) window.HideWindow(_G['']()) heightmap_generator.Width = 60",
         60, 50, Any, nullptr, WithoutObject},
        {"ExtremeMethodArguments",
         "window:MoveWindow(2^31, 2^31) window:MoveWindow(2^31, 2^31) window:MoveWindow(-1/0, 0/0)\n"
         "window:ResizeWindow(-1e300, 1/0) window:PlaceWindow('x', {}) window:MoveWindow(-2^31, -2^31)",
         50, 50},
        {"UnknownKeys",
         "heightmap_generator.Depth = 5 heightmap_generator[0] = 1 heightmap_generator[0/0 ~= 0/0] = 3\n"
         "window.Width = 4 print(heightmap_generator.Depth, heightmap_generator[0], window.Width)",
         50, 50, Hilly, nullptr, "ERROR : trying to set an unknown variable"},
        {"RawAccessToHandles",
         "rawset(heightmap_generator, 'Width', 1000) print(rawget(heightmap_generator, 'Width'))\n"
         "print(pcall(setmetatable, heightmap_generator, nil)) print(getmetatable(window))",
         50, 50, Hilly, nullptr, "protected metatable"},
        {"MadeObjectsDroppedAndCollected",
         "for i = 1, 2000 do local w = Window() w:PlaceWindow(i, i) local g = _G['']() g.Width = i end\n"
         "collectgarbage() collectgarbage() heightmap_generator.Height = 33",
         50, 33},
        // Errors midway: what was set before stays.
        {"EmptyScript", "", 50, 50, Hilly},
        {"SyntaxErrorMidway", "heightmap_generator.Width = 100\nheightmap_generator.Height = = 3\n", 50, 50,
         Hilly, "HeightmapGeneration.lua:2:"},
        {"RunTimeErrorMidway",
         "heightmap_generator.Width = 100\nnothing.here = 1\nheightmap_generator.Width = 7\n", 100, 50, Any,
         "HeightmapGeneration.lua:2:"},
        {"ErrorWithATable", "heightmap_generator.Width = 90 error({})", 90, 50, Any,
         "(error object is a table value)"},
        {"NotText", "\x1bLua\x54 not a chunk", 50, 50, Hilly, "binary chunk"},
        {"PrecompiledChunk",
         "heightmap_generator.Width = 24 print(load('\\27Lua\\84\\0\\25\\147\\13\\10\\26\\10\\4\\8\\8'))", 24,
         50, Any, nullptr, "attempt to load a binary chunk"},
        // Scripts that would never end, block or want too much; the budgets themselves are ScriptVMTest's.
        {"DofileOfItself", "heightmap_generator.Width = 60 dofile('HeightmapGeneration.lua')", 60, 50, Any,
         "stack overflow"},
        {"DofileWithoutAName", "heightmap_generator.Width = 61 dofile() heightmap_generator.Width = 62", 61,
         50, Any, "bad argument #1 to 'dofile'"},
        {"DofileOfADevice",
         "heightmap_generator.Width = 63 dofile('/dev/zero') heightmap_generator.Width = 64", 63, 50, Any,
         "not a regular file"},
        {"NeverEnding", "heightmap_generator.Height = 80\nwhile true do end\n", 50, 80, Any, Stopped},
        {"NeverEndingUnderPcall",
         "heightmap_generator.Height = 81\n"
         "while true do pcall(function() while true do end end) heightmap_generator.Height = 82 end",
         50, 81, Any, Stopped},
        {"FewInstructionsThatTakeLong",
         "heightmap_generator.Width = 28 local s = 'x' for i = 1, 24 do s = s .. s end\n"
         "while true do local t = s .. 'y' end",
         28, 50, Any, "time limit reached"},
        {"FinalizerThatNeverEnds",
         "heightmap_generator.Width = 20\n"
         "setmetatable({}, {__gc = function() while true do end end}) collectgarbage()\n"
         "heightmap_generator.Width = 30",
         20, 50, Any, "HeightmapGeneration.lua:2: finalizers (__gc) are not allowed"},
        {"FinalizerAddedLater",
         "local mt = {} local t = setmetatable({}, mt) mt.__gc = function() while true do end end\n"
         "t = nil collectgarbage() heightmap_generator.Width = 21",
         21, 50},
        {"ErrorHandlerThatNeverEnds",
         "heightmap_generator.Width = 31 print(xpcall(error, function() while true do end end))\n"
         "heightmap_generator.Width = 32",
         31, 50, Any, Stopped},
        {"StringTooLong", "heightmap_generator.Width = 22 local s = 'x' while true do s = s .. s end", 22, 50,
         Any, "not enough memory"},
    };
    return catalogue;
}
