// Makes the main window's controls from their table entries: the table's kind, place,
// caption and flags decide the window class, styles, keyboard behaviour, look and how a
// screen reader reads it.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "app/ControlTable.h"
#include "platform/ui/ButtonStyles.h"
#include "platform/win32/ui/ActivityIndicator.h"
#include "platform/win32/ui/LogoImage.h"
#include "platform/win32/ui/Panel.h"
#include "platform/win32/ui/RichLabel.h"
#include "platform/win32/ui/StyledButton.h"
#include "platform/win32/ui/TextLabel.h"

namespace zx {

// Every control made, by kind where the window needs more than its handle.
struct TControlWindows {
    std::map<TControlId, HWND> Handles;
    std::vector<std::unique_ptr<TWindowBase>> Owned; // our own controls; standard ones die with their parent
    std::map<TControlId, TStyledButtonWindow*> Buttons;
    std::vector<TPanelWindow*> Panels;
    TRichLabelWindow* RichLabel = nullptr;
    TActivityIndicatorWindow* Indicator = nullptr;
    TLogoWindow* Logo = nullptr;
};

class TControlFactory {
public:
    explicit TControlFactory(const TButtonFamilyList& families) : FFamilies(families) {}

    // Creates the control of `entry` below `parent` at `place` (already scaled to `dpi`)
    // and records it in `windows`. The form's own entry makes nothing.
    void Create(const TControlEntry& entry, HWND parent, const RECT& place, int dpi, TControlWindows& windows) const;

private:
    const TButtonFamilyList& FFamilies;
};

// The accessible reader of a control of ours of the given kind: what its window shows
// now (text, visibility, enabled, pressed look, focus) read as that kind reads
// (app/ControlAccessibility.h), its fixed texts in the current language.
[[nodiscard]] TAccessibleReader ControlReader(HWND control, TControlKind kind);

} // namespace zx
