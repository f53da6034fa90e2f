#include "demo/DemoStore.h"

#include <filesystem>
#include <system_error>

#include "app/Texts.h"
#include "files/FileIo.h"
#include "platform/sim/MachineFile.h"
#include "resources/strings.h"

namespace vm::demo {

namespace {

std::string_view TextOf(const Bytes& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

constexpr auto kSeparator = static_cast<wchar_t>(std::filesystem::path::preferred_separator);

// "<stem> (damaged)<ext>" or "<stem> (damaged n)<ext>" beside path (worked
// on the wide text: the host's narrow encoding may not hold the name).
std::wstring AsidePath(const std::wstring& path, int number) {
    const size_t nameStart = path.rfind(kSeparator) + 1;  // npos + 1 is 0
    size_t dot = path.rfind(L'.');
    if (dot == std::wstring::npos || dot <= nameStart)
        dot = path.size();
    std::wstring aside = path.substr(0, dot) + L" (damaged";
    if (number > 1)
        aside += L" " + std::to_wstring(number);
    return aside + L")" + path.substr(dot);
}

StartingMachine Shipped(std::string_view shipped, std::wstring message, bool mayWrite) {
    StartingMachine start;
    sim::MachineLoad load = sim::LoadMachine(shipped);
    if (!load.ok()) {
        start.message = FillPlaceholders(L"" STR_DEMO_SHIPPED_DAMAGED, {load.error});
        return start;
    }
    start.machine = std::move(load.machine);
    start.message = std::move(message);
    start.mayWriteSavedFile = mayWrite;
    return start;
}

}  // namespace

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    if (folder.empty() || folder.back() == kSeparator)
        return folder + name;
    return folder + kSeparator + name;
}

DemoFiles DemoFilesIn(const std::wstring& folder) {
    return {folder, JoinPath(folder, L"machine.txt"), JoinPath(folder, L"Documents")};
}

std::wstring KeepAside(const std::wstring& path) {
    for (int number = 1; number <= kMostKeptAsideCopies; ++number) {
        const std::wstring aside = AsidePath(path, number);
        std::error_code code;
        if (std::filesystem::exists(ToFsPath(aside), code) || code)
            continue;
        std::filesystem::rename(ToFsPath(path), ToFsPath(aside), code);
        return code ? std::wstring() : aside;
    }
    return {};
}

StartingMachine LoadStartingMachine(std::string_view shipped, const DemoFiles& files) {
    if (!FileExists(files.machine))
        return Shipped(shipped, {}, true);
    const std::optional<Bytes> saved = ReadWholeFile(files.machine);
    if (!saved)
        return Shipped(shipped, FillPlaceholders(L"" STR_DEMO_SAVED_UNREADABLE, {files.machine}),
                       false);
    sim::MachineLoad load = sim::LoadMachine(TextOf(*saved));
    if (load.ok()) {
        StartingMachine start;
        start.machine = std::move(load.machine);
        start.fromSavedFile = true;
        return start;
    }
    const std::wstring aside = KeepAside(files.machine);
    if (aside.empty())
        return Shipped(shipped,
                       FillPlaceholders(L"" STR_DEMO_SAVED_STUCK, {files.machine, load.error}),
                       false);
    return Shipped(shipped, FillPlaceholders(L"" STR_DEMO_SAVED_DAMAGED, {load.error, aside}),
                   true);
}

Status SaveMachineFile(const std::string& text, const DemoFiles& files) {
    std::error_code code;
    std::filesystem::create_directories(ToFsPath(files.folder), code);
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    return WriteFileReplacing(files.machine, {bytes, text.size()});
}

}  // namespace vm::demo
