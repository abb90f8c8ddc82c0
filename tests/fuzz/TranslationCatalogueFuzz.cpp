// The translation catalogue loader on whole resource texts: any bytes, BOM or none, any
// line ends, truncated blocks, invalid UTF-8; then lookups through what was loaded.
#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz/FuzzInput.h"
#include "kit/TranslationCatalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zx::TTranslationCatalogue catalogue;
    catalogue.Load(std::span(data, size));
    for (const auto& line : catalogue.Lines()) {
        // No line holds a line break: they all ended a line.
        for (const char16_t c : line.Text)
            if (c == u'\r' || c == u'\n') zx::fuzz::PropertyFailed();
        (void)catalogue.Translate(line.Value, u"en");
        (void)catalogue.Translate(line.Text, line.Name);
    }
    (void)catalogue.Translate(u"실행하기", u"ja");
    return 0;
}
