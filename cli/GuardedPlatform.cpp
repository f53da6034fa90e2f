#include "cli/GuardedPlatform.h"

#include "files/FileIo.h"
#include "platform/rules/GenericMapping.h"
#include "platform/rules/Paths.h"
#include "platform/rules/Propagation.h"
#include "platform/rules/SecurityParts.h"
#include "security/Sddl.h"
#include "security/SecurityAccess.h"

namespace vm::cli {

namespace {

constexpr uint32_t kWholeInfo = secinfo::kOwner | secinfo::kGroup | secinfo::kDacl;
// The longest path a backup record holds (300 units with the NUL).
constexpr size_t kLongestKeptPath = kBackupPathUnits - 1;
constexpr uint32_t kFilenameTooLong = 206;  // ERROR_FILENAME_EXCED_RANGE

std::wstring ChildPath(const std::wstring& folder, const std::wstring& name) {
    return folder.ends_with(L'\\') ? folder + name : folder + L'\\' + name;
}

// The owner and the DACL, as the before and after of a dry run show them.
std::wstring OwnerAndDaclSddl(const SecurityDescriptor& whole) {
    SecurityDescriptor shown;
    shown.owner = whole.owner;
    shown.dacl = whole.dacl;
    shown.control = whole.control & sd_control::kDaclBits;
    return DescriptorToSddl(shown);
}

}  // namespace

std::wstring PathKey(const std::wstring& path) {
    auto parsed = rules::ParsePath(path);
    if (!parsed)
        return rules::FoldCase(path);
    std::vector<std::wstring> folded;
    for (const auto& name : parsed->components)
        folded.push_back(rules::FoldCase(name));
    return rules::JoinPath(parsed->drive, folded);
}

// ---- WriteLog ---------------------------------------------------------------------------

Status WriteLog::Note(const std::wstring& path, Status status) {
    if (status.ok())
        refusals_.erase(PathKey(path));
    else
        refusals_[PathKey(path)] = {path, status.error};
    return status;
}

Status WriteLog::SetFileSecurity(const std::wstring& path, uint32_t info, const Bytes& descriptor) {
    return Note(path, ForwardingPlatform::SetFileSecurity(path, info, descriptor));
}

Status WriteLog::SetNamedSecurityInfo(const std::wstring& path, uint32_t info,
                                      const Bytes* ownerSid, const OptionalAcl* dacl) {
    return Note(path, ForwardingPlatform::SetNamedSecurityInfo(path, info, ownerSid, dacl));
}

Status WriteLog::TreeResetNamedSecurityInfo(const std::wstring& path, uint32_t info,
                                            const OptionalAcl& dacl, const TreeProgress& progress) {
    auto told = [&](const std::wstring& object, uint32_t error) {
        Note(object, error ? Status::Fail(error) : Status::Ok());
        return !progress || progress(object, error);
    };
    Status status = ForwardingPlatform::TreeResetNamedSecurityInfo(path, info, dacl, told);
    // A call the system lacks wrote nothing: its refusal is no object's.
    if (status.error == err::kCallNotImplemented)
        return status;
    return Note(path, status);
}

uint32_t WriteLog::LastRefusal(const std::wstring& path) const {
    auto found = refusals_.find(PathKey(path));
    return found == refusals_.end() ? 0 : found->second.second;
}

std::vector<std::pair<std::wstring, uint32_t>> WriteLog::Refusals() const {
    std::vector<std::pair<std::wstring, uint32_t>> refusals;
    for (const auto& [key, refusal] : refusals_)
        refusals.push_back(refusal);
    return refusals;
}

// ---- Objects below a folder ------------------------------------------------------------

std::vector<std::wstring> ObjectsBelow(Platform& platform, const std::wstring& folder) {
    std::vector<std::wstring> objects;
    std::vector<std::wstring> queue{folder};
    for (size_t next = 0; next < queue.size(); ++next) {
        auto entries = platform.FindFiles(ChildPath(queue[next], L"*"));
        if (!entries.ok())
            continue;
        for (const FindData& entry : *entries) {
            if (entry.name == L"." || entry.name == L"..")
                continue;
            std::wstring path = ChildPath(queue[next], entry.name);
            objects.push_back(path);
            if ((entry.attributes & attr::kDirectory) && !(entry.attributes & attr::kReparsePoint))
                queue.push_back(std::move(path));
        }
    }
    return objects;
}

// ---- UndoJournal ------------------------------------------------------------------------

UndoJournal::UndoJournal(Platform& inner, std::wstring file, std::wstring creationTime)
    : ForwardingPlatform(inner), file_(std::move(file)), creationTime_(std::move(creationTime)) {}

Status UndoJournal::Keep(const std::wstring& path) {
    if (!kept_.insert(PathKey(path)).second)
        return Status::Ok();
    if (path.size() > kLongestKeptPath) {
        kept_.erase(PathKey(path));
        return Status::Fail(kFilenameTooLong);
    }
    auto descriptor = inner().GetFileSecurity(path, secinfo::kDacl);
    if (!descriptor.ok()) {
        kept_.erase(PathKey(path));
        return descriptor.status();
    }
    items_.push_back({path, GetOwnerName(inner(), path), std::move(*descriptor)});
    return Status::Ok();
}

Status UndoJournal::Ensure(const std::wstring& path, bool withSubtree) {
    if (Status kept = Keep(path); !kept.ok())
        return kept;
    if (withSubtree && inner().PathIsDirectory(path)) {
        std::wstring key = PathKey(path);
        bool inKeptTree = false;
        for (const auto& tree : keptTrees_)
            inKeptTree = inKeptTree || key == tree || key.starts_with(ChildPath(tree, L""));
        if (!inKeptTree) {
            for (const auto& below : ObjectsBelow(inner(), path)) {
                if (Status kept = Keep(below); !kept.ok())
                    return kept;
            }
            keptTrees_.insert(key);
        }
    }
    return Flush();
}

Status UndoJournal::Flush() {
    if (written_ && flushed_ == items_.size())
        return Status::Ok();
    Status written = WriteFileReplacing(file_, SerializeBackup(creationTime_, items_));
    if (written.ok()) {
        flushed_ = items_.size();
        written_ = true;
    }
    return written;
}

Status UndoJournal::Prepare(const std::vector<std::wstring>& paths, bool withSubtrees) {
    for (const auto& path : paths) {
        if (Status kept = Keep(path); !kept.ok())
            return kept;
        if (withSubtrees && inner().PathIsDirectory(path)) {
            for (const auto& below : ObjectsBelow(inner(), path)) {
                if (Status kept = Keep(below); !kept.ok())
                    return kept;
            }
            keptTrees_.insert(PathKey(path));
        }
    }
    return Flush();
}

Status UndoJournal::SetFileSecurity(const std::wstring& path, uint32_t info,
                                    const Bytes& descriptor) {
    if (Status kept = Ensure(path, false); !kept.ok())
        return kept;
    return ForwardingPlatform::SetFileSecurity(path, info, descriptor);
}

Status UndoJournal::SetNamedSecurityInfo(const std::wstring& path, uint32_t info,
                                         const Bytes* ownerSid, const OptionalAcl* dacl) {
    // A DACL written by name reaches the objects below (propagation).
    if (Status kept = Ensure(path, (info & secinfo::kDacl) != 0); !kept.ok())
        return kept;
    return ForwardingPlatform::SetNamedSecurityInfo(path, info, ownerSid, dacl);
}

Status UndoJournal::TreeResetNamedSecurityInfo(const std::wstring& path, uint32_t info,
                                               const OptionalAcl& dacl,
                                               const TreeProgress& progress) {
    if (Status kept = Ensure(path, true); !kept.ok())
        return kept;
    return ForwardingPlatform::TreeResetNamedSecurityInfo(path, info, dacl, progress);
}

// ---- DryRun -----------------------------------------------------------------------------

// The run's view of the objects as the shared rules see a store: what it
// wrote, else what the volume holds; writes stay in the run.
class DryRun::Store final : public rules::SecurityStore {
  public:
    explicit Store(DryRun& run) : run_(run) {}

    Result<rules::StoredObject> Object(const std::wstring& path) {
        rules::StoredObject object;
        object.path = path;
        auto attributes = run_.inner().GetFileAttributes(path);
        if (!attributes.ok())
            return Result<rules::StoredObject>::Fail(attributes.error());
        object.isContainer = (*attributes & attr::kDirectory) != 0;
        object.isReparsePoint = (*attributes & attr::kReparsePoint) != 0;
        auto security = run_.Current(path);
        if (!security.ok())
            return Result<rules::StoredObject>::Fail(security.error());
        object.security = std::move(*security);
        return object;
    }

    Result<std::optional<rules::StoredObject>> Parent(const rules::StoredObject& object) override {
        using Answer = std::optional<rules::StoredObject>;
        auto parsed = rules::ParsePath(object.path);
        if (!parsed)
            return Result<Answer>::Fail(err::kInvalidName);
        if (parsed->IsRoot())
            return Answer();
        parsed->components.pop_back();
        auto parent = Object(rules::JoinPath(parsed->drive, parsed->components));
        if (!parent.ok())
            return Result<Answer>::Fail(parent.error());
        return Answer(std::move(*parent));
    }

    Result<std::vector<rules::StoredObject>> Children(const rules::StoredObject& folder) override {
        using Objects = std::vector<rules::StoredObject>;
        auto entries = run_.inner().FindFiles(ChildPath(folder.path, L"*"));
        if (!entries.ok())
            return Result<Objects>::Fail(entries.error());
        Objects children;
        for (const FindData& entry : *entries) {
            if (entry.name == L"." || entry.name == L"..")
                continue;
            rules::StoredObject child;
            child.path = ChildPath(folder.path, entry.name);
            child.isContainer = (entry.attributes & attr::kDirectory) != 0;
            child.isReparsePoint = (entry.attributes & attr::kReparsePoint) != 0;
            auto security = run_.Current(child.path);
            if (security.ok())
                child.security = std::move(*security);
            else
                child.readError = security.error();
            children.push_back(std::move(child));
        }
        return children;
    }

    Status WriteDacl(const rules::StoredObject& object) override {
        auto before = run_.Current(object.path);
        if (!before.ok())
            return before.status();
        run_.Put(object.path, *before, object.security);
        return Status::Ok();
    }

    uint32_t CheckAccess(const rules::StoredObject&, uint32_t) override { return err::kSuccess; }

  private:
    DryRun& run_;
};

Result<SecurityDescriptor> DryRun::Current(const std::wstring& path) {
    if (auto found = index_.find(PathKey(path)); found != index_.end())
        return kept_[found->second].now;
    auto bytes = ForwardingPlatform::GetFileSecurity(path, kWholeInfo);
    if (!bytes.ok())
        return Result<SecurityDescriptor>::Fail(bytes.error());
    auto parsed = SecurityDescriptor::Parse(*bytes);
    if (!parsed)
        return Result<SecurityDescriptor>::Fail(err::kInvalidSecurityDescriptor);
    return std::move(*parsed);
}

void DryRun::Put(const std::wstring& path, const SecurityDescriptor& before,
                 const SecurityDescriptor& now) {
    auto [found, added] = index_.emplace(PathKey(path), kept_.size());
    if (added)
        kept_.push_back({path, before, now});
    else
        kept_[found->second].now = now;
}

Result<Bytes> DryRun::ReadThrough(const std::wstring& path, uint32_t info) {
    auto current = Current(path);
    if (!current.ok())
        return Result<Bytes>::Fail(current.error());
    return rules::SelectParts(*current, info);
}

Result<Bytes> DryRun::GetFileSecurity(const std::wstring& path, uint32_t info) {
    if (!index_.count(PathKey(path)))
        return ForwardingPlatform::GetFileSecurity(path, info);
    return ReadThrough(path, info);
}

Result<Bytes> DryRun::GetNamedSecurityInfo(const std::wstring& path, uint32_t info) {
    if (!index_.count(PathKey(path)))
        return ForwardingPlatform::GetNamedSecurityInfo(path, info);
    return ReadThrough(path, info);
}

Status DryRun::SetFileSecurity(const std::wstring& path, uint32_t info, const Bytes& descriptor) {
    auto parts = SecurityDescriptor::Parse(descriptor);
    if (!parts)
        return Status::Fail(err::kInvalidSecurityDescriptor);
    auto current = Current(path);
    if (!current.ok())
        return current.status();
    // Stored as the system stores it: generic rights mapped where they take
    // effect.
    if (info & secinfo::kDacl)
        parts->dacl = rules::MapGenericRightsOnWrite(parts->dacl);
    SecurityDescriptor now = *current;
    if (uint32_t refused = rules::MergeWrittenParts(now, info, *parts))
        return Status::Fail(refused);
    Put(path, *current, now);
    return Status::Ok();
}

Status DryRun::SetNamedSecurityInfo(const std::wstring& path, uint32_t info, const Bytes* ownerSid,
                                    const OptionalAcl* dacl) {
    if (!(info & (secinfo::kOwner | secinfo::kDacl)) || ((info & secinfo::kDacl) && !dacl))
        return Status::Fail(err::kInvalidParameter);
    Store store(*this);
    auto object = store.Object(path);
    if (!object.ok())
        return object.status();
    SecurityDescriptor before = object->security;
    if (info & secinfo::kOwner) {
        auto owner = ownerSid ? Sid::Parse(*ownerSid) : std::nullopt;
        if (!owner)
            return Status::Fail(ownerSid ? err::kInvalidSid : err::kInvalidParameter);
        object->security.owner = owner;
    }
    if (!(info & secinfo::kDacl)) {
        Put(path, before, object->security);
        return Status::Ok();
    }
    auto newDacl = rules::DaclOfNamedWrite(*dacl);
    if (!newDacl.ok())
        return newDacl.status();
    return rules::WriteDaclAndPropagate(store, std::move(*object),
                                        rules::MapGenericRightsOnWrite(*newDacl),
                                        (info & secinfo::kProtectedDacl) != 0);
}

Result<std::vector<InheritedFrom>> DryRun::GetInheritanceSource(const std::wstring& path,
                                                                bool isContainer,
                                                                const Bytes& acl) {
    if (index_.empty())
        return ForwardingPlatform::GetInheritanceSource(path, isContainer, acl);
    auto parsed = Acl::Parse(acl);
    if (!parsed)
        return Result<std::vector<InheritedFrom>>::Fail(err::kInvalidAcl);
    rules::StoredObject object;
    object.path = path;
    object.isContainer = isContainer;
    Store store(*this);
    return rules::InheritanceSources(store, object, *parsed);
}

Status DryRun::TreeResetNamedSecurityInfo(const std::wstring& path, uint32_t info,
                                          const OptionalAcl& dacl, const TreeProgress& progress) {
    if (!(info & secinfo::kDacl) || (info & (secinfo::kOwner | secinfo::kGroup)))
        return Status::Fail(err::kInvalidParameter);
    auto newDacl = rules::DaclOfNamedWrite(dacl);
    if (!newDacl.ok())
        return newDacl.status();
    Store store(*this);
    auto object = store.Object(path);
    if (!object.ok())
        return object.status();
    auto observer = [&](const rules::StoredObject& written, uint32_t error) {
        return !progress || progress(written.path, error);
    };
    return rules::ResetTree(store, std::move(*object), rules::MapGenericRightsOnWrite(*newDacl),
                            (info & secinfo::kProtectedDacl) != 0, observer);
}

std::vector<DryRun::Change> DryRun::Changes() const {
    std::vector<Change> changes;
    for (const Kept& kept : kept_)
        changes.push_back({kept.path, OwnerAndDaclSddl(kept.before), OwnerAndDaclSddl(kept.now)});
    return changes;
}

}  // namespace vm::cli
