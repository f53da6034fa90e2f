// The three built-in default DACL descriptors that "Reset Security settings"
// writes, built from their tables. The same bytes are embedded in the program
// as RCDATA resources 185, 186 and 187 (resources/defaults/*.bin); a test
// keeps the files and the tables in step.
#pragma once

#include <optional>
#include <string>

#include "platform/Platform.h"

namespace vm {

// Resource ids.
inline constexpr int kDefaultDriveRootDescriptor = 185;     // roots other than the system drive
inline constexpr int kDefaultSystemFolderDescriptor = 186;  // Windows, system, 32-bit system
inline constexpr int kDefaultSystemDriveDescriptor = 187;   // root of the Windows drive

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
