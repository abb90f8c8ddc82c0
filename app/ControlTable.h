// The main window's controls as data: name, parent, kind, place at 96 DPI, designed
// caption and options. The window is created from this table, translated by walking it
// in ownership order, and its layout is checked against it.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

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
};

// Layout and behaviour flags of a control.
enum TControlOption : std::uint32_t {
    coNone = 0,
    coAlignTop = 1u << 0,
    coAlignRight = 1u << 1,
    coAlignClient = 1u << 2,
    coCentered = 1u << 3,  // text centred horizontally
    coVCentered = 1u << 4, // text centred vertically
    coNoTabStop = 1u << 5,
    coHandCursor = 1u << 6,
    coClickable = 1u << 7,
    coOwnFont = 1u << 8, // keeps its own font instead of the window's
    coPressed = 1u << 9, // pressed when the window opens
    coHidden = 1u << 10, // hidden at start-up
};

struct TRect96 { // pixels at 96 DPI, relative to the parent's client area
    int Left;
    int Top;
    int Width;
    int Height;
};

struct TControlSpec {
    TControlId Id;
    std::u16string_view Name; // the component name, as event handlers see it
    TControlId Parent;
    TControlKind Kind;
    TRect96 Place;
    std::u16string_view Caption; // designed caption (Korean source text or Latin)
    std::uint32_t Options;
};

// All controls in ownership (creation) order; the window itself comes first.
std::span<const TControlSpec> ControlTable();

// The entry of one control; every TControlId has exactly one.
const TControlSpec& FindControl(TControlId id);

// Window client size at 96 DPI and the title label's own font.
inline constexpr int kClientWidth96 = 498;
inline constexpr int kClientHeight96 = 426;
inline constexpr std::u16string_view kTitleFontName = u"Tahoma";
inline constexpr int kTitleFontHeight96 = 59;

} // namespace zx
