#include "platform/rules/SecurityParts.h"

namespace vm::rules {

Bytes SelectParts(const SecurityDescriptor& whole, uint32_t info) {
    SecurityDescriptor parts;
    if (info & secinfo::kOwner)
        parts.owner = whole.owner;
    if (info & secinfo::kGroup)
        parts.group = whole.group;
    if (info & secinfo::kDacl) {
        parts.dacl = whole.dacl;
        parts.control |= whole.control & sd_control::kDaclBits;
    }
    if (info & secinfo::kSacl) {
        parts.sacl = whole.sacl;
        parts.control |= whole.control & kSaclControlBits;
    }
    return parts.ToSelfRelative();
}

uint32_t MergeWrittenParts(SecurityDescriptor& object, uint32_t info,
                           const SecurityDescriptor& parts) {
    if ((info & secinfo::kOwner) && !parts.owner)
        return err::kInvalidOwner;
    if (info & secinfo::kOwner)
        object.owner = parts.owner;
    if (info & secinfo::kGroup)
        object.group = parts.group;
    auto takeBits = [&](uint16_t bits) {
        object.control = static_cast<uint16_t>((object.control & ~bits) | (parts.control & bits));
    };
    if (info & secinfo::kDacl) {
        object.dacl = parts.dacl;
        takeBits(sd_control::kDaclBits);
        if (info & secinfo::kProtectedDacl)
            object.control |= sd_control::kDaclProtected;
        else if (info & secinfo::kUnprotectedDacl)
            object.control &= static_cast<uint16_t>(~sd_control::kDaclProtected);
    }
    if (info & secinfo::kSacl) {
        object.sacl = parts.sacl;
        takeBits(kSaclControlBits);
    }
    return err::kSuccess;
}

Result<AclSlot> DaclOfNamedWrite(const OptionalAcl& dacl) {
    if (!dacl)
        return AclSlot::Null();
    auto parsed = Acl::Parse(*dacl);
    if (!parsed)
        return Result<AclSlot>::Fail(err::kInvalidAcl);
    return AclSlot::With(std::move(*parsed));
}

}  // namespace vm::rules
