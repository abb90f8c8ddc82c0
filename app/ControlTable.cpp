#include "ControlTable.h"

#include <array>
#include <stdexcept>

namespace zx {

namespace {

using enum TControlId;
using enum TControlKind;

// One row per control, kept on one line each so the table reads as a table.
// The five option boxes are one keyboard group with one Tab stop (the first box, then the
// box that last had the focus); the arrow keys move among them, Space ticks.
// clang-format off
constexpr std::array kControls = {
    TControlEntry{FrmZephyrix, u"FrmZephyrix", FrmZephyrix, ckForm, {0, 0, kClientWidth96, kClientHeight96}, u"제피릭스", coNone},
    TControlEntry{PnlHead, u"PnlHead", FrmZephyrix, ckPanel, {0, 0, 498, 50}, u"", coNone},
    TControlEntry{BtnHead, u"BtnHead", PnlHead, ckToolbar, {10, 10, 358, 30}, u"", coNone},
    TControlEntry{BtnHome, u"BtnHome", BtnHead, ckToolButton, {0, 0, 70, 30}, u"처음화면", coPressed | coGroupStart},
    TControlEntry{BtnConfig, u"BtnConfig", BtnHead, ckToolButton, {70, 0, 70, 30}, u"환경설정", coNone},
    TControlEntry{BtnDonate, u"BtnDonate", BtnHead, ckToolButton, {140, 0, 70, 30}, u"후원하기", coHidden},
    TControlEntry{PnlLogo, u"PnlLogo", PnlHead, ckPanel, {378, 0, 120, 50}, u"", coNone},
    TControlEntry{ImgLogo, u"ImgLogo", PnlLogo, ckImage, {3, 0, 112, 50}, u"", coHandCursor},
    TControlEntry{PnlMain, u"PnlMain", FrmZephyrix, ckCardPanel, {0, 50, 498, 376}, u"", coNone},
    TControlEntry{Card1, u"Card1", PnlMain, ckCard, {0, 0, 498, 376}, u"", coNone},
    TControlEntry{LblTitle, u"LblTitle", Card1, ckLabel, {8, 40, 484, 81}, u"제피릭스", coCentered | coOwnFont, ColorFromRgb(0x202020)},
    TControlEntry{LblContent, u"LblContent", Card1, ckRichLabel, {0, 188, 500, 33}, u"", coVCentered},
    TControlEntry{BtnStart, u"BtnStart", Card1, ckStyledButton, {176, 264, 162, 68}, u"실행하기", coGroupStart},
    TControlEntry{Indicator, u"Indicator", Card1, ckActivityIndicator, {241, 282, 32, 32}, u"", coHidden},
    TControlEntry{Card2, u"Card2", PnlMain, ckCard, {0, 0, 498, 376}, u"", coHidden},
    TControlEntry{GroupBox1, u"GroupBox1", Card2, ckGroupBox, {15, 6, 474, 67}, u"네트워크 아답터 정보", coNone},
    TControlEntry{LblAdapter, u"LblAdapter", GroupBox1, ckLabel, {17, 32, 304, 15}, u"", coNone},
    TControlEntry{LblIPAddress, u"LblIPAddress", GroupBox1, ckLabel, {344, 32, 109, 15}, u"IP: ", coNone},
    TControlEntry{GroupBox2, u"GroupBox2", Card2, ckGroupBox, {15, 87, 474, 98}, u"네이글 알고리즘 해제", coNone},
    TControlEntry{ChkTCPAckFrequency, u"ChkTCPAckFrequency", GroupBox2, ckCheckBox, {17, 32, 200, 17}, u"TcpAckFrequency", coGroupStart},
    TControlEntry{ChkTcpDelAckTick, u"ChkTcpDelAckTick", GroupBox2, ckCheckBox, {243, 32, 200, 17}, u"TcpDelAckTick", coNoTabStop},
    TControlEntry{ChkTcpNoDelay, u"ChkTcpNoDelay", GroupBox2, ckCheckBox, {17, 64, 200, 17}, u"TcpNoDelay", coNoTabStop},
    TControlEntry{GroupBox3, u"GroupBox3", Card2, ckGroupBox, {15, 199, 474, 66}, u"네트워크 쓰로틀링", coNone},
    TControlEntry{ChkNetworkThrottlingIndex, u"ChkNetworkThrottlingIndex", GroupBox3, ckCheckBox, {17, 32, 200, 17}, u"NetworkThrottlingIndex", coNoTabStop},
    TControlEntry{ChkSystemResponsiveness, u"ChkSystemResponsiveness", GroupBox3, ckCheckBox, {243, 32, 200, 17}, u"SystemResponsiveness", coNoTabStop},
    TControlEntry{LblApplied, u"LblApplied", Card2, ckLabel, {15, 273, 474, 66}, u"", coWordWrap},
    TControlEntry{LblVersion, u"LblVersion", Card2, ckLabel, {15, 344, 100, 15}, u"", coNone, kColorGray},
};
// clang-format on

} // namespace

std::span<const TControlEntry> ControlTable() {
    return kControls;
}

const TControlEntry& FindControl(TControlId id) {
    for (const auto& entry : kControls)
        if (entry.Id == id) return entry;
    throw std::out_of_range("unknown control id");
}

} // namespace zx
