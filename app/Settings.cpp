#include "app/Settings.h"

#include "files/ProfileFile.h"

namespace vm {
namespace {

constexpr const wchar_t* kViewModeKey = L"VIEWMODE";
constexpr const wchar_t* kLeftKey = L"WND_LEFT";
constexpr const wchar_t* kTopKey = L"WND_TOP";
constexpr const wchar_t* kRightKey = L"WND_RIGHT";
constexpr const wchar_t* kBottomKey = L"WND_BOTTOM";
constexpr const wchar_t* kMaximizedKey = L"WND_ISMAX";
constexpr const wchar_t* kOpenPathKey = L"OPENPATH";

}  // namespace

Settings LoadSettings(const std::wstring& file) {
    ProfileDocument document = ReadProfileDocument(file);
    Settings defaults;
    Settings settings;
    settings.viewMode = ProfileInt(document, kSettingsSection, kViewModeKey, defaults.viewMode);
    settings.windowLeft = ProfileInt(document, kSettingsSection, kLeftKey, 0);
    settings.windowTop = ProfileInt(document, kSettingsSection, kTopKey, 0);
    settings.windowRight = ProfileInt(document, kSettingsSection, kRightKey, 0);
    settings.windowBottom = ProfileInt(document, kSettingsSection, kBottomKey, 0);
    settings.windowMaximized = ProfileInt(document, kSettingsSection, kMaximizedKey, 0);
    settings.openPath =
        ProfileString(document, kSettingsSection, kOpenPathKey, L"", kOpenPathBufferChars);
    return settings;
}

Status SaveSettings(const Settings& settings, const std::wstring& file) {
    ProfileDocument document = ReadProfileDocument(file);
    auto setInt = [&](const wchar_t* key, int value) {
        document.Set(kSettingsSection, key, std::to_wstring(value));
    };
    setInt(kViewModeKey, settings.viewMode);
    setInt(kLeftKey, settings.windowLeft);
    setInt(kTopKey, settings.windowTop);
    setInt(kRightKey, settings.windowRight);
    setInt(kBottomKey, settings.windowBottom);
    setInt(kMaximizedKey, settings.windowMaximized);
    document.Set(kSettingsSection, kOpenPathKey, settings.openPath);
    return WriteProfileDocument(document, file);
}

int StartViewMode(const Settings& settings) {
    return settings.viewMode == kEditMode ? kEditMode : kBrowseMode;
}

}  // namespace vm
