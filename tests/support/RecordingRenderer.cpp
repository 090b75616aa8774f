#include "support/RecordingRenderer.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace {
__attribute__((format(printf, 1, 2))) std::string Format(const char* format, ...) {
    char text[160];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    return text;
}
} // namespace

int CallLog::Count(const std::string& call) const {
    return static_cast<int>(std::count(Calls.begin(), Calls.end(), call));
}

int CallLog::CountPrefix(const std::string& prefix) const {
    return static_cast<int>(std::count_if(Calls.begin(), Calls.end(),
                                          [&](const std::string& c) { return c.starts_with(prefix); }));
}

int CallLog::Find(const std::string& call, int start) const {
    for (int i = start; i < static_cast<int>(Calls.size()); ++i)
        if (Calls[static_cast<std::size_t>(i)] == call)
            return i;
    return -1;
}

RecordingVertexBuffer::RecordingVertexBuffer(std::shared_ptr<CallLog> log, int id)
    : Name("VB" + std::to_string(id)), Log(std::move(log)) {
    Log->LiveBuffers.insert(this);
}

RecordingVertexBuffer::~RecordingVertexBuffer() {
    Log->Add(Name + ".~");
    Log->LiveBuffers.erase(this);
}

bool RecordingVertexBuffer::Allocate(int count, int elementSize, int flags, std::uint32_t formatCode) {
    Log->Add(Name + Format(".Allocate(%d,%d,%d,0x%x)", count, elementSize, flags, formatCode));
    return MemoryVertexBuffer::Allocate(count, elementSize, flags, formatCode);
}

bool RecordingVertexBuffer::Free() {
    Log->Add(Name + ".Free");
    return MemoryVertexBuffer::Free();
}

bool RecordingVertexBuffer::Append(const void* element) {
    ++AppendCalls;
    Log->Add(Name + ".Append");
    return MemoryVertexBuffer::Append(element);
}

bool RecordingVertexBuffer::Set(int index, const void* element) {
    ++SetCalls;
    return MemoryVertexBuffer::Set(index, element);
}

bool RecordingVertexBuffer::DrawIndexed(int primitiveType, int vertexCount, int primitiveCount) {
    Log->Add(Name + Format(".DrawIndexed(%d,%d,%d)", primitiveType, vertexCount, primitiveCount));
    return MemoryVertexBuffer::DrawIndexed(primitiveType, vertexCount, primitiveCount);
}

void* RecordingVertexBuffer::Get(int index) {
    ++GetCalls;
    return RefuseGet ? nullptr : MemoryVertexBuffer::Get(index);
}

RecordingIndexBuffer::RecordingIndexBuffer(std::shared_ptr<CallLog> log, int id)
    : Name("IB" + std::to_string(id)), Log(std::move(log)) {
    Log->LiveBuffers.insert(this);
}

RecordingIndexBuffer::~RecordingIndexBuffer() {
    Log->Add(Name + ".~");
    Log->LiveBuffers.erase(this);
}

bool RecordingIndexBuffer::Allocate(int count, int elementSize, int flags) {
    Log->Add(Name + Format(".Allocate(%d,%d,%d)", count, elementSize, flags));
    return MemoryIndexBuffer::Allocate(count, elementSize, flags);
}

bool RecordingIndexBuffer::Free() {
    Log->Add(Name + ".Free");
    return MemoryIndexBuffer::Free();
}

bool RecordingIndexBuffer::Append(const void* index16) {
    std::uint16_t value = 0;
    if (index16 != nullptr)
        value = *static_cast<const std::uint16_t*>(index16);
    Log->Add(Name + Format(".Append(%u)", static_cast<unsigned>(value)));
    return MemoryIndexBuffer::Append(index16);
}

std::uint16_t RecordingIndexBuffer::Get(int position) {
    Log->Add(Name + Format(".Get(%d)", position));
    return MemoryIndexBuffer::Get(position);
}

bool RecordingIndexBuffer::Select() {
    Log->Add(Name + ".Select");
    return MemoryIndexBuffer::Select();
}

RecordingRenderer::RecordingRenderer() : Log(std::make_shared<CallLog>()) {}

bool RecordingRenderer::BeginScene(int flags) {
    Log->Add(Format("BeginScene(%d)", flags));
    ClearColorAtBegin.push_back(ClearColor);
    return true;
}

bool RecordingRenderer::EndScene(int flags) {
    Log->Add(Format("EndScene(%d)", flags));
    ++FrameCount;
    return true;
}

std::uint32_t RecordingRenderer::LoadTexture(const char* fileName) {
    Log->Add(std::string("LoadTexture(") + (fileName ? fileName : "null") + ")");
    TexturesRequested.emplace_back(fileName ? fileName : "");
    return NextTexture;
}

bool RecordingRenderer::SetTexture(std::uint32_t texture, int stage) {
    Log->Add(Format("SetTexture(%u,%d)", texture, stage));
    return true;
}

bool RecordingRenderer::CreateVertexBuffer(VertexBuffer** out) {
    auto* buffer = new RecordingVertexBuffer(Log, static_cast<int>(VertexBuffers.size()) + 1);
    Log->Add("CreateVertexBuffer->" + buffer->Name);
    VertexBuffers.push_back(buffer);
    *out = buffer;
    return true;
}

bool RecordingRenderer::CreateIndexBuffer(IndexBuffer** out) {
    auto* buffer = new RecordingIndexBuffer(Log, static_cast<int>(IndexBuffers.size()) + 1);
    Log->Add("CreateIndexBuffer->" + buffer->Name);
    IndexBuffers.push_back(buffer);
    *out = buffer;
    return true;
}

bool RecordingRenderer::SetCamera(float tx, float ty, float tz, float yaw, float pitch, float roll) {
    Log->Add("SetCamera");
    Cameras.push_back({tx, ty, tz, yaw, pitch, roll});
    return true;
}

RecordingVertexBuffer* RecordingRenderer::LastVertexBuffer(std::uint32_t formatCode) const {
    for (auto it = VertexBuffers.rbegin(); it != VertexBuffers.rend(); ++it)
        if (IsAlive(*it) && (*it)->FormatCode == formatCode)
            return *it;
    return nullptr;
}
