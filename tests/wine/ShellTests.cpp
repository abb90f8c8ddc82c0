// Web addresses opened by the elevated program's rule on the real system: whichever
// route the system allows, the address reaches the browser exactly once. Under Wine the
// desktop shell's server is not registered, so the direct route runs (see the output).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/common/Utf8.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Shell.h"
#include "platform/win32/WideText.h"

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

// The real routes, taken as the elevated program takes them whatever this test's token.
class TElevatedRoutes final : public IWebAddressRoutes {
public:
    bool IsElevated() override { return true; }
    bool OpenThroughDesktopShell(const std::u16string& address) override {
        return FReal.OpenThroughDesktopShell(address);
    }
    void OpenDirectly(const std::u16string& address) override { FReal.OpenDirectly(address); }

private:
    TWin32WebAddressRoutes FReal;
};

TEST(ShellOpenAsUser, TheAddressReachesTheBrowserExactlyOnceByTheRouteTheSystemAllows) {
    ASSERT_NE(std::getenv("WINEPREFIX"), nullptr) << "run in a Wine session with the browser hook";
    const std::string address = "http://127.0.0.1:47081/route-" + std::to_string(::GetTickCount64());
    TElevatedRoutes routes;
    const TOpenRoute route = OpenWebAddress(routes, std::u16string(address.begin(), address.end()));

    const ULONGLONG deadline = ::GetTickCount64() + 10000;
    while (Occurrences(OpenedAddresses(), address + "\n") == 0 && ::GetTickCount64() < deadline) ::Sleep(100);
    ::Sleep(500); // a second opening, had both routes run, would arrive meanwhile
    EXPECT_EQ(Occurrences(OpenedAddresses(), address + "\n"), 1u);

    const char* taken = route == orDesktopShell ? "desktop shell" : "direct (ShellExecuteW)";
    RecordProperty("route", taken);
    std::printf("route taken: %s; this process elevated: %s\n", taken,
                TWin32WebAddressRoutes().IsElevated() ? "yes" : "no");
}

} // namespace
} // namespace zx
