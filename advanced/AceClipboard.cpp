#include "advanced/AceClipboard.h"

namespace vm {

void AceClipboard::Fill(std::vector<AceEntry> entries) {
    for (AceEntry& entry : entries) {
        entry.inherited = 0;
        entry.inheritedFrom.clear();
    }
    entries_ = std::move(entries);
}

}  // namespace vm
