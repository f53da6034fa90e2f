// A bounded, deterministic run of the two file-reader fuzz properties
// (tests/fuzz/*_reader_fuzz.cpp) over mutations of valid files, so that the
// sanitizer build checks them on every test run.
#include <gtest/gtest.h>

#include <random>

#include "backup/BackupFile.h"
#include "files/ProfileFile.h"
#include "platform/Utf16.h"
#include "security/SecurityDescriptor.h"

namespace vm {
namespace {

constexpr int kRounds = 3000;

Bytes Mutate(Bytes bytes, std::mt19937& random) {
    int edits = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < edits; ++i) {
        switch (random() % 4) {
            case 0:
                if (!bytes.empty())
                    bytes[random() % bytes.size()] = static_cast<uint8_t>(random());
                break;
            case 1:
                if (!bytes.empty())
                    bytes.resize(random() % bytes.size());
                break;
            case 2:
                bytes.insert(
                    bytes.begin() + static_cast<std::ptrdiff_t>(random() % (bytes.size() + 1)),
                    static_cast<uint8_t>(random()));
                break;
            default:  // a little-endian count or length somewhere
                if (bytes.size() >= 4) {
                    size_t at = random() % (bytes.size() - 3);
                    uint32_t value = random() % 2 ? 0xFFFFFFFFu : random() % 2000;
                    WriteLe32(bytes, at, value);
                }
                break;
        }
    }
    return bytes;
}

TEST(ReaderFuzzReplay, BackupReaderStaysInsideItsInput) {
    Acl acl = Acl::WithRoom(200);
    acl.AddAce(kAppendIndex, Ace::Allow(sids::Users(), 0x1200A9, 3));
    Bytes sd = DaclOnlyDescriptor(AclSlot::With(acl.Compacted())).ToSelfRelative();
    Bytes seed = SerializeBackup(
        L"2024-01-01 00:00:00", {{L"C:\\a", L"Bob", sd}, {L"C:\\b", L"", sd}, {L"D:\\", L"x", {}}});
    std::mt19937 random(20240131);
    for (int round = 0; round < kRounds; ++round) {
        Bytes input = Mutate(seed, random);
        BackupContents contents = ParseBackup(input);
        size_t loaded = contents.items.empty() ? 0 : kBackupHeaderSize;
        for (const BackupItem& item : contents.items)
            loaded += kBackupRecordSize + item.descriptor.size();
        ASSERT_LE(loaded, input.size()) << "round " << round;
    }
}

TEST(ReaderFuzzReplay, ProfileReaderRoundTripsWhatItWrites) {
    std::string ascii = "[INFO]\r\nCONUT=2\r\n[0]\r\nNAME=\"x\"\r\nPATHS=C:\\a|\r\n; note\r\n[1]\n";
    Bytes seeds[] = {Bytes(ascii.begin(), ascii.end()),
                     ProfileDocument::Parse(Bytes(ascii.begin(), ascii.end())).Serialize()};
    std::mt19937 random(7);
    for (int round = 0; round < kRounds; ++round) {
        Bytes input = Mutate(seeds[round % 2], random);
        ProfileDocument first = ProfileDocument::Parse(input);
        first.Set(L"STATE", L"VIEWMODE", L"1");
        Bytes written = first.Serialize();
        ProfileDocument second = ProfileDocument::Parse(written);
        ASSERT_EQ(second.Serialize(), written) << "round " << round;
        ASSERT_EQ(second.Find(L"state", L"viewmode"), L"1") << "round " << round;
    }
}

}  // namespace
}  // namespace vm
