#include "advanced/AdvancedMenus.h"

#include "resources/resource.h"
#include "security/Rights.h"

namespace vm {

MenuPlan PlanContextMenu(const AdvancedMenuContext& context) {
    MenuPlan plan;
    plan.defaultCommand = ID_ACE_EXPAND_COLLAPSE;
    if (!context.anyEntryRowSelected)
        plan.greyed = {ID_ACE_COPY, ID_ACE_EXPAND_COLLAPSE};
    if (context.readOnly) {
        plan.removeFrom = kContextMenuEditingFirst;
        plan.removeCount = kContextMenuEditingCount;
        plan.removed = {ID_ACE_PASTE, ID_SD_IMPORT};
        return plan;
    }
    if (!context.anyExplicitEntryRowSelected) {
        plan.greyed.push_back(ID_ACE_REMOVE);
        plan.scopeSubmenuGreyed = true;
    }
    if (context.clipboardEmpty)
        plan.greyed.push_back(ID_ACE_PASTE);
    if (!context.isDirectory)
        plan.scopeSubmenuGreyed = true;
    return plan;
}

MenuPlan PlanScopeMenu(const AdvancedMenuContext& context) {
    MenuPlan plan;
    for (const ScopeInfo& scope : kScopes) {
        if (!context.anyRowSelected)
            plan.greyed.push_back(scope.commandId);
        if (!context.readOnly && !context.firstSelectedScopeText.empty() &&
            ScopeText(scope.value) == context.firstSelectedScopeText)
            plan.radioCommand = scope.commandId;
    }
    return plan;
}

}  // namespace vm
