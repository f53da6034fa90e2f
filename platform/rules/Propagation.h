// The rules of the named-object DACL write over a store of objects:
// SetNamedSecurityInfoW's rebuilding of the object's inherited entries and
// its propagation to everything below ("Automatic Propagation of
// Inheritable ACEs", MS-DTYP 2.5.3.4), GetInheritanceSourceW's walk to the
// ancestors, and the owner rule of SetSecurityInfo. One implementation for
// every store, so that two stores can never disagree.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/Platform.h"
#include "platform/rules/SecurityStore.h"
#include "platform/rules/Token.h"

namespace vm::rules {

// Hears of every object below the top after the walk has dealt with it:
// error 0 when its DACL was written, else why not. Returning false stops the
// walk (ERROR_CANCELLED).
using PropagationObserver = std::function<bool(const StoredObject& object, uint32_t error)>;

// SetNamedSecurityInfoW with DACL_SECURITY_INFORMATION on object: dacl (its
// generic rights already mapped) becomes the object's DACL, taken as given
// and marked protected when isProtected; otherwise its entries marked
// inherited are dropped and the parent's inheritable entries appended after
// the explicit ones. Then every object below that is not protected, and that
// the caller may open for READ_CONTROL and WRITE_DAC, gets its inherited
// entries rebuilt from its new parent (protected objects and objects passed
// over shield their subtree). The object's own write failing writes nothing
// below; a failure further down is passed over and the first one returned
// once the walk has ended.
Status WriteDaclAndPropagate(SecurityStore& store, StoredObject object, const AclSlot& dacl,
                             bool isProtected, const PropagationObserver& observer = {});

// The propagation part alone: the objects below top (whose security is
// already as written) get their inherited entries rebuilt.
Status PropagateInheritance(SecurityStore& store, const StoredObject& top,
                            const PropagationObserver& observer = {});

// TreeResetNamedSecurityInfoW with DACL_SECURITY_INFORMATION, KeepExplicit
// FALSE: object gets dacl as WriteDaclAndPropagate writes it, then every
// object below, protected or not, loses its explicit entries and its
// protection and takes what its new parent passes on; each object is
// written once. Objects the caller may not open for READ_CONTROL and
// WRITE_DAC ("must have READ_CONTROL and WRITE_DAC access to each object,
// including the root object") are passed over with their subtree; junctions
// get their own DACL reset but are not walked into. The observer hears of
// every object, object itself first; returning false stops the walk
// (ERROR_CANCELLED). The first failure is returned once the walk has ended.
Status ResetTree(SecurityStore& store, StoredObject object, const AclSlot& dacl, bool isProtected,
                 const PropagationObserver& observer = {});

// GetInheritanceSourceW for the entries of acl as they stand on object: for
// each inherited entry the nearest ancestor that holds a matching entry of
// its own (generation gap and path), or gap -1 when none does; explicit
// entries get gap 0. Reading an ancestor needs READ_CONTROL there.
Result<std::vector<InheritedFrom>> InheritanceSources(SecurityStore& store,
                                                      const StoredObject& object, const Acl& acl);

// The owner rule of SetSecurityInfo / SetFileSecurityW: without
// SeRestorePrivilege the new owner must be the user or a group of the token
// that may own objects (SE_GROUP_OWNER); with it, any SID ("Restore files and
// directories": set any valid SID as owner). 0 or ERROR_INVALID_OWNER.
uint32_t CheckNewOwner(const Token& token, const Sid& owner);

}  // namespace vm::rules
