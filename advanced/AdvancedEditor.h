// The Advanced Security Settings window without its window: the rows of one
// object (AceTreeModel), its owner as shown, the two boxes, what is enabled
// when, and every command of the window as an operation on these. The
// window (CAdvancedDlg) forwards its commands here with the rows the list
// has selected, and shows what comes back; the list mirrors the rows through
// the model's listener.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "advanced/AceClipboard.h"
#include "advanced/AceTreeModel.h"
#include "advanced/AdvancedApply.h"
#include "security/Inheritance.h"

namespace vm {

// What an account chosen from the "AddACE" popup does.
enum class MenuMode : int {
    kAddEntry = 1,     // '+': a new entry
    kChangeOwner = 2,  // "Change Owner": the owner shown (written by Apply)
};

struct ControlState {
    bool visible = true;
    bool enabled = true;
    bool operator==(const ControlState&) const = default;
};

struct AdvancedControlStates {
    ControlState add, remove, reload;     // '+', '-', 'R'
    ControlState inherit;                 // box 1021
    ControlState replaceChildren;         // box 1022
    ControlState changeOwner, ok, apply;  // buttons 4, 1, 3
    ControlState list;
};

// What the context menus are prepared from: the selection and the state.
struct AdvancedMenuContext {
    bool readOnly = false;
    bool isDirectory = false;
    bool anyRowSelected = false;
    bool anyEntryRowSelected = false;
    bool anyExplicitEntryRowSelected = false;
    std::wstring firstSelectedScopeText;  // "Apply to" column of the first selected row
    bool clipboardEmpty = true;
};

class AdvancedEditor {
  public:
    // readOnly: a backup's descriptor is shown; nothing can be changed.
    AdvancedEditor(std::wstring path, bool isFile, bool readOnly);

    AceTreeModel& rows() { return rows_; }
    const AceTreeModel& rows() const { return rows_; }
    const std::wstring& path() const { return rows_.path(); }
    bool isFile() const { return rows_.isFile(); }
    bool readOnly() const { return rows_.readOnly(); }
    const std::wstring& emptyText() const { return emptyText_; }
    const std::wstring& owner() const { return owner_; }
    bool inheritChecked() const { return inheritChecked_; }
    bool replaceChildrenChecked() const { return replaceChildrenChecked_; }
    MenuMode menuMode() const { return menuMode_; }
    // Changes not yet written: OK and Apply are enabled.
    bool modified() const { return modified_; }
    bool applying() const { return applying_; }
    // Export refuses while this holds (Apply enabled and shown).
    bool HasPendingChanges() const { return modified_ && !readOnly(); }

    // Every row replaced by what was read: the empty-list text, the rows,
    // box 1021 checked when an entry is inherited (never cleared here), the
    // owner. OK and Apply are disabled.
    void Show(const AdvancedSnapshot& snapshot);

    // ---- Commands; each returns whether it changed anything ----
    // The "AddACE" popup opens in this mode; after its command (or none) the
    // mode is kAddEntry again.
    void BeginAccountChoice(MenuMode mode) { menuMode_ = mode; }
    void EndAccountChoice() { menuMode_ = MenuMode::kAddEntry; }
    // An account chosen (empty: none). In kAddEntry a new entry is inserted
    // as row 0 and opened: the row to select. In kChangeOwner the owner shown
    // becomes the name.
    std::optional<size_t> ChooseAccount(const std::wstring& name);
    // '-', "Remove Access Control Entries", Delete: the selected explicit
    // entry rows, last first.
    bool RemoveEntries(const std::vector<size_t>& selected);
    // A scope command (32779 to 32785) on the selected explicit entry rows.
    bool SetScope(const std::vector<size_t>& selected, uint32_t command);
    // "Creating an empty DACL": every row goes, box 1021 is cleared.
    void CreateEmptyDacl();
    // "Expand/Collapse" on the first selected row.
    bool ToggleFirst(const std::vector<size_t>& selected);
    // A click on an Allow or Deny cell.
    bool ClickCell(size_t row, int column);
    // The list ticked a cell itself (its message to the window).
    void CellChanged() { Changed(); }
    // Box 1021 clicked: true when the inheritance question must be asked
    // (the box was cleared and some row is inherited).
    bool InheritClicked(bool checked);
    void AnswerInheritanceQuestion(InheritanceChoice choice);
    void ReplaceChildrenClicked(bool checked);

    // ---- The entry clipboard and import ----
    // The selected entry rows (open ones recomposed first), in row order.
    void CopyEntries(const std::vector<size_t>& selected, AceClipboard& clipboard);
    // The clipboard's entries inserted as rows 0, 1, ... in reverse order;
    // the number inserted (rows 0 to n - 1 are to be selected).
    size_t PasteEntries(const AceClipboard& clipboard);
    // The entries of an imported descriptor above the rows there are.
    void ImportEntries(const LoadedAceEntries& imported);

    // ---- Apply ----
    // Closes every row and takes what Apply writes; the window is busy
    // until ApplyFinished or ApplyAbandoned.
    ApplyRequest BeginApply();
    // The worker's outcome. After a successful write the rows are read
    // again; after a failure the rows stay as they were and stay modified,
    // so that nothing the user did is lost. An outcome that comes after the
    // apply was abandoned shows the object only when nothing changed since.
    void ApplyFinished(const ApplyOutcome& outcome);
    // Cancel while the worker runs: the window is usable again.
    void ApplyAbandoned();

    AdvancedControlStates ControlStates() const;
    AdvancedMenuContext MenuContext(const std::vector<size_t>& selected,
                                    const AceClipboard& clipboard) const;

  private:
    void SetEmptyText(int loadResult) { emptyText_ = EmptyListText(loadResult); }
    void Changed();

    AceTreeModel rows_;
    std::wstring emptyText_;
    std::wstring owner_;
    std::optional<Bytes> ownerSid_;  // as read; nullopt once the user chose another owner
    bool inheritChecked_ = false;
    bool replaceChildrenChecked_ = false;
    MenuMode menuMode_ = MenuMode::kAddEntry;
    bool modified_ = false;
    bool applying_ = false;
    bool abandoned_ = false;  // Cancel came while the worker ran
    bool changedSinceAbandoned_ = false;
};

}  // namespace vm
