// Writes the demonstration machine (resources/demo/demo-machine.txt): a
// Windows PC as a newcomer would find it, built on the simulated platform and
// saved as a machine description. Its backup files are made by the program's
// own backup writer from the state the machine had when they were taken.
//
//   make_demo_machine resources/demo/demo-machine.txt
#include <algorithm>
#include <cwchar>
#include <fstream>
#include <iostream>
#include <stdexcept>

#include "backup/BackupFile.h"
#include "backup/DefaultDescriptors.h"
#include "platform/Utf16.h"
#include "platform/sim/MachineFile.h"
#include "platform/sim/MachineText.h"
#include "security/Sddl.h"

namespace vm::sim {
namespace {

// ---- Accounts -----------------------------------------------------------------------

const std::wstring kComputerSid = L"S-1-5-21-1004336348-1177238915-682003330";
const std::wstring kDomainSid = L"S-1-5-21-3623811015-3361044348-30300820";
const std::wstring kAlex = kComputerSid + L"-1001";
const std::wstring kSam = kComputerSid + L"-1002";
const std::wstring kJordan = kComputerSid + L"-1003";  // deleted since
const std::wstring kEngineering = kDomainSid + L"-1104";
const std::wstring kFinance = kDomainSid + L"-1105";
const std::wstring kRokafor = kDomainSid + L"-1118";
const std::wstring kTrustedInstaller =
    L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
const std::wstring kAppPackages = L"S-1-15-2-1";

Account MakeAccount(const std::wstring& sid, const std::wstring& domain, const std::wstring& name,
                    SidNameUse use) {
    Account account;
    account.sid = *Sid::FromString(sid);
    account.domain = domain;
    account.name = name;
    account.use = use;
    return account;
}

std::vector<Account> DemoAccounts() {
    using U = SidNameUse;
    const std::wstring nt = L"NT AUTHORITY";
    const std::wstring builtin = L"BUILTIN";
    const std::wstring pc = kComputerName;
    const std::wstring corp = kDomainName;
    return {
        MakeAccount(L"S-1-1-0", L"", L"Everyone", U::kWellKnownGroup),
        MakeAccount(L"S-1-3-0", L"", L"CREATOR OWNER", U::kWellKnownGroup),
        MakeAccount(L"S-1-3-1", L"", L"CREATOR GROUP", U::kWellKnownGroup),
        MakeAccount(L"S-1-3-4", L"", L"OWNER RIGHTS", U::kWellKnownGroup),
        MakeAccount(L"S-1-5-18", nt, L"SYSTEM", U::kWellKnownGroup),
        MakeAccount(L"S-1-5-19", nt, L"LOCAL SERVICE", U::kWellKnownGroup),
        MakeAccount(L"S-1-5-20", nt, L"NETWORK SERVICE", U::kWellKnownGroup),
        MakeAccount(L"S-1-5-11", nt, L"Authenticated Users", U::kWellKnownGroup),
        MakeAccount(L"S-1-5-4", nt, L"INTERACTIVE", U::kWellKnownGroup),
        MakeAccount(kAppPackages, L"APPLICATION PACKAGE AUTHORITY", L"ALL APPLICATION PACKAGES",
                    U::kWellKnownGroup),
        MakeAccount(kTrustedInstaller, L"NT SERVICE", L"TrustedInstaller", U::kWellKnownGroup),
        MakeAccount(L"S-1-5-32-544", builtin, L"Administrators", U::kAlias),
        MakeAccount(L"S-1-5-32-545", builtin, L"Users", U::kAlias),
        MakeAccount(L"S-1-5-32-546", builtin, L"Guests", U::kAlias),
        MakeAccount(L"S-1-5-32-551", builtin, L"Backup Operators", U::kAlias),
        MakeAccount(L"S-1-5-32-555", builtin, L"Remote Desktop Users", U::kAlias),
        MakeAccount(kComputerSid + L"-500", pc, L"Administrator", U::kUser),
        MakeAccount(kComputerSid + L"-501", pc, L"Guest", U::kUser),
        MakeAccount(kAlex, pc, L"Alex", U::kUser),
        MakeAccount(kSam, pc, L"Sam", U::kUser),
        MakeAccount(kDomainSid + L"-512", corp, L"Domain Admins", U::kGroup),
        MakeAccount(kDomainSid + L"-513", corp, L"Domain Users", U::kGroup),
        MakeAccount(kEngineering, corp, L"Engineering", U::kGroup),
        MakeAccount(kFinance, corp, L"Finance", U::kGroup),
        MakeAccount(kDomainSid + L"-1117", corp, L"mchen", U::kUser),
        MakeAccount(kRokafor, corp, L"rokafor", U::kUser),
    };
}

void AddMemberships(SimPlatform& m) {
    const std::pair<const wchar_t*, const wchar_t*> memberships[] = {
        {L"BUILTIN\\Administrators", L"VMPC\\Administrator"},
        {L"BUILTIN\\Administrators", L"VMPC\\Alex"},
        {L"BUILTIN\\Administrators", L"CORP\\Domain Admins"},
        {L"BUILTIN\\Users", L"VMPC\\Alex"},
        {L"BUILTIN\\Users", L"VMPC\\Sam"},
        {L"BUILTIN\\Users", L"NT AUTHORITY\\INTERACTIVE"},
        {L"BUILTIN\\Users", L"NT AUTHORITY\\Authenticated Users"},
        {L"BUILTIN\\Users", L"CORP\\Domain Users"},
        {L"BUILTIN\\Guests", L"VMPC\\Guest"},
        {L"BUILTIN\\Remote Desktop Users", L"CORP\\Engineering"},
        {L"CORP\\Domain Users", L"CORP\\mchen"},
        {L"CORP\\Domain Users", L"CORP\\rokafor"},
        {L"CORP\\Engineering", L"CORP\\mchen"},
        {L"CORP\\Finance", L"CORP\\rokafor"},
    };
    for (const auto& [group, member] : memberships) {
        if (!m.AddToGroup(member, group))
            throw std::runtime_error("membership " + ToUtf8(member) + " of " + ToUtf8(group));
    }
}

// ---- Security texts -------------------------------------------------------------

std::wstring Allow(const std::wstring& flags, const std::wstring& rights, const std::wstring& sid) {
    return L"(A;" + flags + L";" + rights + L";;;" + sid + L")";
}

const std::wstring kReadExecute = L"0x1200a9";
const std::wstring kModify = L"0x1301bf";
// A file of Windows itself: TrustedInstaller may change it, everybody runs it.
const std::wstring kWindowsFileDacl =
    L"D:PAI" + Allow(L"", L"FA", kTrustedInstaller) + Allow(L"", kReadExecute, L"BA") +
    Allow(L"", kReadExecute, L"SY") + Allow(L"", kReadExecute, L"BU") +
    Allow(L"", kReadExecute, kAppPackages);
const std::wstring kProgramFilesDacl =
    L"D:PAI" + Allow(L"", L"FA", kTrustedInstaller) + Allow(L"CIIO", L"GA", kTrustedInstaller) +
    Allow(L"", kModify, L"SY") + Allow(L"OICIIO", L"GA", L"SY") + Allow(L"", kModify, L"BA") +
    Allow(L"OICIIO", L"GA", L"BA") + Allow(L"", kReadExecute, L"BU") +
    Allow(L"OICIIO", L"GXGR", L"BU") + Allow(L"OICIIO", L"GA", L"CO") +
    Allow(L"", kReadExecute, kAppPackages) + Allow(L"OICIIO", L"GXGR", kAppPackages);
const std::wstring kProgramDataDacl =
    L"D:PAI" + Allow(L"OICIIO", L"GA", L"SY") + Allow(L"", L"FA", L"SY") +
    Allow(L"OICIIO", L"GA", L"BA") + Allow(L"", L"FA", L"BA") + Allow(L"OICIIO", L"GA", L"CO") +
    Allow(L"OICI", kReadExecute, L"BU") + Allow(L"CI", L"0x116", L"BU");
const std::wstring kUsersDacl = L"D:PAI" + Allow(L"OICIIO", L"GA", L"SY") +
                                Allow(L"", L"FA", L"SY") + Allow(L"OICIIO", L"GA", L"BA") +
                                Allow(L"", L"FA", L"BA") + Allow(L"", kReadExecute, L"BU") +
                                Allow(L"OICIIO", L"GXGR", L"BU") + Allow(L"", kReadExecute, L"WD") +
                                Allow(L"OICIIO", L"GXGR", L"WD");
const std::wstring kWindowsTempDacl = L"D:PAI" + Allow(L"OICIIO", L"GA", L"CO") +
                                      Allow(L"CI", L"0x100026", L"BU") + Allow(L"", L"FA", L"SY") +
                                      Allow(L"OICIIO", L"GA", L"SY") + Allow(L"", L"FA", L"BA") +
                                      Allow(L"OICIIO", L"GA", L"BA");

// A user profile: SYSTEM, Administrators and its user, all inherited.
std::wstring ProfileDacl(const std::wstring& user) {
    return L"D:PAI" + Allow(L"OICI", L"FA", L"SY") + Allow(L"OICI", L"FA", L"BA") +
           Allow(L"OICI", L"FA", user);
}

// The compatibility junctions of a profile refuse listing to everybody.
std::wstring LegacyJunctionDacl(const std::wstring& user) {
    return L"D:PAI(D;;0x1;;;WD)" + Allow(L"", kReadExecute, L"WD") + Allow(L"", L"FA", L"SY") +
           Allow(L"", L"FA", L"BA") + (user.empty() ? L"" : Allow(L"", L"FA", user));
}

// ---- Building ---------------------------------------------------------------------

uint64_t At(const wchar_t* utc) {
    auto time = ParseFileTime(utc);
    if (!time)
        throw std::runtime_error("bad time " + ToUtf8(utc));
    return *time;
}

constexpr uint64_t kTicksPerDay = 864000000000ull;

// A small deterministic generator, so that the tree is the same on every run.
class Random {
  public:
    uint64_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }
    uint64_t Below(uint64_t bound) { return Next() % bound; }
    uint64_t Between(uint64_t low, uint64_t high) { return low + Below(high - low + 1); }
    std::wstring Hex(size_t digits) {
        std::wstring out;
        while (out.size() < digits)
            out += L"0123456789abcdef"[Below(16)];
        return out;
    }

  private:
    uint64_t state_ = 0x5eed1e55c0ffee11ull;
};

struct Times {
    uint64_t created;
    uint64_t written;
};

class DemoBuilder {
  public:
    DemoBuilder() {
        if (!m_.ReplaceAccounts(DemoAccounts()) || !m_.SetTokenUser(L"VMPC\\Alex"))
            throw std::runtime_error("accounts");
        AddMemberships(m_);
        m_.SetTokenElevated();
    }
    SimPlatform& machine() { return m_; }

    // security: "" inherits as Windows does for a new object, with owner as
    // its owner; otherwise a DACL text ("D:...") under that owner.
    void Folder(const std::wstring& path, Times times, const std::wstring& owner,
                const std::wstring& dacl = L"", uint32_t attributes = 0) {
        Check(m_.AddFolder(path, dacl.empty() ? L"" : L"O:" + owner + dacl), path);
        Finish(path, times, owner, dacl, attributes);
    }
    void File(const std::wstring& path, uint64_t size, Times times, const std::wstring& owner,
              const std::wstring& dacl = L"", uint32_t attributes = 0) {
        Check(m_.AddFile(path, dacl.empty() ? L"" : L"O:" + owner + dacl, size), path);
        Finish(path, times, owner, dacl, attributes);
    }
    void Junction(const std::wstring& path, const std::wstring& target, Times times,
                  const std::wstring& owner, const std::wstring& dacl) {
        Check(m_.AddJunction(path, target, L"O:" + owner + dacl), path);
        Finish(path, times, owner, dacl, attr::kHidden | attr::kSystem);
    }
    // A DACL-only default descriptor (resources 185 to 187) under an owner.
    void DefaultSecurity(const std::wstring& path, int resourceId, const std::wstring& owner) {
        auto bytes = BuildDefaultDescriptor(resourceId);
        auto descriptor = bytes ? SecurityDescriptor::Parse(*bytes) : std::nullopt;
        if (!descriptor)
            throw std::runtime_error("default descriptor");
        descriptor->owner = *Sid::FromString(owner);
        Check(m_.SetSecurity(path, *descriptor), path);
    }
    void Content(const std::wstring& path, Bytes bytes, Times times) {
        Check(m_.SetFileContent(path, std::move(bytes)), path);
        m_.SetTimes(path, times.created, times.written);
    }

  private:
    static void Check(bool done, const std::wstring& path) {
        if (!done)
            throw std::runtime_error("cannot make " + ToUtf8(path));
    }
    // On a volume without security there is no owner to set.
    void Finish(const std::wstring& path, Times times, const std::wstring& owner,
                const std::wstring& dacl, uint32_t attributes) {
        auto descriptor = m_.DescriptorOf(path);
        if (dacl.empty() && descriptor) {
            descriptor->owner = SddlToSid(owner);
            Check(descriptor->owner && m_.SetSecurity(path, *descriptor), path);
        }
        if (attributes != 0)
            Check(m_.SetAttributes(path, attributes), path);
        m_.SetTimes(path, times.created, times.written);
    }

    SimPlatform m_;
};

// ---- The parts of the machine -----------------------------------------------------

const Times kInstalled{At(L"2023-03-14T09:12:44Z"), At(L"2023-03-14T09:12:44Z")};
const Times kUpdated{At(L"2023-03-14T09:20:02Z"), At(L"2024-05-14T18:03:27Z")};

void SystemDrive(DemoBuilder& b) {
    SimPlatform& m = b.machine();
    m.AddVolume(L'C', L"NTFS");
    b.DefaultSecurity(L"C:\\", kDefaultSystemDriveDescriptor, kTrustedInstaller);
    m.SetTimes(L"C:\\", kInstalled.created, At(L"2024-05-30T07:45:10Z"));

    const std::wstring win = L"C:\\Windows";
    b.Folder(win, kUpdated, kTrustedInstaller);
    b.Folder(win + L"\\System32", kUpdated, kTrustedInstaller);
    b.Folder(win + L"\\SysWOW64", kUpdated, kTrustedInstaller);
    for (const auto& folder : {win, win + L"\\System32", win + L"\\SysWOW64"})
        b.DefaultSecurity(folder, kDefaultSystemFolderDescriptor, kTrustedInstaller);
    m.SetWindowsDirectory(win);

    const std::pair<const wchar_t*, uint64_t> files[] = {
        {L"\\explorer.exe", 4925312},
        {L"\\HelpPane.exe", 1079808},
        {L"\\notepad.exe", 201216},
        {L"\\regedit.exe", 370176},
        {L"\\splwow64.exe", 163840},
        {L"\\win.ini", 92},
        {L"\\system.ini", 219},
        {L"\\System32\\advapi32.dll", 711480},
        {L"\\System32\\calc.exe", 27648},
        {L"\\System32\\cmd.exe", 289792},
        {L"\\System32\\icacls.exe", 36352},
        {L"\\System32\\kernel32.dll", 770952},
        {L"\\System32\\mmc.exe", 2186240},
        {L"\\System32\\notepad.exe", 201216},
        {L"\\System32\\ntdll.dll", 2106968},
        {L"\\System32\\shell32.dll", 7637736},
        {L"\\System32\\takeown.exe", 48128},
        {L"\\System32\\user32.dll", 1819064},
        {L"\\System32\\whoami.exe", 73728},
        {L"\\SysWOW64\\cmd.exe", 236544},
        {L"\\SysWOW64\\kernel32.dll", 655360},
        {L"\\SysWOW64\\notepad.exe", 199680},
        {L"\\SysWOW64\\ntdll.dll", 1758128},
        {L"\\SysWOW64\\user32.dll", 1550184},
    };
    for (const auto& [name, size] : files)
        b.File(win + name, size, kUpdated, kTrustedInstaller, kWindowsFileDacl, attr::kArchive);
    b.Folder(win + L"\\System32\\drivers", kUpdated, kTrustedInstaller);
    b.Folder(win + L"\\System32\\drivers\\etc", kInstalled, kTrustedInstaller);
    b.File(win + L"\\System32\\drivers\\etc\\hosts", 824, kInstalled, kTrustedInstaller);
    b.File(win + L"\\System32\\drivers\\etc\\services", 17635, kInstalled, kTrustedInstaller);
    b.File(win + L"\\System32\\drivers\\ntfs.sys", 3407240, kUpdated, kTrustedInstaller,
           kWindowsFileDacl);
    b.Folder(win + L"\\Temp", kUpdated, L"SY", kWindowsTempDacl);

    const std::wstring recycle = L"C:\\$Recycle.Bin";
    b.Folder(recycle, kInstalled, L"SY",
             L"D:PAI" + Allow(L"OICIIO", L"FA", L"SY") + Allow(L"", L"FA", L"SY") +
                 Allow(L"OICIIO", L"FA", L"BA") + Allow(L"", L"FA", L"BA") +
                 Allow(L"", L"0x1201ad", L"BU"),
             attr::kHidden | attr::kSystem);
    b.Folder(recycle + L"\\" + kAlex, kUpdated, kAlex, ProfileDacl(kAlex),
             attr::kHidden | attr::kSystem);
    b.File(recycle + L"\\" + kAlex + L"\\desktop.ini", 129, kInstalled, kAlex, L"",
           attr::kHidden | attr::kSystem | attr::kArchive);
    b.Junction(L"C:\\Documents and Settings", L"C:\\Users", kInstalled, L"SY",
               LegacyJunctionDacl(L""));
}

void ProgramFolders(DemoBuilder& b) {
    for (const std::wstring top : {L"C:\\Program Files", L"C:\\Program Files (x86)"}) {
        b.Folder(top, kUpdated, kTrustedInstaller, kProgramFilesDacl, attr::kReadOnly);
        b.Folder(top + L"\\Common Files", kInstalled, kTrustedInstaller);
        b.Folder(top + L"\\Common Files\\System", kInstalled, kTrustedInstaller);
        b.Folder(top + L"\\Windows NT", kInstalled, kTrustedInstaller);
        b.Folder(top + L"\\Windows NT\\Accessories", kInstalled, kTrustedInstaller);
        b.File(top + L"\\Windows NT\\Accessories\\wordpad.exe", 6491648, kInstalled,
               kTrustedInstaller);
    }
    const Times installed{At(L"2024-02-07T15:31:08Z"), At(L"2024-05-21T08:14:55Z")};
    b.Folder(L"C:\\Program Files\\Velmora", installed, L"BA");
    b.File(L"C:\\Program Files\\Velmora\\velmora.exe", 2318336, installed, L"BA");
    b.Folder(L"C:\\Program Files\\WindowsPowerShell", kInstalled, kTrustedInstaller);
    b.Folder(L"C:\\Program Files\\WindowsPowerShell\\Modules", kInstalled, kTrustedInstaller);

    const std::wstring data = L"C:\\ProgramData";
    b.Folder(data, kUpdated, L"SY", kProgramDataDacl, attr::kHidden);
    b.Folder(data + L"\\Microsoft", kInstalled, L"SY");
    b.Folder(data + L"\\Microsoft\\Windows", kInstalled, L"SY");
    b.Folder(data + L"\\Microsoft\\Windows\\Start Menu", kInstalled, L"SY");
    b.Folder(data + L"\\Microsoft\\Windows\\Start Menu\\Programs", kUpdated, L"SY");
    b.File(data + L"\\Microsoft\\Windows\\Start Menu\\Programs\\Velmora.lnk", 1378, installed,
           L"BA");
    b.Folder(data + L"\\Package Cache", kUpdated, L"BA");
}

// Creates objects as the user's own unelevated programs do: owned by him.
template <class Build>
void AsUser(DemoBuilder& b, const wchar_t* user, Build build) {
    SimPlatform& m = b.machine();
    m.SetTokenUser(user);
    m.SetTokenNotElevated();
    build();
    m.SetTokenUser(L"VMPC\\Alex");
    m.SetTokenElevated();
}

const std::wstring kProfile = L"C:\\Users\\Alex";
const std::wstring kDocuments = kProfile + L"\\Documents";

void UsersFolder(DemoBuilder& b) {
    const Times created{At(L"2023-03-14T09:31:20Z"), At(L"2024-05-30T07:45:12Z")};
    b.Folder(L"C:\\Users", kInstalled, L"SY", kUsersDacl, attr::kReadOnly);
    b.Junction(L"C:\\Users\\All Users", L"C:\\ProgramData", kInstalled, L"SY",
               LegacyJunctionDacl(L""));
    b.Folder(L"C:\\Users\\Default", kInstalled, L"SY",
             L"D:PAI" + Allow(L"OICI", L"FA", L"SY") + Allow(L"OICI", L"FA", L"BA") +
                 Allow(L"OICI", kReadExecute, L"BU") + Allow(L"OICI", kReadExecute, L"WD"),
             attr::kHidden | attr::kReadOnly);
    for (const wchar_t* name : {L"Desktop", L"Documents", L"Downloads"})
        b.Folder(L"C:\\Users\\Default\\" + std::wstring(name), kInstalled, L"SY");
    b.Junction(L"C:\\Users\\Default User", L"C:\\Users\\Default", kInstalled, L"SY",
               LegacyJunctionDacl(L""));
    b.Folder(L"C:\\Users\\Public", kInstalled, L"SY", L"", attr::kReadOnly);
    for (const wchar_t* name : {L"Desktop", L"Documents", L"Downloads", L"Music", L"Pictures"})
        b.Folder(L"C:\\Users\\Public\\" + std::wstring(name), kInstalled, L"SY", L"",
                 attr::kReadOnly);

    // Alex's profile: everything below inherits from it and is his.
    b.Folder(kProfile, created, kAlex, ProfileDacl(kAlex));
    AsUser(b, L"VMPC\\Alex", [&] {
        b.Folder(kProfile + L"\\AppData", created, kAlex, L"", attr::kHidden);
        for (const wchar_t* name : {L"\\Local", L"\\LocalLow", L"\\Roaming", L"\\Local\\Temp"})
            b.Folder(kProfile + L"\\AppData" + name, created, kAlex);
        for (const wchar_t* name :
             {L"Contacts", L"Desktop", L"Documents", L"Downloads", L"Favorites", L"Links", L"Music",
              L"Pictures", L"Saved Games", L"Searches", L"Videos", L"source", L"source\\repos"})
            b.Folder(kProfile + L"\\" + name, created, kAlex, L"",
                     std::wstring(name).starts_with(L"source") ? 0 : attr::kReadOnly);
        b.File(kProfile + L"\\NTUSER.DAT", 3145728, created, kAlex, L"",
               attr::kHidden | attr::kArchive);
        b.File(kProfile + L"\\Desktop\\Velmora.lnk", 1364,
               {At(L"2024-02-07T15:31:40Z"), At(L"2024-02-07T15:31:40Z")}, kAlex);
        b.File(kProfile + L"\\Desktop\\todo.txt", 412,
               {At(L"2024-04-02T08:10:05Z"), At(L"2024-05-29T16:22:41Z")}, kAlex);
        b.Folder(kProfile + L"\\Desktop\\Screenshots",
                 {At(L"2023-11-20T10:00:12Z"), At(L"2024-05-28T13:47:03Z")}, kAlex);
        for (const wchar_t* shot :
             {L"Screenshot 2024-05-28 134703.png", L"Screenshot 2024-04-11 092210.png"})
            b.File(kProfile + L"\\Desktop\\Screenshots\\" + shot, 184233,
                   {At(L"2024-04-11T09:22:10Z"), At(L"2024-05-28T13:47:03Z")}, kAlex);
        const std::pair<const wchar_t*, uint64_t> documents[] = {
            {L"Budget 2024.xlsx", 48215},
            {L"Résumé – Alex Morgan.docx", 31877},
            {L"Meeting notes #3.txt", 2210},
            {L"日本出張メモ.txt", 1530},
        };
        for (const auto& [name, size] : documents)
            b.File(kDocuments + L"\\" + name, size,
                   {At(L"2024-01-15T11:04:31Z"), At(L"2024-05-17T17:12:09Z")}, kAlex);
        b.Folder(kDocuments + L"\\Taxes",
                 {At(L"2023-04-02T19:40:11Z"), At(L"2024-04-12T20:15:44Z")}, kAlex);
        b.File(kDocuments + L"\\Taxes\\2023 return.pdf", 412993,
               {At(L"2024-04-12T20:15:44Z"), At(L"2024-04-12T20:15:44Z")}, kAlex);
        b.Folder(kDocuments + L"\\Taxes\\Receipts",
                 {At(L"2023-04-02T19:40:30Z"), At(L"2024-03-30T10:02:18Z")}, kAlex);
        // Shared with Sam: whoever creates something in it owns it fully.
        b.Folder(kDocuments + L"\\Shared with Sam",
                 {At(L"2024-03-03T12:00:00Z"), At(L"2024-05-10T18:30:00Z")}, kAlex,
                 L"D:AI" + Allow(L"OICIIO", L"GA", L"CO") + Allow(L"OICI", kModify, kSam) +
                     Allow(L"OICIID", L"FA", L"SY") + Allow(L"OICIID", L"FA", L"BA") +
                     Allow(L"OICIID", L"FA", kAlex));
        b.File(kDocuments + L"\\Shared with Sam\\Holiday plan.docx", 22410,
               {At(L"2024-03-03T12:05:00Z"), At(L"2024-05-10T18:30:00Z")}, kAlex);
        for (const auto& [name, target] : {std::pair{L"My Music", L"Music"},
                                           {L"My Pictures", L"Pictures"},
                                           {L"My Videos", L"Videos"}})
            b.Junction(kDocuments + L"\\" + name, kProfile + L"\\" + target, created, kAlex,
                       LegacyJunctionDacl(kAlex));
    });
    AsUser(b, L"VMPC\\Sam", [&] {
        b.File(kDocuments + L"\\Shared with Sam\\Garden ideas.docx", 18034,
               {At(L"2024-04-21T09:14:55Z"), At(L"2024-05-05T10:01:37Z")}, kSam);
    });
    b.Junction(kProfile + L"\\Application Data", kProfile + L"\\AppData\\Roaming", created, L"SY",
               LegacyJunctionDacl(kAlex));

    // Sam's profile, and the one a removed account left behind.
    const Times samCreated{At(L"2023-09-04T08:02:19Z"), At(L"2024-05-27T17:55:02Z")};
    b.Folder(L"C:\\Users\\Sam", samCreated, kSam, ProfileDacl(kSam));
    AsUser(b, L"VMPC\\Sam", [&] {
        for (const wchar_t* name : {L"Desktop", L"Documents", L"Downloads", L"Pictures"})
            b.Folder(L"C:\\Users\\Sam\\" + std::wstring(name), samCreated, kSam, L"",
                     attr::kReadOnly);
        b.File(L"C:\\Users\\Sam\\Documents\\Reading list.txt", 907, samCreated, kSam);
    });
    const Times jordanTimes{At(L"2023-05-22T13:45:00Z"), At(L"2023-12-15T16:20:31Z")};
    b.Folder(L"C:\\Users\\Jordan", jordanTimes, kJordan, ProfileDacl(kJordan));
    for (const wchar_t* name : {L"\\Desktop", L"\\Documents", L"\\Documents\\Handover"})
        b.Folder(L"C:\\Users\\Jordan" + std::wstring(name), jordanTimes, kJordan);
    b.File(L"C:\\Users\\Jordan\\Documents\\Handover\\Open issues.xlsx", 27650, jordanTimes,
           kJordan);
    b.File(L"C:\\Users\\Jordan\\Documents\\Handover\\Passwords - DO NOT SHARE.txt", 311,
           jordanTimes, kJordan);
}

const std::wstring kShared = L"C:\\Shared";

// The shared folders as they stood when the first backup was taken.
void SharedFolders(DemoBuilder& b) {
    const Times times{At(L"2023-05-02T10:20:00Z"), At(L"2024-05-22T14:41:09Z")};
    b.Folder(kShared, times, L"BA",
             L"D:PAI" + Allow(L"OICI", L"FA", L"SY") + Allow(L"OICI", L"FA", L"BA") +
                 Allow(L"OICI", kModify, L"AU"));
    b.Folder(kShared + L"\\Team", times, L"BA",
             L"D:AI" + Allow(L"OICI", kModify, kEngineering) + Allow(L"OICIID", L"FA", L"SY") +
                 Allow(L"OICIID", L"FA", L"BA") + Allow(L"OICIID", kModify, L"AU"));
    for (const wchar_t* name : {L"\\Roadmap 2024.pptx", L"\\Standup notes.docx"})
        b.File(kShared + L"\\Team" + name, 96511, times, kEngineering);
    b.Folder(kShared + L"\\Team\\Architecture", times, kEngineering);
    b.File(kShared + L"\\Team\\Architecture\\Overview.vsdx", 240118, times, kEngineering);
    b.Folder(kShared + L"\\Payroll", times, kRokafor,
             L"D:PAI" + Allow(L"OICI", L"FA", L"SY") + Allow(L"OICI", L"FA", L"BA") +
                 Allow(L"OICI", kModify, kFinance));
    b.Folder(kShared + L"\\Public Drop", times, L"BA");
    for (const wchar_t* name : {L"\\scan0041.pdf", L"\\for Maria.zip"})
        b.File(kShared + L"\\Public Drop" + name, 733201, times, L"AU");
    const Times oldTimes{At(L"2023-05-22T14:00:00Z"), At(L"2023-12-14T11:38:52Z")};
    b.Folder(kShared + L"\\Old Projects", oldTimes, kJordan,
             L"D:PAI" + Allow(L"OICI", L"FA", L"SY") + Allow(L"OICI", L"FA", L"BA") +
                 Allow(L"OICI", L"FA", kJordan) + Allow(L"OICI", kReadExecute, L"AU"));
    b.Folder(kShared + L"\\Old Projects\\Harbor Mobile", oldTimes, kJordan);
    for (const wchar_t* name : {L"\\Requirements v2.docx", L"\\Estimates.xlsx", L"\\Screens.fig"})
        b.File(kShared + L"\\Old Projects\\Harbor Mobile" + name, 55019, oldTimes, kJordan);
}

// What changed after the backups: Alex may no longer list the payroll, the drop
// folder lost its DACL, the tax folder stopped inheriting.
void LaterChanges(DemoBuilder& b) {
    SimPlatform& m = b.machine();
    const std::wstring payroll = kShared + L"\\Payroll";
    m.SetSecurity(payroll, L"O:" + kRokafor + L"D:PAI(D;OICI;0x1;;;" + kAlex + L")" +
                               Allow(L"OICI", L"FA", L"SY") + Allow(L"OICI", L"FA", L"BA") +
                               Allow(L"OICI", kModify, kFinance));
    const Times times{At(L"2024-05-02T08:00:00Z"), At(L"2024-05-31T16:45:12Z")};
    for (const wchar_t* name :
         {L"\\2024-05 payroll.xlsx", L"\\Salaries 2024.xlsx", L"\\Bonus plan (draft).docx"})
        b.File(payroll + name, 61440, times, kRokafor);
    m.SetSecurity(kShared + L"\\Public Drop", L"O:BAD:NO_ACCESS_CONTROL");
    m.SetSecurity(kDocuments + L"\\Taxes", L"O:" + kAlex + L"D:PAI" + Allow(L"OICI", L"FA", L"SY") +
                                               Allow(L"OICI", L"FA", kAlex));
}

struct Backup {
    const wchar_t* file;
    const wchar_t* time;  // local time, as the writer records it
    std::vector<std::wstring> paths;
    Bytes bytes;
};

std::vector<Backup> TakeBackups(SimPlatform& m) {
    std::vector<Backup> backups{
        {L"System folders.SBAK",
         L"2024-03-20 11:02:54",
         {L"C:\\", L"C:\\Windows", L"C:\\Windows\\System32", L"C:\\Windows\\SysWOW64"},
         {}},
        {L"Shared folders 2024-04-18.SBAK",
         L"2024-04-18 16:05:33",
         {kShared, kShared + L"\\Team", kShared + L"\\Payroll", kShared + L"\\Public Drop"},
         {}},
        {L"Profile before cleanup.SBAK",
         L"2024-05-02 09:41:17",
         {kProfile, kProfile + L"\\Desktop", kDocuments, kDocuments + L"\\Taxes"},
         {}},
    };
    for (auto& backup : backups) {
        std::vector<BackupItem> items = CollectBackupItems(m, backup.paths);
        if (items.size() != backup.paths.size())
            throw std::runtime_error("backup items");
        backup.bytes = SerializeBackup(backup.time, items);
    }
    return backups;
}

void StoreBackups(DemoBuilder& b, std::vector<Backup> backups) {
    AsUser(b, L"VMPC\\Alex", [&] {
        for (auto& backup : backups) {
            std::wstring path = kDocuments + L"\\" + backup.file;
            std::wstring time = backup.time;
            time[10] = L'T';
            Times times{At((time + L"Z").c_str()), At((time + L"Z").c_str())};
            b.File(path, 0, times, kAlex);
            b.Content(path, std::move(backup.bytes), times);
        }
    });
}

// ---- The project tree ---------------------------------------------------------------

const wchar_t* const kEntities[] = {L"Product",       L"Warehouse",  L"StockLevel", L"Supplier",
                                    L"PurchaseOrder", L"SalesOrder", L"Shipment",   L"Customer",
                                    L"Invoice",       L"Category",   L"PriceList",  L"Location",
                                    L"Bin",           L"Transfer",   L"Adjustment", L"Return",
                                    L"Carrier",       L"Role",       L"Employee",   L"AuditEntry"};

class ProjectTree {
  public:
    ProjectTree(DemoBuilder& b, std::wstring root) : b_(b), root_(std::move(root)) {}

    void Build() {
        Folder(L"");
        for (const wchar_t* name :
             {L".editorconfig", L".gitattributes", L".gitignore", L"README.md", L"LICENSE",
              L"Larkspur.Inventory.sln", L"Directory.Build.props", L"global.json", L"nuget.config"})
            File(name, 300, 9000);
        Git();
        Docs();
        Samples();
        Sources();
        Tests();
    }
    size_t files() const { return files_; }

  private:
    Times SourceTimes() {
        uint64_t created =
            kStart + random_.Below(340) * kTicksPerDay + random_.Below(86400) * 10000000ull;
        uint64_t written = created + random_.Below(200) * kTicksPerDay;
        return {created, std::min(written, kLastEdit)};
    }
    void Folder(const std::wstring& relative, uint32_t attributes = 0) {
        b_.Folder(Path(relative), {kStart, kLastEdit}, kAlex, L"", attributes);
    }
    void File(const std::wstring& relative, uint64_t low, uint64_t high) {
        b_.File(Path(relative), random_.Between(low, high), SourceTimes(), kAlex);
        ++files_;
    }
    void BuildOutput(const std::wstring& relative, uint64_t low, uint64_t high) {
        b_.File(Path(relative), random_.Between(low, high), {kBuild, kBuild}, kAlex);
        ++files_;
    }
    std::wstring Path(const std::wstring& relative) const {
        return relative.empty() ? root_ : root_ + L"\\" + relative;
    }

    void Git() {
        Folder(L".git", attr::kHidden);
        for (const wchar_t* name : {L"HEAD", L"config", L"description", L"index", L"packed-refs",
                                    L"FETCH_HEAD", L"ORIG_HEAD", L"COMMIT_EDITMSG"})
            File(std::wstring(L".git\\") + name, 20, 40000);
        Folder(L".git\\hooks");
        for (const wchar_t* hook :
             {L"applypatch-msg", L"commit-msg", L"fsmonitor-watchman", L"post-update",
              L"pre-applypatch", L"pre-commit", L"pre-merge-commit", L"pre-push", L"pre-rebase",
              L"pre-receive", L"prepare-commit-msg", L"push-to-checkout", L"update"})
            File(std::wstring(L".git\\hooks\\") + hook + L".sample", 400, 5000);
        for (const wchar_t* folder :
             {L".git\\info", L".git\\logs", L".git\\logs\\refs", L".git\\logs\\refs\\heads",
              L".git\\refs", L".git\\refs\\heads", L".git\\refs\\tags", L".git\\objects",
              L".git\\objects\\info", L".git\\objects\\pack"})
            Folder(folder);
        File(L".git\\info\\exclude", 240, 240);
        File(L".git\\logs\\HEAD", 8000, 30000);
        File(L".git\\logs\\refs\\heads\\main", 4000, 20000);
        File(L".git\\refs\\heads\\main", 41, 41);
        for (int pack = 0; pack < 2; ++pack) {
            std::wstring name = L".git\\objects\\pack\\pack-" + random_.Hex(40);
            File(name + L".idx", 20000, 400000);
            File(name + L".pack", 400000, 9000000);
        }
        std::vector<std::wstring> fanOut;
        for (int object = 0; object < 600; ++object) {
            std::wstring hex = random_.Hex(40);
            std::wstring folder = L".git\\objects\\" + hex.substr(0, 2);
            if (std::find(fanOut.begin(), fanOut.end(), folder) == fanOut.end()) {
                Folder(folder);
                fanOut.push_back(folder);
            }
            if (!b_.machine().Exists(Path(folder + L"\\" + hex.substr(2))))
                File(folder + L"\\" + hex.substr(2), 60, 6000);
        }
    }

    // A stock snapshot per day, the seed data of the local database.
    void Samples() {
        Folder(L"samples");
        Folder(L"samples\\stock-snapshots");
        uint64_t day = At(L"2024-01-01T00:00:00Z");
        for (int i = 0; i < 300; ++i, day += kTicksPerDay) {
            std::wstring date = FormatFileTime(day).substr(0, 10);
            File(L"samples\\stock-snapshots\\" + date + L".csv", 30000, 90000);
        }
    }

    void Docs() {
        Folder(L"docs");
        Folder(L"docs\\adr");
        const wchar_t* decisions[] = {L"record-architecture-decisions", L"use-postgresql",
                                      L"split-api-and-worker",          L"stock-levels-per-bin",
                                      L"outbox-for-integration-events", L"razor-pages-for-admin"};
        int number = 1;
        for (const wchar_t* decision : decisions) {
            wchar_t prefix[8];
            std::swprintf(prefix, 8, L"%04d-", number++);
            File(L"docs\\adr\\" + std::wstring(prefix) + decision + L".md", 1200, 6000);
        }
        Folder(L"docs\\images");
        for (const wchar_t* image : {L"context.png", L"containers.png", L"stock-flow.png"})
            File(std::wstring(L"docs\\images\\") + image, 40000, 300000);
        File(L"docs\\getting-started.md", 2000, 9000);
    }

    void Project(const std::wstring& name,
                 const std::vector<std::pair<std::wstring, std::wstring>>& layout,
                 int dependencies) {
        const std::wstring dir = L"src\\" + name;
        Folder(dir);
        File(dir + L"\\" + name + L".csproj", 800, 3000);
        for (const auto& [folder, pattern] : layout) {
            if (!b_.machine().Exists(Path(dir + L"\\" + folder)))
                Folder(dir + L"\\" + folder);
            for (const wchar_t* entity : kEntities) {
                std::wstring file = pattern;
                file.replace(file.find(L'*'), 1, entity);
                File(dir + L"\\" + folder + L"\\" + file, 600, 14000);
            }
        }
        Output(dir, name, dependencies);
    }

    void Output(const std::wstring& dir, const std::wstring& name, int dependencies) {
        for (const wchar_t* folder : {L"\\bin", L"\\bin\\Debug", L"\\bin\\Debug\\net8.0", L"\\obj",
                                      L"\\obj\\Debug", L"\\obj\\Debug\\net8.0"})
            Folder(dir + folder);
        const std::wstring bin = dir + L"\\bin\\Debug\\net8.0\\";
        for (const wchar_t* ext : {L".dll", L".pdb", L".deps.json", L".runtimeconfig.json"})
            BuildOutput(bin + name + ext, 4000, 400000);
        static const wchar_t* const kLibraries[] = {
            L"Microsoft.Extensions.Configuration",
            L"Microsoft.Extensions.Configuration.Json",
            L"Microsoft.Extensions.DependencyInjection",
            L"Microsoft.Extensions.Hosting",
            L"Microsoft.Extensions.Logging",
            L"Microsoft.Extensions.Logging.Console",
            L"Microsoft.Extensions.Options",
            L"Microsoft.Extensions.Primitives",
            L"Microsoft.EntityFrameworkCore",
            L"Microsoft.EntityFrameworkCore.Relational",
            L"Microsoft.EntityFrameworkCore.Design",
            L"Npgsql",
            L"Npgsql.EntityFrameworkCore.PostgreSQL",
            L"System.Text.Json",
            L"System.IO.Pipelines",
            L"System.Diagnostics.DiagnosticSource",
            L"Larkspur.Shared",
            L"Larkspur.Inventory.Core",
            L"Larkspur.Inventory.Data",
            L"Humanizer",
            L"FluentValidation",
            L"Polly",
            L"Microsoft.OpenApi",
            L"Swashbuckle.AspNetCore.Swagger",
            L"Swashbuckle.AspNetCore.SwaggerGen",
            L"Microsoft.Bcl.AsyncInterfaces",
            L"Microsoft.Extensions.Caching.Memory",
            L"Microsoft.Extensions.Http",
            L"Microsoft.Extensions.Diagnostics.HealthChecks",
            L"System.Reactive",
            L"NodaTime",
            L"Dapper",
            L"Azure.Core",
            L"Azure.Identity",
            L"Microsoft.Identity.Client",
            L"System.Memory.Data",
            L"Microsoft.CodeAnalysis",
            L"Microsoft.CodeAnalysis.CSharp",
            L"Mono.TextTemplating",
            L"xunit.core",
            L"xunit.assert",
            L"xunit.abstractions",
            L"xunit.runner.visualstudio",
            L"Moq",
            L"Castle.Core",
            L"coverlet.collector",
            L"Microsoft.TestPlatform.CoreUtilities",
            L"Microsoft.TestPlatform.PlatformAbstractions",
            L"testhost",
            L"Microsoft.VisualStudio.CodeCoverage.Shim",
            L"NuGet.Frameworks",
        };
        for (int i = 0; i < dependencies && i < static_cast<int>(std::size(kLibraries)); ++i)
            BuildOutput(bin + kLibraries[i] + L".dll", 20000, 3500000);
        const std::wstring obj = dir + L"\\obj\\";
        for (const wchar_t* file : {L"project.assets.json", L"project.nuget.cache"})
            BuildOutput(obj + file, 2000, 200000);
        BuildOutput(obj + name + L".csproj.nuget.g.props", 800, 3000);
        BuildOutput(obj + name + L".csproj.nuget.g.targets", 300, 3000);
        for (const wchar_t* file :
             {L".AssemblyInfo.cs", L".AssemblyInfoInputs.cache", L".assets.cache", L".dll", L".pdb",
              L".GlobalUsings.g.cs", L".csproj.CoreCompileInputs.cache",
              L".csproj.FileListAbsolute.txt", L".sourcelink.json"})
            BuildOutput(obj + L"Debug\\net8.0\\" + name + file, 200, 300000);
    }

    void Sources() {
        Folder(L"src");
        Project(L"Larkspur.Shared", {{L"Results", L"*Result.cs"}, {L"Ids", L"*Id.cs"}}, 4);
        Project(L"Larkspur.Inventory.Core",
                {{L"Domain", L"*.cs"},
                 {L"Services", L"*Service.cs"},
                 {L"Services", L"I*Service.cs"},
                 {L"Validation", L"*Validator.cs"},
                 {L"Events", L"*Changed.cs"}},
                20);
        Project(L"Larkspur.Inventory.Data",
                {{L"Repositories", L"*Repository.cs"},
                 {L"Configurations", L"*Configuration.cs"},
                 {L"Migrations", L"Add*.cs"},
                 {L"Migrations", L"Add*.Designer.cs"}},
                30);
        Project(L"Larkspur.Inventory.Api",
                {{L"Controllers", L"*sController.cs"},
                 {L"Models", L"*Dto.cs"},
                 {L"Models", L"Create*Request.cs"},
                 {L"Models", L"Update*Request.cs"},
                 {L"Mapping", L"*Mapping.cs"}},
                36);
        Project(L"Larkspur.Inventory.Worker",
                {{L"Jobs", L"Sync*Job.cs"}, {L"Handlers", L"*ChangedHandler.cs"}}, 30);
        Project(L"Larkspur.Inventory.Web",
                {{L"Pages", L"*Index.cshtml"},
                 {L"Pages", L"*Index.cshtml.cs"},
                 {L"Pages", L"*Edit.cshtml"},
                 {L"Pages", L"*Edit.cshtml.cs"},
                 {L"Pages", L"*Details.cshtml"},
                 {L"Pages", L"*Details.cshtml.cs"}},
                36);
        const std::wstring web = L"src\\Larkspur.Inventory.Web\\wwwroot";
        for (const wchar_t* folder : {L"", L"\\css", L"\\js", L"\\img", L"\\lib"})
            Folder(web + folder);
        for (const wchar_t* file : {L"\\css\\site.css", L"\\css\\print.css", L"\\js\\site.js",
                                    L"\\js\\stock-chart.js", L"\\favicon.ico"})
            File(web + file, 500, 30000);
        for (const wchar_t* image : {L"logo.svg", L"empty-bin.svg", L"truck.svg", L"warehouse.svg"})
            File(web + L"\\img\\" + image, 800, 12000);
        Library(web + L"\\lib\\bootstrap", L"bootstrap", 20);
        Library(web + L"\\lib\\chart", L"chart", 6);
        Library(web + L"\\lib\\htmx", L"htmx", 4);
    }

    // A front-end package: css and js builds with their maps.
    void Library(const std::wstring& dir, const std::wstring& name, int parts) {
        Folder(dir);
        Folder(dir + L"\\dist");
        Folder(dir + L"\\dist\\css");
        Folder(dir + L"\\dist\\js");
        File(dir + L"\\LICENSE", 1000, 1100);
        for (int part = 0; part < parts; ++part) {
            std::wstring stem = part == 0 ? name : name + L"-part" + std::to_wstring(part);
            for (const wchar_t* ext : {L".css", L".min.css", L".css.map", L".min.css.map"})
                File(dir + L"\\dist\\css\\" + stem + ext, 2000, 600000);
            for (const wchar_t* ext : {L".js", L".min.js", L".js.map", L".min.js.map"})
                File(dir + L"\\dist\\js\\" + stem + ext, 2000, 600000);
        }
    }

    void Tests() {
        Folder(L"tests");
        for (const wchar_t* project :
             {L"Larkspur.Inventory.Core.Tests", L"Larkspur.Inventory.Data.Tests",
              L"Larkspur.Inventory.Api.Tests", L"Larkspur.Inventory.Worker.Tests",
              L"Larkspur.Inventory.Web.Tests"}) {
            const std::wstring dir = std::wstring(L"tests\\") + project;
            Folder(dir);
            File(dir + L"\\" + project + L".csproj", 900, 3000);
            for (const wchar_t* folder : {L"\\Unit", L"\\Integration"}) {
                Folder(dir + folder);
                for (const wchar_t* entity : kEntities)
                    File(dir + folder + L"\\" + entity + L"Tests.cs", 1500, 25000);
            }
            Output(dir, project, 48);
        }
    }

    static constexpr uint64_t kStart = 133310448000000000ull;     // 2023-06-12
    static constexpr uint64_t kLastEdit = 133617024000000000ull;  // 2024-06-02
    static constexpr uint64_t kBuild = 133617873110000000ull;     // 2024-06-03 ~ 0:35
    DemoBuilder& b_;
    std::wstring root_;
    Random random_;
    size_t files_ = 0;
};

// ---- The USB stick --------------------------------------------------------------------

void Stick(DemoBuilder& b) {
    SimPlatform& m = b.machine();
    m.AddVolume(L'D', L"FAT32");
    m.SetTimes(L"D:\\", At(L"2021-11-02T12:00:00Z"), At(L"2021-11-02T12:00:00Z"));
    const Times photos{At(L"2023-08-19T15:02:40Z"), At(L"2023-08-19T15:02:40Z")};
    const std::wstring none;
    b.Folder(L"D:\\System Volume Information", photos, none, L"", attr::kHidden | attr::kSystem);
    b.Folder(L"D:\\Photos 2023", photos, none);
    for (int shot = 0; shot < 14; ++shot) {
        std::wstring name = L"D:\\Photos 2023\\IMG_" + std::to_wstring(4120 + shot * 3) + L".JPG";
        uint64_t at = photos.created + static_cast<uint64_t>(shot) * 3600 * 10000000ull;
        b.File(name, 2100000 + static_cast<uint64_t>(shot) * 73111, {at, at}, none);
    }
    const Times transfer{At(L"2024-05-29T17:40:08Z"), At(L"2024-05-29T17:41:55Z")};
    b.Folder(L"D:\\Transfer", transfer, none);
    b.File(L"D:\\Transfer\\setup notes.txt", 3120, transfer, none);
    b.File(L"D:\\Transfer\\larkspur-inventory 1.4.2.zip", 18837504, transfer, none);
    b.File(L"D:\\Transfer\\Budget 2024.xlsx", 48215, transfer, none);
}

}  // namespace

int Main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_demo_machine <output file>\n";
        return 2;
    }
    DemoBuilder b;
    SystemDrive(b);
    ProgramFolders(b);
    UsersFolder(b);
    SharedFolders(b);
    std::vector<Backup> backups = TakeBackups(b.machine());
    LaterChanges(b);
    StoreBackups(b, std::move(backups));
    ProjectTree project(b, kProfile + L"\\source\\repos\\larkspur-inventory");
    AsUser(b, L"VMPC\\Alex", [&] { project.Build(); });
    Stick(b);

    MachineSaveOptions options;
    options.comment =
        L"The demonstration machine: a Windows PC with the user Alex (an administrator), made\n"
        L"by resources/demo/MakeDemoMachine.cpp (build target make_demo_machine). The format\n"
        L"is described in platform/sim/MachineFile.h.";
    options.descriptorNames = {
        {L"C:\\Windows", L"system-folder"},
        {L"C:\\Windows\\explorer.exe", L"windows-file"},
        {L"C:\\Windows\\System32\\drivers", L"windows-inherited-folder"},
        {L"C:\\Program Files\\Common Files", L"program-files-folder"},
        {kProfile, L"alex-profile"},
        {kDocuments, L"alex-folder"},
        {kDocuments + L"\\Budget 2024.xlsx", L"alex-file"},
        {L"C:\\Users\\Jordan", L"deleted-user-profile"},
        {L"C:\\Users\\Jordan\\Desktop", L"deleted-user-folder"},
    };
    std::string text = SaveMachine(b.machine(), options);
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        std::cerr << "cannot write " << argv[1] << "\n";
        return 1;
    }
    std::cerr << project.files() << " files in the project tree, " << b.machine().Objects().size()
              << " objects, " << text.size() << " bytes\n";
    return 0;
}

}  // namespace vm::sim

int main(int argc, char** argv) {
    try {
        return vm::sim::Main(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "make_demo_machine: " << e.what() << "\n";
        return 1;
    }
}
