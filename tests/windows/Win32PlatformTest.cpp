// The Win32 implementation of the platform seam against the real system (run
// under Wine by the Windows build, or on Windows). Results are compared with
// what the portable readers make of the same bytes and with the system's own
// ACL functions.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/Utf16.h"
#include "platform/win32/Win32Platform.h"
#include "security/AccessEvaluation.h"
#include "security/Sddl.h"
#include "security/SecurityAccess.h"

namespace vm::win32 {
namespace {

constexpr DWORD kSentinelError = 0xDEADBEEF;

// A folder of its own below the temporary folder, removed with its files.
class TempFolder {
  public:
    TempFolder() {
        wchar_t base[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, base);
        path_ = std::wstring(base) + L"velmora-win32-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TempFolder() {
        for (const auto& file : files_)
            DeleteFileW(file.c_str());
        RemoveDirectoryW(path_.c_str());
    }
    const std::wstring& path() const { return path_; }
    std::wstring AddFile(const std::wstring& name) {
        std::wstring file = path_ + L"\\" + name;
        UniqueFile handle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        EXPECT_TRUE(handle);
        files_.push_back(file);
        return file;
    }

  private:
    std::wstring path_;
    std::vector<std::wstring> files_;
};

class Win32PlatformTest : public ::testing::Test {
  protected:
    void SetUp() override { SetLastError(kSentinelError); }
    Win32Platform platform;
};

TEST_F(Win32PlatformTest, WellKnownAccountsResolveBothWays) {
    const std::pair<const wchar_t*, Sid> accounts[] = {
        {L"Administrators", sids::Administrators()},
        {L"Everyone", sids::Everyone()},
        {L"SYSTEM", sids::System()},
        {L"Users", sids::Users()},
        {L"Authenticated Users", sids::AuthenticatedUsers()},
    };
    for (const auto& [name, sid] : accounts) {
        SCOPED_TRACE(ToUtf8(name));
        auto byName = platform.LookupAccountName(name);
        ASSERT_TRUE(byName.ok()) << byName.error();
        EXPECT_EQ(byName->sid, sid.ToBytes());
        auto bySid = platform.LookupAccountSid(sid.ToBytes());
        ASSERT_TRUE(bySid.ok()) << bySid.error();
        EXPECT_EQ(bySid->name, name);  // bare name, the domain apart
        EXPECT_EQ(platform.ConvertSidToStringSid(sid.ToBytes()).value(), sid.ToString());
        EXPECT_EQ(SidToName(platform, sid.ToBytes()), name);
        EXPECT_EQ(NameToSid(platform, name), sid.ToBytes());
    }
}

TEST_F(Win32PlatformTest, CurrentUserAndUnknownAccounts) {
    auto user = platform.GetUserName();
    ASSERT_TRUE(user.ok());
    EXPECT_FALSE(user->empty());
    auto account = LookupAccountNameTwoCall(platform, *user);
    ASSERT_TRUE(account);
    auto back = platform.LookupAccountSid(account->sid);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back->name, *user);

    auto groups = platform.GetLocalGroupsOfUser(*user);
    if (groups.ok()) {
        for (const auto& group : *groups)
            EXPECT_FALSE(group.empty());
    }

    const Sid unknown(5, {21, 1111, 2222, 3333, 4444});
    EXPECT_EQ(platform.LookupAccountSid(unknown.ToBytes()).error(), err::kNoneMapped);
    EXPECT_EQ(SidToName(platform, unknown.ToBytes()), unknown.ToString());
    EXPECT_FALSE(platform.LookupAccountName(L"velmora-no-such-account").ok());
    EXPECT_EQ(platform.LookupAccountSid(Bytes{1, 5, 0}).error(), err::kInvalidSid);
}

// What the system's own ACL functions make of descriptor bytes, against
// what the portable reader makes of them.
void ExpectSameReading(const Bytes& bytes, const SecurityDescriptor& parsed) {
    auto* raw = const_cast<uint8_t*>(bytes.data());
    EXPECT_EQ(GetSecurityDescriptorLength(raw), bytes.size());
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(raw, &present, &dacl, &defaulted));
    EXPECT_EQ(present != FALSE, parsed.dacl.present);
    EXPECT_EQ(dacl == nullptr, !parsed.dacl.acl);
    if (dacl) {
        ACL_SIZE_INFORMATION size{0, 8, 0};
        ASSERT_TRUE(GetAclInformation(dacl, &size, sizeof(size), AclSizeInformation));
        ASSERT_EQ(size.AceCount, parsed.dacl.acl->aces.size());
        EXPECT_EQ(size.AclBytesInUse, parsed.dacl.acl->BytesInUse());
        for (DWORD i = 0; i < size.AceCount; ++i) {
            void* ace = nullptr;
            ASSERT_TRUE(GetAce(dacl, i, &ace));
            const auto* header = static_cast<ACE_HEADER*>(ace);
            const Ace& ours = parsed.dacl.acl->aces[i];
            EXPECT_EQ(header->AceType, ours.type);
            EXPECT_EQ(header->AceFlags, ours.flags);
            EXPECT_EQ(header->AceSize, ours.Size());
            EXPECT_EQ(static_cast<ACCESS_ALLOWED_ACE*>(ace)->Mask, ours.mask);
        }
    }
    PSID owner = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorOwner(raw, &owner, &defaulted));
    ASSERT_EQ(owner != nullptr, parsed.owner.has_value());
    if (owner) {
        auto* sid = static_cast<uint8_t*>(owner);
        EXPECT_EQ(Bytes(sid, sid + GetLengthSid(owner)), parsed.owner->ToBytes());
    }
}

TEST_F(Win32PlatformTest, DescriptorReadMatchesTheSystemsOwnReading) {
    TempFolder folder;
    std::wstring file = folder.AddFile(L"read.txt");
    for (const std::wstring& path : {file, folder.path(), platform.GetWindowsDirectory()}) {
        SCOPED_TRACE(ToUtf8(path));
        for (uint32_t info : {secinfo::kDacl, secinfo::kOwner | secinfo::kDacl}) {
            auto bytes = platform.GetFileSecurity(path, info);
            ASSERT_TRUE(bytes.ok()) << bytes.error();
            auto parsed = SecurityDescriptor::Parse(*bytes);
            ASSERT_TRUE(parsed);
            EXPECT_EQ(parsed->owner.has_value(), (info & secinfo::kOwner) != 0);
            ExpectSameReading(*bytes, *parsed);
        }
    }

    // The named-object read gives the same owner, and the owner has a name.
    auto full = SecurityDescriptor::Parse(*platform.GetFileSecurity(file, secinfo::kOwner));
    auto named = platform.GetNamedSecurityInfo(file, secinfo::kOwner);
    ASSERT_TRUE(named.ok()) << named.error();
    auto namedParsed = SecurityDescriptor::Parse(*named);
    ASSERT_TRUE(full && namedParsed && namedParsed->owner);
    EXPECT_EQ(namedParsed->owner, full->owner);
    EXPECT_FALSE(GetOwnerName(platform, file).empty());
    EXPECT_EQ(platform.GetFileSecurity(folder.path() + L"\\none.txt", secinfo::kDacl).error(),
              err::kFileNotFound);
    EXPECT_FALSE(ReadDaclDescriptor(platform, folder.path() + L"\\none.txt"));
}

TEST_F(Win32PlatformTest, WrittenDaclsReadBackAsWritten) {
    TempFolder folder;
    std::wstring file = folder.AddFile(L"write.txt");
    // A descriptor that lies about its parts never reaches the system.
    Bytes cut = SddlToBytes(L"D:(A;;FA;;;BA)").value();
    cut.resize(cut.size() - 4);
    EXPECT_EQ(platform.SetFileSecurity(file, secinfo::kDacl, cut).error,
              err::kInvalidSecurityDescriptor);
    struct Case {
        const wchar_t* sddl;
        bool nullDacl;
        size_t entries;
    };
    for (const Case& c : {Case{L"D:P(A;;FA;;;BA)(A;;FR;;;WD)", false, 2},
                          Case{L"D:NO_ACCESS_CONTROL", true, 0}, Case{L"D:P", false, 0}}) {
        SCOPED_TRACE(ToUtf8(c.sddl));
        auto written = platform.SetFileSecurity(file, secinfo::kDacl, SddlToBytes(c.sddl).value());
        ASSERT_TRUE(written.ok()) << written.error;
        auto read = ReadDaclDescriptor(platform, file);
        ASSERT_TRUE(read);
        auto parsed = SecurityDescriptor::Parse(*read);
        ASSERT_TRUE(parsed);
        SCOPED_TRACE("read back: " + ToUtf8(DescriptorToSddl(*parsed)));
        ASSERT_TRUE(parsed->dacl.present);
        // Wine keeps descriptors only where the host file system has extended
        // attributes; elsewhere it derives the DACL from the Unix mode.
        if (RunningOnWine() && parsed->dacl.acl && parsed->dacl.acl->aces.size() != c.entries)
            GTEST_SKIP() << "this Wine file system does not keep written DACLs";
        EXPECT_EQ(parsed->HasNullDacl(), c.nullDacl);
        if (!c.nullDacl) {
            EXPECT_EQ(parsed->dacl.acl->aces.size(), c.entries);
        }
    }
}

TEST_F(Win32PlatformTest, SetEntriesInAclMergesByName) {
    Acl old = SddlToAcl(L"(A;;FR;;;WD)").value();
    auto merged = platform.SetEntriesInAcl(
        {{L"Administrators", 0x1F01FF, access_mode::kGrant, 0x3}}, OptionalAcl(old.ToBytes()));
    ASSERT_TRUE(merged.ok()) << merged.error();
    auto acl = Acl::Parse(*merged);
    ASSERT_TRUE(acl);
    bool found = false;
    for (const auto& ace : acl->aces)
        found = found || (ace.sid == sids::Administrators() && ace.mask == 0x1F01FF);
    EXPECT_TRUE(found) << ToUtf8(AclToSddl(*acl));
    EXPECT_EQ(platform.SetEntriesInAcl({}, OptionalAcl(Bytes{2, 0, 8})).error(), err::kInvalidAcl);
}

// Wine ends the process inside GetInheritanceSourceW; the query must fail
// instead. On Windows it answers with one entry per ACE.
TEST_F(Win32PlatformTest, InheritanceSourceQueryFailsInsteadOfAborting) {
    TempFolder folder;
    std::wstring file = folder.AddFile(L"inherit.txt");
    Acl acl = SddlToAcl(L"(A;;FA;;;BA)(A;ID;FR;;;WD)").value();
    auto sources = platform.GetInheritanceSource(file, false, acl.ToBytes());
    if (RunningOnWine()) {
        EXPECT_EQ(sources.error(), err::kCallNotImplemented);
    } else {
        ASSERT_TRUE(sources.ok()) << sources.error();
        EXPECT_EQ(sources->size(), 2u);
    }
}

TEST_F(Win32PlatformTest, PrivilegesOfTheProcessToken) {
    auto token = platform.OpenProcessToken(kTokenAdjustPrivileges | kTokenQuery);
    ASSERT_TRUE(token.ok()) << token.error();
    auto luid = platform.LookupPrivilegeValue(kTakeOwnershipPrivilege);
    ASSERT_TRUE(luid.ok());
    EXPECT_EQ(luid->low, 9u);  // SE_TAKE_OWNERSHIP_PRIVILEGE
    EXPECT_TRUE(EnablePrivilege(platform, true, kTakeOwnershipPrivilege, **token));
    EXPECT_TRUE(EnablePrivilege(platform, false, kTakeOwnershipPrivilege, **token));
    EXPECT_FALSE(EnablePrivilege(platform, true, L"SeVelmoraPrivilege", **token));
    EXPECT_EQ(platform.LookupPrivilegeValue(L"SeVelmoraPrivilege").error(), err::kNoSuchPrivilege);
}

TEST_F(Win32PlatformTest, FileSystemQueries) {
    TempFolder folder;
    folder.AddFile(L"one.txt");
    EXPECT_TRUE(platform.PathFileExists(folder.path()));
    EXPECT_TRUE(platform.PathIsDirectory(folder.path()));
    EXPECT_FALSE(platform.PathIsDirectory(folder.path() + L"\\one.txt"));
    EXPECT_FALSE(platform.PathFileExists(folder.path() + L"\\none.txt"));
    EXPECT_EQ(platform.GetFileAttributes(folder.path() + L"\\none.txt").error(),
              err::kFileNotFound);

    auto listing = platform.FindFiles(folder.path() + L"\\*.*");
    ASSERT_TRUE(listing.ok());
    bool sawFile = false;
    for (const auto& entry : *listing) {
        if (entry.name == L"one.txt") {
            sawFile = true;
            EXPECT_EQ(entry.attributes & attr::kDirectory, 0u);
            EXPECT_NE(entry.lastWriteTime, 0u);
        }
    }
    EXPECT_TRUE(sawFile);
    EXPECT_FALSE(platform.FindFiles(folder.path() + L"\\missing\\*.*").ok());

    std::wstring windows = platform.GetWindowsDirectory();
    ASSERT_GE(windows.size(), 3u);
    EXPECT_EQ(platform.GetSystemDirectory().rfind(windows, 0), 0u);
    auto wow64 = platform.GetSystemWow64Directory();  // absent on a 32-bit system
    if (wow64.ok()) {
        EXPECT_EQ(wow64->rfind(windows, 0), 0u);
    } else {
        EXPECT_EQ(wow64.error(), err::kCallNotImplemented);
    }
    auto drives = platform.GetLogicalDriveStrings();
    std::wstring systemRoot = windows.substr(0, 3);
    EXPECT_NE(std::find(drives.begin(), drives.end(), systemRoot), drives.end());
    auto fileSystem = platform.GetVolumeFileSystemName(systemRoot);
    ASSERT_TRUE(fileSystem.ok()) << fileSystem.error();
    EXPECT_FALSE(fileSystem->empty());
}

// A chain of folders below the temporary folder whose deepest file's path has
// at least `length` characters, made and removed through "\\?\" paths.
class DeepTree {
  public:
    DeepTree(const std::wstring& base, size_t length) {
        std::wstring path = base;
        for (int level = 0; path.size() + 16 < length; ++level) {
            path += L"\\" + std::wstring(40, static_cast<wchar_t>(L'a' + level % 26)) +
                    std::to_wstring(level);
            if (CreateDirectoryW((L"\\\\?\\" + path).c_str(), nullptr))
                folders_.push_back(path);
        }
        file_ = path + L"\\deepest file.txt";
        UniqueFile handle(CreateFileW((L"\\\\?\\" + file_).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        made_ = static_cast<bool>(handle);
    }
    ~DeepTree() {
        DeleteFileW((L"\\\\?\\" + file_).c_str());
        for (auto folder = folders_.rbegin(); folder != folders_.rend(); ++folder)
            RemoveDirectoryW((L"\\\\?\\" + *folder).c_str());
    }
    bool made() const { return made_; }
    const std::wstring& file() const { return file_; }
    const std::wstring& deepestFolder() const { return folders_.back(); }

  private:
    std::vector<std::wstring> folders_;
    std::wstring file_;
    bool made_ = false;
};

// Paths of 300 and 1,000 characters, given as plain paths: the platform
// gives them the prefix, without which the file functions stop at MAX_PATH.
TEST_F(Win32PlatformTest, PathsBeyondMaxPathReachTheirObjects) {
    TempFolder folder;
    for (size_t length : {300u, 1000u}) {
        SCOPED_TRACE(length);
        DeepTree tree(folder.path(), length);
        ASSERT_TRUE(tree.made());
        ASSERT_GE(tree.file().size(), length);
        EXPECT_TRUE(platform.PathFileExists(tree.file()));
        EXPECT_FALSE(platform.PathIsDirectory(tree.file()));
        EXPECT_TRUE(platform.PathIsDirectory(tree.deepestFolder()));
        auto listing = platform.FindFiles(tree.deepestFolder() + L"\\*.*");
        ASSERT_TRUE(listing.ok()) << listing.error();
        EXPECT_TRUE(std::any_of(listing->begin(), listing->end(),
                                [](const FindData& e) { return e.name == L"deepest file.txt"; }));
        auto dacl = ReadDaclDescriptor(platform, tree.file());
        ASSERT_TRUE(dacl);
        EXPECT_TRUE(platform.SetFileSecurity(tree.file(), secinfo::kDacl, *dacl).ok());
        EXPECT_TRUE(platform.GetNamedSecurityInfo(tree.file(), secinfo::kOwner).ok());
        auto parsed = SecurityDescriptor::Parse(*dacl);
        ASSERT_TRUE(parsed && parsed->dacl.acl);
        OptionalAcl acl = parsed->dacl.acl->ToBytes();
        EXPECT_TRUE(platform.SetNamedSecurityInfo(tree.file(), secinfo::kDacl, nullptr, &acl).ok());
    }
}

// The groups Windows checks access against, read from the process token.
TEST_F(Win32PlatformTest, TokenGroupsComeFromTheProcessToken) {
    auto groups = platform.GetTokenGroups();
    ASSERT_TRUE(groups.ok()) << groups.error();
    bool everyone = false;
    for (const TokenGroupInfo& group : *groups) {
        auto sid = Sid::Parse(group.sid);
        ASSERT_TRUE(sid);
        everyone = everyone ||
                   (*sid == sids::Everyone() && (group.attributes & group_attr::kEnabled) != 0);
    }
    EXPECT_TRUE(everyone);
    auto user = platform.GetUserName();
    ASSERT_TRUE(user.ok());
    const std::wstring text = BuildCurrentUserGroups(platform, *user);
    EXPECT_TRUE(text.ends_with(L"<" + SidToName(platform, sids::Everyone().ToBytes()) + L">"))
        << ToUtf8(text);
}

// One tree call resets a folder and everything below it, reporting each
// object by its plain path; where the system has no working call (Wine's
// does nothing) the platform says so, so that the walk resets object by
// object instead of believing it done.
TEST_F(Win32PlatformTest, TreeResetReportsEveryObjectOrSaysItCannot) {
    TempFolder folder;
    const std::wstring sub = folder.path() + L"\\sub";
    ASSERT_TRUE(CreateDirectoryW(sub.c_str(), nullptr));
    std::wstring file = sub + L"\\inner.txt";
    {
        UniqueFile handle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(handle);
    }
    std::vector<std::wstring> told;
    const OptionalAcl noEntries = Acl::WithRoom(8).ToBytes();
    Status reset =
        platform.TreeResetNamedSecurityInfo(sub, secinfo::kDacl | secinfo::kUnprotectedDacl,
                                            noEntries, [&](const std::wstring& path, uint32_t) {
                                                told.push_back(path);
                                                return true;
                                            });
    if (reset.error == err::kCallNotImplemented) {
        EXPECT_TRUE(told.empty());
    } else {
        EXPECT_TRUE(reset.ok()) << reset.error;
        EXPECT_NE(std::find(told.begin(), told.end(), sub), told.end());
        EXPECT_NE(std::find(told.begin(), told.end(), file), told.end());
    }
    DeleteFileW(file.c_str());
    RemoveDirectoryW(sub.c_str());
}

}  // namespace
}  // namespace vm::win32
