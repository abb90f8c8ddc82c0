// Opening documents and web addresses through the shell.
#pragma once

#include <string>

namespace zx {

// ShellExecuteW "open" with no owner, parameters or folder, SW_SHOWNORMAL; the result is not examined.
void ShellOpen(const std::u16string& target);

} // namespace zx
