// The launcher's own message table: its texts in eight languages, the language chosen
// from the user's locale identifier as a whole (language and country together).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zx::launcher {

// A Windows locale identifier (LCID), e.g. 0x0412 for Korean.
using TLcid = std::uint32_t;

// The keys are the English texts.
inline constexpr std::u16string_view kProductNameKey = u"Zephyrix";
inline constexpr std::u16string_view kConfigurationInvalidKey = u"The application configuration file is invalid.";
inline constexpr std::u16string_view kReinstallKey = u"Please reinstall and run.";
inline constexpr std::u16string_view kProgramUpdatedKey = u"This program has been updated.";
inline constexpr std::u16string_view kDownloadRecommendedKey =
    u"It is recommended to download and execute new for stable use.";
inline constexpr std::u16string_view kDownloadQuestionKey = u"Do you want to download it?";

// The text of `key` for the user of `lcid`. Keys match exactly (case and spaces count);
// an unknown key, a key without a text in that language, and every locale outside the
// table (German in Austria, Chinese in Taiwan, English, ...) give the key itself.
[[nodiscard]] std::u16string LookupLauncherText(TLcid lcid, std::u16string_view key);

} // namespace zx::launcher
