// velmora-demo.exe as a newcomer starts it: the program over the
// demonstration machine, its user's profile folder with the owners and
// access levels of that machine, a quick command that changes an item, and
// the change still there after a restart. Each test keeps the demonstration's
// files in a folder of its own (--data), so the user's saved machine is never
// touched.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "harness/Harness.h"
#include "platform/Utf16.h"
#include "resources/resource.h"
#include "resources/strings.h"

namespace h = vm::harness;

namespace {

constexpr int kName = 0;
constexpr int kAccess = 3;
constexpr int kOwner = 4;
const std::wstring kCaption = L"" STR_DEMO_CAPTION;
const std::wstring kProfile = L"C:\\Users\\Alex";

// ---- The list view of another process ------------------------------------------
// List-view messages carry pointers, which mean nothing in another process:
// the item structure and the text buffer are placed in the program's memory.
class RemoteBlock {
  public:
    RemoteBlock(HANDLE process, size_t size)
        : process_(process),
          address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
    ~RemoteBlock() {
        if (address_)
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    char* get() const { return static_cast<char*>(address_); }
    bool Write(size_t offset, const void* bytes, size_t size) const {
        return address_ && WriteProcessMemory(process_, get() + offset, bytes, size, nullptr);
    }
    bool Read(size_t offset, void* bytes, size_t size) const {
        return address_ && ReadProcessMemory(process_, get() + offset, bytes, size, nullptr);
    }

  private:
    HANDLE process_;
    void* address_;
};

class RemoteList {
  public:
    explicit RemoteList(HWND list) : list_(list) {
        DWORD id = 0;
        GetWindowThreadProcessId(list, &id);
        process_.reset(OpenProcess(
            PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
            FALSE, id));
    }

    int RowCount() const { return static_cast<int>(h::Send(list_, LVM_GETITEMCOUNT)); }

    std::wstring Text(int row, int column) const {
        constexpr int kChars = 512;
        RemoteBlock block(process_.get(), sizeof(LVITEMW) + kChars * sizeof(wchar_t));
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = reinterpret_cast<wchar_t*>(block.get() + sizeof item);
        item.cchTextMax = kChars;
        if (!block.Write(0, &item, sizeof item))
            return L"<no access>";
        const auto length = static_cast<int>(
            h::Send(list_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(block.get())));
        std::wstring text(static_cast<size_t>(std::clamp(length, 0, kChars)), L'\0');
        block.Read(sizeof item, text.data(), text.size() * sizeof(wchar_t));
        return text;
    }

    std::vector<std::wstring> Column(int column) const {
        std::vector<std::wstring> texts;
        for (int row = 0; row < RowCount(); ++row)
            texts.push_back(Text(row, column));
        return texts;
    }

    std::optional<int> RowOf(const std::wstring& name) const {
        for (int row = 0; row < RowCount(); ++row) {
            if (Text(row, kName) == name)
                return row;
        }
        return std::nullopt;
    }

    void SelectOnly(int row) const {
        SetState(-1, 0);
        SetState(row, LVIS_SELECTED | LVIS_FOCUSED);
    }

  private:
    void SetState(int row, UINT state) const {
        RemoteBlock block(process_.get(), sizeof(LVITEMW));
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = state;
        ASSERT_TRUE(block.Write(0, &item, sizeof item));
        h::Send(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                reinterpret_cast<LPARAM>(block.get()));
    }

    HWND list_;
    h::Handle process_;
};

// ---- The program --------------------------------------------------------------------
class DemoProgram : public testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH]{};
        GetTempPathW(MAX_PATH, temp);
        data_ = std::wstring(temp) + L"velmora-demo-test-" + std::to_wstring(GetCurrentProcessId());
        std::filesystem::remove_all(data_);
    }
    void TearDown() override {
        app_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(data_, ignored);
    }

    std::wstring MachineFile() const { return data_ + L"\\machine.txt"; }

    // Starts the program on the profile folder; its main window once it shows.
    HWND Start() {
        app_ = h::AppProcess::Start(L"velmora-demo.exe",
                                    L"--data \"" + data_ + L"\" --folder \"" + kProfile + L"\"");
        return app_ ? app_->WaitForWindow(kCaption) : nullptr;
    }

    // The Browse Mode list once every row's owner has been read.
    RemoteList BrowseList(HWND window) {
        HWND list = h::FindControl(window, IDC_MAIN_BROWSE_LIST);
        EXPECT_NE(list, nullptr);
        RemoteList remote(list);
        EXPECT_TRUE(h::WaitFor([&] {
            if (remote.RowCount() == 0)
                return false;
            for (const std::wstring& owner : remote.Column(kOwner)) {
                if (owner.empty())
                    return false;
            }
            return true;
        }));
        return remote;
    }

    std::wstring AccessOf(HWND window, const std::wstring& name) {
        RemoteList list = BrowseList(window);
        const std::optional<int> row = list.RowOf(name);
        return row ? list.Text(*row, kAccess) : L"<no row " + name + L">";
    }

    // Answers the Options dialog of a quick command: trustee, first scope.
    void AnswerOptions(const std::wstring& caption, const std::wstring& trustee) {
        HWND options = app_->WaitForWindow(caption);
        ASSERT_NE(options, nullptr);
        h::Send(h::FindControl(options, IDC_OPTIONS_TRUSTEE_NAME), WM_SETTEXT, 0,
                reinterpret_cast<LPARAM>(trustee.c_str()));
        h::Click(h::FindControl(options, IDC_OPTIONS_SCOPE_FIRST));
        h::Click(h::FindControl(options, IDOK));
        EXPECT_TRUE(h::WaitFor([&] { return !IsWindow(options); }));
    }

    // Answers the program's message box (captioned "Velmora") with a button.
    std::wstring AnswerMessage(int button) {
        HWND box = app_->WaitForWindow(L"Velmora");
        if (!box)
            return L"<no message>";
        std::wstring text = h::WindowText(h::FindControl(box, 0xFFFF));  // the static text
        h::Click(h::FindControl(box, button));
        EXPECT_TRUE(h::WaitFor([&] { return !IsWindow(box); }));
        return text;
    }

    void CloseAndWait(HWND window) {
        h::Close(window);
        ASSERT_TRUE(app_->WaitForExit());
        EXPECT_EQ(app_->ExitCode(), std::optional<DWORD>(0));
    }

    std::wstring data_;
    std::optional<h::AppProcess> app_;
};

TEST_F(DemoProgram, ShowsTheProfileFolderOfTheDemonstrationUser) {
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    RemoteList list = BrowseList(window);
    const std::vector<std::wstring> names = list.Column(kName);
    for (const wchar_t* name : {L"Desktop", L"Documents", L"Music", L"Application Data"})
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << vm::ToUtf8(name);
    const int documents = list.RowOf(L"Documents").value_or(-1);
    EXPECT_EQ(list.Text(documents, kOwner), L"Alex");
    EXPECT_EQ(list.Text(documents, kAccess), L"Allowed");
    // The legacy junction denies listing to Everyone, as Windows ships it.
    const int legacy = list.RowOf(L"Application Data").value_or(-1);
    EXPECT_EQ(list.Text(legacy, kOwner), L"SYSTEM");
    EXPECT_EQ(list.Text(legacy, kAccess), L"Denied");
    h::SaveScreenshot(window, L"demo-profile");
    CloseAndWait(window);
    // Nothing changed, so nothing was saved.
    EXPECT_FALSE(std::filesystem::exists(MachineFile()));
    EXPECT_TRUE(std::filesystem::exists(data_ + L"\\KRV.ini"));
    EXPECT_TRUE(std::filesystem::exists(data_ + L"\\Documents"));
}

TEST_F(DemoProgram, QuickCommandChangeOutlivesARestartUntilTheMachineIsReset) {
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    {
        RemoteList list = BrowseList(window);
        const std::optional<int> music = list.RowOf(L"Music");
        ASSERT_TRUE(music.has_value());
        EXPECT_EQ(list.Text(*music, kAccess), L"Allowed");
        list.SelectOnly(*music);
    }
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_MAIN_DENY, BN_CLICKED), 0);
    AnswerOptions(L"Options - " STR_BUTTON_DENY_ACCESS, L"Everyone");
    EXPECT_TRUE(h::WaitFor([&] { return AccessOf(window, L"Music") == L"Denied"; }));
    CloseAndWait(window);
    ASSERT_TRUE(std::filesystem::exists(MachineFile()));

    window = Start();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(AccessOf(window, L"Music"), L"Denied");
    h::SaveScreenshot(window, L"demo-after-restart");

    // The main menu's way back to the shipped machine, after a question.
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(ID_DEMO_RESET, 0), 0);
    EXPECT_EQ(AnswerMessage(IDYES), L"" STR_DEMO_RESET_QUESTION);
    EXPECT_TRUE(h::WaitFor([&] { return AccessOf(window, L"Music") == L"Allowed"; }));
    CloseAndWait(window);
    EXPECT_FALSE(std::filesystem::exists(MachineFile()));
}

TEST_F(DemoProgram, DamagedSavedMachineIsKeptAsideAndTheShippedOneStarts) {
    std::filesystem::create_directories(data_);
    {
        std::FILE* file = _wfopen(MachineFile().c_str(), L"wb");
        ASSERT_NE(file, nullptr);
        std::fputs("machine 1\nvolume C: NTFS\nfolder C:\\Data 0x10 yesterday\n", file);
        std::fclose(file);
    }
    app_ = h::AppProcess::Start(L"velmora-demo.exe", L"--data \"" + data_ + L"\"");
    ASSERT_TRUE(app_.has_value());
    const std::wstring message = AnswerMessage(IDOK);
    EXPECT_NE(message.find(L"(line 3: "), std::wstring::npos);
    EXPECT_NE(message.find(L"machine (damaged).txt"), std::wstring::npos);
    HWND window = app_->WaitForWindow(kCaption);
    ASSERT_NE(window, nullptr);
    EXPECT_GE(RemoteList(h::FindControl(window, IDC_MAIN_BROWSE_LIST)).RowCount(), 2);  // C: and D:
    CloseAndWait(window);
    EXPECT_TRUE(std::filesystem::exists(data_ + L"\\machine (damaged).txt"));
}

TEST_F(DemoProgram, UnknownArgumentIsRefusedWithTheUsage) {
    app_ = h::AppProcess::Start(L"velmora-demo.exe", L"--colour blue");
    ASSERT_TRUE(app_.has_value());
    const std::wstring message = AnswerMessage(IDOK);
    EXPECT_NE(message.find(L"Unknown argument"), std::wstring::npos);
    EXPECT_NE(message.find(L"--data FOLDER"), std::wstring::npos);
    ASSERT_TRUE(app_->WaitForExit());
    EXPECT_EQ(app_->ExitCode(), std::optional<DWORD>(2));
}

}  // namespace
