#include "support/RecordingRenderer.h"

#include <gtest/gtest.h>

namespace {
void ReportContractBreach(const std::string& what) {
    ADD_FAILURE() << "host contract: " << what;
}
} // namespace

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

bool RecordingVertexBuffer::DrawIndexed(int type, int vertices, int primitives) {
    Log->Add(Name + ".DrawIndexed(" + std::to_string(type) + "," + std::to_string(vertices) + "," +
             std::to_string(primitives) + ")");
    return MemoryVertexBuffer::DrawIndexed(type, vertices, primitives);
}

bool RecordingRenderer::Breach(const char* operation) {
    ReportContractBreach(std::string("Renderer::") + operation + " is outside the contract");
    return false;
}

bool RecordingRenderer::SetTexture(std::uint32_t texture, int stage) {
    Log->Add("SetTexture(" + std::to_string(texture) + "," + std::to_string(stage) + ")");
    return true;
}
