// Windows' access check (MS-DTYP 2.5.3.2), over the
// owner and DACL of one object, the process token and the rights a call asks
// for, with the privileges that Microsoft documents as bypassing it and the
// OWNER RIGHTS rule of Windows Vista and later.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/rules/GenericMapping.h"
#include "platform/rules/Token.h"
#include "security/Rights.h"
#include "security/SecurityDescriptor.h"

namespace vm::rules {

// File rights the machine checks beyond those of security/Rights.h.
namespace right {
inline constexpr uint32_t kListDirectory = 0x1;  // FILE_READ_DATA on files
inline constexpr uint32_t kAddFile = 0x2;        // FILE_WRITE_DATA on files
inline constexpr uint32_t kAddSubdirectory = 0x4;
inline constexpr uint32_t kTraverse = 0x20;  // FILE_EXECUTE on files
inline constexpr uint32_t kAccessSystemSecurity = 0x1000000;
}  // namespace right

// OWNER RIGHTS (S-1-3-4): entries for it apply to the object's owner.
const Sid& OwnerRightsSid();

// How the object was opened. The security functions open files and folders
// with backup intent (a folder can only be opened for its security that way,
// per the CreateFileW docs on FILE_FLAG_BACKUP_SEMANTICS), so SeBackup and
// SeRestore apply to them; listing a folder does not.
enum class OpenIntent { kNormal, kBackup };

// The requested rights that are NOT granted (0: access allowed). desired may
// hold generic bits; they are mapped first. The entries' masks are taken as
// stored: Windows maps generic rights when a DACL is written
// (GenericMapping.h), and MS-DTYP 2.5.3.2 compares the stored mask with
// the rights still wanted, so an effective entry that still holds a generic
// bit grants or denies nothing through that bit.
uint32_t DeniedRights(const std::optional<Sid>& owner, const AclSlot& dacl, const Token& token,
                      uint32_t desired, OpenIntent intent);

}  // namespace vm::rules
