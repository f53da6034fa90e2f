#include "app/QuickCommands.h"

#include <gtest/gtest.h>

#include "platform/sim/SimPlatform.h"
#include "security/SecurityAccess.h"

namespace vm {
namespace {

using sim::Call;

class QuickSetTest : public testing::Test {
  protected:
    QuickSetTest() : engine(machine, reporter) {
        machine.AddVolume(L'C', L"NTFS");
        machine.AddVolume(L'D', L"NTFS");
        machine.AddLocalUser(L"Bob");
        machine.AddFolder(L"C:\\Data", L"O:S-1-5-32-545D:(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)");
        machine.SetSecurity(L"C:\\Data", L"O:" + machine.SidOf(L"Bob").ToString() +
                                             L"D:(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)");
        machine.AddFolder(L"C:\\Data\\Photos");
        machine.AddFile(L"C:\\Data\\notes.txt");
        user.CurrentUserName = L"Alice";
        user.CurrentUserGroups = BuildCurrentUserGroups(machine, L"Alice");
    }

    QuickSetOutcome Run(std::vector<QuickItem> items, QuickKind kind, std::wstring trustee,
                        uint8_t scope) {
        done.clear();
        return RunQuickSet(engine, user, items, {kind, std::move(trustee), scope},
                           [this](size_t index, AccessLevel level) {
                               done.push_back({index, level});
                           });
    }

    Ace OnlyAce(const std::wstring& path) {
        auto dacl = machine.DaclOf(path);
        EXPECT_TRUE(dacl.acl.has_value()) << "NULL DACL left on the item";
        if (!dacl.acl || dacl.acl->aces.size() != 1) {
            ADD_FAILURE() << "expected exactly one entry";
            return {};
        }
        return dacl.acl->aces[0];
    }

    sim::SimPlatform machine;
    RecordingReporter reporter;
    Engine engine;
    UserIdentity user;
    std::vector<std::pair<size_t, AccessLevel>> done;
};

TEST_F(QuickSetTest, ReadOnlyForEveryoneOnTwoFoldersWritesOneProtectedEntry) {
    const std::wstring bob = machine.OwnerNameOf(L"C:\\Data");
    auto outcome = Run({{L"C:\\Data", false}, {L"C:\\Data\\Photos", false}}, QuickKind::kReadOnly,
                       L"Everyone", 3);
    ASSERT_TRUE(outcome.trusteeResolved);
    ASSERT_EQ(outcome.items.size(), 2u);
    for (const wchar_t* path : {L"C:\\Data", L"C:\\Data\\Photos"}) {
        const Ace entry = OnlyAce(path);
        EXPECT_EQ(entry.type, 0);
        // 0x800000A8 written; NTFS stores GENERIC_READ mapped (FILE_GENERIC_READ).
        EXPECT_EQ(entry.mask, 0x1200A9u);
        EXPECT_EQ(entry.flags, 3);
        EXPECT_EQ(entry.sid, sids::Everyone());
        EXPECT_NE(machine.DaclControlOf(path) & sd_control::kDaclProtected, 0);
    }
    EXPECT_EQ(machine.OwnerNameOf(L"C:\\Data"), bob);
    EXPECT_EQ(bob, L"Bob");
    ASSERT_EQ(done.size(), 2u);
    EXPECT_EQ(done[1].first, 1u);
    EXPECT_TRUE(reporter.messages().empty());
}

TEST_F(QuickSetTest, DenyOnAFileIgnoresTheScopeAndReportsDenied) {
    auto outcome = Run({{L"C:\\Data\\notes.txt", true}}, QuickKind::kDenyAccess, L"Everyone", 3);
    const Ace entry = OnlyAce(L"C:\\Data\\notes.txt");
    EXPECT_EQ(entry.type, 1);
    EXPECT_EQ(entry.mask, 0x1F01FFu);  // GENERIC_ALL as NTFS stores it
    EXPECT_EQ(entry.flags, 0);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0].second, AccessLevel::kDenied);
    EXPECT_EQ(outcome.items[0].result, QuickItemResult::kDone);
}

TEST_F(QuickSetTest, MixedSelectionGivesTheScopeToFoldersOnly) {
    auto outcome = Run({{L"C:\\Data\\notes.txt", true}, {L"C:\\Data\\Photos", false}},
                       QuickKind::kAllowAccess, L"Administrators", 11);
    ASSERT_EQ(outcome.items.size(), 2u);
    EXPECT_EQ(OnlyAce(L"C:\\Data\\notes.txt").flags, 0);
    EXPECT_EQ(OnlyAce(L"C:\\Data\\Photos").flags, 11);
    EXPECT_EQ(OnlyAce(L"C:\\Data\\Photos").mask, 0x10000000u);
}

TEST_F(QuickSetTest, TrusteeThatDoesNotResolveTouchesNothing) {
    const std::wstring before = machine.SddlOf(L"C:\\Data");
    for (const wchar_t* trustee : {L"", L"NoSuchAccount"}) {
        machine.ResetCounters();
        reporter.Clear();
        auto outcome = Run({{L"C:\\Data", false}}, QuickKind::kAllowAccess, trustee, 0);
        EXPECT_FALSE(outcome.trusteeResolved);
        EXPECT_TRUE(outcome.items.empty());
        EXPECT_TRUE(done.empty());
        EXPECT_EQ(machine.SddlOf(L"C:\\Data"), before);
        EXPECT_EQ(machine.CallCount(Call::kSetFileSecurity), 0u);
        EXPECT_EQ(machine.CallCount(Call::kSetNamedSecurityInfo), 0u);
        ASSERT_EQ(reporter.messages().size(), 1u);
        EXPECT_EQ(reporter.messages()[0].icon, MessageIcon::kError);
        EXPECT_NE(reporter.texts()[0].find(L"no item was changed"), std::wstring::npos);
    }
}

TEST_F(QuickSetTest, FailedEntryPutsThePreviousDaclBack) {
    const std::wstring before = machine.SddlOf(L"C:\\Data");
    // Writes of the run: the NULL DACL, then the entry (refused here), then
    // the captured DACL.
    machine.FailNthCall(Call::kSetFileSecurity, 2, err::kAccessDenied);
    auto outcome = Run({{L"C:\\Data", false}}, QuickKind::kAllowAccess, L"Everyone", 3);
    ASSERT_EQ(outcome.items.size(), 1u);
    EXPECT_EQ(outcome.items[0].result, QuickItemResult::kEntryFailed);
    EXPECT_FALSE(machine.DaclOf(L"C:\\Data").IsNull());
    EXPECT_EQ(machine.SddlOf(L"C:\\Data"), before);
}

TEST_F(QuickSetTest, FailedNullDaclAddsNoEntryToTheOldList) {
    const std::wstring before = machine.DaclSddlOf(L"C:\\Data");
    machine.FailNthCall(Call::kSetFileSecurity, 1, err::kAccessDenied);
    auto outcome = Run({{L"C:\\Data", false}}, QuickKind::kAllowAccess, L"Everyone", 3);
    EXPECT_EQ(outcome.items[0].result, QuickItemResult::kNullDaclFailed);
    EXPECT_EQ(machine.DaclSddlOf(L"C:\\Data"), before);
    EXPECT_EQ(machine.OwnerNameOf(L"C:\\Data"), L"Bob");
}

TEST_F(QuickSetTest, NoToTheRootQuestionSkipsOnlyThatDrive) {
    reporter.ScriptAnswer(Answer::kNo);
    reporter.ScriptAnswer(Answer::kYes);
    const std::wstring cBefore = machine.SddlOf(L"C:\\");
    auto outcome =
        Run({{L"C:\\", false}, {L"D:\\", false}}, QuickKind::kAllowAccess, L"Administrators", 0);
    EXPECT_EQ(outcome.items[0].result, QuickItemResult::kSkippedRoot);
    EXPECT_EQ(outcome.items[1].result, QuickItemResult::kDone);
    EXPECT_EQ(machine.SddlOf(L"C:\\"), cBefore);
    EXPECT_EQ(OnlyAce(L"D:\\").sid, sids::Administrators());
    ASSERT_EQ(reporter.texts().size(), 2u);
    EXPECT_EQ(reporter.texts()[0], RootDirectoryQuestion(L"C:\\"));
    EXPECT_EQ(reporter.messages()[0].buttons, MessageButtons::kYesNo);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0].first, 1u);
}

// The previous owner goes back by SID, also when its account is gone and
// it has no name: the object keeps the owner it had.
TEST_F(QuickSetTest, OwnerThatCannotBeNamedIsGivenBackBySid) {
    const Sid bob = machine.SidOf(L"Bob");
    machine.DeleteAccount(L"Bob");
    Run({{L"C:\\Data", false}}, QuickKind::kAllowAccess, L"Everyone", 0);
    EXPECT_EQ(machine.OwnerOf(L"C:\\Data"), bob);
}

TEST_F(QuickSetTest, ChangeOwnerShowsTheOwnerReadBack) {
    std::vector<std::pair<size_t, std::wstring>> shown;
    RunChangeOwner(engine, {{L"C:\\Data", false}, {L"C:\\Data\\notes.txt", true}}, L"SYSTEM",
                   [&](size_t index, const std::wstring& owner) {
                       shown.push_back({index, owner});
                   });
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], (std::pair<size_t, std::wstring>{0, L"SYSTEM"}));
    EXPECT_EQ(shown[1].second, L"SYSTEM");
    EXPECT_EQ(machine.OwnerNameOf(L"C:\\Data\\notes.txt"), L"SYSTEM");
    // The DACL is not touched.
    EXPECT_EQ(machine.DaclOf(L"C:\\Data").acl->aces.size(), 2u);
}

TEST(QuickCommandTexts, KindsCaptionAndMessages) {
    EXPECT_EQ(InfoOf(QuickKind::kAllowAccess).mask, 0x10000000u);
    EXPECT_EQ(InfoOf(QuickKind::kReadOnly).aceType, 0);
    EXPECT_EQ(InfoOf(QuickKind::kDenyAccess).aceType, 1);
    EXPECT_EQ(OptionsCaption(L"Options", QuickKind::kReadOnly), L"Options - Read Only");
    EXPECT_EQ(RootDirectoryQuestion(L"D:\\"),
              L"D:\\ is a Root directory ,do you want to change Security Settings for it?");
    EXPECT_TRUE(AllFiles({{L"a", true}, {L"b", true}}));
    EXPECT_FALSE(AllFiles({{L"a", true}, {L"b", false}}));
}

}  // namespace
}  // namespace vm
