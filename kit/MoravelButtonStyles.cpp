#include "MoravelButtonStyles.h"

#include <array>
#include <string_view>

#include "ThemeColors.h"
#include "platform/common/AsciiText.h"

namespace zx {

namespace {

using enum TButtonDrawStyle;
using enum TBorderDrawStyle;

// The family's vocabulary, fixed for the life of the program.
constexpr std::array<std::u16string_view, 1> kButtonClasses = {u"Primary"};
constexpr std::array<std::u16string_view, 3> kButtonAppearances = {u"Normal", u"Header", u"Outline"};

// What the family sets in one state; the rest of the attribute set is shared by all.
struct TStateLook {
    TButtonDrawStyle ButtonDrawStyle;
    TBorderDrawStyle BorderDrawStyle;
    TColor ButtonColor;
    TColor BorderColor;
    TColor FontColor;
};

// One appearance: its looks in the order Normal, Pressed, Selected, Hot, Disabled.
struct TAppearanceLooks {
    std::u16string_view Appearance;
    std::array<TStateLook, 5> States;
};

// The attribute table of the family. Built once: the derived colours come from the colour
// rules, applied to the accent and to black.
const std::array<TAppearanceLooks, 3>& AppearanceTable() {
    static const std::array<TAppearanceLooks, 3> table = [] {
        const TColor accent = kThemeAccent;
        const TColor hot = ThemeHotColor();
        const TColor white = kColorWhite;
        const TColor black = kColorBlack;
        const TColor outlineBorderOff = DisabledGray(accent, kOutlineDisabledLighten);
        const TColor outlineFontOff = DisabledGray(black, kOutlineDisabledLighten);
        const TColor headerBorderOff = DisabledGray(accent, kHeaderDisabledLighten);
        const TColor headerFontOff = DisabledGray(black, kHeaderDisabledLighten);
        return std::array<TAppearanceLooks, 3>{{
            {u"Outline",
             {{
                 {btnClear, brdSolid, accent, accent, black},                    // Normal
                 {btnSolid, brdSolid, accent, accent, white},                    // Pressed
                 {btnSolid, brdSolid, hot, accent, white},                       // Selected
                 {btnSolid, brdSolid, hot, accent, white},                       // Hot
                 {btnClear, brdSolid, accent, outlineBorderOff, outlineFontOff}, // Disabled
             }}},
            {u"Header",
             {{
                 {btnClear, brdSolid, white, black, black},                   // Normal
                 {btnSolid, brdClear, accent, accent, white},                 // Pressed
                 {btnSolid, brdClear, hot, accent, white},                    // Selected
                 {btnSolid, brdClear, accent, accent, white},                 // Hot
                 {btnClear, brdSolid, white, headerBorderOff, headerFontOff}, // Disabled
             }}},
            {u"Normal",
             {{
                 {btnSolid, brdSolid, accent, accent, white},             // Normal
                 {btnSolid, brdSolid, accent, accent, white},             // Pressed
                 {btnSolid, brdSolid, accent, accent, white},             // Selected
                 {btnSolid, brdSolid, hot, accent, white},                // Hot
                 {btnSolid, brdSolid, white, kThemeSilver, kThemeSilver}, // Disabled
             }}},
        }};
    }();
    return table;
}

const TAppearanceLooks& LooksFor(std::u16string_view appearance) {
    const auto& table = AppearanceTable();
    for (const auto& looks : table)
        if (SameTextIgnoringAsciiCase(looks.Appearance, appearance)) return looks;
    return table.back(); // "Normal", also for any name the family does not know
}

void Apply(const TStateLook& look, TStyledButtonAttributes& set) {
    set.ButtonDrawStyle = look.ButtonDrawStyle;
    set.BorderDrawStyle = look.BorderDrawStyle;
    set.ButtonColor = look.ButtonColor;
    set.BorderColor = look.BorderColor;
    set.FontColor = look.FontColor;
}

std::vector<std::u16string> ToList(const auto& names) {
    return std::vector<std::u16string>(names.begin(), names.end());
}

} // namespace

std::u16string TMoravelButtonStyles::FamilyName() const {
    return std::u16string(kMoravelFamilyName);
}

std::vector<std::u16string> TMoravelButtonStyles::ButtonClasses() const {
    return ToList(kButtonClasses);
}

std::vector<std::u16string> TMoravelButtonStyles::ButtonAppearances() const {
    return ToList(kButtonAppearances);
}

void TMoravelButtonStyles::StyleForDialogResult(int, std::u16string& buttonClass, std::u16string& appearance) const {
    buttonClass = kButtonClasses[0];
    appearance = kButtonAppearances[0];
}

void TMoravelButtonStyles::FillStateAttributes(const std::u16string&, const std::u16string&,
                                               const std::u16string& appearance, TStyledButtonAttributes& normal,
                                               TStyledButtonAttributes& pressed, TStyledButtonAttributes& selected,
                                               TStyledButtonAttributes& hot, TStyledButtonAttributes& disabled) const {
    const TAppearanceLooks& looks = LooksFor(appearance);
    // The normal set first, then copied whole (with the button's radius and corners) into
    // the other four, which change what their state changes.
    normal.DrawType = TButtonDrawType::btRoundRect;
    normal.BorderWidth = 0;
    normal.FontStyle = 0;
    Apply(looks.States[0], normal);
    pressed = selected = hot = disabled = normal;
    Apply(looks.States[1], pressed);
    Apply(looks.States[2], selected);
    Apply(looks.States[3], hot);
    Apply(looks.States[4], disabled);
}

} // namespace zx
