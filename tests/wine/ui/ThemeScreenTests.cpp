// The real Zephyrix.exe's look on the screen under Wine and Xvfb: the accent line across
// the top of the client area through activation changes, the Run button idle and running,
// and the header's pressed button. Each picture is saved under the build tree.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "RunningProgramTest.h"
#include "ScreenShot.h"
#include "UiDriver.h"
#include "platform/win32/Handles.h"

namespace {

using namespace zx::ui;
using zx::TControlId;

const std::wstring kProgramPath = reinterpret_cast<const wchar_t*>(ZEPHYRIX_EXE_PATH);
const std::wstring kShotFolder = reinterpret_cast<const wchar_t*>(ZX_THEME_SCREENSHOT_DIR);

constexpr COLORREF kAccent = RGB(0x3D, 0x84, 0xDD);
constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kBlack = RGB(0x00, 0x00, 0x00);

struct TProbe {
    const char* What;
    POINT At; // client coordinates of the main window
    COLORREF Expected;
};

// A control's place in the main window's client area.
RECT ClientPlace(HWND window, HWND control) {
    RECT r;
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Handles this thread's own window while waiting: activation involves it.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = kWaitMs) {
    return WaitUntil(
        [&] {
            MSG message;
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
            return condition();
        },
        timeoutMs);
}

class ThemedWindow : public RunningProgramTest {
protected:
    ThemedWindow() : RunningProgramTest(kProgramPath) {}

    void SetUp() override {
        ::CreateDirectoryW(kShotFolder.substr(0, kShotFolder.rfind(L'/')).c_str(), nullptr);
        ::CreateDirectoryW(kShotFolder.c_str(), nullptr);
        RunningProgramTest::SetUp();
    }

    // Waits until the screen shows every probe's colour (painting under Xvfb takes its
    // time), saves the picture as `name`.png and reports each probe that never matched.
    void ExpectOnScreen(const std::vector<TProbe>& probes, const wchar_t* name) {
        TScreenShot shot;
        const auto matches = [&] {
            shot = TScreenShot::Capture(FWindow);
            for (const auto& p : probes)
                if (shot.ClientPixel(p.At) != p.Expected) return false;
            return true;
        };
        PumpUntil(matches);
        const std::wstring path = kShotFolder + L"/" + name + L".png";
        EXPECT_TRUE(shot.SavePng(path)) << "screenshot not saved";
        ASSERT_GT(shot.Width(), 0) << "the screen could not be read";
        for (const auto& p : probes)
            EXPECT_EQ(ColorText(shot.ClientPixel(p.At)), ColorText(p.Expected))
                << p.What << " at " << p.At.x << "," << p.At.y;
    }

    // The line's two rows at the left end, the middle and the right end; the row below
    // it belongs to the white header.
    std::vector<TProbe> LineProbes(COLORREF color) const {
        RECT client;
        ::GetClientRect(FWindow, &client);
        std::vector<TProbe> probes;
        for (const int x : {0, static_cast<int>(client.right / 2), static_cast<int>(client.right - 1)})
            for (const int y : {0, 1}) probes.push_back({"accent line", {x, y}, color});
        probes.push_back({"header below the line", {static_cast<int>(client.right / 2), 2}, kWhite});
        return probes;
    }
};

// A plain top-level window of the test's own, taking the activation away from the program.
class TOtherWindow {
public:
    TOtherWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = L"ZxOtherWindow";
        ::RegisterClassW(&wc);
        // Top left, clear of the program's centred window.
        FWindow = ::CreateWindowExW(0, L"ZxOtherWindow", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 120, 80,
                                    nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~TOtherWindow() {
        if (FWindow) ::DestroyWindow(FWindow);
    }
    TOtherWindow(const TOtherWindow&) = delete;
    TOtherWindow& operator=(const TOtherWindow&) = delete;
    [[nodiscard]] HWND Handle() const noexcept { return FWindow; }

private:
    HWND FWindow;
};

TEST_F(ThemedWindow, AccentLineFollowsActivation) {
    ASSERT_NE(Launch(), nullptr);
    ExpectOnScreen(LineProbes(kAccent), L"theme-active");

    const COLORREF grayText = ::GetSysColor(COLOR_GRAYTEXT);
    ASSERT_NE(grayText, kAccent);
    TOtherWindow other;
    ASSERT_NE(other.Handle(), nullptr);
    ::SetForegroundWindow(other.Handle());
    ExpectOnScreen(LineProbes(grayText), L"theme-inactive");

    ::SetForegroundWindow(FWindow);
    ExpectOnScreen(LineProbes(kAccent), L"theme-active-again");
}

TEST_F(ThemedWindow, IdleRunButtonIsOutlinedAndTheCurrentHeaderButtonFilled) {
    ASSERT_NE(Launch(), nullptr);
    const RECT run = ClientPlace(FWindow, Control(TControlId::BtnStart));
    const RECT home = ClientPlace(FWindow, Control(TControlId::BtnHome));
    const RECT config = ClientPlace(FWindow, Control(TControlId::BtnConfig));
    const LONG runMiddle = (run.top + run.bottom) / 2;
    const LONG headerMiddle = (home.top + home.bottom) / 2;
    ExpectOnScreen(
        {
            {"Run border, left", {run.left, runMiddle}, kAccent},
            {"Run border, right", {run.right - 1, runMiddle}, kAccent},
            {"Run border, top", {(run.left + run.right) / 2, run.top}, kAccent},
            {"Run inside, not filled", {run.left + 10, runMiddle}, kWhite},
            {"Home (pressed) filled", {home.left + 4, headerMiddle}, kAccent},
            {"Home (pressed) edge filled, no line", {home.left + 4, home.top}, kAccent},
            {"Config inside, not filled", {config.left + 4, headerMiddle}, kWhite},
            {"Config border, top", {(config.left + config.right) / 2, config.top}, kBlack},
        },
        L"theme-idle");
}

TEST_F(ThemedWindow, RunningRunButtonIsFilled) {
    WriteSetting(L"status", 1);
    ASSERT_NE(Launch(), nullptr);
    ASSERT_TRUE(IsPressed(Control(TControlId::BtnStart)));
    const RECT run = ClientPlace(FWindow, Control(TControlId::BtnStart));
    const LONG runMiddle = (run.top + run.bottom) / 2;
    ExpectOnScreen(
        {
            {"Run border, left", {run.left, runMiddle}, kAccent},
            {"Run inside, filled", {run.left + 10, runMiddle}, kAccent},
            {"Run inside near the top, filled", {(run.left + run.right) / 2, run.top + 4}, kAccent},
        },
        L"theme-running");
}

} // namespace
