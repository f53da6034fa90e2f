// CAdvancedDlg: "Advanced Security Settings", the window in which one file
// or folder's entries, owner and inheritance are edited as a whole and
// written back in one go (dialog resource 146), or in which a backed-up
// descriptor is shown read-only. Everything it decides is AdvancedEditor's
// (portable, tested natively); the window draws and forwards. Apply and OK
// write on a worker thread while a second thread animates the list's
// waiting picture; replacing child permissions follows in the progress
// window, whose worker the main window starts (message 1130).
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "advanced/ACETreeCtrl.win32.h"
#include "advanced/AdvancedEditor.h"
#include "advanced/AdvancedLayout.h"
#include "app/AppContext.win32.h"
#include "controls/ZOLExButton.win32.h"
#include "framework/Dialog.h"
#include "framework/Worker.h"
#include "security/Propagation.h"

namespace vm {

class CAdvancedDlg : public CDialog {
  public:
    // A live object: the main window's "Advanced".
    CAdvancedDlg(AppContext& app, std::wstring path);
    // A backed-up descriptor, read-only: the Restore window's view.
    CAdvancedDlg(AppContext& app, std::wstring path, Bytes descriptor, bool isContainer);
    ~CAdvancedDlg() override;

    // Where export and import find their file: the save or open dialog
    // unless replaced (window tests answer without a dialog). nullopt when
    // the user chose none.
    using FileChooser = std::function<std::optional<std::wstring>(bool save)>;
    void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

    AdvancedEditor& Editor() { return editor_; }
    CACETreeCtrl& List() { return list_; }

  protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool OnMessage(Message& m, LRESULT& result) override;
    void OnDestroyed() override;
    void OnDpiChanged(int oldDpi, int newDpi) override;

  private:
    static std::span<const Route<CAdvancedDlg>> Routes();

    // Messages.
    LRESULT OnSize(Message& m);
    LRESULT OnGetMinMaxInfo(Message& m);
    LRESULT OnGetDefaultId(Message& m);
    LRESULT OnInitMenuPopup(Message& m);
    LRESULT OnCellChanged(Message& m);
    LRESULT OnApplyFinished(Message& m);
    LRESULT OnBusyTick(Message& m);
    LRESULT OnAnyCommand(Message& m);

    // Commands.
    void ChooseAccount(MenuMode mode);
    void TakeAccount(UINT command);
    std::wstring PickAccountName();
    void RemoveEntries();
    void SetScope(UINT command);
    void CreateEmptyDacl();
    void ExpandOrCollapse();
    void Reload();
    void InheritClicked();
    void ReplaceChildrenClicked();
    void CopyEntries();
    void PasteEntries();
    void Export();
    void Import();
    std::optional<std::wstring> ChooseFile(bool save);

    // Apply.
    void StartApply(bool closeAfter);
    void AbandonApply();
    void StartBusyAnimation();
    void StopBusyAnimation();

    // Showing the editor's state.
    void Show(const AdvancedSnapshot& snapshot);
    void ShowEditorState();
    void ApplyControlStates();
    void SetIcon();
    void PlaceWindow();
    RECT WorkArea() const;
    void LayOut();
    ControlPlace PlaceOf(int controlId) const;
    void PrepareMenu(HMENU menu);

    AppContext& app_;
    std::optional<Bytes> descriptor_;  // the backed-up one (read-only view)
    bool isContainer_;
    AdvancedEditor editor_;
    CACETreeCtrl list_;
    CZOLExButton addButton_;
    CZOLExButton removeButton_;
    CZOLExButton reloadButton_;
    HICON smallIcon_ = nullptr;
    FileChooser chooseFile_;
    PropagationMode pendingMode_ = PropagationMode::kCountOnly;
    bool closeAfterApply_ = false;
    std::mutex outcomeMutex_;
    std::optional<ApplyOutcome> outcome_;  // written by the worker, taken by the window
    // Last: joined before the state above goes.
    Worker animation_;
    Worker applyWorker_;
};

// The main window's "Advanced": the window over owner, modal.
void RunAdvancedDialog(AppContext& app, HWND owner, const std::wstring& path);
// The Restore window's "Advanced Security Settings...": a backed-up
// descriptor of path, read-only, modal.
void RunAdvancedDialogReadOnly(AppContext& app, HWND owner, const std::wstring& path,
                               const Bytes& descriptor, bool isContainer);

}  // namespace vm
