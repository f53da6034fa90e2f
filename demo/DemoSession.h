// One run of the demonstration program over its simulated machine: the
// machine it starts with (saved or shipped), the one Platform the program
// uses, the copies of the simulated Documents' files in a real folder, the
// way back to the shipped machine, and the save at exit.
#pragma once

#include <optional>
#include <string>

#include "app/DemonstrationMachine.h"
#include "demo/DemoStore.h"
#include "demo/ReplaceablePlatform.h"
#include "platform/Reporter.h"

namespace vm::demo {

// The simulated user's profile folder: the Users folder of the Windows
// drive, then the user's name (C:\Users\Alex); empty when the machine has no
// such folder.
std::wstring UserProfileFolder(Platform& machine);

class DemoSession final : public DemonstrationMachine {
  public:
    // shipped: the machine description the program carries; startFolder: a
    // folder of the machine Browse Mode starts in (empty: the drives).
    DemoSession(std::string shipped, DemoFiles files, std::wstring startFolder);
    ~DemoSession() override;
    DemoSession(const DemoSession&) = delete;
    DemoSession& operator=(const DemoSession&) = delete;

    // Loads the machine the program starts with and tells the user what went
    // wrong on the way. False when not even the shipped machine loads: the
    // program cannot run then.
    bool Start(Reporter& reporter);
    // The Platform of the whole run; valid after a successful Start.
    ReplaceablePlatform& platform();
    // Writes the files with content of the simulated user's Documents folder
    // to files.documents, where a file of that name is missing or differs;
    // other files there are left alone. The first failure, if any.
    Status CopyDocuments();
    // At exit: writes the machine when it differs from how it started (and
    // the saved file may be written); tells the user when that fails.
    void Finish(Reporter& reporter);

    bool ResetToShipped(Reporter& reporter) override;
    std::wstring StartFolder() const override;
    std::wstring DesktopFolder() const override;

  private:
    std::string CurrentText() const;

    std::string shipped_;
    DemoFiles files_;
    std::wstring startFolder_;
    std::unique_ptr<ReplaceablePlatform> platform_;
    std::string startText_;  // the machine as it started, to see whether it changed
    std::optional<std::string> shippedText_;  // the shipped machine, once it is known
    bool mayWriteSavedFile_ = true;
};

}  // namespace vm::demo
