// The exact text form of an interface GUID, the one form a GUID from outside the program
// may take before it becomes part of a registry path or a connection request.
#pragma once

#include <string_view>

namespace zx {

// An interface GUID in its exact brace form, "{" 8-4-4-4-12 hexadecimal digits "}",
// digits in either case: nothing else may become part of a machine key path.
[[nodiscard]] bool IsInterfaceGuid(std::u16string_view text) noexcept;

} // namespace zx
