// The demonstration program's own files, all in one real folder (by default
// %APPDATA%\Velmora\Demonstration):
//
//   machine.txt               the machine as the user left it, written at exit
//                             when it changed; deleting it gives the shipped
//                             machine back at the next start
//   machine (damaged).txt     a saved machine that could not be read, kept
//                             aside (" 2", " 3"... when one is there already)
//   KRV.ini, Bookmark         the settings and bookmarks of the demonstration
//   Documents\                copies of the files in the simulated user's
//                             Documents folder (the backups), for file dialogs
//
// The machine starts from machine.txt when it is there and reads well, from
// the shipped machine otherwise; a saved file that is refused is never lost.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/Result.h"
#include "platform/sim/SimPlatform.h"

namespace vm::demo {

struct DemoFiles {
    std::wstring folder;
    std::wstring machine;    // folder + "machine.txt"
    std::wstring documents;  // folder + "Documents"
};
DemoFiles DemoFilesIn(const std::wstring& folder);

// folder + separator + name, with the separator of the host's file system.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);

struct StartingMachine {
    // The machine to run; null only when not even the shipped one loads.
    std::unique_ptr<sim::SimPlatform> machine;
    // What the user is told before the window opens; empty: nothing to tell.
    std::wstring message;
    // False when a saved file that could not be read is still in its place:
    // it is never overwritten, so the user can still rescue it.
    bool mayWriteSavedFile = true;
    bool fromSavedFile = false;  // the machine is the saved one
};

// The saved machine of files.machine when it is there and reads well,
// otherwise the shipped one (a damaged saved file moved aside first).
StartingMachine LoadStartingMachine(std::string_view shipped, const DemoFiles& files);

// Moves a file to the first free name "<stem> (damaged)<ext>",
// "<stem> (damaged 2)<ext>"... up to kMostKeptAsideCopies, beside it; the new
// path, or empty when it could not be moved.
inline constexpr int kMostKeptAsideCopies = 100;
std::wstring KeepAside(const std::wstring& path);

// Writes the machine to files.machine (all or nothing; the folder is made
// when it is missing).
Status SaveMachineFile(const std::string& text, const DemoFiles& files);

}  // namespace vm::demo
