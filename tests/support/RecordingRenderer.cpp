#include "support/RecordingRenderer.h"

bool OutsideContract(const std::string& operation) {
    ContractBreach(operation + " is outside the contract");
    return false;
}

ContractBuffer::ContractBuffer(std::shared_ptr<CallLog> log, std::string name, const void* self)
    : Name(std::move(name)), Log(std::move(log)), Self(self) {
    Log->LiveBuffers.insert(Self);
}

ContractBuffer::~ContractBuffer() {
    Log->Add(Name + ".~");
    Log->LiveBuffers.erase(Self);
    if (!Freed)
        ContractBreach(Name + " deleted before Free");
}
