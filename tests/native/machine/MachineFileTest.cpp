// Machine description files: a machine written and read back is the same
// machine; a bad line is refused with its number and nothing is built.
#include <gtest/gtest.h>

#include "native/machine/MachineCompare.h"
#include "platform/Utf16.h"
#include "platform/sim/MachineFile.h"
#include "security/Sddl.h"

namespace vm::sim {
namespace {

MachineLoad Load(const std::string& text) {
    MachineLoad load = LoadMachine(text);
    EXPECT_TRUE(load.ok()) << ToUtf8(load.error);
    return load;
}

// A machine with something of everything a description must carry.
class MachineRoundTripTest : public ::testing::Test {
  protected:
    void SetUp() override {
        machine.AddVolume(L'C', L"NTFS");
        machine.AddVolume(L'E', L"NTFS", L"O:SYD:PAI(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;WD)");
        machine.AddVolume(L'D', L"FAT32");
        machine.AddLocalUser(L"Sam");
        machine.AddDomainGroup(L"Engineering");
        machine.AddDomainUser(L"mchen");
        machine.AddToGroup(L"CORP\\mchen", L"CORP\\Engineering");
        gone = *machine.DeleteAccount(L"Sam");
        machine.SetTokenNotElevated();
        machine.SetTokenPrivilege(L"SeBackupPrivilege", true, true);
        machine.Set64Bit(false);
        machine.SetWindowsDirectory(L"C:\\WINNT");

        machine.AddFolder(L"C:\\Data");
        machine.AddFolder(L"C:\\Data\\Résumé – 日本 #1 ^x", L"O:BAD:PAI(A;OICI;FA;;;WD)");
        machine.AddFile(L"C:\\Data\\Résumé – 日本 #1 ^x\\\"odd\" name .txt", L"", 5);
        machine.AddFolder(L"C:\\Open", L"O:BAD:NO_ACCESS_CONTROL");
        machine.AddFolder(L"C:\\Closed", L"O:" + gone.ToString() + L"D:P");
        machine.AddFolder(L"C:\\NoDacl", L"O:SY");
        machine.AddJunction(L"C:\\Link to Data", L"C:\\Data");
        machine.AddFile(L"C:\\Data\\payload.bin");
        machine.SetFileContent(L"C:\\Data\\payload.bin", Bytes(200, 0xA5));
        machine.SetAttributes(L"C:\\Data\\payload.bin", attr::kHidden | attr::kReadOnly);
        machine.SetTimes(L"C:\\Data", 133485408001234567ull, 133485408000000000ull);
        machine.AddFolder(L"D:\\Photos 2023");
        machine.AddFile(L"D:\\Photos 2023\\IMG_0412.JPG", L"", 4100000);

        // A DACL with spare room and a defaulted bit: SDDL cannot say so.
        SecurityDescriptor roomy = *SddlToDescriptor(L"O:BAG:SYD:(A;;FA;;;BA)");
        roomy.dacl.acl->size = 200;
        roomy.control |= sd_control::kDaclDefaulted;
        machine.AddFile(L"E:\\roomy.dat");
        machine.SetSecurity(L"E:\\roomy.dat", roomy);
    }
    SimPlatform machine;
    Sid gone;
};

TEST_F(MachineRoundTripTest, SaveLoadGivesTheSameMachine) {
    std::string text = SaveMachine(machine);
    MachineLoad loaded = Load(text);
    ASSERT_TRUE(loaded.ok());
    ExpectSameMachine(machine, *loaded.machine);
    // And the text it is written as does not drift.
    EXPECT_EQ(SaveMachine(*loaded.machine), text);
}

TEST_F(MachineRoundTripTest, DescriptorsReadThroughThePlatformAreByteEqual) {
    MachineLoad loaded = Load(SaveMachine(machine));
    ASSERT_TRUE(loaded.ok());
    EXPECT_EQ(loaded.machine->TotalCalls(), 0u);
    const uint32_t everything = secinfo::kOwner | secinfo::kGroup | secinfo::kDacl;
    for (const auto& object : machine.Objects()) {
        if (!object.security)
            continue;
        SCOPED_TRACE(ToUtf8(object.path));
        auto before = machine.GetFileSecurity(object.path, everything);
        auto after = loaded.machine->GetFileSecurity(object.path, everything);
        ASSERT_TRUE(before.ok() && after.ok());
        EXPECT_EQ(*before, *after);
    }
}

TEST_F(MachineRoundTripTest, NamedDescriptorsAreSharedByEveryObjectWithTheSameSecurity) {
    machine.AddFile(L"C:\\Data\\second.txt");
    MachineSaveOptions options;
    options.comment = L"A test machine\n\nwith two comment lines";
    options.descriptorNames[L"C:\\Data\\payload.bin"] = L"data file";
    std::string text = SaveMachine(machine, options);
    EXPECT_TRUE(text.starts_with("# A test machine\n#\n# with two comment lines\nmachine 1\n"));
    EXPECT_NE(text.find("descriptor \"@data file\" "), std::string::npos);
    EXPECT_NE(text.find(" \"@data file\"\n"), std::string::npos);
    MachineLoad loaded = Load(text);
    ASSERT_TRUE(loaded.ok());
    ExpectSameMachine(machine, *loaded.machine);
}

TEST(MachineFileTest, AShortDescriptionKeepsTheSimulatorsAccountsAndInherits) {
    MachineLoad loaded = Load(
        "\xEF\xBB\xBFmachine 1\r\n"
        "volume C: NTFS\r\n"
        "folder C:\\Data 0x10 2024-03-01T10:00:00Z 2024-03-02T10:00:00Z O:BAD:PAI(A;OICI;FA;;;BU)\n"
        "file \"C:\\Data\\a b.txt\" 0x20 2024-03-01T10:00:00Z 2024-03-01T10:00:00Z 3 -\n"
        "data YWJj\n");
    ASSERT_TRUE(loaded.ok());
    SimPlatform& m = *loaded.machine;
    EXPECT_EQ(m.GetUserName().value(), L"Alice");
    EXPECT_EQ(m.SddlOf(L"C:\\Data\\a b.txt"), L"O:BAD:AI(A;ID;FA;;;BU)");
    EXPECT_EQ(m.FileContent(L"C:\\Data\\a b.txt"), (Bytes{'a', 'b', 'c'}));
    EXPECT_EQ(m.TotalCalls(), 1u);  // the GetUserName above
}

TEST(MachineFileTest, OwnAccountsReplaceTheSimulatorsAndNeedAUser) {
    const std::string accounts =
        "machine 1\n"
        "account S-1-5-32-544 BUILTIN Administrators alias\n"
        "account S-1-1-0 \"\" Everyone well-known-group\n"
        "account S-1-5-21-1-2-3-1001 PC Ana user\n"
        "member Administrators PC\\Ana\n";
    MachineLoad loaded = Load(accounts + "user Ana elevated\nvolume C: NTFS\n");
    ASSERT_TRUE(loaded.ok());
    EXPECT_EQ(loaded.machine->AccountList().size(), 3u);
    EXPECT_EQ(loaded.machine->GetUserName().value(), L"Ana");
    EXPECT_EQ(loaded.machine->GetLocalGroupsOfUser(L"Ana").value(),
              std::vector<std::wstring>{L"Administrators"});
    EXPECT_EQ(loaded.machine->TokenSnapshot().defaultOwner, sids::Administrators());
    EXPECT_FALSE(loaded.machine->FindAccount(L"Alice"));

    MachineLoad noUser = LoadMachine(accounts + "volume C: NTFS\n");
    EXPECT_FALSE(noUser.ok());
    EXPECT_EQ(noUser.errorLine, 6u);
    EXPECT_NE(noUser.error.find(L"\"user\" line"), std::wstring::npos) << ToUtf8(noUser.error);
}

struct BadText {
    const char* text;
    size_t line;
    const wchar_t* says;
};

TEST(MachineFileTest, BadLinesAreRefusedWithTheirNumberAndNothingIsBuilt) {
    const std::string ok = "machine 1\nvolume C: NTFS\nvolume D: FAT32\n";
    const std::string t = " 0x10 2024-01-01T00:00:00Z 2024-01-01T00:00:00Z ";
    const std::string f = " 0x20 2024-01-01T00:00:00Z 2024-01-01T00:00:00Z ";
    const std::string cases[][3] = {
        {"volume C: NTFS\n", "1", "starts with \"machine 1\""},
        {"machine 2\n", "1", "version \"2\""},
        {ok + "machine 1\n", "4", "only start"},
        {ok + "folde C:\\x" + t + "-\n", "4", "unknown statement \"folde\""},
        {ok + "folder C:\\x 0x10\n", "4", "takes 5 fields"},
        {ok + "folder C:\\a\\b" + t + "-\n", "4", "its folder C:\\a is not described"},
        {ok + "folder C:\\a" + t + "-\nfolder c:\\A" + t + "-\n", "5", "first on line 4"},
        {ok + "file C:\\a" + f + "1 -\nfile C:\\a\\b" + f + "1 -\n", "5", "is not a folder"},
        {ok + "folder C:\\a" + t + "O:BAD:(A;;XX;;;BA)\n", "4", "not valid SDDL at character"},
        {ok + "folder D:\\a" + t + "O:BAD:\n", "4", "keeps no security"},
        {ok + "folder Q:\\a" + t + "-\n", "4", "Q: is not described"},
        {ok + "folder C:\\a 0x20 2024-01-01T00:00:00Z 2024-01-01T00:00:00Z -\n", "4",
         "do not fit a folder"},
        {ok + "file C:\\a 0x0 2024-01-01T00:00:00Z 2024-01-01T00:00:00Z 0 -\n", "4", "never 0"},
        {ok + "folder C:\\a 0x10 2024-02-30T00:00:00Z 2024-01-01T00:00:00Z -\n", "4", "2024-02-30"},
        {ok + "folder C:\\a" + t + "@nope\n", "4", "no descriptor @nope"},
        {ok + "file C:\\a" + f + "4 -\ndata YWJj\nfolder C:\\b" + t + "-\n", "6",
         "hold 3 bytes, its size is 4"},
        {ok + "file C:\\a" + f + "2 -\ndata YWJj\n", "5", "more than the file's size"},
        {ok + "data YWJj\n", "4", "follow the line of their file"},
        {ok + "file .\\a" + f + "1 -\n", "4", "nor .\\name below a folder line"},
        {ok + "folder C:\\a" + t + "-\nfolder C:\\" + t + "-\n", "5", "must come before"},
        {ok + "folder \"C:\\a" + t + "-\n", "4", "not closed"},
        {ok + "folder C:\\\xC3\x28" + t + "-\n", "4", "not valid UTF-8"},
        {ok + "user Alice elevated\n", "4", "before the first volume"},
        {"machine 1\nuser Alice elevated\naccount S-1-5-18 \"NT AUTHORITY\" SYSTEM "
         "well-known-group\n",
         "3", "come before member, user and token lines"},
        {"machine 1\nuser Everyone elevated\n", "2", "not a user account"},
        {"machine 1\naccount S-1-5-18 A B user\naccount S-1-5-18 A C user\n", "3",
         "described twice"},
        {"machine 1\nmember Administrators Nobody\n", "2", "no account is named \"Nobody\""},
        {"machine 1\nprivilege SeFlyPrivilege enabled\n", "2", "not a privilege name"},
        {"machine 1\ntoken-group Everyone enabled owner owner\n", "2", "each once"},
        {"machine 1\ndescriptor name O:BA\n", "2", "starts with '@'"},
        {"machine 1\ndescriptor @x binary:AAAA\n", "2", "not valid at byte"},
        {"", "0", "\"machine 1\" is missing"},
    };
    for (const auto& [text, line, says] : cases) {
        SCOPED_TRACE(text);
        MachineLoad load = LoadMachine(text);
        EXPECT_FALSE(load.ok());
        EXPECT_EQ(load.errorLine, std::stoul(line));
        EXPECT_NE(load.error.find(FromUtf8(says)), std::wstring::npos) << ToUtf8(load.error);
        if (load.errorLine != 0) {
            EXPECT_TRUE(load.error.starts_with(L"line " + FromUtf8(line) + L": "));
        }
    }
}

}  // namespace
}  // namespace vm::sim
