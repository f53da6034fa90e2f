#include <gtest/gtest.h>

#include "backup/BackupFile.h"
#include "native/files/TempDir.h"
#include "files/FileIo.h"
#include "platform/Utf16.h"
#include "platform/sim/SimPlatform.h"
#include "security/SecurityDescriptor.h"

namespace vm {
namespace {

// Hand-built bytes: a UTF-16LE text of fieldUnits units, NUL-padded.
void PutText(Bytes& out, size_t at, const std::u16string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        out[at + 2 * i] = static_cast<uint8_t>(text[i] & 0xFF);
        out[at + 2 * i + 1] = static_cast<uint8_t>(text[i] >> 8);
    }
}
void PutLe32(Bytes& out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

Bytes HandHeader(uint32_t count, const std::u16string& magic = u"ZOL_KRV_BAK") {
    Bytes header(104, 0);
    PutText(header, 0, magic);                    // magic, 16 units
    header[32] = 0x15;                            // format byte
    PutText(header, 34, u"2023-04-05 17:08:09");  // creation time, 32 units
    PutLe32(header, 100, count);                  // item count
    return header;
}

Bytes HandRecord(const std::u16string& path, const std::u16string& owner, const Bytes& sd) {
    Bytes record(732, 0);
    PutText(record, 0, path);     // path, 300 units
    PutText(record, 600, owner);  // owner, 64 units
    PutLe32(record, 728, static_cast<uint32_t>(sd.size()));
    record.insert(record.end(), sd.begin(), sd.end());
    return record;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

Bytes SampleDescriptor() {
    Acl acl = Acl::WithRoom(1024);
    acl.AddAce(kAppendIndex, Ace::Allow(sids::Everyone(), 0x1200A9, 3));
    return DaclOnlyDescriptor(AclSlot::With(acl.Compacted()), 0x1000).ToSelfRelative();
}

TEST(BackupFile, WriterProducesTheLayoutByteForByte) {
    Bytes sd = SampleDescriptor();
    std::vector<BackupItem> items{{L"C:\\Data", L"Administrators", sd}, {L"D:\\", L"", sd}};
    Bytes expected = Concat({HandHeader(2), HandRecord(u"C:\\Data", u"Administrators", sd),
                             HandRecord(u"D:\\", u"", sd)});
    EXPECT_EQ(SerializeBackup(L"2023-04-05 17:08:09", items), expected);
    EXPECT_EQ(SerializeBackup(L"", {}).size(), 104u);
}

TEST(BackupFile, ReaderTakesHandBuiltFilesInFileOrderAndIgnoresTheFormatByte) {
    Bytes sd = SampleDescriptor();
    Bytes file = Concat({HandHeader(2), HandRecord(u"C:\\b", u"Bob", sd),
                         HandRecord(u"C:\\a", u"Alice", {}), Bytes{9, 9, 9}});
    file[32] = 0x77;
    BackupContents contents = ParseBackup(file);
    EXPECT_EQ(contents.status, BackupReadStatus::kOk);
    EXPECT_EQ(contents.creationTime, L"2023-04-05 17:08:09");
    ASSERT_EQ(contents.items.size(), 2u);
    EXPECT_EQ(contents.items[0], (BackupItem{L"C:\\b", L"Bob", sd}));
    EXPECT_EQ(contents.items[1], (BackupItem{L"C:\\a", L"Alice", {}}));
}

TEST(BackupFile, WrongMagicIsToldAndLoadsNothing) {
    testing::TempDir dir;
    std::wstring file = dir.File(L"lower.SBAK");
    ASSERT_TRUE(WriteFileReplacing(file, HandHeader(0, u"zol_krv_bak")));
    RecordingReporter reporter;
    BackupContents contents = ReadBackupFile(file, reporter);
    EXPECT_EQ(contents.status, BackupReadStatus::kUnknownFormat);
    EXPECT_TRUE(contents.items.empty());
    ASSERT_EQ(reporter.messages().size(), 1u);
    EXPECT_EQ(reporter.messages()[0].text, L"Unknown file format !");
    EXPECT_EQ(reporter.messages()[0].icon, MessageIcon::kNone);
    EXPECT_EQ(reporter.messages()[0].buttons, MessageButtons::kOk);

    RecordingReporter silent;
    EXPECT_EQ(ReadBackupFile(dir.File(L"missing.SBAK"), silent).status,
              BackupReadStatus::kCannotOpen);
    EXPECT_TRUE(silent.messages().empty());
}

TEST(BackupFile, DamagedFilesKeepTheCompleteBlocksAndReadNothingBeyond) {
    Bytes sd = SampleDescriptor();
    Bytes good = HandRecord(u"C:\\ok", u"Bob", sd);
    // A count promising more blocks than there are.
    BackupContents more = ParseBackup(Concat({HandHeader(3), good}));
    EXPECT_EQ(more.status, BackupReadStatus::kDamaged);
    EXPECT_EQ(more.items.size(), 1u);
    // A huge count over an empty body: nothing is allocated for it.
    BackupContents huge = ParseBackup(HandHeader(0xFFFFFFFF));
    EXPECT_EQ(huge.status, BackupReadStatus::kDamaged);
    EXPECT_TRUE(huge.items.empty());
    // A descriptor length past the end drops that block.
    Bytes cut = Concat({HandHeader(2), good, HandRecord(u"C:\\cut", u"", sd)});
    cut.resize(cut.size() - 1);
    BackupContents shortDescriptor = ParseBackup(cut);
    EXPECT_EQ(shortDescriptor.status, BackupReadStatus::kDamaged);
    ASSERT_EQ(shortDescriptor.items.size(), 1u);
    EXPECT_EQ(shortDescriptor.items[0].path, L"C:\\ok");
    Bytes lengthTooBig = Concat({HandHeader(1), good});
    PutLe32(lengthTooBig, 104 + 728, 0xFFFFFFF0);
    EXPECT_EQ(ParseBackup(lengthTooBig).items.size(), 0u);
    // Files shorter than the header: 3 bytes, and a magic with nothing after it.
    EXPECT_EQ(ParseBackup(Bytes{'Z', 0, 'O'}).status, BackupReadStatus::kUnknownFormat);
    Bytes magicOnly = HandHeader(5);
    magicOnly.resize(40);
    BackupContents truncatedHeader = ParseBackup(magicOnly);
    EXPECT_EQ(truncatedHeader.status, BackupReadStatus::kDamaged);
    EXPECT_TRUE(truncatedHeader.items.empty());
    EXPECT_EQ(ParseBackup({}).status, BackupReadStatus::kUnknownFormat);
}

TEST(BackupFile, PathsAndOwnersAreCutToTheirFields) {
    std::wstring path299(299, L'p');
    std::wstring path300(300, L'q');
    std::wstring nonBmp = L"C:\\" + FromUtf16(u"\U0001F600\u00e9");
    std::wstring owner64(64, L'o');
    Bytes bytes = SerializeBackup(
        L"t", {{path299, L"", {}}, {path300, owner64, {}}, {nonBmp, FromUtf16(u"\u00c5sa"), {}}});
    BackupContents back = ParseBackup(bytes);
    ASSERT_EQ(back.items.size(), 3u);
    EXPECT_EQ(back.items[0].path, path299);
    EXPECT_EQ(back.items[0].owner, L"");
    EXPECT_EQ(back.items[1].path, std::wstring(299, L'q'));
    EXPECT_EQ(back.items[1].owner, std::wstring(63, L'o'));
    EXPECT_EQ(back.items[2].path, nonBmp);
    EXPECT_EQ(back.items[2].owner, FromUtf16(u"\u00c5sa"));
    // A non-BMP character takes two units of the field.
    EXPECT_EQ(bytes[104 + 2 * 732 + 6], 0x3D);
    EXPECT_EQ(bytes[104 + 2 * 732 + 7], 0xD8);
}

TEST(BackupFile, SaveNameAppendsTheExtensionUnlessPresentInAnyCase) {
    EXPECT_EQ(BackupSaveName(L"C:\\b\\report"), L"C:\\b\\report.SBAK");
    EXPECT_EQ(BackupSaveName(L"C:\\b\\report.bak"), L"C:\\b\\report.bak.SBAK");
    EXPECT_EQ(BackupSaveName(L"C:\\b\\x.SbAk"), L"C:\\b\\x.SbAk");
    EXPECT_EQ(BackupSaveName(L"x.sbak"), L"x.sbak");
    EXPECT_EQ(BackupSaveName(L"BAK"), L"BAK.SBAK");
    std::wstring now = CurrentBackupTime();
    ASSERT_EQ(now.size(), 19u);
    EXPECT_EQ(now[4], L'-');
    EXPECT_EQ(now[10], L' ');
    EXPECT_EQ(now[13], L':');
}

TEST(BackupFile, UnreadableItemsAreLeftOutAndTheTargetIsReplacedWhole) {
    sim::SimPlatform machine;
    machine.AddVolume(L'C', L"NTFS");
    std::vector<std::wstring> paths;
    for (int i = 0; i < 5; ++i) {
        paths.push_back(L"C:\\f" + std::to_wstring(i));
        machine.AddFolder(paths.back(), L"O:BAD:(A;OICI;FA;;;BA)");
    }
    machine.DenyAccess(paths[1], 0x20000);  // READ_CONTROL refused
    machine.Remove(paths[3]);
    testing::TempDir dir;
    std::wstring file = dir.File(L"old.SBAK");
    ASSERT_TRUE(WriteFileReplacing(file, Bytes(100000, 0xEE)));  // a larger previous file
    ASSERT_TRUE(WriteBackupFile(machine, file, paths, L"2024-01-31 09:05:07"));
    RecordingReporter reporter;
    BackupContents back = ReadBackupFile(file, reporter);
    ASSERT_EQ(back.items.size(), 3u);
    EXPECT_EQ(back.items[0].path, paths[0]);
    EXPECT_EQ(back.items[1].path, paths[2]);
    EXPECT_EQ(back.items[2].path, paths[4]);
    EXPECT_EQ(back.items[2].owner, L"Administrators");
    size_t expectedSize = 104;
    for (const BackupItem& item : back.items) {
        expectedSize += 732 + item.descriptor.size();
        auto sd = SecurityDescriptor::Parse(item.descriptor);
        ASSERT_TRUE(sd);
        EXPECT_FALSE(sd->owner);  // the owner lives in the record only
        EXPECT_TRUE(sd->dacl.present);
    }
    EXPECT_EQ(ReadWholeFile(file)->size(), expectedSize);

    // A write that cannot complete keeps the previous backup.
    Bytes before = *ReadWholeFile(file);
    EXPECT_FALSE(WriteBackupFile(machine, dir.File(L"missing") + L"/x.SBAK", paths, L""));
    EXPECT_EQ(ReadWholeFile(file), before);
}

}  // namespace
}  // namespace vm
