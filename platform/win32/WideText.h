// Conversions between the portable UTF-16 text type and the Win32 wide-character API.
#pragma once

#include <string>
#include <string_view>

namespace zx {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 wide characters are UTF-16");

inline const wchar_t* Wide(const std::u16string& text) noexcept {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

inline std::u16string FromWide(const wchar_t* text) {
    return text ? std::u16string(reinterpret_cast<const char16_t*>(text)) : std::u16string();
}

inline std::u16string FromWide(const wchar_t* text, std::size_t length) {
    return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

} // namespace zx
