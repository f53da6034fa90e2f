#include "advanced/FileErrors.h"

#include <array>
#include <filesystem>
#include <system_error>

#include "files/FileIo.h"
#include "resources/strings.h"

namespace vm {
namespace {

struct FileErrorText {
    uint32_t error;  // winerror.h
    const wchar_t* text;
};

// Win32 errors grouped under the message that describes their cause.
constexpr std::array<FileErrorText, 22> kFileErrorTexts{{
    {0, L"" STR_FILE_ERROR_NONE},
    {2, L"" STR_FILE_ERROR_NOT_FOUND},        // ERROR_FILE_NOT_FOUND
    {3, L"" STR_FILE_ERROR_BAD_PATH},         // ERROR_PATH_NOT_FOUND
    {123, L"" STR_FILE_ERROR_BAD_PATH},       // ERROR_INVALID_NAME
    {161, L"" STR_FILE_ERROR_BAD_PATH},       // ERROR_BAD_PATHNAME
    {206, L"" STR_FILE_ERROR_BAD_PATH},       // ERROR_FILENAME_EXCED_RANGE
    {4, L"" STR_FILE_ERROR_TOO_MANY_OPEN},    // ERROR_TOO_MANY_OPEN_FILES
    {5, L"" STR_FILE_ERROR_ACCESS_DENIED},    // ERROR_ACCESS_DENIED
    {6, L"" STR_FILE_ERROR_INVALID_FILE},     // ERROR_INVALID_HANDLE
    {16, L"" STR_FILE_ERROR_REMOVE_CURRENT},  // ERROR_CURRENT_DIRECTORY
    {82, L"" STR_FILE_ERROR_DIRECTORY_FULL},  // ERROR_CANNOT_MAKE
    {25, L"" STR_FILE_ERROR_BAD_SEEK},        // ERROR_SEEK
    {19, L"" STR_FILE_ERROR_HARD_IO},         // ERROR_WRITE_PROTECT
    {21, L"" STR_FILE_ERROR_HARD_IO},         // ERROR_NOT_READY
    {23, L"" STR_FILE_ERROR_HARD_IO},         // ERROR_CRC
    {29, L"" STR_FILE_ERROR_HARD_IO},         // ERROR_WRITE_FAULT
    {30, L"" STR_FILE_ERROR_HARD_IO},         // ERROR_READ_FAULT
    {32, L"" STR_FILE_ERROR_SHARING},         // ERROR_SHARING_VIOLATION
    {33, L"" STR_FILE_ERROR_LOCKING},         // ERROR_LOCK_VIOLATION
    {39, L"" STR_FILE_ERROR_DISK_FULL},       // ERROR_HANDLE_DISK_FULL
    {112, L"" STR_FILE_ERROR_DISK_FULL},      // ERROR_DISK_FULL
    {38, L"" STR_FILE_ERROR_END_OF_FILE},     // ERROR_HANDLE_EOF
}};

std::wstring ReplaceFileName(std::wstring text, const std::wstring& file) {
    const std::wstring placeholder = L"%1";
    for (size_t at = text.find(placeholder); at != std::wstring::npos;
         at = text.find(placeholder, at + file.size()))
        text.replace(at, placeholder.size(), file);
    return text;
}

uint32_t WhyUnreadable(const std::wstring& file) {
    std::error_code code;
    const std::filesystem::path path = ToFsPath(file);
    if (std::filesystem::exists(path, code))
        return err::kAccessDenied;
    const std::filesystem::path parent = path.parent_path();
    if (!parent.empty() && !std::filesystem::is_directory(parent, code))
        return err::kPathNotFound;
    return err::kFileNotFound;
}

}  // namespace

std::wstring FileErrorMessage(uint32_t error, const std::wstring& file) {
    const wchar_t* text = L"" STR_FILE_ERROR_GENERIC;
    for (const FileErrorText& known : kFileErrorTexts) {
        if (known.error == error) {
            text = known.text;
            break;
        }
    }
    return ReplaceFileName(text, file);
}

Result<Bytes> ReadDescriptorFileOrError(const std::wstring& file) {
    std::error_code code;
    if (std::filesystem::is_directory(ToFsPath(file), code))
        return Result<Bytes>::Fail(err::kAccessDenied);
    auto bytes = ReadWholeFile(file);
    if (!bytes)
        return Result<Bytes>::Fail(WhyUnreadable(file));
    return std::move(*bytes);
}

}  // namespace vm
