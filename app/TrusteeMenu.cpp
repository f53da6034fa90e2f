#include "app/TrusteeMenu.h"

#include "security/SecurityAccess.h"

namespace vm {

std::optional<std::wstring> TrusteeNameForCommand(uint32_t command, TrusteeMenuUser user,
                                                  const std::wstring& currentUserName) {
    switch (command) {
        case ID_TRUSTEE_CURRENT_USER:
            return currentUserName;
        case ID_TRUSTEE_EVERYONE:
            return std::wstring(kEveryone);
        case ID_TRUSTEE_ADMINISTRATORS:
            return std::wstring(kAdministrators);
        case ID_TRUSTEE_TRUSTEDINSTALLER:
            return user == TrusteeMenuUser::kChangeOwner ? std::wstring(L"TrustedInstaller")
                                                         : std::wstring(kTrustedInstaller);
        case ID_TRUSTEE_SYSTEM:
            return std::wstring(kSystemAccount);
        default:
            return std::nullopt;
    }
}

bool IsTrusteeCommand(uint32_t command) {
    return command == ID_TRUSTEE_ADVANCED ||
           TrusteeNameForCommand(command, TrusteeMenuUser::kOptionsDialog, L"").has_value();
}

std::wstring CurrentUserEntryText(const std::wstring& currentUserName) {
    return L"Current User - " + currentUserName;
}

bool OffersTrustedInstaller(double osVersion) {
    return osVersion >= 6.0;
}

}  // namespace vm
