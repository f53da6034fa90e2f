#include <gtest/gtest.h>

#include <filesystem>

#include "backup/BackupCommands.h"
#include "backup/BackupFile.h"
#include "files/FileIo.h"
#include "native/app/CommandFixture.h"
#include "native/files/TempDir.h"
#include "resources/resource.h"

namespace vm::test {
namespace {

class BackupCommandTest : public CommandTest {
  protected:
    std::vector<std::wstring> PathsIn(const std::wstring& file) {
        std::vector<std::wstring> paths;
        for (const BackupItem& item : ReadBackupFile(file, reporter).items)
            paths.push_back(item.path);
        return paths;
    }
    testing::TempDir dir;
};

TEST_F(BackupCommandTest, CancelledSaveDialogWritesNothingAndSaysNothing) {
    window.backupFile.reset();
    Run(ID_BACKUP_CREATE, Browsing(L"C:\\Data", {Folder(0, L"C:\\Data\\Music")}));
    EXPECT_EQ(window.calls, std::vector<std::wstring>{L"save backup"});
    EXPECT_TRUE(reporter.messages().empty());
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(BackupCommandTest, BackupGetsItsExtensionAndTheItemsInRowOrder) {
    window.backupFile = dir.File(L"report.bak");
    // The selection as a window might hand it over, not sorted.
    Run(ID_BACKUP_CREATE,
        Browsing(L"C:\\Data", {File(2, L"C:\\Data\\notes.txt"), Folder(0, L"C:\\Data\\Music")}));
    EXPECT_TRUE(reporter.messages().empty());
    EXPECT_EQ(PathsIn(dir.File(L"report.bak.SBAK")),
              (std::vector<std::wstring>{L"C:\\Data\\Music", L"C:\\Data\\notes.txt"}));

    window.backupFile = dir.File(L"mixed.sBaK");
    Run(ID_BACKUP_CREATE, Browsing(L"C:\\Data", {Folder(0, L"C:\\Data\\Music")}));
    EXPECT_EQ(PathsIn(dir.File(L"mixed.sBaK")), std::vector<std::wstring>{L"C:\\Data\\Music"});
}

TEST_F(BackupCommandTest, UnreadableItemIsLeftOutAndALargerFileIsReplacedWhole) {
    const std::wstring file = dir.File(L"all.SBAK");
    window.backupFile = file;
    Run(ID_BACKUP_CREATE,
        Browsing(L"C:\\Data", {Folder(0, L"C:\\Data\\Music"), File(1, L"C:\\Data\\notes.txt")}));
    const auto larger = std::filesystem::file_size(dir.path() / "all.SBAK");

    constexpr uint32_t kReadControl = 0x00020000;
    machine.DenyAccess(L"C:\\Data\\notes.txt", kReadControl);
    Run(ID_BACKUP_CREATE,
        Browsing(L"C:\\Data", {Folder(0, L"C:\\Data\\Music"), File(1, L"C:\\Data\\notes.txt")}));
    EXPECT_EQ(PathsIn(file), std::vector<std::wstring>{L"C:\\Data\\Music"});
    auto bytes = ReadWholeFile(file);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_LT(bytes->size(), larger);
    EXPECT_EQ(bytes->size(),
              kBackupHeaderSize + kBackupRecordSize +
                  CollectBackupItems(machine, {L"C:\\Data\\Music"})[0].descriptor.size());
}

TEST_F(BackupCommandTest, UnwritableTargetIsToldOnceWithItsNameAndKeepsTheOldFile) {
    const std::wstring file = dir.File(L"keep.SBAK");
    window.backupFile = file;
    Run(ID_BACKUP_CREATE, Browsing(L"C:\\Data", {Folder(0, L"C:\\Data\\Music")}));
    const auto before = ReadWholeFile(file);
    ASSERT_TRUE(before.has_value());

    window.backupFile = dir.File(L"no-such-folder") + L"/x.SBAK";
    Run(ID_BACKUP_CREATE, Browsing(L"C:\\Data", {Folder(0, L"C:\\Data\\Music")}));
    ASSERT_EQ(reporter.messages().size(), 1u);
    EXPECT_EQ(reporter.messages()[0].icon, MessageIcon::kError);
    EXPECT_NE(reporter.texts()[0].find(L"x.SBAK"), std::wstring::npos);
    EXPECT_EQ(*ReadWholeFile(file), *before);
}

TEST_F(BackupCommandTest, RestoreAndResetOpenTheirWindowsOnlyWhenAFileIsChosen) {
    window.backupFile.reset();
    Run(ID_BACKUP_RESTORE, Browsing(L"C:\\Data"));
    EXPECT_EQ(window.calls, std::vector<std::wstring>{L"open backup"});

    window.calls.clear();
    window.backupFile = L"C:\\b.SBAK";
    Run(ID_BACKUP_RESTORE, Browsing(L"C:\\Data"));
    Run(ID_BACKUP_RESET, Browsing(L"C:\\Data"));
    EXPECT_EQ(window.calls, (std::vector<std::wstring>{L"open backup", L"restore window C:\\b.SBAK",
                                                       L"reset window"}));
}

}  // namespace
}  // namespace vm::test
