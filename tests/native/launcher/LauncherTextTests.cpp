#include <gtest/gtest.h>

#include <string>

#include "launcher/LauncherText.h"
#include "native/ShowText.h"

namespace zx::launcher {
namespace {

TEST(LookupLauncherTextTest, LanguageChosenByTheWholeLcid) {
    struct Case {
        TLcid lcid;
        const char* why;
        std::u16string caption;
        std::u16string question;
    };
    const Case cases[] = {
        {0x0407, "German (Germany)", u"Zephyrix", u"Möchten Sie es herunterladen?"},
        {0x040C, "French (France)", u"Zephyrix", u"Voulez-vous le télécharger?"},
        {0x0410, "Italian (Italy)", u"Zephyrix", u"Volete scaricarlo?"},
        {0x0411, "Japanese: no Japanese product name", u"Zephyrix", u"ダウンロードしますか。"},
        {0x0412, "Korean: the only translated product name", u"제피릭스", u"다운로드 받으시겠습니까?"},
        {0x0419, "Russian", u"Zephyrix", u"Вы хотите загрузить ее?"},
        {0x0804, "Chinese (PRC)", u"Zephyrix", u"您要下载吗\uFF1F"},
        {0x0409, "English (United States)", u"Zephyrix", u"Do you want to download it?"},
        {0x0C07, "German (Austria)", u"Zephyrix", u"Do you want to download it?"},
        {0x0807, "German (Switzerland)", u"Zephyrix", u"Do you want to download it?"},
        {0x0C0C, "French (Canada)", u"Zephyrix", u"Do you want to download it?"},
        {0x0810, "Italian (Switzerland)", u"Zephyrix", u"Do you want to download it?"},
        {0x0404, "Chinese (Taiwan)", u"Zephyrix", u"Do you want to download it?"},
        {0x0C04, "Chinese (Hong Kong)", u"Zephyrix", u"Do you want to download it?"},
        {0x1004, "Chinese (Singapore)", u"Zephyrix", u"Do you want to download it?"},
        {0x0007, "German without a country", u"Zephyrix", u"Do you want to download it?"},
        {0x10407, "German (Germany) with a sort order", u"Zephyrix", u"Do you want to download it?"},
        {0x0416, "Portuguese (Brazil), not in the table", u"Zephyrix", u"Do you want to download it?"},
        {0, "no locale", u"Zephyrix", u"Do you want to download it?"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LookupLauncherText(c.lcid, kProductNameKey), c.caption) << c.why;
        EXPECT_EQ(LookupLauncherText(c.lcid, kDownloadQuestionKey), c.question) << c.why;
    }
}

TEST(LookupLauncherTextTest, PunctuationIsExactlyAsWritten) {
    // The middle dot U+00B7 (not the katakana one), the fullwidth question mark, plain
    // apostrophes, and no space before the German and French question marks.
    EXPECT_EQ(LookupLauncherText(0x0411, kDownloadRecommendedKey),
              u"安定的に使用するために新しくダウンロード\u00B7実行することをお勧めします。");
    EXPECT_EQ(LookupLauncherText(0x040C, kConfigurationInvalidKey),
              u"Le fichier de configuration de l'application n'est pas valide.");
    EXPECT_EQ(LookupLauncherText(0x040C, kDownloadRecommendedKey),
              u"Il est recommandé de télécharger et d'exécuter la nouvelle version pour une utilisation stable.");
    EXPECT_EQ(LookupLauncherText(0x0804, kDownloadQuestionKey).back(), u'\uFF1F');
}

TEST(LookupLauncherTextTest, KeysMatchExactlyOrComeBackUnchanged) {
    struct Case {
        const char* why;
        std::u16string key;
    };
    const Case cases[] = {
        {"other case", u"zephyrix"},
        {"trailing space", u"Please reinstall and run. "},
        {"missing full stop", u"Please reinstall and run"},
        {"not in the table", u"Run"},
        {"empty", u""},
    };
    for (const auto& c : cases) EXPECT_EQ(LookupLauncherText(0x0412, c.key), c.key) << c.why;
    EXPECT_EQ(LookupLauncherText(0x0412, u"Please reinstall and run."), u"다시 설치 후 실행해 주십시오.");
}

} // namespace
} // namespace zx::launcher
