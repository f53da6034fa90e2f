#include "app/TrusteeMenu.h"

#include "security/SecurityAccess.h"

namespace vm {

std::optional<std::wstring> TrusteeNameForCommand(uint32_t command, TrusteeMenuUser user,
                                                  const std::wstring& currentUserName) {
    switch (command) {
        case cmd::kTrusteeCurrentUser:
            return currentUserName;
        case cmd::kTrusteeEveryone:
            return std::wstring(kEveryone);
        case cmd::kTrusteeAdministrators:
            return std::wstring(kAdministrators);
        case cmd::kTrusteeTrustedInstaller:
            return user == TrusteeMenuUser::kChangeOwner ? std::wstring(L"TrustedInstaller")
                                                         : std::wstring(kTrustedInstaller);
        case cmd::kTrusteeSystem:
            return std::wstring(kSystemAccount);
        default:
            return std::nullopt;
    }
}

bool IsTrusteeCommand(uint32_t command) {
    return command == cmd::kTrusteeAdvanced ||
           TrusteeNameForCommand(command, TrusteeMenuUser::kOptionsDialog, L"").has_value();
}

std::wstring CurrentUserEntryText(const std::wstring& currentUserName) {
    return L"Current User - " + currentUserName;
}

bool OffersTrustedInstaller(double osVersion) {
    return osVersion >= 6.0;
}

}  // namespace vm
