#include <gtest/gtest.h>

#include <filesystem>

#include "advanced/FileErrors.h"
#include "files/FileIo.h"

namespace vm {
namespace {

TEST(FileErrors, MessagesByCauseWithTheFileName) {
    EXPECT_EQ(FileErrorMessage(5, L"C:\\x.sd"), L"Access to C:\\x.sd was denied.");
    EXPECT_EQ(FileErrorMessage(2, L"a"), L"a was not found.");
    EXPECT_EQ(FileErrorMessage(123, L"a?"), L"a? contains an incorrect path.");
    EXPECT_EQ(FileErrorMessage(112, L"a"), L"Disk full while accessing a.");
    EXPECT_EQ(FileErrorMessage(32, L"a"), L"A sharing violation occurred while accessing a.");
    EXPECT_EQ(FileErrorMessage(9999, L"a"), L"An unknown error occurred while accessing a.");
    // A name that itself holds "%1" is put in once.
    EXPECT_EQ(FileErrorMessage(5, L"%1"), L"Access to %1 was denied.");
}

TEST(FileErrors, ReadingSaysWhyAFileCannotBeRead) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "velmora-file-errors";
    std::filesystem::create_directories(folder);
    const std::wstring file = (folder / "d.sd").wstring();
    ASSERT_TRUE(WriteFileReplacing(file, Bytes{1, 0, 4, 0x80}).ok());
    auto read = ReadDescriptorFileOrError(file);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(*read, (Bytes{1, 0, 4, 0x80}));
    EXPECT_EQ(ReadDescriptorFileOrError((folder / "none.sd").wstring()).error(), 2u);
    EXPECT_EQ(ReadDescriptorFileOrError((folder / "no" / "x.sd").wstring()).error(), 3u);
    EXPECT_EQ(ReadDescriptorFileOrError(folder.wstring()).error(), 5u);
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace vm
