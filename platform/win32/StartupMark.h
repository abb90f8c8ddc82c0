// Named points of the start-up, for a debugger: the benchmark's breakdown attaches as
// one and times them. Without a debugger nothing is sent and nothing is written.
#pragma once

#include <windows.h>

namespace zx {

inline void StartupMark(const wchar_t* step) noexcept {
    if (::IsDebuggerPresent()) ::OutputDebugStringW(step);
}

} // namespace zx
