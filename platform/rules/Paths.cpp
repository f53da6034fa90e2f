#include "platform/rules/Paths.h"

namespace vm::rules {

namespace {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

wchar_t FoldChar(wchar_t c) {
    if (c >= L'a' && c <= L'z')
        return static_cast<wchar_t>(c - (L'a' - L'A'));
    // Latin-1 lower-case letters (except the division sign) sit 0x20 above
    // their capitals.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return static_cast<wchar_t>(c - 0x20);
    return c;
}

bool MatchFrom(const std::wstring& pattern, size_t p, const std::wstring& name, size_t n) {
    while (p < pattern.size()) {
        wchar_t c = pattern[p];
        if (c == L'*') {
            for (size_t skip = n; skip <= name.size(); ++skip) {
                if (MatchFrom(pattern, p + 1, name, skip))
                    return true;
            }
            return false;
        }
        if (n >= name.size())
            return false;
        if (c != L'?' && FoldChar(c) != FoldChar(name[n]))
            return false;
        ++p;
        ++n;
    }
    return n == name.size();
}

}  // namespace

std::optional<ParsedPath> ParsePath(const std::wstring& path) {
    if (path.size() < 2 || path[1] != L':')
        return std::nullopt;
    wchar_t drive = FoldChar(path[0]);
    if (drive < L'A' || drive > L'Z')
        return std::nullopt;
    if (path.size() > 2 && !IsSeparator(path[2]))
        return std::nullopt;  // "C:name" is relative to the drive's current folder
    ParsedPath parsed;
    parsed.drive = drive;
    size_t start = 2;
    while (start < path.size()) {
        while (start < path.size() && IsSeparator(path[start]))
            ++start;
        size_t end = start;
        while (end < path.size() && !IsSeparator(path[end]))
            ++end;
        std::wstring part = path.substr(start, end - start);
        if (part == L"..") {
            if (!parsed.components.empty())
                parsed.components.pop_back();
        } else if (!part.empty() && part != L".") {
            parsed.components.push_back(std::move(part));
        }
        start = end;
    }
    return parsed;
}

std::wstring JoinPath(wchar_t drive, const std::vector<std::wstring>& components) {
    std::wstring out{drive, L':'};
    if (components.empty())
        return out + L"\\";
    for (const auto& part : components)
        out += L"\\" + part;
    return out;
}

std::wstring FoldCase(const std::wstring& name) {
    std::wstring folded = name;
    for (auto& c : folded)
        c = FoldChar(c);
    return folded;
}

bool SameName(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldChar(a[i]) != FoldChar(b[i]))
            return false;
    }
    return true;
}

bool MatchesPattern(const std::wstring& pattern, const std::wstring& name) {
    if (pattern == L"*.*" || pattern == L"*")
        return true;
    return MatchFrom(pattern, 0, name, 0);
}

}  // namespace vm::rules
