// CReplaceChildPermissionsDlg: how the permissions of everything below a
// folder are to be replaced: reset to what the folder passes on (mode 1) or
// copied from the folder (mode 2). The close box chooses nothing.
#pragma once

#include "framework/Dialog.h"
#include "security/Propagation.h"

namespace vm {

class CReplaceChildPermissionsDlg : public CDialog {
  public:
    CReplaceChildPermissionsDlg();

    // Runs the question modally over owner: kResetToInherited or
    // kCopyFromFolder, kCountOnly when the user chose neither.
    static PropagationMode Ask(HWND owner);

    PropagationMode mode() const { return mode_; }

  protected:
    bool OnMessage(Message& m, LRESULT& result) override;

  private:
    static std::span<const Route<CReplaceChildPermissionsDlg>> Routes();
    LRESULT OnReplaceWithInheritable(Message& m);
    LRESULT OnCopyFromObject(Message& m);

    PropagationMode mode_ = PropagationMode::kCountOnly;
};

}  // namespace vm
