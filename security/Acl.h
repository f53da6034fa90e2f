// Access control entries and lists in their binary Windows form
// (MS-DTYP 2.4.4 ACE, 2.4.5 ACL). Entries of types the program does not know
// are carried through byte for byte.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/Result.h"
#include "security/Sid.h"

namespace vm {

// ACE types.
namespace ace_type {
inline constexpr uint8_t kAccessAllowed = 0;
inline constexpr uint8_t kAccessDenied = 1;
inline constexpr uint8_t kSystemAudit = 2;
inline constexpr uint8_t kAccessAllowedObject = 5;
inline constexpr uint8_t kAccessDeniedObject = 6;
}  // namespace ace_type

// ACE flags.
namespace ace_flag {
inline constexpr uint8_t kObjectInherit = 0x1;
inline constexpr uint8_t kContainerInherit = 0x2;
inline constexpr uint8_t kNoPropagateInherit = 0x4;
inline constexpr uint8_t kInheritOnly = 0x8;
inline constexpr uint8_t kInherited = 0x10;
inline constexpr uint8_t kInheritFlags = 0x0F;  // OI | CI | NP | IO
}  // namespace ace_flag

inline constexpr uint8_t kAclRevision = 2;
inline constexpr uint8_t kAclRevisionDs = 4;
inline constexpr size_t kAclHeaderSize = 8;
inline constexpr size_t kAceHeaderSize = 4;
inline constexpr size_t kMaxAclSize = 0xFFFF;
inline constexpr uint32_t kAppendIndex = 0xFFFFFFFF;  // MAXDWORD: append at the end

// Where a binary reader stopped, and why.
struct ParseError {
    std::string message;
    size_t offset = 0;
};

struct Ace {
    uint8_t type = ace_type::kAccessAllowed;
    uint8_t flags = 0;
    uint32_t mask = 0;
    // The trustee. Absent only for entries of unknown layout.
    std::optional<Sid> sid;
    // Entries laid out as mask + SID (allow, deny, audit, ...): bytes after
    // the SID inside the entry's size (callback data), kept as they are.
    // Other entries (object entries, unknown types): every byte after the
    // 4-byte header, mask included; written back as read, with the mask
    // field taken from `mask`.
    Bytes extra;

    static Ace Allow(const Sid& sid, uint32_t mask, uint8_t flags = 0);
    static Ace Deny(const Sid& sid, uint32_t mask, uint8_t flags = 0);

    // Reads one entry from the start of bytes; consumed receives AceSize.
    static std::optional<Ace> Parse(std::span<const uint8_t> bytes, size_t* consumed,
                                    ParseError* error = nullptr);

    bool HasMaskSidLayout() const;
    // Bytes the entry takes in an ACL (its AceSize).
    size_t Size() const;
    void AppendTo(Bytes& out) const;
    bool IsInherited() const { return (flags & ace_flag::kInherited) != 0; }
    bool IsInheritOnly() const { return (flags & ace_flag::kInheritOnly) != 0; }

    bool operator==(const Ace&) const = default;
};

struct Acl {
    uint8_t revision = kAclRevision;
    // AclSize of the header: the room the list has, at least BytesInUse().
    uint16_t size = kAclHeaderSize;
    std::vector<Ace> aces;

    // InitializeAcl: an empty list with room for `size` bytes.
    static Acl WithRoom(uint16_t size);
    // Reads an ACL. Fails when the header lies (size beyond the bytes, entry
    // count beyond the size), an entry is cut or its size is out of range.
    static std::optional<Acl> Parse(std::span<const uint8_t> bytes, ParseError* error = nullptr);

    // 8 + the sizes of all entries (AclBytesInUse of GetAclInformation).
    size_t BytesInUse() const;
    size_t BytesFree() const { return size > BytesInUse() ? size - BytesInUse() : 0; }
    // AddAce: inserts at index (kAppendIndex or an index past the end
    // appends). Fails with ERROR_ALLOTTED_SPACE_EXCEEDED (1344) when the
    // entry does not fit in the room left.
    Status AddAce(uint32_t index, const Ace& ace);
    // AclSize bytes: header, entries, zeros for the free room.
    Bytes ToBytes() const;
    // The list as Windows compacts it: size equal to the bytes in use.
    Acl Compacted() const;

    bool operator==(const Acl&) const = default;
};

inline constexpr uint32_t kErrorAllottedSpaceExceeded = 1344;

}  // namespace vm
