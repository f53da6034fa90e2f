#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "platform/Utf16.h"
#include "security/Sddl.h"
#include "security/SecurityDescriptor.h"

namespace vm {
namespace {

TEST(Sid, StringFormRoundTripsAndRejectsNonsense) {
    auto admins = Sid::FromString(L"S-1-5-32-544");
    ASSERT_TRUE(admins);
    EXPECT_EQ(*admins, sids::Administrators());
    EXPECT_EQ(admins->ToString(), L"S-1-5-32-544");
    EXPECT_EQ(admins->ToBytes(), (Bytes{1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x20, 2, 0, 0}));
    EXPECT_EQ(sids::TrustedInstaller().ToString(),
              L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464");
    for (const wchar_t* bad : {L"", L"S-", L"S-2-5", L"S-1-5-", L"S-1-x", L"S-1-5-4294967296",
                               L"S-1-5-1-2-3-4-5-6-7-8-9-10-11-12-13-14-15-16"}) {
        EXPECT_FALSE(Sid::FromString(bad));
    }
}

TEST(Sid, ParseChecksCountAgainstBytes) {
    Bytes bytes = sids::Administrators().ToBytes();
    EXPECT_TRUE(Sid::Parse(bytes));
    bytes.pop_back();
    EXPECT_FALSE(Sid::Parse(bytes));
    bytes = sids::Everyone().ToBytes();
    bytes[1] = 16;  // more sub-authorities than a SID may have
    EXPECT_FALSE(Sid::Parse(bytes));
}

// The default descriptor for drive roots: eight allow entries, control 0x8404.
TEST(SecurityDescriptor, DaclOnlyDescriptorHasExpectedLayout) {
    Acl acl = Acl::WithRoom(1024);
    acl.AddAce(kAppendIndex, Ace::Allow(sids::Administrators(), 0x1F01FF));
    acl.AddAce(kAppendIndex, Ace::Allow(sids::Administrators(), 0x10000000, 0x0B));
    auto sd = DaclOnlyDescriptor(AclSlot::With(acl.Compacted()), 0x0400);
    Bytes bytes = sd.ToSelfRelative();
    EXPECT_EQ(ReadLe16(bytes, 2), 0x8404);
    EXPECT_EQ(ReadLe32(bytes, 16), 20u);  // DACL right after the header
    EXPECT_EQ(ReadLe32(bytes, 4), 0u);    // no owner
    ASSERT_EQ(bytes.size(), 20u + 8 + 2 * 24);
    auto back = SecurityDescriptor::Parse(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->ToSelfRelative(), bytes);
    EXPECT_EQ(back->dacl.acl->aces.size(), 2u);
}

TEST(SecurityDescriptor, NullAndEmptyDaclAreToldApart) {
    auto nullSd = SecurityDescriptor::Parse(DaclOnlyDescriptor(AclSlot::Null()).ToSelfRelative());
    auto emptySd = SecurityDescriptor::Parse(
        DaclOnlyDescriptor(AclSlot::With(Acl::WithRoom(8))).ToSelfRelative());
    auto noSd = SecurityDescriptor::Parse(DaclOnlyDescriptor(AclSlot::Absent()).ToSelfRelative());
    ASSERT_TRUE(nullSd && emptySd && noSd);
    EXPECT_TRUE(nullSd->HasNullDacl());
    EXPECT_FALSE(emptySd->HasNullDacl());
    EXPECT_TRUE(emptySd->dacl.acl->aces.empty());
    EXPECT_FALSE(noSd->dacl.present);
}

// ---- Entries of every layout ----------------------------------------------------

Bytes AceBytes(const Ace& ace) {
    Bytes out;
    ace.AppendTo(out);
    return out;
}

// Parses one entry and writes it back.
Bytes RoundTripAce(const Bytes& bytes) {
    size_t consumed = 0;
    auto ace = Ace::Parse(bytes, &consumed);
    EXPECT_TRUE(ace);
    EXPECT_EQ(consumed, bytes.size());
    return ace ? AceBytes(*ace) : Bytes{};
}

TEST(Ace, AllowAndDenyLayout) {
    // type, flags, AceSize 24, mask 0x1F01FF, then S-1-5-32-544
    Bytes expected{0, 0x13, 24, 0, 0xFF, 0x01, 0x1F, 0, 1,    2, 0, 0,
                   0, 0,    0,  5, 32,   0,    0,    0, 0x20, 2, 0, 0};
    EXPECT_EQ(AceBytes(Ace::Allow(sids::Administrators(), 0x1F01FF, 0x13)), expected);
    EXPECT_EQ(Ace::Allow(sids::Administrators(), 0).Size(), 8 + sids::Administrators().length());
    expected[0] = 1;
    EXPECT_EQ(AceBytes(Ace::Deny(sids::Administrators(), 0x1F01FF, 0x13)), expected);
}

TEST(Ace, OtherLayoutsTravelByteForByte) {
    // Allowed object entry (type 5): mask, ACE_OBJECT_TYPE_PRESENT, one GUID, SID.
    Bytes object{5, 0x02, 44, 0, 0x30, 0, 0, 0, 1, 0, 0, 0};
    for (uint8_t i = 0; i < 16; ++i)
        object.push_back(static_cast<uint8_t>(0xA0 + i));
    Bytes sid = sids::Everyone().ToBytes();
    object.insert(object.end(), sid.begin(), sid.end());
    object.resize(44, 0);  // trailing bytes inside the entry are kept too
    EXPECT_EQ(RoundTripAce(object), object);
    size_t consumed = 0;
    EXPECT_EQ(Ace::Parse(object, &consumed)->sid, sids::Everyone());

    // Denied object entry with both GUIDs absent.
    Bytes deniedObject{6, 0, 24, 0, 1, 0, 0, 0, 0, 0, 0, 0};
    Bytes system = sids::System().ToBytes();
    deniedObject.insert(deniedObject.end(), system.begin(), system.end());
    EXPECT_EQ(RoundTripAce(deniedObject), deniedObject);
    EXPECT_EQ(Ace::Parse(deniedObject, &consumed)->sid, sids::System());

    // An object entry whose GUID flags point past its end has no trustee but
    // is still carried.
    Bytes lying{5, 0, 12, 0, 1, 0, 0, 0, 3, 0, 0, 0};
    EXPECT_EQ(RoundTripAce(lying), lying);
    EXPECT_FALSE(Ace::Parse(lying, &consumed)->sid);

    // A type nobody knows, and a callback entry with application data.
    Bytes unknown{0x42, 0x1F, 12, 0, 0xDE, 0xAD, 0xBE, 0xEF, 1, 2, 3, 4};
    EXPECT_EQ(RoundTripAce(unknown), unknown);
    Bytes callback = AceBytes(Ace::Allow(sids::Users(), 0x1200A9));
    callback[0] = 9;  // ACCESS_ALLOWED_CALLBACK_ACE_TYPE
    callback[2] = static_cast<uint8_t>(callback.size() + 4);
    callback.insert(callback.end(), {'a', 'r', 't', 'x'});
    EXPECT_EQ(RoundTripAce(callback), callback);
}

TEST(Ace, ChangedMaskIsWrittenForEveryLayout) {
    Bytes unknown{0x42, 0, 12, 0, 0xDE, 0xAD, 0xBE, 0xEF, 1, 2, 3, 4};
    size_t consumed = 0;
    auto ace = Ace::Parse(unknown, &consumed);
    ASSERT_TRUE(ace);
    ace->mask = 0x1F01FF;
    Bytes written = AceBytes(*ace);
    EXPECT_EQ(ReadLe32(written, 4), 0x1F01FFu);
    EXPECT_EQ(Bytes(written.begin() + 8, written.end()), (Bytes{1, 2, 3, 4}));
}

// ---- Room accounting of AddAce ----------------------------------------------------

TEST(Acl, AddAceNeedsExactlyTheRoomOfTheEntry) {
    const Ace first = Ace::Allow(sids::Everyone(), 0x1200A9);            // 20 bytes
    const Ace second = Ace::Deny(sids::Administrators(), 0x40000, 0x3);  // 24 bytes
    // The room an add needs: bytes in use + 8 + the SID's length.
    Acl acl = Acl::WithRoom(
        static_cast<uint16_t>(kAclHeaderSize + first.Size() + 8 + sids::Administrators().length()));
    ASSERT_TRUE(acl.AddAce(kAppendIndex, first).ok());
    Acl full = acl;
    full.size -= 1;
    EXPECT_EQ(full.AddAce(kAppendIndex, second).error, kErrorAllottedSpaceExceeded);
    EXPECT_EQ(full.aces.size(), 1u);  // unchanged by the refusal
    ASSERT_TRUE(acl.AddAce(kAppendIndex, second).ok());
    EXPECT_EQ(acl.BytesFree(), 0u);
    EXPECT_EQ(acl.AddAce(0, first).error, kErrorAllottedSpaceExceeded);
}

TEST(Acl, AddAceInsertsAtTheIndexOrAppends) {
    Acl acl = Acl::WithRoom(1024);
    const Ace a = Ace::Allow(sids::Everyone(), 1), b = Ace::Allow(sids::Users(), 2),
              c = Ace::Allow(sids::System(), 3), d = Ace::Allow(sids::CreatorOwner(), 4);
    acl.AddAce(kAppendIndex, a);
    acl.AddAce(0, b);   // before a
    acl.AddAce(1, c);   // between b and a
    acl.AddAce(99, d);  // past the end appends
    EXPECT_EQ(acl.aces, (std::vector<Ace>{b, c, a, d}));
    Bytes bytes = acl.ToBytes();
    EXPECT_EQ(bytes.size(), 1024u);
    EXPECT_EQ(ReadLe16(bytes, 2), 1024u);
    EXPECT_EQ(ReadLe16(bytes, 4), 4u);
    auto back = Acl::Parse(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, acl);
    EXPECT_EQ(back->Compacted().ToBytes().size(), acl.BytesInUse());
}

// ---- The three default descriptors of the reset command ------------------------

struct DefaultEntry {
    Sid trustee;
    uint8_t flags;
    uint32_t mask;
};

Bytes BuildDefault(const std::vector<DefaultEntry>& entries, uint16_t control) {
    Acl acl = Acl::WithRoom(static_cast<uint16_t>(kMaxAclSize));
    for (const auto& e : entries)
        EXPECT_TRUE(acl.AddAce(kAppendIndex, Ace::Allow(e.trustee, e.mask, e.flags)).ok());
    return DaclOnlyDescriptor(AclSlot::With(acl.Compacted()), control).ToSelfRelative();
}

TEST(SecurityDescriptor, DefaultDescriptorsHaveTheirControlWords) {
    const Sid admins = sids::Administrators(), system = sids::System(),
              authenticated = sids::AuthenticatedUsers(), users = sids::Users(),
              installer = sids::TrustedInstaller(), creator = sids::CreatorOwner();
    Bytes otherRoots = BuildDefault({{admins, 0, 0x1F01FF},
                                     {admins, 0x0B, 0x10000000},
                                     {system, 0, 0x1F01FF},
                                     {system, 0x0B, 0x10000000},
                                     {authenticated, 0, 0x1301BF},
                                     {authenticated, 0x0B, 0xE0010000},
                                     {users, 0, 0x1200A9},
                                     {users, 0x0B, 0xA0000000}},
                                    sd_control::kDaclAutoInherited);
    Bytes systemRoot = BuildDefault({{admins, 0, 0x1F01FF},
                                     {admins, 0x0B, 0x10000000},
                                     {system, 0, 0x1F01FF},
                                     {system, 0x0B, 0x10000000},
                                     {users, 0x03, 0x1200A9},
                                     {authenticated, 0x0B, 0xE0010000},
                                     {authenticated, 0, 0x4}},
                                    sd_control::kDaclAutoInherited | sd_control::kDaclProtected);
    Bytes systemFolders = BuildDefault({{installer, 0, 0x1F01FF},
                                        {installer, 0x0A, 0x10000000},
                                        {system, 0, 0x1301BF},
                                        {system, 0x0B, 0x10000000},
                                        {admins, 0, 0x1301BF},
                                        {admins, 0x0B, 0x10000000},
                                        {users, 0, 0x1200A9},
                                        {users, 0x0B, 0xA0000000},
                                        {creator, 0x0B, 0x10000000}},
                                       sd_control::kDaclAutoInherited | sd_control::kDaclProtected);
    EXPECT_EQ(ReadLe16(otherRoots, 2), 0x8404);
    EXPECT_EQ(ReadLe16(systemRoot, 2), 0x9404);
    EXPECT_EQ(ReadLe16(systemFolders, 2), 0x9404);
    // Header 20 + ACL header 8 + entries; the DACL right after the header.
    EXPECT_EQ(otherRoots.size(), 20u + 8 + 4 * 24 + 4 * 20);
    EXPECT_EQ(systemFolders.size(), 20u + 8 + 2 * 40 + 2 * 20 + 4 * 24 + 20);
    EXPECT_EQ(DescriptorToSddl(*SecurityDescriptor::Parse(systemRoot)),
              L"D:PAI(A;;FA;;;BA)(A;OICIIO;GA;;;BA)(A;;FA;;;SY)(A;OICIIO;GA;;;SY)"
              L"(A;OICI;0x1200a9;;;BU)(A;OICIIO;0xe0010000;;;AU)(A;;0x4;;;AU)");
    for (const Bytes* bytes : {&otherRoots, &systemRoot, &systemFolders}) {
        auto parsed = SecurityDescriptor::Parse(*bytes);
        ASSERT_TRUE(parsed);
        EXPECT_FALSE(parsed->owner);
        EXPECT_EQ(parsed->ToSelfRelative(), *bytes);
    }
}

// ---- Readers refuse descriptors that lie ------------------------------------------

// A valid descriptor to break: owner, group and a DACL with two entries.
Bytes SampleDescriptor() {
    return SddlToBytes(L"O:BAG:SYD:AI(A;OICI;FA;;;BA)(D;;WD;;;WD)").value();
}

TEST(SecurityDescriptor, SampleLayoutIsAsWindowsWritesIt) {
    Bytes bytes = SampleDescriptor();
    EXPECT_EQ(ReadLe32(bytes, 12), 0u);   // no SACL
    EXPECT_EQ(ReadLe32(bytes, 16), 20u);  // DACL first
    EXPECT_EQ(ReadLe32(bytes, 4), 20u + 8 + 24 + 20);
    EXPECT_EQ(ReadLe32(bytes, 8), 20u + 8 + 24 + 20 + 16);
    EXPECT_EQ(bytes.size(), 20u + 8 + 24 + 20 + 16 + 12);
}

TEST(SecurityDescriptor, MalformedDescriptorsAreRefused) {
    const Bytes good = SampleDescriptor();
    ASSERT_TRUE(SecurityDescriptor::Parse(good));
    const size_t dacl = 20, firstAce = dacl + 8, owner = ReadLe32(good, 4),
                 group = ReadLe32(good, 8);
    struct Case {
        const char* what;
        std::function<void(Bytes&)> breakIt;
    };
    auto set16 = [](size_t at, uint16_t v) { return [=](Bytes& b) { WriteLe16(b, at, v); }; };
    auto set32 = [](size_t at, uint32_t v) { return [=](Bytes& b) { WriteLe32(b, at, v); }; };
    auto set8 = [](size_t at, uint8_t v) { return [=](Bytes& b) { b[at] = v; }; };
    const Case cases[] = {
        {"empty", [](Bytes& b) { b.clear(); }},
        {"header cut", [](Bytes& b) { b.resize(19); }},
        {"group cut", [](Bytes& b) { b.pop_back(); }},
        {"descriptor revision 2", set8(0, 2)},
        {"absolute form", set16(2, 0x0404)},
        {"owner inside the header", set32(4, 8)},
        {"owner beyond the bytes", set32(4, 0xFFFFFFF0)},
        {"group at the last byte", [](Bytes& b) { WriteLe32(b, 8, uint32_t(b.size() - 1)); }},
        {"owner SID revision", set8(owner, 2)},
        {"owner SID with 16 sub-authorities", set8(owner, 16)},
        {"group SID count past the bytes", set8(group + 1, 5)},
        {"owner overlaps the DACL", set32(4, dacl + 8)},
        {"group equals owner", set32(8, owner)},
        {"DACL beyond the bytes", set32(16, 0x10000)},
        {"SACL present with garbage",
         [](Bytes& b) {
             WriteLe16(b, 2, static_cast<uint16_t>(ReadLe16(b, 2) | 0x10));
             WriteLe32(b, 12, static_cast<uint32_t>(b.size() - 4));
         }},
        {"ACL revision 1", set8(dacl, 1)},
        {"ACL revision 5", set8(dacl, 5)},
        {"ACL size below its header", set16(dacl + 2, 4)},
        {"ACL size beyond the bytes", set16(dacl + 2, 0x2000)},
        {"entry count the size cannot hold", set16(dacl + 4, 100)},
        {"entry count one too many", set16(dacl + 4, 3)},
        {"entry size below 8", set16(firstAce + 2, 4)},
        {"entry size beyond the ACL", set16(firstAce + 2, 200)},
        {"entry SID count beyond the entry", set8(firstAce + 9, 6)},
        {"entry size cuts its SID", set16(firstAce + 2, 20)},
    };
    for (const auto& c : cases) {
        Bytes bytes = good;
        c.breakIt(bytes);
        ParseError error;
        EXPECT_FALSE(SecurityDescriptor::Parse(bytes, &error)) << c.what;
        EXPECT_FALSE(error.message.empty()) << c.what;
        EXPECT_LE(error.offset, std::max<size_t>(bytes.size(), 20)) << c.what;
    }
}

TEST(SecurityDescriptor, FreeRoomAndPartOrderSurviveRereading) {
    // A DACL with free room, and parts in an order Windows does not write.
    Acl acl = Acl::WithRoom(64);
    acl.AddAce(kAppendIndex, Ace::Allow(sids::Everyone(), 0x1200A9));
    SecurityDescriptor sd;
    sd.owner = sids::Administrators();
    sd.dacl = AclSlot::With(acl);
    Bytes bytes = sd.ToSelfRelative();
    EXPECT_EQ(bytes.size(), 20u + 64 + 16);
    auto back = SecurityDescriptor::Parse(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->dacl.acl->size, 64);
    EXPECT_EQ(back->dacl.acl->BytesFree(), 64u - 8 - 20);

    // Owner first, DACL after it, a gap of four bytes between.
    Bytes shuffled(20, 0);
    shuffled[0] = 1;
    WriteLe16(shuffled, 2, 0x8004);
    Bytes owner = sids::Administrators().ToBytes();
    WriteLe32(shuffled, 4, 20);
    shuffled.insert(shuffled.end(), owner.begin(), owner.end());
    shuffled.insert(shuffled.end(), 4, 0xCC);
    WriteLe32(shuffled, 16, static_cast<uint32_t>(shuffled.size()));
    Bytes aclBytes = acl.Compacted().ToBytes();
    shuffled.insert(shuffled.end(), aclBytes.begin(), aclBytes.end());
    auto parsed = SecurityDescriptor::Parse(shuffled);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->owner, sids::Administrators());
    auto rewritten = SecurityDescriptor::Parse(parsed->ToSelfRelative());
    ASSERT_TRUE(rewritten);
    EXPECT_EQ(*rewritten, *parsed);
}

}  // namespace
}  // namespace vm
