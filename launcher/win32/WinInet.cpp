// InternetOpenA, InternetSetOptionW, InternetOpenUrlW, HttpQueryInfoW, InternetQueryOptionW,
// InternetQueryDataAvailable, InternetReadFile, InternetCloseHandle.
#include "launcher/win32/WinInet.h"

#include <windows.h>
#include <wininet.h>
#include <schannel.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "platform/BoundedBody.h"
#include "platform/DeadlineCall.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WinInetHandle.h"

namespace zx::launcher {

namespace {

// Never from a cache, and never following a redirection, whatever the platform's default
// (Wine's WinINet follows one from https to plain http; Windows' stops that one only).
constexpr DWORD kOpenFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_AUTO_REDIRECT;
static_assert(kOpenFlags == 0x80200100);

// The Windows SDK's INTERNET_OPTION_SECURITY_CONNECTION_INFO and its structure, which
// mingw's wininet.h lacks.
constexpr DWORD kSecurityConnectionInfoOption = 66;
struct TSecurityConnectionInfo {
    DWORD dwSize;
    BOOL fSecure;
    SecPkgContext_ConnectionInfo connectionInfo;
    SecPkgContext_CipherInfo cipherInfo;
};

using TSharedInternet = std::shared_ptr<const TUniqueWinInetHandle>;

// The TLS version the connection negotiated is 1.2 or newer. WinINet has no setting that
// keeps older versions out of one handle, so the launcher reads what was negotiated and
// drops the answer. Where WinINet cannot tell the version at all (Wine's does not know the
// option), the answer is kept: it did come over TLS, from the address asked.
bool NegotiatedTls12OrNewer(HINTERNET opened) {
    TSecurityConnectionInfo info{};
    info.dwSize = sizeof(info);
    DWORD size = sizeof(info);
    if (!::InternetQueryOptionW(opened, kSecurityConnectionInfoOption, &info, &size)) {
        const DWORD error = ::GetLastError();
        return error == ERROR_INTERNET_INCORRECT_HANDLE_TYPE || error == ERROR_INTERNET_INVALID_OPTION;
    }
    return info.fSecure && (info.connectionInfo.dwProtocol & (SP_PROT_TLS1_2 | SP_PROT_TLS1_3)) != 0;
}

// Whether the opened address's answer may be read at all: not a redirection, from an
// address the rule allows; and when https was asked, from that https address over a TLS
// connection of version 1.2 or newer.
bool AnswerAcceptable(HINTERNET opened, TTransportRule rule, bool httpsAsked) {
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!::HttpQueryInfoW(opened, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) ||
        (status >= 300 && status < 400)) {
        return false;
    }
    // With redirections off this is the address asked; it is checked all the same.
    std::array<wchar_t, INTERNET_MAX_URL_LENGTH + 1> url{};
    size = static_cast<DWORD>(sizeof(url) - sizeof(wchar_t));
    if (!::InternetQueryOptionW(opened, INTERNET_OPTION_URL, url.data(), &size)) return false;
    const std::u16string answeredFrom = FromWide(url.data());
    if (!TransportAllows(rule, answeredFrom)) return false;
    if (!httpsAsked) return true;
    DWORD flags = 0;
    size = sizeof(flags);
    return TransportAllows(TTransportRule::trHttpsOnly, answeredFrom) &&
        ::InternetQueryOptionW(opened, INTERNET_OPTION_SECURITY_FLAGS, &flags, &size) &&
        (flags & SECURITY_FLAG_SECURE) != 0 && NegotiatedTls12OrNewer(opened);
}

// Opens the address through the session and reads its whole body; nullopt when either
// fails, the answer is not acceptable or the deadline passes. A body longer than
// kReplyLimit is cut one byte past it, which is enough for the reader to refuse it.
std::optional<std::string> Exchange(HINTERNET internet, const std::u16string& address, const std::u16string& headers,
                                    TTransportRule rule, TDeadline deadline) {
    // Checked here, at run time, whatever the build's configuration let through.
    if (!TransportAllows(rule, address)) return std::nullopt;
    const TUniqueWinInetHandle opened(
        ::InternetOpenUrlW(internet, Wide(address), Wide(headers), static_cast<DWORD>(headers.size()), kOpenFlags, 0));
    if (!opened) return std::nullopt;
    const HINTERNET handle = opened.get();
    if (!AnswerAcceptable(handle, rule, TransportAllows(TTransportRule::trHttpsOnly, address))) return std::nullopt;
    const auto queryAvailable = [handle](TByteCount& available) {
        return ::InternetQueryDataAvailable(handle, &available, 0, 0) != FALSE;
    };
    const auto readData = [handle](char* into, TByteCount wanted, TByteCount& read) {
        return ::InternetReadFile(handle, into, wanted, &read) != FALSE;
    };
    const TBodySource source{.Available = queryAvailable, .Read = readData};
    return ReadBoundedBody(source, kReplyLimit, deadline);
}

class TWinInetSession final : public IInternetSession {
public:
    TWinInetSession(TUniqueWinInetHandle internet, TTransportRule rule, std::uint32_t wholeMs)
        : FInternet(std::make_shared<const TUniqueWinInetHandle>(std::move(internet))),
          FRule(rule),
          FWholeBound(wholeMs) {}

    // The whole exchange, from the opening of the address to the reply's last byte, runs
    // here. Wine's WinINet waits inside InternetOpenUrlW for as long as an answer's head
    // keeps dripping, whatever the time-outs, so the exchange runs on a thread of its own
    // that shares the session handle and the caller waits only until the whole bound; a
    // thread left behind closes the handles when WinINet lets go of it.
    bool OpenAddress(const std::u16string& address, const std::u16string& headers) override {
        const TDeadline deadline = std::chrono::steady_clock::now() + FWholeBound;
        std::optional<std::string> body =
            CallBeforeDeadline<std::string>(deadline, [internet = FInternet, address, headers, rule = FRule, deadline] {
                return Exchange(internet->get(), address, headers, rule, deadline);
            });
        if (!body) return false;
        FBody = std::move(*body);
        FAt = 0;
        return true;
    }

    // Hands out the body gathered by OpenAddress, piece by piece.
    bool Read(std::span<std::uint8_t> buffer, std::size_t& got) override {
        got = std::min(buffer.size(), FBody.size() - FAt);
        std::memcpy(buffer.data(), FBody.data() + FAt, got);
        FAt += got;
        return true;
    }

private:
    TSharedInternet FInternet;
    TTransportRule FRule;
    std::chrono::milliseconds FWholeBound;
    std::string FBody;
    std::size_t FAt = 0;
};

} // namespace

TWinInet::TWinInet(TTransportRule rule, std::uint32_t timeoutMs) : FRule(rule), FTimeoutMs(timeoutMs) {
    // Each byte on its own, as the code page reads a single byte (a lone lead byte of a
    // double-byte code page gives what the system makes of it, or nothing).
    for (unsigned byte = 0; byte < FAnsiCharacters.size(); ++byte) {
        const char narrow = static_cast<char>(byte);
        wchar_t wide = 0;
        if (::MultiByteToWideChar(CP_ACP, 0, &narrow, 1, &wide, 1) == 1)
            FAnsiCharacters[byte] = static_cast<char16_t>(wide);
    }
}

std::unique_ptr<IInternetSession> TWinInet::Open(std::string_view agent) {
    const std::string agentText(agent);
    TUniqueWinInetHandle internet(::InternetOpenA(agentText.c_str(), INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!internet) return nullptr;
    // Without these a server that accepts and never answers would hold the launcher for
    // ever. Set on the session, they hold for the address opened through it (on Windows;
    // Wine's WinINet takes only the connect time-out from the session).
    for (const DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        DWORD value = FTimeoutMs;
        ::InternetSetOptionW(internet.get(), option, &value, sizeof(value));
    }
    return std::make_unique<TWinInetSession>(std::move(internet), FRule, FTimeoutMs);
}

} // namespace zx::launcher
