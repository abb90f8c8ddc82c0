// How each kind of control of ours reads to a screen reader: from a control's kind and
// what it shows now to the role, name, state and default action that its accessible
// object reports. Beside the control table, so that any row of it (a label added later
// included) is read by its kind with no code of its own.
#pragma once

#include <string>
#include <string_view>

#include "app/ControlTable.h"
#include "platform/ui/Accessibility.h"

namespace zx {

// What a control shows at the moment it is asked.
struct TControlFacts {
    std::u16string Text; // window text: a caption, a label's plain text
    bool Visible = true; // itself and its parents
    bool Enabled = true;
    bool Down = false; // the lasting pressed look (a header button's card, Run while Running)
    bool Focused = false;
};

// The description of a control of the given kind, its fixed texts (the busy indicator's
// and the logo's names, the default actions) in `language` ("ko", "en", ...; English for
// any language without texts of its own). A hidden control reads as invisible; its
// parent leaves it out of the tree (platform/win32/ui/AccessibleObject.h).
[[nodiscard]] TAccessibleDescription DescribeControl(TControlKind kind, const TControlFacts& facts,
                                                     std::u16string_view language);

// The option boxes as one keyboard group: the arrow keys move from a box to the next or
// the previous one in table order, wrapping at the ends. Null for a control that is no
// check box.
[[nodiscard]] const TControlEntry* NextCheckBox(TControlId from, bool forward);

} // namespace zx
