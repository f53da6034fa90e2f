#include "platform/ntfs/NtfsStore.h"

#include <sys/stat.h>

#include "platform/TextCase.h"
#include "platform/Utf16.h"
#include "platform/ntfs/Posix.h"
#include "platform/rules/Paths.h"
#include "platform/rules/SecurityParts.h"

namespace vm::ntfs {

namespace {

// Longest name NTFS stores, in UTF-16 units.
constexpr size_t kMaxNameUnits = 255;

// Naming Files, Paths, and Namespaces: characters no Win32 name may hold.
bool IsValidWindowsName(const std::wstring& name) {
    for (wchar_t c : name) {
        if (c < 0x20 || std::wstring_view(L"<>:\"/\\|?*").find(c) != std::wstring_view::npos)
            return false;
    }
    return true;
}

bool IsNotFound(uint32_t error) {
    return error == err::kFileNotFound || error == err::kPathNotFound;
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

uint32_t AttributesFromStatus(const FileStatus& status) {
    uint32_t bits = 0;
    if (status.isDirectory)
        bits |= attr::kDirectory;
    if (status.isSymlink)
        bits |= attr::kReparsePoint;
    if (!status.isDirectory && (status.mode & 0222) == 0)
        bits |= attr::kReadOnly;
    // GetFileAttributesW: FILE_ATTRIBUTE_NORMAL only when no other bit is set.
    return bits != 0 ? bits : attr::kNormal;
}

std::optional<uint32_t> Le32Attribute(const std::string& local, const std::string& name) {
    if (name.empty())
        return std::nullopt;
    auto value = GetAttribute(local, name.c_str());
    if (!value.ok() || value->size() < 4)
        return std::nullopt;
    return ReadLe32(*value, 0);
}

uint64_t ReadLe64(std::span<const uint8_t> bytes, size_t at) {
    return static_cast<uint64_t>(ReadLe32(bytes, at)) |
           (static_cast<uint64_t>(ReadLe32(bytes, at + 4)) << 32);
}

// The driver's attribute where it has one; the POSIX mode otherwise.
uint32_t FileAttributesOf(const std::string& local, const MountedVolume& volume,
                          const FileStatus& status) {
    if (auto stored = Le32Attribute(local, volume.names.fileAttributes))
        return *stored;
    return AttributesFromStatus(status);
}

void FillTimes(FindData& data, const std::string& local, const MountedVolume& volume,
               const FileStatus& status) {
    data.lastWriteTime = status.lastWriteTime;
    if (volume.names.times.empty())
        return;  // Linux keeps no creation time it could give: left 0
    auto times = GetAttribute(local, volume.names.times.c_str());
    if (times.ok() && times->size() >= 16) {
        data.creationTime = ReadLe64(*times, 0);
        data.lastWriteTime = ReadLe64(*times, 8);
    }
}

FindData EntryData(const std::string& local, const MountedVolume& volume, std::string name,
                   const FileStatus& status) {
    FindData data;
    data.name = FromUtf8(name);
    data.attributes = FileAttributesOf(local, volume, status);
    data.size = status.isDirectory ? 0 : status.size;
    FillTimes(data, local, volume, status);
    return data;
}

// Picks the attribute names of the driver that mounted root.
Result<VolumeAttributeNames> ProbeAttributeNames(const std::string& root) {
    VolumeAttributeNames names;
    for (const char* candidate : {kFuseDescriptorAttribute, kKernelDescriptorAttribute}) {
        auto value = GetAttribute(root, candidate);
        if (value.ok()) {
            names.descriptor = candidate;
            break;
        }
        if (value.error() != err::kNotSupported)
            return Result<VolumeAttributeNames>::Fail(value.error());
    }
    if (names.descriptor.empty())
        return Result<VolumeAttributeNames>::Fail(err::kNotSupported);
    if (GetAttribute(root, kFileAttributesAttribute).ok())
        names.fileAttributes = kFileAttributesAttribute;
    if (GetAttribute(root, kTimesAttribute).ok())
        names.times = kTimesAttribute;
    return names;
}

// The descriptor bytes the volume will take: self-relative, valid, with an
// owner and a group.
uint32_t CheckWritable(const Bytes& descriptor) {
    auto parsed = SecurityDescriptor::Parse(descriptor);
    if (!parsed || descriptor.size() < kSelfRelativeHeaderSize ||
        !(ReadLe16(descriptor, 2) & sd_control::kSelfRelative))
        return err::kInvalidSecurityDescriptor;
    if (!parsed->owner)
        return err::kInvalidOwner;
    if (!parsed->group)
        return err::kInvalidSecurityDescriptor;
    return err::kSuccess;
}

// SetFileSecurityW's merge (platform/rules); the volume keeps a group on
// every object, so a group part must hold one.
uint32_t MergeParts(SecurityDescriptor& stored, uint32_t info, const SecurityDescriptor& parts) {
    if ((info & secinfo::kGroup) && !parts.group)
        return err::kNotSupported;
    return rules::MergeWrittenParts(stored, info, parts);
}

}  // namespace

std::optional<VolumeOption> ParseVolumeOption(std::string_view text, std::string* error) {
    auto fail = [&](const std::string& message) -> std::optional<VolumeOption> {
        if (error)
            *error = message;
        return std::nullopt;
    };
    if (text.size() < 3 || text[1] != '=')
        return fail("--volume takes LETTER=PATH, for example C=/mnt/windows");
    char letter = text[0];
    if (letter >= 'a' && letter <= 'z')
        letter = static_cast<char>(letter - 'a' + 'A');
    if (letter < 'A' || letter > 'Z')
        return fail("--volume: '" + std::string(1, text[0]) + "' is no drive letter (A to Z)");
    return VolumeOption{static_cast<wchar_t>(letter), std::string(text.substr(2))};
}

namespace {

// The folder a volume is mounted at must be one.
uint32_t CheckMountFolder(const std::string& mountPath) {
    if (mountPath.empty())
        return err::kInvalidParameter;
    auto status = StatNoFollow(mountPath);
    if (!status.ok())
        return status.error() == err::kFileNotFound ? err::kPathNotFound : status.error();
    return status->isDirectory ? err::kSuccess : err::kDirectory;
}

}  // namespace

Status NtfsStore::AddVolume(wchar_t letter, const std::string& mountPath) {
    if (uint32_t refused = CheckMountFolder(mountPath))
        return Status::Fail(refused);
    auto names = ProbeAttributeNames(mountPath);
    if (!names.ok())
        return names.status();
    return AddVolume(letter, mountPath, std::move(*names));
}

Status NtfsStore::AddVolume(wchar_t letter, const std::string& mountPath,
                            VolumeAttributeNames names) {
    wchar_t drive = FoldCase(letter);
    if (drive < L'A' || drive > L'Z' || names.descriptor.empty())
        return Status::Fail(err::kInvalidParameter);
    if (uint32_t refused = CheckMountFolder(mountPath))
        return Status::Fail(refused);
    volumes_[drive] = MountedVolume{mountPath, std::move(names)};
    return Status::Ok();
}

std::vector<wchar_t> NtfsStore::Letters() const {
    std::vector<wchar_t> letters;
    for (const auto& [letter, volume] : volumes_)
        letters.push_back(letter);
    return letters;
}

bool NtfsStore::HasVolume(wchar_t letter) const {
    return VolumeOf(FoldCase(letter)) != nullptr;
}

const MountedVolume* NtfsStore::VolumeOf(wchar_t drive) const {
    auto found = volumes_.find(drive);
    return found == volumes_.end() ? nullptr : &found->second;
}

Result<std::string> NtfsStore::DirectPath(const std::wstring& path,
                                          const MountedVolume** volume) const {
    auto parsed = rules::ParsePath(path);
    if (!parsed)
        return Result<std::string>::Fail(path.empty() ? err::kPathNotFound : err::kInvalidName);
    *volume = VolumeOf(parsed->drive);
    if (!*volume)
        return Result<std::string>::Fail(err::kPathNotFound);
    std::string local = (*volume)->root;
    for (const auto& name : parsed->components) {
        if (!IsValidWindowsName(name))
            return Result<std::string>::Fail(err::kInvalidName);
        if (ToUtf16(name).size() > kMaxNameUnits)
            return Result<std::string>::Fail(kErrorFilenameTooLong);
        local = Join(local, ToUtf8(name));
    }
    return local;
}

Result<std::string> NtfsStore::Resolve(const std::wstring& path,
                                       const MountedVolume** volume) const {
    if (auto direct = DirectPath(path, volume); !direct.ok())
        return direct;
    auto parsed = rules::ParsePath(path);
    std::string local = (*volume)->root;
    const auto& names = parsed->components;
    for (size_t i = 0; i < names.size(); ++i) {
        bool last = i + 1 == names.size();
        uint32_t missing = last ? err::kFileNotFound : err::kPathNotFound;
        // Windows goes on through junctions inside a path; so does Linux
        // through the symbolic links the driver shows for them.
        struct stat folder {};
        if (stat(local.c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode))
            return Result<std::string>::Fail(err::kPathNotFound);
        std::string exact = Join(local, ToUtf8(names[i]));
        if (StatNoFollow(exact).ok()) {
            local = std::move(exact);
            continue;
        }
        auto entries = ReadFolder(local);
        if (!entries.ok())
            return Result<std::string>::Fail(entries.error());
        const FolderEntry* match = nullptr;
        for (const auto& entry : *entries) {
            if (EqualsIgnoringCase(FromUtf8(entry.name), names[i])) {
                match = &entry;
                break;
            }
        }
        if (!match)
            return Result<std::string>::Fail(missing);
        local = Join(local, match->name);
    }
    return local;
}

template <class T, class Op>
Result<T> NtfsStore::OnObject(const std::wstring& path, Op op) const {
    const MountedVolume* volume = nullptr;
    auto direct = DirectPath(path, &volume);
    if (!direct.ok())
        return Result<T>::Fail(direct.error());
    Result<T> result = op(*direct, *volume);
    if (result.ok() || !IsNotFound(result.error()))
        return result;
    auto resolved = Resolve(path, &volume);
    if (!resolved.ok())
        return Result<T>::Fail(resolved.error());
    if (*resolved == *direct)
        return result;
    return op(*resolved, *volume);
}

Result<std::string> NtfsStore::LocalPath(const std::wstring& path) const {
    return OnObject<std::string>(path, [](const std::string& local, const MountedVolume&) {
        auto status = StatNoFollow(local);
        return status.ok() ? Result<std::string>(local) : Result<std::string>::Fail(status.error());
    });
}

Result<Bytes> NtfsStore::ReadDescriptor(const std::wstring& path) const {
    return OnObject<Bytes>(path, [](const std::string& local, const MountedVolume& volume) {
        auto bytes = GetAttribute(local, volume.names.descriptor.c_str());
        if (bytes.ok() && !SecurityDescriptor::Parse(*bytes))
            return Result<Bytes>::Fail(err::kInvalidSecurityDescriptor);
        return bytes;
    });
}

Status NtfsStore::WriteDescriptor(const std::wstring& path, const Bytes& descriptor) {
    std::lock_guard lock(writeMutex_);
    return WriteLocked(path, descriptor);
}

Status NtfsStore::WriteLocked(const std::wstring& path, const Bytes& descriptor) {
    if (uint32_t refused = CheckWritable(descriptor))
        return Status::Fail(refused);
    auto written = OnObject<bool>(path, [&](const std::string& local, const MountedVolume& volume) {
        auto status = SetAttribute(local, volume.names.descriptor.c_str(), descriptor);
        // The driver refuses a descriptor it cannot store with EINVAL.
        if (status.error == err::kInvalidParameter)
            return Result<bool>::Fail(err::kInvalidSecurityDescriptor);
        return status.ok() ? Result<bool>(true) : Result<bool>::Fail(status.error);
    });
    return written.status();
}

Status NtfsStore::WriteParts(const std::wstring& path, uint32_t info,
                             const SecurityDescriptor& parts) {
    // Read, merge and write under one lock, so that an owner change and a
    // DACL change made at the same time do not undo each other.
    std::lock_guard lock(writeMutex_);
    auto stored = ReadDescriptor(path);
    if (!stored.ok())
        return stored.status();
    return MergeLocked(path, *stored, info, parts).status();
}

Result<Bytes> NtfsStore::WritePartsOnto(const std::wstring& path, const Bytes& stored,
                                        uint32_t info, const SecurityDescriptor& parts) {
    std::lock_guard lock(writeMutex_);
    return MergeLocked(path, stored, info, parts);
}

Result<Bytes> NtfsStore::MergedParts(const Bytes& stored, uint32_t info,
                                     const SecurityDescriptor& parts) const {
    auto merged = SecurityDescriptor::Parse(stored);
    if (!merged)
        return Result<Bytes>::Fail(err::kInvalidSecurityDescriptor);
    if (uint32_t refused = MergeParts(*merged, info, parts))
        return Result<Bytes>::Fail(refused);
    Bytes bytes = merged->ToSelfRelative();
    if (bytes != stored) {
        if (uint32_t refused = CheckWritable(bytes))
            return Result<Bytes>::Fail(refused);
    }
    return bytes;
}

Result<Bytes> NtfsStore::MergeLocked(const std::wstring& path, const Bytes& stored, uint32_t info,
                                     const SecurityDescriptor& parts) {
    auto merged = MergedParts(stored, info, parts);
    // A write that would store the same bytes again is left out.
    if (!merged.ok() || *merged == stored)
        return merged;
    if (Status written = WriteLocked(path, *merged); !written.ok())
        return Result<Bytes>::Fail(written.error);
    return merged;
}

Result<uint32_t> NtfsStore::Attributes(const std::wstring& path) const {
    return OnObject<uint32_t>(path, [](const std::string& local, const MountedVolume& volume) {
        auto status = StatNoFollow(local);
        if (!status.ok())
            return Result<uint32_t>::Fail(status.error());
        return Result<uint32_t>(FileAttributesOf(local, volume, *status));
    });
}

Result<FindData> NtfsStore::Describe(const std::wstring& path) const {
    return OnObject<FindData>(path, [](const std::string& local, const MountedVolume& volume) {
        auto status = StatNoFollow(local);
        if (!status.ok())
            return Result<FindData>::Fail(status.error());
        std::string name = local.substr(local.find_last_of('/') + 1);
        return Result<FindData>(EntryData(local, volume, std::move(name), *status));
    });
}

namespace {

// Whether the local path names a folder, or a link the driver shows for a
// junction to one.
bool IsFolderOrLinkToFolder(const std::string& local, const FileStatus& self) {
    struct stat target {};
    return self.isDirectory ||
           (self.isSymlink && stat(local.c_str(), &target) == 0 && S_ISDIR(target.st_mode));
}

// A junction or symbolic link: a folder when its stored attributes say so
// (a link to a missing target still is one), else when its target is one.
bool LinkIsFolder(const std::string& local, const MountedVolume& volume) {
    if (auto stored = Le32Attribute(local, volume.names.fileAttributes))
        return (*stored & attr::kDirectory) != 0;
    struct stat target {};
    return stat(local.c_str(), &target) == 0 && S_ISDIR(target.st_mode);
}

}  // namespace

Result<std::vector<FindData>> NtfsStore::List(const std::wstring& folderPath) const {
    using Entries = std::vector<FindData>;
    return OnObject<Entries>(folderPath, [](const std::string& local, const MountedVolume& volume) {
        auto self = StatNoFollow(local);
        if (!self.ok())
            return Result<Entries>::Fail(self.error());
        if (!IsFolderOrLinkToFolder(local, *self))
            return Result<Entries>::Fail(err::kDirectory);
        auto names = ReadFolder(local);
        if (!names.ok())
            return Result<Entries>::Fail(names.error());
        Entries entries;
        entries.reserve(names->size());
        for (const auto& entry : *names) {
            std::string child = Join(local, entry.name);
            auto status = StatNoFollow(child);
            if (!status.ok())
                continue;  // gone since the folder was read
            entries.push_back(EntryData(child, volume, entry.name, *status));
        }
        return Result<Entries>(std::move(entries));
    });
}

Result<std::vector<NamedEntry>> NtfsStore::ListNames(const std::wstring& folderPath) const {
    using Entries = std::vector<NamedEntry>;
    return OnObject<Entries>(folderPath, [](const std::string& local, const MountedVolume& volume) {
        auto self = StatNoFollow(local);
        if (!self.ok())
            return Result<Entries>::Fail(self.error());
        if (!IsFolderOrLinkToFolder(local, *self))
            return Result<Entries>::Fail(err::kDirectory);
        auto found = ReadFolder(local);
        if (!found.ok())
            return Result<Entries>::Fail(found.error());
        Entries entries;
        entries.reserve(found->size());
        for (const auto& entry : *found) {
            NamedEntry named{FromUtf8(entry.name), entry.isDirectory, entry.isSymlink};
            std::string child = Join(local, entry.name);
            if (!entry.typeKnown) {
                auto status = StatNoFollow(child);
                if (!status.ok())
                    continue;  // gone since the folder was read
                named.isDirectory = status->isDirectory;
                named.isReparsePoint = status->isSymlink;
            }
            if (named.isReparsePoint)
                named.isDirectory = LinkIsFolder(child, volume);
            entries.push_back(std::move(named));
        }
        return Result<Entries>(std::move(entries));
    });
}

Result<std::wstring> NtfsStore::StoredPath(const std::wstring& path) const {
    auto parsed = rules::ParsePath(path);
    auto local = LocalPath(path);
    if (!local.ok())
        return Result<std::wstring>::Fail(local.error());
    const MountedVolume* volume = VolumeOf(parsed->drive);
    // The local path is the volume's root followed by the stored names.
    std::string rest = local->substr(volume->root.size());
    std::vector<std::wstring> names;
    for (size_t at = 0; at < rest.size();) {
        size_t slash = rest.find('/', at);
        if (slash == std::string::npos)
            slash = rest.size();
        if (slash > at)
            names.push_back(FromUtf8(rest.substr(at, slash - at)));
        at = slash + 1;
    }
    return rules::JoinPath(parsed->drive, names);
}

}  // namespace vm::ntfs
