// A registry hive in memory for the account reader's tests.
#pragma once

#include <map>

#include "platform/TextCase.h"
#include "platform/ntfs/VolumeAccounts.h"

namespace vm::testing {

class FakeHive final : public ntfs::RegistryHive {
  public:
    // Creates the key and every key above it.
    void Key(const std::wstring& path) {
        for (size_t end = path.find(L'\\');; end = path.find(L'\\', end + 1)) {
            keys_[path.substr(0, end)];
            if (end == std::wstring::npos)
                break;
        }
    }
    void Set(const std::wstring& path, const std::wstring& name, uint32_t type, Bytes data = {}) {
        Key(path);
        keys_[path][name] = {type, std::move(data)};
    }

    std::optional<std::vector<std::wstring>> SubKeys(const std::wstring& keyPath) const override {
        if (!keys_.count(keyPath))
            return std::nullopt;
        std::vector<std::wstring> names;
        std::wstring prefix = keyPath + L"\\";
        for (const auto& [path, values] : keys_) {
            if (path.starts_with(prefix) && path.find(L'\\', prefix.size()) == std::wstring::npos)
                names.push_back(path.substr(prefix.size()));
        }
        return names;
    }
    std::optional<ntfs::HiveValue> Value(const std::wstring& keyPath,
                                         const std::wstring& name) const override {
        auto key = keys_.find(keyPath);
        if (key == keys_.end())
            return std::nullopt;
        auto value = key->second.find(name);
        if (value == key->second.end())
            return std::nullopt;
        return value->second;
    }

  private:
    std::map<std::wstring, std::map<std::wstring, ntfs::HiveValue>> keys_;
};

}  // namespace vm::testing
