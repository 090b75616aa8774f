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
    if (!Freed)
        ReportContractBreach(Name + " deleted before Free");
}

bool RecordingVertexBuffer::Breach(const char* operation) const {
    ReportContractBreach(Name + "." + operation + " is outside the contract");
    return false;
}

bool RecordingVertexBuffer::Allocate(int count, int elementSize, int flags, std::uint32_t formatCode) {
    Log->Add(Name + Format(".Allocate(%d,%d,%d,0x%x)", count, elementSize, flags, formatCode));
    Freed = false;
    if (RefuseAllocate || count < 0 || elementSize <= 0)
        return false;
    FormatCode = formatCode;
    ElementSize = elementSize;
    AllocatedCount = count;
    Stored.assign(static_cast<std::size_t>(count) * static_cast<std::size_t>(elementSize), 0);
    HandedOut.assign(static_cast<std::size_t>(elementSize), 0);
    Appended = 0;
    return true;
}

bool RecordingVertexBuffer::Free() {
    Log->Add(Name + ".Free");
    Stored = {};
    AllocatedCount = 0;
    Freed = true;
    return true;
}

bool RecordingVertexBuffer::Append(const void* element) {
    ++AppendCalls;
    if (AllocatedCount == 0)
        return false; // nothing allocated: a host may refuse quietly
    if (Appended >= AllocatedCount) {
        ReportContractBreach(Name + ".Append past the allocation");
        return false;
    }
    std::memcpy(Stored.data() + static_cast<std::size_t>(Appended++) * static_cast<std::size_t>(ElementSize),
                element, static_cast<std::size_t>(ElementSize));
    return true;
}

bool RecordingVertexBuffer::Set(int index, const void* element) {
    ++SetCalls;
    if (index < 0 || index >= AllocatedCount) {
        ReportContractBreach(Name + Format(".Set(%d) outside the %d allocated", index, AllocatedCount));
        return false;
    }
    std::memcpy(Stored.data() + static_cast<std::size_t>(index) * static_cast<std::size_t>(ElementSize),
                element, static_cast<std::size_t>(ElementSize));
    return true;
}

bool RecordingVertexBuffer::DrawIndexed(int primitiveType, int vertexCount, int primitiveCount) {
    Log->Add(Name + Format(".DrawIndexed(%d,%d,%d)", primitiveType, vertexCount, primitiveCount));
    return AllocatedCount > 0;
}

void* RecordingVertexBuffer::Get(int index) {
    ++GetCalls;
    if (RefuseGet || index < 0 || index >= AllocatedCount)
        return nullptr;
    std::memcpy(HandedOut.data(),
                Data() + static_cast<std::size_t>(index) * static_cast<std::size_t>(ElementSize),
                HandedOut.size());
    return HandedOut.data();
}

RecordingIndexBuffer::RecordingIndexBuffer(std::shared_ptr<CallLog> log, int id)
    : Name("IB" + std::to_string(id)), Log(std::move(log)) {
    Log->LiveBuffers.insert(this);
}

RecordingIndexBuffer::~RecordingIndexBuffer() {
    Log->Add(Name + ".~");
    Log->LiveBuffers.erase(this);
    if (!Freed)
        ReportContractBreach(Name + " deleted before Free");
}

bool RecordingIndexBuffer::Breach(const char* operation) const {
    ReportContractBreach(Name + "." + operation + " is outside the contract");
    return false;
}

bool RecordingIndexBuffer::Allocate(int count, int elementSize, int flags) {
    Log->Add(Name + Format(".Allocate(%d,%d,%d)", count, elementSize, flags));
    Freed = false;
    if (RefuseAllocate || count < 0 || elementSize != 2)
        return false;
    ElementSize = elementSize;
    AllocatedCount = count;
    AppendedCount = 0;
    Values.clear();
    Values.reserve(static_cast<std::size_t>(count));
    return true;
}

bool RecordingIndexBuffer::Free() {
    Log->Add(Name + ".Free");
    Values = {};
    AllocatedCount = AppendedCount = 0;
    Freed = true;
    return true;
}

bool RecordingIndexBuffer::Append(const void* index16) {
    if (AllocatedCount == 0)
        return false;
    if (AppendedCount >= AllocatedCount) {
        ReportContractBreach(Name + ".Append past the allocation");
        return false;
    }
    std::uint16_t value = 0;
    std::memcpy(&value, index16, sizeof value);
    Values.push_back(value);
    ++AppendedCount;
    return true;
}

std::uint16_t RecordingIndexBuffer::Get(int position) {
    if (position < 0 || position >= AppendedCount) {
        ReportContractBreach(Name + Format(".Get(%d) outside the %d appended", position, AppendedCount));
        return 0;
    }
    return Values[static_cast<std::size_t>(position)];
}

bool RecordingIndexBuffer::Select() {
    Log->Add(Name + ".Select");
    return true;
}

RecordingRenderer::RecordingRenderer() : Log(std::make_shared<CallLog>()) {}

bool RecordingRenderer::Breach(const char* operation) const {
    ReportContractBreach(std::string("Renderer::") + operation + " is outside the contract");
    return false;
}

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
    if (MakeNoBuffers)
        return false;
    auto* buffer = new RecordingVertexBuffer(Log, static_cast<int>(VertexBuffers.size()) + 1);
    buffer->RefuseAllocate = RefuseAllocate;
    Log->Add("CreateVertexBuffer->" + buffer->Name);
    std::replace(VertexBuffers.begin(), VertexBuffers.end(), buffer,
                 static_cast<RecordingVertexBuffer*>(nullptr));
    VertexBuffers.push_back(buffer);
    *out = buffer;
    return true;
}

bool RecordingRenderer::CreateIndexBuffer(IndexBuffer** out) {
    if (MakeNoBuffers)
        return false;
    auto* buffer = new RecordingIndexBuffer(Log, static_cast<int>(IndexBuffers.size()) + 1);
    buffer->RefuseAllocate = RefuseAllocate;
    Log->Add("CreateIndexBuffer->" + buffer->Name);
    std::replace(IndexBuffers.begin(), IndexBuffers.end(), buffer,
                 static_cast<RecordingIndexBuffer*>(nullptr));
    IndexBuffers.push_back(buffer);
    *out = buffer;
    return true;
}

bool RecordingRenderer::SetCamera(float tx, float ty, float tz, float yaw, float pitch, float roll) {
    Log->Add("SetCamera");
    Cameras.push_back({tx, ty, tz, yaw, pitch, roll});
    return true;
}

std::vector<RecordingVertexBuffer*> RecordingRenderer::LiveVertexBuffers(std::uint32_t formatCode) const {
    std::vector<RecordingVertexBuffer*> live;
    for (RecordingVertexBuffer* buffer : VertexBuffers)
        if (IsAlive(buffer) && buffer->FormatCode == formatCode)
            live.push_back(buffer);
    return live;
}

RecordingVertexBuffer* RecordingRenderer::LastVertexBuffer(std::uint32_t formatCode) const {
    const std::vector<RecordingVertexBuffer*> live = LiveVertexBuffers(formatCode);
    return live.empty() ? nullptr : live.back();
}

std::vector<RecordingIndexBuffer*> RecordingRenderer::LiveIndexBuffers() const {
    std::vector<RecordingIndexBuffer*> live;
    for (RecordingIndexBuffer* buffer : IndexBuffers)
        if (IsAlive(buffer))
            live.push_back(buffer);
    return live;
}
