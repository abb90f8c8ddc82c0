// The settings store over an IRegistry key.
#include "kit/Config.h"

#include "platform/PlatformError.h"

namespace zx {

TConfig::TConfig(IRegistry& registry, const std::u16string& path) {
    try {
        FReg = registry.CreateKey(kRootCurrentUser, u"Software\\" + path, kKeyAllAccess);
    } catch (...) {
        FReg.reset(); // as a refused open: every read gives its default
    }
}

TConfig::~TConfig() = default;

// A DWORD must be exactly 4 bytes: a shorter or longer one is no 32-bit value, and
// reading it would invent the missing bytes, so it counts as the wrong type.
std::optional<std::uint32_t> TConfig::ReadDword(const std::u16string& name, const char* operation) const {
    if (!FReg) return std::nullopt;
    const auto value = FReg->QueryValue(name);
    if (!value) return std::nullopt;
    if (value->Type != kRegDword || value->Data.size() != 4) throw TPlatformError(operation, kErrorInvalidDataType);
    const auto& d = value->Data;
    return static_cast<std::uint32_t>(d[0] | (d[1] << 8) | (d[2] << 16) | (static_cast<std::uint32_t>(d[3]) << 24));
}

std::int32_t TConfig::ReadInteger(const std::u16string& name, std::int32_t defaultValue) const {
    const auto stored = ReadDword(name, "ReadInteger");
    return stored ? static_cast<std::int32_t>(*stored) : defaultValue;
}

bool TConfig::ReadBoolean(const std::u16string& name, bool defaultValue) const {
    const auto stored = ReadDword(name, "ReadBoolean");
    return stored ? *stored != 0 : defaultValue;
}

std::u16string TConfig::ReadString(const std::u16string& name, const std::u16string& defaultValue) const {
    if (!FReg) return defaultValue;
    const auto value = FReg->QueryValue(name);
    if (!value) return defaultValue;
    if (value->Type != kRegSz && value->Type != kRegExpandSz) throw TPlatformError("ReadString", kErrorInvalidDataType);
    return TextFromData(value->Data);
}

// Every failure of a write, a refused store or an exception on the way, is dropped here.
template <typename TMake>
void TConfig::Write(const std::u16string& name, const TMake& make) noexcept {
    if (!FReg) return;
    try {
        (void)FReg->SetValue(name, make());
    } catch (...) {
    }
}

std::int32_t TConfig::WriteInteger(const std::u16string& name, std::int32_t value) {
    Write(name, [&] { return DwordValue(static_cast<std::uint32_t>(value)); });
    return value;
}

bool TConfig::WriteBoolean(const std::u16string& name, bool value) {
    Write(name, [&] { return DwordValue(value ? 1 : 0); });
    return value;
}

std::u16string TConfig::WriteString(const std::u16string& name, const std::u16string& value) {
    Write(name, [&] { return StringValue(value); });
    return value;
}

} // namespace zx
