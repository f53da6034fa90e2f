#include "native/ntfs/rig/MountedImage.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace vm::testing {

namespace {

// Bounds of the waits for the driver: generous, as a loaded CI machine may
// be slow, but never endless.
constexpr auto kPollInterval = std::chrono::milliseconds(50);
constexpr int kMountPolls = 600;    // 30 s
constexpr int kUnmountPolls = 600;  // 30 s

std::string FindProgram(const std::string& name) {
    if (name.find('/') != std::string::npos)
        return name;
    std::string folders = "/usr/local/sbin:/usr/sbin:/sbin:/usr/bin:/bin";
    if (const char* path = std::getenv("PATH"))
        folders = std::string(path) + ":" + folders;
    std::stringstream list(folders);
    for (std::string folder; std::getline(list, folder, ':');) {
        std::string candidate = folder + "/" + name;
        if (!folder.empty() && access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return "";
}

std::vector<char*> ArgumentPointers(const std::vector<std::string>& argv) {
    std::vector<char*> pointers;
    for (const auto& argument : argv)
        pointers.push_back(const_cast<char*>(argument.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

// Holds spawn file actions for the lifetime of one spawn.
class SpawnActions {
  public:
    SpawnActions() { posix_spawn_file_actions_init(&actions_); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&actions_); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    posix_spawn_file_actions_t* get() { return &actions_; }

  private:
    posix_spawn_file_actions_t actions_;
};

std::string DecodeMountInfoPath(const std::string& field) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            out += static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

// Mount points listed in the mount table, decoded.
std::vector<std::string> MountPoints() {
    std::vector<std::string> points;
    std::ifstream info("/proc/self/mountinfo");
    for (std::string line; std::getline(info, line);) {
        std::stringstream fields(line);
        std::string id, parent, device, root, mountPoint;
        fields >> id >> parent >> device >> root >> mountPoint;
        points.push_back(DecodeMountInfoPath(mountPoint));
    }
    return points;
}

bool IsMountPoint(const std::string& path) {
    std::error_code ignored;
    std::string wanted = std::filesystem::weakly_canonical(path, ignored).string();
    auto points = MountPoints();
    return std::find(points.begin(), points.end(), wanted) != points.end();
}

// A test program that died with its volume mounted leaves the mount behind
// ("image-<pid>-<n>/mnt" below the rig folder); the next one detaches it.
void DetachStaleMounts(const std::string& parentFolder) {
    std::error_code ignored;
    std::string parent = std::filesystem::weakly_canonical(parentFolder, ignored).string() + "/";
    for (const auto& point : MountPoints()) {
        if (point.rfind(parent + "image-", 0) != 0)
            continue;
        pid_t owner = std::atoi(point.c_str() + parent.size() + 6);
        if (owner > 0 && owner != getpid() && kill(owner, 0) != 0)
            RunProgram({"umount", "-l", point});
    }
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

ProgramRun RunProgram(const std::vector<std::string>& argv) {
    ProgramRun run;
    std::string program = argv.empty() ? "" : FindProgram(argv[0]);
    if (program.empty()) {
        run.output = (argv.empty() ? std::string("(nothing)") : argv[0]) + ": not installed";
        return run;
    }
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        run.output = "pipe failed";
        return run;
    }
    SpawnActions actions;
    posix_spawn_file_actions_addopen(actions.get(), 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(actions.get(), pipeEnds[1], 1);
    posix_spawn_file_actions_adddup2(actions.get(), pipeEnds[1], 2);
    auto arguments = ArgumentPointers(argv);
    pid_t child = -1;
    int spawned =
        posix_spawn(&child, program.c_str(), actions.get(), nullptr, arguments.data(), environ);
    close(pipeEnds[1]);
    if (spawned != 0) {
        close(pipeEnds[0]);
        run.output = program + ": cannot be started";
        return run;
    }
    char buffer[4096];
    for (ssize_t got; (got = read(pipeEnds[0], buffer, sizeof buffer)) != 0;) {
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            break;
        run.output.append(buffer, static_cast<size_t>(got));
    }
    close(pipeEnds[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (WIFSIGNALED(status))
        run.output +=
            "\n(" + program + " ended by signal " + std::to_string(WTERMSIG(status)) + ")";
    return run;
}

std::string NtfsRigFolder() {
#ifdef VELMORA_NTFS_RIG_DIR
    return VELMORA_NTFS_RIG_DIR;
#else
    return std::filesystem::temp_directory_path().string() + "/velmora-ntfs-rig";
#endif
}

MountedImage::MountedImage(const std::string& parentFolder, unsigned sizeMiB) {
    static std::atomic<unsigned> counter{0};
    folder_ = parentFolder + "/image-" + std::to_string(getpid()) + "-" +
              std::to_string(counter.fetch_add(1));
    imagePath_ = folder_ + "/volume.img";
    mountPath_ = folder_ + "/mnt";
    logPath_ = folder_ + "/driver.log";
    DetachStaleMounts(parentFolder);
    std::error_code failed;
    std::filesystem::create_directories(mountPath_, failed);
    if (failed) {
        error_ = "cannot create " + mountPath_ + ": " + failed.message();
        return;
    }
    if (access("/dev/fuse", R_OK | W_OK) != 0) {
        error_ = "/dev/fuse is missing or not usable: this machine cannot mount FUSE volumes";
        return;
    }
    int image = open(imagePath_.c_str(), O_CREAT | O_TRUNC | O_WRONLY | O_CLOEXEC, 0600);
    bool sized = image >= 0 && ftruncate(image, off_t{sizeMiB} * 1024 * 1024) == 0;
    if (image >= 0)
        close(image);
    if (!sized) {
        error_ = "cannot make the image file " + imagePath_;
        return;
    }
    ProgramRun format = RunProgram({"mkntfs", "-F", "-f", "-q", "-L", "Velmora", imagePath_});
    if (format.exitCode != 0) {
        error_ =
            "mkntfs failed (Debian package ntfs-3g; scripts/setup installs it): " + format.output;
        return;
    }
    Mount();
}

MountedImage::~MountedImage() {
    if (mounted() && !Unmount()) {
        // Last resort: detach it now, whatever still holds it open.
        RunProgram({"umount", "-l", mountPath_});
        if (driver_ > 0) {
            kill(driver_, SIGKILL);
            waitpid(driver_, nullptr, 0);
        }
    }
    if (!IsMountPoint(mountPath_)) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
}

bool MountedImage::Mount(const std::string& options) {
    if (mounted())
        return true;
    std::string driver = FindProgram("ntfs-3g");
    if (driver.empty()) {
        error_ = "ntfs-3g is not installed (Debian package ntfs-3g; scripts/setup installs it)";
        return false;
    }
    // no_detach: the driver stays our child, so that Unmount can wait for it.
    std::vector<std::string> argv{
        driver, "-o", "no_detach" + (options.empty() ? "" : "," + options), imagePath_, mountPath_};
    SpawnActions actions;
    posix_spawn_file_actions_addopen(actions.get(), 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(actions.get(), 1, logPath_.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0600);
    posix_spawn_file_actions_adddup2(actions.get(), 1, 2);
    auto arguments = ArgumentPointers(argv);
    pid_t child = -1;
    if (posix_spawn(&child, driver.c_str(), actions.get(), nullptr, arguments.data(), environ) !=
        0) {
        error_ = "ntfs-3g cannot be started";
        return false;
    }
    driver_ = child;
    return WaitUntilMounted();
}

bool MountedImage::WaitUntilMounted() {
    for (int poll = 0; poll < kMountPolls; ++poll) {
        if (IsMountPoint(mountPath_))
            return true;
        int status = 0;
        if (waitpid(driver_, &status, WNOHANG) == driver_) {
            driver_ = -1;
            error_ = "ntfs-3g could not mount the image: " + ReadText(logPath_);
            return false;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    kill(driver_, SIGTERM);
    waitpid(driver_, nullptr, 0);
    driver_ = -1;
    error_ = "ntfs-3g did not mount the image in time: " + ReadText(logPath_);
    return false;
}

bool MountedImage::Unmount() {
    if (!mounted())
        return true;
    ProgramRun run = RunProgram({"umount", mountPath_});
    if (IsMountPoint(mountPath_))
        run = RunProgram({"fusermount", "-u", mountPath_});
    if (IsMountPoint(mountPath_)) {
        error_ = "the volume stays mounted: " + run.output;
        return false;
    }
    return WaitForDriver();
}

bool MountedImage::WaitForDriver() {
    for (int poll = 0; poll < kUnmountPolls; ++poll) {
        if (waitpid(driver_, nullptr, WNOHANG) == driver_) {
            driver_ = -1;
            return true;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    kill(driver_, SIGKILL);
    waitpid(driver_, nullptr, 0);
    driver_ = -1;
    error_ = "ntfs-3g did not end after the unmount; the image may be incomplete";
    return false;
}

namespace {

// The line "N valid and M deleted entries in $SDS-k" of the audit, or "".
std::string EntryCountLine(const std::string& output, const std::string& part) {
    std::stringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (Contains(line, "valid and") && line.ends_with("entries in " + part))
            return line.substr(0, line.size() - part.size());
    }
    return "";
}

}  // namespace

AuditReport MountedImage::Audit() const {
    AuditReport report;
    if (mounted()) {
        report.output = "the image is still mounted";
        return report;
    }
    ProgramRun run = RunProgram({"ntfssecaudit", "-a", imagePath_});
    report.output = run.output;
    // The tool exits 0 even when it could not open the volume: its verdict,
    // and each part's count, are read from what it prints.
    bool opened = run.exitCode == 0 && Contains(run.output, "No errors were found") &&
                  !Contains(run.output, "Error code");
    bool partsClean = Contains(run.output, "0 errors in $SDS-1\n") &&
                      Contains(run.output, "0 errors in $SII\n") &&
                      Contains(run.output, "0 errors in $SDH\n") &&
                      Contains(run.output, "All keys are present in all lists");
    bool mirrorClean =
        Contains(run.output, "0 errors in $SDS-2\n") && !Contains(run.output, "failed");
    // The descriptor stream's mirror ($SDS-2) may end right after its last
    // entry, where the stream's data ends; the auditor then reads past the
    // end, takes what it finds for one more entry ("too long - stopping"),
    // counts one error and says "Command failed". That is accepted only when
    // the mirror's valid entries are exactly the stream's and nothing else
    // is reported.
    std::string entries = EntryCountLine(run.output, "$SDS-1");
    bool mirrorEndsAtItsLastEntry = !entries.empty() &&
                                    EntryCountLine(run.output, "$SDS-2") == entries &&
                                    Contains(run.output, "1 errors in $SDS-2\n") &&
                                    Contains(run.output, "** Security attribute is too long") &&
                                    run.output.find("** ") == run.output.rfind("** ");
    report.consistent = opened && partsClean && (mirrorClean || mirrorEndsAtItsLastEntry);
    return report;
}

DescriptorView GetfattrView(const std::string& localPath) {
    static const std::string kName = "system.ntfs_acl";
    auto run = RunProgram({"getfattr", "--absolute-names", "-n", kName, "-e", "hex", localPath});
    DescriptorView view;
    view.output = run.output;
    std::string marker = kName + "=0x";
    size_t at = run.output.find(marker);
    if (run.exitCode == 0 && at != std::string::npos) {
        size_t start = at + marker.size();
        view.hex = run.output.substr(start, run.output.find('\n', start) - start);
    }
    return view;
}

// ntfssecaudit -v prints the descriptor as a dump, one line per 16 bytes
// ("        000010  34000000 01020000 ...") and names the owner on a line
// "Windows owner S-1-5-...".
DescriptorView MountedImage::ReadFromImage(const std::string& pathInVolume) const {
    DescriptorView view;
    if (mounted()) {
        view.output = "the image is still mounted";
        return view;
    }
    auto run = RunProgram({"ntfssecaudit", "-v", imagePath_, pathInVolume});
    view.output = "exit " + std::to_string(run.exitCode) + ": " + run.output;
    if (run.exitCode != 0)
        return view;
    std::stringstream lines(run.output);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("Windows owner ", 0) == 0)
            view.owner = line.substr(14);
        std::stringstream words(line);
        std::string offset;
        words >> offset;
        bool dumpLine =
            offset.size() == 6 && line.find_first_not_of(" 0123456789abcdef") == std::string::npos;
        for (std::string word; dumpLine && words >> word;)
            view.hex += word;
    }
    return view;
}

}  // namespace vm::testing
