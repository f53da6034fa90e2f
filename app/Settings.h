// The settings block and its file "KRV.ini" (section "STATE") in the
// program's directory. Read once at start-up, written once at exit with all
// seven keys, values as decimal text and the open path unchanged.
#pragma once

#include <string>

#include "platform/Result.h"

namespace vm {

inline constexpr const wchar_t* kSettingsFileName = L"KRV.ini";
inline constexpr const wchar_t* kSettingsSection = L"STATE";

// View modes of the main window.
inline constexpr int kEditMode = 1;
inline constexpr int kBrowseMode = 2;

// GetPrivateProfileStringW buffer of "OPENPATH" (MAX_PATH).
inline constexpr size_t kOpenPathBufferChars = 260;

struct Settings {
    int viewMode = kBrowseMode;
    // The window rectangle in screen pixels.
    int windowLeft = 0;
    int windowTop = 0;
    int windowRight = 0;
    int windowBottom = 0;
    int windowMaximized = 0;
    std::wstring openPath;

    bool operator==(const Settings&) const = default;
};

// The settings of the file; missing file or keys give the defaults above.
Settings LoadSettings(const std::wstring& file);
// Writes all seven keys (other lines of the file stay). A read-only or
// unwritable file keeps its old values; the failure is returned, not shown.
Status SaveSettings(const Settings& settings, const std::wstring& file);

// The view mode to start in: a hand-edited value other than 1 or 2 starts in
// Browse Mode, so that one of the two lists is always visible.
int StartViewMode(const Settings& settings);

}  // namespace vm
