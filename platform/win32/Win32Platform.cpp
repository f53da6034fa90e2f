#include "platform/win32/Win32Platform.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <span>

#include "platform/ExtendedPath.h"
#include "security/Rights.h"
#include "security/SecurityDescriptor.h"

namespace vm::win32 {
namespace {

template <class T>
Result<T> Fail(DWORD error) {
    return Result<T>::Fail(error);
}

// Bytes handed to the system are copied into a heap block first: the block
// is suitably aligned, and a writable copy is what the W functions take.
HeapBlock CopyToHeap(const Bytes& bytes) {
    HeapBlock block(bytes.size());
    if (block)
        std::memcpy(block.get(), bytes.data(), bytes.size());
    return block;
}

Bytes CopyFrom(const void* data, size_t size) {
    const auto* begin = static_cast<const uint8_t*>(data);
    return Bytes(begin, begin + size);
}

// Our own readers check what we pass, so the system never reads beyond it.
bool IsWholeSid(const Bytes& sid) {
    size_t length = 0;
    return Sid::Parse(sid, &length) && length == sid.size();
}

bool IsValidAclBytes(const Bytes& acl) {
    return Acl::Parse(acl).has_value();
}

// A descriptor the system allocated, as self-relative bytes.
Result<Bytes> SelfRelativeBytes(PSECURITY_DESCRIPTOR descriptor) {
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    if (!GetSecurityDescriptorControl(descriptor, &control, &revision))
        return Fail<Bytes>(GetLastError());
    if (control & SE_SELF_RELATIVE)
        return CopyFrom(descriptor, GetSecurityDescriptorLength(descriptor));
    DWORD needed = 0;
    if (!MakeSelfRelativeSD(descriptor, nullptr, &needed) &&
        GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return Fail<Bytes>(GetLastError());
    HeapBlock block(needed);
    if (!block)
        return Fail<Bytes>(ERROR_NOT_ENOUGH_MEMORY);
    if (!MakeSelfRelativeSD(descriptor, block.get(), &needed))
        return Fail<Bytes>(GetLastError());
    return CopyFrom(block.get(), needed);
}

// Functions of the form UINT f(LPWSTR buffer, UINT size) that return the size
// needed (terminator included) when the buffer is too small, and the length
// written otherwise.
template <class Function>
Result<std::wstring> TwoCallDirectory(Function function) {
    UINT needed = function(nullptr, 0);
    if (needed == 0)
        return Fail<std::wstring>(GetLastError());
    std::wstring text(needed, L'\0');
    UINT written = function(text.data(), needed);
    if (written == 0 || written >= needed)
        return Fail<std::wstring>(written == 0 ? GetLastError() : ERROR_INSUFFICIENT_BUFFER);
    text.resize(written);
    return text;
}

uint64_t FileTimeValue(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FindData ToFindData(const WIN32_FIND_DATAW& data) {
    FindData entry;
    entry.name = data.cFileName;
    entry.attributes = data.dwFileAttributes;
    entry.creationTime = FileTimeValue(data.ftCreationTime);
    entry.lastWriteTime = FileTimeValue(data.ftLastWriteTime);
    entry.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return entry;
}

// The INHERITED_FROMW array of GetInheritanceSourceW, whose names the system
// allocates. FreeInheritedFromArray frees the array "returned by"
// GetInheritanceSource: only after the call succeeded (after a failure the
// names are not defined, and freeing them could free what the failed call
// freed already).
class InheritedFromArray {
  public:
    explicit InheritedFromArray(size_t count) : entries_(count) {}
    InheritedFromArray(const InheritedFromArray&) = delete;
    InheritedFromArray& operator=(const InheritedFromArray&) = delete;
    ~InheritedFromArray() {
        if (!filled_)
            return;
        DWORD lastError = GetLastError();
        FreeInheritedFromArray(entries_.data(), static_cast<USHORT>(entries_.size()), nullptr);
        SetLastError(lastError);
    }
    PINHERITED_FROMW data() { return entries_.data(); }
    const std::vector<INHERITED_FROMW>& entries() const { return entries_; }
    // The system filled the array: its names are ours to free.
    void MarkFilled() { filled_ = true; }

  private:
    std::vector<INHERITED_FROMW> entries_;  // zero-filled
    bool filled_ = false;
};

// What TreeResetNamedSecurityInfoW's progress function works with.
struct TreeProgressArgs {
    const TreeProgress* progress = nullptr;
    size_t told = 0;
};

// FN_PROGRESS: called by the system for each object of the tree.
VOID TreeProgressCallback(LPWSTR objectName, DWORD status, PPROG_INVOKE_SETTING invokeSetting,
                          PVOID args, WINBOOL /*securitySet*/) {
    auto* tree = static_cast<TreeProgressArgs*>(args);
    ++tree->told;
    std::wstring path = objectName ? FromExtendedPath(objectName) : std::wstring();
    if (!(*tree->progress)(path, status) && invokeSetting)
        *invokeSetting = ProgressCancelOperation;
}

LPWSTR Writable(const std::wstring& text) {
    // The W functions below take LPWSTR but do not write through it.
    return const_cast<LPWSTR>(text.c_str());
}

// A copy of the bytes of a DACL for the named-object calls; nullopt stands
// for a NULL DACL (an empty block).
Result<HeapBlock> DaclBlock(const OptionalAcl& dacl) {
    if (!dacl)
        return HeapBlock(0);
    if (!IsValidAclBytes(*dacl))
        return Result<HeapBlock>::Fail(ERROR_INVALID_ACL);
    HeapBlock block = CopyToHeap(*dacl);
    if (!block)
        return Result<HeapBlock>::Fail(ERROR_NOT_ENOUGH_MEMORY);
    return block;
}

}  // namespace

bool RunningOnWine() {
    static const bool onWine = [] {
        HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
    }();
    return onWine;
}

// ---- Security of file-system objects ------------------------------------------

Result<Bytes> Win32Platform::GetFileSecurity(const std::wstring& path, uint32_t info) {
    const std::wstring name = ToExtendedPath(path);
    DWORD needed = 0;
    if (!GetFileSecurityW(name.c_str(), info, nullptr, 0, &needed) &&
        GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return Fail<Bytes>(GetLastError());
    HeapBlock block(needed);
    if (!block)
        return Fail<Bytes>(ERROR_NOT_ENOUGH_MEMORY);
    if (!GetFileSecurityW(name.c_str(), info, block.get(), needed, &needed))
        return Fail<Bytes>(GetLastError());
    DWORD length = GetSecurityDescriptorLength(block.get());
    return CopyFrom(block.get(), std::min<size_t>(length, block.size()));
}

Status Win32Platform::SetFileSecurity(const std::wstring& path, uint32_t info,
                                      const Bytes& descriptor) {
    if (!SecurityDescriptor::Parse(descriptor))
        return Status::Fail(ERROR_INVALID_SECURITY_DESCR);
    HeapBlock block = CopyToHeap(descriptor);
    if (!block)
        return Status::Fail(ERROR_NOT_ENOUGH_MEMORY);
    if (!SetFileSecurityW(ToExtendedPath(path).c_str(), info, block.get()))
        return Status::Fail(GetLastError());
    return Status::Ok();
}

Result<Bytes> Win32Platform::GetNamedSecurityInfo(const std::wstring& path, uint32_t info) {
    PSECURITY_DESCRIPTOR raw = nullptr;
    DWORD error = GetNamedSecurityInfoW(ToExtendedPath(path).c_str(), SE_FILE_OBJECT, info, nullptr,
                                        nullptr, nullptr, nullptr, &raw);
    UniqueLocal<PSECURITY_DESCRIPTOR> descriptor(raw);
    if (error != ERROR_SUCCESS)
        return Fail<Bytes>(error);
    if (!descriptor)
        return Fail<Bytes>(ERROR_INVALID_SECURITY_DESCR);
    return SelfRelativeBytes(descriptor.get());
}

Status Win32Platform::SetNamedSecurityInfo(const std::wstring& path, uint32_t info,
                                           const Bytes* ownerSid, const OptionalAcl* dacl) {
    // Only the owner and the DACL (with its protection bits) are ever written.
    constexpr uint32_t kAllowed =
        secinfo::kOwner | secinfo::kDacl | secinfo::kProtectedDacl | secinfo::kUnprotectedDacl;
    if (info & ~kAllowed)
        return Status::Fail(ERROR_INVALID_PARAMETER);
    HeapBlock ownerBlock(0), daclBlock(0);
    if (info & secinfo::kOwner) {
        if (!ownerSid || !IsWholeSid(*ownerSid))
            return Status::Fail(ERROR_INVALID_SID);
        ownerBlock = CopyToHeap(*ownerSid);
        if (!ownerBlock)
            return Status::Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
    if (info & secinfo::kDacl) {
        if (!dacl)
            return Status::Fail(ERROR_INVALID_PARAMETER);
        auto block = DaclBlock(*dacl);
        if (!block.ok())
            return block.status();
        daclBlock = std::move(*block);
    }
    const std::wstring name = ToExtendedPath(path);
    DWORD error = SetNamedSecurityInfoW(Writable(name), SE_FILE_OBJECT, info, ownerBlock.get(),
                                        nullptr, daclBlock.as<ACL>(), nullptr);
    return error == ERROR_SUCCESS ? Status::Ok() : Status::Fail(error);
}

Result<std::vector<InheritedFrom>> Win32Platform::GetInheritanceSource(const std::wstring& path,
                                                                       bool isContainer,
                                                                       const Bytes& acl) {
    using Sources = std::vector<InheritedFrom>;
    // Wine does not implement the query and ends the process when it is called.
    if (RunningOnWine())
        return Fail<Sources>(ERROR_CALL_NOT_IMPLEMENTED);
    auto parsed = Acl::Parse(acl);
    if (!parsed)
        return Fail<Sources>(ERROR_INVALID_ACL);
    if (parsed->aces.empty())
        return Sources{};
    HeapBlock aclBlock = CopyToHeap(acl);
    if (!aclBlock)
        return Fail<Sources>(ERROR_NOT_ENOUGH_MEMORY);
    GENERIC_MAPPING mapping{kFileGenericMapping.read, kFileGenericMapping.write,
                            kFileGenericMapping.execute, kFileGenericMapping.all};
    InheritedFromArray array(parsed->aces.size());
    const std::wstring name = ToExtendedPath(path);
    DWORD error = GetInheritanceSourceW(Writable(name), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                        isContainer, nullptr, 0, aclBlock.as<ACL>(), nullptr,
                                        &mapping, array.data());
    if (error != ERROR_SUCCESS)
        return Fail<Sources>(error);
    array.MarkFilled();
    Sources sources;
    for (const auto& entry : array.entries()) {
        sources.push_back({static_cast<int32_t>(entry.GenerationGap),
                           entry.AncestorName ? std::wstring(entry.AncestorName) : L""});
    }
    return sources;
}

Status Win32Platform::TreeResetNamedSecurityInfo(const std::wstring& path, uint32_t info,
                                                 const OptionalAcl& dacl,
                                                 const TreeProgress& progress) {
    constexpr uint32_t kAllowed =
        secinfo::kDacl | secinfo::kProtectedDacl | secinfo::kUnprotectedDacl;
    if ((info & ~kAllowed) != 0 || (info & secinfo::kDacl) == 0)
        return Status::Fail(ERROR_INVALID_PARAMETER);
    auto daclBlock = DaclBlock(dacl);
    if (!daclBlock.ok())
        return daclBlock.status();
    TreeProgressArgs args{&progress, 0};
    const std::wstring name = ToExtendedPath(path);
    DWORD error = TreeResetNamedSecurityInfoW(
        Writable(name), SE_FILE_OBJECT, info, nullptr, nullptr, daclBlock->as<ACL>(), nullptr,
        FALSE, TreeProgressCallback, ProgressInvokeEveryObject, &args);
    // The progress function is called for every object, the top one
    // included; a call that reports success without a single one did
    // nothing (Wine's stands in without an implementation). Callers then
    // reset object by object.
    if (error == ERROR_SUCCESS && args.told == 0)
        return Status::Fail(ERROR_CALL_NOT_IMPLEMENTED);
    return error == ERROR_SUCCESS ? Status::Ok() : Status::Fail(error);
}

Result<Bytes> Win32Platform::SetEntriesInAcl(const std::vector<ExplicitAccess>& entries,
                                             const OptionalAcl& oldAcl) {
    std::vector<EXPLICIT_ACCESS_W> access(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        BuildExplicitAccessWithNameW(
            &access[i], Writable(entries[i].trusteeName), entries[i].permissions,
            static_cast<ACCESS_MODE>(entries[i].mode), entries[i].inheritance);
    }
    HeapBlock oldBlock(0);
    if (oldAcl) {
        if (!IsValidAclBytes(*oldAcl))
            return Fail<Bytes>(ERROR_INVALID_ACL);
        oldBlock = CopyToHeap(*oldAcl);
        if (!oldBlock)
            return Fail<Bytes>(ERROR_NOT_ENOUGH_MEMORY);
    }
    PACL raw = nullptr;
    DWORD error = SetEntriesInAclW(static_cast<ULONG>(access.size()), access.data(),
                                   oldBlock.as<ACL>(), &raw);
    UniqueLocal<PACL> newAcl(raw);
    if (error != ERROR_SUCCESS)
        return Fail<Bytes>(error);
    if (!newAcl)
        return Fail<Bytes>(ERROR_INVALID_ACL);
    return CopyFrom(newAcl.get(), newAcl.get()->AclSize);
}

// ---- Accounts -----------------------------------------------------------------------

Result<AccountByName> Win32Platform::LookupAccountName(const std::wstring& name) {
    DWORD sidSize = 0, domainSize = 0;
    SID_NAME_USE use = SidTypeUnknown;
    if (!LookupAccountNameW(nullptr, name.c_str(), nullptr, &sidSize, nullptr, &domainSize, &use) &&
        GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return Fail<AccountByName>(GetLastError());
    HeapBlock sid(sidSize);
    domainSize += 1;  // room for the terminator whether or not it was counted
    HeapBlock domain(domainSize * sizeof(wchar_t));
    if (!sid || !domain)
        return Fail<AccountByName>(ERROR_NOT_ENOUGH_MEMORY);
    if (!LookupAccountNameW(nullptr, name.c_str(), sid.get(), &sidSize, domain.as<wchar_t>(),
                            &domainSize, &use))
        return Fail<AccountByName>(GetLastError());
    AccountByName account;
    account.sid = CopyFrom(sid.get(), GetLengthSid(sid.get()));
    account.domain = domain.as<wchar_t>();
    account.use = static_cast<SidNameUse>(use);
    return account;
}

Result<AccountBySid> Win32Platform::LookupAccountSid(const Bytes& sid) {
    if (!IsWholeSid(sid))
        return Fail<AccountBySid>(ERROR_INVALID_SID);
    HeapBlock sidBlock = CopyToHeap(sid);
    if (!sidBlock)
        return Fail<AccountBySid>(ERROR_NOT_ENOUGH_MEMORY);
    // First call with room for one character each: it reports the sizes.
    wchar_t probeName[1] = {}, probeDomain[1] = {};
    DWORD nameSize = 1, domainSize = 1;
    SID_NAME_USE use = SidTypeUnknown;
    AccountBySid account;
    if (LookupAccountSidW(nullptr, sidBlock.get(), probeName, &nameSize, probeDomain, &domainSize,
                          &use)) {
        account.use = static_cast<SidNameUse>(use);  // an empty name and domain
        return account;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return Fail<AccountBySid>(GetLastError());
    // One character more than reported: Wine reports the length without the
    // terminator after a first call with a non-empty buffer.
    std::vector<wchar_t> name(nameSize + 1), domain(domainSize + 1);
    nameSize = static_cast<DWORD>(name.size());
    domainSize = static_cast<DWORD>(domain.size());
    if (!LookupAccountSidW(nullptr, sidBlock.get(), name.data(), &nameSize, domain.data(),
                           &domainSize, &use))
        return Fail<AccountBySid>(GetLastError());
    account.name = name.data();
    account.domain = domain.data();
    account.use = static_cast<SidNameUse>(use);
    return account;
}

Result<std::wstring> Win32Platform::ConvertSidToStringSid(const Bytes& sid) {
    if (!IsWholeSid(sid))
        return Fail<std::wstring>(ERROR_INVALID_SID);
    HeapBlock sidBlock = CopyToHeap(sid);
    if (!sidBlock)
        return Fail<std::wstring>(ERROR_NOT_ENOUGH_MEMORY);
    UniqueLocal<LPWSTR> text;
    if (!ConvertSidToStringSidW(sidBlock.get(), text.put()))
        return Fail<std::wstring>(GetLastError());
    return std::wstring(text.get());
}

Result<std::wstring> Win32Platform::GetUserName() {
    DWORD size = 0;
    if (!GetUserNameW(nullptr, &size) && GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return Fail<std::wstring>(GetLastError());
    std::vector<wchar_t> name(size + 1);
    size = static_cast<DWORD>(name.size());
    if (!GetUserNameW(name.data(), &size))
        return Fail<std::wstring>(GetLastError());
    return std::wstring(name.data());
}

Result<std::vector<TokenGroupInfo>> Win32Platform::GetTokenGroups() {
    using Groups = std::vector<TokenGroupInfo>;
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw))
        return Fail<Groups>(GetLastError());
    UniqueHandle token(raw);
    DWORD needed = 0;
    if (!GetTokenInformation(token.get(), TokenGroups, nullptr, 0, &needed) &&
        GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return Fail<Groups>(GetLastError());
    HeapBlock block(needed);
    if (!block)
        return Fail<Groups>(ERROR_NOT_ENOUGH_MEMORY);
    if (!GetTokenInformation(token.get(), TokenGroups, block.get(), needed, &needed))
        return Fail<Groups>(GetLastError());
    // The count and every SID are checked against the block we hold.
    const auto* groups = block.as<TOKEN_GROUPS>();
    const size_t room =
        (block.size() - offsetof(TOKEN_GROUPS, Groups)) / sizeof(SID_AND_ATTRIBUTES);
    if (block.size() < sizeof(TOKEN_GROUPS) || groups->GroupCount > room)
        return Fail<Groups>(ERROR_INVALID_DATA);
    const auto* begin = static_cast<const uint8_t*>(block.get());
    Groups result;
    for (DWORD i = 0; i < groups->GroupCount; ++i) {
        const auto* sid = static_cast<const uint8_t*>(groups->Groups[i].Sid);
        if (!sid || sid < begin || sid >= begin + block.size())
            return Fail<Groups>(ERROR_INVALID_DATA);
        std::span<const uint8_t> rest(sid, begin + block.size());
        size_t length = 0;
        if (!Sid::Parse(rest, &length))
            return Fail<Groups>(ERROR_INVALID_SID);
        result.push_back({Bytes(sid, sid + length), groups->Groups[i].Attributes});
    }
    return result;
}

Result<std::vector<std::wstring>> Win32Platform::GetLocalGroupsOfUser(const std::wstring& user) {
    LOCALGROUP_USERS_INFO_0* raw = nullptr;
    DWORD read = 0, total = 0;
    NET_API_STATUS status =
        NetUserGetLocalGroups(nullptr, user.c_str(), 0, LG_INCLUDE_INDIRECT,
                              reinterpret_cast<LPBYTE*>(&raw), MAX_PREFERRED_LENGTH, &read, &total);
    UniqueNetApiBuffer<LOCALGROUP_USERS_INFO_0*> buffer(raw);
    if (status != NERR_Success)
        return Fail<std::vector<std::wstring>>(status);
    std::vector<std::wstring> groups;
    for (DWORD i = 0; buffer && i < read; ++i) {
        if (buffer.get()[i].lgrui0_name)
            groups.emplace_back(buffer.get()[i].lgrui0_name);
    }
    return groups;
}

// ---- Privileges of the process token ---------------------------------------------

Result<std::unique_ptr<TokenHandle>> Win32Platform::OpenProcessToken(uint32_t desiredAccess) {
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(GetCurrentProcess(), desiredAccess, &raw))
        return Fail<std::unique_ptr<TokenHandle>>(GetLastError());
    return std::unique_ptr<TokenHandle>(std::make_unique<Win32Token>(raw));
}

Result<Luid> Win32Platform::LookupPrivilegeValue(const std::wstring& name) {
    LUID luid{};
    if (!LookupPrivilegeValueW(nullptr, name.c_str(), &luid))
        return Fail<Luid>(GetLastError());
    return Luid{luid.LowPart, luid.HighPart};
}

Result<bool> Win32Platform::AdjustTokenPrivilege(TokenHandle& token, Luid privilege, bool enable) {
    auto* win32Token = dynamic_cast<Win32Token*>(&token);
    if (!win32Token)
        return Fail<bool>(ERROR_INVALID_HANDLE);
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Luid.LowPart = privilege.low;
    privileges.Privileges[0].Luid.HighPart = privilege.high;
    privileges.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
    SetLastError(ERROR_SUCCESS);
    if (!AdjustTokenPrivileges(win32Token->get(), FALSE, &privileges, sizeof(privileges), nullptr,
                               nullptr))
        return Fail<bool>(GetLastError());
    // Success with ERROR_NOT_ALL_ASSIGNED: the token does not hold it.
    return GetLastError() != ERROR_NOT_ALL_ASSIGNED;
}

// ---- File system --------------------------------------------------------------------

// PathFileExistsW is limited to MAX_PATH and refuses "\\server\share";
// GetFileAttributesW with the prefix takes both.
bool Win32Platform::PathFileExists(const std::wstring& path) {
    return !path.empty() &&
           GetFileAttributesW(ToExtendedPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

Result<uint32_t> Win32Platform::GetFileAttributes(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(ToExtendedPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return Fail<uint32_t>(GetLastError());
    return static_cast<uint32_t>(attributes);
}

Result<std::vector<FindData>> Win32Platform::FindFiles(const std::wstring& pattern) {
    WIN32_FIND_DATAW data{};
    UniqueFind find(FindFirstFileW(ToExtendedPath(pattern).c_str(), &data));
    if (!find)
        return Fail<std::vector<FindData>>(GetLastError());
    std::vector<FindData> entries;
    do {
        entries.push_back(ToFindData(data));
    } while (FindNextFileW(find.get(), &data));
    // A listing cut short by an error is a failure, not a shorter folder.
    if (GetLastError() != ERROR_NO_MORE_FILES)
        return Fail<std::vector<FindData>>(GetLastError());
    return entries;
}

Result<std::wstring> Win32Platform::GetVolumeFileSystemName(const std::wstring& rootPath) {
    wchar_t fileSystem[MAX_PATH + 1] = {};
    if (!GetVolumeInformationW(rootPath.c_str(), nullptr, 0, nullptr, nullptr, nullptr, fileSystem,
                               MAX_PATH + 1))
        return Fail<std::wstring>(GetLastError());
    return std::wstring(fileSystem);
}

std::vector<std::wstring> Win32Platform::GetLogicalDriveStrings() {
    DWORD needed = GetLogicalDriveStringsW(0, nullptr);
    if (needed == 0)
        return {};
    std::vector<wchar_t> buffer(needed + 1, L'\0');
    DWORD written = GetLogicalDriveStringsW(needed, buffer.data());
    if (written == 0 || written > needed)
        return {};
    // "C:\<NUL>D:\<NUL><NUL>"
    std::vector<std::wstring> drives;
    for (const wchar_t* at = buffer.data(); *at; at += drives.back().size() + 1)
        drives.emplace_back(at);
    return drives;
}

std::wstring Win32Platform::GetWindowsDirectory() {
    auto directory = TwoCallDirectory(GetWindowsDirectoryW);
    return directory.ok() ? *directory : std::wstring();
}

std::wstring Win32Platform::GetSystemDirectory() {
    auto directory = TwoCallDirectory(GetSystemDirectoryW);
    return directory.ok() ? *directory : std::wstring();
}

Result<std::wstring> Win32Platform::GetSystemWow64Directory() {
    return TwoCallDirectory(GetSystemWow64DirectoryW);
}

std::wstring Win32Platform::ErrorText(uint32_t code) {
    UniqueLocal<wchar_t*> text;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(text.put()), 0, nullptr);
    if (length == 0 || !text)
        return Platform::ErrorText(code);
    std::wstring message(text.get(), length);
    // The system's texts end with a line break.
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r'))
        message.pop_back();
    return message;
}

}  // namespace vm::win32
