// velmora-cli.exe: the command line over the security functions of the
// Windows it runs on.
#include "cli/WindowsConsole.win32.h"
#include "platform/win32/Win32Platform.h"

namespace vm::cli {
namespace {

class WindowsHost final : public Host {
  public:
    Opened Open(const CliOptions& options) override {
        if (!options.volumes.empty())
            return {nullptr,
                    L"--volume maps NTFS volumes mounted on Linux; on Windows name the drive "
                    L"letters directly",
                    kExitUsage};
        return {&platform_, L"", kExitSuccess};
    }

  private:
    win32::Win32Platform platform_;
};

}  // namespace
}  // namespace vm::cli

int wmain(int argc, wchar_t** argv) {
    vm::cli::WindowsConsole console;
    vm::cli::WindowsHost host;
    return vm::cli::RunProgram(vm::cli::ArgumentsOf(argc, argv), console, host);
}
