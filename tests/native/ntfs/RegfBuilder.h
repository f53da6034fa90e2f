// Writes a small registry hive file in the Windows "regf" layout, so that
// the hive reader (libhivex) can be tested on files it did not write: a
// 4 KiB base block with its checksum, then one hive bin holding the cells
// of every key (nk), its subkey list (li), value list, values (vk), value
// data, and one shared security cell (sk). Offsets of cells count from the
// start of the first hive bin.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "security/Sddl.h"
#include "security/Sid.h"

namespace vm::testing {

struct RegValue {
    std::string name;  // "" for the default value
    uint32_t type = 0;
    Bytes data;
};

struct RegKey {
    std::string name;
    std::vector<RegValue> values;
    std::vector<RegKey> children;

    // The key at a path below this one ("SAM\\Domains"), made on the way.
    RegKey& At(const std::string& path) {
        RegKey* key = this;
        size_t start = 0;
        while (start <= path.size() && !path.empty()) {
            size_t end = std::min(path.find('\\', start), path.size());
            std::string part = path.substr(start, end - start);
            auto found = std::find_if(key->children.begin(), key->children.end(),
                                      [&](const RegKey& child) { return child.name == part; });
            if (found == key->children.end()) {
                key->children.push_back({part, {}, {}});
                found = key->children.end() - 1;
            }
            key = &*found;
            start = end + 1;
        }
        return *key;
    }
};

class RegfBuilder {
  public:
    Bytes Build(const RegKey& root) {
        bin_.assign(kBinHeader, 0);
        skOffset_ = SecurityCell();
        uint32_t rootOffset = Key(root, 0, true);
        size_t binSize = (bin_.size() + 8 + 4095) / 4096 * 4096;
        Put32(bin_, bin_.size(), static_cast<uint32_t>(binSize - bin_.size()));  // free cell
        bin_.resize(binSize, 0);
        std::copy_n("hbin", 4, bin_.begin());
        Put32(bin_, 8, static_cast<uint32_t>(binSize));

        Bytes file(4096, 0);
        std::copy_n("regf", 4, file.begin());
        for (size_t at : {4u, 8u, 0x14u, 0x20u, 0x2Cu})
            Put32(file, at, 1);  // sequence numbers, major version, format, clustering
        Put32(file, 0x18, 3);    // minor version
        Put32(file, 0x24, rootOffset);
        Put32(file, 0x28, static_cast<uint32_t>(binSize));
        uint32_t sum = 0;
        for (size_t at = 0; at < 0x1FC; at += 4)
            sum ^= ReadLe32(file, at);
        Put32(file, 0x1FC, sum);
        file.insert(file.end(), bin_.begin(), bin_.end());
        return file;
    }

  private:
    static constexpr size_t kBinHeader = 0x20;
    static constexpr uint32_t kNone = 0xFFFFFFFF;

    static void Put32(Bytes& bytes, size_t at, uint32_t value) {
        if (bytes.size() < at + 4)
            bytes.resize(at + 4, 0);
        WriteLe32(bytes, at, value);
    }

    // A used cell of the payload's size (its size field negative, 8-aligned).
    uint32_t Cell(const Bytes& payload) {
        uint32_t offset = static_cast<uint32_t>(bin_.size());
        size_t size = (4 + payload.size() + 7) / 8 * 8;
        Put32(bin_, offset, static_cast<uint32_t>(-static_cast<int32_t>(size)));
        bin_.insert(bin_.end(), payload.begin(), payload.end());
        bin_.resize(offset + size, 0);
        return offset;
    }

    uint32_t SecurityCell() {
        Bytes descriptor = *SddlToBytes(L"O:BAG:SYD:(A;;FA;;;BA)");
        Bytes sk{'s', 'k', 0, 0};
        uint32_t self = static_cast<uint32_t>(bin_.size());
        for (uint32_t field : {self, self, 1u, static_cast<uint32_t>(descriptor.size())})
            AppendLe32(sk, field);  // flink, blink, reference count, size
        sk.insert(sk.end(), descriptor.begin(), descriptor.end());
        return Cell(sk);
    }

    uint32_t Value(const RegValue& value) {
        uint32_t length = static_cast<uint32_t>(value.data.size());
        uint32_t dataField = 0;
        if (length <= 4) {
            Bytes inlined = value.data;
            inlined.resize(4, 0);
            dataField = ReadLe32(inlined, 0);
            length |= 0x80000000;  // data held in the offset field
        } else {
            dataField = Cell(value.data);
        }
        Bytes vk{'v', 'k'};
        AppendLe16(vk, static_cast<uint16_t>(value.name.size()));
        for (uint32_t field : {length, dataField, value.type})
            AppendLe32(vk, field);
        AppendLe16(vk, 1);  // name in ASCII
        AppendLe16(vk, 0);
        vk.insert(vk.end(), value.name.begin(), value.name.end());
        return Cell(vk);
    }

    uint32_t Key(const RegKey& key, uint32_t parent, bool isRoot) {
        uint32_t nk = Cell(Bytes(0x4C + key.name.size(), 0));
        uint32_t valueList = kNone;
        if (!key.values.empty()) {
            Bytes offsets;
            for (const auto& value : key.values)
                AppendLe32(offsets, Value(value));
            valueList = Cell(offsets);
        }
        std::vector<const RegKey*> sorted;
        for (const auto& child : key.children)
            sorted.push_back(&child);
        std::sort(sorted.begin(), sorted.end(),
                  [](const RegKey* a, const RegKey* b) { return Upper(a->name) < Upper(b->name); });
        uint32_t subkeyList = kNone;
        if (!sorted.empty()) {
            Bytes li{'l', 'i'};
            AppendLe16(li, static_cast<uint16_t>(sorted.size()));
            for (const RegKey* child : sorted)
                AppendLe32(li, Key(*child, nk, false));
            subkeyList = Cell(li);
        }
        size_t at = nk + 4;
        bin_[at] = 'n';
        bin_[at + 1] = 'k';
        WriteLe16(bin_, at + 2, isRoot ? 0x2C : 0x20);  // compressed name (+ hive root)
        Put32(bin_, at + 0x10, parent);
        Put32(bin_, at + 0x14, static_cast<uint32_t>(sorted.size()));
        Put32(bin_, at + 0x1C, subkeyList);
        Put32(bin_, at + 0x20, kNone);
        Put32(bin_, at + 0x24, static_cast<uint32_t>(key.values.size()));
        Put32(bin_, at + 0x28, valueList);
        Put32(bin_, at + 0x2C, skOffset_);
        Put32(bin_, at + 0x30, kNone);
        WriteLe16(bin_, at + 0x48, static_cast<uint16_t>(key.name.size()));
        std::copy(key.name.begin(), key.name.end(), bin_.begin() + at + 0x4C);
        return nk;
    }

    static std::string Upper(std::string text) {
        for (char& c : text)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return text;
    }

    Bytes bin_;
    uint32_t skOffset_ = 0;
};

}  // namespace vm::testing
