// The registry as the portable layer sees it: predefined roots, keys opened with given
// rights, typed values. Implemented over advapi32 (platform/win32/Win32Registry.h) and
// in memory with the same rules (platform/memory/MemoryRegistry.h).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/PlatformError.h"

namespace zx {

// Predefined root keys: 0x80000000 plus their index, the values of the Win32 handles.
using TRootKey = std::uint32_t;
inline constexpr TRootKey kRootClassesRoot = 0x80000000;
inline constexpr TRootKey kRootCurrentUser = 0x80000001;
inline constexpr TRootKey kRootLocalMachine = 0x80000002;
inline constexpr TRootKey kRootUsers = 0x80000003;
inline constexpr TRootKey kRootPerformanceData = 0x80000004;
inline constexpr TRootKey kRootCurrentConfig = 0x80000005;
inline constexpr TRootKey kRootDynData = 0x80000006;

// Access rights, with their Win32 values.
inline constexpr std::uint32_t kKeyQueryValue = 0x0001;
inline constexpr std::uint32_t kKeySetValue = 0x0002;
inline constexpr std::uint32_t kKeyCreateSubKey = 0x0004;
inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kKeyWrite = 0x20006;
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;
// Addresses the native 64-bit registry, never the redirected copy a 32-bit process sees.
inline constexpr std::uint32_t kKeyWow64Key64 = 0x0100;

// Value types, with their Win32 values.
using TRegType = std::uint32_t;
inline constexpr TRegType kRegNone = 0;
inline constexpr TRegType kRegSz = 1;
inline constexpr TRegType kRegExpandSz = 2;
inline constexpr TRegType kRegBinary = 3;
inline constexpr TRegType kRegDword = 4;
inline constexpr TRegType kRegMultiSz = 7;
inline constexpr TRegType kRegQword = 11;

// Results of registry operations are Win32 error codes; 0 is success. Besides
// kErrorFileNotFound and kErrorAccessDenied (platform/PlatformError.h) the in-memory
// registry produces these.
using TRegResult = std::uint32_t;
inline constexpr TRegResult kRegSuccess = 0;
inline constexpr TRegResult kErrorInvalidHandle = 6;
inline constexpr TRegResult kErrorBadPathname = 161;

// One stored value: its type and its bytes exactly as kept by the registry.
struct TRegValue {
    TRegType Type = kRegNone;
    std::vector<std::uint8_t> Data;

    bool operator==(const TRegValue&) const = default;
};

// The encodings Windows uses: a DWORD is 4 bytes little-endian; a REG_SZ is UTF-16LE
// with its terminating NUL, (length + 1) * 2 bytes.
[[nodiscard]] inline TRegValue DwordValue(std::uint32_t value) {
    TRegValue result{kRegDword, {}};
    for (int shift = 0; shift < 32; shift += 8) result.Data.push_back(static_cast<std::uint8_t>(value >> shift));
    return result;
}

[[nodiscard]] inline TRegValue StringValue(const std::u16string& text, TRegType type = kRegSz) {
    TRegValue result{type, {}};
    result.Data.reserve((text.size() + 1) * 2);
    for (const char16_t c : text) {
        result.Data.push_back(static_cast<std::uint8_t>(c & 0xFF));
        result.Data.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    result.Data.push_back(0);
    result.Data.push_back(0);
    return result;
}

// The text held in string data: UTF-16LE up to the first NUL or the end of the data
// (stored strings need not be terminated; an odd last byte is no character).
[[nodiscard]] inline std::u16string TextFromData(const std::vector<std::uint8_t>& data) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
        const auto c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        if (c == 0) break;
        text.push_back(c);
    }
    return text;
}

// An open key. Destroying it closes the key. Value names are compared without regard
// to case; the empty name is the key's default value.
class IRegistryKey {
public:
    virtual ~IRegistryKey() = default;

    // The value's type and data, or nullopt when it does not exist or cannot be read
    // (for instance a key opened without kKeyQueryValue).
    [[nodiscard]] virtual std::optional<TRegValue> QueryValue(const std::u16string& name) const = 0;

    // Creates or replaces the value, whatever type it had. Needs kKeySetValue.
    [[nodiscard]] virtual TRegResult SetValue(const std::u16string& name, const TRegValue& value) = 0;

    // Removes the value; kErrorFileNotFound when there is none. Needs kKeySetValue.
    [[nodiscard]] virtual TRegResult DeleteValue(const std::u16string& name) = 0;

    // Writes the key's changes to disk before returning, where the registry keeps them
    // there (a power cut right after would otherwise lose them). Best effort: a failure
    // leaves the changes to the registry's own later writing. Nothing to do in memory.
    virtual void Flush() noexcept {}

    [[nodiscard]] TRegResult SetDword(const std::u16string& name, std::uint32_t value) {
        return SetValue(name, DwordValue(value));
    }
    [[nodiscard]] TRegResult SetString(const std::u16string& name, const std::u16string& text) {
        return SetValue(name, StringValue(text));
    }

    IRegistryKey(const IRegistryKey&) = delete;
    IRegistryKey& operator=(const IRegistryKey&) = delete;

protected:
    IRegistryKey() = default;
};

// Opens keys below the predefined roots. `subKey` is a backslash-separated path
// relative to `root`; empty means the root itself. Both return nullptr on failure
// (unknown root, missing key for OpenKey, access denied, ...) and then store the
// Win32 error code in `*error` when `error` is given.
class IRegistry {
public:
    virtual ~IRegistry() = default;

    // Opens the key, creating every missing key on the way (non-volatile).
    [[nodiscard]] virtual std::unique_ptr<IRegistryKey>
    CreateKey(TRootKey root, const std::u16string& subKey, std::uint32_t access, TRegResult* error = nullptr) = 0;

    // Opens an existing key.
    [[nodiscard]] virtual std::unique_ptr<IRegistryKey> OpenKey(TRootKey root, const std::u16string& subKey,
                                                                std::uint32_t access, TRegResult* error = nullptr) = 0;
};

} // namespace zx
