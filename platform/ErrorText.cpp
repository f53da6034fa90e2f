#include "platform/ErrorText.h"

#include "platform/Result.h"

namespace vm {

namespace {

struct KnownError {
    uint32_t code;
    const wchar_t* text;
};

// The system's English texts (FormatMessageW, FORMAT_MESSAGE_FROM_SYSTEM).
constexpr KnownError kKnownErrors[] = {
    {err::kSuccess, L"The operation completed successfully."},
    {err::kFileNotFound, L"The system cannot find the file specified."},
    {err::kPathNotFound, L"The system cannot find the path specified."},
    {err::kAccessDenied, L"Access is denied."},
    {err::kInvalidHandle, L"The handle is invalid."},
    {err::kNotEnoughMemory, L"Not enough memory resources are available to process this command."},
    {err::kInvalidData, L"The data is invalid."},
    {err::kNoMoreFiles, L"There are no more files."},
    {err::kNotReady, L"The device is not ready."},
    {err::kNotSupported, L"The request is not supported."},
    {err::kInvalidParameter, L"The parameter is incorrect."},
    {err::kCallNotImplemented, L"This function is not supported on this system."},
    {err::kInsufficientBuffer, L"The data area passed to a system call is too small."},
    {err::kInvalidName, L"The filename, directory name, or volume label syntax is incorrect."},
    {err::kDirectory, L"The directory name is invalid."},
    {err::kNotAllAssigned, L"Not all privileges or groups referenced are assigned to the caller."},
    {err::kInvalidOwner, L"This security ID may not be assigned as the owner of this object."},
    {err::kNoSuchPrivilege, L"A specified privilege does not exist."},
    {err::kPrivilegeNotHeld, L"A required privilege is not held by the client."},
    {err::kNoneMapped, L"No mapping between account names and security IDs was done."},
    {err::kInvalidAcl, L"The access control list (ACL) structure is invalid."},
    {err::kInvalidSid, L"The security ID structure is invalid."},
    {err::kInvalidSecurityDescriptor, L"The security descriptor structure is invalid."},
};

}  // namespace

std::wstring DescribeError(uint32_t code) {
    for (const KnownError& known : kKnownErrors) {
        if (known.code == code)
            return known.text;
    }
    return L"Error " + std::to_wstring(code) + L".";
}

}  // namespace vm
