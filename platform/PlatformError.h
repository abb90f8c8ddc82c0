// The one error type that crosses the platform boundary: the operation that failed
// and the system's error code. Only the failures the product lets escape use it
// (a settings value of the wrong type, a failing configuration query); every other
// platform failure is turned into a neutral result where it happens.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace zx {

// Win32 error codes the portable layer names (same values as <winerror.h>).
inline constexpr std::uint32_t kErrorFileNotFound = 2;
inline constexpr std::uint32_t kErrorAccessDenied = 5;
inline constexpr std::uint32_t kErrorInvalidDataType = 1804;

class TPlatformError : public std::runtime_error {
public:
    TPlatformError(std::string operation, std::uint32_t code)
        : std::runtime_error(operation + " failed (error " + std::to_string(code) + ")"),
          FOperation(std::move(operation)),
          FCode(code) {}

    [[nodiscard]] const std::string& Operation() const noexcept { return FOperation; }
    [[nodiscard]] std::uint32_t Code() const noexcept { return FCode; }

private:
    std::string FOperation;
    std::uint32_t FCode;
};

} // namespace zx
