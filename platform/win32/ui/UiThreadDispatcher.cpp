#include "platform/win32/ui/UiThreadDispatcher.h"

#include <exception>

#include "platform/common/Utf8.h"

namespace zx {

namespace {

constexpr wchar_t kDispatcherClass[] = L"ZxUiThreadDispatcher";
constexpr UINT kInvokeMessage = WM_APP + 1;

// Lives on the waiting caller's stack until `Done` is set.
struct TInvocation {
    const std::function<void()>* Call;
    HANDLE Done;
};

} // namespace

TUiThreadDispatcher::TUiThreadDispatcher(std::function<void(const std::u16string&)> reportError)
    : FReportError(std::move(reportError)),
      FClosed(std::make_shared<TUniqueHandle>(::CreateEventW(nullptr, TRUE, FALSE, nullptr))) {
    RegisterWindowClass(kDispatcherClass, 0, nullptr);
    // A message-only window: never shown, not enumerated, but served by every loop.
    CreateHandle(0, kDispatcherClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, 0);
}

TUiThreadDispatcher::~TUiThreadDispatcher() {
    // Destroying the window drops the calls still queued; then their callers are let go.
    if (Handle()) ::DestroyWindow(Handle());
    if (*FClosed) ::SetEvent(FClosed->get());
}

void TUiThreadDispatcher::InvokeSynchronously(const std::function<void()>& call) {
    const std::shared_ptr<TUniqueHandle> closed = FClosed;
    const HWND window = Handle();
    const TUniqueHandle done(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!window || !done || !*closed) return;
    TInvocation invocation{&call, done.get()};
    if (!::PostMessageW(window, kInvokeMessage, 0, reinterpret_cast<LPARAM>(&invocation))) return;
    const HANDLE ends[] = {done.get(), closed->get()};
    ::WaitForMultipleObjects(2, ends, FALSE, INFINITE);
}

LRESULT TUiThreadDispatcher::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kInvokeMessage) return TWindowBase::HandleMessage(message, wParam, lParam);
    auto* invocation = reinterpret_cast<TInvocation*>(lParam);
    // Errors must not unwind through the window procedure.
    try {
        (*invocation->Call)();
    } catch (const std::exception& error) {
        if (FReportError) FReportError(DecodeUtf8(std::string_view(error.what())));
    } catch (...) {
        if (FReportError) FReportError(u"unknown error");
    }
    ::SetEvent(invocation->Done);
    return 0;
}

} // namespace zx
