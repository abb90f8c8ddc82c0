#include "app/MainForm.h"

#include <array>
#include <utility>

#include "app/ViewComponent.h"
#include "engine/AdapterRestart.h"
#include "engine/TweakCatalogue.h"
#include "kit/Config.h"
#include "kit/Translation.h"
#include "kit/TunedAdapters.h"
#include "platform/common/AsciiText.h"

namespace zx {

namespace {

using enum TControlId;
using namespace std::chrono_literals;

// Slogans of the home card (Korean source texts with their own bold markup).
constexpr std::array<const char16_t*, 3> kSlogans = {
    u"<B>게임 반응 속도</B>를 손쉽게 향상 시킵니다.",
    u"최적화된 네트워크로 <B>지연 시간을 최소화</B>합니다.",
    u"간편한 설정으로 <B>게임 속도와 안정성</B>을 동시에 개선합니다.",
};

constexpr std::array<std::u16string_view, 4> kNavigationNames = {u"BtnHome", u"BtnConfig", u"BtnDonate", u"ImgLogo"};

constexpr const char16_t* kStatusName = u"status";

// The option boxes: each box, the settings value that keeps it and the tweak option it
// controls, in the order LoadSettings sets them.
struct TOptionEntry {
    TControlId Box;
    const char16_t* ValueName;
    bool TTweakOptions::*Option;
};
constexpr std::array<TOptionEntry, 5> kOptionTable = {{
    {ChkTcpNoDelay, u"tcpnodelay", &TTweakOptions::NoDelay},
    {ChkTCPAckFrequency, u"tcpackfrequency", &TTweakOptions::AckFrequency},
    {ChkTcpDelAckTick, u"tcpdelacktick", &TTweakOptions::DelAckTicks},
    {ChkNetworkThrottlingIndex, u"networkthrottleindex", &TTweakOptions::ThrottlingIndex},
    // The name as stored by every release so far: correcting the spelling would lose
    // the users' saved choice.
    {ChkSystemResponsiveness, u"systemresponsivess", &TTweakOptions::Responsiveness},
}};

const TOptionEntry* FindOption(TControlId box) noexcept {
    for (const TOptionEntry& entry : kOptionTable)
        if (entry.Box == box) return &entry;
    return nullptr;
}

// The order in which SetStatus enables or disables them.
constexpr std::array<TControlId, 5> kEnableOrder = {ChkTCPAckFrequency, ChkTcpDelAckTick, ChkTcpNoDelay,
                                                    ChkNetworkThrottlingIndex, ChkSystemResponsiveness};

// The texts of LblApplied (Korean source texts).
constexpr const char16_t* kAppliedPrefix = u"지금 Windows에 설정됨:";
constexpr const char16_t* kAppliedNone = u"다섯 가지 옵션 중 없음";
constexpr const char16_t* kMissingPrefix = u"제피릭스 실행중이지만 설정 안 됨:";
constexpr const char16_t* kMissingAdvice = u"중지 후 다시 실행하면 설정됩니다.";

// The boxes' captions, in the order the boxes show them, of the options `options` holds.
std::u16string OptionNames(const TTweakOptions& options) {
    std::u16string names;
    for (const TControlId box : kEnableOrder) {
        const TOptionEntry* entry = FindOption(box);
        if (!entry || !(options.*entry->Option)) continue;
        if (!names.empty()) names += u", ";
        names += FindControl(box).Caption;
    }
    return names;
}

} // namespace

std::u16string AppliedTweaksText(const TTweakOptions& applied, const TTweakOptions& ticked, TStatus shown) {
    const std::u16string set = OptionNames(applied);
    std::u16string text = Translate(kAppliedPrefix) + u" " + (set.empty() ? Translate(kAppliedNone) : set);
    if (shown != stRunning) return text;
    TTweakOptions missing;
    for (const TOptionEntry& entry : kOptionTable)
        missing.*entry.Option = ticked.*entry.Option && !(applied.*entry.Option);
    const std::u16string unset = OptionNames(missing);
    if (!unset.empty()) text += u"\r\n" + Translate(kMissingPrefix) + u" " + unset + u" " + Translate(kMissingAdvice);
    return text;
}

namespace {

using THandler = void (TFrmZephyrix::*)(TControlId);
struct TClickBinding {
    TControlId Control;
    THandler Handler;
};
constexpr std::array<TClickBinding, 10> kClickBindings = {{
    {BtnHome, &TFrmZephyrix::BtnHomeClick},
    {BtnConfig, &TFrmZephyrix::BtnHomeClick},
    {BtnDonate, &TFrmZephyrix::BtnHomeClick},
    {ImgLogo, &TFrmZephyrix::BtnHomeClick},
    {ChkTcpNoDelay, &TFrmZephyrix::ChkTcpNoDelayClick},
    {ChkTCPAckFrequency, &TFrmZephyrix::ChkTCPAckFrequencyClick},
    {ChkTcpDelAckTick, &TFrmZephyrix::ChkTcpDelAckTickClick},
    {ChkNetworkThrottlingIndex, &TFrmZephyrix::ChkNetworkThrottlingIndexClick},
    {ChkSystemResponsiveness, &TFrmZephyrix::ChkSystemResponsivenessClick},
    {BtnStart, &TFrmZephyrix::BtnStartClick},
}};

} // namespace

TFrmZephyrix::TFrmZephyrix(IMainView& view, TMainServices services)
    : FView(view), FServices(std::move(services)), FRestart(FServices.AdapterSwitch, FServices.Registry) {}

void TFrmZephyrix::FormCreate() {
    // What the update check calls back: true means a newer release is being
    // downloaded, and the program makes way for it.
    FUpdateDone = [this](bool accepted, const std::u16string&) {
        if (accepted) FView.Close();
    };
    // Dark title bar and accent line.
    FView.ApplyTheme();
    // Every caption of the window in the current language (title bar: see the kit).
    TranslateComponent(FView, FrmZephyrix);
    // The title fitted to its label in its translated form, the desktop font everywhere else.
    FView.FitLabelFont(LblTitle);
    FView.UseDesktopFont();
    // The busy indicator waits hidden; the donation button is never shown.
    FView.SetVisible(Indicator, false);
    FView.SetVisible(BtnDonate, false);
    // The home card first; the taskbar shows the translated caption.
    FView.ShowCard(TCard::cdHome);
    FView.SetApplicationTitle(FView.GetCaption(FrmZephyrix));
    // One of the slogans, chosen at random.
    const int slogan = FServices.RandomIndex ? FServices.RandomIndex(static_cast<int>(kSlogans.size())) : 0;
    const auto sloganIndex = static_cast<std::size_t>(slogan) < kSlogans.size() ? static_cast<std::size_t>(slogan) : 0;
    FView.SetCaption(LblContent, u"<C><FC:clGray>" + Translate(kSlogans[sloganIndex]) + u"</FC></C>");
    // The version line of the configuration card.
    FView.SetCaption(LblVersion, Translate(u"버전") + u": " + FServices.AppVersion);
    // Adapter, stored options and the last run state.
    LoadSettings();
    // Last: the background update check.
    if (FServices.CheckUpdate) FServices.CheckUpdate(FServices.UpdateServiceURL, FUpdateDone, kUpdateDialogOffset);
}

void TFrmZephyrix::ControlClicked(TControlId sender) {
    for (const TClickBinding& binding : kClickBindings)
        if (binding.Control == sender) {
            (this->*binding.Handler)(sender);
            return;
        }
}

int TFrmZephyrix::NavigationIndex(std::u16string_view name) noexcept {
    for (std::size_t i = 0; i < kNavigationNames.size(); ++i)
        if (SameTextIgnoringAsciiCase(kNavigationNames[i], name)) return static_cast<int>(i);
    return -1;
}

void TFrmZephyrix::BtnHomeClick(TControlId sender) {
    switch (sender) {
    case BtnHome:
        FView.SetPressed(sender, true); // the view releases the other header button
        FView.ShowCard(TCard::cdHome);
        break;
    case BtnConfig:
        FView.SetPressed(sender, true);
        FView.ShowCard(TCard::cdConfig);
        ShowAppliedTweaks();
        break;
    case BtnDonate:
        FView.OpenAddress(FServices.ShortLinkHost + u"/donate?zephyrix");
        break;
    case ImgLogo:
        FView.OpenAddress(FServices.ShortLinkHost + u"/zephyrix");
        break;
    default:
        break;
    }
}

void TFrmZephyrix::ToggleOption(TControlId box) {
    // The box does not tick itself: a click turns the option over, and the box shows it.
    if (const TOptionEntry* entry = FindOption(box)) SetOption(box, !(FOptions.*entry->Option));
}

void TFrmZephyrix::SetOption(TControlId box, bool enabled) {
    const TOptionEntry* entry = FindOption(box);
    if (!entry) return;
    FOptions.*entry->Option = enabled;
    FView.SetChecked(box, enabled);
    SaveOption(entry->ValueName, enabled);
}

void TFrmZephyrix::ChkTcpNoDelayClick(TControlId) {
    ToggleOption(ChkTcpNoDelay);
}

void TFrmZephyrix::ChkTCPAckFrequencyClick(TControlId) {
    ToggleOption(ChkTCPAckFrequency);
}

void TFrmZephyrix::ChkTcpDelAckTickClick(TControlId) {
    ToggleOption(ChkTcpDelAckTick);
}

void TFrmZephyrix::ChkNetworkThrottlingIndexClick(TControlId) {
    ToggleOption(ChkNetworkThrottlingIndex);
}

void TFrmZephyrix::ChkSystemResponsivenessClick(TControlId) {
    ToggleOption(ChkSystemResponsiveness);
}

void TFrmZephyrix::SetStatus(TStatus status, const std::u16string& message) {
    if (!message.empty()) FView.ShowErrorMessage(message, FView.GetCaption(FrmZephyrix));

    switch (status) {
    case stIdle:
    case stRunning: {
        const bool running = status == stRunning;
        FStatus = status;
        FView.SetIndicatorActive(false);
        FView.SetCaption(BtnStart, Translate(running ? u"실행중" : u"실행하기"));
        FView.SetEnabled(BtnStart, true);
        FView.SetPressed(BtnStart, running);
        SaveStatus(kStatusName, running ? 1 : 0);
        break;
    }
    case stBusy:
        FStatus = stBusy;
        FView.SetIndicatorActive(true);
        FView.SetCaption(BtnStart, u"");
        FView.SetEnabled(BtnStart, false);
        FView.SetPressed(BtnStart, false);
        break;
    default:
        break; // not a state: the display stays as it is
    }

    for (const TControlId box : kEnableOrder) FView.SetEnabled(box, FStatus == stIdle);
}

void TFrmZephyrix::LoadSettings() {
    StartAdapterSearch();

    TStatus stored = stIdle;
    {
        const TConfig config(FServices.Registry, std::u16string(kSettingsPath));
        const auto lowByte = static_cast<std::uint8_t>(config.ReadInteger(kStatusName, stIdle) & 0xFF);
        // Only idle and running are ever stored. Anything else would leave the window
        // busy with no refresh under way to end it, so it reads as idle.
        stored = lowByte == stRunning ? stRunning : stIdle;
        for (const TOptionEntry& entry : kOptionTable) {
            const bool enabled = config.ReadBoolean(entry.ValueName, true);
            // Only a change is shown and stored back, as a click on the box would.
            if (FOptions.*entry.Option != enabled) SetOption(entry.Box, enabled);
        }
    }
    SetStatus(stored);
}

void TFrmZephyrix::StartAdapterSearch() {
    if (FAdapterSearch != asNotStarted) return; // once per window
    FAdapterSearch = asRunning;
    // The management service's first query of a session can take long; the window is
    // on screen meanwhile. The job touches no window: the hand-over does.
    FServices.Runner.Run([this, &adapters = FServices.Adapters, &ui = FServices.UiDispatcher, &restart = FRestart] {
        TFoundAdapter found;
        WorkThenFinishOnUiThread(
            ui,
            [&] {
                // A restart cut short by a kill or a power cut left a connection down: up
                // again first, so that the search can find it.
                restart.HealInterruptedRestart();
                found.Found = adapters.FindActiveAdapter(found.Name, found.GUID, found.IP);
            },
            [&] { ShowFoundAdapter(found); });
    });
}

void TFrmZephyrix::ShowFoundAdapter(const TFoundAdapter& adapter) {
    if (adapter.Found) {
        NetworkName = adapter.Name;
        NetworkGUID = adapter.GUID;
        NetworkIP = adapter.IP;
    } else {
        // A failed search may have written part of an adapter: none of it counts.
        NetworkName = Translate(u"알수없음");
        NetworkGUID.clear();
        NetworkIP.clear();
    }
    FView.SetCaption(LblAdapter, NetworkName);
    FView.SetCaption(LblIPAddress, u"IP: " + NetworkIP);
    FAdapterSearch = asEnded;
    ShowAppliedTweaks();
    if (FClickWaitingForSearch) {
        const TStatus from = *FClickWaitingForSearch;
        FClickWaitingForSearch.reset();
        RunControl(from);
    }
}

void TFrmZephyrix::FormActivate() {
    ShowAppliedTweaks();
}

void TFrmZephyrix::ShowAppliedTweaks() {
    if (FStatus == stBusy) return;
    const std::uint64_t reading = ++FAppliedReading;
    if (NetworkGUID.empty()) {
        ShowAppliedText(u""); // no adapter: nothing to say about its values
        return;
    }
    // Six registry reads take about a millisecond under Wine: too long for the window's
    // thread, which answers every activation. The job touches no window: the hand-over does.
    FServices.Runner.Run(
        [this, reading, guid = NetworkGUID, &registry = FServices.Registry, &ui = FServices.UiDispatcher] {
            TTweakOptions applied;
            WorkThenFinishOnUiThread(
                ui, [&] { applied = ReadAppliedTweaks(registry, guid); },
                [&] {
                    // A later reading, a Run or Stop under way or another adapter makes this
                    // one stale.
                    if (reading != FAppliedReading || FStatus == stBusy || guid != NetworkGUID) return;
                    ShowAppliedText(AppliedTweaksText(applied, FOptions, FStatus));
                });
        });
}

void TFrmZephyrix::ShowAppliedText(const std::u16string& text) {
    if (text == FAppliedText) return; // a screen reader hears only a change
    FAppliedText = text;
    FView.SetCaption(LblApplied, text);
}

void TFrmZephyrix::SaveOption(const std::u16string& name, bool value) {
    TConfig config(FServices.Registry, std::u16string(kSettingsPath));
    config.WriteBoolean(name, value);
}

void TFrmZephyrix::SaveStatus(const std::u16string& name, std::int32_t value) {
    TConfig config(FServices.Registry, std::u16string(kSettingsPath));
    config.WriteInteger(name, value);
}

void TFrmZephyrix::BtnStartClick(TControlId) {
    if (FAdapterSearch == asRunning) {
        // Run and Stop need the adapter: wait for the search, busy, and go on when it ends.
        if (FStatus == stBusy) return;
        FClickWaitingForSearch = FStatus;
        SetStatus(stBusy);
        return;
    }
    RunControl(FStatus);
}

void TFrmZephyrix::RunControl(TStatus from) {
    switch (from) {
    case stIdle:
        if (NetworkGUID.empty()) {
            SetStatus(stIdle, Translate(u"활성중인 네트워크가 없습니다."));
            return;
        }
        Start();
        break;
    case stRunning:
        Stop();
        break;
    default:
        break; // busy: the button is disabled anyway
    }
}

void TFrmZephyrix::Start() {
    SetStatus(stBusy);
    RememberTunedAdapter(NetworkGUID);
    const TLocalDate date = FServices.Clock.Today();
    const TLocalTimeOfDay time = FServices.Clock.TimeOfDay();
    // The first backup of an adapter writes a file and waits for the disk: with the
    // values after it, it runs in the background job, in that order, before the restart.
    Refresh(stRunning,
            [&registry = FServices.Registry, &backups = FServices.Backups, guid = NetworkGUID, options = FOptions,
             stamp = TBackupTime{date.Year, date.Month, date.Day, time.Hour, time.Minute, time.Second}] {
                (void)BackUpTweaksOnce(registry, backups, guid, stamp);
                ApplyTweaks(registry, guid, options);
            });
}

void TFrmZephyrix::Stop() {
    SetStatus(stBusy);
    // Every value goes back, whatever the boxes say now; so do the values of adapters
    // Run tuned while they were the active one. Like Run's, in the background job before
    // the restart; the list is forgotten only once they are reverted.
    Refresh(stIdle, [this, &registry = FServices.Registry, guid = NetworkGUID, tuned = TunedAdapters()] {
        RevertTweaks(registry, guid);
        for (const std::u16string& other : tuned)
            if (!SameTextIgnoringAsciiCase(other, guid)) RevertAdapterTweaks(registry, other);
        ForgetTunedAdapters();
    });
}

void TFrmZephyrix::Refresh(TStatus status, std::function<void()> first) {
    // The job touches no window: its one access is the final hand-over to the UI thread,
    // which shows the target state even when an error escaped the job.
    FServices.Runner.Run([this, status, first = std::move(first), guid = NetworkGUID, &restart = FRestart,
                          &probe = FServices.InternetProbe, &sleeper = FServices.Sleeper, &ui = FServices.UiDispatcher,
                          &writes = FServices.WriteGate] {
        WorkThenFinishOnUiThread(
            ui,
            [&] {
                // The program's end waits for the writes and the restart after them, and
                // once it has begun neither starts: closing never leaves the values half
                // written, nor the connection down.
                const bool ran = writes.RunInside([&] {
                    if (first) first();
                    (void)restart.Restart(guid, writes);
                });
                // The wait is not waited for: the end abandons it. The target state shows
                // whether or not the Internet answered in time.
                if (ran) (void)WaitForInternet(probe, sleeper, kRefreshProbes, kRefreshPause);
            },
            [this, status] {
                SetStatus(status);
                ShowAppliedTweaks();
            });
    });
}

std::vector<std::u16string> TFrmZephyrix::TunedAdapters() const {
    return TTunedAdapters(FServices.Registry, std::u16string(kSettingsPath)).Read();
}

void TFrmZephyrix::RememberTunedAdapter(const std::u16string& guid) {
    TTunedAdapters(FServices.Registry, std::u16string(kSettingsPath)).Remember(guid);
}

void TFrmZephyrix::ForgetTunedAdapters() {
    TTunedAdapters(FServices.Registry, std::u16string(kSettingsPath)).Forget();
}

} // namespace zx
