// The commands that behave differently in the demonstration program: the
// main menu's way back to the shipped machine (there only), and Open, which
// cannot hand the machine's items to other programs.
#include <gtest/gtest.h>

#include "native/app/CommandFixture.h"
#include "native/app/MenuResource.h"
#include "resources/resource.h"
#include "resources/strings.h"

namespace vm::test {
namespace {

// A demonstration machine whose reset gives the simulated machine a new
// user, as a shipped machine with other accounts would.
class FakeDemonstration final : public DemonstrationMachine {
  public:
    explicit FakeDemonstration(sim::SimPlatform& machine) : machine_(machine) {}
    bool ResetToShipped(Reporter& reporter) override {
        ++resets;
        if (!succeed) {
            reporter.Tell(L"refused", MessageIcon::kError);
            return false;
        }
        machine_.AddLocalUser(L"Shipped");
        machine_.SetTokenUser(L"Shipped");
        return true;
    }
    std::wstring StartFolder() const override { return {}; }
    std::wstring DesktopFolder() const override { return {}; }

    int resets = 0;
    bool succeed = true;

  private:
    sim::SimPlatform& machine_;
};

class DemoCommands : public CommandTest {
  protected:
    DemoCommands() : demonstration(machine) { app.demonstration = &demonstration; }

    static MainWindowState InDemonstration(MainWindowState state) {
        state.demonstrationMachine = true;
        return state;
    }

    FakeDemonstration demonstration;
};

TEST_F(DemoCommands, ResetEntryIsInTheMainMenuAndShownOnlyInTheDemonstration) {
    const std::vector<ResourceMenuItem> menus = ShippedSubMenus();
    std::vector<MenuEntry> main;
    for (const ResourceMenuItem& item : menus[0].items)
        main.push_back(item.entry);
    const auto position = std::find_if(main.begin(), main.end(),
                                       [](const MenuEntry& e) { return e.id == ID_DEMO_RESET; });
    ASSERT_NE(position, main.end());
    const auto index = static_cast<size_t>(position - main.begin());
    EXPECT_TRUE(UpdateMenu(main, Browsing(L""))[index].removed);
    EXPECT_FALSE(UpdateMenu(main, InDemonstration(Browsing(L"")))[index].removed);
    EXPECT_TRUE(UpdateMenu(main, InDemonstration(Editing()))[index].enabled);
}

TEST_F(DemoCommands, ResetAsksFirstAndNoKeepsTheMachine) {
    reporter.ScriptAnswer(Answer::kNo);
    ASSERT_TRUE(Run(ID_DEMO_RESET, InDemonstration(Browsing(L"C:\\Data"))));
    ASSERT_EQ(reporter.messages().size(), 1u);
    EXPECT_EQ(reporter.messages()[0].text, L"" STR_DEMO_RESET_QUESTION);
    EXPECT_EQ(reporter.messages()[0].buttons, MessageButtons::kYesNo);
    EXPECT_EQ(demonstration.resets, 0);
    EXPECT_TRUE(window.calls.empty());
}

TEST_F(DemoCommands, ResetTakesTheShippedUserAndRefreshesTheView) {
    reporter.ScriptAnswer(Answer::kYes);
    ASSERT_TRUE(Run(ID_DEMO_RESET, InDemonstration(Browsing(L"C:\\Data"))));
    EXPECT_EQ(demonstration.resets, 1);
    EXPECT_EQ(app.user.CurrentUserName, L"Shipped");
    EXPECT_EQ(app.user.CurrentUserGroups, BuildCurrentUserGroups(machine, L"Shipped"));
    EXPECT_EQ(window.calls, (std::vector<std::wstring>{L"refresh"}));
}

TEST_F(DemoCommands, ResetThatFailsLeavesTheViewAndTheUserAlone) {
    demonstration.succeed = false;
    ASSERT_TRUE(Run(ID_DEMO_RESET, InDemonstration(Browsing(L"C:\\Data"))));
    EXPECT_EQ(app.user.CurrentUserName, L"Alice");
    EXPECT_TRUE(window.calls.empty());
    EXPECT_EQ(reporter.texts().back(), L"refused");
}

TEST_F(DemoCommands, ResetOutsideTheDemonstrationDoesNothingToTheMachine) {
    app.demonstration = nullptr;
    ASSERT_TRUE(Run(ID_DEMO_RESET, Browsing(L"C:\\Data")));
    EXPECT_EQ(demonstration.resets, 0);
    EXPECT_TRUE(reporter.messages().empty());
}

TEST_F(DemoCommands, OpenSaysWhyInsteadOfHandingItemsToOtherPrograms) {
    ASSERT_TRUE(Run(ID_ITEM_OPEN,
                    InDemonstration(Browsing(L"C:\\Data", {File(0, L"C:\\Data\\notes.txt")}))));
    EXPECT_TRUE(window.calls.empty());
    ASSERT_EQ(reporter.texts().size(), 1u);
    EXPECT_EQ(reporter.texts()[0], L"" STR_DEMO_CANNOT_OPEN);

    app.demonstration = nullptr;
    reporter.Clear();
    ASSERT_TRUE(Run(ID_ITEM_OPEN, Browsing(L"C:\\Data", {File(0, L"C:\\Data\\notes.txt")})));
    EXPECT_EQ(window.calls, (std::vector<std::wstring>{L"open"}));
}

}  // namespace
}  // namespace vm::test
