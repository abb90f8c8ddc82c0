// The launcher's command-line splitting: any UTF-16 text.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzInput.h"
#include "launcher/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::u16string line = zx::fuzz::Utf16(data, size);
    std::size_t characters = 0;
    for (const auto& word : zx::launcher::SplitCommandLine(line)) characters += word.size();
    if (characters > line.size()) zx::fuzz::PropertyFailed(); // splitting only removes
    const std::u16string first = zx::launcher::FirstArgument(line);
    if (first.size() > line.size()) zx::fuzz::PropertyFailed();
    return 0;
}
