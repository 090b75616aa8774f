#pragma once
// A host for the lighting benchmarks that keeps what Set gives it apart from what Get returns, as
// a host that uploads on Set does: each element lives in a cell of its own (Get is not one array),
// Set copies into it.

#include "host/Renderer.h"

#include <cstdint>
#include <cstring>
#include <vector>

class CopyingVertexBuffer : public VertexBuffer {
public:
    bool Allocate(int count, int elementSize, int /*flags*/, std::uint32_t formatCode) override {
        FormatCode = formatCode;
        ElementSize = elementSize;
        AllocatedCount = count;
        Stride = static_cast<std::size_t>(elementSize) + 12; // cells apart: no array to write through
        Cells.assign(static_cast<std::size_t>(count) * Stride, 0);
        Appended = 0;
        return true;
    }
    bool Free() override {
        Cells = {};
        AllocatedCount = 0;
        return true;
    }
    bool Append(const void* element) override { return Set(Appended++, element); }
    bool Set(int index, const void* element) override {
        if (index < 0 || index >= AllocatedCount)
            return false;
        std::memcpy(Cells.data() + static_cast<std::size_t>(index) * Stride, element,
                    static_cast<std::size_t>(ElementSize));
        return true;
    }
    bool DrawIndexed(int, int, int) override { return true; }
    void* Get(int index) override {
        if (index < 0 || index >= AllocatedCount)
            return nullptr;
        return Cells.data() + static_cast<std::size_t>(index) * Stride;
    }

private:
    std::vector<std::uint8_t> Cells;
    std::size_t Stride = 0;
    int Appended = 0;
};

class CopyingIndexBuffer : public IndexBuffer {
public:
    bool Allocate(int count, int elementSize, int /*flags*/) override {
        ElementSize = elementSize;
        AllocatedCount = count;
        AppendedCount = 0;
        Values.assign(static_cast<std::size_t>(count), 0);
        return true;
    }
    bool Free() override {
        Values = {};
        AllocatedCount = AppendedCount = 0;
        return true;
    }
    bool Append(const void* index16) override {
        if (AppendedCount >= AllocatedCount)
            return false;
        std::memcpy(&Values[static_cast<std::size_t>(AppendedCount++)], index16, 2);
        return true;
    }
    std::uint16_t Get(int position) override {
        return position >= 0 && position < AppendedCount ? Values[static_cast<std::size_t>(position)] : 0;
    }
    bool Select() override { return true; }

private:
    std::vector<std::uint16_t> Values;
};

class CopyingRenderer : public Renderer {
public:
    bool BeginScene(int) override { return true; }
    bool EndScene(int) override { return true; }
    std::uint32_t LoadTexture(const char*) override { return 0; }
    bool SetTexture(std::uint32_t, int) override { return true; }
    bool CreateVertexBuffer(VertexBuffer** out) override {
        *out = new CopyingVertexBuffer();
        return true;
    }
    bool CreateIndexBuffer(IndexBuffer** out) override {
        *out = new CopyingIndexBuffer();
        return true;
    }
    bool SetCamera(float, float, float, float, float, float) override { return true; }
};
