#pragma once
// A renderer for tests: keeps buffer contents in memory like a real host and records every call
// the module makes, in order, as short text ("VB1.Allocate(8,20,0,0x102)").

#include "host/Renderer.h"
#include "hostkit/MemoryBuffers.h"

#include <array>
#include <memory>
#include <set>
#include <string>
#include <vector>

struct CallLog {
    bool Enabled = true;
    std::vector<std::string> Calls;
    std::set<const void*> LiveBuffers; // buffers made and not yet deleted
    void Add(std::string call) {
        if (Enabled)
            Calls.push_back(std::move(call));
    }
    int Count(const std::string& call) const;
    int CountPrefix(const std::string& prefix) const;
    // Position of the first call equal to text at or after start, or -1.
    int Find(const std::string& call, int start = 0) const;
};

class RecordingVertexBuffer : public MemoryVertexBuffer {
public:
    RecordingVertexBuffer(std::shared_ptr<CallLog> log, int id);
    ~RecordingVertexBuffer() override;
    bool Allocate(int count, int elementSize, int flags, std::uint32_t formatCode) override;
    bool Free() override;
    bool Append(const void* element) override;
    bool Set(int index, const void* element) override;
    bool DrawIndexed(int primitiveType, int vertexCount, int primitiveCount) override;
    void* Get(int index) override;

    std::string Name;
    int AppendCalls = 0;
    int SetCalls = 0;
    int GetCalls = 0;
    // Set to true by tests that want Get to refuse (it then gives null).
    bool RefuseGet = false;

private:
    std::shared_ptr<CallLog> Log;
};

class RecordingIndexBuffer : public MemoryIndexBuffer {
public:
    RecordingIndexBuffer(std::shared_ptr<CallLog> log, int id);
    ~RecordingIndexBuffer() override;
    bool Allocate(int count, int elementSize, int flags) override;
    bool Free() override;
    bool Append(const void* index16) override;
    std::uint16_t Get(int position) override;
    bool Select() override;

    std::string Name;

private:
    std::shared_ptr<CallLog> Log;
};

struct CameraCall {
    float Tx, Ty, Tz, Yaw, Pitch, Roll;
};

class RecordingRenderer : public Renderer {
public:
    RecordingRenderer();

    bool BeginScene(int flags) override;
    bool EndScene(int flags) override;
    std::uint32_t LoadTexture(const char* fileName) override;
    bool SetTexture(std::uint32_t texture, int stage) override;
    bool CreateVertexBuffer(VertexBuffer** out) override;
    bool CreateIndexBuffer(IndexBuffer** out) override;
    bool SetCamera(float tx, float ty, float tz, float yaw, float pitch, float roll) override;

    std::shared_ptr<CallLog> Log;
    // Buffers in creation order; the pointers dangle once the module deletes them, so check
    // IsAlive before use.
    std::vector<RecordingVertexBuffer*> VertexBuffers;
    std::vector<RecordingIndexBuffer*> IndexBuffers;
    bool IsAlive(const void* buffer) const { return Log->LiveBuffers.count(buffer) != 0; }
    std::vector<std::string> TexturesRequested;
    std::vector<CameraCall> Cameras;
    std::vector<std::uint32_t> ClearColorAtBegin;
    std::uint32_t NextTexture = 7; // handle LoadTexture gives; 0 makes it fail

    // The last vertex buffer created with the given format code, or null.
    RecordingVertexBuffer* LastVertexBuffer(std::uint32_t formatCode) const;
};
