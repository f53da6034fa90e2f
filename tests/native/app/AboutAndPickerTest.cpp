// The About box's version line, places and links, and the account chooser
// that stands in for the object picker: what it offers and what it accepts.
#include <gtest/gtest.h>

#include "app/AboutBox.h"
#include "app/AccountChooser.h"
#include "platform/Utf16.h"
#include "platform/sim/SimPlatform.h"
#include "resources/resource.h"

namespace vm {
namespace {

TEST(AboutBox, VersionLineCarriesTheBuildDateWithSingleBlanks) {
    EXPECT_EQ(FormatVersionLine(L"1.3.0.129", "Jan  5 2024", "09:05:07"),
              L"Version 1.3.0.129   ( Jan 5 2024 09:05:07 )");
    EXPECT_EQ(FormatVersionLine(L"1.3.0.129", "Dec 31 2025", "23:59:59"),
              L"Version 1.3.0.129   ( Dec 31 2025 23:59:59 )");
    // The compiler's own date and time have the expected shape.
    const std::wstring built = FormatVersionLine(L"1.3.0.129", __DATE__, __TIME__);
    EXPECT_EQ(built.rfind(L"Version 1.3.0.129   ( ", 0), 0u);
    EXPECT_EQ(built.back(), L')');
    EXPECT_EQ(built.find(L"  ", 22), std::wstring::npos) << "double blank in the date";
}

TEST(AboutBox, PlacesScaleWithTheDialog) {
    const AboutPlaces at96 = ComputeAboutPlaces(460, 300, 96);
    EXPECT_EQ(at96.painted, (PixelRect{0, 0, 460, 240}));
    EXPECT_EQ(at96.titleImage, (PixelPoint{132, 43}));
    EXPECT_EQ(at96.icon, (PixelRect{35, 33, 110, 108}));
    EXPECT_EQ(at96.versionLine, (PixelRect{35, 170, 425, 190}));
    EXPECT_EQ(at96.upperLine, (PixelRect{35, 150, 425, 151}));
    EXPECT_EQ(at96.lowerLine, (PixelRect{0, 239, 460, 240}));

    const AboutPlaces at144 = ComputeAboutPlaces(690, 450, 144);
    EXPECT_EQ(at144.painted.bottom, 360);
    EXPECT_EQ(at144.icon.Width(), 113);  // 75 at 150%
    EXPECT_EQ(at144.titleImage, (PixelPoint{198, 65}));
    EXPECT_EQ(at144.upperLine.Height(), 1);
    // A client area smaller than the footer paints nothing rather than less than nothing.
    EXPECT_EQ(ComputeAboutPlaces(100, 20, 96).painted.Height(), 0);
}

TEST(AboutBox, EachLinkOpensItsPageOnTheSite) {
    const ProductSite site{L"http://127.0.0.1:9000"};
    EXPECT_EQ(AboutLinkUrl(site, IDC_ABOUT_HOME_PAGE), site.DownloadPageUrl());
    EXPECT_EQ(AboutLinkUrl(site, IDC_ABOUT_SUGGESTIONS), site.QuestionsPageUrl());
    EXPECT_EQ(AboutLinkUrl(site, IDC_ABOUT_DONATE), L"http://127.0.0.1:9000/donate.html");
    EXPECT_FALSE(AboutLinkUrl(site, 1));  // IDOK
}

class AccountChooserTest : public ::testing::Test {
  protected:
    AccountChooserTest() {
        machine.AddLocalUser(L"Alice");
        machine.AddLocalUser(L"Bob");
        machine.AddLocalGroup(L"Auditors");
        machine.AddLocalGroup(L"Backup Operators");
        machine.AddToGroup(L"Alice", L"Backup Operators");
        machine.AddToGroup(L"Alice", L"Auditors");
    }
    sim::SimPlatform machine;
};

TEST_F(AccountChooserTest, OffersTheUserTheCommonAccountsAndTheUsersGroupsOnce) {
    const std::vector<std::wstring> offered = OfferedAccounts(machine, L"Alice");
    ASSERT_GE(offered.size(), 5u);
    EXPECT_EQ(offered.front(), L"Alice");
    for (const wchar_t* name :
         {L"Administrators", L"Users", L"Everyone", L"SYSTEM", L"Auditors", L"Backup Operators"})
        EXPECT_NE(std::find(offered.begin(), offered.end(), name), offered.end()) << ToUtf8(name);
    for (const std::wstring& name : offered)
        EXPECT_EQ(std::count(offered.begin(), offered.end(), name), 1) << ToUtf8(name);
    // Nobody else's groups, and no name the lookup does not know.
    EXPECT_EQ(std::find(offered.begin(), offered.end(), L"Bob"), offered.end());
    const std::vector<std::wstring> unknownUser = OfferedAccounts(machine, L"Ghost");
    EXPECT_EQ(std::find(unknownUser.begin(), unknownUser.end(), L"Ghost"), unknownUser.end());
    EXPECT_NE(std::find(unknownUser.begin(), unknownUser.end(), L"Everyone"), unknownUser.end());
}

TEST_F(AccountChooserTest, OnlyNamesTheLookupKnowsAreReturned) {
    EXPECT_EQ(CheckChosenAccount(machine, L"  Bob "), L"Bob");
    EXPECT_EQ(CheckChosenAccount(machine, L"Auditors"), L"Auditors");
    EXPECT_EQ(CheckChosenAccount(machine, L"Everyone"), L"Everyone");
    EXPECT_FALSE(CheckChosenAccount(machine, L"Nobody"));
    EXPECT_FALSE(CheckChosenAccount(machine, L"   "));
    EXPECT_FALSE(CheckChosenAccount(machine, L""));
    EXPECT_FALSE(CanConfirmAccount(L" \t "));
    EXPECT_TRUE(CanConfirmAccount(L"x"));
    EXPECT_EQ(UnknownAccountMessage(L" Nobody "),
              L"No user or group named “Nobody” was found on this computer.\n\nCheck the "
              L"spelling, or choose an account from the list.");
    // A deleted account no longer counts.
    machine.DeleteAccount(L"Bob");
    EXPECT_FALSE(CheckChosenAccount(machine, L"Bob"));
}

}  // namespace
}  // namespace vm
