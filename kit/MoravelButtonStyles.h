// The button style family "Moravel": the attributes of the five button states for each of
// its appearances, "Normal", "Header" (the header toolbar) and "Outline" (the Run button).
#pragma once

#include <string>
#include <vector>

#include "platform/ui/ButtonStyles.h"

namespace zx {

inline constexpr std::u16string_view kMoravelFamilyName = u"Moravel";

class TMoravelButtonStyles final : public IStyledButtonAttributes {
public:
    [[nodiscard]] std::u16string FamilyName() const override;
    // "Primary".
    [[nodiscard]] std::vector<std::u16string> ButtonClasses() const override;
    // "Normal", "Header", "Outline", in this order.
    [[nodiscard]] std::vector<std::u16string> ButtonAppearances() const override;
    // "Primary" and "Normal" for every dialog result.
    void StyleForDialogResult(int dialogResult, std::u16string& buttonClass, std::u16string& appearance) const override;
    // The appearance decides, its ASCII case ignored; a name outside the three is "Normal".
    // Family and class are not looked at. Radius and RoundedCorners of `normal` go to all five.
    void FillStateAttributes(const std::u16string& family, const std::u16string& buttonClass,
                             const std::u16string& appearance, TStyledButtonAttributes& normal,
                             TStyledButtonAttributes& pressed, TStyledButtonAttributes& selected,
                             TStyledButtonAttributes& hot, TStyledButtonAttributes& disabled) const override;
};

} // namespace zx
