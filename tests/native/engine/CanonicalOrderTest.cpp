// Canonical ordering of DACL entries: each case is "input entries -> sorted
// entries" in SDDL. Sids: A = S-1-5-21-1-1-1001, B = ...-1002, and so on.
#include <gtest/gtest.h>

#include "platform/Utf16.h"
#include "security/DaclEdits.h"
#include "security/Sddl.h"

namespace vm {
namespace {

Acl AclOf(const std::wstring& entries) {
    auto acl = SddlToAcl(entries);
    EXPECT_TRUE(acl) << ToUtf8(entries);
    return acl ? *acl : Acl{};
}

std::wstring Sorted(const std::wstring& entries) {
    Acl acl = AclOf(entries);
    EXPECT_TRUE(SortAclCanonical(acl));
    return AclToSddl(acl);
}

const std::wstring kAllowA = L"(A;;FA;;;S-1-5-21-1-1-1001)";
const std::wstring kDenyB = L"(D;;FA;;;S-1-5-21-1-1-1002)";
const std::wstring kInheritedAllowC = L"(A;ID;FA;;;S-1-5-21-1-1-1003)";
const std::wstring kDenyD = L"(D;;FA;;;S-1-5-21-1-1-1004)";
const std::wstring kAllowE = L"(A;;FA;;;S-1-5-21-1-1-1005)";
const std::wstring kInheritedDenyF = L"(D;ID;FA;;;S-1-5-21-1-1-1006)";
const std::wstring kAllowB = L"(A;;FR;;;S-1-5-21-1-1-1002)";

TEST(CanonicalOrder, GroupsComeOutInRankOrder) {
    EXPECT_EQ(Sorted(kInheritedAllowC + kInheritedDenyF + kAllowA + kDenyB),
              kDenyB + kAllowA + kInheritedDenyF + kInheritedAllowC);
    // The new deny entry appended by an add goes first among the denies.
    EXPECT_EQ(Sorted(kAllowA + kDenyB + kInheritedAllowC + kDenyD),
              kDenyD + kDenyB + kAllowA + kInheritedAllowC);
}

TEST(CanonicalOrder, EqualRanksComeOutReversed) {
    EXPECT_EQ(Sorted(kAllowA + kAllowB + kAllowE), kAllowE + kAllowB + kAllowA);
    // Sorting twice restores the first order of equal ranks.
    EXPECT_EQ(Sorted(Sorted(kAllowA + kAllowB + kAllowE)), kAllowA + kAllowB + kAllowE);
}

TEST(CanonicalOrder, ObjectEntriesFollowTheirPlainType) {
    const std::wstring objectAllow = L"(OA;;FA;bf967aba-0de6-11d0-a285-00aa003049e2;;BA)";
    const std::wstring objectDeny = L"(OD;;FA;bf967aba-0de6-11d0-a285-00aa003049e2;;BA)";
    EXPECT_EQ(Sorted(objectAllow + kAllowA + objectDeny + kDenyB),
              kDenyB + objectDeny + kAllowA + objectAllow);
}

TEST(CanonicalOrder, EntriesWithoutRankAreAppendedAndCanSplitRankedOnes) {
    const std::wstring audit = L"(AU;SA;FA;;;WD)";
    // An entry placed after the unranked one, whose scan meets it first, is
    // appended behind it.
    EXPECT_EQ(Sorted(kDenyD + audit + kAllowA), kDenyD + audit + kAllowA);
    EXPECT_EQ(Sorted(kAllowA + audit + kDenyD), kDenyD + kAllowA + audit);
    EXPECT_EQ(FindCanonicalInsertIndex(*SddlToAce(audit), AclOf(kAllowA)), kAppendIndex);
}

TEST(CanonicalOrder, InsertIndexCases) {
    Acl acl = AclOf(kDenyB + kAllowA + kInheritedAllowC);
    EXPECT_EQ(FindCanonicalInsertIndex(*SddlToAce(kDenyD), acl), 0u);
    EXPECT_EQ(FindCanonicalInsertIndex(*SddlToAce(kAllowE), acl), 1u);
    EXPECT_EQ(FindCanonicalInsertIndex(*SddlToAce(kInheritedDenyF), acl), 2u);
    EXPECT_EQ(FindCanonicalInsertIndex(*SddlToAce(kInheritedAllowC), acl), 2u);
    EXPECT_EQ(FindCanonicalInsertIndex(*SddlToAce(kInheritedAllowC), AclOf(kDenyB)), 1u);
    EXPECT_EQ(FindCanonicalInsertIndex(*SddlToAce(kAllowA), Acl{}), 0u);
}

TEST(CanonicalOrder, SortCompactsTheListToItsBytesInUse) {
    Acl acl = AclOf(kAllowA + kDenyB);
    acl.size = 1024;
    ASSERT_TRUE(SortAclCanonical(acl));
    EXPECT_EQ(acl.size, acl.BytesInUse());
    EXPECT_EQ(acl.revision, kAclRevision);
}

TEST(CanonicalOrder, ListLargerThanAnAclCanHoldIsLeftUnchanged) {
    Acl acl;
    for (int i = 0; i < 3500; ++i)
        acl.aces.push_back(Ace::Allow(sids::Everyone(), 1));
    acl.aces.push_back(Ace::Deny(sids::Everyone(), 1));
    Acl before = acl;
    EXPECT_FALSE(SortAclCanonical(acl));
    EXPECT_TRUE(acl == before);
}

}  // namespace
}  // namespace vm
