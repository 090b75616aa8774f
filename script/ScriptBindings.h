#pragma once
// What the engine's configuration script sees. Each binding makes its class's methods and
// properties once per module and registers the class and its instance on the given state; false
// (with Lua's message on standard error) when the state ran out of memory on the way.

#include <map>
#include <string>

struct lua_State;
class HeightmapFile;
class HeightmapGenerator;
class Window;

// Class "Window" with MoveWindow, PlaceWindow, ResizeWindow (two ints each), ShowWindow (always
// shows) and HideWindow; window, which stays the host's, as the global `window`.
bool BindWindowClass(lua_State* L, Window& window);

// The class named "" with the int properties NbHills, Width, Height, MinHillRadius and
// MaxHillRadius; generator, which stays the engine's, as the global `heightmap_generator`.
bool BindHeightmapGeneratorClass(lua_State* L, HeightmapGenerator& generator);
// The settings the script last gave the bound generator that its int fields could not hold as
// given (not a number, not whole, beyond 32 bits), by property name, as the script would print
// them: "1e+30", "many", "table". The field holds the converted value. Each bind starts afresh.
const std::map<std::string, std::string>& GeneratorSettingsNotHeld();

// Class "HeightmapFile" with the text property Path, the int properties Width, Height, CropX,
// CropY, CropWidth and CropHeight and the number property Exaggeration; file, which stays the
// engine's, as the global `heightmap_file`.
bool BindHeightmapFileClass(lua_State* L, HeightmapFile& file);
// As GeneratorSettingsNotHeld, for the bound file settings: a Path that is no text, a number
// property that is no number, an int property its field cannot hold as given.
const std::map<std::string, std::string>& HeightmapFileSettingsNotHeld();
