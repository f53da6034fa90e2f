#include <gtest/gtest.h>

#include "platform/Utf16.h"
#include "security/Sddl.h"

namespace vm {
namespace {

SecurityDescriptor MustParse(const std::wstring& sddl) {
    ParseError error;
    auto sd = SddlToDescriptor(sddl, &error);
    EXPECT_TRUE(sd) << ToUtf8(sddl) << ": " << error.message << " at " << error.offset;
    return sd.value_or(SecurityDescriptor{});
}

TEST(Sddl, ReadsOwnerProtectedDaclAndEntries) {
    auto sd = MustParse(L"O:BAD:PAI(A;OICI;FA;;;BA)(A;;FR;;;WD)");
    EXPECT_EQ(sd.owner, sids::Administrators());
    EXPECT_FALSE(sd.group);
    EXPECT_EQ(sd.control, sd_control::kDaclProtected | sd_control::kDaclAutoInherited);
    ASSERT_TRUE(sd.dacl.acl);
    ASSERT_EQ(sd.dacl.acl->aces.size(), 2u);
    EXPECT_EQ(sd.dacl.acl->aces[0], Ace::Allow(sids::Administrators(), 0x1F01FF, 0x03));
    EXPECT_EQ(sd.dacl.acl->aces[1], Ace::Allow(sids::Everyone(), 0x120089));
    EXPECT_EQ(sd.dacl.acl->size, sd.dacl.acl->BytesInUse());
    EXPECT_EQ(sd.dacl.acl->revision, kAclRevision);
}

TEST(Sddl, AbsentNullAndEmptyDaclsAreDistinct) {
    auto absent = MustParse(L"O:SY");
    auto nullDacl = MustParse(L"D:NO_ACCESS_CONTROL");
    auto empty = MustParse(L"D:");
    auto emptyProtected = MustParse(L"D:P");
    EXPECT_FALSE(absent.dacl.present);
    EXPECT_TRUE(nullDacl.HasNullDacl());
    ASSERT_TRUE(empty.dacl.acl);
    EXPECT_TRUE(empty.dacl.acl->aces.empty());
    EXPECT_EQ(emptyProtected.control, sd_control::kDaclProtected);
    EXPECT_TRUE(emptyProtected.dacl.acl);

    EXPECT_EQ(DescriptorToSddl(absent), L"O:SY");
    EXPECT_EQ(DescriptorToSddl(nullDacl), L"D:NO_ACCESS_CONTROL");
    EXPECT_EQ(DescriptorToSddl(empty), L"D:");
    EXPECT_EQ(DescriptorToSddl(MustParse(L"D:PNO_ACCESS_CONTROL")), L"D:PNO_ACCESS_CONTROL");
}

TEST(Sddl, RightsAliasesHexAndConcatenation) {
    EXPECT_EQ(SddlToMask(L"RCWD"), 0x60000u);
    EXPECT_EQ(SddlToMask(L"GRGX"), 0xA0000000u);
    EXPECT_EQ(SddlToMask(L"0x1200A9"), 0x1200A9u);
    EXPECT_EQ(SddlToMask(L"2032127"), 0x1F01FFu);
    EXPECT_EQ(SddlToMask(L"CCDCLCSWRPWPDTLOCR"), 0x1FFu);
    EXPECT_EQ(SddlToMask(L"KR"), 0x20019u);
    for (const wchar_t* bad :
         {L"", L"0x", L"0x100000000", L"R", L"RCX", L"0xZZ", L"fa", L"RC ", L"-1", L"1x"})
        EXPECT_FALSE(SddlToMask(bad)) << ToUtf8(bad);

    EXPECT_EQ(MaskToSddl(0x1F01FF), L"FA");
    EXPECT_EQ(MaskToSddl(0x1200A0), L"FX");
    EXPECT_EQ(MaskToSddl(0x10000), L"SD");
    EXPECT_EQ(MaskToSddl(0x1200A9), L"0x1200a9");  // no exact alias
    EXPECT_EQ(MaskToSddl(0x60000), L"0x60000");    // combinations are written as a number
    EXPECT_EQ(MaskToSddl(0), L"0x0");
}

// MS-DTYP 2.5.1.1 ace-rights: "0x" hex, "0" octal, else decimal; Samba's
// strings checked against Windows read "01234567" as 0x53977.
TEST(Sddl, NumbersWithALeadingZeroAreOctal) {
    EXPECT_EQ(SddlToMask(L"010"), 8u);
    EXPECT_EQ(SddlToMask(L"01234567"), 0x53977u);
    EXPECT_EQ(SddlToMask(L"037777777777"), 0xFFFFFFFFu);
    EXPECT_EQ(SddlToMask(L"0"), 0u);
    EXPECT_EQ(SddlToMask(L"00"), 0u);
    EXPECT_EQ(SddlToMask(L"0X1f"), 0x1Fu);
    EXPECT_EQ(SddlToMask(L"123456789"), 0x75BCD15u);
    for (const wchar_t* bad : {L"08", L"0779", L"040000000000", L"4294967296"})
        EXPECT_FALSE(SddlToMask(bad)) << ToUtf8(bad);
    auto sd = SddlToDescriptor(L"D:(A;;037777777777;;;WD)");
    ASSERT_TRUE(sd);
    EXPECT_EQ(sd->dacl.acl->aces.at(0).mask, 0xFFFFFFFFu);
}

// Windows accepts an empty rights field (Samba's Windows-checked canonical
// strings hold "(A;;;;;BO)"): an entry granting nothing.
TEST(Sddl, AnEmptyRightsFieldIsZero) {
    auto ace = SddlToAce(L"(D;;;;;BU)");
    ASSERT_TRUE(ace);
    EXPECT_EQ(ace->mask, 0u);
    EXPECT_EQ(AceToSddl(*ace), L"(D;;0x0;;;BU)");
}

TEST(Sddl, SidAliasesBothWays) {
    const std::pair<const wchar_t*, Sid> table[] = {
        {L"WD", sids::Everyone()},           {L"SY", sids::System()},
        {L"BA", sids::Administrators()},     {L"BU", sids::Users()},
        {L"AU", sids::AuthenticatedUsers()}, {L"CO", sids::CreatorOwner()},
    };
    for (const auto& [alias, sid] : table) {
        EXPECT_EQ(SddlToSid(alias), sid);
        EXPECT_EQ(SidToSddl(sid), alias);
    }
    EXPECT_EQ(SidToSddl(sids::TrustedInstaller()), sids::TrustedInstaller().ToString());
    EXPECT_EQ(SddlToSid(L"S-1-5-21-1-2-3-1001"), Sid(5, {21, 1, 2, 3, 1001}));
    EXPECT_EQ(SddlToSid(L"OW"), Sid(3, {4}));  // OWNER RIGHTS
    EXPECT_EQ(SidToSddl(Sid(5, {32, 546})), L"BG");
    EXPECT_FALSE(SddlToSid(L"LA"));  // domain aliases need a domain
    EXPECT_FALSE(SddlToSid(L"ba"));
    EXPECT_FALSE(SddlToSid(L""));
}

TEST(Sddl, TextRoundTripsThroughBytes) {
    for (const wchar_t* text : {
             L"O:BAD:PAI(A;OICI;FA;;;BA)(A;;FR;;;WD)",
             L"O:S-1-5-21-1-2-3-500G:SYD:AI(D;OICIIOID;0x1301bf;;;AU)(A;NP;GA;;;CO)",
             L"D:ARAI(A;CI;GRGW;;;BU)",
             L"O:WDD:NO_ACCESS_CONTROL",
             L"D:",
             L"",
             L"D:(OA;CI;0x30;bf967aba-0de6-11d0-a285-00aa003049e2;;BA)"
             L"(OD;;FR;00000001-0002-0003-0405-060708090a0b;00112233-4455-6677-8899-aabbccddeeff;"
             L"SY)",
             L"D:P(A;;FA;;;SY)S:AI(AU;SAFA;FA;;;WD)",
         }) {
        auto bytes = SddlToBytes(text);
        ASSERT_TRUE(bytes) << ToUtf8(text);
        ParseError error;
        auto back = SecurityDescriptor::Parse(*bytes, &error);
        ASSERT_TRUE(back) << ToUtf8(text) << ": " << error.message;
        std::wstring written = DescriptorToSddl(*back);
        // Flags are written in Windows' order; compare after a second pass.
        EXPECT_EQ(SddlToBytes(written), bytes) << ToUtf8(text) << " -> " << ToUtf8(written);
    }
    EXPECT_EQ(DescriptorToSddl(MustParse(L"O:BAD:PAI(A;CIOI;RCWD;;;BA)")),
              L"O:BAD:PAI(A;OICI;0x60000;;;BA)");
    EXPECT_EQ(DescriptorToSddl(MustParse(L"D:AIP(A;;FA;;;BA)")), L"D:PAI(A;;FA;;;BA)");
}

TEST(Sddl, ObjectEntriesCarryTheirGuids) {
    auto ace = SddlToAce(L"(OA;;RC;bf967aba-0de6-11d0-a285-00aa003049e2;;BA)");
    ASSERT_TRUE(ace);
    EXPECT_EQ(ace->type, ace_type::kAccessAllowedObject);
    EXPECT_EQ(ace->sid, sids::Administrators());
    Bytes bytes;
    ace->AppendTo(bytes);
    // header 4, mask 4, object flags 4 (ACE_OBJECT_TYPE_PRESENT), GUID 16, SID 16
    ASSERT_EQ(bytes.size(), 44u);
    EXPECT_EQ(ReadLe32(bytes, 8), 1u);
    EXPECT_EQ(ReadLe32(bytes, 12), 0xbf967abau);  // Data1 little-endian
    EXPECT_EQ(bytes[20], 0xa2);                   // Data4 as written
    size_t consumed = 0;
    auto back = Ace::Parse(bytes, &consumed);
    ASSERT_TRUE(back);
    EXPECT_EQ(AceToSddl(*back), L"(OA;;RC;bf967aba-0de6-11d0-a285-00aa003049e2;;BA)");
    auto acl = SddlToAcl(L"(OD;;FA;;;WD)(A;;FA;;;BA)");
    ASSERT_TRUE(acl);
    EXPECT_EQ(acl->revision, kAclRevisionDs);
}

// "OA" with both GUID fields empty stays an object entry (type 5 in an ACL
// of revision 4) whose flags say that neither GUID is present: each empty
// field clears its own flag, as in Samba's Windows-checked strings
// "(OA;CIIO;RPLCLORC;;bf967a9c-...;RU)", and Samba 4.17 builds the same bytes.
TEST(Sddl, ObjectEntriesWithoutGuidsStayObjectEntries) {
    auto acl = SddlToAcl(L"(OA;;GA;;;WD)");
    ASSERT_TRUE(acl);
    EXPECT_EQ(acl->revision, kAclRevisionDs);
    const Ace& ace = acl->aces.at(0);
    EXPECT_EQ(ace.type, ace_type::kAccessAllowedObject);
    EXPECT_EQ(ace.Size(), 24u);  // header, mask, flags, SID; no GUID
    const Bytes expected{0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x00, 0x01, 0x01,
                         0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(ace.extra, expected);
    EXPECT_EQ(AceToSddl(ace), L"(OA;;GA;;;WD)");
}

TEST(Sddl, EntriesOfOtherTypesAreWrittenForDiagnosticsOnly) {
    Ace label{0x11, 0, 1, sids::System(), {}};
    std::wstring text = AceToSddl(label);
    EXPECT_EQ(text, L"(0x11;;0x1;;;SY)");
    EXPECT_FALSE(SddlToAce(text));
    Ace callback = Ace::Allow(sids::Everyone(), 0x1F01FF);
    callback.extra = {1, 2, 3, 4};
    EXPECT_EQ(AceToSddl(callback), L"(0x00;;FA;;;WD)");
}

TEST(Sddl, MalformedTextIsRefusedWithAnOffset) {
    struct Case {
        const wchar_t* text;
        size_t offset;
    };
    const Case cases[] = {
        {L"X:BA", 0},
        {L"O", 0},
        {L"O:", 2},
        {L"O:XX", 2},
        {L"O:BAO:SY", 4},
        {L"D:Q", 2},
        {L"D:(A;;FA;;BA)", 3},
        {L"D:(A;;FA;;;BA", 2},
        {L"D:(Z;;FA;;;BA)", 3},
        {L"D:(A;XX;FA;;;BA)", 3},
        {L"D:(A;;QQ;;;BA)", 3},
        {L"D:(A;;FA;;;S-1)", 3},
        {L"D:(A;;FA;bf967aba-0de6-11d0-a285-00aa003049e2;;BA)", 3},
        {L"D:(OA;;FA;not-a-guid;;BA)", 3},
        {L"D:NO_ACCESS_CONTROL(A;;FA;;;BA)", 19},
        {L"D:(A;;FA;;;BA)x", 14},
    };
    for (const auto& c : cases) {
        ParseError error;
        EXPECT_FALSE(SddlToDescriptor(c.text, &error)) << ToUtf8(c.text);
        EXPECT_EQ(error.offset, c.offset) << ToUtf8(c.text) << ": " << error.message;
    }
    EXPECT_FALSE(SddlToAce(L"(A;;FA;;;BA)(A;;FA;;;BA)"));
    EXPECT_FALSE(SddlToAcl(L"(A;;FA;;;BA)junk"));
}

TEST(Sddl, RefusesAclsBeyondTheirSixteenBitSize) {
    std::wstring text = L"D:";
    for (int i = 0; i < 3000; ++i)  // 3000 * 24 bytes > 65535
        text += L"(A;;FA;;;BA)";
    ParseError error;
    EXPECT_FALSE(SddlToDescriptor(text, &error));
    EXPECT_EQ(error.message, "ACL larger than 64 KB");
}

}  // namespace
}  // namespace vm
