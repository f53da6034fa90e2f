// The host of velmora-cli on Linux: NTFS volumes mounted on this machine,
// each mapped to a drive letter with --volume C=PATH, as one platform.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/CliRun.h"
#include "platform/ntfs/NtfsPlatform.h"

namespace vm::cli {

class VolumeHost final : public Host {
  public:
    // The volumes of --volume; the installation's accounts where a volume
    // holds Windows with readable hives (else only the well-known accounts
    // resolve, and other accounts show as SID strings).
    Opened Open(const CliOptions& options) override;
    void KeepReads(bool on) override { platform_.KeepReads(on); }
    std::vector<std::pair<std::wstring, uint32_t>> LostWrites() override {
        return platform_.TakeLostWrites();
    }
    // The folder's names with the kinds the listing tells, no call per entry.
    std::optional<Result<std::vector<FindData>>> ListNames(const std::wstring& folder) override;

    ntfs::NtfsPlatform& platform() { return platform_; }

  private:
    ntfs::NtfsPlatform platform_;
};

}  // namespace vm::cli
