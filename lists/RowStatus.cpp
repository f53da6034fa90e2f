#include "lists/RowStatus.h"

#include <algorithm>
#include <unordered_map>

#include "security/SecurityAccess.h"

namespace vm {

std::wstring RowStatusReader::OwnerName(const std::wstring& path) {
    // As GetOwnerName: GetNamedSecurityInfoW(OWNER) and LookupAccountSidW's
    // bare name, empty when either fails; the look-up is done once per SID.
    auto owner = ReadOwnerSid(platform_, path);
    return owner ? names_.BareName(platform_, *owner) : std::wstring();
}

RowStatus RowStatusReader::Read(const RowStatusRequest& request) {
    RowStatus status;
    status.serial = request.serial;
    status.access = static_cast<int32_t>(GetAccessLevel(platform_, user_, request.path, &names_));
    if (request.checkExistence && !platform_.PathFileExists(request.path)) {
        status.exists = false;
        return status;
    }
    status.owner = OwnerName(request.path);
    return status;
}

void RowStatusReader::ForgetNames() {
    names_.Forget();
}

RowStatusFiller::RowStatusFiller(Platform& platform, const UserIdentity& user, Notify notify,
                                 SidNameCache* names)
    : platform_(platform), user_(user), notify_(std::move(notify)), names_(names) {
    worker_ = std::thread([this] { Run(); });
}

// The stop flag is set under the queue's lock, so the worker either sees it
// before it waits or is woken by the notification: no wake-up is lost (a
// stop_token wait of condition_variable_any could lose it and hang the join).
RowStatusFiller::~RowStatusFiller() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (worker_.joinable())
        worker_.join();
}

void RowStatusFiller::Enqueue(RowStatusRequest request) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back({std::move(request), nextOrder_++});
    }
    wake_.notify_one();
}

void RowStatusFiller::Enqueue(std::vector<RowStatusRequest> requests) {
    {
        std::lock_guard lock(mutex_);
        for (auto& request : requests)
            queue_.push_back({std::move(request), nextOrder_++});
    }
    wake_.notify_one();
}

void RowStatusFiller::Prioritise(const std::vector<uint64_t>& serials) {
    std::unordered_map<uint64_t, size_t> wished;
    for (size_t i = 0; i < serials.size(); ++i)
        wished.emplace(serials[i], i);
    auto rank = [&](const Queued& queued) {
        auto found = wished.find(queued.request.serial);
        return found != wished.end() ? found->second : serials.size();
    };
    std::lock_guard lock(mutex_);
    // Wished rows by their place in the wish, the rest as they were asked
    // for (which also undoes an earlier wish).
    std::stable_sort(queue_.begin(), queue_.end(), [&](const Queued& a, const Queued& b) {
        const size_t rankA = rank(a);
        const size_t rankB = rank(b);
        return rankA != rankB ? rankA < rankB : a.order < b.order;
    });
}

void RowStatusFiller::Clear() {
    std::lock_guard lock(mutex_);
    queue_.clear();
    ready_.clear();
    ++generation_;
}

void RowStatusFiller::ForgetNames() {
    std::lock_guard lock(mutex_);
    forgetNames_ = true;
}

std::vector<RowStatus> RowStatusFiller::TakeResults() {
    std::lock_guard lock(mutex_);
    notifyPending_ = false;
    return std::exchange(ready_, {});
}

bool RowStatusFiller::Idle() const {
    std::lock_guard lock(mutex_);
    return queue_.empty() && !reading_ && ready_.empty();
}

void RowStatusFiller::Deliver(RowStatus status, uint64_t generation) {
    bool notify = false;
    {
        std::lock_guard lock(mutex_);
        reading_ = false;
        if (generation != generation_)
            return;  // cleared while it was read
        ready_.push_back(std::move(status));
        notify = !notifyPending_;
        notifyPending_ = true;
    }
    if (notify && notify_)
        notify_();
}

void RowStatusFiller::Run() {
    RowStatusReader reader(platform_, user_, names_);
    for (;;) {
        RowStatusRequest request;
        uint64_t generation = 0;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_)
                return;
            if (forgetNames_) {
                reader.ForgetNames();
                forgetNames_ = false;
            }
            request = std::move(queue_.front().request);
            queue_.pop_front();
            generation = generation_;
            reading_ = true;
        }
        Deliver(reader.Read(request), generation);
    }
}

}  // namespace vm
