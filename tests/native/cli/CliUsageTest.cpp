#include <gtest/gtest.h>

#include "cli/CliArguments.h"
#include "native/cli/CliFixture.h"

namespace vm::cli::testing {
namespace {

ParsedCommandLine Parse(const std::vector<std::wstring>& args) {
    return ParseCommandLine(args);
}

std::wstring UsageError(const std::vector<std::wstring>& args) {
    ParsedCommandLine parsed = Parse(args);
    return parsed.kind == ParsedCommandLine::Kind::kUsageError ? parsed.message : L"(accepted)";
}

TEST(CliArgumentsTest, OptionsGoAnywhereAndTakeTheirValueEitherWay) {
    ParsedCommandLine parsed = Parse({L"--undo=u.sbak", L"allow", L"C:\\a", L"--trustee",
                                      L"Everyone", L"C:\\b", L"--scope", L"4", L"--yes"});
    ASSERT_EQ(parsed.kind, ParsedCommandLine::Kind::kRun) << parsed.message;
    const CliOptions& o = parsed.options;
    EXPECT_EQ(o.command, Subcommand::kAllow);
    EXPECT_EQ(o.paths, (std::vector<std::wstring>{L"C:\\a", L"C:\\b"}));
    EXPECT_EQ(o.trustee, L"Everyone");
    EXPECT_EQ(o.scopePosition, 4);
    EXPECT_EQ(o.undoFile, L"u.sbak");
    EXPECT_TRUE(o.yes);
    // After "--" everything is an operand, a leading dash included.
    parsed = Parse({L"show", L"--", L"-odd-name"});
    EXPECT_EQ(parsed.options.paths, std::vector<std::wstring>{L"-odd-name"});
}

TEST(CliArgumentsTest, EachSubcommandTakesItsOwnOperands) {
    ParsedCommandLine owner = Parse({L"owner", L"C:\\a", L"C:\\b", L"Bob"});
    EXPECT_EQ(owner.options.paths, (std::vector<std::wstring>{L"C:\\a", L"C:\\b"}));
    EXPECT_EQ(owner.options.ownerName, L"Bob");
    ParsedCommandLine restore = Parse(
        {L"restore", L"x.sbak", L"--item", L"C:\\a", L"--map", L"C:\\Old=D:\\New", L"--dry-run"});
    EXPECT_EQ(restore.options.inputFile, L"x.sbak");
    EXPECT_EQ(restore.options.items, std::vector<std::wstring>{L"C:\\a"});
    ASSERT_EQ(restore.options.mappings.size(), 1u);
    EXPECT_EQ(restore.options.mappings[0].from, L"C:\\Old");
    EXPECT_EQ(restore.options.mappings[0].to, L"D:\\New");
    EXPECT_TRUE(restore.options.dryRun);
    ParsedCommandLine import = Parse({L"import", L"d.bin", L"C:\\a"});
    EXPECT_EQ(import.options.inputFile, L"d.bin");
    EXPECT_EQ(import.options.paths, std::vector<std::wstring>{L"C:\\a"});
    EXPECT_EQ(Parse({L"replace-children", L"C:\\a", L"--mode", L"copy"}).options.mode,
              PropagationMode::kCopyFromFolder);
    EXPECT_EQ(Parse({L"reset-defaults"}).kind, ParsedCommandLine::Kind::kRun);
}

TEST(CliArgumentsTest, MistakesAreNamed) {
    EXPECT_EQ(UsageError({}), L"no subcommand given");
    EXPECT_EQ(UsageError({L"grant", L"C:\\a"}), L"unknown subcommand 'grant'");
    EXPECT_EQ(UsageError({L"show", L"--colour", L"C:\\a"}), L"unknown option --colour");
    EXPECT_EQ(UsageError({L"show"}), L"show needs at least one PATH");
    EXPECT_EQ(UsageError({L"allow", L"C:\\a"}), L"allow needs --trustee NAME");
    EXPECT_EQ(UsageError({L"deny", L"C:\\a", L"--trustee", L"x", L"--scope", L"7"}),
              L"--scope takes a number from 0 to 6, not '7'");
    EXPECT_EQ(UsageError({L"show", L"C:\\a", L"--format", L"xml"}),
              L"--format takes text, sddl or json, not 'xml'");
    EXPECT_EQ(UsageError({L"show", L"C:\\a", L"--dry-run"}), L"--dry-run does not apply to show");
    EXPECT_EQ(UsageError({L"backup", L"C:\\a"}), L"backup needs -o FILE");
    EXPECT_EQ(UsageError({L"export", L"C:\\a", L"C:\\b", L"-o", L"f"}),
              L"export needs exactly one PATH");
    EXPECT_EQ(UsageError({L"replace-children", L"C:\\a"}),
              L"replace-children needs --mode reset or --mode copy");
    EXPECT_EQ(UsageError({L"replace-children", L"C:\\a", L"--mode", L"move"}),
              L"--mode takes reset or copy, not 'move'");
    EXPECT_EQ(UsageError({L"owner", L"C:\\a"}),
              L"owner needs at least one PATH and the NAME of the owner");
    EXPECT_EQ(UsageError({L"restore", L"x", L"--map", L"C:\\a"}),
              L"--map takes OLD=NEW, two folders, not 'C:\\a'");
    EXPECT_EQ(UsageError({L"show", L"C:\\a", L"--as"}), L"--as needs a value");
    EXPECT_EQ(UsageError({L"inherit", L"C:\\a", L"--undo", L"a", L"--undo", L"b"}),
              L"--undo may be given once only");
    EXPECT_EQ(UsageError({L"show", L"--help=yes"}), L"--help takes no value");
}

TEST(CliArgumentsTest, HelpWinsOverMissingOperands) {
    ParsedCommandLine parsed = Parse({L"replace-children", L"--help"});
    ASSERT_EQ(parsed.kind, ParsedCommandLine::Kind::kHelp);
    EXPECT_EQ(parsed.helpFor, Subcommand::kReplaceChildren);
    EXPECT_EQ(Parse({L"-h"}).helpFor, std::nullopt);
}

TEST_F(CliTest, HelpGoesToStandardOutputAndUsageErrorsExitTwo) {
    EXPECT_EQ(Run({L"--help"}), kExitSuccess);
    for (const wchar_t* name : {L"show", L"allow", L"readonly", L"deny", L"owner", L"inherit",
                                L"null-dacl", L"empty-dacl", L"replace-children", L"backup",
                                L"restore", L"reset-defaults", L"export", L"import"})
        EXPECT_NE(console.out.find(std::wstring(L"  ") + name), std::wstring::npos) << name;
    EXPECT_EQ(Run({L"restore", L"--help"}), kExitSuccess);
    EXPECT_EQ(console.out.find(L"Usage: velmora-cli restore FILE.SBAK"), 0u);
    EXPECT_NE(console.out.find(L"--map OLD=NEW"), std::wstring::npos);
    EXPECT_TRUE(console.err.empty());

    std::wstring before = machine.SddlOf(L"C:\\Data");
    EXPECT_EQ(Run({L"null-dacl"}), kExitUsage);
    EXPECT_EQ(console.err,
              L"velmora-cli: null-dacl needs at least one PATH\nTry 'velmora-cli --help'.\n");
    EXPECT_TRUE(console.out.empty());
    EXPECT_EQ(Run({L"null-dacl", L"C:\\Data", L"--volume", L"C=/mnt"}), kExitUsage);
    EXPECT_EQ(machine.SddlOf(L"C:\\Data"), before);
}

}  // namespace
}  // namespace vm::cli::testing
