// A real NTFS volume for tests: an image file made with mkntfs, mounted with
// the FUSE driver in a folder of the build tree, and always unmounted when
// its holder goes away. The driver runs as a child process of the test, so
// that an unmount can wait until it has written everything to the image;
// only then do the image checks (ntfssecaudit) see the final state.
//
//   vm::testing::MountedImage volume(vm::testing::NtfsRigFolder());
//   ASSERT_TRUE(volume.mounted()) << volume.error();   // never skipped
//   ... work below volume.mountPath() ...
//   ASSERT_TRUE(volume.Unmount());
//   EXPECT_TRUE(volume.Audit().consistent);
#pragma once

#include <sys/types.h>
#include <string>
#include <vector>

namespace vm::testing {

struct ProgramRun {
    int exitCode = -1;   // -1: not started, or ended by a signal
    std::string output;  // standard output and standard error together
};

// Runs a program and waits for it. The program is looked for on PATH and in
// the system folders (mkntfs lives in /usr/sbin, which a user's PATH may
// lack).
ProgramRun RunProgram(const std::vector<std::string>& argv);

// The folder below which images are made: VELMORA_NTFS_RIG_DIR from the
// build (a folder of the build tree), or the system's temporary folder.
std::string NtfsRigFolder();

// Result of ntfssecaudit -a over the unmounted image.
struct AuditReport {
    bool consistent = false;
    std::string output;
};

// One object's descriptor as an independent reader sees it: hex digits,
// and the owner's SID string where the reader names it; output for failure
// messages.
struct DescriptorView {
    std::string hex;
    std::string owner;
    std::string output;
};

// getfattr's reading of the FUSE driver's descriptor attribute of a file
// of a mounted volume.
DescriptorView GetfattrView(const std::string& localPath);

class MountedImage {
  public:
    // Makes a sparse image of sizeMiB in a new folder below parentFolder,
    // formats it and mounts it. mounted() tells whether all of it worked;
    // error() says what did not.
    explicit MountedImage(const std::string& parentFolder, unsigned sizeMiB = 48);
    ~MountedImage();
    MountedImage(const MountedImage&) = delete;
    MountedImage& operator=(const MountedImage&) = delete;

    bool mounted() const { return driver_ > 0; }
    const std::string& error() const { return error_; }
    const std::string& mountPath() const { return mountPath_; }
    const std::string& imagePath() const { return imagePath_; }

    // Mounts the image (again); extra options go to the driver's -o.
    bool Mount(const std::string& options = "");
    // Unmounts and waits until the driver has ended. False (with error())
    // when the volume stays mounted.
    bool Unmount();
    // Audits the unmounted image's security data.
    AuditReport Audit() const;
    // ntfssecaudit's reading of one object straight from the unmounted
    // image, without the driver ("/Tree/a.txt": the path inside the volume).
    DescriptorView ReadFromImage(const std::string& pathInVolume) const;

  private:
    bool WaitUntilMounted();
    bool WaitForDriver();

    std::string folder_;
    std::string imagePath_;
    std::string mountPath_;
    std::string logPath_;
    std::string error_;
    pid_t driver_ = -1;
};

}  // namespace vm::testing
