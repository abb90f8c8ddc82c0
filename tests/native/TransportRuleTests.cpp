// The scheme rule both update clients apply at run time, before anything is sent.
#include <gtest/gtest.h>

#include <string>

#include "platform/TransportRule.h"

namespace zx {
namespace {

TEST(TransportRuleTest, HttpsAlwaysPlainHttpOnlyWhenAllowedNothingElseEver) {
    struct TCase {
        const char16_t* Url;
        bool HttpsOnly, PlainAllowed;
    };
    const TCase cases[] = {
        {u"https://update.moravel.example/api.init.php", true, true},
        {u"HTTPS://update.moravel.example/api.init.php", true, true},
        {u"hTtPs://localhost:47120/api.init.php", true, true},
        {u"http://127.0.0.1:47082/api.init.php", false, true},
        {u"HTTP://127.0.0.1:47082/api.init.php", false, true},
        {u"https:/update.example/", false, false},
        {u"https:update.example/", false, false},
        {u"http:/127.0.0.1/", false, false},
        {u" https://update.example/", false, false},
        {u"update.example/https://", false, false},
        {u"ftp://update.example/api.init.php", false, false},
        {u"file:///C:/windows/win.ini", false, false},
        {u"httpx://update.example/", false, false},
        {u"https", false, false},
        {u"", false, false},
        // A full-width or other non-ASCII letter is not the ASCII one it resembles.
        {u"\uFF48ttps://update.example/", false, false},
    };
    for (const TCase& c : cases) {
        const std::u16string url = c.Url;
        SCOPED_TRACE(std::string(url.begin(), url.end()));
        EXPECT_EQ(TransportAllows(TTransportRule::trHttpsOnly, url), c.HttpsOnly);
        EXPECT_EQ(TransportAllows(TTransportRule::trPlainHttpAllowed, url), c.PlainAllowed);
    }
}

} // namespace
} // namespace zx
