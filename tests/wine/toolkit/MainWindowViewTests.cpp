// The main window's view under Wine: controls made from the table, places at each DPI,
// fonts, cards, the header group, keyboard, errors at dispatch, the UI-thread hand-over.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <exception>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "ToolkitTestSupport.h"
#include "app/MainForm.h"
#include "app/win32/MainWindow.h"
#include "kit/Translation.h"
#include "platform/PlatformError.h"
#include "platform/ui/DpiScale.h"
#include "platform/ui/FontFit.h"
#include "resources/EmbeddedData.h"

namespace zx {
namespace {

using enum TControlId;

struct TFind {
    int Id;
    HWND Found;
};

HWND Control(HWND window, TControlId id) {
    TFind find{static_cast<int>(id), nullptr};
    ::EnumChildWindows(
        window,
        [](HWND child, LPARAM data) -> BOOL {
            auto* f = reinterpret_cast<TFind*>(data);
            if (::GetDlgCtrlID(child) != f->Id) return TRUE;
            f->Found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&find));
    return find.Found;
}

std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

int FontHeight(HWND control) {
    LOGFONTW lf{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
    return std::abs(static_cast<int>(lf.lfHeight));
}

// Closes the next message box of this process from another thread and keeps its text.
class TMessageBoxCloser {
public:
    TMessageBoxCloser()
        : FThread([this] {
              // Steps under Xvfb can take seconds: poll instead of waiting a fixed time.
              for (int i = 0; i < 1500 && !FDone; ++i) {
                  HWND box = ::FindWindowW(L"#32770", nullptr);
                  const std::wstring text = box ? TextOf(::GetDlgItem(box, 0xFFFF)) : std::wstring();
                  if (!text.empty()) {
                      Text = text;
                      ::PostMessageW(box, WM_COMMAND, IDOK, 0);
                      return;
                  }
                  ::Sleep(10);
              }
          }) {}
    ~TMessageBoxCloser() {
        FDone = true;
        FThread.join();
    }
    std::wstring Text;

private:
    std::atomic<bool> FDone{false};
    std::thread FThread;
};

// The window of an earlier test posted WM_QUIT when it was destroyed (it ends the
// program's loop); left in this thread's queue it would end the next message box at once.
class MainWindowView : public ::testing::Test {
protected:
    void SetUp() override {
        Window.Open({[this] { ++Creates; }, [this](TControlId id) { Clicked(id); }, [this] { ++Activations; }},
                    SW_SHOWNORMAL);
        ASSERT_NE(Window.Handle(), nullptr);
    }
    void Clicked(TControlId id) {
        Clicks.push_back(id);
        if (id == ChkTcpNoDelay) CheckedAtClick = Window.IsChecked(id);
        if (ThrowOnClick) throw TPlatformError("RegOpenKeyExW", 5);
    }
    HWND Get(TControlId id) const { return Control(Window.Handle(), id); }

    TButtonFamilyList Families;
    TMainWindow Window{Families};
    int Creates = 0;
    int Activations = 0;
    std::vector<TControlId> Clicks;
    bool CheckedAtClick = false;
    bool ThrowOnClick = false;
};

// Each control sits where the table puts it, scaled for the DPI, in its parent's client area.
void ExpectTableLayout(HWND window, int dpi) {
    for (const auto& spec : ControlTable()) {
        if (spec.Id == FrmZephyrix) continue;
        const HWND control = Control(window, spec.Id);
        ASSERT_NE(control, nullptr) << static_cast<int>(spec.Id);
        const HWND parent = spec.Parent == FrmZephyrix ? window : Control(window, spec.Parent);
        EXPECT_EQ(::GetParent(control), parent) << static_cast<int>(spec.Id);
        RECT r;
        ::GetWindowRect(control, &r);
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        const TBox expected = ScaleBox({spec.Place.Left, spec.Place.Top, spec.Place.Width, spec.Place.Height}, dpi);
        EXPECT_EQ((TBox{r.left, r.top, r.right - r.left, r.bottom - r.top}), expected)
            << static_cast<int>(spec.Id) << " at " << dpi;
    }
    RECT client;
    ::GetClientRect(window, &client);
    EXPECT_EQ(client.right, ScaleForDpi(kClientWidth96, dpi));
    EXPECT_EQ(client.bottom, ScaleForDpi(kClientHeight96, dpi));
}

TEST_F(MainWindowView, MadeFromTheTable) {
    EXPECT_EQ(Creates, 1);
    wchar_t className[64] = {};
    ::GetClassNameW(Window.Handle(), className, 64);
    EXPECT_STREQ(className, L"TFrmZephyrix");
    EXPECT_TRUE(::IsWindowVisible(Window.Handle()));
    const LONG_PTR style = ::GetWindowLongPtrW(Window.Handle(), GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX), WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
    ExpectTableLayout(Window.Handle(), Window.Dpi());
    // Centred on its monitor's work area (to the pixel: odd sizes round down).
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ASSERT_TRUE(::GetMonitorInfoW(::MonitorFromWindow(Window.Handle(), MONITOR_DEFAULTTONEAREST), &monitor));
    RECT place;
    ::GetWindowRect(Window.Handle(), &place);
    EXPECT_NEAR(place.left + place.right, monitor.rcWork.left + monitor.rcWork.right, 1);
    EXPECT_NEAR(place.top + place.bottom, monitor.rcWork.top + monitor.rcWork.bottom, 1);
    // Designed captions are the window texts until start-up translates them.
    EXPECT_EQ(TextOf(Get(BtnStart)), L"실행하기");
    EXPECT_EQ(TextOf(Get(GroupBox2)), L"네이글 알고리즘 해제");
    EXPECT_EQ(TextOf(Get(ChkTcpNoDelay)), L"TcpNoDelay");
    // Hidden at start: the donation button, the indicator, the second card.
    EXPECT_FALSE(::IsWindowVisible(Get(BtnDonate)));
    EXPECT_FALSE(::IsWindowVisible(Get(Indicator)));
    EXPECT_FALSE(::IsWindowVisible(Get(Card2)));
    EXPECT_TRUE(::IsWindowVisible(Get(BtnStart)));
    EXPECT_NE(::SendMessageW(Get(BtnHome), BM_GETSTATE, 0, 0) & BST_PUSHED, 0) << "Home is pressed at start";
    // One Tab stop into the option boxes: the first.
    EXPECT_TRUE(test::HasStyle(Get(ChkTCPAckFrequency), WS_TABSTOP));
    for (const TControlId box : {ChkTcpDelAckTick, ChkTcpNoDelay, ChkNetworkThrottlingIndex, ChkSystemResponsiveness})
        EXPECT_FALSE(test::HasStyle(Get(box), WS_TABSTOP)) << static_cast<int>(box);
}

// The icon the system shows for a window: its own, or else its class's.
HICON ShownIcon(HWND window, WPARAM which) {
    if (auto own = reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, which, 0))) return own;
    return reinterpret_cast<HICON>(::GetClassLongPtrW(window, which == ICON_BIG ? GCLP_HICON : GCLP_HICONSM));
}

// The program's icon (resource 1) in the size of the metrics at this DPI; shared icons of
// one resource and size are one handle.
HICON ProgramIcon(int widthMetric, int heightMetric, int dpi) {
    const auto size = [dpi](int metric) { return ::GetSystemMetricsForDpi(metric, static_cast<UINT>(dpi)); };
    return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON,
                                           size(widthMetric), size(heightMetric), LR_SHARED));
}

TEST_F(MainWindowView, ShowsTheProgramIconSizedForItsDpi) {
    // At the system's DPI the window shows the icons its class carries; at another it
    // needs its own, and keeps them when it comes back.
    const int system = static_cast<int>(::GetDpiForSystem());
    for (const int dpi : {system, 144, system}) {
        RECT suggested{10, 20, 10 + 800, 20 + 700};
        if (dpi != Window.Dpi())
            ::SendMessageW(Window.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        ASSERT_EQ(Window.Dpi(), dpi);
        const HICON big = ProgramIcon(SM_CXICON, SM_CYICON, dpi);
        const HICON small = ProgramIcon(SM_CXSMICON, SM_CYSMICON, dpi);
        ASSERT_NE(big, nullptr);
        ASSERT_NE(small, nullptr);
        EXPECT_EQ(ShownIcon(Window.Handle(), ICON_BIG), big) << "at " << dpi;
        EXPECT_EQ(ShownIcon(Window.Handle(), ICON_SMALL), small) << "at " << dpi;
    }
}

TEST_F(MainWindowView, SiblingsFollowTheTablesOrder) {
    // The order of siblings is the order of Tab and of a screen reader's reading, also for
    // the controls made after the first frame. The card panel alone reorders its cards.
    for (const auto& parent : ControlTable()) {
        if (parent.Id == PnlMain) continue;
        std::vector<TControlId> expected;
        for (const auto& entry : ControlTable())
            if (entry.Parent == parent.Id && entry.Id != FrmZephyrix) expected.push_back(entry.Id);
        std::vector<TControlId> found;
        const HWND parentWindow = parent.Id == FrmZephyrix ? Window.Handle() : Get(parent.Id);
        for (HWND child = ::GetWindow(parentWindow, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            const int id = ::GetDlgCtrlID(child);
            for (const auto& entry : ControlTable())
                if (entry.Id != FrmZephyrix && static_cast<int>(entry.Id) == id) found.push_back(entry.Id);
        }
        EXPECT_EQ(found, expected) << "children of " << static_cast<int>(parent.Id);
    }
}

TEST_F(MainWindowView, DpiChangeRelaysEverythingAndScalesFonts) {
    const int titleAt96 = FontHeight(Get(LblTitle));
    RECT suggested{10, 20, 10 + 800, 20 + 700};
    ::SendMessageW(Window.Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(Window.Dpi(), 144);
    ExpectTableLayout(Window.Handle(), 144);
    EXPECT_EQ(FontHeight(Get(LblTitle)), ScaleForDpi(kTitleFontHeight96, 144));
    EXPECT_GT(FontHeight(Get(LblTitle)), titleAt96);
    RECT frame;
    ::GetWindowRect(Window.Handle(), &frame);
    EXPECT_EQ(frame.left, 10);
    EXPECT_EQ(frame.top, 20);
}

TEST_F(MainWindowView, TitleFontShrinksOnceToFit) {
    Window.FitLabelFont(LblTitle);
    EXPECT_EQ(FontHeight(Get(LblTitle)), ScaleForDpi(kTitleFontHeight96, Window.Dpi())) << "the short title fits";
    Window.SetCaption(LblTitle, u"Zephyrix Zephyrix Zephyrix");
    Window.FitLabelFont(LblTitle);
    const int fitted = FontHeight(Get(LblTitle));
    EXPECT_LT(fitted, ScaleForDpi(kTitleFontHeight96, Window.Dpi()));
    EXPECT_GE(fitted, PixelsFromPoints(kSmallestFittedFontPoints, Window.Dpi()));
    Window.SetCaption(LblTitle, std::u16string(300, u'W'));
    Window.FitLabelFont(LblTitle);
    EXPECT_EQ(FontHeight(Get(LblTitle)), PixelsFromPoints(kSmallestFittedFontPoints, Window.Dpi()))
        << "six points at least";
    EXPECT_NE(FontHeight(Get(BtnStart)), FontHeight(Get(LblTitle))) << "only the title has its own font";
    const int title = FontHeight(Get(LblTitle));
    Window.SetCaption(LblContent, std::u16string(300, u'W'));
    Window.FitLabelFont(LblContent);
    EXPECT_EQ(FontHeight(Get(LblTitle)), title) << "another label leaves the title alone";
}

TEST_F(MainWindowView, ThemeLaysTheAccentLineOverTheHeader) {
    Window.ApplyTheme();
    Window.ApplyTheme(); // a second call changes nothing
    const HWND line = ::GetWindow(Window.Handle(), GW_CHILD);
    wchar_t className[32] = {};
    ::GetClassNameW(line, className, 32);
    ASSERT_STREQ(className, L"ZxShape") << "the line is the topmost child";
    EXPECT_EQ(::FindWindowExW(Window.Handle(), line, L"ZxShape", nullptr), nullptr) << "one line";
    const auto place = [&] {
        RECT r;
        ::GetWindowRect(line, &r);
        ::MapWindowPoints(nullptr, Window.Handle(), reinterpret_cast<POINT*>(&r), 2);
        return TBox{r.left, r.top, r.right - r.left, r.bottom - r.top};
    };
    EXPECT_EQ(place(), (TBox{0, 0, ScaleForDpi(kClientWidth96, Window.Dpi()), ScaleForDpi(2, Window.Dpi())}));
    EXPECT_EQ(test::PaintedPixels(line, {{0, 0}})[0], RGB(0x3D, 0x84, 0xDD));
    // The line follows the window to another DPI, still 2 pixels at 96 DPI.
    RECT suggested{10, 20, 10 + 800, 20 + 700};
    ::SendMessageW(Window.Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(place(), (TBox{0, 0, ScaleForDpi(kClientWidth96, 144), ScaleForDpi(2, 144)}));
    // The dialog keys never land on it.
    HWND at = Get(BtnHome);
    for (int i = 0; i < 5; ++i) {
        at = ::GetNextDlgTabItem(Window.Handle(), at, FALSE);
        EXPECT_NE(at, line);
    }
}

TEST_F(MainWindowView, StyledButtonsKeepTheFontTheStyleGivesThem) {
    const auto faceOf = [](HWND control) {
        LOGFONTW lf{};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
        return std::wstring(lf.lfFaceName);
    };
    LOGFONTW desktop{};
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(desktop), &desktop, 0));
    ASSERT_NE(std::wstring(desktop.lfFaceName), L"Segoe UI") << "the test could not tell the fonts apart";
    Window.UseDesktopFont();
    for (const TControlId button : {BtnHome, BtnConfig, BtnStart}) {
        EXPECT_EQ(faceOf(Get(button)), L"Segoe UI") << static_cast<int>(button);
        EXPECT_EQ(FontHeight(Get(button)), ScaleForDpi(12, Window.Dpi())) << static_cast<int>(button);
    }
    EXPECT_EQ(faceOf(Get(ChkTcpNoDelay)), desktop.lfFaceName) << "the other controls take the desktop font";
}

// The height the label's text needs at the label's width, drawn as the label draws it.
int NeededHeight(HWND label, const std::u16string& text) {
    RECT client{};
    ::GetClientRect(label, &client);
    RECT needed{0, 0, client.right, 0};
    HDC dc = ::GetDC(label);
    const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)));
    ::DrawTextW(dc, reinterpret_cast<const wchar_t*>(text.c_str()), static_cast<int>(text.size()), &needed,
                DT_CALCRECT | DT_WORDBREAK | DT_LEFT | DT_NOPREFIX | DT_EXPANDTABS);
    ::SelectObject(dc, old);
    ::ReleaseDC(label, dc);
    return needed.bottom;
}

TEST_F(MainWindowView, TheAppliedLabelsLongestTextsFitItsBoxInEveryLanguageAtBothScales) {
    // The longest texts: all five set; four set and the shortest name missing while
    // running; none set and all five missing while running.
    const TTweakOptions all{true, true, true, true, true};
    const struct {
        TTweakOptions Applied;
        TStatus Shown;
    } cases[] = {{all, stIdle}, {{true, true, false, true, true}, stRunning}, {{}, stRunning}};
    StartTranslation(EmbeddedTranslationText(), u"en");
    Window.UseDesktopFont();
    const HWND label = Get(LblApplied);
    ASSERT_NE(label, nullptr);
    for (const int dpi : {96, 144}) {
        if (dpi != Window.Dpi()) {
            RECT suggested{0, 0, 900, 800};
            ::SendMessageW(Window.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        }
        RECT box{};
        ::GetClientRect(label, &box);
        // German reads the English lines.
        for (const char16_t* language : {u"ko", u"en", u"ja", u"zh", u"ru", u"it", u"fr"}) {
            SetCurrentLanguage(language);
            for (const auto& c : cases) {
                const std::u16string text = AppliedTweaksText(c.Applied, all, c.Shown);
                Window.SetCaption(LblApplied, text);
                EXPECT_LE(NeededHeight(label, text), box.bottom)
                    << "at " << dpi << " DPI in " << std::string(language, language + 2);
            }
        }
    }
    StopTranslation();
}

TEST_F(MainWindowView, ActivationReachesTheBehaviour) {
    const int before = Activations;
    const HWND other = ::CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 120, 80,
                                         nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    ::SetForegroundWindow(other);
    EXPECT_EQ(Activations, before) << "losing the activation is no activation";
    ::SetForegroundWindow(Window.Handle());
    EXPECT_EQ(Activations, before + 1);
    ::DestroyWindow(other);
}

TEST_F(MainWindowView, ViewOperationsReachTheControls) {
    Window.SetCaption(BtnStart, u"Running");
    EXPECT_EQ(TextOf(Get(BtnStart)), L"Running");
    EXPECT_EQ(Window.GetCaption(BtnStart), u"Running");
    Window.SetCaption(LblContent, u"<C><FC:clGray>Easily <B>fast</B>.</FC></C>");
    EXPECT_EQ(TextOf(Get(LblContent)), L"Easily fast.");
    EXPECT_EQ(Window.GetCaption(LblContent), u"<C><FC:clGray>Easily <B>fast</B>.</FC></C>");
    Window.SetApplicationTitle(u"Zephyrix");
    EXPECT_EQ(TextOf(Window.Handle()), L"Zephyrix");

    Window.SetChecked(ChkTcpNoDelay, true);
    EXPECT_TRUE(Window.IsChecked(ChkTcpNoDelay));
    EXPECT_TRUE(Clicks.empty()) << "setting a box is no click";

    Window.SetEnabled(BtnStart, false);
    EXPECT_FALSE(::IsWindowEnabled(Get(BtnStart)));
    Window.SetEnabled(BtnStart, true);

    Window.SetPressed(BtnConfig, true);
    EXPECT_EQ(::SendMessageW(Get(BtnHome), BM_GETSTATE, 0, 0) & BST_PUSHED, 0) << "one header button at a time";
    EXPECT_NE(::SendMessageW(Get(BtnConfig), BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
    Window.SetPressed(BtnStart, true);
    EXPECT_NE(::SendMessageW(Get(BtnStart), BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
    EXPECT_NE(::SendMessageW(Get(BtnConfig), BM_GETSTATE, 0, 0) & BST_PUSHED, 0)
        << "the Run button is no header button";

    Window.ShowCard(TCard::cdConfig);
    EXPECT_TRUE(::IsWindowVisible(Get(ChkTcpNoDelay)));
    EXPECT_FALSE(::IsWindowVisible(Get(BtnStart)));
    Window.ShowCard(TCard::cdHome);
    EXPECT_FALSE(::IsWindowVisible(Get(ChkTcpNoDelay)));
    EXPECT_TRUE(::IsWindowVisible(Get(BtnStart)));

    Window.SetIndicatorActive(true);
    EXPECT_TRUE(::IsWindowVisible(Get(Indicator)));
    Window.SetIndicatorActive(false);
    EXPECT_FALSE(::IsWindowVisible(Get(Indicator)));
}

TEST_F(MainWindowView, ClicksReachTheBehaviourAndCheckBoxesLeaveTheirTickToIt) {
    for (const TControlId id : {BtnHome, BtnConfig, ImgLogo, BtnStart}) ::SendMessageW(Get(id), BM_CLICK, 0, 0);
    Window.ShowCard(TCard::cdConfig);
    Window.SetChecked(ChkTcpNoDelay, false);
    ::SendMessageW(Get(ChkTcpNoDelay), BM_CLICK, 0, 0);
    EXPECT_EQ(Clicks, (std::vector<TControlId>{BtnHome, BtnConfig, ImgLogo, BtnStart, ChkTcpNoDelay}));
    EXPECT_FALSE(CheckedAtClick) << "the box ticked itself: the behaviour would see a state it did not set";
    EXPECT_FALSE(Window.IsChecked(ChkTcpNoDelay));

    // A double click on a box is two clicks (the box reports the second one on its own).
    Clicks.clear();
    for (const UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        ::SendMessageW(Get(ChkTcpDelAckTick), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(2, 2));
    EXPECT_EQ(Clicks, (std::vector<TControlId>{ChkTcpDelAckTick, ChkTcpDelAckTick}));
}

TEST_F(MainWindowView, KeyboardMovesBetweenTheButtonsAndPresses) {
    // Tab order: the two header buttons and the Run button; on the configuration card
    // one stop for the five option boxes.
    std::vector<HWND> order;
    HWND at = Get(BtnHome);
    for (int i = 0; i < 3; ++i) order.push_back(at = ::GetNextDlgTabItem(Window.Handle(), at, FALSE));
    EXPECT_EQ(order, (std::vector<HWND>{Get(BtnConfig), Get(BtnStart), Get(BtnHome)}));
    Window.ShowCard(TCard::cdConfig);
    EXPECT_EQ(::GetNextDlgTabItem(Window.Handle(), Get(BtnConfig), FALSE), Get(ChkTCPAckFrequency));
    EXPECT_EQ(::GetNextDlgTabItem(Window.Handle(), Get(ChkTCPAckFrequency), FALSE), Get(BtnHome));
    Window.ShowCard(TCard::cdHome);

    ::SetFocus(Get(BtnStart));
    MSG enter{Get(BtnStart), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(Window.HandleDialogKeys(enter));
    MSG space{Get(BtnStart), WM_KEYDOWN, VK_SPACE, 0, 0, {}};
    EXPECT_TRUE(Window.HandleDialogKeys(space));
    MSG spaceUp{Get(BtnStart), WM_KEYUP, VK_SPACE, 0, 0, {}};
    EXPECT_TRUE(Window.HandleDialogKeys(spaceUp));
    EXPECT_EQ(Clicks, (std::vector<TControlId>{BtnStart, BtnStart}));

    // A disabled focused button hands the focus on, so the keyboard keeps working.
    Window.SetEnabled(BtnStart, false);
    const HWND focus = ::GetFocus();
    EXPECT_TRUE(focus == Get(BtnHome) || focus == Get(BtnConfig));
}

TEST_F(MainWindowView, ErrorOfAHandlerIsShownAndTheWindowGoesOn) {
    ThrowOnClick = true;
    std::wstring shown;
    {
        TMessageBoxCloser closer;
        ::SendMessageW(Get(BtnStart), BM_CLICK, 0, 0); // returns once the box is closed
        shown = closer.Text;
    }
    EXPECT_NE(shown.find(L"RegOpenKeyExW failed (error 5)"), std::wstring::npos) << shown;
    ThrowOnClick = false;
    ::SendMessageW(Get(BtnConfig), BM_CLICK, 0, 0);
    EXPECT_EQ(Clicks, (std::vector<TControlId>{BtnStart, BtnConfig}));
    EXPECT_TRUE(::IsWindow(Window.Handle()));
}

// An error raised while the thread is already quitting (the window's WM_DESTROY has
// posted WM_QUIT) is still shown until answered, and the thread still quits afterwards.
TEST_F(MainWindowView, ErrorWhileQuittingIsShownAndTheQuitKept) {
    ThrowOnClick = true;
    ::PostQuitMessage(7);
    std::wstring shown;
    {
        TMessageBoxCloser closer;
        ::SendMessageW(Get(BtnStart), BM_CLICK, 0, 0);
        shown = closer.Text;
    }
    EXPECT_NE(shown.find(L"RegOpenKeyExW failed (error 5)"), std::wstring::npos) << shown;
    MSG quit;
    ASSERT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 7u);
}

TEST(MainWindowStart, ErrorDuringCreationStillOpensTheWindow) {
    TButtonFamilyList families;
    TMainWindow window(families);
    std::wstring shown;
    {
        TMessageBoxCloser closer;
        window.Open({[&] {
                         window.SetCaption(BtnStart, u"Run");
                         throw std::runtime_error("settings value of the wrong type");
                     },
                     {},
                     {}},
                    SW_SHOWNORMAL);
        shown = closer.Text;
    }
    EXPECT_NE(shown.find(L"settings value of the wrong type"), std::wstring::npos) << shown;
    EXPECT_TRUE(::IsWindowVisible(window.Handle()));
    EXPECT_EQ(TextOf(Control(window.Handle(), BtnStart)), L"Run") << "what was set before the error stays";
}

TEST_F(MainWindowView, AnErrorCarriedFromABackgroundJobIsShownByTheWindow) {
    // What the program's job runner does with an error that escaped a job.
    std::atomic<bool> returned{false};
    std::wstring shown;
    {
        TMessageBoxCloser closer;
        std::thread worker([&] {
            const std::exception_ptr error = std::make_exception_ptr(std::runtime_error("probe thread failed"));
            Window.InvokeSynchronously([error] { std::rethrow_exception(error); });
            returned = true;
        });
        EXPECT_TRUE(test::PumpUntil([&] { return returned.load(); }));
        worker.join();
        shown = closer.Text;
    }
    EXPECT_EQ(shown, L"An unexpected error occurred:\r\n\r\nprobe thread failed");
    EXPECT_TRUE(::IsWindow(Window.Handle()));
}

TEST_F(MainWindowView, HandOverRunsOnTheWindowsThread) {
    const DWORD uiThread = ::GetCurrentThreadId();
    std::atomic<DWORD> ranOn{0};
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        Window.InvokeSynchronously([&] { ranOn = ::GetCurrentThreadId(); });
        returned = true;
    });
    EXPECT_TRUE(test::PumpUntil([&] { return returned.load(); }));
    worker.join();
    EXPECT_EQ(ranOn.load(), uiThread);
}

} // namespace
} // namespace zx
