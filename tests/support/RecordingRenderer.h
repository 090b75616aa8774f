#pragma once
// The one host double of the tests: a renderer and buffers that do only what the host contract
// promises, and record draws, texture binds, frees and deletions in order ("VB1.DrawIndexed(5,9,14)").
// - Get hands out a copy of the stored element, made afresh on every call: a write through it is
//   lost, and the elements never form one array.
// - Every operation outside the contract, a write outside the allocation, and deleting a buffer
//   that was not freed first fail the test.

#include "host/Renderer.h"
#include "hostkit/MemoryBuffers.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

// Reports "host contract: <what>": fails the running test (ContractBreach.cpp), or stops a fuzzer.
void ContractBreach(const std::string& what);
// Reports "<operation> is outside the contract"; always false.
bool OutsideContract(const std::string& operation);

struct CallLog {
    bool Enabled = true;
    std::vector<std::string> Calls;
    std::set<const void*> LiveBuffers; // buffers made and not yet deleted
    void Add(const std::string& call) {
        if (Enabled)
            Calls.push_back(call);
    }
};

// What both kinds of buffer share: a name, a place in the live set, and the duty to be freed first.
class ContractBuffer {
public:
    ContractBuffer(std::shared_ptr<CallLog> log, std::string name, const void* self);
    ~ContractBuffer();
    std::string Name;
    bool RefuseAllocate = false;

protected:
    bool Breach(const std::string& operation) const { return OutsideContract(Name + "." + operation); }
    bool Allocating() { return Freed = false, !RefuseAllocate; }
    void NoteFree() { Log->Add(Name + ".Free"), Freed = true; }
    std::shared_ptr<CallLog> Log;
    const void* Self;
    bool Freed = true;
};

class RecordingVertexBuffer : public MemoryVertexBuffer, public ContractBuffer {
public:
    RecordingVertexBuffer(std::shared_ptr<CallLog> log, int id)
        : ContractBuffer(std::move(log), "VB" + std::to_string(id), this) {}
    bool Allocate(int count, int size, int flags, std::uint32_t format) override {
        HandedOut.assign(static_cast<std::size_t>(std::max(size, 0)), 0);
        return Allocating() && MemoryVertexBuffer::Allocate(count, size, flags, format);
    }
    bool Free() override { return NoteFree(), MemoryVertexBuffer::Free(); }
    bool Append(const void* element) override {
        return AllocatedCount > 0 && // nothing allocated: a host may refuse quietly
               (Appended < AllocatedCount ? MemoryVertexBuffer::Append(element)
                                          : Breach("Append past the end"));
    }
    bool Set(int index, const void* element) override {
        return index >= 0 && index < AllocatedCount ? MemoryVertexBuffer::Set(index, element)
                                                    : Breach("Set outside the allocation");
    }
    bool DrawIndexed(int type, int vertices, int primitives) override {
        Log->Add(Name + ".DrawIndexed(" + std::to_string(type) + "," + std::to_string(vertices) + "," +
                 std::to_string(primitives) + ")");
        return MemoryVertexBuffer::DrawIndexed(type, vertices, primitives);
    }
    void* Get(int index) override {
        void* stored = MemoryVertexBuffer::Get(index);
        return stored == nullptr ? nullptr : std::memcpy(HandedOut.data(), stored, HandedOut.size());
    }
    bool Lock() override { return Breach("Lock"); }
    bool Unlock() override { return Breach("Unlock"); }
    bool Clear() override { return Breach("Clear"); }
    int GetAppendedCount() const override { return Breach("GetAppendedCount"); }
    bool Upload() override { return Breach("Upload"); }
    bool Draw(int, int) override { return Breach("Draw"); }
    bool MarkChanged(int, int) override { return Breach("MarkChanged"); }

    // What the host holds: the elements as the module last gave them.
    template <typename T>
    std::vector<T> All() const {
        std::vector<T> elements(static_cast<std::size_t>(AllocatedCount));
        std::memcpy(elements.data(), Data(), elements.size() * sizeof(T));
        return elements;
    }

private:
    std::vector<std::uint8_t> HandedOut; // the copy Get gives
};

class RecordingIndexBuffer : public MemoryIndexBuffer, public ContractBuffer {
public:
    RecordingIndexBuffer(std::shared_ptr<CallLog> log, int id)
        : ContractBuffer(std::move(log), "IB" + std::to_string(id), this) {}
    bool Allocate(int count, int size, int flags) override {
        return Allocating() && MemoryIndexBuffer::Allocate(count, size, flags);
    }
    bool Free() override { return NoteFree(), MemoryIndexBuffer::Free(); }
    bool Append(const void* index) override {
        return AllocatedCount > 0 && (AppendedCount < AllocatedCount ? MemoryIndexBuffer::Append(index)
                                                                     : Breach("Append past the end"));
    }
    std::uint16_t Get(int at) override {
        return at < AppendedCount ? MemoryIndexBuffer::Get(at) : Breach("Get");
    }
    bool Select() override { return Log->Add(Name + ".Select"), true; }
    bool Lock() override { return Breach("Lock"); }
    bool Unlock() override { return Breach("Unlock"); }
    bool Clear() override { return Breach("Clear"); }
    bool Set(int, const void*) override { return Breach("Set"); }
    bool Upload() override { return Breach("Upload"); }

    // The indices appended so far.
    std::vector<std::uint16_t> Indices() const { return {Values.begin(), Values.begin() + AppendedCount}; }
};

struct CameraCall {
    float Tx, Ty, Tz, Yaw, Pitch, Roll;
};

class RecordingRenderer : public Renderer {
public:
    bool BeginScene(int) override { return Log->Add("BeginScene"), true; }
    bool EndScene(int) override { return Log->Add("EndScene"), ++FrameCount, true; }
    std::uint32_t LoadTexture(const char* fileName) override {
        return TexturesRequested.emplace_back(fileName ? fileName : ""), NextTexture;
    }
    bool SetTexture(std::uint32_t texture, int stage) override {
        return Log->Add("SetTexture(" + std::to_string(texture) + "," + std::to_string(stage) + ")"), true;
    }
    bool CreateVertexBuffer(VertexBuffer** out) override { return Make(VertexBuffers, out); }
    bool CreateIndexBuffer(IndexBuffer** out) override { return Make(IndexBuffers, out); }
    bool SetCamera(float tx, float ty, float tz, float yaw, float pitch, float roll) override {
        return Cameras.push_back({tx, ty, tz, yaw, pitch, roll}), true;
    }
    bool Startup(int, int) override { return Breach("Startup"); }
    bool Shutdown() override { return Breach("Shutdown"); }
    bool Resize(int, int) override { return Breach("Resize"); }
    bool Clear() override { return Breach("Clear"); }
    bool Present() override { return Breach("Present"); }
    bool SaveScreenshot(const char*) override { return Breach("SaveScreenshot"); }
    bool ReleaseTexture(std::uint32_t) override { return Breach("ReleaseTexture"); }
    bool SetViewport(int, int, int, int) override { return Breach("SetViewport"); }

    std::shared_ptr<CallLog> Log = std::make_shared<CallLog>();
    // Buffers in creation order; the pointers dangle once the module deletes them, so check
    // IsAlive before use. An entry whose address a later buffer reuses becomes null.
    std::vector<RecordingVertexBuffer*> VertexBuffers;
    std::vector<RecordingIndexBuffer*> IndexBuffers;
    bool IsAlive(const void* buffer) const { return Log->LiveBuffers.contains(buffer); }
    std::vector<std::string> TexturesRequested;
    std::vector<CameraCall> Cameras;
    std::uint32_t NextTexture = 7; // handle LoadTexture gives; 0 makes it fail
    bool MakeNoBuffers = false;    // CreateVertexBuffer and CreateIndexBuffer make nothing
    bool RefuseAllocate = false;   // buffers made from now on refuse Allocate

private:
    static bool Breach(const std::string& operation) { return OutsideContract("Renderer::" + operation); }
    template <typename Buffer, typename Interface>
    bool Make(std::vector<Buffer*>& made, Interface** out) {
        if (MakeNoBuffers)
            return false;
        auto* buffer = new Buffer(Log, static_cast<int>(made.size()) + 1);
        buffer->RefuseAllocate = RefuseAllocate;
        std::replace(made.begin(), made.end(), buffer, static_cast<Buffer*>(nullptr));
        made.push_back(buffer);
        *out = buffer;
        return true;
    }
};
