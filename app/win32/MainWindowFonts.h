// The main window's font policy: the designed font until start-up switches to the
// desktop's icon-title font, the designed font for good on the styled buttons (their style
// governs it), and the title's own face and size (Tahoma when it has every letter of the
// caption, shrunk by FitLabelFont until the caption fits its label).
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/win32/Handles.h"

namespace zx {

class TMainWindowFonts {
public:
    // Makes the fonts anew for this DPI.
    void Create(int dpi);

    // Picks the title's face for this caption; true when it changed (fonts then need
    // to be made again).
    [[nodiscard]] bool ChooseTitleFace(HWND window, const std::u16string& caption, int dpi);

    // FitLabelFont on `title` in the title's font; true when the size changed (the fonts
    // are then made again).
    [[nodiscard]] bool FitTitle(HWND title, int dpi);

    // From now on every control but the title and the styled buttons uses the desktop's font.
    void UseDesktopFont(int dpi);

    [[nodiscard]] HFONT Font() const noexcept { return FFont.get(); }
    [[nodiscard]] HFONT TitleFont() const noexcept { return FTitleFont.get(); }
    [[nodiscard]] HFONT ButtonFont() const noexcept { return FButtonFont.get(); }

private:
    class TTitleLabel;

    bool FDesktopFont = false;
    std::optional<int> FTitlePoints; // the fitted title size, once fitting shrank it
    TUniqueFont FFont;
    TUniqueFont FTitleFont;
    TUniqueFont FButtonFont;
    std::wstring FTitleFace;
};

} // namespace zx
