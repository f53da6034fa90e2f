#include "platform/Utf16.h"

#include <algorithm>

namespace vm {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void AppendUtf16(std::u16string& out, char32_t code) {
    if (code > 0xFFFF && code <= 0x10FFFF) {
        code -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else if (code > 0x10FFFF) {
        out.push_back(static_cast<char16_t>(kReplacement));
    } else {
        out.push_back(static_cast<char16_t>(code));
    }
}

// Code points of a wstring, whatever the width of wchar_t.
template <class Visit>
void ForEachCodePoint(const std::wstring& text, Visit visit) {
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t unit = static_cast<char32_t>(text[i]);
        if constexpr (sizeof(wchar_t) == 2) {
            if (IsHighSurrogate(unit) && i + 1 < text.size() &&
                IsLowSurrogate(static_cast<char32_t>(text[i + 1]))) {
                char32_t low = static_cast<char32_t>(text[++i]);
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            }
        }
        visit(unit);
    }
}

void AppendCodePoint(std::wstring& out, char32_t code) {
    if constexpr (sizeof(wchar_t) == 2) {
        std::u16string units;
        AppendUtf16(units, code);
        for (char16_t unit : units)
            out.push_back(static_cast<wchar_t>(unit));
    } else {
        out.push_back(static_cast<wchar_t>(code));
    }
}

}  // namespace

std::u16string ToUtf16(const std::wstring& text) {
    std::u16string out;
    out.reserve(text.size());
    ForEachCodePoint(text, [&](char32_t code) { AppendUtf16(out, code); });
    return out;
}

std::wstring FromUtf16(std::u16string_view units) {
    std::wstring out;
    out.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        char32_t unit = units[i];
        if (IsHighSurrogate(unit) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
            char32_t low = units[++i];
            AppendCodePoint(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        } else {
            AppendCodePoint(out, unit);
        }
    }
    return out;
}

void WriteFixedUtf16Field(std::span<uint8_t> out, size_t fieldUnits, const std::wstring& text) {
    if (fieldUnits == 0 || out.size() < fieldUnits * 2)
        return;
    std::u16string units = ToUtf16(text);
    size_t keep = std::min(units.size(), fieldUnits - 1);
    // Never leave half of a surrogate pair at the cut.
    if (keep > 0 && keep < units.size() && IsHighSurrogate(units[keep - 1]))
        --keep;
    for (size_t i = 0; i < fieldUnits; ++i) {
        char16_t unit = i < keep ? units[i] : 0;
        out[2 * i] = static_cast<uint8_t>(unit & 0xFF);
        out[2 * i + 1] = static_cast<uint8_t>(unit >> 8);
    }
}

std::wstring ReadFixedUtf16Field(std::span<const uint8_t> in, size_t fieldUnits) {
    std::u16string units;
    size_t available = std::min(fieldUnits, in.size() / 2);
    for (size_t i = 0; i < available; ++i) {
        char16_t unit = static_cast<char16_t>(in[2 * i] | (in[2 * i + 1] << 8));
        if (unit == 0)
            break;
        units.push_back(unit);
    }
    return FromUtf16(units);
}

std::vector<uint8_t> ToUtf16LeBytes(const std::wstring& text) {
    std::vector<uint8_t> out;
    for (char16_t unit : ToUtf16(text)) {
        out.push_back(static_cast<uint8_t>(unit & 0xFF));
        out.push_back(static_cast<uint8_t>(unit >> 8));
    }
    return out;
}

std::wstring FromUtf16LeBytes(std::span<const uint8_t> bytes) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        units.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    }
    return FromUtf16(units);
}

std::string ToUtf8(const std::wstring& text) {
    std::string out;
    ForEachCodePoint(text, [&](char32_t code) {
        if (code < 0x80) {
            out.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (code >> 6)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (code >> 12)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (code >> 18)));
            out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    });
    return out;
}

std::wstring FromUtf8(std::string_view text) {
    std::wstring out;
    for (size_t i = 0; i < text.size();) {
        auto byte = static_cast<unsigned char>(text[i]);
        size_t length = byte < 0x80         ? 1
                        : (byte >> 5) == 6  ? 2
                        : (byte >> 4) == 14 ? 3
                        : (byte >> 3) == 30 ? 4
                                            : 0;
        if (length == 0 || i + length > text.size()) {
            AppendCodePoint(out, kReplacement);
            ++i;
            continue;
        }
        char32_t code = length == 1 ? byte : byte & (0x7F >> length);
        bool valid = true;
        for (size_t k = 1; k < length; ++k) {
            auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                valid = false;
            code = (code << 6) | (next & 0x3F);
        }
        AppendCodePoint(out, valid ? code : kReplacement);
        i += valid ? length : 1;
    }
    return out;
}

}  // namespace vm
