// The main window's behaviour, TFrmZephyrix: start-up, the run-state display, the
// option boxes and their persistence, navigation and run control. It drives the window
// on screen through IMainView; the Win32 window forwards its events here.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ControlTable.h"
#include "app/MainServices.h"
#include "app/MainView.h"
#include "app/Status.h"
#include "engine/AdapterRestart.h"
#include "engine/TweakCatalogue.h"

namespace zx {

class TFrmZephyrix {
public:
    TFrmZephyrix(IMainView& view, TMainServices services);
    TFrmZephyrix(const TFrmZephyrix&) = delete;
    TFrmZephyrix& operator=(const TFrmZephyrix&) = delete;

    // Window creation: the twelve start-up steps in order. An error of a step (a settings
    // value of the wrong type) escapes at that step; the later steps do not run. The
    // adapter search only starts here: it ends later, on the UI thread (AdapterSearchEnded).
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
    // The window became the active one: the registry may have changed meanwhile.
    void FormActivate();

    // Shows `message` in an error box first when it is not empty, then the state.
    void SetStatus(TStatus status, const std::u16string& message = u"");
    // Starts the adapter search on a background thread (after bringing up a connection
    // that a restart cut short left down), then shows the stored options and run state.
    // The adapter fields and labels fill in when the search ends.
    void LoadSettings();
    void SaveOption(const std::u16string& name, bool value);
    void SaveStatus(const std::u16string& name, std::int32_t value);

    // Run control: apply or revert, then restart the adapter and wait for the Internet in
    // the background, then show the target state.
    void Start();
    void Stop();
    // In the background: runs `first` (Run's backup and values, whose file is flushed to
    // disk; Stop's revert) and then the adapter restart that makes the values take effect
    // (the connection manager can block for seconds), both inside the services' write
    // gate, so that the program's end waits for them and a job that starts after the end
    // has begun does neither; then waits until the Internet answers (or the probes run
    // out), and shows `status`.
    void Refresh(TStatus status, std::function<void()> first = {});

    // Reads which options Windows holds now for the active adapter, in the background like
    // the adapter search, and shows them on the configuration card with what is missing
    // while Running. Not while busy: Run or Stop is changing the values, and reads them
    // once it has finished.
    void ShowAppliedTweaks();

    [[nodiscard]] TStatus Status() const noexcept { return FStatus; }
    [[nodiscard]] bool AdapterSearchEnded() const noexcept { return FAdapterSearch == asEnded; }

    // Index of a component name in "BtnHome", "BtnConfig", "BtnDonate", "ImgLogo",
    // ignoring the case of ASCII letters; -1 when it is none of them.
    [[nodiscard]] static int NavigationIndex(std::u16string_view name) noexcept;

    std::u16string NetworkName;
    std::u16string NetworkGUID; // empty: no active network
    std::u16string NetworkIP;

private:
    struct TFoundAdapter {
        bool Found = false;
        std::u16string Name, GUID, IP;
    };
    enum TAdapterSearch { asNotStarted, asRunning, asEnded };

    void StartAdapterSearch();
    // On the UI thread, once: fills the adapter fields and labels, then carries out a Run
    // or Stop that was pressed while the search ran.
    void ShowFoundAdapter(const TFoundAdapter& adapter);
    // What Run/Stop does from the state `from`.
    void RunControl(TStatus from);
    [[nodiscard]] std::vector<std::u16string> TunedAdapters() const;
    void RememberTunedAdapter(const std::u16string& guid);
    void ForgetTunedAdapters();
    void ShowAppliedText(const std::u16string& text); // only a change reaches the view
    void ToggleOption(TControlId box);
    void SetOption(TControlId box, bool enabled); // shows and stores it

    IMainView& FView;
    TMainServices FServices;
    TAdapterRestart FRestart; // Run's and Stop's restart, and the repair of one cut short
    TStatus FStatus = stIdle;
    TTweakOptions FOptions; // as the boxes show them; all off until the settings are loaded
    TUpdateCallback FUpdateDone;
    TAdapterSearch FAdapterSearch = asNotStarted;
    std::optional<TStatus> FClickWaitingForSearch; // the state Run/Stop was pressed in
    std::u16string FAppliedText;                   // shown by LblApplied; only a change is shown again
    std::uint64_t FAppliedReading = 0;             // the latest reading started; only its result is shown
};

// LblApplied's text in the current language. First line: the options whose values Windows
// holds (`applied`), named as their boxes write them. Second line, only when `shown` is
// Running: the ticked options whose values are not (or no longer) in place.
[[nodiscard]] std::u16string AppliedTweaksText(const TTweakOptions& applied, const TTweakOptions& ticked,
                                               TStatus shown);

// The update dialog's layout offset for its extra band, in pixels at 100 %.
inline constexpr int kUpdateDialogOffset = 10;

// The settings key below HKEY_CURRENT_USER\Software.
inline constexpr std::u16string_view kSettingsPath = u"Zephyrix";

// The wait after an adapter restart: at most this many probes, with a pause after each
// one that fails (the last included).
inline constexpr int kRefreshProbes = 300;
inline constexpr std::chrono::milliseconds kRefreshPause{1000};

} // namespace zx
