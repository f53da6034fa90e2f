// Account names of SIDs and SIDs of account names, resolved once for the
// whole process and shared by every thread. Failures are remembered as well
// as answers: on a machine whose domain cannot be reached each failed
// LookupAccountSidW can take seconds, and a list of thousands of rows names
// the same few unresolvable SIDs again and again. Forget() starts afresh (an
// explicit refresh, so that a renamed or deleted account shows as it is now).
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "platform/Platform.h"
#include "security/Sid.h"

namespace vm {

class SidNameCache {
  public:
    // SidToName: the bare account name, or the SID's string form when it
    // does not resolve.
    std::wstring Name(Platform& platform, const Sid& sid);
    // LookupAccountSidW's bare name; empty when the SID does not resolve
    // (GetOwnerName's text).
    std::wstring BareName(Platform& platform, const Sid& sid);
    // The SID of an account name (AccountSidOfName: the engine's fixed names
    // by their well-known SIDs); nullopt when it does not resolve.
    std::optional<Sid> AccountSid(Platform& platform, const std::wstring& accountName);
    // Drops every answer and every remembered failure.
    void Forget();

  private:
    std::mutex mutex_;
    std::map<Sid, std::wstring> bareNames_;  // empty: did not resolve
    std::map<Sid, std::wstring> sidTexts_;
    std::map<std::wstring, std::optional<Sid>> accountSids_;
};

}  // namespace vm
