// Fuzz target: the profile-file reader takes any bytes, and a document it
// writes reads back to the same lines.
#include <cstddef>
#include <cstdint>
#include <span>

#include "files/ProfileFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vm::ProfileDocument first = vm::ProfileDocument::Parse(std::span<const uint8_t>(data, size));
    first.Set(L"STATE", L"VIEWMODE", L"1");
    (void)vm::ProfileString(first, L"STATE", L"OPENPATH", L"x", 260);
    (void)vm::ProfileInt(first, L"INFO", L"CONUT", 0);
    std::vector<uint8_t> written = first.Serialize();
    vm::ProfileDocument second = vm::ProfileDocument::Parse(written);
    if (second.Serialize() != written || second.Find(L"state", L"viewmode") != L"1")
        __builtin_trap();
    return 0;
}
