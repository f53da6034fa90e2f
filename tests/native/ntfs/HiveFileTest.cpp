// The hive reader on hive files: libhivex over files in the Windows layout,
// and a Windows installation found on a stand-in volume by its hives.
#include <gtest/gtest.h>

#include <fstream>

#include "native/ntfs/RegfBuilder.h"
#include "native/ntfs/StoreFixture.h"
#include "platform/Utf16.h"
#include "platform/ntfs/NtfsPlatform.h"
#include "security/SecurityAccess.h"

namespace vm::ntfs {
namespace {

using testing::RegfBuilder;
using testing::RegKey;

const Sid kMachine(5, {21, 4000000001, 4000000002, 4000000003});

Bytes Utf16Z(const std::wstring& text) {
    Bytes bytes = ToUtf16LeBytes(text);
    bytes.insert(bytes.end(), {0, 0});
    return bytes;
}

// A SAM hive as Windows keeps one: the machine SID at the end of the account
// domain's V value, each account a key under Names whose default value's
// type is its RID.
Bytes SamHive() {
    RegKey root{"ROOT", {}, {}};
    Bytes v(0x60, 0x11);
    kMachine.AppendTo(v);
    root.At("SAM\\Domains\\Account").values.push_back({"V", 3, v});
    root.At("SAM\\Domains\\Account\\Users\\Names\\Administrator").values.push_back({"", 500, {}});
    root.At("SAM\\Domains\\Account\\Users\\Names\\Alice").values.push_back({"", 1001, {}});
    root.At("SAM\\Domains\\Account\\Users\\000003E9").values.push_back({"F", 3, Bytes(80, 0)});
    root.At("SAM\\Domains\\Builtin\\Aliases\\Names\\Administrators")
        .values.push_back({"", 544, {}});
    return RegfBuilder().Build(root);
}

Bytes SystemHive(const std::wstring& computerName) {
    RegKey root{"ROOT", {}, {}};
    root.At("Select").values.push_back({"Current", 4, {1, 0, 0, 0}});
    root.At("ControlSet001\\Control\\ComputerName\\ComputerName")
        .values.push_back({"ComputerName", 1, Utf16Z(computerName)});
    return RegfBuilder().Build(root);
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

class HiveFileTest : public ::testing::Test {
  protected:
    testing::StandInVolume volume;
};

TEST_F(HiveFileTest, KeysAndValuesReadBackFromAHiveFile) {
    WriteFile(volume.Local("SAM"), SamHive());
    auto hive = OpenHiveFile(volume.Local("SAM"));
    ASSERT_TRUE(hive);
    auto names = hive->SubKeys(L"SAM\\Domains\\Account\\Users\\Names");
    ASSERT_TRUE(names);
    EXPECT_EQ(*names, (std::vector<std::wstring>{L"Administrator", L"Alice"}));
    EXPECT_EQ(hive->Value(L"SAM\\Domains\\Account\\Users\\Names\\Alice", L"")->type, 1001u);
    EXPECT_EQ(hive->Value(L"SAM\\Domains\\Account\\Users\\000003E9", L"F")->data.size(), 80u);
    EXPECT_EQ(hive->Value(L"SAM\\Domains\\Account", L"V")->data.size(), 0x60u + 24);
    EXPECT_FALSE(hive->SubKeys(L"SAM\\Domains\\Nowhere"));
    EXPECT_FALSE(hive->Value(L"SAM\\Domains\\Account", L"W"));
    EXPECT_FALSE(hive->Value(L"SAM\\Nowhere", L""));
}

TEST_F(HiveFileTest, WhatIsNoHiveIsNotOpened) {
    Bytes damaged = SamHive();
    damaged[0x30] ^= 0xFF;  // the base block's checksum no longer matches
    WriteFile(volume.Local("damaged"), damaged);
    WriteFile(volume.Local("text"), Bytes(8192, 'x'));
    EXPECT_FALSE(OpenHiveFile(volume.Local("damaged")));
    EXPECT_FALSE(OpenHiveFile(volume.Local("text")));
    EXPECT_FALSE(OpenHiveFile(volume.Local("missing")));
}

TEST_F(HiveFileTest, TheInstallationsAccountsComeFromItsHives) {
    volume.Folder("Windows");
    volume.Folder("Windows/System32");
    volume.Folder("Windows/System32/config");
    WriteFile(volume.Local("Windows/System32/config/SAM"), SamHive());
    WriteFile(volume.Local("Windows/System32/config/SYSTEM"), SystemHive(L"WINBOX"));
    Sid alice(5, {21, 4000000001, 4000000002, 4000000003, 1001});
    volume.File("owned.txt", L"O:" + alice.ToString() + L"G:SYD:");
    NtfsPlatform platform;
    ASSERT_TRUE(platform.store().AddVolume(L'C', volume.root(), testing::StandInNames()).ok());

    ASSERT_TRUE(platform.LoadInstallation());
    EXPECT_EQ(platform.accounts().MachineSid(), kMachine);
    EXPECT_EQ(GetOwnerName(platform, L"C:\\owned.txt"), L"Alice");
    auto byName = platform.LookupAccountName(L"WINBOX\\alice");
    ASSERT_TRUE(byName.ok());
    EXPECT_EQ(*Sid::Parse(byName->sid), alice);
    EXPECT_EQ(platform.LookupAccountSid(alice.ToBytes())->domain, L"WINBOX");
    EXPECT_EQ(platform.GetSystemDirectory(), L"C:\\Windows\\System32");
}

}  // namespace
}  // namespace vm::ntfs
