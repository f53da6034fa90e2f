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

// Written through SetNamedSecurityInfoW without SE_DACL_PROTECTED, a list
// without entries becomes what the parent passes on (MS-DTYP 2.5.3.4.2).
// The system propagates the result to the children itself.
Status WriteInheritedOnly(Platform& platform, const std::wstring& path) {
    OptionalAcl dacl = EmptyAclBytes();
    return platform.SetNamedSecurityInfo(path, secinfo::kDacl | secinfo::kUnprotectedDacl, nullptr,
                                         &dacl);
}

// An object whose DACL this process may not read (but may write, with
// SeRestorePrivilege on), which the system refused to reset: a NULL DACL
// makes it readable, then the reset proceeds. Its previous DACL is unknown,
// so when the reset fails it is closed with an empty DACL rather than left
// open to everybody.
Status ResetUnreadable(Platform& platform, const std::wstring& path) {
    if (Status opened = WriteNullOrEmptyDacl(platform, path, true); !opened.ok())
        return opened;
    Status reset = WriteInheritedOnly(platform, path);
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

std::optional<Acl> WithAddedEntry(const Acl& acl, const Sid& trustee, uint32_t mask,
                                  uint8_t aceType, uint8_t aceFlags) {
    auto added = AclWithNewEntry(AclSlot::With(acl), trustee, mask, aceType, aceFlags);
    if (added)
        SortAclCanonical(*added);
    return added;
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
    auto sid = AccountSidOfName(platform, trustee);
    if (!sid.ok())
        return sid.status();
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

Bytes EmptyAclBytes() {
    return Acl::WithRoom(kAclHeaderSize).ToBytes();
}

Status ResetToInherited(Engine& engine, const std::wstring& path) {
    Platform& platform = engine.platform();
    Status reset = WriteInheritedOnly(platform, path);
    if (reset.ok() || reset.error != err::kAccessDenied)
        return reset;
    // A readable object keeps the refusal; one that cannot even be read may
    // only have lacked READ_CONTROL, which a NULL DACL gives.
    if (DaclSnapshot::Capture(platform, path))
        return reset;
    return ResetUnreadable(platform, path);
}

size_t CopySecuritySettings(Engine& engine, CopyBuffer& buffer, const std::wstring& path) {
    Platform& platform = engine.platform();
    if (!platform.PathFileExists(path))
        return 0;
    std::optional<Sid> owner = TakeOwnership(engine, path);
    auto descriptor = ReadDaclDescriptor(platform, path);
    buffer.CopiedDescriptor = descriptor;
    buffer.CopiedOwnerSid = owner;
    buffer.CopiedOwnerName = owner ? engine.names().BareName(platform, *owner) : std::wstring();
    // The source gets its owner back also when the read failed.
    GiveOwnerBack(engine, path, owner);
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
    std::optional<Sid> previousOwner = TakeOwnership(engine, path);
    // One write replaces the whole DACL with the copied one, its protection
    // and auto-inheritance bits included; clearing it first would only open
    // the object for as long as the write takes, or for good if it failed.
    Status written = platform.SetFileSecurity(path, secinfo::kDacl, *buffer.CopiedDescriptor);
    if (!written.ok())
        GiveOwnerBack(engine, path, previousOwner);
    else if (buffer.CopiedOwnerSid)
        SetOwnerSid(engine, path, *buffer.CopiedOwnerSid);
    else
        SetOwner(engine, path, buffer.CopiedOwnerName);
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
