// The three tests that turn two masks into a level, in their order.
#include <gtest/gtest.h>

#include "security/AccessEvaluation.h"

namespace vm {
namespace {

TEST(AccessLevelFromMasks, TestsInTheirOrder) {
    struct Case {
        uint32_t allow;
        uint32_t deny;
        AccessLevel expected;
    };
    const Case cases[] = {
        {0, 0, AccessLevel::kDenied},               // empty DACL
        {0x10000000, 0, AccessLevel::kDenied},      // GENERIC_ALL is not mapped
        {kFullUseMask, 0x1, AccessLevel::kDenied},  // read data denied
        {0x1200A9, 0, AccessLevel::kReadOnly},      // read and execute
        {kFullUseMask & ~0x100u, 0, AccessLevel::kReadOnly},
        {kFullUseMask, 0, AccessLevel::kAllowed},
        {kFullUseMask | 0x10000, 0x2, AccessLevel::kAllowed},  // other deny bits do not count
        {0x1F01FF, 0xFFFFFFFE, AccessLevel::kAllowed},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AccessLevelFromMasks(c.allow, c.deny), c.expected)
            << std::hex << c.allow << " / " << c.deny;
    }
}

}  // namespace
}  // namespace vm
