// Owner of WinINet handles (Internet session, opened address).
#pragma once

#include <windows.h>
#include <wininet.h>

#include "platform/win32/UniqueResource.h"

namespace zx {

struct TWinInetHandleTraits {
    using Type = HINTERNET;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::InternetCloseHandle(h); }
};
using TUniqueWinInetHandle = TUniqueResource<TWinInetHandleTraits>;

} // namespace zx
