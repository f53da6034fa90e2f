#include "platform/rules/GenericMapping.h"

#include "security/Rights.h"

namespace vm::rules {

namespace {

constexpr uint32_t kGenericBits =
    access::kGenericAll | access::kGenericExecute | access::kGenericWrite | access::kGenericRead;

}  // namespace

uint32_t MapGenericFileRights(uint32_t mask) {
    const GenericMapping& map = kFileGenericMapping;
    uint32_t mapped = mask & ~kGenericBits;
    if (mask & access::kGenericRead)
        mapped |= map.read;
    if (mask & access::kGenericWrite)
        mapped |= map.write;
    if (mask & access::kGenericExecute)
        mapped |= map.execute;
    if (mask & access::kGenericAll)
        mapped |= map.all;
    return mapped;
}

bool HasGenericRights(uint32_t mask) {
    return (mask & kGenericBits) != 0;
}

AclSlot MapGenericRightsOnWrite(const AclSlot& dacl) {
    // Where the rule comes from:
    // - Samba's torture suite run against Windows servers
    //   (source4/torture/raw/acls.c, test_generic_bits) writes a DACL whose
    //   entry holds GENERIC_READ, _WRITE, _EXECUTE or _ALL on a file and on a
    //   folder and reads back FILE_GENERIC_READ, _WRITE, _EXECUTE and
    //   FILE_ALL_ACCESS;
    // - Wine's tests, which pass on Windows (advapi32 test_GetNamedSecurityInfoA
    //   and test_GetSecurityInfo), read 0x1F01FF back after
    //   SetNamedSecurityInfoA / SetSecurityInfo wrote GENERIC_ALL; kernel32's
    //   directory test creates a folder with (OI)(CI) GENERIC_ALL entries and
    //   reads one entry per trustee, still (OI)(CI), with 0x1F01FF: the
    //   entry is mapped in place, not split;
    // - MS-DTYP 2.5.3.4.7 PostProcessACL applies the generic mapping to the
    //   explicit entries of a new ACL;
    // - "ACE Inheritance Rules": an inherit-only entry keeps its generic
    //   rights so that the next generation maps them.
    // Samba's test_creator_sid shows an explicit CREATOR OWNER entry written
    // to a file granting the owner nothing: creator SIDs stay as written.
    if (!dacl.acl)
        return dacl;
    AclSlot stored = dacl;
    for (Ace& ace : stored.acl->aces) {
        if (ace.HasMaskSidLayout() && !ace.IsInheritOnly())
            ace.mask = MapGenericFileRights(ace.mask);
    }
    return stored;
}

}  // namespace vm::rules
