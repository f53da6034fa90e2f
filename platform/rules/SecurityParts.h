// The parts of a security descriptor as the file security calls move them:
// GetFileSecurityW's selection of the parts a call asks for, and
// SetFileSecurityW's merge of the parts it writes into what the object
// holds. Shared by every store that keeps whole descriptors.
#pragma once

#include <cstdint>

#include "platform/Platform.h"
#include "security/SecurityDescriptor.h"

namespace vm::rules {

// The SACL's bits of the control word, as sd_control::kDaclBits are the
// DACL's.
inline constexpr uint16_t kSaclControlBits =
    sd_control::kSaclPresent | sd_control::kSaclDefaulted | sd_control::kSaclAutoInheritReq |
    sd_control::kSaclAutoInherited | sd_control::kSaclProtected;

// The parts named by info (secinfo bits) of a whole descriptor, each ACL
// with the control bits that belong to it, as self-relative bytes.
Bytes SelectParts(const SecurityDescriptor& whole, uint32_t info);

// SetFileSecurityW's merge: the parts named by info come from parts (owner;
// group; DACL with its control bits; SACL likewise), the rest is kept.
// PROTECTED_ / UNPROTECTED_DACL_SECURITY_INFORMATION set or clear
// SE_DACL_PROTECTED whatever parts says. ERROR_INVALID_OWNER for an owner
// part without an owner; nothing is changed then.
uint32_t MergeWrittenParts(SecurityDescriptor& object, uint32_t info,
                           const SecurityDescriptor& parts);

// The DACL a named-object call writes (SetNamedSecurityInfoW,
// TreeResetNamedSecurityInfoW): nullopt is a NULL DACL; bytes that are no
// ACL give ERROR_INVALID_ACL.
Result<AclSlot> DaclOfNamedWrite(const OptionalAcl& dacl);

}  // namespace vm::rules
