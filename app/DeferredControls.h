// Controls the window makes later than the rest (after the first frame), and what the
// window's behaviour sets on them meanwhile: kept per control and handed over once, when
// the controls are made.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "app/ControlTable.h"

namespace zx {

// What a control not made yet is to show once it is.
struct TPendingControl {
    std::u16string Caption;
    bool Checked = false;
    bool Enabled = true;
    bool Visible = true;

    friend bool operator==(const TPendingControl&, const TPendingControl&) = default;
};

class TDeferredControls {
public:
    // Puts the control off, to start with `initial` (what the table gives it).
    void Defer(TControlId id, TPendingControl initial);

    // Each keeps the value for a control that is put off, the last write winning; for any
    // other control (made already, or never put off) they do nothing.
    void SetCaption(TControlId id, const std::u16string& caption);
    void SetChecked(TControlId id, bool checked);
    void SetEnabled(TControlId id, bool enabled);
    void SetVisible(TControlId id, bool visible);

    // What a control that is put off holds; none for any other.
    [[nodiscard]] std::optional<std::u16string> Caption(TControlId id) const;
    [[nodiscard]] std::optional<bool> Checked(TControlId id) const;

    // Every control put off, with what it is to show; from then on none is put off.
    [[nodiscard]] std::map<TControlId, TPendingControl> HandOver();

private:
    [[nodiscard]] TPendingControl* Find(TControlId id);
    [[nodiscard]] const TPendingControl* Find(TControlId id) const;

    std::map<TControlId, TPendingControl> FPending;
};

} // namespace zx
