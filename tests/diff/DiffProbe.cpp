// The project's answers for the differential tests: reads one request per
// line on standard input and writes one answer line per request, so that a
// comparison script can put thousands of generated cases to this program and
// to an independent implementation.
//
//   S <sddl>                          -> OK <descriptor hex> | ERR
//   B <descriptor hex>                -> OK <sddl> | ERR
//   C <descriptor hex> <desired hex> <privileges> <sid>[,<sid>...]
//                                     -> OK <rights not granted, hex> | ERR
//
// Privileges are a word of letters: 't' SeTakeOwnershipPrivilege and 's'
// SeSecurityPrivilege enabled, '-' for none. The first SID is the token's
// user, the others its enabled groups. The access check is the simulated
// machine's, for an open without backup intent.
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Utf16.h"
#include "platform/rules/AccessCheck.h"
#include "security/Sddl.h"

namespace {

using vm::Bytes;

std::string ToHex(const Bytes& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (uint8_t b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 0xF];
    }
    return text;
}

std::optional<Bytes> FromHex(const std::string& text) {
    if (text.size() % 2 != 0)
        return std::nullopt;
    Bytes bytes;
    for (size_t i = 0; i < text.size(); i += 2) {
        unsigned value = 0;
        if (std::sscanf(text.substr(i, 2).c_str(), "%2x", &value) != 1)
            return std::nullopt;
        bytes.push_back(static_cast<uint8_t>(value));
    }
    return bytes;
}

std::string Hex32(uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%x", value);
    return buffer;
}

std::optional<vm::SecurityDescriptor> ParseDescriptor(const std::string& hex) {
    auto bytes = FromHex(hex);
    if (!bytes)
        return std::nullopt;
    return vm::SecurityDescriptor::Parse(*bytes);
}

std::string SddlToHex(const std::string& sddl) {
    auto bytes = vm::SddlToBytes(vm::FromUtf8(sddl));
    return bytes ? "OK " + ToHex(*bytes) : "ERR";
}

std::string HexToSddl(const std::string& hex) {
    auto sd = ParseDescriptor(hex);
    return sd ? "OK " + vm::ToUtf8(vm::DescriptorToSddl(*sd)) : "ERR";
}

std::optional<vm::rules::Token> TokenFrom(const std::string& privileges, const std::string& sids) {
    vm::rules::Token token;
    std::stringstream list(sids);
    std::string text;
    bool first = true;
    while (std::getline(list, text, ',')) {
        auto sid = vm::Sid::FromString(vm::FromUtf8(text));
        if (!sid)
            return std::nullopt;
        if (first)
            token.user = *sid;
        else
            token.groups.push_back({*sid, true, false, false});
        first = false;
    }
    if (first)
        return std::nullopt;
    token.privileges = {
        {vm::rules::privilege::kTakeOwnership, privileges.find('t') != std::string::npos},
        {vm::rules::privilege::kSecurity, privileges.find('s') != std::string::npos}};
    return token;
}

std::string Check(std::istream& in) {
    std::string hex, desiredHex, privileges, sids;
    if (!(in >> hex >> desiredHex >> privileges >> sids))
        return "ERR";
    auto sd = ParseDescriptor(hex);
    auto token = TokenFrom(privileges, sids);
    if (!sd || !token)
        return "ERR";
    unsigned desired = 0;
    if (std::sscanf(desiredHex.c_str(), "%x", &desired) != 1)
        return "ERR";
    uint32_t denied =
        vm::rules::DeniedRights(sd->owner, sd->dacl, *token, desired, vm::rules::OpenIntent::kNormal);
    return "OK " + Hex32(denied);
}

std::string Answer(const std::string& line) {
    std::istringstream in(line);
    std::string verb;
    in >> verb;
    std::string rest;
    std::getline(in >> std::ws, rest);
    if (verb == "S")
        return SddlToHex(rest);
    if (verb == "B")
        return HexToSddl(rest);
    if (verb == "C") {
        std::istringstream args(rest);
        return Check(args);
    }
    return "ERR";
}

}  // namespace

int main() {
    std::ios::sync_with_stdio(false);
    std::string line;
    while (std::getline(std::cin, line))
        std::cout << Answer(line) << '\n';
    return 0;
}
