#include "platform/sim/MachineFile.h"

#include <functional>
#include <unordered_map>

#include "platform/Utf16.h"
#include "platform/rules/Paths.h"
#include "platform/sim/MachineFormat.h"
#include "platform/sim/MachineText.h"

namespace vm::sim {

namespace mf = machine_format;

namespace {

using Fields = std::vector<std::wstring>;
using ObjectKind = SimPlatform::ObjectKind;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Security as a line gives it: none ("-"), or a descriptor.
struct Security {
    bool given = false;
    SecurityDescriptor descriptor;
};

struct Described {
    ObjectKind kind = ObjectKind::kFolder;
    size_t line = 0;
};

// The file whose data lines are being read.
struct PendingContent {
    std::wstring path;
    uint64_t size = 0;
    size_t line = 0;
    Bytes bytes;
    bool hasData = false;
};

// The token as the lines describe it; what they leave out follows from the
// accounts when the machine is built.
struct TokenDraft {
    std::optional<Sid> user;
    std::optional<bool> elevated;
    std::optional<std::vector<TokenGroup>> groups;
    std::optional<std::vector<TokenPrivilege>> privileges;
    std::optional<Sid> defaultOwner;
};

std::wstring Quoted(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

std::wstring QualifiedName(const Account& account) {
    return account.domain.empty() ? account.name : account.domain + L"\\" + account.name;
}

class MachineReader {
  public:
    // Until a description gives accounts of its own, names resolve against
    // the simulator's.
    MachineReader() {
        accounts_.Clear();
        for (const auto& account : machine_->AccountList())
            accounts_.Insert(account);
    }
    MachineLoad Read(std::string_view text);

  private:
    using Handler = bool (MachineReader::*)(const Fields&);

    bool ReadLine(std::string_view utf8);
    bool Statement(const Fields& fields);
    bool Fail(std::wstring message) {
        error_ = std::move(message);
        return false;
    }
    bool Expect(const Fields& fields, size_t count, const wchar_t* what);
    bool Finish();

    // Machine-wide statements.
    bool OnMachine(const Fields& fields);
    bool OnWindows(const Fields& fields);
    bool OnArchitecture(const Fields& fields);
    // Accounts and the token.
    bool OnAccount(const Fields& fields);
    bool OnMember(const Fields& fields);
    bool OnUser(const Fields& fields);
    bool OnTokenGroup(const Fields& fields);
    bool OnPrivilege(const Fields& fields);
    bool OnDefaultOwner(const Fields& fields);
    bool OnDescriptor(const Fields& fields);
    bool BeforeIdentity(const wchar_t* statement);
    std::optional<Sid> AccountRef(const std::wstring& text, bool mustExist);
    bool SettleIdentity();
    // Volumes and objects.
    bool OnVolume(const Fields& fields);
    bool OnFolder(const Fields& fields);
    bool OnFile(const Fields& fields);
    bool OnJunction(const Fields& fields);
    bool OnData(const Fields& fields);
    bool Object(ObjectKind kind, const Fields& fields, const std::wstring& extra);
    bool Place(ObjectKind kind, const rules::ParsedPath& parsed, const std::wstring& extra,
               const Security& security);
    bool FlushContent();
    std::wstring InFolder(const std::wstring& path) const;
    std::optional<Security> SecurityField(const std::wstring& text, bool volumeSecured);
    std::optional<uint32_t> Attributes(const std::wstring& text, ObjectKind kind);

    std::unique_ptr<SimPlatform> machine_ = std::make_unique<SimPlatform>();
    size_t line_ = 0;
    std::wstring error_;
    bool sawHeader_ = false;
    bool identityDone_ = false;
    bool sawAccounts_ = false;
    bool sawTokenLines_ = false;
    Accounts accounts_;
    TokenDraft token_;
    std::optional<std::wstring> windowsDirectory_;
    std::optional<bool> is64Bit_;
    std::unordered_map<std::wstring, Security> descriptors_;
    std::unordered_map<std::wstring, Described> described_;  // by folded full path
    struct VolumeState {
        bool secured = false;
        bool hasObjects = false;
    };
    std::unordered_map<wchar_t, VolumeState> volumes_;
    std::wstring lastPath_;    // of the last object line
    std::wstring lastFolder_;  // of the last folder line, for ".\name"
    std::optional<PendingContent> pending_;
};

MachineLoad MachineReader::Read(std::string_view text) {
    if (text.starts_with(kByteOrderMark))
        text.remove_prefix(kByteOrderMark.size());
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++line_;
        if (!ReadLine(line))
            return {nullptr, line_, L"line " + std::to_wstring(line_) + L": " + error_};
    }
    if (!Finish())
        return {nullptr, 0, error_};
    machine_->ResetCounters();
    return {std::move(machine_), 0, {}};
}

bool MachineReader::ReadLine(std::string_view utf8) {
    if (utf8.ends_with('\r'))
        utf8.remove_suffix(1);
    std::wstring line = FromUtf8(utf8);
    if (ToUtf8(line) != utf8)
        return Fail(L"the line is not valid UTF-8");
    std::wstring splitError;
    auto fields = SplitFields(line, &splitError);
    if (!fields)
        return Fail(splitError);
    if (fields->empty())
        return true;
    if (!sawHeader_ && (*fields)[0] != mf::kMachine)
        return Fail(L"a machine description starts with \"machine 1\"");
    if ((*fields)[0] != mf::kData && !FlushContent())
        return false;
    return Statement(*fields);
}

bool MachineReader::Statement(const Fields& fields) {
    static const std::unordered_map<std::wstring, Handler> kHandlers{
        {mf::kMachine, &MachineReader::OnMachine},
        {mf::kWindows, &MachineReader::OnWindows},
        {mf::kArchitecture, &MachineReader::OnArchitecture},
        {mf::kAccount, &MachineReader::OnAccount},
        {mf::kMember, &MachineReader::OnMember},
        {mf::kUser, &MachineReader::OnUser},
        {mf::kTokenGroup, &MachineReader::OnTokenGroup},
        {mf::kPrivilege, &MachineReader::OnPrivilege},
        {mf::kDefaultOwner, &MachineReader::OnDefaultOwner},
        {mf::kDescriptor, &MachineReader::OnDescriptor},
        {mf::kVolume, &MachineReader::OnVolume},
        {mf::kFolder, &MachineReader::OnFolder},
        {mf::kFile, &MachineReader::OnFile},
        {mf::kData, &MachineReader::OnData},
        {mf::kJunction, &MachineReader::OnJunction},
    };
    auto handler = kHandlers.find(fields[0]);
    if (handler == kHandlers.end())
        return Fail(L"unknown statement " + Quoted(fields[0]));
    return (this->*handler->second)(fields);
}

bool MachineReader::Expect(const Fields& fields, size_t count, const wchar_t* what) {
    if (fields.size() == count + 1)
        return true;
    return Fail(Quoted(fields[0]) + L" takes " + std::to_wstring(count) + L" field" +
                (count == 1 ? L"" : L"s") + L" (" + what + L"), not " +
                std::to_wstring(fields.size() - 1));
}

bool MachineReader::Finish() {
    if (!sawHeader_)
        return Fail(L"the text is not a machine description: \"machine 1\" is missing");
    if (!FlushContent() || !SettleIdentity()) {
        error_ = L"line " + std::to_wstring(line_) + L": " + error_;
        return false;
    }
    if (is64Bit_)
        machine_->Set64Bit(*is64Bit_);
    if (windowsDirectory_)
        machine_->SetWindowsDirectory(*windowsDirectory_);
    return true;
}

// ---- Machine-wide statements ------------------------------------------------------

bool MachineReader::OnMachine(const Fields& fields) {
    if (sawHeader_)
        return Fail(L"\"machine\" may only start the description");
    if (!Expect(fields, 1, L"the format version"))
        return false;
    if (fields[1] != std::to_wstring(kMachineFileVersion))
        return Fail(L"version " + Quoted(fields[1]) + L" of the format is not known; this is " +
                    std::to_wstring(kMachineFileVersion));
    sawHeader_ = true;
    return true;
}

bool MachineReader::OnWindows(const Fields& fields) {
    if (!Expect(fields, 1, L"the Windows directory"))
        return false;
    auto parsed = rules::ParsePath(fields[1]);
    if (!parsed || parsed->IsRoot())
        return Fail(Quoted(fields[1]) + L" is not a full path of a folder");
    windowsDirectory_ = rules::JoinPath(parsed->drive, parsed->components);
    return true;
}

bool MachineReader::OnArchitecture(const Fields& fields) {
    if (!Expect(fields, 1, L"64-bit or 32-bit"))
        return false;
    if (fields[1] != mf::k64Bit && fields[1] != mf::k32Bit)
        return Fail(L"the architecture is 64-bit or 32-bit, not " + Quoted(fields[1]));
    is64Bit_ = fields[1] == mf::k64Bit;
    return true;
}

// ---- Accounts and the token ----------------------------------------------------

bool MachineReader::BeforeIdentity(const wchar_t* statement) {
    if (!identityDone_)
        return true;
    return Fail(Quoted(statement) + L" lines come before the first volume");
}

bool MachineReader::OnAccount(const Fields& fields) {
    if (!BeforeIdentity(mf::kAccount) || !Expect(fields, 4, L"SID, domain, name, use"))
        return false;
    if (sawTokenLines_)
        return Fail(L"account lines come before member, user and token lines");
    auto sid = Sid::FromString(fields[1]);
    if (!sid)
        return Fail(Quoted(fields[1]) + L" is not a SID (\"S-1-5-...\")");
    auto use = mf::UseFromName(fields[4]);
    if (!use)
        return Fail(Quoted(fields[4]) + L" is not an account use (user, group, alias, ...)");
    if (fields[3].empty())
        return Fail(L"an account needs a name");
    if (!sawAccounts_) {
        accounts_.Clear();
        sawAccounts_ = true;
    }
    Account account;
    account.sid = *sid;
    account.domain = fields[2];
    account.name = fields[3];
    account.use = *use;
    if (!accounts_.Insert(std::move(account)))
        return Fail(L"the SID " + fields[1] + L" or the name " +
                    Quoted(fields[2].empty() ? fields[3] : fields[2] + L"\\" + fields[3]) +
                    L" is described twice");
    return true;
}

std::optional<Sid> MachineReader::AccountRef(const std::wstring& text, bool mustExist) {
    if (text.starts_with(L"S-1-")) {
        auto sid = Sid::FromString(text);
        if (!sid)
            Fail(Quoted(text) + L" is not a SID");
        else if (mustExist && !accounts_.FindBySid(*sid))
            Fail(L"no account has the SID " + text);
        else
            return sid;
        return std::nullopt;
    }
    const Account* account = accounts_.FindByName(text);
    if (!account) {
        Fail(L"no account is named " + Quoted(text));
        return std::nullopt;
    }
    return account->sid;
}

bool MachineReader::OnMember(const Fields& fields) {
    if (!BeforeIdentity(mf::kMember) || !Expect(fields, 2, L"group, member"))
        return false;
    sawTokenLines_ = true;
    auto group = AccountRef(fields[1], true);
    if (!group)
        return false;
    auto member = AccountRef(fields[2], false);
    if (!member)
        return false;
    if (!accounts_.AddMember(*group, *member))
        return Fail(Quoted(fields[1]) + L" is not a group that can have members");
    return true;
}

bool MachineReader::OnUser(const Fields& fields) {
    if (!BeforeIdentity(mf::kUser) || !Expect(fields, 2, L"account, elevated or filtered"))
        return false;
    sawTokenLines_ = true;
    if (token_.user)
        return Fail(L"the user is already given");
    auto user = AccountRef(fields[1], true);
    if (!user)
        return false;
    if (accounts_.FindBySid(*user)->use != SidNameUse::kUser)
        return Fail(Quoted(fields[1]) + L" is not a user account");
    if (fields[2] != mf::kElevated && fields[2] != mf::kFiltered)
        return Fail(L"the user's token is elevated or filtered, not " + Quoted(fields[2]));
    token_.user = *user;
    token_.elevated = fields[2] == mf::kElevated;
    return true;
}

bool MachineReader::OnTokenGroup(const Fields& fields) {
    if (!BeforeIdentity(mf::kTokenGroup))
        return false;
    if (fields.size() < 3 || fields.size() > 5)
        return Fail(
            L"\"token-group\" takes an account, enabled or disabled, and optionally "
            L"deny-only and owner");
    sawTokenLines_ = true;
    auto sid = AccountRef(fields[1], false);
    if (!sid)
        return false;
    if (fields[2] != mf::kEnabled && fields[2] != mf::kDisabled)
        return Fail(L"a token group is enabled or disabled, not " + Quoted(fields[2]));
    TokenGroup group{*sid, fields[2] == mf::kEnabled};
    for (size_t i = 3; i < fields.size(); ++i) {
        bool& flag = fields[i] == mf::kDenyOnly ? group.denyOnly : group.mayOwn;
        if ((fields[i] != mf::kDenyOnly && fields[i] != mf::kOwner) || flag)
            return Fail(
                L"after enabled or disabled a token group takes deny-only and owner, "
                L"each once, not " +
                Quoted(fields[i]));
        flag = true;
    }
    if (!token_.groups)
        token_.groups.emplace();
    token_.groups->push_back(group);
    return true;
}

bool MachineReader::OnPrivilege(const Fields& fields) {
    if (!BeforeIdentity(mf::kPrivilege) || !Expect(fields, 2, L"name, enabled or disabled"))
        return false;
    sawTokenLines_ = true;
    auto luid = rules::PrivilegeLuid(fields[1]);
    if (!luid)
        return Fail(Quoted(fields[1]) + L" is not a privilege name");
    if (fields[2] != mf::kEnabled && fields[2] != mf::kDisabled)
        return Fail(L"a privilege is enabled or disabled, not " + Quoted(fields[2]));
    std::wstring name = rules::PrivilegeName(*luid);
    if (!token_.privileges)
        token_.privileges.emplace();
    for (const auto& held : *token_.privileges) {
        if (held.name == name)
            return Fail(L"the privilege " + name + L" is given twice");
    }
    token_.privileges->push_back({name, fields[2] == mf::kEnabled});
    return true;
}

bool MachineReader::OnDefaultOwner(const Fields& fields) {
    if (!BeforeIdentity(mf::kDefaultOwner) || !Expect(fields, 1, L"account"))
        return false;
    sawTokenLines_ = true;
    auto sid = AccountRef(fields[1], false);
    if (!sid)
        return false;
    token_.defaultOwner = *sid;
    return true;
}

bool MachineReader::OnDescriptor(const Fields& fields) {
    if (!Expect(fields, 2, L"@name, security"))
        return false;
    const std::wstring& name = fields[1];
    if (name.size() < 2 || name[0] != mf::kAliasMark)
        return Fail(L"a descriptor's name starts with '@': " + Quoted(name));
    if (descriptors_.contains(name))
        return Fail(L"the descriptor " + name + L" is defined twice");
    if (fields[2] == mf::kNoSecurity || fields[2].starts_with(mf::kAliasMark))
        return Fail(L"a descriptor is an SDDL text or binary: bytes");
    std::wstring error;
    auto descriptor = mf::ParseSecurityText(fields[2], &error);
    if (!descriptor)
        return Fail(error);
    descriptors_[name] = Security{true, std::move(*descriptor)};
    return true;
}

// The accounts and the token go into the machine when the first volume comes
// (or at the end): objects made with "-" take their owner from the token.
bool MachineReader::SettleIdentity() {
    if (identityDone_)
        return true;
    identityDone_ = true;
    if (!sawAccounts_ && !sawTokenLines_)
        return true;
    if (sawAccounts_ && !token_.user)
        return Fail(L"a machine with its own accounts needs a \"user\" line before the volumes");
    Sid user = token_.user ? *token_.user : machine_->TokenSnapshot().user;
    bool elevated = token_.elevated.value_or(machine_->IsElevated());
    machine_->ReplaceAccounts(accounts_.All());
    machine_->SetTokenUser(QualifiedName(*accounts_.FindBySid(user)));
    if (elevated)
        machine_->SetTokenElevated();
    else
        machine_->SetTokenNotElevated();
    Token token = machine_->TokenSnapshot();
    if (token_.groups)
        token.groups = *token_.groups;
    if (token_.privileges)
        token.privileges = *token_.privileges;
    if (token_.defaultOwner)
        token.defaultOwner = *token_.defaultOwner;
    machine_->SetToken(std::move(token), elevated);
    return true;
}

// ---- Volumes and objects ----------------------------------------------------------

bool MachineReader::OnVolume(const Fields& fields) {
    if (!SettleIdentity() || !Expect(fields, 2, L"drive, file system"))
        return false;
    const std::wstring& drive = fields[1];
    bool letter =
        drive.size() == 2 && drive[1] == L':' &&
        ((drive[0] >= L'A' && drive[0] <= L'Z') || (drive[0] >= L'a' && drive[0] <= L'z'));
    if (!letter)
        return Fail(L"a volume is named by its drive, such as C:, not " + Quoted(drive));
    wchar_t upper = static_cast<wchar_t>(drive[0] & ~0x20);
    if (volumes_.contains(upper))
        return Fail(L"the volume " + drive + L" is described twice");
    if (fields[2].empty())
        return Fail(L"a volume needs a file system name (NTFS, FAT32, ...)");
    machine_->AddVolume(upper, fields[2]);
    lastFolder_.clear();
    // As the simulator decides: only NTFS keeps security.
    volumes_[upper] = {fields[2] == L"NTFS", false};
    return true;
}

std::optional<uint32_t> MachineReader::Attributes(const std::wstring& text, ObjectKind kind) {
    auto attributes = ParseHex32(text);
    if (!attributes) {
        Fail(L"attributes are a hex number such as 0x20, not " + Quoted(text));
        return std::nullopt;
    }
    bool directory = (*attributes & attr::kDirectory) != 0;
    bool reparse = (*attributes & attr::kReparsePoint) != 0;
    if (directory != (kind != ObjectKind::kFile) || reparse != (kind == ObjectKind::kJunction)) {
        Fail(L"attributes " + text + L" do not fit a " +
             (kind == ObjectKind::kFile     ? L"file"
              : kind == ObjectKind::kFolder ? L"folder (0x10 without 0x400)"
                                            : L"junction (0x10 and 0x400)"));
        return std::nullopt;
    }
    if (*attributes == 0) {
        Fail(L"a file's attributes are never 0 (FILE_ATTRIBUTE_NORMAL is 0x80)");
        return std::nullopt;
    }
    return attributes;
}

std::optional<Security> MachineReader::SecurityField(const std::wstring& text, bool volumeSecured) {
    if (text == mf::kNoSecurity)
        return Security{};
    if (!volumeSecured) {
        Fail(L"this volume keeps no security: the security field must be \"-\"");
        return std::nullopt;
    }
    if (text.starts_with(mf::kAliasMark)) {
        auto named = descriptors_.find(text);
        if (named == descriptors_.end()) {
            Fail(L"no descriptor " + text + L" is defined above");
            return std::nullopt;
        }
        return named->second;
    }
    std::wstring error;
    auto descriptor = mf::ParseSecurityText(text, &error);
    if (!descriptor) {
        Fail(error);
        return std::nullopt;
    }
    return Security{true, std::move(*descriptor)};
}

bool MachineReader::OnFolder(const Fields& fields) {
    if (!Expect(fields, 5, L"path, attributes, created, written, security"))
        return false;
    return Object(ObjectKind::kFolder, fields, {});
}

bool MachineReader::OnFile(const Fields& fields) {
    if (!Expect(fields, 6, L"path, attributes, created, written, size, security"))
        return false;
    auto size = ParseDecimal(fields[5]);
    if (!size)
        return Fail(L"a file's size is a decimal number, not " + Quoted(fields[5]));
    Fields rest = fields;
    rest.erase(rest.begin() + 5);
    if (!Object(ObjectKind::kFile, rest, fields[5]))
        return false;
    pending_ = PendingContent{lastPath_, *size, line_, {}, false};
    return true;
}

bool MachineReader::OnJunction(const Fields& fields) {
    if (!Expect(fields, 6, L"path, attributes, created, written, target, security"))
        return false;
    if (!rules::ParsePath(fields[5]))
        return Fail(L"a junction's target is a full path, not " + Quoted(fields[5]));
    Fields rest = fields;
    rest.erase(rest.begin() + 5);
    return Object(ObjectKind::kJunction, rest, fields[5]);
}

// fields: statement, path, attributes, created, written, security; extra is
// the size of a file or the target of a junction.
bool MachineReader::Object(ObjectKind kind, const Fields& fields, const std::wstring& extra) {
    if (!SettleIdentity())
        return false;
    auto parsed = rules::ParsePath(InFolder(fields[1]));
    if (!parsed)
        return Fail(Quoted(fields[1]) + L" is not a full path such as C:\\Folder, nor .\\name " +
                    L"below a folder line");
    auto volume = volumes_.find(parsed->drive);
    if (volume == volumes_.end())
        return Fail(L"the volume " + std::wstring{parsed->drive, L':'} +
                    L" is not described above");
    std::wstring path = rules::JoinPath(parsed->drive, parsed->components);
    std::wstring key = rules::FoldCase(path);
    if (auto seen = described_.find(key); seen != described_.end())
        return Fail(path + L" is described twice (first on line " +
                    std::to_wstring(seen->second.line) + L")");
    auto attributes = Attributes(fields[2], kind);
    auto created = ParseFileTime(fields[3]);
    auto written = ParseFileTime(fields[4]);
    if (!attributes)
        return false;
    if (!created || !written)
        return Fail(L"times are UTC such as 2023-09-14T08:31:07Z, not " +
                    Quoted(created ? fields[4] : fields[3]));
    auto security = SecurityField(fields[5], volume->second.secured);
    if (!security)
        return false;
    if (parsed->IsRoot()) {
        if (kind != ObjectKind::kFolder)
            return Fail(L"a drive's root is a folder");
        if (volume->second.hasObjects)
            return Fail(L"the root " + path + L" must come before the other objects on it");
        if (security->given)
            machine_->SetSecurity(path, security->descriptor);
    } else if (!Place(kind, *parsed, extra, *security)) {
        return false;
    }
    volume->second.hasObjects = true;
    described_[key] = {kind, line_};
    lastPath_ = path;
    if (kind == ObjectKind::kFolder)
        lastFolder_ = path;
    machine_->SetAttributes(path, *attributes);
    machine_->SetTimes(path, *created, *written);
    return true;
}

// ".\name" stands for the name in the folder of the last folder line.
std::wstring MachineReader::InFolder(const std::wstring& path) const {
    if (!path.starts_with(L".\\") || lastFolder_.empty())
        return path;
    return lastFolder_ + (lastFolder_.ends_with(L'\\') ? L"" : L"\\") + path.substr(2);
}

bool MachineReader::Place(ObjectKind kind, const rules::ParsedPath& parsed,
                          const std::wstring& extra, const Security& security) {
    std::vector<std::wstring> parentParts(parsed.components.begin(), parsed.components.end() - 1);
    std::wstring parent = rules::JoinPath(parsed.drive, parentParts);
    if (!parentParts.empty()) {
        auto found = described_.find(rules::FoldCase(parent));
        if (found == described_.end())
            return Fail(L"its folder " + parent + L" is not described above");
        if (found->second.kind != ObjectKind::kFolder)
            return Fail(L"its parent " + parent + L" is not a folder (line " +
                        std::to_wstring(found->second.line) + L")");
    }
    std::wstring path = rules::JoinPath(parsed.drive, parsed.components);
    bool made = kind == ObjectKind::kFolder ? machine_->AddFolder(path)
                : kind == ObjectKind::kFile ? machine_->AddFile(path, L"", *ParseDecimal(extra))
                                            : machine_->AddJunction(path, extra);
    if (!made)
        return Fail(L"the simulated machine cannot make " + path);
    if (security.given)
        machine_->SetSecurity(path, security.descriptor);
    return true;
}

bool MachineReader::OnData(const Fields& fields) {
    if (!Expect(fields, 1, L"base64 bytes"))
        return false;
    if (!pending_)
        return Fail(L"\"data\" lines follow the line of their file");
    auto bytes = DecodeBase64(fields[1]);
    if (!bytes)
        return Fail(L"the data is not base64");
    pending_->bytes.insert(pending_->bytes.end(), bytes->begin(), bytes->end());
    pending_->hasData = true;
    if (pending_->bytes.size() > pending_->size)
        return Fail(L"the data lines hold more than the file's size of " +
                    std::to_wstring(pending_->size) + L" bytes");
    return true;
}

bool MachineReader::FlushContent() {
    if (!pending_)
        return true;
    PendingContent content = std::move(*pending_);
    pending_.reset();
    if (!content.hasData)
        return true;
    if (content.bytes.size() != content.size)
        return Fail(L"the data lines of " + content.path + L" (line " +
                    std::to_wstring(content.line) + L") hold " +
                    std::to_wstring(content.bytes.size()) + L" bytes, its size is " +
                    std::to_wstring(content.size));
    machine_->SetFileContent(content.path, std::move(content.bytes));
    return true;
}

}  // namespace

MachineLoad LoadMachine(std::string_view text) {
    return MachineReader().Read(text);
}

}  // namespace vm::sim
