// Bodies of the fuzz targets, shared by the libFuzzer programs of this folder
// and by the replay test of the native suite. Each takes arbitrary bytes and
// returns an empty text when every property held, or what went wrong. Under
// the sanitizers a read outside the input or undefined behaviour stops the
// program on its own.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "security/Sddl.h"
#include "security/SecurityDescriptor.h"

namespace vm::fuzz {

namespace detail {

inline std::string CheckRefusal(const ParseError& error, size_t inputSize) {
    if (error.message.empty())
        return "refused without a reason";
    if (error.offset > inputSize)
        return "error offset outside the input";
    return {};
}

inline bool SameEntries(const AclSlot& a, const AclSlot& b) {
    if (a.present != b.present || a.IsNull() != b.IsNull())
        return false;
    return !a.acl || a.acl->aces == b.acl->aces;
}

// A descriptor whose entries SDDL can express must read back from its SDDL
// with the same owner, group and entries.
inline std::string CheckSddlOfDescriptor(const SecurityDescriptor& sd) {
    std::wstring sddl = DescriptorToSddl(sd);
    if (sddl.find(L"(0x") != std::wstring::npos)
        return {};  // an entry written for diagnostics only
    auto back = SddlToDescriptor(sddl);
    if (!back)
        return "SDDL of a descriptor does not read back";
    if (back->owner != sd.owner || back->group != sd.group)
        return "SDDL changes the owner or group";
    if (!SameEntries(back->dacl, sd.dacl) || !SameEntries(back->sacl, sd.sacl))
        return "SDDL changes the entries";
    return {};
}

}  // namespace detail

// The self-relative reader: refuses with a reason or reads a descriptor that
// writes back to bytes reading the same.
inline std::string CheckDescriptorBytes(std::span<const uint8_t> data) {
    // The part readers on their own, from the same bytes.
    size_t consumed = 0;
    (void)Sid::Parse(data, &consumed);
    (void)Ace::Parse(data, &consumed);
    (void)Acl::Parse(data);

    ParseError error;
    auto sd = SecurityDescriptor::Parse(data, &error);
    if (!sd)
        return detail::CheckRefusal(error, data.size());
    Bytes written = sd->ToSelfRelative();
    auto again = SecurityDescriptor::Parse(written);
    if (!again)
        return "written descriptor does not read";
    if (!(*again == *sd))
        return "written descriptor reads differently";
    if (again->ToSelfRelative() != written)
        return "writing is not stable";
    return detail::CheckSddlOfDescriptor(*sd);
}

// The SDDL reader, each byte taken as one character: refuses with a reason
// or reads a descriptor whose bytes read back and whose SDDL gives the same
// bytes again.
inline std::string CheckSddlText(std::span<const uint8_t> data) {
    std::wstring text(data.begin(), data.end());
    ParseError error;
    auto sd = SddlToDescriptor(text, &error);
    if (!sd)
        return detail::CheckRefusal(error, text.size());
    Bytes bytes = sd->ToSelfRelative();
    auto parsed = SecurityDescriptor::Parse(bytes);
    if (!parsed)
        return "bytes built from SDDL do not read";
    if (parsed->ToSelfRelative() != bytes)
        return "bytes built from SDDL change when rewritten";
    auto again = SddlToBytes(DescriptorToSddl(*sd));
    if (!again || *again != bytes)
        return "written SDDL does not give the same bytes";
    return {};
}

}  // namespace vm::fuzz
