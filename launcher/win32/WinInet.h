// The launcher's update request over WinINet: a direct connection, the server's answer
// never taken from a cache, and every wait of the connection bounded.
#pragma once

#include <array>
#include <cstdint>

#include "launcher/UpdateRequest.h"

namespace zx::launcher {

class TWinInet final : public IInternet {
public:
    // `timeoutMs` bounds the connect, the send and each receive, and the whole reply from
    // the opening of the address to its last byte.
    explicit TWinInet(std::uint32_t timeoutMs);

    [[nodiscard]] std::unique_ptr<IInternetSession> Open(std::string_view agent) override;
    [[nodiscard]] char16_t AnsiCharacter(std::uint8_t byte) override { return FAnsiCharacters[byte]; }

private:
    std::uint32_t FTimeoutMs;
    std::array<char16_t, 256> FAnsiCharacters{};
};

} // namespace zx::launcher
