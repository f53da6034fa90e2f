// The main window over a simulated machine, for the tests of the windows the
// main menu opens (bookmarks, the About box, the update check, the account
// picker). The window runs on a UI thread of this program; the test thread
// drives it with messages. Messages are recorded; with showBoxes set they
// are also shown as the program shows them (a real message box owned by the
// main window), so that a test can take their picture.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/AppContext.win32.h"
#include "app/KRVDlg.win32.h"
#include "framework/GdiPlus.h"
#include "framework/MessageBoxReporter.h"
#include "harness/Harness.h"
#include "platform/sim/SimPlatform.h"
#include "resources/resource.h"

namespace vm::test {

namespace h = vm::harness;

class BoxReporter final : public Reporter {
  public:
    Answer Show(const std::wstring& text, MessageIcon icon, MessageButtons buttons) override {
        const Answer scripted = recorded.Show(text, icon, buttons);
        if (!showBoxes)
            return scripted;
        return MessageBoxReporter(owner).Show(text, icon, buttons);
    }
    RecordingReporter recorded;
    std::atomic<bool> showBoxes{false};
    HWND owner = nullptr;
};

class MenuWindowsTest : public testing::Test {
  protected:
    MenuWindowsTest() : state(machine, reporter), context(state) {}

    // The machine, then the main window in Browse Mode at the drives.
    void SetUp() override {
        machine.AddVolume(L'C', L"NTFS");
        machine.AddLocalUser(L"Bob");
        machine.AddLocalGroup(L"Auditors");
        machine.AddFolder(L"C:\\Data", L"O:BAD:(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)");
        machine.AddFolder(L"C:\\Data\\Music");
        machine.AddFolder(L"C:\\Data\\Photos");
        machine.AddFile(L"C:\\Data\\notes.txt");
        state.OsVersion = 6.1f;
        ReadPlatformState(state);
        folder = ScratchFolder();
        state.files.directory = folder;
        state.files.bookmarkFile = folder + L"\\Bookmark";
        context.openWebPage = [this](const std::wstring& url) {
            std::lock_guard lock(mutex);
            openedPages.push_back(url);
        };
        PrepareContext();
        ui = std::make_unique<h::UiThread>([this] {
            InitShellState(context.shell, state.OsVersion);
            LoadStatusPictures(context.shell.pictures);
            runner.Create();
            dialog = std::make_unique<CKRVDlg>(context);
            dialog->CreateModeless(nullptr);
        });
        window = ui->WaitForWindow(L"Velmora");
        ASSERT_NE(window, nullptr);
        reporter.owner = window;
        browse = h::FindControl(window, IDC_MAIN_BROWSE_LIST);
        edit = h::FindControl(window, IDC_MAIN_EDIT_LIST);
    }

    void TearDown() override {
        ui.reset();
        dialog.reset();
        std::error_code ignored;
        std::filesystem::remove_all(std::filesystem::path(folder), ignored);
    }

    // What a test changes in the context before the window opens.
    virtual void PrepareContext() {}

    static std::wstring ScratchFolder() {
        static int serial = 0;
        wchar_t temp[MAX_PATH]{};
        GetTempPathW(MAX_PATH, temp);
        std::wstring path = std::wstring(temp) + L"velmora-menu-" +
                            std::to_wstring(GetCurrentProcessId()) + L"-" +
                            std::to_wstring(++serial);
        CreateDirectoryW(path.c_str(), nullptr);
        return path;
    }

    void Browse(const std::wstring& path) {
        runner.Run([&] { dialog->NavigateTo(path); });
    }
    void PostCommand(UINT id) { PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    // A window of the UI thread with that caption other than the main window.
    HWND WaitForOtherWindow(const std::wstring& caption) {
        HWND found = nullptr;
        h::WaitFor([&] {
            for (HWND candidate : h::TopLevelWindowsOfThread(ui->id())) {
                if (candidate != window && IsWindowVisible(candidate) &&
                    h::WindowText(candidate) == caption) {
                    found = candidate;
                    return true;
                }
            }
            return false;
        });
        return found;
    }

    std::vector<std::wstring> OpenedPages() {
        std::lock_guard lock(mutex);
        return openedPages;
    }

    sim::SimPlatform machine;
    BoxReporter reporter;
    GdiplusSession gdiplus;
    AppState state;
    AppContext context;
    std::wstring folder;
    std::mutex mutex;
    std::vector<std::wstring> openedPages;
    h::UiRunner runner;
    std::unique_ptr<CKRVDlg> dialog;
    std::unique_ptr<h::UiThread> ui;
    HWND window = nullptr;
    HWND browse = nullptr;
    HWND edit = nullptr;
};

// The text of a message box (its static control that holds text).
inline std::wstring MessageBoxText(HWND box) {
    std::wstring text;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (h::ClassName(child) == L"Static" && !h::WindowText(child).empty())
            text = h::WindowText(child);
    }
    return text;
}

}  // namespace vm::test
