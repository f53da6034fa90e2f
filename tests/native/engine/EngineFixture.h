// A simulated machine with the engine on it: user "Alice" (Administrators,
// Users), elevated, drive C: with the default root security.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/Reporter.h"
#include "platform/Utf16.h"
#include "platform/sim/SimPlatform.h"
#include "security/AccessEvaluation.h"
#include "security/Engine.h"
#include "security/Propagation.h"

namespace vm {

// Nobody watching the walk.
class NullObserver final : public PropagationObserver {
  public:
    void Counted(int32_t, int32_t) override {}
    void ApplyingStarted() override {}
    void EntryStarted(const std::wstring&) override {}
    void EntryDone(int32_t, int32_t) override {}
    void NotReached(const std::vector<std::wstring>&) override {}
    void Finished() override {}
};

class EngineTest : public ::testing::Test {
  protected:
    EngineTest() : engine(machine, reporter) { machine.AddVolume(L'C', L"NTFS"); }

    UserIdentity Alice() { return {L"Alice", BuildCurrentUserGroups(machine, L"Alice")}; }
    AccessLevel LevelOf(const std::wstring& path) { return GetAccessLevel(machine, Alice(), path); }
    std::wstring Sddl(const std::wstring& path) { return machine.SddlOf(path); }
    std::wstring Dacl(const std::wstring& path) { return machine.DaclSddlOf(path); }
    uint64_t Calls(sim::Call call) { return machine.CallCount(call); }

    sim::SimPlatform machine;
    RecordingReporter reporter;
    Engine engine;
};

}  // namespace vm
