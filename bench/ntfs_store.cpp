// Descriptor reads and writes of 10,000 files on a real NTFS volume (an
// image mounted with the FUSE driver), through the volume store and the
// platform, each against a plain getxattr / setxattr loop over the same
// files measured in the same run, the two taking turns.
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

constexpr size_t kFiles = 10000;
constexpr size_t kWrongCaseFiles = 100;
constexpr int kRounds = 3;

using Clock = std::chrono::steady_clock;
using PerFile = std::function<bool(size_t)>;

double Milliseconds(Clock::duration span) {
    return std::chrono::duration<double, std::milli>(span).count();
}

// The measured operation and the reference take turns on chunks of 100
// files, so that both meet the same state of a machine whose speed varies;
// which of them goes first changes from chunk to chunk, so that neither
// always finds the files' names already looked up by the other. Each figure
// is the best total of kRounds rounds over all files.
bool Interleaved(const PerFile& measured, const PerFile& reference, double& measuredBest,
                 double& referenceBest) {
    constexpr size_t kChunk = 100;
    auto run = [](const PerFile& operation, size_t from, Clock::duration& total) {
        auto start = Clock::now();
        for (size_t i = from; i < from + kChunk; ++i)
            if (!operation(i))
                return false;
        total += Clock::now() - start;
        return true;
    };
    for (int round = 0; round < kRounds; ++round) {
        Clock::duration m{}, r{};
        for (size_t from = 0; from < kFiles; from += kChunk) {
            bool measuredFirst = (from / kChunk) % 2 == 0;
            bool ok = measuredFirst ? run(measured, from, m) && run(reference, from, r)
                                    : run(reference, from, r) && run(measured, from, m);
            if (!ok)
                return false;
        }
        measuredBest = round == 0 ? Milliseconds(m) : std::min(measuredBest, Milliseconds(m));
        referenceBest = round == 0 ? Milliseconds(r) : std::min(referenceBest, Milliseconds(r));
    }
    return true;
}

// For what cannot be cut into chunks: whole runs taking turns.
bool Alternating(const std::function<bool()>& measured, const std::function<bool()>& reference,
                 double& measuredBest, double& referenceBest) {
    for (int round = 0; round < kRounds; ++round) {
        auto start = Clock::now();
        if (!measured())
            return false;
        auto middle = Clock::now();
        if (!reference())
            return false;
        double m = Milliseconds(middle - start), r = Milliseconds(Clock::now() - middle);
        measuredBest = round == 0 ? m : std::min(measuredBest, m);
        referenceBest = round == 0 ? r : std::min(referenceBest, r);
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
    for (size_t i = 0; i < kFiles; ++i) {
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

    auto getxattr = [&](size_t i) {
        return lgetxattr(bench.local[i].c_str(), attribute, buffer.data(), buffer.size()) > 0;
    };
    auto storeRead = [&](size_t i) { return store.ReadDescriptor(bench.windows[i]).ok(); };
    auto platformRead = [&](size_t i) {
        return platform.GetFileSecurity(bench.windows[i], secinfo::kDacl).ok();
    };
    // The two sides write different descriptors, so that every write
    // changes the file's descriptor.
    auto setxattr = [&](size_t i) {
        const Bytes& value = bench.second;
        return lsetxattr(bench.local[i].c_str(), attribute, value.data(), value.size(), 0) == 0;
    };
    auto storeWrite = [&](size_t i) {
        return store.WriteDescriptor(bench.windows[i], bench.first).ok();
    };
    // SetFileSecurityW of a DACL: read, merge, write.
    auto platformWrite = [&](size_t i) {
        return platform.SetFileSecurity(bench.windows[i], secinfo::kDacl, bench.first).ok();
    };
    // Names in another case than stored: each is found by reading the folder.
    auto wrongCaseRead = [&](size_t i) {
        return i >= kWrongCaseFiles ||
               store.ReadDescriptor(L"c:\\BENCH\\FILE" + std::to_wstring(i) + L".DAT").ok();
    };
    // A folder listing as Browse Mode and the command line ask for it:
    // names, attributes, times and sizes of all 10,000 entries.
    auto listing = [&] {
        auto found = platform.FindFiles(L"C:\\Bench\\*");
        return found.ok() && found->size() == kFiles + 2;
    };
    auto getxattrLoop = [&] {
        for (size_t i = 0; i < kFiles; ++i)
            if (!getxattr(i))
                return false;
        return true;
    };

    getxattrLoop();  // warm the kernel's caches once for all
    double read[6], write[4], wrongCaseTime = 0, unused = 0;
    bool ok = Interleaved(storeRead, getxattr, read[0], read[1]) &&
              Interleaved(platformRead, getxattr, read[2], read[3]) &&
              Alternating(listing, getxattrLoop, read[4], read[5]) &&
              Interleaved(storeWrite, setxattr, write[0], write[1]) &&
              Interleaved(platformWrite, setxattr, write[2], write[3]) &&
              Interleaved(
                  wrongCaseRead, [](size_t) { return true; }, wrongCaseTime, unused);
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
