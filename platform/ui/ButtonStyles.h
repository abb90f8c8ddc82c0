// Styled buttons' drawing attributes per state, and the style families that supply them.
// A family is a named set of appearances ("Header", "Outline", ...); a button names its
// family and appearance and asks the family for the attributes of its five states.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Color.h"

namespace zx {

enum class TButtonDrawType : std::uint8_t { btRoundRect, btRounded, btRect, btEllipse };
enum class TButtonDrawStyle : std::uint8_t { btnClear, btnSolid }; // no fill / filled
enum class TBorderDrawStyle : std::uint8_t { brdClear, brdSolid }; // no line / solid line

enum TFontStyle : std::uint8_t { fsBold = 1u << 0, fsItalic = 1u << 1, fsUnderline = 1u << 2 };

enum TRoundedCorner : std::uint8_t {
    rcTopLeft = 1u << 0,
    rcTopRight = 1u << 1,
    rcBottomLeft = 1u << 2,
    rcBottomRight = 1u << 3,
    rcAll = 0x0F,
};

// What a button looks like in one state. Radius and RoundedCorners come from the
// button itself; a family leaves them as it finds them. A solid border of width 0
// is drawn one device pixel wide.
struct TStyledButtonAttributes {
    TButtonDrawType DrawType = TButtonDrawType::btRoundRect;
    TButtonDrawStyle ButtonDrawStyle = TButtonDrawStyle::btnSolid;
    TBorderDrawStyle BorderDrawStyle = TBorderDrawStyle::brdSolid;
    TColor ButtonColor = kColorWhite;
    TColor BorderColor = kColorBlack;
    int BorderWidth = 0;
    TColor FontColor = kColorBlack;
    std::uint8_t FontStyle = 0; // TFontStyle bits
    int Radius = 0;             // at 96 DPI
    std::uint8_t RoundedCorners = rcAll;

    friend bool operator==(const TStyledButtonAttributes&, const TStyledButtonAttributes&) = default;
};

// The five states, in the order a family receives them.
enum class TButtonVisualState : std::uint8_t { bvNormal, bvPressed, bvSelected, bvHot, bvDisabled };

struct TButtonStateAttributes {
    TStyledButtonAttributes Normal;
    TStyledButtonAttributes Pressed;
    TStyledButtonAttributes Selected;
    TStyledButtonAttributes Hot;
    TStyledButtonAttributes Disabled;

    [[nodiscard]] const TStyledButtonAttributes& For(TButtonVisualState state) const;

    friend bool operator==(const TButtonStateAttributes&, const TButtonStateAttributes&) = default;
};

// A style family as the styled-button layer sees it. Contract of FillStateAttributes:
// the five sets arrive with the button's Radius and RoundedCorners already in them.
class IStyledButtonAttributes {
public:
    virtual ~IStyledButtonAttributes() = default;
    [[nodiscard]] virtual std::u16string FamilyName() const = 0;
    [[nodiscard]] virtual std::vector<std::u16string> ButtonClasses() const = 0;
    [[nodiscard]] virtual std::vector<std::u16string> ButtonAppearances() const = 0;
    virtual void StyleForDialogResult(int dialogResult, std::u16string& buttonClass,
                                      std::u16string& appearance) const = 0;
    virtual void FillStateAttributes(const std::u16string& family, const std::u16string& buttonClass,
                                     const std::u16string& appearance, TStyledButtonAttributes& normal,
                                     TStyledButtonAttributes& pressed, TStyledButtonAttributes& selected,
                                     TStyledButtonAttributes& hot, TStyledButtonAttributes& disabled) const = 0;
};

// The neutral family used when a button's family is not registered: white, a thin gray
// border, the accent for hot and pressed, gray when disabled. Appearances "Header" and
// "Outline" differ only in weight; anything else is "Normal" (a filled accent button).
class TPlainButtonStyles final : public IStyledButtonAttributes {
public:
    [[nodiscard]] std::u16string FamilyName() const override;
    [[nodiscard]] std::vector<std::u16string> ButtonClasses() const override;
    [[nodiscard]] std::vector<std::u16string> ButtonAppearances() const override;
    void StyleForDialogResult(int dialogResult, std::u16string& buttonClass, std::u16string& appearance) const override;
    void FillStateAttributes(const std::u16string& family, const std::u16string& buttonClass,
                             const std::u16string& appearance, TStyledButtonAttributes& normal,
                             TStyledButtonAttributes& pressed, TStyledButtonAttributes& selected,
                             TStyledButtonAttributes& hot, TStyledButtonAttributes& disabled) const override;
};

// One registered family.
struct TButtonFamily {
    std::u16string FStyleFamily;
    std::shared_ptr<const IStyledButtonAttributes> FCustomAttributes;
};

// The styled-button layer's list of families, filled at program start before any
// window exists and handed to the windows that draw styled buttons.
class TButtonFamilyList {
public:
    TButtonFamilyList(); // holds the plain family, the fallback

    // Adds a family, or replaces the one registered under the same name.
    void Register(std::shared_ptr<const IStyledButtonAttributes> family);

    // The family of that name (ASCII case ignored), or the plain family when none is registered.
    [[nodiscard]] const IStyledButtonAttributes& Find(const std::u16string& name) const;

    // The attributes of the five states of a button of that family, class and appearance,
    // with the button's radius and rounded corners.
    [[nodiscard]] TButtonStateAttributes Attributes(const std::u16string& family, const std::u16string& buttonClass,
                                                    const std::u16string& appearance, int radius,
                                                    std::uint8_t roundedCorners = rcAll) const;

private:
    std::vector<TButtonFamily> FFamilies;
    std::shared_ptr<const IStyledButtonAttributes> FPlain;
};

} // namespace zx
