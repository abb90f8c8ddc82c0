// The posted hand-over to the UI thread and the link label, under Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <memory>
#include <thread>

#include "ToolkitTestSupport.h"
#include "platform/win32/ui/LinkLabel.h"
#include "platform/win32/WindowText.h"
#include "platform/win32/ui/UiThreadDispatcher.h"

namespace zx {
namespace {

TEST(UiThreadDispatcher, RunsTheCallFromTheUiThreadsLoopAndWaitsForIt) {
    TUiThreadDispatcher dispatcher;
    const DWORD uiThread = ::GetCurrentThreadId();
    std::atomic<DWORD> ranOn = 0;
    std::atomic<bool> insideSentMessage = true;
    std::atomic<bool> sawTheEffect = false;
    std::atomic<bool> returned = false;
    int effect = 0;
    std::thread worker([&] {
        dispatcher.InvokeSynchronously([&] {
            ranOn = ::GetCurrentThreadId();
            insideSentMessage = ::InSendMessage() != FALSE;
            effect = 42;
        });
        sawTheEffect = effect == 42;
        returned = true;
    });
    EXPECT_TRUE(test::PumpUntil([&] { return returned.load(); }));
    worker.join();
    EXPECT_EQ(ranOn.load(), uiThread);
    EXPECT_FALSE(insideSentMessage.load()) << "the call must not run inside a cross-thread SendMessage";
    EXPECT_TRUE(sawTheEffect.load());
}

TEST(UiThreadDispatcher, CallsRunWhileAModalLoopIsUp) {
    TUiThreadDispatcher dispatcher;
    std::atomic<bool> ran = false;
    std::thread worker([&] {
        // Wait for the box, then hand over a call that closes it.
        HWND box = nullptr;
        for (int i = 0; i < 500 && !box; ++i, ::Sleep(10)) box = ::FindWindowW(L"#32770", L"modal");
        dispatcher.InvokeSynchronously([&] {
            ran = true;
            if (box) ::EndDialog(box, IDOK);
        });
    });
    ::MessageBoxW(nullptr, L"a modal loop", L"modal", MB_OK);
    worker.join();
    EXPECT_TRUE(ran.load());
}

TEST(UiThreadDispatcher, ErrorsAreReportedAndTheCallerIsReleased) {
    std::u16string reported;
    TUiThreadDispatcher dispatcher([&](const std::u16string& what) { reported = what; });
    std::atomic<bool> returned = false;
    std::thread worker([&] {
        dispatcher.InvokeSynchronously([] { throw std::runtime_error("broken"); });
        returned = true;
    });
    EXPECT_TRUE(test::PumpUntil([&] { return returned.load(); }));
    worker.join();
    EXPECT_EQ(reported, u"broken");
}

TEST(UiThreadDispatcher, EndingReleasesWaitingCallersWithoutRunningTheirCalls) {
    auto dispatcher = std::make_unique<TUiThreadDispatcher>();
    std::atomic<bool> ran = false;
    std::atomic<bool> returned = false;
    std::thread worker([&] {
        dispatcher->InvokeSynchronously([&] { ran = true; });
        returned = true;
    });
    ::Sleep(200); // the call is queued; this thread does not pump
    dispatcher.reset();
    worker.join();
    EXPECT_TRUE(returned.load());
    EXPECT_FALSE(ran.load());
}

TEST(UiThreadDispatcher, MessagesPostedByAnyoneElseRunNothingAndBreakNothing) {
    TUiThreadDispatcher dispatcher;
    // Any program of the desktop finds the window by its class and can post to it.
    const HWND window = ::FindWindowExW(HWND_MESSAGE, nullptr, L"ZxUiThreadDispatcher", nullptr);
    ASSERT_NE(window, nullptr);
    std::atomic<bool> posted = false;
    std::thread stranger([&] {
        const WPARAM numbers[] = {0, 1, 2, 77, static_cast<WPARAM>(-1)};
        const LPARAM junk[] = {0, 0x10, static_cast<LPARAM>(0xDEADBEEFCAFEull), -1};
        for (const WPARAM number : numbers)
            for (const LPARAM pointer : junk) ::PostMessageW(window, WM_APP + 1, number, pointer);
        posted = true;
    });
    stranger.join();
    MSG message;
    const ULONGLONG until = ::GetTickCount64() + 300;
    while (::GetTickCount64() < until) {
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
        ::Sleep(10);
    }
    EXPECT_TRUE(posted.load());

    // Still serving its own callers, each call run once.
    std::atomic<int> runs = 0;
    std::atomic<bool> returned = false;
    std::thread worker([&] {
        for (int i = 0; i < 3; ++i) dispatcher.InvokeSynchronously([&] { ++runs; });
        returned = true;
    });
    EXPECT_TRUE(test::PumpUntil([&] { return returned.load(); }));
    worker.join();
    EXPECT_EQ(runs.load(), 3);
}

TEST(LinkLabel, ClickSpaceEnterAndBmClickNotifyTheParent) {
    test::TRecordingParent parent;
    TLinkLabelWindow link(parent.Handle(), 7, L"News of the day", RECT{10, 10, 210, 30});
    const HWND handle = link.Handle();
    EXPECT_EQ(WindowText(handle), u"News of the day");
    EXPECT_TRUE(test::HasStyle(handle, WS_TABSTOP | WS_CHILD | WS_VISIBLE));
    EXPECT_EQ(reinterpret_cast<HCURSOR>(::GetClassLongPtrW(handle, GCLP_HCURSOR)), ::LoadCursorW(nullptr, IDC_HAND));
    MSG enter{handle, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(::SendMessageW(handle, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)) & DLGC_WANTMESSAGE)
        << "Enter on the link follows it";

    struct Case {
        const char* What;
        UINT Message;
        WPARAM WParam;
        LPARAM LParam;
        bool Clicks;
    };
    const Case cases[] = {
        {"BM_CLICK", BM_CLICK, 0, 0, true},
        {"Space", WM_KEYDOWN, VK_SPACE, 0, true},
        {"Enter", WM_KEYDOWN, VK_RETURN, 0, true},
        {"another key", WM_KEYDOWN, 'A', 0, false},
    };
    for (const Case& c : cases) {
        parent.Commands.clear();
        ::SendMessageW(handle, c.Message, c.WParam, c.LParam);
        ASSERT_EQ(parent.Commands.size(), c.Clicks ? 1u : 0u) << c.What;
        if (c.Clicks) {
            EXPECT_EQ(parent.Commands[0].Id, 7) << c.What;
            EXPECT_EQ(parent.Commands[0].Code, BN_CLICKED) << c.What;
        }
    }

    // A mouse click counts only when the button is let go over the link.
    for (const bool inside : {true, false}) {
        parent.Commands.clear();
        ::SendMessageW(handle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        ::SendMessageW(handle, WM_LBUTTONUP, 0, inside ? MAKELPARAM(5, 5) : MAKELPARAM(400, 5));
        EXPECT_EQ(parent.Commands.size(), inside ? 1u : 0u) << (inside ? "inside" : "outside");
    }
}

} // namespace
} // namespace zx
