// A machine of another language: the well-known accounts carry their German
// names ("Administratoren", "Jeder", "Benutzer"; MS-LSAT 3.1.1.1.1 gives the
// names by the system's language), so a look-up of the English names fails.
// Every command of the program still works there: the engine knows those
// accounts by their SIDs. Names shown come from LookupAccountSidW.
#include "EngineFixture.h"
#include "app/QuickCommands.h"
#include "security/DaclEdits.h"
#include "security/Inheritance.h"
#include "security/Ownership.h"
#include "security/SecurityAccess.h"

namespace vm {
namespace {

using sim::Call;

// The English names of the simulated machine and their German counterparts,
// with the domains LookupAccountSidW gives there.
struct Translation {
    const wchar_t* english;
    const wchar_t* name;
    const wchar_t* domain;
};
constexpr Translation kGerman[] = {
    {L"Everyone", L"Jeder", L""},
    {L"CREATOR OWNER", L"ERSTELLER-BESITZER", L""},
    {L"SYSTEM", L"SYSTEM", L"NT-AUTORITÄT"},
    {L"Authenticated Users", L"Authentifizierte Benutzer", L"NT-AUTORITÄT"},
    {L"INTERACTIVE", L"INTERAKTIV", L"NT-AUTORITÄT"},
    {L"Administrators", L"Administratoren", L"VORDEFINIERT"},
    {L"Users", L"Benutzer", L"VORDEFINIERT"},
    {L"Guests", L"Gäste", L"VORDEFINIERT"},
};

class LocalizedAccounts : public EngineTest {
  protected:
    LocalizedAccounts() {
        bob = machine.AddLocalUser(L"Bob");
        machine.AddFolder(L"C:\\Daten", L"O:" + bob.ToString() + L"D:(A;OICI;FA;;;BA)");
        machine.AddFolder(L"C:\\Daten\\Fotos");
        machine.AddFile(L"C:\\Daten\\Fotos\\bild.jpg");
        machine.AddFile(L"C:\\Daten\\notiz.txt",
                        L"O:" + bob.ToString() + L"D:(A;;FA;;;" + bob.ToString() + L")");
        Translate();
        alice = {L"Alice", BuildCurrentUserGroups(machine, L"Alice")};
    }

    void Translate() {
        std::vector<sim::Account> accounts = machine.AccountList();
        for (sim::Account& account : accounts) {
            for (const Translation& german : kGerman) {
                if (account.name == german.english) {
                    account.name = german.name;
                    account.domain = german.domain;
                }
            }
        }
        ASSERT_TRUE(machine.ReplaceAccounts(accounts));
        ASSERT_FALSE(machine.LookupAccountName(L"Administrators").ok());
        ASSERT_FALSE(machine.LookupAccountName(L"Everyone").ok());
    }

    QuickSetOutcome QuickSet(QuickKind kind, const std::wstring& trustee,
                             const std::wstring& path = L"C:\\Daten") {
        return RunQuickSet(engine, alice, {{path, false}}, {kind, trustee, 0x3}, nullptr);
    }

    Sid bob;
    UserIdentity alice;
};

TEST_F(LocalizedAccounts, NamesShownAreTheSystemsOwn) {
    SetOwner(engine, L"C:\\Daten\\notiz.txt", kAdministrators);
    EXPECT_EQ(machine.OwnerOf(L"C:\\Daten\\notiz.txt"), sids::Administrators());
    EXPECT_EQ(GetOwnerName(machine, L"C:\\Daten\\notiz.txt"), L"Administratoren");
    EXPECT_EQ(SidToName(machine, sids::Everyone().ToBytes()), L"Jeder");
    // The token's groups by their German names, Everyone last as "Jeder".
    EXPECT_NE(alice.CurrentUserGroups.find(L"<Administratoren>"), std::wstring::npos);
    EXPECT_TRUE(alice.CurrentUserGroups.ends_with(L"<Benutzer><Jeder>"))
        << ToUtf8(alice.CurrentUserGroups);
}

TEST_F(LocalizedAccounts, EveryQuickCommandAndTrusteeWorks) {
    struct Case {
        QuickKind kind;
        const wchar_t* trustee;
        Sid sid;
    };
    const Case cases[] = {
        {QuickKind::kAllowAccess, kEveryone, sids::Everyone()},
        {QuickKind::kReadOnly, kAdministrators, sids::Administrators()},
        {QuickKind::kDenyAccess, kSystemAccount, sids::System()},
        {QuickKind::kReadOnly, kTrustedInstaller, sids::TrustedInstaller()},
        {QuickKind::kAllowAccess, L"Jeder", sids::Everyone()},  // typed in the system's language
    };
    for (const Case& c : cases) {
        QuickSetOutcome outcome = QuickSet(c.kind, c.trustee);
        ASSERT_TRUE(outcome.trusteeResolved) << ToUtf8(c.trustee);
        ASSERT_EQ(outcome.items.size(), 1u);
        EXPECT_EQ(outcome.items[0].result, QuickItemResult::kDone) << ToUtf8(c.trustee);
        const AclSlot dacl = machine.DaclOf(L"C:\\Daten");
        ASSERT_TRUE(dacl.acl && dacl.acl->aces.size() == 1) << ToUtf8(Dacl(L"C:\\Daten"));
        EXPECT_EQ(dacl.acl->aces[0].sid, c.sid) << ToUtf8(c.trustee);
        // Temporary ownership took "Administratoren" and gave Bob back.
        EXPECT_EQ(machine.OwnerOf(L"C:\\Daten"), bob) << ToUtf8(c.trustee);
    }
    EXPECT_TRUE(reporter.texts().empty());
}

TEST_F(LocalizedAccounts, AccessIsEvaluatedAgainstTheGermanGroupNames) {
    // Read for "Jeder", full use for "Administratoren".
    machine.AddFile(L"C:\\lesen.txt", L"O:BAD:(A;;0x1200A9;;;WD)");
    machine.AddFile(L"C:\\admins.txt", L"O:BAD:(A;;FA;;;BA)");
    EXPECT_EQ(GetAccessLevel(machine, alice, L"C:\\lesen.txt"), AccessLevel::kReadOnly);
    EXPECT_EQ(GetAccessLevel(machine, alice, L"C:\\admins.txt"), AccessLevel::kAllowed);
}

TEST_F(LocalizedAccounts, ChangeOwnerCopyAndPasteCarryTheOwners) {
    RunChangeOwner(engine, {{L"C:\\Daten\\notiz.txt", true}}, L"SYSTEM", nullptr);
    EXPECT_EQ(machine.OwnerOf(L"C:\\Daten\\notiz.txt"), sids::System());
    CopyBuffer buffer;
    ASSERT_GT(CopySecuritySettings(engine, buffer, L"C:\\Daten"), 0u);
    EXPECT_EQ(buffer.CopiedOwnerName, L"Bob");
    EXPECT_EQ(machine.OwnerOf(L"C:\\Daten"), bob);
    ASSERT_TRUE(PasteSecuritySettings(engine, buffer, L"C:\\Daten\\notiz.txt"));
    EXPECT_EQ(machine.OwnerOf(L"C:\\Daten\\notiz.txt"), bob);
    EXPECT_EQ(Dacl(L"C:\\Daten\\notiz.txt"), Dacl(L"C:\\Daten"));
}

TEST_F(LocalizedAccounts, ResetApplyAndPropagationWork) {
    machine.ResetCounters();
    ASSERT_TRUE(ApplyInheritanceAndEntries(engine, L"C:\\Daten", false,
                                           {{kEveryone, 0x1200A9, ace_type::kAccessAllowed, 0x3},
                                            {kUsers, 0x1F01FF, ace_type::kAccessAllowed, 0x3}},
                                           L"Administrators"));
    EXPECT_EQ(Sddl(L"C:\\Daten"), L"O:BAD:PAI(A;OICI;FA;;;BU)(A;OICI;0x1200a9;;;WD)");
    EXPECT_EQ(Dacl(L"C:\\Daten\\notiz.txt"),
              L"D:AI(A;;FA;;;" + bob.ToString() + L")(A;ID;FA;;;BU)(A;ID;0x1200a9;;;WD)");
    for (auto mode : {PropagationMode::kResetToInherited, PropagationMode::kCopyFromFolder}) {
        PropagationRun run;
        run.folder = L"C:\\Daten";
        run.mode = mode;
        NullObserver observer;
        EXPECT_EQ(RunPropagation(engine, run, observer), 1);
        EXPECT_EQ(run.total, 3);
        EXPECT_TRUE(run.notReached.empty());
    }
    // The copy leaves every entry owned by "Administratoren" and with the
    // folder's DACL.
    EXPECT_EQ(Sddl(L"C:\\Daten\\Fotos\\bild.jpg"),
              L"O:BAD:PAI(A;OICI;FA;;;BU)(A;OICI;0x1200a9;;;WD)");
    ASSERT_TRUE(ResetToInherited(engine, L"C:\\Daten\\Fotos\\bild.jpg"));
    EXPECT_EQ(Dacl(L"C:\\Daten\\Fotos\\bild.jpg"), L"D:AI(A;ID;FA;;;BU)(A;ID;0x1200a9;;;WD)");
    EXPECT_EQ(Calls(Call::kLookupAccountName), 0u);
}

}  // namespace
}  // namespace vm
