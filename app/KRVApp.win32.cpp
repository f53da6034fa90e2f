#include "app/KRVApp.win32.h"

#include <commctrl.h>
#include <ole2.h>

#include "app/KRVDlg.win32.h"
#include "app/Settings.h"
#include "framework/MessageBoxReporter.h"
#include "framework/Window.h"
#include "platform/win32/Win32Platform.h"
#include "resources/resource.h"

namespace vm {

namespace {

constexpr DWORD kAllLowByteControlClasses = 0xFF;
// Room for a program path at the first try; a longer one (a long-path
// folder) gets a larger buffer.
constexpr DWORD kProgramPathChars = 270;
constexpr DWORD kLongestPathChars = 32768;

}  // namespace

std::optional<Bytes> CopyDataResource(UINT id) {
    HMODULE module = ResourceModule();
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (!found)
        return std::nullopt;
    HGLOBAL loaded = LoadResource(module, found);
    const DWORD size = SizeofResource(module, found);
    const auto* bytes = static_cast<const uint8_t*>(loaded ? LockResource(loaded) : nullptr);
    if (!bytes || size == 0)
        return std::nullopt;
    return Bytes(bytes, bytes + size);
}

Answer MainWindowReporter::Show(const std::wstring& text, MessageIcon icon,
                                MessageButtons buttons) {
    // A message that comes while a modal window of ours is open (a picker, a
    // chooser) is owned by that window, not by the main window it disabled:
    // a box owned by a disabled window hands the activation to another
    // program when it closes (GetLastActivePopup returns the window itself
    // when it has no popup).
    HWND main = owner_ ? *owner_ : nullptr;
    HWND owner = main ? GetLastActivePopup(main) : nullptr;
    return MessageBoxReporter(owner ? owner : main).Show(text, icon, buttons);
}

float ReadOsVersion() {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExW(&version))
        return 0.0f;
    return OsVersionOf(version.dwMajorVersion, version.dwMinorVersion);
}

// GetModuleFileNameW does not say how much room it needs: a result that
// fills the buffer was cut, and the buffer grows until the path fits.
std::wstring ProgramFilePath() {
    for (DWORD room = kProgramPathChars; room <= kLongestPathChars; room *= 2) {
        std::wstring path(room, L'\0');
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), room);
        if (length == 0)
            return std::wstring();
        if (length < room) {
            path.resize(length);
            return path;
        }
    }
    return std::wstring();
}

CKRVApp::CKRVApp(ProgramVariant variant) : variant_(std::move(variant)) {}

CKRVApp::~CKRVApp() = default;

int CKRVApp::Run() {
    StartApplication();
    EndApplication();
    return 0;
}

void CKRVApp::StartLibraries() {
    // No "There is no disk in the drive" box when a drive without a medium is
    // touched: the call fails instead ("Best practice is that all
    // applications call the process-wide SetErrorMode function with a
    // parameter of SEM_FAILCRITICALERRORS at startup", SetErrorMode docs).
    SetErrorMode(SEM_FAILCRITICALERRORS);
    INITCOMMONCONTROLSEX controls{sizeof controls, kAllLowByteControlClasses};
    InitCommonControlsEx(&controls);
}

void CKRVApp::LoadDefaultDescriptors() {
    DefaultDescriptors& defaults = state_->defaultDescriptors;
    defaults.driveRoot = CopyDataResource(IDR_DEFAULT_SD_DRIVE_ROOT);
    defaults.systemDrive = CopyDataResource(IDR_DEFAULT_SD_SYSTEM_DRIVE);
    defaults.systemFolder = CopyDataResource(IDR_DEFAULT_SD_SYSTEM_FOLDER);
}

void CKRVApp::LoadProcessState() {
    Platform* platform = variant_.platform;
    if (!platform) {
        ownPlatform_ = std::make_unique<win32::Win32Platform>();
        platform = ownPlatform_.get();
    }
    state_ = std::make_unique<AppState>(*platform, reporter_);
    state_->demonstration = variant_.demonstration;
    context_ = std::make_unique<AppContext>(*state_);
    reporter_.FollowOwner(&context_->mainWindow);
    state_->OsVersion = ReadOsVersion();
    // ProgramFilesFor takes the folder of a program path: a trailing
    // backslash makes the folder itself that.
    state_->files = ProgramFilesFor(
        variant_.filesDirectory.empty() ? ProgramFilePath() : variant_.filesDirectory + L'\\');
    context_->bookmarks = LoadBookmarkIndex(state_->files.bookmarkFile);
    gdiplus_ = std::make_unique<GdiplusSession>();
    oleStarted_ = SUCCEEDED(OleInitialize(nullptr));
    // The copy buffer starts empty; the keyboard shortcuts belong to the
    // main window (KeyboardShortcutHook).
    InitShellState(context_->shell, state_->OsVersion);
    BuildExtensionIconCache(context_->shell.iconCache);
    LoadStatusPictures(context_->shell.pictures);
    ReadPlatformState(*state_);
    context_->settings = LoadSettings(state_->files.settingsFile);
    LoadDefaultDescriptors();
}

bool CKRVApp::StartApplication() {
    StartLibraries();
    LoadProcessState();
    CKRVDlg mainWindow(*context_);
    mainWindow.DoModal(nullptr);
    context_->mainWindow = nullptr;
    return false;
}

void CKRVApp::EndApplication() {
    if (!context_)
        return;
    // GDI+ pictures go before GDI+ itself.
    context_->shell.pictures = StatusPictures{};
    gdiplus_.reset();
    SaveSettings(context_->settings, state_->files.settingsFile);
    if (oleStarted_)
        OleUninitialize();
    oleStarted_ = false;
}

}  // namespace vm
