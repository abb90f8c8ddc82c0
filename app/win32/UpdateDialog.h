// The update offer on screen: a dialog of ours (class "#32770", a real dialog with the
// system's keyboard handling) with the warning icon, the message, Yes (the default) and
// No (also Escape and the close button), and, for a notice, the extra band under the
// buttons with a separator line and the "hold" check box or the "note" link.
//
// What a test driver can rely on: every part is a child window whose text is its
// caption, found by its control ID: the message kUpdateMessageId (as in the system's
// message box), the icon kUpdateIconId, Yes IDYES, No IDNO, and in the band
// kUpdateSeparatorId, kUpdateHoldBoxId, kUpdateNoteLinkId.
#pragma once

#include <windows.h>

#include <functional>

#include "kit/UpdateCheck.h"

namespace zx {

inline constexpr int kUpdateIconId = 0x0014;
inline constexpr int kUpdateMessageId = 0xFFFF;
inline constexpr int kUpdateSeparatorId = 0x0101;
inline constexpr int kUpdateHoldBoxId = 0x0102;
inline constexpr int kUpdateNoteLinkId = 0x0103;

class TUpdateDialogWindow final : public IUpdateDialogView {
public:
    // `owner` gives the window that the dialog is modal to (disabled while it is up);
    // null: none.
    explicit TUpdateDialogWindow(std::function<HWND()> owner = {}) : FOwner(std::move(owner)) {}

    // Runs the modal loop on the calling (UI) thread. Throws TPlatformError when the
    // dialog cannot be created.
    TUpdateDialogResult ShowUpdateDialog(const TUpdateDialogContent& content,
                                         const std::function<void()>& noticeLinkClicked) override;

private:
    std::function<HWND()> FOwner;
};

} // namespace zx
