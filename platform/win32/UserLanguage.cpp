#include "platform/win32/UserLanguage.h"

#include <windows.h>

#include <vector>

#include "platform/win32/WideText.h"

namespace zx {

std::u16string GetUserLanguage() {
    const LCID locale = ::GetUserDefaultLCID();
    const int size = ::GetLocaleInfoW(locale, LOCALE_SISO639LANGNAME, nullptr, 0);
    if (size < 1) return u"en";
    std::vector<wchar_t> buffer(static_cast<std::size_t>(size) + 1, L'\0');
    if (::GetLocaleInfoW(locale, LOCALE_SISO639LANGNAME, buffer.data(), size) < 1) return u"en";
    return FromWide(buffer.data()); // up to the terminating zero
}

} // namespace zx
