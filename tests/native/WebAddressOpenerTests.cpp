// The choice of route for a web address, behind the routes seam: the elevated program
// goes through the desktop shell and, when that route is unavailable, only shows the
// address; it never opens one with its own token.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/WebAddressOpener.h"

namespace zx {
namespace {

class TFakeRoutes final : public IWebAddressRoutes {
public:
    bool IsElevated() override { return Elevated; }
    bool OpenThroughDesktopShell(const std::u16string& address) override {
        Calls.push_back(u"shell " + address);
        return ShellAvailable;
    }
    void OpenDirectly(const std::u16string& address) override { Calls.push_back(u"direct " + address); }
    void ShowAddress(const std::u16string& address) override { Calls.push_back(u"show " + address); }
    bool Elevated = false;
    bool ShellAvailable = false;
    std::vector<std::u16string> Calls;
};

TEST(WebAddressOpenerTest, TheElevatedProgramOpensOnlyThroughTheDesktopShellAndOtherwiseShowsTheAddress) {
    const std::u16string address = u"https://download.test/zephyrix.msi";
    struct TCase {
        const char* What;
        bool Elevated, ShellAvailable;
        TOpenRoute Route;
        std::vector<std::u16string> Calls;
    };
    const std::vector<TCase> cases = {
        {"elevated, shell there: the browser gets the user's token", true, true, orDesktopShell, {u"shell " + address}},
        {"elevated, no shell (Explorer ended): shown, never opened with our token",
         true,
         false,
         orShown,
         {u"shell " + address, u"show " + address}},
        {"not elevated: the user's rights are this process's", false, true, orDirect, {u"direct " + address}},
        {"not elevated, no shell", false, false, orDirect, {u"direct " + address}},
    };
    for (const TCase& c : cases) {
        TFakeRoutes routes;
        routes.Elevated = c.Elevated;
        routes.ShellAvailable = c.ShellAvailable;
        EXPECT_EQ(OpenWebAddress(routes, address), c.Route) << c.What;
        EXPECT_EQ(routes.Calls, c.Calls) << c.What;
    }
}

} // namespace
} // namespace zx
