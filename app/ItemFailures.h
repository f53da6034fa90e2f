// What a command tells the user about the items it could not change: one
// message per run rather than one per item, naming each item with the
// system's reason, and a louder one for items left without an access
// control list (open to everyone) because putting back their previous list
// failed too.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/Reporter.h"

namespace vm {

struct ItemFailure {
    std::wstring path;
    uint32_t error = 0;            // the system's error code of the refused step
    bool leftWithoutDacl = false;  // the item has a NULL DACL now
};

// At most this many items are named in one message; the rest are counted.
inline constexpr size_t kListedFailures = 10;

// The text of message 212 or 213 for the failures (of one kind).
std::wstring FailureMessage(Platform& platform, const std::vector<ItemFailure>& failures,
                            bool leftWithoutDacl);

// Tells the failures: first the items left without a DACL (warning icon),
// then the items left unchanged (error icon); nothing when there are none.
void ReportItemFailures(Platform& platform, Reporter& reporter,
                        const std::vector<ItemFailure>& failures);

}  // namespace vm
