#include "support/RecordingRenderer.h"

#include <cstdio>
#include <cstdlib>

void ReportContractBreach(const std::string& what) {
    std::fprintf(stderr, "host contract: %s\n", what.c_str());
    std::abort();
}
