#include "platform/ntfs/NtfsPlatform.h"

#include <utility>

#include "platform/rules/AceInheritance.h"
#include "platform/rules/GenericMapping.h"
#include "platform/rules/Paths.h"
#include "platform/rules/Propagation.h"
#include "platform/rules/SecurityParts.h"
#include "platform/rules/Token.h"
#include "security/SecurityDescriptor.h"

namespace vm::ntfs {

namespace {

template <class T>
Result<T> Fail(uint32_t error) {
    return Result<T>::Fail(error);
}

// NetUserGetLocalGroups for a name that is no user (NERR_UserNotFound).
constexpr uint32_t kNerrUserNotFound = 2221;

// The process on Linux reaches the volume with every right; its token only
// has to behave as a handle.
class VolumeTokenHandle final : public TokenHandle {
  public:
    explicit VolumeTokenHandle(uint32_t access) : access_(access) {}
    uint32_t access() const { return access_; }

  private:
    uint32_t access_;
};

}  // namespace

bool NtfsPlatform::LoadInstallation() {
    for (wchar_t letter : store_.Letters()) {
        std::wstring root{letter, L':', L'\\'};
        auto windows = store_.Describe(root + L"Windows");
        if (!windows.ok() || !(windows->attributes & attr::kDirectory))
            continue;
        windowsDirectory_ = root + windows->name;
        auto sam = store_.LocalPath(windowsDirectory_ + L"\\System32\\config\\SAM");
        auto samHive = sam.ok() ? OpenHiveFile(*sam) : nullptr;
        if (!samHive)
            return false;
        std::wstring computerName;
        auto system = store_.LocalPath(windowsDirectory_ + L"\\System32\\config\\SYSTEM");
        if (auto systemHive = system.ok() ? OpenHiveFile(*system) : nullptr)
            computerName = ComputerNameFromSystemHive(*systemHive);
        return accounts_.AddFromSam(*samHive, computerName);
    }
    return false;
}

// ---- The volume as a store of secured objects (platform/rules) -------------------

class NtfsPlatform::Store final : public rules::SecurityStore {
  public:
    explicit Store(NtfsPlatform& platform) : platform_(platform) {}

    // The object at path, named and secured as stored (the walk below it
    // then finds every child by its exact name).
    Result<rules::StoredObject> Object(const std::wstring& path) {
        rules::StoredObject object;
        auto stored = platform_.StoredPathOf(path);
        if (!stored.ok())
            return Result<rules::StoredObject>::Fail(stored.error());
        object.path = *stored;
        auto attributes = platform_.store_.Attributes(object.path);
        if (!attributes.ok())
            return Result<rules::StoredObject>::Fail(attributes.error());
        object.isContainer = (*attributes & attr::kDirectory) != 0;
        object.isReparsePoint = (*attributes & attr::kReparsePoint) != 0;
        if (uint32_t error = Fill(object))
            return Result<rules::StoredObject>::Fail(error);
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
        // Ancestors are named with their names as stored.
        auto stored = platform_.StoredPathOf(rules::JoinPath(parsed->drive, parsed->components));
        if (!stored.ok())
            return Result<Answer>::Fail(stored.error());
        rules::StoredObject parent;
        parent.path = *stored;
        parent.isContainer = true;
        if (uint32_t error = Fill(parent))
            return Result<Answer>::Fail(error);
        return Answer(std::move(parent));
    }

    // One listing of names, then one descriptor read per child.
    Result<std::vector<rules::StoredObject>> Children(const rules::StoredObject& folder) override {
        using Objects = std::vector<rules::StoredObject>;
        auto names = platform_.store_.ListNames(folder.path);
        if (!names.ok())
            return Result<Objects>::Fail(names.error());
        std::wstring prefix = folder.path;
        if (prefix.back() != L'\\')
            prefix += L'\\';
        Objects children;
        children.reserve(names->size());
        for (const NamedEntry& entry : *names) {
            rules::StoredObject child;
            child.path = prefix + entry.name;
            child.isContainer = entry.isDirectory;
            child.isReparsePoint = entry.isReparsePoint;
            child.readError = Fill(child);
            children.push_back(std::move(child));
        }
        return children;
    }

    // One whole descriptor write: the volume keeps owner, group, DACL and
    // SACL in one attribute.
    Status WriteDacl(const rules::StoredObject& object) override {
        return platform_.store_.WriteDescriptor(object.path, object.security.ToSelfRelative());
    }

    uint32_t CheckAccess(const rules::StoredObject&, uint32_t) override { return err::kSuccess; }

  private:
    uint32_t Fill(rules::StoredObject& object) {
        auto security = platform_.ReadParsed(object.path);
        if (!security.ok())
            return security.error();
        object.security = std::move(*security);
        return err::kSuccess;
    }

    NtfsPlatform& platform_;
};

// ---- Kept reads ---------------------------------------------------------------------------

namespace {

// Paths compare as NTFS compares names.
std::wstring KeptKey(const std::wstring& path) {
    auto parsed = rules::ParsePath(path);
    if (!parsed)
        return path;
    for (auto& name : parsed->components)
        name = rules::FoldCase(name);
    return rules::JoinPath(parsed->drive, parsed->components);
}

}  // namespace

NtfsPlatform::~NtfsPlatform() {
    WriteHeldExcept(nullptr);
}

void NtfsPlatform::KeepReads(bool on) {
    WriteHeldExcept(nullptr);
    std::lock_guard lock(keptMutex_);
    keepReads_ = on;
    keptDescriptors_.clear();
    keptStoredPaths_.clear();
    keptNames_.clear();
}

bool NtfsPlatform::KeepingReads() {
    std::lock_guard lock(keptMutex_);
    return keepReads_;
}

std::vector<std::pair<std::wstring, uint32_t>> NtfsPlatform::TakeLostWrites() {
    std::lock_guard lock(keptMutex_);
    return std::exchange(lostWrites_, {});
}

void NtfsPlatform::DropKeptReads() {
    WriteHeldExcept(nullptr);
    std::lock_guard lock(keptMutex_);
    keptDescriptors_.clear();
    keptStoredPaths_.clear();
}

void NtfsPlatform::KeepListed(const std::wstring& folderPath,
                              const std::vector<NamedEntry>& names) {
    std::lock_guard lock(keptMutex_);
    if (!keepReads_)
        return;
    std::wstring folder = KeptKey(folderPath);
    if (!folder.ends_with(L'\\'))
        folder += L'\\';
    for (const NamedEntry& named : names)
        keptNames_.insert(folder + rules::FoldCase(named.name));
}

void NtfsPlatform::KeepWritten(const std::wstring& path, const Result<Bytes>& written) {
    std::lock_guard lock(keptMutex_);
    if (written.ok() && keepReads_)
        keptDescriptors_[KeptKey(path)] = {*written, *SecurityDescriptor::Parse(*written)};
    else
        keptDescriptors_.erase(KeptKey(path));
}

std::optional<NtfsPlatform::KeptDescriptor> NtfsPlatform::Kept(const std::wstring& path) {
    std::lock_guard lock(keptMutex_);
    auto kept = keptDescriptors_.find(KeptKey(path));
    if (kept == keptDescriptors_.end())
        return std::nullopt;
    return kept->second;
}

// The store's reader has checked that the bytes parse.
Result<NtfsPlatform::KeptDescriptor> NtfsPlatform::ReadKept(const std::wstring& path) {
    WriteHeldExcept(&path);
    if (auto kept = Kept(path))
        return std::move(*kept);
    auto bytes = store_.ReadDescriptor(path);
    if (!bytes.ok())
        return Result<KeptDescriptor>::Fail(bytes.error());
    KeptDescriptor read{*bytes, *SecurityDescriptor::Parse(*bytes)};
    std::lock_guard lock(keptMutex_);
    if (keepReads_)
        keptDescriptors_.emplace(KeptKey(path), read);
    return read;
}

Result<Bytes> NtfsPlatform::ReadStored(const std::wstring& path) {
    auto read = ReadKept(path);
    if (!read.ok())
        return Result<Bytes>::Fail(read.error());
    return std::move(read->bytes);
}

Result<SecurityDescriptor> NtfsPlatform::ReadParsed(const std::wstring& path) {
    auto read = ReadKept(path);
    if (!read.ok())
        return Result<SecurityDescriptor>::Fail(read.error());
    return std::move(read->parsed);
}

Result<std::wstring> NtfsPlatform::StoredPathOf(const std::wstring& path) {
    {
        std::lock_guard lock(keptMutex_);
        if (auto kept = keptStoredPaths_.find(KeptKey(path)); kept != keptStoredPaths_.end())
            return kept->second;
    }
    auto stored = store_.StoredPath(path);
    std::lock_guard lock(keptMutex_);
    if (stored.ok() && keepReads_)
        keptStoredPaths_.emplace(KeptKey(path), *stored);
    return stored;
}

// The merge of SetFileSecurityW onto the descriptor as stored: while reads
// are kept, onto the kept one, and what was written is kept in its place.
Status NtfsPlatform::WriteParts(const std::wstring& path, uint32_t info,
                                const SecurityDescriptor& parts) {
    if (!KeepingReads())
        return store_.WriteParts(path, info, parts);
    auto stored = ReadStored(path);
    if (!stored.ok())
        return stored.status();
    auto onVolume = HeldOnVolume(path);
    if (!onVolume) {
        auto written = store_.WritePartsOnto(path, *stored, info, parts);
        KeepWritten(path, written);
        return written.status();
    }
    // The held owner goes in the same write; a merge refused leaves it held.
    auto merged = store_.MergedParts(*stored, info, parts);
    if (!merged.ok())
        return merged.status();
    {
        std::lock_guard lock(keptMutex_);
        held_.reset();
    }
    Status written = *merged == *onVolume ? Status::Ok() : store_.WriteDescriptor(path, *merged);
    KeepWritten(path, written.ok() ? Result<Bytes>(*merged) : Result<Bytes>::Fail(written.error));
    return written;
}

// ---- Held owners --------------------------------------------------------------------------

std::optional<Bytes> NtfsPlatform::HeldOnVolume(const std::wstring& path) {
    std::lock_guard lock(keptMutex_);
    if (!held_ || KeptKey(held_->path) != KeptKey(path))
        return std::nullopt;
    return held_->onVolume;
}

// Refused as the write would be refused, before anything is held.
Status NtfsPlatform::HoldOwner(const std::wstring& path, const SecurityDescriptor& parts) {
    auto stored = ReadStored(path);
    if (!stored.ok())
        return stored.status();
    auto merged = store_.MergedParts(*stored, secinfo::kOwner, parts);
    if (!merged.ok())
        return merged.status();
    auto onVolume = HeldOnVolume(path);
    std::lock_guard lock(keptMutex_);
    keptDescriptors_[KeptKey(path)] = {*merged, *SecurityDescriptor::Parse(*merged)};
    // An owner given back before the write leaves nothing to write.
    if (*merged == onVolume.value_or(*stored))
        held_.reset();
    else
        held_ = HeldOwnerWrite{path, onVolume.value_or(*stored)};
    return Status::Ok();
}

void NtfsPlatform::WriteHeldExcept(const std::wstring* path) {
    HeldOwnerWrite held;
    Bytes bytes;
    {
        std::lock_guard lock(keptMutex_);
        if (!held_ || (path && KeptKey(held_->path) == KeptKey(*path)))
            return;
        held = std::move(*held_);
        held_.reset();
        auto kept = keptDescriptors_.find(KeptKey(held.path));
        if (kept == keptDescriptors_.end())
            return;
        bytes = kept->second.bytes;
    }
    Status written = store_.WriteDescriptor(held.path, bytes);
    if (written.ok())
        return;
    std::lock_guard lock(keptMutex_);
    keptDescriptors_.erase(KeptKey(held.path));
    lostWrites_.emplace_back(held.path, written.error);
}

// ---- Security ---------------------------------------------------------------------------

Result<Bytes> NtfsPlatform::GetFileSecurity(const std::wstring& path, uint32_t info) {
    auto stored = ReadParsed(path);
    if (!stored.ok())
        return Result<Bytes>::Fail(stored.error());
    return rules::SelectParts(*stored, info);
}

Result<Bytes> NtfsPlatform::GetNamedSecurityInfo(const std::wstring& path, uint32_t info) {
    return GetFileSecurity(path, info);
}

// Stored as SetFileSecurityW stores it, by the shared rule
// (rules/GenericMapping.h): generic rights of the entries that take effect
// are mapped, nothing is merged with the parent and nothing propagates.
Status NtfsPlatform::SetFileSecurity(const std::wstring& path, uint32_t info,
                                     const Bytes& descriptor) {
    auto parts = SecurityDescriptor::Parse(descriptor);
    if (!parts)
        return Status::Fail(err::kInvalidSecurityDescriptor);
    if (info & secinfo::kDacl)
        parts->dacl = rules::MapGenericRightsOnWrite(parts->dacl);
    return WriteParts(path, info, *parts);
}

// The owner alone is merged into the stored descriptor; a DACL goes through
// the shared rules, which rebuild the inherited entries of an unprotected
// one and propagate to everything below. An owner given with the DACL is
// written in the same write as the object's DACL.
Status NtfsPlatform::SetNamedSecurityInfo(const std::wstring& path, uint32_t info,
                                          const Bytes* ownerSid, const OptionalAcl* dacl) {
    if (!(info & (secinfo::kOwner | secinfo::kDacl)))
        return Status::Fail(err::kInvalidParameter);
    std::optional<Sid> owner;
    if (info & secinfo::kOwner) {
        if (!ownerSid)
            return Status::Fail(err::kInvalidParameter);
        owner = Sid::Parse(*ownerSid);
        if (!owner)
            return Status::Fail(err::kInvalidSid);
    }
    if (!(info & secinfo::kDacl)) {
        SecurityDescriptor parts;
        parts.owner = owner;
        return KeepingReads() ? HoldOwner(path, parts) : WriteParts(path, secinfo::kOwner, parts);
    }
    // The walk below writes many objects: nothing kept stays.
    DropKeptReads();
    if (!dacl)
        return Status::Fail(err::kInvalidParameter);
    auto newDacl = rules::DaclOfNamedWrite(*dacl);
    if (!newDacl.ok())
        return newDacl.status();
    Store store(*this);
    auto object = store.Object(path);
    if (!object.ok())
        return object.status();
    if (owner)
        object->security.owner = owner;
    Status written = rules::WriteDaclAndPropagate(store, std::move(*object),
                                                  rules::MapGenericRightsOnWrite(*newDacl),
                                                  (info & secinfo::kProtectedDacl) != 0);
    DropKeptReads();
    return written;
}

Status NtfsPlatform::TreeResetNamedSecurityInfo(const std::wstring& path, uint32_t info,
                                                const OptionalAcl& dacl,
                                                const TreeProgress& progress) {
    if (!(info & secinfo::kDacl) || (info & (secinfo::kOwner | secinfo::kGroup)))
        return Status::Fail(err::kInvalidParameter);
    auto newDacl = rules::DaclOfNamedWrite(dacl);
    if (!newDacl.ok())
        return newDacl.status();
    DropKeptReads();
    Store store(*this);
    auto object = store.Object(path);
    if (!object.ok())
        return object.status();
    auto observer = [&](const rules::StoredObject& written, uint32_t error) {
        return !progress || progress(written.path, error);
    };
    Status reset =
        rules::ResetTree(store, std::move(*object), rules::MapGenericRightsOnWrite(*newDacl),
                         (info & secinfo::kProtectedDacl) != 0, observer);
    DropKeptReads();
    return reset;
}

Result<std::vector<InheritedFrom>> NtfsPlatform::GetInheritanceSource(const std::wstring& path,
                                                                      bool isContainer,
                                                                      const Bytes& acl) {
    using Sources = std::vector<InheritedFrom>;
    auto parsed = Acl::Parse(acl);
    if (!parsed)
        return Fail<Sources>(err::kInvalidAcl);
    // Only the ancestors are read; the object itself needs no more than its
    // path.
    rules::StoredObject object;
    object.path = path;
    object.isContainer = isContainer;
    Store store(*this);
    return rules::InheritanceSources(store, object, *parsed);
}

Result<Bytes> NtfsPlatform::SetEntriesInAcl(const std::vector<ExplicitAccess>& entries,
                                            const OptionalAcl& oldAcl) {
    return rules::SetEntriesInAcl(entries, oldAcl, [this](const std::wstring& name) {
        auto account = accounts_.FindByName(name);
        return account ? std::optional<Sid>(account->sid) : std::nullopt;
    });
}

// ---- Accounts ---------------------------------------------------------------------------

Result<AccountByName> NtfsPlatform::LookupAccountName(const std::wstring& name) {
    auto account = accounts_.FindByName(name);
    if (!account)
        return Fail<AccountByName>(err::kNoneMapped);
    return AccountByName{account->sid.ToBytes(), account->domain, account->use};
}

Result<AccountBySid> NtfsPlatform::LookupAccountSid(const Bytes& sid) {
    auto parsed = Sid::Parse(sid);
    if (!parsed || parsed->length() != sid.size())
        return Fail<AccountBySid>(err::kInvalidSid);
    auto account = accounts_.FindBySid(*parsed);
    if (!account)
        return Fail<AccountBySid>(err::kNoneMapped);
    return AccountBySid{account->name, account->domain, account->use};
}

Result<std::wstring> NtfsPlatform::ConvertSidToStringSid(const Bytes& sid) {
    auto parsed = Sid::Parse(sid);
    if (!parsed)
        return Fail<std::wstring>(err::kInvalidSid);
    return parsed->ToString();
}

Status NtfsPlatform::EvaluateAs(const std::wstring& accountName) {
    auto account = accounts_.FindByName(accountName);
    if (!account)
        return Status::Fail(err::kNoneMapped);
    evaluatedAccount_ = accountName;
    return Status::Ok();
}

// The account chosen with EvaluateAs, else a member of Administrators.
Result<std::wstring> NtfsPlatform::GetUserName() {
    if (evaluatedAccount_)
        return *evaluatedAccount_;
    if (auto administrator = accounts_.BuiltinAdministrator())
        return administrator->name;
    return std::wstring(L"Administrators");
}

Result<std::vector<std::wstring>> NtfsPlatform::GetLocalGroupsOfUser(const std::wstring& user) {
    using Names = std::vector<std::wstring>;
    auto account = accounts_.FindByName(user);
    if (!account || account->use != SidNameUse::kUser)
        return Fail<Names>(kNerrUserNotFound);
    return accounts_.LocalGroupsOf(account->sid);
}

// ---- Privileges -------------------------------------------------------------------------

Result<std::unique_ptr<TokenHandle>> NtfsPlatform::OpenProcessToken(uint32_t desiredAccess) {
    return std::unique_ptr<TokenHandle>(std::make_unique<VolumeTokenHandle>(desiredAccess));
}

Result<Luid> NtfsPlatform::LookupPrivilegeValue(const std::wstring& name) {
    auto luid = rules::PrivilegeLuid(name);
    if (!luid)
        return Fail<Luid>(err::kNoSuchPrivilege);
    return *luid;
}

// The volume checks no rights, so every privilege counts as held.
Result<bool> NtfsPlatform::AdjustTokenPrivilege(TokenHandle& token, Luid privilege, bool) {
    auto* handle = dynamic_cast<VolumeTokenHandle*>(&token);
    if (!handle)
        return Fail<bool>(err::kInvalidHandle);
    if (!(handle->access() & kTokenAdjustPrivileges))
        return Fail<bool>(err::kAccessDenied);
    if (rules::PrivilegeName(privilege).empty())
        return Fail<bool>(err::kNoSuchPrivilege);
    return true;
}

// ---- File system ------------------------------------------------------------------------

bool NtfsPlatform::PathFileExists(const std::wstring& path) {
    {
        // An object this run has read or listed is there.
        std::lock_guard lock(keptMutex_);
        std::wstring key = KeptKey(path);
        if (keptDescriptors_.count(key) || keptNames_.count(key))
            return true;
    }
    return store_.LocalPath(path).ok();
}

void NtfsPlatform::SetLeanListings(bool on) {
    leanListings_ = on;
}

// Names and the folder and reparse point bits only, from one listing of
// the folder.
Result<std::vector<FindData>> NtfsPlatform::LeanList(const std::wstring& folderPath) {
    using Entries = std::vector<FindData>;
    auto names = store_.ListNames(folderPath);
    if (!names.ok())
        return Result<Entries>::Fail(names.error());
    Entries entries;
    entries.reserve(names->size());
    KeepListed(folderPath, *names);
    for (const NamedEntry& named : *names) {
        FindData data;
        data.name = named.name;
        data.attributes = (named.isDirectory ? attr::kDirectory : 0u) |
                          (named.isReparsePoint ? attr::kReparsePoint : 0u);
        if (data.attributes == 0)
            data.attributes = attr::kNormal;
        entries.push_back(std::move(data));
    }
    return entries;
}

Result<uint32_t> NtfsPlatform::GetFileAttributes(const std::wstring& path) {
    return store_.Attributes(path);
}

Result<std::vector<FindData>> NtfsPlatform::FindFiles(const std::wstring& pattern) {
    using Entries = std::vector<FindData>;
    size_t slash = pattern.find_last_of(L"\\/");
    if (slash == std::wstring::npos)
        return Fail<Entries>(err::kInvalidName);
    std::wstring folderPath = pattern.substr(0, slash + 1);
    std::wstring namePattern = pattern.substr(slash + 1);
    auto listed = leanListings_ ? LeanList(folderPath) : store_.List(folderPath);
    if (!listed.ok())
        return Fail<Entries>(listed.error() == err::kFileNotFound ? err::kPathNotFound
                                                                  : listed.error());
    Entries entries;
    // NTFS lists "." and ".." first in every folder but a root.
    auto parsed = rules::ParsePath(folderPath);
    if (parsed && !parsed->IsRoot() && leanListings_) {
        for (const wchar_t* dot : {L".", L".."}) {
            if (rules::MatchesPattern(namePattern, dot))
                entries.push_back({dot, attr::kDirectory, 0, 0, 0});
        }
    } else if (parsed && !parsed->IsRoot()) {
        auto self = store_.Describe(folderPath);
        auto parent = store_.Describe(folderPath + L"..");
        for (auto [name, data] : {std::pair{L".", &self}, std::pair{L"..", &parent}}) {
            if (data->ok() && rules::MatchesPattern(namePattern, name)) {
                FindData dot = **data;
                dot.name = name;
                entries.push_back(std::move(dot));
            }
        }
    }
    for (auto& entry : *listed) {
        if (rules::MatchesPattern(namePattern, entry.name))
            entries.push_back(std::move(entry));
    }
    if (entries.empty())
        return Fail<Entries>(err::kFileNotFound);
    return entries;
}

Result<std::wstring> NtfsPlatform::GetVolumeFileSystemName(const std::wstring& rootPath) {
    auto parsed = rules::ParsePath(rootPath);
    if (!parsed || !parsed->IsRoot())
        return Fail<std::wstring>(err::kInvalidName);
    if (!store_.HasVolume(parsed->drive))
        return Fail<std::wstring>(err::kPathNotFound);
    return std::wstring(L"NTFS");
}

std::vector<std::wstring> NtfsPlatform::GetLogicalDriveStrings() {
    std::vector<std::wstring> drives;
    for (wchar_t letter : store_.Letters())
        drives.push_back(std::wstring{letter, L':', L'\\'});
    return drives;
}

std::wstring NtfsPlatform::GetWindowsDirectory() {
    return windowsDirectory_;
}

std::wstring NtfsPlatform::GetSystemDirectory() {
    return windowsDirectory_ + L"\\System32";
}

// A 32-bit installation has no SysWOW64 folder.
Result<std::wstring> NtfsPlatform::GetSystemWow64Directory() {
    auto wow64 = store_.Describe(windowsDirectory_ + L"\\SysWOW64");
    if (!wow64.ok() || !(wow64->attributes & attr::kDirectory))
        return Fail<std::wstring>(err::kCallNotImplemented);
    return windowsDirectory_ + L"\\" + wow64->name;
}

}  // namespace vm::ntfs
