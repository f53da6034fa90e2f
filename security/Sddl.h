// Security descriptor strings for the subset the program meets, read and
// written: owner "O:", group "G:", DACL "D:" and SACL "S:" with the flags P,
// AI and AR (or NO_ACCESS_CONTROL for a NULL ACL); entries
// "(type;flags;rights;object;inherited object;SID)" of the types A, D, AU,
// OA and OD (an object entry with both GUID fields empty is an object entry
// whose flags say no GUID is present); flags OI, CI, NP, IO, ID (and SA, FA,
// CR); rights as the two-letter aliases of MS-DTYP 2.5.1.1, concatenated, or
// as a number ("0x" hex, a leading "0" octal, else decimal); SIDs as the
// aliases that do not depend on a domain (WD, SY, BA, OW, ...) or in full
// ("S-1-5-32-544"). The writer uses an alias only where the mask equals one
// of FA FR FW FX GA GR GW GX RC SD WD WO, else hex.
//
// It is what tests, diagnostics and the command line speak. A descriptor
// without "D:" has no DACL at all; "D:" alone is an empty DACL;
// "D:NO_ACCESS_CONTROL" is a NULL DACL.
#pragma once

#include <optional>
#include <string>

#include "security/SecurityDescriptor.h"

namespace vm {

// The whole descriptor. On failure, error says what and at which character.
std::optional<SecurityDescriptor> SddlToDescriptor(const std::wstring& sddl,
                                                   ParseError* error = nullptr);
// Self-relative bytes of an SDDL text, or nullopt.
std::optional<Bytes> SddlToBytes(const std::wstring& sddl, ParseError* error = nullptr);
// The descriptor as text: sections O, G, D, S in that order, aliases where one
// exists. Control bits other than the ACL flags are not expressed. Entries
// the subset cannot express (types other than A, D, AU, OA, OD, or entries
// with trailing data) are written as "(0xTT;flags;mask;;;SID)" for
// diagnostics; the reader refuses that form.
std::wstring DescriptorToSddl(const SecurityDescriptor& descriptor);

// An ACL written as the entries of a "D:" section ("(A;;FA;;;BA)(D;;WD;;;WD)"),
// revision 2 (4 when it holds object entries), sized to its entries.
std::optional<Acl> SddlToAcl(const std::wstring& entries, ParseError* error = nullptr);
std::wstring AclToSddl(const Acl& acl);

// One entry with its parentheses.
std::optional<Ace> SddlToAce(const std::wstring& entry, ParseError* error = nullptr);
std::wstring AceToSddl(const Ace& ace);

// A SID alias or full SID string.
std::optional<Sid> SddlToSid(const std::wstring& text);
std::wstring SidToSddl(const Sid& sid);

// Rights: concatenated aliases ("RCWD") or a number ("0x1200A9", "2032127",
// "07600000").
std::optional<uint32_t> SddlToMask(const std::wstring& text);
// An alias when the mask equals one exactly, else "0x" and lowercase hex.
std::wstring MaskToSddl(uint32_t mask);

}  // namespace vm
