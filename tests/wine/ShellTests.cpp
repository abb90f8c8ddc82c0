// Web addresses opened by the elevated program's rule on the real system. Under Wine the
// program reports itself elevated and Wine's desktop process (explorer.exe /desktop)
// serves the desktop shell's route: the address reaches the browser exactly once, from
// the desktop. With that process ended the address is shown in a box, and nothing opens
// it (run by without-explorer.sh, which ends the desktop first and brings it back after).
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "platform/common/Utf8.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Shell.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowText.h"

namespace zx {
namespace {

// The addresses Wine's browser launcher was asked to open in this session (the session
// points its browser at a script that appends each to this file).
std::string OpenedAddresses() {
    const char* prefix = std::getenv("WINEPREFIX");
    if (!prefix) return {};
    const TUniqueFile file(::CreateFileW(Wide(DecodeUtf8(std::string("Z:") + prefix + "/opened-urls.log")),
                                         GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                         nullptr));
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (file && ::ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr) && got > 0) text.append(buffer, got);
    return text;
}

std::size_t Occurrences(const std::string& text, const std::string& line) {
    std::size_t count = 0;
    for (std::size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) ++count;
    return count;
}

// A dialog-class window of this process with this caption, or null.
HWND FindOwnBox(const wchar_t* caption) {
    struct TSearch {
        const wchar_t* Caption;
        HWND Found;
    } search{caption, nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<TSearch*>(data);
            DWORD process = 0;
            ::GetWindowThreadProcessId(window, &process);
            wchar_t name[16] = {};
            ::GetClassNameW(window, name, 16);
            if (process == ::GetCurrentProcessId() && std::wstring(name) == L"#32770" &&
                WindowText(window) == FromWide(s.Caption)) {
                s.Found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

// Watches for the box from another thread, reads its text and closes it.
class TBoxWatcher {
public:
    explicit TBoxWatcher(const wchar_t* caption)
        : FThread([this, caption] {
              const ULONGLONG deadline = ::GetTickCount64() + 10000;
              HWND box = nullptr;
              while (!box && !FStop && ::GetTickCount64() < deadline) {
                  box = FindOwnBox(caption);
                  if (!box) ::Sleep(20);
              }
              if (!box) return;
              Text = WindowText(::GetDlgItem(box, 0xFFFF));
              Seen = true;
              ::PostMessageW(box, WM_COMMAND, IDOK, 0);
          }) {}
    ~TBoxWatcher() {
        FStop = true;
        if (FThread.joinable()) FThread.join();
    }
    void Join() { FThread.join(); }
    std::atomic<bool> Seen = false;
    std::u16string Text;

private:
    std::atomic<bool> FStop = false;
    std::thread FThread;
};

std::string UniqueAddress(const char* what) {
    return std::string("http://127.0.0.1:47081/") + what + "-" + std::to_string(::GetTickCount64());
}

TEST(ShellOpenAsUser, WithTheDesktopRunningTheAddressReachesTheBrowserOnceThroughIt) {
    ASSERT_NE(std::getenv("WINEPREFIX"), nullptr) << "run in a Wine session with the browser hook";
    if (std::getenv("ZX_EXPLORER_ENDED")) GTEST_SKIP() << "the desktop process has been ended for this run";
    EXPECT_TRUE(TWin32WebAddressRoutes().IsElevated()) << "Wine reports the program elevated";
    const std::string address = UniqueAddress("route");
    auto watcher = std::make_unique<TBoxWatcher>(L"desktop route");
    const TOpenRoute route =
        ShellOpenAsUser(DecodeUtf8(address), TAddressBox{.Text = u"shown", .Caption = u"desktop route"});
    watcher.reset();
    EXPECT_EQ(route, orDesktopShell);

    const ULONGLONG deadline = ::GetTickCount64() + 10000;
    while (Occurrences(OpenedAddresses(), address + "\n") == 0 && ::GetTickCount64() < deadline) ::Sleep(100);
    ::Sleep(500); // a second opening would arrive meanwhile
    EXPECT_EQ(Occurrences(OpenedAddresses(), address + "\n"), 1u);
}

TEST(ShellOpenAsUser, WithoutTheDesktopTheAddressIsShownInACopyableBoxAndNothingOpensIt) {
    if (!std::getenv("ZX_EXPLORER_ENDED")) GTEST_SKIP() << "run by without-explorer.sh, which ends the desktop";
    const std::string address = UniqueAddress("no-desktop");
    TBoxWatcher watcher(L"Zephyrix");
    const TOpenRoute route =
        ShellOpenAsUser(DecodeUtf8(address), TAddressBox{.Text = u"Copy the address below.", .Caption = u"Zephyrix"});
    watcher.Join();
    EXPECT_EQ(route, orShown);
    ASSERT_TRUE(watcher.Seen.load()) << "no box showed the address";
    EXPECT_EQ(watcher.Text, u"Copy the address below.\n\n" + DecodeUtf8(address));

    ::Sleep(1500); // an opening, had one been started, reaches the log meanwhile
    EXPECT_EQ(Occurrences(OpenedAddresses(), address + "\n"), 0u);
}

} // namespace
} // namespace zx
