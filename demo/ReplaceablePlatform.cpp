#include "demo/ReplaceablePlatform.h"

namespace vm::demo {

ReplaceablePlatform::ReplaceablePlatform(std::unique_ptr<sim::SimPlatform> machine)
    : machine_(std::move(machine)) {}

std::unique_ptr<sim::SimPlatform> ReplaceablePlatform::Replace(
    std::unique_ptr<sim::SimPlatform> machine) {
    std::lock_guard waiting(turnstile_);
    std::unique_lock lock(mutex_);
    machine_.swap(machine);
    return machine;
}

}  // namespace vm::demo
