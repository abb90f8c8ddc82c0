#include "launcher/LauncherFlow.h"

#include <algorithm>
#include <exception>
#include <initializer_list>

#include "kit/UpdateAnswer.h"
#include "launcher/CommandLine.h"
#include "launcher/LauncherClientId.h"
#include "platform/common/Utf8.h"

namespace zx::launcher {

namespace {

std::u16string Paragraphs(TLcid lcid, std::initializer_list<std::u16string_view> keys) {
    std::u16string text;
    for (const std::u16string_view key : keys) {
        if (!text.empty()) text += kParagraphSeparator;
        text += LookupLauncherText(lcid, key);
    }
    return text;
}

class TLauncherFlow {
public:
    TLauncherFlow(const TLauncherServices& services, const TLauncherAddresses& addresses, std::uint32_t seed)
        : FServices(services), FPlatform(services.Platform), FAddresses(addresses), FRandom(seed) {}

    int Run() {
        if (!FPlatform.HoldMutex(kLauncherMutexName)) return 0; // another copy runs: silently
        FLcid = FPlatform.UserDefaultLCID();
        FCaption = LookupLauncherText(FLcid, kProductNameKey);
        const std::u16string mainProgram =
            LauncherFolder(FPlatform.ModulePath()) + std::u16string(kMainProgramFileName);
        // The user was sent to a download or to the home page: that is all for this start.
        if (RunUpdateCheck(mainProgram)) return 0;
        if (FirstArgument(FPlatform.CommandLine()) == kInstallSwitch) FPlatform.ShellOpen(mainProgram);
        return 0;
    }

private:
    // True when the user was handed a download or the home page.
    bool RunUpdateCheck(const std::u16string& mainProgram) {
        if (!FPlatform.FileExists(mainProgram)) {
            FPlatform.ShowMessageBox(Paragraphs(FLcid, {kConfigurationInvalidKey, kReinstallKey}), FCaption,
                                     kDamagedBoxStyle);
            // An address without "://" has no host to go to (the build refuses one anyway).
            if (const std::u16string home = LauncherHomePage(FAddresses.UpdateService); !home.empty())
                FPlatform.ShellOpen(home);
            return true;
        }
        const std::u16string reply = FetchUpdateReply(
            FServices.Internet, FAddresses.UpdateService, [&] { return FPlatform.FileVersionText(mainProgram); },
            [&] { return launcher::GetClientID(FServices.Registry, FServices.Clock, FRandom); });
        const std::u16string download = ExtractUpdateURL(reply);
        // The address comes from the network: anything but a web address (a local program,
        // a share, another scheme) would make the shell start something. Not offered.
        if (download.empty() || !IsWebAddress(download)) return false;
        const int answer = FPlatform.ShowMessageBox(
            Paragraphs(FLcid, {kProgramUpdatedKey, kDownloadRecommendedKey, kDownloadQuestionKey}), FCaption,
            kUpdateBoxStyle);
        if (answer != kAnswerYes) return false;
        FPlatform.ShellOpen(download);
        return true;
    }

    const TLauncherServices& FServices;
    ILauncherPlatform& FPlatform;
    const TLauncherAddresses& FAddresses;
    TSeededRandom FRandom;
    TLcid FLcid = 0;
    std::u16string FCaption;
};

} // namespace

std::u16string LauncherFolder(std::u16string_view modulePath) {
    const std::size_t last = modulePath.find_last_of(u"\\/:");
    return last == std::u16string_view::npos ? std::u16string() : std::u16string(modulePath.substr(0, last + 1));
}

std::u16string LauncherHomePage(std::u16string_view updateService) {
    const std::size_t schemeEnd = updateService.find(u"://");
    if (schemeEnd == std::u16string_view::npos) return {};
    const std::size_t hostStart = schemeEnd + 3;
    const std::size_t hostEnd = std::min(updateService.find_first_of(u"/?#", hostStart), updateService.size());
    return std::u16string(updateService.substr(0, hostEnd));
}

int RunLauncher(const TLauncherServices& services, const TLauncherAddresses& addresses) {
    // The seed comes first, before anything else is asked of the system.
    TLauncherFlow flow(services, addresses, services.Platform.TickCount());
    return flow.Run();
}

int RunLauncherReportingFaults(const TLauncherServices& services, const TLauncherAddresses& addresses) {
    std::u16string fault;
    try {
        return RunLauncher(services, addresses);
    } catch (const std::exception& error) {
        fault = DecodeUtf8(error.what());
    } catch (...) {
        fault = u"Unknown fault";
    }
    services.Platform.ShowMessageBox(fault, std::u16string(kFaultCaption), kFaultBoxStyle);
    return kFaultExitCode;
}

} // namespace zx::launcher
