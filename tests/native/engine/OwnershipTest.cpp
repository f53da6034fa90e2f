// Owner changes: the TrustedInstaller short form, the two privileges and
// their state afterwards, the message, and what is left alone.
#include <mutex>

#include "EngineFixture.h"
#include "security/Ownership.h"
#include "security/SecurityAccess.h"

namespace vm {
namespace {

using sim::Call;

class Ownership : public EngineTest {
  protected:
    Ownership() {
        machine.AddLocalUser(L"Bob");
        machine.AddFile(L"C:\\o.txt", L"O:SYD:(A;;FA;;;SY)(A;;FR;;;BU)");
    }
    // Names handed to LookupAccountNameW, in order.
    std::vector<std::wstring> RecordLookups() {
        machine.SetCallHook([this](Call call, const std::wstring& name) {
            if (call == Call::kLookupAccountName) {
                std::lock_guard lock(namesMutex_);
                names_.push_back(name);
            }
        });
        return {};
    }
    std::vector<std::wstring> LookedUp() {
        std::lock_guard lock(namesMutex_);
        return names_;
    }

  private:
    std::mutex namesMutex_;
    std::vector<std::wstring> names_;
};

// "TrustedInstaller" exactly so stands for the service account, which the
// engine knows by its SID; any other spelling goes to the look-up as typed.
TEST_F(Ownership, ShortTrustedInstallerIsRewrittenOtherSpellingsAreNot) {
    RecordLookups();
    SetOwner(engine, L"C:\\o.txt", L"TrustedInstaller");
    EXPECT_EQ(GetOwnerName(machine, L"C:\\o.txt"), L"TrustedInstaller");
    EXPECT_EQ(machine.OwnerOf(L"C:\\o.txt"), sids::TrustedInstaller());
    SetOwner(engine, L"C:\\o.txt", L"trustedinstaller");
    EXPECT_EQ(LookedUp(), (std::vector<std::wstring>{L"trustedinstaller"}));
}

TEST_F(Ownership, PrivilegeStateAfterwards) {
    SetOwner(engine, L"C:\\o.txt", L"Bob");
    EXPECT_EQ(machine.OwnerNameOf(L"C:\\o.txt"), L"Bob");
    EXPECT_TRUE(machine.PrivilegeEnabled(L"SeRestorePrivilege"));
    EXPECT_FALSE(machine.PrivilegeEnabled(L"SeTakeOwnershipPrivilege"));
    EXPECT_EQ(machine.OpenTokenHandles(), 0);
    EXPECT_TRUE(reporter.texts().empty());
}

TEST_F(Ownership, NothingHappensForMissingPathEmptyOrUnknownName) {
    std::wstring before = Sddl(L"C:\\o.txt");
    machine.ResetCounters();
    SetOwner(engine, L"C:\\gone.txt", L"Bob");
    SetOwner(engine, L"C:\\o.txt", L"");
    SetOwner(engine, L"C:\\o.txt", L"NoSuchAccount");
    EXPECT_EQ(Sddl(L"C:\\o.txt"), before);
    EXPECT_EQ(Calls(Call::kOpenProcessToken), 0u);
    EXPECT_EQ(Calls(Call::kSetNamedSecurityInfo), 0u);
    EXPECT_TRUE(reporter.texts().empty());
}

TEST_F(Ownership, PrivilegeFailuresAreToldOnceEachAndTheWriteIsStillTried) {
    machine.FailNthCall(Call::kAdjustTokenPrivilege, 2, err::kAccessDenied);  // SeRestore on
    SetOwner(engine, L"C:\\o.txt", L"Administrators");
    EXPECT_EQ(reporter.texts(), std::vector<std::wstring>{kNotAdministratorMessage});
    reporter.Clear();
    machine.FailEveryCall(Call::kOpenProcessToken, err::kAccessDenied);
    machine.SetTokenPrivilege(L"SeRestorePrivilege", true, false);
    machine.AddFile(L"C:\\open.txt", L"O:SYD:(A;;FA;;;BA)");
    SetOwner(engine, L"C:\\open.txt", L"Alice");
    EXPECT_EQ(reporter.texts(), std::vector<std::wstring>(2, kNotAdministratorMessage));
    // Administrators may own objects, and Alice may set herself as owner.
    EXPECT_EQ(machine.OwnerNameOf(L"C:\\open.txt"), L"Alice");
    EXPECT_EQ(reporter.messages()[0].text, L"You must logged on as Administrator.\n");
}

TEST_F(Ownership, WithoutElevationOnlyOwnersTheUserMaySetAreAccepted) {
    machine.SetTokenNotElevated();
    SetOwner(engine, L"C:\\o.txt", L"Bob");
    EXPECT_EQ(machine.OwnerNameOf(L"C:\\o.txt"), L"SYSTEM");
    EXPECT_TRUE(reporter.texts().empty());  // a privilege the token lacks is no failure
}

TEST_F(Ownership, OneScopeAroundManyOwnerChangesSwitchesThePrivilegesOnce) {
    machine.AddFile(L"C:\\p.txt", L"O:SYD:(A;;FA;;;SY)");
    machine.FailEveryCall(Call::kAdjustTokenPrivilege, err::kAccessDenied);
    {
        OwnerPrivilegeScope privileges(engine);
        machine.ClearFaults();
        machine.ResetCounters();
        for (const wchar_t* owner : {L"Bob", L"Administrators", L"Bob"})
            SetOwner(engine, L"C:\\p.txt", owner);
        EXPECT_EQ(Calls(Call::kOpenProcessToken) + Calls(Call::kAdjustTokenPrivilege), 0u);
        EXPECT_EQ(machine.OpenTokenHandles(), 1);
    }
    // Told once per privilege for the whole run, not once per owner change.
    EXPECT_EQ(reporter.texts(), std::vector<std::wstring>(2, kNotAdministratorMessage));
    EXPECT_FALSE(machine.PrivilegeEnabled(L"SeTakeOwnershipPrivilege"));
    EXPECT_EQ(machine.OpenTokenHandles(), 0);
}

}  // namespace
}  // namespace vm
