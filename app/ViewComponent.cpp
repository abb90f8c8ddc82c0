#include "app/ViewComponent.h"

namespace zx {

TViewComponent::TViewComponent(IMainView& view, TControlId id) : FView(view), FEntry(FindControl(id)) {}

bool TViewComponent::IsForm() const {
    return FEntry.Kind == TControlKind::ckForm;
}

bool TViewComponent::HasCaption() const {
    return FEntry.Kind != TControlKind::ckImage && FEntry.Kind != TControlKind::ckActivityIndicator;
}

std::u16string TViewComponent::GetCaption() const {
    return FView.GetCaption(FEntry.Id);
}

void TViewComponent::SetCaption(const std::u16string& caption) {
    FView.SetCaption(FEntry.Id, caption);
}

void TViewComponent::ForEachOwned(const std::function<void(IComponent&)>& visit) {
    for (const TControlEntry& entry : ControlTable()) {
        // The window is its own parent in the table; it owns itself no second time.
        if (entry.Parent != FEntry.Id || entry.Id == FEntry.Id) continue;
        TViewComponent owned(FView, entry.Id);
        visit(owned);
    }
}

void TranslateComponent(IMainView& view, TControlId id, const std::u16string& language) {
    TViewComponent component(view, id);
    TranslateComponent(&component, language);
}

} // namespace zx
