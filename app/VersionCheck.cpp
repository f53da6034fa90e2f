#include "app/VersionCheck.h"

#include <climits>
#include <vector>

#include "app/Texts.h"
#include "files/ProfileFile.h"

namespace vm {
namespace {

constexpr const wchar_t* kVersionSection = L"VER";
constexpr size_t kNewBufferChars = 260;
constexpr size_t kInfoBufferChars = 1040;
constexpr size_t kComparedComponents = 4;

std::vector<std::wstring> SplitAtDots(const std::wstring& text) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    while (true) {
        size_t dot = text.find(L'.', start);
        parts.push_back(text.substr(start, dot == std::wstring::npos ? dot : dot - start));
        if (dot == std::wstring::npos)
            return parts;
        start = dot + 1;
    }
}

int Component(const std::vector<std::wstring>& parts, size_t index) {
    return index < parts.size() ? CLibraryToInt(parts[index]) : 0;
}

}  // namespace

UpdateInfo ReadUpdateInfo(const std::wstring& file) {
    ProfileDocument document = ReadProfileDocument(file);
    UpdateInfo info;
    info.newVersion = ProfileString(document, kVersionSection, L"New", L"1", kNewBufferChars);
    info.notes = NotesWithLineBreaks(
        ProfileString(document, kVersionSection, L"Info", L"", kInfoBufferChars));
    return info;
}

std::wstring NotesWithLineBreaks(const std::wstring& info) {
    std::wstring out;
    for (wchar_t c : info) {
        if (c == L';')
            out += L"\n\r";
        else
            out += c;
    }
    return out;
}

int CLibraryToInt(const std::wstring& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || (text[i] >= L'\t' && text[i] <= L'\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-'))
        negative = text[i++] == L'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;  // strtol-style clamp
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    return static_cast<int>(value);
}

bool IsNewerVersion(const std::wstring& candidate, const std::wstring& own) {
    auto theirs = SplitAtDots(candidate);
    auto ours = SplitAtDots(own);
    for (size_t i = 0; i < kComparedComponents; ++i) {
        int a = Component(theirs, i);
        int b = Component(ours, i);
        if (a != b)
            return a > b;
    }
    return false;
}

std::wstring FormatNewVersionMessage(const UpdateInfo& info) {
    return FillPlaceholders(kNewVersionMessage, {info.newVersion, info.notes});
}

bool DecideOnUpdate(const UpdateInfo& info, Reporter& reporter) {
    if (IsNewerVersion(info.newVersion)) {
        return reporter.Show(FormatNewVersionMessage(info), MessageIcon::kQuestion,
                             MessageButtons::kYesNo) == Answer::kYes;
    }
    reporter.Tell(kNoNewVersionMessage, MessageIcon::kInformation);
    return false;
}

}  // namespace vm
