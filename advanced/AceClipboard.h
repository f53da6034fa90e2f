// The entry clipboard of the Advanced Security Settings windows: one list of
// entries for the whole process, empty at start and replaced by every copy.
// Entries are held explicit, without an "Inherited From" value, so that a
// paste makes editable entries of them wherever they came from (a backup's
// read-only view included). It is independent of the main window's copy of
// a whole descriptor. Used on the user-interface thread only.
#pragma once

#include <vector>

#include "advanced/AceEntries.h"

namespace vm {

class AceClipboard {
  public:
    bool empty() const { return entries_.empty(); }
    const std::vector<AceEntry>& entries() const { return entries_; }
    // Replaces the content; each entry is made explicit.
    void Fill(std::vector<AceEntry> entries);

  private:
    std::vector<AceEntry> entries_;
};

}  // namespace vm
