// The theme: the "Moravel" family's attribute sets, its vocabulary and registration, the
// derived colours, the accent line's colour, high-contrast colours and title fitting.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "kit/FitLabelFont.h"
#include "kit/MoravelButtonStyles.h"
#include "kit/ThemeColors.h"
#include "native/ShowText.h"
#include "platform/ui/HighContrast.h"

namespace zx {
namespace {

using enum TButtonDrawStyle;
using enum TBorderDrawStyle;
using enum TButtonVisualState;

TButtonStateAttributes Fill(const std::u16string& appearance, const std::u16string& family = u"Moravel",
                            const std::u16string& buttonClass = u"Primary", int radius = 4,
                            std::uint8_t corners = rcAll) {
    TButtonStateAttributes sets;
    for (TStyledButtonAttributes* set : {&sets.Normal, &sets.Pressed, &sets.Selected, &sets.Hot, &sets.Disabled}) {
        set->Radius = radius;
        set->RoundedCorners = corners;
    }
    TMoravelButtonStyles().FillStateAttributes(family, buttonClass, appearance, sets.Normal, sets.Pressed,
                                               sets.Selected, sets.Hot, sets.Disabled);
    return sets;
}

// The family's table as the look was designed, colour by colour.
struct TSetCase {
    const char16_t* Appearance;
    TButtonVisualState State;
    TButtonDrawStyle Fill;
    TBorderDrawStyle Border;
    std::uint32_t ButtonColor, BorderColor, FontColor;
};

constexpr TSetCase kFifteenSets[] = {
    {u"Outline", bvNormal, btnClear, brdSolid, 0x3D84DD, 0x3D84DD, 0x000000},
    {u"Outline", bvPressed, btnSolid, brdSolid, 0x3D84DD, 0x3D84DD, 0xFFFFFF},
    {u"Outline", bvSelected, btnSolid, brdSolid, 0x5090E0, 0x3D84DD, 0xFFFFFF},
    {u"Outline", bvHot, btnSolid, brdSolid, 0x5090E0, 0x3D84DD, 0xFFFFFF},
    {u"Outline", bvDisabled, btnClear, brdSolid, 0x3D84DD, 0xD7D7D7, 0xB3B3B3},
    {u"Header", bvNormal, btnClear, brdSolid, 0xFFFFFF, 0x000000, 0x000000},
    {u"Header", bvPressed, btnSolid, brdClear, 0x3D84DD, 0x3D84DD, 0xFFFFFF},
    {u"Header", bvSelected, btnSolid, brdClear, 0x5090E0, 0x3D84DD, 0xFFFFFF},
    {u"Header", bvHot, btnSolid, brdClear, 0x3D84DD, 0x3D84DD, 0xFFFFFF},
    {u"Header", bvDisabled, btnClear, brdSolid, 0xFFFFFF, 0xBCBCBC, 0x808080},
    {u"Normal", bvNormal, btnSolid, brdSolid, 0x3D84DD, 0x3D84DD, 0xFFFFFF},
    {u"Normal", bvPressed, btnSolid, brdSolid, 0x3D84DD, 0x3D84DD, 0xFFFFFF},
    {u"Normal", bvSelected, btnSolid, brdSolid, 0x3D84DD, 0x3D84DD, 0xFFFFFF},
    {u"Normal", bvHot, btnSolid, brdSolid, 0x5090E0, 0x3D84DD, 0xFFFFFF},
    {u"Normal", bvDisabled, btnSolid, brdSolid, 0xFFFFFF, 0xC0C0C0, 0xC0C0C0},
};

TEST(MoravelButtonStyles, FifteenAttributeSets) {
    for (const auto& c : kFifteenSets) {
        const auto sets = Fill(c.Appearance, u"Moravel", u"Primary", 4, rcTopLeft | rcBottomRight);
        const TStyledButtonAttributes& a = sets.For(c.State);
        const std::string where = Show(c.Appearance) + " state " + std::to_string(static_cast<int>(c.State));
        EXPECT_EQ(a.DrawType, TButtonDrawType::btRoundRect) << where;
        EXPECT_EQ(a.ButtonDrawStyle, c.Fill) << where;
        EXPECT_EQ(a.BorderDrawStyle, c.Border) << where;
        EXPECT_EQ(a.ButtonColor, ColorFromRgb(c.ButtonColor)) << where;
        EXPECT_EQ(a.BorderColor, ColorFromRgb(c.BorderColor)) << where;
        EXPECT_EQ(a.FontColor, ColorFromRgb(c.FontColor)) << where;
        EXPECT_EQ(a.BorderWidth, 0) << where;
        EXPECT_EQ(a.FontStyle, 0) << where;
        // The button's own radius and corners survive in every state.
        EXPECT_EQ(a.Radius, 4) << where;
        EXPECT_EQ(a.RoundedCorners, rcTopLeft | rcBottomRight) << where;
    }
}

TEST(MoravelButtonStyles, EveryFieldIsSetWhateverTheSetsHeldBefore) {
    // Sets that arrive filled with leftovers (another family's look) come out the same.
    TButtonStateAttributes dirty;
    for (TStyledButtonAttributes* set : {&dirty.Normal, &dirty.Pressed, &dirty.Selected, &dirty.Hot, &dirty.Disabled})
        *set = TStyledButtonAttributes{TButtonDrawType::btEllipse,
                                       btnClear,
                                       brdClear,
                                       ColorFromRgb(0x123456),
                                       ColorFromRgb(0x654321),
                                       7,
                                       ColorFromRgb(0xABCDEF),
                                       fsBold | fsItalic,
                                       4,
                                       rcAll};
    TMoravelButtonStyles().FillStateAttributes(u"Moravel", u"Primary", u"Header", dirty.Normal, dirty.Pressed,
                                               dirty.Selected, dirty.Hot, dirty.Disabled);
    EXPECT_EQ(dirty, Fill(u"Header"));
}

TEST(MoravelButtonStyles, AppearanceIgnoresAsciiCaseAndFallsBackToNormal) {
    struct TCase {
        const char16_t* Given;
        const char16_t* Means;
    } const cases[] = {
        {u"outline", u"Outline"},     {u"OUTLINE", u"Outline"}, {u"hEaDeR", u"Header"},
        {u"Flat", u"Normal"},         {u"", u"Normal"},         {u"normal", u"Normal"},
        {u"Outline ", u"Normal"},     // no trimming
        {u"Header\u0130", u"Normal"}, // a non-ASCII letter is no case variant
    };
    for (const auto& c : cases) EXPECT_EQ(Fill(c.Given), Fill(c.Means)) << Show(c.Given);
}

TEST(MoravelButtonStyles, FamilyAndClassAreNotLookedAt) {
    EXPECT_EQ(Fill(u"Outline", u"Plain", u"Secondary"), Fill(u"Outline"));
    EXPECT_EQ(Fill(u"Header", u"", u""), Fill(u"Header"));
}

TEST(MoravelButtonStyles, Vocabulary) {
    const TMoravelButtonStyles family;
    EXPECT_EQ(family.FamilyName(), u"Moravel");
    EXPECT_EQ(family.ButtonClasses(), (std::vector<std::u16string>{u"Primary"}));
    EXPECT_EQ(family.ButtonAppearances(), (std::vector<std::u16string>{u"Normal", u"Header", u"Outline"}));
}

TEST(MoravelButtonStyles, StyleForDialogResultIsPrimaryNormalForEveryResult) {
    // mrNone, mrOk, mrCancel, mrAbort, mrRetry, mrIgnore, mrYes, mrNo, mrClose, mrHelp,
    // mrTryAgain, mrContinue, mrAll, mrNoToAll, mrYesToAll, and results outside the list.
    for (const int result : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, -1, 1000}) {
        std::u16string buttonClass = u"left over";
        std::u16string appearance = u"Outline";
        TMoravelButtonStyles().StyleForDialogResult(result, buttonClass, appearance);
        EXPECT_EQ(buttonClass, u"Primary") << result;
        EXPECT_EQ(appearance, u"Normal") << result;
    }
}

TEST(MoravelButtonStyles, RegisteredFamilyReplacesThePlainLook) {
    TButtonFamilyList families;
    const auto plain = families.Attributes(u"Moravel", u"Primary", u"Outline", 6);
    families.Register(std::make_shared<TMoravelButtonStyles>());
    EXPECT_EQ(families.Find(u"moravel").FamilyName(), u"Moravel");
    const auto moravel = families.Attributes(u"Moravel", u"Primary", u"Outline", 6);
    EXPECT_EQ(moravel, Fill(u"Outline", u"Moravel", u"Primary", 6));
    EXPECT_NE(moravel, plain);
    EXPECT_EQ(families.Find(u"Other").FamilyName(), u"Plain") << "unknown families still draw plain";
}

TEST(ThemeColors, DerivedFromTheAccentAndBlackByTheColourRules) {
    EXPECT_EQ(kThemeAccent, ColorFromRgb(0x3D84DD));
    EXPECT_EQ(ThemeHotColor(), ColorFromRgb(0x5090E0));
    EXPECT_EQ(DisabledGray(kThemeAccent, kOutlineDisabledLighten), ColorFromRgb(0xD7D7D7));
    EXPECT_EQ(DisabledGray(kColorBlack, kOutlineDisabledLighten), ColorFromRgb(0xB3B3B3));
    EXPECT_EQ(DisabledGray(kThemeAccent, kHeaderDisabledLighten), ColorFromRgb(0xBCBCBC));
    EXPECT_EQ(DisabledGray(kColorBlack, kHeaderDisabledLighten), ColorFromRgb(0x808080));
}

// A high-contrast scheme whose four colours differ from each other and from the family's.
constexpr TSystemColors kScheme{ColorFromRgb(0x000000), ColorFromRgb(0xFFFF00), ColorFromRgb(0x00FFFF),
                                ColorFromRgb(0x3FF23F)};

TEST(ThemeColors, AccentLineFollowsActivationAndHighContrast) {
    const TColor accent = kThemeAccent;
    struct TCase {
        bool Active, HighContrast;
        TColor Expected;
    } const cases[] = {
        {true, false, accent},
        {false, false, kScheme.GrayText},
        {true, true, kScheme.Highlight},
        {false, true, kScheme.GrayText},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AccentLineColor(c.Active, c.HighContrast, accent, kScheme), c.Expected)
            << c.Active << " " << c.HighContrast;
}

TEST(HighContrast, ButtonsDrawInTheSystemColoursOnly) {
    for (const char16_t* appearance : {u"Outline", u"Header", u"Normal"}) {
        const auto family = Fill(appearance, u"Moravel", u"Primary", 4, rcTopLeft);
        const auto sets = HighContrastAttributes(family, kScheme);
        struct TCase {
            TButtonVisualState State;
            TColor Fill, Border, Font;
        } const cases[] = {
            {bvNormal, kScheme.ButtonFace, kScheme.ButtonText, kScheme.ButtonText},
            {bvPressed, kScheme.ButtonText, kScheme.ButtonText, kScheme.ButtonFace},
            {bvSelected, kScheme.ButtonFace, kScheme.ButtonText, kScheme.ButtonText},
            {bvHot, kScheme.ButtonFace, kScheme.Highlight, kScheme.ButtonText},
            {bvDisabled, kScheme.ButtonFace, kScheme.GrayText, kScheme.GrayText},
        };
        for (const auto& c : cases) {
            const auto& a = sets.For(c.State);
            const std::string where = Show(appearance) + " state " + std::to_string(static_cast<int>(c.State));
            // Filled and lined in every state: nothing of the family's colours shows through.
            EXPECT_EQ(a.ButtonDrawStyle, btnSolid) << where;
            EXPECT_EQ(a.BorderDrawStyle, brdSolid) << where;
            EXPECT_EQ(a.ButtonColor, c.Fill) << where;
            EXPECT_EQ(a.BorderColor, c.Border) << where;
            EXPECT_EQ(a.FontColor, c.Font) << where;
            // The shape stays the button's.
            EXPECT_EQ(a.DrawType, family.For(c.State).DrawType) << where;
            EXPECT_EQ(a.Radius, 4) << where;
            EXPECT_EQ(a.RoundedCorners, rcTopLeft) << where;
        }
        // Focused and hot are told apart from normal by a heavier line.
        EXPECT_GT(sets.Selected.BorderWidth, sets.Normal.BorderWidth);
        EXPECT_GT(sets.Hot.BorderWidth, sets.Normal.BorderWidth);
    }
}

// A label with a caption of fixed width at the font it was measured in; counts the
// measurements and records the sizes set.
class TFakeLabel final : public IFittableLabel {
public:
    TFakeLabel(int width, int captionWidth, int points) : FWidth(width), FCaptionWidth(captionWidth), FPoints(points) {}
    int Width() const override { return FWidth; }
    int CaptionWidth() const override {
        ++Measurements;
        return FCaptionWidth;
    }
    int FontPoints() const override { return FPoints; }
    void SetFontPoints(int points) override {
        SetSizes.push_back(points);
        FPoints = points;
        FCaptionWidth = FCaptionWidth * 2; // a new measurement would ask for another pass
    }
    mutable int Measurements = 0;
    std::vector<int> SetSizes;

private:
    int FWidth, FCaptionWidth, FPoints;
};

TEST(FitLabelFont, ShrinksOnceToTheLabelsWidth) {
    struct TCase {
        int LabelWidth, CaptionWidth, Points;
        std::vector<int> SetSizes;
    } const cases[] = {
        {400, 500, 20, {16}}, // 20 * 400 / 500
        {400, 2000, 20, {6}}, // the computed 4 becomes 6
        {400, 400, 20, {}},   // exactly as wide: left alone
        {400, 399, 20, {}},   // narrower: never enlarged
        {484, 700, 44, {30}}, // 30.42 cut to 30
        {484, 485, 44, {43}}, // one pixel too wide still costs a point
    };
    for (const auto& c : cases) {
        TFakeLabel label(c.LabelWidth, c.CaptionWidth, c.Points);
        FitLabelFont(label);
        EXPECT_EQ(label.SetSizes, c.SetSizes) << c.CaptionWidth << " px in " << c.LabelWidth;
        EXPECT_EQ(label.Measurements, 1) << "no second pass";
    }
}

} // namespace
} // namespace zx
