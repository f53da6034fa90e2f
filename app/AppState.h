// The process-wide state of the program: built once at start-up on the user
// interface thread, read by the windows and, afterwards, only read by worker
// threads (the copy buffer and the settings change on the UI thread only).
// The windows receive it explicitly, so that tests can run the real windows
// over a simulated machine.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "advanced/AceClipboard.h"
#include "app/DemonstrationMachine.h"
#include "backup/DefaultDescriptors.h"
#include "platform/Platform.h"
#include "platform/Reporter.h"
#include "security/AccessEvaluation.h"
#include "security/DaclEdits.h"
#include "security/Engine.h"

namespace vm {

// The file-system name ("NTFS", "FAT32") of each drive letter A to Z; empty
// for a letter without a volume.
class FileSystemTable {
  public:
    static FileSystemTable Read(Platform& platform);

    // The name for the drive letter that starts path; empty when the path
    // does not start with a drive letter.
    const std::wstring& ForPath(const std::wstring& path) const;
    void Set(wchar_t driveLetter, std::wstring name);

  private:
    std::array<std::wstring, 26> names_;
};

// Where the program keeps its files: beside the program file.
struct ProgramFiles {
    std::wstring directory;     // the program file's folder (PathRemoveFileSpecW)
    std::wstring bookmarkFile;  // directory + "\Bookmark"
    std::wstring settingsFile;  // directory + "\KRV.ini"
};
ProgramFiles ProgramFilesFor(const std::wstring& programPath);

// `OsVersion` is major + minor / 10; Vista and later is 6.0 and above.
inline float OsVersionOf(unsigned major, unsigned minor) {
    return static_cast<float>(major) + static_cast<float>(minor) / 10.0f;
}
inline bool IsVistaOrLater(float osVersion) {
    return osVersion >= 6.0f;
}

struct AppState {
    AppState(Platform& platform, Reporter& reporter) : engine(platform, reporter) {}
    AppState(const AppState&) = delete;
    AppState& operator=(const AppState&) = delete;

    Platform& platform() const { return engine.platform(); }
    Reporter& reporter() const { return engine.reporter(); }

    Engine engine;
    float OsVersion = 6.1f;
    ProgramFiles files;
    UserIdentity user;  // CurrentUserName, and CurrentUserGroups once the main window starts
    CopyBuffer copyBuffer;
    // The Advanced windows' copied entries (changed on the UI thread only).
    AceClipboard aceClipboard;
    FileSystemTable fileSystems;
    DefaultDescriptors defaultDescriptors;
    // The demonstration program's machine; null in velmora.exe.
    DemonstrationMachine* demonstration = nullptr;
};

// CurrentUserName from GetUserNameW (empty when it fails) and the file
// system table: the parts of start-up that go through the platform.
void ReadPlatformState(AppState& state);

}  // namespace vm
