// The account picker of the trustee menus. Under Wine the system's object
// picker cannot be used, so after its message the fallback chooser opens:
// it offers this computer's accounts, returns a name the account lookup
// knows, refuses an unknown one and returns nothing on Cancel. Change Owner
// with "Advanced..." of the trustee menu runs through it end to end, from
// the main window and from the Advanced Security Settings window.
#include <objbase.h>

#include "MenuWindowsFixture.h"
#include "app/AccountPicker.win32.h"
#include "platform/Utf16.h"
#include "resources/strings.h"

namespace vm::test {
namespace {

class PickerTest : public MenuWindowsTest {
  protected:
    void SetUp() override {
        MenuWindowsTest::SetUp();
        // As the program does at start-up.
        runner.Run([] { OleInitialize(nullptr); });
    }
    void TearDown() override {
        if (runner.Created())
            runner.Run([] { OleUninitialize(); });
        MenuWindowsTest::TearDown();
    }

    // Opens the picker on the UI thread; its result lands in picked.
    void StartPicker() {
        done = false;
        runner.Start([this] {
            picked = PickAccount(window, context);
            done = true;
        });
    }

    // The chooser, once the picker's own message was shown.
    HWND WaitForChooser() {
        HWND chooser = WaitForOtherWindow(L"" STR_CHOOSER_CAPTION);
        EXPECT_NE(chooser, nullptr);
        const auto texts = reporter.recorded.texts();
        EXPECT_EQ(texts.size(), 1u);
        if (!texts.empty()) {
            // Which of the three depends on how far the system's picker gets.
            EXPECT_TRUE(texts[0] == L"" STR_PICKER_NO_COM ||
                        texts[0] == L"" STR_PICKER_INIT_FAILED ||
                        texts[0] == L"" STR_PICKER_INVOKE_FAILED)
                << ToUtf8(texts[0]);
            EXPECT_EQ(reporter.recorded.messages()[0].icon, MessageIcon::kNone);
        }
        return chooser;
    }

    void Type(HWND chooser, const std::wstring& name) {
        SetWindowTextW(h::FindControl(chooser, IDC_CHOOSER_NAME), name.c_str());
        h::Send(chooser, WM_COMMAND, MAKEWPARAM(IDC_CHOOSER_NAME, CBN_EDITCHANGE),
                reinterpret_cast<LPARAM>(h::FindControl(chooser, IDC_CHOOSER_NAME)));
    }

    std::atomic<bool> done{false};
    std::wstring picked;
};

TEST_F(PickerTest, TheChooserReturnsAKnownNameAndRefusesAnUnknownOne) {
    StartPicker();
    HWND chooser = WaitForChooser();
    ASSERT_NE(chooser, nullptr);
    HWND names = h::FindControl(chooser, IDC_CHOOSER_NAME);
    std::vector<std::wstring> offered;
    const auto count = h::Send(names, CB_GETCOUNT);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[256]{};
        h::Send(names, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        offered.push_back(text);
    }
    for (const wchar_t* name : {L"Administrators", L"Everyone", L"SYSTEM", L"Users"})
        EXPECT_NE(std::find(offered.begin(), offered.end(), name), offered.end()) << ToUtf8(name);
    // Nothing typed: OK is off.
    EXPECT_FALSE(h::IsEnabled(h::FindControl(chooser, IDOK)));

    Type(chooser, L"Nobody Here");
    EXPECT_TRUE(h::IsEnabled(h::FindControl(chooser, IDOK)));
    h::SaveScreenshot(chooser, L"picker-fallback");
    h::Click(h::FindControl(chooser, IDOK));
    EXPECT_TRUE(h::WaitFor([&] { return reporter.recorded.messages().size() == 2; }));
    EXPECT_EQ(reporter.recorded.texts()[1],
              L"No user or group named “Nobody Here” was found on this computer.\n\nCheck the "
              L"spelling, or choose an account from the list.");
    EXPECT_TRUE(IsWindow(chooser));  // still open for another name
    EXPECT_FALSE(done);

    Type(chooser, L" bob ");
    h::Click(h::FindControl(chooser, IDOK));
    EXPECT_TRUE(h::WaitFor([&] { return done.load(); }));
    EXPECT_EQ(picked, L"bob");
}

TEST_F(PickerTest, CancelReturnsNothing) {
    StartPicker();
    HWND chooser = WaitForChooser();
    ASSERT_NE(chooser, nullptr);
    Type(chooser, L"Bob");
    h::Click(h::FindControl(chooser, IDCANCEL));
    EXPECT_TRUE(h::WaitFor([&] { return done.load(); }));
    EXPECT_EQ(picked, L"");
}

TEST_F(PickerTest, ChangeOwnerToAnAccountPickedWithAdvanced) {
    Browse(L"C:\\Data");
    EXPECT_TRUE(h::WaitFor([&] { return h::ListViewRowCount(browse) == 3; }));
    h::SelectListViewRows(browse, {0});  // Music
    PostCommand(IDC_MAIN_CHANGE_OWNER);
    auto menu = h::WaitForPopupMenu(ui->id());
    ASSERT_TRUE(menu.has_value());
    ASSERT_TRUE(h::ChoosePopupMenuCommand(*menu, ID_TRUSTEE_ADVANCED));
    HWND chooser = WaitForChooser();
    ASSERT_NE(chooser, nullptr);
    Type(chooser, L"Bob");
    h::Click(h::FindControl(chooser, IDOK));
    EXPECT_TRUE(h::WaitFor([&] { return machine.OwnerNameOf(L"C:\\Data\\Music") == L"Bob"; }));
}

TEST_F(PickerTest, TheAdvancedWindowTakesTheOwnerPickedWithAdvanced) {
    Browse(L"C:\\Data");
    EXPECT_TRUE(h::WaitFor([&] { return h::ListViewRowCount(browse) == 3; }));
    h::SelectListViewRows(browse, {1});  // Photos
    const std::wstring ownerBefore = machine.OwnerNameOf(L"C:\\Data\\Photos");
    ASSERT_NE(ownerBefore, L"Auditors");
    PostCommand(IDC_MAIN_ADVANCED);
    HWND advanced = WaitForOtherWindow(L"" STR_ADVANCED_CAPTION);
    ASSERT_NE(advanced, nullptr);
    HWND changeOwner = h::FindControl(advanced, IDC_ADV_CHANGE_OWNER);
    PostMessageW(advanced, WM_COMMAND, MAKEWPARAM(IDC_ADV_CHANGE_OWNER, BN_CLICKED),
                 reinterpret_cast<LPARAM>(changeOwner));
    auto menu = h::WaitForPopupMenu(ui->id());
    ASSERT_TRUE(menu.has_value());
    ASSERT_TRUE(h::ChoosePopupMenuCommand(*menu, ID_TRUSTEE_ADVANCED));
    HWND chooser = WaitForChooser();
    ASSERT_NE(chooser, nullptr);
    Type(chooser, L"Auditors");
    h::Click(h::FindControl(chooser, IDOK));
    EXPECT_TRUE(h::WaitFor([&] { return !IsWindow(chooser); }));
    EXPECT_TRUE(h::WaitFor(
        [&] { return h::WindowText(h::FindControl(advanced, IDC_ADV_OWNER)) == L"Auditors"; }));
    // Taken into the window only: nothing is written before Apply.
    EXPECT_EQ(machine.OwnerNameOf(L"C:\\Data\\Photos"), ownerBefore);
    PostMessageW(advanced, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(h::WaitFor([&] { return !IsWindow(advanced); }));
}

}  // namespace
}  // namespace vm::test
