#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "backup/DefaultDescriptors.h"
#include "files/FileIo.h"
#include "platform/Utf16.h"
#include "security/SecurityDescriptor.h"

namespace vm {
namespace {

constexpr int kIds[] = {kDefaultDriveRootDescriptor, kDefaultSystemFolderDescriptor,
                        kDefaultSystemDriveDescriptor};

TEST(DefaultDescriptors, HeadersAndEntriesFollowTheTables) {
    struct Expected {
        int id;
        uint16_t control;
        size_t entries;
    };
    for (Expected expected :
         {Expected{185, 0x8404, 8}, Expected{186, 0x9404, 9}, Expected{187, 0x9404, 7}}) {
        auto bytes = BuildDefaultDescriptor(expected.id);
        ASSERT_TRUE(bytes);
        const Bytes& b = *bytes;
        EXPECT_EQ(b[0], 1);                            // revision
        EXPECT_EQ(ReadLe16(b, 2), expected.control);   // control word
        EXPECT_EQ(ReadLe32(b, 4), 0u);                 // no owner
        EXPECT_EQ(ReadLe32(b, 8), 0u);                 // no group
        EXPECT_EQ(ReadLe32(b, 12), 0u);                // no SACL
        EXPECT_EQ(ReadLe32(b, 16), 20u);               // DACL after the header
        EXPECT_EQ(b[20], 2);                           // ACL_REVISION
        EXPECT_EQ(ReadLe16(b, 22), b.size() - 20);     // AclSize: nothing spare
        EXPECT_EQ(ReadLe16(b, 24), expected.entries);  // AceCount
        auto sd = SecurityDescriptor::Parse(b);
        ASSERT_TRUE(sd);
        for (const Ace& ace : sd->dacl.acl->aces)
            EXPECT_EQ(ace.type, ace_type::kAccessAllowed);
    }
    auto system = SecurityDescriptor::Parse(*BuildDefaultDescriptor(186));
    const auto& aces = system->dacl.acl->aces;
    EXPECT_EQ(aces[0].sid, sids::TrustedInstaller());
    EXPECT_EQ(aces[1].flags, 0x0A);
    EXPECT_EQ(aces[1].mask, 0x10000000u);
    EXPECT_EQ(aces[8].sid, sids::CreatorOwner());
    auto systemDrive = SecurityDescriptor::Parse(*BuildDefaultDescriptor(187));
    EXPECT_EQ(systemDrive->dacl.acl->aces[4].flags, 0x03);
    EXPECT_EQ(systemDrive->dacl.acl->aces[6].mask, 0x4u);
    EXPECT_FALSE(BuildDefaultDescriptor(188));
}

// The program embeds resources/defaults/*.bin; they must be what the tables
// give. VELMORA_REGENERATE_DEFAULTS=1 writes them afresh.
TEST(DefaultDescriptors, CommittedResourceFilesMatchTheTables) {
    std::filesystem::path folder = std::filesystem::path(__FILE__).parent_path() / ".." / ".." /
                                   ".." / "resources" / "defaults";
    std::error_code code;
    if (!std::filesystem::is_directory(folder, code))
        GTEST_SKIP() << "source tree not reachable from here";
    bool regenerate = std::getenv("VELMORA_REGENERATE_DEFAULTS") != nullptr;
    for (int id : kIds) {
        std::filesystem::path file = folder / ToFsPath(DefaultDescriptorFileName(id));
        std::u8string name = file.u8string();
        std::wstring wide = FromUtf8(std::string(name.begin(), name.end()));
        if (regenerate) {
            ASSERT_TRUE(WriteFileReplacing(wide, *BuildDefaultDescriptor(id)));
        }
        EXPECT_EQ(ReadWholeFile(wide), BuildDefaultDescriptor(id)) << id;
    }
}

}  // namespace
}  // namespace vm
