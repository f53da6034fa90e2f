#include "platform/ntfs/Posix.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <array>
#include <cerrno>
#include <memory>

namespace vm::ntfs {

uint32_t ErrorFromErrno(int error) {
    switch (error) {
        case 0:
            return err::kSuccess;
        case ENOENT:
            return err::kFileNotFound;
        case ENOTDIR:
            return err::kPathNotFound;
        case EACCES:
        case EPERM:
            return err::kAccessDenied;
        case ENOMEM:
            return err::kNotEnoughMemory;
        // No such attribute, or none of that kind on this file system: the
        // volume does not expose what was asked for.
        case ENODATA:
        case ENOTSUP:
            return err::kNotSupported;
        case EINVAL:
            return err::kInvalidParameter;
        case ERANGE:
        case E2BIG:
            return err::kInsufficientBuffer;
        case ENAMETOOLONG:
            return kErrorFilenameTooLong;
        case EROFS:
            return kErrorWriteProtect;
        case ENOSPC:
        case EDQUOT:
            return kErrorDiskFull;
        case EBUSY:
            return kErrorBusy;
        case EIO:
            return kErrorIoDevice;
        case ELOOP:
            return kErrorCantResolveName;
        case ENXIO:
        case ENODEV:
        case ENOTCONN:  // a FUSE volume whose driver has gone away
            return err::kNotReady;
        default:
            return kErrorGenFailure;
    }
}

namespace {

// Room for any descriptor in one call: a full DACL and SACL (64 KiB each
// at most) would need more, and then the size is asked for first.
constexpr size_t kFirstTry = 64 * 1024;

}  // namespace

Result<Bytes> GetAttribute(const std::string& path, const char* name) {
    // One call in the common case, into a buffer kept per thread (filling a
    // fresh one for every call would cost more than the call). The size may
    // change between asking for it and reading, so a short buffer asks again.
    thread_local Bytes scratch(kFirstTry);
    Bytes* buffer = &scratch;
    Bytes larger;
    for (int attempt = 0; attempt < 4; ++attempt) {
        ssize_t got = lgetxattr(path.c_str(), name, buffer->data(), buffer->size());
        if (got >= 0)
            return Bytes(buffer->begin(), buffer->begin() + got);
        if (errno != ERANGE)
            return Result<Bytes>::Fail(ErrorFromErrno(errno));
        ssize_t needed = lgetxattr(path.c_str(), name, nullptr, 0);
        if (needed < 0)
            return Result<Bytes>::Fail(ErrorFromErrno(errno));
        larger.resize(static_cast<size_t>(needed));
        buffer = &larger;
    }
    return Result<Bytes>::Fail(err::kInsufficientBuffer);
}

Status SetAttribute(const std::string& path, const char* name, std::span<const uint8_t> value) {
    if (lsetxattr(path.c_str(), name, value.data(), value.size(), 0) != 0)
        return Status::Fail(ErrorFromErrno(errno));
    return Status::Ok();
}

uint64_t FileTimeFromUnix(int64_t seconds, int64_t nanoseconds) {
    constexpr int64_t kSecondsFrom1601To1970 = 11644473600;
    int64_t since1601 = seconds + kSecondsFrom1601To1970;
    if (since1601 < 0)
        return 0;
    return static_cast<uint64_t>(since1601) * 10'000'000u +
           static_cast<uint64_t>(nanoseconds / 100);
}

Result<FileStatus> StatNoFollow(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0)
        return Result<FileStatus>::Fail(ErrorFromErrno(errno));
    FileStatus status;
    status.isDirectory = S_ISDIR(st.st_mode);
    status.isSymlink = S_ISLNK(st.st_mode);
    status.mode = st.st_mode;
    status.size = static_cast<uint64_t>(st.st_size);
    status.lastWriteTime = FileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    status.changeTime = FileTimeFromUnix(st.st_ctim.tv_sec, st.st_ctim.tv_nsec);
    return status;
}

Result<std::vector<FolderEntry>> ReadFolder(const std::string& path) {
    using Entries = std::vector<FolderEntry>;
    std::unique_ptr<DIR, int (*)(DIR*)> folder(opendir(path.c_str()), closedir);
    if (!folder)
        return Result<Entries>::Fail(ErrorFromErrno(errno));
    Entries entries;
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(folder.get());
        if (!entry)
            break;
        std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        bool known = entry->d_type != DT_UNKNOWN;
        entries.push_back(
            {std::move(name), entry->d_type == DT_DIR, entry->d_type == DT_LNK, known});
    }
    if (errno != 0)
        return Result<Entries>::Fail(ErrorFromErrno(errno));
    return entries;
}

}  // namespace vm::ntfs
