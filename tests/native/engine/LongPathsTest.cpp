// Paths of 300 and 1,000 characters, beyond MAX_PATH (260): nothing in the
// engine cuts or refuses them (the Win32 layer gives them the "\\?\" prefix;
// the Wine tests cover that part).
#include "EngineFixture.h"
#include "security/DaclEdits.h"
#include "security/Ownership.h"
#include "security/SecurityAccess.h"

namespace vm {
namespace {

// A folder path of at least `length` characters under C:\, built of
// 50-character names.
std::wstring DeepFolder(size_t length) {
    std::wstring path = L"C:";
    for (int level = 0; path.size() < length; ++level)
        path += L"\\" + std::wstring(46, static_cast<wchar_t>(L'a' + level % 26)) + L"-" +
                std::to_wstring(100 + level);
    return path;
}

class LongPaths : public EngineTest, public ::testing::WithParamInterface<size_t> {
  protected:
    LongPaths() : folder(DeepFolder(GetParam())), file(folder + L"\\last file.txt") {
        machine.AddFolder(folder);
        machine.AddFile(file, L"O:BAD:P(A;;FA;;;BA)");
    }
    std::wstring folder;
    std::wstring file;
};

TEST_P(LongPaths, EveryEngineOperationReachesTheObject) {
    ASSERT_GE(file.size(), GetParam());
    EXPECT_TRUE(machine.PathFileExists(file));
    EXPECT_TRUE(SetOwner(engine, file, kSystemAccount));
    EXPECT_EQ(GetOwnerName(machine, file), L"SYSTEM");
    EXPECT_TRUE(AddAccessEntry(engine, file, kEveryone, 0x1200A9, ace_type::kAccessAllowed, 0));
    EXPECT_EQ(Dacl(file), L"D:PARAI(A;;0x1200a9;;;WD)(A;;FA;;;BA)");
    EXPECT_EQ(LevelOf(file), AccessLevel::kAllowed);
    EXPECT_TRUE(ResetToInherited(engine, file));
    EXPECT_EQ(Dacl(file), L"D:AI(A;ID;FA;;;BA)(A;ID;FA;;;SY)(A;ID;0x1200a9;;;BU)");
}

TEST_P(LongPaths, PropagationWalksTheWholeDepth) {
    const std::wstring top = folder.substr(0, folder.find(L'\\', 3));
    PropagationRun run;
    run.folder = top;
    run.mode = PropagationMode::kResetToInherited;
    NullObserver observer;
    EXPECT_EQ(RunPropagation(engine, run, observer), 1);
    EXPECT_TRUE(run.notReached.empty());
    EXPECT_EQ(Dacl(file), L"D:AI(A;ID;FA;;;BA)(A;ID;FA;;;SY)(A;ID;0x1200a9;;;BU)");
}

INSTANTIATE_TEST_SUITE_P(Lengths, LongPaths, ::testing::Values(300u, 1000u));

}  // namespace
}  // namespace vm
