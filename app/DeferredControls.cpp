#include "app/DeferredControls.h"

#include <utility>

namespace zx {

void TDeferredControls::Defer(TControlId id, TPendingControl initial) {
    FPending.insert_or_assign(id, std::move(initial));
}

void TDeferredControls::SetCaption(TControlId id, const std::u16string& caption) {
    if (TPendingControl* pending = Find(id)) pending->Caption = caption;
}

void TDeferredControls::SetChecked(TControlId id, bool checked) {
    if (TPendingControl* pending = Find(id)) pending->Checked = checked;
}

void TDeferredControls::SetEnabled(TControlId id, bool enabled) {
    if (TPendingControl* pending = Find(id)) pending->Enabled = enabled;
}

void TDeferredControls::SetVisible(TControlId id, bool visible) {
    if (TPendingControl* pending = Find(id)) pending->Visible = visible;
}

std::optional<std::u16string> TDeferredControls::Caption(TControlId id) const {
    if (const TPendingControl* pending = Find(id)) return pending->Caption;
    return std::nullopt;
}

std::optional<bool> TDeferredControls::Checked(TControlId id) const {
    if (const TPendingControl* pending = Find(id)) return pending->Checked;
    return std::nullopt;
}

std::map<TControlId, TPendingControl> TDeferredControls::HandOver() {
    return std::exchange(FPending, {});
}

TPendingControl* TDeferredControls::Find(TControlId id) {
    const auto found = FPending.find(id);
    return found == FPending.end() ? nullptr : &found->second;
}

const TPendingControl* TDeferredControls::Find(TControlId id) const {
    const auto found = FPending.find(id);
    return found == FPending.end() ? nullptr : &found->second;
}

} // namespace zx
