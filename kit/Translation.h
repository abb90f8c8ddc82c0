// Showing the program's Korean source texts in the user's language: the process-wide
// catalogue and language, Translate, and the translation of whole component trees.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "kit/TranslationCatalogue.h"

namespace zx {

// Start-up, before any window exists and before any other thread starts: loads the
// catalogue from `catalogueText` (UTF-8; an empty span leaves it empty, a failure while
// loading is swallowed and leaves it empty) and sets CurrentLanguage to the first two
// characters of `userLanguage` (an ISO 639 name).
void StartTranslation(std::span<const std::uint8_t> catalogueText, const std::u16string& userLanguage);
// Program end: empties the catalogue and CurrentLanguage.
void StopTranslation() noexcept;

// The process-wide catalogue, read-only once started.
[[nodiscard]] const TTranslationCatalogue& TranslationCatalogue() noexcept;

// The process-wide target language ("ko", "en", "ja", ...). Written only at start-up
// and by TranslateComponent with a non-empty language.
[[nodiscard]] const std::u16string& CurrentLanguage() noexcept;
void SetCurrentLanguage(const std::u16string& language);

// The catalogued translation of `text` into `language` (CurrentLanguage when empty),
// falling back to English; `text` itself when it is not catalogued. Each backslash-n
// becomes one carriage return either way.
[[nodiscard]] std::u16string Translate(const std::u16string& text, const std::u16string& language = u"");

// A menu entry: its caption and its sub-items in index order.
struct TMenuItem {
    std::u16string Caption;
    std::vector<TMenuItem> Items;
};

// Translates the item's caption and, recursively, its sub-items. Null: nothing.
void TranslateMenuItem(TMenuItem* item);

// A component as translation sees it: it may have a caption, may be a form (a top-level
// window) or a pop-up menu, and owns further components in ownership order.
class IComponent {
public:
    virtual ~IComponent() = default;
    [[nodiscard]] virtual bool IsForm() const = 0;
    [[nodiscard]] virtual bool HasCaption() const = 0;
    [[nodiscard]] virtual std::u16string GetCaption() const = 0;
    virtual void SetCaption(const std::u16string& caption) = 0;
    // The root item when the component is a pop-up menu, else null.
    [[nodiscard]] virtual TMenuItem* PopupMenu() { return nullptr; }
    // Calls `visit` for every owned component, in ownership order.
    virtual void ForEachOwned(const std::function<void(IComponent&)>& visit) = 0;
};

// A non-empty `language` becomes CurrentLanguage (and stays so). Then the component's
// caption is translated and, recursively, those of every component it owns; a form's
// caption is translated into English for every language but Korean. Null: nothing more.
void TranslateComponent(IComponent* component, const std::u16string& language = u"");

} // namespace zx
