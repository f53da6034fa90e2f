// Export and import of one DACL descriptor as a file of its own: the
// self-relative bytes exactly as GetFileSecurityW gives them for the DACL
// alone, with no header of ours.
#pragma once

#include <optional>
#include <string>

#include "advanced/AceEntries.h"
#include "platform/Platform.h"
#include "platform/Reporter.h"
#include "resources/strings.h"
#include "security/Engine.h"

namespace vm {

inline constexpr const wchar_t* kDescriptorFileFilter = L"*.*||";
// String 207.
inline constexpr const wchar_t* kSaveChangesFirstText = L"" STR_SAVE_CHANGES_FIRST;

// Export is refused while the dialog holds unwritten changes: string 207 is
// told and true returned.
bool RefuseExportWithPendingChanges(bool changesPending, Reporter& reporter);

// Read-only view: the held descriptor is written as it is.
Status ExportHeldDescriptor(const std::wstring& file, const Bytes& descriptor);

enum class ExportOutcome { kWritten, kReadFailed, kWriteFailed };
struct ExportResult {
    ExportOutcome outcome = ExportOutcome::kWritten;
    uint32_t error = 0;  // the file error of kWriteFailed
};

// Live object: "Administrators" becomes the owner so that the DACL can be
// read, the previous owner comes back (also when the read failed), and the
// descriptor is written. Nothing is written when it cannot be read, so an
// existing file keeps its content.
ExportResult ExportDescriptorOfPath(Engine& engine, const std::wstring& path,
                                    const std::wstring& file);

// The bytes of a descriptor file; nullopt when it cannot be opened.
std::optional<Bytes> ReadDescriptorFile(const std::wstring& file);

// The entries of imported bytes, merged, for the dialog's container flag.
// Bytes that are not a well-formed descriptor with a DACL give kAcesNoDacl
// (no rows, string 195); inherited entries show "Parent Object".
LoadedAceEntries ImportDescriptorEntries(Platform& platform, const Bytes& bytes, bool isContainer);

}  // namespace vm
