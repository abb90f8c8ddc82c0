// Opening a web address in the user's browser from the elevated main program.
#pragma once

#include <windows.h>

#include <string>

namespace zx {

// The text above an address that the program shows instead of opening it, as a Korean
// source text of the translation catalogue.
inline constexpr const char16_t* kAddressNotOpenedText =
    u"이 페이지를 열 수 없습니다. 아래 주소를 복사하여 브라우저에 붙여 넣으세요 (Ctrl+C로 복사).";

// Opens `address` with the user's rights through the desktop shell; when that route is
// unavailable shows it in a box owned by `window` (caption: the window's caption), in
// the current language, for the user to copy. Never opens it with this program's token.
void OpenInUsersBrowser(HWND window, const std::u16string& address);

} // namespace zx
