#include "launcher/LauncherText.h"

#include <array>

namespace zx::launcher {

namespace {

// One key and its translations; an empty text means the key itself is shown.
struct TLauncherEntry {
    std::u16string_view Key = {};
    std::u16string_view Korean = {};
    std::u16string_view Japanese = {};
    std::u16string_view Chinese = {};
    std::u16string_view German = {};
    std::u16string_view Russian = {};
    std::u16string_view Italian = {};
    std::u16string_view French = {};
};

using TColumn = std::u16string_view TLauncherEntry::*;

struct TLanguageColumn {
    TLcid Lcid;
    TColumn Column;
};

// Whole LCIDs only: the same language in another country is not in this list.
constexpr std::array kLanguageColumns = {
    TLanguageColumn{0x0407, &TLauncherEntry::German},   // German (Germany)
    TLanguageColumn{0x040C, &TLauncherEntry::French},   // French (France)
    TLanguageColumn{0x0410, &TLauncherEntry::Italian},  // Italian (Italy)
    TLanguageColumn{0x0411, &TLauncherEntry::Japanese}, // Japanese
    TLanguageColumn{0x0412, &TLauncherEntry::Korean},   // Korean
    TLanguageColumn{0x0419, &TLauncherEntry::Russian},  // Russian
    TLanguageColumn{0x0804, &TLauncherEntry::Chinese},  // Chinese (PRC, simplified)
};

constexpr std::array kEntries = {
    TLauncherEntry{.Key = kProductNameKey, .Korean = u"제피릭스"},
    TLauncherEntry{.Key = kConfigurationInvalidKey,
                   .Korean = u"응용 프로그램 구성 파일이 잘못되었습니다.",
                   .Japanese = u"アプリケーションの設定ファイルが無効です。",
                   .Chinese = u"应用程序配置文件无效。",
                   .German = u"Die Anwendungskonfigurationsdatei ist ungültig.",
                   .Russian = u"Конфигурационный файл приложения недействителен.",
                   .Italian = u"Il file di configurazione dell'applicazione non è valido.",
                   .French = u"Le fichier de configuration de l'application n'est pas valide."},
    TLauncherEntry{.Key = kReinstallKey,
                   .Korean = u"다시 설치 후 실행해 주십시오.",
                   .Japanese = u"再インストールして実行してください。",
                   .Chinese = u"请重新安装并运行。",
                   .German = u"Bitte neu installieren und ausführen.",
                   .Russian = u"Пожалуйста, переустановите и запустите.",
                   .Italian = u"Si prega di reinstallare ed eseguire.",
                   .French = u"Veuillez réinstaller et exécuter."},
    TLauncherEntry{.Key = kProgramUpdatedKey,
                   .Korean = u"업데이트가 정보가 있습니다.",
                   .Japanese = u"このプログラムがアップデートされました。",
                   .Chinese = u"该程序已更新。",
                   .German = u"Dieses Programm ist aktualisiert worden.",
                   .Russian = u"Данная программа была обновлена.",
                   .Italian = u"Questo programma è stato aggiornato.",
                   .French = u"Ce programme a été mis à jour."},
    TLauncherEntry{.Key = kDownloadRecommendedKey,
                   .Korean = u"안정적으로 사용하기 위해 업데이트를 하시길 권장합니다.",
                   .Japanese = u"安定的に使用するために新しくダウンロード·実行することをお勧めします。",
                   .Chinese = u"建议下载并执行新程序以稳定使用。",
                   .German = u"Es wird empfohlen, es herunterzuladen und neu auszuführen, um es stabil zu verwenden.",
                   .Russian = u"Рекомендуется скачать и выполнить новое для стабильного использования.",
                   .Italian = u"Si raccomanda di scaricarlo ed eseguirlo per un uso stabile.",
                   .French = u"Il est recommandé de télécharger et d'exécuter la nouvelle version pour une "
                             u"utilisation stable."},
    TLauncherEntry{.Key = kDownloadQuestionKey,
                   .Korean = u"다운로드 받으시겠습니까?",
                   .Japanese = u"ダウンロードしますか。",
                   .Chinese = u"您要下载吗？",
                   .German = u"Möchten Sie es herunterladen?",
                   .Russian = u"Вы хотите загрузить ее?",
                   .Italian = u"Volete scaricarlo?",
                   .French = u"Voulez-vous le télécharger?"},
};

} // namespace

std::u16string LookupLauncherText(TLcid lcid, std::u16string_view key) {
    for (const auto& entry : kEntries) {
        if (entry.Key != key) continue;
        for (const auto& language : kLanguageColumns)
            if (language.Lcid == lcid && !(entry.*language.Column).empty())
                return std::u16string(entry.*language.Column);
        break;
    }
    return std::u16string(key);
}

} // namespace zx::launcher
