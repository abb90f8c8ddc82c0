// Owner of WinHTTP handles (session, connection, request).
#pragma once

#include <windows.h>
#include <winhttp.h>

#include "platform/win32/UniqueResource.h"

namespace zx {

struct TWinHttpHandleTraits {
    using Type = HINTERNET;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::WinHttpCloseHandle(h); }
};
using TUniqueWinHttpHandle = TUniqueResource<TWinHttpHandleTraits>;

} // namespace zx
