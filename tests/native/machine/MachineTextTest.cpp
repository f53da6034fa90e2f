// The lexical layer of machine description files: fields and quoting, times,
// numbers, base64.
#include <gtest/gtest.h>

#include "platform/Utf16.h"
#include "platform/sim/MachineText.h"

namespace vm::sim {
namespace {

std::vector<std::wstring> Split(const std::wstring& line) {
    std::wstring error;
    auto fields = SplitFields(line, &error);
    EXPECT_TRUE(fields) << ToUtf8(line) << ": " << ToUtf8(error);
    return fields.value_or(std::vector<std::wstring>{});
}

TEST(MachineTextTest, FieldsAreSplitOnSpacesWithQuotesAndComments) {
    using Fields = std::vector<std::wstring>;
    EXPECT_EQ(Split(L"folder \"C:\\Program Files\"\t0x10  # the rest is a comment"),
              (Fields{L"folder", L"C:\\Program Files", L"0x10"}));
    EXPECT_EQ(Split(L"a b#c \"\" \"#d\""), (Fields{L"a", L"b#c", L"", L"#d"}));
    EXPECT_EQ(Split(L"\"x ^\"y^\" ^^ ^09z\""), (Fields{L"x \"y\" ^ \tz"}));
    EXPECT_EQ(Split(L"   "), Fields{});
    EXPECT_EQ(Split(L"# only a comment"), Fields{});
}

TEST(MachineTextTest, BrokenQuotingIsRefusedWithAReason) {
    for (const wchar_t* line :
         {L"file \"C:\\open", L"\"a\"b", L"\"bad ^q escape\"", L"\"^0\"", L"\"ends in ^\""}) {
        std::wstring error;
        EXPECT_FALSE(SplitFields(line, &error)) << ToUtf8(line);
        EXPECT_FALSE(error.empty()) << ToUtf8(line);
    }
}

TEST(MachineTextTest, AnyTextSurvivesQuoting) {
    const std::wstring texts[] = {
        L"plain",
        L"",
        L"C:\\Users\\Alex\\Documents\\Résumé – 2024.docx",
        L"C:\\日本出張\\メモ #3.txt",
        L"#starts with a hash",
        L"\"quoted\"",
        L"caret^and \"quote\" inside",
        std::wstring(L"tab\there, line\nbreak, bell\x07, delete\x7F"),
        std::wstring(L"emoji ") + FromUtf8("\xF0\x9F\x93\x81") + L" folder",
    };
    for (const auto& text : texts) {
        std::wstring line = L"x " + QuoteField(text) + L" y";
        EXPECT_EQ(line.find(L'\n'), std::wstring::npos);
        EXPECT_EQ(Split(line), (std::vector<std::wstring>{L"x", text, L"y"})) << ToUtf8(text);
    }
    EXPECT_EQ(QuoteField(L"C:\\Windows"), L"C:\\Windows");  // no quotes where none are needed
}

TEST(MachineTextTest, TimesAreUtcWithOptionalFraction) {
    EXPECT_EQ(FormatFileTime(0), L"1601-01-01T00:00:00Z");
    EXPECT_EQ(FormatFileTime(133485408000000000ull), L"2024-01-01T00:00:00Z");
    EXPECT_EQ(FormatFileTime(133485408000000001ull), L"2024-01-01T00:00:00.0000001Z");
    EXPECT_EQ(ParseFileTime(L"2024-01-01T00:00:00Z"), 133485408000000000ull);
    EXPECT_EQ(ParseFileTime(L"2024-01-01T00:00:00.5Z"), 133485408005000000ull);
    EXPECT_EQ(ParseFileTime(L"133485408000000000"), 133485408000000000ull);
    // Leap days, the end of a day, and the round trip at awkward values.
    EXPECT_TRUE(ParseFileTime(L"2024-02-29T23:59:59Z"));
    EXPECT_TRUE(ParseFileTime(L"2000-02-29T12:00:00Z"));
    for (uint64_t value :
         {0ull, 1ull, 125911584000000000ull, 133567891234567891ull, 2650467743999999999ull}) {
        EXPECT_EQ(ParseFileTime(FormatFileTime(value)), value) << value;
    }
    // Past year 9999 the number itself is written.
    EXPECT_EQ(FormatFileTime(~0ull), std::to_wstring(~0ull));
    EXPECT_EQ(ParseFileTime(FormatFileTime(~0ull)), ~0ull);
}

TEST(MachineTextTest, ImpossibleTimesAreRefused) {
    for (const wchar_t* text :
         {L"2023-02-29T00:00:00Z", L"1900-02-29T00:00:00Z", L"2024-13-01T00:00:00Z",
          L"2024-04-31T00:00:00Z", L"2024-01-01T24:00:00Z", L"2024-01-01T00:60:00Z",
          L"1600-12-31T23:59:59Z", L"2024-01-01 00:00:00Z", L"2024-01-01T00:00:00",
          L"2024-01-01T00:00:00.12345678Z", L"2024-01-01T00:00:00.Z", L"", L"-1",
          L"99999999999999999999"}) {
        EXPECT_FALSE(ParseFileTime(text)) << ToUtf8(text);
    }
}

TEST(MachineTextTest, Numbers) {
    EXPECT_EQ(FormatHex32(0), L"0x0");
    EXPECT_EQ(FormatHex32(0x2016), L"0x2016");
    EXPECT_EQ(ParseHex32(L"0xFFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(ParseHex32(L"0X1a"), 0x1Au);
    EXPECT_FALSE(ParseHex32(L"0x100000000"));
    EXPECT_FALSE(ParseHex32(L"16"));
    EXPECT_FALSE(ParseHex32(L"0x"));
    EXPECT_FALSE(ParseHex32(L"0xg"));
    EXPECT_EQ(ParseDecimal(L"18446744073709551615"), ~0ull);
    EXPECT_FALSE(ParseDecimal(L"18446744073709551616"));
    EXPECT_FALSE(ParseDecimal(L"+1"));
    EXPECT_FALSE(ParseDecimal(L""));
}

TEST(MachineTextTest, Base64FollowsRfc4648) {
    const std::pair<std::string, std::wstring> vectors[] = {
        {"", L""},
        {"f", L"Zg=="},
        {"fo", L"Zm8="},
        {"foo", L"Zm9v"},
        {"foob", L"Zm9vYg=="},
        {"fooba", L"Zm9vYmE="},
        {"foobar", L"Zm9vYmFy"},
    };
    for (const auto& [plain, encoded] : vectors) {
        Bytes bytes(plain.begin(), plain.end());
        EXPECT_EQ(EncodeBase64(bytes), encoded);
        EXPECT_EQ(DecodeBase64(encoded), bytes);
    }
    Bytes all(256);
    for (size_t i = 0; i < all.size(); ++i)
        all[i] = static_cast<uint8_t>(i);
    EXPECT_EQ(DecodeBase64(EncodeBase64(all)), all);
    for (const wchar_t* bad : {L"Zg", L"Zg=", L"Z===", L"Zg==Zg==", L"Zm9v!A==", L"Zm=v", L"é123"})
        EXPECT_FALSE(DecodeBase64(bad)) << ToUtf8(bad);
}

}  // namespace
}  // namespace vm::sim
