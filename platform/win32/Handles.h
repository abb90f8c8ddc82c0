// Owners of the common Win32 handle kinds, built on TUniqueResource.
#pragma once

#include <windows.h>

#include "UniqueResource.h"

namespace zx {

struct TKernelHandleTraits { // events, threads, processes, mutexes
    using Type = HANDLE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::CloseHandle(h); }
};
struct TFileHandleTraits { // CreateFile: invalid is INVALID_HANDLE_VALUE, not null
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { ::CloseHandle(h); }
};
struct TRegKeyTraits {
    using Type = HKEY;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::RegCloseKey(h); }
};
struct TModuleTraits {
    using Type = HMODULE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::FreeLibrary(h); }
};
struct TGdiObjectTraits {
    using Type = HGDIOBJ;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::DeleteObject(h); }
};
struct TWindowTraits {
    using Type = HWND;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::DestroyWindow(h); }
};

using TUniqueHandle = TUniqueResource<TKernelHandleTraits>;
using TUniqueFile = TUniqueResource<TFileHandleTraits>;
using TUniqueRegKey = TUniqueResource<TRegKeyTraits>;
using TUniqueModule = TUniqueResource<TModuleTraits>;
using TUniqueGdiObject = TUniqueResource<TGdiObjectTraits>;
using TUniqueWindow = TUniqueResource<TWindowTraits>;

} // namespace zx
