// The status columns of an item row (access level of the current user and
// owner), read through the engine. Reading them for a large folder takes
// several platform calls per row and, for domain accounts, slow look-ups, so
// the lists read them on a worker thread: a row appears at once, and its
// status cells fill in as the results arrive.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "lists/ItemRecord.h"
#include "platform/Platform.h"
#include "security/AccessEvaluation.h"

namespace vm {

struct RowStatusRequest {
    uint64_t serial = 0;  // the ItemRecord's serial
    std::wstring path;
    bool checkExistence = false;
};

struct RowStatus {
    uint64_t serial = 0;
    int32_t access = kAccessUnknown;  // AccessLevel value
    std::wstring owner;               // GetOwnerName's text: empty when unreadable
    bool exists = true;               // false only when existence was checked
};

// Reads the status of rows one by one, sharing account look-ups between the
// rows: each distinct SID is resolved once, a SID that does not resolve
// once too. The names are the process's (the engine's SidNameCache) when
// given, else the reader's own. The texts are exactly those of
// GetAccessLevel and GetOwnerName. Used by one thread.
class RowStatusReader {
  public:
    RowStatusReader(Platform& platform, const UserIdentity& user, SidNameCache* names = nullptr)
        : platform_(platform), user_(user), names_(names ? *names : ownNames_) {}

    RowStatus Read(const RowStatusRequest& request);
    // GetOwnerName with the resolved names.
    std::wstring OwnerName(const std::wstring& path);
    // Forgets resolved names and remembered failures (an explicit refresh).
    void ForgetNames();

  private:
    Platform& platform_;
    const UserIdentity& user_;
    SidNameCache ownNames_;
    SidNameCache& names_;
};

// A worker thread that reads row statuses in the order they were asked for,
// the rows the window shows first (Prioritise).
// The window enqueues requests and, when told that results wait (the notify
// callback runs on the worker; a window posts itself a message there), takes
// them on its own thread. At most one notification is outstanding at a time.
class RowStatusFiller {
  public:
    using Notify = std::function<void()>;

    RowStatusFiller(Platform& platform, const UserIdentity& user, Notify notify,
                    SidNameCache* names = nullptr);
    // Stops the worker; requests not yet read are dropped.
    ~RowStatusFiller();
    RowStatusFiller(const RowStatusFiller&) = delete;
    RowStatusFiller& operator=(const RowStatusFiller&) = delete;

    void Enqueue(RowStatusRequest request);
    void Enqueue(std::vector<RowStatusRequest> requests);
    // Moves the waiting requests of these rows (the rows in view and the
    // next page) before every other, in the order of serials; the others,
    // and several requests of one row, keep their order. A later call
    // replaces the wish: the rows of an earlier view that were not read yet
    // go back among the rest in their old order.
    void Prioritise(const std::vector<uint64_t>& serials);
    // Drops every request and result not yet taken, including the one being
    // read (the rows they were for are gone), and starts a new fill.
    void Clear();
    // Requests from now on resolve account names afresh, failures included
    // (an explicit refresh: a renamed account shows its new name).
    void ForgetNames();
    // The results read since the last call, in request order.
    std::vector<RowStatus> TakeResults();
    // Nothing queued, nothing being read, nothing waiting to be taken.
    bool Idle() const;

  private:
    void Run();
    void Deliver(RowStatus status, uint64_t generation);

    Platform& platform_;
    const UserIdentity& user_;
    Notify notify_;
    SidNameCache* names_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    struct Queued {
        RowStatusRequest request;
        uint64_t order = 0;  // when it was asked for
    };
    std::deque<Queued> queue_;
    uint64_t nextOrder_ = 0;
    std::vector<RowStatus> ready_;
    uint64_t generation_ = 0;  // Clear() starts a new one
    bool reading_ = false;
    bool notifyPending_ = false;
    bool forgetNames_ = false;
    bool stopping_ = false;
    std::thread worker_;  // last: started after, and stopped before, the rest
};

}  // namespace vm
