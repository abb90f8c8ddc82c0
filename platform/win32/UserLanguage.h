// The language of the user's default locale.
#pragma once

#include <string>

namespace zx {

// The ISO 639 name of the user's default locale ("ko", "en", ...); "en" when it cannot
// be read.
std::u16string GetUserLanguage();

} // namespace zx
