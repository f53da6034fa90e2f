#include "lists/ItemRecord.h"

#include <atomic>

namespace vm {

uint64_t NextRecordSerial() {
    static std::atomic<uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace vm
