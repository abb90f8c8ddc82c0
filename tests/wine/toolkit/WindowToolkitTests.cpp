// The window toolkit under Wine: the window base, the styled button's clicks, group and
// state answers, the busy indicator's timer, the rich label's text, derived font faces,
// a window's size and place at its DPI.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "ToolkitTestSupport.h"
#include "platform/win32/Handles.h"
#include "platform/win32/ui/ActivityIndicator.h"
#include "platform/win32/ui/Gdi.h"
#include "platform/win32/ui/GdiPlus.h"
#include "platform/win32/ui/RichLabel.h"
#include "platform/win32/ui/StyledButton.h"
#include "platform/win32/ui/WindowBase.h"
#include "platform/win32/ui/WindowGeometry.h"

namespace zx {
namespace {

using test::PaintedPixels;
using test::PumpFor;
using test::TRecordingParent;

std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

std::unique_ptr<TStyledButtonWindow> MakeButton(HWND parent, int id, int group, int left = 0) {
    TButtonFamilyList families;
    return std::make_unique<TStyledButtonWindow>(parent, id, L"Button", RECT{left, 0, left + 70, 30}, true,
                                                 families.Attributes(u"Moravel", u"Primary", u"Header", 4), group);
}

class StyledButton : public ::testing::Test {
protected:
    TRecordingParent Parent;
    std::unique_ptr<TStyledButtonWindow> Button = MakeButton(Parent.Handle(), 7, 0);
    HWND Handle() const { return Button->Handle(); }
    int Clicks() const {
        int count = 0;
        for (const auto& c : Parent.Commands) count += (c.Id == 7 && c.Code == BN_CLICKED);
        return count;
    }
};

TEST_F(StyledButton, ClicksReachTheParentAsBnClicked) {
    struct TCase {
        const char* Name;
        std::function<void(HWND)> Act;
        int ExpectedClicks;
    } const cases[] = {
        {"BM_CLICK", [](HWND h) { ::SendMessageW(h, BM_CLICK, 0, 0); }, 1},
        {"press and release inside",
         [](HWND h) {
             ::SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
             ::SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(6, 6));
         },
         1},
        {"released outside",
         [](HWND h) {
             ::SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
             ::SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(300, 200));
         },
         0},
        {"release without press", [](HWND h) { ::SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(5, 5)); }, 0},
        {"space down and up",
         [](HWND h) {
             ::SendMessageW(h, WM_KEYDOWN, VK_SPACE, 0);
             ::SendMessageW(h, WM_KEYUP, VK_SPACE, 0);
         },
         1},
        {"enter", [](HWND h) { ::SendMessageW(h, WM_KEYDOWN, VK_RETURN, 0); }, 1},
        {"other key", [](HWND h) { ::SendMessageW(h, WM_KEYDOWN, 'A', 0); }, 0},
    };
    for (const auto& c : cases) {
        Parent.Commands.clear();
        c.Act(Handle());
        EXPECT_EQ(Clicks(), c.ExpectedClicks) << c.Name;
    }
}

TEST_F(StyledButton, DisabledButtonDoesNotClick) {
    ::EnableWindow(Handle(), FALSE);
    ::SendMessageW(Handle(), BM_CLICK, 0, 0);
    ::SendMessageW(Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageW(Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ::SendMessageW(Handle(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(Clicks(), 0);
    ::EnableWindow(Handle(), TRUE);
    ::SendMessageW(Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(Clicks(), 1);
}

TEST_F(StyledButton, StateAnswersShowThePressedLook) {
    EXPECT_EQ(::SendMessageW(Handle(), BM_GETSTATE, 0, 0) & (BST_PUSHED | BST_CHECKED), 0);
    Button->SetDown(true);
    EXPECT_EQ(::SendMessageW(Handle(), BM_GETSTATE, 0, 0) & (BST_PUSHED | BST_CHECKED), BST_PUSHED | BST_CHECKED);
    EXPECT_EQ(::SendMessageW(Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    ::SendMessageW(Handle(), BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_FALSE(Button->Down());
    // A click of an ungrouped button does not press it for good.
    ::SendMessageW(Handle(), BM_CLICK, 0, 0);
    EXPECT_FALSE(Button->Down());
    // Focus is reported too.
    ::SetFocus(Handle());
    EXPECT_NE(::SendMessageW(Handle(), BM_GETSTATE, 0, 0) & BST_FOCUS, 0);
}

TEST_F(StyledButton, EnterIsTheButtonsInTheDialogKeys) {
    // Enter reaches the focused button through the dialog manager; Tab does not.
    MSG enter{Handle(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    const auto enterCode = ::SendMessageW(Handle(), WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter));
    EXPECT_NE(enterCode & DLGC_WANTMESSAGE, 0);
    EXPECT_NE(enterCode & DLGC_BUTTON, 0);
    MSG tab{Handle(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_EQ(::SendMessageW(Handle(), WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&tab)) & DLGC_WANTMESSAGE, 0);
}

// GDI+ starts at the first drawing, in the tests as in the program.

TEST_F(StyledButton, PaintsTheAttributeSetOfItsState) {
    // Fill colour inside the edge (clear of the caption) and the border on all four sides,
    // the right and bottom edges included: they lie on the last pixel column and row.
    TButtonFamilyList families;
    const auto sets = families.Attributes(u"Moravel", u"Primary", u"Header", 4);
    const std::vector<POINT> points{{4, 15}, {0, 15}, {69, 15}, {35, 0}, {35, 29}};
    const auto normal = PaintedPixels(Handle(), points);
    EXPECT_EQ(normal[0], ToColorRef(sets.Normal.ButtonColor));
    for (std::size_t i = 1; i < points.size(); ++i)
        EXPECT_EQ(normal[i], ToColorRef(sets.Normal.BorderColor)) << "border point " << i;

    Button->SetDown(true);
    const auto pressed = PaintedPixels(Handle(), points);
    EXPECT_EQ(pressed[0], ToColorRef(sets.Pressed.ButtonColor));
    EXPECT_EQ(pressed[2], ToColorRef(sets.Pressed.BorderColor));

    Button->SetDown(false);
    ::EnableWindow(Handle(), FALSE);
    EXPECT_EQ(PaintedPixels(Handle(), points)[1], ToColorRef(sets.Disabled.BorderColor));
}

TEST(StyledButtonGroup, OnePressedAtATime) {
    TRecordingParent parent;
    auto first = MakeButton(parent.Handle(), 1, 1, 0);
    auto second = MakeButton(parent.Handle(), 2, 1, 70);
    auto third = MakeButton(parent.Handle(), 3, 1, 140);
    auto loner = MakeButton(parent.Handle(), 4, 0, 210);
    loner->SetDown(true);
    first->SetDown(true);
    second->SetDown(true);
    EXPECT_FALSE(first->Down());
    EXPECT_TRUE(second->Down());
    EXPECT_TRUE(loner->Down()) << "another group is not touched";
    ::SendMessageW(third->Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(third->Down()) << "a click presses a grouped button";
    EXPECT_FALSE(second->Down());
    ASSERT_EQ(parent.Commands.size(), 1u);
    EXPECT_EQ(parent.Commands[0].Id, 3);
    second->SetDown(false);
    EXPECT_TRUE(third->Down()) << "releasing one leaves the others";
}

TEST(ActivityIndicator, TimerRunsOnlyWhileActive) {
    TRecordingParent parent;
    TActivityIndicatorWindow indicator(parent.Handle(), 9, RECT{10, 10, 42, 42});
    EXPECT_FALSE(test::HasStyle(indicator.Handle(), WS_VISIBLE));
    PumpFor(200);
    EXPECT_EQ(indicator.Frame(), 0) << "no timer while idle";

    indicator.SetActive(true);
    EXPECT_TRUE(test::HasStyle(indicator.Handle(), WS_VISIBLE));
    EXPECT_TRUE(test::PumpUntil([&] { return indicator.Frame() >= 3; }));

    indicator.SetActive(false);
    EXPECT_FALSE(test::HasStyle(indicator.Handle(), WS_VISIBLE));
    EXPECT_FALSE(indicator.Active());
    const int frame = indicator.Frame();
    PumpFor(200);
    EXPECT_EQ(indicator.Frame(), frame) << "the timer is gone";
    // The frame timer no longer exists at all.
    EXPECT_FALSE(::KillTimer(indicator.Handle(), 1));
}

TEST(RichLabel, WindowTextIsThePlainText) {
    TRecordingParent parent;
    TRichLabelWindow label(parent.Handle(), 5, RECT{0, 0, 300, 33}, true);
    const std::u16string markup = u"<C><FC:clGray><B>게임 반응 속도</B>를 손쉽게 향상 시킵니다.</FC></C>";
    label.SetMarkup(markup);
    EXPECT_EQ(TextOf(label.Handle()), L"게임 반응 속도를 손쉽게 향상 시킵니다.");
    EXPECT_EQ(label.Markup(), markup);
    ::SetWindowTextW(label.Handle(), L"a<B>b</B>");
    EXPECT_EQ(TextOf(label.Handle()), L"ab");
    EXPECT_EQ(label.Markup(), u"a<B>b</B>");
    ::UpdateWindow(label.Handle()); // paints without failing
}

class TProbeWindow final : public TWindowBase {
public:
    explicit TProbeWindow(HWND parent) {
        RegisterWindowClass(L"ZxTestProbe", 0, IDC_ARROW);
        CreateHandle(0, L"ZxTestProbe", L"", WS_CHILD, 0, 0, 10, 10, parent, 3);
    }
    int Destroyed = 0;

private:
    void WindowDestroyed() override { ++Destroyed; }
};

TEST(WindowBase, ObjectAndWindowFollowEachOther) {
    TRecordingParent parent;
    HWND window = nullptr;
    {
        TProbeWindow probe(parent.Handle());
        window = probe.Handle();
        EXPECT_EQ(TWindowBase::FromHandle(window), &probe);
        EXPECT_EQ(TWindowBase::FromHandle(parent.Handle()), &parent);
    }
    EXPECT_FALSE(::IsWindow(window)) << "the object destroyed its window";

    TProbeWindow probe(parent.Handle());
    ::DestroyWindow(probe.Handle());
    EXPECT_EQ(probe.Handle(), nullptr);
    EXPECT_EQ(probe.Destroyed, 1);
    // A window that is not ours has no object.
    HWND plain = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 1, 1, parent.Handle(), nullptr, nullptr, nullptr);
    EXPECT_EQ(TWindowBase::FromHandle(plain), nullptr);
    // Nor is whatever such a window keeps in GWLP_USERDATA taken for one.
    ::SetWindowLongPtrW(plain, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&parent));
    EXPECT_EQ(TWindowBase::FromHandle(plain), nullptr);
    // A hook in front of our procedure (as the theme helper's) leaves the window ours.
    TProbeWindow hooked(parent.Handle());
    const LONG_PTR procedure =
        ::SetWindowLongPtrW(hooked.Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&::DefWindowProcW));
    EXPECT_EQ(TWindowBase::FromHandle(hooked.Handle()), &hooked);
    ::SetWindowLongPtrW(hooked.Handle(), GWLP_WNDPROC, procedure);
}

TEST(DerivedFont, MadeOncePerFontItComesFrom) {
    const auto height = [](HFONT font) {
        LOGFONTW face{};
        ::GetObjectW(font, sizeof(face), &face);
        return face.lfHeight;
    };
    const auto weight = [](HFONT font) {
        LOGFONTW face{};
        ::GetObjectW(font, sizeof(face), &face);
        return face.lfWeight;
    };
    LOGFONTW base{};
    base.lfHeight = -15;
    base.lfWeight = FW_NORMAL;
    const TUniqueFont small(::CreateFontIndirectW(&base));
    base.lfHeight = -22;
    const TUniqueFont large(::CreateFontIndirectW(&base));

    TDerivedFont bold([](LOGFONTW& face) { face.lfWeight = FW_BOLD; });
    const HFONT first = bold.From(small.get());
    ASSERT_NE(first, small.get());
    EXPECT_EQ(weight(first), FW_BOLD);
    EXPECT_EQ(height(first), -15) << "only the one change is made";
    EXPECT_EQ(bold.From(small.get()), first) << "kept while the font stays";
    const HFONT second = bold.From(large.get());
    EXPECT_EQ(height(second), -22) << "made again for another font";
    EXPECT_EQ(weight(second), FW_BOLD);
}

// A top-level window of the given styles, never shown (showing costs seconds under Xvfb).
struct TTopLevel {
    HWND Handle;
    TTopLevel(DWORD style, DWORD exStyle)
        : Handle(
              ::CreateWindowExW(exStyle, L"STATIC", L"", style, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr)) {}
    ~TTopLevel() { ::DestroyWindow(Handle); }
    TTopLevel(const TTopLevel&) = delete;
    TTopLevel& operator=(const TTopLevel&) = delete;
};

TEST(WindowGeometry, ClientAreaComesOutExactlyAtAnyDpi) {
    // The frame Wine draws follows the system DPI, not the one asked for: only the
    // correction by the measured client area makes 144 DPI come out right.
    struct TCase {
        const char* Name;
        DWORD Style, ExStyle;
    } const cases[] = {
        {"main window", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, WS_EX_APPWINDOW},
        {"modal dialog frame", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_DLGMODALFRAME},
    };
    for (const auto& c : cases) {
        for (const int dpi : {96, 144}) {
            const TTopLevel window(c.Style, c.ExStyle);
            ASSERT_NE(window.Handle, nullptr) << c.Name;
            SetClientSizeForDpi(window.Handle, 747, 639, POINT{40, 30}, dpi);
            RECT client{};
            ::GetClientRect(window.Handle, &client);
            RECT outer{};
            ::GetWindowRect(window.Handle, &outer);
            EXPECT_EQ(client.right, 747) << c.Name << " at " << dpi;
            EXPECT_EQ(client.bottom, 639) << c.Name << " at " << dpi;
            EXPECT_EQ(outer.left, 40) << c.Name << " at " << dpi;
            EXPECT_EQ(outer.top, 30) << c.Name << " at " << dpi;
        }
    }
}

TEST(WindowGeometry, CentresInTheAreaAndKeepsALargerWindowsCornerInside) {
    struct TCase {
        const char* Name;
        int Width, Height;
        POINT Expected;
    } const cases[] = {
        {"smaller", 300, 200, {100 + 350, 50 + 300}},
        {"odd width rounds down", 301, 201, {100 + 349, 50 + 299}},
        {"exactly the area", 1000, 800, {100, 50}},
        {"larger: the title bar stays reachable", 1200, 900, {100, 50}},
    };
    const RECT area{100, 50, 1100, 850};
    for (const auto& c : cases) {
        const TTopLevel window(WS_POPUP | WS_CAPTION, 0);
        ::SetWindowPos(window.Handle, nullptr, 7, 9, c.Width, c.Height, SWP_NOZORDER | SWP_NOACTIVATE);
        CentreWindowIn(window.Handle, area);
        RECT place{};
        ::GetWindowRect(window.Handle, &place);
        EXPECT_EQ(place.left, c.Expected.x) << c.Name;
        EXPECT_EQ(place.top, c.Expected.y) << c.Name;
        EXPECT_EQ(place.right - place.left, c.Width) << c.Name << ": the size is kept";
        EXPECT_EQ(place.bottom - place.top, c.Height) << c.Name << ": the size is kept";
    }
}

TEST(WindowGeometry, DpiAndMonitorHaveNeutralAnswers) {
    const TTopLevel window(WS_POPUP | WS_CAPTION, 0);
    const auto system = static_cast<int>(::GetDpiForWindow(window.Handle));
    EXPECT_EQ(WindowDpi(window.Handle), system > 0 ? system : 96);
    EXPECT_EQ(WindowDpi(nullptr), 96) << "no window: the design DPI";

    const auto primary = MonitorOf(nullptr, MONITOR_DEFAULTTOPRIMARY);
    ASSERT_TRUE(primary.has_value());
    EXPECT_EQ(primary->rcMonitor.left, 0);
    EXPECT_EQ(primary->rcMonitor.top, 0);
    const auto nearest = MonitorOf(window.Handle, MONITOR_DEFAULTTONEAREST);
    ASSERT_TRUE(nearest.has_value());
    EXPECT_LE(nearest->rcMonitor.left, nearest->rcWork.left);
    EXPECT_GT(nearest->rcWork.right - nearest->rcWork.left, 0);

    ::SetWindowPos(window.Handle, nullptr, -30000, -30000, 50, 50, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_FALSE(MonitorOf(window.Handle, MONITOR_DEFAULTTONULL).has_value()) << "on no monitor: none";
}

} // namespace
} // namespace zx
