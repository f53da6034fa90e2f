// The lexical layer of machine description files: fields of a line, the
// quoting rule, times, numbers and base64. Nothing here knows the statements.
//
// Fields are separated by spaces or tabs. A field that holds a space, a tab,
// a control character, a '^', is empty, or starts with '"' or '#' is written
// in double quotes; inside the quotes '^' escapes: "^^" is '^', "^"" is '"',
// and '^' with two hex digits is that character (U+0000 to U+00FF), which is
// how control characters are written. Backslashes are plain characters, so
// Windows paths read as they are. A '#' that starts a field outside quotes
// begins a comment running to the end of the line.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace vm::sim {

// The fields of one line (no line break in it); nullopt with a message in
// error when a quote is left open, an escape is bad or a closing quote is
// followed by something other than a separator.
std::optional<std::vector<std::wstring>> SplitFields(std::wstring_view line, std::wstring* error);

// The text as one field: unchanged when it needs no quotes.
std::wstring QuoteField(const std::wstring& text);

// FILETIME (100 ns units since 1601-01-01 UTC) as "2023-09-14T08:31:07Z",
// with seven fraction digits ("...07.1234567Z") when it is not a whole second.
std::wstring FormatFileTime(uint64_t fileTime);
// The same form back; a plain decimal FILETIME number is read as well.
std::optional<uint64_t> ParseFileTime(std::wstring_view text);

// "0x" and lower-case hex digits, and back ("0x..." only, at most 8 digits).
std::wstring FormatHex32(uint32_t value);
std::optional<uint32_t> ParseHex32(std::wstring_view text);
// Decimal digits only, no sign, no overflow.
std::optional<uint64_t> ParseDecimal(std::wstring_view text);

// Standard base64 (RFC 4648) with padding.
std::wstring EncodeBase64(std::span<const uint8_t> bytes);
// Every character must belong to the alphabet, the length must be a multiple
// of four and padding may only end the text.
std::optional<Bytes> DecodeBase64(std::wstring_view text);

}  // namespace vm::sim
