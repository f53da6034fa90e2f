// The command line over a simulated machine: a host that hands out the
// machine, a console that keeps what was printed, and a run helper.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/CliRun.h"
#include "native/files/TempDir.h"
#include "platform/sim/SimPlatform.h"

namespace vm::cli::testing {

class KeptConsole final : public Console {
  public:
    void Out(const std::wstring& text) override { out += text; }
    void Err(const std::wstring& text) override { err += text; }
    bool ShowsProgress() const override { return terminal; }
    void Progress(const std::wstring& line) override { progress.push_back(line); }

    std::wstring out;
    std::wstring err;
    bool terminal = false;
    std::vector<std::wstring> progress;
};

class SimHost final : public Host {
  public:
    explicit SimHost(sim::SimPlatform& machine) : machine_(machine) {}
    Opened Open(const CliOptions& options) override {
        if (!options.volumes.empty())
            return {nullptr, L"--volume names NTFS volumes mounted on Linux", kExitUsage};
        return {&machine_, L"", kExitSuccess};
    }
    std::wstring BackupTime() override { return L"2024-05-06 07:08:09"; }

  private:
    sim::SimPlatform& machine_;
};

// A PC with C: (NTFS, the default root: Administrators and SYSTEM full,
// Users read, all inherited) and a FAT stick E:; Alice runs elevated.
class CliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        machine.AddVolume(L'C', L"NTFS");
        machine.AddVolume(L'E', L"FAT32");
        machine.AddLocalUser(L"Bob");
        machine.AddFolder(L"C:\\Data");
        machine.AddFile(L"C:\\Data\\a.txt");
        machine.AddFolder(L"C:\\Data\\Sub");
        machine.AddFile(L"C:\\Data\\Sub\\b.txt");
        machine.AddFolder(L"C:\\Shut", L"O:BAD:PAI(A;OICI;FA;;;BA)");
        machine.AddFile(L"E:\\stick.txt");
    }

    // Runs one command line; the exit status.
    int Run(const std::vector<std::wstring>& args) {
        console = KeptConsole();
        console.terminal = terminal;
        SimHost host(machine);
        return RunProgram(args, console, host);
    }

    sim::SimPlatform machine;
    KeptConsole console;
    bool terminal = false;  // whether the console shows progress
    vm::testing::TempDir temp;
};

}  // namespace vm::cli::testing
