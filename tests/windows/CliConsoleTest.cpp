// velmora-cli's console program under Wine: the test program
// velmora-cli-sim.exe (the console program over a simulated machine read
// from a machine description) runs as a child process with its standard
// streams on pipes; its exit status, its UTF-8 output and the machine it
// saves afterwards are checked. velmora-cli.exe itself is run for what
// needs no machine.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "files/FileIo.h"
#include "harness/Harness.h"
#include "platform/Utf16.h"
#include "platform/sim/MachineFile.h"

namespace {

struct ChildRun {
    DWORD exitCode = 0xFFFFFFFF;
    std::string out;
    std::string err;
};

// One argument as CommandLineToArgvW splits it back: quoted, inner quotes
// escaped, backslashes doubled before a quote.
std::wstring Quoted(const std::wstring& arg) {
    std::wstring text = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        text += std::wstring(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        text += c;
    }
    return text + std::wstring(backslashes * 2, L'\\') + L"\"";
}

std::string ReadAll(HANDLE pipe) {
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    return text;
}

ChildRun RunChild(const std::wstring& program, const std::vector<std::wstring>& args) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
    CreatePipe(&outRead, &outWrite, &inherit, 0);
    CreatePipe(&errRead, &errWrite, &inherit, 0);
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    std::wstring commandLine = Quoted(program);
    for (const auto& arg : args)
        commandLine += L" " + Quoted(arg);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    ChildRun run;
    BOOL started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                  CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    if (started) {
        std::thread errReader([&] { run.err = ReadAll(errRead); });
        run.out = ReadAll(outRead);
        errReader.join();
        WaitForSingleObject(process.hProcess, 60000);
        GetExitCodeProcess(process.hProcess, &run.exitCode);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(outRead);
    CloseHandle(errRead);
    return run;
}

class CliConsoleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        vm::sim::SimPlatform machine;
        machine.AddVolume(L'C', L"NTFS");
        machine.AddLocalUser(L"Bob");
        machine.AddFolder(L"C:\\Data");
        machine.AddFile(L"C:\\Data\\Grüße.txt");
        std::string text = vm::sim::SaveMachine(machine);
        ASSERT_TRUE(vm::WriteFileReplacing(machineFile, vm::Bytes(text.begin(), text.end())).ok());
    }
    void TearDown() override {
        DeleteFileW(machineFile.c_str());
        DeleteFileW(savedFile.c_str());
    }

    ChildRun Sim(std::vector<std::wstring> args) {
        args.insert(args.begin(), {L"--machine", machineFile, L"--save", savedFile});
        return RunChild(vm::harness::ProgramFolder() + L"velmora-cli-sim.exe", args);
    }

    // The next run starts from the machine this one saved.
    void GoOnFromSaved() {
        ASSERT_TRUE(MoveFileExW(savedFile.c_str(), machineFile.c_str(), MOVEFILE_REPLACE_EXISTING));
    }

    std::unique_ptr<vm::sim::SimPlatform> Saved() {
        auto text = vm::ReadWholeFile(savedFile);
        if (!text)
            return nullptr;
        return vm::sim::LoadMachine(std::string(text->begin(), text->end())).machine;
    }

    std::wstring machineFile = vm::harness::ProgramFolder() + L"cli-console-machine.txt";
    std::wstring savedFile = vm::harness::ProgramFolder() + L"cli-console-saved.txt";
};

TEST_F(CliConsoleTest, ShowWritesUtf8ToAPipeAndExitsZero) {
    ChildRun run = Sim({L"show", L"C:\\Data\\*"});
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(run.out.find("C:\\Data\\Grüße.txt\n  Owner: Administrators\n"), 0u) << run.out;
    EXPECT_TRUE(run.err.empty()) << run.err;
}

TEST_F(CliConsoleTest, WritesReachTheMachineAndFailuresExitOne) {
    ChildRun run = Sim({L"allow", L"C:\\Data", L"C:\\Gone", L"--trustee", L"Bob"});
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_EQ(run.err, "velmora-cli: C:\\Gone: The system cannot find the file specified.\n");
    auto saved = Saved();
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->DaclSddlOf(L"C:\\Data"),
              L"D:PARAI(A;;FA;;;" + saved->SidOf(L"Bob").ToString() + L")");
}

TEST_F(CliConsoleTest, ADryRunLeavesTheMachineAsItWas) {
    ChildRun run = Sim({L"null-dacl", L"C:\\Data", L"--dry-run"});
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_NE(run.out.find("  after:  O:BAD:NO_ACCESS_CONTROL\n"), std::string::npos) << run.out;
    auto saved = Saved();
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->DaclSddlOf(L"C:\\Data"),
              L"D:AI(A;OICIID;FA;;;BA)(A;OICIID;FA;;;SY)(A;OICIID;0x1200a9;;;BU)");
}

// The file subcommands through the Windows build's file functions, with
// names outside ASCII on the command line and on disk.
TEST_F(CliConsoleTest, BackupsAndDescriptorFilesGoThroughWindowsFiles) {
    std::wstring backup = vm::harness::ProgramFolder() + L"cli-console-Grüße.SBAK";
    std::wstring exported = vm::harness::ProgramFolder() + L"cli-console-Grüße.sd";
    const std::wstring file = L"C:\\Data\\Grüße.txt";
    ChildRun run = Sim({L"backup", L"C:\\Data", file, L"-o", backup});
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    ASSERT_EQ(run.out, "2 items written to " + vm::ToUtf8(backup) + "\n");
    auto saved = Saved();
    ASSERT_TRUE(saved);
    std::wstring original = saved->DaclSddlOf(file);
    GoOnFromSaved();
    ASSERT_EQ(Sim({L"deny", file, L"--trustee", L"Bob"}).exitCode, 0u);
    saved = Saved();
    ASSERT_TRUE(saved);
    ASSERT_NE(saved->DaclSddlOf(file), original);
    GoOnFromSaved();

    run = Sim({L"restore", backup, L"--item", file});
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(run.out, "C:\\Data\\Grüße.txt: Succeed\n");
    saved = Saved();
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->DaclSddlOf(file), original);
    GoOnFromSaved();

    // One DACL carried from the folder to the file through a file.
    ASSERT_EQ(Sim({L"allow", L"C:\\Data", L"--trustee", L"Bob"}).exitCode, 0u);
    GoOnFromSaved();
    run = Sim({L"export", L"C:\\Data", L"-o", exported});
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    run = Sim({L"import", exported, file});
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    saved = Saved();
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->DaclSddlOf(file), saved->DaclSddlOf(L"C:\\Data"));
    DeleteFileW(backup.c_str());
    DeleteFileW(exported.c_str());
}

TEST_F(CliConsoleTest, BadUsageExitsTwoInBothPrograms) {
    ChildRun run = Sim({L"allow", L"C:\\Data"});
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_EQ(run.err, "velmora-cli: allow needs --trustee NAME\nTry 'velmora-cli --help'.\n");
    ChildRun shipped = RunChild(vm::harness::ProgramFolder() + L"velmora-cli.exe",
                                {L"show", L"C:\\", L"--volume", L"C=/mnt/windows"});
    EXPECT_EQ(shipped.exitCode, 2u);
    EXPECT_EQ(shipped.err.find("velmora-cli: --volume maps NTFS volumes mounted on Linux"), 0u)
        << shipped.err;
    ChildRun help =
        RunChild(vm::harness::ProgramFolder() + L"velmora-cli.exe", {L"owner", L"--help"});
    EXPECT_EQ(help.exitCode, 0u);
    EXPECT_EQ(help.out.find("Usage: velmora-cli owner PATH... NAME\n"), 0u) << help.out;
}

}  // namespace
