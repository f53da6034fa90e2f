#include "security/DaclEdits.h"

#include <algorithm>

#include "security/Ownership.h"
#include "security/SecurityAccess.h"

namespace vm {
namespace {

// Canonical order of the ACE types: deny, deny (object), allow, allow (object).
constexpr uint8_t kRankedTypes[] = {ace_type::kAccessDenied, ace_type::kAccessDeniedObject,
                                    ace_type::kAccessAllowed, ace_type::kAccessAllowedObject};
constexpr int kInheritedRankOffset = 4;

// Control bits a caller may set on a descriptor, as SetSecurityDescriptorControl
// allows them; any other bit of interest is refused (ERROR_INVALID_PARAMETER).
constexpr uint16_t kSettableControlBits =
    sd_control::kDaclAutoInheritReq | sd_control::kSaclAutoInheritReq |
    sd_control::kDaclAutoInherited | sd_control::kSaclAutoInherited | sd_control::kDaclProtected |
    sd_control::kSaclProtected;

// GetSecurityDescriptorControl on a self-relative block: fails for a block
// too short for the header or of an unknown revision.
std::optional<uint16_t> ReadDescriptorControl(const Bytes& descriptor) {
    if (descriptor.size() < kSelfRelativeHeaderSize || descriptor[0] != kSecurityDescriptorRevision)
        return std::nullopt;
    return ReadLe16(descriptor, 2);
}

bool SetDescriptorControl(SecurityDescriptor& descriptor, uint16_t bitsOfInterest,
                          uint16_t bitsToSet) {
    if ((bitsOfInterest & ~kSettableControlBits) != 0)
        return false;
    descriptor.control = static_cast<uint16_t>((descriptor.control & ~bitsOfInterest) |
                                               (bitsToSet & bitsOfInterest));
    return true;
}

uint8_t RevisionFor(const AclSlot& dacl) {
    return dacl.acl ? std::max(kAclRevision, dacl.acl->revision) : kAclRevision;
}

// The old entries in their order and room for exactly one more allow or deny
// entry of the trustee; the new entry itself when the type is 0 or 1.
std::optional<Acl> AclWithNewEntry(const AclSlot& oldDacl, const Sid& trustee, uint32_t mask,
                                   uint8_t aceType, uint8_t aceFlags) {
    size_t inUse = oldDacl.acl ? oldDacl.acl->BytesInUse() : kAclHeaderSize;
    size_t room = inUse + 8 + trustee.length();
    if (room > kMaxAclSize)
        return std::nullopt;
    Acl acl = Acl::WithRoom(static_cast<uint16_t>(room));
    acl.revision = RevisionFor(oldDacl);
    if (oldDacl.acl) {
        for (const Ace& entry : oldDacl.acl->aces) {
            if (!acl.AddAce(kAppendIndex, entry).ok())
                return std::nullopt;
        }
    }
    if (aceType == ace_type::kAccessAllowed || aceType == ace_type::kAccessDenied) {
        Ace added = aceType == ace_type::kAccessAllowed ? Ace::Allow(trustee, mask, aceFlags)
                                                        : Ace::Deny(trustee, mask, aceFlags);
        if (!acl.AddAce(kAppendIndex, added).ok())
            return std::nullopt;
    }
    return acl;
}

SecurityDescriptor NullOrEmptyDaclDescriptor(bool null) {
    constexpr uint16_t kEmptyDaclRoom = 1024;
    return DaclOnlyDescriptor(null ? AclSlot::Null()
                                   : AclSlot::With(Acl::WithRoom(kEmptyDaclRoom)));
}

// The list SetEntriesInAclW makes of a NULL DACL and an entry setting no
// rights for the owner: no explicit entry at all.
Result<Bytes> BuildInheritedOnlyList(Platform& platform, const std::wstring& owner) {
    ExplicitAccess ownerEntry{owner, 0, access_mode::kSet, 0};
    return platform.SetEntriesInAcl({ownerEntry}, std::nullopt);
}

// Written through SetNamedSecurityInfoW without SE_DACL_PROTECTED, the list
// gets what the parent passes on. Starting from a NULL ACL instead of
// writing a NULL DACL first gives the same list and never leaves the object
// open when a step fails.
Status WriteInheritedOnly(Platform& platform, const std::wstring& path, Result<Bytes> list) {
    if (!list.ok())
        return list.status();
    OptionalAcl dacl = std::move(*list);
    return platform.SetNamedSecurityInfo(path, secinfo::kDacl | secinfo::kUnprotectedDacl, nullptr,
                                         &dacl);
}

// The owner SID of a path (GetNamedSecurityInfoW, OWNER_SECURITY_INFORMATION).
std::optional<Sid> ReadOwnerSid(Platform& platform, const std::wstring& path) {
    auto bytes = platform.GetNamedSecurityInfo(path, secinfo::kOwner);
    if (!bytes.ok())
        return std::nullopt;
    auto descriptor = SecurityDescriptor::Parse(*bytes);
    if (!descriptor)
        return std::nullopt;
    return descriptor->owner;
}

// An object whose owner and DACL this process may not read (but may write,
// with SeRestorePrivilege on): a NULL DACL makes it readable, then the reset
// proceeds. Its previous DACL is unknown, so when a later step fails it is
// closed with an empty DACL rather than left open to everybody.
Status ResetUnreadable(Platform& platform, const std::wstring& path) {
    if (Status opened = WriteNullOrEmptyDacl(platform, path, true); !opened.ok())
        return opened;
    std::wstring owner = GetOwnerName(platform, path);
    Status reset =
        owner.empty() ? Status::Fail(err::kNoneMapped)
                      : WriteInheritedOnly(platform, path, BuildInheritedOnlyList(platform, owner));
    if (!reset.ok())
        WriteNullOrEmptyDacl(platform, path, false);
    return reset;
}

}  // namespace

std::optional<int> CanonicalRank(const Ace& entry) {
    const auto* found = std::find(std::begin(kRankedTypes), std::end(kRankedTypes), entry.type);
    if (found == std::end(kRankedTypes))
        return std::nullopt;
    int rank = static_cast<int>(found - std::begin(kRankedTypes));
    return entry.IsInherited() ? rank + kInheritedRankOffset : rank;
}

uint32_t FindCanonicalInsertIndex(const Ace& entry, const Acl& acl) {
    auto rank = CanonicalRank(entry);
    if (!rank)
        return kAppendIndex;
    for (size_t j = 0; j < acl.aces.size(); ++j) {
        auto rankJ = CanonicalRank(acl.aces[j]);
        if (!rankJ)
            return kAppendIndex;
        // Greater or equal: entries of equal rank end in reverse input order.
        if (*rankJ >= *rank)
            return static_cast<uint32_t>(j);
    }
    return static_cast<uint32_t>(acl.aces.size());
}

bool SortAclCanonical(Acl& acl) {
    size_t inUse = acl.BytesInUse();
    if (inUse > kMaxAclSize)
        return false;
    Acl scratch = Acl::WithRoom(static_cast<uint16_t>(inUse));
    scratch.revision = std::max(kAclRevision, acl.revision);
    for (const Ace& entry : acl.aces) {
        if (!scratch.AddAce(FindCanonicalInsertIndex(entry, scratch), entry).ok())
            return false;
    }
    acl = std::move(scratch);
    return true;
}

Status AddAccessEntry(Engine& engine, const std::wstring& path, const std::wstring& trustee,
                      uint32_t mask, uint8_t aceType, uint8_t aceFlags) {
    Platform& platform = engine.platform();
    auto account = platform.LookupAccountName(trustee);
    if (!account.ok())
        return account.status();
    auto sid = Sid::Parse(account->sid);
    if (!sid)
        return Status::Fail(err::kInvalidSid);
    auto oldBytes = platform.GetFileSecurity(path, secinfo::kDacl);
    if (!oldBytes.ok())
        return oldBytes.status();
    auto old = SecurityDescriptor::Parse(*oldBytes);
    if (!old)
        return Status::Fail(err::kInvalidSecurityDescriptor);
    auto acl = AclWithNewEntry(old->dacl, *sid, mask, aceType, aceFlags);
    if (!acl)
        return Status::Fail(err::kInvalidAcl);
    SortAclCanonical(*acl);
    SecurityDescriptor written =
        DaclOnlyDescriptor(AclSlot::With(std::move(*acl)), sd_control::kDaclDefaulted);
    if (!ReadDescriptorControl(*oldBytes)) {
        engine.reporter().Tell(kGetControlFailed, MessageIcon::kNone);
        return Status::Fail(err::kInvalidSecurityDescriptor);
    }
    // Always protected, auto-inherited and with auto-inheritance requested,
    // whatever the old control word held.
    if (!SetDescriptorControl(written, kAddedEntryControl, kAddedEntryControl)) {
        engine.reporter().Tell(kSetControlFailed, MessageIcon::kNone);
        return Status::Fail(err::kInvalidParameter);
    }
    return platform.SetFileSecurity(path, secinfo::kDacl, written.ToSelfRelative());
}

Status WriteNullOrEmptyDacl(Platform& platform, const std::wstring& path, bool null) {
    return platform.SetFileSecurity(path, secinfo::kDacl,
                                    NullOrEmptyDaclDescriptor(null).ToSelfRelative());
}

Status SetNullOrEmptyDacl(Engine& engine, const std::wstring& path, bool null) {
    // Written as the object's owner, who may always change its DACL.
    SetOwner(engine, path, kAdministrators);
    return WriteNullOrEmptyDacl(engine.platform(), path, null);
}

Status ResetToInherited(Engine& engine, const std::wstring& path) {
    Platform& platform = engine.platform();
    std::wstring owner = GetOwnerName(platform, path);
    if (!owner.empty())
        return WriteInheritedOnly(platform, path, BuildInheritedOnlyList(platform, owner));
    // A readable object whose owner has no name: the entry for the owner
    // cannot be built, so nothing is changed.
    if (DaclSnapshot::Capture(platform, path))
        return Status::Fail(err::kNoneMapped);
    return ResetUnreadable(platform, path);
}

std::wstring ResetCache::OwnerName(Platform& platform, const Sid& owner) {
    {
        std::lock_guard lock(mutex_);
        if (auto found = ownerNames_.find(owner); found != ownerNames_.end())
            return found->second;
    }
    auto account = platform.LookupAccountSid(owner.ToBytes());
    if (!account.ok())
        return {};
    std::lock_guard lock(mutex_);
    return ownerNames_.emplace(owner, account->name).first->second;
}

Result<Bytes> ResetCache::ListFor(Platform& platform, const std::wstring& ownerName) {
    {
        std::lock_guard lock(mutex_);
        if (auto found = lists_.find(ownerName); found != lists_.end())
            return found->second;
    }
    auto list = BuildInheritedOnlyList(platform, ownerName);
    if (!list.ok())
        return list;
    std::lock_guard lock(mutex_);
    return lists_.emplace(ownerName, std::move(*list)).first->second;
}

Status ResetToInherited(Engine& engine, const std::wstring& path, ResetCache& cache) {
    Platform& platform = engine.platform();
    auto ownerSid = ReadOwnerSid(platform, path);
    std::wstring owner = ownerSid ? cache.OwnerName(platform, *ownerSid) : std::wstring();
    if (owner.empty())
        return ResetToInherited(engine, path);  // the unreadable and unnamed cases
    return WriteInheritedOnly(platform, path, cache.ListFor(platform, owner));
}

size_t CopySecuritySettings(Engine& engine, CopyBuffer& buffer, const std::wstring& path) {
    Platform& platform = engine.platform();
    if (!platform.PathFileExists(path))
        return 0;
    std::wstring owner = GetOwnerName(platform, path);
    SetOwner(engine, path, kAdministrators);
    auto descriptor = ReadDaclDescriptor(platform, path);
    buffer.CopiedDescriptor = descriptor;
    buffer.CopiedOwnerName = owner;
    // The source gets its owner back also when the read failed.
    SetOwner(engine, path, owner);
    return descriptor ? descriptor->size() : 0;
}

bool IsUsableCopiedDescriptor(const CopyBuffer& buffer) {
    if (!buffer.CopiedDescriptor)
        return false;
    auto descriptor = SecurityDescriptor::Parse(*buffer.CopiedDescriptor);
    return descriptor && descriptor->dacl.present;
}

Status PasteSecuritySettings(Engine& engine, const CopyBuffer& buffer, const std::wstring& path) {
    if (!IsUsableCopiedDescriptor(buffer))
        return Status::Fail(err::kInvalidSecurityDescriptor);
    Platform& platform = engine.platform();
    std::wstring previousOwner = GetOwnerName(platform, path);
    SetOwner(engine, path, kAdministrators);
    // One write replaces the whole DACL with the copied one, its protection
    // and auto-inheritance bits included; clearing it first would only open
    // the object for as long as the write takes, or for good if it failed.
    Status written = platform.SetFileSecurity(path, secinfo::kDacl, *buffer.CopiedDescriptor);
    SetOwner(engine, path, written.ok() ? buffer.CopiedOwnerName : previousOwner);
    return written;
}

Result<DaclSnapshot> DaclSnapshot::Capture(Platform& platform, const std::wstring& path) {
    auto descriptor = platform.GetFileSecurity(path, secinfo::kDacl);
    if (!descriptor.ok())
        return Result<DaclSnapshot>::Fail(descriptor.error());
    if (!SecurityDescriptor::Parse(*descriptor))
        return Result<DaclSnapshot>::Fail(err::kInvalidSecurityDescriptor);
    return DaclSnapshot(path, std::move(*descriptor));
}

Status DaclSnapshot::Restore(Platform& platform) const {
    return platform.SetFileSecurity(path_, secinfo::kDacl, descriptor_);
}

}  // namespace vm
