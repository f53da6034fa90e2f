#include "security/Sddl.h"

#include <array>
#include <cstdio>
#include <string_view>
#include <utility>
#include <vector>

namespace vm {
namespace {

struct Alias {
    std::wstring_view text;
    uint32_t value;
};

// Standard SDDL aliases of rights that the writer uses when a mask equals
// one exactly.
constexpr std::array<Alias, 12> kRightAliases{{
    {L"FA", 0x1F01FF},  // FILE_ALL_ACCESS
    {L"FR", 0x120089},  // FILE_GENERIC_READ
    {L"FW", 0x120116},  // FILE_GENERIC_WRITE
    {L"FX", 0x1200A0},  // FILE_GENERIC_EXECUTE
    {L"GA", 0x10000000},
    {L"GR", 0x80000000},
    {L"GW", 0x40000000},
    {L"GX", 0x20000000},
    {L"RC", 0x20000},  // READ_CONTROL
    {L"SD", 0x10000},  // DELETE
    {L"WD", 0x40000},  // WRITE_DAC
    {L"WO", 0x80000},  // WRITE_OWNER
}};

// The other rights aliases of the SDDL grammar (MS-DTYP 2.5.1.1), read but
// not written: the directory-service rights, which Windows and other
// writers use for the low bits ("CCDC" for 0x3), and the registry rights.
constexpr std::array<Alias, 13> kMoreRightAliases{{
    {L"CC", 0x1},
    {L"DC", 0x2},
    {L"LC", 0x4},
    {L"SW", 0x8},
    {L"RP", 0x10},
    {L"WP", 0x20},
    {L"DT", 0x40},
    {L"LO", 0x80},
    {L"CR", 0x100},
    {L"KA", 0xF003F},  // KEY_ALL_ACCESS
    {L"KR", 0x20019},  // KEY_READ
    {L"KW", 0x20006},  // KEY_WRITE
    {L"KX", 0x20019},  // KEY_EXECUTE
}};

// Entry flags in the order Windows writes them.
constexpr std::array<Alias, 8> kFlagAliases{{
    {L"OI", ace_flag::kObjectInherit},
    {L"CI", ace_flag::kContainerInherit},
    {L"NP", ace_flag::kNoPropagateInherit},
    {L"IO", ace_flag::kInheritOnly},
    {L"ID", ace_flag::kInherited},
    {L"CR", 0x20},  // CRITICAL_ACE_FLAG
    {L"SA", 0x40},  // SUCCESSFUL_ACCESS_ACE_FLAG
    {L"FA", 0x80},  // FAILED_ACCESS_ACE_FLAG
}};

constexpr std::array<Alias, 5> kTypeAliases{{
    {L"A", ace_type::kAccessAllowed},
    {L"D", ace_type::kAccessDenied},
    {L"AU", ace_type::kSystemAudit},
    {L"OA", ace_type::kAccessAllowedObject},
    {L"OD", ace_type::kAccessDeniedObject},
}};

// ACL control flags of a "D:" or "S:" section, in the order Windows writes them.
struct AclFlag {
    std::wstring_view text;
    uint16_t daclBit;
    uint16_t saclBit;
};
constexpr std::array<AclFlag, 3> kAclFlags{{
    {L"P", sd_control::kDaclProtected, sd_control::kSaclProtected},
    {L"AR", sd_control::kDaclAutoInheritReq, sd_control::kSaclAutoInheritReq},
    {L"AI", sd_control::kDaclAutoInherited, sd_control::kSaclAutoInherited},
}};
constexpr std::wstring_view kNoAccessControl = L"NO_ACCESS_CONTROL";

// SID aliases of the SDDL grammar (MS-DTYP 2.5.1.1) that do not depend on a
// domain.
struct SidAlias {
    std::wstring_view text;
    std::wstring_view sid;
};
constexpr std::array<SidAlias, 28> kSidAliases{{
    {L"AC", L"S-1-15-2-1"},   {L"AN", L"S-1-5-7"},      {L"AO", L"S-1-5-32-548"},
    {L"AU", L"S-1-5-11"},     {L"BA", L"S-1-5-32-544"}, {L"BG", L"S-1-5-32-546"},
    {L"BO", L"S-1-5-32-551"}, {L"BU", L"S-1-5-32-545"}, {L"CG", L"S-1-3-1"},
    {L"CO", L"S-1-3-0"},      {L"ED", L"S-1-5-9"},      {L"IU", L"S-1-5-4"},
    {L"LS", L"S-1-5-19"},     {L"NO", L"S-1-5-32-556"}, {L"NS", L"S-1-5-20"},
    {L"NU", L"S-1-5-2"},      {L"OW", L"S-1-3-4"},      {L"PO", L"S-1-5-32-550"},
    {L"PS", L"S-1-5-10"},     {L"PU", L"S-1-5-32-547"}, {L"RC", L"S-1-5-12"},
    {L"RD", L"S-1-5-32-555"}, {L"RE", L"S-1-5-32-552"}, {L"RU", L"S-1-5-32-554"},
    {L"SO", L"S-1-5-32-549"}, {L"SU", L"S-1-5-6"},      {L"SY", L"S-1-5-18"},
    {L"WD", L"S-1-1-0"},
}};
// The aliases with their SIDs, built once.
const std::vector<std::pair<std::wstring_view, Sid>>& SidAliasTable() {
    static const auto table = [] {
        std::vector<std::pair<std::wstring_view, Sid>> out;
        for (const auto& alias : kSidAliases)
            out.emplace_back(alias.text, *Sid::FromString(std::wstring(alias.sid)));
        return out;
    }();
    return table;
}

// ACE_OBJECT_TYPE_PRESENT, ACE_INHERITED_OBJECT_TYPE_PRESENT (MS-DTYP 2.4.4.3).
constexpr uint32_t kObjectTypePresent = 0x1;
constexpr uint32_t kInheritedObjectTypePresent = 0x2;
constexpr size_t kGuidSize = 16;

bool IsObjectEntryType(uint8_t type) {
    return type == ace_type::kAccessAllowedObject || type == ace_type::kAccessDeniedObject;
}

std::wstring Hex(uint32_t value, int width = 0) {
    wchar_t buffer[16];
    swprintf(buffer, 16, L"%0*x", width, static_cast<unsigned>(value));
    return buffer;
}

std::optional<unsigned> HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9')
        return static_cast<unsigned>(c - L'0');
    if (c >= L'a' && c <= L'f')
        return static_cast<unsigned>(c - L'a' + 10);
    if (c >= L'A' && c <= L'F')
        return static_cast<unsigned>(c - L'A' + 10);
    return std::nullopt;
}

// A 32-bit number as the SDDL grammar spells rights (MS-DTYP 2.5.1.1,
// ace-rights): "0x" and hex digits, "0" and octal digits, or decimal digits.
// Samba's test strings checked on Windows agree ("01234567" is 0x53977).
// Windows saturates values beyond 32 bits and takes a leading "-"; those are
// refused here as the errors they are.
std::optional<uint32_t> ParseMaskNumber(std::wstring_view text) {
    unsigned base = 10;
    if (text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) {
        base = 16;
        text.remove_prefix(2);
    } else if (text.size() > 1 && text[0] == L'0') {
        base = 8;
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    uint64_t value = 0;
    for (wchar_t c : text) {
        auto digit = HexDigit(c);
        if (!digit || *digit >= base)
            return std::nullopt;
        value = value * base + *digit;
        if (value > 0xFFFFFFFFull)
            return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

// Splits concatenated two-letter codes from a table and ORs their values.
template <size_t N>
std::optional<uint32_t> ParseAliasRun(std::wstring_view text, const std::array<Alias, N>& table) {
    uint32_t value = 0;
    while (!text.empty()) {
        bool matched = false;
        for (const auto& alias : table) {
            if (text.starts_with(alias.text)) {
                value |= alias.value;
                text.remove_prefix(alias.text.size());
                matched = true;
                break;
            }
        }
        if (!matched)
            return std::nullopt;
    }
    return value;
}

// GUID text "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx" to its 16 bytes (Data1 to
// Data3 little-endian, Data4 as written).
std::optional<Bytes> ParseGuid(std::wstring_view text) {
    if (text.size() != 36)
        return std::nullopt;
    std::array<uint8_t, kGuidSize> raw{};
    size_t nibble = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (text[i] != L'-')
                return std::nullopt;
            continue;
        }
        auto digit = HexDigit(text[i]);
        if (!digit)
            return std::nullopt;
        raw[nibble / 2] = static_cast<uint8_t>(raw[nibble / 2] | (*digit << (nibble % 2 ? 0 : 4)));
        ++nibble;
    }
    // raw holds the GUID as written (big-endian fields); swap the first three.
    Bytes out{raw[3], raw[2], raw[1], raw[0], raw[5], raw[4], raw[7], raw[6]};
    out.insert(out.end(), raw.begin() + 8, raw.end());
    return out;
}

std::wstring GuidText(std::span<const uint8_t> g) {
    std::wstring text = Hex(ReadLe32(g, 0), 8) + L"-" + Hex(ReadLe16(g, 4), 4) + L"-" +
                        Hex(ReadLe16(g, 6), 4) + L"-";
    for (size_t i = 8; i < kGuidSize; ++i) {
        if (i == 10)
            text += L"-";
        text += Hex(g[i], 2);
    }
    return text;
}

std::vector<std::wstring_view> SplitFields(std::wstring_view text) {
    std::vector<std::wstring_view> fields;
    while (true) {
        size_t semi = text.find(L';');
        fields.push_back(text.substr(0, semi));
        if (semi == std::wstring_view::npos)
            return fields;
        text.remove_prefix(semi + 1);
    }
}

// Reads SDDL text front to back and records where it failed.
class SddlReader {
  public:
    SddlReader(std::wstring_view text, ParseError* error) : text_(text), error_(error) {}

    std::optional<SecurityDescriptor> Descriptor() {
        SecurityDescriptor sd;
        bool seen[4] = {};
        while (at_ < text_.size()) {
            if (at_ + 1 >= text_.size() || text_[at_ + 1] != L':')
                return Fail("section expected", at_);
            wchar_t section = text_[at_];
            size_t which = SectionIndex(section);
            if (which == kNoSection)
                return Fail("unknown section", at_);
            if (seen[which])
                return Fail("section given twice", at_);
            seen[which] = true;
            at_ += 2;
            bool ok = false;
            switch (section) {
                case L'O':
                    ok = SidSection(sd.owner);
                    break;
                case L'G':
                    ok = SidSection(sd.group);
                    break;
                case L'D':
                    ok = AclSection(sd.dacl, sd.control, true);
                    break;
                default:
                    ok = AclSection(sd.sacl, sd.control, false);
                    break;
            }
            if (!ok)
                return std::nullopt;
        }
        return sd;
    }

    std::optional<Acl> EntriesOnly() {
        auto acl = Entries();
        if (acl && at_ != text_.size())
            return Fail("text after the entries", at_);
        return acl;
    }

    std::optional<Ace> EntryOnly() {
        auto ace = Entry();
        if (ace && at_ != text_.size())
            return Fail("text after the entry", at_);
        return ace;
    }

  private:
    static constexpr size_t kNoSection = 4;

    static size_t SectionIndex(wchar_t c) {
        switch (c) {
            case L'O':
                return 0;
            case L'G':
                return 1;
            case L'D':
                return 2;
            case L'S':
                return 3;
            default:
                return kNoSection;
        }
    }

    bool IsSectionStart(size_t i) const {
        return i + 1 < text_.size() && text_[i + 1] == L':' && SectionIndex(text_[i]) != kNoSection;
    }

    std::nullopt_t Fail(const char* message, size_t offset) {
        if (error_)
            *error_ = {message, offset};
        return std::nullopt;
    }

    // A SID runs up to the next section ("BAD:" is BA, then D:).
    bool SidSection(std::optional<Sid>& out) {
        size_t end = at_;
        while (end < text_.size() && !IsSectionStart(end))
            ++end;
        out = SddlToSid(std::wstring(text_.substr(at_, end - at_)));
        if (!out) {
            Fail("invalid SID", at_);
            return false;
        }
        at_ = end;
        return true;
    }

    bool AclSection(AclSlot& slot, uint16_t& control, bool isDacl) {
        slot = AclSlot::With(Acl::WithRoom(kAclHeaderSize));
        while (at_ < text_.size() && text_[at_] != L'(' && !IsSectionStart(at_)) {
            if (!AclFlagAt(slot, control, isDacl))
                return false;
        }
        if (slot.IsNull()) {
            if (at_ < text_.size() && text_[at_] == L'(') {
                Fail("entries after NO_ACCESS_CONTROL", at_);
                return false;
            }
            return true;
        }
        auto acl = Entries();
        if (!acl)
            return false;
        slot.acl = std::move(*acl);
        return true;
    }

    // One of P, AR, AI or NO_ACCESS_CONTROL (which makes the slot a NULL ACL).
    bool AclFlagAt(AclSlot& slot, uint16_t& control, bool isDacl) {
        auto rest = text_.substr(at_);
        if (rest.starts_with(kNoAccessControl)) {
            slot.acl.reset();
            at_ += kNoAccessControl.size();
            return true;
        }
        for (const auto& flag : kAclFlags) {
            if (rest.starts_with(flag.text)) {
                control |= isDacl ? flag.daclBit : flag.saclBit;
                at_ += flag.text.size();
                return true;
            }
        }
        Fail("unknown ACL flag", at_);
        return false;
    }

    std::optional<Acl> Entries() {
        Acl acl = Acl::WithRoom(kAclHeaderSize);
        size_t inUse = kAclHeaderSize;
        while (at_ < text_.size() && text_[at_] == L'(') {
            size_t start = at_;
            auto ace = Entry();
            if (!ace)
                return std::nullopt;
            if (IsObjectEntryType(ace->type))
                acl.revision = kAclRevisionDs;
            inUse += ace->Size();
            if (inUse > kMaxAclSize)
                return Fail("ACL larger than 64 KB", start);
            acl.aces.push_back(std::move(*ace));
        }
        return acl.Compacted();
    }

    std::optional<Ace> Entry() {
        if (at_ >= text_.size() || text_[at_] != L'(')
            return Fail("'(' expected", at_);
        size_t close = text_.find(L')', at_);
        if (close == std::wstring_view::npos)
            return Fail("')' missing", at_);
        size_t start = at_ + 1;
        auto fields = SplitFields(text_.substr(start, close - start));
        at_ = close + 1;
        if (fields.size() != 6)
            return Fail("an entry has six fields", start);
        return EntryFromFields(fields, start);
    }

    std::optional<Ace> EntryFromFields(const std::vector<std::wstring_view>& f, size_t start) {
        std::optional<uint32_t> type = ParseExact(f[0], kTypeAliases);
        if (!type)
            return Fail("unknown entry type", start);
        auto flags = ParseAliasRun(f[1], kFlagAliases);
        if (!flags)
            return Fail("unknown entry flag", start);
        // An empty rights field grants nothing (Windows reads it as 0).
        auto mask = f[2].empty() ? std::optional<uint32_t>(0) : SddlToMask(std::wstring(f[2]));
        if (!mask)
            return Fail("invalid rights", start);
        auto sid = SddlToSid(std::wstring(f[5]));
        if (!sid)
            return Fail("invalid SID", start);
        Ace ace{static_cast<uint8_t>(*type), static_cast<uint8_t>(*flags), *mask, *sid, {}};
        if (IsObjectEntryType(ace.type))
            return ObjectBody(ace, f[3], f[4], start);
        if (!f[3].empty() || !f[4].empty())
            return Fail("object types only on OA and OD entries", start);
        return ace;
    }

    // Object entries keep their whole body in `extra` (see Ace).
    std::optional<Ace> ObjectBody(Ace& ace, std::wstring_view objectType,
                                  std::wstring_view inheritedType, size_t start) {
        uint32_t objectFlags = 0;
        Bytes guids;
        for (auto [text, bit] : {std::pair{objectType, kObjectTypePresent},
                                 std::pair{inheritedType, kInheritedObjectTypePresent}}) {
            if (text.empty())
                continue;
            auto guid = ParseGuid(text);
            if (!guid)
                return Fail("invalid GUID", start);
            objectFlags |= bit;
            guids.insert(guids.end(), guid->begin(), guid->end());
        }
        AppendLe32(ace.extra, ace.mask);
        AppendLe32(ace.extra, objectFlags);
        ace.extra.insert(ace.extra.end(), guids.begin(), guids.end());
        ace.sid->AppendTo(ace.extra);
        return ace;
    }

    template <size_t N>
    static std::optional<uint32_t> ParseExact(std::wstring_view text,
                                              const std::array<Alias, N>& table) {
        for (const auto& alias : table) {
            if (alias.text == text)
                return alias.value;
        }
        return std::nullopt;
    }

    std::wstring_view text_;
    ParseError* error_;
    size_t at_ = 0;
};

std::wstring FlagsToSddl(uint8_t flags) {
    std::wstring text;
    for (const auto& alias : kFlagAliases) {
        if (flags & alias.value)
            text += alias.text;
    }
    return text;
}

std::wstring TypeToSddl(uint8_t type) {
    for (const auto& alias : kTypeAliases) {
        if (alias.value == type)
            return std::wstring(alias.text);
    }
    return L"0x" + Hex(type, 2);
}

// The object entry's fields when its body is regular: flags, GUIDs, SID and
// nothing after it.
struct ObjectFields {
    std::wstring objectType;
    std::wstring inheritedType;
    Sid sid;
};

std::optional<ObjectFields> ReadObjectFields(const Ace& ace) {
    std::span<const uint8_t> body(ace.extra);
    if (body.size() < 8)
        return std::nullopt;
    uint32_t objectFlags = ReadLe32(body, 4);
    if (objectFlags & ~(kObjectTypePresent | kInheritedObjectTypePresent))
        return std::nullopt;
    ObjectFields fields;
    size_t at = 8;
    for (auto [bit, out] : {std::pair{kObjectTypePresent, &fields.objectType},
                            std::pair{kInheritedObjectTypePresent, &fields.inheritedType}}) {
        if (!(objectFlags & bit))
            continue;
        if (body.size() < at + kGuidSize)
            return std::nullopt;
        *out = GuidText(body.subspan(at, kGuidSize));
        at += kGuidSize;
    }
    size_t sidLength = 0;
    auto sid = Sid::Parse(body.subspan(at), &sidLength);
    if (!sid || at + sidLength != body.size())
        return std::nullopt;
    fields.sid = *sid;
    return fields;
}

std::wstring AclFlagsToSddl(uint16_t control, bool isDacl) {
    std::wstring text;
    for (const auto& flag : kAclFlags) {
        if (control & (isDacl ? flag.daclBit : flag.saclBit))
            text += flag.text;
    }
    return text;
}

std::wstring SlotToSddl(wchar_t section, const AclSlot& slot, uint16_t control, bool isDacl) {
    if (!slot.present)
        return {};
    std::wstring text{section, L':'};
    text += AclFlagsToSddl(control, isDacl);
    text += slot.acl ? AclToSddl(*slot.acl) : std::wstring(kNoAccessControl);
    return text;
}

}  // namespace

std::optional<SecurityDescriptor> SddlToDescriptor(const std::wstring& sddl, ParseError* error) {
    return SddlReader(sddl, error).Descriptor();
}

std::optional<Bytes> SddlToBytes(const std::wstring& sddl, ParseError* error) {
    auto sd = SddlToDescriptor(sddl, error);
    if (!sd)
        return std::nullopt;
    return sd->ToSelfRelative();
}

std::wstring DescriptorToSddl(const SecurityDescriptor& descriptor) {
    std::wstring text;
    if (descriptor.owner)
        text += L"O:" + SidToSddl(*descriptor.owner);
    if (descriptor.group)
        text += L"G:" + SidToSddl(*descriptor.group);
    text += SlotToSddl(L'D', descriptor.dacl, descriptor.control, true);
    text += SlotToSddl(L'S', descriptor.sacl, descriptor.control, false);
    return text;
}

std::optional<Acl> SddlToAcl(const std::wstring& entries, ParseError* error) {
    return SddlReader(entries, error).EntriesOnly();
}

std::wstring AclToSddl(const Acl& acl) {
    std::wstring text;
    for (const auto& ace : acl.aces)
        text += AceToSddl(ace);
    return text;
}

std::optional<Ace> SddlToAce(const std::wstring& entry, ParseError* error) {
    return SddlReader(entry, error).EntryOnly();
}

std::wstring AceToSddl(const Ace& ace) {
    std::wstring objectType, inheritedType;
    std::optional<Sid> sid = ace.sid;
    bool expressible = ace.type <= ace_type::kSystemAudit && ace.extra.empty();
    if (IsObjectEntryType(ace.type)) {
        if (auto fields = ReadObjectFields(ace)) {
            objectType = fields->objectType;
            inheritedType = fields->inheritedType;
            sid = fields->sid;
            expressible = true;
        }
    }
    std::wstring type = expressible ? TypeToSddl(ace.type) : L"0x" + Hex(ace.type, 2);
    return L"(" + type + L";" + FlagsToSddl(ace.flags) + L";" + MaskToSddl(ace.mask) + L";" +
           objectType + L";" + inheritedType + L";" + (sid ? SidToSddl(*sid) : L"") + L")";
}

std::optional<Sid> SddlToSid(const std::wstring& text) {
    for (const auto& [alias, sid] : SidAliasTable()) {
        if (alias == text)
            return sid;
    }
    if (text.starts_with(L"S-"))
        return Sid::FromString(text);
    return std::nullopt;
}

std::wstring SidToSddl(const Sid& sid) {
    for (const auto& [alias, aliased] : SidAliasTable()) {
        if (aliased == sid)
            return std::wstring(alias);
    }
    return sid.ToString();
}

std::optional<uint32_t> SddlToMask(const std::wstring& text) {
    if (!text.empty() && text[0] >= L'0' && text[0] <= L'9')
        return ParseMaskNumber(text);
    if (text.empty())
        return std::nullopt;
    uint32_t mask = 0;
    std::wstring_view rest = text;
    while (!rest.empty()) {
        auto code = rest.substr(0, 2);
        auto value = ParseAliasRun(code, kRightAliases);
        if (!value)
            value = ParseAliasRun(code, kMoreRightAliases);
        if (!value)
            return std::nullopt;
        mask |= *value;
        rest.remove_prefix(code.size());
    }
    return mask;
}

std::wstring MaskToSddl(uint32_t mask) {
    for (const auto& alias : kRightAliases) {
        if (alias.value == mask)
            return std::wstring(alias.text);
    }
    return L"0x" + Hex(mask);
}

}  // namespace vm
