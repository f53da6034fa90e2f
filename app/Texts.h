// Filling the texts of the string table (resources/strings.h): their "%s"
// and "%d" placeholders take values in order, as the program's wsprintf-style
// formatting does, without reading a value as a format itself.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace vm {

// Each "%s" or "%d" of the pattern, left to right, becomes the next value; a
// placeholder without a value stays as it is, a value without a placeholder
// is left out. Values are never scanned for placeholders.
std::wstring FillPlaceholders(std::wstring_view pattern,
                              std::initializer_list<std::wstring_view> values);

}  // namespace vm
