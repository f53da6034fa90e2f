#include "platform/ExtendedPath.h"

#include <string_view>

namespace vm {
namespace {

bool IsDriveLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

// Every component between backslashes is a real name: not empty, not "."
// and not "..". The text may end with one backslash (a root).
bool HasOnlyPlainComponents(std::wstring_view rest) {
    if (rest.find(L'/') != std::wstring_view::npos)
        return false;
    size_t start = 0;
    while (start < rest.size()) {
        size_t end = rest.find(L'\\', start);
        if (end == std::wstring_view::npos)
            end = rest.size();
        std::wstring_view part = rest.substr(start, end - start);
        if (part.empty() || part == L"." || part == L"..")
            return false;
        start = end + 1;
    }
    return true;
}

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::wstring ToExtendedPath(const std::wstring& path) {
    std::wstring_view view = path;
    if (StartsWith(view, L"\\\\?\\") || StartsWith(view, L"\\\\.\\"))
        return path;
    // "C:\" and below.
    if (view.size() >= 3 && IsDriveLetter(view[0]) && view[1] == L':' && view[2] == L'\\') {
        std::wstring_view rest = view.substr(3);
        return HasOnlyPlainComponents(rest) ? kExtendedPrefix + path : path;
    }
    // "\\server\share" and below: server and share are required.
    if (StartsWith(view, L"\\\\")) {
        std::wstring_view rest = view.substr(2);
        size_t firstSlash = rest.find(L'\\');
        bool hasShare = firstSlash != std::wstring_view::npos && firstSlash + 1 < rest.size();
        if (hasShare && HasOnlyPlainComponents(rest))
            return kExtendedUncPrefix + std::wstring(rest);
    }
    return path;
}

std::wstring FromExtendedPath(const std::wstring& path) {
    std::wstring_view view = path;
    if (StartsWith(view, kExtendedUncPrefix))
        return L"\\\\" + std::wstring(view.substr(std::wstring_view(kExtendedUncPrefix).size()));
    if (StartsWith(view, kExtendedPrefix))
        return std::wstring(view.substr(std::wstring_view(kExtendedPrefix).size()));
    return path;
}

}  // namespace vm
