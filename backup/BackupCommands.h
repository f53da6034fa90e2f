// The main window's three backup commands: "Create Backup file for selected
// items..." (32821), "Restore from a Backup file..." (32822) and "Reset
// Security settings ..." (32845), as actions of the command table.
#pragma once

#include <string>
#include <vector>

#include "app/CommandActions.h"

namespace vm {

// The save dialog, then a backup of the selected items (ascending row order)
// under the chosen name; a file that cannot be written is told with the
// system's reason and the previous file stays as it was.
void CreateBackup(CommandContext& context);
// The open dialog, then a Restore window over the chosen file.
void RestoreFromBackupFile(CommandContext& context);
// A Restore window over the drive roots and system folders.
void ResetSecuritySettings(CommandContext& context);

// The paths of the items in ascending row order.
std::vector<std::wstring> PathsInRowOrder(std::vector<SelectedItem> items);

}  // namespace vm
