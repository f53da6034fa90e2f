#include "app/AccountChooser.h"

#include <algorithm>

#include "app/Texts.h"
#include "platform/TextCase.h"
#include "resources/strings.h"
#include "security/SecurityAccess.h"

namespace vm {

namespace {

constexpr const wchar_t* kUsersGroup = L"Users";
constexpr const wchar_t* kAuthenticatedUsers = L"Authenticated Users";

std::wstring Trimmed(const std::wstring& text) {
    const size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos)
        return std::wstring();
    const size_t last = text.find_last_not_of(L" \t");
    return text.substr(first, last - first + 1);
}

bool Listed(const std::vector<std::wstring>& names, const std::wstring& name) {
    return std::any_of(names.begin(), names.end(), [&](const std::wstring& listed) {
        return EqualsIgnoringCase(listed, name);
    });
}

}  // namespace

std::vector<std::wstring> OfferedAccounts(Platform& platform, const std::wstring& currentUserName) {
    std::vector<std::wstring> candidates = {currentUserName,     kAdministrators, kUsersGroup,
                                            kAuthenticatedUsers, kEveryone,       kSystemAccount};
    if (auto groups = platform.GetLocalGroupsOfUser(currentUserName); groups.ok()) {
        std::vector<std::wstring> local = *groups;
        std::sort(local.begin(), local.end());
        candidates.insert(candidates.end(), local.begin(), local.end());
    }
    std::vector<std::wstring> offered;
    for (const std::wstring& name : candidates) {
        if (!name.empty() && !Listed(offered, name) && NameToSid(platform, name).has_value())
            offered.push_back(name);
    }
    return offered;
}

bool CanConfirmAccount(const std::wstring& typed) {
    return !Trimmed(typed).empty();
}

std::optional<std::wstring> CheckChosenAccount(Platform& platform, const std::wstring& typed) {
    std::wstring name = Trimmed(typed);
    if (name.empty() || !NameToSid(platform, name).has_value())
        return std::nullopt;
    return name;
}

std::wstring UnknownAccountMessage(const std::wstring& typed) {
    return FillPlaceholders(L"" STR_CHOOSER_NOT_FOUND, {Trimmed(typed)});
}

}  // namespace vm
