#pragma once
// The one host double of the tests: a renderer and buffers that do only what the host contract
// promises, and record draws, texture binds, frees and deletions in order ("VB1.DrawIndexed(5,9,14)").
// - Get hands out a copy of the stored element, made afresh on every call: a write through it is
//   lost, and the elements never form one array.
// - Every operation outside the contract, a write outside the allocation, and deleting a buffer
//   that was not freed first are reported as contract breaches (ReportContractBreach).

#include "host/Renderer.h"
#include "hostkit/MemoryBuffers.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

// Tests fail the running test; fuzzers stop.
void ReportContractBreach(const std::string& what);

struct CallLog {
    bool Enabled = true;
    std::vector<std::string> Calls;
    std::set<const void*> LiveBuffers; // buffers made and not yet deleted
    void Add(const std::string& call) {
        if (Enabled)
            Calls.push_back(call);
    }
    int CountPrefix(const std::string& prefix) const;
};

// What both kinds of buffer share: a name, a place in the live set, and the duty to be freed first.
class ContractBuffer {
public:
    ContractBuffer(std::shared_ptr<CallLog> log, std::string name, const void* self);
    ~ContractBuffer();
    std::string Name;

protected:
    bool Breach(const std::string& operation) const;
    void NoteFree() { Log->Add(Name + ".Free"), Freed = true; }
    std::shared_ptr<CallLog> Log;
    const void* Self;
    bool Freed = true;
};

class RecordingVertexBuffer : public VertexBuffer, public ContractBuffer {
public:
    RecordingVertexBuffer(std::shared_ptr<CallLog> log, int id)
        : ContractBuffer(std::move(log), "VB" + std::to_string(id), this) {}
    bool Allocate(int count, int elementSize, int, std::uint32_t formatCode) override;
    bool Free() override { return NoteFree(), Stored.clear(), AllocatedCount = 0, true; }
    bool Append(const void* element) override;
    bool Set(int index, const void* element) override;
    bool DrawIndexed(int type, int vertices, int primitives) override;
    void* Get(int index) override;

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
    const std::uint8_t* Data() const { return Stored.data(); }
    bool RefuseAllocate = false;

private:
    std::uint8_t* At(int index) { return Stored.data() + static_cast<std::size_t>(index) * HandedOut.size(); }
    std::vector<std::uint8_t> Stored;
    std::vector<std::uint8_t> HandedOut; // the copy Get gives
    int Appended = 0;
};

class RecordingIndexBuffer : public IndexBuffer, public ContractBuffer {
public:
    RecordingIndexBuffer(std::shared_ptr<CallLog> log, int id)
        : ContractBuffer(std::move(log), "IB" + std::to_string(id), this) {}
    bool Allocate(int count, int elementSize, int) override;
    bool Free() override { return NoteFree(), Values.clear(), AllocatedCount = AppendedCount = 0, true; }
    bool Append(const void* index16) override;
    std::uint16_t Get(int position) override;
    bool Select() override { return Log->Add(Name + ".Select"), true; }

    bool Lock() override { return Breach("Lock"); }
    bool Unlock() override { return Breach("Unlock"); }
    bool Clear() override { return Breach("Clear"); }
    bool Set(int, const void*) override { return Breach("Set"); }
    bool Upload() override { return Breach("Upload"); }

    const std::vector<std::uint16_t>& Indices() const { return Values; }
    bool RefuseAllocate = false;

private:
    std::vector<std::uint16_t> Values;
};

struct CameraCall {
    float Tx, Ty, Tz, Yaw, Pitch, Roll;
};

class RecordingRenderer : public Renderer {
public:
    bool BeginScene(int) override { return Log->Add("BeginScene"), true; }
    bool EndScene(int) override { return Log->Add("EndScene"), ++FrameCount, true; }
    std::uint32_t LoadTexture(const char* fileName) override {
        TexturesRequested.emplace_back(fileName ? fileName : "");
        return NextTexture;
    }
    bool SetTexture(std::uint32_t texture, int stage) override;
    bool CreateVertexBuffer(VertexBuffer** out) override;
    bool CreateIndexBuffer(IndexBuffer** out) override;
    bool SetCamera(float tx, float ty, float tz, float yaw, float pitch, float roll) override {
        Cameras.push_back({tx, ty, tz, yaw, pitch, roll});
        return true;
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
    bool IsAlive(const void* buffer) const {
        return buffer != nullptr && Log->LiveBuffers.count(buffer) != 0;
    }
    std::vector<std::string> TexturesRequested;
    std::vector<CameraCall> Cameras;
    std::uint32_t NextTexture = 7; // handle LoadTexture gives; 0 makes it fail
    bool MakeNoBuffers = false;    // CreateVertexBuffer and CreateIndexBuffer make nothing
    bool RefuseAllocate = false;   // buffers made from now on refuse Allocate

    // The last live vertex buffer created with the given format code, or null.
    RecordingVertexBuffer* LastVertexBuffer(std::uint32_t formatCode) const;

private:
    static bool Breach(const char* operation);
};
