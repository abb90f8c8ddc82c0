// The program's own version as text, for its version line and its update requests.
#pragma once

#include <string>

namespace zx {

// The running program's file version in `format` (only "%d"/"%u" are filled, in order),
// or "0.0.0.0" whatever the format when the file has no version resource.
[[nodiscard]] std::u16string GetAppVersion(const std::u16string& format);

} // namespace zx
