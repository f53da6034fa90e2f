// The byte type every binary form travels in (SIDs, ACLs, self-relative
// security descriptors, file contents). In a header of its own so that the
// descriptor model can use it without the platform interface.
#pragma once

#include <cstdint>
#include <vector>

namespace vm {

using Bytes = std::vector<uint8_t>;

}  // namespace vm
