// The connectivity probe's request text and its check of the answer's first bytes.
#include <gtest/gtest.h>

#include <string>

#include "platform/ProbeHead.h"

namespace zx {
namespace {

TEST(ProbeHeadRequest, CarriesPathHostAndPortOrNothing) {
    struct Case {
        std::u16string host;
        std::uint16_t port;
        std::u16string path;
        std::optional<std::string> request;
    };
    const std::string tail = "\r\nUser-Agent: Zephyrix\r\nConnection: close\r\n\r\n";
    const Case cases[] = {
        {u"www.msftconnecttest.com", 80, u"", "HEAD / HTTP/1.1\r\nHost: www.msftconnecttest.com" + tail},
        {u"127.0.0.1", 47080, u"/connecttest.txt?x=1",
         "HEAD /connecttest.txt?x=1 HTTP/1.1\r\nHost: 127.0.0.1:47080" + tail},
        {u"h", 8080, u"/~", "HEAD /~ HTTP/1.1\r\nHost: h:8080" + tail},
        // What would split the request or cannot be sent as one byte.
        {u"h", 80, u"/a b", std::nullopt},
        {u"h", 80, u"/a\r\nX-Injected: 1", std::nullopt},
        {u"h\n", 80, u"/", std::nullopt},
        {u"h", 80, u"/\u007F", std::nullopt},
        {u"h\u00E9", 80, u"/", std::nullopt},
        {u"h", 80, u"/\U0001F600", std::nullopt},
        {u"", 80, u"/", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProbeHeadRequest(c.host, c.port, c.path), c.request) << c.request.value_or("-");
}

TEST(ReadStatusLine, DecidesOnTheFirstBytesOnly) {
    using enum TStatusLine;
    struct Case {
        std::string head;
        TStatusLine expected;
    };
    const Case cases[] = {
        {"", slPartial},
        {"HTTP/1.", slPartial},
        {"HTTP/1.1 20", slPartial},
        {"HTTP/1.1 204", slPartial}, // the next byte decides
        {"HTTP/1.1 204 No Content\r\n", slFound},
        {"HTTP/1.0 301\r\n", slFound},
        {"HTTP/1.1 999\n", slFound}, // any status is an answer
        {std::string("HTTP/1.1 200 ") + std::string(100, '\0'), slFound},
        {"HTTP/2 200 OK\r\n", slMalformed},
        {"http/1.1 200 OK\r\n", slMalformed},
        {"HTTP/1.1 2x0 OK\r\n", slMalformed},
        {"HTTP/1.1 2000 OK\r\n", slMalformed},
        {"HTTP/1.1  200 OK\r\n", slMalformed},
        {"SSH-2.0-OpenSSH", slMalformed},
        {std::string("H\0TTP", 5), slMalformed},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadStatusLine(c.head), c.expected) << c.head;
}

} // namespace
} // namespace zx
