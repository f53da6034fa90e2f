// NTFS volumes mounted on Linux, reached by Windows paths. Each drive letter
// maps to the folder where a volume is mounted ("--volume C=/mnt/windows").
// The driver exposes each object's self-relative security descriptor as an
// extended attribute (the FUSE driver as system.ntfs_acl, the kernel's ntfs3
// driver as system.ntfs_security); the store reads and writes it there,
// checks every descriptor with the project's reader before it passes it on
// or writes it, lists folders with POSIX calls and resolves names without
// regard to letter case, as NTFS does for Win32 callers. Failures are the
// Windows error codes the Win32 calls would report.
//
// Thread-safe: the volume table is set up before use; writes that merge
// parts into the stored descriptor are serialised.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"
#include "platform/rules/SecurityParts.h"
#include "security/SecurityDescriptor.h"

namespace vm::ntfs {

// Extended attributes of the two Linux NTFS drivers.
inline constexpr const char* kFuseDescriptorAttribute = "system.ntfs_acl";
inline constexpr const char* kKernelDescriptorAttribute = "system.ntfs_security";
// FILE_ATTRIBUTE_* bits, 32-bit little-endian.
inline constexpr const char* kFileAttributesAttribute = "system.ntfs_attrib";
// Four FILETIMEs, little-endian: creation, last write, last access, change.
inline constexpr const char* kTimesAttribute = "system.ntfs_times";

// The SACL's bits of the control word.
inline constexpr uint16_t kSaclControlBits = rules::kSaclControlBits;

// "C=/mnt/windows" as --volume takes it.
struct VolumeOption {
    wchar_t letter = 0;  // upper case
    std::string mountPath;
};
// nullopt, with a message for the user in error, for anything else.
std::optional<VolumeOption> ParseVolumeOption(std::string_view text, std::string* error);

// The attributes one volume is read through. Empty names for the file
// attributes or the times make the store take them from the POSIX status.
struct VolumeAttributeNames {
    std::string descriptor;
    std::string fileAttributes;
    std::string times;
};

// One mapped volume: the folder it is mounted at and its attribute names.
struct MountedVolume {
    std::string root;
    VolumeAttributeNames names;
};

// One name of a folder as the listing itself gives it.
struct NamedEntry {
    std::wstring name;  // as stored
    bool isDirectory = false;
    bool isReparsePoint = false;  // a junction or symbolic link
};

class NtfsStore {
  public:
    // Maps letter to the volume mounted at mountPath. The folder must exist
    // and expose a descriptor attribute on its root (ERROR_NOT_SUPPORTED
    // otherwise: it is no NTFS volume, or its driver does not expose
    // descriptors). Replaces an earlier mapping of the letter.
    Status AddVolume(wchar_t letter, const std::string& mountPath);
    // The same with the attribute names given, for folders of other file
    // systems that stand in for a volume.
    Status AddVolume(wchar_t letter, const std::string& mountPath, VolumeAttributeNames names);

    // Mapped letters, in order.
    std::vector<wchar_t> Letters() const;
    bool HasVolume(wchar_t letter) const;

    // The Linux path of an existing object, each name matched case-
    // insensitively where no name matches exactly. ERROR_FILE_NOT_FOUND for
    // a missing last name, ERROR_PATH_NOT_FOUND for a missing folder on the
    // way (or a file used as one), ERROR_INVALID_NAME for names Windows
    // refuses.
    Result<std::string> LocalPath(const std::wstring& path) const;

    // The whole stored descriptor (owner, group, DACL, SACL) as stored.
    // ERROR_INVALID_SECURITY_DESCR when the stored bytes do not parse.
    Result<Bytes> ReadDescriptor(const std::wstring& path) const;
    // Replaces the whole descriptor. It must be a valid self-relative
    // descriptor with an owner and a group (the volume keeps both on every
    // object); anything else is refused before the volume is touched.
    Status WriteDescriptor(const std::wstring& path, const Bytes& descriptor);
    // Replaces the parts named by info (secinfo bits: owner, group, DACL
    // with the DACL bits of the control word, SACL likewise) and keeps the
    // others, as SetFileSecurityW does. kProtectedDacl / kUnprotectedDacl
    // set or clear SE_DACL_PROTECTED whatever parts says.
    Status WriteParts(const std::wstring& path, uint32_t info, const SecurityDescriptor& parts);
    // The same merge onto the descriptor as it is known to be stored
    // (read earlier by the caller), without reading it again. A merge that
    // changes nothing writes nothing. The bytes stored afterwards.
    Result<Bytes> WritePartsOnto(const std::wstring& path, const Bytes& stored, uint32_t info,
                                 const SecurityDescriptor& parts);
    // That merge without the write: the bytes a write would store, refused
    // as the write would refuse them when they differ from stored.
    Result<Bytes> MergedParts(const Bytes& stored, uint32_t info,
                              const SecurityDescriptor& parts) const;

    // FILE_ATTRIBUTE_* bits of the object.
    Result<uint32_t> Attributes(const std::wstring& path) const;
    // One object as a folder listing shows it, its name as stored.
    Result<FindData> Describe(const std::wstring& path) const;
    // The entries of a folder ("." and ".." left out) with names as Windows
    // shows them, attributes, times and sizes. ERROR_DIRECTORY when the
    // path is a file.
    Result<std::vector<FindData>> List(const std::wstring& folderPath) const;
    // The names of a folder without a call per entry where the listing tells
    // files from folders ("." and ".." left out). ERROR_DIRECTORY for a file.
    Result<std::vector<NamedEntry>> ListNames(const std::wstring& folderPath) const;
    // The full path with every name as stored ("c:\data" gives "C:\Data").
    Result<std::wstring> StoredPath(const std::wstring& path) const;

  private:
    const MountedVolume* VolumeOf(wchar_t drive) const;
    // The Linux path with the names as given, and the volume it lies on.
    Result<std::string> DirectPath(const std::wstring& path, const MountedVolume** volume) const;
    // The Linux path with each name matched as NTFS matches it.
    Result<std::string> Resolve(const std::wstring& path, const MountedVolume** volume) const;
    // Runs op(localPath, volume) on the path as given; when that finds
    // nothing, on the path resolved name by name.
    template <class T, class Op>
    Result<T> OnObject(const std::wstring& path, Op op) const;
    // WriteDescriptor with writeMutex_ held: whole writes and merges take
    // turns, so that no merge writes back what a whole write replaced.
    Status WriteLocked(const std::wstring& path, const Bytes& descriptor);
    // The merge of WriteParts onto stored, with writeMutex_ held.
    Result<Bytes> MergeLocked(const std::wstring& path, const Bytes& stored, uint32_t info,
                              const SecurityDescriptor& parts);

    std::map<wchar_t, MountedVolume> volumes_;
    std::mutex writeMutex_;
};

}  // namespace vm::ntfs
