#include "platform/sim/MachineText.h"

#include <array>
#include <limits>

namespace vm::sim {

namespace {

constexpr wchar_t kEscape = L'^';
constexpr wchar_t kQuote = L'"';

bool IsSeparator(wchar_t c) {
    return c == L' ' || c == L'\t';
}

bool IsControl(wchar_t c) {
    return c < 0x20 || c == 0x7F;
}

int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

wchar_t HexDigit(unsigned value) {
    return L"0123456789abcdef"[value & 0xF];
}

// Reads a quoted field starting at the opening quote; `at` ends after the
// closing quote.
std::optional<std::wstring> ReadQuoted(std::wstring_view line, size_t& at, std::wstring* error) {
    std::wstring text;
    for (++at; at < line.size(); ++at) {
        wchar_t c = line[at];
        if (c == kQuote) {
            ++at;
            return text;
        }
        if (c != kEscape) {
            text.push_back(c);
            continue;
        }
        wchar_t next = at + 1 < line.size() ? line[at + 1] : 0;
        if (next == kEscape || next == kQuote) {
            text.push_back(next);
            ++at;
            continue;
        }
        int high = HexValue(next);
        int low = at + 2 < line.size() ? HexValue(line[at + 2]) : -1;
        if (high < 0 || low < 0) {
            *error = L"a '^' inside quotes must be followed by '^', '\"' or two hex digits";
            return std::nullopt;
        }
        text.push_back(static_cast<wchar_t>(high * 16 + low));
        at += 2;
    }
    *error = L"a quoted field is not closed";
    return std::nullopt;
}

// Days from 1970-01-01 of a civil date (proleptic Gregorian calendar).
int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    int64_t era = (year >= 0 ? year : year - 399) / 400;
    auto yearOfEra = static_cast<unsigned>(year - era * 400);
    unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<int64_t>(dayOfEra) - 719468;
}

struct CivilDate {
    int64_t year;
    unsigned month;
    unsigned day;
};

CivilDate CivilFromDays(int64_t days) {
    days += 719468;
    int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    unsigned shifted = (5 * dayOfYear + 2) / 153;
    unsigned day = dayOfYear - (153 * shifted + 2) / 5 + 1;
    unsigned month = shifted < 10 ? shifted + 3 : shifted - 9;
    int64_t year = static_cast<int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
    return {year, month, day};
}

constexpr uint64_t kTicksPerSecond = 10000000;
constexpr uint64_t kSecondsPerDay = 86400;
// 1601-01-01, the FILETIME epoch, counted from 1970-01-01.
constexpr int64_t kEpochDays = -134774;
constexpr int64_t kLastYear = 9999;

unsigned DaysInMonth(int64_t year, unsigned month) {
    static constexpr std::array<unsigned, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

void AppendDigits(std::wstring& out, uint64_t value, int width) {
    std::wstring digits(static_cast<size_t>(width), L'0');
    for (int i = width - 1; i >= 0; --i, value /= 10)
        digits[static_cast<size_t>(i)] = static_cast<wchar_t>(L'0' + value % 10);
    out += digits;
}

// Digits at text[at, at + width); -1 when any is not a digit.
int64_t Digits(std::wstring_view text, size_t at, size_t width) {
    if (at + width > text.size())
        return -1;
    int64_t value = 0;
    for (size_t i = at; i < at + width; ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return -1;
        value = value * 10 + (text[i] - L'0');
    }
    return value;
}

bool Punctuated(std::wstring_view text) {
    return text.size() >= 20 && text[4] == L'-' && text[7] == L'-' && text[10] == L'T' &&
           text[13] == L':' && text[16] == L':' && text.back() == L'Z';
}

// The fraction ".1234567" between the seconds and the 'Z', as ticks.
std::optional<uint64_t> FractionTicks(std::wstring_view fraction) {
    if (fraction.empty())
        return 0;
    if (fraction[0] != L'.' || fraction.size() < 2 || fraction.size() > 8)
        return std::nullopt;
    int64_t value = Digits(fraction, 1, fraction.size() - 1);
    if (value < 0)
        return std::nullopt;
    auto ticks = static_cast<uint64_t>(value);
    for (size_t digits = fraction.size() - 1; digits < 7; ++digits)
        ticks *= 10;
    return ticks;
}

constexpr std::string_view kBase64Alphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Base64Value(wchar_t c) {
    size_t at = c < 0x80 ? kBase64Alphabet.find(static_cast<char>(c)) : std::string_view::npos;
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

}  // namespace

std::optional<std::vector<std::wstring>> SplitFields(std::wstring_view line, std::wstring* error) {
    std::vector<std::wstring> fields;
    size_t at = 0;
    while (true) {
        while (at < line.size() && IsSeparator(line[at]))
            ++at;
        if (at == line.size() || line[at] == L'#')
            return fields;
        if (line[at] != kQuote) {
            size_t end = at;
            while (end < line.size() && !IsSeparator(line[end]))
                ++end;
            fields.emplace_back(line.substr(at, end - at));
            at = end;
            continue;
        }
        auto quoted = ReadQuoted(line, at, error);
        if (!quoted)
            return std::nullopt;
        if (at < line.size() && !IsSeparator(line[at])) {
            *error = L"a closing quote must be followed by a space or the end of the line";
            return std::nullopt;
        }
        fields.push_back(std::move(*quoted));
    }
}

std::wstring QuoteField(const std::wstring& text) {
    bool needsQuotes = text.empty() || text[0] == kQuote || text[0] == L'#';
    for (wchar_t c : text)
        needsQuotes = needsQuotes || IsSeparator(c) || IsControl(c) || c == kEscape;
    if (!needsQuotes)
        return text;
    std::wstring out(1, kQuote);
    for (wchar_t c : text) {
        if (c == kEscape || c == kQuote) {
            out += kEscape;
            out += c;
        } else if (IsControl(c)) {
            out += kEscape;
            out += HexDigit(static_cast<unsigned>(c) >> 4);
            out += HexDigit(static_cast<unsigned>(c));
        } else {
            out += c;
        }
    }
    out += kQuote;
    return out;
}

std::wstring FormatFileTime(uint64_t fileTime) {
    uint64_t seconds = fileTime / kTicksPerSecond;
    uint64_t ticks = fileTime % kTicksPerSecond;
    auto days = static_cast<int64_t>(seconds / kSecondsPerDay);
    uint64_t secondOfDay = seconds % kSecondsPerDay;
    CivilDate date = CivilFromDays(days + kEpochDays);
    if (date.year > kLastYear)
        return std::to_wstring(fileTime);
    std::wstring out;
    AppendDigits(out, static_cast<uint64_t>(date.year), 4);
    out += L'-';
    AppendDigits(out, date.month, 2);
    out += L'-';
    AppendDigits(out, date.day, 2);
    out += L'T';
    AppendDigits(out, secondOfDay / 3600, 2);
    out += L':';
    AppendDigits(out, secondOfDay / 60 % 60, 2);
    out += L':';
    AppendDigits(out, secondOfDay % 60, 2);
    if (ticks != 0) {
        out += L'.';
        AppendDigits(out, ticks, 7);
    }
    out += L'Z';
    return out;
}

std::optional<uint64_t> ParseFileTime(std::wstring_view text) {
    if (auto number = ParseDecimal(text))
        return number;
    if (!Punctuated(text))
        return std::nullopt;
    int64_t year = Digits(text, 0, 4);
    int64_t month = Digits(text, 5, 2);
    int64_t day = Digits(text, 8, 2);
    int64_t hour = Digits(text, 11, 2);
    int64_t minute = Digits(text, 14, 2);
    int64_t second = Digits(text, 17, 2);
    auto fraction = FractionTicks(text.substr(19, text.size() - 20));
    if (year < 1601 || month < 1 || month > 12 || day < 1 || hour < 0 || hour > 23 || minute < 0 ||
        minute > 59 || second < 0 || second > 59 || !fraction)
        return std::nullopt;
    if (static_cast<unsigned>(day) > DaysInMonth(year, static_cast<unsigned>(month)))
        return std::nullopt;
    int64_t days =
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kEpochDays;
    auto seconds = static_cast<uint64_t>(days) * kSecondsPerDay +
                   static_cast<uint64_t>(hour * 3600 + minute * 60 + second);
    return seconds * kTicksPerSecond + *fraction;
}

std::wstring FormatHex32(uint32_t value) {
    std::wstring digits;
    do {
        digits.insert(digits.begin(), HexDigit(value));
        value >>= 4;
    } while (value != 0);
    return L"0x" + digits;
}

std::optional<uint32_t> ParseHex32(std::wstring_view text) {
    if (text.size() < 3 || text.size() > 10 || text[0] != L'0' ||
        (text[1] != L'x' && text[1] != L'X'))
        return std::nullopt;
    uint32_t value = 0;
    for (wchar_t c : text.substr(2)) {
        int digit = HexValue(c);
        if (digit < 0)
            return std::nullopt;
        value = value << 4 | static_cast<uint32_t>(digit);
    }
    return value;
}

std::optional<uint64_t> ParseDecimal(std::wstring_view text) {
    if (text.empty())
        return std::nullopt;
    uint64_t value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9')
            return std::nullopt;
        auto digit = static_cast<uint64_t>(c - L'0');
        if (value > (std::numeric_limits<uint64_t>::max() - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

std::wstring EncodeBase64(std::span<const uint8_t> bytes) {
    std::wstring out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        size_t left = bytes.size() - i;
        uint32_t group = static_cast<uint32_t>(bytes[i]) << 16;
        if (left > 1)
            group |= static_cast<uint32_t>(bytes[i + 1]) << 8;
        if (left > 2)
            group |= bytes[i + 2];
        out += static_cast<wchar_t>(kBase64Alphabet[group >> 18 & 63]);
        out += static_cast<wchar_t>(kBase64Alphabet[group >> 12 & 63]);
        out += left > 1 ? static_cast<wchar_t>(kBase64Alphabet[group >> 6 & 63]) : L'=';
        out += left > 2 ? static_cast<wchar_t>(kBase64Alphabet[group & 63]) : L'=';
    }
    return out;
}

std::optional<Bytes> DecodeBase64(std::wstring_view text) {
    if (text.size() % 4 != 0)
        return std::nullopt;
    Bytes out;
    out.reserve(text.size() / 4 * 3);
    for (size_t i = 0; i < text.size(); i += 4) {
        bool last = i + 4 == text.size();
        size_t padding = 0;
        uint32_t group = 0;
        for (size_t k = 0; k < 4; ++k) {
            wchar_t c = text[i + k];
            if (c == L'=' && last && k >= 2) {
                ++padding;
                group <<= 6;
                continue;
            }
            int value = Base64Value(c);
            if (value < 0 || padding > 0)
                return std::nullopt;
            group = group << 6 | static_cast<uint32_t>(value);
        }
        out.push_back(static_cast<uint8_t>(group >> 16));
        if (padding < 2)
            out.push_back(static_cast<uint8_t>(group >> 8));
        if (padding < 1)
            out.push_back(static_cast<uint8_t>(group));
    }
    return out;
}

}  // namespace vm::sim
