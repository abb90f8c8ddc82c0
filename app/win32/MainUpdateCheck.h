// The update check as the main program runs it: the kit's check over WinHTTP, the
// registry's client identifier, the update dialog and the shell, handed to the UI thread
// through the window's dispatcher (its message queue).
#pragma once

#include <functional>
#include <string>

#include "app/win32/UpdateDialog.h"
#include "kit/ClientId.h"
#include "kit/UpdateCheck.h"
#include "platform/BackgroundWork.h"
#include "platform/Registry.h"
#include "platform/win32/HttpGetText.h"

namespace zx {

class TMainUpdateCheck {
public:
    // Made on the UI thread at program start (the identifier's generator is seeded here).
    // `mainWindow` gives the window the dialog belongs to; its caption is the dialog's.
    // `transport` says which addresses the check and the hold command may ask, `timeouts`
    // bound each of their requests.
    TMainUpdateCheck(IRegistry& registry, ILocalClock& clock, IBackgroundRunner& runner, IUiDispatcher& ui,
                     const std::function<HWND()>& mainWindow, std::u16string appVersion, TTransportRule transport,
                     THttpTimeouts timeouts = {});
    TMainUpdateCheck(const TMainUpdateCheck&) = delete;
    TMainUpdateCheck& operator=(const TMainUpdateCheck&) = delete;

    // The window's last start-up step; returns at once.
    void CheckUpdate(const std::u16string& serviceURL, TUpdateCallback done, int dialogOffset);

    // The program is ending: a check that waits gives up; a hold request under way gets a
    // few seconds to go out.
    void ProgramEnding();

private:
    TTerminationFlag FTerminating;
    TWinHttpTextClient FHttp;
    TSeededRandom FRandom;
    TUpdateDialogWindow FDialog;
    TUpdateCheck FCheck;
};

} // namespace zx
