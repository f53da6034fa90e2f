// Security identifiers in their binary Windows form (MS-DTYP 2.4.2.2):
// revision 1, sub-authority count (at most 15), a 48-bit big-endian
// identifier authority, then little-endian 32-bit sub-authorities.
#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/Bytes.h"

namespace vm {

class Sid {
  public:
    static constexpr uint8_t kRevision = 1;
    static constexpr size_t kMaxSubAuthorities = 15;

    Sid() = default;
    Sid(uint64_t authority, std::vector<uint32_t> subAuthorities);

    // Reads a SID from the start of bytes. Fails (nullopt) when the bytes are
    // too short for the count they announce, the revision is not 1 or the
    // count is above 15. consumed receives the SID's length.
    static std::optional<Sid> Parse(std::span<const uint8_t> bytes, size_t* consumed = nullptr);
    // "S-1-5-32-544" form (decimal authority below 2^32, hex 0x... above).
    static std::optional<Sid> FromString(const std::wstring& text);

    uint64_t authority() const { return authority_; }
    const std::vector<uint32_t>& subAuthorities() const { return subAuthorities_; }
    // 8 + 4 * count bytes (GetLengthSid).
    size_t length() const { return 8 + 4 * subAuthorities_.size(); }
    bool empty() const { return subAuthorities_.empty() && authority_ == 0; }

    Bytes ToBytes() const;
    void AppendTo(Bytes& out) const;
    std::wstring ToString() const;

    auto operator<=>(const Sid&) const = default;

  private:
    uint64_t authority_ = 0;
    std::vector<uint32_t> subAuthorities_;
};

// Well-known SIDs the program meets.
namespace sids {
Sid Everyone();            // S-1-1-0
Sid CreatorOwner();        // S-1-3-0
Sid System();              // S-1-5-18
Sid AuthenticatedUsers();  // S-1-5-11
Sid Administrators();      // S-1-5-32-544
Sid Users();               // S-1-5-32-545
Sid TrustedInstaller();    // S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464
}  // namespace sids

// Little-endian helpers shared by the binary readers and writers.
inline uint16_t ReadLe16(std::span<const uint8_t> b, size_t at) {
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}
inline uint32_t ReadLe32(std::span<const uint8_t> b, size_t at) {
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
           (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
inline void AppendLe16(Bytes& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void AppendLe32(Bytes& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
inline void WriteLe16(std::span<uint8_t> b, size_t at, uint16_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
inline void WriteLe32(std::span<uint8_t> b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace vm
