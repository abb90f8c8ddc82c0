// InternetOpenA, InternetSetOptionW, InternetOpenUrlW, InternetQueryDataAvailable, InternetReadFile,
// InternetCloseHandle.
#include "launcher/win32/WinInet.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
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

constexpr DWORD kOpenFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_PRAGMA_NOCACHE;
static_assert(kOpenFlags == 0x80000100);

using TSharedInternet = std::shared_ptr<const TUniqueWinInetHandle>;

// Opens the address through the session and reads its whole body; nullopt when either
// fails or the deadline passes. A body longer than kReplyLimit is cut one byte past it,
// which is enough for the reader to refuse it.
std::optional<std::string> Exchange(HINTERNET internet, const std::u16string& address, const std::u16string& headers,
                                    TDeadline deadline) {
    const TUniqueWinInetHandle opened(
        ::InternetOpenUrlW(internet, Wide(address), Wide(headers), static_cast<DWORD>(headers.size()), kOpenFlags, 0));
    if (!opened) return std::nullopt;
    const HINTERNET handle = opened.get();
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
    TWinInetSession(TUniqueWinInetHandle internet, std::uint32_t wholeMs)
        : FInternet(std::make_shared<const TUniqueWinInetHandle>(std::move(internet))), FWholeBound(wholeMs) {}

    // The whole exchange, from the opening of the address to the reply's last byte, runs
    // here. Wine's WinINet waits inside InternetOpenUrlW for as long as an answer's head
    // keeps dripping, whatever the time-outs, so the exchange runs on a thread of its own
    // that shares the session handle and the caller waits only until the whole bound; a
    // thread left behind closes the handles when WinINet lets go of it.
    bool OpenAddress(const std::u16string& address, const std::u16string& headers) override {
        const TDeadline deadline = std::chrono::steady_clock::now() + FWholeBound;
        std::optional<std::string> body =
            CallBeforeDeadline<std::string>(deadline, [internet = FInternet, address, headers, deadline] {
                return Exchange(internet->get(), address, headers, deadline);
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
    std::chrono::milliseconds FWholeBound;
    std::string FBody;
    std::size_t FAt = 0;
};

} // namespace

TWinInet::TWinInet(std::uint32_t timeoutMs) : FTimeoutMs(timeoutMs) {
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
    return std::make_unique<TWinInetSession>(std::move(internet), FTimeoutMs);
}

} // namespace zx::launcher
