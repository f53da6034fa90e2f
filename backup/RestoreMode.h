// The two modes of the Restore window, fixed when it is made.
#pragma once

namespace vm {

// kFile: the rows of a backup file; kReset: the drive roots and system
// folders with their default descriptors, only ticked rows written.
enum class RestoreMode { kFile = 0, kReset = 1 };

}  // namespace vm
