#include "app/MainForm.h"

#include <array>

#include "app/ViewComponent.h"
#include "engine/TweakCatalogue.h"
#include "kit/Config.h"
#include "kit/Translation.h"
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

// The option boxes with their stored value names, in the order LoadSettings sets them.
struct TOptionBox {
    TControlId Box;
    const char16_t* ValueName;
};
constexpr std::array<TOptionBox, 5> kOptionBoxes = {{
    {ChkTcpNoDelay, u"tcpnodelay"},
    {ChkTCPAckFrequency, u"tcpackfrequency"},
    {ChkTcpDelAckTick, u"tcpdelacktick"},
    {ChkNetworkThrottlingIndex, u"networkthrottleindex"},
    {ChkSystemResponsiveness, u"systemresponsivess"},
}};

// The order in which SetStatus enables or disables them.
constexpr std::array<TControlId, 5> kEnableOrder = {ChkTCPAckFrequency, ChkTcpDelAckTick, ChkTcpNoDelay,
                                                    ChkNetworkThrottlingIndex, ChkSystemResponsiveness};

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

TFrmZephyrix::TFrmZephyrix(IMainView& view, const TMainServices& services) : FView(view), FServices(services) {}

void TFrmZephyrix::FormCreate() {
    // 1. What the update check calls back: true means a newer release is being
    //    downloaded, and the program makes way for it.
    FUpdateDone = [this](bool accepted) {
        if (accepted) FView.Close();
    };
    // 2.
    FView.ApplyTheme();
    // 3. Every caption of the window in the current language (title bar: see the kit).
    TranslateComponent(FView, FrmZephyrix);
    // 4. The title in its translated form; 5.
    FView.FitLabelFont(LblTitle);
    FView.UseDesktopFont();
    // 6. The donation button is never shown.
    FView.SetVisible(Indicator, false);
    FView.SetVisible(BtnDonate, false);
    // 7., 8.
    FView.ShowCard(0);
    FView.SetApplicationTitle(FView.GetCaption(FrmZephyrix));
    // 9.
    const int slogan = FServices.RandomIndex ? FServices.RandomIndex(static_cast<int>(kSlogans.size())) : 0;
    const auto sloganIndex = static_cast<std::size_t>(slogan) < kSlogans.size() ? static_cast<std::size_t>(slogan) : 0;
    FView.SetCaption(LblContent, u"<C><FC:clGray>" + Translate(kSlogans[sloganIndex]) + u"</FC></C>");
    // 10.
    FView.SetCaption(LblVersion, Translate(u"버전") + u": " + FServices.AppVersion);
    // 11.
    LoadSettings();
    // 12.
    if (FServices.CheckUpdate) FServices.CheckUpdate(FUpdateDone);
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
    std::u16string_view name;
    for (const TControlSpec& spec : ControlTable())
        if (spec.Id == sender) name = spec.Name;
    switch (NavigationIndex(name)) {
    case 0:
        FView.SetPressed(sender, true); // the view releases the other header button
        FView.ShowCard(0);
        break;
    case 1:
        FView.SetPressed(sender, true);
        FView.ShowCard(1);
        break;
    case 2:
        FView.OpenAddress(FServices.ShortLinkHost + u"/donate?zephyrix");
        break;
    case 3:
        FView.OpenAddress(FServices.ShortLinkHost + u"/zephyrix");
        break;
    default:
        break;
    }
}

void TFrmZephyrix::OptionClick(TControlId sender, const char16_t* valueName) {
    SaveOption(valueName, FView.IsChecked(sender));
}

void TFrmZephyrix::ChkTcpNoDelayClick(TControlId sender) {
    OptionClick(sender, u"tcpnodelay");
}

void TFrmZephyrix::ChkTCPAckFrequencyClick(TControlId sender) {
    OptionClick(sender, u"tcpackfrequency");
}

void TFrmZephyrix::ChkTcpDelAckTickClick(TControlId sender) {
    OptionClick(sender, u"tcpdelacktick");
}

void TFrmZephyrix::ChkNetworkThrottlingIndexClick(TControlId sender) {
    OptionClick(sender, u"networkthrottleindex");
}

void TFrmZephyrix::ChkSystemResponsivenessClick(TControlId sender) {
    OptionClick(sender, u"systemresponsivess");
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
    if (!FServices.Adapters.FindActiveAdapter(NetworkName, NetworkGUID, NetworkIP)) {
        NetworkName = Translate(u"알수없음");
        NetworkGUID.clear();
        NetworkIP.clear();
    }
    FView.SetCaption(LblAdapter, NetworkName);
    FView.SetCaption(LblIPAddress, u"IP: " + NetworkIP);

    TStatus stored = stIdle;
    {
        const TConfig config(FServices.Registry, std::u16string(kSettingsPath));
        const auto lowByte = static_cast<std::uint8_t>(config.ReadInteger(kStatusName, stIdle) & 0xFF);
        // Only idle and running are ever stored. Anything else would leave the window
        // busy with no refresh under way to end it, so it reads as idle.
        stored = lowByte == stRunning ? stRunning : stIdle;
        for (const TOptionBox& option : kOptionBoxes) {
            const bool checked = config.ReadBoolean(option.ValueName, true);
            if (FView.IsChecked(option.Box) == checked) continue;
            // A box that changes state reports a click, whose handler stores the value.
            FView.SetChecked(option.Box, checked);
            ControlClicked(option.Box);
        }
    }
    SetStatus(stored);
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
    switch (FStatus) {
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
    TTweakOptions options;
    options.AckFrequency = FView.IsChecked(ChkTCPAckFrequency);
    options.DelAckTicks = FView.IsChecked(ChkTcpDelAckTick);
    options.NoDelay = FView.IsChecked(ChkTcpNoDelay);
    options.ThrottlingIndex = FView.IsChecked(ChkNetworkThrottlingIndex);
    options.Responsiveness = FView.IsChecked(ChkSystemResponsiveness);
    ApplyTweaks(FServices.Registry, NetworkGUID, options);
    Refresh(stRunning);
}

void TFrmZephyrix::Stop() {
    SetStatus(stBusy);
    // Every value goes back, whatever the boxes say now.
    RevertTweaks(FServices.Registry, NetworkGUID);
    Refresh(stIdle);
}

void TFrmZephyrix::Refresh(TStatus status) {
    // Taking the connection down and up makes the new values take effect; a failure
    // changes nothing about the wait.
    (void)FServices.AdapterSwitch.SetAdapterEnabled(NetworkGUID, false);
    (void)FServices.AdapterSwitch.SetAdapterEnabled(NetworkGUID, true);

    // The job touches no window: its one access is the final hand-over to the UI thread.
    FServices.Runner.Run(
        [this, status, &probe = FServices.InternetProbe, &sleeper = FServices.Sleeper, &ui = FServices.UiDispatcher] {
            for (int attempt = 0; attempt < kRefreshProbes; ++attempt) {
                if (probe.IsInternetReachable()) break;
                sleeper.Sleep(kRefreshPause);
            }
            ui.InvokeSynchronously([this, status] { SetStatus(status); });
        });
}

} // namespace zx
