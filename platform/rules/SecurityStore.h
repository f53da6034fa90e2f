// What Windows' tree rules (propagation of inheritable entries,
// GetInheritanceSourceW's walk to the ancestors) need of a store of secured
// objects: read one object, its children and its parent, write its DACL back,
// and say whether the caller may open it. The simulated machine and the NTFS
// volumes each implement it over their own objects.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Result.h"
#include "security/SecurityDescriptor.h"

namespace vm::rules {

// One object as the store keeps it.
struct StoredObject {
    // The full path with every name as the store keeps it.
    std::wstring path;
    // Owner, group, the DACL with the DACL bits of the control word, and
    // whatever else the store keeps (a SACL); written back whole.
    SecurityDescriptor security;
    bool isContainer = false;
    // Junctions and symbolic links: never walked into.
    bool isReparsePoint = false;
    // Not 0 when the object's security could not be read: it is passed
    // over, and this is why.
    uint32_t readError = 0;

    bool IsDaclProtected() const { return (security.control & sd_control::kDaclProtected) != 0; }
};

class SecurityStore {
  public:
    virtual ~SecurityStore() = default;

    // The object's folder, or nullopt for a volume's root.
    virtual Result<std::optional<StoredObject>> Parent(const StoredObject& object) = 0;
    // The objects in a folder, in the order the folder lists them.
    virtual Result<std::vector<StoredObject>> Children(const StoredObject& folder) = 0;
    // Writes object.security, which differs from what was read only in the
    // DACL and the DACL bits of its control word.
    virtual Status WriteDacl(const StoredObject& object) = 0;
    // 0 when the caller may open the object for these rights with backup
    // intent (as the security functions open it), else the error.
    virtual uint32_t CheckAccess(const StoredObject& object, uint32_t rights) = 0;
};

}  // namespace vm::rules
