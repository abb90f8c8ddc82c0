// The main program from its first step to its end, for the entry to call with the
// addresses it was built with.
#pragma once

#include <string>

namespace zx {

// Where the program sends requests and what it opens: fixed when the program is built,
// never taken from the command line, the environment or the registry.
struct TMainProgramAddresses {
    std::u16string UpdateServiceUrl; // ends in "/api.init.php"
    std::u16string ShortLinkHost;    // the maker's pages, no trailing "/"
    std::u16string ProbeUrl;         // "http://host[:port]"
};

// Runs the program; does not return (the process ends when the window has closed).
[[noreturn]] void RunMainProgram(const TMainProgramAddresses& addresses, int show);

} // namespace zx
