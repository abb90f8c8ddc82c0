#include <gtest/gtest.h>

#include <string>

#include "kit/UpdateBand.h"
#include "kit/UpdateMessages.h"
#include "native/ShowText.h"

namespace zx {
namespace {

TEST(UpdateMessageTextTest, RowIsChosenByTheExactLanguageCodeWithEnglishForAnyOther) {
    struct Case {
        std::u16string language;
        std::u16string yes;
        std::u16string no;
        std::u16string firstSentence;
    };
    const Case cases[] = {
        {u"ko", u"예", u"아니오", u"업데이트 정보가 있습니다."},
        {u"ja", u"はい", u"いいえ", u"このプログラムがアップデートされました。"},
        {u"zh", u"是", u"否", u"该程序已更新。"},
        {u"de", u"Ja", u"Nein", u"Dieses Programm ist aktualisiert worden."},
        {u"ru", u"Да", u"Нет", u"Данная программа была обновлена."},
        {u"it", u"Sì", u"No", u"È disponibile una nuova versione del programma."},
        {u"fr", u"Oui", u"Non", u"Ce programme a été mis à jour."},
        {u"en", u"Yes", u"No", u"This program has been updated."},
        {u"pt", u"Yes", u"No", u"This program has been updated."},
        {u"", u"Yes", u"No", u"This program has been updated."},
        {u"DE", u"Yes", u"No", u"This program has been updated."}, // the comparison is case-sensitive
        {u"de-AT", u"Yes", u"No", u"This program has been updated."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Show(c.language));
        EXPECT_EQ(UpdateMessageText(TUpdateMessageKind::umYes, c.language), c.yes);
        EXPECT_EQ(UpdateMessageText(TUpdateMessageKind::umNo, c.language), c.no);
        const std::u16string message = UpdateMessageText(TUpdateMessageKind::umMessage, c.language);
        EXPECT_EQ(message.substr(0, c.firstSentence.size() + 2), c.firstSentence + u"\r\r");
    }
}

TEST(UpdateMessageTextTest, MessagesAreThreeSentencesJoinedByTwoCarriageReturns) {
    for (const std::u16string language : {u"ko", u"ja", u"zh", u"de", u"ru", u"it", u"fr", u"en"}) {
        SCOPED_TRACE(Show(language));
        const std::u16string message = UpdateMessageText(TUpdateMessageKind::umMessage, language);
        EXPECT_EQ(message.find(u'\n'), std::u16string::npos) << "no line feeds";
        std::size_t breaks = 0;
        for (std::size_t at = message.find(u"\r\r"); at != std::u16string::npos; at = message.find(u"\r\r", at + 2))
            ++breaks;
        EXPECT_EQ(breaks, 2u);
        EXPECT_EQ(message.find(u"\r\r\r"), std::u16string::npos);
    }
    EXPECT_EQ(Show(UpdateMessageText(TUpdateMessageKind::umMessage, u"en")),
              Show(u"This program has been updated.\r\rIt is recommended to download and execute new for stable "
                   u"use.\r\rDo you want to download it?"));
    // Two characters that are easily replaced by look-alikes.
    EXPECT_NE(UpdateMessageText(TUpdateMessageKind::umMessage, u"ja").find(u'\u00B7'), std::u16string::npos);
    EXPECT_EQ(UpdateMessageText(TUpdateMessageKind::umMessage, u"zh").back(), u'\uFF1F');
}

TEST(UpdateBandTest, BandGrowsTheDialogAndPlacesTheLineFromItsLowerEdge) {
    struct Case {
        const char* why;
        int percent;
        int height;
        int offset;
        TUpdateBand expected;
    };
    const Case cases[] = {
        {"100 %, offset 10", 100, 200, 10, {230, 230 - 66, 230 - 56, 10}},
        {"150 %, offset 10", 150, 300, 10, {345, 345 - 99, 345 - 84, 15}},
        {"125 %: halves go upward", 125, 250, 10, {250 + 38, 288 - 83, 288 - 70, 13}},
        {"175 %", 175, 350, 10, {350 + 53, 403 - 116, 403 - 98, 18}},
        {"offset 0", 100, 200, 0, {240, 240 - 76, 240 - 66, 10}},
        {"offset past the growth: the dialog shrinks, halves still upward",
         125,
         250,
         50,
         {250 - 12, 238 - 33, 238 - 20, 13}},
    };
    for (const Case& c : cases) EXPECT_EQ(UpdateBandFor(c.percent, c.height, c.offset), c.expected) << c.why;
}

TEST(UpdateBandTest, ScaleByPercentRoundsHalvesUpward) {
    struct Rounding {
        int value;
        int percent;
        int expected;
    };
    for (const Rounding r : {Rounding{1, 150, 2}, Rounding{3, 150, 5}, Rounding{-1, 150, -1}, Rounding{-3, 150, -4},
                             Rounding{-10, 125, -12}, Rounding{0, 175, 0}, Rounding{66, 100, 66}})
        EXPECT_EQ(ScaleByPercent(r.value, r.percent), r.expected) << r.value << " at " << r.percent << " %";
}

} // namespace
} // namespace zx
