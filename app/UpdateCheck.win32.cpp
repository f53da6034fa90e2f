#include "app/UpdateCheck.win32.h"

#include <wininet.h>

#include "app/Messages.h"
#include "platform/win32/Handles.h"

namespace vm {

namespace {

struct InternetTraits {
    using Type = HINTERNET;
    static Type Invalid() { return nullptr; }
    static void Close(Type handle) { InternetCloseHandle(handle); }
};
using InternetHandle = win32::Unique<InternetTraits>;

// A check that hangs on a silent host ends after these (milliseconds).
constexpr DWORD kConnectTimeout = 15000;
constexpr DWORD kReceiveTimeout = 30000;

// The text of a WinINet error (its messages live in wininet.dll) or of a
// system error; empty when neither has one.
std::wstring ErrorTextOf(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD flags =
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM;
    HMODULE wininet = GetModuleHandleW(L"wininet.dll");
    DWORD length = 0;
    if (wininet != nullptr && code >= INTERNET_ERROR_BASE && code <= INTERNET_ERROR_LAST)
        length = FormatMessageW(flags | FORMAT_MESSAGE_FROM_HMODULE, wininet, code, 0,
                                reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (length == 0)
        length =
            FormatMessageW(flags, nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length != 0 && text != nullptr ? std::wstring(text, length) : L"";
    if (text != nullptr)
        LocalFree(text);
    return message;
}

UpdateDownload FailedAt(UpdateDownload::Step step, DWORD error) {
    UpdateDownload download;
    download.step = step;
    download.error = error;
    download.errorText = ErrorTextOf(error);
    return download;
}

void SetTimeouts(HINTERNET root) {
    DWORD connect = kConnectTimeout;
    DWORD receive = kReceiveTimeout;
    InternetSetOptionW(root, INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof(connect));
    InternetSetOptionW(root, INTERNET_OPTION_RECEIVE_TIMEOUT, &receive, sizeof(receive));
}

// HTTP status code and text of an opened URL; 0 for a scheme without them.
void ReadStatus(HINTERNET url, UpdateDownload& download) {
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!HttpQueryInfoW(url, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                        nullptr))
        return;
    download.httpStatus = static_cast<int>(status);
    wchar_t text[128]{};
    DWORD textSize = sizeof(text) - sizeof(wchar_t);
    if (HttpQueryInfoW(url, HTTP_QUERY_STATUS_TEXT, text, &textSize, nullptr))
        download.statusText = std::wstring(text, textSize / sizeof(wchar_t));
}

// Reads the answer in blocks of at most 1023 bytes until a read gives none.
void ReadBody(HINTERNET url, UpdateDownload& download) {
    uint8_t block[kUpdateReadBlockBytes];
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(url, block, static_cast<DWORD>(sizeof(block)), &read)) {
            const DWORD error = GetLastError();
            download = FailedAt(UpdateDownload::Step::kRead, error);
            return;
        }
        if (read == 0)
            return;
        if (download.body.size() + read > kMaxUpdateFileBytes) {
            download.step = UpdateDownload::Step::kTooLarge;
            download.body.clear();
            return;
        }
        download.body.insert(download.body.end(), block, block + read);
    }
}

}  // namespace

bool DownloadCancel::Adopt(void* root) {
    std::lock_guard lock(mutex_);
    if (cancelled_)
        return false;
    root_ = root;
    return true;
}

bool DownloadCancel::Release(void* root) {
    std::lock_guard lock(mutex_);
    if (root_ != root)
        return false;
    root_ = nullptr;
    return true;
}

void DownloadCancel::Cancel() {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    // Per the InternetCloseHandle docs, closing the handle ends what is
    // pending on it; the download's own close then finds it closed.
    if (root_ != nullptr)
        InternetCloseHandle(static_cast<HINTERNET>(std::exchange(root_, nullptr)));
}

UpdateDownload DownloadUpdateFile(const std::wstring& url, DownloadCancel* cancel) {
    HINTERNET rootHandle =
        InternetOpenW(kUpdateUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (rootHandle == nullptr)
        return FailedAt(UpdateDownload::Step::kOpenSession, GetLastError());
    // The cancel closes the root itself once it has adopted it.
    if (cancel != nullptr && !cancel->Adopt(rootHandle)) {
        InternetCloseHandle(rootHandle);
        return FailedAt(UpdateDownload::Step::kOpenUrl, ERROR_INTERNET_OPERATION_CANCELLED);
    }
    SetTimeouts(rootHandle);
    UpdateDownload download;
    {
        InternetHandle opened(
            InternetOpenUrlW(rootHandle, url.c_str(), nullptr, 0, INTERNET_FLAG_NO_CACHE_WRITE, 0));
        if (!opened) {
            download = FailedAt(UpdateDownload::Step::kOpenUrl, GetLastError());
        } else {
            ReadStatus(opened.get(), download);
            ReadBody(opened.get(), download);
        }
    }
    if (cancel == nullptr || cancel->Release(rootHandle))
        InternetCloseHandle(rootHandle);
    return download;
}

UpdateChecks::~UpdateChecks() {
    std::list<std::unique_ptr<Check>> checks;
    {
        std::lock_guard lock(mutex_);
        checks.swap(checks_);
    }
    for (auto& check : checks)
        check->cancel.Cancel();
    for (auto& check : checks) {
        if (check->worker.joinable())
            check->worker.join();
    }
}

void UpdateChecks::Start(const std::wstring& url) {
    auto check = std::make_unique<Check>();
    Check* running = check.get();
    {
        std::lock_guard lock(mutex_);
        checks_.push_back(std::move(check));
    }
    const HWND notify = notify_;
    running->worker = std::thread([running, url, notify] {
        running->outcome = EvaluateUpdateDownload(DownloadUpdateFile(url, &running->cancel));
        running->done.store(true, std::memory_order_release);
        PostMessageW(notify, kMsgUpdateCheckDone, 0, 0);
    });
}

std::vector<UpdateOutcome> UpdateChecks::TakeFinished() {
    std::vector<UpdateOutcome> outcomes;
    std::lock_guard lock(mutex_);
    for (auto it = checks_.begin(); it != checks_.end();) {
        Check& check = **it;
        if (!check.done.load(std::memory_order_acquire)) {
            ++it;
            continue;
        }
        check.worker.join();
        outcomes.push_back(std::move(check.outcome));
        it = checks_.erase(it);
    }
    return outcomes;
}

bool UpdateChecks::Running() const {
    std::lock_guard lock(mutex_);
    return !checks_.empty();
}

}  // namespace vm
