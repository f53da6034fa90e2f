// A test program, never shipped: velmora-cli's console program over a
// simulated machine, so that the Windows build's console (arguments as the
// system splits them, UTF-8 to pipes, exit statuses) is tested under Wine
// without touching the host's files.
//
//   velmora-cli-sim --machine FILE [--save FILE] ARGUMENTS...
//
// loads the machine description FILE, runs ARGUMENTS, and, with --save,
// writes the machine back afterwards so that the test can see what changed.
#include <windows.h>

#include <string>
#include <vector>

#include "cli/WindowsConsole.win32.h"
#include "files/FileIo.h"
#include "platform/sim/MachineFile.h"

namespace {

class MachineHost final : public vm::cli::Host {
  public:
    explicit MachineHost(vm::sim::SimPlatform& machine) : machine_(machine) {}
    Opened Open(const vm::cli::CliOptions& options) override {
        if (!options.volumes.empty())
            return {nullptr, L"--volume maps NTFS volumes mounted on Linux", vm::cli::kExitUsage};
        return {&machine_, L"", vm::cli::kExitSuccess};
    }

  private:
    vm::sim::SimPlatform& machine_;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::wstring> args = vm::cli::ArgumentsOf(argc, argv);
    if (args.size() < 2 || args[0] != L"--machine")
        return 3;
    auto text = vm::ReadWholeFile(args[1]);
    if (!text)
        return 3;
    auto load = vm::sim::LoadMachine(std::string(text->begin(), text->end()));
    if (!load.ok())
        return 3;
    args.erase(args.begin(), args.begin() + 2);
    std::wstring save;
    if (args.size() >= 2 && args[0] == L"--save") {
        save = args[1];
        args.erase(args.begin(), args.begin() + 2);
    }
    vm::cli::WindowsConsole console;
    MachineHost host(*load.machine);
    int status = vm::cli::RunProgram(args, console, host);
    if (!save.empty()) {
        std::string saved = vm::sim::SaveMachine(*load.machine);
        if (!vm::WriteFileReplacing(save, vm::Bytes(saved.begin(), saved.end())).ok())
            return 3;
    }
    return status;
}
