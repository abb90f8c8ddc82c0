// The main window's controls as data: name, parent, kind, place at 96 DPI, designed
// caption and options. The window is created from this table, translated by walking it
// in ownership order, and its layout is checked against it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "platform/ui/Color.h"

namespace zx {

// Doubles as the Win32 child-window ID, so test drivers can find a control by it.
enum class TControlId : int {
    FrmZephyrix = 0, // the window itself
    PnlHead = 100,
    BtnHead,
    BtnHome,
    BtnConfig,
    BtnDonate,
    PnlLogo,
    ImgLogo,
    PnlMain,
    Card1,
    LblTitle,
    LblContent,
    BtnStart,
    Indicator,
    Card2,
    GroupBox1,
    LblAdapter,
    LblIPAddress,
    GroupBox2,
    ChkTCPAckFrequency,
    ChkTcpDelAckTick,
    ChkTcpNoDelay,
    GroupBox3,
    ChkNetworkThrottlingIndex,
    ChkSystemResponsiveness,
    LblVersion,
    LblApplied, // which options Windows holds now; after LblVersion so no ID moves
};

enum class TControlKind : std::uint8_t {
    ckForm,
    ckPanel,      // plain panel, no bevel, window colour
    ckToolbar,    // styled toolbar holding the header buttons
    ckToolButton, // styled header button (one group: one pressed at a time)
    ckImage,      // vector logo
    ckCardPanel,  // shows one card at a time
    ckCard,
    ckLabel,
    ckRichLabel,    // small markup: <B>, <C>, <FC:clGray>
    ckStyledButton, // the Run button
    ckActivityIndicator,
    ckGroupBox,
    ckCheckBox,
    ckLink, // a one-line web link (the update offer's notice); in no table row of the window
};

// Layout and behaviour flags of a control; the window's control factory reads them.
enum TControlOption : std::uint32_t {
    coNone = 0,
    coCentered = 1u << 0,   // text centred horizontally
    coVCentered = 1u << 1,  // text centred vertically
    coNoTabStop = 1u << 2,  // Tab passes it by
    coGroupStart = 1u << 3, // starts a keyboard group: the arrow keys stay within it
    coHandCursor = 1u << 4, // the pointer turns into a hand over it, as over a link
    coOwnFont = 1u << 5,    // keeps the title's font instead of the window's
    coPressed = 1u << 6,    // pressed when the window opens
    coHidden = 1u << 7,     // hidden at start-up
    coWordWrap = 1u << 8,   // text from the left, wrapped at word ends and at line breaks
};

struct TRect96 { // pixels at 96 DPI, relative to the parent's client area
    int Left;
    int Top;
    int Width;
    int Height;
};

struct TControlEntry {
    TControlId Id;
    std::u16string_view Name; // the component name, as event handlers see it
    TControlId Parent;
    TControlKind Kind;
    TRect96 Place;
    std::u16string_view Caption; // designed caption (Korean source text or Latin)
    std::uint32_t Options;
    std::optional<TColor> TextColor = {}; // a label's own text colour; else the system's
};

// All controls in ownership (creation) order; the window itself comes first.
std::span<const TControlEntry> ControlTable();

// The entry of one control; every TControlId has exactly one.
const TControlEntry& FindControl(TControlId id);

// Window client size at 96 DPI and the title label's own font.
inline constexpr int kClientWidth96 = 498;
inline constexpr int kClientHeight96 = 426;
inline constexpr std::u16string_view kTitleFontName = u"Tahoma";
inline constexpr int kTitleFontHeight96 = 59;

} // namespace zx
