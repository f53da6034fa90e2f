// Which paths get the "\\?\" prefix: only those the system would not have to
// normalize, since the prefix switches normalization off.
#include <gtest/gtest.h>

#include "platform/ExtendedPath.h"

namespace vm {
namespace {

TEST(ExtendedPath, DrivePathsAndRootsGetThePrefix) {
    EXPECT_EQ(ToExtendedPath(L"C:\\"), L"\\\\?\\C:\\");
    EXPECT_EQ(ToExtendedPath(L"C:\\Data\\a b.txt"), L"\\\\?\\C:\\Data\\a b.txt");
    EXPECT_EQ(ToExtendedPath(L"d:\\x\\"), L"\\\\?\\d:\\x\\");
}

TEST(ExtendedPath, SharesGetTheUncForm) {
    EXPECT_EQ(ToExtendedPath(L"\\\\server\\share"), L"\\\\?\\UNC\\server\\share");
    EXPECT_EQ(ToExtendedPath(L"\\\\server\\share\\"), L"\\\\?\\UNC\\server\\share\\");
    EXPECT_EQ(ToExtendedPath(L"\\\\server\\share\\dir\\f"), L"\\\\?\\UNC\\server\\share\\dir\\f");
    // A server without a share is no path of a file.
    EXPECT_EQ(ToExtendedPath(L"\\\\server"), L"\\\\server");
    EXPECT_EQ(ToExtendedPath(L"\\\\server\\"), L"\\\\server\\");
}

TEST(ExtendedPath, PathsThatNeedNormalizingStayAsTheyAre) {
    for (const wchar_t* path : {L"C:\\a\\..\\b", L"C:\\a\\.\\b", L"C:/a/b", L"C:\\a\\\\b", L"C:a",
                                L"a\\b", L"\\a\\b", L"", L"C:", L"\\\\server\\share\\..\\x"})
        EXPECT_EQ(ToExtendedPath(path), path) << std::wstring(path).size();
}

TEST(ExtendedPath, PrefixedPathsAreLeftAloneAndComeBackPlain) {
    EXPECT_EQ(ToExtendedPath(L"\\\\?\\C:\\a"), L"\\\\?\\C:\\a");
    EXPECT_EQ(ToExtendedPath(L"\\\\.\\C:"), L"\\\\.\\C:");
    for (const wchar_t* path : {L"C:\\", L"C:\\Data\\x", L"\\\\server\\share\\d"})
        EXPECT_EQ(FromExtendedPath(ToExtendedPath(path)), path);
    EXPECT_EQ(FromExtendedPath(L"C:\\plain"), L"C:\\plain");
}

TEST(ExtendedPath, LongPathsKeepEveryCharacter) {
    std::wstring path = L"C:";
    while (path.size() < 1000)
        path += L"\\" + std::wstring(40, L'n');
    EXPECT_EQ(ToExtendedPath(path), L"\\\\?\\" + path);
}

}  // namespace
}  // namespace vm
