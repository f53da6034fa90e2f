// Turning inheritance off and on for one object, engine side: what the three
// answers to the "Windows Security" question do to the rows of the Advanced
// dialog, and the order in which Apply writes the object.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "security/Acl.h"
#include "security/Engine.h"

namespace vm {

// End codes of the question asked when inheritance is switched off.
enum class InheritanceChoice : int {
    kConvert = 1,      // "Convert and add inherited parent permissions as explicit ..."
    kDoNotModify = 2,  // "Do not modify inheritance settings at this time" (also the close box)
    kRemove = 3,       // "Remove inherited parent permissions from this object"
};

// The rows the choice works on. The Advanced dialog's row model adapts to
// it; rows are addressed by index, 0 first.
class InheritanceRows {
  public:
    virtual ~InheritanceRows() = default;
    virtual size_t RowCount() const = 0;
    // The "Inherited From" column is not empty.
    virtual bool HasInheritedFrom(size_t row) const = 0;
    // The first column is not empty: the row carries an entry, not only the
    // rights of one.
    virtual bool IsEntryRow(size_t row) const = 0;
    virtual void ClearInheritedFlag(size_t row) = 0;
    virtual void ClearInheritedFrom(size_t row) = 0;
    // Deletes the row; an entry row releases its entry data first.
    virtual void DeleteRow(size_t row) = 0;
};

// An object shows inheritance as on when at least one entry carries
// INHERITED_ACE; the protected bit is not read.
bool ShowsInheritance(const Acl& dacl);

// Whether clearing the box must ask: some row has an "Inherited From" text.
bool HasInheritedRows(const InheritanceRows& rows);

// Convert: rows with an "Inherited From" text, first to last, lose it, and
// entry rows among them lose their inherited flag. Remove: those rows are
// deleted, last to first. Do not modify: nothing changes.
void ApplyInheritanceChoice(InheritanceRows& rows, InheritanceChoice choice);

// One explicit entry as the Advanced dialog writes it (rows of one trustee
// already merged).
struct ExplicitEntry {
    std::wstring trustee;
    uint32_t mask = 0;
    uint8_t type = ace_type::kAccessAllowed;
    uint8_t flags = 0;
};

// Apply of the Advanced dialog: "Administrators" takes ownership, the
// object's whole new DACL is written once, then `owner` is set. The DACL is
// the explicit entries (each resolved and sorted in as AddAccessEntry does)
// written through SetNamedSecurityInfoW, which carries the change to every
// child ("Automatic Propagation of Inheritable ACEs"): with
// includeInheritable unprotected, so that the entries the parent passes on
// follow the explicit ones and inheritance stays on; without, protected.
// With the box cleared and no explicit entry the object ends with an empty
// DACL, which is what the empty list shows (never a NULL DACL that would open
// it to everybody). A trustee that does not resolve, or a refused write,
// changes no DACL and returns the error; the owner is set either way.
Status ApplyInheritanceAndEntries(Engine& engine, const std::wstring& path, bool includeInheritable,
                                  const std::vector<ExplicitEntry>& entries,
                                  const std::wstring& owner);

}  // namespace vm
