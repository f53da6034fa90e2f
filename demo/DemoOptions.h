// The command line of velmora-demo.exe:
//
//   velmora-demo.exe [--folder PATH] [--data FOLDER]
//
//   --folder PATH   Browse Mode starts in this folder of the demonstration
//                   machine (for example C:\Users\Alex) instead of the drives.
//   --data FOLDER   keep the saved machine, the settings, the bookmarks and
//                   the copies of the Documents' files in this real folder
//                   instead of %APPDATA%\Velmora\Demonstration (tests and
//                   scripts use it to leave the user's saved machine alone).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vm::demo {

struct DemoOptions {
    std::wstring startFolder;  // empty: the drives
    std::wstring dataFolder;   // empty: the user's application-data folder
};

struct DemoOptionsParse {
    std::optional<DemoOptions> options;  // nullopt when the line was refused
    std::wstring error;                  // why, for the user
};

// The arguments without the program's own name.
DemoOptionsParse ParseDemoOptions(const std::vector<std::wstring>& arguments);

// The usage text shown with a refused command line.
std::wstring DemoUsage();

}  // namespace vm::demo
