// Entry point of velmora-demo.exe: the same program as velmora.exe (every
// window and command) over the demonstration machine, a simulated Windows
// PC that the program carries as a resource. The machine is loaded from the
// user's saved copy when there is one, and saved there again at exit when it
// changed (demo/DemoStore.h lists the files). Command line: demo/DemoOptions.h.
#include "platform/win32/WinApi.h"

#include <shellapi.h>
#include <shlobj.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/KRVApp.win32.h"
#include "app/Texts.h"
#include "demo/DemoOptions.h"
#include "demo/DemoSession.h"
#include "files/FileIo.h"
#include "framework/MessageBoxReporter.h"
#include "platform/win32/Handles.h"
#include "resources/resource.h"
#include "resources/strings.h"

namespace {

using namespace vm;

constexpr int kExitBadCommandLine = 2;
constexpr int kExitNoMachine = 1;

std::vector<std::wstring> CommandLineArguments() {
    int count = 0;
    const win32::UniqueLocal<wchar_t**> argv(CommandLineToArgvW(GetCommandLineW(), &count));
    std::vector<std::wstring> arguments;
    for (int i = 1; argv && i < count; ++i)  // 0 is the program
        arguments.emplace_back(argv.get()[i]);
    return arguments;
}

// %APPDATA%\Velmora\Demonstration (CSIDL_APPDATA: the roaming application
// data of the user).
std::wstring DefaultDataFolder() {
    wchar_t appData[MAX_PATH]{};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData)))
        return {};
    return std::wstring(appData) + L"\\Velmora\\Demonstration";
}

std::string ShippedMachine() {
    const std::optional<Bytes> bytes = CopyDataResource(IDR_DEMO_MACHINE);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    MessageBoxReporter reporter;
    const demo::DemoOptionsParse parsed = demo::ParseDemoOptions(CommandLineArguments());
    if (!parsed.options) {
        reporter.Tell(
            FillPlaceholders(L"" STR_DEMO_BAD_COMMAND_LINE, {parsed.error, demo::DemoUsage()}),
            MessageIcon::kError);
        return kExitBadCommandLine;
    }
    std::wstring folder = parsed.options->dataFolder;
    if (folder.empty())
        folder = DefaultDataFolder();
    std::error_code code;
    std::filesystem::create_directories(ToFsPath(folder), code);

    const demo::DemoFiles files = demo::DemoFilesIn(folder);
    demo::DemoSession session(ShippedMachine(), files, parsed.options->startFolder);
    if (!session.Start(reporter))
        return kExitNoMachine;
    // The simulated Documents' backups as real files, and the file dialogs
    // (which show real files) start beside them.
    if (session.CopyDocuments().ok())
        SetCurrentDirectoryW(files.documents.c_str());
    {
        CKRVApp app(
            {.platform = &session.platform(), .filesDirectory = folder, .demonstration = &session});
        app.Run();
    }
    session.Finish(reporter);
    return 0;
}
