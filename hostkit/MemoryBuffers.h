#pragma once
// Buffers that keep their contents in plain memory: the host renderers build on them, and a
// renderer made of them alone draws nothing (for runs that only drive the engine).

#include "host/IndexBuffer.h"
#include "host/VertexBuffer.h"

#include <cstdint>
#include <vector>

class MemoryVertexBuffer : public VertexBuffer {
public:
    bool Allocate(int count, int elementSize, int flags, std::uint32_t formatCode) override;
    bool Free() override;
    bool Clear() override;
    bool Append(const void* element) override;
    int GetAppendedCount() const override { return Appended; }
    bool Set(int index, const void* element) override;
    // Elements written through Get's storage: counted as changed like those written by Set.
    bool MarkChanged(int first, int count) override;
    bool DrawIndexed(int primitiveType, int vertexCount, int primitiveCount) override;
    void* Get(int index) override;

    const std::uint8_t* Data() const { return Bytes.data(); }
    // Range of elements written since the last ResetChanged; empty when First > Last.
    int FirstChanged = 0;
    int LastChanged = -1;
    void ResetChanged();

protected:
    std::vector<std::uint8_t> Bytes;
    int Appended = 0;

private:
    void NoteChanged(int index);
};

class MemoryIndexBuffer : public IndexBuffer {
public:
    bool Allocate(int count, int elementSize, int flags) override;
    bool Free() override;
    bool Clear() override;
    bool Append(const void* index16) override;
    std::uint16_t Get(int position) override;
    bool Select() override;

    const std::vector<std::uint16_t>& Indices() const { return Values; }
    bool Changed = false;

protected:
    std::vector<std::uint16_t> Values;
};
