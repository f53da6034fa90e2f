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

UpdateInfo InfoOf(const ProfileDocument& document) {
    UpdateInfo info;
    info.newVersion = ProfileString(document, kVersionSection, L"New", L"1", kNewBufferChars);
    info.notes = NotesWithLineBreaks(
        ProfileString(document, kVersionSection, L"Info", L"", kInfoBufferChars));
    return info;
}

// The system's text of an error without its closing full stop and line
// break, or the code when the system has no text for it.
std::wstring ErrorPart(const UpdateDownload& download) {
    std::wstring text = download.errorText;
    while (!text.empty() && (text.back() == L'.' || text.back() == L' ' || text.back() == L'\r' ||
                             text.back() == L'\n'))
        text.pop_back();
    if (text.empty())
        text = FillPlaceholders(L"" STR_UPDATE_ERROR_CODE, {std::to_wstring(download.error)});
    return text;
}

std::wstring StatusPart(const UpdateDownload& download) {
    std::wstring status = std::to_wstring(download.httpStatus);
    if (!download.statusText.empty())
        status += L" " + download.statusText;
    return status;
}

UpdateOutcome Failed(std::wstring why) {
    UpdateOutcome outcome;
    outcome.kind = UpdateOutcome::Kind::kFailed;
    outcome.why = std::move(why);
    return outcome;
}

constexpr int kHttpOk = 200;

}  // namespace

UpdateInfo ReadUpdateInfo(const std::wstring& file) {
    return InfoOf(ReadProfileDocument(file));
}

std::optional<UpdateInfo> ParseUpdateInfo(std::span<const uint8_t> bytes) {
    const ProfileDocument document = ProfileDocument::Parse(bytes);
    if (!document.Find(kVersionSection, L"New"))
        return std::nullopt;
    return InfoOf(document);
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

UpdateOutcome EvaluateUpdateDownload(const UpdateDownload& download) {
    using Step = UpdateDownload::Step;
    switch (download.step) {
        case Step::kOpenSession:
            return Failed(FillPlaceholders(L"" STR_UPDATE_NO_SESSION, {ErrorPart(download)}));
        case Step::kOpenUrl:
            return Failed(FillPlaceholders(L"" STR_UPDATE_NOT_REACHED, {ErrorPart(download)}));
        case Step::kRead:
            return Failed(FillPlaceholders(L"" STR_UPDATE_BROKE_OFF, {ErrorPart(download)}));
        case Step::kTooLarge:
            return Failed(L"" STR_UPDATE_TOO_LARGE);
        case Step::kDone:
            break;
    }
    if (download.httpStatus != 0 && download.httpStatus != kHttpOk)
        return Failed(FillPlaceholders(L"" STR_UPDATE_HTTP_STATUS, {StatusPart(download)}));
    const std::optional<UpdateInfo> info = ParseUpdateInfo(download.body);
    if (!info)
        return Failed(L"" STR_UPDATE_NOT_VERSION_FILE);
    UpdateOutcome outcome;
    outcome.kind = IsNewerVersion(info->newVersion) ? UpdateOutcome::Kind::kNewer
                                                    : UpdateOutcome::Kind::kNotNewer;
    outcome.info = *info;
    return outcome;
}

std::wstring UpdateFailedMessage(const std::wstring& why) {
    return FillPlaceholders(L"" STR_UPDATE_CHECK_FAILED, {why});
}

bool TellUpdateOutcome(const UpdateOutcome& outcome, Reporter& reporter) {
    if (outcome.kind == UpdateOutcome::Kind::kFailed) {
        reporter.Tell(UpdateFailedMessage(outcome.why), MessageIcon::kError);
        return false;
    }
    return DecideOnUpdate(outcome.info, reporter);
}

}  // namespace vm
