#include "advanced/AceEntries.h"

#include "advanced/AdvancedApply.h"

#include <algorithm>
#include <optional>

#include "platform/TextCase.h"
#include "security/AccessEvaluation.h"
#include "security/DaclEdits.h"
#include "security/Rights.h"
#include "security/SecurityAccess.h"
#include "security/SecurityDescriptor.h"

namespace vm {
namespace {

constexpr uint32_t kComparedBits = 0xFFFFF;  // merging compares the low 20 bits only

bool IsAllowOrDeny(uint8_t type) {
    return type == ace_type::kAccessAllowed || type == ace_type::kAccessDenied;
}

uint32_t& MaskOfType(AceEntry& entry) {
    return entry.type == ace_type::kAccessAllowed ? entry.allow : entry.deny;
}

AceEntry EntryOf(const Ace& ace, std::wstring name, std::wstring inheritedFrom) {
    AceEntry entry;
    entry.name = std::move(name);
    entry.type = ace.type;
    uint32_t mask = WidenGenericRights(ace.mask);
    MaskOfType(entry) = mask;
    entry.inherited = ace.IsInherited() ? 1 : 0;
    entry.scope = ScopeValueOfFlags(ace.flags);
    entry.inheritedFrom = std::move(inheritedFrom);
    return entry;
}

bool MergeCandidate(const AceEntry& p, const AceEntry& q) {
    return q.type == p.type && q.inherited == p.inherited && EqualsIgnoringCase(q.name, p.name);
}

}  // namespace

namespace {

// The entries of a descriptor; read from path when fromPath (the inheritance
// sources then come from the path's ancestors).
LoadedAceEntries LoadFromDescriptor(Platform& platform, const std::wstring& path,
                                    const Bytes& descriptor, bool isContainer, bool fromPath) {
    LoadedAceEntries loaded;
    loaded.isContainer = isContainer;
    auto parsed = SecurityDescriptor::Parse(descriptor);
    if (!parsed || !parsed->dacl.present || parsed->dacl.IsNull()) {
        loaded.result = kAcesNoDacl;
        return loaded;
    }
    const Acl& acl = *parsed->dacl.acl;
    // Only a path has ancestors to name; a failed query names none.
    std::vector<InheritedFrom> sources;
    if (fromPath) {
        auto result = platform.GetInheritanceSource(path, loaded.isContainer, acl.ToBytes());
        if (result.ok())
            sources = std::move(*result);
    }
    SidNameCache names;
    for (size_t i = 0; i < acl.aces.size(); ++i) {
        const Ace& ace = acl.aces[i];
        if (!IsAllowOrDeny(ace.type) || !ace.sid)
            continue;
        std::wstring ancestor = i < sources.size() ? sources[i].ancestorName : std::wstring();
        loaded.entries.push_back(EntryOf(ace, names.Name(platform, *ace.sid),
                                         InheritedFromText(ace.IsInherited(), ancestor)));
    }
    loaded.result = static_cast<int>(loaded.entries.size());
    return loaded;
}

}  // namespace

LoadedAceEntries LoadAceEntries(Platform& platform, const std::wstring& path,
                                const Bytes* descriptor, bool isContainer) {
    if (descriptor)
        return LoadFromDescriptor(platform, path, *descriptor, isContainer, false);
    return LoadAceEntriesOfKnownKind(platform, path, platform.PathIsDirectory(path));
}

LoadedAceEntries LoadAceEntriesOfKnownKind(Platform& platform, const std::wstring& path,
                                           bool isContainer) {
    auto read = ReadDaclDescriptor(platform, path);
    if (!read) {
        LoadedAceEntries loaded;
        loaded.isContainer = isContainer;
        loaded.result = kAcesUnreadable;
        return loaded;
    }
    return LoadFromDescriptor(platform, path, *read, isContainer, true);
}

void MergeAceEntries(std::vector<AceEntry>& entries) {
    std::vector<bool> absorbed(entries.size(), false);
    for (size_t p = 0; p < entries.size(); ++p) {
        if (absorbed[p])
            continue;
        AceEntry& keep = entries[p];
        uint8_t pendingScope = keep.scope;
        for (size_t q = 0; q < entries.size(); ++q) {
            if (q == p || absorbed[q] || !MergeCandidate(keep, entries[q]))
                continue;
            const AceEntry& other = entries[q];
            uint32_t g = keep.allow | keep.deny;
            uint32_t m = other.allow | other.deny;
            bool sameRights = ((g ^ m) & kComparedBits) == 0;
            bool subset = g == ((m | g) & kComparedBits);
            bool covered = ScopeCovers(keep.scope, other.scope);
            if (!(sameRights || (covered && subset) || keep.scope == other.scope))
                continue;
            absorbed[q] = true;
            pendingScope = ScopeUnion(pendingScope, other.scope);
            if (!sameRights) {
                keep.allow = 0;
                keep.deny = 0;
                MaskOfType(keep) = m | g;
            }
        }
        keep.scope = pendingScope;
    }
    size_t out = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (absorbed[i])
            continue;
        if (out != i)
            entries[out] = std::move(entries[i]);
        ++out;
    }
    entries.resize(out);
}

std::wstring EmptyListText(int loadResult) {
    if (loadResult == kAcesUnreadable)
        return kCannotViewPermissionsText;
    if (loadResult == kAcesNoDacl)
        return kNullDaclText;
    if (loadResult == 0)
        return kEmptyDaclText;
    return {};
}

AceEntry NewAceEntry(const std::wstring& name) {
    AceEntry entry;
    entry.name = name;
    entry.type = ace_type::kAccessAllowed;
    entry.scope = ace_flag::kObjectInherit | ace_flag::kContainerInherit;
    entry.allow = access::kFullControl;
    return entry;
}

std::wstring DisplayName(const std::wstring& name) {
    size_t slash = name.rfind(L'\\');
    return slash == std::wstring::npos ? name : name.substr(slash + 1);
}

int ApplyAceEntries(Engine& engine, const std::wstring& path, std::vector<AceEntry> entries) {
    int written = 0;
    for (const ExplicitEntry& entry : ExplicitEntriesOfRows(std::move(entries))) {
        if (AddAccessEntry(engine, path, entry.trustee, entry.mask, entry.type, entry.flags).ok())
            ++written;
    }
    return written;
}

}  // namespace vm
