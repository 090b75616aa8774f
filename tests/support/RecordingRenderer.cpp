#include "support/RecordingRenderer.h"

#include <algorithm>

int CallLog::CountPrefix(const std::string& prefix) const {
    return static_cast<int>(std::count_if(Calls.begin(), Calls.end(),
                                          [&](const std::string& c) { return c.starts_with(prefix); }));
}

ContractBuffer::ContractBuffer(std::shared_ptr<CallLog> log, std::string name, const void* self)
    : Name(std::move(name)), Log(std::move(log)), Self(self) {
    Log->LiveBuffers.insert(Self);
}

ContractBuffer::~ContractBuffer() {
    Log->Add(Name + ".~");
    Log->LiveBuffers.erase(Self);
    if (!Freed)
        ReportContractBreach(Name + " deleted before Free");
}

bool ContractBuffer::Breach(const std::string& operation) const {
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

bool RecordingVertexBuffer::Append(const void* element) {
    if (AllocatedCount == 0)
        return false; // nothing allocated: a host may refuse quietly
    if (Appended >= AllocatedCount)
        return Breach("Append past the allocation");
    std::memcpy(At(Appended++), element, HandedOut.size());
    return true;
}

bool RecordingVertexBuffer::Set(int index, const void* element) {
    if (index < 0 || index >= AllocatedCount)
        return Breach("Set(" + std::to_string(index) + ") outside the allocation");
    std::memcpy(At(index), element, HandedOut.size());
    return true;
}

bool RecordingVertexBuffer::DrawIndexed(int type, int vertices, int primitives) {
    Log->Add(Name + ".DrawIndexed(" + std::to_string(type) + "," + std::to_string(vertices) + "," +
             std::to_string(primitives) + ")");
    return AllocatedCount > 0;
}

void* RecordingVertexBuffer::Get(int index) {
    if (index < 0 || index >= AllocatedCount)
        return nullptr;
    return std::memcpy(HandedOut.data(), At(index), HandedOut.size());
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
    return Breach("Get(" + std::to_string(position) + ") outside what was appended");
}

bool RecordingRenderer::Breach(const char* operation) {
    ReportContractBreach(std::string("Renderer::") + operation + " is outside the contract");
    return false;
}

bool RecordingRenderer::SetTexture(std::uint32_t texture, int stage) {
    Log->Add("SetTexture(" + std::to_string(texture) + "," + std::to_string(stage) + ")");
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

RecordingVertexBuffer* RecordingRenderer::LastVertexBuffer(std::uint32_t formatCode) const {
    for (auto it = VertexBuffers.rbegin(); it != VertexBuffers.rend(); ++it)
        if (IsAlive(*it) && (*it)->FormatCode == formatCode)
            return *it;
    return nullptr;
}
