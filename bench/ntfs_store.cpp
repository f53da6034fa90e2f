// Descriptor reads and writes of 10,000 files on a real NTFS volume (an
// image mounted with the FUSE driver), through the volume store and the
// platform, each against a plain getxattr / setxattr loop over the same
// files measured in the same run. Each figure is the best of three rounds.
// Prints one "name: value unit" line per figure.
#include <sys/stat.h>
#include <sys/xattr.h>

#include <fcntl.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "native/ntfs/rig/MountedImage.h"
#include "platform/Utf16.h"
#include "platform/ntfs/NtfsPlatform.h"
#include "security/Sddl.h"

namespace {

using namespace vm;

constexpr int kFiles = 10000;
constexpr int kWrongCaseFiles = 100;
constexpr int kRounds = 3;

double Milliseconds(const std::function<bool()>& round) {
    auto start = std::chrono::steady_clock::now();
    if (!round())
        return -1;
    std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    return took.count();
}

// The best of kRounds rounds of each, the two taking turns, so that both
// meet the same state of the machine.
bool BestOfBoth(const std::function<bool()>& measured, const std::function<bool()>& reference,
                double& measuredBest, double& referenceBest) {
    measuredBest = referenceBest = 0;
    for (int i = 0; i < kRounds; ++i) {
        double m = Milliseconds(measured);
        double r = Milliseconds(reference);
        if (m < 0 || r < 0)
            return false;
        measuredBest = i == 0 ? m : std::min(measuredBest, m);
        referenceBest = i == 0 ? r : std::min(referenceBest, r);
    }
    return true;
}

void Print(const char* name, double value, const char* unit) {
    std::printf("%s: %.2f %s\n", name, value, unit);
}

void PrintPair(const char* name, double measured, const char* referenceName, double reference) {
    Print(name, measured, "ms");
    Print(referenceName, reference, "ms");
    std::string ratio = std::string(name) + "_ratio";
    Print(ratio.c_str(), measured / reference, "x");
}

struct Bench {
    std::vector<std::string> local;
    std::vector<std::wstring> windows;
    Bytes first;
    Bytes second;
};

bool MakeFiles(const std::string& mount, Bench& bench) {
    std::string folder = mount + "/Bench";
    if (mkdir(folder.c_str(), 0777) != 0)
        return false;
    for (int i = 0; i < kFiles; ++i) {
        std::string name = "file" + std::to_string(i) + ".dat";
        bench.local.push_back(folder + "/" + name);
        bench.windows.push_back(L"C:\\Bench\\" + FromUtf8(name));
        int fd = open(bench.local.back().c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
        if (fd < 0)
            return false;
        close(fd);
    }
    return true;
}

}  // namespace

int main() {
    testing::MountedImage image(testing::NtfsRigFolder(), 96);
    if (!image.mounted()) {
        std::fprintf(stderr, "cannot mount an NTFS image: %s\n", image.error().c_str());
        return 1;
    }
    Bench bench;
    bench.first = *SddlToBytes(L"O:BAG:SYD:PAI(A;;FA;;;BA)(A;;FA;;;SY)(A;;0x1200a9;;;BU)");
    bench.second = *SddlToBytes(L"O:BAG:SYD:PAI(A;;FA;;;BA)(A;;FA;;;SY)(A;;0x1301bf;;;AU)");
    if (!MakeFiles(image.mountPath(), bench)) {
        std::fprintf(stderr, "cannot create the files\n");
        return 1;
    }
    ntfs::NtfsPlatform platform;
    if (!platform.store().AddVolume(L'C', image.mountPath()).ok()) {
        std::fprintf(stderr, "the store does not take the volume\n");
        return 1;
    }
    auto& store = platform.store();
    const char* attribute = ntfs::kFuseDescriptorAttribute;
    std::vector<uint8_t> buffer(64 * 1024);

    auto getxattrLoop = [&] {
        for (const auto& path : bench.local)
            if (lgetxattr(path.c_str(), attribute, buffer.data(), buffer.size()) <= 0)
                return false;
        return true;
    };
    auto storeReads = [&] {
        for (const auto& path : bench.windows)
            if (!store.ReadDescriptor(path).ok())
                return false;
        return true;
    };
    auto platformReads = [&] {
        for (const auto& path : bench.windows)
            if (!platform.GetFileSecurity(path, secinfo::kDacl).ok())
                return false;
        return true;
    };
    // Every round writes the other descriptor, so that each write changes it.
    int round = 0;
    auto next = [&]() -> const Bytes& { return (round++ % 2) ? bench.second : bench.first; };
    auto setxattrLoop = [&] {
        const Bytes& value = next();
        for (const auto& path : bench.local)
            if (lsetxattr(path.c_str(), attribute, value.data(), value.size(), 0) != 0)
                return false;
        return true;
    };
    auto storeWrites = [&] {
        const Bytes& value = next();
        for (const auto& path : bench.windows)
            if (!store.WriteDescriptor(path, value).ok())
                return false;
        return true;
    };
    // SetFileSecurityW of a DACL: read, merge, write.
    auto platformWrites = [&] {
        const Bytes& value = next();
        for (const auto& path : bench.windows)
            if (!platform.SetFileSecurity(path, secinfo::kDacl, value).ok())
                return false;
        return true;
    };
    // Names in another case than stored: each is found by reading the folder.
    auto wrongCase = [&] {
        for (int i = 0; i < kWrongCaseFiles; ++i)
            if (!store.ReadDescriptor(L"c:\\BENCH\\FILE" + std::to_wstring(i) + L".DAT").ok())
                return false;
        return true;
    };

    // A folder listing as Browse Mode and the command line ask for it:
    // names, attributes, times and sizes of all 10,000 entries.
    auto listing = [&] {
        auto found = platform.FindFiles(L"C:\\Bench\\*");
        return found.ok() && found->size() == kFiles + 2;
    };

    getxattrLoop();  // warm the kernel's caches once for all
    double read[6], write[4], wrongCaseTime = 0, unused = 0;
    bool ok = BestOfBoth(storeReads, getxattrLoop, read[0], read[1]) &&
              BestOfBoth(platformReads, getxattrLoop, read[2], read[3]) &&
              BestOfBoth(listing, getxattrLoop, read[4], read[5]) &&
              BestOfBoth(storeWrites, setxattrLoop, write[0], write[1]) &&
              BestOfBoth(platformWrites, setxattrLoop, write[2], write[3]) &&
              BestOfBoth(
                  wrongCase, [] { return true; }, wrongCaseTime, unused);
    if (!ok) {
        std::fprintf(stderr, "a read or write failed\n");
        return 1;
    }
    PrintPair("ntfs_store_read_10000", read[0], "ntfs_getxattr_10000", read[1]);
    PrintPair("ntfs_platform_dacl_read_10000", read[2], "ntfs_getxattr_10000", read[3]);
    PrintPair("ntfs_find_files_10000", read[4], "ntfs_getxattr_10000", read[5]);
    PrintPair("ntfs_store_write_10000", write[0], "ntfs_setxattr_10000", write[1]);
    PrintPair("ntfs_platform_dacl_write_10000", write[2], "ntfs_setxattr_10000", write[3]);
    Print("ntfs_store_read_wrong_case_per_file", wrongCaseTime * 1000 / kWrongCaseFiles, "us");
    Print("ntfs_getxattr_per_file", read[1] * 1000 / kFiles, "us");
    return 0;
}
