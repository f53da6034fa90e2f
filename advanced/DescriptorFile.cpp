#include "advanced/DescriptorFile.h"

#include "files/FileIo.h"
#include "security/Ownership.h"
#include "security/SecurityAccess.h"

namespace vm {

bool RefuseExportWithPendingChanges(bool changesPending, Reporter& reporter) {
    if (!changesPending)
        return false;
    reporter.Tell(kSaveChangesFirstText, MessageIcon::kInformation);
    return true;
}

Status ExportHeldDescriptor(const std::wstring& file, const Bytes& descriptor) {
    return WriteFileReplacing(file, descriptor);
}

ExportResult ExportDescriptorOfPath(Engine& engine, const std::wstring& path,
                                    const std::wstring& file) {
    const std::optional<Sid> savedOwner = TakeOwnership(engine, path);
    std::optional<Bytes> descriptor = ReadDaclDescriptor(engine.platform(), path);
    // The owner goes back by SID whether or not the read worked.
    GiveOwnerBack(engine, path, savedOwner);
    if (!descriptor)
        return {ExportOutcome::kReadFailed, 0};
    Status written = WriteFileReplacing(file, *descriptor);
    if (!written)
        return {ExportOutcome::kWriteFailed, written.error};
    return {};
}

std::optional<Bytes> ReadDescriptorFile(const std::wstring& file) {
    return ReadWholeFile(file);
}

LoadedAceEntries ImportDescriptorEntries(Platform& platform, const Bytes& bytes, bool isContainer) {
    LoadedAceEntries loaded = LoadAceEntries(platform, L"", &bytes, isContainer);
    MergeAceEntries(loaded.entries);
    return loaded;
}

}  // namespace vm
