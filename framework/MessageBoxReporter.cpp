#include "framework/MessageBoxReporter.h"

namespace vm {
namespace {

UINT IconFlags(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::kError:
            return MB_ICONERROR;
        case MessageIcon::kWarning:
            return MB_ICONWARNING;
        case MessageIcon::kInformation:
            return MB_ICONINFORMATION;
        case MessageIcon::kQuestion:
            return MB_ICONQUESTION;
        case MessageIcon::kNone:
            break;
    }
    return 0;
}

}  // namespace

Answer MessageBoxReporter::Show(const std::wstring& text, MessageIcon icon,
                                MessageButtons buttons) {
    const UINT buttonFlags = buttons == MessageButtons::kYesNo ? MB_YESNO : MB_OK;
    const int answer = MessageBoxW(owner_, text.c_str(), L"Velmora", buttonFlags | IconFlags(icon));
    if (buttons == MessageButtons::kOk)
        return Answer::kOk;
    return answer == IDYES ? Answer::kYes : Answer::kNo;
}

}  // namespace vm
