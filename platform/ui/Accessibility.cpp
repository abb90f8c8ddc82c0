#include "Accessibility.h"

namespace zx {

std::u16string TextWithoutMnemonics(std::u16string_view caption) {
    std::u16string text;
    text.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i) {
        // "&x" reads as "x" (so "&&" as "&"); a lone "&" at the end is dropped.
        if (caption[i] == u'&') {
            if (++i == caption.size()) break;
        }
        text += caption[i];
    }
    return text;
}

} // namespace zx
