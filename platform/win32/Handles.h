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
struct TFindHandleTraits { // FindFirstFile: closed with FindClose
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { ::FindClose(h); }
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
// Fonts, bitmaps, brushes, pens: one owner for every GDI object, typed by its handle.
template <typename TObject>
struct TGdiObjectTraits {
    using Type = TObject;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type h) noexcept { ::DeleteObject(h); }
};

using TUniqueHandle = TUniqueResource<TKernelHandleTraits>;
using TUniqueFile = TUniqueResource<TFileHandleTraits>;
using TUniqueFind = TUniqueResource<TFindHandleTraits>;
using TUniqueRegKey = TUniqueResource<TRegKeyTraits>;
using TUniqueModule = TUniqueResource<TModuleTraits>;
using TUniqueGdiObject = TUniqueResource<TGdiObjectTraits<HGDIOBJ>>;
using TUniqueFont = TUniqueResource<TGdiObjectTraits<HFONT>>;

} // namespace zx
