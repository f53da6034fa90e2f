// Which machine the demonstration program starts with, and what becomes of
// a saved machine that cannot be read: it is kept, never lost.
#include <gtest/gtest.h>

#include <filesystem>

#include "DemoFixture.h"
#include "demo/DemoStore.h"
#include "files/FileIo.h"
#include "platform/sim/MachineFile.h"

namespace vm::demo {
namespace {

using test::kSmallMachine;

Bytes BytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

class DemoStore : public ::testing::Test {
  protected:
    void Write(const std::wstring& path, std::string_view text) {
        ASSERT_TRUE(WriteFileReplacing(path, BytesOf(text)).ok());
    }
    // The small machine saved with one change: C:\Data gets a NULL DACL.
    std::string ChangedMachine() {
        sim::MachineLoad load = sim::LoadMachine(kSmallMachine);
        load.machine->SetSecurity(L"C:\\Data", L"O:BAD:NO_ACCESS_CONTROL");
        return sim::SaveMachine(*load.machine);
    }

    vm::testing::TempDir temp;
    DemoFiles files = DemoFilesIn(temp.File(L"data"));
};

TEST_F(DemoStore, FilesLieInTheDataFolder) {
    EXPECT_EQ(files.machine, JoinPath(temp.File(L"data"), L"machine.txt"));
    EXPECT_EQ(files.documents, JoinPath(temp.File(L"data"), L"Documents"));
    EXPECT_EQ(JoinPath(L"", L"a"), L"a");
    EXPECT_EQ(JoinPath(JoinPath(L"x", L""), L"a"), JoinPath(L"x", L"a"));
}

TEST_F(DemoStore, WithoutASavedMachineTheShippedOneStartsSilently) {
    const StartingMachine start = LoadStartingMachine(kSmallMachine, files);
    ASSERT_NE(start.machine, nullptr);
    EXPECT_TRUE(start.message.empty());
    EXPECT_FALSE(start.fromSavedFile);
    EXPECT_TRUE(start.mayWriteSavedFile);
    EXPECT_TRUE(start.machine->Exists(L"C:\\Users\\Alice\\Documents\\notes.txt"));
    EXPECT_FALSE(std::filesystem::exists(ToFsPath(files.folder)));  // nothing written
}

TEST_F(DemoStore, SavedMachineIsPreferredToTheShippedOne) {
    std::filesystem::create_directories(ToFsPath(files.folder));
    Write(files.machine, ChangedMachine());
    const StartingMachine start = LoadStartingMachine(kSmallMachine, files);
    ASSERT_NE(start.machine, nullptr);
    EXPECT_TRUE(start.fromSavedFile);
    EXPECT_TRUE(start.message.empty());
    EXPECT_TRUE(start.machine->DaclOf(L"C:\\Data").IsNull());
}

TEST_F(DemoStore, DamagedSavedMachineIsKeptAsideWithTheLineThatIsWrong) {
    std::filesystem::create_directories(ToFsPath(files.folder));
    const std::string damaged = "machine 1\nvolume C: NTFS\nfolder C:\\Data 0x10 yesterday\n";
    Write(files.machine, damaged);
    const StartingMachine first = LoadStartingMachine(kSmallMachine, files);
    ASSERT_NE(first.machine, nullptr);
    EXPECT_FALSE(first.fromSavedFile);
    EXPECT_TRUE(first.mayWriteSavedFile);  // its place is free again
    const std::wstring aside = JoinPath(files.folder, L"machine (damaged).txt");
    EXPECT_EQ(test::ReadText(aside), damaged);
    EXPECT_FALSE(FileExists(files.machine));
    EXPECT_NE(first.message.find(L"(line 3: "), std::wstring::npos);
    EXPECT_NE(first.message.find(L"It was kept as " + aside + L","), std::wstring::npos);

    // A second damaged file does not replace the first one kept aside.
    Write(files.machine, "not a machine");
    const StartingMachine second = LoadStartingMachine(kSmallMachine, files);
    EXPECT_EQ(test::ReadText(aside), damaged);
    EXPECT_EQ(test::ReadText(JoinPath(files.folder, L"machine (damaged 2).txt")), "not a machine");
    EXPECT_NE(second.message.find(L"machine (damaged 2).txt"), std::wstring::npos);
}

TEST_F(DemoStore, DamagedFileThatCannotBeMovedStaysAndIsNeverWrittenOver) {
    test::TakeEveryAsideName(files);
    Write(files.machine, "damaged");
    const StartingMachine start = LoadStartingMachine(kSmallMachine, files);
    ASSERT_NE(start.machine, nullptr);
    EXPECT_FALSE(start.mayWriteSavedFile);
    EXPECT_EQ(test::ReadText(files.machine), "damaged");
    EXPECT_NE(start.message.find(L"could not be read (line 1: "), std::wstring::npos);
    EXPECT_NE(start.message.find(L"nor moved aside"), std::wstring::npos);
}

TEST_F(DemoStore, DamagedShippedMachineGivesNoMachineAndSaysWhy) {
    const StartingMachine start = LoadStartingMachine("machine 9\n", files);
    EXPECT_EQ(start.machine, nullptr);
    EXPECT_EQ(
        start.message.rfind(L"The demonstration machine of this program could not be read (", 0),
        0u);
}

TEST_F(DemoStore, KeepAsideNamesTheCopyAfterTheFile) {
    std::filesystem::create_directories(ToFsPath(files.folder));
    const std::wstring plain = JoinPath(files.folder, L"machine");
    Write(plain, "x");
    EXPECT_EQ(KeepAside(plain), plain + L" (damaged)");
    // A dot in a folder name is not the file's extension.
    const std::wstring dotted = JoinPath(files.folder, L"v1.2");
    std::filesystem::create_directories(ToFsPath(dotted));
    Write(JoinPath(dotted, L"machine"), "y");
    EXPECT_EQ(KeepAside(JoinPath(dotted, L"machine")), JoinPath(dotted, L"machine (damaged)"));
    EXPECT_EQ(KeepAside(JoinPath(files.folder, L"missing.txt")), L"");
}

TEST_F(DemoStore, SavingMakesTheFolderAndReplacesTheFileWhole) {
    ASSERT_TRUE(SaveMachineFile("first", files).ok());
    ASSERT_TRUE(SaveMachineFile("second", files).ok());
    EXPECT_EQ(test::ReadText(files.machine), "second");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(ToFsPath(files.folder)),
                            std::filesystem::directory_iterator()),
              1);  // no temporary file left beside it
}

}  // namespace
}  // namespace vm::demo
