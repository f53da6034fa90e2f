// What the operations that change security work on: the platform, the place
// their few messages go, the lock that keeps concurrent owner changes from
// switching a privilege off under each other, and the account names resolved
// so far. One Engine per process
// (one per simulated machine in tests), never a global, so that several
// machines can run side by side.
#pragma once

#include <memory>
#include <mutex>

#include "platform/Platform.h"
#include "platform/Reporter.h"
#include "security/SidNameCache.h"

namespace vm {

class Engine {
  public:
    Engine(Platform& platform, Reporter& reporter) : platform_(platform), reporter_(reporter) {}
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    Platform& platform() const { return platform_; }
    Reporter& reporter() const { return reporter_; }
    // The process token as owner changes share it. The token is shared by
    // every thread, so one call's switch-off of SeTakeOwnershipPrivilege must
    // not fall between another call's switch-on and its owner write: the
    // privileges are switched on by the first of any overlapping owner
    // changes and off by the last (see OwnerPrivilegeScope).
    struct TokenState {
        std::mutex mutex;
        int holders = 0;                     // owner changes in progress
        std::unique_ptr<TokenHandle> token;  // open while holders > 0
    };
    TokenState& tokenState() const { return tokenState_; }
    // The process-wide account names: every list and command resolves a SID
    // once, and a SID that does not resolve once.
    SidNameCache& names() const { return names_; }

  private:
    Platform& platform_;
    Reporter& reporter_;
    mutable TokenState tokenState_;
    mutable SidNameCache names_;
};

}  // namespace vm
