#include "cli/ShowReport.h"

#include <algorithm>
#include <cstdio>

#include "security/Rights.h"
#include "security/Sddl.h"
#include "security/SecurityAccess.h"

namespace vm::cli {

namespace {

constexpr const wchar_t* kAccessTitle = L"Access rights of current user";

struct Column {
    std::wstring title;
    std::vector<std::wstring> cells;
    size_t Width() const {
        size_t width = title.size();
        for (const auto& cell : cells)
            width = std::max(width, cell.size());
        return width;
    }
};

std::wstring Joined(const std::vector<std::wstring>& parts, const std::wstring& separator) {
    std::wstring text;
    for (const auto& part : parts)
        text += (text.empty() ? L"" : separator) + part;
    return text;
}

std::wstring Hex(uint32_t value) {
    wchar_t buffer[16];
    std::swprintf(buffer, 16, L"0x%x", static_cast<unsigned>(value));
    return buffer;
}

uint32_t MaskOf(const AceEntry& entry) {
    return entry.type == ace_type::kAccessAllowed ? entry.allow : entry.deny;
}

// The rows of the entries as a table: type, name, rights, inherited from
// and, for a folder, what the entry applies to.
std::wstring EntryTable(const ShownObject& object) {
    std::vector<Column> columns{
        {L"Type", {}}, {L"Name", {}}, {L"Rights", {}}, {L"Inherited From", {}}};
    if (object.isContainer)
        columns.push_back({L"Apply to", {}});
    for (const AceEntry& entry : object.entries) {
        columns[0].cells.push_back(AceTypeText(entry.type));
        columns[1].cells.push_back(DisplayName(entry.name));
        std::wstring rights = Joined(RightNamesOf(MaskOf(entry), object.isContainer), L", ");
        columns[2].cells.push_back(rights.empty() ? L"(special: " + Hex(MaskOf(entry)) + L")"
                                                  : rights);
        columns[3].cells.push_back(entry.inheritedFrom);
        if (object.isContainer)
            columns[4].cells.push_back(ScopeText(entry.scope));
    }
    std::vector<size_t> widths;
    for (const auto& column : columns)
        widths.push_back(column.Width());
    auto line = [&](auto cellOf) {
        std::wstring text = L"  ";
        for (size_t c = 0; c < columns.size(); ++c) {
            std::wstring cell = cellOf(c);
            bool last = c + 1 == columns.size();
            text += last ? cell : cell + std::wstring(widths[c] - cell.size() + 2, L' ');
        }
        while (!text.empty() && text.back() == L' ')
            text.pop_back();
        return text + L"\n";
    };
    std::wstring table = line([&](size_t c) { return columns[c].title; });
    for (size_t row = 0; row < object.entries.size(); ++row)
        table += line([&](size_t c) { return columns[c].cells[row]; });
    return table;
}

}  // namespace

ShownObject ReadShownObject(Platform& platform, const UserIdentity& user, const std::wstring& path,
                            std::optional<bool> isContainer, SidNameCache& names) {
    ShownObject object;
    object.path = path;
    auto descriptor = platform.GetFileSecurity(path, secinfo::kOwner | secinfo::kDacl);
    if (!descriptor.ok()) {
        object.error = descriptor.error();
        return object;
    }
    auto parsed = SecurityDescriptor::Parse(*descriptor);
    if (!parsed) {
        object.error = err::kInvalidSecurityDescriptor;
        return object;
    }
    object.sddl = DescriptorToSddl(*parsed);
    object.nullDacl = parsed->HasNullDacl();
    if (parsed->owner)
        object.ownerSid = parsed->owner->ToString();
    object.isContainer = isContainer ? *isContainer : platform.PathIsDirectory(path);
    object.owner = GetOwnerName(platform, path);
    object.access = GetAccessLevel(platform, user, path, &names);
    LoadedAceEntries loaded = LoadAceEntriesOfKnownKind(platform, path, object.isContainer);
    MergeAceEntries(loaded.entries);
    object.loadResult = loaded.result;
    object.entries = std::move(loaded.entries);
    return object;
}

std::vector<std::wstring> RightNamesOf(uint32_t mask, bool isContainer) {
    RightSet rights = RightsFromMask(mask, isContainer);
    if (rights[kFullControlRight])
        return {RightName(kFullControlRight)};
    std::vector<std::wstring> names;
    for (size_t index = 1; index < kRightCount; ++index) {
        if (rights[index])
            names.push_back(RightName(index));
    }
    return names;
}

std::wstring FormatText(const ShownObject& object, const std::wstring& userName) {
    std::wstring text = object.path + L"\n";
    text += L"  Owner: " + (object.owner.empty() ? object.ownerSid : object.owner) + L"\n";
    text += std::wstring(L"  ") + kAccessTitle + L" (" + userName + L"): " +
            AccessLevelText(object.access) + L"\n";
    if (object.loadResult > 0) {
        text += EntryTable(object);
    } else {
        // The text the Advanced window shows for an empty list, one line at a
        // time.
        std::wstring empty = EmptyListText(object.loadResult);
        size_t at = 0;
        while (at <= empty.size()) {
            size_t end = empty.find(L'\n', at);
            if (end == std::wstring::npos)
                end = empty.size();
            if (end > at)
                text += L"  " + empty.substr(at, end - at) + L"\n";
            at = end + 1;
        }
    }
    return text;
}

std::wstring FormatSddl(const ShownObject& object) {
    return object.path + L"\t" + object.sddl + L"\n";
}

std::wstring JsonString(const std::wstring& text) {
    std::wstring out = L"\"";
    for (wchar_t c : text) {
        switch (c) {
            case L'"':
                out += L"\\\"";
                break;
            case L'\\':
                out += L"\\\\";
                break;
            case L'\n':
                out += L"\\n";
                break;
            case L'\t':
                out += L"\\t";
                break;
            case L'\r':
                out += L"\\r";
                break;
            default:
                if (static_cast<uint32_t>(c) < 0x20) {
                    wchar_t escaped[8];
                    std::swprintf(escaped, 8, L"\\u%04x", static_cast<unsigned>(c));
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    return out + L"\"";
}

std::wstring FormatJson(const std::vector<ShownObject>& objects, const std::wstring& userName) {
    std::wstring json = L"[";
    for (size_t i = 0; i < objects.size(); ++i) {
        const ShownObject& object = objects[i];
        json += i == 0 ? L"\n  {" : L",\n  {";
        json += L"\"path\": " + JsonString(object.path);
        if (object.error) {
            json += L", \"error\": " + std::to_wstring(object.error) + L"}";
            continue;
        }
        json += L", \"container\": " + std::wstring(object.isContainer ? L"true" : L"false");
        json += L", \"owner\": " + JsonString(object.owner);
        json += L", \"ownerSid\": " + JsonString(object.ownerSid);
        json += L", \"user\": " + JsonString(userName);
        json += L", \"access\": " + JsonString(AccessLevelText(object.access));
        std::wstring dacl = object.loadResult == kAcesUnreadable ? L"unreadable"
                            : object.nullDacl                    ? L"null"
                            : object.loadResult == kAcesNoDacl   ? L"absent"
                            : object.loadResult == 0             ? L"empty"
                                                                 : L"entries";
        json += L", \"dacl\": " + JsonString(dacl);
        json += L", \"sddl\": " + JsonString(object.sddl);
        json += L", \"entries\": [";
        for (size_t e = 0; e < object.entries.size(); ++e) {
            const AceEntry& entry = object.entries[e];
            json += e == 0 ? L"\n    {" : L",\n    {";
            json += L"\"type\": " + JsonString(AceTypeText(entry.type));
            json += L", \"name\": " + JsonString(entry.name);
            json += L", \"mask\": " + JsonString(Hex(MaskOf(entry)));
            json += L", \"rights\": [";
            auto rights = RightNamesOf(MaskOf(entry), object.isContainer);
            for (size_t r = 0; r < rights.size(); ++r)
                json += (r == 0 ? L"" : L", ") + JsonString(rights[r]);
            json += L"], \"inherited\": " + std::wstring(entry.inherited ? L"true" : L"false");
            json += L", \"inheritedFrom\": " + JsonString(entry.inheritedFrom);
            json += L", \"scope\": " + std::to_wstring(entry.scope);
            json += L", \"applyTo\": " + JsonString(ScopeText(entry.scope)) + L"}";
        }
        json += object.entries.empty() ? L"]}" : L"\n  ]}";
    }
    return json + (objects.empty() ? L"]\n" : L"\n]\n");
}

}  // namespace vm::cli
