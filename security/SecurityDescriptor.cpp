#include "security/SecurityDescriptor.h"

#include <algorithm>
#include <vector>

namespace vm {
namespace {

struct Range {
    size_t begin;
    size_t end;
};

class DescriptorReader {
  public:
    DescriptorReader(std::span<const uint8_t> bytes, ParseError* error)
        : bytes_(bytes), error_(error) {}

    bool Fail(const char* message, size_t offset) {
        if (error_)
            *error_ = {message, offset};
        return false;
    }

    // Checks that a part starting at offset lies after the header and inside
    // the bytes; the caller then reads it and records its extent.
    bool CheckOffset(uint32_t offset, size_t field) {
        if (offset < kSelfRelativeHeaderSize)
            return Fail("offset inside the header", field);
        if (offset >= bytes_.size())
            return Fail("offset beyond the bytes", field);
        return true;
    }

    bool Record(size_t begin, size_t length, size_t field) {
        Range range{begin, begin + length};
        for (const auto& other : ranges_) {
            if (range.begin < other.end && other.begin < range.end) {
                return Fail("parts overlap", field);
            }
        }
        ranges_.push_back(range);
        return true;
    }

    bool ReadSid(uint32_t offset, size_t field, std::optional<Sid>& out) {
        if (offset == 0)
            return true;
        if (!CheckOffset(offset, field))
            return false;
        size_t length = 0;
        out = Sid::Parse(bytes_.subspan(offset), &length);
        if (!out)
            return Fail("invalid SID", offset);
        return Record(offset, length, field);
    }

    bool ReadAcl(bool present, uint32_t offset, size_t field, AclSlot& out) {
        out.present = present;
        if (!present || offset == 0)
            return true;  // absent, or a NULL ACL
        if (!CheckOffset(offset, field))
            return false;
        ParseError inner;
        out.acl = Acl::Parse(bytes_.subspan(offset), &inner);
        if (!out.acl)
            return Fail(inner.message.c_str(), offset + inner.offset);
        return Record(offset, out.acl->size, field);
    }

  private:
    std::span<const uint8_t> bytes_;
    ParseError* error_;
    std::vector<Range> ranges_;
};

void AppendAt(Bytes& out, size_t offsetField, const Bytes& part) {
    WriteLe32(out, offsetField, static_cast<uint32_t>(out.size()));
    out.insert(out.end(), part.begin(), part.end());
}

}  // namespace

std::optional<SecurityDescriptor> SecurityDescriptor::Parse(std::span<const uint8_t> bytes,
                                                            ParseError* error) {
    DescriptorReader reader(bytes, error);
    if (bytes.size() < kSelfRelativeHeaderSize) {
        reader.Fail("descriptor header cut", 0);
        return std::nullopt;
    }
    SecurityDescriptor sd;
    sd.revision = bytes[0];
    sd.control = ReadLe16(bytes, 2);
    if (sd.revision != kSecurityDescriptorRevision) {
        reader.Fail("unknown descriptor revision", 0);
        return std::nullopt;
    }
    if (!(sd.control & sd_control::kSelfRelative)) {
        reader.Fail("descriptor not self-relative", 2);
        return std::nullopt;
    }
    bool ok =
        reader.ReadSid(ReadLe32(bytes, 4), 4, sd.owner) &&
        reader.ReadSid(ReadLe32(bytes, 8), 8, sd.group) &&
        reader.ReadAcl(sd.control & sd_control::kSaclPresent, ReadLe32(bytes, 12), 12, sd.sacl) &&
        reader.ReadAcl(sd.control & sd_control::kDaclPresent, ReadLe32(bytes, 16), 16, sd.dacl);
    if (!ok)
        return std::nullopt;
    return sd;
}

uint16_t SecurityDescriptor::WrittenControl() const {
    uint16_t written = control | sd_control::kSelfRelative;
    written =
        dacl.present ? (written | sd_control::kDaclPresent) : (written & ~sd_control::kDaclPresent);
    written =
        sacl.present ? (written | sd_control::kSaclPresent) : (written & ~sd_control::kSaclPresent);
    return written;
}

Bytes SecurityDescriptor::ToSelfRelative() const {
    Bytes out(kSelfRelativeHeaderSize, 0);
    out[0] = revision;
    WriteLe16(out, 2, WrittenControl());
    if (sacl.acl)
        AppendAt(out, 12, sacl.acl->ToBytes());
    if (dacl.acl)
        AppendAt(out, 16, dacl.acl->ToBytes());
    if (owner)
        AppendAt(out, 4, owner->ToBytes());
    if (group)
        AppendAt(out, 8, group->ToBytes());
    return out;
}

SecurityDescriptor DaclOnlyDescriptor(AclSlot dacl, uint16_t control) {
    SecurityDescriptor sd;
    sd.control = control;
    sd.dacl = std::move(dacl);
    return sd;
}

}  // namespace vm
