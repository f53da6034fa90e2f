#include "security/SidNameCache.h"

#include "security/SecurityAccess.h"

namespace vm {
namespace {

// The answer for key, computed outside the lock: a look-up may take long,
// and two threads resolving the same key at once cost one extra look-up.
template <class Key, class Value, class Compute>
Value Remembered(std::mutex& mutex, std::map<Key, Value>& known, const Key& key, Compute compute) {
    {
        std::lock_guard lock(mutex);
        if (auto found = known.find(key); found != known.end())
            return found->second;
    }
    Value value = compute();
    std::lock_guard lock(mutex);
    return known.emplace(key, std::move(value)).first->second;
}

}  // namespace

std::wstring SidNameCache::BareName(Platform& platform, const Sid& sid) {
    return Remembered(mutex_, bareNames_, sid, [&] {
        auto account = platform.LookupAccountSid(sid.ToBytes());
        return account.ok() ? account->name : std::wstring();
    });
}

std::wstring SidNameCache::Name(Platform& platform, const Sid& sid) {
    std::wstring name = BareName(platform, sid);
    if (!name.empty())
        return name;
    return Remembered(mutex_, sidTexts_, sid, [&] { return SidString(platform, sid); });
}

std::optional<Sid> SidNameCache::AccountSid(Platform& platform, const std::wstring& accountName) {
    return Remembered(mutex_, accountSids_, accountName, [&]() -> std::optional<Sid> {
        auto sid = AccountSidOfName(platform, accountName);
        return sid.ok() ? std::optional<Sid>(*sid) : std::nullopt;
    });
}

void SidNameCache::Forget() {
    std::lock_guard lock(mutex_);
    bareNames_.clear();
    sidTexts_.clear();
    accountSids_.clear();
}

}  // namespace vm
