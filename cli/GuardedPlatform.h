// Platforms that stand between the command line's runs and the real one:
// - WriteLog passes everything on and remembers why a write was refused,
//   for the engine's sequences that tell no more than "failed";
// - UndoJournal keeps every descriptor in a backup file before it changes
//   (--undo), and refuses a write whose object it could not keep first;
// - DryRun keeps every write to itself (--dry-run): reads see the writes
//   made so far, nothing reaches the volume, and the objects written are
//   listed with their SDDL before and after. Propagation to the objects
//   below a folder is worked out with the same shared rules the platforms
//   apply.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "backup/BackupFile.h"
#include "platform/ForwardingPlatform.h"
#include "platform/Platform.h"
#include "security/SecurityDescriptor.h"

namespace vm::cli {

// The key of a path for comparisons: drive and names folded, as NTFS
// compares names ("c:\DATA\" and "C:\Data" are one object).
std::wstring PathKey(const std::wstring& path);

class WriteLog final : public ForwardingPlatform {
  public:
    using ForwardingPlatform::ForwardingPlatform;

    Status SetFileSecurity(const std::wstring& path, uint32_t info,
                           const Bytes& descriptor) override;
    Status SetNamedSecurityInfo(const std::wstring& path, uint32_t info, const Bytes* ownerSid,
                                const OptionalAcl* dacl) override;
    // Each object the tree call tells of counts as written, or refused.
    Status TreeResetNamedSecurityInfo(const std::wstring& path, uint32_t info,
                                      const OptionalAcl& dacl,
                                      const TreeProgress& progress) override;

    // The error of the object's last write when it was refused, else 0.
    uint32_t LastRefusal(const std::wstring& path) const;
    // Every object whose last write was refused, with the error, in the
    // order of the paths' keys.
    std::vector<std::pair<std::wstring, uint32_t>> Refusals() const;
    // Forgets every refusal.
    void Clear() { refusals_.clear(); }

  private:
    Status Note(const std::wstring& path, Status status);
    std::map<std::wstring, std::pair<std::wstring, uint32_t>> refusals_;
};

// Every object below a folder, by full path, parents before children;
// reparse points are listed but not entered (the walks of the engine and of
// the system do not enter them).
std::vector<std::wstring> ObjectsBelow(Platform& platform, const std::wstring& folder);

class UndoJournal final : public ForwardingPlatform {
  public:
    // Written to file whenever objects were added; nothing before then.
    UndoJournal(Platform& inner, std::wstring file, std::wstring creationTime);

    // Keeps the objects (with subtrees, every object below them too) and
    // writes the file, before anything changes. The first failure: an
    // object that cannot be kept, or the file that cannot be written.
    Status Prepare(const std::vector<std::wstring>& paths, bool withSubtrees);

    // A write first keeps its object (a named DACL write, which reaches the
    // objects below, keeps them all); when that fails the write is refused
    // with the reason and nothing changes.
    Status SetFileSecurity(const std::wstring& path, uint32_t info,
                           const Bytes& descriptor) override;
    Status SetNamedSecurityInfo(const std::wstring& path, uint32_t info, const Bytes* ownerSid,
                                const OptionalAcl* dacl) override;
    Status TreeResetNamedSecurityInfo(const std::wstring& path, uint32_t info,
                                      const OptionalAcl& dacl,
                                      const TreeProgress& progress) override;

    size_t KeptCount() const { return items_.size(); }
    const std::wstring& file() const { return file_; }

  private:
    Status Ensure(const std::wstring& path, bool withSubtree);
    Status Keep(const std::wstring& path);
    Status Flush();

    std::wstring file_;
    std::wstring creationTime_;
    std::vector<BackupItem> items_;
    std::set<std::wstring> kept_;
    std::set<std::wstring> keptTrees_;
    size_t flushed_ = 0;
    bool written_ = false;
};

class DryRun final : public ForwardingPlatform {
  public:
    using ForwardingPlatform::ForwardingPlatform;

    Result<Bytes> GetFileSecurity(const std::wstring& path, uint32_t info) override;
    Result<Bytes> GetNamedSecurityInfo(const std::wstring& path, uint32_t info) override;
    Status SetFileSecurity(const std::wstring& path, uint32_t info,
                           const Bytes& descriptor) override;
    Status SetNamedSecurityInfo(const std::wstring& path, uint32_t info, const Bytes* ownerSid,
                                const OptionalAcl* dacl) override;
    Result<std::vector<InheritedFrom>> GetInheritanceSource(const std::wstring& path,
                                                            bool isContainer,
                                                            const Bytes& acl) override;
    Status TreeResetNamedSecurityInfo(const std::wstring& path, uint32_t info,
                                      const OptionalAcl& dacl,
                                      const TreeProgress& progress) override;

    // One object the run would have written: its owner and DACL as SDDL.
    struct Change {
        std::wstring path;
        std::wstring before;
        std::wstring after;
    };
    // In the order the objects were first written.
    std::vector<Change> Changes() const;

    class Store;

  private:
    struct Kept {
        std::wstring path;
        SecurityDescriptor before;
        SecurityDescriptor now;
    };
    // The object as the run sees it now: what it wrote, else the volume's.
    Result<SecurityDescriptor> Current(const std::wstring& path);
    void Put(const std::wstring& path, const SecurityDescriptor& before,
             const SecurityDescriptor& now);
    Result<Bytes> ReadThrough(const std::wstring& path, uint32_t info);

    std::map<std::wstring, size_t> index_;
    std::vector<Kept> kept_;
};

}  // namespace vm::cli
