#include "app/ViewComponent.h"

namespace zx {

TViewComponent::TViewComponent(IMainView& view, TControlId id) : FView(view), FSpec(FindControl(id)) {}

bool TViewComponent::IsForm() const {
    return FSpec.Kind == TControlKind::ckForm;
}

bool TViewComponent::HasCaption() const {
    return FSpec.Kind != TControlKind::ckImage && FSpec.Kind != TControlKind::ckActivityIndicator;
}

std::u16string TViewComponent::GetCaption() const {
    return FView.GetCaption(FSpec.Id);
}

void TViewComponent::SetCaption(const std::u16string& caption) {
    FView.SetCaption(FSpec.Id, caption);
}

void TViewComponent::ForEachOwned(const std::function<void(IComponent&)>& visit) {
    for (const TControlSpec& spec : ControlTable()) {
        // The window is its own parent in the table; it owns itself no second time.
        if (spec.Parent != FSpec.Id || spec.Id == FSpec.Id) continue;
        TViewComponent owned(FView, spec.Id);
        visit(owned);
    }
}

void TranslateComponent(IMainView& view, TControlId id, const std::u16string& language) {
    TViewComponent component(view, id);
    TranslateComponent(&component, language);
}

} // namespace zx
