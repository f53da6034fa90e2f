// CRemoveInheritTipDlg: the "Windows Security" question asked when the box
// "Include inheritable permissions from this object's parent" is cleared on
// an object with inherited entries: convert them into explicit entries,
// remove them, or leave the rows as they are. Its end code is the id of the
// button chosen (1, 3, or 2, which the close box gives too); the caller acts
// on it (security/Inheritance.h).
#pragma once

#include "framework/Dialog.h"
#include "security/Inheritance.h"

namespace vm {

class CRemoveInheritTipDlg : public CDialog {
  public:
    CRemoveInheritTipDlg();

    // Runs the question modally over owner.
    static InheritanceChoice Ask(HWND owner);

  protected:
    BOOL OnInitDialog() override;
    bool OnMessage(Message& m, LRESULT& result) override;

  private:
    static std::span<const Route<CRemoveInheritTipDlg>> Routes();
    LRESULT OnRemove(Message& m);
};

}  // namespace vm
