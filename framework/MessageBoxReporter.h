// The Reporter of the windows: a message box captioned "Velmora" over an
// owner window. Refusals use the error icon, questions Yes/No with the
// warning icon (the caller chooses the icon).
#pragma once

#include "platform/win32/WinApi.h"

#include "platform/Reporter.h"

namespace vm {

class MessageBoxReporter final : public Reporter {
  public:
    explicit MessageBoxReporter(HWND owner = nullptr) : owner_(owner) {}
    void SetOwner(HWND owner) { owner_ = owner; }
    Answer Show(const std::wstring& text, MessageIcon icon, MessageButtons buttons) override;

  private:
    HWND owner_;
};

}  // namespace vm
