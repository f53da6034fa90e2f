#include "backup/BackupCommands.h"

#include <algorithm>

#include "advanced/FileErrors.h"
#include "backup/BackupFile.h"

namespace vm {

std::vector<std::wstring> PathsInRowOrder(std::vector<SelectedItem> items) {
    std::stable_sort(items.begin(), items.end(),
                     [](const SelectedItem& a, const SelectedItem& b) { return a.row < b.row; });
    std::vector<std::wstring> paths;
    paths.reserve(items.size());
    for (SelectedItem& item : items)
        paths.push_back(std::move(item.path));
    return paths;
}

void CreateBackup(CommandContext& context) {
    std::optional<std::wstring> chosen = context.window.AskBackupFileToSave();
    if (!chosen || chosen->empty())
        return;
    const std::wstring file = BackupSaveName(*chosen);
    Status written = WriteBackupFile(context.app.platform(), file,
                                     PathsInRowOrder(context.state.selection), CurrentBackupTime());
    if (!written.ok())
        context.app.reporter().Tell(FileErrorMessage(written.error, file), MessageIcon::kError);
}

void RestoreFromBackupFile(CommandContext& context) {
    std::optional<std::wstring> chosen = context.window.AskBackupFileToOpen();
    if (!chosen || chosen->empty())
        return;
    context.window.OpenRestoreWindow(RestoreMode::kFile, *chosen);
}

void ResetSecuritySettings(CommandContext& context) {
    context.window.OpenRestoreWindow(RestoreMode::kReset, {});
}

}  // namespace vm
