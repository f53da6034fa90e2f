// Registry hive files read with Debian's libhivex.
#include <hivex.h>

#include <cstdlib>
#include <memory>
#include <type_traits>

#include "platform/Utf16.h"
#include "platform/ntfs/VolumeAccounts.h"

namespace vm::ntfs {

namespace {

struct FreeDeleter {
    void operator()(void* block) const { std::free(block); }
};
template <class T>
using Malloced = std::unique_ptr<T, FreeDeleter>;

class HivexHive final : public RegistryHive {
  public:
    explicit HivexHive(hive_h* hive) : hive_(hive) {}
    ~HivexHive() override { hivex_close(hive_); }
    HivexHive(const HivexHive&) = delete;
    HivexHive& operator=(const HivexHive&) = delete;

    std::optional<std::vector<std::wstring>> SubKeys(const std::wstring& keyPath) const override {
        auto node = Find(keyPath);
        if (!node)
            return std::nullopt;
        Malloced<hive_node_h> children(hivex_node_children(hive_, *node));
        if (!children)
            return std::nullopt;
        std::vector<std::wstring> names;
        for (size_t i = 0; children.get()[i] != 0; ++i) {
            Malloced<char> name(hivex_node_name(hive_, children.get()[i]));
            if (name)
                names.push_back(FromUtf8(name.get()));
        }
        return names;
    }

    std::optional<HiveValue> Value(const std::wstring& keyPath,
                                   const std::wstring& name) const override {
        auto node = Find(keyPath);
        if (!node)
            return std::nullopt;
        hive_value_h value = hivex_node_get_value(hive_, *node, ToUtf8(name).c_str());
        if (value == 0)
            return std::nullopt;
        // The SAM keeps RIDs in the type field, far outside the REG_* names
        // of hive_type: the library writes the number into storage of the
        // enum's underlying type, and it is never read as the enum.
        std::underlying_type_t<hive_type> type = 0;
        size_t length = 0;
        Malloced<char> data(
            hivex_value_value(hive_, value, reinterpret_cast<hive_type*>(&type), &length));
        if (!data)
            return std::nullopt;
        const auto* bytes = reinterpret_cast<const uint8_t*>(data.get());
        return HiveValue{static_cast<uint32_t>(type), Bytes(bytes, bytes + length)};
    }

  private:
    std::optional<hive_node_h> Find(const std::wstring& keyPath) const {
        hive_node_h node = hivex_root(hive_);
        size_t start = 0;
        while (node != 0 && start < keyPath.size()) {
            size_t end = keyPath.find(L'\\', start);
            if (end == std::wstring::npos)
                end = keyPath.size();
            std::string part = ToUtf8(keyPath.substr(start, end - start));
            node = hivex_node_get_child(hive_, node, part.c_str());
            start = end + 1;
        }
        if (node == 0)
            return std::nullopt;
        return node;
    }

    hive_h* hive_;
};

}  // namespace

std::unique_ptr<RegistryHive> OpenHiveFile(const std::string& localPath) {
    hive_h* hive = hivex_open(localPath.c_str(), 0);
    if (!hive)
        return nullptr;
    return std::make_unique<HivexHive>(hive);
}

}  // namespace vm::ntfs
