// A stand-in volume for the store's tests: a scratch folder of the host's
// file system whose user.* extended attributes play the driver's system.*
// ones, so that the store's own logic is tested without mounting anything
// (the real volume has its own test).
#pragma once

#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "native/files/TempDir.h"
#include "platform/ntfs/NtfsStore.h"
#include "security/Sddl.h"

namespace vm::testing {

inline constexpr const char* kTestDescriptorAttribute = "user.velmora.sd";
inline constexpr const char* kTestAttributesAttribute = "user.velmora.attrib";
inline constexpr const char* kTestTimesAttribute = "user.velmora.times";

inline ntfs::VolumeAttributeNames StandInNames() {
    return {kTestDescriptorAttribute, kTestAttributesAttribute, kTestTimesAttribute};
}

class StandInVolume {
  public:
    StandInVolume() { Put("", kFolderSddl); }

    std::string Local(const std::string& relative) const {
        return relative.empty() ? dir_.path().string() : (dir_.path() / relative).string();
    }
    std::string root() const { return Local(""); }

    // A folder or a file with a descriptor given as SDDL.
    void Folder(const std::string& relative, const std::wstring& sddl = kFolderSddl) {
        std::filesystem::create_directories(Local(relative));
        Put(relative, sddl);
    }
    void File(const std::string& relative, const std::wstring& sddl = kFileSddl,
              const std::string& content = "") {
        std::ofstream(Local(relative)) << content;
        Put(relative, sddl);
    }
    void Put(const std::string& relative, const std::wstring& sddl) {
        auto bytes = SddlToBytes(sddl);
        ASSERT_TRUE(bytes) << "bad SDDL in the test";
        PutRaw(relative, kTestDescriptorAttribute, *bytes);
    }
    void PutRaw(const std::string& relative, const char* name, const Bytes& bytes) {
        ASSERT_EQ(setxattr(Local(relative).c_str(), name, bytes.data(), bytes.size(), 0), 0);
    }
    Bytes Raw(const std::string& relative) const {
        Bytes value(65536);
        ssize_t got =
            getxattr(Local(relative).c_str(), kTestDescriptorAttribute, value.data(), value.size());
        value.resize(got < 0 ? 0 : static_cast<size_t>(got));
        return value;
    }
    std::wstring Sddl(const std::string& relative) const {
        auto parsed = SecurityDescriptor::Parse(Raw(relative));
        return parsed ? DescriptorToSddl(*parsed) : L"(unreadable)";
    }

    static constexpr const wchar_t* kFolderSddl = L"O:BAG:SYD:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)";
    static constexpr const wchar_t* kFileSddl = L"O:BAG:SYD:AI(A;ID;FA;;;BA)(A;ID;0x1200a9;;;BU)";

  private:
    TempDir dir_;
};

}  // namespace vm::testing
