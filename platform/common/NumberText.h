// Numbers as UTF-16 text, independent of the user's locale.
#pragma once

#include <cstdint>
#include <string>

namespace zx {

// Unsigned decimal, no leading zeros, no grouping: 0 gives "0".
[[nodiscard]] std::u16string DecimalText(std::uint64_t value);

// Exactly `digits` upper-case hexadecimal digits, zero-padded on the left; higher digits
// that do not fit are dropped (the low `digits` nibbles are kept). `digits` is 1 to 16.
[[nodiscard]] std::u16string HexText(std::uint64_t value, int digits);

// Exactly `digits` decimal digits, zero-padded; higher digits that do not fit are dropped.
[[nodiscard]] std::u16string ZeroPaddedDecimal(std::uint64_t value, int digits);

} // namespace zx
