// The launcher's reading of its command line. Its rules differ from the usual C runtime
// splitting: quotes stay part of an argument unless they enclose all of it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zx::launcher {

// The command line's words, the program path first. Characters up to code 32 separate
// words; a double quote opens a stretch that runs to the next double quote, separators
// included; a word of at least two characters that begins and ends with a double quote
// loses those two quotes. Other quotes are kept.
[[nodiscard]] std::vector<std::u16string> SplitCommandLine(std::u16string_view commandLine);

// The first argument after the program path; empty when there is none.
[[nodiscard]] std::u16string FirstArgument(std::u16string_view commandLine);

} // namespace zx::launcher
