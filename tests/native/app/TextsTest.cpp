// The string table's texts as the code fills them, and the one message a
// command gives for the items it could not change.
#include <gtest/gtest.h>

#include "app/ItemFailures.h"
#include "app/QuickCommands.h"
#include "app/Texts.h"
#include "platform/ErrorText.h"
#include "platform/sim/SimPlatform.h"
#include "resources/strings.h"

namespace vm {
namespace {

TEST(Texts, PlaceholdersTakeTheValuesInOrderAndOnlyOnce) {
    EXPECT_EQ(FillPlaceholders(L"" STR_STATUS_SELECTED, {L"2", L"17"}), L"Selected 2 / Total 17");
    // A value that looks like a placeholder stays as it is.
    EXPECT_EQ(FillPlaceholders(L"%s and %s", {L"%s", L"b"}), L"%s and b");
    // Missing values leave their placeholders; extra values are dropped.
    EXPECT_EQ(FillPlaceholders(L"%s, %d", {L"a"}), L"a, %d");
    EXPECT_EQ(FillPlaceholders(L"none", {L"a"}), L"none");
    EXPECT_EQ(FillPlaceholders(L"100%", {L"a"}), L"100%");
    EXPECT_EQ(RootDirectoryQuestion(L"D:\\"),
              L"D:\\ is a Root directory ,do you want to change Security Settings for it?");
}

TEST(Texts, NonAsciiTextsSurviveTheWidening) {
    // U+2019 in string 195, read from the UTF-8 source as one character.
    const std::wstring text = L"" STR_NULL_DACL_TEXT;
    EXPECT_NE(text.find(L"object\u2019s owner"), std::wstring::npos);
}

TEST(ErrorTexts, KnownCodesReadAsTheSystemsAndOthersByNumber) {
    EXPECT_EQ(DescribeError(err::kAccessDenied), L"Access is denied.");
    EXPECT_EQ(DescribeError(err::kNoneMapped),
              L"No mapping between account names and security IDs was done.");
    EXPECT_EQ(DescribeError(4242), L"Error 4242.");
    sim::SimPlatform machine;
    EXPECT_EQ(machine.ErrorText(err::kFileNotFound), L"The system cannot find the file specified.");
}

class ItemFailures : public testing::Test {
  protected:
    sim::SimPlatform machine;
    RecordingReporter reporter;
};

TEST_F(ItemFailures, NothingFailedSaysNothing) {
    ReportItemFailures(machine, reporter, {});
    EXPECT_TRUE(reporter.messages().empty());
}

TEST_F(ItemFailures, OpenItemsComeFirstAndLouderThanUnchangedOnes) {
    ReportItemFailures(machine, reporter,
                       {{L"C:\\a", err::kAccessDenied, false},
                        {L"C:\\b", err::kAccessDenied, true},
                        {L"C:\\c", err::kFileNotFound, false}});
    const auto messages = reporter.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].icon, MessageIcon::kWarning);
    EXPECT_NE(messages[0].text.find(L"C:\\b: Access is denied."), std::wstring::npos);
    EXPECT_EQ(messages[0].text.find(L"C:\\a"), std::wstring::npos);
    EXPECT_EQ(messages[1].icon, MessageIcon::kError);
    EXPECT_EQ(messages[1].text,
              L"The security settings of these items could not be changed:\n\n"
              L"C:\\a: Access is denied.\n"
              L"C:\\c: The system cannot find the file specified.");
}

TEST_F(ItemFailures, ALongRunNamesTheFirstItemsAndCountsTheRest) {
    std::vector<ItemFailure> failures;
    for (int i = 0; i < 25; ++i)
        failures.push_back({L"C:\\f" + std::to_wstring(i), err::kAccessDenied, false});
    const std::wstring text = FailureMessage(machine, failures, false);
    EXPECT_NE(text.find(L"C:\\f9:"), std::wstring::npos);
    EXPECT_EQ(text.find(L"C:\\f10:"), std::wstring::npos);
    EXPECT_EQ(text.substr(text.size() - 16), L"... and 15 more.");
}

}  // namespace
}  // namespace vm
