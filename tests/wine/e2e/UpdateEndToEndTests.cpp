// The update check on the real main program under Wine: the loopback build asks the
// service's stand-in (update-peer.py, run by with-update-peer.sh on the build's fixed
// port), and the tests answer its offer as a user would. Opened addresses are seen
// through Wine's browser hook.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win32/Handles.h"
#include "ui/ScreenReader.h"
#include "ui/UiDriver.h"

namespace {

using namespace zx::ui;
using zx::TControlId;

// The update dialog's parts, by control ID (as app/win32/UpdateDialog.h gives them).
constexpr int kHoldBoxId = 0x0102;
constexpr int kNoteLinkId = 0x0103;
constexpr DWORD kOfferWaitMs = 15000; // the first request leaves at start-up
constexpr wchar_t kClientIdKey[] = L"Software\\Moravel";
constexpr char kDownload[] = "http://127.0.0.1:47083/download/Zephyrix-1.7.exe";

std::string ControlPath(const std::string& name) {
    const char* control = std::getenv("ZX_UPDATE_PEER_CONTROL");
    if (!control) throw std::runtime_error("run through with-update-peer.sh");
    return std::string("Z:") + control + "/" + name;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteControlFile(const std::string& name, const std::string& content) {
    std::ofstream(ControlPath(name), std::ios::binary) << content;
}

void RemoveControlFile(const std::string& name) {
    ::DeleteFileA(ControlPath(name).c_str());
}

// One request as the peer received it: the request line and the header lines in order.
struct TLoggedRequest {
    std::string Line;
    std::vector<std::string> Headers;

    // Our own headers ("User-..."), in the order they came.
    [[nodiscard]] std::vector<std::string> UserHeaders() const {
        std::vector<std::string> ours;
        for (const std::string& header : Headers)
            if (header.rfind("User-", 0) == 0) ours.push_back(header);
        return ours;
    }
    [[nodiscard]] bool IsHold() const {
        for (const std::string& header : Headers)
            if (header == "User-Command: hold") return true;
        return false;
    }
};

std::vector<TLoggedRequest> LoggedRequests() {
    std::vector<TLoggedRequest> requests;
    std::istringstream log(ReadFile(ControlPath("requests.log")));
    std::string line;
    std::optional<TLoggedRequest> current;
    while (std::getline(log, line)) {
        if (line.rfind("request ", 0) == 0 && !current) {
            current.emplace();
        } else if (current && line.empty()) {
            requests.push_back(*current); // a record ends with an empty line
            current.reset();
        } else if (current && current->Line.empty()) {
            current->Line = line;
        } else if (current) {
            current->Headers.push_back(line);
        }
    }
    return requests;
}

std::size_t AnsweredCount() {
    const std::string log = ReadFile(ControlPath("answers.log"));
    return static_cast<std::size_t>(std::count(log.begin(), log.end(), '\n'));
}

// The addresses Wine's browser launcher was asked to open in this session.
std::string OpenedAddresses() {
    const char* prefix = std::getenv("WINEPREFIX");
    return prefix ? ReadFile(std::string("Z:") + prefix + "/opened-urls.log") : std::string();
}

std::string Narrow(const std::wstring& text) {
    std::string result;
    for (const wchar_t c : text) result += c < 0x80 ? static_cast<char>(c) : '?';
    return result;
}

// "KUID" below HKCU\Software\Moravel as text, or nothing when it is absent or not text.
std::optional<std::wstring> StoredClientId() {
    wchar_t text[256] = L"";
    DWORD size = sizeof(text);
    if (::RegGetValueW(HKEY_CURRENT_USER, kClientIdKey, L"KUID", RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(text);
}

std::string TodayYymmdd() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    char text[8];
    std::snprintf(text, sizeof(text), "%02u%02u%02u", now.wYear % 100u, now.wMonth, now.wDay);
    return text;
}

// What a user of each language reads in the offer.
struct TOfferTexts {
    const wchar_t* Language;
    const wchar_t* Message;
    const wchar_t* Yes;
    const wchar_t* No;
};

constexpr TOfferTexts kOfferTexts[] = {
    {L"en",
     L"This program has been updated.\r\rIt is recommended to download and execute new for stable use.\r\rDo you "
     L"want to download it?",
     L"Yes", L"No"},
    {L"de",
     L"Dieses Programm ist aktualisiert worden.\r\rEs wird empfohlen, es herunterzuladen und neu auszuführen, um es "
     L"stabil zu verwenden.\r\rMöchten Sie es herunterladen?",
     L"Ja", L"Nein"},
};

const TOfferTexts& ExpectedTexts() {
    const std::wstring language = UserLanguage();
    if (const char* expected = std::getenv("ZX_UI_LANGUAGE")) {
        if (language != std::wstring(expected, expected + std::strlen(expected)))
            throw std::runtime_error("the user locale did not take effect");
    }
    for (const TOfferTexts& texts : kOfferTexts)
        if (language == texts.Language) return texts;
    throw std::runtime_error("no expected texts for the user's language");
}

class UpdateOffer : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("WINEPREFIX"), nullptr) << "run inside tools/wine-session";
        ResetSettings();
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kClientIdKey);
        RemoveControlFile("answer");
        RemoveControlFile("hold");
        FOpenedBefore = OpenedAddresses().size();
        FRequestsBefore = LoggedRequests().size();
    }
    void TearDown() override {
        if (FProgram) FProgram->Kill();
        RemoveControlFile("hold");
        ResetSettings();
    }

    void Launch() {
        FProgram.emplace(TProgram::Start(ZEPHYRIX_LOOPBACK_EXE_PATH));
        FWindow = WaitForMainWindow(FProgram->Id());
        ASSERT_NE(FWindow, nullptr) << "no visible TFrmZephyrix window";
    }

    HWND WaitForOffer(DWORD timeoutMs = kOfferWaitMs) const {
        HWND box = nullptr;
        WaitUntil([&] { return (box = FindMessageBox(FProgram->Id())) != nullptr; }, timeoutMs);
        return box;
    }

    std::vector<TLoggedRequest> NewRequests() const {
        std::vector<TLoggedRequest> all = LoggedRequests();
        return std::vector<TLoggedRequest>(all.begin() + static_cast<std::ptrdiff_t>(FRequestsBefore), all.end());
    }
    std::string NewlyOpened() const { return OpenedAddresses().substr(FOpenedBefore); }

    // The program is still up and its window takes input.
    bool StillRunning() const {
        DWORD_PTR ignored = 0;
        return !FProgram->HasExited() && ::IsWindowEnabled(FWindow) &&
            ::SendMessageTimeoutW(FWindow, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored) != 0;
    }

    std::optional<TProgram> FProgram;
    HWND FWindow = nullptr;
    std::size_t FOpenedBefore = 0;
    std::size_t FRequestsBefore = 0;
};

std::string Answer(const std::string& download, const std::string& info = "") {
    std::string body = R"({"result":"ok","update":")" + download + "\"";
    if (!info.empty()) body += R"(,"info":{)" + info + "}";
    return body + "}";
}

// Escaped slashes, as the service writes them.
std::string Escaped(const std::string& address) {
    std::string result;
    for (const char c : address) result += c == '/' ? std::string("\\/") : std::string(1, c);
    return result;
}

TEST_F(UpdateOffer, OfferIsInTheUsersLanguageAndNoLeavesTheProgramRunning) {
    const TOfferTexts& texts = ExpectedTexts();
    WriteControlFile("answer", Answer(Escaped(kDownload)));
    Launch();
    const HWND offer = WaitForOffer();
    ASSERT_NE(offer, nullptr) << "no offer came up";
    EXPECT_EQ(WindowText(offer), L"Zephyrix");
    EXPECT_EQ(MessageBoxText(offer), texts.Message);
    EXPECT_EQ(WindowText(::GetDlgItem(offer, IDYES)), texts.Yes);
    EXPECT_EQ(WindowText(::GetDlgItem(offer, IDNO)), texts.No);
    EXPECT_FALSE(::IsWindowEnabled(FWindow)) << "the offer is modal to the window";

    // The check request: its four headers in order, the identifier as stored.
    const std::vector<TLoggedRequest> requests = NewRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].Line, "GET /api.init.php HTTP/1.1");
    const std::optional<std::wstring> id = StoredClientId();
    ASSERT_TRUE(id) << "the first check stores the identifier";
    ASSERT_EQ(id->size(), 32u);
    EXPECT_EQ(id->find_first_not_of(L"0123456789ABCDEF"), std::wstring::npos);
    EXPECT_EQ(Narrow(id->substr(8, 6)), TodayYymmdd());
    const std::vector<std::string> expected{"User-Version: 1.6.0.0", "User-Language: " + Narrow(texts.Language),
                                            "User-Debug: false", "User-Union: " + Narrow(*id)};
    EXPECT_EQ(requests[0].UserHeaders(), expected);

    AnswerMessageBox(offer, IDNO);
    ASSERT_TRUE(WaitUntil([&] { return FindMessageBox(FProgram->Id()) == nullptr; }));
    ::Sleep(1000);
    EXPECT_TRUE(StillRunning());
    EXPECT_EQ(NewlyOpened(), "");
    EXPECT_EQ(NewRequests().size(), 1u) << "no hold request without the box";
}

TEST_F(UpdateOffer, YesOpensTheDownloadAndEndsTheProgram) {
    WriteControlFile("answer", Answer(Escaped(kDownload)));
    Launch();
    const HWND offer = WaitForOffer();
    ASSERT_NE(offer, nullptr);
    AnswerMessageBox(offer, IDYES);
    EXPECT_EQ(FProgram->WaitForExit(10000), 0u) << "the window closes and the program ends";
    std::string opened;
    EXPECT_TRUE(WaitUntil([&] { return (opened = NewlyOpened()) == std::string(kDownload) + "\n"; }, 10000))
        << "opened: " << opened;
}

TEST_F(UpdateOffer, TickedHoldBoxSendsTheHoldRequestWhateverTheAnswer) {
    for (const int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer == IDYES ? "Yes" : "No");
        SetUp();
        WriteControlFile("answer", Answer(Escaped(kDownload), R"("style":"hold","text":"Don\u0027t ask again")"));
        Launch();
        const HWND offer = WaitForOffer();
        ASSERT_NE(offer, nullptr);
        const HWND box = ::GetDlgItem(offer, kHoldBoxId);
        ASSERT_NE(box, nullptr) << "no hold box";
        EXPECT_EQ(WindowText(box), L"Don't ask again");
        EXPECT_FALSE(IsChecked(box));
        Click(box);
        EXPECT_TRUE(IsChecked(box));
        AnswerMessageBox(offer, answer);

        if (answer == IDYES) {
            // The program ends at once, but not before its hold request has gone out.
            EXPECT_EQ(FProgram->WaitForExit(10000), 0u);
        }
        std::vector<TLoggedRequest> requests;
        ASSERT_TRUE(WaitUntil([&] { return (requests = NewRequests()).size() == 2; }, 10000)) << "no hold request";
        ASSERT_TRUE(requests[1].IsHold());
        EXPECT_EQ(requests[1].Line, "GET /api.init.php HTTP/1.1");
        EXPECT_EQ(requests[1].UserHeaders(), (std::vector<std::string>{"User-Version: 1.6.0.0", "User-Command: hold"}));
        if (answer == IDNO) {
            EXPECT_TRUE(StillRunning());
            EXPECT_EQ(NewlyOpened(), "");
        } else {
            std::string opened;
            EXPECT_TRUE(WaitUntil([&] { return (opened = NewlyOpened()) == std::string(kDownload) + "\n"; }, 10000))
                << "opened: " << opened;
        }
        FProgram->Kill();
        FProgram.reset();
    }
}

// Followed by a click, and by a screen reader's default action, which reads it as a link
// with its text first; the message reads as its text.
TEST_F(UpdateOffer, NoteLinkOpensItsAddressAndTheOfferStaysOpen) {
    for (const bool byReader : {false, true}) {
        SCOPED_TRACE(byReader ? "screen reader's default action" : "click");
        SetUp();
        WriteControlFile("answer",
                         Answer(Escaped(kDownload),
                                R"("style":"note","text":"What is new","url":"http:\/\/127.0.0.1:47083\/news")"));
        Launch();
        const HWND offer = WaitForOffer();
        ASSERT_NE(offer, nullptr);
        const HWND link = ::GetDlgItem(offer, kNoteLinkId);
        ASSERT_NE(link, nullptr) << "no note link";
        EXPECT_EQ(WindowText(link), L"What is new");
        if (byReader) {
            const TAccessibleRead read = ReadAccessible(link);
            ASSERT_EQ(read.Result, S_OK);
            EXPECT_EQ(read.Role, kRoleLink);
            EXPECT_EQ(read.Name, L"What is new");
            EXPECT_EQ(read.DefaultAction, L"Jump");
            EXPECT_NE(read.State & STATE_SYSTEM_FOCUSABLE, 0);
            const HWND message = ::GetDlgItem(offer, kMessageBoxTextId);
            EXPECT_EQ(ReadAccessible(message).Name, WindowText(message)) << "the system's object reads the message";
            EXPECT_EQ(DoDefaultAction(link), S_OK);
        } else {
            PostClick(link);
        }
        std::string opened;
        EXPECT_TRUE(WaitUntil([&] { return (opened = NewlyOpened()) == "http://127.0.0.1:47083/news\n"; }, 10000))
            << "opened: " << opened;
        EXPECT_EQ(FindMessageBox(FProgram->Id()), offer) << "the offer stays open";
        AnswerMessageBox(offer, IDNO);
        ASSERT_TRUE(WaitUntil([&] { return FindMessageBox(FProgram->Id()) == nullptr; }));
        EXPECT_TRUE(WaitUntil([&] { return StillRunning(); }));
        FProgram->Kill();
        FProgram.reset();
    }
}

TEST_F(UpdateOffer, OnlyWebAddressesAreOffered) {
    const char* unsafe[] = {
        R"(file:\/\/\/C:\/windows\/system32\/notepad.exe)",
        R"(\\\\127.0.0.1\\share\\setup.exe)",
        R"(C:\\windows\\notepad.exe)",
    };
    for (const char* address : unsafe) {
        SCOPED_TRACE(address);
        SetUp();
        WriteControlFile("answer", Answer(address));
        const std::size_t answered = AnsweredCount();
        Launch();
        ASSERT_TRUE(WaitUntil([&] { return AnsweredCount() > answered; }, kOfferWaitMs)) << "no request came";
        EXPECT_EQ(WaitForOffer(2000), nullptr) << "an offer came up";
        EXPECT_TRUE(StillRunning());
        EXPECT_EQ(NewlyOpened(), "");
        FProgram->Kill();
        FProgram.reset();
    }
}

TEST_F(UpdateOffer, NoAnswerFieldNoOfferAndANonTextIdentifierIsSentEmpty) {
    // "KUID" of the wrong type: kept as it is, and sent as an empty header.
    {
        zx::TUniqueRegKey key;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kClientIdKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(),
                                    nullptr),
                  ERROR_SUCCESS);
        const DWORD value = 7;
        ASSERT_EQ(
            ::RegSetValueExW(key.get(), L"KUID", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)),
            ERROR_SUCCESS);
    }
    // No answer file: the stand-in answers 404 with an HTML page.
    const std::size_t answered = AnsweredCount();
    Launch();
    ASSERT_TRUE(WaitUntil([&] { return AnsweredCount() > answered; }, kOfferWaitMs));
    EXPECT_EQ(WaitForOffer(2000), nullptr);
    EXPECT_TRUE(StillRunning());
    const std::vector<TLoggedRequest> requests = NewRequests();
    ASSERT_EQ(requests.size(), 1u) << "a 404 page is an answer: no second attempt";
    const std::vector<std::string> headers = requests[0].UserHeaders();
    ASSERT_EQ(headers.size(), 4u);
    EXPECT_TRUE(headers[3] == "User-Union:" || headers[3] == "User-Union: ") << headers[3];
    DWORD type = 0, value = 0, size = sizeof(value);
    EXPECT_EQ(::RegGetValueW(HKEY_CURRENT_USER, kClientIdKey, L"KUID", RRF_RT_ANY, &type, &value, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value, 7u);
}

TEST_F(UpdateOffer, AnIdentifierWithALineBreakIsSentEmptyAndAddsNoHeader) {
    // Any program of the user can write "KUID"; a line break in it must not become a
    // header of its choosing in the elevated program's request.
    const std::wstring planted = L"ABC\r\nX-Injected: 1";
    {
        zx::TUniqueRegKey key;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kClientIdKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(),
                                    nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegSetValueExW(key.get(), L"KUID", 0, REG_SZ, reinterpret_cast<const BYTE*>(planted.c_str()),
                                   static_cast<DWORD>((planted.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    const std::size_t answered = AnsweredCount();
    Launch();
    ASSERT_TRUE(WaitUntil([&] { return AnsweredCount() > answered; }, kOfferWaitMs));
    const std::vector<TLoggedRequest> requests = NewRequests();
    ASSERT_FALSE(requests.empty()) << "the request is still sent";
    const std::vector<std::string> headers = requests[0].UserHeaders();
    ASSERT_EQ(headers.size(), 4u);
    EXPECT_TRUE(headers[3] == "User-Union:" || headers[3] == "User-Union: ") << headers[3];
    for (const std::string& header : requests[0].Headers) EXPECT_NE(header.rfind("X-Injected", 0), 0u) << header;
    // The stored value is left as it is.
    EXPECT_EQ(StoredClientId(), std::optional<std::wstring>(planted));
}

TEST_F(UpdateOffer, WindowAnswersWhileTheServiceIsSilent) {
    WriteControlFile("answer", Answer(Escaped(kDownload)));
    WriteControlFile("hold", "");
    Launch();
    ASSERT_TRUE(WaitUntil([&] { return !NewRequests().empty(); }, kOfferWaitMs)) << "no request came";
    // The service holds its answer: the window is up and takes input meanwhile.
    for (int i = 0; i < 10; ++i) {
        EXPECT_TRUE(StillRunning());
        Click(FindControl(FWindow, TControlId::BtnConfig));
        ::Sleep(100);
    }
    EXPECT_TRUE(IsShown(FindControl(FWindow, TControlId::Card2)));
    EXPECT_EQ(FindMessageBox(FProgram->Id()), nullptr);
    RemoveControlFile("hold");
    const HWND offer = WaitForOffer();
    ASSERT_NE(offer, nullptr) << "the offer follows the answer";
    AnswerMessageBox(offer, IDNO);
}

} // namespace
