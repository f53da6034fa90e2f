// Machine description files: one UTF-8 text describes a whole simulated
// machine, and a machine is written back as such a text. Loading builds a new
// machine and hands it over only when every line was taken; a bad line gives
// its number and what is wrong with it, and nothing else.
//
// One statement per line; fields as platform/sim/MachineText.h says (paths
// with spaces in double quotes, '#' starts a comment, CR LF or LF, an
// optional byte-order mark). Statements, in the order they may come:
//
//   machine 1                          the format and its version; first
//   windows C:\Windows                 Windows directory (System32 and, on a
//                                      64-bit machine, SysWOW64 below it)
//   architecture 64-bit                or 32-bit
//   account SID DOMAIN NAME USE        DOMAIN is "" for Everyone and the like;
//                                      USE: user group domain alias
//                                      well-known-group deleted-account invalid
//                                      unknown computer label
//   member GROUP MEMBER                direct membership
//   user ACCOUNT elevated|filtered     who runs the program, and the token he
//                                      has: groups and privileges follow from
//                                      the accounts unless the lines below say
//   token-group ACCOUNT enabled|disabled [deny-only] [owner]
//   privilege NAME enabled|disabled    a privilege the token holds
//   default-owner ACCOUNT              owner of the objects the process makes
//   descriptor @NAME SECURITY          a security text objects refer to
//   volume C: NTFS                     a drive; then the objects on it
//   folder PATH ATTRIBUTES CREATED WRITTEN SECURITY
//   file PATH ATTRIBUTES CREATED WRITTEN SIZE SECURITY
//   data BASE64                        bytes of the file above, in order; all
//                                      its data lines together hold SIZE bytes
//   junction PATH ATTRIBUTES CREATED WRITTEN TARGET SECURITY
//
// ACCOUNT is "DOMAIN\name", a bare name, or a SID string ("S-1-5-32-544"),
// naming an account described above. Without account lines the machine keeps
// the simulator's own accounts and user; with them, they are all it has, and
// a user line is needed. Accounts and the token come before the first volume.
//
// Objects: a folder's line comes before the lines of what is in it, and a
// PATH ".\name" names an object in the folder of the last folder line; a root
// ("C:\") may be described once, before anything else on its volume, else it
// keeps the volume's default. ATTRIBUTES are FILE_ATTRIBUTE_* bits in hex
// ("0x10"), the directory and reparse-point bits matching the kind; CREATED
// and WRITTEN are UTC times ("2023-09-14T08:31:07Z", a fraction of a second
// as ".1234567" before the Z); SIZE is decimal.
//
// SECURITY is the owner, group and DACL with its P/AI/AR flags as an SDDL
// text without spaces ("O:BAD:PAI(A;OICI;FA;;;SY)"), or "@NAME", or
// "binary:" and base64 of a self-relative descriptor (written for what SDDL
// cannot hold exactly), or "-": none given, which is the only choice on a
// volume without security and on NTFS makes the object as Windows does for
// a process that gives no descriptor (owner and inherited entries).
//
// What a machine is written as: every account, the token in full, each
// security text used more than once as a numbered descriptor, and every
// object; loading that text gives the same machine, byte for byte.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/sim/SimPlatform.h"

namespace vm::sim {

inline constexpr int kMachineFileVersion = 1;

struct MachineLoad {
    std::unique_ptr<SimPlatform> machine;  // null when the text was refused
    size_t errorLine = 0;                  // 1-based; 0 for the text as a whole
    std::wstring error;                    // "line 12: ..." or a whole-text message
    bool ok() const { return machine != nullptr; }
};

// Builds a machine from the text (UTF-8 bytes, as read from a file or a
// resource). Call counters of the new machine start at zero.
MachineLoad LoadMachine(std::string_view text);

struct MachineSaveOptions {
    // Lines written first, each as a comment.
    std::wstring comment;
    // Names for the security of these objects (path to "system-folder"):
    // every object with the same security refers to it as @system-folder.
    // Other security used more than once is numbered (@d1, @d2, ...).
    std::map<std::wstring, std::wstring> descriptorNames;
};

// The machine as text (UTF-8, LF line ends).
std::string SaveMachine(const SimPlatform& machine, const MachineSaveOptions& options = {});

}  // namespace vm::sim
