// The one Platform of the demonstration program: every call reaches the
// current machine, and a machine put in its place while other threads call
// it is seen whole or not at all.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "demo/ReplaceablePlatform.h"

namespace vm::demo {
namespace {

std::unique_ptr<sim::SimPlatform> MachineOf(const std::wstring& user) {
    auto machine = std::make_unique<sim::SimPlatform>();
    machine->AddVolume(L'C', L"NTFS");
    machine->AddLocalUser(user);
    machine->SetTokenUser(user);
    machine->AddFolder(L"C:\\Only" + user);
    return machine;
}

TEST(ReplaceablePlatform, CallsReachTheCurrentMachineAndWritesStayThere) {
    ReplaceablePlatform platform(MachineOf(L"Ann"));
    EXPECT_EQ(*platform.GetUserName(), L"Ann");
    EXPECT_TRUE(platform.PathIsDirectory(L"C:\\OnlyAnn"));
    const OptionalAcl nullDacl;
    ASSERT_TRUE(platform
                    .SetNamedSecurityInfo(L"C:\\OnlyAnn", secinfo::kDacl | secinfo::kProtectedDacl,
                                          nullptr, &nullDacl)
                    .ok());
    EXPECT_TRUE(platform.Inspect(
        [](const sim::SimPlatform& machine) { return machine.DaclOf(L"C:\\OnlyAnn").IsNull(); }));

    std::unique_ptr<sim::SimPlatform> old = platform.Replace(MachineOf(L"Bea"));
    EXPECT_EQ(*platform.GetUserName(), L"Bea");
    EXPECT_FALSE(platform.PathIsDirectory(L"C:\\OnlyAnn"));
    EXPECT_TRUE(platform.PathIsDirectory(L"C:\\OnlyBea"));
    // The machine it replaced is handed back as it was.
    EXPECT_TRUE(old->DaclOf(L"C:\\OnlyAnn").IsNull());
}

TEST(ReplaceablePlatform, TokenOfTheReplacedMachineIsRefusedByTheNewOne) {
    ReplaceablePlatform platform(MachineOf(L"Ann"));
    auto token = platform.OpenProcessToken(kTokenAdjustPrivileges | kTokenQuery);
    ASSERT_TRUE(token.ok());
    const Luid backup = *platform.LookupPrivilegeValue(L"SeBackupPrivilege");
    EXPECT_TRUE(platform.AdjustTokenPrivilege(**token, backup, true).ok());
    std::unique_ptr<sim::SimPlatform> old = platform.Replace(MachineOf(L"Bea"));
    EXPECT_EQ(platform.AdjustTokenPrivilege(**token, backup, true).error(), err::kInvalidHandle);
}

TEST(ReplaceablePlatform, ReadersOnOtherThreadsSeeOneMachineOrTheOther) {
    ReplaceablePlatform platform(MachineOf(L"Ann"));
    std::atomic<bool> stop{false};
    std::atomic<int> mixed{0};
    std::atomic<int> reads{0};
    std::vector<std::jthread> readers;
    for (int i = 0; i < 3; ++i) {
        readers.emplace_back([&] {
            while (!stop) {
                // The listing and the user come from the same machine only
                // when the platform does not change under a call.
                auto root = platform.FindFiles(L"C:\\*");
                if (!root.ok() || root->size() != 1 ||
                    (root->front().name != L"OnlyAnn" && root->front().name != L"OnlyBea"))
                    ++mixed;
                ++reads;
            }
        });
    }
    for (int round = 0; round < 200; ++round) {
        platform.Replace(MachineOf(round % 2 ? L"Ann" : L"Bea"));
        while (reads < round)
            std::this_thread::yield();
    }
    stop = true;
    readers.clear();
    EXPECT_EQ(mixed, 0);
}

}  // namespace
}  // namespace vm::demo
