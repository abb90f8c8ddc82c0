// The main program's update check: in the background at start-up it asks the update
// service whether a newer release exists (up to six attempts, ten seconds apart), then
// on the UI thread offers the download and reports what the user chose.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

#include "kit/UpdateAnswer.h"
#include "platform/BackgroundWork.h"
#include "platform/HttpClient.h"

namespace zx {

inline constexpr int kUpdateAttempts = 6;
// The wait after every failed attempt, the last included; it ends early, and the check
// with it, when the application starts to end.
inline constexpr std::chrono::milliseconds kUpdateRetryWait{10000};

// Called on the UI thread once per check, after the dialog (if any) has closed: whether
// the user accepted and the download was opened, and the whole answer (empty when none
// came). Not called when the check ended early (the program ending during a wait, an
// answer with a malformed \u escape).
using TUpdateCallback = std::function<void(bool accepted, const std::u16string& data)>;

// Everything the offer shows.
struct TUpdateDialogContent {
    std::u16string Caption; // the application's title, translated
    std::u16string Message;
    std::u16string YesCaption;
    std::u16string NoCaption;
    TUpdateNotice Notice;
    int DialogOffset = 0; // pixels at 100 %, for the extra band
};

struct TUpdateDialogResult {
    bool Accepted = false;   // Yes closed the dialog (No, Escape and the close button do not)
    bool HoldTicked = false; // the "hold" box was ticked when it closed
};

// The modal offer on screen.
class IUpdateDialogView {
public:
    virtual ~IUpdateDialogView() = default;
    // Shows the offer modally on the UI thread and returns when it has closed. A click on
    // the "note" line calls `noticeLinkClicked` and leaves the dialog open.
    virtual TUpdateDialogResult ShowUpdateDialog(const TUpdateDialogContent& content,
                                                 const std::function<void()>& noticeLinkClicked) = 0;
};

struct TUpdateCheckServices {
    IHttpTextClient& Http;
    IBackgroundRunner& Runner;
    IUiDispatcher& UiDispatcher;
    ITerminationSignal& Terminating;
    IUpdateDialogView& Dialog;
    std::function<void(const std::u16string& address)> OpenAddress; // the shell's "open"
    std::function<std::u16string()> ClientId;                       // called on the check's thread
    std::function<std::u16string()> ApplicationTitle;               // called on the UI thread
    std::u16string AppVersion;                                      // GetAppVersion("%d.%d.%d.%d")
};

class TUpdateCheck {
public:
    explicit TUpdateCheck(TUpdateCheckServices services);
    TUpdateCheck(const TUpdateCheck&) = delete;
    TUpdateCheck& operator=(const TUpdateCheck&) = delete;

    // Starts one check of `serviceURL` on a background thread and returns at once. This
    // object and the services must outlive the threads it starts.
    void CheckUpdate(const std::u16string& serviceURL, TUpdateCallback done, int dialogOffset);

    // Program end: gives the hold requests still under way up to `bound` to get out, so
    // that a box ticked just before the program ends (Yes closes it) is not lost. True
    // when none is left.
    bool WaitForHoldRequests(std::chrono::milliseconds bound);

private:
    struct TCheck {
        std::u16string ServiceURL;
        TUpdateCallback Done;
        int DialogOffset;
    };

    void RunCheck(const TCheck& check);
    [[nodiscard]] THttpHeaderList CheckHeaders() const;
    // False when the application started to end during the wait.
    [[nodiscard]] bool WaitAfterFailure();
    void HandleUpdateResponse(const TCheck& check, const std::u16string& data);
    [[nodiscard]] bool UpdateDialog(const TCheck& check, const std::u16string& data);
    void SendHoldCommand(const std::u16string& serviceURL);

    TUpdateCheckServices FServices;
    std::mutex FHoldGuard;
    std::condition_variable FHoldEnded;
    int FHoldsUnderWay = 0;
};

} // namespace zx
