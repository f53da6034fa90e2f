// UiRunner: test code run on a UI thread through a hidden window of it.
#include "harness/Harness.h"

namespace vm::harness {

namespace {

constexpr UINT kRunNow = WM_APP + 0x300;      // LPARAM: the caller's code, waited for
constexpr UINT kRunStarted = WM_APP + 0x301;  // the oldest started code
constexpr wchar_t kClassName[] = L"VelmoraTestRunner";

}  // namespace

void UiRunner::Create() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &UiRunner::Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);  // fails harmlessly once registered
    window_ = CreateWindowExW(0, kClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void UiRunner::Run(const std::function<void()>& code, milliseconds timeout) const {
    Send(window_, kRunNow, 0, reinterpret_cast<LPARAM>(&code), timeout);
}

void UiRunner::Start(std::function<void()> code) {
    {
        std::lock_guard lock(mutex_);
        started_.push_back(std::move(code));
    }
    PostMessageW(window_, kRunStarted, 0, 0);
}

std::function<void()> UiRunner::TakeStarted() {
    std::lock_guard lock(mutex_);
    if (started_.empty())
        return {};
    std::function<void()> code = std::move(started_.front());
    started_.pop_front();
    return code;
}

LRESULT CALLBACK UiRunner::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* runner = reinterpret_cast<UiRunner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == kRunNow) {
        (*reinterpret_cast<const std::function<void()>*>(lParam))();
        return 0;
    }
    if (message == kRunStarted && runner) {
        if (std::function<void()> code = runner->TakeStarted())
            code();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace vm::harness
