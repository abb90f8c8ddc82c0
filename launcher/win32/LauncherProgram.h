// The launcher from its first step to its end, for the entry to call with the addresses
// it was built with.
#pragma once

#include <cstdint>

#include "launcher/LauncherFlow.h"

namespace zx::launcher {

// Far above a real answer's time; only a server that stopped answering reaches it.
inline constexpr std::uint32_t kLauncherRequestTimeoutMs = 30000;

// Runs the launcher; the result is the process's exit code. The product's entry keeps the
// request's real bound; a test copy may shorten it.
[[nodiscard]] int RunLauncherProgram(const TLauncherAddresses& addresses,
                                     std::uint32_t requestTimeoutMs = kLauncherRequestTimeoutMs);

} // namespace zx::launcher
