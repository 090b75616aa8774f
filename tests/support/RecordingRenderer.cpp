#include "support/RecordingRenderer.h"

#include <algorithm>

namespace {
std::string Args(std::initializer_list<long long> values) {
    std::string text;
    for (long long value : values)
        text += (text.empty() ? "(" : ",") + std::to_string(value);
    return text + ")";
}
} // namespace

int CallLog::CountPrefix(const std::string& prefix) const {
    return static_cast<int>(std::count_if(Calls.begin(), Calls.end(),
                                          [&](const std::string& c) { return c.starts_with(prefix); }));
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

bool RecordingVertexBuffer::Allocate(int count, int elementSize, int, std::uint32_t formatCode) {
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
    if (AllocatedCount == 0)
        return false; // nothing allocated: a host may refuse quietly
    if (Appended >= AllocatedCount)
        return Breach("Append past the allocation");
    std::memcpy(Stored.data() + static_cast<std::size_t>(Appended++) * static_cast<std::size_t>(ElementSize),
                element, static_cast<std::size_t>(ElementSize));
    return true;
}

bool RecordingVertexBuffer::Set(int index, const void* element) {
    if (index < 0 || index >= AllocatedCount)
        return Breach(("Set" + Args({index}) + " outside the allocation").c_str());
    std::memcpy(Stored.data() + static_cast<std::size_t>(index) * static_cast<std::size_t>(ElementSize),
                element, static_cast<std::size_t>(ElementSize));
    return true;
}

bool RecordingVertexBuffer::DrawIndexed(int primitiveType, int vertexCount, int primitiveCount) {
    Log->Add(Name + ".DrawIndexed" + Args({primitiveType, vertexCount, primitiveCount}));
    return AllocatedCount > 0;
}

void* RecordingVertexBuffer::Get(int index) {
    if (index < 0 || index >= AllocatedCount)
        return nullptr;
    std::memcpy(HandedOut.data(), Data() + static_cast<std::size_t>(index) * HandedOut.size(),
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

bool RecordingIndexBuffer::Allocate(int count, int elementSize, int) {
    Freed = false;
    if (RefuseAllocate || count < 0 || elementSize != 2)
        return false;
    ElementSize = elementSize;
    AllocatedCount = count;
    AppendedCount = 0;
    Values.clear();
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
    if (AppendedCount >= AllocatedCount)
        return Breach("Append past the allocation");
    std::uint16_t value = 0;
    std::memcpy(&value, index16, sizeof value);
    Values.push_back(value);
    ++AppendedCount;
    return true;
}

std::uint16_t RecordingIndexBuffer::Get(int position) {
    if (position >= 0 && position < AppendedCount)
        return Values[static_cast<std::size_t>(position)];
    Breach(("Get" + Args({position}) + " outside what was appended").c_str());
    return 0;
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

bool RecordingRenderer::BeginScene(int) {
    Log->Add("BeginScene");
    return true;
}

bool RecordingRenderer::EndScene(int) {
    Log->Add("EndScene");
    ++FrameCount;
    return true;
}

std::uint32_t RecordingRenderer::LoadTexture(const char* fileName) {
    TexturesRequested.emplace_back(fileName ? fileName : "");
    return NextTexture;
}

bool RecordingRenderer::SetTexture(std::uint32_t texture, int stage) {
    Log->Add("SetTexture" + Args({texture, stage}));
    return true;
}

bool RecordingRenderer::CreateVertexBuffer(VertexBuffer** out) {
    if (MakeNoBuffers)
        return false;
    auto* buffer = new RecordingVertexBuffer(Log, static_cast<int>(VertexBuffers.size()) + 1);
    buffer->RefuseAllocate = RefuseAllocate;
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
    std::replace(IndexBuffers.begin(), IndexBuffers.end(), buffer,
                 static_cast<RecordingIndexBuffer*>(nullptr));
    IndexBuffers.push_back(buffer);
    *out = buffer;
    return true;
}

bool RecordingRenderer::SetCamera(float tx, float ty, float tz, float yaw, float pitch, float roll) {
    Cameras.push_back({tx, ty, tz, yaw, pitch, roll});
    return true;
}

RecordingVertexBuffer* RecordingRenderer::LastVertexBuffer(std::uint32_t formatCode) const {
    for (auto it = VertexBuffers.rbegin(); it != VertexBuffers.rend(); ++it)
        if (IsAlive(*it) && (*it)->FormatCode == formatCode)
            return *it;
    return nullptr;
}
