// The update check's download over WinINet and the checks a window has
// running. Each check runs on a worker of its own: it fetches the version
// file into memory (no file in the temporary folder, so checks never share
// or pick up a planted file), then posts kMsgUpdateCheckDone to the window,
// which takes the outcome and tells the user on its own thread.
#pragma once

#include "platform/win32/WinApi.h"

#include <atomic>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/VersionCheck.h"

namespace vm {

// A way to stop a download from another thread: closing its Internet root
// handle ends the WinINet call it is blocked in.
class DownloadCancel {
  public:
    // The download's root handle, until it is done with it. Adopt is false
    // once cancelled; Release is false when Cancel has closed the handle.
    bool Adopt(void* root);
    bool Release(void* root);
    // Closes the root handle the download holds (once) and keeps later
    // downloads of this cancel from starting.
    void Cancel();

  private:
    std::mutex mutex_;
    void* root_ = nullptr;
    bool cancelled_ = false;
};

// Fetches url with the user agent "RaraDU/1.0", the system's proxy settings
// and INTERNET_FLAG_NO_CACHE_WRITE, reading blocks of at most 1023 bytes up
// to kMaxUpdateFileBytes. Blocks; cancel may stop it from another thread.
UpdateDownload DownloadUpdateFile(const std::wstring& url, DownloadCancel* cancel = nullptr);

class UpdateChecks {
  public:
    explicit UpdateChecks(HWND notify) : notify_(notify) {}
    // Cancels the checks still running and waits for their workers.
    ~UpdateChecks();
    UpdateChecks(const UpdateChecks&) = delete;
    UpdateChecks& operator=(const UpdateChecks&) = delete;

    // Starts a check of that version file; a check already running goes on
    // beside it (each has its own download).
    void Start(const std::wstring& url);
    // The outcomes of the checks that ended since the last call, in the
    // order they ended; their workers are joined.
    std::vector<UpdateOutcome> TakeFinished();
    bool Running() const;

  private:
    struct Check {
        DownloadCancel cancel;
        std::atomic<bool> done{false};
        UpdateOutcome outcome;  // written by the worker before done
        std::thread worker;
    };
    HWND notify_;
    mutable std::mutex mutex_;
    std::list<std::unique_ptr<Check>> checks_;
};

}  // namespace vm
