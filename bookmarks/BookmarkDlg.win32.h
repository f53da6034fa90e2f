// CBookmarkDlg: "Add bookmark" (template 166), modal. It shows the prompt of
// the command that opened it and a name box holding the current local time
// as "Bookmark-%Y-%m-%d %H:%M:%S"; OK gives the name as typed. What the
// bookmark keeps and writing it are the command's (app/CommandActions).
#pragma once

#include <string>

#include "framework/Dialog.h"

namespace vm {

class CBookmarkDlg : public CDialog {
  public:
    explicit CBookmarkDlg(std::wstring prompt);

    // The name confirmed with OK.
    const std::wstring& name() const { return name_; }

  protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

  private:
    std::wstring prompt_;
    std::wstring name_;
};

}  // namespace vm
