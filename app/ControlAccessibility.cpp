#include "app/ControlAccessibility.h"

#include <array>
#include <vector>

namespace zx {

namespace {

using enum TAccessibleRole;

// The fixed texts a reader says, per language; the first row is the fallback.
struct TAccessibleTexts {
    std::u16string_view Language;
    std::u16string_view Working;  // the busy indicator
    std::u16string_view HomePage; // the logo: what it opens
    std::u16string_view Press;    // a push button's action
    std::u16string_view Switch;   // a page tab's action
    std::u16string_view Jump;     // a link's action
};

// clang-format off
constexpr std::array kTexts = {
    TAccessibleTexts{u"en", u"Working", u"Zephyrix home page", u"Press", u"Switch", u"Jump"},
    TAccessibleTexts{u"ko", u"작업 중", u"제피릭스 홈페이지", u"누르기", u"전환", u"이동"},
    TAccessibleTexts{u"ja", u"処理中", u"ゼフィリックスのホームページ", u"押す", u"切り替え", u"ジャンプ"},
    TAccessibleTexts{u"zh", u"处理中", u"泽菲瑞克斯主页", u"按下", u"切换", u"跳转"},
    TAccessibleTexts{u"ru", u"Идёт работа", u"Домашняя страница Зефирикс", u"Нажать", u"Переключить", u"Перейти"},
    TAccessibleTexts{u"it", u"In corso", u"Pagina principale di Zefirix", u"Premi", u"Cambia", u"Vai"},
    TAccessibleTexts{u"fr", u"Traitement en cours", u"Page d'accueil de Zéphyrix", u"Appuyer", u"Basculer", u"Atteindre"},
};
// clang-format on

const TAccessibleTexts& TextsFor(std::u16string_view language) {
    for (const auto& row : kTexts)
        if (row.Language == language) return row;
    return kTexts.front();
}

// How each kind reads: its role, where its name comes from, its action and the states
// it can take besides hidden and unavailable.
enum TNameSource : std::uint8_t { nsNone, nsText, nsWorking, nsHomePage };
enum TActionSource : std::uint8_t { acNone, acPress, acSwitch, acJump };
struct TKindReading {
    TControlKind Kind;
    TAccessibleRole Role;
    TNameSource Name;
    TActionSource Action;
    std::uint32_t Always;   // states it always has
    std::uint32_t WhenDown; // added while it shows the lasting pressed look
    bool Focusable;         // takes the keyboard focus
};

// clang-format off
constexpr std::array kReadings = {
    TKindReading{TControlKind::ckForm,              arClient,      nsText,     acNone,   asNone,     asNone,     false},
    TKindReading{TControlKind::ckPanel,             arGrouping,    nsNone,     acNone,   asNone,     asNone,     false},
    TKindReading{TControlKind::ckToolbar,           arPageTabList, nsNone,     acNone,   asNone,     asNone,     false},
    TKindReading{TControlKind::ckToolButton,        arPageTab,     nsText,     acSwitch, asNone,     asSelected, true},
    TKindReading{TControlKind::ckImage,             arLink,        nsHomePage, acJump,   asLinked,   asNone,     false},
    TKindReading{TControlKind::ckCardPanel,         arGrouping,    nsNone,     acNone,   asNone,     asNone,     false},
    TKindReading{TControlKind::ckCard,              arGrouping,    nsNone,     acNone,   asNone,     asNone,     false},
    TKindReading{TControlKind::ckLabel,             arStaticText,  nsText,     acNone,   asReadOnly, asNone,     false},
    TKindReading{TControlKind::ckRichLabel,         arStaticText,  nsText,     acNone,   asReadOnly, asNone,     false},
    TKindReading{TControlKind::ckStyledButton,      arPushButton,  nsText,     acPress,  asNone,     asPressed,  true},
    TKindReading{TControlKind::ckActivityIndicator, arAnimation,   nsWorking,  acNone,   asReadOnly | asAnimated, asNone, false},
    TKindReading{TControlKind::ckGroupBox,          arGrouping,    nsText,     acNone,   asNone,     asNone,     false},
    TKindReading{TControlKind::ckCheckBox,          arCheckButton, nsText,     acNone,   asNone,     asChecked,  true},
    TKindReading{TControlKind::ckLink,              arLink,        nsText,     acJump,   asLinked,   asNone,     true},
};
// clang-format on

} // namespace

TAccessibleDescription DescribeControl(TControlKind kind, const TControlFacts& facts, std::u16string_view language) {
    const TKindReading* reading = &kReadings.front();
    for (const auto& row : kReadings)
        if (row.Kind == kind) reading = &row;
    const TAccessibleTexts& texts = TextsFor(language);

    TAccessibleDescription description;
    description.Role = reading->Role;
    switch (reading->Name) {
    case nsNone:
        break;
    case nsText:
        description.Name = TextWithoutMnemonics(facts.Text);
        break;
    case nsWorking:
        description.Name = texts.Working;
        break;
    case nsHomePage:
        description.Name = texts.HomePage;
        break;
    }
    switch (reading->Action) {
    case acNone:
        break;
    case acPress:
        description.DefaultAction = texts.Press;
        break;
    case acSwitch:
        description.DefaultAction = texts.Switch;
        break;
    case acJump:
        description.DefaultAction = texts.Jump;
        break;
    }

    std::uint32_t state = reading->Always;
    if (facts.Down) state |= reading->WhenDown;
    if (reading->Focusable) state |= asFocusable;
    if (reading->Focusable && facts.Focused) state |= asFocused;
    if (!facts.Enabled) state = (state | asUnavailable) & ~static_cast<std::uint32_t>(asFocusable | asFocused);
    // An indicator that is not shown is not animating either.
    if (!facts.Visible) state = (state | asInvisible) & ~static_cast<std::uint32_t>(asAnimated | asFocused);
    description.State = state;
    return description;
}

const TControlEntry* NextCheckBox(TControlId from, bool forward) {
    std::vector<const TControlEntry*> boxes;
    for (const auto& entry : ControlTable())
        if (entry.Kind == TControlKind::ckCheckBox) boxes.push_back(&entry);
    for (std::size_t i = 0; i < boxes.size(); ++i)
        if (boxes[i]->Id == from) return boxes[(i + (forward ? 1 : boxes.size() - 1)) % boxes.size()];
    return nullptr;
}

} // namespace zx
