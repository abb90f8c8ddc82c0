// What a screen reader is told about a control we paint ourselves: its role, name, state
// and default action, as plain data. The numbers are Active Accessibility's own (role and
// state constants), so the Win32 side hands them on unchanged.
#pragma once

#include <cstdint>
#include <string>

namespace zx {

enum class TAccessibleRole : std::uint32_t {
    arClient = 10,
    arGrouping = 20,
    arLink = 30,
    arPageTab = 37,
    arStaticText = 41,
    arPushButton = 43,
    arCheckButton = 44,
    arAnimation = 54,
    arPageTabList = 60,
};

// State bits; a description holds any combination.
enum TAccessibleState : std::uint32_t {
    asNone = 0,
    asUnavailable = 0x1,
    asSelected = 0x2,
    asFocused = 0x4,
    asPressed = 0x8,
    asChecked = 0x10,
    asReadOnly = 0x40,
    asAnimated = 0x4000,
    asInvisible = 0x8000,
    asFocusable = 0x100000,
    asLinked = 0x400000,
};

struct TAccessibleDescription {
    TAccessibleRole Role = TAccessibleRole::arClient;
    std::u16string Name;
    std::uint32_t State = asNone;
    std::u16string DefaultAction; // empty: the control has none
    bool operator==(const TAccessibleDescription&) const = default;
};

// A caption as it is read: "&" mnemonic marks dropped, "&&" read as one "&".
[[nodiscard]] std::u16string TextWithoutMnemonics(std::u16string_view caption);

} // namespace zx
