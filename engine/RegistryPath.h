// Registry access by one full path text such as "HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\MSMQ\Parameters".
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Registry.h"

namespace zx {

// The predefined key named exactly (case-sensitive) "HKEY_CLASSES_ROOT" .. "HKEY_DYN_DATA",
// or 0 when the name is none of them.
[[nodiscard]] TRootKey RootKeyFromName(const std::u16string& name) noexcept;

// Both open the path's key in the 64-bit view, creating every missing key on the way
// (also for a delete), and then act on one value. Every failure is swallowed: an unknown
// root, a key that cannot be opened, a refused write, a missing value.
// Writes `value` as REG_DWORD, its two's complement (-1 is stored as 0xFFFFFFFF).
void WriteRegistryInteger(IRegistry& registry, const std::u16string& path, const std::u16string& valueName,
                          std::int32_t value) noexcept;
void DeleteRegistryValue(IRegistry& registry, const std::u16string& path, const std::u16string& valueName) noexcept;

// Deletes the value only from a key that exists already, opened in the 64-bit view; a
// missing key is left missing (nothing is created on the way). Every failure is swallowed.
void DeleteExistingRegistryValue(IRegistry& registry, const std::u16string& path,
                                 const std::u16string& valueName) noexcept;

// The value as stored, read in the 64-bit view without creating anything; nullopt when the
// key or the value is missing or cannot be read.
[[nodiscard]] std::optional<TRegValue> ReadRegistryValue(IRegistry& registry, const std::u16string& path,
                                                         const std::u16string& valueName) noexcept;

} // namespace zx
