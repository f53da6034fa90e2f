// The account chooser that stands in for the object picker where the picker
// cannot be created: the user types an account name or picks one of the
// accounts this computer has, and the name is returned only when the
// account lookup (AccountSidOfName) knows it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace vm {

// The accounts the chooser lists: the current user, the well-known accounts
// and groups the permissions of files name most, then the user's local
// groups as the system lists them (NetUserGetLocalGroups), each once and
// only when the account lookup resolves it here.
std::vector<std::wstring> OfferedAccounts(Platform& platform, const std::wstring& currentUserName);

// OK is offered once something other than blanks is typed.
bool CanConfirmAccount(const std::wstring& typed);

// The typed name without surrounding blanks, when the account lookup knows
// it; nullopt for an unknown (or empty) name.
std::optional<std::wstring> CheckChosenAccount(Platform& platform, const std::wstring& typed);

// What the chooser says of a name it does not know.
std::wstring UnknownAccountMessage(const std::wstring& typed);

}  // namespace vm
