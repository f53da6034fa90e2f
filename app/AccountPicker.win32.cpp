#include "app/AccountPicker.win32.h"

#include <objsel.h>

#include <cstddef>

#include "app/AccountChooser.h"
#include "framework/Shell.h"
#include "resources/resource.h"
#include "resources/strings.h"

namespace vm {

namespace {

// The picker's initialisation: the local computer as target, one scope,
// several objects may be selected (the first is taken), no attributes.
constexpr ULONG kPickerOptions = 0x3;
static_assert(kPickerOptions == (DSOP_FLAG_MULTISELECT | DSOP_FLAG_SKIP_TARGET_COMPUTER_DC_CHECK));
// Every scope but the workgroup.
constexpr ULONG kScopeTypes = 0x37F;
static_assert(kScopeTypes ==
              (DSOP_SCOPE_TYPE_TARGET_COMPUTER | DSOP_SCOPE_TYPE_UPLEVEL_JOINED_DOMAIN |
               DSOP_SCOPE_TYPE_DOWNLEVEL_JOINED_DOMAIN | DSOP_SCOPE_TYPE_ENTERPRISE_DOMAIN |
               DSOP_SCOPE_TYPE_GLOBAL_CATALOG | DSOP_SCOPE_TYPE_EXTERNAL_UPLEVEL_DOMAIN |
               DSOP_SCOPE_TYPE_EXTERNAL_DOWNLEVEL_DOMAIN |
               DSOP_SCOPE_TYPE_USER_ENTERED_UPLEVEL_SCOPE |
               DSOP_SCOPE_TYPE_USER_ENTERED_DOWNLEVEL_SCOPE));
// The starting scope, WinNT provider paths, users and groups shown by default.
constexpr ULONG kScopeFlags = 0xC3;
static_assert(kScopeFlags ==
              (DSOP_SCOPE_FLAG_STARTING_SCOPE | DSOP_SCOPE_FLAG_WANT_PROVIDER_WINNT |
               DSOP_SCOPE_FLAG_DEFAULT_FILTER_USERS | DSOP_SCOPE_FLAG_DEFAULT_FILTER_GROUPS));
// Users and global distribution groups.
constexpr ULONG kUplevelFilter = 0x42;
static_assert(kUplevelFilter == (DSOP_FILTER_USERS | DSOP_FILTER_GLOBAL_GROUPS_DL));
// Users, local and global groups, and the well-known principals.
constexpr ULONG kDownlevelFilter = 0x800276F7;
static_assert(kDownlevelFilter ==
              (DSOP_DOWNLEVEL_FILTER_USERS | DSOP_DOWNLEVEL_FILTER_LOCAL_GROUPS |
               DSOP_DOWNLEVEL_FILTER_GLOBAL_GROUPS | DSOP_DOWNLEVEL_FILTER_WORLD |
               DSOP_DOWNLEVEL_FILTER_AUTHENTICATED_USER | DSOP_DOWNLEVEL_FILTER_ANONYMOUS |
               DSOP_DOWNLEVEL_FILTER_BATCH | DSOP_DOWNLEVEL_FILTER_CREATOR_GROUP |
               DSOP_DOWNLEVEL_FILTER_DIALUP | DSOP_DOWNLEVEL_FILTER_NETWORK |
               DSOP_DOWNLEVEL_FILTER_SERVICE | DSOP_DOWNLEVEL_FILTER_SYSTEM |
               DSOP_DOWNLEVEL_FILTER_ALL_WELLKNOWN_SIDS));

// ReleaseStgMedium once.
class StorageMedium {
  public:
    StorageMedium() = default;
    StorageMedium(const StorageMedium&) = delete;
    StorageMedium& operator=(const StorageMedium&) = delete;
    ~StorageMedium() {
        if (filled_)
            ReleaseStgMedium(&medium_);
    }
    STGMEDIUM* put() {
        filled_ = true;
        return &medium_;
    }
    HGLOBAL global() const { return medium_.hGlobal; }

  private:
    STGMEDIUM medium_{};
    bool filled_ = false;
};

// GlobalLock / GlobalUnlock.
class LockedGlobal {
  public:
    explicit LockedGlobal(HGLOBAL block) : block_(block), data_(GlobalLock(block)) {}
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;
    ~LockedGlobal() {
        if (data_ != nullptr)
            GlobalUnlock(block_);
    }
    const void* data() const { return data_; }
    size_t size() const { return data_ != nullptr ? GlobalSize(block_) : 0; }

  private:
    HGLOBAL block_;
    void* data_;
};

// The name of the first selected object of the selection list; empty when
// the block is too short to hold one.
std::wstring FirstSelectedName(const LockedGlobal& block) {
    constexpr size_t kFirstEntryEnd =
        offsetof(DS_SELECTION_LIST, aDsSelection) + sizeof(DS_SELECTION);
    if (block.data() == nullptr || block.size() < kFirstEntryEnd)
        return std::wstring();
    const auto* list = static_cast<const DS_SELECTION_LIST*>(block.data());
    if (list->cItems == 0 || list->aDsSelection[0].pwzName == nullptr)
        return std::wstring();
    return list->aDsSelection[0].pwzName;
}

std::wstring ChooseInFallback(HWND owner, const AppContext& app) {
    CAccountChooserDlg chooser(app);
    return chooser.DoModal(owner) == IDOK ? chooser.account() : std::wstring();
}

// The picker's failure message (a plain box, as the picker shows them),
// then the chooser, so that an account can still be picked.
std::wstring FallBack(HWND owner, const AppContext& app, const wchar_t* message) {
    app.state.reporter().Tell(message, MessageIcon::kNone);
    return ChooseInFallback(owner, app);
}

}  // namespace

std::wstring PickAccount(HWND owner, const AppContext& app) {
    ComPtr<IDsObjectPicker> picker;
    if (FAILED(CoCreateInstance(CLSID_DsObjectPicker, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IDsObjectPicker, picker.put_void())) ||
        !picker)
        return FallBack(owner, app, L"" STR_PICKER_NO_COM);

    DSOP_SCOPE_INIT_INFO scope{};
    scope.cbSize = sizeof(scope);
    scope.flType = kScopeTypes;
    scope.flScope = kScopeFlags;
    scope.FilterFlags.Uplevel.flBothModes = kUplevelFilter;
    scope.FilterFlags.Uplevel.flMixedModeOnly = 0;
    scope.FilterFlags.Uplevel.flNativeModeOnly = 0;
    scope.FilterFlags.flDownlevel = kDownlevelFilter;
    DSOP_INIT_INFO init{};
    init.cbSize = sizeof(init);
    init.pwzTargetComputer = nullptr;  // the local computer
    init.cDsScopeInfos = 1;
    init.aDsScopeInfos = &scope;
    init.flOptions = kPickerOptions;
    init.cAttributesToFetch = 0;
    init.apwzAttributeNames = nullptr;
    if (FAILED(picker->Initialize(&init)))
        return FallBack(owner, app, L"" STR_PICKER_INIT_FAILED);

    // The picker writes its answer even on Cancel (a null object). One that
    // returns without writing it never showed a dialog (Wine's stub returns
    // S_FALSE so): that is a failure, not the user's Cancel.
    static char unwrittenMark;
    IDataObject* const unwritten = reinterpret_cast<IDataObject*>(&unwrittenMark);
    IDataObject* answer = unwritten;
    const HRESULT invoked = picker->InvokeDialog(owner, &answer);
    if (FAILED(invoked) || answer == unwritten)
        return FallBack(owner, app, L"" STR_PICKER_INVOKE_FAILED);
    ComPtr<IDataObject> selection;
    *selection.put() = answer;
    if (invoked == S_FALSE || !selection)
        return std::wstring();  // cancelled

    FORMATETC format{
        static_cast<CLIPFORMAT>(RegisterClipboardFormatW(CFSTR_DSOP_DS_SELECTION_LIST)), nullptr,
        DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    StorageMedium medium;
    if (FAILED(selection->GetData(&format, medium.put())))
        return std::wstring();
    return FirstSelectedName(LockedGlobal(medium.global()));
}

// ---- The fallback chooser ---------------------------------------------------------

CAccountChooserDlg::CAccountChooserDlg(const AppContext& app)
    : CDialog(IDD_ACCOUNT_CHOOSER), app_(app) {}

std::span<const Route<CAccountChooserDlg>> CAccountChooserDlg::Routes() {
    static const Route<CAccountChooserDlg> routes[] = {
        OnCommand(IDC_CHOOSER_NAME, &CAccountChooserDlg::OnNameChanged, CBN_EDITCHANGE),
        OnCommand(IDC_CHOOSER_NAME, &CAccountChooserDlg::OnNameChanged, CBN_SELCHANGE),
    };
    return routes;
}

bool CAccountChooserDlg::OnMessage(Message& m, LRESULT& result) {
    return DispatchRoutes(*this, Routes(), m, result) || CDialog::OnMessage(m, result);
}

BOOL CAccountChooserDlg::OnInitDialog() {
    HWND names = Item(IDC_CHOOSER_NAME);
    for (const std::wstring& name :
         OfferedAccounts(app_.state.platform(), app_.state.user.CurrentUserName))
        SendMessageW(names, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    UpdateOk();
    SetFocus(names);
    return FALSE;
}

std::wstring CAccountChooserDlg::TypedName() const {
    HWND names = Item(IDC_CHOOSER_NAME);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(names)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(names, text.data(), static_cast<int>(text.size()))));
    return text;
}

LRESULT CAccountChooserDlg::OnNameChanged(Message& m) {
    // CBN_SELCHANGE comes before the edit field shows the chosen name.
    if (m.RouteCode() == CBN_SELCHANGE) {
        HWND names = Item(IDC_CHOOSER_NAME);
        const auto index = SendMessageW(names, CB_GETCURSEL, 0, 0);
        if (index != CB_ERR) {
            std::wstring text(
                static_cast<size_t>(SendMessageW(names, CB_GETLBTEXTLEN, index, 0)) + 1, L'\0');
            SendMessageW(names, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
            EnableWindow(Item(IDOK), CanConfirmAccount(text.c_str()));
            return 0;
        }
    }
    UpdateOk();
    return 0;
}

void CAccountChooserDlg::UpdateOk() {
    EnableWindow(Item(IDOK), CanConfirmAccount(TypedName()));
}

void CAccountChooserDlg::OnOK() {
    const std::wstring typed = TypedName();
    if (const auto account = CheckChosenAccount(app_.state.platform(), typed)) {
        account_ = *account;
        CDialog::OnOK();
        return;
    }
    if (!CanConfirmAccount(typed))
        return;  // nothing typed: OK is off, Enter does nothing
    app_.state.reporter().Tell(UnknownAccountMessage(typed), MessageIcon::kError);
    SetFocus(Item(IDC_CHOOSER_NAME));
}

}  // namespace vm
