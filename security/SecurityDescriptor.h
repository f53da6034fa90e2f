// Security descriptors in self-relative form (MS-DTYP 2.4.6): a 20-byte
// header (revision, Sbz1, control, offsets of owner, group, SACL and DACL)
// followed by the parts. A DACL can be absent (DACL_PRESENT clear), NULL
// (present with offset 0: everybody may do everything) or a list, possibly
// empty (nobody but the owner may change it). The three are kept apart.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "security/Acl.h"

namespace vm {

// SECURITY_DESCRIPTOR_CONTROL bits.
namespace sd_control {
inline constexpr uint16_t kOwnerDefaulted = 0x0001;
inline constexpr uint16_t kGroupDefaulted = 0x0002;
inline constexpr uint16_t kDaclPresent = 0x0004;
inline constexpr uint16_t kDaclDefaulted = 0x0008;
inline constexpr uint16_t kSaclPresent = 0x0010;
inline constexpr uint16_t kSaclDefaulted = 0x0020;
inline constexpr uint16_t kDaclAutoInheritReq = 0x0100;
inline constexpr uint16_t kSaclAutoInheritReq = 0x0200;
inline constexpr uint16_t kDaclAutoInherited = 0x0400;
inline constexpr uint16_t kSaclAutoInherited = 0x0800;
inline constexpr uint16_t kDaclProtected = 0x1000;
inline constexpr uint16_t kSaclProtected = 0x2000;
inline constexpr uint16_t kRmControlValid = 0x4000;
inline constexpr uint16_t kSelfRelative = 0x8000;
// The bits SetFileSecurityW takes over with DACL_SECURITY_INFORMATION.
inline constexpr uint16_t kDaclBits =
    kDaclPresent | kDaclDefaulted | kDaclAutoInheritReq | kDaclAutoInherited | kDaclProtected;
}  // namespace sd_control

inline constexpr uint8_t kSecurityDescriptorRevision = 1;
inline constexpr size_t kSelfRelativeHeaderSize = 20;

// One of the two ACL slots of a descriptor.
struct AclSlot {
    bool present = false;
    std::optional<Acl> acl;  // present without a list: a NULL ACL

    static AclSlot Absent() { return {}; }
    static AclSlot Null() { return {true, std::nullopt}; }
    static AclSlot With(Acl list) { return {true, std::move(list)}; }
    bool IsNull() const { return present && !acl; }
    bool operator==(const AclSlot&) const = default;
};

struct SecurityDescriptor {
    uint8_t revision = kSecurityDescriptorRevision;
    // The control word. DACL_PRESENT, SACL_PRESENT and SELF_RELATIVE are
    // derived from the slots when the descriptor is written.
    uint16_t control = 0;
    std::optional<Sid> owner;
    std::optional<Sid> group;
    AclSlot dacl;
    AclSlot sacl;

    // Reads a self-relative descriptor. Every offset and size is checked
    // against the bytes: a part outside them, inside the header, or
    // overlapping another part, and any invalid SID or ACL, fails.
    static std::optional<SecurityDescriptor> Parse(std::span<const uint8_t> bytes,
                                                   ParseError* error = nullptr);
    // Self-relative bytes in the order Windows writes them (SACL, DACL,
    // owner, group after the header); ACLs keep their AclSize.
    Bytes ToSelfRelative() const;

    // The control word as written (present and self-relative bits set).
    uint16_t WrittenControl() const;
    bool HasNullDacl() const { return dacl.IsNull(); }

    bool operator==(const SecurityDescriptor&) const = default;
};

// A descriptor holding only a DACL, as GetFileSecurityW returns it for
// DACL_SECURITY_INFORMATION.
SecurityDescriptor DaclOnlyDescriptor(AclSlot dacl, uint16_t control = 0);

}  // namespace vm
