#include "app/win32/UserBrowser.h"

#include "kit/Translation.h"
#include "platform/win32/Shell.h"
#include "platform/win32/WindowText.h"

namespace zx {

void OpenInUsersBrowser(HWND window, const std::u16string& address) {
    (void)ShellOpenAsUser(
        address, TAddressBox{.Owner = window, .Text = Translate(kAddressNotOpenedText), .Caption = WindowText(window)});
}

} // namespace zx
