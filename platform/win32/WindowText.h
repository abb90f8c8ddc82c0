// The text of a window (its caption, or a control's text) as portable UTF-16.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/WideText.h"

namespace zx {

// Empty for a null or destroyed window.
[[nodiscard]] inline std::u16string WindowText(HWND window) {
    if (!window) return {};
    const int length = ::GetWindowTextLengthW(window);
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    text.resize(
        static_cast<std::size_t>(::GetWindowTextW(window, reinterpret_cast<wchar_t*>(text.data()), length + 1)));
    return text;
}

// Sets the text unless the window shows it already: an unchanged text is no name change
// for a screen reader to hear of, and under Wine each setting is a request to the server.
inline void SetWindowTextWhenChanged(HWND window, const std::u16string& text) {
    if (window && WindowText(window) != text) ::SetWindowTextW(window, Wide(text));
}

} // namespace zx
