#include "launcher/CommandLine.h"

namespace zx::launcher {

namespace {

constexpr bool IsSeparator(char16_t c) noexcept {
    return c <= u' ';
}

} // namespace

std::vector<std::u16string> SplitCommandLine(std::u16string_view commandLine) {
    std::vector<std::u16string> words;
    std::size_t at = 0;
    for (;;) {
        while (at < commandLine.size() && IsSeparator(commandLine[at])) ++at;
        if (at == commandLine.size()) break;
        std::u16string word;
        bool quoted = false;
        for (; at < commandLine.size() && (quoted || !IsSeparator(commandLine[at])); ++at) {
            if (commandLine[at] == u'"') quoted = !quoted;
            word.push_back(commandLine[at]);
        }
        if (word.size() >= 2 && word.front() == u'"' && word.back() == u'"') word = word.substr(1, word.size() - 2);
        words.push_back(std::move(word));
    }
    return words;
}

std::u16string FirstArgument(std::u16string_view commandLine) {
    std::vector<std::u16string> words = SplitCommandLine(commandLine);
    return words.size() > 1 ? std::move(words[1]) : std::u16string();
}

} // namespace zx::launcher
