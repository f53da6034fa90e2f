// Starting windows and programs, waiting, finding and messaging windows.
#include "harness/Harness.h"

#include <gtest/gtest.h>

#include <utility>

namespace vm::harness {

Handle& Handle::operator=(Handle&& other) noexcept {
    if (this != &other)
        reset(other.release());
    return *this;
}

HANDLE Handle::release() {
    return std::exchange(handle_, nullptr);
}

void Handle::reset(HANDLE handle) {
    if (handle_ && handle_ != INVALID_HANDLE_VALUE)
        CloseHandle(handle_);
    handle_ = handle;
}

// ---- Waiting -----------------------------------------------------------------

namespace {

void HandlePendingMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// The system gives every GUI thread input-method windows of its own; they
// are not windows of the program.
bool IsSystemHelperWindow(HWND window) {
    std::wstring name = ClassName(window);
    return name == L"IME" || name == L"MSCTFIME UI";
}

// Top-level windows of the thread that the program created.
std::vector<HWND> WindowsOfThread(DWORD threadId) {
    std::vector<HWND> windows = TopLevelWindowsOfThread(threadId);
    std::erase_if(windows, IsSystemHelperWindow);
    return windows;
}

}  // namespace

bool WaitFor(const std::function<bool()>& condition, milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        HandlePendingMessages();
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

void Pump(milliseconds duration) {
    WaitFor([] { return false; }, duration);
}

// ---- UiThread ------------------------------------------------------------------

UiThread::UiThread(std::function<void()> body) : body_(std::move(body)) {
    thread_.reset(CreateThread(nullptr, 0, &UiThread::Run, this, 0, &id_));
    if (!thread_)
        ADD_FAILURE() << "CreateThread failed: " << GetLastError();
}

DWORD WINAPI UiThread::Run(void* self) {
    auto* thread = static_cast<UiThread*>(self);
    thread->body_();
    // Keep the windows that body left alive until the last one is gone.
    while (!WindowsOfThread(GetCurrentThreadId()).empty()) {
        MSG message;
        BOOL got = PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);
        if (!got) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            continue;
        }
        if (message.message == WM_QUIT)
            break;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

UiThread::~UiThread() {
    if (!thread_)
        return;
    if (WaitForSingleObject(thread_.get(), 0) == WAIT_OBJECT_0)
        return;
    for (HWND window : WindowsOfThread(id_))
        PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForEnd())
        return;
    ADD_FAILURE() << "the UI thread did not end after WM_CLOSE to its windows";
    PostThreadMessageW(id_, WM_QUIT, 0, 0);
    if (!WaitForEnd(milliseconds(5000))) {
        // Nothing safe is left to do: leave the thread to the process's end.
        thread_.release();
    }
}

HWND UiThread::WaitForWindow(const std::wstring& caption, milliseconds timeout) const {
    HWND found = nullptr;
    WaitFor(
        [&] {
            for (HWND window : TopLevelWindowsOfThread(id_)) {
                if (IsWindowVisible(window) && (caption.empty() || WindowText(window) == caption)) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        timeout);
    return found;
}

bool UiThread::WaitForEnd(milliseconds timeout) const {
    return WaitFor([&] { return WaitForSingleObject(thread_.get(), 0) == WAIT_OBJECT_0; }, timeout);
}

// ---- AppProcess ------------------------------------------------------------------

std::wstring ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return L"";
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::optional<AppProcess> AppProcess::Start(const std::wstring& fileName,
                                            const std::wstring& arguments) {
    std::wstring path = ProgramFolder() + fileName;
    std::wstring commandLine = L"\"" + path + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info)) {
        ADD_FAILURE() << "CreateProcessW failed with error " << GetLastError();
        return std::nullopt;
    }
    CloseHandle(info.hThread);
    return AppProcess(Handle(info.hProcess), info.dwProcessId);
}

AppProcess::~AppProcess() {
    if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 5000);
    }
}

HWND AppProcess::WaitForWindow(const std::wstring& caption, milliseconds timeout) const {
    HWND found = nullptr;
    WaitFor(
        [&] {
            for (HWND window : TopLevelWindowsOfProcess(id_)) {
                if (IsWindowVisible(window) && (caption.empty() || WindowText(window) == caption)) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        timeout);
    return found;
}

bool AppProcess::WaitForExit(milliseconds timeout) const {
    return WaitFor([&] { return WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0; },
                   timeout);
}

std::optional<DWORD> AppProcess::ExitCode() const {
    DWORD code = 0;
    if (!GetExitCodeProcess(process_.get(), &code) || code == STILL_ACTIVE)
        return std::nullopt;
    return code;
}

// ---- Finding windows -----------------------------------------------------------------

std::vector<HWND> TopLevelWindowsOfThread(DWORD threadId) {
    std::vector<HWND> windows;
    EnumThreadWindows(
        threadId,
        [](HWND window, LPARAM list) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<HWND> TopLevelWindowsOfProcess(DWORD processId) {
    struct Search {
        DWORD processId;
        std::vector<HWND> windows;
    } search{processId, {}};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s->processId)
                s->windows.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

HWND FindControl(HWND parent, int id) {
    if (HWND direct = GetDlgItem(parent, id))
        return direct;
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            if (GetDlgCtrlID(window) != s->id)
                return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForControl(HWND parent, int id, milliseconds timeout) {
    HWND found = nullptr;
    WaitFor([&] { return (found = FindControl(parent, id)) != nullptr; }, timeout);
    return found;
}

std::wstring WindowText(HWND window) {
    // WM_GETTEXT with a timeout: works across threads and processes, and a
    // hung window fails the test instead of blocking it.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) {
        return L"";
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, 5000, &copied)) {
        return L"";
    }
    text.resize(copied);
    return text;
}

std::wstring ClassName(HWND window) {
    wchar_t name[256] = {};
    int length = GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? length : 0);
}

bool IsEnabled(HWND window) {
    return IsWindowEnabled(window) != FALSE;
}

bool IsVisible(HWND window) {
    return IsWindowVisible(window) != FALSE;
}

// ---- Messages ----------------------------------------------------------------------------

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, milliseconds timeout) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL,
                             static_cast<UINT>(timeout.count()), &result)) {
        ADD_FAILURE() << "message 0x" << std::hex << message << " to window " << window
                      << " was not handled in time (error " << std::dec << GetLastError() << ")";
    }
    return static_cast<LRESULT>(result);
}

void Click(HWND button) {
    Send(button, BM_CLICK);
}

void SendMenuCommand(HWND window, UINT commandId) {
    // A menu choice arrives as WM_COMMAND with notification code 0 and no
    // control handle.
    Send(window, WM_COMMAND, MAKEWPARAM(commandId, 0), 0);
}

void SendSystemCommand(HWND window, UINT command) {
    PostMessageW(window, WM_SYSCOMMAND, command, 0);
}

void Close(HWND window) {
    PostMessageW(window, WM_CLOSE, 0, 0);
}

}  // namespace vm::harness
