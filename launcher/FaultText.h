// The wording of the "Error" box for a fault the processor or the system raised.
#pragma once

#include <cstdint>
#include <string>

namespace zx::launcher {

// "<name> at address <16 hex digits> (exception <8 hex digits>)", e.g. "Access violation
// at address 0000000140001A2B (exception C0000005)"; "Exception" for codes not named here.
[[nodiscard]] std::u16string DescribeSystemFault(std::uint32_t code, std::uint64_t address);

} // namespace zx::launcher
