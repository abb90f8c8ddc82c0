// InternetOpenA, InternetSetOptionW, InternetOpenUrlW, InternetQueryDataAvailable, InternetReadFile,
// InternetCloseHandle.
#include "launcher/win32/WinInet.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "platform/win32/WideText.h"
#include "platform/win32/WinInetHandle.h"

namespace zx::launcher {

namespace {

constexpr DWORD kOpenFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_PRAGMA_NOCACHE;
static_assert(kOpenFlags == 0x80000100);

class TWinInetSession final : public IInternetSession {
public:
    TWinInetSession(TUniqueWinInetHandle internet, std::uint32_t wholeMs)
        : FInternet(std::move(internet)), FWholeBound(wholeMs) {}
    ~TWinInetSession() override {
        FAddress.reset(); // the address handle before the session that holds it
        FInternet.reset();
    }

    bool OpenAddress(const std::u16string& address, const std::u16string& headers) override {
        FDeadline = std::chrono::steady_clock::now() + FWholeBound;
        FAddress.reset(::InternetOpenUrlW(FInternet.get(), Wide(address), Wide(headers),
                                          static_cast<DWORD>(headers.size()), kOpenFlags, 0));
        return static_cast<bool>(FAddress);
    }

    // A peer sending one byte at a time never lets a single read wait long: the reply
    // fails as a whole once the deadline has passed.
    bool Read(std::span<std::uint8_t> buffer, std::size_t& got) override {
        if (std::chrono::steady_clock::now() >= FDeadline) return false;
        // A read waits until its buffer is full: asking only for what has arrived lets
        // the deadline be looked at between the drops.
        DWORD available = 0;
        if (!::InternetQueryDataAvailable(FAddress.get(), &available, 0, 0)) return false;
        if (available == 0) {
            got = 0;
            return true;
        }
        const DWORD wanted = std::min(available, static_cast<DWORD>(buffer.size()));
        DWORD read = 0;
        if (!::InternetReadFile(FAddress.get(), buffer.data(), wanted, &read)) return false;
        got = read;
        return true;
    }

private:
    TUniqueWinInetHandle FInternet;
    TUniqueWinInetHandle FAddress;
    std::chrono::milliseconds FWholeBound;
    std::chrono::steady_clock::time_point FDeadline{};
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
