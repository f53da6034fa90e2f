#include "security/Acl.h"

namespace vm {
namespace {

// Types whose body is mask + SID (+ optional callback data), MS-DTYP 2.4.4.
bool IsMaskSidType(uint8_t type) {
    switch (type) {
        case 0x0:
        case 0x1:
        case 0x2:
        case 0x3:  // allowed, denied, audit, alarm
        case 0x9:
        case 0xA:
        case 0xD:  // callback allowed, denied, audit
        case 0x11:
        case 0x12:
        case 0x13:  // label, resource attribute, scoped policy
            return true;
        default:
            return false;
    }
}

// Object types: mask, flags, optional GUIDs, SID (MS-DTYP 2.4.4.3).
bool IsObjectType(uint8_t type) {
    switch (type) {
        case 0x5:
        case 0x6:
        case 0x7:
        case 0x8:
        case 0xB:
        case 0xC:
        case 0xE:
        case 0xF:
        case 0x10:
            return true;
        default:
            return false;
    }
}

void Fail(ParseError* error, const char* message, size_t offset) {
    if (error)
        *error = {message, offset};
}

// The trustee of an object entry, read from its body (after the header).
std::optional<Sid> ObjectAceSid(std::span<const uint8_t> body) {
    if (body.size() < 8)
        return std::nullopt;
    uint32_t objectFlags = ReadLe32(body, 4);
    size_t at = 8;
    if (objectFlags & 0x1)
        at += 16;  // ACE_OBJECT_TYPE_PRESENT
    if (objectFlags & 0x2)
        at += 16;  // ACE_INHERITED_OBJECT_TYPE_PRESENT
    if (at > body.size())
        return std::nullopt;
    return Sid::Parse(body.subspan(at));
}

}  // namespace

Ace Ace::Allow(const Sid& sid, uint32_t mask, uint8_t flags) {
    return Ace{ace_type::kAccessAllowed, flags, mask, sid, {}};
}

Ace Ace::Deny(const Sid& sid, uint32_t mask, uint8_t flags) {
    return Ace{ace_type::kAccessDenied, flags, mask, sid, {}};
}

bool Ace::HasMaskSidLayout() const {
    return IsMaskSidType(type);
}

std::optional<Ace> Ace::Parse(std::span<const uint8_t> bytes, size_t* consumed, ParseError* error) {
    if (bytes.size() < kAceHeaderSize) {
        Fail(error, "entry header cut", 0);
        return std::nullopt;
    }
    size_t aceSize = ReadLe16(bytes, 2);
    if (aceSize < kAceHeaderSize + 4 || aceSize > bytes.size()) {
        Fail(error, "entry size out of range", 2);
        return std::nullopt;
    }
    Ace ace;
    ace.type = bytes[0];
    ace.flags = bytes[1];
    auto body = bytes.subspan(kAceHeaderSize, aceSize - kAceHeaderSize);
    ace.mask = ReadLe32(body, 0);
    if (IsMaskSidType(ace.type)) {
        size_t sidLength = 0;
        ace.sid = Sid::Parse(body.subspan(4), &sidLength);
        if (!ace.sid) {
            Fail(error, "entry SID invalid or cut", kAceHeaderSize + 4);
            return std::nullopt;
        }
        auto rest = body.subspan(4 + sidLength);
        ace.extra.assign(rest.begin(), rest.end());
    } else {
        if (IsObjectType(ace.type))
            ace.sid = ObjectAceSid(body);
        ace.extra.assign(body.begin(), body.end());
    }
    if (consumed)
        *consumed = aceSize;
    return ace;
}

size_t Ace::Size() const {
    if (HasMaskSidLayout())
        return kAceHeaderSize + 4 + (sid ? sid->length() : 0) + extra.size();
    return kAceHeaderSize + std::max<size_t>(extra.size(), 4);
}

void Ace::AppendTo(Bytes& out) const {
    out.push_back(type);
    out.push_back(flags);
    AppendLe16(out, static_cast<uint16_t>(Size()));
    AppendLe32(out, mask);
    if (HasMaskSidLayout()) {
        if (sid)
            sid->AppendTo(out);
        out.insert(out.end(), extra.begin(), extra.end());
    } else if (extra.size() > 4) {
        out.insert(out.end(), extra.begin() + 4, extra.end());
    }
}

Acl Acl::WithRoom(uint16_t size) {
    Acl acl;
    acl.size = size;
    return acl;
}

std::optional<Acl> Acl::Parse(std::span<const uint8_t> bytes, ParseError* error) {
    if (bytes.size() < kAclHeaderSize) {
        Fail(error, "ACL header cut", 0);
        return std::nullopt;
    }
    Acl acl;
    acl.revision = bytes[0];
    if (acl.revision < kAclRevision || acl.revision > kAclRevisionDs) {
        Fail(error, "unknown ACL revision", 0);
        return std::nullopt;
    }
    acl.size = ReadLe16(bytes, 2);
    size_t count = ReadLe16(bytes, 4);
    if (acl.size < kAclHeaderSize || acl.size > bytes.size()) {
        Fail(error, "ACL size beyond the bytes", 2);
        return std::nullopt;
    }
    // Every entry takes at least 8 bytes: a count the size cannot hold lies.
    if (count > (acl.size - kAclHeaderSize) / 8) {
        Fail(error, "entry count beyond the ACL size", 4);
        return std::nullopt;
    }
    auto within = bytes.subspan(0, acl.size);
    size_t at = kAclHeaderSize;
    acl.aces.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        size_t consumed = 0;
        ParseError inner;
        auto ace = Ace::Parse(within.subspan(at), &consumed, &inner);
        if (!ace) {
            Fail(error, inner.message.c_str(), at + inner.offset);
            return std::nullopt;
        }
        acl.aces.push_back(std::move(*ace));
        at += consumed;
    }
    return acl;
}

size_t Acl::BytesInUse() const {
    size_t total = kAclHeaderSize;
    for (const auto& ace : aces)
        total += ace.Size();
    return total;
}

Status Acl::AddAce(uint32_t index, const Ace& ace) {
    if (BytesInUse() + ace.Size() > size)
        return Status::Fail(kErrorAllottedSpaceExceeded);
    if (index >= aces.size()) {
        aces.push_back(ace);
    } else {
        aces.insert(aces.begin() + index, ace);
    }
    return Status::Ok();
}

Bytes Acl::ToBytes() const {
    Bytes out;
    size_t inUse = BytesInUse();
    size_t total = std::max<size_t>(size, inUse);
    out.reserve(total);
    out.push_back(revision);
    out.push_back(0);
    AppendLe16(out, static_cast<uint16_t>(total));
    AppendLe16(out, static_cast<uint16_t>(aces.size()));
    AppendLe16(out, 0);
    for (const auto& ace : aces)
        ace.AppendTo(out);
    out.resize(total, 0);
    return out;
}

Acl Acl::Compacted() const {
    Acl copy = *this;
    copy.size = static_cast<uint16_t>(BytesInUse());
    return copy;
}

}  // namespace vm
