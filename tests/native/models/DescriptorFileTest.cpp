#include <gtest/gtest.h>

#include "advanced/DescriptorFile.h"
#include "native/files/TempDir.h"
#include "files/FileIo.h"
#include "platform/sim/SimPlatform.h"
#include "security/Sddl.h"

namespace vm {
namespace {

class DescriptorFileTest : public ::testing::Test {
  protected:
    DescriptorFileTest() : engine(machine, reporter) {
        machine.AddVolume(L'C', L"NTFS");
        machine.AddLocalUser(L"Bob");
    }
    sim::SimPlatform machine;
    RecordingReporter reporter;
    Engine engine;
    testing::TempDir dir;
};

TEST_F(DescriptorFileTest, ExportWritesTheDaclDescriptorAndKeepsTheOwner) {
    std::wstring bob = SidToSddl(machine.SidOf(L"Bob"));
    machine.AddFolder(L"C:\\Data",
                      L"O:" + bob + L"D:P(A;;FA;;;SY)(A;OICI;0x1200a9;;;BU)(D;;WD;;;WD)");
    std::wstring file = dir.File(L"data.sd");
    ExportResult result = ExportDescriptorOfPath(engine, L"C:\\Data", file);
    EXPECT_EQ(result.outcome, ExportOutcome::kWritten);
    auto bytes = ReadDescriptorFile(file);
    ASSERT_TRUE(bytes);
    EXPECT_EQ((*bytes)[0], 1);  // revision
    EXPECT_EQ(bytes, machine.GetFileSecurity(L"C:\\Data", secinfo::kDacl).value());
    EXPECT_EQ(machine.OwnerNameOf(L"C:\\Data"), L"Bob");

    // Imported into another object's dialog: three rows, none merged.
    LoadedAceEntries imported = ImportDescriptorEntries(machine, *bytes, true);
    EXPECT_EQ(imported.result, 3);
    EXPECT_EQ(imported.entries.size(), 3u);
    EXPECT_EQ(imported.entries[1].name, L"Users");
}

TEST_F(DescriptorFileTest, AFailedReadWritesNothingAndStillGivesTheOwnerBack) {
    machine.AddFolder(L"C:\\Data", L"O:BAD:(A;;FA;;;BA)");
    std::wstring file = dir.File(L"previous.sd");
    ASSERT_TRUE(WriteFileReplacing(file, Bytes{7, 7, 7}));
    machine.FailNthCall(sim::Call::kGetFileSecurity, 1, err::kAccessDenied);
    EXPECT_EQ(ExportDescriptorOfPath(engine, L"C:\\Data", file).outcome,
              ExportOutcome::kReadFailed);
    EXPECT_EQ(ReadDescriptorFile(file), (Bytes{7, 7, 7}));
    EXPECT_EQ(machine.OwnerNameOf(L"C:\\Data"), L"Administrators");
}

TEST_F(DescriptorFileTest, HeldDescriptorsAndPendingChanges) {
    Bytes held = *SddlToBytes(L"D:AI(A;ID;FA;;;SY)");
    std::wstring file = dir.File(L"held.sd");
    ASSERT_TRUE(ExportHeldDescriptor(file, held));
    EXPECT_EQ(ReadDescriptorFile(file), held);
    EXPECT_FALSE(RefuseExportWithPendingChanges(false, reporter));
    EXPECT_TRUE(RefuseExportWithPendingChanges(true, reporter));
    EXPECT_EQ(reporter.texts(),
              std::vector<std::wstring>{L"Please save changes of Security settings."});
    EXPECT_FALSE(ReadDescriptorFile(dir.File(L"missing.sd")));
}

TEST_F(DescriptorFileTest, ImportRefusesWhatIsNotADescriptorWithADacl) {
    Bytes good = *SddlToBytes(L"D:(A;;FA;;;SY)");
    std::vector<Bytes> bad = {
        {},
        Bytes(good.begin(), good.begin() + 19),  // shorter than the header
        Bytes(good.begin(), good.end() - 1),     // the DACL cut
        *SddlToBytes(L"O:BA"),                   // no DACL
        *SddlToBytes(L"D:NO_ACCESS_CONTROL"),    // NULL DACL
        Bytes{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!',
              '!', '!', '!', '!', '!', '!', '!', '!', '!', '!', '!', '!'},
    };
    for (const Bytes& bytes : bad) {
        LoadedAceEntries loaded = ImportDescriptorEntries(machine, bytes, true);
        EXPECT_EQ(loaded.result, kAcesNoDacl);
        EXPECT_TRUE(loaded.entries.empty());
        EXPECT_EQ(EmptyListText(loaded.result), kNullDaclText);
    }
    Bytes offsetOutside = good;
    WriteLe32(offsetOutside, 16, 0xFFFF);  // DACL offset beyond the bytes
    EXPECT_EQ(ImportDescriptorEntries(machine, offsetOutside, true).result, kAcesNoDacl);
}

}  // namespace
}  // namespace vm
