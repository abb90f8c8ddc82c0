// The theme helper under Wine: the owner check, the hook in front of the window procedure
// and its removal, the accent line's place and colour through size and activation changes,
// the borderless case, and the switch into and out of high contrast.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "ToolkitTestSupport.h"
#include "kit/MoravelButtonStyles.h"
#include "kit/ThemeColors.h"
#include "platform/ui/HighContrast.h"
#include "platform/win32/ui/Shape.h"
#include "platform/win32/ui/StyledButton.h"
#include "platform/win32/ui/ThemeHelper.h"

namespace zx {
namespace {

using test::PaintedPixels;

// A top-level window of the given style that counts the messages reaching its own procedure.
class TTestForm final : public TWindowBase {
public:
    explicit TTestForm(DWORD style) {
        RegisterWindowClass(L"ZxThemeTestForm", 0, IDC_ARROW);
        // Never shown: a visible top-level window costs seconds under Xvfb.
        CreateHandle(0, L"ZxThemeTestForm", L"form", style, 0, 0, 400, 300, nullptr, 0);
    }
    int Seen(UINT message) const {
        int count = 0;
        for (const UINT m : FMessages) count += m == message;
        return count;
    }

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        FMessages.push_back(message);
        return TWindowBase::HandleMessage(message, wParam, lParam);
    }
    std::vector<UINT> FMessages;
};

// The switch that Wine cannot flip for real.
class TSwitchableContrast final : public IHighContrastQuery {
public:
    bool HighContrastOn() const override { return On; }
    bool On = false;
};

COLORREF Ref(TColor color) {
    return ToColorRef(color);
}

TColor SystemColor(int index) {
    const COLORREF value = ::GetSysColor(index);
    return TColor{GetRValue(value), GetGValue(value), GetBValue(value)};
}

LONG_PTR WindowProcedure(HWND window) {
    return ::GetWindowLongPtrW(window, GWLP_WNDPROC);
}

RECT PlaceInParent(HWND child) {
    RECT r;
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int ClientWidth(HWND window) {
    RECT client;
    ::GetClientRect(window, &client);
    return client.right;
}

void ResizeClient(HWND window, int width, int height) {
    RECT frame{0, 0, width, height};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE)), FALSE, 0);
    ::SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

class ThemeHelper : public ::testing::Test {
protected:
    TTestForm Form{WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX};
    TSwitchableContrast Contrast;
};

TEST_F(ThemeHelper, OwnerMustBeATopLevelWindow) {
    const HWND child = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, Form.Handle(), nullptr,
                                         ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(child, nullptr);
    const LONG_PTR procedure = WindowProcedure(child);
    for (const HWND owner : {child, static_cast<HWND>(nullptr)}) {
        try {
            TThemeHelper helper(owner, kThemeAccent, Contrast);
            ADD_FAILURE() << "no error for a window that is no form";
        } catch (const std::invalid_argument& error) {
            EXPECT_STREQ(error.what(), "TThemeHelper Owner must be a TForm");
        }
    }
    // Nothing else happened: no hook, no line.
    EXPECT_EQ(WindowProcedure(child), procedure);
    EXPECT_EQ(::GetWindow(child, GW_CHILD), nullptr);
    EXPECT_EQ(::GetWindow(Form.Handle(), GW_CHILD), child) << "the only child of the form";
}

TEST_F(ThemeHelper, HooksInFrontAndGivesTheProcedureBack) {
    const LONG_PTR original = WindowProcedure(Form.Handle());
    {
        TThemeHelper helper(Form.Handle(), kThemeAccent, Contrast);
        EXPECT_NE(WindowProcedure(Form.Handle()), original);
        // Every message, those the helper acts on included, still reaches the form.
        ::SendMessageW(Form.Handle(), WM_ACTIVATE, WA_INACTIVE, 0);
        ::SendMessageW(Form.Handle(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(400, 300));
        ::SendMessageW(Form.Handle(), WM_USER + 5, 0, 0);
        EXPECT_EQ(Form.Seen(WM_ACTIVATE), 1);
        EXPECT_GE(Form.Seen(WM_SIZE), 1);
        EXPECT_EQ(Form.Seen(WM_USER + 5), 1);
        EXPECT_THROW(TThemeHelper(Form.Handle(), kThemeAccent, Contrast), std::logic_error) << "one helper per window";
    }
    EXPECT_EQ(WindowProcedure(Form.Handle()), original);
    // The line belongs to the form and stays.
    EXPECT_NE(::GetWindow(Form.Handle(), GW_CHILD), nullptr);
    // A new helper can theme the window again.
    TThemeHelper again(Form.Handle(), kThemeAccent, Contrast);
    EXPECT_NE(WindowProcedure(Form.Handle()), original);
}

TEST_F(ThemeHelper, AccentLineFollowsSizeAndActivation) {
    TThemeHelper helper(Form.Handle(), kThemeAccent, Contrast);
    const HWND line = helper.Line();
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(::GetParent(line), Form.Handle());
    EXPECT_NE(::GetWindowLongPtrW(line, GWL_STYLE) & WS_VISIBLE, 0);
    EXPECT_EQ(::GetWindow(Form.Handle(), GW_CHILD), line) << "on top of the form's other children";
    RECT place = PlaceInParent(line);
    EXPECT_EQ(place.left, 0);
    EXPECT_EQ(place.top, 0);
    EXPECT_EQ(place.right, ClientWidth(Form.Handle()));
    EXPECT_EQ(place.bottom, 2);

    const COLORREF accent = Ref(kThemeAccent);
    const COLORREF gray = ::GetSysColor(COLOR_GRAYTEXT);
    ASSERT_NE(accent, gray);
    const std::vector<POINT> corners{{0, 0}, {ClientWidth(Form.Handle()) - 1, 1}};
    EXPECT_EQ(PaintedPixels(line, corners), (std::vector<COLORREF>{accent, accent})) << "active-coloured from creation";

    ::SendMessageW(Form.Handle(), WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(PaintedPixels(line, corners), (std::vector<COLORREF>{gray, gray}));

    // A resize keeps the current colour and the full width.
    const int before = ClientWidth(Form.Handle());
    ResizeClient(Form.Handle(), 250, 120);
    ASSERT_NE(ClientWidth(Form.Handle()), before);
    place = PlaceInParent(line);
    EXPECT_EQ(place.right, ClientWidth(Form.Handle()));
    EXPECT_EQ(place.bottom, 2);
    EXPECT_EQ(ShapeColor(line), SystemColor(COLOR_GRAYTEXT));

    for (const WPARAM activation : {WA_ACTIVE, WA_CLICKACTIVE}) {
        ::SendMessageW(Form.Handle(), WM_ACTIVATE, WA_INACTIVE, 0);
        ::SendMessageW(Form.Handle(), WM_ACTIVATE, activation, 0);
        EXPECT_EQ(PaintedPixels(line, {{0, 0}, {ClientWidth(Form.Handle()) - 1, 1}}),
                  (std::vector<COLORREF>{accent, accent}))
            << activation;
    }
    ResizeClient(Form.Handle(), 480, 200);
    EXPECT_EQ(PlaceInParent(line).right, ClientWidth(Form.Handle()));
    EXPECT_EQ(ShapeColor(line), kThemeAccent);
}

TEST(ThemeHelperBorderless, LineStaysHiddenAlsoAfterResizing) {
    TTestForm form(WS_POPUP);
    TSwitchableContrast contrast;
    TThemeHelper helper(form.Handle(), kThemeAccent, contrast);
    ASSERT_NE(helper.Line(), nullptr);
    EXPECT_EQ(::GetWindowLongPtrW(helper.Line(), GWL_STYLE) & WS_VISIBLE, 0);
    ResizeClient(form.Handle(), 300, 200);
    ::SendMessageW(form.Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(::GetWindowLongPtrW(helper.Line(), GWL_STYLE) & WS_VISIBLE, 0);
    EXPECT_EQ(PlaceInParent(helper.Line()).right, ClientWidth(form.Handle())) << "still laid out, only hidden";
}

TEST(ThemeHelperLifetime, FormDestroyedFirst) {
    TSwitchableContrast contrast;
    auto form = std::make_unique<TTestForm>(WS_OVERLAPPEDWINDOW);
    TThemeHelper helper(form->Handle(), kThemeAccent, contrast);
    form.reset(); // destroys the window under the hooked procedure
    EXPECT_EQ(helper.Line(), nullptr);
    // The helper's end touches nothing that is gone (a crash here would end the test program).
}

// A second hook installed after the helper's, as another component might.
WNDPROC gLaterNext = nullptr;
int gLaterSeen = 0;
LRESULT CALLBACK LaterHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER + 7) ++gLaterSeen;
    return ::CallWindowProcW(gLaterNext, window, message, wParam, lParam);
}

TEST_F(ThemeHelper, LaterHookKeepsWorkingWhenTheHelperGoesFirst) {
    auto helper = std::make_unique<TThemeHelper>(Form.Handle(), kThemeAccent, Contrast);
    gLaterSeen = 0;
    gLaterNext = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(Form.Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LaterHook)));
    helper.reset();
    EXPECT_EQ(WindowProcedure(Form.Handle()), reinterpret_cast<LONG_PTR>(&LaterHook)) << "not cut out of the chain";
    ::SendMessageW(Form.Handle(), WM_USER + 7, 0, 0);
    ::SendMessageW(Form.Handle(), WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_EQ(gLaterSeen, 1);
    EXPECT_EQ(Form.Seen(WM_USER + 7), 1) << "the form still gets its messages";
    ::SetWindowLongPtrW(Form.Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gLaterNext));
}

TEST_F(ThemeHelper, HighContrastSwitchRecoloursLineAndButtons) {
    TButtonFamilyList families;
    families.Register(std::make_shared<TMoravelButtonStyles>());
    const auto sets = families.Attributes(u"Moravel", u"Primary", u"Header", 4);
    TStyledButtonWindow button(Form.Handle(), 11, L"Button", RECT{10, 10, 80, 40}, true, sets, 0);
    TThemeHelper helper(Form.Handle(), kThemeAccent, Contrast);
    const HWND line = helper.Line();
    const std::vector<POINT> points{{4, 15}, {0, 15}}; // inside clear of the caption, left edge

    const TSystemColors system{SystemColor(COLOR_BTNFACE), SystemColor(COLOR_BTNTEXT), SystemColor(COLOR_HIGHLIGHT),
                               SystemColor(COLOR_GRAYTEXT)};
    const auto contrastSets = HighContrastAttributes(sets, system);
    // The scheme must differ from the family where the test looks, or it would prove nothing.
    ASSERT_NE(system.Highlight, kThemeAccent);
    ASSERT_NE(contrastSets.Normal.ButtonColor, kColorWhite);
    ASSERT_NE(contrastSets.Pressed.ButtonColor, sets.Pressed.ButtonColor);

    const auto familyLook = [&] {
        EXPECT_EQ(PaintedPixels(line, {{0, 0}})[0], Ref(kThemeAccent));
        EXPECT_EQ(PaintedPixels(button.Handle(), points),
                  (std::vector<COLORREF>{Ref(kColorWhite), Ref(sets.Normal.BorderColor)}));
        button.SetDown(true);
        EXPECT_EQ(PaintedPixels(button.Handle(), points)[0], Ref(sets.Pressed.ButtonColor));
        button.SetDown(false);
    };
    familyLook();

    // Into high contrast: the system's colours, after the messages the system sends.
    for (const UINT change : {WM_SYSCOLORCHANGE, WM_SETTINGCHANGE}) {
        Contrast.On = true;
        ::SendMessageW(Form.Handle(), change, change == WM_SETTINGCHANGE ? SPI_SETHIGHCONTRAST : 0, 0);
        EXPECT_EQ(PaintedPixels(line, {{0, 0}})[0], Ref(system.Highlight)) << change;
        EXPECT_EQ(PaintedPixels(button.Handle(), points),
                  (std::vector<COLORREF>{Ref(system.ButtonFace), Ref(system.ButtonText)}))
            << change;
        button.SetDown(true);
        EXPECT_EQ(PaintedPixels(button.Handle(), points)[0], Ref(system.ButtonText)) << "pressed: swapped";
        button.SetDown(false);
        ::SendMessageW(Form.Handle(), WM_ACTIVATE, WA_INACTIVE, 0);
        EXPECT_EQ(PaintedPixels(line, {{0, 0}})[0], Ref(system.GrayText));
        ::SendMessageW(Form.Handle(), WM_ACTIVATE, WA_ACTIVE, 0);

        // And out again: the family's colours stand as written.
        Contrast.On = false;
        ::SendMessageW(Form.Handle(), change, change == WM_SETTINGCHANGE ? SPI_SETHIGHCONTRAST : 0, 0);
        familyLook();
    }
}

TEST_F(ThemeHelper, HighContrastAtCreationAppliesAtOnce) {
    Contrast.On = true;
    TButtonFamilyList families;
    TStyledButtonWindow button(Form.Handle(), 11, L"Button", RECT{10, 10, 80, 40}, true,
                               families.Attributes(u"Moravel", u"Primary", u"Outline", 6), 0);
    TThemeHelper helper(Form.Handle(), kThemeAccent, Contrast);
    EXPECT_EQ(PaintedPixels(helper.Line(), {{0, 0}})[0], ::GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(PaintedPixels(button.Handle(), {{6, 15}})[0], ::GetSysColor(COLOR_BTNFACE));
}

// The main window makes some controls after its first frame, long after the helper began.
TEST_F(ThemeHelper, ButtonsMadeLaterTakeHighContrastWhenAdded) {
    TButtonFamilyList families;
    const auto sets = families.Attributes(u"Moravel", u"Primary", u"Outline", 6);
    ASSERT_NE(Ref(sets.Normal.ButtonColor), ::GetSysColor(COLOR_BTNFACE)) << "the test would prove nothing";
    for (const bool highContrast : {true, false}) {
        Contrast.On = highContrast;
        TThemeHelper helper(Form.Handle(), kThemeAccent, Contrast);
        const HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100, Form.Handle(),
                                            nullptr, nullptr, nullptr);
        TStyledButtonWindow button(parent, 11, L"Button", RECT{10, 10, 80, 40}, true, sets, 0);
        helper.ControlsAdded();
        EXPECT_EQ(PaintedPixels(button.Handle(), {{6, 15}})[0],
                  highContrast ? ::GetSysColor(COLOR_BTNFACE) : Ref(sets.Normal.ButtonColor))
            << "high contrast " << highContrast;
        ::DestroyWindow(parent);
    }
}

} // namespace
} // namespace zx
