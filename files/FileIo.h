// Whole-file reads and all-or-nothing writes for the program's own files
// (backups, descriptor exports, profile files). Paths are wide text on every
// host: UTF-16 on Windows, UTF-8 file names elsewhere.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "platform/Bytes.h"
#include "platform/Result.h"

namespace vm {

// The file-system path of a wide path, without going through the C locale.
std::filesystem::path ToFsPath(const std::wstring& path);

// Every byte of a file; nullopt when it cannot be opened or read.
std::optional<Bytes> ReadWholeFile(const std::wstring& path);

bool FileExists(const std::wstring& path);

// Writes bytes to a temporary file beside the target and then replaces the
// target with it, so that a failure half-way leaves the previous content in
// place. On failure the temporary file is removed and the error is returned
// (ERROR_ACCESS_DENIED, ERROR_PATH_NOT_FOUND or ERROR_WRITE_FAULT style codes).
Status WriteFileReplacing(const std::wstring& path, std::span<const uint8_t> bytes);

}  // namespace vm
