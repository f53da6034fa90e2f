#include "files/ProfileFile.h"

#include "platform/TextCase.h"

#include <algorithm>

#include "files/FileIo.h"
#include "platform/Utf16.h"

namespace vm {
namespace {

// GetPrivateProfileIntW reads the value into a buffer of 30 characters.
constexpr size_t kIntBufferChars = 30;

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f';
}

std::wstring Trim(std::wstring_view text) {
    size_t first = 0;
    while (first < text.size() && IsBlank(text[first]))
        ++first;
    size_t last = text.size();
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return std::wstring(text.substr(first, last - first));
}

// "[name]" gives name (text up to ']' or the end of the line, trimmed).
std::optional<std::wstring> SectionName(const std::wstring& line) {
    std::wstring trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() != L'[')
        return std::nullopt;
    size_t close = trimmed.find(L']');
    return Trim(std::wstring_view(trimmed).substr(
        1, close == std::wstring::npos ? std::wstring::npos : close - 1));
}

struct KeyLine {
    std::wstring key;
    std::wstring value;
};

std::optional<KeyLine> ParseKeyLine(const std::wstring& line) {
    std::wstring trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == L';' || trimmed.front() == L'[')
        return std::nullopt;
    size_t equals = trimmed.find(L'=');
    if (equals == std::wstring::npos)
        return std::nullopt;
    return KeyLine{Trim(std::wstring_view(trimmed).substr(0, equals)),
                   Trim(std::wstring_view(trimmed).substr(equals + 1))};
}

// One pair of matching quotes around a value is dropped, as Windows does.
std::wstring Unquote(const std::wstring& value) {
    if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// At most maxUnits UTF-16 units of text, never half of a surrogate pair.
std::wstring CutToUnits(const std::wstring& text, size_t maxUnits) {
    std::u16string units = ToUtf16(text);
    if (units.size() <= maxUnits)
        return text;
    size_t keep = maxUnits;
    if (keep > 0 && units[keep - 1] >= 0xD800 && units[keep - 1] <= 0xDBFF)
        --keep;
    return FromUtf16(std::u16string_view(units).substr(0, keep));
}

bool IsValidUtf8(std::span<const uint8_t> bytes) {
    for (size_t i = 0; i < bytes.size();) {
        uint8_t lead = bytes[i];
        size_t length = lead < 0x80         ? 1
                        : (lead >> 5) == 6  ? 2
                        : (lead >> 4) == 14 ? 3
                        : (lead >> 3) == 30 ? 4
                                            : 0;
        if (length == 0 || i + length > bytes.size())
            return false;
        for (size_t k = 1; k < length; ++k) {
            if ((bytes[i + k] & 0xC0) != 0x80)
                return false;
        }
        i += length;
    }
    return true;
}

std::wstring DecodeText(std::span<const uint8_t> bytes) {
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
        return FromUtf16LeBytes(bytes.subspan(2));
    if (bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
        std::u16string units;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            units.push_back(static_cast<char16_t>((bytes[i] << 8) | bytes[i + 1]));
        return FromUtf16(units);
    }
    if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF)
        bytes = bytes.subspan(3);
    if (IsValidUtf8(bytes))
        return FromUtf8(
            std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    // An ANSI file: read its bytes as Latin-1 rather than losing them.
    return std::wstring(bytes.begin(), bytes.end());
}

std::vector<std::wstring> SplitLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

}  // namespace

ProfileDocument ProfileDocument::Parse(std::span<const uint8_t> bytes) {
    ProfileDocument document;
    document.lines_ = SplitLines(DecodeText(bytes));
    return document;
}

std::vector<uint8_t> ProfileDocument::Serialize() const {
    std::wstring text;
    for (const std::wstring& line : lines_) {
        text += line;
        text += L"\r\n";
    }
    std::vector<uint8_t> bytes{0xFF, 0xFE};
    std::vector<uint8_t> body = ToUtf16LeBytes(text);
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

std::optional<ProfileDocument::SectionSpan> ProfileDocument::FindSection(
    const std::wstring& section) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
        auto name = SectionName(lines_[i]);
        if (!name || !EqualsIgnoringCase(*name, section))
            continue;
        size_t end = i + 1;
        while (end < lines_.size() && !SectionName(lines_[end]))
            ++end;
        return SectionSpan{i, end};
    }
    return std::nullopt;
}

std::optional<size_t> ProfileDocument::FindKeyLine(const SectionSpan& span,
                                                   const std::wstring& key) const {
    for (size_t i = span.header + 1; i < span.end; ++i) {
        auto parsed = ParseKeyLine(lines_[i]);
        if (parsed && EqualsIgnoringCase(parsed->key, key))
            return i;
    }
    return std::nullopt;
}

std::optional<std::wstring> ProfileDocument::Find(const std::wstring& section,
                                                  const std::wstring& key) const {
    auto span = FindSection(section);
    if (!span)
        return std::nullopt;
    auto line = FindKeyLine(*span, Trim(key));
    if (!line)
        return std::nullopt;
    return Unquote(ParseKeyLine(lines_[*line])->value);
}

void ProfileDocument::Set(const std::wstring& section, const std::wstring& key,
                          const std::wstring& value) {
    std::wstring trimmedKey = Trim(key);
    auto span = FindSection(section);
    if (!span) {
        if (!lines_.empty() && !Trim(lines_.back()).empty())
            lines_.push_back(L"");
        lines_.push_back(L"[" + section + L"]");
        lines_.push_back(trimmedKey + L"=" + value);
        return;
    }
    if (auto line = FindKeyLine(*span, trimmedKey)) {
        // The key keeps the spelling it has in the file.
        lines_[*line] = ParseKeyLine(lines_[*line])->key + L"=" + value;
        return;
    }
    size_t insertAt = span->end;
    while (insertAt > span->header + 1 && Trim(lines_[insertAt - 1]).empty())
        --insertAt;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                  trimmedKey + L"=" + value);
}

void ProfileDocument::RemoveKey(const std::wstring& section, const std::wstring& key) {
    auto span = FindSection(section);
    if (!span)
        return;
    if (auto line = FindKeyLine(*span, Trim(key)))
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*line));
}

void ProfileDocument::RemoveSection(const std::wstring& section) {
    auto span = FindSection(section);
    if (!span)
        return;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(span->header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(span->end));
}

ProfileDocument ReadProfileDocument(const std::wstring& file) {
    auto bytes = ReadWholeFile(file);
    if (!bytes)
        return {};
    return ProfileDocument::Parse(*bytes);
}

Status WriteProfileDocument(const ProfileDocument& document, const std::wstring& file) {
    return WriteFileReplacing(file, document.Serialize());
}

std::wstring ProfileString(const ProfileDocument& document, const std::wstring& section,
                           const std::wstring& key, const std::wstring& defaultValue,
                           size_t bufferChars) {
    if (bufferChars == 0)
        return {};
    auto value = document.Find(section, key);
    if (!value) {
        // Windows drops the trailing blanks of the default.
        std::wstring fallback = defaultValue;
        while (!fallback.empty() && fallback.back() == L' ')
            fallback.pop_back();
        return CutToUnits(fallback, bufferChars - 1);
    }
    return CutToUnits(*value, bufferChars - 1);
}

int ProfileInt(const ProfileDocument& document, const std::wstring& section,
               const std::wstring& key, int defaultValue) {
    std::wstring text = ProfileString(document, section, key, L"", kIntBufferChars);
    if (text.empty())
        return defaultValue;
    return ProfileTextToInt(text);
}

int ProfileTextToInt(const std::wstring& text) {
    size_t i = 0;
    while (i < text.size() && text[i] <= L' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    uint32_t base = 10;
    if (i + 1 < text.size() && text[i] == L'0') {
        wchar_t prefix = text[i + 1];
        base = prefix == L'x' ? 16 : prefix == L'o' ? 8 : prefix == L'b' ? 2 : 10;
        if (base != 10)
            i += 2;
    }
    uint32_t value = 0;
    for (; i < text.size(); ++i) {
        wchar_t c = text[i];
        uint32_t digit = (c >= L'0' && c <= L'9')   ? static_cast<uint32_t>(c - L'0')
                         : (c >= L'a' && c <= L'f') ? static_cast<uint32_t>(c - L'a' + 10)
                         : (c >= L'A' && c <= L'F') ? static_cast<uint32_t>(c - L'A' + 10)
                                                    : 99;
        if (digit >= base)
            break;
        value = value * base + digit;  // wraps like the ULONG it is read into
    }
    return static_cast<int>(negative ? 0u - value : value);
}

std::wstring GetProfileString(const std::wstring& section, const std::wstring& key,
                              const std::wstring& defaultValue, size_t bufferChars,
                              const std::wstring& file) {
    return ProfileString(ReadProfileDocument(file), section, key, defaultValue, bufferChars);
}

int GetProfileInt(const std::wstring& section, const std::wstring& key, int defaultValue,
                  const std::wstring& file) {
    return ProfileInt(ReadProfileDocument(file), section, key, defaultValue);
}

Status WriteProfileString(const std::wstring& section, const std::wstring& key,
                          const std::wstring& value, const std::wstring& file) {
    auto bytes = ReadWholeFile(file);
    if (!bytes && FileExists(file))
        return Status::Fail(err::kAccessDenied);  // never replace what could not be read
    ProfileDocument document = bytes ? ProfileDocument::Parse(*bytes) : ProfileDocument{};
    document.Set(section, key, value);
    return WriteProfileDocument(document, file);
}

}  // namespace vm
