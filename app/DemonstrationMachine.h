// What the demonstration program (velmora-demo.exe) adds to the program: the
// machine it shows is simulated, kept in the user's application-data folder
// and can be put back as shipped, and its files exist only inside the
// program. velmora.exe has none (AppState::demonstration is null), so the
// windows and commands behave as they always do there.
#pragma once

#include <string>

#include "platform/Reporter.h"

namespace vm {

class DemonstrationMachine {
  public:
    virtual ~DemonstrationMachine() = default;

    // Puts the machine back as shipped, at once; every change made to it is
    // lost. False, with the user told why, when the shipped machine could
    // not be built (the machine is then left as it was).
    virtual bool ResetToShipped(Reporter& reporter) = 0;
    // The folder Browse Mode shows first; empty: the drives, as in
    // velmora.exe.
    virtual std::wstring StartFolder() const = 0;
    // The simulated user's desktop folder, which the path bar's "Desktop"
    // entry stands for; empty when the machine has none.
    virtual std::wstring DesktopFolder() const = 0;
};

}  // namespace vm
