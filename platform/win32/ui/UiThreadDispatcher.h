// Hand-over to the UI thread through its message queue: the call runs from the UI
// thread's message loop (a modal loop included), not inside a cross-thread SendMessage.
// A call that shows a dialog or asks the shell to open an address needs this: during a
// sent message from another thread the thread may make no outgoing COM call, and the
// shell may use COM to start a browser.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/BackgroundWork.h"
#include "platform/win32/Handles.h"
#include "platform/win32/ui/WindowBase.h"

namespace zx {

class TUiThreadDispatcher final : public TWindowBase, public IUiDispatcher {
public:
    // Created on the UI thread. `reportError` receives the text of an error that escaped
    // a call; the call's caller is released either way.
    explicit TUiThreadDispatcher(std::function<void(const std::u16string& what)> reportError = {});
    // Calls still waiting return without having run.
    ~TUiThreadDispatcher() override;

    // From a background thread: posts the call and waits until the UI thread has run it.
    // Returns at once, without running it, once this dispatcher is gone.
    void InvokeSynchronously(const std::function<void()>& call) override;

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // What the dispatcher shares with the callers that still wait on it: the calls
    // handed over, by the sequence number that the posted message carries (its window can
    // be found by class, and any program can post to it: a message names a call only
    // through this table, never by an address), and the event set when it ends.
    struct TShared {
        struct TInvocation {
            const std::function<void()>* Call;
            HANDLE Done;
        };
        TUniqueHandle Closed;
        std::mutex Lock;
        bool Ended = false;
        std::uint64_t Last = 0;
        std::map<std::uint64_t, TInvocation> Pending;
    };

    std::function<void(const std::u16string&)> FReportError;
    std::shared_ptr<TShared> FShared;
};

} // namespace zx
