#include <gtest/gtest.h>

#include <map>

#include "native/security/StubPlatform.h"
#include "security/Sddl.h"
#include "security/SecurityAccess.h"

namespace vm {
namespace {

// A few accounts and paths, enough for the descriptor and account calls.
class AccountsPlatform : public fakes::StubPlatform {
  public:
    std::map<std::wstring, Bytes> daclDescriptors;
    std::map<std::wstring, Bytes> ownerDescriptors;
    std::vector<std::pair<Bytes, AccountBySid>> accounts;
    std::map<std::wstring, Luid> privileges;
    bool privilegeHeld = true;
    int adjustCalls = 0;

    Result<Bytes> GetFileSecurity(const std::wstring& path, uint32_t info) override {
        auto it = daclDescriptors.find(path);
        if (info != secinfo::kDacl || it == daclDescriptors.end())
            return Result<Bytes>::Fail(err::kAccessDenied);
        return it->second;
    }
    Result<Bytes> GetNamedSecurityInfo(const std::wstring& path, uint32_t info) override {
        auto it = ownerDescriptors.find(path);
        if (info != secinfo::kOwner || it == ownerDescriptors.end())
            return Result<Bytes>::Fail(err::kFileNotFound);
        return it->second;
    }
    Result<AccountBySid> LookupAccountSid(const Bytes& sid) override {
        for (const auto& [known, account] : accounts) {
            if (known == sid)
                return account;
        }
        return Result<AccountBySid>::Fail(err::kNoneMapped);
    }
    Result<std::wstring> ConvertSidToStringSid(const Bytes& sid) override {
        auto parsed = Sid::Parse(sid);
        if (!parsed)
            return Result<std::wstring>::Fail(err::kInvalidSid);
        return parsed->ToString();
    }
    Result<AccountByName> LookupAccountName(const std::wstring& name) override {
        for (const auto& [sid, account] : accounts) {
            if (account.name == name || account.domain + L"\\" + account.name == name)
                return AccountByName{sid, account.domain, account.use};
        }
        return Result<AccountByName>::Fail(err::kNoneMapped);
    }
    Result<Luid> LookupPrivilegeValue(const std::wstring& name) override {
        auto it = privileges.find(name);
        if (it == privileges.end())
            return Result<Luid>::Fail(err::kNoSuchPrivilege);
        return it->second;
    }
    Result<bool> AdjustTokenPrivilege(TokenHandle&, Luid, bool) override {
        ++adjustCalls;
        return privilegeHeld;  // the call succeeds either way
    }
};

class NoToken : public TokenHandle {};

Bytes OwnerDescriptor(const wchar_t* sddl) {
    return SddlToBytes(sddl).value();
}

class SecurityAccessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const Sid user(5, {21, 10, 20, 30, 1001});
        platform.accounts.push_back({sids::Administrators().ToBytes(),
                                     {L"Administrators", L"BUILTIN", SidNameUse::kAlias}});
        platform.accounts.push_back({user.ToBytes(), {L"alice", L"CONTOSO", SidNameUse::kUser}});
        platform.ownerDescriptors[L"C:\\Admin"] = OwnerDescriptor(L"O:BA");
        platform.ownerDescriptors[L"C:\\Domain"] = OwnerDescriptor(L"O:S-1-5-21-10-20-30-1001");
        platform.ownerDescriptors[L"C:\\Orphan"] = OwnerDescriptor(L"O:S-1-5-21-10-20-30-9999");
        platform.ownerDescriptors[L"C:\\NoOwner"] = OwnerDescriptor(L"D:");
        platform.ownerDescriptors[L"C:\\Garbage"] = Bytes{1, 0, 4, 0x80};
        platform.privileges[kTakeOwnershipPrivilege] = Luid{9, 0};
    }
    AccountsPlatform platform;
};

TEST_F(SecurityAccessTest, OwnerNamesAreBareOrEmpty) {
    EXPECT_EQ(GetOwnerName(platform, L"C:\\Admin"), L"Administrators");
    EXPECT_EQ(GetOwnerName(platform, L"C:\\Domain"), L"alice");  // no "CONTOSO\"
    EXPECT_EQ(GetOwnerName(platform, L"C:\\Orphan"), L"");       // ERROR_NONE_MAPPED
    EXPECT_EQ(GetOwnerName(platform, L"C:\\Missing"), L"");
    EXPECT_EQ(GetOwnerName(platform, L"C:\\NoOwner"), L"");
    EXPECT_EQ(GetOwnerName(platform, L"C:\\Garbage"), L"");  // cut descriptor
}

TEST_F(SecurityAccessTest, TrusteeNamesFallBackToTheSidString) {
    EXPECT_EQ(SidToName(platform, sids::Administrators().ToBytes()), L"Administrators");
    // The owner of C:\Orphan shows empty, an entry for the same SID its string.
    EXPECT_EQ(SidToName(platform, Sid(5, {21, 10, 20, 30, 9999}).ToBytes()),
              L"S-1-5-21-10-20-30-9999");
    EXPECT_EQ(SidToName(platform, Bytes{9, 9}), L"");
}

TEST_F(SecurityAccessTest, SidToNameUsesOwnConversionWhenTheSystemHasNone) {
    fakes::StubPlatform nothing;
    EXPECT_EQ(SidToName(nothing, sids::Everyone().ToBytes()), L"S-1-1-0");
}

TEST_F(SecurityAccessTest, NameLookups) {
    EXPECT_EQ(NameToSid(platform, L"Administrators"), sids::Administrators().ToBytes());
    EXPECT_FALSE(NameToSid(platform, L"Nobody"));
    auto account = LookupAccountNameTwoCall(platform, L"CONTOSO\\alice");
    ASSERT_TRUE(account);
    EXPECT_EQ(account->domain, L"CONTOSO");
    EXPECT_EQ(account->use, SidNameUse::kUser);
    EXPECT_FALSE(LookupAccountNameTwoCall(platform, L"Nobody"));
}

TEST_F(SecurityAccessTest, DaclDescriptorIsReturnedWhole) {
    Bytes nullDacl = SddlToBytes(L"D:NO_ACCESS_CONTROL").value();
    Bytes emptyDacl = SddlToBytes(L"D:").value();
    platform.daclDescriptors[L"C:\\Null"] = nullDacl;
    platform.daclDescriptors[L"C:\\Empty"] = emptyDacl;
    EXPECT_EQ(ReadDaclDescriptor(platform, L"C:\\Null"), nullDacl);
    EXPECT_EQ(ReadDaclDescriptor(platform, L"C:\\Empty"), emptyDacl);
    EXPECT_FALSE(ReadDaclDescriptor(platform, L"C:\\Locked"));
    auto parsed = SecurityDescriptor::Parse(*ReadDaclDescriptor(platform, L"C:\\Null"));
    ASSERT_TRUE(parsed);
    EXPECT_TRUE(parsed->HasNullDacl());
}

TEST_F(SecurityAccessTest, EnablePrivilegeCountsTheCallNotTheAssignment) {
    NoToken token;
    EXPECT_TRUE(EnablePrivilege(platform, true, kTakeOwnershipPrivilege, token));
    platform.privilegeHeld = false;  // ERROR_NOT_ALL_ASSIGNED: still success
    EXPECT_TRUE(EnablePrivilege(platform, true, kTakeOwnershipPrivilege, token));
    EXPECT_TRUE(EnablePrivilege(platform, false, kTakeOwnershipPrivilege, token));
    EXPECT_EQ(platform.adjustCalls, 3);
    EXPECT_FALSE(EnablePrivilege(platform, true, L"SeNoSuchPrivilege", token));
    EXPECT_EQ(platform.adjustCalls, 3);  // never adjusted without a LUID
    fakes::StubPlatform refusing;
    EXPECT_FALSE(EnablePrivilege(refusing, true, kTakeOwnershipPrivilege, token));
}

}  // namespace
}  // namespace vm
