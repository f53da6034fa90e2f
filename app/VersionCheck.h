// The decision half of the update check: reading the downloaded version file
// (profile syntax, section "VER") from memory, comparing its version with our
// own, and what the user is told: a newer version, none, or that the check
// could not be made and why. The download itself is Win32 (WinINet,
// app/UpdateCheck.win32.h) and hands over an UpdateDownload.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/Reporter.h"
#include "resources/strings.h"

namespace vm {

inline constexpr const wchar_t* kOwnVersion = L"1.3.0.129";
inline constexpr const wchar_t* kUpdateFileName = L"krvupdate.tmp";
inline constexpr const wchar_t* kUpdateFileUrlPath = L"/software/krv/krvupdate.tmp";
inline constexpr const wchar_t* kDownloadPageUrlPath = L"/software/krv/main.html";
inline constexpr const wchar_t* kUpdateUserAgent = L"RaraDU/1.0";

// String 198; the first %s is the new version, the second the notes.
inline constexpr const wchar_t* kNewVersionMessage = L"" STR_NEW_VERSION;
// String 199.
inline constexpr const wchar_t* kNoNewVersionMessage = L"" STR_NO_NEW_VERSION;

struct UpdateInfo {
    std::wstring newVersion = L"1";  // "New", read into 260 characters
    std::wstring notes;              // "Info", read into 1040 characters, ';' made line breaks
};

// Reads the version file; a missing file or missing keys give the defaults.
UpdateInfo ReadUpdateInfo(const std::wstring& file);
// The version file in a server's answer; nullopt when the answer is not one
// (no "New" in section "VER": an HTML page, an error page, any other file).
std::optional<UpdateInfo> ParseUpdateInfo(std::span<const uint8_t> bytes);

// Every ';' becomes a line feed followed by a carriage return.
std::wstring NotesWithLineBreaks(const std::wstring& info);

// The C library's decimal conversion (_wtoi): blanks, a sign, then leading
// digits; nothing numeric gives 0. Values beyond int are clamped.
int CLibraryToInt(const std::wstring& text);

// Components 0 to 3 split at '.', compared in order; the first difference
// decides. Missing components count as 0.
bool IsNewerVersion(const std::wstring& candidate, const std::wstring& own = kOwnVersion);

// Message 198 with both values put in.
std::wstring FormatNewVersionMessage(const UpdateInfo& info);

// Compares, asks or tells through the reporter; true when the user wants the
// download page opened.
bool DecideOnUpdate(const UpdateInfo& info, Reporter& reporter);

// ---- The download and its outcome ------------------------------------------------

// A version file is a few lines; an answer beyond this is not one, and the
// download stops reading there.
inline constexpr size_t kMaxUpdateFileBytes = 64 * 1024;
// InternetReadFile is asked for at most this many bytes at a time.
inline constexpr size_t kUpdateReadBlockBytes = 1023;

// What fetching the version file gave.
struct UpdateDownload {
    enum class Step {
        kDone,         // the whole answer was read (see httpStatus)
        kOpenSession,  // InternetOpenW failed
        kOpenUrl,      // InternetOpenUrlW failed: no connection, name not found...
        kRead,         // InternetReadFile failed part way
        kTooLarge,     // the answer ran past kMaxUpdateFileBytes
    };
    Step step = Step::kDone;
    uint32_t error = 0;       // the system's error code of the failed step
    std::wstring errorText;   // its text as the system words it (may be empty)
    int httpStatus = 0;       // 0 when the scheme has none (or it could not be read)
    std::wstring statusText;  // "Not Found"
    std::vector<uint8_t> body;
};

struct UpdateOutcome {
    enum class Kind { kNewer, kNotNewer, kFailed };
    Kind kind = Kind::kFailed;
    UpdateInfo info;   // kNewer, kNotNewer
    std::wstring why;  // kFailed: the reason, completing STR_UPDATE_CHECK_FAILED
    bool operator==(const UpdateOutcome& other) const {
        return kind == other.kind && info.newVersion == other.info.newVersion &&
               info.notes == other.info.notes && why == other.why;
    }
};

// A download becomes a result only when the whole answer arrived, with HTTP
// status 200 (or a scheme without one), and holds a version file; anything
// else is a check that could not be made, never "no new version".
UpdateOutcome EvaluateUpdateDownload(const UpdateDownload& download);

// The text a failed check shows.
std::wstring UpdateFailedMessage(const std::wstring& why);

// Tells the user the outcome on the reporter: message 198 (Yes/No, question
// icon), 199 (information icon) or the failure (error icon). True when the
// user asked for the download page.
bool TellUpdateOutcome(const UpdateOutcome& outcome, Reporter& reporter);

}  // namespace vm
