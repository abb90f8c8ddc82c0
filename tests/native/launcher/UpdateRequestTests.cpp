#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "native/launcher/FakeInternet.h"
#include "launcher/UpdateRequest.h"
#include "native/ShowText.h"

namespace zx::launcher {
namespace {

const std::u16string kAddress = u"https://update.test/api.init.php";

TEST(LauncherRequestHeadersTest, ThreeLinesSeparatedBySingleCarriageReturns) {
    EXPECT_EQ(LauncherRequestHeaders(u"1.6.0.0", u"0123ABCD"),
              u"User-Version: 1.6.0.0\rUser-Debug: false\rUser-Union: 0123ABCD");
    // An identifier that cannot be had is sent as an empty value; nothing follows it.
    EXPECT_EQ(LauncherRequestHeaders(u"0.0.0.0", u""), u"User-Version: 0.0.0.0\rUser-Debug: false\rUser-Union: ");
}

class FetchUpdateReplyTest : public ::testing::Test {
protected:
    std::u16string Fetch() {
        return FetchUpdateReply(
            Internet, kAddress,
            [&] {
                Events.push_back("version");
                return std::u16string(u"1.6.0.0");
            },
            [&] {
                Events.push_back("identifier");
                return std::u16string(u"ID");
            });
    }

    std::vector<std::string> Events;
    TFakeInternet Internet{Events};
};

TEST_F(FetchUpdateReplyTest, SendsTheAgentAddressAndHeadersReadingVersionBeforeIdentifier) {
    Internet.Service.Body = R"({"update":""})";
    EXPECT_EQ(Fetch(), uR"({"update":""})");
    EXPECT_EQ(Internet.Agent,
              "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
              "Chrome/115.0.0.0 Safari/537.36");
    EXPECT_EQ(Internet.Address, kAddress);
    EXPECT_EQ(Internet.Headers, u"User-Version: 1.6.0.0\rUser-Debug: false\rUser-Union: ID");
    EXPECT_EQ(Events,
              (std::vector<std::string>{"internet-open", "version", "identifier", "open-address", "session-closed"}));
}

TEST_F(FetchUpdateReplyTest, WithoutASessionNeitherVersionNorIdentifierIsRead) {
    Internet.Service.SessionFails = true;
    Internet.Service.Body = R"({"update":"https://x"})";
    EXPECT_EQ(Fetch(), u"");
    EXPECT_EQ(Events, (std::vector<std::string>{"internet-open"}));
}

TEST_F(FetchUpdateReplyTest, ReplyIsEveryPieceInOrderUntilAReadGivesNothing) {
    // 3000 bytes: three full reads of 1025 bytes would not be needed; pieces come as the
    // transfer delivers them, smaller than asked when the network is slow.
    std::string body;
    for (int i = 0; body.size() < 3000; ++i) body += "<" + std::to_string(i) + ">";
    struct Case {
        const char* why;
        std::size_t maxPiece;
        std::size_t reads; // including the final empty one
    };
    const Case cases[] = {
        {"full pieces", 0, (body.size() + 1024) / 1025 + 1},
        {"short pieces", 100, (body.size() + 99) / 100 + 1},
    };
    for (const auto& c : cases) {
        Internet.AskedSizes.clear();
        Internet.Service.Body = body;
        Internet.Service.MaxPiece = c.maxPiece;
        EXPECT_EQ(Fetch(), std::u16string(body.begin(), body.end())) << c.why;
        EXPECT_EQ(Internet.AskedSizes, std::vector<std::size_t>(c.reads, 1025)) << c.why;
    }
}

TEST_F(FetchUpdateReplyTest, FailuresAndOverlongRepliesGiveNoReply) {
    struct Case {
        const char* why;
        TScriptedService service;
        std::u16string expected;
    };
    const std::string limit(kReplyLimit, 'x');
    const Case cases[] = {
        {"address cannot be opened", {.AddressFails = true, .Body = "{}"}, u""},
        {"transfer breaks after the body", {.Body = R"({"update":"https://x/a.exe"})", .ReadFails = true}, u""},
        {"empty body", {.Body = ""}, u""},
        {"exactly the limit", {.Body = limit}, std::u16string(kReplyLimit, u'x')},
        {"one byte over the limit", {.Body = limit + "x"}, u""},
        {"far over the limit in small pieces", {.Body = limit + limit, .MaxPiece = 1000}, u""},
    };
    for (const auto& c : cases) {
        Internet.Service = c.service;
        const std::u16string reply = Fetch();
        EXPECT_EQ(reply.size(), c.expected.size()) << c.why;
        EXPECT_TRUE(reply == c.expected) << c.why;
    }
}

TEST_F(FetchUpdateReplyTest, EachByteIsOneCharacterOfTheAnsiCodePage) {
    // UTF-8 is not decoded: its two bytes for "é" arrive as two characters.
    Internet.Service.Body = std::string("a\x80") + '\0' + "b\xC3\xA9";
    EXPECT_EQ(Fetch(), u"a\u20ACb\u00C3\u00A9") << Show(Fetch());
}

} // namespace
} // namespace zx::launcher
