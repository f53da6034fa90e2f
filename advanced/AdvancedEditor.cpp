#include "advanced/AdvancedEditor.h"

#include "security/Rights.h"

namespace vm {
namespace {

// The rows as the inheritance question's three answers see them.
class InheritanceRowsOfModel final : public InheritanceRows {
  public:
    explicit InheritanceRowsOfModel(AceTreeModel& model) : model_(model) {}
    size_t RowCount() const override { return model_.RowCount(); }
    bool HasInheritedFrom(size_t row) const override { return model_.IsInheritedRow(row); }
    bool IsEntryRow(size_t row) const override { return model_.IsEntryRow(row); }
    void ClearInheritedFlag(size_t row) override { model_.ClearInheritedFlag(row); }
    void ClearInheritedFrom(size_t row) override { model_.ClearInheritedFrom(row); }
    void DeleteRow(size_t row) override { model_.DeleteRow(row); }

  private:
    AceTreeModel& model_;
};

bool IsExplicitEntryRow(const AceTreeModel& rows, size_t row) {
    return rows.IsEntryRow(row) && !rows.IsInheritedRow(row);
}

ControlState Shown(bool visible, bool enabled) {
    return {visible, visible && enabled};
}

}  // namespace

AdvancedEditor::AdvancedEditor(std::wstring path, bool isFile, bool readOnly) {
    rows_.Init(std::move(path), isFile, readOnly);
}

void AdvancedEditor::Changed() {
    modified_ = true;
    if (abandoned_)
        changedSinceAbandoned_ = true;
}

void AdvancedEditor::Show(const AdvancedSnapshot& snapshot) {
    rows_.DeleteAllRows();
    SetEmptyText(snapshot.loaded.result);
    if (snapshot.loaded.result > 0 && rows_.FillEntryRows(snapshot.loaded.entries) > 0)
        inheritChecked_ = true;
    owner_ = snapshot.ownerName;
    ownerSid_ = snapshot.ownerSid;
    modified_ = false;
}

std::optional<size_t> AdvancedEditor::ChooseAccount(const std::wstring& name) {
    const MenuMode mode = menuMode_;
    EndAccountChoice();
    if (name.empty() || readOnly())
        return std::nullopt;
    Changed();
    if (mode == MenuMode::kChangeOwner) {
        owner_ = name;
        ownerSid_.reset();
        return std::nullopt;
    }
    rows_.AddEntryRow(NewAceEntry(name), 0);
    rows_.ToggleEntry(0);
    return 0;
}

bool AdvancedEditor::RemoveEntries(const std::vector<size_t>& selected) {
    if (readOnly())
        return false;
    bool removed = false;
    // Last first, so that a deletion does not move the rows still to visit.
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        if (IsExplicitEntryRow(rows_, *it))
            removed = rows_.DeleteEntryRow(*it) || removed;
    }
    if (removed)
        Changed();
    return removed;
}

bool AdvancedEditor::SetScope(const std::vector<size_t>& selected, uint32_t command) {
    const std::optional<uint8_t> scope = ScopeFromCommand(command);
    if (!scope || isFile())
        return false;
    bool changed = false;
    for (size_t row : selected)
        changed = rows_.SetEntryScope(row, *scope) || changed;
    if (changed)
        Changed();
    return changed;
}

void AdvancedEditor::CreateEmptyDacl() {
    if (readOnly())
        return;
    rows_.DeleteAllRows();
    inheritChecked_ = false;
    // What the object will hold once applied: an empty DACL.
    SetEmptyText(0);
    Changed();
}

bool AdvancedEditor::ToggleFirst(const std::vector<size_t>& selected) {
    return !selected.empty() && rows_.ToggleEntry(selected.front());
}

bool AdvancedEditor::ClickCell(size_t row, int column) {
    if (applying_ || !rows_.ClickCell(row, column))
        return false;
    Changed();
    return true;
}

bool AdvancedEditor::InheritClicked(bool checked) {
    if (readOnly())
        return false;
    inheritChecked_ = checked;
    Changed();
    InheritanceRowsOfModel adapter(rows_);
    return !checked && HasInheritedRows(adapter);
}

void AdvancedEditor::AnswerInheritanceQuestion(InheritanceChoice choice) {
    InheritanceRowsOfModel adapter(rows_);
    ApplyInheritanceChoice(adapter, choice);
}

void AdvancedEditor::ReplaceChildrenClicked(bool checked) {
    if (readOnly() || isFile())
        return;
    replaceChildrenChecked_ = checked;
    Changed();
}

void AdvancedEditor::CopyEntries(const std::vector<size_t>& selected, AceClipboard& clipboard) {
    std::vector<AceEntry> entries;
    for (size_t row : selected) {
        if (!rows_.IsEntryRow(row))
            continue;
        rows_.RecomposeEntry(row);
        entries.push_back(*rows_.EntryAt(row));
    }
    clipboard.Fill(std::move(entries));
}

size_t AdvancedEditor::PasteEntries(const AceClipboard& clipboard) {
    if (readOnly() || clipboard.empty())
        return 0;
    for (const AceEntry& entry : clipboard.entries())
        rows_.AddEntryRow(entry, 0);
    Changed();
    return clipboard.entries().size();
}

void AdvancedEditor::ImportEntries(const LoadedAceEntries& imported) {
    if (readOnly())
        return;
    SetEmptyText(imported.result);
    if (imported.result > 0 && rows_.FillEntryRows(imported.entries) > 0)
        inheritChecked_ = true;
    Changed();
}

ApplyRequest AdvancedEditor::BeginApply() {
    ApplyRequest request;
    request.path = path();
    request.isContainer = !isFile();
    request.includeInheritable = inheritChecked_;
    request.entries = ExplicitEntriesOfRows(rows_.CloseAllAndCollect());
    request.owner = owner_;
    request.keepOwnerSid = ownerSid_;
    applying_ = true;
    abandoned_ = false;
    changedSinceAbandoned_ = false;
    return request;
}

void AdvancedEditor::ApplyFinished(const ApplyOutcome& outcome) {
    const bool abandoned = abandoned_;
    applying_ = false;
    abandoned_ = false;
    if (outcome.cancelled || !outcome.written.ok())
        return;
    if (abandoned && changedSinceAbandoned_)
        return;  // the user has gone on editing: keep what is on the screen
    Show(outcome.reloaded);
}

void AdvancedEditor::ApplyAbandoned() {
    if (!applying_)
        return;
    applying_ = false;
    abandoned_ = true;
    modified_ = true;
}

AdvancedControlStates AdvancedEditor::ControlStates() const {
    const bool editable = !readOnly();
    const bool idle = !applying_;
    AdvancedControlStates states;
    states.add = Shown(editable, idle);
    states.remove = Shown(editable, idle);
    states.reload = Shown(editable, idle);
    states.inherit = Shown(editable, idle);
    states.replaceChildren = Shown(editable && !isFile(), idle);
    states.changeOwner = Shown(editable, idle);
    states.ok = Shown(editable, idle && modified_);
    states.apply = Shown(editable, idle && modified_);
    states.list = Shown(true, idle);
    return states;
}

AdvancedMenuContext AdvancedEditor::MenuContext(const std::vector<size_t>& selected,
                                                const AceClipboard& clipboard) const {
    AdvancedMenuContext context;
    context.readOnly = readOnly();
    context.isDirectory = !isFile();
    context.anyRowSelected = !selected.empty();
    for (size_t row : selected) {
        context.anyEntryRowSelected = context.anyEntryRowSelected || rows_.IsEntryRow(row);
        context.anyExplicitEntryRowSelected =
            context.anyExplicitEntryRowSelected || IsExplicitEntryRow(rows_, row);
    }
    if (!selected.empty())
        context.firstSelectedScopeText = rows_.CellText(selected.front(), ace_column::kApplyTo);
    context.clipboardEmpty = clipboard.empty();
    return context;
}

}  // namespace vm
