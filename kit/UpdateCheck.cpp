#include "kit/UpdateCheck.h"

#include "kit/Translation.h"
#include "kit/UpdateMessages.h"

namespace zx {

namespace {

// The process-wide switch that reports unreleased memory at exit; nothing turns it on,
// but the service is told its state.
constexpr bool kReportMemoryLeaksOnShutdown = false;

} // namespace

TUpdateCheck::TUpdateCheck(TUpdateCheckServices services) : FServices(std::move(services)) {}

void TUpdateCheck::CheckUpdate(const std::u16string& serviceURL, TUpdateCallback done, int dialogOffset) {
    // The job keeps its own copy of the address and the offset: nothing is shared with
    // the UI thread while it runs.
    FServices.Runner.Run([this, check = TCheck{serviceURL, std::move(done), dialogOffset}] { RunCheck(check); });
}

THttpHeaderList TUpdateCheck::CheckHeaders() const {
    return {{u"User-Version", FServices.AppVersion},
            {u"User-Language", CurrentLanguage()},
            {u"User-Debug", kReportMemoryLeaksOnShutdown ? u"true" : u"false"},
            // Creates the identifier on the first run; may be empty, and is sent so.
            {u"User-Union", FServices.ClientId ? FServices.ClientId() : std::u16string()}};
}

bool TUpdateCheck::WaitAfterFailure() {
    return !FServices.Terminating.WaitForTermination(kUpdateRetryWait);
}

void TUpdateCheck::RunCheck(const TCheck& check) {
    const THttpHeaderList headers = CheckHeaders();
    std::u16string data;
    for (int attempt = 0; attempt < kUpdateAttempts; ++attempt) {
        std::u16string answer;
        if (FServices.Http.HttpGetText(check.ServiceURL, headers, answer)) {
            data = std::move(answer);
            break;
        }
        // The program is ending: no offer and no callback.
        if (!WaitAfterFailure()) return;
    }
    FServices.UiDispatcher.InvokeSynchronously([&] { HandleUpdateResponse(check, data); });
}

void TUpdateCheck::HandleUpdateResponse(const TCheck& check, const std::u16string& data) {
    bool accepted = false;
    try {
        const std::u16string address = ReadUpdateAddressStrict(data);
        // Only a web address is offered: the shell would start a program named by a
        // local path, a share or another scheme in a tampered answer.
        if (!address.empty() && IsWebAddress(address) && UpdateDialog(check, data)) {
            FServices.OpenAddress(address);
            accepted = true;
        }
    } catch (const TJsonEscapeError&) {
        return; // an answer that cannot be read ends the check: no offer, no callback
    }
    if (check.Done) check.Done(accepted, data);
}

bool TUpdateCheck::UpdateDialog(const TCheck& check, const std::u16string& data) {
    TUpdateDialogContent content;
    content.Notice = ReadUpdateNotice(data);
    content.Caption = Translate(FServices.ApplicationTitle ? FServices.ApplicationTitle() : std::u16string());
    content.Message = UpdateMessageText(TUpdateMessageKind::umMessage);
    content.YesCaption = UpdateMessageText(TUpdateMessageKind::umYes);
    content.NoCaption = UpdateMessageText(TUpdateMessageKind::umNo);
    content.DialogOffset = check.DialogOffset;

    const std::u16string& link = content.Notice.URL;
    const TUpdateDialogResult result = FServices.Dialog.ShowUpdateDialog(content, [&] {
        // The same rule as for the download: only web addresses reach the shell.
        if (IsWebAddress(link)) FServices.OpenAddress(link);
    });
    if (result.HoldTicked) {
        // Nothing waits for it but the end of the program, and that only briefly.
        {
            const std::lock_guard lock(FHoldGuard);
            ++FHoldsUnderWay;
        }
        FServices.Runner.Run([this, url = check.ServiceURL] {
            // Counted off however the request ends: an error escaping it must not keep
            // the program's end waiting for the whole grace period.
            struct THoldEnd {
                TUpdateCheck& Check;
                ~THoldEnd() {
                    {
                        const std::lock_guard lock(Check.FHoldGuard);
                        --Check.FHoldsUnderWay;
                    }
                    Check.FHoldEnded.notify_all();
                }
            } const ended{*this};
            SendHoldCommand(url);
        });
    }
    return result.Accepted;
}

bool TUpdateCheck::WaitForHoldRequests(std::chrono::milliseconds bound) {
    std::unique_lock lock(FHoldGuard);
    return FHoldEnded.wait_for(lock, bound, [this] { return FHoldsUnderWay == 0; });
}

void TUpdateCheck::SendHoldCommand(const std::u16string& serviceURL) {
    const THttpHeaderList headers{{u"User-Version", FServices.AppVersion}, {u"User-Command", u"hold"}};
    std::u16string ignored;
    (void)FServices.Http.HttpGetText(serviceURL, headers, ignored);
}

} // namespace zx
