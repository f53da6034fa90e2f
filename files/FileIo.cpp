#include "files/FileIo.h"

#include <atomic>
#include <fstream>
#include <system_error>

#include "platform/Utf16.h"

namespace vm {
namespace {

constexpr uint32_t kErrorWriteFault = 29;

// A name beside the target that no other writer of this process uses.
std::filesystem::path TemporarySibling(const std::filesystem::path& target) {
    static std::atomic<unsigned> counter{0};
    std::filesystem::path temp = target;
    temp += ".tmp~" + std::to_string(counter.fetch_add(1));
    return temp;
}

uint32_t ErrorFromCode(const std::error_code& code) {
    if (code == std::errc::permission_denied || code == std::errc::operation_not_permitted)
        return err::kAccessDenied;
    if (code == std::errc::no_such_file_or_directory || code == std::errc::not_a_directory)
        return err::kPathNotFound;
    return kErrorWriteFault;
}

bool WriteAll(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.flush();
    return static_cast<bool>(out);
}

}  // namespace

std::filesystem::path ToFsPath(const std::wstring& path) {
    if constexpr (sizeof(wchar_t) == 2) {
        return std::filesystem::path(path);
    } else {
        std::string utf8 = ToUtf8(path);
        return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
    }
}

std::optional<Bytes> ReadWholeFile(const std::wstring& path) {
    std::ifstream in(ToFsPath(path), std::ios::binary);
    if (!in)
        return std::nullopt;
    Bytes bytes;
    char chunk[4096];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        bytes.insert(bytes.end(), chunk, chunk + in.gcount());
    }
    if (in.bad())
        return std::nullopt;
    return bytes;
}

bool FileExists(const std::wstring& path) {
    std::error_code code;
    return std::filesystem::is_regular_file(ToFsPath(path), code);
}

Status WriteFileReplacing(const std::wstring& path, std::span<const uint8_t> bytes) {
    std::filesystem::path target = ToFsPath(path);
    std::error_code code;
    if (std::filesystem::is_directory(target, code))
        return Status::Fail(err::kAccessDenied);
    // A read-only target stays as it is, as a write through CreateFileW would.
    auto status = std::filesystem::status(target, code);
    if (!code && std::filesystem::exists(status) &&
        (status.permissions() & std::filesystem::perms::owner_write) ==
            std::filesystem::perms::none)
        return Status::Fail(err::kAccessDenied);
    std::filesystem::path temp = TemporarySibling(target);
    if (!WriteAll(temp, bytes)) {
        std::filesystem::remove(temp, code);
        std::filesystem::path parent = target.parent_path();
        if (!parent.empty() && !std::filesystem::is_directory(parent, code))
            return Status::Fail(err::kPathNotFound);
        return Status::Fail(err::kAccessDenied);
    }
    // MoveFileEx(MOVEFILE_REPLACE_EXISTING) on Windows, rename(2) elsewhere.
    std::filesystem::rename(temp, target, code);
    if (code) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        return Status::Fail(ErrorFromCode(code));
    }
    return Status::Ok();
}

}  // namespace vm
