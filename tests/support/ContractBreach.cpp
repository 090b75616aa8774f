#include "support/RecordingRenderer.h"

#include <gtest/gtest.h>

void ContractBreach(const std::string& what) {
    ADD_FAILURE() << "host contract: " << what;
}
