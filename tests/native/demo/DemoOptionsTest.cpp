// The command line of velmora-demo.exe.
#include <gtest/gtest.h>

#include "demo/DemoOptions.h"

namespace vm::demo {
namespace {

TEST(DemoOptions, NothingGivenMeansTheDrivesAndTheUsersFolder) {
    const DemoOptionsParse parsed = ParseDemoOptions({});
    ASSERT_TRUE(parsed.options.has_value());
    EXPECT_TRUE(parsed.options->startFolder.empty());
    EXPECT_TRUE(parsed.options->dataFolder.empty());
}

TEST(DemoOptions, BothOptionsInEitherOrderWithSpacesInTheirValues) {
    const DemoOptionsParse parsed =
        ParseDemoOptions({L"--data", L"Z:\\tmp\\demo data", L"--folder", L"C:\\Users\\Alex"});
    ASSERT_TRUE(parsed.options.has_value()) << parsed.error.size();
    EXPECT_EQ(parsed.options->startFolder, L"C:\\Users\\Alex");
    EXPECT_EQ(parsed.options->dataFolder, L"Z:\\tmp\\demo data");
}

TEST(DemoOptions, RefusedLinesSayWhatIsWrong) {
    const struct {
        std::vector<std::wstring> arguments;
        std::wstring error;
    } cases[] = {
        {{L"--folder"}, L"--folder needs a value."},
        {{L"--folder", L""}, L"--folder needs a value."},
        // An option is not taken as the value of the one before it.
        {{L"--folder", L"--data", L"X"}, L"--folder needs a value."},
        {{L"--data", L"A", L"--data", L"B"}, L"--data is given twice."},
        {{L"C:\\Users"}, L"Unknown argument \u201cC:\\Users\u201d."},
        {{L"--Folder", L"C:\\"}, L"Unknown argument \u201c--Folder\u201d."},
        {{L"--folder=C:\\"}, L"Unknown argument \u201c--folder=C:\\\u201d."},
    };
    for (const auto& c : cases) {
        const DemoOptionsParse parsed = ParseDemoOptions(c.arguments);
        EXPECT_FALSE(parsed.options.has_value()) << c.arguments.size();
        EXPECT_EQ(parsed.error, c.error);
    }
    EXPECT_NE(DemoUsage().find(L"--folder PATH"), std::wstring::npos);
}

}  // namespace
}  // namespace vm::demo
