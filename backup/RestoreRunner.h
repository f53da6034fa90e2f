// The restore run of the Restore window on a worker thread. The runner works
// on its own copy of what each row needs, so the window's rows may change or
// go away while it runs; progress and results reach the window through
// callbacks called on the worker. Those callbacks must not wait for the
// window's thread (post, do not send): the owner's destructor stops the
// worker and waits for it.
//
// Per row: a missing path reads "File not found". Otherwise (in reset mode
// only ticked rows with a descriptor) "Administrators" becomes the owner, the
// DACL is opened with a NULL DACL and the stored descriptor is written, and
// the row's owner is given back: one read of owner and DACL and two writes of
// both (SetFileSecurityW), with the owner privileges on for the whole run.
// When the stored descriptor cannot be written the previous owner and DACL
// are put back, so a failed row is never left open to everybody; a stored
// descriptor that is not well-formed is not tried.
#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "backup/RestoreModel.h"
#include "security/Engine.h"

namespace vm {

// What the worker needs of one row.
struct RestoreWork {
    std::wstring path;
    std::optional<Bytes> descriptor;
    std::wstring owner;
    bool ticked = false;
};

std::vector<RestoreWork> WorkFromRows(const std::vector<RestoreRow>& rows);

enum class RestoreRowResult { kSucceeded, kFailed, kFileNotFound };
// "Succeed", "Failed", "File not found" (string 205).
std::wstring RestoreResultText(RestoreRowResult result);

struct RestoreCallbacks {
    // A row's column 2 text: every "File not found"; in file mode the
    // outcome of each written row.
    std::function<void(size_t row, RestoreRowResult result)> onRowResult;
    // The number of rows done (the bar's position).
    std::function<void(size_t done)> onProgress;
    // The run is over (the window re-enables itself; the main window is told).
    std::function<void()> onFinished;
};

// One run, synchronously; the worker thread runs this. Stops before the next
// row when stop is set. onFinished is called in every case.
void RunRestore(Engine& engine, RestoreMode mode, const std::vector<RestoreWork>& work,
                const RestoreCallbacks& callbacks, const std::atomic<bool>& stop);

class RestoreRunner {
  public:
    explicit RestoreRunner(Engine& engine) : engine_(engine) {}
    ~RestoreRunner();
    RestoreRunner(const RestoreRunner&) = delete;
    RestoreRunner& operator=(const RestoreRunner&) = delete;

    // Starts a run on a new thread; false while a run is still going.
    bool Start(RestoreMode mode, std::vector<RestoreWork> work, RestoreCallbacks callbacks);
    bool Running() const { return running_; }
    // Asks the run to end after the current row, and waits for it.
    void StopAndWait();

  private:
    Engine& engine_;
    std::thread worker_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> running_{false};
};

}  // namespace vm
