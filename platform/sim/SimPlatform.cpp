#include "platform/sim/SimPlatform.h"

#include <algorithm>

#include "platform/rules/AccessCheck.h"
#include "platform/rules/AceInheritance.h"
#include "platform/rules/Paths.h"
#include "platform/rules/Propagation.h"
#include "security/Sddl.h"

namespace vm::sim {

struct SimPlatform::Node {
    std::wstring name;  // "C:" for a root
    std::wstring folded;
    bool isContainer = false;
    uint32_t attributes = 0;
    uint64_t creationTime = 0;
    uint64_t lastWriteTime = 0;
    uint64_t size = 0;
    std::optional<Bytes> content;
    std::wstring junctionTarget;
    std::optional<Sid> owner;
    std::optional<Sid> group;
    AclSlot dacl;
    uint16_t daclControl = 0;  // the DACL bits of the control word, without DACL_PRESENT
    uint32_t refused = 0;      // rights refused whatever the DACL (fault injection)
    Node* parent = nullptr;
    std::vector<std::unique_ptr<Node>> children;  // sorted by folded name, as NTFS lists

    Node* Child(const std::wstring& foldedName) const {
        auto it = std::lower_bound(children.begin(), children.end(), foldedName,
                                   [](const std::unique_ptr<Node>& c, const std::wstring& key) {
                                       return c->folded < key;
                                   });
        return it != children.end() && (*it)->folded == foldedName ? it->get() : nullptr;
    }
    Node* Insert(std::unique_ptr<Node> child) {
        child->parent = this;
        auto it = std::lower_bound(children.begin(), children.end(), child->folded,
                                   [](const std::unique_ptr<Node>& c, const std::wstring& key) {
                                       return c->folded < key;
                                   });
        if (it != children.end() && (*it)->folded == child->folded)
            *it = std::move(child);
        else
            it = children.insert(it, std::move(child));
        return it->get();
    }
    bool IsProtected() const { return (daclControl & sd_control::kDaclProtected) != 0; }
    bool IsJunction() const { return (attributes & attr::kReparsePoint) != 0; }
};

struct SimPlatform::Volume {
    wchar_t letter = 0;
    std::wstring fileSystem;
    std::unique_ptr<Node> root;
    bool HasSecurity() const { return fileSystem == L"NTFS"; }
};

namespace {

constexpr uint16_t kStoredDaclBits = sd_control::kDaclBits & ~sd_control::kDaclPresent;
// 2024-01-01 00:00 UTC as a FILETIME; objects made by scenarios count up from it.
constexpr uint64_t kBaseTime = 133485408000000000ull;
constexpr int kMaxJunctionDepth = 32;

const char* const kCallNames[kCallKinds] = {
    "GetFileSecurityW",
    "SetFileSecurityW",
    "GetNamedSecurityInfoW",
    "SetNamedSecurityInfoW",
    "GetInheritanceSourceW",
    "SetEntriesInAclW",
    "LookupAccountNameW",
    "LookupAccountSidW",
    "ConvertSidToStringSidW",
    "GetUserNameW",
    "NetUserGetLocalGroups",
    "OpenProcessToken",
    "LookupPrivilegeValueW",
    "AdjustTokenPrivileges",
    "PathFileExistsW",
    "GetFileAttributesW",
    "FindFirstFileW",
    "GetVolumeInformationW",
    "GetLogicalDriveStringsW",
    "GetWindowsDirectoryW",
    "GetSystemDirectoryW",
    "GetSystemWow64DirectoryW",
    "TreeResetNamedSecurityInfoW",
    "GetTokenInformation",
};

size_t Index(Call call) {
    return static_cast<size_t>(call);
}

// The handle OpenProcessToken gives out: which machine, which rights.
class SimTokenHandle final : public TokenHandle {
  public:
    SimTokenHandle(const void* machine, uint32_t access, std::shared_ptr<std::atomic<int>> open)
        : machine_(machine), access_(access), open_(std::move(open)) {
        ++*open_;
    }
    ~SimTokenHandle() override { --*open_; }
    const void* machine() const { return machine_; }
    uint32_t access() const { return access_; }

  private:
    const void* machine_;
    uint32_t access_;
    std::shared_ptr<std::atomic<int>> open_;
};

template <class T>
Result<T> Fail(uint32_t error) {
    return Result<T>::Fail(error);
}

SecurityDescriptor DefaultRootDescriptor() {
    SecurityDescriptor sd;
    sd.owner = sids::Administrators();
    Acl acl;
    uint8_t all = ace_flag::kObjectInherit | ace_flag::kContainerInherit;
    acl.aces = {
        Ace::Allow(sids::Administrators(), access::kFileAllAccess, all),
        Ace::Allow(sids::System(), access::kFileAllAccess, all),
        Ace::Allow(sids::Users(), access::kFileGenericRead | access::kFileGenericExecute, all)};
    sd.dacl = AclSlot::With(acl.Compacted());
    return sd;
}

}  // namespace

const char* CallName(Call call) {
    return Index(call) < kCallKinds ? kCallNames[Index(call)] : "?";
}

// ---- Construction -------------------------------------------------------------

SimPlatform::SimPlatform() : openTokens_(std::make_shared<std::atomic<int>>(0)) {
    tokenUser_ = accounts_.AddLocalUser(L"Alice");
    accounts_.AddMember(L"Administrators", L"Alice");
    accounts_.AddMember(L"Users", L"Alice");
    RebuildToken();
}

SimPlatform::~SimPlatform() = default;

// ---- Call entry -----------------------------------------------------------------

uint32_t SimPlatform::Enter(Call call, const std::wstring& path) {
    CallHook hook;
    {
        std::lock_guard lock(mutex_);
        hook = hook_;
    }
    if (hook)
        hook(call, path);
    std::lock_guard lock(mutex_);
    size_t i = Index(call);
    ++counts_[i];
    uint64_t number = ++seen_[i];
    for (const Fault& fault : faults_[i]) {
        if (fault.atCall == 0 || fault.atCall == number)
            return fault.error;
    }
    return err::kSuccess;
}

// ---- Path resolution ------------------------------------------------------------

SimPlatform::Node* SimPlatform::Find(const std::wstring& path, uint32_t* error) const {
    std::wstring current = path;
    for (int depth = 0; depth < kMaxJunctionDepth; ++depth) {
        auto parsed = rules::ParsePath(current);
        if (!parsed) {
            *error = path.empty() ? err::kPathNotFound : err::kInvalidName;
            return nullptr;
        }
        auto volume = volumes_.find(parsed->drive);
        if (volume == volumes_.end()) {
            *error = err::kPathNotFound;
            return nullptr;
        }
        Node* node = volume->second->root.get();
        bool redirected = false;
        for (size_t i = 0; i < parsed->components.size(); ++i) {
            bool last = i + 1 == parsed->components.size();
            if (!node->isContainer) {
                *error = err::kPathNotFound;
                return nullptr;
            }
            Node* next = node->Child(rules::FoldCase(parsed->components[i]));
            if (!next) {
                *error = last ? err::kFileNotFound : err::kPathNotFound;
                return nullptr;
            }
            if (!last && next->IsJunction()) {
                // An inner junction: go on from its target.
                std::vector<std::wstring> rest(parsed->components.begin() + i + 1,
                                               parsed->components.end());
                current = next->junctionTarget;
                for (const auto& part : rest)
                    current += L"\\" + part;
                redirected = true;
                break;
            }
            node = next;
        }
        if (!redirected) {
            *error = err::kSuccess;
            return node;
        }
    }
    *error = kCantResolveFilename;
    return nullptr;
}

SimPlatform::Node* SimPlatform::FindForSecurity(const std::wstring& path, uint32_t* error) const {
    Node* node = Find(path, error);
    if (!node)
        return nullptr;
    const Node* root = node;
    while (root->parent)
        root = root->parent;
    auto volume = volumes_.find(root->name[0]);
    if (volume == volumes_.end() || !volume->second->HasSecurity()) {
        *error = err::kNotSupported;
        return nullptr;
    }
    return node;
}

std::wstring SimPlatform::PathOf(const Node& node) const {
    std::vector<std::wstring> parts;
    const Node* at = &node;
    while (at->parent) {
        parts.push_back(at->name);
        at = at->parent;
    }
    std::reverse(parts.begin(), parts.end());
    return rules::JoinPath(at->name[0], parts);
}

// ---- The machine as a store of secured objects (platform/rules) ------------------
// Every call needs mutex_ held: the rules run inside the machine's calls.

class SimPlatform::Store final : public rules::SecurityStore {
  public:
    explicit Store(SimPlatform& machine) : machine_(machine) {}

    rules::StoredObject Object(const Node& node) const {
        return Object(node, machine_.PathOf(node));
    }

    Result<std::optional<rules::StoredObject>> Parent(const rules::StoredObject& object) override {
        using Answer = std::optional<rules::StoredObject>;
        Node* node = nullptr;
        if (uint32_t error = Locate(object, &node))
            return Result<Answer>::Fail(error);
        if (!node->parent)
            return Answer();
        return Answer(Object(*node->parent));
    }

    Result<std::vector<rules::StoredObject>> Children(const rules::StoredObject& folder) override {
        using Objects = std::vector<rules::StoredObject>;
        Node* node = nullptr;
        if (uint32_t error = Locate(folder, &node))
            return Result<Objects>::Fail(error);
        std::wstring prefix = folder.path;
        if (prefix.back() != L'\\')
            prefix += L'\\';
        Objects children;
        children.reserve(node->children.size());
        for (const auto& child : node->children)
            children.push_back(Object(*child, prefix + child->name));
        return children;
    }

    Status WriteDacl(const rules::StoredObject& object) override {
        Node* node = nullptr;
        if (uint32_t error = Locate(object, &node))
            return Status::Fail(error);
        ++machine_.objectsTouched_;
        node->dacl = object.security.dacl;
        node->daclControl = object.security.control & kStoredDaclBits;
        return Status::Ok();
    }

    uint32_t CheckAccess(const rules::StoredObject& object, uint32_t rights) override {
        Node* node = nullptr;
        if (uint32_t error = Locate(object, &node))
            return error;
        return machine_.Check(*node, rights, true);
    }

  private:
    static rules::StoredObject Object(const Node& node, std::wstring path) {
        rules::StoredObject object;
        object.path = std::move(path);
        object.security.owner = node.owner;
        object.security.group = node.group;
        object.security.dacl = node.dacl;
        object.security.control = node.daclControl;
        object.isContainer = node.isContainer;
        object.isReparsePoint = node.IsJunction();
        return object;
    }

    // The paths handed out name every object by its own folders (no
    // junction inside them), so they lead back to the same node.
    uint32_t Locate(const rules::StoredObject& object, Node** node) const {
        uint32_t error = 0;
        *node = machine_.Find(object.path, &error);
        return *node ? err::kSuccess : error;
    }

    SimPlatform& machine_;
};

// ---- Scenario set-up ------------------------------------------------------------

void SimPlatform::AddVolume(wchar_t letter, const std::wstring& fileSystem,
                            const std::wstring& rootSddl) {
    std::lock_guard lock(mutex_);
    auto volume = std::make_unique<Volume>();
    volume->letter = rules::FoldCase(std::wstring(1, letter))[0];
    volume->fileSystem = fileSystem;
    volume->root = std::make_unique<Node>();
    Node& root = *volume->root;
    root.name = std::wstring{volume->letter, L':'};
    root.folded = root.name;
    root.isContainer = true;
    root.attributes = attr::kDirectory | attr::kHidden | attr::kSystem;
    root.creationTime = root.lastWriteTime = kBaseTime;
    wchar_t key = volume->letter;
    volumes_[key] = std::move(volume);
    if (!volumes_[key]->HasSecurity())
        return;
    if (rootSddl.empty() || !ApplySddl(root, rootSddl))
        ApplyDescriptor(root, DefaultRootDescriptor());
}

SimPlatform::Node* SimPlatform::Create(const std::wstring& path, bool isContainer,
                                       uint32_t attributes) {
    auto parsed = rules::ParsePath(path);
    if (!parsed || parsed->IsRoot())
        return nullptr;
    auto volume = volumes_.find(parsed->drive);
    if (volume == volumes_.end())
        return nullptr;
    bool secured = volume->second->HasSecurity();
    Node* node = volume->second->root.get();
    uint64_t stamp = kBaseTime + 10000000ull * (TotalCalls() + 1);
    for (size_t i = 0; i < parsed->components.size(); ++i) {
        if (!node->isContainer || node->IsJunction())
            return nullptr;
        const std::wstring& name = parsed->components[i];
        bool last = i + 1 == parsed->components.size();
        Node* next = last ? nullptr : node->Child(rules::FoldCase(name));
        if (next) {
            node = next;
            continue;
        }
        auto made = std::make_unique<Node>();
        made->name = name;
        made->folded = rules::FoldCase(name);
        made->isContainer = last ? isContainer : true;
        made->attributes = last ? attributes : attr::kDirectory;
        made->creationTime = made->lastWriteTime = stamp;
        node = node->Insert(std::move(made));
        if (secured)
            InheritFromParent(*node);
    }
    return node;
}

void SimPlatform::InheritFromParent(Node& node) {
    // Windows' creation without a security descriptor (MS-DTYP 2.5.3.4.1):
    // the token's default owner, the inheritable entries of the parent, or
    // the token's default DACL when the parent passes nothing.
    node.owner = token_.defaultOwner;
    node.group = std::nullopt;
    std::vector<Ace> inherited =
        node.parent
            ? rules::InheritedEntries(node.parent->dacl, node.isContainer, node.owner, node.group)
            : std::vector<Ace>{};
    if (!inherited.empty()) {
        node.dacl = rules::RebuildDacl(AclSlot::Absent(), inherited);
        node.daclControl = sd_control::kDaclAutoInherited;
        return;
    }
    Acl acl;
    acl.aces = {Ace::Allow(token_.defaultOwner, access::kFileAllAccess),
                Ace::Allow(sids::System(), access::kFileAllAccess)};
    node.dacl = AclSlot::With(acl.Compacted());
    node.daclControl = 0;
}

bool SimPlatform::ApplyDescriptor(Node& node, const SecurityDescriptor& descriptor) {
    node.owner = descriptor.owner ? descriptor.owner : std::optional<Sid>(token_.defaultOwner);
    node.group = descriptor.group;
    node.dacl = descriptor.dacl;
    node.daclControl = descriptor.control & kStoredDaclBits;
    return true;
}

bool SimPlatform::ApplySddl(Node& node, const std::wstring& sddl) {
    if (sddl.empty()) {
        InheritFromParent(node);
        return true;
    }
    auto descriptor = SddlToDescriptor(sddl);
    return descriptor && ApplyDescriptor(node, *descriptor);
}

bool SimPlatform::IsSecured(const Node& node) const {
    const Node* root = &node;
    while (root->parent)
        root = root->parent;
    auto volume = volumes_.find(root->name[0]);
    return volume != volumes_.end() && volume->second->HasSecurity();
}

bool SimPlatform::AddObject(const std::wstring& path, bool isContainer, uint32_t attributes,
                            const std::wstring& sddl, Node** made) {
    Node* node = Create(path, isContainer, attributes);
    if (!node)
        return false;
    if (made)
        *made = node;
    if (!IsSecured(*node))
        return true;
    if (ApplySddl(*node, sddl))
        return true;
    Remove(*node);
    return false;
}

void SimPlatform::Remove(Node& node) {
    Node* parent = node.parent;
    std::erase_if(parent->children,
                  [&](const std::unique_ptr<Node>& c) { return c.get() == &node; });
}

bool SimPlatform::AddFolder(const std::wstring& path, const std::wstring& sddl) {
    std::lock_guard lock(mutex_);
    return AddObject(path, true, attr::kDirectory, sddl, nullptr);
}

bool SimPlatform::AddFile(const std::wstring& path, const std::wstring& sddl, uint64_t size) {
    std::lock_guard lock(mutex_);
    Node* node = nullptr;
    if (!AddObject(path, false, attr::kArchive, sddl, &node))
        return false;
    node->size = size;
    return true;
}

bool SimPlatform::AddJunction(const std::wstring& path, const std::wstring& target,
                              const std::wstring& sddl) {
    std::lock_guard lock(mutex_);
    Node* node = nullptr;
    if (!AddObject(path, true, attr::kDirectory | attr::kReparsePoint, sddl, &node))
        return false;
    node->junctionTarget = target;
    return true;
}

bool SimPlatform::Remove(const std::wstring& path) {
    std::lock_guard lock(mutex_);
    uint32_t error = 0;
    Node* node = Find(path, &error);
    if (!node || !node->parent)
        return false;
    Remove(*node);
    return true;
}

bool SimPlatform::SetAttributes(const std::wstring& path, uint32_t attributes) {
    std::lock_guard lock(mutex_);
    uint32_t error = 0;
    Node* node = Find(path, &error);
    if (!node)
        return false;
    constexpr uint32_t kKindBits = attr::kDirectory | attr::kReparsePoint;
    node->attributes = (node->attributes & kKindBits) | (attributes & ~kKindBits);
    if (node->attributes == 0)
        node->attributes = attr::kNormal;
    return true;
}

bool SimPlatform::SetTimes(const std::wstring& path, uint64_t creationTime,
                           uint64_t lastWriteTime) {
    std::lock_guard lock(mutex_);
    uint32_t error = 0;
    Node* node = Find(path, &error);
    if (!node)
        return false;
    node->creationTime = creationTime;
    node->lastWriteTime = lastWriteTime;
    return true;
}

bool SimPlatform::SetSecurity(const std::wstring& path, const std::wstring& sddl) {
    std::lock_guard lock(mutex_);
    uint32_t error = 0;
    Node* node = FindForSecurity(path, &error);
    return node && ApplySddl(*node, sddl);
}

bool SimPlatform::SetSecurity(const std::wstring& path, const SecurityDescriptor& descriptor) {
    std::lock_guard lock(mutex_);
    uint32_t error = 0;
    Node* node = FindForSecurity(path, &error);
    return node && ApplyDescriptor(*node, descriptor);
}

void SimPlatform::SetWindowsDirectory(const std::wstring& path) {
    std::lock_guard lock(mutex_);
    windowsDirectory_ = path;
    uint32_t error = 0;
    if (!Find(path, &error))
        AddObject(path, true, attr::kDirectory, L"", nullptr);
    if (!Find(path + L"\\System32", &error))
        AddObject(path + L"\\System32", true, attr::kDirectory, L"", nullptr);
    if (is64Bit_ && !Find(path + L"\\SysWOW64", &error))
        AddObject(path + L"\\SysWOW64", true, attr::kDirectory, L"", nullptr);
}

void SimPlatform::Set64Bit(bool is64Bit) {
    std::lock_guard lock(mutex_);
    is64Bit_ = is64Bit;
}

// ---- Inspection -------------------------------------------------------------------

bool SimPlatform::Exists(const std::wstring& path) const {
    std::lock_guard lock(mutex_);
    uint32_t error = 0;
    return Find(path, &error) != nullptr;
}

std::optional<SecurityDescriptor> SimPlatform::DescriptorOf(const std::wstring& path) const {
    std::lock_guard lock(mutex_);
    uint32_t error = 0;
    const Node* node = FindForSecurity(path, &error);
    if (!node)
        return std::nullopt;
    SecurityDescriptor sd;
    sd.owner = node->owner;
    sd.dacl = node->dacl;
    sd.control = node->daclControl;
    return sd;
}

std::optional<Sid> SimPlatform::OwnerOf(const std::wstring& path) const {
    auto sd = DescriptorOf(path);
    return sd ? sd->owner : std::nullopt;
}

std::wstring SimPlatform::OwnerNameOf(const std::wstring& path) const {
    auto owner = OwnerOf(path);
    if (!owner)
        return {};
    std::lock_guard lock(mutex_);
    const Account* account = accounts_.FindBySid(*owner);
    return account ? account->name : owner->ToString();
}

AclSlot SimPlatform::DaclOf(const std::wstring& path) const {
    auto sd = DescriptorOf(path);
    return sd ? sd->dacl : AclSlot::Absent();
}

uint16_t SimPlatform::DaclControlOf(const std::wstring& path) const {
    auto sd = DescriptorOf(path);
    return sd ? sd->control : 0;
}

std::wstring SimPlatform::SddlOf(const std::wstring& path) const {
    auto sd = DescriptorOf(path);
    return sd ? DescriptorToSddl(*sd) : std::wstring();
}

std::wstring SimPlatform::DaclSddlOf(const std::wstring& path) const {
    auto sd = DescriptorOf(path);
    if (!sd)
        return {};
    sd->owner.reset();
    return DescriptorToSddl(*sd);
}

std::vector<std::wstring> SimPlatform::ListTree(const std::wstring& path) const {
    std::lock_guard lock(mutex_);
    std::vector<std::wstring> out;
    uint32_t error = 0;
    const Node* top = Find(path, &error);
    if (!top)
        return out;
    std::vector<const Node*> queue{top};
    for (size_t i = 0; i < queue.size(); ++i) {
        for (const auto& child : queue[i]->children) {
            out.push_back(PathOf(*child));
            queue.push_back(child.get());
        }
    }
    return out;
}

// ---- Accounts ---------------------------------------------------------------------

Sid SimPlatform::AddLocalUser(const std::wstring& name) {
    std::lock_guard lock(mutex_);
    Sid sid = accounts_.AddLocalUser(name);
    // New local accounts join Users, as on Windows.
    accounts_.AddMember(L"Users", std::wstring(rules::kComputerName) + L"\\" + name);
    return sid;
}

Sid SimPlatform::AddLocalGroup(const std::wstring& name) {
    std::lock_guard lock(mutex_);
    return accounts_.AddLocalGroup(name);
}

Sid SimPlatform::AddDomainUser(const std::wstring& name) {
    std::lock_guard lock(mutex_);
    Sid sid = accounts_.AddDomainUser(name);
    // Domain users reach the local Users group through Domain Users.
    accounts_.AddMember(L"Users", std::wstring(rules::kDomainName) + L"\\" + name);
    return sid;
}

Sid SimPlatform::AddDomainGroup(const std::wstring& name) {
    std::lock_guard lock(mutex_);
    return accounts_.AddDomainGroup(name);
}

bool SimPlatform::AddToGroup(const std::wstring& member, const std::wstring& group) {
    std::lock_guard lock(mutex_);
    bool added = accounts_.AddMember(group, member);
    if (added)
        RebuildToken();
    return added;
}

std::optional<Sid> SimPlatform::DeleteAccount(const std::wstring& name) {
    std::lock_guard lock(mutex_);
    return accounts_.Delete(name);
}

Sid SimPlatform::SidOf(const std::wstring& name) const {
    auto account = FindAccount(name);
    return account ? account->sid : Sid();
}

std::optional<Account> SimPlatform::FindAccount(const std::wstring& name) const {
    std::lock_guard lock(mutex_);
    const Account* account = accounts_.FindByName(name);
    return account ? std::optional<Account>(*account) : std::nullopt;
}

// ---- Token --------------------------------------------------------------------------

void SimPlatform::RebuildToken() {
    token_.user = tokenUser_;
    token_.groups = {TokenGroup{sids::Everyone()}, TokenGroup{sids::AuthenticatedUsers()},
                     TokenGroup{Sid(5, {4})}};  // INTERACTIVE
    bool isAdmin = false;
    for (const Account* group : accounts_.GroupsOf(tokenUser_)) {
        TokenGroup entry{group->sid};
        if (group->sid == sids::Administrators()) {
            isAdmin = true;
            // UAC: the filtered token keeps Administrators for deny only.
            entry.enabled = elevated_;
            entry.denyOnly = !elevated_;
            entry.mayOwn = elevated_;
        }
        token_.groups.push_back(entry);
    }
    bool fullAdmin = isAdmin && elevated_;
    token_.privileges =
        fullAdmin ? rules::ElevatedAdminPrivileges() : rules::StandardUserPrivileges();
    token_.defaultOwner = fullAdmin ? sids::Administrators() : tokenUser_;
}

bool SimPlatform::SetTokenUser(const std::wstring& name) {
    std::lock_guard lock(mutex_);
    const Account* account = accounts_.FindByName(name);
    if (!account || account->use != SidNameUse::kUser)
        return false;
    tokenUser_ = account->sid;
    RebuildToken();
    return true;
}

void SimPlatform::SetTokenElevated() {
    std::lock_guard lock(mutex_);
    elevated_ = true;
    RebuildToken();
}

void SimPlatform::SetTokenNotElevated() {
    std::lock_guard lock(mutex_);
    elevated_ = false;
    RebuildToken();
}

void SimPlatform::SetTokenGroups(std::vector<TokenGroup> groups) {
    std::lock_guard lock(mutex_);
    token_.groups = std::move(groups);
}

void SimPlatform::SetTokenPrivilege(const std::wstring& name, bool held, bool enabled) {
    std::lock_guard lock(mutex_);
    std::erase_if(token_.privileges,
                  [&](const TokenPrivilege& p) { return rules::SameName(p.name, name); });
    if (held)
        token_.privileges.push_back({name, enabled});
}

bool SimPlatform::PrivilegeEnabled(const std::wstring& name) const {
    std::lock_guard lock(mutex_);
    return token_.Enabled(name);
}

bool SimPlatform::PrivilegeHeld(const std::wstring& name) const {
    std::lock_guard lock(mutex_);
    return token_.Holds(name);
}

Token SimPlatform::TokenSnapshot() const {
    std::lock_guard lock(mutex_);
    return token_;
}

int SimPlatform::OpenTokenHandles() const {
    return openTokens_->load();
}

// ---- The whole machine -------------------------------------------------------------

std::vector<SimPlatform::VolumeInfo> SimPlatform::Volumes() const {
    std::lock_guard lock(mutex_);
    std::vector<VolumeInfo> out;
    for (const auto& [letter, volume] : volumes_)
        out.push_back({letter, volume->fileSystem});
    return out;
}

std::vector<SimPlatform::ObjectInfo> SimPlatform::Objects() const {
    std::lock_guard lock(mutex_);
    std::vector<ObjectInfo> out;
    for (const auto& [letter, volume] : volumes_) {
        bool secured = volume->HasSecurity();
        std::vector<const Node*> stack{volume->root.get()};
        while (!stack.empty()) {
            const Node& node = *stack.back();
            stack.pop_back();
            ObjectInfo info;
            info.path = PathOf(node);
            info.kind = node.IsJunction()  ? ObjectKind::kJunction
                        : node.isContainer ? ObjectKind::kFolder
                                           : ObjectKind::kFile;
            info.attributes = node.attributes;
            info.creationTime = node.creationTime;
            info.lastWriteTime = node.lastWriteTime;
            info.size = node.size;
            info.junctionTarget = node.junctionTarget;
            info.content = node.content;
            if (secured) {
                SecurityDescriptor sd;
                sd.owner = node.owner;
                sd.group = node.group;
                sd.dacl = node.dacl;
                sd.control = node.daclControl;
                info.security = std::move(sd);
            }
            out.push_back(std::move(info));
            for (auto child = node.children.rbegin(); child != node.children.rend(); ++child)
                stack.push_back(child->get());
        }
    }
    return out;
}

std::vector<Account> SimPlatform::AccountList() const {
    std::lock_guard lock(mutex_);
    return accounts_.All();
}

std::wstring SimPlatform::WindowsDirectoryPath() const {
    std::lock_guard lock(mutex_);
    return windowsDirectory_;
}

bool SimPlatform::Is64Bit() const {
    std::lock_guard lock(mutex_);
    return is64Bit_;
}

bool SimPlatform::IsElevated() const {
    std::lock_guard lock(mutex_);
    return elevated_;
}

bool SimPlatform::ReplaceAccounts(const std::vector<Account>& accounts) {
    Accounts table;
    table.Clear();
    for (const auto& account : accounts) {
        if (!table.Insert(account))
            return false;
    }
    std::lock_guard lock(mutex_);
    accounts_ = std::move(table);
    return true;
}

void SimPlatform::SetToken(Token token, bool elevated) {
    std::lock_guard lock(mutex_);
    tokenUser_ = token.user;
    elevated_ = elevated;
    token_ = std::move(token);
}

bool SimPlatform::SetFileContent(const std::wstring& path, Bytes content) {
    std::lock_guard lock(mutex_);
    uint32_t error = 0;
    Node* node = Find(path, &error);
    if (!node || node->isContainer)
        return false;
    node->size = content.size();
    node->content = content.empty() ? std::nullopt : std::optional<Bytes>(std::move(content));
    return true;
}

std::optional<Bytes> SimPlatform::FileContent(const std::wstring& path) const {
    std::lock_guard lock(mutex_);
    uint32_t error = 0;
    const Node* node = Find(path, &error);
    return node ? node->content : std::nullopt;
}

// ---- Instruments --------------------------------------------------------------------

uint64_t SimPlatform::CallCount(Call call) const {
    return counts_[Index(call)].load();
}

uint64_t SimPlatform::TotalCalls() const {
    uint64_t total = 0;
    for (const auto& count : counts_)
        total += count.load();
    return total;
}

uint64_t SimPlatform::ObjectsTouched() const {
    return objectsTouched_.load();
}

void SimPlatform::ResetCounters() {
    for (auto& count : counts_)
        count = 0;
    objectsTouched_ = 0;
}

void SimPlatform::FailNthCall(Call call, uint64_t n, uint32_t error) {
    std::lock_guard lock(mutex_);
    if (n == 0)
        return;
    faults_[Index(call)].push_back({seen_[Index(call)] + n, error});
}

void SimPlatform::FailEveryCall(Call call, uint32_t error) {
    std::lock_guard lock(mutex_);
    faults_[Index(call)].push_back({0, error});
}

void SimPlatform::DenyAccess(const std::wstring& path, uint32_t rights) {
    std::lock_guard lock(mutex_);
    uint32_t error = 0;
    if (Node* node = Find(path, &error))
        node->refused |= rules::MapGenericFileRights(rights);
}

void SimPlatform::ClearFaults() {
    std::lock_guard lock(mutex_);
    for (auto& list : faults_)
        list.clear();
    for (auto& [letter, volume] : volumes_) {
        std::vector<Node*> stack{volume->root.get()};
        while (!stack.empty()) {
            Node* node = stack.back();
            stack.pop_back();
            node->refused = 0;
            for (auto& child : node->children)
                stack.push_back(child.get());
        }
    }
}

void SimPlatform::SetCallHook(CallHook hook) {
    std::lock_guard lock(mutex_);
    hook_ = std::move(hook);
}

// ---- Checks -------------------------------------------------------------------------

uint32_t SimPlatform::Check(const Node& node, uint32_t desired, bool backupIntent) const {
    if (node.refused & rules::MapGenericFileRights(desired))
        return err::kAccessDenied;
    uint32_t denied =
        rules::DeniedRights(node.owner, node.dacl, token_, desired,
                            backupIntent ? rules::OpenIntent::kBackup : rules::OpenIntent::kNormal);
    return denied == 0 ? err::kSuccess : err::kAccessDenied;
}

uint32_t SimPlatform::CheckNewOwner(const Sid& owner) const {
    return rules::CheckNewOwner(token_, owner);
}

// ---- Security calls -------------------------------------------------------------------

Bytes SimPlatform::ReadSecurity(const Node& node, uint32_t info) const {
    SecurityDescriptor sd;
    if (info & secinfo::kOwner)
        sd.owner = node.owner;
    if (info & secinfo::kGroup)
        sd.group = node.group;
    if (info & secinfo::kDacl) {
        sd.dacl = node.dacl;
        sd.control = node.daclControl;
    }
    return sd.ToSelfRelative();
}

namespace {

// The rights a read or write of these parts needs (SetSecurityInfo and
// GetSecurityInfo docs: READ_CONTROL to read owner, group and DACL;
// WRITE_OWNER for owner and group; WRITE_DAC for the DACL;
// ACCESS_SYSTEM_SECURITY for the SACL).
uint32_t RightsToRead(uint32_t info) {
    uint32_t rights = 0;
    if (info & (secinfo::kOwner | secinfo::kGroup | secinfo::kDacl))
        rights |= access::kReadControl;
    if (info & secinfo::kSacl)
        rights |= rules::right::kAccessSystemSecurity;
    return rights;
}

uint32_t RightsToWrite(uint32_t info) {
    uint32_t rights = 0;
    if (info & (secinfo::kOwner | secinfo::kGroup))
        rights |= access::kWriteOwner;
    if (info & secinfo::kDacl)
        rights |= access::kWriteDac;
    if (info & secinfo::kSacl)
        rights |= rules::right::kAccessSystemSecurity;
    return rights;
}

}  // namespace

Result<Bytes> SimPlatform::ReadSecurityCall(Call call, const std::wstring& path, uint32_t info) {
    if (uint32_t injected = Enter(call, path))
        return Fail<Bytes>(injected);
    std::lock_guard lock(mutex_);
    uint32_t error = 0;
    const Node* node = FindForSecurity(path, &error);
    if (!node)
        return Fail<Bytes>(error);
    if ((info & secinfo::kSacl) && !token_.Enabled(privilege::kSecurity))
        return Fail<Bytes>(err::kPrivilegeNotHeld);
    if (uint32_t denied = Check(*node, RightsToRead(info), true))
        return Fail<Bytes>(denied);
    return ReadSecurity(*node, info);
}

// Both reads follow the same rules: READ_CONTROL, opened with backup intent.
Result<Bytes> SimPlatform::GetFileSecurity(const std::wstring& path, uint32_t info) {
    return ReadSecurityCall(Call::kGetFileSecurity, path, info);
}

Result<Bytes> SimPlatform::GetNamedSecurityInfo(const std::wstring& path, uint32_t info) {
    return ReadSecurityCall(Call::kGetNamedSecurityInfo, path, info);
}

Status SimPlatform::SetFileSecurity(const std::wstring& path, uint32_t info,
                                    const Bytes& descriptor) {
    if (uint32_t injected = Enter(Call::kSetFileSecurity, path))
        return Status::Fail(injected);
    std::lock_guard lock(mutex_);
    uint32_t error = 0;
    Node* node = FindForSecurity(path, &error);
    if (!node)
        return Status::Fail(error);
    auto sd = SecurityDescriptor::Parse(descriptor);
    if (!sd)
        return Status::Fail(err::kInvalidSecurityDescriptor);
    if ((info & secinfo::kSacl) && !token_.Enabled(privilege::kSecurity))
        return Status::Fail(err::kPrivilegeNotHeld);
    if (uint32_t denied = Check(*node, RightsToWrite(info), true))
        return Status::Fail(denied);
    if (info & secinfo::kOwner) {
        if (!sd->owner)
            return Status::Fail(err::kInvalidOwner);
        if (uint32_t refused = CheckNewOwner(*sd->owner))
            return Status::Fail(refused);
        node->owner = sd->owner;
    }
    if (info & secinfo::kGroup)
        node->group = sd->group;
    ++objectsTouched_;
    if (info & secinfo::kDacl) {
        // Stored with the DACL bits of the control word and generic rights
        // mapped (SimGenericMapping.h): no merge with the parent, no
        // propagation to children.
        node->dacl = rules::MapGenericRightsOnWrite(sd->dacl);
        node->daclControl = sd->control & kStoredDaclBits;
        // PROTECTED_ / UNPROTECTED_DACL_SECURITY_INFORMATION set or clear
        // SE_DACL_PROTECTED whatever the descriptor says.
        if (info & secinfo::kProtectedDacl)
            node->daclControl |= sd_control::kDaclProtected;
        else if (info & secinfo::kUnprotectedDacl)
            node->daclControl &= static_cast<uint16_t>(~sd_control::kDaclProtected);
    }
    return Status::Ok();
}

Status SimPlatform::SetNamedSecurityInfo(const std::wstring& path, uint32_t info,
                                         const Bytes* ownerSid, const OptionalAcl* dacl) {
    if (uint32_t injected = Enter(Call::kSetNamedSecurityInfo, path))
        return Status::Fail(injected);
    std::lock_guard lock(mutex_);
    uint32_t error = 0;
    Node* node = FindForSecurity(path, &error);
    if (!node)
        return Status::Fail(error);
    std::optional<Sid> owner;
    if (info & secinfo::kOwner) {
        if (!ownerSid)
            return Status::Fail(err::kInvalidParameter);
        owner = Sid::Parse(*ownerSid);
        if (!owner)
            return Status::Fail(err::kInvalidSid);
    }
    AclSlot newDacl;
    if (info & secinfo::kDacl) {
        if (!dacl)
            return Status::Fail(err::kInvalidParameter);
        if (dacl->has_value()) {
            auto parsed = Acl::Parse(**dacl);
            if (!parsed)
                return Status::Fail(err::kInvalidAcl);
            newDacl = AclSlot::With(*parsed);
        } else {
            newDacl = AclSlot::Null();
        }
    }
    bool isProtected = (info & secinfo::kProtectedDacl) != 0;
    if (uint32_t denied = Check(*node, RightsToWrite(info & ~secinfo::kSacl), true))
        return Status::Fail(denied);
    // An unprotected DACL needs the parent's DACL to rebuild the inherited
    // entries, and the object's own owner and group (CREATOR OWNER and
    // CREATOR GROUP entries, MS-DTYP 2.5.3.4.2); reading them needs
    // READ_CONTROL on both.
    bool inherits = (info & secinfo::kDacl) && !isProtected && node->parent;
    if (inherits) {
        if (uint32_t denied = Check(*node, access::kReadControl, true))
            return Status::Fail(denied);
        if (uint32_t denied = Check(*node->parent, access::kReadControl, true))
            return Status::Fail(denied);
    }
    if (owner) {
        if (uint32_t refused = CheckNewOwner(*owner))
            return Status::Fail(refused);
        node->owner = owner;
    }
    if (info & secinfo::kDacl)
        WriteDaclWithPropagation(*node, rules::MapGenericRightsOnWrite(newDacl), isProtected);
    else
        ++objectsTouched_;
    return Status::Ok();
}

Status SimPlatform::TreeResetNamedSecurityInfo(const std::wstring& path, uint32_t info,
                                               const OptionalAcl& dacl,
                                               const TreeProgress& progress) {
    if (uint32_t injected = Enter(Call::kTreeResetNamedSecurityInfo, path))
        return Status::Fail(injected);
    if ((info & secinfo::kDacl) == 0 || (info & (secinfo::kOwner | secinfo::kGroup)) != 0)
        return Status::Fail(err::kInvalidParameter);
    AclSlot newDacl = AclSlot::Null();
    if (dacl) {
        auto parsed = Acl::Parse(*dacl);
        if (!parsed)
            return Status::Fail(err::kInvalidAcl);
        newDacl = AclSlot::With(*parsed);
    }
    std::unique_lock lock(mutex_);
    uint32_t error = 0;
    Node* node = FindForSecurity(path, &error);
    if (!node)
        return Status::Fail(error);
    Store store(*this);
    // The progress function runs without the machine's lock, as a program's
    // callback may call the system again (it may, for instance, write a
    // DACL back).
    auto observer = [&](const rules::StoredObject& object, uint32_t objectError) {
        if (!progress)
            return true;
        lock.unlock();
        bool goOn = progress(object.path, objectError);
        lock.lock();
        return goOn;
    };
    return rules::ResetTree(store, store.Object(*node), rules::MapGenericRightsOnWrite(newDacl),
                            (info & secinfo::kProtectedDacl) != 0, observer);
}

void SimPlatform::WriteDaclWithPropagation(Node& node, const AclSlot& dacl, bool isProtected) {
    Store store(*this);
    rules::WriteDaclAndPropagate(store, store.Object(node), dacl, isProtected);
}

Result<std::vector<InheritedFrom>> SimPlatform::GetInheritanceSource(const std::wstring& path,
                                                                     bool /*isContainer*/,
                                                                     const Bytes& acl) {
    using Sources = std::vector<InheritedFrom>;
    if (uint32_t injected = Enter(Call::kGetInheritanceSource, path))
        return Fail<Sources>(injected);
    std::lock_guard lock(mutex_);
    auto parsed = Acl::Parse(acl);
    if (!parsed)
        return Fail<Sources>(err::kInvalidAcl);
    uint32_t error = 0;
    const Node* node = FindForSecurity(path, &error);
    if (!node)
        return Fail<Sources>(error);
    Store store(*this);
    return rules::InheritanceSources(store, store.Object(*node), *parsed);
}

Result<Bytes> SimPlatform::SetEntriesInAcl(const std::vector<ExplicitAccess>& entries,
                                           const OptionalAcl& oldAcl) {
    if (uint32_t injected = Enter(Call::kSetEntriesInAcl, L""))
        return Fail<Bytes>(injected);
    std::lock_guard lock(mutex_);
    return rules::SetEntriesInAcl(entries, oldAcl, [this](const std::wstring& name) {
        const Account* account = accounts_.FindByName(name);
        return account ? std::optional<Sid>(account->sid) : std::nullopt;
    });
}

// ---- Accounts ---------------------------------------------------------------------------

Result<AccountByName> SimPlatform::LookupAccountName(const std::wstring& name) {
    if (uint32_t injected = Enter(Call::kLookupAccountName, name))
        return Fail<AccountByName>(injected);
    std::lock_guard lock(mutex_);
    const Account* account = accounts_.FindByName(name);
    if (!account)
        return Fail<AccountByName>(err::kNoneMapped);
    return AccountByName{account->sid.ToBytes(), account->domain, account->use};
}

Result<AccountBySid> SimPlatform::LookupAccountSid(const Bytes& sid) {
    if (uint32_t injected = Enter(Call::kLookupAccountSid, L""))
        return Fail<AccountBySid>(injected);
    std::lock_guard lock(mutex_);
    auto parsed = Sid::Parse(sid);
    if (!parsed)
        return Fail<AccountBySid>(err::kInvalidSid);
    const Account* account = accounts_.FindBySid(*parsed);
    if (!account)
        return Fail<AccountBySid>(err::kNoneMapped);
    return AccountBySid{account->name, account->domain, account->use};
}

Result<std::wstring> SimPlatform::ConvertSidToStringSid(const Bytes& sid) {
    if (uint32_t injected = Enter(Call::kConvertSidToStringSid, L""))
        return Fail<std::wstring>(injected);
    auto parsed = Sid::Parse(sid);
    if (!parsed)
        return Fail<std::wstring>(err::kInvalidSid);
    return parsed->ToString();
}

Result<std::wstring> SimPlatform::GetUserName() {
    if (uint32_t injected = Enter(Call::kGetUserName, L""))
        return Fail<std::wstring>(injected);
    std::lock_guard lock(mutex_);
    const Account* account = accounts_.FindBySid(token_.user);
    if (!account)
        return Fail<std::wstring>(err::kNoneMapped);
    return account->name;
}

Result<std::vector<TokenGroupInfo>> SimPlatform::GetTokenGroups() {
    using Groups = std::vector<TokenGroupInfo>;
    if (uint32_t injected = Enter(Call::kGetTokenGroups, L""))
        return Fail<Groups>(injected);
    constexpr uint32_t kMandatory = 0x1;         // SE_GROUP_MANDATORY
    constexpr uint32_t kEnabledByDefault = 0x2;  // SE_GROUP_ENABLED_BY_DEFAULT
    constexpr uint32_t kOwner = 0x8;             // SE_GROUP_OWNER
    std::lock_guard lock(mutex_);
    Groups groups;
    for (const TokenGroup& group : token_.groups) {
        uint32_t attributes =
            group.denyOnly ? group_attr::kUseForDenyOnly : kMandatory | kEnabledByDefault;
        if (group.enabled && !group.denyOnly)
            attributes |= group_attr::kEnabled;
        if (group.mayOwn)
            attributes |= kOwner;
        groups.push_back({group.sid.ToBytes(), attributes});
    }
    return groups;
}

Result<std::vector<std::wstring>> SimPlatform::GetLocalGroupsOfUser(const std::wstring& user) {
    using Names = std::vector<std::wstring>;
    if (uint32_t injected = Enter(Call::kGetLocalGroupsOfUser, user))
        return Fail<Names>(injected);
    std::lock_guard lock(mutex_);
    // NetUserGetLocalGroups: a bare name is looked for on the server named
    // (the local computer), "DOMAIN\\user" in that domain; a user of the
    // domain given by bare name is not found.
    const bool qualified = user.find(L'\\') != std::wstring::npos;
    const Account* account = accounts_.FindByName(user);
    if (account && !qualified && rules::SameName(account->domain, kDomainName))
        account = nullptr;
    if (!account || account->use != SidNameUse::kUser)
        return Fail<Names>(kNerrUserNotFound);
    // LG_INCLUDE_INDIRECT: local groups reached directly or through groups.
    Names names;
    for (const Account* group : accounts_.GroupsOf(account->sid)) {
        if (group->use == SidNameUse::kAlias)
            names.push_back(group->name);
    }
    return names;
}

// ---- Privileges -------------------------------------------------------------------------

Result<std::unique_ptr<TokenHandle>> SimPlatform::OpenProcessToken(uint32_t desiredAccess) {
    using Handle = std::unique_ptr<TokenHandle>;
    if (uint32_t injected = Enter(Call::kOpenProcessToken, L""))
        return Fail<Handle>(injected);
    return Handle(std::make_unique<SimTokenHandle>(this, desiredAccess, openTokens_));
}

Result<Luid> SimPlatform::LookupPrivilegeValue(const std::wstring& name) {
    if (uint32_t injected = Enter(Call::kLookupPrivilegeValue, name))
        return Fail<Luid>(injected);
    auto luid = rules::PrivilegeLuid(name);
    if (!luid)
        return Fail<Luid>(err::kNoSuchPrivilege);
    return *luid;
}

Result<bool> SimPlatform::AdjustTokenPrivilege(TokenHandle& token, Luid privilegeLuid,
                                               bool enable) {
    if (uint32_t injected = Enter(Call::kAdjustTokenPrivilege, L""))
        return Fail<bool>(injected);
    auto* handle = dynamic_cast<SimTokenHandle*>(&token);
    if (!handle || handle->machine() != this)
        return Fail<bool>(err::kInvalidHandle);
    if (!(handle->access() & kTokenAdjustPrivileges))
        return Fail<bool>(err::kAccessDenied);
    std::lock_guard lock(mutex_);
    std::wstring name = rules::PrivilegeName(privilegeLuid);
    // A privilege the token does not hold: success, ERROR_NOT_ALL_ASSIGNED.
    return !name.empty() && token_.Adjust(name, enable);
}

// ---- File system ------------------------------------------------------------------------

bool SimPlatform::PathFileExists(const std::wstring& path) {
    if (Enter(Call::kPathFileExists, path))
        return false;
    std::lock_guard lock(mutex_);
    uint32_t error = 0;
    return Find(path, &error) != nullptr;
}

Result<uint32_t> SimPlatform::GetFileAttributes(const std::wstring& path) {
    if (uint32_t injected = Enter(Call::kGetFileAttributes, path))
        return Fail<uint32_t>(injected);
    std::lock_guard lock(mutex_);
    uint32_t error = 0;
    const Node* node = Find(path, &error);
    if (!node)
        return Fail<uint32_t>(error);
    return node->attributes;
}

Result<std::vector<FindData>> SimPlatform::FindFiles(const std::wstring& pattern) {
    using Entries = std::vector<FindData>;
    if (uint32_t injected = Enter(Call::kFindFiles, pattern))
        return Fail<Entries>(injected);
    std::lock_guard lock(mutex_);
    size_t slash = pattern.find_last_of(L"\\/");
    if (slash == std::wstring::npos)
        return Fail<Entries>(err::kInvalidName);
    std::wstring folderPath = pattern.substr(0, slash + 1);
    std::wstring namePattern = pattern.substr(slash + 1);
    uint32_t error = 0;
    const Node* folder = Find(folderPath, &error);
    // A junction's listing is its target's.
    for (int depth = 0; folder && folder->IsJunction() && depth < kMaxJunctionDepth; ++depth)
        folder = Find(folder->junctionTarget, &error);
    if (folder && folder->IsJunction())
        return Fail<Entries>(kCantResolveFilename);
    if (!folder)
        return Fail<Entries>(error == err::kFileNotFound ? err::kPathNotFound : error);
    if (!folder->isContainer)
        return Fail<Entries>(err::kDirectory);
    // Listing opens the folder normally (no backup intent).
    if (IsSecured(*folder)) {
        if (uint32_t denied = Check(*folder, rules::right::kListDirectory, false))
            return Fail<Entries>(denied);
    }
    Entries entries;
    auto add = [&](const std::wstring& name, const Node& node) {
        if (rules::MatchesPattern(namePattern, name))
            entries.push_back(
                {name, node.attributes, node.creationTime, node.lastWriteTime, node.size});
    };
    // NTFS lists "." and ".." first in every folder but a root.
    if (folder->parent) {
        add(L".", *folder);
        add(L"..", *folder->parent);
    }
    for (const auto& child : folder->children)
        add(child->name, *child);
    if (entries.empty())
        return Fail<Entries>(err::kFileNotFound);
    return entries;
}

Result<std::wstring> SimPlatform::GetVolumeFileSystemName(const std::wstring& rootPath) {
    if (uint32_t injected = Enter(Call::kGetVolumeFileSystemName, rootPath))
        return Fail<std::wstring>(injected);
    std::lock_guard lock(mutex_);
    auto parsed = rules::ParsePath(rootPath);
    if (!parsed || !parsed->IsRoot())
        return Fail<std::wstring>(err::kInvalidName);
    auto volume = volumes_.find(parsed->drive);
    if (volume == volumes_.end())
        return Fail<std::wstring>(err::kPathNotFound);
    return volume->second->fileSystem;
}

std::vector<std::wstring> SimPlatform::GetLogicalDriveStrings() {
    std::vector<std::wstring> drives;
    if (Enter(Call::kGetLogicalDriveStrings, L""))
        return drives;
    std::lock_guard lock(mutex_);
    for (const auto& [letter, volume] : volumes_)
        drives.push_back(std::wstring{letter, L':', L'\\'});
    return drives;
}

std::wstring SimPlatform::GetWindowsDirectory() {
    Enter(Call::kGetWindowsDirectory, L"");
    std::lock_guard lock(mutex_);
    return windowsDirectory_;
}

std::wstring SimPlatform::GetSystemDirectory() {
    Enter(Call::kGetSystemDirectory, L"");
    std::lock_guard lock(mutex_);
    return windowsDirectory_ + L"\\System32";
}

Result<std::wstring> SimPlatform::GetSystemWow64Directory() {
    if (uint32_t injected = Enter(Call::kGetSystemWow64Directory, L""))
        return Fail<std::wstring>(injected);
    std::lock_guard lock(mutex_);
    if (!is64Bit_)
        return Fail<std::wstring>(err::kCallNotImplemented);
    return windowsDirectory_ + L"\\SysWOW64";
}

}  // namespace vm::sim
