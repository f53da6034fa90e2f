// velmora-cli on a real NTFS volume (an image mounted with the FUSE driver)
// over 10,000 files, each figure against a plain loop of the system call
// over the same files in the same run:
// - `replace-children --mode copy` against a setxattr loop writing one
//   descriptor onto every file, with the files owned by another account than
//   "Administrators" (the copy writes owner and DACL: two writes per file)
//   and with them owned by it already (the owner write changes nothing and
//   is left out);
// - `show FOLDER\*` against a getxattr loop reading every file's descriptor.
// The files lie in 100 folders of 100; the program runs once per folder, in
// this process over the same host as on the command line, taking turns
// with the reference over the same folder (which goes first changes from
// folder to folder), so that both meet the same state of a machine whose
// speed varies. Each figure is the best total of kRounds rounds.
// Then the same as one run each, as an administrator would type them: the
// copy over the whole tree of 100 folders and 10,000 files, and `show` of
// one folder of 10,000 entries, each against its loop over the same files
// (which goes first changes from round to round).
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

#include "cli/VolumeHost.h"
#include "native/ntfs/rig/MountedImage.h"
#include "platform/Utf16.h"
#include "security/Sddl.h"

namespace {

using namespace vm;

constexpr size_t kFolders = 100;
constexpr size_t kFilesPerFolder = 100;
constexpr int kRounds = 3;
constexpr const char* kAttribute = "system.ntfs_acl";

using Clock = std::chrono::steady_clock;
using PerFolder = std::function<bool(size_t)>;

double Milliseconds(Clock::duration span) {
    return std::chrono::duration<double, std::milli>(span).count();
}

// prepare runs untimed before each measured folder.
bool Interleaved(const PerFolder& prepare, const PerFolder& measured, const PerFolder& reference,
                 double& measuredBest, double& referenceBest) {
    auto time = [](const PerFolder& run, size_t folder, Clock::duration& total) {
        auto start = Clock::now();
        bool ok = run(folder);
        total += Clock::now() - start;
        return ok;
    };
    for (int round = 0; round < kRounds; ++round) {
        Clock::duration m{}, r{};
        for (size_t folder = 0; folder < kFolders; ++folder) {
            auto timeMeasured = [&] { return prepare(folder) && time(measured, folder, m); };
            bool ok = (folder + round) % 2 == 0 ? timeMeasured() && time(reference, folder, r)
                                                : time(reference, folder, r) && timeMeasured();
            if (!ok)
                return false;
        }
        measuredBest = round == 0 ? Milliseconds(m) : std::min(measuredBest, Milliseconds(m));
        referenceBest = round == 0 ? Milliseconds(r) : std::min(referenceBest, Milliseconds(r));
    }
    return true;
}

// One measured run and one reference run per round; prepare runs untimed
// right before each measured run.
bool Alternating(const std::function<bool()>& prepare, const std::function<bool()>& measured,
                 const std::function<bool()>& reference, double& measuredBest,
                 double& referenceBest) {
    auto time = [](const std::function<bool()>& run, double& best, int round) {
        auto start = Clock::now();
        bool ok = run();
        double spent = Milliseconds(Clock::now() - start);
        best = round == 0 ? spent : std::min(best, spent);
        return ok;
    };
    for (int round = 0; round < kRounds; ++round) {
        auto timeMeasured = [&] { return prepare() && time(measured, measuredBest, round); };
        bool ok = round % 2 == 0 ? timeMeasured() && time(reference, referenceBest, round)
                                 : time(reference, referenceBest, round) && timeMeasured();
        if (!ok)
            return false;
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

class Silent final : public cli::Console {
  public:
    void Out(const std::wstring&) override {}
    void Err(const std::wstring& text) override { errors += text; }
    bool ShowsProgress() const override { return false; }
    void Progress(const std::wstring&) override {}
    std::wstring errors;
};

std::string FolderName(size_t folder) {
    char name[8];
    std::snprintf(name, sizeof name, "D%03zu", folder);
    return name;
}

// The files of each folder, by folder.
bool MakeFiles(const std::string& root, const Bytes& folderDescriptor,
               std::vector<std::vector<std::string>>& files) {
    if (mkdir(root.c_str(), 0777) != 0)
        return false;
    for (size_t folder = 0; folder < kFolders; ++folder) {
        std::string path = root + "/" + FolderName(folder);
        if (mkdir(path.c_str(), 0777) != 0 ||
            lsetxattr(path.c_str(), kAttribute, folderDescriptor.data(), folderDescriptor.size(),
                      0) != 0)
            return false;
        files.emplace_back();
        for (size_t i = 0; i < kFilesPerFolder; ++i) {
            files.back().push_back(path + "/file" + std::to_string(i) + ".dat");
            int fd = open(files.back().back().c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
            if (fd < 0)
                return false;
            close(fd);
        }
    }
    return true;
}

// One folder of kFolders * kFilesPerFolder files.
bool MakeFlatFolder(const std::string& path, std::vector<std::string>& files) {
    if (mkdir(path.c_str(), 0777) != 0)
        return false;
    for (size_t i = 0; i < kFolders * kFilesPerFolder; ++i) {
        files.push_back(path + "/entry" + std::to_string(i) + ".dat");
        int fd = open(files.back().c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
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
    // Each folder's own descriptor, which the copy writes onto its files,
    // and what the files hold before each copy: owned by SYSTEM, or by
    // "Administrators" already.
    Bytes folder = *SddlToBytes(L"O:BAG:SYD:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;FR;;;BU)");
    Bytes otherOwner = *SddlToBytes(L"O:SYG:SYD:PAI(A;;FA;;;BA)(A;;FA;;;SY)(A;;0x1301bf;;;AU)");
    Bytes sameOwner = *SddlToBytes(L"O:BAG:SYD:PAI(A;;FA;;;BA)(A;;FA;;;SY)(A;;0x1301bf;;;AU)");
    std::vector<std::vector<std::string>> files;
    std::vector<std::string> flatFiles;
    std::string benchRoot = image.mountPath() + "/Bench";
    if (!MakeFiles(benchRoot, folder, files) ||
        lsetxattr(benchRoot.c_str(), kAttribute, folder.data(), folder.size(), 0) != 0 ||
        !MakeFlatFolder(image.mountPath() + "/Flat", flatFiles)) {
        std::fprintf(stderr, "cannot create the files\n");
        return 1;
    }
    auto writeAll = [&](size_t folderIndex, const Bytes& value) {
        for (const auto& path : files[folderIndex])
            if (lsetxattr(path.c_str(), kAttribute, value.data(), value.size(), 0) != 0)
                return false;
        return true;
    };
    std::vector<uint8_t> buffer(64 * 1024);
    auto getxattrLoop = [&](size_t folderIndex) {
        for (const auto& path : files[folderIndex])
            if (lgetxattr(path.c_str(), kAttribute, buffer.data(), buffer.size()) <= 0)
                return false;
        return true;
    };
    auto setxattrLoop = [&](size_t folderIndex) { return writeAll(folderIndex, sameOwner); };

    std::wstring volume = L"C=" + FromUtf8(image.mountPath());
    Silent console;
    auto cli = [&](std::vector<std::wstring> args) {
        args.insert(args.begin(), {L"--volume", volume});
        cli::VolumeHost host;
        return cli::RunProgram(args, console, host) == cli::kExitSuccess;
    };
    auto folderPath = [](size_t folderIndex) {
        return L"C:\\Bench\\" + FromUtf8(FolderName(folderIndex));
    };
    auto copy = [&](size_t folderIndex) {
        return cli({L"replace-children", folderPath(folderIndex), L"--mode", L"copy"});
    };
    auto show = [&](size_t folderIndex) {
        return cli({L"show", folderPath(folderIndex) + L"\\*"});
    };

    for (size_t folderIndex = 0; folderIndex < kFolders; ++folderIndex)
        getxattrLoop(folderIndex);  // warm the kernel's caches once for all
    double copyTime = 0, copySet = 0, sameTime = 0, sameSet = 0, showTime = 0, getTime = 0;
    bool ok = Interleaved([&](size_t f) { return writeAll(f, otherOwner); }, copy, setxattrLoop,
                          copyTime, copySet) &&
              Interleaved([&](size_t f) { return writeAll(f, sameOwner); }, copy, setxattrLoop,
                          sameTime, sameSet) &&
              Interleaved([](size_t) { return true; }, show, getxattrLoop, showTime, getTime);
    // One run each.
    auto everyFolder = [&](const PerFolder& run) {
        for (size_t folderIndex = 0; folderIndex < kFolders; ++folderIndex)
            if (!run(folderIndex))
                return false;
        return true;
    };
    auto flatGetxattrLoop = [&] {
        for (const auto& path : flatFiles)
            if (lgetxattr(path.c_str(), kAttribute, buffer.data(), buffer.size()) <= 0)
                return false;
        return true;
    };
    double treeCopyTime = 0, treeSet = 0, flatShowTime = 0, flatGet = 0;
    for (const auto& path : flatFiles)  // warm the kernel's caches as above
        lgetxattr(path.c_str(), kAttribute, buffer.data(), buffer.size());
    ok = ok &&
         Alternating([&] { return everyFolder([&](size_t f) { return writeAll(f, otherOwner); }); },
                     [&] {
                         return cli({L"replace-children", L"C:\\Bench", L"--mode", L"copy"});
                     },
                     [&] { return everyFolder(setxattrLoop); }, treeCopyTime, treeSet) &&
         Alternating([] { return true; },
                     [&] {
                         return cli({L"show", L"C:\\Flat\\*"});
                     },
                     flatGetxattrLoop, flatShowTime, flatGet);
    if (!ok) {
        std::fprintf(stderr, "a run failed: %s\n", ToUtf8(console.errors).c_str());
        return 1;
    }
    PrintPair("cli_replace_children_copy_10000", copyTime, "ntfs_setxattr_10000", copySet);
    PrintPair("cli_replace_children_copy_owned_by_administrators_10000", sameTime,
              "ntfs_setxattr_10000", sameSet);
    PrintPair("cli_show_folder_10000", showTime, "ntfs_getxattr_10000", getTime);
    PrintPair("cli_replace_children_copy_one_run_10000", treeCopyTime, "ntfs_setxattr_10000",
              treeSet);
    PrintPair("cli_show_one_folder_of_10000", flatShowTime, "ntfs_getxattr_10000", flatGet);
    return 0;
}
