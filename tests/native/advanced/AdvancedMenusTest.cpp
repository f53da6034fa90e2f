// The preparation of the Advanced window's popups: the context menu's eight
// rules and the scope items' marks.
#include <gtest/gtest.h>

#include <algorithm>

#include "advanced/AdvancedMenus.h"
#include "resources/resource.h"

namespace vm {
namespace {

bool Has(const std::vector<uint32_t>& ids, uint32_t id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

AdvancedMenuContext ExplicitEntrySelected() {
    AdvancedMenuContext context;
    context.isDirectory = true;
    context.anyRowSelected = true;
    context.anyEntryRowSelected = true;
    context.anyExplicitEntryRowSelected = true;
    context.firstSelectedScopeText = L"Subfolders only";
    context.clipboardEmpty = false;
    return context;
}

TEST(AdvancedMenus, EverythingOffersItselfForASelectedExplicitEntry) {
    const MenuPlan plan = PlanContextMenu(ExplicitEntrySelected());
    EXPECT_EQ(plan.defaultCommand, std::optional<uint32_t>(ID_ACE_EXPAND_COLLAPSE));
    EXPECT_TRUE(plan.greyed.empty());
    EXPECT_TRUE(plan.removed.empty());
    EXPECT_EQ(plan.removeCount, 0);
    EXPECT_FALSE(plan.scopeSubmenuGreyed);
}

TEST(AdvancedMenus, WhatNeedsAnEntryOrAnExplicitEntryOrTheClipboardIsGreyed) {
    AdvancedMenuContext rightRow = ExplicitEntrySelected();
    rightRow.anyEntryRowSelected = false;
    rightRow.anyExplicitEntryRowSelected = false;
    rightRow.clipboardEmpty = true;
    const MenuPlan plan = PlanContextMenu(rightRow);
    for (uint32_t id : {ID_ACE_COPY, ID_ACE_EXPAND_COLLAPSE, ID_ACE_REMOVE, ID_ACE_PASTE})
        EXPECT_TRUE(Has(plan.greyed, id)) << id;
    EXPECT_FALSE(Has(plan.greyed, ID_SD_EXPORT));
    EXPECT_TRUE(plan.scopeSubmenuGreyed);

    AdvancedMenuContext inherited = ExplicitEntrySelected();
    inherited.anyExplicitEntryRowSelected = false;
    const MenuPlan inheritedPlan = PlanContextMenu(inherited);
    EXPECT_FALSE(Has(inheritedPlan.greyed, ID_ACE_COPY));  // inherited entries copy
    EXPECT_TRUE(Has(inheritedPlan.greyed, ID_ACE_REMOVE));

    AdvancedMenuContext file = ExplicitEntrySelected();
    file.isDirectory = false;
    EXPECT_TRUE(PlanContextMenu(file).scopeSubmenuGreyed);
}

TEST(AdvancedMenus, ReadOnlyKeepsExpandCopyAndExportOnly) {
    AdvancedMenuContext view = ExplicitEntrySelected();
    view.readOnly = true;
    view.clipboardEmpty = true;
    const MenuPlan plan = PlanContextMenu(view);
    EXPECT_EQ(plan.removeFrom, 1);
    EXPECT_EQ(plan.removeCount, 7);
    EXPECT_TRUE(Has(plan.removed, ID_ACE_PASTE));
    EXPECT_TRUE(Has(plan.removed, ID_SD_IMPORT));
    EXPECT_TRUE(plan.greyed.empty());  // nothing else is prepared
    EXPECT_FALSE(plan.scopeSubmenuGreyed);
}

TEST(AdvancedMenus, ScopeItemsMarkTheFirstSelectedRowsScope) {
    MenuPlan plan = PlanScopeMenu(ExplicitEntrySelected());
    EXPECT_EQ(plan.radioCommand, std::optional<uint32_t>(ID_SCOPE_SUBFOLDERS_ONLY));
    EXPECT_TRUE(plan.greyed.empty());

    AdvancedMenuContext nothing;
    plan = PlanScopeMenu(nothing);
    EXPECT_EQ(plan.greyed.size(), 7u);
    EXPECT_FALSE(plan.radioCommand.has_value());

    AdvancedMenuContext rightRow = ExplicitEntrySelected();
    rightRow.firstSelectedScopeText = L"";  // a right row has no scope text
    EXPECT_FALSE(PlanScopeMenu(rightRow).radioCommand.has_value());
}

}  // namespace
}  // namespace vm
