// Connectivity probe over WinHTTP.
#include "platform/win32/InternetProbe.h"

#include "platform/win32/WideText.h"
#include "platform/win32/WinHttpHandle.h"

namespace zx {
namespace {

int Bound(std::uint32_t milliseconds) {
    return static_cast<int>(milliseconds);
}

} // namespace

THttpInternetProbe::THttpInternetProbe(std::u16string url, TProbeTimeouts timeouts)
    : FUrl(std::move(url)), FTimeouts(timeouts) {}

bool THttpInternetProbe::IsInternetReachable() {
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof(parts);
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    if (!::WinHttpCrackUrl(Wide(FUrl), 0, 0, &parts) || parts.nScheme != INTERNET_SCHEME_HTTP ||
        parts.dwHostNameLength == 0) {
        return false;
    }
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    const std::wstring path =
        parts.dwUrlPathLength ? std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) : std::wstring(L"/");

    // The system's proxy settings are deliberately not consulted.
    const TUniqueWinHttpHandle session(
        ::WinHttpOpen(L"Zephyrix", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session ||
        !::WinHttpSetTimeouts(session.get(), Bound(FTimeouts.ResolveMs), Bound(FTimeouts.ConnectMs),
                              Bound(FTimeouts.SendMs), Bound(FTimeouts.ReceiveMs))) {
        return false;
    }
    const TUniqueWinHttpHandle connection(::WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
    if (!connection) return false;
    // A null version is HTTP/1.1; no flags: plain HTTP.
    const TUniqueWinHttpHandle request(::WinHttpOpenRequest(connection.get(), L"HEAD", path.c_str(), nullptr,
                                                            WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, 0));
    if (!request) return false;
    // A redirection is an answer in its own right; following it would probe another site.
    DWORD disabled = WINHTTP_DISABLE_REDIRECTS;
    if (!::WinHttpSetOption(request.get(), WINHTTP_OPTION_DISABLE_FEATURE, &disabled, sizeof(disabled))) {
        return false;
    }
    // The wait for the answer's headers has a bound of its own besides the per-read one.
    DWORD receiveBound = FTimeouts.ReceiveMs;
    if (!::WinHttpSetOption(request.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &receiveBound,
                            sizeof(receiveBound))) {
        return false;
    }
    // Headers received means the site answered, whatever the status.
    return ::WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) &&
        ::WinHttpReceiveResponse(request.get(), nullptr);
}

} // namespace zx
