// The settings store: typed values in one per-user registry key, HKEY_CURRENT_USER\Software\<Path>.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/Registry.h"

namespace zx {

// Create one per load or save and drop it at once; several may be open on the same key,
// each write reaches the registry at once and the last write wins.
// Reads return the stored value when a value of that name exists (names compared
// without regard to case), else `defaultValue`; a value that exists with a type the read
// does not accept raises TPlatformError with kErrorInvalidDataType. Writes store the value
// (replacing one of any type), swallow every failure and return `value` unchanged.
// When the key could not be opened, every read gives its default and writes do nothing.
class TConfig {
public:
    // Opens the key with full access, creating it when missing; a failure is not reported.
    TConfig(IRegistry& registry, const std::u16string& path);
    ~TConfig();
    TConfig(const TConfig&) = delete;
    TConfig& operator=(const TConfig&) = delete;

    // A REG_DWORD of exactly 4 bytes.
    [[nodiscard]] std::int32_t ReadInteger(const std::u16string& name, std::int32_t defaultValue) const;
    // A REG_DWORD of exactly 4 bytes; true when it is not 0.
    [[nodiscard]] bool ReadBoolean(const std::u16string& name, bool defaultValue) const;
    // A REG_SZ or REG_EXPAND_SZ (not expanded), up to its first NUL; an empty one reads as "".
    [[nodiscard]] std::u16string ReadString(const std::u16string& name, const std::u16string& defaultValue) const;

    std::int32_t WriteInteger(const std::u16string& name, std::int32_t value);           // REG_DWORD
    bool WriteBoolean(const std::u16string& name, bool value);                           // REG_DWORD 1 or 0
    std::u16string WriteString(const std::u16string& name, const std::u16string& value); // REG_SZ

private:
    [[nodiscard]] std::optional<std::uint32_t> ReadDword(const std::u16string& name, const char* operation) const;
    template <typename TMake>
    void Write(const std::u16string& name, const TMake& make) noexcept;

    std::unique_ptr<IRegistryKey> FReg; // null when the key could not be opened
};

} // namespace zx
