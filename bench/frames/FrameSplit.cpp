// veltra_frame_split FOLDER FRAMES [MODULE]: runs the engine module (default: the one beside this
// program) in FOLDER, where its configuration script is, with a renderer that draws nothing but
// counts. For the top view and then the fly view (Up held, a turn every 50 frames) it prints the
// module's time a frame (the lighting, and choosing the levels where there are any), the triangles
// it asks to draw (a strip's joins included) and the bytes a host uploads: the span of each buffer
// written since the last frame, as a host that uploads what changed does.

#include "host/EngineInterface.h"
#include "host/Kernel.h"
#include "hostkit/EngineModule.h"
#include "hostkit/NullRenderer.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

namespace {
constexpr UINT KeyT = 84;

struct Counts {
    long long Triangles = 0, Bytes = 0;
};

class CountingVertexBuffer : public MemoryVertexBuffer {
public:
    explicit CountingVertexBuffer(Counts& counts) : Tally(counts) {}
    bool DrawIndexed(int type, int vertices, int primitives) override {
        Tally.Triangles += primitives;
        return MemoryVertexBuffer::DrawIndexed(type, vertices, primitives);
    }
    Counts& Tally;
};

class CountingRenderer : public NullRenderer {
public:
    bool CreateVertexBuffer(VertexBuffer** out) override {
        Made.push_back(new CountingVertexBuffer(Tally));
        *out = Made.back();
        return true;
    }
    // The bytes written since the last call, buffer by buffer from the first change to the last.
    long long TakeWritten() {
        long long bytes = 0;
        for (MemoryVertexBuffer* buffer : Made)
            if (buffer->LastChanged >= buffer->FirstChanged) {
                bytes += static_cast<long long>(buffer->LastChanged - buffer->FirstChanged + 1) * 36;
                buffer->ResetChanged();
            }
        return bytes;
    }
    Counts Tally;
    std::vector<MemoryVertexBuffer*> Made; // owned by the module; alive until Release
};

void Send(Kernel& kernel, UINT message, WPARAM key) {
    PostMessageA(kernel.GetWindow().Handle, message, key, 0);
    kernel.GetWindow().PumpMessages();
}

void Measure(const char* view, EngineInterface& engine, CountingRenderer& device, Kernel& kernel,
             int frames) {
    device.Tally = {};
    long long bytes = 0;
    double seconds = 0.0;
    for (int frame = 0; frame < frames; ++frame) {
        if (frame % 50 == 49 && view[0] == 'f')
            Send(kernel, WM_KEYDOWN, VK_LEFT);
        const auto start = std::chrono::steady_clock::now();
        engine.Frame(0, &device);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        bytes += device.TakeWritten();
    }
    std::printf("%s: module %.2f ms a frame, %lld triangles a frame, %.2f MB uploaded a frame\n", view,
                seconds * 1000.0 / frames, device.Tally.Triangles / frames,
                static_cast<double>(bytes) / frames / 1e6);
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 3 || std::atoi(argv[2]) <= 0) {
        std::fprintf(stderr, "usage: veltra_frame_split FOLDER FRAMES [MODULE]\n");
        return 2;
    }
    const std::string module =
        argc > 3 ? std::filesystem::absolute(argv[3]).string() : EngineModule::DefaultPath();
    std::filesystem::current_path(argv[1]);
    const int frames = std::atoi(argv[2]);
    Kernel kernel;
    kernel.GetLog().Open("frame-split.log", false, 0);
    kernel.GetWindow().CreateHandle();
    CountingRenderer device;
    EngineModule engineModule;
    DllInterface* dll = nullptr;
    if (!engineModule.Load(module) || !engineModule.CreateInterface(&dll)) {
        std::fprintf(stderr, "veltra_frame_split: %s\n", engineModule.Error().c_str());
        return 1;
    }
    dll->kernel = &kernel;
    auto* engine = static_cast<EngineInterface*>(dll);
    if (!engine->Init(&device))
        return 1;
    device.TakeWritten(); // what Init wrote is uploaded once
    kernel.GetWindow().Width = 640, kernel.GetWindow().Height = 480; // as the host tells the module
    Measure("top", *engine, device, kernel, frames);
    Send(kernel, WM_KEYUP, KeyT);
    Send(kernel, WM_KEYDOWN, VK_UP);
    Measure("fly", *engine, device, kernel, frames);
    engine->Release();
    engineModule.DestroyInterface(&dll);
    return 0;
}
