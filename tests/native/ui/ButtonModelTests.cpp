// Styled buttons: the state model's reaction to mouse and keys, and the style families.
#include <gtest/gtest.h>

#include "platform/ui/ButtonState.h"
#include "platform/ui/ButtonStyles.h"

namespace zx {
namespace {

using enum TButtonVisualState;

TEST(ButtonState, MouseClickNeedsPressAndReleaseOverTheButton) {
    TButtonStateModel b;
    b.MouseMove(true);
    EXPECT_EQ(b.VisualState(), bvHot);
    b.MouseDown();
    EXPECT_EQ(b.VisualState(), bvPressed);
    b.MouseMove(false); // dragged off while held: shown released, press still tracked
    EXPECT_EQ(b.VisualState(), bvNormal);
    EXPECT_TRUE(b.Tracking());
    b.MouseMove(true);
    EXPECT_EQ(b.VisualState(), bvPressed);
    EXPECT_TRUE(b.MouseUp(true));
    EXPECT_EQ(b.VisualState(), bvHot);

    b.MouseDown();
    EXPECT_FALSE(b.MouseUp(false)) << "released outside: no click";
    EXPECT_FALSE(b.MouseUp(true)) << "a release without a press is no click";

    b.MouseDown();
    b.CaptureLost();
    EXPECT_FALSE(b.MouseUp(true)) << "a cancelled press is no click";
}

TEST(ButtonState, KeyboardClicks) {
    TButtonStateModel b;
    b.SetFocused(true);
    EXPECT_EQ(b.VisualState(), bvSelected);
    b.SpaceDown();
    EXPECT_EQ(b.VisualState(), bvPressed);
    EXPECT_TRUE(b.SpaceUp());
    EXPECT_FALSE(b.SpaceUp()) << "one click per press";
    EXPECT_TRUE(b.EnterPressed());

    b.SpaceDown();
    b.SetFocused(false);
    EXPECT_FALSE(b.SpaceUp()) << "focus moved away during the press";
}

TEST(ButtonState, DisabledButtonNeitherClicksNorShowsHotOrPressed) {
    TButtonStateModel b;
    b.MouseMove(true);
    b.MouseDown();
    b.SetEnabled(false);
    EXPECT_EQ(b.VisualState(), bvDisabled);
    EXPECT_FALSE(b.MouseUp(true));
    b.MouseMove(true);
    b.SpaceDown();
    EXPECT_FALSE(b.SpaceUp());
    EXPECT_FALSE(b.EnterPressed());
    EXPECT_FALSE(b.ClickRequested());
    b.SetEnabled(true);
    EXPECT_FALSE(b.Hot()) << "hot again only after the pointer moves";
    EXPECT_TRUE(b.ClickRequested());
}

TEST(ButtonState, LastingDownLookWinsOverHotAndFocus) {
    struct TCase {
        bool Enabled, Down, Hot, Focused;
        TButtonVisualState Expected;
    } const cases[] = {
        {true, false, false, false, bvNormal},  {true, true, false, false, bvPressed},
        {true, true, true, true, bvPressed},    {true, false, true, true, bvHot},
        {true, false, false, true, bvSelected}, {false, true, true, true, bvDisabled},
    };
    for (const auto& c : cases) {
        TButtonStateModel b;
        b.SetEnabled(c.Enabled);
        b.SetDown(c.Down);
        b.MouseMove(c.Hot);
        b.SetFocused(c.Focused);
        EXPECT_EQ(b.VisualState(), c.Expected) << c.Enabled << c.Down << c.Hot << c.Focused;
    }
}

class TRecordingFamily final : public IStyledButtonAttributes {
public:
    std::u16string FamilyName() const override { return u"Moravel"; }
    std::vector<std::u16string> ButtonClasses() const override { return {u"Primary"}; }
    std::vector<std::u16string> ButtonAppearances() const override { return {u"Normal"}; }
    void StyleForDialogResult(int, std::u16string& c, std::u16string& a) const override {
        c = u"Primary";
        a = u"Normal";
    }
    void FillStateAttributes(const std::u16string&, const std::u16string&, const std::u16string& appearance,
                             TStyledButtonAttributes& normal, TStyledButtonAttributes& pressed,
                             TStyledButtonAttributes& selected, TStyledButtonAttributes& hot,
                             TStyledButtonAttributes& disabled) const override {
        LastAppearance = appearance;
        RadiusSeen = normal.Radius;
        normal.FontColor = ColorFromRgb(0x000001);
        pressed.FontColor = ColorFromRgb(0x000002);
        selected.FontColor = ColorFromRgb(0x000003);
        hot.FontColor = ColorFromRgb(0x000004);
        disabled.FontColor = ColorFromRgb(0x000005);
    }
    mutable std::u16string LastAppearance;
    mutable int RadiusSeen = -1;
};

TEST(ButtonFamilies, RegisteredFamilyIsAskedWithTheButtonsRadius) {
    TButtonFamilyList list;
    auto family = std::make_shared<TRecordingFamily>();
    list.Register(family);
    const auto sets = list.Attributes(u"moravel", u"Primary", u"Header", 4);
    EXPECT_EQ(family->LastAppearance, u"Header");
    EXPECT_EQ(family->RadiusSeen, 4);
    // Each state gets its own set, in the family's order.
    EXPECT_EQ(sets.For(bvNormal).FontColor, ColorFromRgb(1));
    EXPECT_EQ(sets.For(bvPressed).FontColor, ColorFromRgb(2));
    EXPECT_EQ(sets.For(bvSelected).FontColor, ColorFromRgb(3));
    EXPECT_EQ(sets.For(bvHot).FontColor, ColorFromRgb(4));
    EXPECT_EQ(sets.For(bvDisabled).FontColor, ColorFromRgb(5));
    EXPECT_EQ(sets.For(bvHot).Radius, 4);
}

TEST(ButtonFamilies, UnknownFamilyFallsBackToThePlainOne) {
    TButtonFamilyList list;
    EXPECT_EQ(list.Find(u"Moravel").FamilyName(), u"Plain");
    const auto header = list.Attributes(u"Moravel", u"Primary", u"Header", 4);
    EXPECT_EQ(header.Normal.ButtonColor, kColorWhite);
    EXPECT_EQ(header.Pressed.ButtonDrawStyle, TButtonDrawStyle::btnSolid);
    EXPECT_EQ(header.Pressed.ButtonColor, kColorAccent);
    EXPECT_EQ(header.Pressed.FontColor, kColorWhite);
    EXPECT_EQ(header.Hot.BorderColor, kColorAccent);
    EXPECT_NE(header.Disabled.FontColor, header.Normal.FontColor);
    EXPECT_EQ(header.Disabled.Radius, 4);
    // Appearance names ignore ASCII case; an unknown one is "Normal".
    EXPECT_EQ(list.Attributes(u"x", u"", u"outline", 4), list.Attributes(u"x", u"", u"Outline", 4));
    EXPECT_EQ(list.Attributes(u"x", u"", u"Flat", 4), list.Attributes(u"x", u"", u"Normal", 4));
    EXPECT_NE(list.Attributes(u"x", u"", u"Header", 4), list.Attributes(u"x", u"", u"Normal", 4));
}

TEST(ButtonFamilies, RegisteringTheSameNameReplaces) {
    TButtonFamilyList list;
    auto first = std::make_shared<TRecordingFamily>();
    auto second = std::make_shared<TRecordingFamily>();
    list.Register(first);
    list.Register(second);
    (void)list.Attributes(u"Moravel", u"Primary", u"Outline", 0);
    EXPECT_EQ(first->LastAppearance, u"");
    EXPECT_EQ(second->LastAppearance, u"Outline");
}

} // namespace
} // namespace zx
