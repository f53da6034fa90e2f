#include <gtest/gtest.h>

#include <vector>

#include "security/Rights.h"

namespace vm {
namespace {

std::vector<size_t> SetIndices(const RightSet& rights) {
    std::vector<size_t> indices;
    for (size_t i = 0; i < rights.size(); ++i) {
        if (rights[i])
            indices.push_back(i);
    }
    return indices;
}

RightSet AllSingleRights() {
    RightSet rights{};
    rights.fill(true);
    rights[kFullControlRight] = false;
    return rights;
}

TEST(Rights, TableMatchesTheResourceString) {
    EXPECT_EQ(RightNamesResourceText(),
              L"Full control;Traverse folder / execute file;List folder / read data;"
              L"Read attributes;Read extended attributes;Create files / write data;"
              L"Create folders / append data;Write attributes;Write extended attributes;"
              L"Delete subfolders and files;Delete;Read permissions;Change permissions;"
              L"Take ownership;");
    uint32_t singles = 0;
    for (size_t i = 1; i < kRightCount; ++i) {
        EXPECT_EQ(kRights[i].index, i);
        EXPECT_EQ(singles & kRights[i].bits, 0u) << "bits shared by two rights";
        singles |= kRights[i].bits;
    }
    EXPECT_EQ(singles, access::kFullControl);
}

TEST(Rights, FullControlNeedsEveryBitOfIt) {
    std::vector<size_t> all{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    EXPECT_EQ(SetIndices(RightsFromMask(0x1F01FF, true)), all);
    EXPECT_EQ(SetIndices(RightsFromMask(WidenGenericRights(0x10000000), true)), all);
    EXPECT_EQ(WidenGenericRights(0x10000000), 0x100F01FFu);
    EXPECT_EQ(SetIndices(RightsFromMask(0x120089, true)), (std::vector<size_t>{2, 3, 4, 11}));
    // A file whose mask lacks only FILE_DELETE_CHILD: thirteen single rights, no
    // "Full control", because that test always asks for 0xF01FF.
    EXPECT_EQ(SetIndices(RightsFromMask(0x1F01BF, false)),
              (std::vector<size_t>{1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13}));
    // Full control on a file still leaves right 9 without a row.
    EXPECT_FALSE(RightsFromMask(0xF01FF, false)[kDeleteChildRight]);
    EXPECT_TRUE(RightsFromMask(0xF01FF, false)[kFullControlRight]);
    // Bits without a row show nothing.
    EXPECT_EQ(SetIndices(RightsFromMask(0x100000 | 0x1000000, true)), std::vector<size_t>{});
}

TEST(Rights, GenericBitsWidenAndStay) {
    EXPECT_EQ(WidenGenericRights(0xA0000000), 0xA00200A9u);
    EXPECT_EQ(SetIndices(RightsFromMask(WidenGenericRights(0xA0000000), true)),
              (std::vector<size_t>{1, 2, 3, 4, 11}));
    EXPECT_EQ(WidenGenericRights(0x20000000), 0x200200A9u);  // not the 0x200A0 of the mapping
    EXPECT_EQ(WidenGenericRights(0x40000000), 0x40000116u);
    EXPECT_EQ(WidenGenericRights(0xE0010000), 0xE00301BFu);
    EXPECT_EQ(WidenGenericRights(0x1200A9), 0x1200A9u);
}

TEST(Rights, ComposingReplacesTheMask) {
    RightSet rights = AllSingleRights();
    EXPECT_EQ(MaskFromRights(rights, true), 0xF01FFu);
    EXPECT_EQ(MaskFromRights(rights, false), 0xF01BFu);
    RightSet fullOnly{};
    fullOnly[kFullControlRight] = true;
    EXPECT_EQ(MaskFromRights(fullOnly, false), 0xF01FFu);
    rights = RightsFromMask(0x120089, true);
    rights[kFullControlRight] = true;
    rights[2] = false;
    EXPECT_EQ(MaskFromRights(rights, true), 0xF01FFu);
    // Round trip of a mask with SYNCHRONIZE and generic bits drops them.
    EXPECT_EQ(MaskFromRights(RightsFromMask(0x80120089, true), true), 0x20089u);
    EXPECT_EQ(MaskFromRights(RightSet{}, true), 0u);
}

TEST(Rights, EntryTypeTexts) {
    EXPECT_EQ(AceTypeText(0), L"Allow");
    EXPECT_EQ(AceTypeText(1), L"Deny");
    EXPECT_EQ(AceTypeText(2), L"");
    EXPECT_EQ(AceTypeText(5), L"");
    EXPECT_EQ(AceTypeText(255), L"");
}

TEST(Scopes, TextsByValueCommandAndPosition) {
    EXPECT_EQ(ScopeText(ScopeValueOfFlags(0x13)), L"This folder,subfolders and files");
    EXPECT_EQ(ScopeText(0), L"This folder only");
    EXPECT_EQ(ScopeText(2), L"This folder and subfolders");
    EXPECT_EQ(ScopeText(1), L"This folder and files");
    EXPECT_EQ(ScopeText(11), L"Subfolders and files only");
    EXPECT_EQ(ScopeText(10), L"Subfolders only");
    EXPECT_EQ(ScopeText(9), L"Files only");
    for (uint8_t bad : {0x07, 0x08, 0x04, 0x0F, 0x0C, 0x10, 0xFF})
        EXPECT_EQ(ScopeText(bad), L"") << int(bad);

    const uint8_t byPosition[] = {0, 3, 2, 1, 11, 10, 9};
    for (int position = 0; position < 7; ++position) {
        EXPECT_EQ(ScopeFromPosition(position), byPosition[position]);
        EXPECT_EQ(ScopeFromCommand(32779u + static_cast<uint32_t>(position)), byPosition[position]);
        EXPECT_EQ(kScopes[static_cast<size_t>(position)].radioId,
                  1039u + static_cast<uint32_t>(position));
    }
    EXPECT_FALSE(ScopeFromPosition(-1));
    EXPECT_FALSE(ScopeFromPosition(7));
    EXPECT_FALSE(ScopeFromCommand(32778));
    EXPECT_FALSE(ScopeFromCommand(32786));
}

TEST(Scopes, CoversFollowsTheTargetSets) {
    const uint8_t values[] = {0, 1, 2, 3, 9, 10, 11};
    // Rows outer, columns inner, in the order of `values`.
    const bool expected[7][7] = {
        {1, 0, 0, 0, 0, 0, 0}, {1, 1, 0, 0, 1, 0, 0}, {1, 0, 1, 0, 0, 1, 0}, {1, 1, 1, 1, 1, 1, 1},
        {0, 0, 0, 0, 1, 0, 0}, {0, 0, 0, 0, 0, 1, 0}, {0, 0, 0, 0, 1, 1, 1},
    };
    for (size_t o = 0; o < 7; ++o) {
        for (size_t i = 0; i < 7; ++i) {
            EXPECT_EQ(ScopeCovers(values[o], values[i]), expected[o][i])
                << int(values[o]) << " over " << int(values[i]);
        }
    }
    EXPECT_FALSE(ScopeCovers(4, 4));
    EXPECT_FALSE(ScopeCovers(3, 4));
    EXPECT_FALSE(ScopeCovers(7, 0));
    EXPECT_FALSE(ScopeCovers(0x13, 0));  // the inherited bit is not cleared here
}

TEST(Scopes, UnionReachesBothTargetSets) {
    EXPECT_EQ(ScopeUnion(0, 9), 1);
    EXPECT_EQ(ScopeUnion(2, 9), 3);
    EXPECT_EQ(ScopeUnion(11, 1), 3);
    EXPECT_EQ(ScopeUnion(0, 11), 3);
    EXPECT_EQ(ScopeUnion(9, 10), 11);
    EXPECT_EQ(ScopeUnion(1, 9), 1);
    const uint8_t values[] = {0, 1, 2, 3, 9, 10, 11};
    for (uint8_t a : values) {
        for (uint8_t b : values) {
            uint8_t u = ScopeUnion(a, b);
            ASSERT_TRUE(FindScope(u)) << int(a) << " | " << int(b);
            EXPECT_EQ(FindScope(u)->targets, FindScope(a)->targets | FindScope(b)->targets);
        }
    }
}

TEST(InheritedFrom, ValuesOfTheColumn) {
    EXPECT_EQ(InheritedFromText(false, L"C:\\Data"), L"");
    EXPECT_EQ(InheritedFromText(true, L"C:\\Data"), L"C:\\Data\\");
    EXPECT_EQ(InheritedFromText(true, L""), L"Parent Object");
    EXPECT_EQ(InheritedFromText(true, L"C:\\"), L"C:\\");
}

TEST(AccessLevels, TextsByIndex) {
    EXPECT_EQ(AccessLevelText(AccessLevel::kAllowed), L"Allowed");
    EXPECT_EQ(AccessLevelText(AccessLevel::kReadOnly), L"Read Only");
    EXPECT_EQ(AccessLevelText(AccessLevel::kDenied), L"Denied");
    EXPECT_EQ(ResourceListItem(L"a;b;", 2), L"");
    EXPECT_EQ(ResourceListItem(L"a;b;", 5), L"");
}

}  // namespace
}  // namespace vm
