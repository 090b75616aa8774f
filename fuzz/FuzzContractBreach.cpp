#include "support/RecordingRenderer.h"

#include <cstdio>
#include <cstdlib>

// A breach of the host contract stops the run, so that libFuzzer keeps the input.
void ContractBreach(const std::string& what) {
    std::fprintf(stderr, "host contract: %s\n", what.c_str());
    std::abort();
}
