// What `show` says of one object: its owner, the evaluated account's access
// level, and its entries as the Advanced Security Settings window lists them
// (read, merged per trustee, each with its rights, scope and "Inherited
// From"); and the three ways of printing it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "advanced/AceEntries.h"
#include "security/AccessEvaluation.h"

namespace vm::cli {

struct ShownObject {
    std::wstring path;
    uint32_t error = 0;  // the object could not be read; nothing else is set
    bool isContainer = false;
    std::wstring owner;  // empty when it does not resolve
    std::wstring ownerSid;
    AccessLevel access = AccessLevel::kAllowed;
    int loadResult = 0;  // entries read, or kAcesUnreadable / kAcesNoDacl
    bool nullDacl = false;
    std::wstring sddl;  // owner and DACL
    std::vector<AceEntry> entries;
};

// Reads one object. isContainer: what a listing said of it, else asked.
ShownObject ReadShownObject(Platform& platform, const UserIdentity& user, const std::wstring& path,
                            std::optional<bool> isContainer, SidNameCache& names);

// The rights of an entry's mask as the fourteen rows name them: "Full
// control" alone when it is all there, else the single rights in row order.
std::vector<std::wstring> RightNamesOf(uint32_t mask, bool isContainer);

// A block of text per object.
std::wstring FormatText(const ShownObject& object, const std::wstring& userName);
// One line per object: the path, a tab, the owner and DACL as SDDL.
std::wstring FormatSddl(const ShownObject& object);
// One JSON array of every object.
std::wstring FormatJson(const std::vector<ShownObject>& objects, const std::wstring& userName);

// Text as a JSON string literal, quotes included.
std::wstring JsonString(const std::wstring& text);

}  // namespace vm::cli
