#include "Shell.h"

#include <windows.h>
#include <shellapi.h>

#include "WideText.h"

namespace zx {

void ShellOpen(const std::u16string& target) {
    ::ShellExecuteW(nullptr, L"open", Wide(target), nullptr, nullptr, SW_SHOWNORMAL);
}

} // namespace zx
