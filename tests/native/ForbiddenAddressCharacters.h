// Download and notice addresses from the network that hold a character able to end the
// address inside the web handler's command line: one case per character class, written
// into an answer's value as the update service could send it (raw, or as a JSON escape).
// Every one must read as no web address in both programs. ASCII only, so that the main
// program's reader (UTF-8) and the launcher's (the ANSI code page) see the same text.
#pragma once

#include <string>
#include <vector>

namespace zx::test {

struct TForbiddenAddressCase {
    const char* What;
    std::string Value; // the value between the answer's quotes
};

inline const std::vector<TForbiddenAddressCase> kForbiddenAddressCases = {
    {"space", "https://dl.test/a b.exe"},
    {"space before more arguments", "https://dl.test/a.exe --profile-directory=x"},
    {"tab", "https://dl.test/a\tb.exe"},
    {"line feed", "https://dl.test/a\nb.exe"},
    {"carriage return", "https://dl.test/a\rb.exe"},
    {"U+0001",
     "https://dl.test/a\x01"
     "b.exe"},
    {"U+001F",
     "https://dl.test/a\x1f"
     "b.exe"},
    {"U+007F",
     "https://dl.test/a\x7f"
     "b.exe"},
    {"space right after the scheme", "https:// dl.test/a.exe"},
    {"escaped space", "https://dl.test/a\\u0020b.exe"},
    {"escaped tab", "https://dl.test/a\\tb.exe"},
    {"escaped line feed", "https://dl.test/a\\nb.exe"},
    {"escaped carriage return", "https://dl.test/a\\rb.exe"},
    {"escaped backspace", "https://dl.test/a\\bb.exe"},
    {"escaped form feed", "https://dl.test/a\\fb.exe"},
    {"escaped U+001F", "https://dl.test/a\\u001Fb.exe"},
    {"escaped U+007F", "https://dl.test/a\\u007fb.exe"},
    {"escaped double quote", "https://dl.test/a\\u0022 --x \\u0022b.exe"},
};

} // namespace zx::test
