// One run of the demonstration program: the machine it starts with, the
// copies of the Documents' files, the way back to the shipped machine and
// the save at exit, over a small machine and over the shipped one.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "DemoFixture.h"
#include "demo/DemoSession.h"
#include "files/FileIo.h"
#include "platform/sim/MachineFile.h"
#include "resources/strings.h"

namespace vm::demo {
namespace {

using test::kSmallMachine;
using test::ReadText;

const OptionalAcl kNullDacl;

class DemoSessionTest : public ::testing::Test {
  protected:
    std::unique_ptr<DemoSession> Session(std::string shipped = kSmallMachine,
                                         std::wstring startFolder = L"") {
        auto session =
            std::make_unique<DemoSession>(std::move(shipped), files, std::move(startFolder));
        EXPECT_TRUE(session->Start(reporter));
        return session;
    }
    // A change a user could make: a NULL DACL on C:\Data.
    static void Change(DemoSession& session) {
        ASSERT_TRUE(session.platform()
                        .SetNamedSecurityInfo(L"C:\\Data", secinfo::kDacl | secinfo::kProtectedDacl,
                                              nullptr, &kNullDacl)
                        .ok());
    }
    static bool Changed(DemoSession& session) {
        return session.platform().Inspect(
            [](const sim::SimPlatform& machine) { return machine.DaclOf(L"C:\\Data").IsNull(); });
    }

    vm::testing::TempDir temp;
    DemoFiles files = DemoFilesIn(temp.File(L"data"));
    RecordingReporter reporter;
};

TEST_F(DemoSessionTest, ProfileDesktopAndStartFolderComeFromTheMachinesUser) {
    auto session = Session(kSmallMachine, L"C:\\Users\\Alice");
    EXPECT_EQ(UserProfileFolder(session->platform()), L"C:\\Users\\Alice");
    EXPECT_EQ(session->DesktopFolder(), L"C:\\Users\\Alice\\Desktop");
    EXPECT_EQ(session->StartFolder(), L"C:\\Users\\Alice");
    EXPECT_TRUE(reporter.messages().empty());
}

TEST_F(DemoSessionTest, StartFolderThatIsNotOnTheMachineFallsBackToTheDrivesAndSaysSo) {
    auto session = Session(kSmallMachine, L"C:\\Users\\Alice\\Documents\\notes.txt");
    EXPECT_EQ(session->StartFolder(), L"");
    ASSERT_EQ(reporter.texts().size(), 1u);
    EXPECT_NE(reporter.texts()[0].find(L"C:\\Users\\Alice\\Documents\\notes.txt is not on"),
              std::wstring::npos);
}

TEST_F(DemoSessionTest, MachineWithoutAProfileHasNoDesktopOrDocuments) {
    auto session = Session("machine 1\nvolume C: NTFS\n");
    EXPECT_EQ(UserProfileFolder(session->platform()), L"");
    EXPECT_EQ(session->DesktopFolder(), L"");
    EXPECT_TRUE(session->CopyDocuments().ok());
    EXPECT_FALSE(std::filesystem::exists(ToFsPath(files.documents)));
}

TEST_F(DemoSessionTest, DocumentsWithContentAreCopiedAndOtherFilesThereLeftAlone) {
    auto session = Session();
    std::filesystem::create_directories(ToFsPath(files.documents));
    const std::wstring own = JoinPath(files.documents, L"mine.SBAK");
    ASSERT_TRUE(WriteFileReplacing(own, Bytes{1, 2}).ok());
    const std::wstring stale = JoinPath(files.documents, L"Profile backup.SBAK");
    ASSERT_TRUE(WriteFileReplacing(stale, Bytes{'o', 'l', 'd', '!'}).ok());

    ASSERT_TRUE(session->CopyDocuments().ok());
    EXPECT_EQ(ReadText(stale), "ABC");
    EXPECT_EQ(ReadText(JoinPath(files.documents, L"Grüße – 2024.SBAK")), "xy");
    EXPECT_FALSE(FileExists(JoinPath(files.documents, L"notes.txt")));  // no content
    EXPECT_FALSE(std::filesystem::exists(ToFsPath(JoinPath(files.documents, L"Old"))));
    EXPECT_EQ(*ReadWholeFile(own), (Bytes{1, 2}));
    // Again: nothing to do, nothing changes.
    ASSERT_TRUE(session->CopyDocuments().ok());
    EXPECT_EQ(ReadText(stale), "ABC");
}

TEST_F(DemoSessionTest, UnchangedMachineWritesNothingAtExit) {
    Session()->Finish(reporter);
    EXPECT_FALSE(FileExists(files.machine));
    EXPECT_TRUE(reporter.messages().empty());
}

TEST_F(DemoSessionTest, ChangeIsSavedAtExitAndThereAtTheNextStart) {
    auto first = Session();
    Change(*first);
    first->Finish(reporter);
    ASSERT_TRUE(FileExists(files.machine));
    EXPECT_TRUE(reporter.messages().empty());
    EXPECT_EQ(ReadText(files.machine).rfind("# The demonstration machine as velmora-demo.exe", 0),
              0u);

    auto second = Session();
    EXPECT_TRUE(Changed(*second));
    // Started from the saved file and left alone: not written again.
    const auto written = std::filesystem::last_write_time(ToFsPath(files.machine));
    std::filesystem::last_write_time(ToFsPath(files.machine), written - std::chrono::hours(1));
    second->Finish(reporter);
    EXPECT_EQ(std::filesystem::last_write_time(ToFsPath(files.machine)),
              written - std::chrono::hours(1));
}

TEST_F(DemoSessionTest, ResetPutsTheShippedMachineBackAndExitRemovesTheSavedFile) {
    {
        auto session = Session();
        Change(*session);
        session->Finish(reporter);
    }
    ASSERT_TRUE(FileExists(files.machine));
    auto session = Session();
    ASSERT_TRUE(Changed(*session));
    ASSERT_TRUE(session->ResetToShipped(reporter));
    EXPECT_FALSE(Changed(*session));
    session->Finish(reporter);
    EXPECT_FALSE(FileExists(files.machine));
    EXPECT_FALSE(Changed(*Session()));
    EXPECT_TRUE(reporter.messages().empty());
}

TEST_F(DemoSessionTest, ChangedAfterAResetIsSavedAgain) {
    auto session = Session();
    Change(*session);
    ASSERT_TRUE(session->ResetToShipped(reporter));
    Change(*session);
    session->Finish(reporter);
    EXPECT_TRUE(Changed(*Session()));
}

TEST_F(DemoSessionTest, ResetWithAShippedMachineThatDoesNotLoadKeepsTheMachine) {
    {
        auto session = Session();
        Change(*session);
        session->Finish(reporter);
    }
    auto session = Session("machine 1\nnonsense\n");  // the saved machine loads, not this one
    ASSERT_TRUE(Changed(*session));
    EXPECT_FALSE(session->ResetToShipped(reporter));
    EXPECT_TRUE(Changed(*session));
    ASSERT_EQ(reporter.messages().size(), 1u);
    EXPECT_EQ(reporter.messages()[0].icon, MessageIcon::kError);
    EXPECT_NE(reporter.texts()[0].find(L"(line 2: "), std::wstring::npos);
}

TEST_F(DemoSessionTest, SaveThatFailsAtExitIsToldWithTheReason) {
    auto session = Session();
    Change(*session);
    // Something that is not a file stands where the machine is saved.
    std::filesystem::create_directories(ToFsPath(files.machine));
    session->Finish(reporter);
    ASSERT_EQ(reporter.texts().size(), 1u);
    EXPECT_EQ(reporter.texts()[0], L"The demonstration machine could not be saved to " +
                                       files.machine + L": Access is denied.");
}

TEST_F(DemoSessionTest, DamagedSavedFileThatStaysInPlaceIsNotWrittenOver) {
    test::TakeEveryAsideName(files);
    ASSERT_TRUE(WriteFileReplacing(files.machine, Bytes{'?'}).ok());
    auto session = Session();
    ASSERT_EQ(reporter.messages().size(), 1u);
    EXPECT_EQ(reporter.messages()[0].icon, MessageIcon::kWarning);
    Change(*session);
    session->Finish(reporter);
    EXPECT_EQ(ReadText(files.machine), "?");
    EXPECT_EQ(reporter.messages().size(), 1u);
}

TEST_F(DemoSessionTest, NoMachineAtAllRefusesToStart) {
    DemoSession session("", files, L"");
    EXPECT_FALSE(session.Start(reporter));
    ASSERT_EQ(reporter.messages().size(), 1u);
    EXPECT_EQ(reporter.messages()[0].icon, MessageIcon::kError);
    session.Finish(reporter);  // nothing to save, nothing said
    EXPECT_EQ(reporter.messages().size(), 1u);
}

// The machine the program ships with, as a newcomer meets it.
std::string ShippedMachine() {
    std::ifstream in(std::filesystem::path(__FILE__).parent_path() / ".." / ".." / ".." /
                         "resources" / "demo" / "demo-machine.txt",
                     std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST_F(DemoSessionTest, ShippedMachineGivesAlexsProfileAndHisBackupsAsFiles) {
    auto session = Session(ShippedMachine(), L"C:\\Users\\Alex");
    EXPECT_TRUE(reporter.messages().empty());
    EXPECT_EQ(session->StartFolder(), L"C:\\Users\\Alex");
    EXPECT_EQ(session->DesktopFolder(), L"C:\\Users\\Alex\\Desktop");
    ASSERT_TRUE(session->CopyDocuments().ok());
    int backups = 0;
    for (const auto& entry : std::filesystem::directory_iterator(ToFsPath(files.documents))) {
        EXPECT_EQ(entry.path().extension(), ".SBAK");
        ++backups;
    }
    EXPECT_EQ(backups, 3);
    session->Finish(reporter);
    EXPECT_FALSE(FileExists(files.machine));
}

}  // namespace
}  // namespace vm::demo
