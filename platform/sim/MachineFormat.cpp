#include "platform/sim/MachineFormat.h"

#include <array>
#include <utility>

#include "platform/sim/MachineText.h"
#include "security/Sddl.h"

namespace vm::sim::machine_format {

namespace {

constexpr std::array<std::pair<SidNameUse, const wchar_t*>, 10> kUseNames{{
    {SidNameUse::kUser, L"user"},
    {SidNameUse::kGroup, L"group"},
    {SidNameUse::kDomain, L"domain"},
    {SidNameUse::kAlias, L"alias"},
    {SidNameUse::kWellKnownGroup, L"well-known-group"},
    {SidNameUse::kDeletedAccount, L"deleted-account"},
    {SidNameUse::kInvalid, L"invalid"},
    {SidNameUse::kUnknown, L"unknown"},
    {SidNameUse::kComputer, L"computer"},
    {SidNameUse::kLabel, L"label"},
}};

// The DACL bits an object keeps; SetFileSecurityW takes the same ones over.
constexpr uint16_t kStoredControl = sd_control::kDaclBits & ~sd_control::kDaclPresent;

std::optional<SecurityDescriptor> WithoutSacl(const SecurityDescriptor& descriptor,
                                              std::wstring* error) {
    if (descriptor.sacl.present) {
        *error = L"a machine description keeps no system ACL";
        return std::nullopt;
    }
    return StoredPart(descriptor);
}

}  // namespace

const wchar_t* UseName(SidNameUse use) {
    for (const auto& [value, name] : kUseNames) {
        if (value == use)
            return name;
    }
    return L"unknown";
}

std::optional<SidNameUse> UseFromName(const std::wstring& name) {
    for (const auto& [value, word] : kUseNames) {
        if (name == word)
            return value;
    }
    return std::nullopt;
}

SecurityDescriptor StoredPart(SecurityDescriptor descriptor) {
    descriptor.revision = kSecurityDescriptorRevision;
    descriptor.control &= kStoredControl;
    descriptor.sacl = AclSlot::Absent();
    return descriptor;
}

std::wstring SecurityText(const SecurityDescriptor& descriptor) {
    SecurityDescriptor stored = StoredPart(descriptor);
    std::wstring sddl = DescriptorToSddl(stored);
    // SDDL does not carry an ACL's revision or spare room, nor DACL_DEFAULTED:
    // such descriptors go as bytes so that they come back exactly.
    auto again = SddlToDescriptor(sddl);
    bool exact = again && StoredPart(*again) == stored && sddl.find(L' ') == std::wstring::npos;
    if (exact)
        return sddl;
    return kBinaryPrefix + EncodeBase64(stored.ToSelfRelative());
}

std::optional<SecurityDescriptor> ParseSecurityText(const std::wstring& text, std::wstring* error) {
    std::wstring_view prefix = kBinaryPrefix;
    if (text.starts_with(prefix)) {
        auto bytes = DecodeBase64(std::wstring_view(text).substr(prefix.size()));
        if (!bytes) {
            *error = L"the bytes after \"binary:\" are not base64";
            return std::nullopt;
        }
        ParseError parseError;
        auto descriptor = SecurityDescriptor::Parse(*bytes, &parseError);
        if (!descriptor) {
            *error = L"the descriptor bytes are not valid at byte " +
                     std::to_wstring(parseError.offset) + L": " +
                     std::wstring(parseError.message.begin(), parseError.message.end());
            return std::nullopt;
        }
        return WithoutSacl(*descriptor, error);
    }
    ParseError parseError;
    auto descriptor = SddlToDescriptor(text, &parseError);
    if (!descriptor) {
        *error = L"the security text is not valid SDDL at character " +
                 std::to_wstring(parseError.offset + 1) + L": " +
                 std::wstring(parseError.message.begin(), parseError.message.end());
        return std::nullopt;
    }
    return WithoutSacl(*descriptor, error);
}

}  // namespace vm::sim::machine_format
