// veltra: loads the engine module and runs its main loop.

#include "app/EngineModule.h"
#include "app/NullRenderer.h"
#include "engine/EngineInterface.h"
#include "host/Host.h"

#include <CLI/CLI.hpp>

#include <cstdio>

int main(int argc, char** argv) {
    CLI::App cli{"Veltra: generates a hilly terrain from HeightmapGeneration.lua, lights it with soft "
                 "shadows from a circling light and flies a camera over it."};
    int frames = 300;
    std::string logPath = "veltra.log";
    cli.add_option("--frames", frames, "Number of frames to run")
        ->check(CLI::PositiveNumber)
        ->capture_default_str();
    cli.add_option("--log", logPath, "Log file (truncated at start)")->capture_default_str();
    CLI11_PARSE(cli, argc, argv);

    EngineModule module;
    if (!module.Load(EngineModule::DefaultPath())) {
        std::fprintf(stderr, "veltra: cannot load the engine module: %s\n", module.Error().c_str());
        return 1;
    }

    Kernel kernel;
    kernel.GetLog().Open(logPath, false, 0);
    Window& window = kernel.GetWindow();
    window.CreateHandle();

    DllInterface* dll = nullptr;
    if (!module.CreateInterface(&dll)) {
        std::fprintf(stderr, "veltra: the engine module could not create its engine\n");
        return 1;
    }
    dll->kernel = &kernel;
    auto* engine = static_cast<EngineInterface*>(dll);

    NullRenderer renderer;
    engine->Init(&renderer);
    for (int frame = 0; frame < frames && window.PumpMessages(); ++frame)
        engine->Frame(0, &renderer);
    engine->Release();
    module.DestroyInterface(&dll);
    if (window.Handle != nullptr)
        DestroyWindow(window.Handle);
    std::printf("veltra: %u frames; log in %s\n", renderer.FrameCount, logPath.c_str());
    return 0;
}
