// Every change of one path's DACL: adding one allow or deny entry (the DACL
// is then sorted into canonical order and written protected), NULL and empty
// DACLs, resetting to the inherited entries, and copying one object's DACL
// with its owner onto others. Entries of an existing DACL are never merged or
// removed here; callers that merge do it in their own rows first.
//
// A step that fails never leaves an object more open or more closed than it
// was: where an operation passes through a NULL DACL, the previous DACL is
// put back when a later step fails.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "security/Acl.h"
#include "security/Engine.h"
#include "security/SecurityDescriptor.h"

namespace vm {

// Control bits AddAccessEntry writes: SE_DACL_AUTO_INHERIT_REQ |
// SE_DACL_AUTO_INHERITED | SE_DACL_PROTECTED.
inline constexpr uint16_t kAddedEntryControl = 0x1500;

inline constexpr const wchar_t* kGetControlFailed = L"GetSecurityDescriptorControl() failed.";
inline constexpr const wchar_t* kSetControlFailed = L"SetSecurityDescriptorControl() failed.";

// The process-wide copy buffer: the DACL descriptor and the owner of the
// object copied last, by name (what the menus test) and by SID (what a paste
// writes). Owned by the application, used from the UI thread.
struct CopyBuffer {
    std::optional<Bytes> CopiedDescriptor;
    std::wstring CopiedOwnerName;
    std::optional<Sid> CopiedOwnerSid;
};

// Appends one entry for the trustee (type 0 allow, 1 deny; any other type
// adds nothing), sorts the list canonically and writes it with the control
// bits 0x1500. Ok when the new DACL was written; nothing is written on any
// earlier failure, whose error it returns (ERROR_NONE_MAPPED for a trustee
// that is not an account, the system's error of a refused read or write).
// The two control-word failures are told to the reporter as well.
Status AddAccessEntry(Engine& engine, const std::wstring& path, const std::wstring& trustee,
                      uint32_t mask, uint8_t aceType, uint8_t aceFlags);

// Canonical rank of an entry (explicit deny, allow, then inherited deny,
// allow; object variants right after their plain type), nullopt for types
// outside {1, 6, 0, 5}.
std::optional<int> CanonicalRank(const Ace& entry);

// Where `entry` goes in `acl` as it is being built: the first index whose
// entry ranks greater than or equal to it (so equal ranks come out in the
// reverse of their input order), the count when none does, kAppendIndex for
// an entry without a rank or when the scan meets one.
uint32_t FindCanonicalInsertIndex(const Ace& entry, const Acl& acl);

// The list AddAccessEntry writes over `acl`: the entries in their order and
// the new one (type 0 or 1; any other type adds nothing), sorted
// canonically. nullopt when it would not fit in an ACL.
std::optional<Acl> WithAddedEntry(const Acl& acl, const Sid& trustee, uint32_t mask,
                                  uint8_t aceType, uint8_t aceFlags);

// Re-inserts every entry by FindCanonicalInsertIndex; the list's size field
// becomes its bytes in use. On failure the list is left unchanged.
bool SortAclCanonical(Acl& acl);

// Makes "Administrators" the owner, then writes a NULL DACL (null true) or
// an empty one (null false), not protected. The owner stays "Administrators".
// The outcome of the DACL write.
Status SetNullOrEmptyDacl(Engine& engine, const std::wstring& path, bool null);

// The DACL write of SetNullOrEmptyDacl alone, without the owner step.
Status WriteNullOrEmptyDacl(Platform& platform, const std::wstring& path, bool null);

// Strips the explicit entries and lets the system put back the entries the
// parent passes on: a DACL without entries written unprotected through
// SetNamedSecurityInfoW, which also carries the change to the children
// ("Automatic Propagation of Inheritable ACEs"). Nothing is looked up by
// name. Ok when the write succeeded; on failure the object keeps its DACL
// (an object whose DACL could not even be read ends closed with an empty
// DACL, never open with a NULL one) and the error of the failed step comes
// back. The owner is not touched; callers take ownership first where needed.
Status ResetToInherited(Engine& engine, const std::wstring& path);

// The list ResetToInherited writes: ACL_REVISION, no entries.
Bytes EmptyAclBytes();

// Takes the path's DACL descriptor and owner (name and SID) into the copy
// buffer; the source gets its owner back by SID. The length of the copied descriptor, 0 on failure
// (a vanished path leaves the buffer as it was; a failed read stores the
// owner name and no descriptor).
size_t CopySecuritySettings(Engine& engine, CopyBuffer& buffer, const std::wstring& path);

// True when the buffer holds a descriptor that can be written as a DACL.
bool IsUsableCopiedDescriptor(const CopyBuffer& buffer);

// Writes the copied DACL (with its protection and auto-inheritance bits) and
// makes the copied owner the target's owner (by SID when the copy has it). An unusable copy changes
// nothing (ERROR_INVALID_SECURITY_DESCR); a refused write leaves the
// target's DACL and owner as they were and returns the system's error.
Status PasteSecuritySettings(Engine& engine, const CopyBuffer& buffer, const std::wstring& path);

// The DACL of one path as it stood, to be put back when a later step of a
// multi-step change fails (the quick commands take ownership, write a NULL
// DACL, add entries and give the owner back).
class DaclSnapshot {
  public:
    // Reads the DACL descriptor; the read's error when it cannot be read,
    // ERROR_INVALID_SECURITY_DESCR when it cannot be parsed.
    static Result<DaclSnapshot> Capture(Platform& platform, const std::wstring& path);

    // SetFileSecurityW(DACL_SECURITY_INFORMATION) with the captured
    // descriptor: the entries and the DACL bits of the control word.
    Status Restore(Platform& platform) const;

    const std::wstring& path() const { return path_; }
    const Bytes& descriptor() const { return descriptor_; }

  private:
    DaclSnapshot(std::wstring path, Bytes descriptor)
        : path_(std::move(path)), descriptor_(std::move(descriptor)) {}

    std::wstring path_;
    Bytes descriptor_;
};

}  // namespace vm
