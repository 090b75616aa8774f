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

} // namespace

const std::vector<HostileScript>& HostileScriptCatalogue() {
    using enum Relief;
    static const std::vector<HostileScript> catalogue = {
        // Sizes and counts.
        {"NegativeSizes", "heightmap_generator.Width = -5 heightmap_generator.Height = -1", 2, 2, Any,
         nullptr, nullptr, "-> Grid size -5 x -1 requested, 2 x 2 used"},
        {"ZeroSizes", "heightmap_generator.Width = 0 heightmap_generator.Height = 0", 2, 2},
        {"OneCell", "heightmap_generator.Width = 1 heightmap_generator.Height = 1", 2, 2},
        {"HugeSizes", "heightmap_generator.Width = 2^53 heightmap_generator.Height = 3", 4096, 3, Hilly,
         nullptr, nullptr, "-> Grid size 2147483647 x 3 requested, 4096 x 3 used"},
        {"HugeHeight", "heightmap_generator.Width = 3 heightmap_generator.Height = 1e9", 3, 4096, Hilly,
         nullptr, nullptr, "-> Grid size 3 x 1000000000 requested, 3 x 4096 used"},
        {"IntegerExtremes",
         "heightmap_generator.Width = 0x7fffffffffffffff\n"
         "heightmap_generator.Height = -0x7fffffffffffffff - 1",
         4096, 2},
        {"FractionalSizes", "heightmap_generator.Width = 3.99 heightmap_generator.Height = 2.5", 3, 2},
        {"NegativeHillCount", "heightmap_generator.NbHills = -100", 50, 50, Flat},
        {"FractionOfAHill", "heightmap_generator.NbHills = 0.99", 50, 50, Flat},
        {"HugeHillCount", "heightmap_generator.NbHills = 1e12", 50, 50, Hilly, nullptr, nullptr,
         "-> Hills 2147483647 requested,"},
        {"ZeroRadii", "heightmap_generator.MinHillRadius = 0 heightmap_generator.MaxHillRadius = 0", 50, 50,
         Flat},
        {"NegativeRadii", "heightmap_generator.MinHillRadius = -8 heightmap_generator.MaxHillRadius = -4", 50,
         50, Hilly},
        {"InvertedRadii", "heightmap_generator.MinHillRadius = 40 heightmap_generator.MaxHillRadius = 1", 50,
         50, Hilly},
        {"HugeRadii", "heightmap_generator.MinHillRadius = 1e9 heightmap_generator.MaxHillRadius = -1e9", 50,
         50, Any, nullptr, nullptr, "-> Hill radii 1000000000 to -1000000000 requested, 4096 to -4096 used"},
        {"HillsAndRadiiAtTheirBounds",
         "heightmap_generator.Width = 256 heightmap_generator.Height = 256 heightmap_generator.NbHills = "
         "1e12\n"
         "heightmap_generator.MinHillRadius = 4096 heightmap_generator.MaxHillRadius = 4096",
         256, 256, Hilly, nullptr, nullptr, "-> Hills 2147483647 requested,"},
        {"SmallestHillsOnABigGrid",
         "heightmap_generator.Width = 256 heightmap_generator.Height = 256 heightmap_generator.NbHills = "
         "1e12\n"
         "heightmap_generator.MinHillRadius = 1 heightmap_generator.MaxHillRadius = 1",
         256, 256, Any},
        // Values that are no numbers, or no finite ones: every property.
        {"NaNEverywhere", EveryProperty("0/0"), 2, 2, Flat},
        {"InfinitiesEverywhere",
         "heightmap_generator.NbHills = 1/0 heightmap_generator.Width = 1/0 heightmap_generator.Height = "
         "-1/0\n"
         "heightmap_generator.MinHillRadius = -1/0 heightmap_generator.MaxHillRadius = 1/0",
         4096, 2},
        {"StringsEverywhere", EveryProperty("'100'"), 2, 2, Flat},
        {"TablesEverywhere", EveryProperty("{100}"), 2, 2, Flat},
        {"FunctionsEverywhere", EveryProperty("print") + EveryProperty("function() return 100 end"), 2, 2,
         Flat},
        {"NilEverywhere", EveryProperty("nil"), 2, 2, Flat},
        {"BooleansAndHandlesEverywhere", EveryProperty("true") + EveryProperty("window"), 2, 2, Flat},
        // The globals.
        {"GlobalsDeletedAndCollected",
         "window = nil heightmap_generator = nil Window = nil _G[''] = nil collectgarbage() collectgarbage()",
         50, 50, Hilly, nullptr, "gc\ngc\n"},
        {"GlobalsReplaced",
         "heightmap_generator = {Width = 3, Height = 3}\n"
         "window = {PlaceWindow = function(self, text) error(text) end}\n"
         "heightmap_generator.Width = 4 window:PlaceWindow('replaced')",
         50, 50, Hilly, "replaced"},
        {"ConstructorsReplaced",
         "Window = function() return heightmap_generator end\n"
         "local w = Window() w.Width = 40 _G[''] = 7 print(pcall(_G['']))",
         40, 50, Hilly, nullptr, "false"},
        {"HandlesOutliveTheirGlobals",
         "local g, w = heightmap_generator, window heightmap_generator, window = nil, nil collectgarbage()\n"
         "g.Width = 20 w:PlaceWindow(1, 2)",
         20, 50},
        // Methods called the wrong way.
        {"MethodsOnTheWrongObject",
         "window.MoveWindow(heightmap_generator, 1, 2) window.PlaceWindow({}, 3, 4)\n"
         "window.ResizeWindow(Window(), 5, 6) window.HideWindow(_G['']()) heightmap_generator.Width = 60",
         60, 50, Any, nullptr, WithoutObject},
        {"DotForm", "window.PlaceWindow(10, 20) window.HideWindow() window.MoveWindow()", 50, 50, Any,
         nullptr, WithoutObject},
        {"TooManyArguments",
         "print(window:PlaceWindow(1, 2, 3, 4, 5), window:HideWindow(1, 2, 3), window:ShowWindow('x', {}, "
         "nil))",
         50, 50, Any, nullptr, "1\t1\t1"},
        {"TooFewArguments", "print(window:ResizeWindow(), window:PlaceWindow(7), window:MoveWindow())", 50,
         50, Any, nullptr, "1\t1\t1"},
        {"ExtremeMethodArguments",
         "window:MoveWindow(2^31, 2^31) window:MoveWindow(2^31, 2^31) window:MoveWindow(-1/0, 0/0)\n"
         "window:ResizeWindow(-1e300, 1/0) window:PlaceWindow('x', {}) window:MoveWindow(-2^31, -2^31)",
         50, 50},
        {"MethodsOfMadeObjects",
         "for i = 1, 100 do local w = Window() w:ResizeWindow(i, i) w:ShowWindow(true) w:MoveWindow(i, -i) "
         "end",
         50, 50},
        // Keys that are neither property nor method.
        {"UnknownKeys",
         "heightmap_generator.Depth = 5 heightmap_generator[0] = 1 heightmap_generator[1] = 2\n"
         "heightmap_generator[0/0 ~= 0/0] = 3 window.Width = 4 window.MoveWindow = 5\n"
         "print(heightmap_generator.Depth, heightmap_generator[0], heightmap_generator[1], window.Width)",
         50, 50, Hilly, nullptr, "ERROR : trying to set an unknown variable"},
        {"RawAccessToHandles",
         "rawset(heightmap_generator, 'Width', 1000) print(rawget(heightmap_generator, 'Width'))\n"
         "print(pcall(setmetatable, heightmap_generator, nil)) print(getmetatable(window))",
         50, 50, Hilly, nullptr, "protected metatable"},
        // Everything dropped and collected.
        {"MadeObjectsDroppedAndCollected",
         "for i = 1, 2000 do local w = Window() w:PlaceWindow(i, i) local g = _G['']() g.Width = i end\n"
         "collectgarbage() collectgarbage() heightmap_generator.Height = 33",
         50, 33},
        {"MadeGeneratorIsNotTheEngines",
         "local mine = _G['']() mine.Width = 3 mine.Height = 3 mine.NbHills = 0 mine = nil collectgarbage()",
         50, 50, Hilly},
        // Errors midway.
        {"EmptyScript", "", 50, 50, Hilly},
        {"SyntaxErrorMidway", "heightmap_generator.Width = 100\nheightmap_generator.Height = = 3\n", 50, 50,
         Hilly, "HeightmapGeneration.lua:2:"},
        {"RunTimeErrorMidway",
         "heightmap_generator.Width = 100\nnothing.here = 1\nheightmap_generator.Width = 7\n", 100, 50, Any,
         "HeightmapGeneration.lua:2:"},
        {"ErrorWithATable", "heightmap_generator.Width = 90 error({})", 90, 50, Any,
         "(error object is a table value)"},
        {"ErrorCaughtAndGoneOn", "print(pcall(error, 'caught')) heightmap_generator.Width = 30", 30, 50, Any,
         nullptr, "false\tcaught"},
        {"ErrorFromAGlobalsMetatable",
         "setmetatable(_G, {__index = function(_, key) error('no global ' .. key) end})\n"
         "heightmap_generator.Width = 25 print(undefined) heightmap_generator.Width = 26",
         25, 50, Any, "no global undefined"},
        {"BaseFunctionsRemoved",
         "print, pcall, error, collectgarbage, setmetatable = nil heightmap_generator.Width = 27", 27, 50},
        {"NotText", "\x1bLua\x54 not a chunk", 50, 50, Hilly, "binary chunk"},
        {"PrecompiledChunk",
         "heightmap_generator.Width = 24 print(load('\\27Lua\\84\\0\\25\\147\\13\\10\\26\\10\\4\\8\\8'))", 24,
         50, Any, nullptr, "attempt to load a binary chunk"},
        // Scripts that would never end or want too much.
        {"DofileOfItself", "heightmap_generator.Width = 60 dofile('HeightmapGeneration.lua')", 60, 50, Any,
         "stack overflow"},
        {"DofileWithoutAName", "heightmap_generator.Width = 61 dofile() heightmap_generator.Width = 62", 61,
         50, Any, "bad argument #1 to 'dofile'"},
        {"DofileOfADevice",
         "heightmap_generator.Width = 63 dofile('/dev/zero') heightmap_generator.Width = 64", 63, 50, Any,
         "not a regular file"},
        {"NeverEnding", "heightmap_generator.Height = 80\nwhile true do end\n", 50, 80, Any,
         "instruction limit"},
        {"NeverEndingUnderPcall",
         "heightmap_generator.Height = 81\nwhile true do pcall(function() while true do end end) end\n"
         "heightmap_generator.Height = 82",
         50, 81, Any, "instruction limit"},
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
        {"CloseHandlerThatNeverEnds",
         "heightmap_generator.Width = 29\n"
         "do local guard <close> = setmetatable({}, {__close = function() while true do end end}) end\n"
         "heightmap_generator.Width = 30",
         29, 50, Any, "instruction limit"},
        {"ErrorHandlerThatNeverEnds",
         "heightmap_generator.Width = 31 print(xpcall(error, function() while true do end end))\n"
         "heightmap_generator.Width = 32",
         31, 50, Any, "instruction limit"},
        {"MetamethodRecursion",
         "setmetatable(_G, {__index = function(t, k) return t[k] end}) heightmap_generator.Width = 33\n"
         "print(undefined) heightmap_generator.Width = 34",
         33, 50, Any, "stack overflow"},
        {"DeeplyNestedSource",
         "heightmap_generator.Width = 35 local s = '(' for i = 1, 20 do s = s .. s end\n"
         "print(load('return ' .. s)) heightmap_generator.Width = 36",
         36, 50, Any, nullptr, "nil"},
        {"StringTooLong", "heightmap_generator.Width = 22 local s = 'x' while true do s = s .. s end", 22, 50,
         Any, "not enough memory"},
        {"TableTooLarge", "heightmap_generator.Width = 23 local t = {} for i = 1, 1e9 do t[i] = {} end", 23,
         50, Any, "not enough memory"},
        // The memory budget runs out before Lua's stack limit is reached.
        {"DeepRecursion", "heightmap_generator.Width = 24 local function f() return 1 + f() end f()", 24, 50,
         Any, "not enough memory"},
    };
    return catalogue;
}
