// How the Advanced Security Settings window prepares its popups before they
// show: the context menu ("AdvPop") with its "Apply To" submenu, and the
// scope menu ("ApplyTo") of an entry's arrow. The plan names commands; the
// window carries it out on the menu it loaded.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "advanced/AdvancedEditor.h"

namespace vm {

// Positions 1 to 7 of "AdvPop": "Add Access Control Entry...", "Remove
// Access Control Entries", "Apply To", "Creating an empty DACL" and the
// separators between them; a read-only view drops them.
inline constexpr int kContextMenuEditingFirst = 1;
inline constexpr int kContextMenuEditingCount = 7;

struct MenuPlan {
    std::optional<uint32_t> defaultCommand;
    int removeFrom = 0;  // a run of positions removed first
    int removeCount = 0;
    std::vector<uint32_t> removed;  // then these commands
    std::vector<uint32_t> greyed;
    // The "Apply To" submenu item of the context menu is greyed.
    bool scopeSubmenuGreyed = false;
    // The scope item with the radio mark.
    std::optional<uint32_t> radioCommand;
};

// The context menu itself (its "Apply To" submenu is prepared when it opens,
// with PlanScopeMenu).
MenuPlan PlanContextMenu(const AdvancedMenuContext& context);

// The seven scope items, in the context menu's submenu or on their own:
// greyed without a selection; the one whose text is the first selected
// row's "Apply to" text marked.
MenuPlan PlanScopeMenu(const AdvancedMenuContext& context);

}  // namespace vm
