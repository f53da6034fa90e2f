#include <gtest/gtest.h>

#include "native/files/TempDir.h"
#include "files/FileIo.h"
#include "files/ProfileFile.h"
#include "platform/Utf16.h"

namespace vm {
namespace {

Bytes Ascii(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

ProfileDocument Doc(const std::string& text) {
    return ProfileDocument::Parse(Ascii(text));
}

TEST(ProfileDocument, FindsSectionsAndKeysWithoutRegardToCase) {
    auto doc =
        Doc("; comment\r\n[State]\r\n  ViewMode = 1 \r\nOpenPath=\"C:\\Data\"\r\n[other]\nx=2\n");
    EXPECT_EQ(doc.Find(L"STATE", L"VIEWMODE"), L"1");
    EXPECT_EQ(doc.Find(L"state", L"openpath"), L"C:\\Data");  // one pair of quotes dropped
    EXPECT_EQ(doc.Find(L"OTHER", L"X"), L"2");
    EXPECT_FALSE(doc.Find(L"STATE", L"x"));
    EXPECT_FALSE(doc.Find(L"missing", L"x"));
    // The first of two equal sections and keys wins, as Windows reads them.
    auto twice = Doc("[A]\nk=1\nk=2\n[a]\nk=3\n");
    EXPECT_EQ(twice.Find(L"a", L"K"), L"1");
}

TEST(ProfileDocument, SetReplacesInPlaceAddsKeysAndSectionsAndKeepsOtherLines) {
    auto doc = Doc("; keep me\n[STATE]\nVIEWMODE=2\nunknown line\n\n[NEXT]\na=b\n");
    doc.Set(L"state", L"viewmode", L"1");
    doc.Set(L"STATE", L"WND_LEFT", L"10");
    doc.Set(L"NEW", L"k", L"v");
    std::vector<std::wstring> expected{
        L"; keep me", L"[STATE]", L"VIEWMODE=1", L"unknown line", L"WND_LEFT=10", L"",
        L"[NEXT]",    L"a=b",     L"",           L"[NEW]",        L"k=v"};
    EXPECT_EQ(doc.lines(), expected);
    doc.RemoveKey(L"next", L"A");
    doc.RemoveSection(L"new");
    EXPECT_FALSE(doc.Find(L"NEXT", L"a"));
    EXPECT_FALSE(doc.Find(L"NEW", L"k"));
}

TEST(ProfileDocument, StringReadsAreCutToTheBufferLikeGetPrivateProfileString) {
    auto doc = Doc("[B]\nPATHS=C:\\a|C:\\b|\n");
    EXPECT_EQ(ProfileString(doc, L"B", L"PATHS", L"", 100), L"C:\\a|C:\\b|");
    EXPECT_EQ(ProfileString(doc, L"B", L"PATHS", L"", 6), L"C:\\a|");  // 5 units + NUL
    EXPECT_EQ(ProfileString(doc, L"B", L"PATHS", L"", 1), L"");
    EXPECT_EQ(ProfileString(doc, L"B", L"PATHS", L"", 0), L"");
    EXPECT_EQ(ProfileString(doc, L"B", L"NONE", L"dflt  ", 100), L"dflt");
    EXPECT_EQ(ProfileString(doc, L"B", L"NONE", L"default", 4), L"def");
    // A surrogate pair is never split at the cut.
    std::wstring nonBmp = FromUtf16(u"ab\U0001F600");
    ProfileDocument wide;
    wide.Set(L"S", L"k", nonBmp);
    EXPECT_EQ(ProfileString(wide, L"S", L"k", L"", 4), L"ab");
    EXPECT_EQ(ProfileString(wide, L"S", L"k", L"", 5), nonBmp);
}

TEST(ProfileDocument, IntegersFollowGetPrivateProfileInt) {
    auto doc = Doc("[S]\na=42\nb=-7\nc=12abc\nd=abc\ne=\nf=0x1F\ng=  +3\nh=4294967295\n");
    EXPECT_EQ(ProfileInt(doc, L"S", L"a", 9), 42);
    EXPECT_EQ(ProfileInt(doc, L"S", L"b", 9), -7);
    EXPECT_EQ(ProfileInt(doc, L"S", L"c", 9), 12);
    EXPECT_EQ(ProfileInt(doc, L"S", L"d", 9), 0);
    EXPECT_EQ(ProfileInt(doc, L"S", L"e", 9), 9);  // empty value: the default
    EXPECT_EQ(ProfileInt(doc, L"S", L"f", 9), 31);
    EXPECT_EQ(ProfileInt(doc, L"S", L"g", 9), 3);
    EXPECT_EQ(ProfileInt(doc, L"S", L"h", 9), -1);
    EXPECT_EQ(ProfileInt(doc, L"S", L"missing", 9), 9);
}

TEST(ProfileDocument, DecodesUtf16Utf8AndAnsiFiles) {
    std::wstring text = L"[S]\r\nk=" + FromUtf8("\xc3\xa9t\xc3\xa9") + L"\r\n";
    Bytes utf16{0xFF, 0xFE};
    Bytes body = ToUtf16LeBytes(text);
    utf16.insert(utf16.end(), body.begin(), body.end());
    EXPECT_EQ(ProfileDocument::Parse(utf16).Find(L"s", L"K"), FromUtf8("\xc3\xa9t\xc3\xa9"));
    EXPECT_EQ(Doc("\xef\xbb\xbf[S]\nk=\xc3\xa9\n").Find(L"S", L"k"), FromUtf8("\xc3\xa9"));
    EXPECT_EQ(Doc("[S]\nk=\xe9\n").Find(L"S", L"k"), std::wstring(1, wchar_t{0xE9}));
}

TEST(ProfileFile, WrittenFilesAreUtf16WithByteOrderMarkAndSurviveNonAsciiPaths) {
    testing::TempDir dir;
    std::wstring file = dir.File(FromUtf8("r\xc3\xa9sum\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac.ini"));
    std::wstring value =
        FromUtf8("D:\\\xd0\x94\xd0\xb0\xd0\xbd\xd0\xbd\xd1\x8b\\") + FromUtf16(u"\U0001F600");
    ASSERT_TRUE(WriteProfileString(L"STATE", L"OPENPATH", value, file));
    ASSERT_TRUE(WriteProfileString(L"STATE", L"VIEWMODE", L"1", file));
    auto bytes = ReadWholeFile(file);
    ASSERT_TRUE(bytes);
    ASSERT_GE(bytes->size(), 2u);
    EXPECT_EQ((*bytes)[0], 0xFF);
    EXPECT_EQ((*bytes)[1], 0xFE);
    EXPECT_EQ(GetProfileString(L"state", L"openpath", L"", 260, file), value);
    EXPECT_EQ(GetProfileInt(L"STATE", L"VIEWMODE", 2, file), 1);
    EXPECT_EQ(GetProfileInt(L"STATE", L"VIEWMODE", 2, dir.File(L"missing.ini")), 2);
}

TEST(FileIo, ReplacingWriteLeavesNoTemporaryFilesAndRefusesMissingFolders) {
    testing::TempDir dir;
    std::wstring file = dir.File(L"target.bin");
    Bytes first(5000, 0xAB);
    ASSERT_TRUE(WriteFileReplacing(file, first));
    Bytes second{1, 2, 3};
    ASSERT_TRUE(WriteFileReplacing(file, second));
    EXPECT_EQ(ReadWholeFile(file), second);
    size_t entries = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1u);
    Status missing = WriteFileReplacing(dir.File(L"no-such-folder") + L"/x.bin", second);
    EXPECT_FALSE(missing);
    EXPECT_FALSE(ReadWholeFile(dir.File(L"nothing-here")));
}

}  // namespace
}  // namespace vm
