#include <gtest/gtest.h>

#include <map>
#include <thread>

#include "native/ntfs/StoreFixture.h"
#include "platform/ntfs/Posix.h"

namespace vm::ntfs {
namespace {

using testing::StandInVolume;

class NtfsStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        volume.Folder("Data");
        volume.File("Data/notes.txt");
        volume.Folder("Data/Sub");
        ASSERT_TRUE(store.AddVolume(L'c', volume.root(), testing::StandInNames()).ok());
    }

    Bytes BytesOf(const std::wstring& sddl) { return *SddlToBytes(sddl); }
    SecurityDescriptor Descriptor(const std::wstring& sddl) { return *SddlToDescriptor(sddl); }

    StandInVolume volume;
    NtfsStore store;
};

TEST(VolumeOptionTest, TakesLetterEqualsPathAndExplainsAnythingElse) {
    std::string error;
    auto option = ParseVolumeOption("d=/mnt/windows disk", &error);
    ASSERT_TRUE(option);
    EXPECT_EQ(option->letter, L'D');
    EXPECT_EQ(option->mountPath, "/mnt/windows disk");
    for (const char* bad : {"", "C", "C=", "C:/mnt", "CD=/mnt", "1=/mnt", "=/mnt"}) {
        error.clear();
        EXPECT_FALSE(ParseVolumeOption(bad, &error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

TEST_F(NtfsStoreTest, AddVolumeRefusesWhatIsNoMountedVolume) {
    NtfsStore other;
    EXPECT_EQ(other.AddVolume(L'D', volume.Local("missing")).error, err::kPathNotFound);
    EXPECT_EQ(other.AddVolume(L'D', volume.Local("Data/notes.txt"), testing::StandInNames()).error,
              err::kDirectory);
    // A folder of a file system without the drivers' attributes.
    EXPECT_EQ(other.AddVolume(L'D', volume.root()).error, err::kNotSupported);
    EXPECT_EQ(other.AddVolume(L'7', volume.root(), testing::StandInNames()).error,
              err::kInvalidParameter);
    EXPECT_TRUE(other.Letters().empty());
}

TEST_F(NtfsStoreTest, NamesAreMatchedWithoutRegardToCaseExactMatchFirst) {
    EXPECT_EQ(*store.LocalPath(L"C:\\Data\\notes.txt"), volume.Local("Data/notes.txt"));
    EXPECT_EQ(*store.LocalPath(L"c:\\DATA\\Notes.TXT"), volume.Local("Data/notes.txt"));
    EXPECT_EQ(*store.LocalPath(L"C:/data/sub/"), volume.Local("Data/Sub"));
    EXPECT_EQ(*store.LocalPath(L"C:\\"), volume.root());
    // Linux can hold two names that differ in case only; the exact one wins.
    volume.File("Data/NOTES.txt");
    EXPECT_EQ(*store.LocalPath(L"C:\\Data\\NOTES.txt"), volume.Local("Data/NOTES.txt"));
    EXPECT_EQ(*store.LocalPath(L"C:\\Data\\notes.txt"), volume.Local("Data/notes.txt"));
    // Case folding beyond ASCII.
    volume.File("Data/Straße Ähnlich");
    EXPECT_EQ(*store.LocalPath(L"C:\\data\\STRAßE äHNLICH"), volume.Local("Data/Straße Ähnlich"));
}

TEST_F(NtfsStoreTest, PathErrorsAreThoseWin32Reports) {
    EXPECT_EQ(store.LocalPath(L"C:\\Data\\missing.txt").error(), err::kFileNotFound);
    EXPECT_EQ(store.LocalPath(L"C:\\Missing\\a.txt").error(), err::kPathNotFound);
    EXPECT_EQ(store.LocalPath(L"C:\\Data\\notes.txt\\a").error(), err::kPathNotFound);
    EXPECT_EQ(store.LocalPath(L"D:\\Data").error(), err::kPathNotFound);
    EXPECT_EQ(store.LocalPath(L"").error(), err::kPathNotFound);
    for (const wchar_t* bad : {L"Data\\notes.txt", L"\\\\server\\share", L"C:Data",
                               L"C:\\Data\\a?b", L"C:\\Data\\a*", L"C:\\Da\"ta", L"C:\\a|b"})
        EXPECT_EQ(store.LocalPath(bad).error(), err::kInvalidName) << bad;
    EXPECT_EQ(store.LocalPath(L"C:\\" + std::wstring(256, L'x')).error(), kErrorFilenameTooLong);
}

TEST_F(NtfsStoreTest, DotDotNeverLeavesTheVolume) {
    EXPECT_EQ(*store.LocalPath(L"C:\\..\\..\\Data"), volume.Local("Data"));
    EXPECT_EQ(*store.LocalPath(L"C:\\Data\\Sub\\..\\..\\.."), volume.root());
}

TEST_F(NtfsStoreTest, ReadsTheStoredDescriptorAndRefusesOneThatDoesNotParse) {
    EXPECT_EQ(*store.ReadDescriptor(L"C:\\DATA\\NOTES.TXT"), volume.Raw("Data/notes.txt"));
    // An ACL that claims more entries than it holds.
    Bytes broken = volume.Raw("Data/notes.txt");
    broken[20 + 4] = 0x7F;
    volume.PutRaw("Data/notes.txt", testing::kTestDescriptorAttribute, broken);
    EXPECT_EQ(store.ReadDescriptor(L"C:\\Data\\notes.txt").error(),
              err::kInvalidSecurityDescriptor);
    // No descriptor attribute at all: the volume does not expose one.
    std::filesystem::create_directories(volume.Local("Plain"));
    EXPECT_EQ(store.ReadDescriptor(L"C:\\Plain").error(), err::kNotSupported);
    EXPECT_EQ(store.ReadDescriptor(L"C:\\Data\\gone").error(), err::kFileNotFound);
}

TEST_F(NtfsStoreTest, WholeWritesNeedAValidDescriptorWithOwnerAndGroup) {
    Bytes before = volume.Raw("Data/notes.txt");
    auto refused = [&](const Bytes& bytes) {
        return store.WriteDescriptor(L"C:\\Data\\notes.txt", bytes).error;
    };
    EXPECT_EQ(refused(BytesOf(L"G:SYD:(A;;FA;;;WD)")), err::kInvalidOwner);
    EXPECT_EQ(refused(BytesOf(L"O:BAD:(A;;FA;;;WD)")), err::kInvalidSecurityDescriptor);
    EXPECT_EQ(refused(Bytes{1, 0, 4, 0x80}), err::kInvalidSecurityDescriptor);
    EXPECT_EQ(refused({}), err::kInvalidSecurityDescriptor);
    Bytes absolute = BytesOf(L"O:BAG:SYD:(A;;FA;;;WD)");
    absolute[3] &= 0x7F;  // SE_SELF_RELATIVE cleared
    EXPECT_EQ(refused(absolute), err::kInvalidSecurityDescriptor);
    EXPECT_EQ(volume.Raw("Data/notes.txt"), before);

    Bytes wanted = BytesOf(L"O:SYG:BAD:P(D;;WD;;;WD)(A;;FA;;;WD)S:(AU;FA;FA;;;WD)");
    ASSERT_TRUE(store.WriteDescriptor(L"C:\\data\\NOTES.txt", wanted).ok());
    EXPECT_EQ(volume.Raw("Data/notes.txt"), wanted);
}

TEST_F(NtfsStoreTest, PartWritesReplaceTheNamedPartsAndKeepTheRest) {
    volume.Put("Data/notes.txt", L"O:BAG:SYD:AI(A;ID;FA;;;BA)S:(AU;SA;FA;;;WD)");
    auto parts = Descriptor(L"O:WDD:P(A;;FA;;;BU)");
    ASSERT_TRUE(store.WriteParts(L"C:\\Data\\notes.txt", secinfo::kDacl, parts).ok());
    EXPECT_EQ(volume.Sddl("Data/notes.txt"), L"O:BAG:SYD:P(A;;FA;;;BU)S:(AU;SA;FA;;;WD)");

    ASSERT_TRUE(store.WriteParts(L"C:\\Data\\notes.txt", secinfo::kOwner, parts).ok());
    EXPECT_EQ(volume.Sddl("Data/notes.txt"), L"O:WDG:SYD:P(A;;FA;;;BU)S:(AU;SA;FA;;;WD)");

    auto unprotectedNull = Descriptor(L"D:PNO_ACCESS_CONTROL");
    ASSERT_TRUE(store
                    .WriteParts(L"C:\\Data\\notes.txt", secinfo::kDacl | secinfo::kUnprotectedDacl,
                                unprotectedNull)
                    .ok());
    EXPECT_EQ(volume.Sddl("Data/notes.txt"), L"O:WDG:SYD:NO_ACCESS_CONTROLS:(AU;SA;FA;;;WD)");

    auto empty = Descriptor(L"D:");
    ASSERT_TRUE(
        store.WriteParts(L"C:\\Data\\notes.txt", secinfo::kDacl | secinfo::kProtectedDacl, empty)
            .ok());
    EXPECT_EQ(volume.Sddl("Data/notes.txt"), L"O:WDG:SYD:PS:(AU;SA;FA;;;WD)");
}

TEST_F(NtfsStoreTest, RefusedPartWritesLeaveTheDescriptorAsItWas) {
    Bytes before = volume.Raw("Data/notes.txt");
    auto noOwner = Descriptor(L"D:(A;;FA;;;WD)");
    EXPECT_EQ(
        store.WriteParts(L"C:\\Data\\notes.txt", secinfo::kOwner | secinfo::kDacl, noOwner).error,
        err::kInvalidOwner);
    EXPECT_EQ(store.WriteParts(L"C:\\Data\\notes.txt", secinfo::kGroup, noOwner).error,
              err::kNotSupported);
    EXPECT_EQ(volume.Raw("Data/notes.txt"), before);
    // A stored descriptor that does not parse is not overwritten piecemeal.
    Bytes broken = before;
    broken.resize(22);
    volume.PutRaw("Data/notes.txt", testing::kTestDescriptorAttribute, broken);
    EXPECT_EQ(store.WriteParts(L"C:\\Data\\notes.txt", secinfo::kDacl, noOwner).error,
              err::kInvalidSecurityDescriptor);
    EXPECT_EQ(volume.Raw("Data/notes.txt"), broken);
}

TEST_F(NtfsStoreTest, ConcurrentOwnerAndDaclWritesDoNotUndoEachOther) {
    auto owners = {Descriptor(L"O:SY"), Descriptor(L"O:BA")};
    auto dacls = {Descriptor(L"D:(A;;FA;;;WD)"), Descriptor(L"D:(A;;FA;;;BU)")};
    std::thread ownerWriter([&] {
        for (int i = 0; i < 200; ++i)
            store.WriteParts(L"C:\\Data\\notes.txt", secinfo::kOwner, owners.begin()[i % 2]);
    });
    std::thread daclWriter([&] {
        for (int i = 0; i < 200; ++i)
            store.WriteParts(L"C:\\Data\\notes.txt", secinfo::kDacl, dacls.begin()[i % 2]);
    });
    ownerWriter.join();
    daclWriter.join();
    // The last write of each kind is what the descriptor holds.
    EXPECT_EQ(volume.Sddl("Data/notes.txt"), L"O:BAG:SYD:(A;;FA;;;BU)");
}

TEST_F(NtfsStoreTest, ListingGivesNamesAttributesTimesAndSizes) {
    volume.File("Data/Grüße 日本.txt", StandInVolume::kFileSddl, "12345");
    volume.PutRaw("Data/Grüße 日本.txt", testing::kTestAttributesAttribute,
                  Bytes{0x22, 0, 0, 0});  // hidden, archive
    Bytes times;
    for (uint64_t t : {0x01D0000000000001ull, 0x01D0000000000002ull, 3ull, 4ull})
        for (int i = 0; i < 8; ++i)
            times.push_back(static_cast<uint8_t>(t >> (8 * i)));
    volume.PutRaw("Data/Grüße 日本.txt", testing::kTestTimesAttribute, times);

    auto listed = store.List(L"C:\\data");
    ASSERT_TRUE(listed.ok());
    ASSERT_EQ(listed->size(), 3u);
    std::map<std::wstring, FindData> byName;
    for (const auto& entry : *listed)
        byName[entry.name] = entry;
    const FindData& marked = byName.at(L"Grüße 日本.txt");
    EXPECT_EQ(marked.attributes, 0x22u);
    EXPECT_EQ(marked.size, 5u);
    EXPECT_EQ(marked.creationTime, 0x01D0000000000001ull);
    EXPECT_EQ(marked.lastWriteTime, 0x01D0000000000002ull);
    // Without the driver's attributes: from the POSIX status.
    EXPECT_EQ(byName.at(L"Sub").attributes, attr::kDirectory);
    EXPECT_EQ(byName.at(L"notes.txt").attributes, attr::kNormal);
    EXPECT_EQ(byName.at(L"notes.txt").creationTime, 0u);
    EXPECT_GT(byName.at(L"notes.txt").lastWriteTime, 0x01D0000000000000ull);  // after 2014

    std::filesystem::permissions(volume.Local("Data/notes.txt"),
                                 std::filesystem::perms::owner_read);
    EXPECT_EQ(*store.Attributes(L"C:\\Data\\NOTES.TXT"), attr::kReadOnly);
    EXPECT_EQ(store.List(L"C:\\Data\\notes.txt").error(), err::kDirectory);
    EXPECT_EQ(store.List(L"C:\\Nowhere").error(), err::kFileNotFound);
    EXPECT_EQ(store.Describe(L"C:\\DATA\\sub")->name, L"Sub");
}

}  // namespace
}  // namespace vm::ntfs
