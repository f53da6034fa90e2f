#include "backup/BackupFile.h"

#include <algorithm>
#include <ctime>

#include "files/FileIo.h"
#include "platform/TextCase.h"
#include "platform/Utf16.h"
#include "security/SecurityAccess.h"
#include "security/Sid.h"

namespace vm {
namespace {

constexpr size_t kMagicOffset = 0;
constexpr size_t kFormatOffset = 32;
constexpr size_t kTimeOffset = 34;
constexpr size_t kCountOffset = 100;
constexpr size_t kPathOffset = 0;
constexpr size_t kOwnerOffset = 600;
constexpr size_t kLengthOffset = 728;

bool LocalTime(std::time_t now, std::tm& out) {
#ifdef _WIN32
    return localtime_s(&out, &now) == 0;
#else
    return localtime_r(&now, &out) != nullptr;
#endif
}

}  // namespace

std::vector<uint8_t> BackupFileHeader::ToBytes() const {
    std::vector<uint8_t> bytes(kBackupHeaderSize, 0);
    std::span<uint8_t> out(bytes);
    WriteFixedUtf16Field(out.subspan(kMagicOffset), kBackupMagicUnits, magic);
    bytes[kFormatOffset] = formatByte;
    WriteFixedUtf16Field(out.subspan(kTimeOffset), kBackupTimeUnits, creationTime);
    WriteLe32(out, kCountOffset, itemCount);
    return bytes;
}

BackupFileHeader BackupFileHeader::FromBytes(std::span<const uint8_t> bytes) {
    BackupFileHeader header;
    header.magic = ReadFixedUtf16Field(bytes.subspan(kMagicOffset), kBackupMagicUnits);
    header.formatByte = bytes[kFormatOffset];
    header.creationTime = ReadFixedUtf16Field(bytes.subspan(kTimeOffset), kBackupTimeUnits);
    header.itemCount = ReadLe32(bytes, kCountOffset);
    return header;
}

std::vector<uint8_t> BackupItemRecord::ToBytes() const {
    std::vector<uint8_t> bytes(kBackupRecordSize, 0);
    std::span<uint8_t> out(bytes);
    WriteFixedUtf16Field(out.subspan(kPathOffset), kBackupPathUnits, path);
    WriteFixedUtf16Field(out.subspan(kOwnerOffset), kBackupOwnerUnits, owner);
    WriteLe32(out, kLengthOffset, descriptorLength);
    return bytes;
}

BackupItemRecord BackupItemRecord::FromBytes(std::span<const uint8_t> bytes) {
    BackupItemRecord record;
    record.path = ReadFixedUtf16Field(bytes.subspan(kPathOffset), kBackupPathUnits);
    record.owner = ReadFixedUtf16Field(bytes.subspan(kOwnerOffset), kBackupOwnerUnits);
    record.descriptorLength = ReadLe32(bytes, kLengthOffset);
    return record;
}

std::wstring BackupSaveName(const std::wstring& chosen) {
    if (EndsWithIgnoringCase(chosen, kBackupExtension))
        return chosen;
    return chosen + kBackupExtension;
}

std::wstring CurrentBackupTime() {
    std::tm local{};
    if (!LocalTime(std::time(nullptr), local))
        return {};
    char text[64] = {};
    if (std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local) == 0)
        return {};
    return FromUtf8(text);
}

std::vector<uint8_t> SerializeBackup(const std::wstring& creationTime,
                                     const std::vector<BackupItem>& items) {
    BackupFileHeader header;
    header.creationTime = creationTime;
    header.itemCount = static_cast<uint32_t>(items.size());
    std::vector<uint8_t> bytes = header.ToBytes();
    for (const BackupItem& item : items) {
        BackupItemRecord record{item.path, item.owner,
                                static_cast<uint32_t>(item.descriptor.size())};
        std::vector<uint8_t> recordBytes = record.ToBytes();
        bytes.insert(bytes.end(), recordBytes.begin(), recordBytes.end());
        bytes.insert(bytes.end(), item.descriptor.begin(), item.descriptor.end());
    }
    return bytes;
}

std::vector<BackupItem> CollectBackupItems(Platform& platform,
                                           const std::vector<std::wstring>& paths) {
    std::vector<BackupItem> items;
    for (const std::wstring& path : paths) {
        std::wstring owner = GetOwnerName(platform, path);
        std::optional<Bytes> descriptor = ReadDaclDescriptor(platform, path);
        if (!descriptor)
            continue;
        items.push_back({path, std::move(owner), std::move(*descriptor)});
    }
    return items;
}

Status WriteBackupFile(Platform& platform, const std::wstring& file,
                       const std::vector<std::wstring>& paths, const std::wstring& creationTime) {
    return WriteFileReplacing(file,
                              SerializeBackup(creationTime, CollectBackupItems(platform, paths)));
}

BackupContents ParseBackup(std::span<const uint8_t> bytes) {
    BackupContents contents;
    // A short file reads as a zero-filled header, like the header buffer.
    std::vector<uint8_t> headerBytes(kBackupHeaderSize, 0);
    std::copy_n(bytes.begin(), std::min(bytes.size(), kBackupHeaderSize), headerBytes.begin());
    BackupFileHeader header = BackupFileHeader::FromBytes(headerBytes);
    if (header.magic != kBackupMagic) {
        contents.status = BackupReadStatus::kUnknownFormat;
        return contents;
    }
    contents.creationTime = header.creationTime;
    if (bytes.size() < kBackupHeaderSize) {
        contents.status = BackupReadStatus::kDamaged;
        return contents;
    }
    size_t offset = kBackupHeaderSize;
    // The count is never trusted for an allocation: every block must be there.
    for (uint32_t i = 0; i < header.itemCount; ++i) {
        if (bytes.size() - offset < kBackupRecordSize) {
            contents.status = BackupReadStatus::kDamaged;
            break;
        }
        BackupItemRecord record = BackupItemRecord::FromBytes(bytes.subspan(offset));
        offset += kBackupRecordSize;
        if (bytes.size() - offset < record.descriptorLength) {
            contents.status = BackupReadStatus::kDamaged;
            break;
        }
        auto descriptor = bytes.subspan(offset, record.descriptorLength);
        offset += record.descriptorLength;
        contents.items.push_back({std::move(record.path), std::move(record.owner),
                                  Bytes(descriptor.begin(), descriptor.end())});
    }
    return contents;
}

BackupContents ReadBackupFile(const std::wstring& file, Reporter& reporter) {
    std::optional<Bytes> bytes = ReadWholeFile(file);
    if (!bytes) {
        BackupContents nothing;
        nothing.status = BackupReadStatus::kCannotOpen;
        return nothing;
    }
    BackupContents contents = ParseBackup(*bytes);
    if (contents.status == BackupReadStatus::kUnknownFormat)
        reporter.Tell(kUnknownFileFormat, MessageIcon::kNone);
    return contents;
}

}  // namespace vm
