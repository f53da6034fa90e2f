// The decision half of the update check: reading the downloaded version file
// (profile syntax, section "VER"), comparing its version with our own and
// the texts of the two answers. The download lives with the update window.
#pragma once

#include <string>

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

}  // namespace vm
