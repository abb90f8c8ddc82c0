// The update offer's own texts: the message and the two button captions in each of the
// languages the offer knows (German among them, which the translation catalogue lacks).
#pragma once

#include <string>

namespace zx {

enum class TUpdateMessageKind { umMessage = 0, umYes = 1, umNo = 2 };

// The text for `language`, chosen by an exact, case-sensitive match of the code; any
// other code (empty included) gets English. The message is three sentences joined by
// two carriage returns each.
[[nodiscard]] std::u16string UpdateMessageText(TUpdateMessageKind kind, const std::u16string& language);

// The same for CurrentLanguage.
[[nodiscard]] std::u16string UpdateMessageText(TUpdateMessageKind kind);

} // namespace zx
