// One GET over WinHTTP; every failure of the HTTP layer ends here as false.
#include "platform/win32/HttpGetText.h"

#include <chrono>
#include <optional>
#include <string>
#include <utility>

#include "platform/BoundedBody.h"
#include "platform/DeadlineCall.h"
#include "platform/common/Utf8.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WinHttpHandle.h"

namespace zx {

namespace {

int Bound(std::uint32_t milliseconds) {
    return static_cast<int>(milliseconds);
}

// The whole body, or false when the transfer fails, the body passes the bound or the
// deadline passes first.
bool ReadBody(HINTERNET request, TDeadline deadline, std::string& body) {
    const auto queryAvailable = [request](TByteCount& available) {
        return ::WinHttpQueryDataAvailable(request, &available) != FALSE;
    };
    const auto readData = [request](char* into, TByteCount wanted, TByteCount& read) {
        return ::WinHttpReadData(request, into, wanted, &read) != FALSE;
    };
    const TBodySource source{.Available = queryAvailable, .Read = readData};
    std::optional<std::string> answer = ReadBoundedBody(source, kMaxAnswerBytes, deadline);
    if (!answer || answer->size() > kMaxAnswerBytes) return false;
    body = std::move(*answer);
    return true;
}

// TLS 1.2 and 1.3 only. A WinHTTP that does not know TLS 1.3 refuses that value and gets
// TLS 1.2 alone; Wine's takes both and speaks 1.2. Set on the session, it holds for its
// one request.
bool RequireModernTls(HINTERNET session) {
    for (DWORD protocols : {DWORD{WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3},
                            DWORD{WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2}}) {
        if (::WinHttpSetOption(session, WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof(protocols))) return true;
    }
    return false;
}

// One exchange from start to end; the body's bytes, or false on any failure.
bool Exchange(const std::u16string& url, const THttpHeaderList& headers, TTransportRule rule,
              const THttpTimeouts& timeouts, TDeadline deadline, std::string& body) {
    // Checked here, at run time, whatever the build's configuration let through.
    if (!TransportAllows(rule, url)) return false;
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof(parts);
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!::WinHttpCrackUrl(Wide(url), 0, 0, &parts) || parts.dwHostNameLength == 0 ||
        (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)) {
        return false;
    }
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path(parts.lpszUrlPath ? parts.lpszUrlPath : L"", parts.dwUrlPathLength);
    if (parts.lpszExtraInfo) path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (path.empty()) path = L"/";

    const TUniqueWinHttpHandle session(
        ::WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session ||
        !::WinHttpSetTimeouts(session.get(), Bound(timeouts.ResolveMs), Bound(timeouts.ConnectMs),
                              Bound(timeouts.SendMs), Bound(timeouts.ReceiveMs)) ||
        !RequireModernTls(session.get())) {
        return false;
    }
    const TUniqueWinHttpHandle connection(::WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
    if (!connection) return false;
    const DWORD secure = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
    const TUniqueWinHttpHandle request(::WinHttpOpenRequest(connection.get(), L"GET", path.c_str(), nullptr,
                                                            WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, secure));
    if (!request) return false;
    // Never followed, whatever the platform's default: the answer must come from the
    // address asked, over the connection opened for it (Windows' default would follow an
    // https address to another https one, Wine's too).
    DWORD redirects = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
    if (!::WinHttpSetOption(request.get(), WINHTTP_OPTION_REDIRECT_POLICY, &redirects, sizeof(redirects))) return false;
    // Windows bounds the whole wait for the answer's head with this; Wine only each read,
    // which is why the exchange runs on a thread of its own (below).
    DWORD headBound = timeouts.WholeMs;
    if (!::WinHttpSetOption(request.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &headBound, sizeof(headBound)))
        return false;
    // Each header on its own call keeps the list's order; an empty value is still sent.
    for (const THttpHeader& header : headers) {
        const std::u16string line = header.Name + u": " + header.Value;
        if (!::WinHttpAddRequestHeaders(request.get(), Wide(line), static_cast<DWORD>(line.size()),
                                        WINHTTP_ADDREQ_FLAG_ADD)) {
            return false;
        }
    }
    if (!::WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !::WinHttpReceiveResponse(request.get(), nullptr)) {
        return false;
    }
    // Any status is an answer, its body searched like any other, but a redirection: not
    // followed, it is no answer at all.
    DWORD status = 0;
    DWORD statusSize = sizeof(status);
    if (!::WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                               WINHTTP_HEADER_NAME_BY_INDEX, &status, &statusSize, WINHTTP_NO_HEADER_INDEX) ||
        (status >= 300 && status < 400)) {
        return false;
    }
    return ReadBody(request.get(), deadline, body);
}

} // namespace

// Wine's WinHTTP lets an answer's head that drips hold WinHttpReceiveResponse as long as
// it keeps coming, and closing the request handle from another thread does not end that
// call. So the exchange runs on a thread of its own that owns every handle and a copy of
// every argument, and the caller waits for it only until the whole bound.
bool TWinHttpTextClient::HttpGetText(const std::u16string& url, const THttpHeaderList& headers, std::u16string& text) {
    const TDeadline deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(FTimeouts.WholeMs);
    const std::optional<std::string> body = CallBeforeDeadline<std::string>(
        deadline, [url, headers, rule = FRule, timeouts = FTimeouts, deadline]() -> std::optional<std::string> {
            std::string read;
            if (!Exchange(url, headers, rule, timeouts, deadline, read)) return std::nullopt;
            return read;
        });
    if (!body) return false;
    // The declared character set is not looked at: the service writes UTF-8.
    text = DecodeUtf8(std::string_view(*body));
    return true;
}

} // namespace zx
