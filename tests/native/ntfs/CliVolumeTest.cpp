// velmora-cli on a real NTFS volume: the program itself runs over an image
// made with mkntfs and mounted with the FUSE driver. What it writes is read
// back by our reader, by getfattr and, from the unmounted image, by
// ntfssecaudit, which must find the volume consistent. A backup it writes is
// read by the Restore window's code and checked byte by byte against the
// file layout. These tests never skip: a machine that cannot mount fails.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "backup/BackupFile.h"
#include "backup/RestoreModel.h"
#include "files/FileIo.h"
#include "native/ntfs/rig/MountedImage.h"
#include "platform/Utf16.h"
#include "platform/ntfs/NtfsPlatform.h"
#include "security/Sddl.h"

namespace vm::ntfs {
namespace {

using testing::MountedImage;
using testing::ProgramRun;

std::string Hex(const Bytes& bytes) {
    static const char* digits = "0123456789abcdef";
    std::string text;
    for (uint8_t b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

uint32_t Le32(const Bytes& bytes, size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<uint32_t>(bytes[at + 3]) << 24;
}

// A fixed-width UTF-16LE field read by hand, up to its first NUL.
std::u16string Field(const Bytes& bytes, size_t at, size_t units) {
    std::u16string text;
    for (size_t i = 0; i < units; ++i) {
        char16_t unit = static_cast<char16_t>(bytes[at + 2 * i] | bytes[at + 2 * i + 1] << 8);
        if (unit == 0)
            break;
        text += unit;
    }
    return text;
}

// ntfssecaudit shows a control word without SE_DACL_DEFAULTED and
// SE_DACL_AUTO_INHERIT_REQ, which the volume keeps (a remount reads them
// back through the driver).
Bytes AsTheAuditorShows(Bytes descriptor) {
    descriptor[3] &= static_cast<uint8_t>(~0x01);
    descriptor[2] &= static_cast<uint8_t>(~0x08);
    return descriptor;
}

class CliVolumeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(volume.mounted())
            << "THIS MACHINE CANNOT MOUNT AN NTFS IMAGE, so the real-volume tests fail: "
            << volume.error();
        std::filesystem::create_directories(Local("Tree/Sub"));
        std::ofstream(Local("Tree/a.txt")) << "a";
        std::ofstream(Local("Tree/Sub/b.txt")) << "b";
        std::ofstream(Local("Tree/Grüße.txt")) << "";
        ASSERT_TRUE(reader.store().AddVolume(L'C', volume.mountPath()).ok());
    }

    std::string Local(const std::string& relative) { return volume.mountPath() + "/" + relative; }

    ProgramRun Cli(std::vector<std::string> args) {
        args.insert(args.begin(), {VELMORA_CLI_PROGRAM, "--volume", "C=" + volume.mountPath()});
        return testing::RunProgram(args);
    }

    std::wstring Sddl(const std::wstring& path) {
        auto bytes = reader.store().ReadDescriptor(path);
        return bytes.ok() ? DescriptorToSddl(*SecurityDescriptor::Parse(*bytes)) : L"(unreadable)";
    }
    std::wstring DaclSddl(const std::wstring& path) {
        auto bytes = reader.GetFileSecurity(path, secinfo::kDacl);
        return bytes.ok() ? DescriptorToSddl(*SecurityDescriptor::Parse(*bytes)) : L"(unreadable)";
    }

    // Our reader and getfattr agree on every byte of the object's descriptor.
    void ExpectReadersAgree(const std::wstring& path, const std::string& local) {
        auto bytes = reader.store().ReadDescriptor(path);
        ASSERT_TRUE(bytes.ok()) << local;
        auto seen = testing::GetfattrView(Local(local));
        EXPECT_EQ(seen.hex, Hex(*bytes)) << local << "\n" << seen.output;
    }

    MountedImage volume{testing::NtfsRigFolder()};
    NtfsPlatform reader;
};

TEST_F(CliVolumeTest, SubcommandsChangeTheVolumeAsEveryReaderSees) {
    ProgramRun run = Cli({"readonly", "C:\\Tree\\Sub", "--trustee", "Everyone", "--scope", "1"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(DaclSddl(L"C:\\Tree\\Sub"), L"D:PARAI(A;OICI;0x1200a9;;;WD)");
    ExpectReadersAgree(L"C:\\Tree\\Sub", "Tree/Sub");

    run = Cli({"owner", "C:\\tree\\GRÜSSE.txt", "C:\\Tree\\Grüße.txt", "SYSTEM"});
    EXPECT_EQ(run.exitCode, 1) << run.output;  // no such name: the first fails
    EXPECT_NE(run.output.find("C:\\tree\\GRÜSSE.txt: The system cannot find the file"),
              std::string::npos)
        << run.output;
    EXPECT_EQ(Sddl(L"C:\\Tree\\Grüße.txt").substr(0, 4), L"O:SY");

    // Everything below the folder gets the folder's DACL, one write each.
    ASSERT_EQ(Cli({"allow", "C:\\Tree", "--trustee", "Users", "--scope", "1"}).exitCode, 0);
    run = Cli({"replace-children", "C:\\Tree", "--mode", "copy"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("C:\\Tree: 3 files, 1 folders; 4 changed"), std::string::npos)
        << run.output;
    for (const wchar_t* path : {L"C:\\Tree\\a.txt", L"C:\\Tree\\Sub", L"C:\\Tree\\Sub\\b.txt"})
        EXPECT_EQ(DaclSddl(path), L"D:PARAI(A;OICI;FA;;;BU)") << path;

    // Back to inherited. The copies are protected, so the reset of the
    // folder leaves them alone until they are reset themselves; then a
    // change above reaches them through the shared propagation rules.
    ASSERT_EQ(Cli({"inherit", "C:\\Tree\\Sub\\b.txt"}).exitCode, 0);
    EXPECT_EQ(DaclSddl(L"C:\\Tree\\Sub\\b.txt"), L"D:AI(A;ID;FA;;;BU)");
    ASSERT_EQ(Cli({"allow", "C:\\Tree", "--trustee", "Everyone", "--scope", "1"}).exitCode, 0);
    run = Cli({"inherit", "C:\\Tree\\Sub"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(DaclSddl(L"C:\\Tree\\Sub"), L"D:AI(A;OICIID;FA;;;WD)");
    EXPECT_EQ(DaclSddl(L"C:\\Tree\\Sub\\b.txt"), L"D:AI(A;ID;FA;;;WD)");
    ExpectReadersAgree(L"C:\\Tree\\Sub\\b.txt", "Tree/Sub/b.txt");

    run = Cli({"null-dacl", "C:\\Tree\\a.txt"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(DaclSddl(L"C:\\Tree\\a.txt"), L"D:NO_ACCESS_CONTROL");

    run = Cli({"show", "C:\\Tree\\*", "--format", "sddl"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("C:\\Tree\\a.txt\tO:"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("C:\\Tree\\Grüße.txt\tO:BA"), std::string::npos) << run.output;

    // The image itself, without the driver: the same bytes, and consistent.
    Bytes copy = *reader.store().ReadDescriptor(L"C:\\Tree\\a.txt");
    ASSERT_TRUE(volume.Unmount()) << volume.error();
    EXPECT_EQ(volume.ReadFromImage("/Tree/a.txt").hex, Hex(AsTheAuditorShows(copy)));
    auto audit = volume.Audit();
    EXPECT_TRUE(audit.consistent) << audit.output;
}

TEST_F(CliVolumeTest, ABackupIsTheProgramsFileAndTheRestoreWindowReadsIt) {
    std::string file = volume.mountPath() + "/../tree-backup.SBAK";
    ProgramRun run = Cli({"backup", "C:\\Tree", "C:\\Tree\\a.txt", "-o", file});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    auto bytes = ReadWholeFile(FromUtf8(file));
    ASSERT_TRUE(bytes);
    // The layout by hand: header, then record and descriptor per item.
    ASSERT_GE(bytes->size(), 104u);
    EXPECT_EQ(Field(*bytes, 0, 16), u"ZOL_KRV_BAK");
    EXPECT_EQ((*bytes)[32], 0x15);
    EXPECT_EQ(Field(*bytes, 34, 32).size(), 19u);
    ASSERT_EQ(Le32(*bytes, 100), 2u);
    size_t at = 104;
    for (const wchar_t* path : {L"C:\\Tree", L"C:\\Tree\\a.txt"}) {
        ASSERT_GE(bytes->size(), at + 732);
        EXPECT_EQ(FromUtf16(Field(*bytes, at, 300)), path);
        uint32_t length = Le32(*bytes, at + 728);
        ASSERT_GE(bytes->size(), at + 732 + length);
        Bytes stored(bytes->begin() + static_cast<long>(at + 732),
                     bytes->begin() + static_cast<long>(at + 732 + length));
        EXPECT_EQ(stored, *reader.GetFileSecurity(path, secinfo::kDacl)) << path;
        at += 732 + length;
    }
    EXPECT_EQ(at, bytes->size());

    // The Restore window's rows of it, then a restore after a change.
    UserIdentity user{L"Administrators", L"<Everyone>"};
    auto rows = RowsFromBackup(reader, user, ParseBackup(*bytes).items);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].kind, kKindFolder);
    EXPECT_EQ(rows[1].name, L"a.txt");
    std::wstring before = DaclSddl(L"C:\\Tree\\a.txt");
    ASSERT_EQ(Cli({"deny", "C:\\Tree\\a.txt", "--trustee", "Everyone"}).exitCode, 0);
    ASSERT_NE(DaclSddl(L"C:\\Tree\\a.txt"), before);
    run = Cli({"restore", file, "--item", "C:\\Tree\\a.txt"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(DaclSddl(L"C:\\Tree\\a.txt"), before);
}

TEST_F(CliVolumeTest, DryRunWritesNothingAndAnUndoFileTakesTheRunBack) {
    std::string undo = volume.mountPath() + "/../undo.SBAK";
    std::string before = testing::GetfattrView(Local("Tree/Sub/b.txt")).hex;
    ProgramRun run = Cli({"empty-dacl", "C:\\Tree\\Sub\\b.txt", "--dry-run"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("  after:  O:BAD:\n"), std::string::npos) << run.output;
    EXPECT_EQ(testing::GetfattrView(Local("Tree/Sub/b.txt")).hex, before);

    std::wstring sub = DaclSddl(L"C:\\Tree\\Sub");
    std::wstring b = DaclSddl(L"C:\\Tree\\Sub\\b.txt");
    ASSERT_EQ(
        Cli({"allow", "C:\\Tree\\Sub", "--trustee", "Everyone", "--scope", "1", "--undo", undo})
            .exitCode,
        0);
    ASSERT_EQ(
        Cli({"replace-children", "C:\\Tree", "--mode", "reset", "--undo", undo + "2"}).exitCode, 0);
    ASSERT_NE(DaclSddl(L"C:\\Tree\\Sub\\b.txt"), b);
    // The second run's undo file takes the reset back, then the first's.
    ASSERT_EQ(Cli({"restore", undo + "2"}).exitCode, 0);
    run = Cli({"restore", undo});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(DaclSddl(L"C:\\Tree\\Sub"), sub);
    EXPECT_EQ(DaclSddl(L"C:\\Tree\\Sub\\b.txt"), b);
}

// A disk repaired from a copy of its tree on another disk: both volumes in
// one run, the backup of one restored onto the other with --map.
TEST_F(CliVolumeTest, ABackupOfOneVolumeRestoresOntoAnotherOne) {
    MountedImage other{testing::NtfsRigFolder()};
    ASSERT_TRUE(other.mounted()) << other.error();
    std::filesystem::create_directories(other.mountPath() + "/Copy/Sub");
    std::ofstream(other.mountPath() + "/Copy/Sub/b.txt") << "b";
    ASSERT_EQ(Cli({"allow", "C:\\Tree\\Sub", "--trustee", "Users", "--scope", "1"}).exitCode, 0);
    ASSERT_EQ(Cli({"owner", "C:\\Tree\\Sub\\b.txt", "SYSTEM"}).exitCode, 0);
    std::string file = volume.mountPath() + "/../two-volumes.SBAK";
    ASSERT_EQ(Cli({"backup", "C:\\Tree\\Sub", "C:\\Tree\\Sub\\b.txt", "-o", file}).exitCode, 0);

    ProgramRun run =
        Cli({"--volume", "D=" + other.mountPath(), "restore", file, "--map", "C:\\Tree=D:\\Copy"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, "D:\\Copy\\Sub: Succeed\nD:\\Copy\\Sub\\b.txt: Succeed\n");
    ASSERT_TRUE(reader.store().AddVolume(L'D', other.mountPath()).ok());
    EXPECT_EQ(DaclSddl(L"D:\\Copy\\Sub"), DaclSddl(L"C:\\Tree\\Sub"));
    EXPECT_EQ(DaclSddl(L"D:\\Copy\\Sub\\b.txt"), DaclSddl(L"C:\\Tree\\Sub\\b.txt"));
    EXPECT_EQ(Sddl(L"D:\\Copy\\Sub\\b.txt").substr(0, 4), L"O:SY");
    ASSERT_TRUE(other.Unmount()) << other.error();
    auto audit = other.Audit();
    EXPECT_TRUE(audit.consistent) << audit.output;
}

TEST_F(CliVolumeTest, VolumesMustBeGivenAndBeNtfs) {
    ProgramRun run = testing::RunProgram({VELMORA_CLI_PROGRAM, "show", "C:\\"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.output.find("no volume: give --volume C=PATH"), std::string::npos);
    std::string plain = volume.mountPath() + "/../plain";
    std::filesystem::create_directories(plain);
    run = testing::RunProgram({VELMORA_CLI_PROGRAM, "--volume", "D=" + plain, "show", "D:\\"});
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find("no NTFS volume"), std::string::npos) << run.output;
    run = testing::RunProgram({VELMORA_CLI_PROGRAM, "--volume", "1=/x", "show", "C:\\"});
    EXPECT_EQ(run.exitCode, 2) << run.output;
}

}  // namespace
}  // namespace vm::ntfs
