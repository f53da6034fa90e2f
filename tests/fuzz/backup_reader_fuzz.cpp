// Fuzz target: the backup file reader must take any bytes without reading
// outside them, and everything it loads must lie inside the input.
#include <cstddef>
#include <cstdint>
#include <span>

#include "backup/BackupFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::span<const uint8_t> bytes(data, size);
    vm::BackupContents contents = vm::ParseBackup(bytes);
    size_t loaded = contents.items.empty() ? 0 : vm::kBackupHeaderSize;
    for (const vm::BackupItem& item : contents.items)
        loaded += vm::kBackupRecordSize + item.descriptor.size();
    if (loaded > size)
        __builtin_trap();
    return 0;
}
