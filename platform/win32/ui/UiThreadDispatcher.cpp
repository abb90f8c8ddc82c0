#include "platform/win32/ui/UiThreadDispatcher.h"

#include <exception>
#include <mutex>

#include "platform/common/Utf8.h"

namespace zx {

namespace {

constexpr wchar_t kDispatcherClass[] = L"ZxUiThreadDispatcher";
constexpr UINT kInvokeMessage = WM_APP + 1;

} // namespace

TUiThreadDispatcher::TUiThreadDispatcher(std::function<void(const std::u16string&)> reportError)
    : FReportError(std::move(reportError)), FShared(std::make_shared<TShared>()) {
    FShared->Closed = TUniqueHandle(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    RegisterWindowClass(kDispatcherClass, 0, nullptr);
    // A message-only window: never shown, not enumerated, but served by every loop.
    CreateHandle(0, kDispatcherClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, 0);
}

TUiThreadDispatcher::~TUiThreadDispatcher() {
    // Destroying the window drops the calls still queued; then their callers are let go.
    if (Handle()) ::DestroyWindow(Handle());
    {
        const std::lock_guard lock(FShared->Lock);
        FShared->Ended = true;
        FShared->Pending.clear();
    }
    if (FShared->Closed) ::SetEvent(FShared->Closed.get());
}

void TUiThreadDispatcher::InvokeSynchronously(const std::function<void()>& call) {
    const std::shared_ptr<TShared> shared = FShared;
    const HWND window = Handle();
    const TUniqueHandle done(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!window || !done || !shared->Closed) return;
    std::uint64_t number = 0;
    {
        const std::lock_guard lock(shared->Lock);
        if (shared->Ended) return;
        number = ++shared->Last;
        shared->Pending.emplace(number, TShared::TInvocation{&call, done.get()});
    }
    if (::PostMessageW(window, kInvokeMessage, static_cast<WPARAM>(number), 0)) {
        const HANDLE ends[] = {done.get(), shared->Closed.get()};
        ::WaitForMultipleObjects(2, ends, FALSE, INFINITE);
    }
    // Still there when the message never came (not posted, or the dispatcher ended).
    const std::lock_guard lock(shared->Lock);
    shared->Pending.erase(number);
}

LRESULT TUiThreadDispatcher::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kInvokeMessage) return TWindowBase::HandleMessage(message, wParam, lParam);
    TShared::TInvocation invocation{};
    {
        // Taken out, so that a number posted twice runs its call once; a number that names
        // no waiting call (posted by someone else) runs nothing.
        const std::lock_guard lock(FShared->Lock);
        const auto found = FShared->Pending.find(static_cast<std::uint64_t>(wParam));
        if (found == FShared->Pending.end()) return 0;
        invocation = found->second;
        FShared->Pending.erase(found);
    }
    // Errors must not unwind through the window procedure.
    try {
        (*invocation.Call)();
    } catch (const std::exception& error) {
        if (FReportError) FReportError(DecodeUtf8(std::string_view(error.what())));
    } catch (...) {
        if (FReportError) FReportError(u"unknown error");
    }
    ::SetEvent(invocation.Done);
    return 0;
}

} // namespace zx
