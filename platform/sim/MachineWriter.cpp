// SaveMachine: a machine as a machine description text (MachineFile.h).
#include <algorithm>
#include <map>
#include <set>
#include <span>

#include "platform/Utf16.h"
#include "platform/sim/MachineFile.h"
#include "platform/sim/MachineFormat.h"
#include "platform/sim/MachineText.h"

namespace vm::sim {

namespace mf = machine_format;

namespace {

using ObjectInfo = SimPlatform::ObjectInfo;
using ObjectKind = SimPlatform::ObjectKind;

std::wstring ParentOf(const std::wstring& path);

class MachineWriter {
  public:
    MachineWriter(const SimPlatform& machine, const MachineSaveOptions& options)
        : machine_(machine), options_(options) {}

    std::string Text();

  private:
    void Line(std::initializer_list<std::wstring> fields);
    void Comment();
    void Settings();
    void AccountLines();
    void TokenLines();
    void NameDescriptors(const std::vector<ObjectInfo>& objects);
    void VolumeObjects(std::span<const ObjectInfo> objects);
    void FolderAndContents(std::span<const ObjectInfo> objects, size_t folder,
                           const std::vector<std::vector<size_t>>& children);
    void ObjectLine(const ObjectInfo& object, const std::wstring& path);
    std::wstring Relative(const std::wstring& path) const;
    void DataLines(std::span<const uint8_t> content);
    std::wstring Ref(const Sid& sid) const;
    std::wstring SecurityField(const ObjectInfo& object);
    std::wstring SecurityOf(const SecurityDescriptor& descriptor);

    const SimPlatform& machine_;
    const MachineSaveOptions& options_;
    std::wstring out_;
    Accounts accounts_;
    std::map<std::wstring, std::wstring> aliases_;  // security text to "@name"
    std::wstring lastFolder_;
    std::map<Bytes, std::wstring> texts_;  // stored descriptor bytes to security text
};

std::string MachineWriter::Text() {
    Comment();
    Line({mf::kMachine, std::to_wstring(kMachineFileVersion)});
    Settings();
    AccountLines();
    TokenLines();
    std::vector<ObjectInfo> objects = machine_.Objects();
    NameDescriptors(objects);
    size_t next = 0;
    for (const auto& volume : machine_.Volumes()) {
        Line({mf::kVolume, std::wstring{volume.letter, L':'}, QuoteField(volume.fileSystem)});
        size_t end = next;
        while (end < objects.size() && objects[end].path[0] == volume.letter)
            ++end;
        VolumeObjects(std::span(objects).subspan(next, end - next));
        next = end;
    }
    return ToUtf8(out_);
}

void MachineWriter::Line(std::initializer_list<std::wstring> fields) {
    bool first = true;
    for (const auto& field : fields) {
        if (!first)
            out_ += L' ';
        out_ += field;
        first = false;
    }
    out_ += L'\n';
}

void MachineWriter::Comment() {
    if (options_.comment.empty())
        return;
    size_t start = 0;
    while (start <= options_.comment.size()) {
        size_t end = options_.comment.find(L'\n', start);
        if (end == std::wstring::npos)
            end = options_.comment.size();
        std::wstring text = options_.comment.substr(start, end - start);
        out_ += text.empty() ? L"#\n" : L"# " + text + L"\n";
        start = end + 1;
    }
}

void MachineWriter::Settings() {
    Line({mf::kWindows, QuoteField(machine_.WindowsDirectoryPath())});
    Line({mf::kArchitecture, machine_.Is64Bit() ? mf::k64Bit : mf::k32Bit});
}

// A name the reader resolves to exactly this SID, else the SID string.
std::wstring MachineWriter::Ref(const Sid& sid) const {
    const Account* account = accounts_.FindBySid(sid);
    if (account) {
        std::wstring name =
            account->domain.empty() ? account->name : account->domain + L"\\" + account->name;
        const Account* back = accounts_.FindByName(name);
        if (back && back->sid == sid && !name.starts_with(L"S-1-"))
            return QuoteField(name);
    }
    return sid.ToString();
}

void MachineWriter::AccountLines() {
    std::vector<Account> accounts = machine_.AccountList();
    accounts_.Clear();
    for (const auto& account : accounts)
        accounts_.Insert(account);
    for (const auto& account : accounts) {
        Line({mf::kAccount, account.sid.ToString(), QuoteField(account.domain),
              QuoteField(account.name), mf::UseName(account.use)});
    }
    for (const auto& account : accounts) {
        for (const auto& member : account.members)
            Line({mf::kMember, Ref(account.sid), Ref(member)});
    }
}

void MachineWriter::TokenLines() {
    Token token = machine_.TokenSnapshot();
    Line({mf::kUser, Ref(token.user), machine_.IsElevated() ? mf::kElevated : mf::kFiltered});
    for (const auto& group : token.groups) {
        std::wstring flags = group.enabled ? mf::kEnabled : mf::kDisabled;
        if (group.denyOnly)
            flags += std::wstring(L" ") + mf::kDenyOnly;
        if (group.mayOwn)
            flags += std::wstring(L" ") + mf::kOwner;
        Line({mf::kTokenGroup, Ref(group.sid), flags});
    }
    for (const auto& privilege : token.privileges)
        Line({mf::kPrivilege, privilege.name, privilege.enabled ? mf::kEnabled : mf::kDisabled});
    Line({mf::kDefaultOwner, Ref(token.defaultOwner)});
}

// Named texts keep their names; other texts used more than once are
// numbered in the order they first occur.
void MachineWriter::NameDescriptors(const std::vector<ObjectInfo>& objects) {
    std::vector<std::wstring> order;
    std::map<std::wstring, size_t> uses;
    std::map<std::wstring, std::wstring> names;  // security text to its name
    std::set<std::wstring> taken;
    for (const auto& object : objects) {
        if (!object.security)
            continue;
        std::wstring text = SecurityOf(*object.security);
        auto asked = options_.descriptorNames.find(object.path);
        // A name asked for twice with different security stays with the first.
        if (asked != options_.descriptorNames.end() && !asked->second.empty() &&
            !names.contains(text) && taken.insert(asked->second).second)
            names[text] = asked->second;
        if (uses[text]++ == 0)
            order.push_back(std::move(text));
    }
    size_t number = 0;
    for (const auto& text : order) {
        if (!names.contains(text) && uses[text] > 1) {
            std::wstring numbered;
            do
                numbered = L"d" + std::to_wstring(++number);
            while (!taken.insert(numbered).second);
            names[text] = numbered;
        }
        auto named = names.find(text);
        if (named == names.end())
            continue;
        aliases_[text] = QuoteField(mf::kAliasMark + named->second);
        Line({mf::kDescriptor, aliases_[text], QuoteField(text)});
    }
}

// Most objects share their security with many others: each distinct
// descriptor is turned into text once.
std::wstring MachineWriter::SecurityOf(const SecurityDescriptor& descriptor) {
    Bytes key = mf::StoredPart(descriptor).ToSelfRelative();
    auto known = texts_.find(key);
    if (known != texts_.end())
        return known->second;
    return texts_[key] = mf::SecurityText(descriptor);
}

std::wstring MachineWriter::SecurityField(const ObjectInfo& object) {
    if (!object.security)
        return mf::kNoSecurity;
    std::wstring text = SecurityOf(*object.security);
    auto alias = aliases_.find(text);
    return alias != aliases_.end() ? alias->second : QuoteField(text);
}

// The folder a path is in ("C:\\" for "C:\\a"); empty for a root.
std::wstring ParentOf(const std::wstring& path) {
    size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos || slash + 1 == path.size())
        return {};
    return path.substr(0, slash == 2 ? 3 : slash);
}

// The root first; then each folder's line is followed by the lines of its
// files and junctions, and then by its folders in turn, each with all that
// is below it.
void MachineWriter::VolumeObjects(std::span<const ObjectInfo> objects) {
    // Objects come parents first, so each one's folder is indexed before it.
    std::map<std::wstring, size_t> index;
    std::vector<std::vector<size_t>> children(objects.size());
    for (size_t i = 0; i < objects.size(); ++i) {
        index[objects[i].path] = i;
        auto parent = index.find(ParentOf(objects[i].path));
        if (parent != index.end())
            children[parent->second].push_back(i);
    }
    lastFolder_.clear();
    if (!objects.empty())
        FolderAndContents(objects, 0, children);
}

void MachineWriter::FolderAndContents(std::span<const ObjectInfo> objects, size_t folder,
                                      const std::vector<std::vector<size_t>>& children) {
    ObjectLine(objects[folder], Relative(objects[folder].path));
    lastFolder_ = objects[folder].path;
    for (size_t child : children[folder]) {
        if (objects[child].kind != ObjectKind::kFolder)
            ObjectLine(objects[child], Relative(objects[child].path));
    }
    for (size_t child : children[folder]) {
        if (objects[child].kind == ObjectKind::kFolder)
            FolderAndContents(objects, child, children);
    }
}

// ".\\name" where the reader's last folder line is the object's folder.
std::wstring MachineWriter::Relative(const std::wstring& path) const {
    std::wstring parent = ParentOf(path);
    if (parent.empty() || parent != lastFolder_)
        return path;
    return L".\\" + path.substr(parent.size() + (parent.ends_with(L'\\') ? 0 : 1));
}

void MachineWriter::ObjectLine(const ObjectInfo& object, const std::wstring& name) {
    std::wstring path = QuoteField(name);
    std::wstring attributes = FormatHex32(object.attributes);
    std::wstring created = FormatFileTime(object.creationTime);
    std::wstring written = FormatFileTime(object.lastWriteTime);
    std::wstring security = SecurityField(object);
    switch (object.kind) {
        case ObjectKind::kFolder:
            Line({mf::kFolder, path, attributes, created, written, security});
            break;
        case ObjectKind::kFile:
            Line({mf::kFile, path, attributes, created, written, std::to_wstring(object.size),
                  security});
            if (object.content)
                DataLines(*object.content);
            break;
        case ObjectKind::kJunction:
            Line({mf::kJunction, path, attributes, created, written,
                  QuoteField(object.junctionTarget), security});
            break;
    }
}

void MachineWriter::DataLines(std::span<const uint8_t> content) {
    for (size_t at = 0; at < content.size(); at += mf::kDataBytesPerLine) {
        size_t count = std::min(mf::kDataBytesPerLine, content.size() - at);
        Line({mf::kData, EncodeBase64(content.subspan(at, count))});
    }
}

}  // namespace

std::string SaveMachine(const SimPlatform& machine, const MachineSaveOptions& options) {
    return MachineWriter(machine, options).Text();
}

}  // namespace vm::sim
