// The labels' rich-text markup: any UTF-16 text.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzInput.h"
#include "platform/ui/RichText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::u16string markup = zx::fuzz::Utf16(data, size);
    const auto runs = zx::ParseRichText(markup);
    // Markup only removes: the plain text is never longer than the markup, line breaks
    // (written as CR LF) aside.
    std::size_t breaks = 0;
    for (const auto& run : runs) breaks += run.LineBreak ? 1 : 0;
    if (zx::PlainText(runs).size() > markup.size() + breaks) zx::fuzz::PropertyFailed();
    return 0;
}
