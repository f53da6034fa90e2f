// What export and import tell when a descriptor file cannot be created,
// opened or written: one of the standard file-error messages (string ids
// 61856 to 61870), chosen by the Win32 error and filled with the file name.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Bytes.h"
#include "platform/Result.h"

namespace vm {

// The message for a Win32 error on the file (ERROR_ACCESS_DENIED gives
// "Access to <file> was denied."); an error without a message of its own
// gives the generic one.
std::wstring FileErrorMessage(uint32_t error, const std::wstring& file);

// Every byte of a descriptor file, or why it could not be read: a missing
// file ERROR_FILE_NOT_FOUND, a missing folder ERROR_PATH_NOT_FOUND, anything
// else (a folder, no permission) ERROR_ACCESS_DENIED.
Result<Bytes> ReadDescriptorFileOrError(const std::wstring& file);

}  // namespace vm
