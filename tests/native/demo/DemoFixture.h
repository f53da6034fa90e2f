// A small machine description for the demonstration program's tests: the
// simulator's own user Alice with a profile (Desktop, Documents with two
// files that have content and one that has none) and a folder C:\Data.
#pragma once

#include <filesystem>
#include <string>

#include "demo/DemoStore.h"
#include "files/FileIo.h"
#include "native/files/TempDir.h"

namespace vm::demo::test {

inline constexpr char kSmallMachine[] = R"(machine 1
windows C:\Windows
volume C: NTFS
folder C:\Users 0x10 2024-01-01T00:00:00Z 2024-01-01T00:00:00Z O:BAD:(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)
folder C:\Users\Alice 0x10 2024-01-01T00:00:00Z 2024-01-01T00:00:00Z -
folder C:\Users\Alice\Desktop 0x10 2024-01-01T00:00:00Z 2024-01-01T00:00:00Z -
folder C:\Users\Alice\Documents 0x10 2024-01-01T00:00:00Z 2024-01-01T00:00:00Z -
file ".\Profile backup.SBAK" 0x20 2024-01-02T00:00:00Z 2024-01-02T00:00:00Z 3 -
data QUJD
file ".\Grüße – 2024.SBAK" 0x20 2024-01-02T00:00:00Z 2024-01-02T00:00:00Z 2 -
data eHk=
file .\notes.txt 0x20 2024-01-02T00:00:00Z 2024-01-02T00:00:00Z 0 -
folder C:\Users\Alice\Documents\Old 0x10 2024-01-01T00:00:00Z 2024-01-01T00:00:00Z -
folder C:\Data 0x10 2024-01-01T00:00:00Z 2024-01-01T00:00:00Z O:BAD:(A;OICI;FA;;;BA)
)";

// A file's bytes as text; "<none>" when it cannot be read.
inline std::string ReadText(const std::wstring& path) {
    const std::optional<Bytes> bytes = ReadWholeFile(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<none>");
}

// Takes every name a damaged saved machine could be kept aside as.
inline void TakeEveryAsideName(const DemoFiles& files) {
    std::filesystem::create_directories(ToFsPath(files.folder));
    for (int number = 1; number <= kMostKeptAsideCopies; ++number) {
        const std::wstring suffix = number == 1 ? L"" : L" " + std::to_wstring(number);
        WriteFileReplacing(JoinPath(files.folder, L"machine (damaged" + suffix + L").txt"),
                           Bytes{'x'});
    }
}

}  // namespace vm::demo::test
