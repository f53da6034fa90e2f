// Messages that name what a run left out (entries whose accounts are gone,
// folders a propagation could not reach): one line per name, at most as
// many as a failure message lists (app/ItemFailures.h), the rest counted.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vm {

// The pattern's "%s" filled with the names, one per line.
std::wstring NamedListMessage(std::wstring_view pattern, const std::vector<std::wstring>& names);

}  // namespace vm
