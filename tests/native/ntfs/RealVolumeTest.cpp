// The store on a real NTFS volume: an image made with mkntfs and mounted
// with the FUSE driver. What the store writes is read back three ways: by
// the store, by getfattr and by ntfssecaudit, which must also find the
// volume's security data consistent after the unmount. A machine that
// cannot mount fails here, loudly: these tests never skip.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "native/ntfs/rig/MountedImage.h"
#include "platform/Utf16.h"
#include "platform/ntfs/NtfsPlatform.h"
#include "platform/ntfs/Posix.h"
#include "security/Sddl.h"

namespace vm::ntfs {
namespace {

using testing::MountedImage;

std::string Hex(const Bytes& bytes) {
    static const char* digits = "0123456789abcdef";
    std::string text;
    for (uint8_t b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

class RealVolumeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(volume.mounted())
            << "THIS MACHINE CANNOT MOUNT AN NTFS IMAGE, so the real-volume tests fail: "
            << volume.error();
        ASSERT_TRUE(platform.store().AddVolume(L'C', volume.mountPath()).ok());
        std::filesystem::create_directories(Local("Tree/Sub"));
        std::ofstream(Local("Tree/Sub/File.txt")) << "content";
        std::ofstream(Local("Tree/Grüße.txt")) << "";
    }

    std::string Local(const std::string& relative) { return volume.mountPath() + "/" + relative; }

    Bytes Stored(const std::wstring& path) {
        auto bytes = platform.store().ReadDescriptor(path);
        EXPECT_TRUE(bytes.ok()) << "error " << bytes.error();
        return bytes.ok() ? *bytes : Bytes{};
    }

    MountedImage volume{testing::NtfsRigFolder()};
    NtfsPlatform platform;
};

TEST_F(RealVolumeTest, TheDriversOwnDescriptorsParseAndMatchGetfattr) {
    // The root's DACL from mkntfs is padded far beyond its entries.
    for (const char* relative : {"", "Tree", "Tree/Sub/File.txt"}) {
        std::wstring path = L"C:\\" + FromUtf8(relative);
        Bytes stored = Stored(path);
        EXPECT_TRUE(SecurityDescriptor::Parse(stored)) << relative;
        EXPECT_EQ(Hex(stored), testing::GetfattrView(Local(relative)).hex) << relative;
    }
}

// Written through the store: getfattr sees the same bytes through the
// driver, ntfssecaudit in the unmounted image, which it finds consistent.
TEST_F(RealVolumeTest, WrittenDescriptorsAreWhatTheIndependentReadersSee) {
    struct Case {
        const wchar_t* path;
        const char* local;
        const wchar_t* sddl;
    };
    const Case cases[] = {
        {L"C:\\TREE", "Tree",
         L"O:S-1-5-21-1-2-3-1001G:SYD:PAI(D;OICI;WD;;;WD)(A;OICI;FA;;;BA)(A;OICIIO;GA;;;CO)"},
        {L"C:\\tree\\SUB\\file.TXT", "Tree/Sub/File.txt", L"O:SYG:SYD:NO_ACCESS_CONTROL"},
        {L"C:\\Tree\\grüße.TXT", "Tree/Grüße.txt", L"O:BAG:BAD:P"},
        {L"C:\\Tree\\Sub", "Tree/Sub", L"O:BAG:SYD:AI(A;OICIID;0x1200a9;;;BU)S:(AU;FA;FA;;;WD)"},
    };
    for (const auto& c : cases) {
        Bytes wanted = *SddlToBytes(c.sddl);
        ASSERT_TRUE(platform.store().WriteDescriptor(c.path, wanted).ok()) << c.local;
        EXPECT_EQ(Stored(c.path), wanted) << c.local;
        auto seen = testing::GetfattrView(Local(c.local));
        EXPECT_EQ(seen.hex, Hex(wanted)) << c.local << "\n" << seen.output;
    }
    ASSERT_TRUE(volume.Unmount()) << volume.error();
    for (const auto& c : cases) {
        Bytes wanted = *SddlToBytes(c.sddl);
        auto seen = volume.ReadFromImage(std::string("/") + c.local);
        EXPECT_EQ(seen.hex, Hex(wanted)) << c.local << "\n" << seen.output;
        std::wstring owner = SecurityDescriptor::Parse(wanted)->owner->ToString();
        EXPECT_EQ(FromUtf8(seen.owner), owner) << c.local;
    }
    auto audit = volume.Audit();
    EXPECT_TRUE(audit.consistent) << audit.output;
}

TEST_F(RealVolumeTest, PartWritesThroughThePlatformKeepTheRestOfTheDescriptor) {
    Bytes before = Stored(L"C:\\Tree\\Sub\\File.txt");
    auto dacl = SddlToBytes(L"D:P(A;;FA;;;BA)(A;;0x1200a9;;;WD)");
    ASSERT_TRUE(platform.SetFileSecurity(L"C:\\tree\\sub\\FILE.txt", secinfo::kDacl, *dacl).ok());
    Bytes system = sids::System().ToBytes();
    ASSERT_TRUE(
        platform.SetNamedSecurityInfo(L"C:\\Tree\\Sub\\File.txt", secinfo::kOwner, &system, nullptr)
            .ok());
    auto after = SecurityDescriptor::Parse(Stored(L"C:\\Tree\\Sub\\File.txt"));
    auto original = SecurityDescriptor::Parse(before);
    EXPECT_EQ(DescriptorToSddl(*after),
              L"O:SYG:" + SidToSddl(*original->group) + L"D:P(A;;FA;;;BA)(A;;0x1200a9;;;WD)");
    EXPECT_EQ(testing::GetfattrView(Local("Tree/Sub/File.txt")).hex,
              Hex(Stored(L"C:\\Tree\\Sub\\File.txt")));
}

TEST_F(RealVolumeTest, RefusedWritesLeaveTheVolumeUntouched) {
    Bytes before = Stored(L"C:\\Tree");
    EXPECT_EQ(platform.store().WriteDescriptor(L"C:\\Tree", *SddlToBytes(L"O:BAD:")).error,
              err::kInvalidSecurityDescriptor);
    // The driver refuses what it cannot store, too, and says so.
    Bytes garbage{1, 0, 4, 0x80, 0xFF, 0xFF, 0xFF, 0x7F};
    EXPECT_FALSE(SetAttribute(Local("Tree"), kFuseDescriptorAttribute, garbage).ok());
    EXPECT_EQ(Stored(L"C:\\Tree"), before);
    EXPECT_EQ(platform.store().WriteDescriptor(L"C:\\Tree\\Missing", before).error,
              err::kFileNotFound);
}

TEST_F(RealVolumeTest, ListingShowsNamesCaseAttributesAndTimesAsWindowsDoes) {
    ASSERT_TRUE(
        SetAttribute(Local("Tree/Grüße.txt"), kFileAttributesAttribute, Bytes{0x22, 0, 0, 0})
            .ok());  // hidden, archive
    auto found = platform.FindFiles(L"C:\\TREE\\*");
    ASSERT_TRUE(found.ok()) << found.error();
    std::map<std::wstring, FindData> byName;
    for (const auto& entry : *found)
        byName[entry.name] = entry;
    ASSERT_EQ(byName.size(), 4u);
    EXPECT_EQ(byName.at(L"Grüße.txt").attributes, 0x22u);
    EXPECT_EQ(byName.at(L"Sub").attributes & attr::kDirectory, attr::kDirectory);
    EXPECT_EQ(byName.at(L"..").attributes & attr::kDirectory, attr::kDirectory);
    auto file = platform.store().Describe(L"C:\\tree\\sub\\file.txt");
    ASSERT_TRUE(file.ok());
    EXPECT_EQ(file->name, L"File.txt");
    EXPECT_EQ(file->size, 7u);
    EXPECT_GT(file->creationTime, 0x01D0000000000000ull);  // after 2014
    EXPECT_GE(file->lastWriteTime, file->creationTime);
    EXPECT_EQ(*platform.GetVolumeFileSystemName(L"C:\\"), L"NTFS");
}

TEST_F(RealVolumeTest, WrittenDescriptorsSurviveARemount) {
    Bytes wanted = *SddlToBytes(L"O:BAG:SYD:PAI(A;OICI;FA;;;SY)(A;OICI;0x1301bf;;;AU)");
    ASSERT_TRUE(platform.store().WriteDescriptor(L"C:\\Tree", wanted).ok());
    ASSERT_TRUE(platform.store().WriteDescriptor(L"C:\\Tree\\Sub", wanted).ok());
    ASSERT_TRUE(volume.Unmount()) << volume.error();
    ASSERT_TRUE(volume.Mount()) << volume.error();
    EXPECT_EQ(Stored(L"C:\\Tree"), wanted);
    EXPECT_EQ(Stored(L"C:\\Tree\\Sub"), wanted);
}

TEST_F(RealVolumeTest, AReadOnlyMountRefusesWritesWithWriteProtect) {
    ASSERT_TRUE(volume.Unmount()) << volume.error();
    ASSERT_TRUE(volume.Mount("ro")) << volume.error();
    Bytes before = Stored(L"C:\\Tree");
    EXPECT_EQ(platform.store().WriteDescriptor(L"C:\\Tree", before).error, kErrorWriteProtect);
}

TEST(MountedImageTest, AnImageThatCannotBeMountedIsReportedNotPassed) {
    MountedImage damaged(testing::NtfsRigFolder());
    ASSERT_TRUE(damaged.Unmount());
    // Overwrite the boot sector: the driver must refuse the image.
    {
        std::fstream image(damaged.imagePath(), std::ios::in | std::ios::out | std::ios::binary);
        std::string zeros(512, '\0');
        image.write(zeros.data(), zeros.size());
    }
    EXPECT_FALSE(damaged.Mount());
    EXPECT_FALSE(damaged.mounted());
    EXPECT_NE(damaged.error().find("could not mount"), std::string::npos) << damaged.error();
}

}  // namespace
}  // namespace vm::ntfs
