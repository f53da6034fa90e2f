// The record behind every row of an item list: what the row stands for,
// independent of how it is drawn.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "platform/Platform.h"

namespace vm {

// What a row's path is. Stored negated while the path is missing, so that a
// missing file (-2) or folder (-1) paints on the missing-item background. A
// drive root is 0 and so can never be marked missing.
enum ItemKind : int32_t { kKindDriveRoot = 0, kKindFolder = 1, kKindFile = 2 };

// The list's mode: a plain list (Restore window), the Edit Mode list or the
// Browse Mode list of the main window.
enum class ListMode : int { kPlain = 0, kEdit = 1, kBrowse = 2 };

// No access level known (yet): no access icon and an empty access cell.
inline constexpr int32_t kAccessUnknown = -1;

struct ItemRecord {
    std::wstring path;
    int32_t row = 0;  // the row's index, renumbered before every sort
    int32_t kind = kKindFile;
    int32_t access = kAccessUnknown;  // AccessLevel value 0..2, or kAccessUnknown
    std::optional<Bytes> descriptor;  // kept for the row (Restore window only)
    // Identifies the record to background work; unique within the process.
    uint64_t serial = 0;

    bool IsMissing() const { return kind < 0; }
    int32_t BaseKind() const { return std::abs(kind); }
    void MarkMissing() { kind = -std::abs(kind); }
    void MarkPresent() { kind = std::abs(kind); }
    uint32_t DescriptorLength() const {
        return descriptor ? static_cast<uint32_t>(descriptor->size()) : 0;
    }
};

// A fresh serial for a new record.
uint64_t NextRecordSerial();

}  // namespace vm
