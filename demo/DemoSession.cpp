#include "demo/DemoSession.h"

#include <filesystem>
#include <system_error>

#include "app/Texts.h"
#include "files/FileIo.h"
#include "platform/ErrorText.h"
#include "platform/sim/MachineFile.h"
#include "resources/strings.h"

namespace vm::demo {

namespace {

constexpr wchar_t kSavedFileComment[] =
    L"The demonstration machine as velmora-demo.exe saved it at exit.\n"
    L"Delete this file to start again from the machine the program ships with.";

// A name of the simulated machine that is also one plain file name here.
bool IsPlainFileName(const std::wstring& name) {
    return !name.empty() && name != L"." && name != L".." &&
           name.find_first_of(L"\\/") == std::wstring::npos;
}

std::wstring SubFolderIfPresent(Platform& machine, const std::wstring& folder,
                                const wchar_t* name) {
    if (folder.empty())
        return {};
    std::wstring path = folder + L"\\" + name;
    return machine.PathIsDirectory(path) ? path : std::wstring();
}

// Writes bytes to path unless the file there holds them already.
Status CopyIfDifferent(const std::wstring& path, const Bytes& bytes) {
    if (const std::optional<Bytes> present = ReadWholeFile(path); present && *present == bytes)
        return Status::Ok();
    return WriteFileReplacing(path, bytes);
}

}  // namespace

std::wstring UserProfileFolder(Platform& machine) {
    const std::wstring windows = machine.GetWindowsDirectory();
    const Result<std::wstring> user = machine.GetUserName();
    if (windows.size() < 2 || windows[1] != L':' || !user.ok() || user->empty())
        return {};
    return SubFolderIfPresent(machine, windows.substr(0, 2) + L"\\Users", user->c_str());
}

DemoSession::DemoSession(std::string shipped, DemoFiles files, std::wstring startFolder)
    : shipped_(std::move(shipped)),
      files_(std::move(files)),
      startFolder_(std::move(startFolder)) {}

DemoSession::~DemoSession() = default;

bool DemoSession::Start(Reporter& reporter) {
    StartingMachine start = LoadStartingMachine(shipped_, files_);
    if (!start.message.empty())
        reporter.Tell(start.message, start.machine ? MessageIcon::kWarning : MessageIcon::kError);
    if (!start.machine)
        return false;
    mayWriteSavedFile_ = start.mayWriteSavedFile;
    platform_ = std::make_unique<ReplaceablePlatform>(std::move(start.machine));
    startText_ = CurrentText();
    if (!start.fromSavedFile)
        shippedText_ = startText_;
    if (!startFolder_.empty() && !platform_->PathIsDirectory(startFolder_)) {
        reporter.Tell(FillPlaceholders(L"" STR_DEMO_NO_FOLDER, {startFolder_}),
                      MessageIcon::kWarning);
        startFolder_.clear();
    }
    return true;
}

ReplaceablePlatform& DemoSession::platform() {
    return *platform_;
}

std::string DemoSession::CurrentText() const {
    sim::MachineSaveOptions options;
    options.comment = kSavedFileComment;
    return platform_->Inspect(
        [&](const sim::SimPlatform& machine) { return sim::SaveMachine(machine, options); });
}

Status DemoSession::CopyDocuments() {
    const std::wstring documents =
        SubFolderIfPresent(*platform_, UserProfileFolder(*platform_), L"Documents");
    if (documents.empty())
        return Status::Ok();
    const Result<std::vector<FindData>> entries = platform_->FindFiles(documents + L"\\*");
    if (!entries.ok())
        return Status::Fail(entries.error());
    std::error_code code;
    std::filesystem::create_directories(ToFsPath(files_.documents), code);
    Status first = Status::Ok();
    for (const FindData& entry : *entries) {
        if ((entry.attributes & attr::kDirectory) != 0 || !IsPlainFileName(entry.name))
            continue;
        const std::optional<Bytes> content =
            platform_->Inspect([&](const sim::SimPlatform& machine) {
                return machine.FileContent(documents + L"\\" + entry.name);
            });
        if (!content)
            continue;
        const Status copied = CopyIfDifferent(JoinPath(files_.documents, entry.name), *content);
        if (first.ok())
            first = copied;
    }
    return first;
}

bool DemoSession::ResetToShipped(Reporter& reporter) {
    sim::MachineLoad load = sim::LoadMachine(shipped_);
    if (!load.ok()) {
        reporter.Tell(FillPlaceholders(L"" STR_DEMO_SHIPPED_DAMAGED, {load.error}),
                      MessageIcon::kError);
        return false;
    }
    // The machine it replaces goes here, outside the platform's lock.
    std::unique_ptr<sim::SimPlatform> replaced = platform_->Replace(std::move(load.machine));
    shippedText_ = CurrentText();
    return true;
}

void DemoSession::Finish(Reporter& reporter) {
    if (!platform_ || !mayWriteSavedFile_)
        return;
    const std::string text = CurrentText();
    if (text == startText_)
        return;
    if (shippedText_ && text == *shippedText_) {
        // Back as shipped: no saved file, so the next start takes the
        // shipped machine (and a newer one a later version brings).
        std::error_code code;
        std::filesystem::remove(ToFsPath(files_.machine), code);
        if (!code)
            return;
    }
    const Status saved = SaveMachineFile(text, files_);
    if (!saved.ok())
        reporter.Tell(
            FillPlaceholders(L"" STR_DEMO_NOT_SAVED, {files_.machine, DescribeError(saved.error)}),
            MessageIcon::kError);
}

std::wstring DemoSession::StartFolder() const {
    return startFolder_;
}

std::wstring DemoSession::DesktopFolder() const {
    return SubFolderIfPresent(*platform_, UserProfileFolder(*platform_), L"Desktop");
}

}  // namespace vm::demo
