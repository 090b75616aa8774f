#include "support/RecordingRenderer.h"

#include <gtest/gtest.h>

void ReportContractBreach(const std::string& what) {
    ADD_FAILURE() << "host contract: " << what;
}
