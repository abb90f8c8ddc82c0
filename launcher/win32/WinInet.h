// The launcher's update request over WinINet: a direct connection, the server's answer
// never taken from a cache, every wait of the connection bounded, only the addresses the
// transport rule allows (https only, in a release), and no redirection followed.
#pragma once

#include <array>
#include <cstdint>

#include "launcher/UpdateRequest.h"
#include "platform/TransportRule.h"

namespace zx::launcher {

class TWinInet final : public IInternet {
public:
    // `timeoutMs` bounds the connect, the send and each receive, and the whole reply from
    // the opening of the address (its TLS handshake included) to its last byte. An
    // address `rule` does not allow is never opened; a redirection, an answer that did not
    // come over TLS from the https address asked, and one over TLS older than 1.2 (where
    // WinINet tells the version) count as no answer.
    TWinInet(TTransportRule rule, std::uint32_t timeoutMs);

    [[nodiscard]] std::unique_ptr<IInternetSession> Open(std::string_view agent) override;
    [[nodiscard]] char16_t AnsiCharacter(std::uint8_t byte) override { return FAnsiCharacters[byte]; }

private:
    TTransportRule FRule;
    std::uint32_t FTimeoutMs;
    std::array<char16_t, 256> FAnsiCharacters{};
};

} // namespace zx::launcher
