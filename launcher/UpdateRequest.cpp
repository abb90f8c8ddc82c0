#include "launcher/UpdateRequest.h"

#include <algorithm>
#include <array>

namespace zx::launcher {

std::u16string LauncherRequestHeaders(std::u16string_view version, std::u16string_view clientId) {
    std::u16string headers = u"User-Version: ";
    headers += version;
    headers += u"\rUser-Debug: false\rUser-Union: ";
    headers += clientId;
    return headers;
}

std::u16string FetchUpdateReply(IInternet& internet, const std::u16string& address,
                                const std::function<std::u16string()>& version,
                                const std::function<std::u16string()>& clientId) {
    const auto session = internet.Open(kLauncherAgent);
    if (!session) return {};
    // The version is read before the identifier, which may be created on the way.
    const std::u16string versionText = version();
    const std::u16string headers = LauncherRequestHeaders(versionText, clientId());
    if (!session->OpenAddress(address, headers)) return {};

    std::u16string reply;
    std::array<std::uint8_t, kReplyPieceSize> piece;
    std::size_t total = 0;
    for (;;) {
        std::size_t got = 0;
        // A broken transfer may have cut the address short: no answer at all is safer.
        if (!session->Read(piece, got)) return {};
        if (got == 0) break;
        got = std::min(got, piece.size());
        total += got;
        if (total > kReplyLimit) return {};
        for (std::size_t i = 0; i < got; ++i)
            if (const char16_t c = internet.AnsiCharacter(piece[i])) reply.push_back(c);
    }
    return reply;
}

} // namespace zx::launcher
