#pragma once

#include "host/EngineInterface.h"
#include "host/KeyboardListener.h"
#include "host/MouseListener.h"

class Log;
struct lua_State;

class TerrainEngine : public EngineInterface, public KeyboardListener, public MouseListener {
public:
    lua_State* VM = nullptr; // the script state, opened by Init and kept open for good

    ~TerrainEngine() override;

    bool Init(Renderer* device) override;
    void Release() override;
    bool Frame(std::uint32_t unused, Renderer* device) override;

    bool OnKeyUp(std::uint32_t key) override;
    bool OnKeyDown(std::uint32_t key) override;
    bool OnMouseMove(std::int32_t x, std::int32_t y) override;

private:
    // Init's steps, each beside the subsystem it drives.
    void RunConfigurationScript(Log& log); // TerrainEngineScript.cpp: state, bindings, script
    void LightSceneFirstTime();            // TerrainEngineFrame.cpp: first lighting pass

    bool Initialised = false;
};
