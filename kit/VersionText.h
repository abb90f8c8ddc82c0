// Fills a version format such as "%d.%d.%d.%d" with the four parts of a file version.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace zx {

// Each "%d" or "%u" takes the next part as an unsigned decimal; "%%" gives "%".
// Conversions beyond the fourth, and any other "%" sequence, are copied as they stand,
// so that a format can never read past the four parts.
std::u16string FormatVersion(const std::u16string& format, const std::array<std::uint16_t, 4>& parts);

// The same, or "0.0.0.0" whatever the format when there is no version (a file without a
// version resource).
std::u16string FormatVersionOrZero(const std::u16string& format,
                                   const std::optional<std::array<std::uint16_t, 4>>& parts);

} // namespace zx
