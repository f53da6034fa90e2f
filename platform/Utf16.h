// UTF-16 text in file formats and platform buffers. std::wstring holds UTF-16
// on Windows (16-bit wchar_t) and UTF-32 on Linux (32-bit wchar_t); these
// helpers convert between a wstring and UTF-16 code units on both, so that
// byte formats come out the same everywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vm {

// Code units of text, with surrogate pairs for characters above U+FFFF.
std::u16string ToUtf16(const std::wstring& text);
// Text from code units; unpaired surrogates are kept as they are.
std::wstring FromUtf16(std::u16string_view units);

// Writes text as UTF-16LE into a fixed field of fieldUnits code units: the
// text, a NUL unit, then zeros. Longer text is cut so that the last unit of
// the field is the NUL (a surrogate pair is never split). out must have room
// for fieldUnits * 2 bytes.
void WriteFixedUtf16Field(std::span<uint8_t> out, size_t fieldUnits, const std::wstring& text);
// Reads a UTF-16LE field of at most fieldUnits units up to its first NUL.
std::wstring ReadFixedUtf16Field(std::span<const uint8_t> in, size_t fieldUnits);

// The whole text as UTF-16LE bytes (no terminator) and back. An odd byte
// count drops the last byte.
std::vector<uint8_t> ToUtf16LeBytes(const std::wstring& text);
std::wstring FromUtf16LeBytes(std::span<const uint8_t> bytes);

// UTF-8 conversions for logs, test names and file names on Linux.
std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(std::string_view text);

}  // namespace vm
