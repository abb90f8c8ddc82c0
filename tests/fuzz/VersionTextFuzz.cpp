// The version text: any format with any four numbers; it never reads past them.
#include <array>
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzInput.h"
#include "kit/VersionText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 8) return 0;
    const std::array<std::uint16_t, 4> parts = {
        static_cast<std::uint16_t>(data[0] | (data[1] << 8)), static_cast<std::uint16_t>(data[2] | (data[3] << 8)),
        static_cast<std::uint16_t>(data[4] | (data[5] << 8)), static_cast<std::uint16_t>(data[6] | (data[7] << 8))};
    const std::u16string format = zx::fuzz::Utf16(data + 8, size - 8);
    const std::u16string text = zx::FormatVersion(format, parts);
    // Each directive gives at most five digits for two characters of format.
    if (text.size() > format.size() * 3 + 1) zx::fuzz::PropertyFailed();
    return 0;
}
