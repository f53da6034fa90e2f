#include "lists/RowStatus.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/Utf16.h"
#include "platform/sim/SimPlatform.h"
#include "security/SecurityAccess.h"

namespace vm {
namespace {

using sim::Call;

class RowStatusTest : public ::testing::Test {
  protected:
    void SetUp() override {
        machine.AddVolume(L'C', L"NTFS");
        machine.AddLocalUser(L"Bob");
        machine.AddFolder(L"C:\\Data");
        machine.AddFile(L"C:\\Data\\mine.txt", L"O:BAD:(A;;FA;;;BA)");
        machine.AddFile(L"C:\\Data\\bobs.txt",
                        L"O:" + machine.SidOf(L"Bob").ToString() + L"D:(A;;FR;;;BA)");
        machine.AddFile(L"C:\\Data\\locked.txt", L"O:BAD:(D;;FA;;;WD)");
        user.CurrentUserName = L"Alice";
        user.CurrentUserGroups = BuildCurrentUserGroups(machine, L"Alice");
    }

    // Whatever the engine's own functions say for the path.
    RowStatus Expected(const std::wstring& path) {
        RowStatus status;
        status.access = static_cast<int32_t>(GetAccessLevel(machine, user, path));
        status.owner = GetOwnerName(machine, path);
        return status;
    }

    sim::SimPlatform machine;
    UserIdentity user;
};

TEST_F(RowStatusTest, ReaderGivesTheEngineTexts) {
    RowStatusReader reader(machine, user);
    for (const wchar_t* path : {L"C:\\Data\\mine.txt", L"C:\\Data\\bobs.txt",
                                L"C:\\Data\\locked.txt", L"C:\\Data", L"C:\\"}) {
        SCOPED_TRACE(ToUtf8(path));
        RowStatus expected = Expected(path);
        RowStatus got = reader.Read({1, path, false});
        EXPECT_EQ(got.access, expected.access);
        EXPECT_EQ(got.owner, expected.owner);
        EXPECT_TRUE(got.exists);
    }
    EXPECT_EQ(reader.Read({1, L"C:\\Data\\bobs.txt"}).owner, L"Bob");
    EXPECT_EQ(reader.Read({1, L"C:\\Data\\bobs.txt"}).access,
              static_cast<int32_t>(AccessLevel::kReadOnly));
    EXPECT_EQ(reader.Read({1, L"C:\\Data\\locked.txt"}).access,
              static_cast<int32_t>(AccessLevel::kDenied));
}

TEST_F(RowStatusTest, UnresolvedOwnerAndUnreadableObjectGiveEmptyOwner) {
    machine.DeleteAccount(L"Bob");
    machine.AddFile(L"C:\\Data\\private.txt", L"O:BAD:(A;;FA;;;BA)");
    machine.DenyAccess(L"C:\\Data\\private.txt", 0x20000);  // READ_CONTROL
    RowStatusReader reader(machine, user);
    EXPECT_EQ(reader.Read({1, L"C:\\Data\\bobs.txt"}).owner, L"");
    RowStatus unreadable = reader.Read({1, L"C:\\Data\\private.txt"});
    EXPECT_EQ(unreadable.owner, L"");
    EXPECT_EQ(unreadable.access, Expected(L"C:\\Data\\private.txt").access);
}

TEST_F(RowStatusTest, ExistenceIsCheckedOnlyWhenAsked) {
    RowStatusReader reader(machine, user);
    RowStatus gone = reader.Read({5, L"C:\\Data\\nothing.txt", true});
    EXPECT_EQ(gone.serial, 5u);
    EXPECT_FALSE(gone.exists);
    EXPECT_EQ(gone.owner, L"");
    machine.ResetCounters();
    EXPECT_TRUE(reader.Read({6, L"C:\\Data\\mine.txt", false}).exists);
    EXPECT_EQ(machine.CallCount(Call::kPathFileExists), 0u);
}

TEST_F(RowStatusTest, OwnerLookupsAreSharedAcrossRows) {
    for (int i = 0; i < 20; ++i)
        machine.AddFile(L"C:\\Data\\f" + std::to_wstring(i) + L".txt", L"O:BAD:(A;;FA;;;BA)");
    RowStatusReader reader(machine, user);
    machine.ResetCounters();
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(reader.OwnerName(L"C:\\Data\\f" + std::to_wstring(i) + L".txt"),
                  L"Administrators");
    EXPECT_EQ(machine.CallCount(Call::kLookupAccountSid), 1u);
    EXPECT_EQ(machine.CallCount(Call::kGetNamedSecurityInfo), 20u);
    // A new fill resolves again, so a renamed account shows its new name.
    reader.ForgetNames();
    reader.OwnerName(L"C:\\Data\\f0.txt");
    EXPECT_EQ(machine.CallCount(Call::kLookupAccountSid), 2u);
}

// Waits (briefly, without timing anything) until the filler has read all.
std::vector<RowStatus> Drain(RowStatusFiller& filler, size_t expected) {
    std::vector<RowStatus> all;
    for (int spin = 0; spin < 20000 && all.size() < expected; ++spin) {
        for (auto& status : filler.TakeResults())
            all.push_back(std::move(status));
        if (all.size() < expected)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return all;
}

TEST_F(RowStatusTest, FillerDeliversInRequestOrderWithOneNotificationAtATime) {
    std::atomic<int> notifications{0};
    RowStatusFiller filler(machine, user, [&] { ++notifications; });
    std::vector<RowStatusRequest> requests;
    for (uint64_t i = 0; i < 50; ++i)
        requests.push_back({i + 1, i % 2 ? L"C:\\Data\\bobs.txt" : L"C:\\Data\\mine.txt"});
    filler.Enqueue(requests);
    auto results = Drain(filler, 50);
    ASSERT_EQ(results.size(), 50u);
    for (uint64_t i = 0; i < 50; ++i) {
        EXPECT_EQ(results[i].serial, i + 1);
        EXPECT_EQ(results[i].owner, i % 2 ? L"Bob" : L"Administrators");
    }
    // Each notification was answered by a TakeResults before the next one.
    EXPECT_GE(notifications.load(), 1);
    EXPECT_LE(notifications.load(), 50);
    EXPECT_TRUE(filler.Idle());
}

TEST_F(RowStatusTest, ClearDropsQueuedAndInFlightResults) {
    std::atomic<bool> release{false};
    std::atomic<bool> blocked{false};
    // Hold the worker inside its first platform call until the test clears.
    machine.SetCallHook([&](Call, const std::wstring& path) {
        if (path == L"C:\\Data\\mine.txt" && !release) {
            blocked = true;
            while (!release)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    RowStatusFiller filler(machine, user, [] {});
    filler.Enqueue({{1, L"C:\\Data\\mine.txt"}, {2, L"C:\\Data\\bobs.txt"}});
    for (int spin = 0; spin < 10000 && !blocked; ++spin)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(blocked);
    filler.Clear();
    filler.Enqueue(RowStatusRequest{3, L"C:\\Data\\locked.txt"});
    release = true;
    auto results = Drain(filler, 1);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].serial, 3u);
    machine.SetCallHook(nullptr);
}

// The rows in view are read first, in the order the window gives them; a
// new view replaces the wish and the rest keep the order they were asked in.
TEST_F(RowStatusTest, PrioritisedRowsAreReadFirstAndANewViewReplacesTheWish) {
    std::atomic<bool> release{false};
    std::atomic<bool> blocked{false};
    machine.SetCallHook([&](Call, const std::wstring& path) {
        if (path == L"C:\\Data\\locked.txt" && !release) {
            blocked = true;
            while (!release)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    RowStatusFiller filler(machine, user, [] {});
    std::vector<RowStatusRequest> requests{{1, L"C:\\Data\\locked.txt"}};
    for (uint64_t serial = 2; serial <= 10; ++serial)
        requests.push_back({serial, L"C:\\Data\\mine.txt"});
    requests.push_back({7, L"C:\\Data\\bobs.txt"});  // a refresh of row 7
    filler.Enqueue(requests);
    for (int spin = 0; spin < 10000 && !blocked; ++spin)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(blocked);
    filler.Prioritise({9, 8});
    filler.Prioritise({7, 5});  // scrolled on before the worker was free
    release = true;
    const auto results = Drain(filler, 11);
    std::vector<uint64_t> serials;
    for (const RowStatus& status : results)
        serials.push_back(status.serial);
    EXPECT_EQ(serials, (std::vector<uint64_t>{1, 7, 7, 5, 2, 3, 4, 6, 8, 9, 10}));
    // Both requests of row 7 in the order asked: the refresh's result last.
    EXPECT_EQ(results[1].owner, L"Administrators");
    EXPECT_EQ(results[2].owner, L"Bob");
    machine.SetCallHook(nullptr);
}

// The names are the process's: shared by every fill and every list, failures
// included, until an explicit refresh forgets them.
TEST_F(RowStatusTest, NamesAreSharedAcrossFillsUntilForgotten) {
    for (int i = 0; i < 10; ++i)
        machine.AddFile(L"C:\\Data\\n" + std::to_wstring(i) + L".txt", L"O:BAD:(A;;FA;;;BA)");
    SidNameCache processNames;
    RowStatusFiller filler(
        machine, user, [] {}, &processNames);
    machine.ResetCounters();
    // Rows arrive one by one (the queue runs dry in between).
    for (uint64_t i = 0; i < 10; ++i) {
        filler.Enqueue(RowStatusRequest{i, L"C:\\Data\\n" + std::to_wstring(i) + L".txt"});
        ASSERT_EQ(Drain(filler, 1).size(), 1u);
    }
    // Administrators resolved once, for the access rule and as the owner.
    EXPECT_EQ(machine.CallCount(Call::kLookupAccountSid), 1u);
    // Another list (another filler) of the same process resolves nothing.
    RowStatusFiller other(
        machine, user, [] {}, &processNames);
    other.Enqueue(RowStatusRequest{20, L"C:\\Data\\n0.txt"});
    ASSERT_EQ(Drain(other, 1).size(), 1u);
    EXPECT_EQ(machine.CallCount(Call::kLookupAccountSid), 1u);
    filler.ForgetNames();
    filler.Enqueue(RowStatusRequest{11, L"C:\\Data\\n0.txt"});
    ASSERT_EQ(Drain(filler, 1).size(), 1u);
    EXPECT_EQ(machine.CallCount(Call::kLookupAccountSid), 2u);
}

// On a machine whose domain cannot be reached every failed look-up can take
// seconds: a SID that does not resolve is asked about once, not per row.
TEST_F(RowStatusTest, ASidThatDoesNotResolveIsLookedUpOnce) {
    Sid gone = machine.AddLocalUser(L"Gone");
    for (int i = 0; i < 10; ++i)
        machine.AddFile(
            L"C:\\Data\\g" + std::to_wstring(i) + L".txt",
            L"O:" + gone.ToString() + L"D:(A;;FA;;;" + gone.ToString() + L")(A;;RC;;;BA)");
    machine.DeleteAccount(L"Gone");
    SidNameCache processNames;
    RowStatusReader reader(machine, user, &processNames);
    machine.ResetCounters();
    for (int i = 0; i < 10; ++i) {
        RowStatus status = reader.Read({1, L"C:\\Data\\g" + std::to_wstring(i) + L".txt"});
        EXPECT_EQ(status.owner, L"");
        EXPECT_EQ(status.access, static_cast<int32_t>(AccessLevel::kDenied));
    }
    // Once for the deleted account (owner and entry alike), once for BA.
    EXPECT_EQ(machine.CallCount(Call::kLookupAccountSid), 2u);
}

// Destroying a filler in the middle of 2000 requests stops its worker at a
// request boundary: it reads almost none of the rest, and nothing touches
// the machine once the destructor has returned.
TEST_F(RowStatusTest, DestroyingABusyFillerStopsIt) {
    constexpr uint64_t kRequests = 2000;
    std::vector<RowStatusRequest> requests;
    for (uint64_t i = 0; i < kRequests; ++i)
        requests.push_back({i, L"C:\\Data\\mine.txt"});
    std::atomic<bool> destroying{false};
    std::atomic<bool> destroyed{false};
    std::atomic<uint64_t> callsAfterDestruction{0};
    // The worker's first call waits until the destruction has begun, so
    // that it is busy, not finished, when the filler goes.
    machine.SetCallHook([&](Call, const std::wstring&) {
        while (!destroying)
            std::this_thread::yield();
        if (destroyed)
            ++callsAfterDestruction;
    });
    machine.ResetCounters();
    auto filler = std::make_unique<RowStatusFiller>(machine, user, [] {});
    filler->Enqueue(std::move(requests));
    destroying = true;
    filler.reset();  // must not hang or touch freed memory
    destroyed = true;
    EXPECT_EQ(callsAfterDestruction.load(), 0u);
    // Each request reads the owner once: at most a few were read.
    EXPECT_LT(machine.CallCount(Call::kGetNamedSecurityInfo), kRequests / 2);
    machine.SetCallHook(nullptr);
}

}  // namespace
}  // namespace vm
