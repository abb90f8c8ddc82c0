// The main window's behaviour, TFrmZephyrix: start-up, the run-state display, the
// option boxes and their persistence, navigation and run control. It drives the window
// on screen through IMainView; the Win32 window forwards its events here.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ControlTable.h"
#include "app/MainServices.h"
#include "app/MainView.h"
#include "app/Status.h"
#include "engine/TweakCatalogue.h"

namespace zx {

class TFrmZephyrix {
public:
    TFrmZephyrix(IMainView& view, TMainServices services);
    TFrmZephyrix(const TFrmZephyrix&) = delete;
    TFrmZephyrix& operator=(const TFrmZephyrix&) = delete;

    // Window creation: the twelve start-up steps in order. An error of a step (a settings
    // value of the wrong type, a failing adapter search) escapes at that step; the later
    // steps do not run.
    void FormCreate();

    // A click on a control. Goes to the control's handler; controls without one are
    // ignored. Check boxes do not tick themselves: their handler turns the option over
    // and shows it.
    void ControlClicked(TControlId sender);

    // Event handlers; each takes the sending control.
    // Navigation for the four header controls: the two cards and the maker's two pages.
    void BtnHomeClick(TControlId sender);
    void ChkTcpNoDelayClick(TControlId sender);
    void ChkTCPAckFrequencyClick(TControlId sender);
    void ChkTcpDelAckTickClick(TControlId sender);
    void ChkNetworkThrottlingIndexClick(TControlId sender);
    void ChkSystemResponsivenessClick(TControlId sender);
    void BtnStartClick(TControlId sender);

    // Shows `message` in an error box first when it is not empty, then the state.
    void SetStatus(TStatus status, const std::u16string& message = u"");
    void LoadSettings();
    void SaveOption(const std::u16string& name, bool value);
    void SaveStatus(const std::u16string& name, std::int32_t value);

    // Run control: apply or revert, restart the adapter, wait for the Internet in the
    // background, then show the target state.
    void Start();
    void Stop();
    // Restarts the adapter so that the values take effect, then waits in the background
    // until the Internet answers (or the probes run out) and shows `status`.
    void Refresh(TStatus status);

    [[nodiscard]] TStatus Status() const noexcept { return FStatus; }

    // Index of a component name in "BtnHome", "BtnConfig", "BtnDonate", "ImgLogo",
    // ignoring the case of ASCII letters; -1 when it is none of them.
    [[nodiscard]] static int NavigationIndex(std::u16string_view name) noexcept;

    std::u16string NetworkName;
    std::u16string NetworkGUID; // empty: no active network
    std::u16string NetworkIP;

private:
    [[nodiscard]] std::vector<std::u16string> TunedAdapters() const;
    void RememberTunedAdapter(const std::u16string& guid);
    void ForgetTunedAdapters();
    void ToggleOption(TControlId box);
    void SetOption(TControlId box, bool enabled); // shows and stores it

    IMainView& FView;
    TMainServices FServices;
    TStatus FStatus = stIdle;
    TTweakOptions FOptions; // as the boxes show them; all off until the settings are loaded
    std::function<void(bool)> FUpdateDone;
};

// The settings key below HKEY_CURRENT_USER\Software.
inline constexpr std::u16string_view kSettingsPath = u"Zephyrix";

// The wait after an adapter restart: at most this many probes, with a pause after each
// one that fails (the last included).
inline constexpr int kRefreshProbes = 300;
inline constexpr std::chrono::milliseconds kRefreshPause{1000};

} // namespace zx
