// The text of a Windows error code as the system's FormatMessageW gives it
// for the codes the seam reports (winerror.h), for platforms that have no
// message table of their own; any other code reads "Error <n>.".
#pragma once

#include <cstdint>
#include <string>

namespace vm {

std::wstring DescribeError(uint32_t code);

}  // namespace vm
