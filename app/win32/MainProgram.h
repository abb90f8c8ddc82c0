// The main program from its first step to its end, for the entry to call with the
// addresses it was built with.
#pragma once

#include <string>

#include "engine/TweakBackup.h"
#include "platform/Network.h"
#include "platform/TransportRule.h"
#include "platform/win32/HttpGetText.h"
#include "platform/win32/InternetProbe.h"

namespace zx {

// Where the program sends requests and what it opens: fixed when the program is built,
// never taken from the command line, the environment or the registry.
struct TMainProgramAddresses {
    std::u16string UpdateServiceURL; // ends in "/api.init.php"
    std::u16string ShortLinkHost;    // the maker's pages, no trailing "/"
    std::u16string ProbeURL;         // "http://host[:port]"
    // Which of those the update requests may use: https only, unless the entry says so.
    TTransportRule UpdateTransport = TTransportRule::trHttpsOnly;
};

// Platform parts a test copy of the program replaces (to make them slow, say); null
// means the real one. The product's entry passes none, and so keeps the real bounds of
// the update check's requests and of the connectivity probe; a test copy may shorten
// them so that a peer holding a request to its bound does not hold the test as long.
struct TMainProgramParts {
    IActiveAdapterSource* Adapters = nullptr;
    IAdapterSwitch* AdapterSwitch = nullptr;
    ITweakBackupStore* Backups = nullptr;
    THttpTimeouts UpdateTimeouts{};
    TProbeTimeouts ProbeTimeouts{};
};

// Runs the program; does not return (the process ends when the window has closed).
[[noreturn]] void RunMainProgram(const TMainProgramAddresses& addresses, int show, const TMainProgramParts& parts = {});

} // namespace zx
