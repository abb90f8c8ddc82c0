#include "ButtonStyles.h"

#include "platform/common/AsciiText.h"

namespace zx {

namespace {

constexpr TColor kPlainBorder = ColorFromRgb(0xC8C8C8);
constexpr TColor kPlainDisabledBorder = ColorFromRgb(0xE0E0E0);
constexpr TColor kPlainDisabledFont = ColorFromRgb(0xA0A0A0);

} // namespace

const TStyledButtonAttributes& TButtonStateAttributes::For(TButtonVisualState state) const {
    switch (state) {
    case TButtonVisualState::bvPressed:
        return Pressed;
    case TButtonVisualState::bvSelected:
        return Selected;
    case TButtonVisualState::bvHot:
        return Hot;
    case TButtonVisualState::bvDisabled:
        return Disabled;
    case TButtonVisualState::bvNormal:
        break;
    }
    return Normal;
}

std::u16string TPlainButtonStyles::FamilyName() const {
    return u"Plain";
}

std::vector<std::u16string> TPlainButtonStyles::ButtonClasses() const {
    return {u"Primary"};
}

std::vector<std::u16string> TPlainButtonStyles::ButtonAppearances() const {
    return {u"Normal", u"Header", u"Outline"};
}

void TPlainButtonStyles::StyleForDialogResult(int, std::u16string& buttonClass, std::u16string& appearance) const {
    buttonClass = u"Primary";
    appearance = u"Normal";
}

void TPlainButtonStyles::FillStateAttributes(const std::u16string&, const std::u16string&,
                                             const std::u16string& appearance, TStyledButtonAttributes& normal,
                                             TStyledButtonAttributes& pressed, TStyledButtonAttributes& selected,
                                             TStyledButtonAttributes& hot, TStyledButtonAttributes& disabled) const {
    using enum TButtonDrawStyle;
    using enum TBorderDrawStyle;
    const bool header = SameTextIgnoringAsciiCase(appearance, u"Header");
    const bool outline = SameTextIgnoringAsciiCase(appearance, u"Outline");

    normal.DrawType = TButtonDrawType::btRoundRect;
    normal.BorderWidth = 0;
    normal.FontStyle = 0;
    if (header || outline) {
        normal.ButtonDrawStyle = btnSolid;
        normal.ButtonColor = kColorWhite;
        normal.BorderDrawStyle = brdSolid;
        normal.BorderColor = kPlainBorder;
        normal.FontColor = kColorBlack;
    } else {
        normal.ButtonDrawStyle = btnSolid;
        normal.ButtonColor = kColorAccent;
        normal.BorderDrawStyle = brdSolid;
        normal.BorderColor = kColorAccent;
        normal.FontColor = kColorWhite;
    }
    pressed = selected = hot = disabled = normal;

    // Pressed (and held down): the accent, filled.
    pressed.ButtonDrawStyle = btnSolid;
    pressed.ButtonColor = kColorAccent;
    pressed.BorderColor = kColorAccent;
    pressed.FontColor = kColorWhite;

    // Hot: the accent announces what a click will do without filling the button.
    if (header || outline) {
        hot.ButtonColor = LightenColor(kColorAccent, 90);
        hot.BorderColor = kColorAccent;
        hot.FontColor = kColorAccent;
    } else {
        hot.ButtonColor = LightenColor(kColorAccent, 10);
        hot.BorderColor = kColorAccent;
    }

    // Selected (focused): the normal look with an accent border; the focus rectangle
    // is drawn on top when keyboard cues are on.
    selected.BorderColor = kColorAccent;

    disabled.ButtonDrawStyle = btnSolid;
    disabled.ButtonColor = kColorWhite;
    disabled.BorderColor = kPlainDisabledBorder;
    disabled.FontColor = kPlainDisabledFont;

    if (outline) {
        // The Run button carries a little more weight than the header buttons.
        normal.BorderColor = kColorAccent;
        selected.BorderColor = kColorAccent;
        normal.FontStyle = selected.FontStyle = hot.FontStyle = pressed.FontStyle = fsBold;
        disabled.FontStyle = fsBold;
    }
}

TButtonFamilyList::TButtonFamilyList() : FPlain(std::make_shared<TPlainButtonStyles>()) {}

void TButtonFamilyList::Register(std::shared_ptr<const IStyledButtonAttributes> family) {
    if (!family) return;
    const std::u16string name = family->FamilyName();
    for (auto& entry : FFamilies) {
        if (SameTextIgnoringAsciiCase(entry.FStyleFamily, name)) {
            entry.FCustomAttributes = std::move(family);
            return;
        }
    }
    FFamilies.push_back(TButtonFamily{name, std::move(family)});
}

const IStyledButtonAttributes& TButtonFamilyList::Find(const std::u16string& name) const {
    for (const auto& entry : FFamilies)
        if (SameTextIgnoringAsciiCase(entry.FStyleFamily, name)) return *entry.FCustomAttributes;
    return *FPlain;
}

TButtonStateAttributes TButtonFamilyList::Attributes(const std::u16string& family, const std::u16string& buttonClass,
                                                     const std::u16string& appearance, int radius,
                                                     std::uint8_t roundedCorners) const {
    TButtonStateAttributes sets;
    for (TStyledButtonAttributes* set : {&sets.Normal, &sets.Pressed, &sets.Selected, &sets.Hot, &sets.Disabled}) {
        set->Radius = radius;
        set->RoundedCorners = roundedCorners;
    }
    Find(family).FillStateAttributes(family, buttonClass, appearance, sets.Normal, sets.Pressed, sets.Selected,
                                     sets.Hot, sets.Disabled);
    return sets;
}

} // namespace zx
