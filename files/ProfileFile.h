// Profile (INI) files with the semantics of the Win32 profile functions, so
// that the settings file, the bookmark file and the downloaded version file
// behave the same on every host:
// - sections and keys are found without regard to letter case, the first
//   match wins;
// - values lose surrounding blanks and one pair of matching quotes;
// - a read value is cut to the caller's buffer (size - 1 characters, as
//   GetPrivateProfileStringW does);
// - writing replaces the value of an existing key in place, adds a missing
//   key at the end of its section and a missing section at the end of the
//   file, and keeps every other line (comments, unknown keys) as it was.
// Files are read as UTF-16LE when they start with its byte order mark, as
// UTF-8 otherwise (ASCII files are both); they are written as UTF-16LE with a
// byte order mark, which Windows' own profile functions read and keep.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/Result.h"

namespace vm {

class ProfileDocument {
  public:
    static ProfileDocument Parse(std::span<const uint8_t> bytes);
    // UTF-16LE with a byte order mark, lines ended by CR LF.
    std::vector<uint8_t> Serialize() const;

    // The value of key in section, unquoted and trimmed; nullopt when absent.
    std::optional<std::wstring> Find(const std::wstring& section, const std::wstring& key) const;
    void Set(const std::wstring& section, const std::wstring& key, const std::wstring& value);
    void RemoveKey(const std::wstring& section, const std::wstring& key);
    void RemoveSection(const std::wstring& section);

    const std::vector<std::wstring>& lines() const { return lines_; }

  private:
    struct SectionSpan {
        size_t header = 0;  // line of "[name]"
        size_t end = 0;     // one past the section's last line
    };
    std::optional<SectionSpan> FindSection(const std::wstring& section) const;
    std::optional<size_t> FindKeyLine(const SectionSpan& span, const std::wstring& key) const;

    std::vector<std::wstring> lines_;
};

// GetPrivateProfileStringW(section, key, defaultValue, buffer of bufferChars,
// file): the value (or the default, with its trailing blanks removed) cut to
// bufferChars - 1 UTF-16 units; empty when bufferChars is 0.
std::wstring GetProfileString(const std::wstring& section, const std::wstring& key,
                              const std::wstring& defaultValue, size_t bufferChars,
                              const std::wstring& file);

// GetPrivateProfileIntW: the default when the key is missing or its value is
// empty, else the value's leading number (sign, 0x/0o/0b prefixes as
// RtlUnicodeStringToInteger reads them; 0 when there are no digits).
int GetProfileInt(const std::wstring& section, const std::wstring& key, int defaultValue,
                  const std::wstring& file);

// WritePrivateProfileStringW with a value (the file is created when missing).
Status WriteProfileString(const std::wstring& section, const std::wstring& key,
                          const std::wstring& value, const std::wstring& file);

// Several keys of one document written in one replacement of the file.
Status WriteProfileDocument(const ProfileDocument& document, const std::wstring& file);
// The document of a file; an empty document when the file cannot be read.
ProfileDocument ReadProfileDocument(const std::wstring& file);

// Reads a value the way GetPrivateProfileStringW does from a document.
std::wstring ProfileString(const ProfileDocument& document, const std::wstring& section,
                           const std::wstring& key, const std::wstring& defaultValue,
                           size_t bufferChars);
int ProfileInt(const ProfileDocument& document, const std::wstring& section,
               const std::wstring& key, int defaultValue);

// RtlUnicodeStringToInteger with base 0, as GetPrivateProfileIntW applies it.
int ProfileTextToInt(const std::wstring& text);

}  // namespace vm
