// The three built-in default DACL descriptors that "Reset Security settings"
// writes, built from their tables. The same bytes are embedded in the program
// as RCDATA resources 185, 186 and 187 (resources/defaults/*.bin); a test
// keeps the files and the tables in step.
#pragma once

#include <optional>
#include <string>

#include "platform/Bytes.h"
#include "resources/resource.h"

namespace vm {

// Resource ids.
inline constexpr int kDefaultDriveRootDescriptor =
    IDR_DEFAULT_SD_DRIVE_ROOT;  // not the system drive
inline constexpr int kDefaultSystemFolderDescriptor =
    IDR_DEFAULT_SD_SYSTEM_FOLDER;  // Windows, system
inline constexpr int kDefaultSystemDriveDescriptor =
    IDR_DEFAULT_SD_SYSTEM_DRIVE;  // the Windows drive

// Self-relative DACL-only descriptor of a resource id; nullopt for other ids.
std::optional<Bytes> BuildDefaultDescriptor(int resourceId);

// The file name under resources/defaults of a resource id ("drive-root.bin").
std::wstring DefaultDescriptorFileName(int resourceId);

// The three blocks as the application keeps them; a missing resource leaves
// its block empty and the rows that would use it get no descriptor.
struct DefaultDescriptors {
    std::optional<Bytes> driveRoot;
    std::optional<Bytes> systemFolder;
    std::optional<Bytes> systemDrive;

    static DefaultDescriptors FromTables();
    const std::optional<Bytes>& ById(int resourceId) const;
};

}  // namespace vm
