#include "kit/UpdateMessages.h"

#include <array>
#include <string_view>

#include "kit/Translation.h"

namespace zx {

namespace {

struct TUpdateMessageRow {
    std::u16string_view Code;
    std::u16string_view Sentences[3];
    std::u16string_view Yes;
    std::u16string_view No;
};

// Searched in this order; the last row is the fallback for any other code.
constexpr std::array<TUpdateMessageRow, 8> kUpdateMessages{{
    {u"ko",
     {u"업데이트 정보가 있습니다.", u"안정적으로 사용하기 위해 업데이트를 하시길 권장합니다.",
      u"다운로드 받으시겠습니까?"},
     u"예",
     u"아니오"},
    {u"ja",
     {u"このプログラムがアップデートされました。",
      u"安定的に使用するために新しくダウンロード\u00B7実行することをお勧めします。", u"ダウンロードしますか。"},
     u"はい",
     u"いいえ"},
    {u"zh", {u"该程序已更新。", u"建议下载并执行新程序以稳定使用。", u"您要下载吗\uFF1F"}, u"是", u"否"},
    {u"de",
     {u"Dieses Programm ist aktualisiert worden.",
      u"Es wird empfohlen, es herunterzuladen und neu auszuführen, um es stabil zu verwenden.",
      u"Möchten Sie es herunterladen?"},
     u"Ja",
     u"Nein"},
    {u"ru",
     {u"Данная программа была обновлена.", u"Рекомендуется скачать и выполнить новое для стабильного использования.",
      u"Вы хотите загрузить ее?"},
     u"Да",
     u"Нет"},
    {u"it",
     {u"È disponibile una nuova versione del programma.", u"Ti suggeriamo di scaricare ed aggiornare il programma.",
      u"Vuoi scaricare la nuova versione del programma?"},
     u"Sì",
     u"No"},
    {u"fr",
     {u"Ce programme a été mis à jour.",
      u"Il est recommandé de télécharger et d'exécuter la nouvelle version pour une utilisation stable.",
      u"Voulez-vous le télécharger?"},
     u"Oui",
     u"Non"},
    {u"",
     {u"This program has been updated.", u"It is recommended to download and execute new for stable use.",
      u"Do you want to download it?"},
     u"Yes",
     u"No"},
}};

constexpr std::u16string_view kSentenceBreak = u"\r\r";

const TUpdateMessageRow& RowFor(const std::u16string& language) {
    for (const TUpdateMessageRow& row : kUpdateMessages)
        if (!row.Code.empty() && row.Code == language) return row;
    return kUpdateMessages.back();
}

} // namespace

std::u16string UpdateMessageText(TUpdateMessageKind kind, const std::u16string& language) {
    const TUpdateMessageRow& row = RowFor(language);
    switch (kind) {
    case TUpdateMessageKind::umYes:
        return std::u16string(row.Yes);
    case TUpdateMessageKind::umNo:
        return std::u16string(row.No);
    case TUpdateMessageKind::umMessage:
        break;
    }
    std::u16string message(row.Sentences[0]);
    for (std::size_t i = 1; i < std::size(row.Sentences); ++i) message.append(kSentenceBreak).append(row.Sentences[i]);
    return message;
}

std::u16string UpdateMessageText(TUpdateMessageKind kind) {
    return UpdateMessageText(kind, CurrentLanguage());
}

} // namespace zx
