// The update offer as a real dialog under Wine: shown modally on this thread while a
// second thread reads it and operates it as a user would (keys, clicks, the close
// button), and its geometry at 100 % and after a change to 150 %.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "app/win32/UpdateDialog.h"
#include "platform/win32/WindowText.h"
#include "platform/win32/ComPtr.h"
#include "tests/wine/ui/ProcessResources.h"
#include "tests/wine/ui/ScreenReader.h"

namespace zx {
namespace {

constexpr DWORD kWaitMs = 5000;

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kWaitMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (::GetTickCount64() >= deadline) return false;
        ::Sleep(10);
    }
    return true;
}

struct TDialogSearch {
    HWND Found = nullptr;
};

BOOL CALLBACK FindOurDialog(HWND window, LPARAM param) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    wchar_t name[16] = L"";
    ::GetClassNameW(window, name, 16);
    if (process != ::GetCurrentProcessId() || std::wstring(name) != L"#32770" || !::IsWindowVisible(window))
        return TRUE;
    reinterpret_cast<TDialogSearch*>(param)->Found = window;
    return FALSE;
}

HWND FindDialog() {
    TDialogSearch search;
    ::EnumWindows(FindOurDialog, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

// The control's place in the dialog's client coordinates.
RECT PlaceIn(HWND dialog, HWND control) {
    RECT place{};
    ::GetWindowRect(control, &place);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

int OuterHeight(HWND window) {
    RECT place{};
    ::GetWindowRect(window, &place);
    return place.bottom - place.top;
}

HWND FocusOf(HWND dialog) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(dialog, nullptr), &info);
    return info.hwndFocus;
}

// A key press as the keyboard delivers it, to the control with the focus.
void PressKey(HWND dialog, WPARAM key) {
    const HWND target = FocusOf(dialog) ? FocusOf(dialog) : dialog;
    ::PostMessageW(target, WM_KEYDOWN, key, 1);
    ::PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

TUpdateDialogContent Content(const std::u16string& style = u"", const std::u16string& flag = u"") {
    TUpdateDialogContent content;
    content.Caption = u"Zephyrix";
    content.Message = u"This program has been updated.\r\rIt is recommended to download and execute new for stable "
                      u"use.\r\rDo you want to download it?";
    content.YesCaption = u"Yes";
    content.NoCaption = u"No";
    content.Notice = {.Style = style, .Text = u"Do not remind me", .Flag = flag, .URL = u"https://news.test/"};
    content.DialogOffset = 10;
    return content;
}

struct TShown {
    TUpdateDialogResult Result;
    int LinkClicks = 0;
    bool Found = false;
};

// Shows the dialog on this thread; `drive` runs on another thread with the dialog once
// it is up and must end it. When no dialog shows, or `drive` leaves it open, it is ended
// with No after the time-out, and the test fails.
TShown ShowAndDrive(const TUpdateDialogContent& content, const std::function<void(HWND)>& drive) {
    TShown shown;
    std::atomic<bool> found = false;
    std::thread driver([&] {
        HWND dialog = nullptr;
        if (WaitUntil([&] { return (dialog = FindDialog()) != nullptr; })) {
            found = true;
            drive(dialog);
        }
        if (!WaitUntil([&] { return FindDialog() == nullptr; }) && (dialog = FindDialog()))
            ::PostMessageW(dialog, WM_COMMAND, IDNO, 0);
    });
    TUpdateDialogWindow window;
    shown.Result = window.ShowUpdateDialog(content, [&] { ++shown.LinkClicks; });
    driver.join();
    shown.Found = found;
    return shown;
}

TEST(UpdateDialog, ShowsTheMessageTheWarningIconAndYesAsTheFocusedDefault) {
    std::wstring caption, message, yes, no;
    bool icon = false, yesFocused = false, yesDefault = false, topmost = true, centred = false, white = false;
    const TShown shown = ShowAndDrive(Content(), [&](HWND dialog) {
        const std::u16string title = WindowText(dialog);
        caption.assign(title.begin(), title.end());
        const auto text = [&](int id) {
            const std::u16string t = WindowText(::GetDlgItem(dialog, id));
            return std::wstring(t.begin(), t.end());
        };
        message = text(kUpdateMessageId);
        yes = text(IDYES);
        no = text(IDNO);
        icon = ::SendMessageW(::GetDlgItem(dialog, kUpdateIconId), STM_GETICON, 0, 0) != 0;
        WaitUntil([&] { return FocusOf(dialog) == ::GetDlgItem(dialog, IDYES); });
        yesFocused = FocusOf(dialog) == ::GetDlgItem(dialog, IDYES);
        yesDefault = LOWORD(::SendMessageW(dialog, DM_GETDEFID, 0, 0)) == IDYES &&
            (::GetWindowLongPtrW(::GetDlgItem(dialog, IDYES), GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON;
        topmost = (::GetWindowLongPtrW(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        ::GetMonitorInfoW(::MonitorFromWindow(dialog, MONITOR_DEFAULTTOPRIMARY), &monitor);
        RECT place;
        ::GetWindowRect(dialog, &place);
        centred = std::abs((place.left + place.right) - (monitor.rcMonitor.left + monitor.rcMonitor.right)) <= 1 &&
            std::abs((place.top + place.bottom) - (monitor.rcMonitor.top + monitor.rcMonitor.bottom)) <= 1;
        // The background in the margin left of the buttons.
        const RECT yesPlace = PlaceIn(dialog, ::GetDlgItem(dialog, IDYES));
        WaitUntil([&] {
            const HDC dc = ::GetDC(dialog);
            white = ::GetPixel(dc, 2, yesPlace.top + 2) == RGB(0xFF, 0xFF, 0xFF);
            ::ReleaseDC(dialog, dc);
            return white;
        });
        PressKey(dialog, VK_ESCAPE);
    });
    ASSERT_TRUE(shown.Found) << "no dialog of class #32770 came up";
    EXPECT_EQ(caption, L"Zephyrix");
    EXPECT_EQ(message,
              L"This program has been updated.\r\rIt is recommended to download and execute new for stable "
              L"use.\r\rDo you want to download it?");
    EXPECT_EQ(yes, L"Yes");
    EXPECT_EQ(no, L"No");
    EXPECT_TRUE(icon);
    EXPECT_TRUE(yesFocused);
    EXPECT_TRUE(yesDefault);
    EXPECT_FALSE(topmost);
    EXPECT_TRUE(centred);
    EXPECT_TRUE(white);
    EXPECT_FALSE(shown.Result.Accepted);
}

// The offer shown while the thread is quitting still waits for the user's answer, and the
// quit is kept for the loop that follows.
TEST(UpdateDialog, WaitsForTheAnswerWhileTheThreadIsQuitting) {
    ::PostQuitMessage(3);
    const TShown shown = ShowAndDrive(Content(), [](HWND dialog) {
        ::Sleep(200); // long enough for a dialog that had ended by itself to be gone
        ::PostMessageW(dialog, WM_COMMAND, IDYES, 0);
    });
    EXPECT_TRUE(shown.Found);
    EXPECT_TRUE(shown.Result.Accepted);
    MSG quit;
    ASSERT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 3u);
}

TEST(UpdateDialog, KeyboardAndMouseGiveTheUsersAnswer) {
    struct Case {
        const char* What;
        std::function<void(HWND)> Drive;
        bool Accepted;
    };
    const Case cases[] = {
        {"Enter presses the default button", [](HWND d) { PressKey(d, VK_RETURN); }, true},
        {"Escape is No", [](HWND d) { PressKey(d, VK_ESCAPE); }, false},
        {"Tab to No, then Enter",
         [](HWND d) {
             PressKey(d, VK_TAB);
             WaitUntil([&] { return FocusOf(d) == ::GetDlgItem(d, IDNO); });
             PressKey(d, VK_RETURN);
         },
         false},
        {"Tab to No and back to Yes, then Space",
         [](HWND d) {
             PressKey(d, VK_TAB);
             WaitUntil([&] { return FocusOf(d) == ::GetDlgItem(d, IDNO); });
             PressKey(d, VK_TAB);
             WaitUntil([&] { return FocusOf(d) == ::GetDlgItem(d, IDYES); });
             PressKey(d, VK_SPACE);
         },
         true},
        {"click on Yes", [](HWND d) { ::PostMessageW(::GetDlgItem(d, IDYES), BM_CLICK, 0, 0); }, true},
        {"click on No", [](HWND d) { ::PostMessageW(::GetDlgItem(d, IDNO), BM_CLICK, 0, 0); }, false},
        {"the close button", [](HWND d) { ::PostMessageW(d, WM_CLOSE, 0, 0); }, false},
    };
    for (const Case& c : cases) {
        const TShown shown = ShowAndDrive(Content(), c.Drive);
        ASSERT_TRUE(shown.Found) << c.What;
        EXPECT_EQ(shown.Result.Accepted, c.Accepted) << c.What;
        EXPECT_FALSE(shown.Result.HoldTicked) << c.What;
    }
}

// The band's places, read from a dialog that is up.
struct TBandSeen {
    int Height = 0;
    std::optional<RECT> Separator;
    std::optional<RECT> Line;
    std::wstring LineText;
    bool HasHoldBox = false;
    bool HasLink = false;
    COLORREF SeparatorColour = CLR_INVALID;
};

TBandSeen SeeBand(HWND dialog) {
    TBandSeen seen;
    seen.Height = OuterHeight(dialog);
    if (HWND separator = ::GetDlgItem(dialog, kUpdateSeparatorId)) {
        seen.Separator = PlaceIn(dialog, separator);
        const HDC dc = ::GetDC(dialog);
        seen.SeparatorColour = ::GetPixel(dc, 5, seen.Separator->top);
        ::ReleaseDC(dialog, dc);
    }
    HWND line = ::GetDlgItem(dialog, kUpdateHoldBoxId);
    seen.HasHoldBox = line != nullptr;
    if (!line) {
        line = ::GetDlgItem(dialog, kUpdateNoteLinkId);
        seen.HasLink = line != nullptr;
    }
    if (line) {
        seen.Line = PlaceIn(dialog, line);
        const std::u16string text = WindowText(line);
        seen.LineText.assign(text.begin(), text.end());
    }
    return seen;
}

TEST(UpdateDialog, NoticeAddsTheBandUnderTheButtons) {
    TBandSeen plain;
    ASSERT_TRUE(ShowAndDrive(Content(), [&](HWND d) {
                    plain = SeeBand(d);
                    PressKey(d, VK_ESCAPE);
                }).Found);
    EXPECT_FALSE(plain.Separator);
    EXPECT_FALSE(plain.Line);

    struct Case {
        std::u16string Style;
        bool HoldBox;
        bool Link;
    };
    for (const Case& c : {Case{u"hold", true, false}, Case{u"note", false, true}, Case{u"HOLD", false, false},
                          Case{u"other", false, false}}) {
        const std::string what(c.Style.begin(), c.Style.end());
        TBandSeen band;
        int width = 0;
        RECT yes{};
        ASSERT_TRUE(ShowAndDrive(Content(c.Style),
                                 [&](HWND d) {
                                     WaitUntil([&] { return SeeBand(d).SeparatorColour == RGB(0xCC, 0xCC, 0xCC); },
                                               2000);
                                     band = SeeBand(d);
                                     RECT outer;
                                     ::GetWindowRect(d, &outer);
                                     width = outer.right - outer.left;
                                     yes = PlaceIn(d, ::GetDlgItem(d, IDYES));
                                     PressKey(d, VK_ESCAPE);
                                 })
                        .Found)
            << what;
        EXPECT_EQ(band.Height, plain.Height + 30) << what;
        ASSERT_TRUE(band.Separator) << what;
        EXPECT_EQ(band.Separator->top, band.Height - 66) << what;
        EXPECT_EQ(band.Separator->left, 0) << what;
        EXPECT_EQ(band.Separator->bottom - band.Separator->top, 1) << what;
        EXPECT_EQ(band.Separator->right - band.Separator->left, width) << what;
        EXPECT_EQ(band.SeparatorColour, RGB(0xCC, 0xCC, 0xCC)) << what;
        EXPECT_GE(band.Separator->top, yes.bottom) << what << ": the band lies under the buttons";
        EXPECT_EQ(band.HasHoldBox, c.HoldBox) << what;
        EXPECT_EQ(band.HasLink, c.Link) << what;
        if (c.HoldBox || c.Link) {
            ASSERT_TRUE(band.Line) << what;
            EXPECT_EQ(band.Line->top, band.Height - 56) << what;
            EXPECT_EQ(band.Line->left, 10) << what;
            EXPECT_EQ(band.LineText, L"Do not remind me") << what;
        } else {
            EXPECT_FALSE(band.Line) << what;
        }
    }
}

// Twenty offers in a row give back every object they take: GDI objects (fonts, icon,
// brushes), windows and kernel handles, counted once the first offers have filled what
// the system caches (under Wine its display DCs, with their bitmaps and regions, grow over
// the first three offers and then stay) and again after the last. A leak of one object
// per offer would show as 16 more.
TEST(UpdateDialog, TwentyOpeningsGiveBackWhatTheyTake) {
    constexpr int kOpenings = 20, kWarmUp = 4;
    constexpr std::size_t kMargin = 2;
    auto openOnce = [] {
        const TShown shown = ShowAndDrive(Content(u"note"), [](HWND d) { ::PostMessageW(d, WM_COMMAND, IDNO, 0); });
        EXPECT_TRUE(shown.Found);
    };
    for (int i = 0; i < kWarmUp; ++i) openOnce();
    const auto first = ui::ResourceCountsOf(::GetCurrentProcess(), ::GetCurrentProcessId());
    ASSERT_TRUE(first);
    for (int i = kWarmUp; i < kOpenings; ++i) openOnce();
    const auto last = ui::ResourceCountsOf(::GetCurrentProcess(), ::GetCurrentProcessId());
    ASSERT_TRUE(last);
    EXPECT_LE(last->GdiObjects, first->GdiObjects + kMargin);
    EXPECT_LE(last->KernelHandles, first->KernelHandles + kMargin);
    EXPECT_LE(last->Windows, first->Windows);
    std::printf("update dialog, openings %d and %d: GDI %zu -> %zu, handles %zu -> %zu, windows %zu -> %zu\n", kWarmUp,
                kOpenings, first->GdiObjects, last->GdiObjects, first->KernelHandles, last->KernelHandles,
                first->Windows, last->Windows);
}

TEST(UpdateDialog, HoldBoxIsReportedWhateverTheAnswer) {
    for (const WPARAM answer : {VK_ESCAPE, VK_RETURN}) {
        bool uncheckedAtFirst = false;
        const TShown shown = ShowAndDrive(Content(u"hold"), [&](HWND d) {
            const HWND box = ::GetDlgItem(d, kUpdateHoldBoxId);
            uncheckedAtFirst = ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_UNCHECKED;
            // Tab from Yes past No to the box; Space ticks it.
            for (int i = 0; i < 2; ++i) {
                PressKey(d, VK_TAB);
                ::Sleep(50);
            }
            WaitUntil([&] { return FocusOf(d) == box; });
            PressKey(d, VK_SPACE);
            WaitUntil([&] { return ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; });
            PressKey(d, answer);
        });
        ASSERT_TRUE(shown.Found);
        EXPECT_TRUE(uncheckedAtFirst);
        EXPECT_TRUE(shown.Result.HoldTicked) << answer;
        // Enter on the ticked box still presses the default button.
        EXPECT_EQ(shown.Result.Accepted, answer == VK_RETURN);
    }
}

TEST(UpdateDialog, NoteLinkIsFollowedAndTheDialogStaysOpen) {
    bool stillOpen = false;
    bool handPointer = false;
    const TShown shown = ShowAndDrive(Content(u"note"), [&](HWND d) {
        const HWND link = ::GetDlgItem(d, kUpdateNoteLinkId);
        handPointer =
            reinterpret_cast<HCURSOR>(::GetClassLongPtrW(link, GCLP_HCURSOR)) == ::LoadCursorW(nullptr, IDC_HAND);
        ::PostMessageW(link, BM_CLICK, 0, 0);
        // By keyboard too: Tab past No to the link, then Enter.
        for (int i = 0; i < 2; ++i) {
            PressKey(d, VK_TAB);
            ::Sleep(50);
        }
        WaitUntil([&] { return FocusOf(d) == link; });
        PressKey(d, VK_RETURN);
        ::Sleep(300);
        stillOpen = ::IsWindowVisible(d) != FALSE;
        PressKey(d, VK_ESCAPE);
    });
    ASSERT_TRUE(shown.Found);
    EXPECT_TRUE(handPointer);
    EXPECT_EQ(shown.LinkClicks, 2);
    EXPECT_TRUE(stillOpen);
    EXPECT_FALSE(shown.Result.Accepted);
    EXPECT_FALSE(shown.Result.HoldTicked);
}

// A screen reader reads the notice link as a link with its text, and follows it with
// the link's default action; the dialog's thread has its apartment, as the program's has.
TEST(UpdateDialog, ScreenReaderReadsAndFollowsTheNoteLink) {
    const TComScope apartment;
    zx::ui::TAccessibleRead read;
    HRESULT followed = E_FAIL;
    const TShown shown = ShowAndDrive(Content(u"note"), [&](HWND d) {
        const HWND link = ::GetDlgItem(d, kUpdateNoteLinkId);
        read = zx::ui::ReadAccessible(link);
        followed = zx::ui::DoDefaultAction(link);
        WaitUntil([&] { return false; }, 300);
        PressKey(d, VK_ESCAPE);
    });
    ASSERT_TRUE(shown.Found);
    EXPECT_EQ(read.Result, S_OK);
    EXPECT_EQ(read.Role, zx::ui::kRoleLink);
    EXPECT_EQ(read.Name, L"Do not remind me");
    EXPECT_EQ(read.DefaultAction, L"Jump");
    EXPECT_EQ(followed, S_OK);
    EXPECT_EQ(shown.LinkClicks, 1);
}

TEST(UpdateDialog, StaysOnTopWhenTheFlagContainsStayontop) {
    for (const std::u16string flag : {u"stayontop", u"nostayontop", u"StayOnTop", u""}) {
        bool topmost = false;
        ASSERT_TRUE(ShowAndDrive(Content(u"", flag), [&](HWND d) {
                        topmost = (::GetWindowLongPtrW(d, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
                        PressKey(d, VK_ESCAPE);
                    }).Found);
        EXPECT_EQ(topmost, flag.find(u"stayontop") != std::u16string::npos) << std::string(flag.begin(), flag.end());
    }
}

TEST(UpdateDialog, FollowsAChangeOfDisplayScale) {
    // The dialog lays itself out again for the new DPI, band included.
    const auto seenAt150 = [](const std::u16string& style) {
        TBandSeen seen;
        LONG fontHeight = 0;
        EXPECT_TRUE(ShowAndDrive(Content(style), [&](HWND d) {
                        RECT place;
                        ::GetWindowRect(d, &place);
                        const RECT suggested{place.left, place.top, place.left + (place.right - place.left) * 3 / 2,
                                             place.top + (place.bottom - place.top) * 3 / 2};
                        ::SendMessageW(d, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
                        seen = SeeBand(d);
                        LOGFONTW lf{};
                        ::GetObjectW(reinterpret_cast<HFONT>(
                                         ::SendMessageW(::GetDlgItem(d, kUpdateMessageId), WM_GETFONT, 0, 0)),
                                     sizeof(lf), &lf);
                        fontHeight = std::abs(lf.lfHeight);
                        PressKey(d, VK_ESCAPE);
                    }).Found);
        return std::pair{seen, fontHeight};
    };
    const auto [plain, plainFont] = seenAt150(u"");
    const auto [hold, holdFont] = seenAt150(u"hold");
    EXPECT_GE(plainFont, 15) << "the message font follows the scale";
    EXPECT_EQ(hold.Height, plain.Height + 45);
    ASSERT_TRUE(hold.Separator);
    EXPECT_EQ(hold.Separator->top, hold.Height - 99);
    ASSERT_TRUE(hold.Line);
    EXPECT_EQ(hold.Line->top, hold.Height - 84);
    EXPECT_EQ(hold.Line->left, 15);
}

} // namespace
} // namespace zx
