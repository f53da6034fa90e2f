// libFuzzer entry for the self-relative descriptor reader.
#include <cstdio>
#include <cstdlib>

#include "fuzz/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string problem = vm::fuzz::CheckDescriptorBytes({data, size});
    if (!problem.empty()) {
        std::fprintf(stderr, "descriptor reader: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
