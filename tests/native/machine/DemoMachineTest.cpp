// The shipped demonstration machine (resources/demo/demo-machine.txt): it
// loads, and shows what a newcomer is meant to see in it.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "backup/BackupFile.h"
#include "backup/DefaultDescriptors.h"
#include "native/machine/MachineCompare.h"
#include "platform/sim/MachineFile.h"
#include "security/AccessEvaluation.h"
#include "security/SecurityAccess.h"

namespace vm::sim {
namespace {

std::string DemoText() {
    std::string here = __FILE__;
    std::string root = here.substr(0, here.rfind("tests/native/machine/"));
    std::ifstream in(root + "resources/demo/demo-machine.txt", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Loaded once for all the tests below, which only read it.
MachineLoad& Demo() {
    static MachineLoad load = LoadMachine(DemoText());
    return load;
}

class DemoMachineTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(Demo().ok()) << ToUtf8(Demo().error); }

    SimPlatform& m() { return *Demo().machine; }
    AccessLevel Level(const std::wstring& path) { return GetAccessLevel(m(), user, path); }
    Sid OwnerSid(const std::wstring& path) { return *m().OwnerOf(path); }

    // The groups of Alex's token, Everyone last.
    UserIdentity user{L"Alex",
                      L"<Authenticated Users><INTERACTIVE><Administrators><Users><Everyone>"};
};

const std::wstring kProfile = L"C:\\Users\\Alex";
const std::wstring kDocuments = kProfile + L"\\Documents";

TEST_F(DemoMachineTest, AlexRunsTheProgramAsAnElevatedAdministrator) {
    EXPECT_EQ(m().GetUserName().value(), L"Alex");
    EXPECT_EQ(BuildCurrentUserGroups(m(), L"Alex"), user.CurrentUserGroups);
    EXPECT_TRUE(m().IsElevated());
    EXPECT_EQ(m().TokenSnapshot().defaultOwner, sids::Administrators());
    EXPECT_EQ(m().GetWindowsDirectory(), L"C:\\Windows");
    EXPECT_EQ(m().GetLogicalDriveStrings(), (std::vector<std::wstring>{L"C:\\", L"D:\\"}));
}

TEST_F(DemoMachineTest, TheProfileIsAlexsAndItsContentsInherit) {
    EXPECT_EQ(GetOwnerName(m(), kProfile), L"Alex");
    EXPECT_EQ(GetOwnerName(m(), kDocuments), L"Alex");
    EXPECT_EQ(Level(kDocuments), AccessLevel::kAllowed);
    auto budget = m().DaclOf(kDocuments + L"\\Budget 2024.xlsx");
    ASSERT_TRUE(budget.acl && !budget.acl->aces.empty());
    for (const Ace& ace : budget.acl->aces)
        EXPECT_TRUE(ace.IsInherited());
    // Whoever makes something in "Shared with Sam" owns it, by CREATOR OWNER.
    const std::wstring garden = kDocuments + L"\\Shared with Sam\\Garden ideas.docx";
    EXPECT_EQ(GetOwnerName(m(), garden), L"Sam");
    auto dacl = m().DaclOf(garden);
    ASSERT_TRUE(dacl.acl);
    EXPECT_TRUE(std::any_of(dacl.acl->aces.begin(), dacl.acl->aces.end(), [&](const Ace& ace) {
        return ace.sid == m().SidOf(L"Sam") && ace.mask == access::kFileAllAccess &&
               ace.IsInherited();
    }));
}

TEST_F(DemoMachineTest, TheUsualTroubleIsThere) {
    EXPECT_EQ(Level(L"C:\\Shared\\Payroll"), AccessLevel::kDenied);
    EXPECT_EQ(Level(L"C:\\Shared\\Payroll\\Salaries 2024.xlsx"), AccessLevel::kDenied);
    EXPECT_TRUE(m().DaclOf(L"C:\\Shared\\Public Drop").IsNull());
    EXPECT_EQ(Level(L"C:\\Shared\\Public Drop"), AccessLevel::kAllowed);
    // The legacy junctions refuse listing to everybody.
    EXPECT_EQ(Level(L"C:\\Documents and Settings"), AccessLevel::kDenied);
    // A removed account: the owner column is empty, the SID is what is left.
    const std::wstring old = L"C:\\Shared\\Old Projects";
    Sid gone = OwnerSid(old);
    EXPECT_EQ(GetOwnerName(m(), old), L"");
    EXPECT_EQ(SidToName(m(), gone.ToBytes()), L"S-1-5-21-1004336348-1177238915-682003330-1003");
    EXPECT_EQ(OwnerSid(L"C:\\Users\\Jordan"), gone);
}

TEST_F(DemoMachineTest, SystemFoldersAreAsWindowsShipsThem) {
    const std::pair<const wchar_t*, int> folders[] = {
        {L"C:\\", kDefaultSystemDriveDescriptor},
        {L"C:\\Windows", kDefaultSystemFolderDescriptor},
        {L"C:\\Windows\\System32", kDefaultSystemFolderDescriptor},
        {L"C:\\Windows\\SysWOW64", kDefaultSystemFolderDescriptor},
    };
    for (const auto& [path, resource] : folders) {
        SCOPED_TRACE(ToUtf8(path));
        EXPECT_EQ(GetOwnerName(m(), path), L"TrustedInstaller");
        EXPECT_EQ(ReadDaclDescriptor(m(), path), BuildDefaultDescriptor(resource));
    }
}

TEST_F(DemoMachineTest, TheStickIsFat32AndKeepsNoSecurity) {
    EXPECT_EQ(m().GetVolumeFileSystemName(L"D:\\").value(), L"FAT32");
    EXPECT_EQ(m().GetFileSecurity(L"D:\\Transfer", secinfo::kDacl).error(), err::kNotSupported);
    EXPECT_TRUE(m().PathFileExists(L"D:\\Photos 2023\\IMG_4120.JPG"));
}

TEST_F(DemoMachineTest, ThereIsAProjectTreeForTheRecursiveCommands) {
    auto tree = m().ListTree(kProfile + L"\\source\\repos\\larkspur-inventory");
    size_t files = std::count_if(tree.begin(), tree.end(), [&](const std::wstring& path) {
        return !m().PathIsDirectory(path);
    });
    EXPECT_GE(files, 2000u);
}

TEST_F(DemoMachineTest, TheBackupsInDocumentsAreReadableBackups) {
    for (const wchar_t* name : {L"System folders.SBAK", L"Shared folders 2024-04-18.SBAK",
                                L"Profile before cleanup.SBAK"}) {
        SCOPED_TRACE(ToUtf8(name));
        auto bytes = m().FileContent(kDocuments + L"\\" + name);
        ASSERT_TRUE(bytes);
        BackupContents backup = ParseBackup(*bytes);
        EXPECT_EQ(backup.status, BackupReadStatus::kOk);
        ASSERT_EQ(backup.items.size(), 4u);
        for (const auto& item : backup.items)
            EXPECT_TRUE(m().PathFileExists(item.path)) << ToUtf8(item.path);
    }
    // The payroll folder was taken before Alex was refused it: restoring
    // that backup changes something one can see.
    BackupContents shared =
        ParseBackup(*m().FileContent(kDocuments + L"\\Shared folders 2024-04-18.SBAK"));
    EXPECT_EQ(shared.items[2].path, L"C:\\Shared\\Payroll");
    EXPECT_NE(shared.items[2].descriptor, ReadDaclDescriptor(m(), L"C:\\Shared\\Payroll"));
}

TEST_F(DemoMachineTest, SavingTheDemoMachineKeepsIt) {
    MachineLoad again = LoadMachine(SaveMachine(m()));
    ASSERT_TRUE(again.ok()) << ToUtf8(again.error);
    ExpectSameMachine(m(), *again.machine);
}

}  // namespace
}  // namespace vm::sim
