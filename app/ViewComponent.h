// The window's controls as components for translation: the control table gives the
// ownership tree, the view gives and takes the captions.
#pragma once

#include <string>

#include "app/ControlTable.h"
#include "app/MainView.h"
#include "kit/Translation.h"

namespace zx {

// One control of the table seen through the view. It owns the table entries whose
// parent it is, in table order; the window (FrmZephyrix) is the form.
class TViewComponent final : public IComponent {
public:
    TViewComponent(IMainView& view, TControlId id);

    [[nodiscard]] bool IsForm() const override;
    [[nodiscard]] bool HasCaption() const override; // every kind but the image and the indicator
    [[nodiscard]] std::u16string GetCaption() const override;
    void SetCaption(const std::u16string& caption) override;
    void ForEachOwned(const std::function<void(IComponent&)>& visit) override;

private:
    IMainView& FView;
    const TControlEntry& FEntry;
};

// Translates the control `id` and every control it owns, recursively (see the kit's
// TranslateComponent); FrmZephyrix translates the whole window.
void TranslateComponent(IMainView& view, TControlId id, const std::u16string& language = u"");

} // namespace zx
