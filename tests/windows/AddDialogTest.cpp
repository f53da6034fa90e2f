// The file-and-folder dialog over a real folder: the system's open dialog
// re-arranged, "Add" handing back folders first and then files, "Add" with
// nothing selected staying open, Cancel handing back nothing.
#include <gtest/gtest.h>

#include "platform/win32/WinApi.h"

#include <commctrl.h>
#include <dlgs.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

#include "controls/FileAndFolderDialog.win32.h"
#include "harness/Harness.h"
#include "platform/Utf16.h"
#include "resources/resource.h"

namespace h = vm::harness;

namespace vm {
namespace {

class AddDialogTest : public testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH]{};
        GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + L"velmora-add-" + std::to_wstring(GetCurrentProcessId());
        std::filesystem::create_directories(std::filesystem::path(folder) / L"Alpha");
        std::filesystem::create_directories(std::filesystem::path(folder) / L"Beta");
        for (const wchar_t* file : {L"one.txt", L"two.txt"})
            std::ofstream(std::filesystem::path(folder) / file) << "text";
        ui = std::make_unique<h::UiThread>([this] {
            CFileAndFolderDialog dialog(folder);
            result = dialog.DoModal(nullptr);
        });
        window = ui->WaitForWindow(L"Add Files or Folders");
        ASSERT_NE(window, nullptr);
        view = h::WaitForControl(window, lst2);
        ASSERT_NE(view, nullptr);
        ASSERT_TRUE(h::WaitFor([&] {
            list = FindWindowExW(view, nullptr, WC_LISTVIEWW, nullptr);
            return list != nullptr && h::ListViewRowCount(list) == 4;
        }));
    }

    void TearDown() override {
        if (IsWindow(window))
            PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        ui.reset();
        std::error_code ignored;
        std::filesystem::remove_all(std::filesystem::path(folder), ignored);
    }

    void Select(std::initializer_list<const wchar_t*> names) {
        std::vector<int> rows;
        for (const wchar_t* name : names) {
            for (int row = 0; row < h::ListViewRowCount(list); ++row) {
                if (h::ListViewText(list, row, 0).starts_with(name))
                    rows.push_back(row);
            }
        }
        ASSERT_EQ(rows.size(), names.size());
        h::SelectListViewRows(list, rows);
    }

    void PostClick(int id) {
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(h::FindControl(window, id)));
    }

    std::wstring folder;
    std::unique_ptr<h::UiThread> ui;
    std::optional<PickedItems> result;
    HWND window = nullptr;
    HWND view = nullptr;
    HWND list = nullptr;
};

TEST_F(AddDialogTest, AddHandsBackTwoFoldersThenTheFileWithTheShownFolder) {
    // The dialog's own file-name field, its places and Open make way for "Add".
    EXPECT_FALSE(h::IsVisible(h::FindControl(window, IDOK)));
    EXPECT_FALSE(h::IsVisible(h::FindControl(window, edt1)));
    const HWND add = h::FindControl(window, IDC_FILEDLG_ADD);
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(h::WindowText(add), L"Add");
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.right - rect.left, 450);
    EXPECT_EQ(rect.bottom - rect.top, 300);

    // The shell view between the folder box and the buttons, "Add" left of
    // Cancel at the bottom right.
    RECT client{};
    GetClientRect(window, &client);
    const auto placeOf = [&](HWND control) {
        RECT place{};
        GetWindowRect(control, &place);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
        return place;
    };
    const RECT shown = placeOf(h::FindControl(window, lst2));
    EXPECT_EQ(shown.top, 45);
    EXPECT_EQ(shown.bottom, client.bottom - 55);
    EXPECT_EQ(placeOf(add).left, client.right - 215);
    EXPECT_EQ(placeOf(h::FindControl(window, IDCANCEL)).top, client.bottom - 39);

    Select({L"one.txt", L"Beta", L"Alpha"});
    // The dialog names the selected files in its (hidden) file-name field.
    EXPECT_TRUE(h::WaitFor([&] { return !h::WindowText(h::FindControl(window, edt1)).empty(); }));
    SetForegroundWindow(window);
    PostMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
    h::Pump(h::milliseconds(200));
    h::SaveScreenshot(window, L"add-dialog");
    PostClick(IDC_FILEDLG_ADD);
    ASSERT_TRUE(ui->WaitForEnd());
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(_wcsicmp(result->folder.c_str(), folder.c_str()), 0) << ToUtf8(result->folder);
    ASSERT_EQ(result->names.size(), 3u);
    EXPECT_EQ(result->names[2], L"one.txt");
    std::vector<std::wstring> folders(result->names.begin(), result->names.begin() + 2);
    std::sort(folders.begin(), folders.end());
    EXPECT_EQ(folders, (std::vector<std::wstring>{L"Alpha", L"Beta"}));
}

TEST_F(AddDialogTest, AddWithNothingSelectedStaysOpenAndCancelHandsBackNothing) {
    h::SelectListViewRows(list, {});
    PostClick(IDC_FILEDLG_ADD);
    h::Pump(h::milliseconds(300));
    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(ui->WaitForEnd(h::milliseconds(0)));
    PostClick(IDCANCEL);
    ASSERT_TRUE(ui->WaitForEnd());
    EXPECT_FALSE(result.has_value());
}

}  // namespace
}  // namespace vm
