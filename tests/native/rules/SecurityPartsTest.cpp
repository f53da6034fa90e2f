#include <gtest/gtest.h>

#include "platform/rules/SecurityParts.h"
#include "security/Sddl.h"

namespace vm::rules {
namespace {

SecurityDescriptor Descriptor(const std::wstring& sddl) {
    return *SddlToDescriptor(sddl);
}

TEST(SecurityPartsTest, SelectionGivesTheAskedPartsWithTheirBits) {
    SecurityDescriptor whole = Descriptor(L"O:BAG:SYD:PAI(A;;FA;;;WD)S:AI(AU;SA;FA;;;WD)");
    auto sddl = [&](uint32_t info) {
        return DescriptorToSddl(*SecurityDescriptor::Parse(SelectParts(whole, info)));
    };
    EXPECT_EQ(sddl(secinfo::kDacl), L"D:PAI(A;;FA;;;WD)");
    EXPECT_EQ(sddl(secinfo::kOwner | secinfo::kSacl), L"O:BAS:AI(AU;SA;FA;;;WD)");
}

TEST(SecurityPartsTest, MergesKeepWhatIsNotWrittenAndFollowTheProtectionFlags) {
    SecurityDescriptor object = Descriptor(L"O:BAG:SYD:AI(A;ID;FA;;;BA)S:(AU;SA;FA;;;WD)");
    ASSERT_EQ(MergeWrittenParts(object, secinfo::kDacl | secinfo::kProtectedDacl,
                                Descriptor(L"D:(A;;FR;;;WD)")),
              err::kSuccess);
    EXPECT_EQ(DescriptorToSddl(object), L"O:BAG:SYD:P(A;;FR;;;WD)S:(AU;SA;FA;;;WD)");
    ASSERT_EQ(MergeWrittenParts(object, secinfo::kDacl | secinfo::kUnprotectedDacl,
                                Descriptor(L"D:PAI(A;;FR;;;WD)")),
              err::kSuccess);
    EXPECT_EQ(DescriptorToSddl(object), L"O:BAG:SYD:AI(A;;FR;;;WD)S:(AU;SA;FA;;;WD)");
    // An owner part without an owner changes nothing.
    SecurityDescriptor before = object;
    EXPECT_EQ(MergeWrittenParts(object, secinfo::kOwner | secinfo::kDacl, Descriptor(L"D:")),
              err::kInvalidOwner);
    EXPECT_EQ(object, before);
}

TEST(SecurityPartsTest, NamedWritesTakeANullOrAParsedDacl) {
    EXPECT_TRUE(DaclOfNamedWrite(std::nullopt)->IsNull());
    EXPECT_EQ(DaclOfNamedWrite(SddlToAcl(L"(A;;FA;;;WD)")->ToBytes())->acl->aces.size(), 1u);
    EXPECT_EQ(DaclOfNamedWrite(Bytes{2, 0, 0}).error(), err::kInvalidAcl);
}

}  // namespace
}  // namespace vm::rules
