#include "cli/VolumeHost.h"

#include "platform/Utf16.h"

namespace vm::cli {

Host::Opened VolumeHost::Open(const CliOptions& options) {
    if (options.volumes.empty())
        return {nullptr, L"no volume: give --volume C=PATH for each NTFS volume", kExitUsage};
    for (const auto& text : options.volumes) {
        std::string error;
        auto volume = ntfs::ParseVolumeOption(ToUtf8(text), &error);
        if (!volume)
            return {nullptr, FromUtf8(error), kExitUsage};
        Status added = platform_.store().AddVolume(volume->letter, volume->mountPath);
        if (!added.ok())
            return {nullptr,
                    L"--volume " + text + L": " + platform_.ErrorText(added.error) +
                        (added.error == err::kNotSupported
                             ? L" (no NTFS volume, or its driver does not show descriptors)"
                             : L""),
                    kExitItemFailed};
    }
    platform_.LoadInstallation();
    // The command line shows no times or sizes: its folder walks read names
    // and kinds only.
    platform_.SetLeanListings(true);
    return {&platform_, L"", kExitSuccess};
}

std::optional<Result<std::vector<FindData>>> VolumeHost::ListNames(const std::wstring& folder) {
    using Entries = std::vector<FindData>;
    auto names = platform_.store().ListNames(folder);
    if (!names.ok())
        return Result<Entries>::Fail(names.error());
    Entries entries;
    for (const auto& named : *names) {
        FindData data;
        data.name = named.name;
        data.attributes = (named.isDirectory ? attr::kDirectory : 0u) |
                          (named.isReparsePoint ? attr::kReparsePoint : 0u);
        entries.push_back(std::move(data));
    }
    return Result<Entries>(std::move(entries));
}

}  // namespace vm::cli
