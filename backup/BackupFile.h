// The security settings backup file (".SBAK"): one 104-byte header, then per
// item a 732-byte record followed by the item's DACL descriptor. Integers are
// little-endian; texts are UTF-16LE in fixed fields ending in a NUL unit.
//
// Header (BackupFileHeader):
//   0   32  magic "ZOL_KRV_BAK", NUL, zeros (16 units)
//   32   1  format byte, 0x15 when written, not checked when read
//   33   1  reserved, 0
//   34  64  creation time "%Y-%m-%d %H:%M:%S" local time (32 units)
//   98   2  reserved, 0
//   100  4  item count
// Item block (BackupItemRecord):
//   0  600  path (300 units: at most 299 characters)
//   600 128 owner account name (64 units: at most 63 characters)
//   728   4 descriptor length, then that many descriptor bytes
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/Reporter.h"

namespace vm {

inline constexpr size_t kBackupHeaderSize = 104;
inline constexpr size_t kBackupRecordSize = 732;
inline constexpr size_t kBackupMagicUnits = 16;
inline constexpr size_t kBackupTimeUnits = 32;
inline constexpr size_t kBackupPathUnits = 300;
inline constexpr size_t kBackupOwnerUnits = 64;
inline constexpr uint8_t kBackupFormatByte = 0x15;
inline constexpr const wchar_t* kBackupMagic = L"ZOL_KRV_BAK";
inline constexpr const wchar_t* kBackupExtension = L".SBAK";
inline constexpr const wchar_t* kBackupFileFilter =
    L"Security Settings Backup File (*.SBAK)|*.SBAK|";
inline constexpr const wchar_t* kUnknownFileFormat = L"Unknown file format !";

struct BackupFileHeader {
    std::wstring magic = kBackupMagic;
    uint8_t formatByte = kBackupFormatByte;
    std::wstring creationTime;
    uint32_t itemCount = 0;

    std::vector<uint8_t> ToBytes() const;
    // Reads the first 104 bytes (bytes must hold at least that many).
    static BackupFileHeader FromBytes(std::span<const uint8_t> bytes);
};

struct BackupItemRecord {
    std::wstring path;
    std::wstring owner;
    uint32_t descriptorLength = 0;

    std::vector<uint8_t> ToBytes() const;
    // Reads the first 732 bytes (bytes must hold at least that many).
    static BackupItemRecord FromBytes(std::span<const uint8_t> bytes);
};

// One item of a backup: what the Restore window turns into a row.
struct BackupItem {
    std::wstring path;
    std::wstring owner;
    Bytes descriptor;
    bool operator==(const BackupItem&) const = default;
};

enum class BackupReadStatus {
    kOk,
    kCannotOpen,     // nothing loaded, nothing said
    kUnknownFormat,  // wrong magic: "Unknown file format !"
    kDamaged,        // the blocks before the first short one are loaded
};

struct BackupContents {
    BackupReadStatus status = BackupReadStatus::kOk;
    std::wstring creationTime;
    std::vector<BackupItem> items;
};

// The name a backup is saved under: ".SBAK" is appended unless the chosen
// name already ends so in any letter case.
std::wstring BackupSaveName(const std::wstring& chosen);

// The local time now as "%Y-%m-%d %H:%M:%S"; empty when it cannot be formed.
std::wstring CurrentBackupTime();

// The whole file: header with the item count, then the blocks in order.
std::vector<uint8_t> SerializeBackup(const std::wstring& creationTime,
                                     const std::vector<BackupItem>& items);

// The items of the paths in order: owner name and DACL descriptor of each;
// a path whose descriptor cannot be read is left out without a word.
std::vector<BackupItem> CollectBackupItems(Platform& platform,
                                           const std::vector<std::wstring>& paths);

// Collects and writes a backup. The file is replaced only when the new one
// is complete, so a failure keeps the previous backup. The error is returned
// for the caller's file-error message.
Status WriteBackupFile(Platform& platform, const std::wstring& file,
                       const std::vector<std::wstring>& paths, const std::wstring& creationTime);

// Reads a backup held in memory. Every length is checked against the bytes:
// a block cut short (record or descriptor) ends the read with kDamaged and
// the complete blocks before it; a count larger than the file holds does the
// same. A file shorter than the header is read as if zero-filled (as the
// record buffers are), so it is either of unknown format or damaged.
BackupContents ParseBackup(std::span<const uint8_t> bytes);

// Reads a backup file; a wrong magic is told to the reporter as "Unknown file
// format !" (OK, no icon). A file that cannot be opened says nothing.
BackupContents ReadBackupFile(const std::wstring& file, Reporter& reporter);

}  // namespace vm
