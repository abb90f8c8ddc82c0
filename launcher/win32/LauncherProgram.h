// The launcher from its first step to its end, for the entry to call with the addresses
// it was built with.
#pragma once

#include "launcher/LauncherFlow.h"

namespace zx::launcher {

// Runs the launcher; the result is the process's exit code.
[[nodiscard]] int RunLauncherProgram(const TLauncherAddresses& addresses);

} // namespace zx::launcher
