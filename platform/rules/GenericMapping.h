// Generic access rights as NTFS resolves them: the file mapping of
// MapGenericMask, and what a DACL write does to the generic rights of the
// entries it stores. Pure functions over masks and ACLs, free of the
// machine's object store.
#pragma once

#include <cstdint>

#include "security/SecurityDescriptor.h"

namespace vm::rules {

// MapGenericMask with the file mapping (FILE_GENERIC_READ, _WRITE, _EXECUTE,
// FILE_ALL_ACCESS): each generic bit is replaced by the rights it stands for.
uint32_t MapGenericFileRights(uint32_t mask);
bool HasGenericRights(uint32_t mask);

// The DACL as SetFileSecurityW and SetNamedSecurityInfoW store it: every
// entry that takes effect on the object (mask + SID layout, not
// INHERIT_ONLY) has its generic rights mapped in place, keeping its flags
// and SID; inherit-only entries keep their generic rights for the objects
// that will inherit them. Creator SIDs are not replaced. A NULL or absent
// DACL is returned as it is.
AclSlot MapGenericRightsOnWrite(const AclSlot& dacl);

}  // namespace vm::rules
