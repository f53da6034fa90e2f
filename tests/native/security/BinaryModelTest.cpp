#include <gtest/gtest.h>

#include "security/SecurityDescriptor.h"

namespace vm {
namespace {

TEST(Sid, StringFormRoundTripsAndRejectsNonsense) {
    auto admins = Sid::FromString(L"S-1-5-32-544");
    ASSERT_TRUE(admins);
    EXPECT_EQ(*admins, sids::Administrators());
    EXPECT_EQ(admins->ToString(), L"S-1-5-32-544");
    EXPECT_EQ(admins->ToBytes(), (Bytes{1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x20, 2, 0, 0}));
    EXPECT_EQ(sids::TrustedInstaller().ToString(),
              L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464");
    for (const wchar_t* bad : {L"", L"S-", L"S-2-5", L"S-1-5-", L"S-1-x", L"S-1-5-4294967296",
                               L"S-1-5-1-2-3-4-5-6-7-8-9-10-11-12-13-14-15-16"}) {
        EXPECT_FALSE(Sid::FromString(bad));
    }
}

TEST(Sid, ParseChecksCountAgainstBytes) {
    Bytes bytes = sids::Administrators().ToBytes();
    EXPECT_TRUE(Sid::Parse(bytes));
    bytes.pop_back();
    EXPECT_FALSE(Sid::Parse(bytes));
    bytes = sids::Everyone().ToBytes();
    bytes[1] = 16;  // more sub-authorities than a SID may have
    EXPECT_FALSE(Sid::Parse(bytes));
}

// The default descriptor for drive roots: eight allow entries, control 0x8404.
TEST(SecurityDescriptor, DaclOnlyDescriptorHasExpectedLayout) {
    Acl acl = Acl::WithRoom(1024);
    acl.AddAce(kAppendIndex, Ace::Allow(sids::Administrators(), 0x1F01FF));
    acl.AddAce(kAppendIndex, Ace::Allow(sids::Administrators(), 0x10000000, 0x0B));
    auto sd = DaclOnlyDescriptor(AclSlot::With(acl.Compacted()), 0x0400);
    Bytes bytes = sd.ToSelfRelative();
    EXPECT_EQ(ReadLe16(bytes, 2), 0x8404);
    EXPECT_EQ(ReadLe32(bytes, 16), 20u);  // DACL right after the header
    EXPECT_EQ(ReadLe32(bytes, 4), 0u);    // no owner
    ASSERT_EQ(bytes.size(), 20u + 8 + 2 * 24);
    auto back = SecurityDescriptor::Parse(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->ToSelfRelative(), bytes);
    EXPECT_EQ(back->dacl.acl->aces.size(), 2u);
}

TEST(SecurityDescriptor, NullAndEmptyDaclAreToldApart) {
    auto nullSd = SecurityDescriptor::Parse(DaclOnlyDescriptor(AclSlot::Null()).ToSelfRelative());
    auto emptySd = SecurityDescriptor::Parse(
        DaclOnlyDescriptor(AclSlot::With(Acl::WithRoom(8))).ToSelfRelative());
    auto noSd = SecurityDescriptor::Parse(DaclOnlyDescriptor(AclSlot::Absent()).ToSelfRelative());
    ASSERT_TRUE(nullSd && emptySd && noSd);
    EXPECT_TRUE(nullSd->HasNullDacl());
    EXPECT_FALSE(emptySd->HasNullDacl());
    EXPECT_TRUE(emptySd->dacl.acl->aces.empty());
    EXPECT_FALSE(noSd->dacl.present);
}

}  // namespace
}  // namespace vm
