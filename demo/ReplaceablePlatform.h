// A Platform that passes every call to a simulated machine which can be
// replaced while the program runs (the demonstration machine put back as
// shipped). The windows and the engine hold this one Platform for the whole
// run; worker threads may be calling it when the machine is replaced, so
// every call holds a shared lock and the replacement an exclusive one: a call
// sees the old machine or the new one, never half of each. A replacement
// waiting for its turn holds back new calls (readers alone would never leave
// it a gap).
#pragma once

#include <memory>
#include <mutex>
#include <shared_mutex>
#include <utility>

#include "platform/ForwardingPlatform.h"
#include "platform/sim/SimPlatform.h"

namespace vm::demo {

class ReplaceablePlatform final : public ForwardingPlatform {
  public:
    explicit ReplaceablePlatform(std::unique_ptr<sim::SimPlatform> machine);

    // Puts this machine in place of the current one and returns the one it
    // replaced (destroyed by the caller, outside the lock). A token handle
    // opened on the old machine is refused by the new one (ERROR_INVALID_HANDLE).
    std::unique_ptr<sim::SimPlatform> Replace(std::unique_ptr<sim::SimPlatform> machine);

    // Runs read(const sim::SimPlatform&) on the current machine, which
    // stays in place meanwhile.
    template <class Reader>
    auto Inspect(Reader&& read) const {
        std::shared_lock lock = SharedLock();
        return std::forward<Reader>(read)(std::as_const(*machine_));
    }

  protected:
    CallScope EnterCall() override { return SharedLock(); }
    Platform& Target() override { return *machine_; }

  private:
    // Passes the turnstile (held by a waiting replacement) first.
    std::shared_lock<std::shared_mutex> SharedLock() const {
        { std::lock_guard pass(turnstile_); }
        return std::shared_lock(mutex_);
    }

    mutable std::mutex turnstile_;
    mutable std::shared_mutex mutex_;
    std::unique_ptr<sim::SimPlatform> machine_;
};

}  // namespace vm::demo
