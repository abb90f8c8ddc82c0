#include "platform/win32/ResourceData.h"

#include <windows.h>

#include "platform/win32/WideText.h"

namespace zx {

std::vector<std::uint8_t> LoadResourceData(const std::u16string& name, void* module) {
    // Resources of a loaded module stay mapped as long as it is; nothing here is freed.
    const auto instance = module ? static_cast<HMODULE>(module) : ::GetModuleHandleW(nullptr);
    const HRSRC info = ::FindResourceW(instance, Wide(name), RT_RCDATA);
    if (!info) return {};
    const HGLOBAL loaded = ::LoadResource(instance, info);
    if (!loaded) return {};
    const auto* data = static_cast<const std::uint8_t*>(::LockResource(loaded));
    const DWORD size = ::SizeofResource(instance, info);
    if (!data || size == 0) return {};
    return std::vector<std::uint8_t>(data, data + size);
}

} // namespace zx
