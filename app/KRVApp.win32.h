// CKRVApp: the application object. It builds the process-wide state in a
// fixed order, runs the main window modally (the one window every start
// opens) and, when it has closed, shuts down and writes "KRV.ini" once.
#pragma once

#include "platform/win32/WinApi.h"

#include <memory>

#include "app/AppContext.win32.h"
#include "framework/GdiPlus.h"
#include "platform/Platform.h"
#include "platform/Reporter.h"

namespace vm {

// Message boxes captioned "Velmora", owned by the main window once it exists
// (so that they are modal to it).
class MainWindowReporter final : public Reporter {
  public:
    // The owner is read at each message: the window may not exist yet.
    void FollowOwner(const HWND* owner) { owner_ = owner; }
    Answer Show(const std::wstring& text, MessageIcon icon, MessageButtons buttons) override;

  private:
    const HWND* owner_ = nullptr;
};

class CKRVApp {
  public:
    CKRVApp();
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

    std::unique_ptr<Platform> platform_;
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

}  // namespace vm
