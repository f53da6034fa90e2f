#include "security/Sid.h"

#include <cwctype>

namespace vm {

Sid::Sid(uint64_t authority, std::vector<uint32_t> subAuthorities)
    : authority_(authority & 0xFFFFFFFFFFFFull), subAuthorities_(std::move(subAuthorities)) {
    if (subAuthorities_.size() > kMaxSubAuthorities)
        subAuthorities_.resize(kMaxSubAuthorities);
}

std::optional<Sid> Sid::Parse(std::span<const uint8_t> bytes, size_t* consumed) {
    if (bytes.size() < 8 || bytes[0] != kRevision)
        return std::nullopt;
    size_t count = bytes[1];
    if (count > kMaxSubAuthorities)
        return std::nullopt;
    size_t length = 8 + 4 * count;
    if (bytes.size() < length)
        return std::nullopt;
    uint64_t authority = 0;
    for (size_t i = 2; i < 8; ++i)
        authority = (authority << 8) | bytes[i];
    std::vector<uint32_t> subs;
    subs.reserve(count);
    for (size_t i = 0; i < count; ++i)
        subs.push_back(ReadLe32(bytes, 8 + 4 * i));
    if (consumed)
        *consumed = length;
    return Sid(authority, std::move(subs));
}

namespace {

// Parses an unsigned decimal or 0x-hex number that must fit in max.
std::optional<uint64_t> ParseNumber(const std::wstring& text, uint64_t max) {
    if (text.empty())
        return std::nullopt;
    int base = 10;
    size_t start = 0;
    if (text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) {
        base = 16;
        start = 2;
    }
    uint64_t value = 0;
    for (size_t i = start; i < text.size(); ++i) {
        wchar_t c = text[i];
        unsigned digit;
        if (c >= L'0' && c <= L'9') {
            digit = static_cast<unsigned>(c - L'0');
        } else if (base == 16 && std::iswxdigit(static_cast<wint_t>(c))) {
            digit = static_cast<unsigned>(std::towlower(static_cast<wint_t>(c)) - L'a' + 10);
        } else {
            return std::nullopt;
        }
        if (value > (max - digit) / static_cast<unsigned>(base))
            return std::nullopt;
        value = value * static_cast<unsigned>(base) + digit;
    }
    return value;
}

}  // namespace

std::optional<Sid> Sid::FromString(const std::wstring& text) {
    if (text.size() < 4 || (text[0] != L'S' && text[0] != L's') || text[1] != L'-') {
        return std::nullopt;
    }
    std::vector<std::wstring> parts;
    size_t start = 2;
    while (true) {
        size_t dash = text.find(L'-', start);
        parts.push_back(text.substr(start, dash == std::wstring::npos ? dash : dash - start));
        if (dash == std::wstring::npos)
            break;
        start = dash + 1;
    }
    // Revision, authority, then 0 to 15 sub-authorities.
    if (parts.size() < 2 || parts.size() > 2 + kMaxSubAuthorities || parts[0] != L"1") {
        return std::nullopt;
    }
    auto authority = ParseNumber(parts[1], 0xFFFFFFFFFFFFull);
    if (!authority)
        return std::nullopt;
    std::vector<uint32_t> subs;
    for (size_t i = 2; i < parts.size(); ++i) {
        auto sub = ParseNumber(parts[i], 0xFFFFFFFFull);
        if (!sub)
            return std::nullopt;
        subs.push_back(static_cast<uint32_t>(*sub));
    }
    return Sid(*authority, std::move(subs));
}

void Sid::AppendTo(Bytes& out) const {
    out.push_back(kRevision);
    out.push_back(static_cast<uint8_t>(subAuthorities_.size()));
    for (int shift = 40; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(authority_ >> shift));
    }
    for (uint32_t sub : subAuthorities_)
        AppendLe32(out, sub);
}

Bytes Sid::ToBytes() const {
    Bytes out;
    out.reserve(length());
    AppendTo(out);
    return out;
}

std::wstring Sid::ToString() const {
    std::wstring text = L"S-1-";
    if (authority_ < 0x100000000ull) {
        text += std::to_wstring(authority_);
    } else {
        // ConvertSidToStringSidW writes large authorities in hex.
        wchar_t buffer[20];
        swprintf(buffer, 20, L"0x%012llX", static_cast<unsigned long long>(authority_));
        text += buffer;
    }
    for (uint32_t sub : subAuthorities_)
        text += L"-" + std::to_wstring(sub);
    return text;
}

namespace sids {
Sid Everyone() {
    return Sid(1, {0});
}
Sid CreatorOwner() {
    return Sid(3, {0});
}
Sid System() {
    return Sid(5, {18});
}
Sid AuthenticatedUsers() {
    return Sid(5, {11});
}
Sid Administrators() {
    return Sid(5, {32, 544});
}
Sid Users() {
    return Sid(5, {32, 545});
}
Sid TrustedInstaller() {
    return Sid(5, {80, 956008885u, 3418522649u, 1831038044u, 1853292631u, 2271478464u});
}
}  // namespace sids

}  // namespace vm
