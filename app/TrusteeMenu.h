// The trustee menu ("AddACE"): which account each entry names, its first
// entry's text, and which entries a system offers. The main window's
// "Change Owner" and the Options dialog of the quick commands both use it and
// differ only in the TrustedInstaller name they hand on.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "resources/resource.h"

namespace vm {

enum class TrusteeMenuUser {
    kChangeOwner,    // the owner operation adds the "NT Service\" prefix itself
    kOptionsDialog,  // the name goes into an ACE as typed, so it carries the prefix
};

// The account a trustee command names, for every entry but "Advanced..."
// (whose name comes from the account picker) and commands outside the menu.
std::optional<std::wstring> TrusteeNameForCommand(uint32_t command, TrusteeMenuUser user,
                                                  const std::wstring& currentUserName);

bool IsTrusteeCommand(uint32_t command);

// "Current User - " followed by the user's name.
std::wstring CurrentUserEntryText(const std::wstring& currentUserName);

// The TrustedInstaller service account exists from Windows Vista (6.0) on.
bool OffersTrustedInstaller(double osVersion);

}  // namespace vm
