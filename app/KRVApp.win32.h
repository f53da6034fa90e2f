// CKRVApp: the application object. It builds the process-wide state in a
// fixed order, runs the main window modally (the one window every start
// opens) and, when it has closed, shuts down and writes "KRV.ini" once.
#pragma once

#include "platform/win32/WinApi.h"

#include <memory>
#include <string>

#include "app/AppContext.win32.h"
#include "framework/GdiPlus.h"
#include "platform/Platform.h"
#include "platform/Reporter.h"

namespace vm {

// Message boxes captioned "Velmora", owned by the main window once it exists,
// or by the modal window it has open (so that they are modal to it).
class MainWindowReporter final : public Reporter {
  public:
    // The owner is read at each message: the window may not exist yet.
    void FollowOwner(const HWND* owner) { owner_ = owner; }
    Answer Show(const std::wstring& text, MessageIcon icon, MessageButtons buttons) override;

  private:
    const HWND* owner_ = nullptr;
};

// What another program built on the same application brings to it: the
// demonstration program runs every window over its simulated machine and
// keeps its settings and bookmarks beside that machine. velmora.exe passes
// nothing and runs on the system's own security, with its files beside the
// program file.
struct ProgramVariant {
    Platform* platform = nullptr;  // nullptr: the Win32 platform
    std::wstring filesDirectory;   // of "KRV.ini" and "Bookmark"; empty: the program's folder
    DemonstrationMachine* demonstration = nullptr;
};

class CKRVApp {
  public:
    explicit CKRVApp(ProgramVariant variant = {});
    ~CKRVApp();
    CKRVApp(const CKRVApp&) = delete;
    CKRVApp& operator=(const CKRVApp&) = delete;

    // Start-up, the modal main window, shutdown; the process's exit code.
    int Run();

    // The start-up sequence up to and including the main window's run;
    // false once the window has closed (nothing else runs after it).
    bool StartApplication();
    // Shutdown: GDI+ off, the settings written, OLE off.
    void EndApplication();

  private:
    void StartLibraries();
    void LoadProcessState();
    void LoadDefaultDescriptors();

    ProgramVariant variant_;
    std::unique_ptr<Platform> ownPlatform_;  // the Win32 platform, unless the variant brings one
    MainWindowReporter reporter_;
    std::unique_ptr<AppState> state_;
    std::unique_ptr<AppContext> context_;
    std::unique_ptr<GdiplusSession> gdiplus_;
    bool oleStarted_ = false;
};

// GetVersionExW as `OsVersion` (major + minor / 10).
float ReadOsVersion();
// The folder of the program file (GetModuleFileNameW, 270 characters).
std::wstring ProgramFilePath();
// A copy of a raw data resource (RT_RCDATA) of the program; nullopt when it
// is missing or empty.
std::optional<Bytes> CopyDataResource(UINT id);

}  // namespace vm
