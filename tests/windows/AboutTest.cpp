// The About box over the main window: opened from the main menu and from the
// system menu, the version line, the links and the pages they open.
#include <regex>

#include "MenuWindowsFixture.h"
#include "app/AboutDlg.win32.h"
#include "platform/Utf16.h"

namespace vm::test {
namespace {

class AboutTest : public MenuWindowsTest {
  protected:
    void PrepareContext() override { context.site.base = L"http://127.0.0.1:8/site"; }

    HWND OpenAbout() {
        PostCommand(ID_APP_ABOUT);
        HWND about = WaitForOtherWindow(L"About Velmora");
        EXPECT_NE(about, nullptr);
        return about;
    }

    // A click on a link as the link control reports it.
    void ClickLink(HWND about, int id) {
        NMLINK click{};
        click.hdr.hwndFrom = h::FindControl(about, id);
        click.hdr.idFrom = static_cast<UINT_PTR>(id);
        click.hdr.code = NM_CLICK;
        h::Send(about, WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&click));
    }
};

TEST_F(AboutTest, ShowsTheVersionLineAndItsLinksOpenTheirPages) {
    HWND about = OpenAbout();
    ASSERT_NE(about, nullptr);
    h::SaveScreenshot(about, L"about");
    // The version line with the build's date and time, as painted.
    const std::string line = ToUtf8(CAboutDlg::VersionLine());
    EXPECT_TRUE(std::regex_match(
        line,
        std::regex(R"(Version 1\.3\.0\.129   \( [A-Z][a-z]{2} [1-9]\d? \d{4} \d\d:\d\d:\d\d \))")))
        << line;
    EXPECT_EQ(h::WindowText(h::FindControl(about, IDC_ABOUT_HOME_PAGE)), L"<a>Home page</a>");
    EXPECT_EQ(h::WindowText(h::FindControl(about, IDC_ABOUT_SUGGESTIONS)),
              L"<a>Questions & suggestions</a>");
    EXPECT_EQ(h::WindowText(h::FindControl(about, IDC_ABOUT_DONATE)), L"<a>Donate</a>");

    ClickLink(about, IDC_ABOUT_HOME_PAGE);
    ClickLink(about, IDC_ABOUT_SUGGESTIONS);
    ClickLink(about, IDC_ABOUT_DONATE);
    EXPECT_EQ(OpenedPages(),
              (std::vector<std::wstring>{L"http://127.0.0.1:8/site/software/krv/main.html",
                                         L"http://127.0.0.1:8/site/blog/questions.html",
                                         L"http://127.0.0.1:8/site/donate.html"}));
    h::Click(h::FindControl(about, IDOK));
    EXPECT_TRUE(h::WaitFor([&] { return !IsWindow(about); }));
    EXPECT_TRUE(reporter.recorded.messages().empty());
}

TEST_F(AboutTest, TheSystemMenuEntryOpensItToo) {
    PostMessageW(window, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    HWND about = WaitForOtherWindow(L"About Velmora");
    ASSERT_NE(about, nullptr);
    h::Close(about);
    EXPECT_TRUE(h::WaitFor([&] { return !IsWindow(about); }));
}

}  // namespace
}  // namespace vm::test
