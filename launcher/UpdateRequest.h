// The launcher's one request to the update service: the connection it needs from the
// platform, the header text, and the reading of the reply in pieces up to a bound.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace zx::launcher {

inline constexpr std::string_view kLauncherAgent = "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 "
                                                   "(KHTML, like Gecko) Chrome/115.0.0.0 Safari/537.36";
// Each read asks for at most this many bytes.
inline constexpr std::size_t kReplyPieceSize = 1025;
// A real answer is a few hundred bytes; anything longer than this counts as no answer,
// so that a broken or hostile server cannot make the launcher gather without end.
inline constexpr std::size_t kReplyLimit = std::size_t{1024} * 1024;

// One Internet session with a direct connection (no proxy). Destroying it closes the
// address handle first, then the session.
class IInternetSession {
public:
    virtual ~IInternetSession() = default;
    // Opens the address with the given header text, always from the server, never from a
    // cache. False when it cannot be opened (no network, refused, ...).
    [[nodiscard]] virtual bool OpenAddress(const std::u16string& address, const std::u16string& headers) = 0;
    // Reads the next bytes of the opened address's body into `buffer`; `got` 0 means the
    // end. False when the read fails.
    [[nodiscard]] virtual bool Read(std::span<std::uint8_t> buffer, std::size_t& got) = 0;
};

class IInternet {
public:
    virtual ~IInternet() = default;
    // A new session announcing itself with `agent`; nullptr when none can be opened.
    [[nodiscard]] virtual std::unique_ptr<IInternetSession> Open(std::string_view agent) = 0;
    // The character the system's ANSI code page gives this byte taken on its own; 0 when
    // it gives none.
    [[nodiscard]] virtual char16_t AnsiCharacter(std::uint8_t byte) = 0;
};

// The headers, one line each, separated by a single carriage return, nothing after the
// identifier: "User-Version: <version>" CR "User-Debug: false" CR "User-Union: <id>".
[[nodiscard]] std::u16string LauncherRequestHeaders(std::u16string_view version, std::u16string_view clientId);

// The reply's body as text, each byte converted on its own through the ANSI code page.
// The version and then the identifier are asked for only once the session is open. Every
// failure, and a body longer than kReplyLimit, gives the empty text.
[[nodiscard]] std::u16string FetchUpdateReply(IInternet& internet, const std::u16string& address,
                                              const std::function<std::u16string()>& version,
                                              const std::function<std::u16string()>& clientId);

} // namespace zx::launcher
