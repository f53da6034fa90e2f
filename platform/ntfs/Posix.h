// The POSIX layer under the NTFS volume store: extended attributes, file
// status and folder listings of a mounted volume, each failure turned into
// the Windows error code a Win32 call would report for the same cause.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace vm::ntfs {

// Win32 error codes that the seam's table does not carry.
inline constexpr uint32_t kErrorGenFailure = 31;         // ERROR_GEN_FAILURE
inline constexpr uint32_t kErrorWriteProtect = 19;       // ERROR_WRITE_PROTECT
inline constexpr uint32_t kErrorDiskFull = 112;          // ERROR_DISK_FULL
inline constexpr uint32_t kErrorBusy = 170;              // ERROR_BUSY
inline constexpr uint32_t kErrorFilenameTooLong = 206;   // ERROR_FILENAME_EXCED_RANGE
inline constexpr uint32_t kErrorIoDevice = 1117;         // ERROR_IO_DEVICE
inline constexpr uint32_t kErrorCantResolveName = 1921;  // ERROR_CANT_RESOLVE_FILENAME

// The Windows error for an errno value. ENOENT is ERROR_FILE_NOT_FOUND; the
// path resolver tells a missing folder on the way (ERROR_PATH_NOT_FOUND)
// apart itself.
uint32_t ErrorFromErrno(int error);

// The value of an extended attribute of the object itself (a symbolic link
// is not followed: security calls act on a junction, not on its target).
Result<Bytes> GetAttribute(const std::string& path, const char* name);
Status SetAttribute(const std::string& path, const char* name, std::span<const uint8_t> value);

struct FileStatus {
    bool isDirectory = false;
    bool isSymlink = false;
    uint32_t mode = 0;
    uint64_t size = 0;
    uint64_t lastWriteTime = 0;  // FILETIME
    uint64_t changeTime = 0;     // FILETIME of the last status change
};
Result<FileStatus> StatNoFollow(const std::string& path);

// One entry of a folder as readdir gives it ("." and ".." left out).
struct FolderEntry {
    std::string name;
    bool isDirectory = false;
    bool isSymlink = false;  // how the driver shows junctions and symbolic links
    bool typeKnown = false;  // false when the file system gave no d_type
};
Result<std::vector<FolderEntry>> ReadFolder(const std::string& path);

// FILETIME (100 ns units since 1601-01-01 UTC) of a POSIX time.
uint64_t FileTimeFromUnix(int64_t seconds, int64_t nanoseconds);

}  // namespace vm::ntfs
