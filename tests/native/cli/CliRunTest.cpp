#include <gtest/gtest.h>

#include "backup/BackupFile.h"
#include "files/FileIo.h"
#include "native/cli/CliFixture.h"
#include "security/Rights.h"
#include "security/Sddl.h"

namespace vm::cli::testing {
namespace {

const wchar_t* const kInherited = L"D:AI(A;ID;FA;;;BA)(A;ID;FA;;;SY)(A;ID;0x1200a9;;;BU)";

size_t Count(const std::wstring& text, const std::wstring& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

TEST_F(CliTest, ShowListsOwnerAccessAndTheAdvancedRows) {
    EXPECT_EQ(Run({L"show", L"C:\\Data"}), kExitSuccess);
    EXPECT_EQ(console.out.find(L"C:\\Data\n  Owner: Administrators\n"
                               L"  Access rights of current user (Alice): Allowed\n"
                               L"  Type   Name            Rights "),
              0u)
        << console.out;
    EXPECT_NE(console.out.find(L"  Allow  SYSTEM          Full control"), std::wstring::npos);
    // Inherited rows name their source; a folder's rows say what they apply to.
    EXPECT_EQ(Count(console.out, L"C:\\             This folder,subfolders and files"), 3u);
    EXPECT_TRUE(console.err.empty());
}

TEST_F(CliTest, ShowTellsNullEmptyAndUnreadableDaclsAsTheWindowDoes) {
    machine.AddFile(L"C:\\Data\\open.txt", L"O:BAD:NO_ACCESS_CONTROL");
    machine.AddFile(L"C:\\Data\\shut.txt", L"O:BAD:P");
    EXPECT_EQ(Run({L"show", L"C:\\Data\\open.txt", L"C:\\Data\\shut.txt"}), kExitSuccess);
    EXPECT_NE(console.out.find(L"  No permissions have been assigned for this object."),
              std::wstring::npos);
    EXPECT_NE(console.out.find(L"  No groups or users have permission to access this object."),
              std::wstring::npos);
    // The evaluated account: an empty DACL denies, a NULL one allows.
    EXPECT_NE(console.out.find(L"open.txt\n  Owner: Administrators\n"
                               L"  Access rights of current user (Alice): Allowed"),
              std::wstring::npos);
    EXPECT_NE(console.out.find(L"shut.txt\n  Owner: Administrators\n"
                               L"  Access rights of current user (Alice): Denied"),
              std::wstring::npos);
}

TEST_F(CliTest, ShowExpandsWildcardsAndNamesEveryFailure) {
    EXPECT_EQ(Run({L"show", L"--format", L"sddl", L"C:\\Data\\*", L"C:\\Gone", L"C:\\Data\\*.doc",
                   L"E:\\stick.txt"}),
              kExitItemFailed);
    EXPECT_EQ(console.out, std::wstring(L"C:\\Data\\a.txt\tO:BA") + kInherited +
                               L"\nC:\\Data\\Sub\tO:BAD:AI(A;OICIID;FA;;;BA)(A;OICIID;FA;;;SY)"
                               L"(A;OICIID;0x1200a9;;;BU)\n");
    EXPECT_EQ(console.err,
              L"velmora-cli: C:\\Gone: The system cannot find the file specified.\n"
              L"velmora-cli: C:\\Data\\*.doc: The system cannot find the file specified.\n"
              L"velmora-cli: E:\\stick.txt: The request is not supported.\n");
}

TEST_F(CliTest, ShowAsJsonKeepsEveryObjectFailuresIncluded) {
    machine.AddFile(L"C:\\Data\\q\"uote.txt");
    EXPECT_EQ(Run({L"show", L"--format=json", L"C:\\Data\\q\"uote.txt", L"C:\\Gone"}),
              kExitItemFailed);
    const std::wstring& json = console.out;
    EXPECT_EQ(json.front(), L'[');
    EXPECT_NE(json.find(L"\"path\": \"C:\\\\Data\\\\q\\\"uote.txt\", \"container\": false, "
                        L"\"owner\": \"Administrators\", \"ownerSid\": \"S-1-5-32-544\""),
              std::wstring::npos)
        << json;
    EXPECT_NE(json.find(L"{\"type\": \"Allow\", \"name\": \"SYSTEM\", \"mask\": \"0x1f01ff\", "
                        L"\"rights\": [\"Full control\"], \"inherited\": true, "
                        L"\"inheritedFrom\": \"C:\\\\\", \"scope\": 0"),
              std::wstring::npos);
    EXPECT_NE(json.find(L"{\"path\": \"C:\\\\Gone\", \"error\": 2}"), std::wstring::npos);
    EXPECT_EQ(json.substr(json.size() - 3), L"\n]\n");
}

TEST_F(CliTest, AsEvaluatesAnotherAccountAndRefusesUnknownOnes) {
    machine.AddFile(L"C:\\Data\\bob.txt", L"O:BAD:(A;;FA;;;BA)");
    EXPECT_EQ(Run({L"show", L"C:\\Data\\bob.txt", L"--as", L"Bob"}), kExitSuccess);
    EXPECT_NE(console.out.find(L"Access rights of current user (Bob): Denied"), std::wstring::npos)
        << console.out << console.err;
    EXPECT_EQ(Run({L"show", L"C:\\Data\\bob.txt", L"--as", L"Nobody"}), kExitUsage);
    EXPECT_EQ(console.err, L"velmora-cli: --as: no account is named 'Nobody'\n");
}

TEST_F(CliTest, QuickCommandsLeaveOneEntryAndKeepTheOwner) {
    machine.SetSecurity(L"C:\\Data\\a.txt", L"O:SYD:AI(A;ID;FA;;;BA)");
    EXPECT_EQ(Run({L"readonly", L"C:\\Data", L"C:\\Data\\a.txt", L"--trustee", L"Everyone",
                   L"--scope", L"1"}),
              kExitSuccess);
    // Generic rights are mapped where the entry takes effect; files get no
    // inheritance flags whatever the scope.
    EXPECT_EQ(machine.SddlOf(L"C:\\Data"), L"O:BAD:PARAI(A;OICI;0x1200a9;;;WD)");
    EXPECT_EQ(machine.SddlOf(L"C:\\Data\\a.txt"), L"O:SYD:PARAI(A;;0x1200a9;;;WD)");
    EXPECT_EQ(console.out,
              L"C:\\Data: Read Only for Everyone; access of Alice: Read Only\n"
              L"C:\\Data\\a.txt: Read Only for Everyone; access of Alice: Read Only\n");

    EXPECT_EQ(Run({L"deny", L"C:\\Data\\a.txt", L"--trustee", L"Bob"}), kExitSuccess);
    EXPECT_EQ(machine.SddlOf(L"C:\\Data\\a.txt").substr(0, 4), L"O:SY");
    EXPECT_NE(machine.SddlOf(L"C:\\Data\\a.txt").find(L"(D;;FA;;;"), std::wstring::npos);
}

TEST_F(CliTest, AnUnknownTrusteeTouchesNothing) {
    std::wstring before = machine.SddlOf(L"C:\\Data");
    EXPECT_EQ(Run({L"allow", L"C:\\Data", L"--trustee", L"Nobody"}), kExitItemFailed);
    EXPECT_EQ(machine.SddlOf(L"C:\\Data"), before);
    EXPECT_NE(console.err.find(L"Nobody"), std::wstring::npos);
    EXPECT_TRUE(console.out.empty());
}

// The quick commands pass through a NULL DACL: when the entry cannot be
// written the previous DACL comes back, and an item that stays open is
// named as such.
TEST_F(CliTest, AQuickCommandThatFailsHalfWayPutsThePreviousDaclBack) {
    std::wstring before = machine.DaclSddlOf(L"C:\\Data\\a.txt");
    machine.FailNthCall(sim::Call::kSetFileSecurity, 2, err::kAccessDenied);
    EXPECT_EQ(Run({L"deny", L"C:\\Data\\a.txt", L"--trustee", L"Everyone"}), kExitItemFailed);
    EXPECT_EQ(machine.DaclSddlOf(L"C:\\Data\\a.txt"), before);
    EXPECT_EQ(console.err, L"velmora-cli: C:\\Data\\a.txt: Access is denied.\n");

    machine.ClearFaults();
    machine.FailNthCall(sim::Call::kSetFileSecurity, 2, err::kAccessDenied);
    machine.FailNthCall(sim::Call::kSetFileSecurity, 3, err::kAccessDenied);
    EXPECT_EQ(Run({L"deny", L"C:\\Data\\a.txt", L"--trustee", L"Everyone"}), kExitItemFailed);
    EXPECT_EQ(console.err.find(L"velmora-cli: C:\\Data\\a.txt: LEFT WITH A NULL DACL"), 0u)
        << console.err;
}

TEST_F(CliTest, DriveRootsChangeOnlyWithYes) {
    std::wstring root = machine.SddlOf(L"C:\\");
    EXPECT_EQ(Run({L"allow", L"C:\\", L"C:\\Data", L"--trustee", L"Everyone"}), kExitItemFailed);
    EXPECT_EQ(machine.SddlOf(L"C:\\"), root);
    EXPECT_EQ(console.err,
              L"velmora-cli: C:\\: left alone: a drive root is changed only with --yes\n");
    EXPECT_EQ(machine.SddlOf(L"C:\\Data"), L"O:BAD:PARAI(A;;FA;;;WD)");
    EXPECT_EQ(Run({L"allow", L"C:\\", L"--trustee", L"Everyone", L"--yes"}), kExitSuccess);
    EXPECT_EQ(machine.SddlOf(L"C:\\"), L"O:BAD:PARAI(A;;FA;;;WD)");
}

TEST_F(CliTest, OwnerInheritNullAndEmptyDacls) {
    EXPECT_EQ(Run({L"owner", L"C:\\Data\\a.txt", L"C:\\Gone", L"Bob"}), kExitItemFailed);
    EXPECT_EQ(machine.OwnerNameOf(L"C:\\Data\\a.txt"), L"Bob");
    EXPECT_EQ(console.out, L"C:\\Data\\a.txt: owner Bob\n");
    EXPECT_EQ(console.err, L"velmora-cli: C:\\Gone: The system cannot find the file specified.\n");

    EXPECT_EQ(Run({L"null-dacl", L"C:\\Data\\a.txt"}), kExitSuccess);
    EXPECT_EQ(machine.SddlOf(L"C:\\Data\\a.txt"), L"O:BAD:NO_ACCESS_CONTROL");
    EXPECT_EQ(Run({L"empty-dacl", L"C:\\Data\\Sub"}), kExitSuccess);
    EXPECT_EQ(machine.DaclSddlOf(L"C:\\Data\\Sub"), L"D:");

    EXPECT_EQ(Run({L"inherit", L"C:\\Data\\a.txt", L"C:\\Data\\Sub", L"C:\\"}), kExitItemFailed);
    EXPECT_EQ(machine.SddlOf(L"C:\\Data\\a.txt"), std::wstring(L"O:BA") + kInherited);
    EXPECT_EQ(machine.DaclSddlOf(L"C:\\Data\\Sub"),
              L"D:AI(A;OICIID;FA;;;BA)(A;OICIID;FA;;;SY)(A;OICIID;0x1200a9;;;BU)");
    EXPECT_EQ(console.err,
              L"velmora-cli: C:\\: a drive root has no folder to inherit from, so it "
              L"was left alone\n");
}

TEST_F(CliTest, ReplaceChildrenRunsTheWalkAndCountsWhatItDid) {
    machine.SetSecurity(L"C:\\Data", L"O:BAD:PAI(A;OICI;FA;;;BA)(A;OICI;FR;;;WD)");
    terminal = true;
    EXPECT_EQ(Run({L"replace-children", L"C:\\Data", L"--mode", L"copy"}), kExitSuccess);
    EXPECT_EQ(machine.SddlOf(L"C:\\Data\\Sub\\b.txt"),
              L"O:BAD:PAI(A;OICI;FA;;;BA)(A;OICI;FR;;;WD)");
    EXPECT_EQ(console.out, L"C:\\Data: 2 files, 1 folders; 3 changed\n");
    // One line per entry on a terminal, cleared at the end.
    ASSERT_FALSE(console.progress.empty());
    EXPECT_EQ(console.progress.back(), L"");
    EXPECT_NE(std::find(console.progress.begin(), console.progress.end(), L"[100%] 3/3 b.txt"),
              console.progress.end());

    terminal = false;
    EXPECT_EQ(Run({L"replace-children", L"C:\\Data", L"--mode", L"reset"}), kExitSuccess);
    EXPECT_EQ(machine.DaclSddlOf(L"C:\\Data\\Sub\\b.txt"), L"D:AI(A;ID;FA;;;BA)(A;ID;FR;;;WD)");
    EXPECT_TRUE(console.progress.empty());  // not a terminal

    EXPECT_EQ(Run({L"replace-children", L"C:\\Data\\a.txt", L"--mode", L"reset"}), kExitItemFailed);
    EXPECT_EQ(console.err, L"velmora-cli: C:\\Data\\a.txt: The directory name is invalid.\n");
}

TEST_F(CliTest, ReplaceChildrenNamesTheEntriesItCouldNotChange) {
    machine.DenyAccess(L"C:\\Data\\a.txt", access::kWriteDac);
    EXPECT_EQ(Run({L"replace-children", L"C:\\Data", L"--mode", L"copy"}), kExitItemFailed);
    EXPECT_EQ(console.err, L"velmora-cli: C:\\Data\\a.txt: Access is denied.\n");
    EXPECT_EQ(console.out, L"C:\\Data: 2 files, 1 folders; 2 changed\n");
}

TEST_F(CliTest, BackupAndRestoreByItemAndToAMovedTree) {
    std::wstring file = temp.File(L"data.SBAK");
    EXPECT_EQ(Run({L"backup", L"C:\\Data", L"C:\\Data\\a.txt", L"C:\\Gone", L"-o", file}),
              kExitItemFailed);
    EXPECT_EQ(console.out, L"2 items written to " + file + L"\n");
    EXPECT_NE(console.err.find(L"C:\\Gone: left out of the backup"), std::wstring::npos);
    auto bytes = ReadWholeFile(file);
    ASSERT_TRUE(bytes);
    BackupContents contents = ParseBackup(*bytes);
    ASSERT_EQ(contents.status, BackupReadStatus::kOk);
    EXPECT_EQ(contents.creationTime, L"2024-05-06 07:08:09");
    ASSERT_EQ(contents.items.size(), 2u);
    EXPECT_EQ(contents.items[1].path, L"C:\\Data\\a.txt");
    EXPECT_EQ(contents.items[1].owner, L"Administrators");

    std::wstring data = machine.SddlOf(L"C:\\Data");
    std::wstring a = machine.SddlOf(L"C:\\Data\\a.txt");
    ASSERT_EQ(Run({L"allow", L"C:\\Data", L"C:\\Data\\a.txt", L"--trustee", L"Bob"}), kExitSuccess);
    EXPECT_EQ(Run({L"restore", file, L"--item", L"c:\\data\\A.TXT"}), kExitSuccess);
    EXPECT_EQ(console.out, L"C:\\Data\\a.txt: Succeed\n");
    EXPECT_EQ(machine.SddlOf(L"C:\\Data\\a.txt"), a);
    EXPECT_NE(machine.SddlOf(L"C:\\Data"), data);

    // An item the backup does not hold stops the run before anything is written.
    std::wstring changed = machine.SddlOf(L"C:\\Data");
    EXPECT_EQ(Run({L"restore", file, L"--item", L"C:\\Data", L"--item", L"C:\\Other"}),
              kExitItemFailed);
    EXPECT_EQ(console.err, L"velmora-cli: C:\\Other: the backup holds no such item\n");
    EXPECT_EQ(machine.SddlOf(L"C:\\Data"), changed);

    // The tree moved: its objects are restored where they are now.
    machine.AddFolder(L"C:\\Moved", L"O:SYD:PAI(A;;FA;;;SY)");
    machine.AddFile(L"C:\\Moved\\a.txt", L"O:SYD:PAI(A;;FA;;;SY)");
    EXPECT_EQ(Run({L"restore", file, L"--map", L"C:\\DATA=C:\\Moved"}), kExitSuccess);
    EXPECT_EQ(console.out, L"C:\\Moved: Succeed\nC:\\Moved\\a.txt: Succeed\n");
    EXPECT_EQ(machine.DaclSddlOf(L"C:\\Moved\\a.txt"), kInherited);
    EXPECT_EQ(machine.OwnerNameOf(L"C:\\Moved\\a.txt"), L"Administrators");
}

TEST_F(CliTest, RestoreTellsMissingObjectsAndForeignFiles) {
    std::wstring file = temp.File(L"b.SBAK");
    ASSERT_EQ(Run({L"backup", L"C:\\Data\\a.txt", L"C:\\Data\\Sub", L"-o", file}), kExitSuccess);
    machine.Remove(L"C:\\Data\\a.txt");
    EXPECT_EQ(Run({L"restore", file}), kExitItemFailed);
    EXPECT_EQ(console.out, L"C:\\Data\\Sub: Succeed\n");
    EXPECT_EQ(console.err,
              L"velmora-cli: C:\\Data\\a.txt: The system cannot find the file specified.\n");

    std::wstring other = temp.File(L"other.bin");
    ASSERT_TRUE(WriteFileReplacing(other, Bytes(200, 'x')).ok());
    EXPECT_EQ(Run({L"restore", other}), kExitItemFailed);
    EXPECT_EQ(console.err, L"velmora-cli: Unknown file format !\n");
    EXPECT_EQ(Run({L"restore", temp.File(L"none.SBAK")}), kExitItemFailed);
}

TEST_F(CliTest, DryRunsShowBeforeAndAfterAndWriteNothing) {
    std::wstring undo = temp.File(L"undo.SBAK");
    uint64_t writes = machine.CallCount(sim::Call::kSetFileSecurity) +
                      machine.CallCount(sim::Call::kSetNamedSecurityInfo);
    std::wstring data = machine.SddlOf(L"C:\\Data");
    EXPECT_EQ(Run({L"inherit", L"C:\\Data", L"--dry-run", L"--undo", undo}), kExitSuccess);
    EXPECT_EQ(machine.SddlOf(L"C:\\Data"), data);
    EXPECT_EQ(machine.CallCount(sim::Call::kSetFileSecurity) +
                  machine.CallCount(sim::Call::kSetNamedSecurityInfo),
              writes);
    EXPECT_FALSE(FileExists(undo));
    EXPECT_EQ(console.out.find(L"C:\\Data\n  before: O:BAD:AI"), 0u) << console.out;
    EXPECT_NE(console.out.find(L"dry run: nothing was written ("), std::wstring::npos);

    EXPECT_EQ(Run({L"deny", L"C:\\Data\\a.txt", L"--trustee", L"Everyone", L"--dry-run"}),
              kExitSuccess);
    EXPECT_EQ(console.out, std::wstring(L"C:\\Data\\a.txt\n  before: O:BA") + kInherited +
                               L"\n  after:  O:BAD:PARAI(D;;FA;;;WD)\n"
                               L"dry run: nothing was written (1 object would be written)\n");
    EXPECT_EQ(machine.SddlOf(L"C:\\Data\\a.txt"), std::wstring(L"O:BA") + kInherited);

    // A restore's dry run tells what the backup would put back.
    std::wstring file = temp.File(L"a.SBAK");
    ASSERT_EQ(Run({L"backup", L"C:\\Data\\a.txt", L"-o", file}), kExitSuccess);
    ASSERT_EQ(Run({L"deny", L"C:\\Data\\a.txt", L"--trustee", L"Everyone"}), kExitSuccess);
    std::wstring denied = machine.SddlOf(L"C:\\Data\\a.txt");
    EXPECT_EQ(Run({L"restore", file, L"--dry-run"}), kExitSuccess);
    EXPECT_EQ(machine.SddlOf(L"C:\\Data\\a.txt"), denied);
    EXPECT_EQ(console.out, L"C:\\Data\\a.txt\n  before: " + denied + L"\n  after:  O:BA" +
                               kInherited +
                               L"\ndry run: nothing was written (1 object would be written)\n");
}

TEST_F(CliTest, ADryRunOfAPropagatingWriteShowsTheObjectsBelow) {
    machine.SetSecurity(L"C:\\Data", L"O:BAD:PAI(A;OICI;FA;;;WD)");
    machine.SetSecurity(L"C:\\Data\\Sub", L"O:BAD:AI(A;OICI;FR;;;BU)");
    std::wstring b = machine.SddlOf(L"C:\\Data\\Sub\\b.txt");
    EXPECT_EQ(Run({L"inherit", L"C:\\Data\\Sub", L"--dry-run"}), kExitSuccess);
    EXPECT_NE(console.out.find(L"C:\\Data\\Sub\\b.txt\n  before: " + b +
                               L"\n  after:  O:BAD:AI(A;ID;FA;;;WD)\n"),
              std::wstring::npos)
        << console.out;
    EXPECT_EQ(machine.SddlOf(L"C:\\Data\\Sub\\b.txt"), b);
}

TEST_F(CliTest, AnUndoFileTakesEveryChangedObjectBack) {
    machine.SetSecurity(L"C:\\Data\\Sub", L"O:SYD:PAI(A;OICI;FA;;;SY)(A;OICI;FR;;;BU)");
    machine.SetSecurity(L"C:\\Data\\Sub\\b.txt", L"O:SYD:AI(A;;FA;;;BU)(A;ID;FA;;;SY)");
    std::wstring sub = machine.SddlOf(L"C:\\Data\\Sub");
    std::wstring b = machine.SddlOf(L"C:\\Data\\Sub\\b.txt");
    std::wstring undo = temp.File(L"undo.SBAK");
    // The reset reaches b.txt through the system's propagation.
    EXPECT_EQ(Run({L"inherit", L"C:\\Data\\Sub", L"--undo", undo}), kExitSuccess);
    EXPECT_NE(machine.SddlOf(L"C:\\Data\\Sub\\b.txt"), b);
    EXPECT_NE(console.out.find(L"undo: 2 descriptors kept in " + undo), std::wstring::npos);
    EXPECT_EQ(Run({L"restore", undo}), kExitSuccess);
    EXPECT_EQ(machine.SddlOf(L"C:\\Data\\Sub"), sub);
    EXPECT_EQ(machine.SddlOf(L"C:\\Data\\Sub\\b.txt"), b);
}

TEST_F(CliTest, AnObjectTheUndoFileCannotKeepIsNotChanged) {
    machine.DenyAccess(L"C:\\Data\\a.txt", access::kReadControl);
    std::wstring data = machine.SddlOf(L"C:\\Data");
    EXPECT_EQ(Run({L"null-dacl", L"C:\\Data", L"C:\\Data\\a.txt", L"--undo", temp.File(L"u")}),
              kExitItemFailed);
    EXPECT_EQ(machine.SddlOf(L"C:\\Data"), data);
    EXPECT_NE(console.err.find(L"the undo file could not keep every object, so nothing was "
                               L"changed: Access is denied."),
              std::wstring::npos);
}

TEST_F(CliTest, ResetDefaultsWritesTheBuiltInDescriptors) {
    EXPECT_EQ(Run({L"reset-defaults", L"C:\\Data"}), kExitItemFailed);
    EXPECT_EQ(console.err,
              L"velmora-cli: C:\\Data: is neither a drive root nor a Windows system folder\n");
    EXPECT_EQ(Run({L"reset-defaults", L"c:\\", L"E:\\"}), kExitItemFailed);
    EXPECT_EQ(console.out, L"C:\\: Succeed\n");
    EXPECT_EQ(console.err,
              L"velmora-cli: E:\\: This operation only applies to objects in NTFS "
              L"file systems.\n");
    // The system drive gets the protected default; its owner stays.
    EXPECT_EQ(machine.DaclControlOf(L"C:\\") & sd_control::kDaclProtected,
              sd_control::kDaclProtected);
    EXPECT_EQ(machine.OwnerNameOf(L"C:\\"), L"Administrators");
}

TEST_F(CliTest, ExportAndImportCarryOneDacl) {
    std::wstring file = temp.File(L"data.sd");
    machine.SetSecurity(L"C:\\Data", L"O:BAD:PAI(A;OICI;FA;;;BU)");
    EXPECT_EQ(Run({L"export", L"C:\\Data", L"-o", file}), kExitSuccess);
    auto bytes = ReadWholeFile(file);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(DescriptorToSddl(*SecurityDescriptor::Parse(*bytes)), L"D:PAI(A;OICI;FA;;;BU)");
    EXPECT_EQ(Run({L"import", file, L"C:\\Shut"}), kExitSuccess);
    EXPECT_EQ(machine.SddlOf(L"C:\\Shut"), L"O:BAD:PAI(A;OICI;FA;;;BU)");

    std::wstring junk = temp.File(L"junk.sd");
    ASSERT_TRUE(WriteFileReplacing(junk, Bytes{1, 0, 4}).ok());
    std::wstring shut = machine.SddlOf(L"C:\\Shut");
    EXPECT_EQ(Run({L"import", junk, L"C:\\Shut"}), kExitItemFailed);
    EXPECT_EQ(console.err,
              L"velmora-cli: " + junk + L": the file holds no security descriptor with a DACL\n");
    EXPECT_EQ(machine.SddlOf(L"C:\\Shut"), shut);
}

// The reset of mode 1 goes through the system's tree call: the undo file
// must hold everything below first, and a dry run must keep it to itself.
TEST_F(CliTest, TreeResetsAreKeptInTheUndoFileAndStayInADryRun) {
    machine.SetSecurity(L"C:\\Data\\Sub", L"O:BAD:PAI(A;OICI;FA;;;BU)");
    machine.SetSecurity(L"C:\\Data\\Sub\\b.txt", L"O:SYD:PAI(A;;FR;;;WD)");
    std::wstring sub = machine.SddlOf(L"C:\\Data\\Sub");
    std::wstring b = machine.SddlOf(L"C:\\Data\\Sub\\b.txt");
    EXPECT_EQ(Run({L"replace-children", L"C:\\Data", L"--mode", L"reset", L"--dry-run"}),
              kExitSuccess);
    EXPECT_EQ(machine.SddlOf(L"C:\\Data\\Sub\\b.txt"), b);
    EXPECT_NE(console.out.find(L"C:\\Data\\Sub\\b.txt\n  before: " + b +
                               L"\n  after:  O:SYD:AI(A;ID;FA;;;BA)(A;ID;FA;;;SY)"
                               L"(A;ID;0x1200a9;;;BU)\n"),
              std::wstring::npos)
        << console.out;

    std::wstring undo = temp.File(L"tree.SBAK");
    EXPECT_EQ(Run({L"replace-children", L"C:\\Data", L"--mode", L"reset", L"--undo", undo}),
              kExitSuccess);
    EXPECT_EQ(machine.DaclSddlOf(L"C:\\Data\\Sub\\b.txt"),
              L"D:AI(A;ID;FA;;;BA)(A;ID;FA;;;SY)(A;ID;0x1200a9;;;BU)");
    EXPECT_EQ(Run({L"restore", undo}), kExitSuccess);
    EXPECT_EQ(machine.SddlOf(L"C:\\Data\\Sub"), sub);
    EXPECT_EQ(machine.SddlOf(L"C:\\Data\\Sub\\b.txt"), b);
}

}  // namespace
}  // namespace vm::cli::testing
