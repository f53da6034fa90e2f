#include "backup/DefaultDescriptors.h"

#include <span>

#include "security/SecurityDescriptor.h"

namespace vm {
namespace {

// Masks of the default entries.
constexpr uint32_t kFullControl = 0x001F01FF;
constexpr uint32_t kModify = 0x001301BF;
constexpr uint32_t kReadAndExecute = 0x001200A9;
constexpr uint32_t kGenericAll = 0x10000000;
constexpr uint32_t kGenericReadWriteExecuteDelete = 0xE0010000;
constexpr uint32_t kGenericReadExecute = 0xA0000000;
constexpr uint32_t kAppendData = 0x00000004;

// Inheritance flags of the default entries.
constexpr uint8_t kThisOnly = 0x00;
constexpr uint8_t kChildrenOnly = 0x0B;    // OI | CI | IO
constexpr uint8_t kSubfoldersOnly = 0x0A;  // CI | IO
constexpr uint8_t kEverything = 0x03;      // OI | CI

// SE_DACL_AUTO_INHERITED, and for the protected ones SE_DACL_PROTECTED as
// well; DACL_PRESENT and SELF_RELATIVE are added when written (0x8404, 0x9404).
constexpr uint16_t kAutoInherited = sd_control::kDaclAutoInherited;
constexpr uint16_t kProtected = sd_control::kDaclAutoInherited | sd_control::kDaclProtected;

struct DefaultEntry {
    Sid (*trustee)();
    uint8_t flags;
    uint32_t mask;
};

constexpr DefaultEntry kDriveRootEntries[] = {
    {sids::Administrators, kThisOnly, kFullControl},
    {sids::Administrators, kChildrenOnly, kGenericAll},
    {sids::System, kThisOnly, kFullControl},
    {sids::System, kChildrenOnly, kGenericAll},
    {sids::AuthenticatedUsers, kThisOnly, kModify},
    {sids::AuthenticatedUsers, kChildrenOnly, kGenericReadWriteExecuteDelete},
    {sids::Users, kThisOnly, kReadAndExecute},
    {sids::Users, kChildrenOnly, kGenericReadExecute},
};

constexpr DefaultEntry kSystemDriveEntries[] = {
    {sids::Administrators, kThisOnly, kFullControl},
    {sids::Administrators, kChildrenOnly, kGenericAll},
    {sids::System, kThisOnly, kFullControl},
    {sids::System, kChildrenOnly, kGenericAll},
    {sids::Users, kEverything, kReadAndExecute},
    {sids::AuthenticatedUsers, kChildrenOnly, kGenericReadWriteExecuteDelete},
    {sids::AuthenticatedUsers, kThisOnly, kAppendData},
};

constexpr DefaultEntry kSystemFolderEntries[] = {
    {sids::TrustedInstaller, kThisOnly, kFullControl},
    {sids::TrustedInstaller, kSubfoldersOnly, kGenericAll},
    {sids::System, kThisOnly, kModify},
    {sids::System, kChildrenOnly, kGenericAll},
    {sids::Administrators, kThisOnly, kModify},
    {sids::Administrators, kChildrenOnly, kGenericAll},
    {sids::Users, kThisOnly, kReadAndExecute},
    {sids::Users, kChildrenOnly, kGenericReadExecute},
    {sids::CreatorOwner, kChildrenOnly, kGenericAll},
};

Bytes Build(std::span<const DefaultEntry> entries, uint16_t control) {
    Acl acl = Acl::WithRoom(static_cast<uint16_t>(kMaxAclSize));
    for (const DefaultEntry& entry : entries)
        acl.AddAce(kAppendIndex, Ace::Allow(entry.trustee(), entry.mask, entry.flags));
    return DaclOnlyDescriptor(AclSlot::With(acl.Compacted()), control).ToSelfRelative();
}

}  // namespace

std::optional<Bytes> BuildDefaultDescriptor(int resourceId) {
    switch (resourceId) {
        case kDefaultDriveRootDescriptor:
            return Build(kDriveRootEntries, kAutoInherited);
        case kDefaultSystemFolderDescriptor:
            return Build(kSystemFolderEntries, kProtected);
        case kDefaultSystemDriveDescriptor:
            return Build(kSystemDriveEntries, kProtected);
        default:
            return std::nullopt;
    }
}

std::wstring DefaultDescriptorFileName(int resourceId) {
    switch (resourceId) {
        case kDefaultDriveRootDescriptor:
            return L"drive-root.bin";
        case kDefaultSystemFolderDescriptor:
            return L"system-folder.bin";
        case kDefaultSystemDriveDescriptor:
            return L"system-drive.bin";
        default:
            return {};
    }
}

DefaultDescriptors DefaultDescriptors::FromTables() {
    return {BuildDefaultDescriptor(kDefaultDriveRootDescriptor),
            BuildDefaultDescriptor(kDefaultSystemFolderDescriptor),
            BuildDefaultDescriptor(kDefaultSystemDriveDescriptor)};
}

const std::optional<Bytes>& DefaultDescriptors::ById(int resourceId) const {
    static const std::optional<Bytes> kNone;
    switch (resourceId) {
        case kDefaultDriveRootDescriptor:
            return driveRoot;
        case kDefaultSystemFolderDescriptor:
            return systemFolder;
        case kDefaultSystemDriveDescriptor:
            return systemDrive;
        default:
            return kNone;
    }
}

}  // namespace vm
