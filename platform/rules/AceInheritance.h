// DACL inheritance as Windows computes it: the entries an
// object inherits from its parent (MS-DTYP 2.5.3.4, "ACE Inheritance Rules"),
// the rebuild of an object's DACL from its explicit entries and what its
// parent passes on ("Automatic Propagation of Inheritable ACEs"), and the
// merge of SetEntriesInAclW.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "security/SecurityDescriptor.h"

namespace vm::rules {

// The entries that a child inherits from its parent's DACL, in the parent's
// order, each marked INHERITED_ACE:
// - a file takes every OBJECT_INHERIT entry as an effective entry;
// - a folder takes a CONTAINER_INHERIT entry as effective (still inheritable
//   unless NO_PROPAGATE_INHERIT), and an OBJECT_INHERIT-only entry as
//   inherit-only (nothing with NO_PROPAGATE_INHERIT);
// - effective entries get generic rights mapped to file rights and CREATOR
//   OWNER / CREATOR GROUP replaced by the child's owner / group; a folder's
//   entry that is effective and still inheritable and holds such generic
//   information is split in two: the mapped effective entry and an
//   inherit-only copy that keeps the generic rights and SID for the next
//   generation.
// A NULL or absent parent DACL passes nothing.
std::vector<Ace> InheritedEntries(const AclSlot& parentDacl, bool childIsContainer,
                                  const std::optional<Sid>& childOwner,
                                  const std::optional<Sid>& childGroup);

// The object's new DACL: the explicit (not inherited) entries of source,
// in their order, followed by the inherited entries. Per the propagation
// rules, a NULL or absent source that inherits entries gets a DACL of just
// those; a NULL or absent source that inherits nothing stays as it is; a
// list that ends without entries stays an empty DACL (not a NULL one).
AclSlot RebuildDacl(const AclSlot& source, const std::vector<Ace>& inherited);

// One resolved EXPLICIT_ACCESS entry of SetEntriesInAclW.
struct ResolvedAccess {
    Sid trustee;
    uint32_t permissions = 0;
    uint32_t mode = 0;        // access_mode::k*
    uint8_t inheritance = 0;  // ACE inheritance flags
};

// SetEntriesInAclW on a resolved list (oldAcl nullopt: a NULL ACL).
// - GRANT_ACCESS: an allow entry combining the rights with the trustee's
//   explicit allow entries of the same inheritance, which it replaces; the
//   granted rights are taken out of the trustee's explicit deny entries.
// - SET_ACCESS: an allow entry of just these rights; every explicit entry of
//   the trustee goes.
// - DENY_ACCESS: a deny entry combining the rights with the trustee's
//   explicit deny entries of the same inheritance, which it replaces.
// - REVOKE_ACCESS: every explicit entry of the trustee goes; nothing added.
// An entry whose rights are 0 adds no ACE. The result lists explicit deny
// entries, then explicit allow entries (new ones first in each group), then
// the inherited entries of oldAcl in their order. Fails with
// ERROR_INVALID_PARAMETER for an unknown mode.
Result<Acl> MergeExplicitEntries(const std::vector<ResolvedAccess>& entries,
                                 const std::optional<Acl>& oldAcl);

// SetEntriesInAclW as a whole: each trustee named by account (resolve gives
// its SID, nullopt when the name does not map: ERROR_NONE_MAPPED),
// NOT_USED_ACCESS entries skipped, the rest merged into oldAcl (nullopt: a
// NULL ACL) as MergeExplicitEntries says. ERROR_INVALID_ACL for an oldAcl
// that does not parse.
using ResolveName = std::function<std::optional<Sid>(const std::wstring& name)>;
Result<Bytes> SetEntriesInAcl(const std::vector<ExplicitAccess>& entries, const OptionalAcl& oldAcl,
                              const ResolveName& resolve);

}  // namespace vm::rules
