#include <gtest/gtest.h>

#include <stdexcept>

#include <algorithm>
#include <chrono>
#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "kit/Translation.h"
#include "kit/UpdateCheck.h"
#include "native/ForbiddenAddressCharacters.h"
#include "native/ShowText.h"

namespace zx {
namespace {

using namespace std::chrono_literals;

constexpr char16_t kServiceURL[] = u"https://update.test/api.init.php";

// Virtual time: a wait only advances the clock. The flag is set once the clock reaches
// `SetAt`; a wait then ends at that moment.
class TVirtualTermination final : public ITerminationSignal {
public:
    bool WaitForTermination(std::chrono::milliseconds timeout) override {
        Waits.push_back(timeout);
        if (SetAt && *SetAt <= Now + timeout) {
            Now = std::max(Now, *SetAt);
            return true;
        }
        Now += timeout;
        return false;
    }
    std::chrono::milliseconds Now{0};
    std::optional<std::chrono::milliseconds> SetAt;
    std::vector<std::chrono::milliseconds> Waits;
};

// Answers from a script, one entry per request: a body, or nothing for a failed request.
// Requests beyond the script fail.
class TScriptedHttp final : public IHttpTextClient {
public:
    explicit TScriptedHttp(const TVirtualTermination& clock) : FClock(clock) {}

    struct TRequest {
        std::u16string URL;
        THttpHeaderList Headers;
        std::chrono::milliseconds At;
    };

    bool HttpGetText(const std::u16string& url, const THttpHeaderList& headers, std::u16string& text) override {
        Requests.push_back({url, headers, FClock.Now});
        if (Answers.empty()) {
            if (ThrowWhenScriptEnds) throw std::runtime_error("platform fault");
            return false;
        }
        const std::optional<std::u16string> answer = Answers.front();
        Answers.pop_front();
        if (!answer) return false;
        text = *answer;
        return true;
    }

    std::deque<std::optional<std::u16string>> Answers;
    std::vector<TRequest> Requests;
    bool ThrowWhenScriptEnds = false; // a faulty platform: an error instead of a failed request

private:
    const TVirtualTermination& FClock;
};

// Background jobs wait in a queue until the test runs them.
class TQueuedRunner final : public IBackgroundRunner {
public:
    void Run(std::function<void()> job) override { Jobs.push_back(std::move(job)); }
    void RunOne() {
        auto job = std::move(Jobs.front());
        Jobs.pop_front();
        job();
    }
    void RunAll() {
        while (!Jobs.empty()) RunOne();
    }
    std::deque<std::function<void()>> Jobs;
};

class TRecordingDispatcher final : public IUiDispatcher {
public:
    explicit TRecordingDispatcher(const TVirtualTermination& clock) : FClock(clock) {}
    void InvokeSynchronously(const std::function<void()>& call) override {
        HandedOverAt.push_back(FClock.Now);
        call();
    }
    std::vector<std::chrono::milliseconds> HandedOverAt;

private:
    const TVirtualTermination& FClock;
};

class TScriptedDialog final : public IUpdateDialogView {
public:
    TUpdateDialogResult ShowUpdateDialog(const TUpdateDialogContent& content,
                                         const std::function<void()>& noticeLinkClicked) override {
        Shown.push_back(content);
        if (ClickLink) noticeLinkClicked();
        return Result;
    }
    std::vector<TUpdateDialogContent> Shown;
    TUpdateDialogResult Result;
    bool ClickLink = false;
};

struct TCallback {
    bool Accepted;
    std::u16string Data;
};

class UpdateCheckTest : public testing::Test {
protected:
    void SetUp() override { SetCurrentLanguage(u"en"); }
    void TearDown() override { SetCurrentLanguage(u""); }

    // Runs one whole check (and any hold request it starts) to its end.
    void RunCheck() {
        const std::size_t requestsBefore = FHttp.Requests.size();
        FCheck.CheckUpdate(
            kServiceURL,
            [this](bool accepted, const std::u16string& data) {
                Callbacks.push_back({accepted, data});
            },
            10);
        EXPECT_EQ(FRunner.Jobs.size(), 1u) << "the check runs on a thread of its own";
        EXPECT_EQ(FHttp.Requests.size(), requestsBefore) << "CheckUpdate returns before the first request";
        FRunner.RunAll();
    }

    // Answers the first request with `answer`.
    void RunCheckWith(const std::u16string& answer) {
        FHttp.Answers = {answer};
        RunCheck();
    }

    TVirtualTermination FClock;
    TScriptedHttp FHttp{FClock};
    TQueuedRunner FRunner;
    TRecordingDispatcher FDispatcher{FClock};
    TScriptedDialog FDialog;
    std::u16string FClientId = u"0123ABCD050109FFFE070304456789AB";
    int FClientIdCalls = 0;
    std::vector<std::u16string> Opened;
    std::vector<TCallback> Callbacks;
    TUpdateCheck FCheck{
        TUpdateCheckServices{.Http = FHttp,
                             .Runner = FRunner,
                             .UiDispatcher = FDispatcher,
                             .Terminating = FClock,
                             .Dialog = FDialog,
                             .OpenAddress = [this](const std::u16string& address) { Opened.push_back(address); },
                             .ClientId =
                                 [this] {
                                     ++FClientIdCalls;
                                     return FClientId;
                                 },
                             .ApplicationTitle = [] { return std::u16string(u"Zephyrix"); },
                             .AppVersion = u"1.6.0.0"}};
};

// --- Attempts and waits ---------------------------------------------------------------

TEST_F(UpdateCheckTest, AttemptsWaitTenSecondsAfterEachFailureAndHandOverOnce) {
    using ms = std::chrono::milliseconds;
    const std::optional<std::u16string> fail;
    const std::u16string answer = uR"({"update":""})";
    struct Case {
        const char* why;
        std::deque<std::optional<std::u16string>> answers;
        std::vector<ms> attemptsAt;
        ms handedOverAt;
        std::u16string data;
    };
    const Case cases[] = {
        {"first attempt answers", {answer}, {0ms}, 0ms, answer},
        {"third attempt answers: no further wait", {fail, fail, answer}, {0ms, 10s, 20s}, 20s, answer},
        {"six failures, each followed by a wait", {}, {0ms, 10s, 20s, 30s, 40s, 50s}, 60s, u""},
        {"sixth attempt answers", {fail, fail, fail, fail, fail, answer}, {0ms, 10s, 20s, 30s, 40s, 50s}, 50s, answer},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        FClock = TVirtualTermination{};
        FHttp.Requests.clear();
        FDispatcher.HandedOverAt.clear();
        Callbacks.clear();
        FHttp.Answers = c.answers;

        RunCheck();

        std::vector<ms> attemptsAt;
        for (const auto& request : FHttp.Requests) attemptsAt.push_back(request.At);
        EXPECT_EQ(attemptsAt, c.attemptsAt);
        for (const auto& request : FHttp.Requests) EXPECT_EQ(request.URL, kServiceURL);
        EXPECT_EQ(FDispatcher.HandedOverAt, std::vector<ms>{c.handedOverAt});
        for (const ms wait : FClock.Waits) EXPECT_EQ(wait, 10s);
        ASSERT_EQ(Callbacks.size(), 1u);
        EXPECT_FALSE(Callbacks[0].Accepted);
        EXPECT_EQ(Callbacks[0].Data, c.data);
        EXPECT_TRUE(FDialog.Shown.empty());
    }
}

TEST_F(UpdateCheckTest, TerminatingDuringAWaitEndsTheCheckSilently) {
    using ms = std::chrono::milliseconds;
    struct Case {
        const char* why;
        ms terminateAt;
        std::size_t attempts;
    };
    const Case cases[] = {
        {"already ending at the first wait", 0ms, 1},
        {"half-way through the first wait", 5s, 1},
        {"in the sixth wait", 55s, 6},
        {"at the last moment of the sixth wait", 60s, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        FClock = TVirtualTermination{};
        FClock.SetAt = c.terminateAt;
        FHttp.Requests.clear();
        FDispatcher.HandedOverAt.clear();
        Callbacks.clear();

        RunCheck();

        EXPECT_EQ(FHttp.Requests.size(), c.attempts) << "a request already under way is not interrupted";
        EXPECT_EQ(FClock.Now, c.terminateAt) << "the wait ends when the flag is set";
        EXPECT_TRUE(FDispatcher.HandedOverAt.empty());
        EXPECT_TRUE(Callbacks.empty());
    }
}

TEST(TerminationFlagTest, WaitEndsWhenTheFlagIsSetOrTheTimeRunsOut) {
    TTerminationFlag flag;
    EXPECT_FALSE(flag.WaitForTermination(20ms)) << "not set: the time runs out";
    std::thread setter([&] {
        std::this_thread::sleep_for(50ms);
        flag.Set();
    });
    // Long enough that only the flag can end it within the test's time.
    EXPECT_TRUE(flag.WaitForTermination(10min));
    setter.join();
    EXPECT_TRUE(flag.WaitForTermination(0ms)) << "once set, a wait ends at once";
}

// --- Headers ----------------------------------------------------------------------------

TEST_F(UpdateCheckTest, CheckRequestCarriesItsFourHeadersInOrder) {
    struct Case {
        const char* why;
        std::u16string language;
        std::u16string clientId;
    };
    const Case cases[] = {
        {"German user with an identifier", u"de", u"0123ABCD050109FFFE070304456789AB"},
        {"empty identifier is sent as an empty value", u"ko", u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        FHttp.Requests.clear();
        SetCurrentLanguage(c.language);
        FClientId = c.clientId;
        FClientIdCalls = 0;
        FHttp.Answers = {u""};
        FCheck.CheckUpdate(kServiceURL, {}, 10);
        EXPECT_EQ(FClientIdCalls, 0) << "the identifier is read on the check's thread";
        FRunner.RunAll();

        ASSERT_EQ(FHttp.Requests.size(), 1u);
        const THttpHeaderList expected{{u"User-Version", u"1.6.0.0"},
                                       {u"User-Language", c.language},
                                       {u"User-Debug", u"false"},
                                       {u"User-Union", c.clientId}};
        EXPECT_EQ(FHttp.Requests[0].Headers, expected);
        EXPECT_EQ(FClientIdCalls, 1);
    }
}

TEST_F(UpdateCheckTest, RetriesSendTheSameHeadersAndReadTheIdentifierOnce) {
    FHttp.Answers = {std::nullopt, u""};
    RunCheck();
    ASSERT_EQ(FHttp.Requests.size(), 2u);
    EXPECT_EQ(FHttp.Requests[0].Headers, FHttp.Requests[1].Headers);
    EXPECT_EQ(FClientIdCalls, 1);
}

// --- The offer --------------------------------------------------------------------------

TEST_F(UpdateCheckTest, OfferIsMadeOnlyForAWebAddressAndAcceptingOpensIt) {
    struct Case {
        const char* why;
        std::u16string answer;
        bool yes;
        bool dialog;
        std::vector<std::u16string> opened;
        std::optional<bool> callback; // nothing: no callback at all
    };
    const Case cases[] = {
        {"no update field", uR"({"info":{"style":"note"}})", true, false, {}, false},
        {"empty update with a notice", uR"({"update":"","info":{"style":"note","text":"t"}})", true, false, {}, false},
        {"404 page", u"<html><body>Not Found</body></html>", true, false, {}, false},
        {"Yes opens the address",
         uR"({"update":"https://dl.test/Zephyrix.exe"})",
         true,
         true,
         {u"https://dl.test/Zephyrix.exe"},
         true},
        {"escaped slashes, capital key",
         uR"({"Update":"http:\/\/dl.test\/z.exe"})",
         true,
         true,
         {u"http://dl.test/z.exe"},
         true},
        {"scheme letters in any case",
         uR"({"update":"HTTPS://dl.test/z.exe"})",
         true,
         true,
         {u"HTTPS://dl.test/z.exe"},
         true},
        {"No opens nothing", uR"({"update":"https://dl.test/z.exe"})", false, true, {}, false},
        {"file address", uR"({"update":"file:///C:/Windows/System32/calc.exe"})", true, false, {}, false},
        {"UNC path", uR"({"update":"\\\\evil.test\\share\\setup.exe"})", true, false, {}, false},
        {"local path", uR"({"update":"C:\\Windows\\System32\\calc.exe"})", true, false, {}, false},
        {"other scheme", uR"({"update":"ms-settings:network"})", true, false, {}, false},
        {"scheme without slashes", uR"({"update":"http:calc.exe"})", true, false, {}, false},
        {"malformed escape in the address", uR"({"update":"https://dl.test/\uZZZZ"})", true, false, {}, std::nullopt},
        {"malformed escape in a notice field",
         uR"({"update":"https://dl.test/z.exe","info":{"style":"note","url":"\uXYZW"}})",
         true,
         false,
         {},
         std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        FDialog.Shown.clear();
        FDialog.Result = {.Accepted = c.yes, .HoldTicked = false};
        Opened.clear();
        Callbacks.clear();
        FDispatcher.HandedOverAt.clear();

        RunCheckWith(c.answer);

        EXPECT_EQ(FDispatcher.HandedOverAt.size(), 1u);
        EXPECT_EQ(FDialog.Shown.size(), c.dialog ? 1u : 0u);
        EXPECT_EQ(Opened, c.opened);
        if (c.callback) {
            ASSERT_EQ(Callbacks.size(), 1u);
            EXPECT_EQ(Callbacks[0].Accepted, *c.callback);
            EXPECT_EQ(Callbacks[0].Data, c.answer);
        } else {
            EXPECT_TRUE(Callbacks.empty());
        }
        EXPECT_TRUE(FRunner.Jobs.empty());
    }
}

// The main program's reader: a download address or a notice link that holds a space, a
// control character or a double quote is not offered, and not opened.
TEST_F(UpdateCheckTest, AnAddressThatCouldBreakTheBrowsersCommandLineIsNeitherOfferedNorOpened) {
    const auto widen = [](const std::string& text) { return std::u16string(text.begin(), text.end()); };
    std::vector<test::TForbiddenAddressCase> cases = test::kForbiddenAddressCases;
    // Only this reader keeps these: the launcher's ends its value at any quote and drops
    // an escaped NUL.
    cases.push_back({"escaped quote", R"(https://dl.test/a\" --x \"b.exe)"});
    cases.push_back({"escaped NUL", R"(https://dl.test/a\u0000b.exe)"});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        FDialog.Shown.clear();
        FDialog.ClickLink = false;
        FDialog.Result = {.Accepted = true, .HoldTicked = false};
        Opened.clear();
        Callbacks.clear();
        RunCheckWith(u"{\"update\":\"" + widen(c.Value) + u"\"}");
        EXPECT_TRUE(FDialog.Shown.empty()) << "offered";
        EXPECT_TRUE(Opened.empty());
        ASSERT_EQ(Callbacks.size(), 1u);
        EXPECT_FALSE(Callbacks[0].Accepted);

        Opened.clear();
        FDialog.ClickLink = true;
        FDialog.Result = {.Accepted = false, .HoldTicked = false};
        RunCheckWith(uR"({"update":"https://dl.test/z.exe","info":{"style":"note","text":"News","url":")" +
                     widen(c.Value) + u"\"}}");
        EXPECT_EQ(FDialog.Shown.size(), 1u) << "the offer itself stands";
        EXPECT_TRUE(Opened.empty()) << "the notice link was opened";
    }
}

TEST_F(UpdateCheckTest, DialogShowsTheUsersLanguageAndTheNotice) {
    SetCurrentLanguage(u"de");
    RunCheckWith(
        uR"({"update":"https://dl.test/z.exe","info":{"style":"hold","text":"Nicht mehr \"fragen\"","flag":"nostayontop","url":"https:\/\/x.test"}})");
    ASSERT_EQ(FDialog.Shown.size(), 1u);
    const TUpdateDialogContent& shown = FDialog.Shown[0];
    EXPECT_EQ(shown.Caption, u"Zephyrix");
    EXPECT_EQ(Show(shown.Message),
              Show(u"Dieses Programm ist aktualisiert worden.\r\rEs wird empfohlen, es "
                   u"herunterzuladen und neu auszuführen, um es stabil zu verwenden.\r\r"
                   u"Möchten Sie es herunterladen?"));
    EXPECT_EQ(shown.YesCaption, u"Ja");
    EXPECT_EQ(shown.NoCaption, u"Nein");
    EXPECT_EQ(shown.Notice.Style, u"hold");
    EXPECT_EQ(shown.Notice.Text, u"Nicht mehr \"fragen\"");
    EXPECT_TRUE(shown.Notice.StaysOnTop());
    EXPECT_EQ(shown.Notice.URL, u"https://x.test");
    EXPECT_EQ(shown.DialogOffset, 10);
}

TEST_F(UpdateCheckTest, TickedHoldBoxSendsOneHoldRequestWhateverTheAnswer) {
    const std::u16string answer = uR"({"update":"https://dl.test/z.exe","info":{"style":"hold","text":"Later"}})";
    for (const bool yes : {false, true}) {
        SCOPED_TRACE(yes ? "Yes" : "No");
        FHttp.Requests.clear();
        Opened.clear();
        Callbacks.clear();
        FDialog.Result = {.Accepted = yes, .HoldTicked = true};
        FHttp.Answers = {answer}; // the hold request itself fails: ignored
        FCheck.CheckUpdate(
            kServiceURL,
            [this](bool accepted, const std::u16string& data) {
                Callbacks.push_back({accepted, data});
            },
            10);
        FRunner.RunOne();
        ASSERT_EQ(FRunner.Jobs.size(), 1u) << "the hold request runs on a thread of its own";
        EXPECT_EQ(FHttp.Requests.size(), 1u);
        EXPECT_FALSE(FCheck.WaitForHoldRequests(10ms)) << "the program's end would wait for it";
        FRunner.RunAll();
        EXPECT_TRUE(FCheck.WaitForHoldRequests(0ms));

        ASSERT_EQ(FHttp.Requests.size(), 2u);
        EXPECT_EQ(FHttp.Requests[1].URL, kServiceURL);
        const THttpHeaderList hold{{u"User-Version", u"1.6.0.0"}, {u"User-Command", u"hold"}};
        EXPECT_EQ(FHttp.Requests[1].Headers, hold);
        EXPECT_EQ(Opened, yes ? std::vector<std::u16string>{u"https://dl.test/z.exe"} : std::vector<std::u16string>{});
        ASSERT_EQ(Callbacks.size(), 1u);
        EXPECT_EQ(Callbacks[0].Accepted, yes);
    }
}

TEST_F(UpdateCheckTest, AHoldRequestEndedByAnErrorNoLongerHoldsUpTheProgramsEnd) {
    FDialog.Result = {.Accepted = false, .HoldTicked = true};
    FHttp.Answers = {uR"({"update":"https://dl.test/z.exe","info":{"style":"hold","text":"Later"}})"};
    FHttp.ThrowWhenScriptEnds = true;
    FCheck.CheckUpdate(
        kServiceURL, [](bool, const std::u16string&) {}, 10);
    FRunner.RunOne();
    ASSERT_EQ(FRunner.Jobs.size(), 1u);
    EXPECT_THROW(FRunner.RunOne(), std::runtime_error) << "left to the runner, which reports it";
    EXPECT_TRUE(FCheck.WaitForHoldRequests(0ms));
}

TEST_F(UpdateCheckTest, NoticeLinkOpensOnlyAWebAddressAndLeavesTheOfferOpen) {
    struct Case {
        std::u16string url;
        std::vector<std::u16string> opened;
    };
    const Case cases[] = {
        {u"https://news.test/a", {u"https://news.test/a"}},
        {u"file:///C:/Windows/System32/calc.exe", {}},
        {uR"(\\\\evil.test\\share\\x.exe)", {}},
        {u"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Show(c.url));
        Opened.clear();
        Callbacks.clear();
        FDialog.ClickLink = true;
        FDialog.Result = {.Accepted = false, .HoldTicked = false};
        RunCheckWith(uR"({"update":"https://dl.test/z.exe","info":{"style":"note","text":"News","url":")" + c.url +
                     u"\"}}");
        EXPECT_EQ(Opened, c.opened);
        ASSERT_EQ(Callbacks.size(), 1u);
        EXPECT_FALSE(Callbacks[0].Accepted);
    }
}

} // namespace
} // namespace zx
