#include "kit/Translation.h"

namespace zx {

namespace {

// Filled once at start-up, before other threads exist, and only read afterwards.
TTranslationCatalogue GCatalogue;
std::u16string GCurrentLanguage;

} // namespace

void StartTranslation(std::span<const std::uint8_t> catalogueText, const std::u16string& userLanguage) {
    try {
        GCatalogue.Load(catalogueText);
    } catch (...) {
        // A catalogue that cannot be read leaves the Korean source texts on screen.
        GCatalogue.Clear();
    }
    GCurrentLanguage = userLanguage.substr(0, 2);
}

void StopTranslation() noexcept {
    GCatalogue.Clear();
    GCurrentLanguage.clear();
}

const TTranslationCatalogue& TranslationCatalogue() noexcept {
    return GCatalogue;
}

const std::u16string& CurrentLanguage() noexcept {
    return GCurrentLanguage;
}

void SetCurrentLanguage(const std::u16string& language) {
    GCurrentLanguage = language;
}

std::u16string Translate(const std::u16string& text, const std::u16string& language) {
    return GCatalogue.Translate(text, language.empty() ? GCurrentLanguage : language);
}

void TranslateMenuItem(TMenuItem* item) {
    if (!item) return;
    item->Caption = Translate(item->Caption);
    for (TMenuItem& subItem : item->Items) TranslateMenuItem(&subItem);
}

void TranslateComponent(IComponent* component, const std::u16string& language) {
    if (!language.empty()) GCurrentLanguage = language;
    if (!component) return;
    if (TMenuItem* root = component->PopupMenu()) TranslateMenuItem(root);
    if (component->HasCaption()) {
        // The title bar shows Korean to Korean users and English to everyone else.
        if (component->IsForm() && GCurrentLanguage != u"ko")
            component->SetCaption(Translate(component->GetCaption(), u"en"));
        else
            component->SetCaption(Translate(component->GetCaption()));
    }
    component->ForEachOwned([&language](IComponent& owned) { TranslateComponent(&owned, language); });
}

} // namespace zx
