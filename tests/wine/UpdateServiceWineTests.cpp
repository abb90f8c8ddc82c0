// The update service's requests over WinHTTP, against the service's stand-in on
// loopback (with-update-peer.sh): the headers as they arrive, any status counting as an
// answer, the body taken as UTF-8 up to its bound, and every transport failure as false.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "kit/UpdateAnswer.h"
#include "platform/win32/HttpGetText.h"

namespace zx {
namespace {

std::u16string PeerURL(const std::string& path) {
    const char* port = std::getenv("ZX_UPDATE_PEER_PORT");
    const std::string url = std::string("http://127.0.0.1:") + (port ? port : "9") + path;
    return std::u16string(url.begin(), url.end());
}

std::string Narrow(const std::u16string& text) {
    std::string result;
    for (const char16_t c : text) result += c < 0x80 ? static_cast<char>(c) : '?';
    return result;
}

// The header lines of a request head as the peer echoed it, in order.
std::vector<std::string> HeaderLines(const std::u16string& head) {
    std::vector<std::string> lines;
    const std::string text = Narrow(head);
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 2;
    }
    return lines;
}

class UpdateServiceRequest : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(std::getenv("ZX_UPDATE_PEER_PORT"), nullptr) << "run via with-update-peer.sh"; }
    TWinHttpTextClient FClient{TTransportRule::trPlainHttpAllowed};
};

TEST_F(UpdateServiceRequest, SendsOneGetWithTheHeadersInListOrderAndEmptyValuesKept) {
    const THttpHeaderList headers{
        {u"User-Version", u"1.6.0.0"}, {u"User-Language", u"ko"}, {u"User-Debug", u"false"}, {u"User-Union", u""}};
    std::u16string head;
    ASSERT_TRUE(FClient.HttpGetText(PeerURL("/echo"), headers, head));
    const std::vector<std::string> lines = HeaderLines(head);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "GET /echo HTTP/1.1");

    std::vector<std::string> ours;
    for (const std::string& line : lines)
        if (line.rfind("User-", 0) == 0) ours.push_back(line);
    // An empty value may arrive with or without the space after the colon.
    ASSERT_EQ(ours.size(), 4u) << Narrow(head);
    EXPECT_EQ(ours[0], "User-Version: 1.6.0.0");
    EXPECT_EQ(ours[1], "User-Language: ko");
    EXPECT_EQ(ours[2], "User-Debug: false");
    EXPECT_TRUE(ours[3] == "User-Union:" || ours[3] == "User-Union: ") << ours[3];
    EXPECT_EQ(head.find(u"User-Agent"), std::u16string::npos) << "no user agent of our own";
}

TEST_F(UpdateServiceRequest, AnyStatusIsAnAnswerAndItsBodyIsTakenAsUtf8) {
    std::u16string page;
    ASSERT_TRUE(FClient.HttpGetText(PeerURL("/missing"), {}, page)) << "a 404 page is an answer";
    EXPECT_NE(page.find(u"<h1>Not Found</h1>"), std::u16string::npos);
    EXPECT_EQ(ReadUpdateAddressStrict(page), u"") << "and offers nothing";

    std::u16string text;
    ASSERT_TRUE(FClient.HttpGetText(PeerURL("/utf8"), {}, text));
    EXPECT_EQ(ReadUpdateAddressStrict(text), u"https://dl.test/\u00E9") << "UTF-8 whatever the declared character set";
    EXPECT_NE(text.find(u"\uC548\uB155 \u00B7 \uFF1F"), std::u16string::npos);

    std::u16string chunked;
    ASSERT_TRUE(FClient.HttpGetText(PeerURL("/chunked"), {}, chunked));
    EXPECT_EQ(chunked, uR"({"update":"https://dl.test/chunked.exe"})");
}

TEST_F(UpdateServiceRequest, BodyIsTakenUpToItsBoundAndALongerOneFails) {
    std::u16string text = u"unchanged";
    ASSERT_TRUE(FClient.HttpGetText(PeerURL("/size/" + std::to_string(kMaxAnswerBytes)), {}, text));
    EXPECT_EQ(text.size(), kMaxAnswerBytes);
    EXPECT_EQ(text.find_first_not_of(u'a'), std::u16string::npos);

    text = u"unchanged";
    EXPECT_FALSE(FClient.HttpGetText(PeerURL("/size/" + std::to_string(kMaxAnswerBytes + 1)), {}, text));
    EXPECT_EQ(text, u"unchanged");
}

TEST_F(UpdateServiceRequest, TransportFailuresGiveFalseAndLeaveTheTextAlone) {
    struct Case {
        const char* What;
        std::u16string URL;
    };
    const Case cases[] = {
        {"nothing listens", u"http://127.0.0.1:1/api.init.php"},
        {"unresolvable name", u"http://zephyrix-update.invalid/api.init.php"},
        {"no TLS on the peer's port", PeerURL("/api.init.php").replace(0, 4, u"https")},
        {"another scheme", u"ftp://127.0.0.1/api.init.php"},
        {"a local file", u"file:///C:/windows/win.ini"},
        {"not an address", u"api.init.php"},
    };
    for (const Case& c : cases) {
        std::u16string text = u"unchanged";
        EXPECT_FALSE(FClient.HttpGetText(c.URL, {{u"User-Version", u"1.6.0.0"}}, text)) << c.What;
        EXPECT_EQ(text, u"unchanged") << c.What;
    }
}

// A peer that sends its answer one byte per second never lets a read wait long; the
// request's whole bound ends it all the same (a short bound here, 30 s in the program),
// whether the head or only the body drips. Wine's WinHTTP would wait for a dripping head
// as long as it keeps coming.
TEST_F(UpdateServiceRequest, AnAnswerStillDrippingAtTheWholeBoundIsNoAnswer) {
    const char* control = std::getenv("ZX_UPDATE_PEER_CONTROL");
    ASSERT_NE(control, nullptr);
    const std::string folder = std::string("Z:") + control;
    for (const char* mode : {"drip-body", "drip"}) {
        std::ofstream(folder + "/hostile") << mode << "\n";
        std::ofstream(folder + "/hostile-left") << "1";
        TWinHttpTextClient client(TTransportRule::trPlainHttpAllowed, THttpTimeouts{.WholeMs = 3000});
        std::u16string text = u"kept";
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(client.HttpGetText(PeerURL("/api.init.php"), {}, text)) << mode;
        const auto took = std::chrono::steady_clock::now() - start;
        ::DeleteFileA((folder + "/hostile").c_str());
        EXPECT_EQ(text, u"kept") << mode;
        EXPECT_GE(took, std::chrono::milliseconds(2500)) << mode;
        EXPECT_LT(took, std::chrono::milliseconds(6000)) << mode << ": the whole bound did not end the request";
    }
    // The client is whole again after giving up: the next request is answered.
    std::u16string page;
    EXPECT_TRUE(FClient.HttpGetText(PeerURL("/missing"), {}, page));
}

} // namespace
} // namespace zx
