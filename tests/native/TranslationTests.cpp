#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kit/Translation.h"
#include "kit/TranslationCatalogue.h"
#include "resources/EmbeddedData.h"
#include "native/ShowText.h"

namespace zx {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

std::vector<std::u16string> LineTexts(const TTranslationCatalogue& catalogue) {
    std::vector<std::u16string> texts;
    for (const auto& line : catalogue.Lines()) texts.push_back(line.Text);
    return texts;
}

TTranslationCatalogue Shipped() {
    TTranslationCatalogue catalogue;
    catalogue.Load(EmbeddedTranslationText());
    return catalogue;
}

// Start-up state is process-wide: each test starts from the shipped catalogue and
// leaves nothing behind.
class TranslationTest : public ::testing::Test {
protected:
    void SetUp() override { StartTranslation(EmbeddedTranslationText(), u"en"); }
    void TearDown() override { StopTranslation(); }
};

// The sixteen blocks of the first release, the four of the configuration card's "set in
// Windows now" label, then the one above an address the program shows instead of opening.
TEST(TranslationCatalogueTest, ShippedTextHasTwentyOneBlocksOfSevenLanguages) {
    const auto bytes = EmbeddedTranslationText();
    ASSERT_GE(bytes.size(), 3u);
    EXPECT_EQ(bytes[0], 0xEF);
    EXPECT_EQ(bytes[1], 0xBB);
    EXPECT_EQ(bytes[2], 0xBF);

    // CR LF throughout but for one bare LF, right after the Italian line of block 5.
    const std::string text(bytes.begin(), bytes.end());
    std::vector<std::size_t> bareFeeds;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) bareFeeds.push_back(i);
        if (text[i] == '\r') {
            EXPECT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "bare CR at " << i;
        }
    }
    ASSERT_EQ(bareFeeds.size(), 1u);
    EXPECT_EQ(text.substr(bareFeeds[0] - 7, 11), "it=Dona\nfr=");
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");

    const TTranslationCatalogue catalogue = Shipped();
    const auto& lines = catalogue.Lines();
    ASSERT_EQ(lines.size(), 167u);
    std::size_t entries = 0, empty = 0;
    for (const auto& line : lines) {
        if (line.Text.empty()) {
            ++empty;
        } else if (line.Text.find(u'=') != std::u16string::npos) {
            ++entries;
        }
    }
    EXPECT_EQ(entries, 147u);
    EXPECT_EQ(empty, 20u);

    const std::u16string languages[] = {u"ko", u"en", u"ja", u"zh", u"ru", u"it", u"fr"};
    for (std::size_t block = 0; block < 21; ++block) {
        for (std::size_t i = 0; i < 7; ++i)
            EXPECT_EQ(lines[block * 8 + i].Name, languages[i]) << "block " << block + 1 << " line " << i;
        if (block < 20) {
            EXPECT_TRUE(lines[block * 8 + 7].Text.empty()) << "after block " << block + 1;
        }
    }
    // The one bare LF sits inside block 5, between "it" and "fr"; the block stays whole.
    EXPECT_EQ(lines[32].Text, u"ko=후원하기");
    EXPECT_EQ(lines[37].Text, u"it=Dona");
    EXPECT_EQ(lines[38].Text, u"fr=Donner");
    EXPECT_EQ(lines[0].Text, u"ko=제피릭스") << "the byte-order mark must not reach the first line";
    EXPECT_EQ(lines[126].Text, u"fr=Indice de limitation réseau");
    EXPECT_EQ(lines[158].Text, u"fr=Arrêtez puis exécutez à nouveau pour les définir.");
    EXPECT_EQ(lines[161].Text,
              u"en=This page could not be opened. Copy the address below into your browser (Ctrl+C copies it).");
}

TEST(TranslationCatalogueTest, LinesAreSplitAtEveryKindOfBreakAndTakenAsTheyStand) {
    struct Case {
        std::string_view text;
        std::vector<std::u16string> lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a=1", {u"a=1"}},
        {"a=1\r\nb=2", {u"a=1", u"b=2"}},
        {"a=1\r\nb=2\r\n", {u"a=1", u"b=2"}},
        {"a=1\rb=2\n", {u"a=1", u"b=2"}},
        {"a=1\nb=2\r", {u"a=1", u"b=2"}},
        {"a=1\r\n\r\nb=2", {u"a=1", u"", u"b=2"}},
        {"a=1\r\n\r\n", {u"a=1", u""}},
        {"\r\n", {u""}},
        {"\n\r", {u"", u""}},
        {"\r\r\n", {u"", u""}},
        {"\xEF\xBB\xBFko=x\r\n", {u"ko=x"}},
        {"\xEF\xBB\xBF", {}},
        {"ko=x\xEF\xBB\xBF", {u"ko=x\uFEFF"}},
        {" en = Run \t\r\n", {u" en = Run \t"}},
        {"; not a comment\r\n", {u"; not a comment"}},
    };
    for (const auto& c : cases) {
        TTranslationCatalogue catalogue;
        catalogue.Load(Bytes(c.text));
        EXPECT_EQ(LineTexts(catalogue), c.lines) << "text: " << ::testing::PrintToString(std::string(c.text));
    }
}

TEST(TranslationCatalogueTest, NameAndValueSplitAtTheFirstEqualsSign) {
    struct Case {
        std::string_view text;
        std::u16string name;
        std::u16string value;
    };
    const Case cases[] = {
        {"en=Run", u"en", u"Run"}, {"en=a=b=c", u"en", u"a=b=c"}, {"=value", u"", u"value"},
        {"en=", u"en", u""},       {"no equals sign", u"", u""},  {" fr = x ", u" fr ", u" x "},
    };
    for (const auto& c : cases) {
        TTranslationCatalogue catalogue;
        catalogue.Load(Bytes(c.text));
        ASSERT_EQ(catalogue.Lines().size(), 1u);
        EXPECT_EQ(catalogue.Lines()[0].Name, c.name) << c.text;
        EXPECT_EQ(catalogue.Lines()[0].Value, c.value) << c.text;
    }
}

TEST_F(TranslationTest, TranslateFindsTheBlockOfAnyLanguageAndGivesTheRequestedOne) {
    struct Case {
        std::u16string current;
        std::u16string text;
        std::u16string language;
        std::u16string expected;
    };
    const Case cases[] = {
        {u"ja", u"실행하기", u"", u"実行する"},
        {u"de", u"실행하기", u"", u"Run"},
        {u"ko", u"실행하기", u"", u"실행하기"},
        {u"ja", u"실행하기", u"zh", u"运行"}, // the argument wins over the current language
        {u"en", u"Home", u"fr", u"Accueil"},
        {u"en", u"Version", u"ru", u"Версия"},
        {u"en", u"home", u"fr", u"Accueil"}, // ASCII letters fold
        {u"en", u"HOME", u"ja", u"ホーム"},
        {u"en", u"главная", u"en", u"главная"}, // other letters do not
        {u"en", u"Главная", u"en", u"Home"},
        {u"ja", u"", u"", u""},
        {u"ja", u"TcpNoDelay", u"", u"TcpNoDelay"},
        {u"ja", u"Run ", u"", u"Run "}, // lengths must agree
        {u"ja", u"a\\nb\\n", u"", u"a\rb\r"},
        {u"ja", u"\\", u"", u"\\"},
        {u"en", u"실행하기", u"JA", u"Run"}, // language names are case-sensitive
        {u"en", u"Zephyrix", u"ko", u"제피릭스"},
        {u"en", u"Zéphyrix", u"ja", u"ゼフィリックス"},
        {u"en", u"Version", u"fr", u"Version"},
        {u"en", u"Dona", u"fr", u"Donner"}, // across the bare LF of block 5
        {u"en", u"Donner", u"it", u"Dona"},
        {u"en", u"Stop", u"ko", u"중지하기"},
        {u"en", u"Nagle", u"ko", u"Nagle"},
        {u"de", u"활성중인 네트워크가 없습니다.", u"", u"There are no active networks."},
        {u"fr", u"<B>게임 반응 속도</B>를 손쉽게 향상 시킵니다.", u"",
         u"Améliorez facilement la <B>réactivité du jeu</B>."},
        {u"en", u"<b>게임 반응 속도</b>를 손쉽게 향상 시킵니다.", u"", u"Easily improve <B>game responsiveness</B>."},
        {u"ru", u"네트워크 쓰로틀링", u"", u"Индекс ограничения сети"},
    };
    for (const auto& c : cases) {
        SetCurrentLanguage(c.current);
        EXPECT_EQ(Translate(c.text, c.language), c.expected)
            << "text " << Show(c.text) << " language " << Show(c.language) << " current " << Show(c.current);
    }
}

TEST(TranslationCatalogueTest, BlocksEndAtEmptyLinesAndEscapesTurnIntoCarriageReturns) {
    TTranslationCatalogue catalogue;
    catalogue.Load(Bytes("ko=\xEA\xB0\x80\r\nja=A\\nB\r\n\r\n"     // 가: no English line
                         "ko=\xEB\x82\x98\r\nen=B\r\nfr=C\r\n\r\n" // 나
                         "ko=\xEB\x8B\xA4\r\nde=D\r\n\r\n"         // 다: no English line
                         "en=first\r\n\r\nen=first\r\nja=second\r\n"));
    struct Case {
        std::u16string text;
        std::u16string language;
        std::u16string expected;
    };
    const Case cases[] = {
        {u"가", u"ja", u"A\rB"},     {u"가", u"en", u"가"}, // neither the language nor English in the block
        {u"A\\nB", u"ko", u"가"},                           // matched before the escape is turned
        {u"나", u"de", u"B"},                               // the next block's "de" is not reached
        {u"다", u"ja", u"다"},                              // the previous block's "en" is not reached
        {u"D", u"en", u"D"},         {u"D", u"ko", u"다"},
        {u"first", u"ja", u"first"}, // the first match in file order decides the block
    };
    for (const auto& c : cases)
        EXPECT_EQ(catalogue.Translate(c.text, c.language), c.expected) << Show(c.text) << " into " << Show(c.language);
}

TEST_F(TranslationTest, StartUpTakesTwoLettersOfTheUserLanguageAndShutdownClearsEverything) {
    struct Case {
        std::u16string userLanguage;
        std::u16string current;
    };
    const Case cases[] = {{u"ko", u"ko"}, {u"jpn", u"jp"}, {u"en", u"en"}, {u"e", u"e"}, {u"", u""}};
    for (const auto& c : cases) {
        StartTranslation(EmbeddedTranslationText(), c.userLanguage);
        EXPECT_EQ(CurrentLanguage(), c.current);
        EXPECT_EQ(TranslationCatalogue().Lines().size(), 167u);
    }

    StartTranslation(EmbeddedTranslationText(), u"ja");
    EXPECT_EQ(Translate(u"버전"), u"バージョン");
    StopTranslation();
    EXPECT_TRUE(TranslationCatalogue().Empty());
    EXPECT_EQ(CurrentLanguage(), u"");
    EXPECT_EQ(Translate(u"버전", u"ja"), u"버전");

    // A program without the catalogue shows its source texts.
    StartTranslation({}, u"ja");
    EXPECT_TRUE(TranslationCatalogue().Empty());
    EXPECT_EQ(CurrentLanguage(), u"ja");
    EXPECT_EQ(Translate(u"버전"), u"버전");
    EXPECT_EQ(Translate(u"x\\ny"), u"x\ry");
}

TEST_F(TranslationTest, MenuItemsAreTranslatedWithAllTheirSubItems) {
    SetCurrentLanguage(u"fr");
    TMenuItem root{
        u"처음화면",
        {TMenuItem{u"환경설정", {TMenuItem{u"후원하기", {}}, TMenuItem{u"Other", {}}}}, TMenuItem{u"실행중", {}}}};
    TranslateMenuItem(&root);
    EXPECT_EQ(root.Caption, u"Accueil");
    EXPECT_EQ(root.Items[0].Caption, u"Config");
    EXPECT_EQ(root.Items[0].Items[0].Caption, u"Donner");
    EXPECT_EQ(root.Items[0].Items[1].Caption, u"Other");
    EXPECT_EQ(root.Items[1].Caption, u"En cours");
    TranslateMenuItem(nullptr);
}

// A free-standing component tree: captions, forms, pop-up menus and ownership.
class TFakeComponent final : public IComponent {
public:
    TFakeComponent(bool form, std::optional<std::u16string> caption) : FForm(form), FCaption(std::move(caption)) {}

    bool IsForm() const override { return FForm; }
    bool HasCaption() const override { return FCaption.has_value(); }
    std::u16string GetCaption() const override { return FCaption.value(); }
    void SetCaption(const std::u16string& caption) override { FCaption = caption; }
    TMenuItem* PopupMenu() override { return FMenu ? &*FMenu : nullptr; }
    void ForEachOwned(const std::function<void(IComponent&)>& visit) override {
        for (auto& owned : FOwned) visit(owned);
    }

    bool FForm;
    std::optional<std::u16string> FCaption;
    std::optional<TMenuItem> FMenu;
    std::vector<TFakeComponent> FOwned;
};

TEST_F(TranslationTest, ComponentTreesAreWalkedWithTheTitleBarRule) {
    struct Case {
        std::u16string language;
        std::u16string formCaption;
        std::u16string labelCaption;
        std::u16string menuCaption;
    };
    const Case cases[] = {
        {u"ko", u"제피릭스", u"제피릭스", u"처음화면"},
        {u"ja", u"Zephyrix", u"ゼフィリックス", u"ホーム"},
        {u"de", u"Zephyrix", u"Zephyrix", u"Home"},
        {u"fr", u"Zephyrix", u"Zéphyrix", u"Accueil"},
    };
    for (const auto& c : cases) {
        SetCurrentLanguage(u"en");
        TFakeComponent form(true, u"제피릭스");
        TFakeComponent panel(false, std::nullopt); // no caption: only walked
        TFakeComponent label(false, u"제피릭스");
        TFakeComponent inner(true, u"제피릭스"); // a form owned by another: the form rule again
        TFakeComponent popup(false, std::nullopt);
        popup.FMenu = TMenuItem{u"처음화면", {}};
        label.FOwned.push_back(inner);
        panel.FOwned = {label, popup};
        form.FOwned.push_back(panel);

        TranslateComponent(&form, c.language);
        EXPECT_EQ(CurrentLanguage(), c.language) << "a given language stays current";
        EXPECT_EQ(form.FCaption, c.formCaption) << Show(c.language);
        EXPECT_FALSE(form.FOwned[0].FCaption.has_value());
        EXPECT_EQ(form.FOwned[0].FOwned[0].FCaption, c.labelCaption) << Show(c.language);
        EXPECT_EQ(form.FOwned[0].FOwned[0].FOwned[0].FCaption, c.formCaption) << Show(c.language);
        EXPECT_EQ(form.FOwned[0].FOwned[1].FMenu->Caption, c.menuCaption) << Show(c.language);
    }

    // An empty language keeps the current one; no component: only the language changes.
    SetCurrentLanguage(u"ru");
    TFakeComponent label(false, u"버전");
    TranslateComponent(&label);
    EXPECT_EQ(label.FCaption, u"Версия");
    EXPECT_EQ(CurrentLanguage(), u"ru");
    TranslateComponent(nullptr, u"it");
    EXPECT_EQ(CurrentLanguage(), u"it");
}

} // namespace
} // namespace zx
