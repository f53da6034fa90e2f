// Rewriting the security of everything below a folder in one run: mode 1
// resets every file and folder below to its inherited entries, mode 2 writes
// the folder's own DACL onto each. A counting pass gives the total for the
// percentage, then the applying pass runs. Breadth-first with a queue (no
// recursion), reparse points neither counted, changed nor entered. In mode 1
// each subfolder of the folder is reset with everything below it by one
// tree call of the system, so that every object is written once (the walk
// falls back to one reset per object where the system lacks the call). The
// folder itself is never changed. No window code: whoever shows the progress
// binds to a PropagationObserver, which hears about the walk in its own terms.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "security/Engine.h"

namespace vm {

enum class PropagationMode : uint8_t {
    kCountOnly = 0,         // first pass
    kResetToInherited = 1,  // "Replace all child object permissions with inheritable ..."
    kCopyFromFolder = 2,    // "Copy security settings from this object"
};

// What the walk tells about itself. Called on the worker thread; an
// implementation that shows it in a window reaches the window by messages
// only.
class PropagationObserver {
  public:
    virtual ~PropagationObserver() = default;
    // The counting pass is over: the files and folders it found below the
    // folder (reparse points left out).
    virtual void Counted(int32_t files, int32_t folders) = 0;
    // The applying pass starts.
    virtual void ApplyingStarted() = 0;
    // The entry of that name (not its path) is being changed now.
    virtual void EntryStarted(const std::wstring& name) = 0;
    // One more entry of the applying pass is done: `processed` of the `total`
    // the counting pass found. Entries created between the passes carry
    // processed past total.
    virtual void EntryDone(int32_t processed, int32_t total) = 0;
    // Folders the applying pass could not list, and objects the system could
    // not change, in the order met: what is below them was not reached. Told
    // once, before Finished, only when there are any.
    virtual void NotReached(const std::vector<std::wstring>& paths) = 0;
    // The run is over: both passes ran, or it was cancelled or had nothing
    // to do. Told once, last.
    virtual void Finished() = 0;
};

// Whole percent of processed out of total (integer division), 0 for no total.
int32_t PropagationPercent(int32_t processed, int32_t total);

// One run, shared by the progress window (which sets cancel) and the worker.
struct PropagationRun {
    std::wstring folder;
    PropagationMode mode = PropagationMode::kCountOnly;  // 1 or 2 for a run
    std::atomic<bool> cancel{false};
    int32_t total = 0;  // entries found by the counting pass
    // Filled by the applying pass (see PropagationObserver::NotReached).
    std::vector<std::wstring> notReached;
};

// Subfolders whose DACL the counting pass replaced by a NULL DACL so that
// they can be listed, with the DACL each had before, in the order nulled.
// Every one not reset by the applying pass gets that DACL back.
class NulledFolders {
  public:
    void Add(std::wstring path, Bytes previousDescriptor);
    void MarkReset(const std::wstring& path);
    // Puts back the previous DACL of one folder at once (its reset was
    // refused), before anything below it is reset against a NULL parent.
    void RestoreNow(Platform& platform, const std::wstring& path);
    // Puts back the previous DACL of every folder not marked reset, deepest
    // first; returns how many were put back.
    size_t RestoreRemaining(Platform& platform);
    size_t size() const { return folders_.size(); }

  private:
    struct Entry {
        std::wstring path;
        Bytes previousDescriptor;
        bool reset = false;
    };
    std::vector<Entry> folders_;
    std::map<std::wstring, size_t> indexByPath_;
};

// One pass over the folder's tree. Result: entries processed, or -1 when
// cancelled (the cancel flag is tested before each entry and cleared at the
// end). Mode 0 with nullFolders set gives each subfolder "Administrators" as
// owner and a NULL DACL as soon as it is found, recording it in `nulled`.
int32_t WalkChildren(Engine& engine, PropagationRun& run, PropagationObserver& observer,
                     const std::wstring& folder, PropagationMode mode, bool nullFolders,
                     NulledFolders* nulled = nullptr);

// Both passes: 1 when both ran, 0 for an empty path or a cancel during the
// counting pass. Stores the count in run.total. Subfolders nulled by the
// counting pass and not reset afterwards (cancel, refused reset) get their
// previous DACL back.
int RunPropagation(Engine& engine, PropagationRun& run, PropagationObserver& observer);

// The worker's body once the window shows: RunPropagation, NotReached when
// anything was not reached, then Finished.
void RunPropagationWorker(Engine& engine, PropagationRun& run, PropagationObserver& observer);

}  // namespace vm
